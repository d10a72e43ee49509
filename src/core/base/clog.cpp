#include "core/base/clog.h"

#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/base/ex_string.h"
#include "core/base/platform.h"

namespace {

struct Sink {
  std::string name;
  clog_write_fn write;
  clog_flush_fn flush;
};

constexpr int kMaxSinks = 8;
constexpr const char* kLogDir = "./log.d/";
const char* const kLevelTag[4] = {"    ", "    ", "[W] ", "[E] "};

struct ClogState {
  int level_gate = 0;
  bool show_file_line = false;
  bool show_func = false;
  bool show_time = false;
  bool show_gps_time = false;
  bool show_tag = false;
  bool show_level = false;
  std::vector<Sink> sinks;
  std::mutex lock;
  std::unique_ptr<FILE, int (*)(FILE*)> file{nullptr, &std::fclose};
  std::string file_name;
  time_t (*clock)() = nullptr;
};

ClogState& state() {
  static ClogState s;
  return s;
}

time_t clog_now() {
  ClogState& s = state();
  return s.clock ? s.clock() : time(nullptr);
}

void std_write(const char* text) { std::fputs(text, stdout); }
void std_flush() { std::fflush(stdout); }

// Called with the output lock held: a change of date switches to a new file
// at the next line.
bool file_open_current() {
  ClogState& s = state();
  // Not through ex_file: the file helpers log, and the log would depend on them.
  std::error_code ec;
  std::filesystem::create_directories(kLogDir, ec);
  const struct tm lt = platform_localtime(clog_now());
  char name[512];
  std::snprintf(name, sizeof(name), "%s/%d-%d-%d.log", kLogDir, lt.tm_year + 1900, lt.tm_mon + 1, lt.tm_mday);
  if (s.file_name != name) {
    s.file.reset();
    s.file_name = name;
  }
  if (!s.file) {
    s.file.reset(platform_fopen(name, "a+"));
    if (!s.file) {
      std::printf("open log file failed:%s, reason:%s\n", name, std::strerror(errno));
      return false;
    }
  }
  return true;
}

void file_write(const char* text) {
  if (file_open_current()) std::fputs(text, state().file.get());
}

void file_flush() {
  if (file_open_current()) std::fflush(state().file.get());
}

}  // namespace

void clog_init(bool with_console) {
  ClogState& s = state();
  s.show_level = true;
  s.show_time = true;
  if (with_console) clog_add_sink("std", std_write, std_flush);
  clog_add_sink("file", file_write, file_flush);
}

void clog_deinit() {
  ClogState& s = state();
  std::lock_guard<std::mutex> guard(s.lock);
  s.file.reset();
  s.file_name.clear();
  s.sinks.clear();
}

bool clog_add_sink(const char* name, clog_write_fn write, clog_flush_fn flush) {
  ClogState& s = state();
  std::lock_guard<std::mutex> guard(s.lock);
  if (int(s.sinks.size()) >= kMaxSinks) return false;
  s.sinks.push_back(Sink{name ? name : "", write, flush});
  return true;
}

void clog_set_level(int level) { state().level_gate = level; }

void clog_set_clock(time_t (*now)()) { state().clock = now; }

void clog_print(bool prefixed, const char* file, int line, const char* func, int level, const char* fmt, ...) {
  ClogState& s = state();
  if (level > CLOG_LEVEL_ERROR || level < s.level_gate) return;

  std::string text;
  char buf[128];
  if (prefixed) {
    if (s.show_file_line) {
      std::snprintf(buf, sizeof(buf), "[%s:%d]", file ? file : "", line);
      text += buf;
    }
    if (s.show_func) {
      text += "[";
      text += func ? func : "";
      text += "]";
    }
    if (s.show_time) {
      const struct tm lt = platform_localtime(clog_now());
      std::snprintf(buf, sizeof(buf), "[%04d/%02d/%02d %02d:%02d:%02d.%03d]", lt.tm_year + 1900, lt.tm_mon + 1,
                    lt.tm_mday, lt.tm_hour, lt.tm_min, lt.tm_sec, ex_now_ms());
      text += buf;
    }
    if (s.show_level && level >= 0) text += kLevelTag[level];
  }

  va_list ap;
  va_start(ap, fmt);
  va_list ap2;
  va_copy(ap2, ap);
  int n = std::vsnprintf(nullptr, 0, fmt, ap);
  va_end(ap);
  if (n > 0) {
    std::string msg(size_t(n) + 1, '\0');
    std::vsnprintf(&msg[0], msg.size(), fmt, ap2);
    msg.resize(size_t(n));
    text += msg;
  }
  va_end(ap2);

  std::lock_guard<std::mutex> guard(s.lock);
  for (const Sink& sink : s.sinks)
    if (sink.write) sink.write(text.c_str());
  if (prefixed)
    for (const Sink& sink : s.sinks)
      if (sink.write) sink.write("\r\n");
  for (const Sink& sink : s.sinks)
    if (sink.flush) sink.flush();
}
