#include "gui/timeseries/wdt_ts_plot.h"

CWdtTsPlot::CWdtTsPlot(QWidget* parent) : QWidget(parent) {}

CWdtTsPlot::~CWdtTsPlot() = default;

void CWdtTsPlot::setCurrentFile(const QString& path) { m_cur_file = path; }
