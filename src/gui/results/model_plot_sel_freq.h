// Selection rows of the space view: one per (base frequency, harmonic) of the
// shown result, row = idx_freq * harm_num + idx_harm. Columns: 0 check box,
// 1 "frequency-harmonic" label (1-based), 2 frequency in Hz, 3 colour.
#pragma once

#include <QColor>
#include <QPair>
#include <QVector>

#include "gui/results/model_plot_sel.h"

struct PlotSelItem : PlotSelMark {
  int idx_freq = 0;
  int idx_harm = 0;
  float freq = 0.0f;  // Hz
};

class ModelPlotSelFreq : public ModelPlotSel {
  Q_OBJECT
public:
  explicit ModelPlotSelFreq(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  // Replaces all rows (model reset): every row checked, in the default
  // colours from red to blue. vt_freq holds the frequencies in row order;
  // missing ones read as 0 Hz. Negative counts give no rows.
  void setFreqs(int freq_num, int harm_num, const QVector<float>& vt_freq);
  // (row / harm_num, row % harm_num); (-1, -1) without harmonics.
  QPair<int, int> rowToFreqHarm(int row) const;

  // The default colour of row g of n: hue g * 240 / (n - 1) (0 for a single
  // row), saturation 255, lightness 120.
  static QColor DefaultColor(int g, int n);

  int freqNum() const { return freq_num; }
  int harmNum() const { return harm_num; }

protected:
  PlotSelMark* markAt(int row) override { return validRow(row) ? &m_vt_items[row] : nullptr; }

private:
  bool validRow(int row) const { return row >= 0 && row < m_vt_items.size(); }

  int freq_num = 0;
  int harm_num = 0;
  QVector<PlotSelItem> m_vt_items;
};
