#include "gui/results/model_plot_sel.h"

ModelPlotSel::ModelPlotSel(int col_check, int col_color, QObject* parent)
    : QAbstractTableModel(parent), m_col_check(col_check), m_col_color(col_color) {}

bool ModelPlotSel::setData(const QModelIndex& index, const QVariant& value, int role) {
  PlotSelMark* mark = index.isValid() ? markAt(index.row()) : nullptr;
  if (!mark) return false;
  if (role == Qt::EditRole && index.column() == m_col_color) {
    mark->color = value.value<QColor>();
    emit dataChanged();
    return true;
  }
  if (role == Qt::CheckStateRole && index.column() == m_col_check) {
    mark->checked = value.toInt() == Qt::Checked;
    emit checkChanged();
    return true;
  }
  return false;
}

Qt::ItemFlags ModelPlotSel::flags(const QModelIndex& index) const {
  Qt::ItemFlags f = QAbstractTableModel::flags(index);
  if (!index.isValid()) return f;
  if (index.column() == m_col_check) f |= Qt::ItemIsUserCheckable;
  if (index.column() == m_col_color) f |= Qt::ItemIsEditable;
  return f;
}

QVariant ModelPlotSel::markData(const QModelIndex& index, int role) const {
  const PlotSelMark* mark = index.isValid() ? markAt(index.row()) : nullptr;
  if (!mark) return QVariant();
  if (role == Qt::CheckStateRole && index.column() == m_col_check)
    return int(mark->checked ? Qt::Checked : Qt::Unchecked);
  if (role == Qt::DecorationRole && index.column() == m_col_color) return mark->color;
  return QVariant();
}

bool ModelPlotSel::isChecked(int row) const {
  const PlotSelMark* mark = markAt(row);
  return mark && mark->checked;
}

void ModelPlotSel::setAllChecked(bool checked) {
  const int rows = rowCount();
  for (int r = 0; r < rows; ++r) markAt(r)->checked = checked;
  if (rows > 0)
    emit QAbstractItemModel::dataChanged(index(0, m_col_check), index(rows - 1, m_col_check), {Qt::CheckStateRole});
  emit checkChanged();
}

QColor ModelPlotSel::color(int row) const {
  const PlotSelMark* mark = markAt(row);
  return mark ? mark->color : QColor();
}
