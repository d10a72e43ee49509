#include "gui/results/wdt_res_plot.h"

#include "ui_wdt_res_plot.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QTableView>

#include <algorithm>
#include <cmath>
#include <utility>

#include "gui/results/model_plot_sel.h"
#include "gui/toolkit/custom_plot.h"

namespace {

struct YAxisType {
  const char* label;
  bool log;    // false: the scale stays as it is
  bool fixed;  // false: automatic range
  double lo;
  double hi;
};

// Indexed by the quantity (ResItem block index).
const YAxisType kYAxis[] = {
    {QT_TRANSLATE_NOOP("CWdtResPlot", "电场幅值(mV)"), true, true, 0.01, 1000.0},
    {QT_TRANSLATE_NOOP("CWdtResPlot", "电场相位(°)"), false, true, -184.0, 184.0},
    {QT_TRANSLATE_NOOP("CWdtResPlot", "视电阻率(Ω·m)"), true, true, 1.0, 100000.0},
    {QT_TRANSLATE_NOOP("CWdtResPlot", "阻抗相位(°)"), false, true, -184.0, 184.0},
    {QT_TRANSLATE_NOOP("CWdtResPlot", "磁场幅值(mV)"), true, true, 0.01, 1000.0},
    {QT_TRANSLATE_NOOP("CWdtResPlot", "磁场相位(°)"), false, true, -184.0, 184.0},
    {QT_TRANSLATE_NOOP("CWdtResPlot", "电流振幅(A)"), true, true, 0.01, 1000.0},
    {QT_TRANSLATE_NOOP("CWdtResPlot", "电流相位(°)"), false, true, -184.0, 184.0},
    {QT_TRANSLATE_NOOP("CWdtResPlot", "相对相位(mrad)"), false, false, 0.0, 0.0},
    {QT_TRANSLATE_NOOP("CWdtResPlot", "频散率(%)"), false, false, 0.0, 0.0},
};
constexpr int kYAxisCount = int(sizeof(kYAxis) / sizeof(kYAxis[0]));

void swapAt(QVector<double>& v, int j) {
  if (j + 1 < v.size()) std::swap(v[j], v[j + 1]);
}

}  // namespace

CWdtResPlot::CWdtResPlot(QWidget* parent) : QWidget(parent), ui(new Ui::CWdtResPlot) { ui->setupUi(this); }

CWdtResPlot::~CWdtResPlot() { delete ui; }

void CWdtResPlot::initPlots() {
  if (m_model) return;
  m_model = createSelModel();
  fillDataTypes();

  setXAxisLabel(ui->wdtPlotAmp);
  setXAxisLabel(ui->wdtPlotPh);
  setYAxisForType(ui->wdtPlotAmp, plot1Type());
  setYAxisForType(ui->wdtPlotPh, plot2Type());

  if (m_model) {
    connect(m_model, &ModelPlotSel::checkChanged, this, &CWdtResPlot::onShowGraph);
    connect(m_model, &ModelPlotSel::dataChanged, this, &CWdtResPlot::onUpdateResPlot);
  }
  connect(ui->chkShowErrBar, &QCheckBox::clicked, this, &CWdtResPlot::onUpdateResPlot);
  connect(ui->chkLine, &QCheckBox::clicked, this, &CWdtResPlot::onUpdateResPlot);
  connect(ui->cmbDataType, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
          &CWdtResPlot::onUpdateAllShow);
  connect(ui->tbFreqSel->horizontalHeader(), &QHeaderView::sectionClicked, this, &CWdtResPlot::onTbHeaderClicked);
}

int CWdtResPlot::plot1Type() const {
  const int i = ui->cmbDataType->currentIndex();
  return i >= 0 && i < m_vt_plot1_type.size() ? m_vt_plot1_type[i] : -1;
}

int CWdtResPlot::plot2Type() const {
  const int i = ui->cmbDataType->currentIndex();
  return i >= 0 && i < m_vt_plot2_type.size() ? m_vt_plot2_type[i] : -1;
}

void CWdtResPlot::setYAxisForType(CCustomPlot* plot, int quantity) {
  if (!plot || quantity < 0 || quantity >= kYAxisCount) return;
  const YAxisType& t = kYAxis[quantity];
  plot->yAxis->setLabel(QCoreApplication::translate("CWdtResPlot", t.label));
  if (t.log) plot->SetYMode(PLOT_Y_LOG, 0.0001, 0.1);
  plot->m_y_fixed = t.fixed ? 1 : 0;
  if (t.fixed) {
    plot->m_y_min = t.lo;
    plot->m_y_max = t.hi;
    // An empty plot shows the quantity's range too; with graphs the next
    // rescale applies it anyway.
    plot->yAxis->setRange(t.lo, t.hi);
  }
}

void CWdtResPlot::sortByX(QVector<double>& xs, QVector<double>& ys, QVector<double>& errs) {
  for (int i = xs.size() - 1; i >= 1; --i) {
    bool swapped = false;
    for (int j = 0; j < i; ++j) {
      if (xs[j] > xs[j + 1]) {
        std::swap(xs[j], xs[j + 1]);
        swapAt(ys, j);
        swapAt(errs, j);
        swapped = true;
      }
    }
    if (!swapped) break;
  }
}

void CWdtResPlot::onShowGraph() {
  applyVisibility(ui->wdtPlotAmp, m_vt_graph1);
  applyVisibility(ui->wdtPlotPh, m_vt_graph2);
}

void CWdtResPlot::onUpdateResPlot() {
  rebuildGraphs(ui->wdtPlotAmp, plot1Type(), m_vt_graph1);
  rebuildGraphs(ui->wdtPlotPh, plot2Type(), m_vt_graph2);
}

void CWdtResPlot::onUpdateAxis() {
  setXAxisLabel(ui->wdtPlotAmp);
  setXAxisLabel(ui->wdtPlotPh);
  setYAxisForType(ui->wdtPlotAmp, plot1Type());
  setYAxisForType(ui->wdtPlotPh, plot2Type());
}

void CWdtResPlot::onUpdateAllShow() {
  onUpdateAxis();
  onUpdateResPlot();
}

void CWdtResPlot::onTbHeaderClicked(int) {
  if (!m_model || m_model->rowCount() == 0) return;
  m_model->setAllChecked(!m_model->isChecked(0));
}

void CWdtResPlot::rebuildGraphs(CCustomPlot* plot, int quantity, QVector<QCPGraph*>& graphs) {
  const int n = m_model ? m_model->rowCount() : 0;
  for (QCPGraph* g : graphs) {
    // Someone may have cleared the plot behind our back.
    if (plot->hasPlottable(g)) plot->removePlottable(g);
  }
  graphs.clear();
  for (int r = 0; r < n; ++r) graphs.push_back(buildGraph(plot, r, quantity));
  plot->Rescale(1.05);
  fitLogRange(plot, quantity, graphs);
  fitTickCount(plot);
  applyVisibility(plot, graphs);
}

void CWdtResPlot::fitLogRange(CCustomPlot* plot, int quantity, const QVector<QCPGraph*>& graphs) {
  if (quantity < 0 || quantity >= kYAxisCount) return;
  const YAxisType& t = kYAxis[quantity];
  if (!t.log || !plot->m_y_fixed) return;
  // A range the user fixed in the plot's range dialog stays as it is; only
  // the quantity's default or our own last fit is replaced.
  const QCPRange last = m_fitted.value(plot, QCPRange(t.lo, t.hi));
  const bool ours = (plot->m_y_min == t.lo && plot->m_y_max == t.hi) ||
                    (plot->m_y_min == last.lower && plot->m_y_max == last.upper);
  if (!ours) return;
  double lo = 0.0, hi = 0.0;
  for (QCPGraph* g : graphs) {
    if (!plot->hasPlottable(g)) continue;
    for (auto it = g->data()->constBegin(); it != g->data()->constEnd(); ++it) {
      const double v = it->value;
      if (!(v > 0.0) || !std::isfinite(v)) continue;
      lo = lo > 0.0 ? std::min(lo, v) : v;
      hi = std::max(hi, v);
    }
  }
  QCPRange range(t.lo, t.hi);
  if (lo > 0.0) {
    range.lower = std::pow(10.0, std::floor(std::log10(lo)));
    range.upper = std::pow(10.0, std::ceil(std::log10(hi)));
    if (range.upper <= range.lower) range.upper = range.lower * 10.0;
  }
  plot->m_y_min = range.lower;
  plot->m_y_max = range.upper;
  plot->yAxis->setRange(range);
  m_fitted.insert(plot, range);
}

void CWdtResPlot::fitTickCount(CCustomPlot* plot) {
  // About one label per 90 pixels, so that "50100150200" never runs together.
  const int width = plot->axisRect()->width() > 0 ? plot->axisRect()->width() : plot->width();
  plot->xAxis->ticker()->setTickCount(std::max(2, width / 90));
}

void CWdtResPlot::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  for (CCustomPlot* plot : {ui->wdtPlotAmp, ui->wdtPlotPh}) {
    fitTickCount(plot);
    plot->replot(QCustomPlot::rpQueuedReplot);
  }
}

QCPGraph* CWdtResPlot::buildGraph(CCustomPlot* plot, int row, int quantity) {
  const QPen pen(m_model->color(row));
  const bool line = ui->chkLine->isChecked();
  const QCPScatterStyle scatter(QCPScatterStyle::ssDisc, 6);
  QVector<double> xs, ys, errs;
  fillSeries(row, quantity, xs, ys, errs);
  sortByX(xs, ys, errs);
  if (ui->chkShowErrBar->isChecked()) return plot->AddGraph(xs, ys, QString(), pen, line, scatter, &errs);
  return plot->AddGraph(xs, ys, QString(), pen, line, scatter);
}

void CWdtResPlot::applyVisibility(CCustomPlot* plot, const QVector<QCPGraph*>& graphs) {
  for (int i = 0; i < graphs.size(); ++i) {
    QCPGraph* g = graphs[i];
    if (!plot->hasPlottable(g)) continue;
    // Rows the model no longer has stay hidden until the graphs are rebuilt.
    const bool on = m_model && m_model->isChecked(i);
    g->setVisible(on);
    // Error bars are plottables of their own and would stay behind.
    if (QCPErrorBars* bars = plot->ErrorBarsOf(g)) bars->setVisible(on);
  }
  plot->replot(QCustomPlot::rpQueuedReplot);
}
