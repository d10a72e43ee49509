#include "results/wdt_sip_res.h"

WdtSipRes::WdtSipRes(QWidget* parent) : QWidget(parent) {}

WdtSipRes::~WdtSipRes() = default;

void WdtSipRes::setFileList(const QStringList& list) { m_list_file = list; }

void WdtSipRes::setCurrentFile(const QString& path) { m_cur_file = path; }
