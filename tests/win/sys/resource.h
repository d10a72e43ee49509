// No resource limits on Windows; the tests that set one skip there.
#pragma once

#include <cerrno>

typedef unsigned long long rlim_t;
struct rlimit {
  rlim_t rlim_cur;
  rlim_t rlim_max;
};
#define RLIMIT_FSIZE 1
#ifndef SIGXFSZ
#define SIGXFSZ 25
#endif
inline int setrlimit(int, const struct rlimit*) {
  errno = ENOSYS;
  return -1;
}
