// Binary file helpers: opening with logged failures, sizes, little-endian
// fixed-width values and length-prefixed strings.
//
// Every value is stored little-endian at its natural width with no padding.
// The typed readers return the caller's default when fewer bytes than the
// width are left, so a short read is visible only through the default.
#pragma once

#include <cstdint>
#include <cstdio>

// fopen; a failure is logged at error level and gives null.
FILE* ex_fopen(const char* path, const char* mode);
long ex_ftell(FILE* fp);
int ex_fseek(FILE* fp, long offset, int whence);
int ex_fseek_set(FILE* fp, long offset);
// Size of an open stream; the stream position is left unchanged.
long ex_fsize(FILE* fp);
// Bytes between the current position and the end of the stream (0 when the
// position is at or beyond the end). Readers check counts against it before
// allocating, so a damaged file cannot ask for gigabytes.
long ex_fremain(FILE* fp);
// Size of a file by path; 0 (with a warning in the log) when it cannot be opened.
long ex_file_size(const char* path);
bool ex_access(const char* path);
// Creates every missing directory along the path; returns the result of the
// last creation (true when the directory exists afterwards).
bool ex_mkdirs(const char* path);

// Closes a FILE* when it goes out of scope.
struct ExFileCloser {
  void operator()(FILE* fp) const {
    if (fp) std::fclose(fp);
  }
};

size_t ex_fread(FILE* fp, void* buf, size_t len);
size_t ex_fwrite(FILE* fp, const void* buf, size_t len);

uint8_t ex_fread_u8(FILE* fp, uint8_t def);
uint16_t ex_fread_u16(FILE* fp, uint16_t def);
int32_t ex_fread_i32(FILE* fp, int32_t def);
uint32_t ex_fread_u32(FILE* fp, uint32_t def);
float ex_fread_float(FILE* fp, float def);
double ex_fread_double(FILE* fp, double def);

// Variants that report whether the whole value was there; used where a short
// read must fail the surrounding record.
bool ex_fread_u8_ok(FILE* fp, uint8_t* v);
bool ex_fread_u16_ok(FILE* fp, uint16_t* v);
bool ex_fread_i32_ok(FILE* fp, int32_t* v);
bool ex_fread_u32_ok(FILE* fp, uint32_t* v);
bool ex_fread_float_ok(FILE* fp, float* v);
bool ex_fread_double_ok(FILE* fp, double* v);

size_t ex_fwrite_u8(FILE* fp, uint8_t v);
size_t ex_fwrite_u16(FILE* fp, uint16_t v);
size_t ex_fwrite_i32(FILE* fp, int32_t v);
size_t ex_fwrite_u32(FILE* fp, uint32_t v);
size_t ex_fwrite_float(FILE* fp, float v);
size_t ex_fwrite_double(FILE* fp, double v);

// Length-prefixed string: int32 n (bytes that follow, including the NUL the
// writer adds), then n bytes.
//
// Reads into buf (buff_len bytes). Returns 4 + the string bytes read, or -1
// when the count is missing or outside 0 <= n < buff_len (the caller's record
// read then fails). The buffer is always NUL-terminated, also when the file
// held fewer bytes than announced or a string without its NUL.
int ex_fread_str(FILE* fp, char* buf, int buff_len);
// Writes strlen(str) + 1 and the string with its NUL. Strings of 255 bytes or
// more cannot be read back by ex_fread_str with a 256-byte buffer, so they are
// cut to EX_STR_MAX_WRITE bytes. Returns the bytes written.
size_t ex_fwrite_str(FILE* fp, const char* str);

constexpr int EX_STR_BUF = 256;
constexpr int EX_STR_MAX_WRITE = 254;
