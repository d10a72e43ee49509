#include "gui/params/wdt_param_srs.h"

#include "core/base/ex_string.h"
#include "core/sip/stations.h"
#include "gui/toolkit/paths.h"

CWdtParamSrs::CWdtParamSrs(QWidget* parent) : QWidget(parent) {}

CWdtParamSrs::~CWdtParamSrs() = default;

void CWdtParamSrs::setFileList(const QStringList& list) { m_list_file = list; }

void CWdtParamSrs::setCurrentFile(const QString& path) {
  m_cur_file = path;
  m_srs = CFormatSRS();
  m_srs_inited = !path.isEmpty() && m_srs.Read(toFilePath(path));
  if (!m_srs_inited) m_srs = CFormatSRS();
}

QString CWdtParamSrs::poleNameAt(float x, float y) const {
  return QString::fromUtf8(PoleNameAt(m_srs.m_vt_pole, x, y).c_str());
}
