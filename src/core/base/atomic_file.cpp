#include "core/base/atomic_file.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
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

int DefaultSync(int fd) { return platform_sync(fd) ? 0 : -1; }
AtomicFileSyncFn g_sync = DefaultSync;

// The longest name the folder takes; a temporary longer than that cannot be
// created, however legal the target's own name is.
size_t NameMax(const std::string& dir) { return platform_name_max(dir); }

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

// Temporaries ".<name>.<pid>-<n>.vxtmp" of this target whose process is gone.
void RemoveStaleTemps(const std::string& dir, const std::string& name, size_t name_max) {
  std::vector<std::string> names;
  if (!platform_list_dir(dir, &names)) return;
  const std::string prefix = "." + TempStem(name, name_max) + ".";
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
  m_reason.clear();
  if (path.empty()) {
    m_error = "empty file name";
    m_reason = Reason::Of(ReasonCode::NoFileName, m_error);
    return false;
  }
  m_target = ResolveTarget(path);
  PlatformStat st;
  const bool exists = platform_stat(m_target, &st);
  if (exists && st.directory) {
    m_error = m_target + " is a folder";
    m_reason = Reason::System(ReasonCode::IsFolder, m_target, 0, m_error);
    return false;
  }
  if (exists && !st.regular) {
    m_tmp.clear();
    // Opened without waiting: a FIFO nobody reads would hold the run for
    // ever, and a socket cannot be opened at all.
    m_fp = platform_open_special(m_target);
    if (!m_fp) {
      const int err = errno;
      m_error = err == ENXIO ? m_target + " is " + st.special + " that nothing reads"
                             : SysError("cannot open " + m_target, err);
      m_reason = Reason::System(ReasonCode::CannotWrite, m_target, err, m_error);
      CLOG_ERR("%s", m_error.c_str());
      return false;
    }
    return true;
  }

  const std::string dir = DirOf(m_target);
  const std::string name = NameOf(m_target);
  const size_t name_max = NameMax(dir);
  RemoveStaleTemps(dir, name, name_max);
  static std::atomic<unsigned> s_counter{0};
  // The new file gets the permissions the old one had, or those a plain
  // fopen would have given it.
  const unsigned mode = exists ? st.mode : platform_new_file_mode();
  for (int attempt = 0; attempt < 100 && !m_fp; ++attempt) {
    m_tmp = dir + "/" + TempName(name, platform_pid(), s_counter++, name_max);
    m_fp = platform_create_new(m_tmp, mode);
    if (!m_fp && errno != EEXIST) break;
  }
  if (!m_fp) {
    m_error = SysError("cannot create a file in " + dir, errno);
    m_reason = Reason::System(ReasonCode::CannotCreate, dir, errno, m_error);
    CLOG_ERR("%s", m_error.c_str());
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
  if (ok && !m_tmp.empty() && g_sync(platform_fileno(m_fp)) != 0) {
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
  if (!platform_replace(m_tmp, m_target)) {
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
  platform_sync_dir(dir);
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
    platform_remove(m_tmp);
    m_tmp.clear();
  }
}

std::string ex_backup_path(const std::string& path) { return path + ".orig"; }

bool ex_backup_once(const std::string& path, bool* made, std::string* why, Reason* reason) {
  if (made) *made = false;
  const std::string backup = ex_backup_path(path);
  PlatformStat st;
  if (!platform_stat(path, &st)) return true;
  if (st.directory) {
    const std::string text = path + " is a folder";
    if (why) *why = text;
    if (reason) *reason = Reason::System(ReasonCode::IsFolder, path, 0, text);
    return false;
  }
  // Only a regular file holds data worth keeping; reading a FIFO or a
  // device would wait for a writer or never end.
  if (!st.regular) return true;
  if (platform_lstat(backup, &st)) return true;
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
  PlatformFileId f;
  if (platform_file_id(path, &f)) {
    *id = ExFileId{uint64_t(f.volume), uint64_t(f.index), std::string()};
    return true;
  }
  // Not there yet: the folder's identity and the name stand for it.
  if (!platform_file_id(DirOf(path), &f)) return false;
  *id = ExFileId{uint64_t(f.volume), uint64_t(f.index), NameOf(path)};
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

bool ex_same_file(const std::string& a, const std::string& b) { return platform_same_file(a, b); }
