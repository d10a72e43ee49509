// The spectrum view of the results page: every channel of the shown file's
// single-frequency result as one series against frequency (logarithmic),
// apparent resistivity above and the negated impedance phase (mrad) below,
// with the Cole-Cole model fitted to each channel drawn as a line over its
// points. The fits are made when the view is shown, since a large file
// takes a noticeable moment.
#pragma once

#include <QVector>

#include <vector>

#include "core/processing/spectra.h"
#include "gui/results/wdt_res_plot.h"

class ModelPlotSelChannel;
namespace Ui {
class CWdtResPlotSpectrum;
}

class CWdtResPlotSpectrum : public CWdtResPlot {
  Q_OBJECT
public:
  // The lower plot's quantity: -phase in mrad, none of the result blocks.
  static constexpr int QUANTITY_NEG_PHASE = 100;

  explicit CWdtResPlotSpectrum(QWidget* parent = nullptr);
  ~CWdtResPlotSpectrum() override;

  // The file to show (not owned; null: none). The spectra and fits are
  // rebuilt at once when the view is visible, else when it is next shown.
  void showFile(CFormatSRS* srs);

  void updateSelList() override;
  void setXAxisLabel(CCustomPlot* plot) override;
  ModelPlotSel* createSelModel() override;
  void fillDataTypes() override;
  // x: frequency in Hz; y: apparent resistivity (ohm.m) or -phase (mrad).
  // Points that the axis cannot show (rho <= 0, values not finite) are left out.
  void fillSeries(int row, int quantity, QVector<double>& xs, QVector<double>& ys, QVector<double>& errs) override;

  ModelPlotSelChannel* channelModel() const { return m_model_ch; }
  Ui::CWdtResPlotSpectrum* fitForm() const { return m_ui_fit; }
  // The fitted curves of the upper and lower plot, one per row (null where
  // the fit failed).
  const QVector<QCPGraph*>& curves1() const { return m_vt_curve1; }
  const QVector<QCPGraph*>& curves2() const { return m_vt_curve2; }

public slots:
  void onUpdateCurves();
  void onShowCurves();

protected:
  void showEvent(QShowEvent* event) override;

private:
  void refreshNow();
  void rebuildCurves(CCustomPlot* plot, bool phase, QVector<QCPGraph*>& curves);

  Ui::CWdtResPlotSpectrum* m_ui_fit;
  ModelPlotSelChannel* m_model_ch = nullptr;
  std::vector<ChannelSpectrum> m_spectra;
  bool m_stale = false;
  QVector<QCPGraph*> m_vt_curve1;
  QVector<QCPGraph*> m_vt_curve2;
};
