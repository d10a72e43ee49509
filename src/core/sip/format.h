// Common base of the binary file formats: a file object with the path and
// size of its last read. Paths are 8-bit strings in the system code page.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

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

protected:
  std::string m_path;
  int32_t m_size = 0;
};

// Writes through a temporary file and renames it over path on success.
// write_fn receives the open stream and returns success.
template <typename Fn>
bool ex_write_atomic(const std::string& path, Fn write_fn);
bool ex_write_atomic_impl(const std::string& path, bool (*fn)(FILE*, void*), void* ctx);

template <typename Fn>
bool ex_write_atomic(const std::string& path, Fn write_fn) {
  auto thunk = [](FILE* fp, void* ctx) -> bool { return (*static_cast<Fn*>(ctx))(fp); };
  return ex_write_atomic_impl(path, thunk, &write_fn);
}
