#include "gui/stations/wdt_gps_pos.h"

#include <QAction>
#include <QEvent>
#include <QGroupBox>
#include <QHash>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPolygonF>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/sip/stations.h"
#include "gui/toolkit/custom_plot.h"

namespace {

const int kChannelRgb[MAX_CH_NUM][3] = {{252, 10, 87}, {0, 0, 0},     {163, 5, 255},
                                        {5, 38, 255},  {6, 243, 255}, {6, 255, 64}};

// Decimal degrees need six decimals to place a station to the metre; the
// default display of a double keeps six digits in all.
class FixedDecimals : public QStyledItemDelegate {
public:
  FixedDecimals(int decimals, QObject* parent) : QStyledItemDelegate(parent), m_decimals(decimals) {}
  QString displayText(const QVariant& value, const QLocale& locale) const override {
    if (value.userType() == QMetaType::Double) return locale.toString(value.toDouble(), 'f', m_decimals);
    return QStyledItemDelegate::displayText(value, locale);
  }

private:
  int m_decimals;
};

// Names stand centred above their points; the rescale margin alone leaves
// the names of the outer points partly outside the axis rect, where they are
// clipped. Widens the ranges by the extent of the largest name: its height
// at the top and at the bottom (where a name goes that would cover another
// above its point), half its width at either side.
void MakeRoomForNames(CCustomPlot* plot, const QList<QCPItemText*>& labels) {
  if (labels.isEmpty()) return;
  plot->replot();  // lays the axis rect out for the current widget size
  int up = 0, side = 0;
  for (QCPItemText* t : labels) {
    const QFontMetrics fm(t->font());
    const bool upright = t->rotation() == 0.0;
    const int w = fm.horizontalAdvance(t->text()) + 4, h = fm.height() + 4;
    up = std::max(up, upright ? h : w);
    side = std::max(side, (upright ? w : h) / 2);
  }
  const int rect_w = plot->axisRect()->width(), rect_h = plot->axisRect()->height();
  if (rect_h > 4 * up) {
    QCPRange r = plot->yAxis->range();
    const double grow = r.size() * double(up) / double(rect_h - 2 * up);
    plot->yAxis->setRange(r.lower - grow, r.upper + grow);
  }
  if (rect_w > 4 * side) {
    QCPRange r = plot->xAxis->range();
    const double grow = r.size() * double(side) / double(rect_w - 2 * side);
    plot->xAxis->setRange(r.lower - grow, r.upper + grow);
  }
}

// The name's box on the screen, rotation included.
QRectF NameRect(const QCPItemText* t) {
  QPolygonF corners;
  for (QCPItemAnchor* a : {t->topLeft, t->topRight, t->bottomRight, t->bottomLeft}) corners << a->pixelPosition();
  return corners.boundingRect();
}

// A name stands above its point. Where that would cover a name placed
// before it (a station on its first electrode, neighbours at a coarse
// zoom), it goes below, right or left of its point instead: the first of
// those that covers no name and stays inside the plot, else above after
// all. The same name at the same point (an electrode two channels share)
// takes its twin's place. Run after every layout, so that zooming and
// resizing place the names anew.
void PlaceNames(const QCPAxisRect* area, const QList<QCPItemText*>& labels) {
  static const Qt::Alignment kPlaces[] = {Qt::AlignHCenter | Qt::AlignBottom, Qt::AlignHCenter | Qt::AlignTop,
                                          Qt::AlignLeft | Qt::AlignVCenter, Qt::AlignRight | Qt::AlignVCenter};
  const QRectF inside = area->rect();
  QVector<QRectF> taken;
  QHash<QString, Qt::Alignment> placed;  // name and point -> place
  auto free = [&taken](const QRectF& r) {
    // A pixel of touch between neighbours is no overlap.
    const QRectF core = r.adjusted(1, 1, -1, -1);
    return std::none_of(taken.cbegin(), taken.cend(), [&core](const QRectF& o) { return o.intersects(core); });
  };
  for (QCPItemText* t : labels) {
    if (!t->visible()) continue;
    const QPointF at = t->position->pixelPosition();
    const QString key = QString("%1@%2,%3").arg(t->text()).arg(qRound(at.x())).arg(qRound(at.y()));
    auto twin = placed.constFind(key);
    if (twin != placed.cend()) {
      t->setPositionAlignment(*twin);
      continue;
    }
    Qt::Alignment chosen = kPlaces[0];
    t->setPositionAlignment(chosen);
    if (!free(NameRect(t))) {
      for (size_t i = 1; i < sizeof kPlaces / sizeof kPlaces[0]; ++i) {
        t->setPositionAlignment(kPlaces[i]);
        const QRectF r = NameRect(t);
        if (inside.contains(r) && free(r)) {
          chosen = kPlaces[i];
          break;
        }
      }
      t->setPositionAlignment(chosen);
    }
    placed.insert(key, chosen);
    taken.append(NameRect(t));
  }
}

std::string RecordStr(const char* buf) { return std::string(buf, strnlen(buf, SIP_STR_LEN)); }

std::vector<CItemGpsPos*> CheckedItems(const QVector<CItem*>* items) {
  std::vector<CItemGpsPos*> out;
  if (!items) return out;
  for (CItem* base : *items) {
    auto* item = qobject_cast<CItemGpsPos*>(base);
    if (item && item->m_checked) out.push_back(item);
  }
  return out;
}

}  // namespace

QColor CWdtGpsPos::channelColor(int k) {
  if (k < 0 || k >= MAX_CH_NUM) return QColor(0, 0, 0);
  return QColor(kChannelRgb[k][0], kChannelRgb[k][1], kChannelRgb[k][2]);
}

CWdtGpsPos::CWdtGpsPos(QWidget* parent) : QWidget(parent) {
  m_model.setColumnVisible(CModelStPos::COL_X, false);
  m_model.setColumnVisible(CModelStPos::COL_Y, false);

  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  auto* bottom = new QHBoxLayout;
  layout->addLayout(top);
  layout->addLayout(bottom);

  m_grpTable = new QGroupBox(tr("位置信息"), this);
  m_grpTable->setMaximumWidth(300);
  auto* tableLayout = new QVBoxLayout(m_grpTable);
  m_view = new QTableView(m_grpTable);
  m_view->setModel(&m_model);
  m_view->verticalHeader()->hide();
  m_view->setItemDelegateForColumn(1, new FixedDecimals(6, m_view));
  m_view->setItemDelegateForColumn(2, new FixedDecimals(6, m_view));
  m_view->setItemDelegateForColumn(3, new FixedDecimals(2, m_view));
  tableLayout->addWidget(m_view);
  top->addWidget(m_grpTable);

  auto* grpPlots = new QGroupBox(tr("分布图"), this);
  auto* plotLayout = new QVBoxLayout(grpPlots);
  for (int p = 0; p < 2; ++p) {
    m_plot[p] = new CCustomPlot(grpPlots);
    plotLayout->addWidget(m_plot[p]);
    m_act_hide[p] = m_plot[p]->m_menu->addAction(tr("隐藏点号"));
    m_act_hide[p]->setCheckable(true);
    connect(m_act_hide[p], &QAction::triggered, this, &CWdtGpsPos::onShowHideName);
    m_act_rotate[p] = m_plot[p]->m_menu->addAction(tr("旋转点号"));
    m_act_rotate[p]->setCheckable(true);
    connect(m_act_rotate[p], &QAction::triggered, this, &CWdtGpsPos::onRotateName);
    connect(m_plot[p], &QCustomPlot::afterLayout, this,
            [this, p]() { PlaceNames(m_plot[p]->axisRect(), m_vt_label[p]); });
  }
  top->addWidget(grpPlots);

  const QString legend[MAX_CH_NUM] = {tr("----1通道 "), tr("----2通道 "), tr("----3通道 "),
                                      tr("----4通道 "), tr("----5通道 "), tr("----6通道 ")};
  bottom->addStretch();
  for (int k = 0; k < MAX_CH_NUM; ++k) {
    auto* label = new QLabel(legend[k], this);
    label->setObjectName(QString("lbLegend%1").arg(k + 1));
    label->setStyleSheet(QString("color: rgb(%1, %2, %3);")
                             .arg(kChannelRgb[k][0])
                             .arg(kChannelRgb[k][1])
                             .arg(kChannelRgb[k][2]));
    bottom->addWidget(label);
  }
  auto* btnClose = new QPushButton(tr("关 闭"), this);
  btnClose->setObjectName("btnClose");
  bottom->addWidget(btnClose);

  connect(btnClose, &QPushButton::clicked, this, &CWdtGpsPos::onBtnClose);
  connect(&m_model, &CModelStPos::checkChanged, this, &CWdtGpsPos::onItemChecked);
}

CWdtGpsPos::~CWdtGpsPos() { clearPoleItems(); }

void CWdtGpsPos::setStationItems(QVector<CItem*>* items) {
  m_items = items;
  computeOrigin();
  m_model.setItems(items);
}

void CWdtGpsPos::refresh(bool rescale) {
  // The main window replaces its items before it calls this, also without
  // setStationItems (on clear): the row count may have changed, so the
  // model starts over instead of announcing a mere layout change.
  m_model.reload();
  // A hidden tab of a shown window draws nothing: showing it refreshes it.
  if (window() != this && window()->isVisible() && !isVisible()) return;
  m_view->resizeColumnsToContents();
  fitTableWidth();
  onUpdatePlotGps(rescale);
  onUpdatePlotUser(rescale);
}

void CWdtGpsPos::fitTableWidth() {
  // Six decimals of a degree and the elevation do not fit into 300 pixels
  // in every font: the table may grow as far as its columns need.
  const QMargins m = m_grpTable->layout()->contentsMargins();
  const int needed = m_view->horizontalHeader()->length() + 2 * m_view->frameWidth() +
                     m_view->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + m.left() + m.right() + 4;
  m_grpTable->setMaximumWidth(std::max(300, needed));
}

void CWdtGpsPos::showEvent(QShowEvent* event) {
  if (event->type() == QEvent::Show) refresh(true);
  QWidget::showEvent(event);
}

void CWdtGpsPos::onBtnClose() { close(); }

void CWdtGpsPos::onItemChecked(QVector<CItem*>) {
  computeOrigin();
  onUpdatePlotGps(true);
  onUpdatePlotUser(true);
}

void CWdtGpsPos::computeOrigin() {
  const std::vector<CItemGpsPos*> checked = CheckedItems(m_items);
  if (!checked.empty()) m_origin.copyValuesFrom(*checked.front());
  std::vector<double> lats, lons;
  for (const CItemGpsPos* item : checked) {
    lats.push_back(item->m_lat);
    lons.push_back(item->m_lon);
  }
  GpsReferencePoint(lats, lons, &m_origin.m_lat, &m_origin.m_lon);
}

void CWdtGpsPos::addPoint(int plot, const CItemGpsPos& item, int style) {
  double x = item.m_x, y = item.m_y;
  if (plot == 0) GpsToRelative(item.m_lat, item.m_lon, m_origin.m_lat, m_origin.m_lon, &x, &y);
  const QColor colour = style == 1 ? QColor(0, 0, 255) : QColor(255, 0, 0);
  const QCPScatterStyle scatter(style == 1 ? QCPScatterStyle::ssTriangle : QCPScatterStyle::ssStar, colour, 6);
  m_plot[plot]->AddGraph({x}, {y}, QString(), QPen(colour), false, scatter);
  auto* text = new QCPItemText(m_plot[plot]);
  text->position->setType(QCPItemPosition::ptPlotCoords);
  text->position->setCoords(x, y);
  text->setPositionAlignment(Qt::AlignHCenter | Qt::AlignBottom);
  text->setText(item.m_name);
  m_vt_label[plot].append(text);
}

void CWdtGpsPos::addPolePoint(int plot, int k, const PrmPole& pole, double sx, double sy) {
  auto* it = new CItemGpsPos(QString::fromUtf8(RecordStr(pole.name).c_str()));
  it->m_x = double(pole.x);
  it->m_y = double(pole.y);
  m_vt_pole_item.append(it);
  addPoint(plot, *it, 2);
  QPen pen(channelColor(k));
  pen.setStyle(Qt::DashLine);
  m_plot[plot]->AddGraph({sx, it->m_x}, {sy, it->m_y}, QString(), pen);
}

void CWdtGpsPos::clearPoleItems() {
  qDeleteAll(m_vt_pole_item);
  m_vt_pole_item.clear();
}

void CWdtGpsPos::onUpdatePlotGps(bool rescale) {
  CCustomPlot* plot = m_plot[0];
  m_vt_label[0].clear();
  plot->clearGraphs();
  plot->clearItems();
  plot->SetTitle(tr("GPS位置分布图"));
  plot->xAxis->setLabel(tr("东相对坐标(m)"));
  plot->yAxis->setLabel(tr("北相对坐标(m)"));

  bool any = false;
  double e_min = 0.0, e_max = 0.0, n_min = 0.0, n_max = 0.0;
  for (CItemGpsPos* item : CheckedItems(m_items)) {
    addPoint(0, *item, 1);
    double east = 0.0, north = 0.0;
    GpsToRelative(item->m_lat, item->m_lon, m_origin.m_lat, m_origin.m_lon, &east, &north);
    e_min = any ? std::min(e_min, east) : east;
    e_max = any ? std::max(e_max, east) : east;
    n_min = any ? std::min(n_min, north) : north;
    n_max = any ? std::max(n_max, north) : north;
    any = true;
  }
  const double hx = (e_max - e_min) / 2.0, hy = (n_max - n_min) / 2.0;
  m_act_rotate[0]->setChecked(hx > hy);
  applyRotation(0);
  if (any) {
    plot->m_x_fixed = plot->m_y_fixed = 1;
    StationAxisRange(e_min, e_max, &plot->m_x_min, &plot->m_x_max);
    StationAxisRange(n_min, n_max, &plot->m_y_min, &plot->m_y_max);
  } else {
    // Nothing to fit: an empty map of the smallest extent around the origin.
    plot->m_x_fixed = plot->m_y_fixed = 0;
    plot->xAxis->setRange(-105.0, 105.0);
    plot->yAxis->setRange(-105.0, 105.0);
  }
  applyHide(0);
  applyRotation(0);
  if (rescale) plot->Rescale(1.05);
  plot->replot();
}

void CWdtGpsPos::onUpdatePlotUser(bool rescale) {
  CCustomPlot* plot = m_plot[1];
  m_vt_label[1].clear();
  clearPoleItems();
  plot->clearGraphs();
  plot->clearItems();
  plot->SetTitle(tr("设计点位分布图"));
  plot->xAxis->setLabel(tr("X坐标(m)"));
  plot->yAxis->setLabel(tr("Y坐标(m)"));

  for (CItemGpsPos* item : CheckedItems(m_items)) {
    addPoint(1, *item, 1);
    for (size_t k = 0; k < item->m_vt_pole_label.size(); ++k) {
      const ChPoleLabel& row = item->m_vt_pole_label[k];
      const PrmPole m = FindPole(RecordStr(row.m_name), item->m_vt_pole);
      const PrmPole n = FindPole(RecordStr(row.n_name), item->m_vt_pole);
      addPolePoint(1, int(k), m, item->m_x, item->m_y);
      addPolePoint(1, int(k), n, item->m_x, item->m_y);
    }
  }
  applyHide(1);
  applyRotation(1);
  if (rescale) {
    plot->Rescale(1.05);
    MakeRoomForNames(plot, m_vt_label[1]);
  }
  plot->replot();
}

void CWdtGpsPos::applyHide(int plot) {
  for (QCPItemText* text : m_vt_label[plot]) text->setVisible(!m_act_hide[plot]->isChecked());
}

void CWdtGpsPos::applyRotation(int plot) {
  for (QCPItemText* text : m_vt_label[plot]) text->setRotation(m_act_rotate[plot]->isChecked() ? -90.0 : 0.0);
}

void CWdtGpsPos::onShowHideName() {
  for (int p = 0; p < 2; ++p) {
    applyHide(p);
    m_plot[p]->replot();
  }
}

void CWdtGpsPos::onRotateName() {
  for (int p = 0; p < 2; ++p) {
    applyRotation(p);
    m_plot[p]->replot();
  }
}
