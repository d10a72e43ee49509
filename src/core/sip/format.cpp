#include "core/sip/format.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "core/base/clog.h"
#include "core/base/ex_file.h"

namespace {

CFormat::ReadObserver g_read_observer = nullptr;
void* g_read_observer_ctx = nullptr;

}  // namespace

void CFormat::SetReadObserver(ReadObserver fn, void* ctx) {
  g_read_observer = fn;
  g_read_observer_ctx = ctx;
}

void CFormat::NoteRead(const std::string& path) {
  if (g_read_observer) g_read_observer(path, g_read_observer_ctx);
}

bool CFormat::Read(const std::string& path) {
  m_error.clear();
  m_reason.clear();
  NoteRead(path);
  std::string why;
  std::unique_ptr<FILE, ExFileCloser> fp(ex_fopen_regular(path, &why));
  if (!fp) {
    const int err = errno;
    m_error = "cannot open the file: " + why;
    // A FIFO, socket or device is no file of ours: its reason is in the text.
    m_reason = err == EINVAL ? Reason::Of(ReasonCode::Other, m_error) : Reason::System(ReasonCode::CannotOpen, path, err, m_error);
    CLOG_ERR("file %s open failed: %s", path.c_str(), why.c_str());
    return false;
  }
  const long size = ex_fsize(fp.get());
  if (!ReadFile(fp.get())) {
    if (m_reason.empty()) m_reason.code = m_error.empty() ? ReasonCode::NotValid : ReasonCode::Other;
    if (m_error.empty()) m_error = "not a valid file";
    m_reason.text = m_error;
    m_reason.file = path;
    return false;
  }
  m_reason.clear();
  m_path = path;
  m_size = int32_t(std::min<long>(std::max<long>(size, 0), INT32_MAX));
  return true;
}

bool CFormat::Write(const std::string& path) {
  return ex_write_atomic(path, [this](FILE* fp) { return WriteFile(fp); });
}

bool CFormat::Print(const std::string& path) {
  return ex_write_atomic(path, [this](FILE* fp) { return PrintFile(fp); });
}
