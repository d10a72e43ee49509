// Processes of the tests on Windows: no fork, so every child "fails to
// start"; the tests that need one skip there (windows_skip.h).
#pragma once

#include <cerrno>
#include <csignal>

inline int fork() {
  errno = ENOSYS;
  return -1;
}
inline int waitpid(int, int* status, int) {
  if (status) *status = -1;
  errno = ECHILD;
  return -1;
}
inline int kill(int, int) {
  errno = ENOSYS;
  return -1;
}
inline int pause() {
  errno = ENOSYS;
  return -1;
}
inline int pipe(int fds[2]) { return _pipe(fds, 4096, 0x8000 /* _O_BINARY */); }
#ifndef SIGKILL
#define SIGKILL 9
#endif
// system() returns the exit code itself on Windows.
#define WIFEXITED(s) ((s) >= 0)
#define WEXITSTATUS(s) (s)
#define WIFSIGNALED(s) 0
#define WTERMSIG(s) 0
