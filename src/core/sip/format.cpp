#include "core/sip/format.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "core/base/clog.h"
#include "core/base/ex_file.h"

bool CFormat::Read(const std::string& path) {
  m_size = int32_t(ex_file_size(path.c_str()));
  m_error.clear();
  std::unique_ptr<FILE, ExFileCloser> fp(ex_fopen(path.c_str(), "rb"));
  if (!fp) {
    m_error = std::string("cannot open the file: ") + std::strerror(errno);
    m_path = path;
    return false;
  }
  bool ok = ReadFile(fp.get());
  m_path = path;
  if (!ok && m_error.empty()) m_error = "not a valid file";
  return ok;
}

bool CFormat::Write(const std::string& path) {
  return ex_write_atomic(path, [this](FILE* fp) { return WriteFile(fp); });
}

bool CFormat::Print(const std::string& path) {
  return ex_write_atomic(path, [this](FILE* fp) { return PrintFile(fp); });
}
