// The Windows side of the platform layer. The core's paths are UTF-8; the
// system's 8-bit calls would read them in the ANSI code page, so every name
// goes to the wide (UTF-16) calls.
#ifdef _WIN32

#include "core/base/platform.h"

#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <locale.h>
#include <sys/stat.h>
#include <windows.h>
#include <shellapi.h>

namespace {

std::wstring widen(const std::string& s) {
  if (s.empty()) return std::wstring();
  const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), nullptr, 0);
  std::wstring w(size_t(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), &w[0], n);
  return w;
}

std::string narrow(const wchar_t* w) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return std::string();
  std::string s(size_t(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w, -1, &s[0], n, nullptr, nullptr);
  s.resize(size_t(n - 1));
  return s;
}

// The C library's code for the last system error, for messages made with
// strerror like those of the other systems.
void set_errno_from_last_error() {
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
      errno = ENOENT;
      break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
      errno = EACCES;
      break;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
      errno = EEXIST;
      break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      errno = ENOSPC;
      break;
    default:
      errno = EIO;
  }
}

bool attributes(const std::string& path, WIN32_FILE_ATTRIBUTE_DATA* data) {
  if (GetFileAttributesExW(widen(path).c_str(), GetFileExInfoStandard, data)) return true;
  set_errno_from_last_error();
  return false;
}

_locale_t c_locale() {
  static const _locale_t loc = _create_locale(LC_ALL, "C");
  return loc;
}

}  // namespace

// Always binary: the core's files are byte-exact (a log line ends in
// "\r\n" already), and text mode would turn every "\n" into "\r\n".
FILE* platform_fopen(const char* path, const char* mode) {
  std::string m = mode;
  if (m.find('b') == std::string::npos) m += 'b';
  return _wfopen(widen(path).c_str(), widen(m).c_str());
}

bool platform_exists(const char* path) {
  return GetFileAttributesW(widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool platform_stat(const std::string& path, PlatformStat* st) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!attributes(path, &data)) return false;
  st->directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  st->regular = !st->directory && (data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) == 0;
  st->link = false;
  st->mode = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
  st->special = "a device";
  return true;
}

// Links are followed by the system's own calls, and a replace writes the
// file a link names no differently from a plain file.
bool platform_lstat(const std::string& path, PlatformStat* st) { return platform_stat(path, st); }

std::string platform_read_link(const std::string&) { return std::string(); }

bool platform_mkdir(const std::string& path) {
  if (CreateDirectoryW(widen(path).c_str(), nullptr)) return true;
  set_errno_from_last_error();
  return false;
}

bool platform_rmdir(const std::string& path) {
  if (RemoveDirectoryW(widen(path).c_str())) return true;
  set_errno_from_last_error();
  return false;
}

bool platform_remove(const std::string& path) {
  if (DeleteFileW(widen(path).c_str())) return true;
  set_errno_from_last_error();
  return false;
}

bool platform_list_dir(const std::string& dir, std::vector<std::string>* names) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(widen(dir + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return false;
  names->clear();
  do {
    const std::string f = narrow(fd.cFileName);
    if (f != "." && f != "..") names->push_back(f);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  return true;
}

// A component of 255 UTF-16 units; a UTF-8 byte never stands for less than
// one of them, so the count in bytes is on the safe side.
size_t platform_name_max(const std::string&) { return 255; }

bool platform_file_id(const std::string& path, PlatformFileId* id) {
  // Backup semantics: a folder opens as well as a file.
  HANDLE h = CreateFileW(widen(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    set_errno_from_last_error();
    return false;
  }
  BY_HANDLE_FILE_INFORMATION info;
  const bool ok = GetFileInformationByHandle(h, &info) != 0;
  CloseHandle(h);
  if (!ok) return false;
  id->volume = info.dwVolumeSerialNumber;
  id->index = (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return true;
}

FILE* platform_open_regular(const std::string& path, std::string* why) {
  FILE* fp = _wfopen(widen(path).c_str(), L"rb");
  if (!fp) {
    if (why) *why = std::strerror(errno);
    return nullptr;
  }
  // NUL, CON and pipes open like files; only a file on a disk is read.
  const HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(fp)));
  if (GetFileType(h) != FILE_TYPE_DISK) {
    if (why) *why = "not a regular file (a device)";
    std::fclose(fp);
    errno = EINVAL;
    return nullptr;
  }
  return fp;
}

FILE* platform_open_special(const std::string& path) { return platform_fopen(path.c_str(), "wb"); }

long platform_pid() { return long(GetCurrentProcessId()); }

bool platform_process_runs(long pid) {
  if (pid <= 0) return true;  // not ours to judge
  HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
  if (!h) return GetLastError() != ERROR_INVALID_PARAMETER;
  DWORD code = 0;
  const bool runs = !GetExitCodeProcess(h, &code) || code == STILL_ACTIVE;
  CloseHandle(h);
  return runs;
}

FILE* platform_create_new(const std::string& path, unsigned) {
  const int fd = _wopen(widen(path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                        _S_IREAD | _S_IWRITE);
  if (fd < 0) return nullptr;
  FILE* fp = _fdopen(fd, "wb");
  if (!fp) {
    const int err = errno;
    _close(fd);
    DeleteFileW(widen(path).c_str());
    errno = err;
  }
  return fp;
}

unsigned platform_new_file_mode() { return 0666; }

unsigned platform_core_count() {
  DWORD_PTR process = 0, system = 0;
  if (GetProcessAffinityMask(GetCurrentProcess(), &process, &system) && process != 0) {
    unsigned n = 0;
    for (; process; process &= process - 1) ++n;
    return n;
  }
  return 1u;
}

int platform_fileno(FILE* fp) { return _fileno(fp); }

bool platform_fstamp(FILE* fp, PlatformFileStamp* stamp) {
  // _fstat64 has no file id and whole seconds only: a file replaced within
  // the second by one of the same size would pass for the old one.
  const HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(fp)));
  BY_HANDLE_FILE_INFORMATION info;
  if (h == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(h, &info)) return false;
  stamp->size = static_cast<long long>((static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
  const unsigned long long t =
      (static_cast<unsigned long long>(info.ftLastWriteTime.dwHighDateTime) << 32) | info.ftLastWriteTime.dwLowDateTime;
  stamp->mtime_s = static_cast<long long>(t / 10000000ull);
  stamp->mtime_ns = static_cast<long long>(t % 10000000ull) * 100;
  stamp->id = static_cast<long long>((static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow) ^
              static_cast<long long>(info.dwVolumeSerialNumber);
  return true;
}

bool platform_sync(int fd) {
  const HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  if (h != INVALID_HANDLE_VALUE && FlushFileBuffers(h)) return true;
  set_errno_from_last_error();
  return false;
}

// The rename is written through (MOVEFILE_WRITE_THROUGH); a folder has no
// handle of its own to flush.
void platform_sync_dir(const std::string&) {}

bool platform_replace(const std::string& from, const std::string& target) {
  const std::wstring wfrom = widen(from), wtarget = widen(target);
  // ReplaceFileW keeps what the old file had beyond its bytes (attributes,
  // access rights, creation time); it needs an existing target and a
  // volume that supports it, and MoveFileExW does the rest.
  if (GetFileAttributesW(wtarget.c_str()) != INVALID_FILE_ATTRIBUTES &&
      ReplaceFileW(wtarget.c_str(), wfrom.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
    return true;
  if (MoveFileExW(wfrom.c_str(), wtarget.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  set_errno_from_last_error();
  return false;
}

struct tm platform_localtime(time_t t) {
  struct tm out {};
  localtime_s(&out, &t);
  return out;
}

void platform_utf8_args(int* argc, char*** argv) {
  static std::vector<std::string> args;
  static std::vector<char*> ptrs;
  int n = 0;
  wchar_t** w = CommandLineToArgvW(GetCommandLineW(), &n);
  if (!w) return;
  args.clear();
  for (int i = 0; i < n; ++i) args.push_back(narrow(w[i]));
  LocalFree(w);
  ptrs.clear();
  for (std::string& a : args) ptrs.push_back(&a[0]);
  ptrs.push_back(nullptr);
  *argc = n;
  *argv = ptrs.data();
  SetConsoleOutputCP(CP_UTF8);
  // What the tools print is byte for byte what they would write to a file.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

double platform_strtod_c(const char* s, char** end) { return _strtod_l(s, end, c_locale()); }

// Nothing to do while the numbers are the C locale's already, as in the
// command-line tools, which never change it: export threads then touch no
// locale state at all (concurrent setlocale calls are not safe under every
// C runtime).
PlatformCNumericScope::PlatformCNumericScope() {
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  if (!old || std::strcmp(old, "C") == 0) return;
  m_old_mode = _configthreadlocale(_ENABLE_PER_THREAD_LOCALE);
  m_old_name = old;
  std::setlocale(LC_NUMERIC, "C");
}

PlatformCNumericScope::~PlatformCNumericScope() {
  if (m_old_name.empty()) return;
  std::setlocale(LC_NUMERIC, m_old_name.c_str());
  _configthreadlocale(m_old_mode);
}

#endif
