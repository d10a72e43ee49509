#include "gui/results/model_res.h"

#include <QBrush>
#include <QColor>
#include <QString>

#include "core/base/algo.h"
#include "core/sip/format_srs.h"
#include "core/sip/result_sip.h"

namespace {

enum Field { F_NONE, F_VALUE, F_STD, F_ERR };
enum Scale { S_ONE, S_MILLI, S_PERCENT, S_DEG };

struct DisplayItem {
  const char* header;
  int quantity;   // ResItem block; -1 for the channel columns
  Field field;
  Scale scale;
  const char* format;
  uint32_t min_count;  // the quantity's count below which the cell stays empty
};

// Codes 5, 7, 13, 15, 17 and 19 show the spread of the stacked values;
// 9, 11, 21 and 23 the error estimate.
const DisplayItem DISPLAY_ITEMS[ModelRes::ITEM_CNT] = {
    {QT_TRANSLATE_NOOP("ModelRes", "仪器_通道"), -1, F_NONE, S_ONE, nullptr, 0},
    {QT_TRANSLATE_NOOP("ModelRes", "通道ID"), -1, F_NONE, S_ONE, nullptr, 0},
    {QT_TRANSLATE_NOOP("ModelRes", "M位置(m)"), -1, F_NONE, S_ONE, nullptr, 0},
    {QT_TRANSLATE_NOOP("ModelRes", "采集进度"), -1, F_NONE, S_ONE, nullptr, 0},
    {QT_TRANSLATE_NOOP("ModelRes", "电场振幅(mV)"), RES_U_AMP, F_VALUE, S_MILLI, "%.3f", 1},
    {QT_TRANSLATE_NOOP("ModelRes", "电场振幅均方差(mV)"), RES_U_AMP, F_STD, S_MILLI, "%.3f", 2},
    {QT_TRANSLATE_NOOP("ModelRes", "电场相位(°)"), RES_U_PH, F_VALUE, S_DEG, "%.3f", 1},
    {QT_TRANSLATE_NOOP("ModelRes", "电场相位均方差(°)"), RES_U_PH, F_STD, S_DEG, "%.3f", 2},
    {QT_TRANSLATE_NOOP("ModelRes", "视电阻率(Ω·m)"), RES_APP, F_VALUE, S_ONE, "%.3E", 1},
    {QT_TRANSLATE_NOOP("ModelRes", "视电阻率误差(%)"), RES_APP, F_ERR, S_ONE, "%.2f", 2},
    {QT_TRANSLATE_NOOP("ModelRes", "阻抗相位(°)"), RES_Z_PH, F_VALUE, S_DEG, "%.2f", 1},
    {QT_TRANSLATE_NOOP("ModelRes", "阻抗相位均方差(°)"), RES_Z_PH, F_ERR, S_DEG, "%.2f", 2},
    {QT_TRANSLATE_NOOP("ModelRes", "磁场振幅(mV)"), RES_H_AMP, F_VALUE, S_MILLI, "%.3f", 1},
    {QT_TRANSLATE_NOOP("ModelRes", "磁场振幅均方差(mV)"), RES_H_AMP, F_STD, S_MILLI, "%.3f", 2},
    {QT_TRANSLATE_NOOP("ModelRes", "磁场相位(°)"), RES_H_PH, F_VALUE, S_DEG, "%.2f", 1},
    {QT_TRANSLATE_NOOP("ModelRes", "磁场相位均方差(°)"), RES_H_PH, F_STD, S_DEG, "%.2f", 2},
    {QT_TRANSLATE_NOOP("ModelRes", "电流振幅(A)"), RES_I_AMP, F_VALUE, S_ONE, "%.3f", 1},
    {QT_TRANSLATE_NOOP("ModelRes", "电流振幅均方差(A)"), RES_I_AMP, F_STD, S_ONE, "%.3f", 2},
    {QT_TRANSLATE_NOOP("ModelRes", "电流相位(°)"), RES_I_PH, F_VALUE, S_DEG, "%.2f", 1},
    {QT_TRANSLATE_NOOP("ModelRes", "电流相位均方差(°)"), RES_I_PH, F_STD, S_DEG, "%.2f", 2},
    {QT_TRANSLATE_NOOP("ModelRes", "     CP(mrad)"), RES_CP, F_VALUE, S_MILLI, "%.2f", 1},
    {QT_TRANSLATE_NOOP("ModelRes", "CP_STD(mrad)"), RES_CP, F_ERR, S_MILLI, "%.2f", 2},
    {QT_TRANSLATE_NOOP("ModelRes", "     FS(%)"), RES_FS, F_VALUE, S_PERCENT, "%.2f", 1},
    {QT_TRANSLATE_NOOP("ModelRes", "FS_STD(%)"), RES_FS, F_ERR, S_PERCENT, "%.2f", 2},
};

constexpr int CODE_APP_ERR = 9;
constexpr int CODE_CP_ERR = 21;
constexpr int CODE_FS_ERR = 23;

double scaled(float x, Scale scale) {
  switch (scale) {
    case S_MILLI: return double(x) * 1000.0;
    case S_PERCENT: return double(x) * 100.0;
    case S_DEG: return double(float(double(x) * 180.0 / ALGO_PI));
    case S_ONE: break;
  }
  return double(x);
}

float field_of(const ResBlock& blk, Field field) {
  switch (field) {
    case F_STD: return blk.std;
    case F_ERR: return blk.err;
    case F_VALUE:
    case F_NONE: break;
  }
  return blk.value;
}

// What a position outside the shown result reads as.
ResItem zero_item() {
  ResItem item;
  for (ResBlock& blk : item.blk) {
    blk.value = 0.0f;
    blk.std = 0.0f;
    blk.err = 0.0f;
    blk.count = 0;
  }
  return item;
}

}  // namespace

ModelRes::ModelRes(QObject* parent) : QAbstractTableModel(parent) {}

void ModelRes::setDisplayItems(const QVector<int>& items) {
  beginResetModel();
  m_display_items = items;
  endResetModel();
}

void ModelRes::setSrs(CFormatSRS* srs) {
  beginResetModel();
  m_srs = srs;
  endResetModel();
}

void ModelRes::setLimits(const std::vector<LimitItem>* vt_limit) {
  m_vt_limit = vt_limit;
  cellsChanged();
}

void ModelRes::setFreqIdx(int idx) {
  m_idx_freq = idx;
  cellsChanged();
}

void ModelRes::setHarmIdx(int idx) {
  m_idx_harm = idx;
  cellsChanged();
}

void ModelRes::setFreqHarm(int idx_freq, int idx_harm) {
  m_idx_freq = idx_freq;
  m_idx_harm = idx_harm;
  cellsChanged();
}

void ModelRes::setSingleFreq(bool single) {
  m_single_freq = single;
  cellsChanged();
}

void ModelRes::resetFreq() {
  beginResetModel();
  m_idx_freq = -1;
  endResetModel();
}

void ModelRes::cellsChanged() {
  const int rows = rowCount(), cols = columnCount();
  if (rows > 0 && cols > 0) emit dataChanged(index(0, 0), index(rows - 1, cols - 1));
}

int ModelRes::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || !m_srs) return 0;
  return m_srs->m_res_composed.GetChNum();
}

int ModelRes::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : m_display_items.size();
}

QVariant ModelRes::data(const QModelIndex& index, int role) const {
  if (index.row() < 0 || index.column() < 0 || !index.model()) return QVariant();
  if (m_idx_freq < 0 || m_idx_harm < 0 || !m_srs) return QVariant();

  CResultSip& res = m_single_freq ? m_srs->m_res : m_srs->m_res_composed;
  const int code = m_display_items.value(index.column(), -1);
  const int row = index.row();
  const bool inside = row < res.GetChNum() && m_idx_freq < res.GetFreqNum() && m_idx_harm < res.GetHarmNum();
  const ResItem item = inside ? res.GetItem(row, m_idx_freq, m_idx_harm) : zero_item();

  switch (role) {
    case Qt::DisplayRole:
      return displayText(code, row, res, item);
    case Qt::TextAlignmentRole:
      return int(Qt::AlignHCenter | Qt::AlignVCenter);
    case Qt::ForegroundRole:
      return foreground(code, item);
    case Qt::BackgroundRole:
      return item.bad ? QVariant(QBrush(QColor(245, 222, 179))) : QVariant();
    default:
      return QVariant();
  }
}

QVariant ModelRes::displayText(int code, int row, CResultSip& res, const ResItem& item) const {
  if (code < 0 || code >= ITEM_CNT) return QVariant();
  const DisplayItem& def = DISPLAY_ITEMS[code];

  if (code == 3) {
    // Progress counts the composed calculations, whatever result is shown.
    return tr("已计算%1次").arg(m_srs->m_res_composed.GetCalTimes(row));
  }
  if (def.quantity < 0) {
    if (row >= res.GetChNum()) return QVariant();
    const ChInfo info = res.GetChInfo(row);
    switch (code) {
      case 0:
        return QString("%1").arg(QString::fromUtf8(info.dev_name.c_str())) + QString("_%1").arg(info.idx_dev_ch + 1);
      case 1:
        if (info.ch_type == SIP_CH_ELECTRIC) return QString("ex%1").arg(info.site_no + 1);
        if (info.ch_type == SIP_CH_MAGNETIC) return QString("hy");
        return QString("invalid");
      default:
        return QString::asprintf("%.1f", double(info.m_pos));
    }
  }

  const ResBlock& blk = item.blk[def.quantity];
  if (blk.count < def.min_count) return QVariant();
  if (code == CODE_APP_ERR) {
    if (blk.err == 0.0f || blk.value == 0.0f) return QString("0.00");
    return QString::asprintf(def.format, double(blk.err) * 100.0 / double(blk.value));
  }
  return QString::asprintf(def.format, scaled(field_of(blk, def.field), def.scale));
}

QVariant ModelRes::foreground(int code, const ResItem& item) const {
  if (!m_vt_limit) return QVariant();
  int limit_row = 0;
  int quantity = 0;
  switch (code) {
    case CODE_APP_ERR: limit_row = LIMIT_ROW_APP; quantity = RES_APP; break;
    case CODE_CP_ERR: limit_row = LIMIT_ROW_CP; quantity = RES_CP; break;
    case CODE_FS_ERR: limit_row = LIMIT_ROW_FS; quantity = RES_FS; break;
    default: return QVariant();
  }
  if (size_t(limit_row) >= m_vt_limit->size()) return QVariant();
  const ResBlock& blk = item.blk[quantity];
  if (PassLimit(blk.value, blk.err, (*m_vt_limit)[size_t(limit_row)])) return QVariant();
  return QBrush(QColor(176, 23, 31));
}

QVariant ModelRes::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
  const int code = m_display_items.value(section, -1);
  if (code < 0 || code >= ITEM_CNT) return QVariant();
  return tr(DISPLAY_ITEMS[code].header);
}

Qt::ItemFlags ModelRes::flags(const QModelIndex& index) const { return QAbstractTableModel::flags(index); }
