#include "gui/toolkit/custom_plot.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#include "gui/toolkit/dlg_plot_range.h"
#include "gui/toolkit/prompts.h"

namespace {

// 10^0.1 and 10^1.1: the symmetric logarithm is continuous at |u| = 0.1.
constexpr double kSymC = 1.2589254117941673;
constexpr double kSymCC = 12.589254117941673;
// Values at or beyond the float range cannot come from our files.
constexpr double kMaxValid = 3.4028235e38;

double signOf(double v) { return v < 0 ? -1.0 : 1.0; }

int wrapHue(int hue) { return ((hue % 360) + 360) % 360; }

bool strictlyInside(const QCPRange& r, double v) {
  const double lo = std::min(r.lower, r.upper);
  const double hi = std::max(r.lower, r.upper);
  return v > lo && v < hi;
}

// Keeps a ticker the caller installed unless the scale type needs another kind.
void setAxisScale(QCPAxis* axis, bool log) {
  const bool has_log_ticker = axis->ticker().dynamicCast<QCPAxisTickerLog>();
  if (log) {
    axis->setScaleType(QCPAxis::stLogarithmic);
    if (!has_log_ticker) {
      QSharedPointer<QCPAxisTickerLog> ticker(new QCPAxisTickerLog);
      ticker->setLogBase(10.0);
      axis->setTicker(ticker);
    }
  } else {
    axis->setScaleType(QCPAxis::stLinear);
    if (has_log_ticker) axis->setTicker(QSharedPointer<QCPAxisTicker>(new QCPAxisTicker));
  }
}

}  // namespace

CCustomPlot::CCustomPlot(QWidget* parent) : QCustomPlot(parent) {
  m_menu = new QMenu(this);
  QAction* act_range = m_menu->addAction(tr("范围设置"));
  connect(act_range, &QAction::triggered, this, &CCustomPlot::onMenuSetRange);
  m_menu->addSeparator();
  m_act_x_log = m_menu->addAction(tr("X轴对数"));
  m_act_x_log->setCheckable(true);
  connect(m_act_x_log, &QAction::triggered, this, &CCustomPlot::onMenuSetAxisXLog);
  m_act_y_log = m_menu->addAction(tr("Y轴对数"));
  m_act_y_log->setCheckable(true);
  connect(m_act_y_log, &QAction::triggered, this, &CCustomPlot::onMenuSetAxisYLog);

  EnsureOwnItems();

  setInteractions(QCP::iRangeDrag | QCP::iRangeZoom | QCP::iSelectPlottables | QCP::iSelectLegend);
  yAxis->setLabel(tr("y轴"));
  QFont legend_font = font();
  legend_font.setPointSize(8);
  legend->setFont(legend_font);
  legend->setSelectedFont(legend_font);
  legend->setSelectableParts(QCPLegend::spItems);
  legend->setVisible(false);
  installEventFilter(this);

  connect(this, &QCustomPlot::beforeReplot, this, &CCustomPlot::BeforeReplot);
  connect(this, &QCustomPlot::selectionChangedByUser, this, &CCustomPlot::SelectionChangedByUser);
}

CCustomPlot::~CCustomPlot() = default;

void CCustomPlot::EnsureOwnItems() {
  if (!m_zoom_rect) {
    m_zoom_rect = new QCPItemRect(this);
    m_zoom_rect->setSelectable(false);
    m_zoom_rect->setPen(QPen(QColor(50, 50, 50), 1, Qt::DashLine));
    m_zoom_rect->setBrush(QColor(80, 80, 255, 40));
    m_zoom_rect->setVisible(false);
  }
  if (!m_zoom_out) {
    m_zoom_out = new QCPItemEllipse(this);
    m_zoom_out->setSelectable(false);
    m_zoom_out->setPen(QPen(QColor(50, 50, 50), 1, Qt::DashLine));
    m_zoom_out->setBrush(QColor(255, 80, 80, 40));
    m_zoom_out->setVisible(false);
  }
  if (!m_cursor_text) {
    m_cursor_text = new QCPItemText(this);
    m_cursor_text->setSelectable(false);
    m_cursor_text->setPositionAlignment(Qt::AlignLeft | Qt::AlignBottom);
    m_cursor_text->setVisible(false);
  }
  if (!m_tracer) {
    m_tracer = new QCPItemTracer(this);
    m_tracer->setSelectable(false);
    m_tracer->setStyle(QCPItemTracer::tsCircle);
    m_tracer->setSize(7);
    m_tracer->setVisible(false);
  }
}

void CCustomPlot::SetTitle(const QString& text) {
  if (!m_title) {
    plotLayout()->insertRow(0);
    m_title = new QCPTextElement(this, text);
    plotLayout()->addElement(0, 0, m_title);
  }
  m_title->setText(text);
}

void CCustomPlot::SetXLog(bool on) {
  m_x_log = on;
  setAxisScale(xAxis, on);
}

void CCustomPlot::SetYMode(int mode, double lin, double b) {
  if (mode < PLOT_Y_LINEAR || mode > PLOT_Y_SYMLOG) return;
  const double old_lin = m_sym_lin;
  double new_lin = std::abs(lin);
  if (!(new_lin > 0.0) || !std::isfinite(new_lin)) new_lin = old_lin;
  m_sym_lin = new_lin;
  m_sym_b = std::abs(b);

  const int from = m_y_mode;
  if (from == PLOT_Y_SYMLOG || mode == PLOT_Y_SYMLOG) {
    auto conv = [&](double u) {
      const double v = from == PLOT_Y_SYMLOG ? SymLogInv(u, old_lin) : u;
      return mode == PLOT_Y_SYMLOG ? SymLog(v, new_lin) : v;
    };
    // Error bars are stored relative to their graph's values: convert their
    // ends while the graph still holds the old values.
    for (int i = 0; i < plottableCount(); ++i) {
      auto* bars = qobject_cast<QCPErrorBars*>(plottable(i));
      auto* graph = bars ? qobject_cast<QCPGraph*>(bars->dataPlottable()) : nullptr;
      if (!graph) continue;
      QSharedPointer<QCPErrorBarsDataContainer> errs = bars->data();
      const int n = std::min(errs->size(), graph->dataCount());
      for (int k = 0; k < n; ++k) {
        const double u = (graph->data()->constBegin() + k)->value;
        QCPErrorBarsData& e = (*errs)[k];
        const double nu = conv(u);
        e.errorMinus = nu - conv(u - e.errorMinus);
        e.errorPlus = conv(u + e.errorPlus) - nu;
      }
    }
    for (int i = 0; i < graphCount(); ++i) {
      QSharedPointer<QCPGraphDataContainer> data = graph(i)->data();
      for (auto it = data->begin(); it != data->end(); ++it) it->value = conv(it->value);
    }
    const QCPRange r = yAxis->range();
    const double lo = conv(r.lower);
    const double hi = conv(r.upper);
    setAxisScale(yAxis, mode == PLOT_Y_LOG);
    yAxis->setRange(lo, hi);
  } else {
    setAxisScale(yAxis, mode == PLOT_Y_LOG);
  }
  m_y_mode = mode;
}

void CCustomPlot::Rescale(double margin) {
  rescaleAxes(false);
  if (graphCount() == 0) return;

  if (m_x_fixed) {
    xAxis->setRange(m_x_min, m_x_max);
  } else if (m_x_log) {
    double lo = xAxis->range().lower, hi = xAxis->range().upper;
    if (LogMargin(lo, hi, margin)) xAxis->setRange(lo, hi);
  } else {
    xAxis->scaleRange(margin, xAxis->range().center());
  }

  if (m_y_fixed) {
    yAxis->setRange(m_y_min, m_y_max);
  } else {
    double lo = yAxis->range().lower, hi = yAxis->range().upper;
    // The symmetric logarithm's range may span zero, where only the linear
    // margin makes sense.
    if (m_y_mode != PLOT_Y_LINEAR && LogMargin(lo, hi, margin))
      yAxis->setRange(lo, hi);
    else if (m_y_mode != PLOT_Y_LOG)
      yAxis->scaleRange(margin, yAxis->range().center());
  }
}

bool CCustomPlot::LogMargin(double& lo, double& hi, double margin) {
  if (!std::isfinite(lo) || !std::isfinite(hi) || lo == hi) return false;
  if (!((lo > 0 && hi > 0) || (lo < 0 && hi < 0))) return false;
  const double k = std::pow(10.0, std::log10(hi / lo) * (margin - 1.0) / 2.0);
  lo /= k;
  hi *= k;
  return true;
}

double CCustomPlot::SymLog(double v, double lin) {
  lin = std::abs(lin);
  const double b = v / lin * kSymC;
  if (std::isinf(b) && std::isfinite(v) && v != 0.0)
    return signOf(v) * (std::log10(std::abs(v)) - std::log10(lin) + 0.1);
  if (std::abs(b) > kSymC) return signOf(b) * std::log10(std::abs(b));
  return b / kSymCC;
}

double CCustomPlot::SymLogInv(double u, double lin) {
  lin = std::abs(lin);
  const double w = std::abs(u) > 0.1 ? signOf(u) * std::pow(10.0, std::abs(u)) : u * kSymCC;
  if (std::isinf(w) && std::isfinite(u)) return signOf(u) * std::pow(10.0, std::abs(u) + std::log10(lin) - 0.1);
  return w * lin / kSymC;
}

QCPGraph* CCustomPlot::AddGraph(const QVector<double>& keys, const QVector<double>& values, const QString& name,
                                const QPen& pen) {
  return AddGraph(keys, values, name, pen, true, QCPScatterStyle());
}

QCPGraph* CCustomPlot::AddGraph(const QString& name, const QPen& pen) {
  return AddGraph(QVector<double>(), QVector<double>(), name, pen);
}

QCPGraph* CCustomPlot::AddGraph() { return AddGraph(QString(), QPen()); }

QCPGraph* CCustomPlot::AddGraph(const QVector<double>& keys, const QVector<double>& values, const QString& name,
                                const QPen& pen, bool line, const QCPScatterStyle& scatter,
                                const QVector<double>* errors) {
  const int n = std::min(keys.size(), values.size());
  int start = 0;
  if (m_x_log)
    while (start < n && !(keys[start] > 0.0)) ++start;

  const double nan = std::numeric_limits<double>::quiet_NaN();
  QVector<QCPGraphData> points;
  QVector<double> err_minus, err_plus;
  points.reserve(n - start);
  for (int i = start; i < n; ++i) {
    const double x = keys[i];
    const double y = values[i];
    if (!(std::abs(x) < kMaxValid) || !(std::abs(y) < kMaxValid)) {
      Prompts::instance().critical(this, tr("绘图错误"),
                                   tr("“%1”中第%2个值为NAN！").arg(name, QString::number(i + 1)));
      break;
    }
    const double u = m_y_mode == PLOT_Y_SYMLOG ? SymLog(y, m_sym_lin) : y;
    points.push_back(QCPGraphData(x, u));
    if (errors) {
      double e = i < errors->size() ? std::abs(errors->at(i)) : nan;
      if (!(e < kMaxValid)) e = nan;
      if (m_y_mode == PLOT_Y_SYMLOG) {
        err_minus.push_back(u - SymLog(y - e, m_sym_lin));
        err_plus.push_back(SymLog(y + e, m_sym_lin) - u);
      } else {
        err_minus.push_back(e);
        err_plus.push_back(e);
      }
    }
  }

  // The graph keeps its points sorted by key; the error bars are matched to
  // them by index, so both are put in key order together.
  QVector<int> order(points.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return points[a].key < points[b].key; });
  QVector<QCPGraphData> sorted;
  QVector<double> minus_sorted, plus_sorted;
  sorted.reserve(points.size());
  for (int k : order) {
    sorted.push_back(points[k]);
    if (errors) {
      minus_sorted.push_back(err_minus[k]);
      plus_sorted.push_back(err_plus[k]);
    }
  }

  QCPGraph* graph = addGraph();
  graph->setName(name);
  graph->setPen(pen);
  graph->setLineStyle(line ? QCPGraph::lsLine : QCPGraph::lsNone);
  graph->setScatterStyle(scatter);
  graph->data()->set(sorted, true);
  QPen selected = graph->selectionDecorator()->pen();
  selected.setColor(QColor(255, 0, 0));
  selected.setWidth(2);
  graph->selectionDecorator()->setPen(selected);

  if (errors) {
    auto* bars = new QCPErrorBars(graph->keyAxis(), graph->valueAxis());
    bars->removeFromLegend();
    bars->setSelectable(QCP::stNone);
    bars->setErrorType(QCPErrorBars::etValueError);
    bars->setPen(pen);
    bars->setWhiskerWidth(6);
    bars->setDataPlottable(graph);
    bars->setData(minus_sorted, plus_sorted);
    // Bars without their graph would linger as empty plottables.
    QPointer<QCPErrorBars> guard(bars);
    QCustomPlot* plot = this;
    connect(graph, &QObject::destroyed, bars, [plot, guard] {
      if (guard && plot->hasPlottable(guard)) plot->removePlottable(guard);
    });
  }

  m_selected = false;
  return graph;
}

QCPErrorBars* CCustomPlot::ErrorBarsOf(const QCPGraph* graph) {
  if (!graph) return nullptr;
  for (int i = 0; i < plottableCount(); ++i) {
    auto* bars = qobject_cast<QCPErrorBars*>(plottable(i));
    if (bars && bars->dataPlottable() == graph) return bars;
  }
  return nullptr;
}

QString CCustomPlot::StatText(const QVector<double>& values) {
  const int n = values.size();
  double sum = 0.0;
  for (double v : values) sum += v;
  const double mean = n > 0 ? sum / n : std::numeric_limits<double>::quiet_NaN();
  double dev = 0.0;
  if (n > 0) {
    double sq = 0.0;
    for (double v : values) sq += (v - mean) * (v - mean);
    dev = std::sqrt(sq / n) / n;
  }
  return QString("R:%1  A:%2").arg(dev, 0, 'E', 2).arg(mean, 0, 'E', 2);
}

QColor CCustomPlot::SeriesColor(int index, int group, int alpha) {
  static const int kHue[6] = {0, 60, 120, 180, 240, 300};
  const int hue = group * 6 + (index >= 0 && index < 6 ? kHue[index] : 0);
  QColor c;
  c.setHsl(wrapHue(hue), 255, 120, qBound(0, alpha, 255));
  return c;
}

QPen CCustomPlot::SeriesPen(int index, int group, int alpha) {
  QPen pen;
  pen.setColor(SeriesColor(index, group, alpha));
  return pen;
}

QColor CCustomPlot::HueColor(int hue) {
  QColor c;
  c.setHsl(wrapHue(hue), 255, 120, 255);
  return c;
}

void CCustomPlot::InitRangeDialog(CDlgPlotRange& dlg) {
  dlg.Init();
  dlg.SetRange(xAxis->range().lower, xAxis->range().upper, yAxis->range().lower, yAxis->range().upper);
  dlg.SetModePtr(0, &m_x_fixed, &m_x_min, &m_x_max);
  dlg.SetModePtr(1, &m_y_fixed, &m_y_min, &m_y_max);
}

void CCustomPlot::ApplyRangeDialog(const CDlgPlotRange& dlg) {
  double x_min = 0.0, x_max = 0.0, y_min = 0.0, y_max = 0.0;
  dlg.GetRange(&x_min, &x_max, &y_min, &y_max);
  xAxis->setRange(x_min, x_max);
  yAxis->setRange(y_min, y_max);
  replot(rpQueuedReplot);
}

void CCustomPlot::BeforeReplot() {
  EnsureOwnItems();
  m_tracer->setGraph(nullptr);
  if (m_tracer_on) {
    for (int i = 0; i < graphCount(); ++i) {
      if (graph(i)->selected()) {
        m_tracer->setGraph(graph(i));
        break;
      }
    }
  }
  const bool on = m_tracer->graph() != nullptr;
  m_tracer->setVisible(on);
  m_cursor_text->setVisible(on);
  if (on) {
    m_tracer->updatePosition();
    UpdateCursorText();
  }
}

void CCustomPlot::SelectionChangedByUser() {
  m_selected = false;
  for (int i = 0; i < graphCount(); ++i) {
    if (!graph(i)->selected()) continue;
    m_selected = true;
    m_selected_name = graph(i)->name().section(QChar(13), 0, 0);
  }
}

void CCustomPlot::onMenuSetAxisXLog() {
  SetXLog(m_act_x_log->isChecked());
  Rescale(1.05);
  replot(rpQueuedReplot);
}

void CCustomPlot::onMenuSetAxisYLog() {
  SetYMode(m_act_y_log->isChecked() ? PLOT_Y_LOG : PLOT_Y_LINEAR, 0.0001, 0.1);
  Rescale(1.05);
  replot(rpQueuedReplot);
}

void CCustomPlot::onMenuSetRange() {
  CDlgPlotRange dlg(this);
  InitRangeDialog(dlg);
  if (dlg.exec() == QDialog::Accepted) ApplyRangeDialog(dlg);
}

bool CCustomPlot::TracerHasGraph() const {
  // A graph removed since the last replot may still be attached.
  return m_tracer && m_tracer->graph() && hasPlottable(m_tracer->graph());
}

void CCustomPlot::UpdateCursorText() {
  const QPointF p = m_tracer->position->coords();
  m_cursor_text->position->setCoords(p);
  const double value = m_y_mode == PLOT_Y_SYMLOG ? SymLogInv(p.y(), m_sym_lin) : p.y();
  m_cursor_text->setText(QString("%1  %2").arg(p.x(), 0, 'g', -1).arg(value, 0, 'g', -1));
}

bool CCustomPlot::MovedBeyondThreshold(const QPoint& pos) const {
  const int dx = std::abs(pos.x() - m_drag_px.x());
  const int dy = std::abs(pos.y() - m_drag_px.y());
  if (dx == 0 && dy == 0) return false;
  const QCPAxisRect* rect = xAxis->axisRect();
  return dx >= 0.005 * rect->width() || dy >= 0.005 * rect->height();
}

bool CCustomPlot::eventFilter(QObject* watched, QEvent* event) {
  if (watched == this) {
    switch (event->type()) {
      case QEvent::MouseButtonPress: {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::RightButton) HandleRightPress(me->pos());
        break;
      }
      case QEvent::MouseMove:
        HandleMove(static_cast<QMouseEvent*>(event)->pos());
        break;
      case QEvent::MouseButtonRelease: {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::RightButton) HandleRightRelease(me->pos());
        break;
      }
      default:
        break;
    }
  }
  return QCustomPlot::eventFilter(watched, event);
}

void CCustomPlot::HandleRightPress(const QPoint& pos) {
  EnsureOwnItems();
  m_pressed = true;
  m_drag_px = pos;
  m_drag_x = xAxis->pixelToCoord(pos.x());
  m_drag_y = yAxis->pixelToCoord(pos.y());
  m_drag = strictlyInside(xAxis->range(), m_drag_x) && strictlyInside(yAxis->range(), m_drag_y);
}

void CCustomPlot::HandleMove(const QPoint& pos) {
  EnsureOwnItems();
  if (m_drag && MovedBeyondThreshold(pos)) {
    const double x = xAxis->pixelToCoord(pos.x());
    const double y = yAxis->pixelToCoord(pos.y());
    const bool zoom_in = x > m_drag_x && y < m_drag_y;
    const bool zoom_out = x < m_drag_x && y > m_drag_y;
    if (zoom_in) {
      m_zoom_rect->topLeft->setCoords(m_drag_x, m_drag_y);
      m_zoom_rect->bottomRight->setCoords(x, y);
    }
    m_zoom_rect->setVisible(zoom_in);
    if (zoom_out) {
      m_zoom_out->topLeft->setCoords(m_drag_x, m_drag_y);
      m_zoom_out->bottomRight->setCoords(x, y);
    }
    m_zoom_out->setVisible(zoom_out);
    replot();
  }
  if (m_tracer_on && TracerHasGraph()) {
    m_tracer->setGraphKey(xAxis->pixelToCoord(pos.x()));
    m_tracer->updatePosition();
    UpdateCursorText();
    replot();
  }
}

void CCustomPlot::HandleRightRelease(const QPoint& pos) {
  EnsureOwnItems();
  const bool moved = m_pressed && MovedBeyondThreshold(pos);
  if (m_drag && moved) {
    const double x = xAxis->pixelToCoord(pos.x());
    const double y = yAxis->pixelToCoord(pos.y());
    if (x > m_drag_x && y < m_drag_y) {
      xAxis->setRange(m_drag_x, x);
      yAxis->setRange(y, m_drag_y);
      replot();
    } else if (x < m_drag_x && y > m_drag_y) {
      Rescale(1.05);
      replot();
    }
  } else if (!moved) {
    m_act_x_log->setChecked(m_x_log);
    m_act_y_log->setChecked(m_y_mode == PLOT_Y_LOG);
    m_menu->popup(mapToGlobal(pos));
  }
  const bool shown = m_zoom_rect->visible() || m_zoom_out->visible();
  m_zoom_rect->setVisible(false);
  m_zoom_out->setVisible(false);
  if (shown) replot();
  m_drag = false;
  m_pressed = false;
}
