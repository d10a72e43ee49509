// The POSIX side of the platform layer: the default.
#ifndef _WIN32

#include "core/base/platform.h"

#include <cerrno>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <locale.h>
#include <sched.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <thread>

FILE* platform_fopen(const char* path, const char* mode) { return std::fopen(path, mode); }

bool platform_exists(const char* path) { return ::access(path, F_OK) == 0; }

static const char* special_kind(mode_t mode) {
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  return "a special file";
}

static void fill_stat(const struct stat& s, PlatformStat* st) {
  st->regular = S_ISREG(s.st_mode);
  st->directory = S_ISDIR(s.st_mode);
  st->link = S_ISLNK(s.st_mode);
  st->mode = unsigned(s.st_mode & 07777);
  st->special = special_kind(s.st_mode);
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

bool platform_rmdir(const std::string& path) { return ::rmdir(path.c_str()) == 0; }

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

size_t platform_name_max(const std::string& dir) {
  const long n = ::pathconf(dir.c_str(), _PC_NAME_MAX);
  return n > 0 ? size_t(n) : size_t(255);
}

bool platform_file_id(const std::string& path, PlatformFileId* id) {
  struct stat s;
  if (::stat(path.c_str(), &s) != 0) return false;
  id->volume = static_cast<unsigned long long>(s.st_dev);
  id->index = static_cast<unsigned long long>(s.st_ino);
  return true;
}

FILE* platform_open_regular(const std::string& path, std::string* why) {
  // O_NONBLOCK: opening a FIFO without a writer returns at once, so that
  // fstat can refuse it.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    if (why) *why = std::strerror(errno);
    return nullptr;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    const int err = errno;
    if (why) *why = std::strerror(err);
    ::close(fd);
    errno = err;
    return nullptr;
  }
  if (!S_ISREG(st.st_mode)) {
    if (why) *why = std::string("not a regular file (") + (S_ISDIR(st.st_mode) ? "a folder" : special_kind(st.st_mode)) + ")";
    ::close(fd);
    errno = EINVAL;
    return nullptr;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  FILE* fp = ::fdopen(fd, "rb");
  if (!fp) {
    if (why) *why = std::strerror(errno);
    ::close(fd);
  }
  return fp;
}

FILE* platform_open_special(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  // Once open, a reader is there: writes may wait for it as for a disk.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  FILE* fp = ::fdopen(fd, "wb");
  if (!fp) {
    const int err = errno;
    ::close(fd);
    errno = err;
  }
  return fp;
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

unsigned platform_core_count() {
#ifdef __linux__
  // A run under taskset gets the cores it was given, not the machine's.
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof(set), &set) == 0 && CPU_COUNT(&set) > 0) return unsigned(CPU_COUNT(&set));
#endif
  const unsigned n = std::thread::hardware_concurrency();
  return n > 0 ? n : 1u;
}

int platform_fileno(FILE* fp) { return ::fileno(fp); }

bool platform_fstamp(FILE* fp, PlatformFileStamp* stamp) {
  struct stat st;
  if (::fstat(::fileno(fp), &st) != 0) return false;
  stamp->size = static_cast<long long>(st.st_size);
  stamp->mtime_s = static_cast<long long>(st.st_mtime);
#if defined(__linux__)
  stamp->mtime_ns = static_cast<long long>(st.st_mtim.tv_nsec);
#endif
  stamp->id = static_cast<long long>(st.st_ino);
  return true;
}

bool platform_sync(int fd) { return ::fsync(fd) == 0; }

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
