// The one way this program writes a file: a unique temporary file in the
// target's folder, flushed and synced, then renamed over the target. On any
// failure the old file is untouched and the temporary is removed.
//
// Targets that are not regular files are not replaced: a symbolic link is
// followed and its target written the same way; a device, FIFO or other
// special file is written directly (a rename would replace /dev/null with a
// regular file).
//
// Temporaries are named ".<name>.<pid>-<n>.vxtmp" beside the target; when
// that would pass the folder's name limit, <name> is replaced by the head of
// the name and a hash of it, so that every name the folder takes can be
// written. A write removes the temporaries of the same target left by
// processes that no longer run (a kill or a crash), and never those of a
// running process.
//
// A FIFO or device target is opened without waiting: one that nothing reads
// is refused with a reason instead of holding the run.
#pragma once

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "core/base/reason.h"

class AtomicFile {
public:
  AtomicFile() = default;
  ~AtomicFile();  // an uncommitted file is discarded
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Opens a temporary for path (8-bit). False, with the reason in Error(),
  // when the folder cannot take a new file.
  bool Open(const std::string& path);
  // The stream to write to; null unless open.
  FILE* Stream() const { return m_fp; }
  // Flushes, syncs and renames the temporary over the target. False (the
  // target untouched, the temporary removed) when any step fails or the
  // stream has seen an error.
  bool Commit();
  // The first half of Commit: flushes, syncs and closes the temporary, so
  // that Commit only has to rename it. False as Commit.
  bool Seal();
  // Commits files as one set: every temporary is sealed before the first
  // rename, so a failure or a kill while they are written, flushed or
  // synced leaves every target as it was. The renames then follow each
  // other with nothing written between them, and the folders are synced
  // once after the last; only a kill among those few calls, or a rename
  // that fails, leaves a set partly replaced. False, every file not yet in
  // place aborted, with failed (optional) the index of the file that failed
  // (its Error() tells why).
  static bool CommitSet(const std::vector<AtomicFile*>& files, size_t* failed = nullptr);
  // Removes the temporary; the target stays as it was.
  void Abort();

  bool IsOpen() const { return m_fp != nullptr; }
  // The path that will be replaced (the link target for a symbolic link).
  const std::string& Target() const { return m_target; }
  const std::string& TempPath() const { return m_tmp; }
  // One line: what failed and the system's reason.
  const std::string& Error() const { return m_error; }
  // The same as a code with its arguments; its text is Error().
  const Reason& GetReason() const { return m_reason; }

private:
  bool Place(bool sync_folder);
  static void SyncFolder(const std::string& dir);

  FILE* m_fp = nullptr;
  bool m_sealed = false;  // the temporary holds its data, closed
  std::string m_target;
  std::string m_tmp;  // empty when the target is written directly
  std::string m_error;
  Reason m_reason;
};

// Writes path through AtomicFile; write_fn receives the open stream and
// returns success. why and reason (optional) receive the reason of a failure.
template <typename Fn>
bool ex_write_atomic(const std::string& path, Fn write_fn, std::string* why = nullptr, Reason* reason = nullptr);

// Keeps the untouched original of path once, as path + ".orig", before the
// first overwrite. Does nothing when the backup exists already (a later
// overwrite never replaces the acquisition original) or path does not exist.
// made (optional) tells whether this call created the backup. False, with
// the reason, when the copy could not be written.
bool ex_backup_once(const std::string& path, bool* made = nullptr, std::string* why = nullptr,
                    Reason* reason = nullptr);
// The backup name ex_backup_once uses.
std::string ex_backup_path(const std::string& path);

// Whether a and b name the same existing file (after links).
bool ex_same_file(const std::string& a, const std::string& b);

// What makes a file the same file whatever path names it: device and inode,
// or for a file not created yet, those of its folder and its name.
struct ExFileId {
  uint64_t dev = 0;
  uint64_t ino = 0;
  std::string name;  // empty for an existing file
  bool operator<(const ExFileId& o) const { return std::tie(dev, ino, name) < std::tie(o.dev, o.ino, o.name); }
};
// False when neither the file nor its folder can be found.
bool ex_file_id(const std::string& path, ExFileId* id);

// Paths by file identity, one lookup per path: same-file checks over a whole
// survey cost one stat per file instead of one per pair.
class ExFileIndex {
public:
  ExFileIndex() = default;
  explicit ExFileIndex(const std::vector<std::string>& paths);
  // Adds path with its value (path itself by default); returns the value
  // added earlier for the same file, which stays, or null. A path that can
  // not be identified stands for itself (its text is the key).
  const std::string* Add(const std::string& path);
  const std::string* Add(const std::string& path, const std::string& value);
  // The value added for the file path names, or null.
  const std::string* Find(const std::string& path) const;

private:
  std::map<ExFileId, std::string> m_by_id;
};

// Test seam: the call that brings the temporary's data to the disk before
// the rename (fsync by default; null restores it). A nonzero return, with
// errno set, fails the commit.
using AtomicFileSyncFn = int (*)(int fd);
void AtomicFileSetSync(AtomicFileSyncFn fn);
// The temporary's file name for a target name in a folder whose names may
// be name_max bytes long.
std::string AtomicFileTempName(const std::string& target_name, long pid, unsigned n, size_t name_max);

template <typename Fn>
bool ex_write_atomic(const std::string& path, Fn write_fn, std::string* why, Reason* reason) {
  AtomicFile f;
  if (!f.Open(path)) {
    if (why) *why = f.Error();
    if (reason) *reason = f.GetReason();
    return false;
  }
  if (!write_fn(f.Stream())) {
    // The stream's own error (a full disk) is the reason worth telling.
    const int err = std::ferror(f.Stream()) ? errno : 0;
    f.Abort();
    if (why) *why = "writing " + path + " failed" + (err ? std::string(": ") + std::strerror(err) : std::string());
    if (reason) *reason = Reason::System(ReasonCode::CannotWrite, path, err, "writing " + path + " failed");
    return false;
  }
  if (!f.Commit()) {
    if (why) *why = f.Error();
    if (reason) *reason = f.GetReason();
    return false;
  }
  return true;
}
