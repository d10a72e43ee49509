#include "gui/timeseries/plot_monitor.h"

#include <algorithm>
#include <vector>

#include "core/processing/ts_segment.h"
#include "core/sip/format_smt.h"

PlotMonitor::PlotMonitor(QWidget* parent) : QCustomPlot(parent) {
  setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
  axisRect()->setupFullAxesBox();
  // A monitor is a short strip: a few value ticks stay readable.
  yAxis->ticker()->setTickCount(3);
  xAxis->ticker()->setTickCount(6);
  connect(xAxis, QOverload<const QCPRange&>::of(&QCPAxis::rangeChanged), xAxis2,
          QOverload<const QCPRange&>::of(&QCPAxis::setRange));
  connect(yAxis, QOverload<const QCPRange&>::of(&QCPAxis::rangeChanged), yAxis2,
          QOverload<const QCPRange&>::of(&QCPAxis::setRange));
}

void PlotMonitor::addChannel(int ch, const QColor& color) {
  QCPGraph* graph = addGraph();
  graph->setName(QString("CH:%1").arg(ch));
  graph->setPen(QPen(color));
  if (QCPGraph* old = m_mapGraph.value(ch, nullptr)) removeGraph(old);
  m_mapGraph[ch] = graph;
}

void PlotMonitor::plotSegment(int start, int count) {
  if (!m_smt || count <= 0) return;
  std::vector<double> mv;
  for (auto it = m_mapGraph.begin(); it != m_mapGraph.end(); ++it) {
    QCPGraph* graph = it.value();
    graph->data()->clear();
    QVector<double>& history = m_mapHistory[it.key()];
    // A channel that cannot be converted (gain not positive, rows outside
    // the file) shows nothing rather than the previous segment.
    if (!TsChannelMv(*m_smt, it.key(), start, count, &mv)) {
      history.clear();
      continue;
    }
    QVector<double> keys(count);
    for (int i = 0; i < count; ++i) keys[i] = i;
    const QVector<double> values(mv.begin(), mv.end());
    graph->setData(keys, values, true);
    history += values;
    graph->rescaleValueAxis(false);
  }

  bool any = false;
  double lo = 0.0, hi = 0.0;
  for (auto it = m_mapHistory.begin(); it != m_mapHistory.end(); ++it) {
    QVector<double>& history = it.value();
    if (history.size() > count) history.remove(0, history.size() - count);
    const TsStats st = TsSegmentStats(history.constData(), size_t(history.size()));
    emit signalUpdated(it.key(), st.min, st.max, st.std);
    lo = any ? std::min(lo, st.min) : st.min;
    hi = any ? std::max(hi, st.max) : st.max;
    any = true;
  }
  if (any && yAxis->range().size() / 2.0 > hi - lo) yAxis->setRange(lo, hi);
  xAxis->setRange(0, count);
  replot();
}

void PlotMonitor::clearPlot() {
  for (QCPGraph* graph : m_mapGraph) graph->data()->clear();
  replot();
  m_mapHistory.clear();
}
