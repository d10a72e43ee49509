#include "core/sip/format.h"

#include <cstdio>
#include <memory>

#include "core/base/clog.h"
#include "core/base/ex_file.h"

bool CFormat::Read(const std::string& path) {
  m_size = int32_t(ex_file_size(path.c_str()));
  std::unique_ptr<FILE, ExFileCloser> fp(ex_fopen(path.c_str(), "rb"));
  if (!fp) {
    m_path = path;
    return false;
  }
  bool ok = ReadFile(fp.get());
  m_path = path;
  return ok;
}

bool CFormat::Write(const std::string& path) {
  return ex_write_atomic(path, [this](FILE* fp) { return WriteFile(fp); });
}

bool CFormat::Print(const std::string& path) {
  return ex_write_atomic(path, [this](FILE* fp) { return PrintFile(fp); });
}
