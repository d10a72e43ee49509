// Common base of the binary file formats: a file object with the path and
// size of its last read. Paths are 8-bit strings in the system code page.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/base/atomic_file.h"
#include "core/base/reason.h"

class CFormat {
public:
  virtual ~CFormat() = default;

  virtual const char* GetExt() const = 0;
  virtual bool ReadFile(FILE* fp) = 0;
  virtual bool WriteFile(FILE* fp) = 0;
  virtual bool PrintFile(FILE* fp) = 0;

  // Reads the whole file; m_path is set also when the read fails.
  bool Read(const std::string& path);
  // Writes through a temporary file beside the target that is renamed into
  // place, so a failed write never destroys an existing file.
  bool Write(const std::string& path);
  // Text form, written in binary mode.
  bool Print(const std::string& path);

  const std::string& GetPath() const { return m_path; }
  int32_t GetSize() const { return m_size; }
  // Why the last read failed, in one line with the byte offset where the
  // data went wrong ("spectrum array at byte 18234: 2147483647 items, 1210
  // bytes left"); empty after a successful read.
  const std::string& GetError() const { return m_error; }
  // The same as a code with its arguments (part and byte offset, system
  // error), for an interface that words it in its own language.
  const Reason& GetReason() const { return m_reason; }

  // Called with every path Read is about to open, for tests and diagnostics
  // that must know which files a flow touched (null: none). Not thread-safe;
  // set it before the flow runs.
  using ReadObserver = void (*)(const std::string& path, void* ctx);
  static void SetReadObserver(ReadObserver fn, void* ctx);

protected:
  // A format that opens its file again after Read tells the observer too.
  static void NoteRead(const std::string& path);

  std::string m_path;
  int32_t m_size = 0;
  std::string m_error;
  Reason m_reason;  // a format's reader fills it with m_error, or Read does
};
