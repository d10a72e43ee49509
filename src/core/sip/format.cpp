#include "sip/format.h"

#include <cstdio>
#include <memory>
#include <unistd.h>

#include "base/clog.h"
#include "base/ex_file.h"

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

bool ex_write_atomic_impl(const std::string& path, bool (*fn)(FILE*, void*), void* ctx) {
  const std::string tmp = path + ".tmp~";
  FILE* fp = ex_fopen(tmp.c_str(), "wb");
  if (!fp) return false;
  bool ok = fn(fp, ctx);
  ok = (std::fflush(fp) == 0) && ok;
  ok = (std::ferror(fp) == 0) && ok;
  ok = (std::fclose(fp) == 0) && ok;
  if (ok && std::rename(tmp.c_str(), path.c_str()) != 0) {
    CLOG_ERR("rename %s to %s failed", tmp.c_str(), path.c_str());
    ok = false;
  }
  if (!ok) ::unlink(tmp.c_str());
  return ok;
}
