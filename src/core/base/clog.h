// Process-wide logging: formatted lines to registered sinks (standard output
// and a daily file in "./log.d/"). Safe to call from any thread; the sink
// calls of one line are atomic with respect to other lines.
#pragma once

#include <ctime>

enum ClogLevel { CLOG_LEVEL_DEBUG = 0, CLOG_LEVEL_INFO = 1, CLOG_LEVEL_WARN = 2, CLOG_LEVEL_ERROR = 3 };

typedef void (*clog_write_fn)(const char* text);
typedef void (*clog_flush_fn)();

// Creates the lock, switches on time stamp and level tag, registers "std"
// (when with_console) and "file".
void clog_init(bool with_console);
void clog_deinit();
// Adds a sink (at most 8). Returns false when the table is full.
bool clog_add_sink(const char* name, clog_write_fn write, clog_flush_fn flush);
void clog_set_level(int level);
// Replaces the clock used for prefixes and the daily file name (null restores
// time()); lets a test log on both sides of midnight.
void clog_set_clock(time_t (*now)());

void clog_print(bool prefixed, const char* file, int line, const char* func, int level, const char* fmt, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 6, 7)))
#endif
    ;

#define CLOG_DEBUG(...) clog_print(true, __FILE__, __LINE__, __func__, CLOG_LEVEL_DEBUG, __VA_ARGS__)
#define CLOG_INFO(...) clog_print(true, __FILE__, __LINE__, __func__, CLOG_LEVEL_INFO, __VA_ARGS__)
#define CLOG_WARN(...) clog_print(true, __FILE__, __LINE__, __func__, CLOG_LEVEL_WARN, __VA_ARGS__)
#define CLOG_ERR(...) clog_print(true, __FILE__, __LINE__, __func__, CLOG_LEVEL_ERROR, __VA_ARGS__)
