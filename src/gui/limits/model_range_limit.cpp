#include "gui/limits/model_range_limit.h"

#include <QColor>
#include <QString>

CModelRangeLimit::CModelRangeLimit(std::vector<LimitItem>* vt_limit, QObject* parent)
    : QAbstractTableModel(parent), m_vt_limit(vt_limit) {
  Q_ASSERT(vt_limit != NULL);
}

int CModelRangeLimit::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || !m_vt_limit) return 0;
  return int(m_vt_limit->size());
}

int CModelRangeLimit::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QVariant CModelRangeLimit::headerData(int section, Qt::Orientation orientation, int role) const {
  Q_ASSERT(m_vt_limit->size() == LIMIT_TYPE_CNT);
  if (role != Qt::DisplayRole) return QVariant();
  if (orientation == Qt::Horizontal) {
    switch (section) {
      case 0: return tr("最小值");
      case 1: return tr("最大值");
      default: return QVariant();
    }
  }
  switch (section) {
    case 0: return tr("信号振幅(mV)");
    case 1: return tr("视电阻率(Ω·m)");
    case 2: return tr("相对相位(mrad)");
    default: return QVariant();
  }
}

float CModelRangeLimit::displayScale(int row) { return (row == 0 || row == 2) ? 1000.0f : 1.0f; }

bool CModelRangeLimit::cellOn(const QModelIndex& index) const {
  if (!index.isValid() || !m_vt_limit || index.row() >= int(m_vt_limit->size())) return false;
  const LimitItem& item = (*m_vt_limit)[size_t(index.row())];
  return index.column() == 0 ? item.min_on : item.max_on;
}

QVariant CModelRangeLimit::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || !m_vt_limit || index.row() >= int(m_vt_limit->size())) return QVariant();
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: {
      if (!cellOn(index)) return QVariant();
      const LimitItem& item = (*m_vt_limit)[size_t(index.row())];
      const float v = (index.column() == 0 ? item.min : item.max) * displayScale(index.row());
      return QString::asprintf("%g", double(v));
    }
    case Qt::BackgroundRole:
      return cellOn(index) ? QVariant() : QVariant(QColor(240, 240, 240));
    case Qt::TextAlignmentRole:
      return int(Qt::AlignRight | Qt::AlignVCenter);
    default:
      return QVariant();
  }
}

bool CModelRangeLimit::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !index.isValid() || !m_vt_limit || index.row() >= int(m_vt_limit->size())) {
    return false;
  }
  const float v = value.toFloat() / displayScale(index.row());
  LimitItem* item = &(*m_vt_limit)[size_t(index.row())];
  limit_store_value(item, index.column() == 0 ? LIMIT_MIN : LIMIT_MAX, v);
  return true;
}

Qt::ItemFlags CModelRangeLimit::flags(const QModelIndex& index) const {
  Qt::ItemFlags f = QAbstractTableModel::flags(index);
  if (cellOn(index)) f |= Qt::ItemIsEditable;
  return f;
}
