#include "gui/params/model_sip_dev_lay.h"

#include <QColor>
#include <QCoreApplication>
#include <QStringList>

namespace {

const char* const kTypeNames[] = {
    QT_TRANSLATE_NOOP("ModelSipDevLay", "无效"),
    QT_TRANSLATE_NOOP("ModelSipDevLay", "电道"),
    QT_TRANSLATE_NOOP("ModelSipDevLay", "磁道"),
    QT_TRANSLATE_NOOP("ModelSipDevLay", "电流"),
};

const QColor kGrey(240, 240, 240);
const QColor kDuplicate(176, 23, 31);

// The largest electrode number a 16-bit site number holds.
constexpr int kMaxElectrodeNo = 65536;

}  // namespace

ModelSipDevLay::ModelSipDevLay(std::vector<PrmDev>* devs, QObject* parent)
    : QAbstractTableModel(parent), m_devs(devs) {
  m_rows = rowsFor();
}

QString ModelSipDevLay::typeName(int type) {
  if (type < SIP_CH_INVALID || type > SIP_CH_CURRENT) return QString();
  return QCoreApplication::translate("ModelSipDevLay", kTypeNames[type]);
}

int ModelSipDevLay::rowsFor() const {
  const int n = int(m_devs->size());
  const bool hidden = m_cur_station >= 0 && m_cur_station < n;
  return MAX_CH_NUM * (hidden ? n - 1 : n);
}

void ModelSipDevLay::refresh() {
  const int rows = rowsFor();
  if (rows != m_rows) {
    beginResetModel();
    m_rows = rows;
    endResetModel();
    return;
  }
  emit layoutAboutToBeChanged();
  emit layoutChanged();
}

int ModelSipDevLay::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_rows; }

int ModelSipDevLay::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 7; }

QVariant ModelSipDevLay::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  switch (section) {
    case 0:
      return tr("采集站");
    case 1:
      return tr("通道号");
    case 2:
      return tr("通道类型");
    case 3:
      return tr("电道编号");
    case 4:
      return tr("M坐标(m)");
    case 5:
      return tr("N坐标(m)");
    case 6:
      return tr("A点垂距");
    default:
      return QVariant();
  }
}

int ModelSipDevLay::deviceOf(int row) const {
  if (row < 0 || row >= m_rows) return -1;
  int k = row / MAX_CH_NUM;
  if (m_cur_station >= 0 && k >= m_cur_station) ++k;
  return k < int(m_devs->size()) ? k : -1;
}

bool ModelSipDevLay::usedElsewhere(int dev, int ch) const {
  const uint16_t site = (*m_devs)[size_t(dev)].site_no[ch];
  for (int d = 0; d < int(m_devs->size()); ++d)
    for (int c = 0; c < MAX_CH_NUM; ++c) {
      if (d == dev && c == ch) continue;
      const PrmDev& o = (*m_devs)[size_t(d)];
      if (o.ch_type[c] == SIP_CH_ELECTRIC && o.site_no[c] == site) return true;
    }
  return false;
}

QVariant ModelSipDevLay::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return QVariant();
  const int k = deviceOf(index.row());
  if (k < 0) return QVariant();
  const PrmDev& d = (*m_devs)[size_t(k)];
  const int c = index.row() % MAX_CH_NUM;
  const int col = index.column();
  const bool electric = d.ch_type[c] == SIP_CH_ELECTRIC;
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: {
      switch (col) {
        case 0:
          return QString::fromUtf8(d.dev_name);
        case 1:
          return QString("CH%1").arg(c + 1);
        case 2:
          return typeName(d.ch_type[c]);
        case 3:
          return electric ? QVariant(int(d.site_no[c]) + 1) : QVariant();
        case 4:
        case 5: {
          if (!electric) return QVariant();
          const float m = d.pos_valid ? d.mx[c] : SipSitePos(m_first, m_mn, d.site_no[c]);
          if (col == 4) return double(m);
          return double(d.pos_valid ? d.nx[c] : m + m_mn);
        }
        case 6:
          return QString("%1").arg(double(d.vd2ab), 0, 'g', 6);
        default:
          return QVariant();
      }
    }
    case Qt::TextAlignmentRole:
      return int(Qt::AlignCenter);
    case Qt::BackgroundRole:
      return (flags(index) & Qt::ItemIsEditable) ? QVariant() : QVariant(kGrey);
    case Qt::ForegroundRole:
      if (col >= 3 && col <= 5 && electric && usedElsewhere(k, c)) return kDuplicate;
      return QVariant();
    case Qt::UserRole:
      if (col != 2) return QVariant();
      return QStringList{typeName(d.ch_type[c]), typeName(SIP_CH_ELECTRIC), typeName(SIP_CH_INVALID)};
    default:
      return QVariant();
  }
}

bool ModelSipDevLay::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !index.isValid()) return false;
  const int k = deviceOf(index.row());
  if (k < 0) return false;
  PrmDev& d = (*m_devs)[size_t(k)];
  const int c = index.row() % MAX_CH_NUM;
  bool ok = true;
  switch (index.column()) {
    case 2: {
      const QString text = value.toString();
      int type = SIP_CH_INVALID;
      for (int t = SIP_CH_ELECTRIC; t <= SIP_CH_CURRENT; ++t)
        if (text == typeName(t)) type = t;
      d.ch_type[c] = type;
      break;
    }
    case 3: {
      // Electrode numbers start at 1 and must fit the 16-bit site number.
      const int n = value.toInt(&ok);
      if (!ok || n < 1 || n > kMaxElectrodeNo) return false;
      if (n - 1 != int(d.site_no[c])) {
        d.site_no[c] = uint16_t(n - 1);
        d.mx[c] = SipSitePos(m_first, m_mn, d.site_no[c]);
        d.nx[c] = d.mx[c] + m_mn;
      }
      break;
    }
    case 4:
    case 5:
    case 6: {
      const float v = value.toFloat(&ok);
      if (!ok) return false;
      if (index.column() == 4)
        d.mx[c] = v;
      else if (index.column() == 5)
        d.nx[c] = v;
      else
        d.vd2ab = v;
      break;
    }
    default:
      return false;
  }
  // One edit can change the positions of its row and the duplicate marks of
  // other rows.
  if (m_rows > 0) emit dataChanged(this->index(0, 0), this->index(m_rows - 1, 6));
  emit dataEdited();
  return true;
}

Qt::ItemFlags ModelSipDevLay::flags(const QModelIndex& index) const {
  Qt::ItemFlags f = QAbstractTableModel::flags(index);
  if (!index.isValid() || !m_editable) return f;
  const int k = deviceOf(index.row());
  if (k < 0) return f;
  const int col = index.column();
  const int type = (*m_devs)[size_t(k)].ch_type[index.row() % MAX_CH_NUM];
  if ((type == SIP_CH_INVALID && col == 2) || (type != SIP_CH_INVALID && col >= 2 && col <= 6))
    f |= Qt::ItemIsEditable;
  return f;
}
