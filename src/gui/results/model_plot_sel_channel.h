// Selection rows of the spectrum view: one per channel of the shown result,
// with the Cole-Cole model fitted to its spectrum. Columns: 0 check box,
// 1 channel label (device_channel), 2 position (m), 3 rho0 (ohm.m), 4 m,
// 5 tau (s), 6 c, 7 rms (%), 8 status, 9 colour. The fit columns are empty
// unless the fit succeeded.
#pragma once

#include <QColor>
#include <QString>
#include <QVector>

#include <vector>

#include "core/processing/cole_cole.h"
#include "gui/results/model_plot_sel.h"

struct PlotSelChannel : PlotSelMark {
  QString label;
  float pos = 0.0f;  // m
  ColeColeFit fit;
};

class ModelPlotSelChannel : public ModelPlotSel {
  Q_OBJECT
public:
  enum Column {
    COL_CHECK = 0,
    COL_CHANNEL,
    COL_POS,
    COL_RHO0,
    COL_M,
    COL_TAU,
    COL_C,
    COL_RMS,
    COL_STATUS,
    COL_COLOR,
    COL_COUNT
  };

  explicit ModelPlotSelChannel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  // Replaces all rows (model reset): one per channel with its fit (fits in
  // the same order), every row checked, in the default colours.
  void setChannels(const std::vector<ChannelSpectrum>& spectra, const std::vector<ColeColeFit>& fits);
  const ColeColeFit& fitOf(int row) const { return m_vt_items[row].fit; }

  // The status as the table shows it.
  static QString statusText(ColeColeStatus status);

protected:
  PlotSelMark* markAt(int row) override { return validRow(row) ? &m_vt_items[row] : nullptr; }

private:
  bool validRow(int row) const { return row >= 0 && row < m_vt_items.size(); }
  QVariant fitText(const PlotSelChannel& item, int column) const;

  QVector<PlotSelChannel> m_vt_items;
};
