#include "core/base/ex_string.h"

#include <chrono>
#include <cstdio>

#include "core/base/platform.h"

time_t ex_time() { return time(nullptr); }

int ex_now_ms() {
  using namespace std::chrono;
  auto ms = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
  return int(ms % 1000);
}

struct tm ex_localtime_now() {
  return platform_localtime(time(nullptr));
}

void ex_gettimeofday(ExTimeVal* tv) {
  struct tm now = ex_localtime_now();
  tv->tv_sec = long(mktime(&now));
  tv->tv_usec = long(ex_now_ms()) * 1000;
}

char* ex_time_str(time_t t, char* buf) {
  static char s_buf[64];
  char* out = buf ? buf : s_buf;
  const struct tm lt = platform_localtime(t);
  int year = lt.tm_year + 1900;
  std::snprintf(out, EX_TIME_STR_LEN, "%02d%02d/%02d/%02d %02d:%02d:%02d", year / 100, year % 100, lt.tm_mon + 1, lt.tm_mday,
                lt.tm_hour, lt.tm_min, lt.tm_sec);
  return out;
}

const char* ex_secs_str(int secs) {
  static char s_buf[64];
  std::snprintf(s_buf, sizeof(s_buf), "%dh%02dm%02ds", secs / 3600, (secs % 3600) / 60, secs % 60);
  return s_buf;
}

std::string ex_utf8_to_ansi(const std::string& str) { return str; }
std::string ex_ansi_to_utf8(const std::string& str) { return str; }
