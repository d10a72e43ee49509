// The one way this program writes a file: a unique temporary file in the
// target's folder, flushed and synced, then renamed over the target. On any
// failure the old file is untouched and the temporary is removed.
//
// Targets that are not regular files are not replaced: a symbolic link is
// followed and its target written the same way; a device, FIFO or other
// special file is written directly (a rename would replace /dev/null with a
// regular file).
//
// Temporaries are named ".<name>.<pid>-<n>.vxtmp" beside the target. A write
// removes the temporaries of the same target left by processes that no longer
// run (a kill or a crash), and never those of a running process.
#pragma once

#include <cstdio>
#include <string>

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
  FILE* m_fp = nullptr;
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

template <typename Fn>
bool ex_write_atomic(const std::string& path, Fn write_fn, std::string* why, Reason* reason) {
  AtomicFile f;
  if (!f.Open(path)) {
    if (why) *why = f.Error();
    if (reason) *reason = f.GetReason();
    return false;
  }
  if (!write_fn(f.Stream())) {
    f.Abort();
    if (why) *why = "writing " + path + " failed";
    if (reason) *reason = Reason::System(ReasonCode::CannotWrite, path, 0, "writing " + path + " failed");
    return false;
  }
  if (!f.Commit()) {
    if (why) *why = f.Error();
    if (reason) *reason = f.GetReason();
    return false;
  }
  return true;
}
