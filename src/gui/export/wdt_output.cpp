#include "gui/export/wdt_output.h"

#include "gui/limits/shared_data.h"

CWdtOutput::CWdtOutput(QStringList* list, QWidget* parent)
    : QWidget(parent), m_list(list), m_limits(limit_default_export()) {
  SharedData::instance()->setLimitTable(&m_limits);
}

CWdtOutput::~CWdtOutput() {
  // The singleton outlives the page; leave no dangling address behind.
  if (SharedData::instance()->limitTable() == &m_limits) SharedData::instance()->setLimitTable(nullptr);
}

void CWdtOutput::refreshFileList() {}

void CWdtOutput::setCurrentFile(const QString& path) { m_cur_file = path; }

void CWdtOutput::clearInputs() {}
