#include "gui/results/model_plot_sel_freq.h"

#include <limits>

ModelPlotSelFreq::ModelPlotSelFreq(QObject* parent) : ModelPlotSel(0, 3, parent) {}

int ModelPlotSelFreq::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : m_vt_items.size();
}

int ModelPlotSelFreq::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 4; }

QVariant ModelPlotSelFreq::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || !validRow(index.row())) return QVariant();
  const PlotSelItem& item = m_vt_items[index.row()];
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      if (index.column() == 1) return QString("%1-%2").arg(item.idx_freq + 1).arg(item.idx_harm + 1);
      if (index.column() == 2) return item.freq;
      return QVariant();
    case Qt::CheckStateRole:
    case Qt::DecorationRole:
      return markData(index, role);
    default:
      return QVariant();
  }
}

QVariant ModelPlotSelFreq::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
  switch (section) {
    case 0:
      return QString("");
    case 1:
      return tr("频点-谐波");
    case 2:
      return tr("频率(Hz)");
    case 3:
      return tr("颜色");
    default:
      return QVariant();
  }
}

QColor ModelPlotSelFreq::DefaultColor(int g, int n) {
  const qint64 hue = n < 2 ? 0 : qint64(g) * 240 / (n - 1);
  QColor c;
  c.setHsl(int(hue % 360), 255, 120, 255);
  return c;
}

void ModelPlotSelFreq::setFreqs(int freq_num_, int harm_num_, const QVector<float>& vt_freq) {
  // The row count changes under the view: a reset keeps its current index
  // and selection from pointing at rows that no longer exist.
  beginResetModel();
  const qint64 n = qint64(freq_num_) * harm_num_;
  if (freq_num_ < 0 || harm_num_ < 0 || n > std::numeric_limits<int>::max()) {
    freq_num = 0;
    harm_num = 0;
  } else {
    freq_num = freq_num_;
    harm_num = harm_num_;
  }
  const int rows = freq_num * harm_num;
  m_vt_items.resize(rows);
  for (int f = 0; f < freq_num; ++f) {
    for (int h = 0; h < harm_num; ++h) {
      const int g = f * harm_num + h;
      PlotSelItem& item = m_vt_items[g];
      item.idx_freq = f;
      item.idx_harm = h;
      item.freq = g < vt_freq.size() ? vt_freq[g] : 0.0f;
      item.checked = true;
      item.color = DefaultColor(g, rows);
    }
  }
  endResetModel();
}

QPair<int, int> ModelPlotSelFreq::rowToFreqHarm(int row) const {
  if (harm_num <= 0) return qMakePair(-1, -1);
  return qMakePair(row / harm_num, row % harm_num);
}
