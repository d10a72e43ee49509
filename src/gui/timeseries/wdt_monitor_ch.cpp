#include "gui/timeseries/wdt_monitor_ch.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "gui/timeseries/plot_monitor.h"

WdtMonitorCh::WdtMonitorCh(QWidget* parent) : QWidget(parent) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  m_plot = new PlotMonitor(this);
  m_plot->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  // Tall enough for its three value ticks and the time axis to be read; on
  // a laptop screen the page scrolls the monitors instead of squeezing them.
  m_plot->setMinimumHeight(kMinPlotHeight);
  row->addWidget(m_plot);

  auto* column = new QVBoxLayout;
  // Six monitors share the page: no gaps between the labels, so the page
  // fits a 768-pixel screen.
  column->setSpacing(0);
  m_lbTitle = new QLabel(tr("通道号"), this);
  m_lbStd = new QLabel(tr("均方差"), this);
  m_lbMin = new QLabel(tr("最小值"), this);
  m_lbMax = new QLabel(tr("最大值"), this);
  // Wide enough for usual values, so that the six plots line up.
  const int width = fontMetrics().horizontalAdvance("MAX:-0000.0000mV") + 4;
  QFont small = font();
  small.setPointSizeF(small.pointSizeF() * 0.85);
  for (QLabel* label : {m_lbTitle, m_lbStd, m_lbMin, m_lbMax}) {
    label->setFont(small);
    label->setMinimumWidth(width);
  }
  column->addStretch();
  column->addWidget(m_lbTitle);
  column->addWidget(m_lbStd);
  column->addWidget(m_lbMin);
  column->addWidget(m_lbMax);
  column->addStretch();
  row->addLayout(column);

  connect(m_plot, &PlotMonitor::signalUpdated, this, &WdtMonitorCh::onChUpdated);
  onChUpdated(0, 0.0, 0.0, 0.0);
}

void WdtMonitorCh::setTitle(const QString& title) { m_lbTitle->setText(title); }

QString WdtMonitorCh::titleText() const { return m_lbTitle->text(); }
QString WdtMonitorCh::stdText() const { return m_lbStd->text(); }
QString WdtMonitorCh::minText() const { return m_lbMin->text(); }
QString WdtMonitorCh::maxText() const { return m_lbMax->text(); }

void WdtMonitorCh::onChUpdated(int, double dMinMv, double dMaxMv, double dStdMv) {
  m_lbStd->setText(QString::asprintf("STD:%.4fmV", dStdMv));
  m_lbMin->setText(QString::asprintf("MIN:%.4fmV", dMinMv));
  m_lbMax->setText(QString::asprintf("MAX:%.4fmV", dMaxMv));
}
