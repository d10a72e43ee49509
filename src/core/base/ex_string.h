// Time stamps, their text forms and path code-page conversion.
#pragma once

#include <ctime>
#include <string>

constexpr int EX_TIME_STR_LEN = 64;

struct ExTimeVal {
  long tv_sec;
  long tv_usec;
};

time_t ex_time();
// Seconds = mktime of the local wall-clock time, microseconds = ms x 1000.
void ex_gettimeofday(ExTimeVal* tv);
int ex_now_ms();
struct tm ex_localtime_now();
// "2019/05/06 13:04:05" of the local time of t; into buf (at least EX_TIME_STR_LEN bytes) or,
// when buf is null, into a static buffer. Returns the text.
char* ex_time_str(time_t t, char* buf);
// "%dh%02dm%02ds" in a static buffer.
const char* ex_secs_str(int secs);

// UTF-8 to the system's 8-bit code page and back. File names on this platform
// are UTF-8, so both are the identity; every path from the GUI still passes
// through ex_utf8_to_ansi so that the call sites stay right on other systems.
std::string ex_utf8_to_ansi(const std::string& str);
std::string ex_ansi_to_utf8(const std::string& str);
