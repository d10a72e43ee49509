#include "params/wdt_param_srs.h"

CWdtParamSrs::CWdtParamSrs(QWidget* parent) : QWidget(parent) {}

CWdtParamSrs::~CWdtParamSrs() = default;

void CWdtParamSrs::setFileList(const QStringList& list) { m_list_file = list; }

void CWdtParamSrs::setCurrentFile(const QString& path) { m_cur_file = path; }
