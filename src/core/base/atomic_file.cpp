#include "core/base/atomic_file.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <memory>
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

int DefaultSync(int fd) { return ::fsync(fd); }
AtomicFileSyncFn g_sync = DefaultSync;

// The longest name the folder takes; a temporary longer than that cannot be
// created, however legal the target's own name is.
size_t NameMax(const std::string& dir) {
  const long n = ::pathconf(dir.c_str(), _PC_NAME_MAX);
  return n > 0 ? size_t(n) : size_t(255);
}

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

const char* SpecialKind(mode_t mode) {
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  return "a special file";
}

uint32_t NameHash(const std::string& s) {
  uint32_t h = 2166136261u;
  for (unsigned char c : s) h = (h ^ c) * 16777619u;
  return h;
}

// The part of a temporary's name that stands for its target: the target's
// name itself while the whole temporary fits the folder's name limit, else
// its head (cut between UTF-8 characters) and a hash of the full name.
std::string TempStem(const std::string& name, size_t name_max) {
  // "." stem "." pid "-" counter ".vxtmp", pid and counter up to 10 digits.
  const size_t overhead = 1 + 1 + 10 + 1 + 10 + (sizeof(kTmpSuffix) - 1);
  if (name.size() + overhead <= name_max) return name;
  char hash[16];
  std::snprintf(hash, sizeof(hash), "~%08x", unsigned(NameHash(name)));
  const size_t room = name_max > overhead + 9 + 1 ? name_max - overhead - 9 : 1;
  size_t cut = std::min(room, name.size());
  while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
  return name.substr(0, cut) + hash;
}

std::string TempName(const std::string& name, long pid, unsigned n, size_t name_max) {
  return "." + TempStem(name, name_max) + "." + std::to_string(pid) + "-" + std::to_string(n) + kTmpSuffix;
}

bool ProcessRuns(long pid) {
  if (pid <= 0) return true;  // not ours to judge
  if (::kill(pid_t(pid), 0) == 0) return true;
  return errno != ESRCH;
}

// Temporaries ".<name>.<pid>-<n>.vxtmp" of this target whose process is gone.
void RemoveStaleTemps(const std::string& dir, const std::string& name, size_t name_max) {
  DIR* d = ::opendir(dir.c_str());
  if (!d) return;
  const std::string prefix = "." + TempStem(name, name_max) + ".";
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
    // Opened without waiting: a FIFO nobody reads would hold the run for
    // ever, and a socket cannot be opened at all.
    const int fd = ::open(m_target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
      const int err = errno;
      m_error = err == ENXIO ? m_target + " is " + SpecialKind(st.st_mode) + " that nothing reads"
                             : SysError("cannot open " + m_target, err);
      CLOG_ERR("%s", m_error.c_str());
      return false;
    }
    // Once open, a reader is there: writes may wait for it as for a disk.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    m_fp = ::fdopen(fd, "wb");
    if (!m_fp) {
      m_error = SysError("cannot open " + m_target, errno);
      m_reason = Reason::System(ReasonCode::CannotWrite, m_target, errno, m_error);
      CLOG_ERR("%s", m_error.c_str());
      ::close(fd);
      return false;
    }
    return true;
  }

  const std::string dir = DirOf(m_target);
  const std::string name = NameOf(m_target);
  const size_t name_max = NameMax(dir);
  RemoveStaleTemps(dir, name, name_max);
  static std::atomic<unsigned> s_counter{0};
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    m_tmp = dir + "/" + TempName(name, long(::getpid()), s_counter++, name_max);
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

bool AtomicFile::Seal() {
  if (m_sealed) return true;
  if (!m_fp) {
    if (m_error.empty()) m_error = "nothing to commit";
    if (m_reason.empty()) m_reason = Reason::Of(ReasonCode::Other, m_error);
    return false;
  }
  bool ok = std::fflush(m_fp) == 0 && std::ferror(m_fp) == 0;
  int err = ok ? 0 : errno;
  if (ok && !m_tmp.empty() && g_sync(::fileno(m_fp)) != 0) {
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
  m_sealed = true;
  return true;
}

bool AtomicFile::Commit() { return Seal() && Place(true); }

bool AtomicFile::Place(bool sync_folder) {
  m_sealed = false;
  if (m_tmp.empty()) return true;
  if (std::rename(m_tmp.c_str(), m_target.c_str()) != 0) {
    m_error = SysError("cannot replace " + m_target, errno);
    m_reason = Reason::System(ReasonCode::CannotReplace, m_target, errno, m_error);
    CLOG_ERR("%s", m_error.c_str());
    Abort();
    return false;
  }
  m_tmp.clear();
  if (sync_folder) SyncFolder(DirOf(m_target));
  return true;
}

void AtomicFile::SyncFolder(const std::string& dir) {
  // The rename itself reaches the disk with the folder.
  const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
}

bool AtomicFile::CommitSet(const std::vector<AtomicFile*>& files, size_t* failed) {
  auto fail = [&](size_t i) {
    if (failed) *failed = i;
    for (AtomicFile* f : files) f->Abort();
    return false;
  };
  for (size_t i = 0; i < files.size(); ++i)
    if (!files[i]->Seal()) return fail(i);
  std::vector<std::string> dirs;
  for (size_t i = 0; i < files.size(); ++i) {
    // A rename that fails now leaves the files before it in place: nothing
    // can take them back.
    if (!files[i]->Place(false)) return fail(i);
    const std::string dir = DirOf(files[i]->m_target);
    if (std::find(dirs.begin(), dirs.end(), dir) == dirs.end()) dirs.push_back(dir);
  }
  for (const std::string& dir : dirs) SyncFolder(dir);
  return true;
}

void AtomicFile::Abort() {
  m_sealed = false;
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
  // Only a regular file holds data worth keeping; reading a FIFO or a
  // device would wait for a writer or never end.
  if (!S_ISREG(st.st_mode)) return true;
  if (::lstat(backup.c_str(), &st) == 0) return true;
  std::string open_why;
  std::unique_ptr<FILE, ExFileCloser> in(ex_fopen_regular(path, &open_why));
  if (!in) {
    const int err = errno;
    const std::string text = "cannot read " + path + ": " + open_why;
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

void AtomicFileSetSync(AtomicFileSyncFn fn) { g_sync = fn ? fn : DefaultSync; }

std::string AtomicFileTempName(const std::string& target_name, long pid, unsigned n, size_t name_max) {
  return TempName(target_name, pid, n, name_max);
}

bool ex_file_id(const std::string& path, ExFileId* id) {
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) {
    *id = ExFileId{uint64_t(st.st_dev), uint64_t(st.st_ino), std::string()};
    return true;
  }
  // Not there yet: the folder's identity and the name stand for it.
  if (::stat(DirOf(path).c_str(), &st) != 0) return false;
  *id = ExFileId{uint64_t(st.st_dev), uint64_t(st.st_ino), NameOf(path)};
  return true;
}

ExFileIndex::ExFileIndex(const std::vector<std::string>& paths) {
  for (const std::string& p : paths) Add(p);
}

namespace {

ExFileId IdOrText(const std::string& path) {
  ExFileId id;
  if (!ex_file_id(path, &id)) id = ExFileId{0, 0, path};
  return id;
}

}  // namespace

const std::string* ExFileIndex::Add(const std::string& path) { return Add(path, path); }

const std::string* ExFileIndex::Add(const std::string& path, const std::string& value) {
  const auto ins = m_by_id.emplace(IdOrText(path), value);
  return ins.second ? nullptr : &ins.first->second;
}

const std::string* ExFileIndex::Find(const std::string& path) const {
  const auto it = m_by_id.find(IdOrText(path));
  return it == m_by_id.end() ? nullptr : &it->second;
}

bool ex_same_file(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}
