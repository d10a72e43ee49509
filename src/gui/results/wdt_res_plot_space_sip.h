// The space view of the results page: every (frequency, harmonic) of the
// shown SIP result as one series against the position of the M electrode.
#pragma once

#include "gui/results/wdt_res_plot.h"

class CResultSip;
class ModelPlotSelFreq;

class CWdtResPlotSpaceSip : public CWdtResPlot {
  Q_OBJECT
public:
  explicit CWdtResPlotSpaceSip(QWidget* parent = nullptr);

  void updateSelList() override;
  void setXAxisLabel(CCustomPlot* plot) override;
  ModelPlotSel* createSelModel() override;
  void fillDataTypes() override;
  // x: M position in m; y and errors in display units (mV, degrees, ohm.m,
  // mrad, %). Channels without data for the row are left out.
  void fillSeries(int row, int quantity, QVector<double>& xs, QVector<double>& ys, QVector<double>& errs) override;

  ModelPlotSelFreq* freqModel() const { return m_model_freq; }

private:
  // The result chosen by setSingleFreq; null without a file.
  CResultSip* shownResult() const;

  ModelPlotSelFreq* m_model_freq = nullptr;
};
