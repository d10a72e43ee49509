// What differs between the systems the core runs on: opening files by name,
// the atomic replace, file identity, processes of temporaries, local time
// and the processor's features. Paths are UTF-8 on every system; on Windows
// they become UTF-16 here and nowhere else. platform_posix.cpp is the
// default, platform_win.cpp serves Windows; no other file of the core
// includes a system header for these.
#pragma once

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

// Whether buffers may be cached per thread in thread_local objects with
// destructors. MinGW's emulated thread-local storage frees a thread's
// variables before their destructors run at the thread's end, and a cached
// vector then frees a pointer read from freed memory: Windows builds cache
// nothing per thread.
#ifdef _WIN32
#define PLATFORM_THREAD_CACHES 0
#else
#define PLATFORM_THREAD_CACHES 1
#endif

// The characters that end a folder name in a path.
#ifdef _WIN32
constexpr char kPlatformPathSeparators[] = "/\\";
#else
constexpr char kPlatformPathSeparators[] = "/";
#endif

// fopen of a UTF-8 path (mode as for fopen; always binary).
FILE* platform_fopen(const char* path, const char* mode);
// Whether path names anything (a file, a folder, a device).
bool platform_exists(const char* path);

struct PlatformStat {
  bool regular = false;
  bool directory = false;
  bool link = false;  // only from platform_lstat
  unsigned mode = 0;  // permission bits; 0666 where the system has none
  // What a name that is neither a regular file nor a folder names, for
  // messages: "a FIFO", "a socket", "a device" or "a special file".
  const char* special = "a special file";
};
// stat / lstat of path; false (errno set) when it names nothing.
bool platform_stat(const std::string& path, PlatformStat* st);
bool platform_lstat(const std::string& path, PlatformStat* st);
// The target of a symbolic link, or empty when path is none.
std::string platform_read_link(const std::string& path);
bool platform_mkdir(const std::string& path);
// Removes an empty folder; false (errno set) on failure.
bool platform_rmdir(const std::string& path);
// Removes a file; false (errno set) on failure.
bool platform_remove(const std::string& path);
// The names in folder dir (without "." and ".."); false when it cannot be read.
bool platform_list_dir(const std::string& dir, std::vector<std::string>* names);
// The longest file name (in bytes of UTF-8) folder dir takes.
size_t platform_name_max(const std::string& dir);

// The identity of an existing file or folder (links followed): two names
// with the same identity name the same file.
struct PlatformFileId {
  unsigned long long volume = 0;
  unsigned long long index = 0;
};
bool platform_file_id(const std::string& path, PlatformFileId* id);
// Whether a and b name the same existing file (after links).
bool platform_same_file(const std::string& a, const std::string& b);

// What tells whether an open file is still the one a later read expects:
// its size, modification time and file id (0 where the system has none).
struct PlatformFileStamp {
  long long size = -1, mtime_s = 0, mtime_ns = 0, id = 0;
};
bool platform_fstamp(FILE* fp, PlatformFileStamp* stamp);

// Opens path for binary reading only when it names a regular file: a FIFO,
// a device or a folder is refused without waiting for a writer, with why
// (optional) telling what it is ("not a regular file (a FIFO)") or the
// system's reason. Null with errno set on failure.
FILE* platform_open_regular(const std::string& path, std::string* why);
// Opens a special file (a FIFO, a device) for binary writing without
// waiting for a reader. Null with errno set on failure; ENXIO when nothing
// reads it.
FILE* platform_open_special(const std::string& path);

// This process's id, and whether the process pid may still run (true when
// the system cannot tell).
long platform_pid();
bool platform_process_runs(long pid);

// Creates path, which must not exist yet, for binary writing with the
// permission bits mode (where the system has them). Null with errno
// (EEXIST when the name is taken) on failure.
FILE* platform_create_new(const std::string& path, unsigned mode);
// The permission bits a plain fopen gives a new file.
unsigned platform_new_file_mode();
// The descriptor of a stream.
int platform_fileno(FILE* fp);
// Puts the written bytes of descriptor fd on the disk; false (errno set) on
// failure.
bool platform_sync(int fd);
// Puts a folder's entries (a rename in it) on the disk, where the system
// has such a thing.
void platform_sync_dir(const std::string& dir);
// Replaces target by from in one step: a reader sees the old file or the
// new one, never a mix. False (errno set; from still there) on failure.
bool platform_replace(const std::string& from, const std::string& target);

// Local time of t.
struct tm platform_localtime(time_t t);

// Whether the processor and the system run AVX instructions.
bool platform_cpu_has_avx();
// Whether they run AVX-512 (the foundation instructions).
bool platform_cpu_has_avx512f();
// The processor cores this process may run on (its affinity), at least 1.
unsigned platform_core_count();

// The command line in UTF-8: on Windows argv is rebuilt from the UTF-16
// command line (the 8-bit one loses every character outside the code page),
// the console shows UTF-8 output and the standard streams are binary (no
// "\r" added before "\n"). Elsewhere nothing changes.
void platform_utf8_args(int* argc, char*** argv);

// fread without the stream's lock, for streams one thread reads at a time
// (the Windows C library MinGW links has no such call: a plain fread there).
inline size_t platform_fread_unlocked(void* buf, size_t size, size_t n, FILE* fp) {
#ifdef _WIN32
  return std::fread(buf, size, n, fp);
#else
  return fread_unlocked(buf, size, n, fp);
#endif
}

// strtod in the C locale (a dot as the decimal separator), whatever locale
// the program runs in.
double platform_strtod_c(const char* s, char** end);

// For its lifetime, this thread formats numbers in the C locale.
class PlatformCNumericScope {
public:
  PlatformCNumericScope();
  ~PlatformCNumericScope();
  PlatformCNumericScope(const PlatformCNumericScope&) = delete;
  PlatformCNumericScope& operator=(const PlatformCNumericScope&) = delete;

private:
  void* m_old = nullptr;  // the thread's previous locale (POSIX)
  int m_old_mode = 0;     // the thread-locale mode before (Windows)
  std::string m_old_name; // the thread's numeric locale before (Windows)
};
