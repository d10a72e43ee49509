#include "core/base/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "core/base/clog.h"
#include "core/base/ex_file.h"
#include "core/base/platform.h"

namespace {

const char kTmpSuffix[] = ".vxtmp";

std::string DirOf(const std::string& path) {
  const size_t slash = path.find_last_of(kPlatformPathSeparators);
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const size_t slash = path.find_last_of(kPlatformPathSeparators);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string SysError(const std::string& what, int err) { return what + ": " + std::strerror(err); }

// The file a write of path must replace: symbolic links followed (a link to
// a missing file names the file to create).
std::string ResolveTarget(const std::string& path) {
  std::string cur = path;
  for (int depth = 0; depth < 40; ++depth) {
    PlatformStat st;
    if (!platform_lstat(cur, &st) || !st.link) return cur;
    const std::string link = platform_read_link(cur);
    if (link.empty()) return cur;
    cur = (link[0] == '/') ? link : DirOf(cur) + "/" + link;
  }
  return cur;
}

// Temporaries ".<name>.<pid>-<n>.vxtmp" of this target whose process is gone.
void RemoveStaleTemps(const std::string& dir, const std::string& name) {
  std::vector<std::string> names;
  if (!platform_list_dir(dir, &names)) return;
  const std::string prefix = "." + name + ".";
  const size_t suffix_len = sizeof(kTmpSuffix) - 1;
  for (const std::string& f : names) {
    if (f.size() <= prefix.size() + suffix_len || f.compare(0, prefix.size(), prefix) != 0 ||
        f.compare(f.size() - suffix_len, suffix_len, kTmpSuffix) != 0)
      continue;
    const std::string mid = f.substr(prefix.size(), f.size() - prefix.size() - suffix_len);
    const size_t dash = mid.find('-');
    if (dash == std::string::npos || dash == 0) continue;
    char* end = nullptr;
    const long pid = std::strtol(mid.c_str(), &end, 10);
    if (end != mid.c_str() + dash) continue;
    if (!platform_process_runs(pid)) platform_remove(dir + "/" + f);
  }
}

}  // namespace

AtomicFile::~AtomicFile() { Abort(); }

bool AtomicFile::Open(const std::string& path) {
  Abort();
  m_error.clear();
  if (path.empty()) {
    m_error = "empty file name";
    return false;
  }
  m_target = ResolveTarget(path);
  PlatformStat st;
  const bool exists = platform_stat(m_target, &st);
  if (exists && st.directory) {
    m_error = m_target + " is a folder";
    return false;
  }
  if (exists && !st.regular) {
    m_tmp.clear();
    m_fp = platform_fopen(m_target.c_str(), "wb");
    if (!m_fp) {
      m_error = SysError("cannot open " + m_target, errno);
      CLOG_ERR("%s", m_error.c_str());
      return false;
    }
    return true;
  }

  const std::string dir = DirOf(m_target);
  const std::string name = NameOf(m_target);
  RemoveStaleTemps(dir, name);
  static std::atomic<unsigned> s_counter{0};
  // The new file gets the permissions the old one had, or those a plain
  // fopen would have given it.
  const unsigned mode = exists ? st.mode : platform_new_file_mode();
  for (int attempt = 0; attempt < 100 && !m_fp; ++attempt) {
    m_tmp = dir + "/." + name + "." + std::to_string(platform_pid()) + "-" + std::to_string(s_counter++) +
            kTmpSuffix;
    m_fp = platform_create_new(m_tmp, mode);
    if (!m_fp && errno != EEXIST) break;
  }
  if (!m_fp) {
    m_error = SysError("cannot create a file in " + dir, errno);
    CLOG_ERR("%s", m_error.c_str());
    m_tmp.clear();
    return false;
  }
  return true;
}

bool AtomicFile::Commit() {
  if (!m_fp) {
    if (m_error.empty()) m_error = "nothing to commit";
    return false;
  }
  bool ok = std::fflush(m_fp) == 0 && std::ferror(m_fp) == 0;
  int err = ok ? 0 : errno;
  if (ok && !m_tmp.empty() && !platform_sync(m_fp)) {
    ok = false;
    err = errno;
  }
  if (std::fclose(m_fp) != 0 && ok) {
    ok = false;
    err = errno;
  }
  m_fp = nullptr;
  if (!ok) {
    m_error = SysError("writing " + m_target + " failed", err ? err : EIO);
    CLOG_ERR("%s", m_error.c_str());
    Abort();
    return false;
  }
  if (m_tmp.empty()) return true;
  if (!platform_replace(m_tmp, m_target)) {
    m_error = SysError("cannot replace " + m_target, errno);
    CLOG_ERR("%s", m_error.c_str());
    Abort();
    return false;
  }
  m_tmp.clear();
  // The rename itself reaches the disk with the folder.
  platform_sync_dir(DirOf(m_target));
  return true;
}

void AtomicFile::Abort() {
  if (m_fp) {
    std::fclose(m_fp);
    m_fp = nullptr;
  }
  if (!m_tmp.empty()) {
    platform_remove(m_tmp);
    m_tmp.clear();
  }
}

std::string ex_backup_path(const std::string& path) { return path + ".orig"; }

bool ex_backup_once(const std::string& path, bool* made, std::string* why) {
  if (made) *made = false;
  const std::string backup = ex_backup_path(path);
  PlatformStat st;
  if (!platform_stat(path, &st)) return true;
  if (platform_lstat(backup, &st)) return true;
  std::unique_ptr<FILE, ExFileCloser> in(platform_fopen(path.c_str(), "rb"));
  if (!in) {
    if (why) *why = SysError("cannot read " + path, errno);
    return false;
  }
  const bool ok = ex_write_atomic(
      backup,
      [&in](FILE* out) {
        char buf[65536];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof(buf), in.get())) > 0)
          if (std::fwrite(buf, 1, n, out) != n) return false;
        return std::ferror(in.get()) == 0;
      },
      why);
  if (ok && made) *made = true;
  return ok;
}

bool ex_same_file(const std::string& a, const std::string& b) { return platform_same_file(a, b); }
