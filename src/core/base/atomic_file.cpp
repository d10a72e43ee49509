#include "core/base/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <memory>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/base/clog.h"
#include "core/base/ex_file.h"

namespace {

const char kTmpSuffix[] = ".vxtmp";

std::string DirOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string SysError(const std::string& what, int err) { return what + ": " + std::strerror(err); }

// The file a write of path must replace: symbolic links followed (a link to
// a missing file names the file to create).
std::string ResolveTarget(const std::string& path) {
  std::string cur = path;
  for (int depth = 0; depth < 40; ++depth) {
    struct stat st;
    if (::lstat(cur.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return cur;
    char buf[PATH_MAX];
    const ssize_t n = ::readlink(cur.c_str(), buf, sizeof(buf) - 1);
    if (n <= 0) return cur;
    buf[n] = '\0';
    const std::string link(buf);
    cur = (link[0] == '/') ? link : DirOf(cur) + "/" + link;
  }
  return cur;
}

bool ProcessRuns(long pid) {
  if (pid <= 0) return true;  // not ours to judge
  if (::kill(pid_t(pid), 0) == 0) return true;
  return errno != ESRCH;
}

// Temporaries ".<name>.<pid>-<n>.vxtmp" of this target whose process is gone.
void RemoveStaleTemps(const std::string& dir, const std::string& name) {
  DIR* d = ::opendir(dir.c_str());
  if (!d) return;
  const std::string prefix = "." + name + ".";
  const size_t suffix_len = sizeof(kTmpSuffix) - 1;
  while (dirent* e = ::readdir(d)) {
    const std::string f = e->d_name;
    if (f.size() <= prefix.size() + suffix_len || f.compare(0, prefix.size(), prefix) != 0 ||
        f.compare(f.size() - suffix_len, suffix_len, kTmpSuffix) != 0)
      continue;
    const std::string mid = f.substr(prefix.size(), f.size() - prefix.size() - suffix_len);
    const size_t dash = mid.find('-');
    if (dash == std::string::npos || dash == 0) continue;
    char* end = nullptr;
    const long pid = std::strtol(mid.c_str(), &end, 10);
    if (end != mid.c_str() + dash) continue;
    if (!ProcessRuns(pid)) ::unlink((dir + "/" + f).c_str());
  }
  ::closedir(d);
}

mode_t CurrentUmask() {
  const mode_t m = ::umask(0);
  ::umask(m);
  return m;
}

}  // namespace

AtomicFile::~AtomicFile() { Abort(); }

bool AtomicFile::Open(const std::string& path) {
  Abort();
  m_error.clear();
  m_reason.clear();
  if (path.empty()) {
    m_error = "empty file name";
    m_reason = Reason::Of(ReasonCode::NoFileName, m_error);
    return false;
  }
  m_target = ResolveTarget(path);
  struct stat st;
  const bool exists = ::stat(m_target.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) {
    m_error = m_target + " is a folder";
    m_reason = Reason::System(ReasonCode::IsFolder, m_target, 0, m_error);
    return false;
  }
  if (exists && !S_ISREG(st.st_mode)) {
    m_tmp.clear();
    m_fp = std::fopen(m_target.c_str(), "wb");
    if (!m_fp) {
      m_error = SysError("cannot open " + m_target, errno);
      m_reason = Reason::System(ReasonCode::CannotWrite, m_target, errno, m_error);
      CLOG_ERR("%s", m_error.c_str());
      return false;
    }
    return true;
  }

  const std::string dir = DirOf(m_target);
  const std::string name = NameOf(m_target);
  RemoveStaleTemps(dir, name);
  static std::atomic<unsigned> s_counter{0};
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    m_tmp = dir + "/." + name + "." + std::to_string(long(::getpid())) + "-" + std::to_string(s_counter++) +
            kTmpSuffix;
    fd = ::open(m_tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    m_error = SysError("cannot create a file in " + dir, errno);
    m_reason = Reason::System(ReasonCode::CannotCreate, dir, errno, m_error);
    CLOG_ERR("%s", m_error.c_str());
    m_tmp.clear();
    return false;
  }
  // The new file gets the permissions the old one had, or those a plain
  // fopen would have given it.
  ::fchmod(fd, exists ? (st.st_mode & 07777) : (0666 & ~CurrentUmask()));
  m_fp = ::fdopen(fd, "wb");
  if (!m_fp) {
    m_error = SysError("cannot open " + m_tmp, errno);
    m_reason = Reason::System(ReasonCode::CannotCreate, dir, errno, m_error);
    ::close(fd);
    ::unlink(m_tmp.c_str());
    m_tmp.clear();
    return false;
  }
  return true;
}

bool AtomicFile::Commit() {
  if (!m_fp) {
    if (m_error.empty()) m_error = "nothing to commit";
    if (m_reason.empty()) m_reason = Reason::Of(ReasonCode::Other, m_error);
    return false;
  }
  bool ok = std::fflush(m_fp) == 0 && std::ferror(m_fp) == 0;
  int err = ok ? 0 : errno;
  if (ok && !m_tmp.empty() && ::fsync(::fileno(m_fp)) != 0) {
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
    m_reason = Reason::System(ReasonCode::CannotWrite, m_target, err ? err : EIO, m_error);
    CLOG_ERR("%s", m_error.c_str());
    Abort();
    return false;
  }
  if (m_tmp.empty()) return true;
  if (std::rename(m_tmp.c_str(), m_target.c_str()) != 0) {
    m_error = SysError("cannot replace " + m_target, errno);
    m_reason = Reason::System(ReasonCode::CannotReplace, m_target, errno, m_error);
    CLOG_ERR("%s", m_error.c_str());
    Abort();
    return false;
  }
  m_tmp.clear();
  // The rename itself reaches the disk with the folder.
  const int dfd = ::open(DirOf(m_target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return true;
}

void AtomicFile::Abort() {
  if (m_fp) {
    std::fclose(m_fp);
    m_fp = nullptr;
  }
  if (!m_tmp.empty()) {
    ::unlink(m_tmp.c_str());
    m_tmp.clear();
  }
}

std::string ex_backup_path(const std::string& path) { return path + ".orig"; }

bool ex_backup_once(const std::string& path, bool* made, std::string* why, Reason* reason) {
  if (made) *made = false;
  const std::string backup = ex_backup_path(path);
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return true;
  if (S_ISDIR(st.st_mode)) {
    const std::string text = path + " is a folder";
    if (why) *why = text;
    if (reason) *reason = Reason::System(ReasonCode::IsFolder, path, 0, text);
    return false;
  }
  if (::lstat(backup.c_str(), &st) == 0) return true;
  std::unique_ptr<FILE, ExFileCloser> in(std::fopen(path.c_str(), "rb"));
  if (!in) {
    const int err = errno;
    const std::string text = SysError("cannot read " + path, err);
    if (why) *why = text;
    if (reason) *reason = Reason::System(ReasonCode::BackupFailed, path, err, text);
    return false;
  }
  Reason written;
  const bool ok = ex_write_atomic(
      backup,
      [&in](FILE* out) {
        char buf[65536];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof(buf), in.get())) > 0)
          if (std::fwrite(buf, 1, n, out) != n) return false;
        return std::ferror(in.get()) == 0;
      },
      why, &written);
  if (!ok && reason) {
    // Reported as the backup of path: the user never asked for a file of
    // that name.
    *reason = written;
    reason->code = ReasonCode::BackupFailed;
    reason->file = path;
  }
  if (ok && made) *made = true;
  return ok;
}

bool ex_same_file(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}
