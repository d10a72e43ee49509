#include "gui/stations/model_st_pos.h"

#include <QColor>

#include "core/sip/stations.h"
#include "gui/stations/item_gps_pos.h"

CModelStPos::CModelStPos(QObject* parent) : QAbstractTableModel(parent), m_vt_col{0, 1, 2, 3, 4, 5} {}

void CModelStPos::setItems(QVector<CItem*>* items) {
  beginResetModel();
  m_items = items;
  endResetModel();
}

void CModelStPos::reload() {
  beginResetModel();
  endResetModel();
}

void CModelStPos::setColumnVisible(int code, bool show) {
  const int pos = m_vt_col.indexOf(code);
  if (show == (pos >= 0)) return;
  beginResetModel();
  if (show)
    m_vt_col.append(code);
  else
    m_vt_col.remove(pos);
  endResetModel();
}

int CModelStPos::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || !m_items) return 0;
  return m_items->size();
}

int CModelStPos::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_vt_col.size(); }

QVariant CModelStPos::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return QVariant();
  switch (columnCode(section)) {
    case COL_X:
      return tr("X坐标");
    case COL_Y:
      return tr("Y坐标");
    case COL_LON:
      return tr("经度°");
    case COL_LAT:
      return tr("纬度°");
    case COL_ALTI:
      return tr("高程m");
    default:
      return QVariant();
  }
}

QVariant CModelStPos::data(const QModelIndex& index, int role) const {
  if (!m_items || !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
    return QVariant();
  const auto* item = qobject_cast<const CItemGpsPos*>(m_items->at(index.row()));
  const CItem* base = m_items->at(index.row());
  if (!base) return QVariant();
  const int code = columnCode(index.column());
  switch (role) {
    case Qt::DisplayRole:
      if (code == COL_NAME) return base->m_name;
      if (!item) return QVariant();
      switch (code) {
        case COL_X:
          return item->m_x;
        case COL_Y:
          return item->m_y;
        case COL_LON:
          return GpsToDegrees(item->m_lon);
        case COL_LAT:
          return GpsToDegrees(item->m_lat);
        case COL_ALTI:
          return item->m_alti;
        default:
          return QVariant();
      }
    case Qt::CheckStateRole:
      if (code == COL_NAME) return base->m_checked ? Qt::Checked : Qt::Unchecked;
      return QVariant();
    case Qt::BackgroundRole:
      return QColor(240, 240, 240);
    case Qt::TextAlignmentRole:
      return int(Qt::AlignLeft | Qt::AlignVCenter);
    default:
      return QVariant();
  }
}

bool CModelStPos::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!m_items || !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
    return false;
  CItem* item = m_items->at(index.row());
  if (!item || role != Qt::CheckStateRole || columnCode(index.column()) != COL_NAME) return false;
  item->m_checked = value.toInt() == Qt::Checked;
  emit checkChanged(QVector<CItem*>{item});
  return true;
}

Qt::ItemFlags CModelStPos::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = QAbstractTableModel::flags(index);
  if (columnCode(index.column()) == COL_NAME) f |= Qt::ItemIsUserCheckable;
  return f;
}
