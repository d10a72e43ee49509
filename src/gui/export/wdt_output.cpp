#include "export/wdt_output.h"

CWdtOutput::CWdtOutput(QStringList* list, QWidget* parent) : QWidget(parent), m_list(list) {}

CWdtOutput::~CWdtOutput() = default;

void CWdtOutput::refreshFileList() {}

void CWdtOutput::setCurrentFile(const QString& path) { m_cur_file = path; }

void CWdtOutput::clearInputs() {}
