// The POSIX side of the platform layer: the default.
#ifndef _WIN32

#include "core/base/platform.h"

#include <cerrno>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <locale.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

FILE* platform_fopen(const char* path, const char* mode) { return std::fopen(path, mode); }

bool platform_exists(const char* path) { return ::access(path, F_OK) == 0; }

static void fill_stat(const struct stat& s, PlatformStat* st) {
  st->regular = S_ISREG(s.st_mode);
  st->directory = S_ISDIR(s.st_mode);
  st->link = S_ISLNK(s.st_mode);
  st->mode = unsigned(s.st_mode & 07777);
}

bool platform_stat(const std::string& path, PlatformStat* st) {
  struct stat s;
  if (::stat(path.c_str(), &s) != 0) return false;
  fill_stat(s, st);
  return true;
}

bool platform_lstat(const std::string& path, PlatformStat* st) {
  struct stat s;
  if (::lstat(path.c_str(), &s) != 0) return false;
  fill_stat(s, st);
  return true;
}

std::string platform_read_link(const std::string& path) {
  char buf[PATH_MAX];
  const ssize_t n = ::readlink(path.c_str(), buf, sizeof(buf) - 1);
  return n > 0 ? std::string(buf, size_t(n)) : std::string();
}

bool platform_mkdir(const std::string& path) { return ::mkdir(path.c_str(), 0777) == 0; }

bool platform_remove(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool platform_list_dir(const std::string& dir, std::vector<std::string>* names) {
  DIR* d = ::opendir(dir.c_str());
  if (!d) return false;
  names->clear();
  while (dirent* e = ::readdir(d)) {
    const std::string f = e->d_name;
    if (f != "." && f != "..") names->push_back(f);
  }
  ::closedir(d);
  return true;
}

bool platform_same_file(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

long platform_pid() { return long(::getpid()); }

bool platform_process_runs(long pid) {
  if (pid <= 0) return true;  // not ours to judge
  if (::kill(pid_t(pid), 0) == 0) return true;
  return errno != ESRCH;
}

FILE* platform_create_new(const std::string& path, unsigned mode) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  ::fchmod(fd, mode_t(mode));
  FILE* fp = ::fdopen(fd, "wb");
  if (!fp) {
    const int err = errno;
    ::close(fd);
    ::unlink(path.c_str());
    errno = err;
  }
  return fp;
}

unsigned platform_new_file_mode() {
  const mode_t m = ::umask(0);
  ::umask(m);
  return unsigned(0666 & ~m);
}

bool platform_sync(FILE* fp) { return ::fsync(::fileno(fp)) == 0; }

void platform_sync_dir(const std::string& dir) {
  const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
}

bool platform_replace(const std::string& from, const std::string& target) {
  return std::rename(from.c_str(), target.c_str()) == 0;
}

struct tm platform_localtime(time_t t) {
  struct tm out {};
  localtime_r(&t, &out);
  return out;
}

void platform_utf8_args(int*, char***) {}

static locale_t c_locale() {
  static const locale_t loc = newlocale(LC_ALL_MASK, "C", locale_t(0));
  return loc;
}

double platform_strtod_c(const char* s, char** end) { return strtod_l(s, end, c_locale()); }

PlatformCNumericScope::PlatformCNumericScope() {
  // Only the numbers change: the rest of the thread's locale stays.
  static const locale_t c_numeric = newlocale(LC_NUMERIC_MASK, "C", locale_t(0));
  if (c_numeric) m_old = uselocale(c_numeric);
}

PlatformCNumericScope::~PlatformCNumericScope() {
  if (m_old) uselocale(static_cast<locale_t>(m_old));
}

#endif
