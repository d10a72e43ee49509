#include "gui/results/model_plot_sel_channel.h"

#include "core/sip/sip_pub.h"
#include "gui/results/model_plot_sel_freq.h"

ModelPlotSelChannel::ModelPlotSelChannel(QObject* parent) : ModelPlotSel(COL_CHECK, COL_COLOR, parent) {}

int ModelPlotSelChannel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : m_vt_items.size();
}

int ModelPlotSelChannel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : COL_COUNT; }

QString ModelPlotSelChannel::statusText(ColeColeStatus status) {
  switch (status) {
    case ColeColeStatus::Ok: return tr("成功");
    case ColeColeStatus::TooFewPoints: return tr("点数不足");
    default: return tr("拟合失败");
  }
}

QVariant ModelPlotSelChannel::fitText(const PlotSelChannel& item, int column) const {
  if (item.fit.status != ColeColeStatus::Ok) return QString();
  const ColeColeParams& p = item.fit.p;
  switch (column) {
    case COL_RHO0: return QString::number(p.rho0, 'g', 6);
    case COL_M: return QString::number(p.m, 'f', 4);
    case COL_TAU: return QString::number(p.tau, 'g', 4);
    case COL_C: return QString::number(p.c, 'f', 3);
    case COL_RMS: return QString::number(item.fit.rms_pct, 'f', 3);
    default: return QVariant();
  }
}

QVariant ModelPlotSelChannel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || !validRow(index.row())) return QVariant();
  const PlotSelChannel& item = m_vt_items[index.row()];
  const int col = index.column();
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      if (col == COL_CHANNEL) return item.label;
      if (col == COL_POS) return QString::number(double(item.pos), 'f', 1);
      if (col >= COL_RHO0 && col <= COL_RMS) return fitText(item, col);
      if (col == COL_STATUS) return statusText(item.fit.status);
      return QVariant();
    case Qt::CheckStateRole:
    case Qt::DecorationRole:
      return markData(index, role);
    case Qt::TextAlignmentRole:
      if (col >= COL_POS && col <= COL_RMS) return int(Qt::AlignRight | Qt::AlignVCenter);
      return QVariant();
    default:
      return QVariant();
  }
}

QVariant ModelPlotSelChannel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
  switch (section) {
    case COL_CHECK: return QString();
    case COL_CHANNEL: return tr("通道");
    case COL_POS: return tr("位置(m)");
    case COL_RHO0: return QStringLiteral("ρ0(Ω·m)");
    case COL_M: return QStringLiteral("m");
    case COL_TAU: return QStringLiteral("τ(s)");
    case COL_C: return QStringLiteral("c");
    case COL_RMS: return QStringLiteral("rms(%)");
    case COL_STATUS: return tr("状态");
    case COL_COLOR: return tr("颜色");
    default: return QVariant();
  }
}

void ModelPlotSelChannel::setChannels(const std::vector<ChannelSpectrum>& spectra,
                                      const std::vector<ColeColeFit>& fits) {
  beginResetModel();
  const int n = int(spectra.size());
  m_vt_items.resize(n);
  for (int i = 0; i < n; ++i) {
    PlotSelChannel& item = m_vt_items[i];
    item.label = QString::fromStdString(SipChLabel(spectra[size_t(i)].info));
    item.pos = spectra[size_t(i)].info.m_pos;
    item.fit = size_t(i) < fits.size() ? fits[size_t(i)] : ColeColeFit();
    item.checked = true;
    item.color = ModelPlotSelFreq::DefaultColor(i, n);
  }
  endResetModel();
}
