// Included before every source of the tests in a Windows build: the POSIX
// calls the tests use, where Windows has an equivalent, and stand-ins that
// fail for those it has not (the tests of such behaviour skip there, see
// windows_skip.h). The shell commands of the tests go to the small shell of
// test_shell.cpp.
#pragma once
#ifdef _WIN32

#define _USE_MATH_DEFINES 1

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <direct.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

inline int setenv(const char* name, const char* value, int overwrite) {
  if (!overwrite && std::getenv(name)) return 0;
  const int r = _putenv_s(name, value);
  _tzset();  // the C library reads TZ once otherwise
  return r;
}
inline int unsetenv(const char* name) {
  const int r = _putenv_s(name, "");
  _tzset();
  return r;
}

// A memory stream, as a temporary file holding the bytes (read modes only).
inline FILE* fmemopen(void* buf, size_t size, const char*) {
  FILE* fp = std::tmpfile();
  if (!fp) return nullptr;
  if (size && std::fwrite(buf, 1, size, fp) != size) {
    std::fclose(fp);
    return nullptr;
  }
  std::rewind(fp);
  return fp;
}

inline int mkdir(const char* path, int) { return _mkdir(path); }
inline int geteuid() { return 1000; }
inline int symlink(const char*, const char*) {
  errno = ENOSYS;
  return -1;
}
inline int mkfifo(const char*, int) {
  errno = ENOSYS;
  return -1;
}
inline int lstat(const char* path, struct stat* st) { return stat(path, st); }
#ifndef S_ISLNK
#define S_ISLNK(m) 0
#endif
#ifndef S_ISCHR
#define S_ISCHR(m) (((m)&S_IFMT) == S_IFCHR)
#endif
#ifndef O_CLOEXEC
#define O_CLOEXEC 0
#endif

// The shell of the tests' command lines (test_shell.cpp).
extern "C" int varnex_test_shell(const char* command);
namespace std {
using ::varnex_test_shell;
}
#define system(command) varnex_test_shell(command)

#endif
