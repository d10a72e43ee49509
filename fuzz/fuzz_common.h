// Helpers of the libFuzzer targets: the input as a read-only stream, and a
// stream that only counts what is written to it (dumps of hostile files must
// stay small but need not be kept).
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

#include "core/base/ex_file.h"

using FuzzFile = std::unique_ptr<FILE, ExFileCloser>;

// fmemopen of a private copy: the readers seek, and an empty input must
// still give a stream.
inline FuzzFile FuzzStream(const uint8_t* data, size_t size, std::string* keep) {
  keep->assign(reinterpret_cast<const char*>(data), size);
  keep->push_back('\0');
  return FuzzFile(fmemopen(&(*keep)[0], size ? size : 1, "rb"));
}

inline ssize_t FuzzCountWrite(void* cookie, const char*, size_t n) {
  *static_cast<size_t*>(cookie) += n;
  return ssize_t(n);
}

inline FuzzFile FuzzCountingStream(size_t* count) {
  cookie_io_functions_t io{nullptr, FuzzCountWrite, nullptr, nullptr};
  return FuzzFile(fopencookie(count, "w", io));
}

// Text that a dump of an input of n bytes may reasonably produce; more is a
// loop over a count that the file does not back.
inline size_t FuzzDumpLimit(size_t n) { return 4096 + n * 4096; }

inline std::string FuzzScratchPath(const char* ext) {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir && *dir ? dir : "/tmp") + "/varnex_fuzz_" + std::to_string(long(getpid())) + "." + ext;
}
