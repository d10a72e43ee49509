// Binary file helpers: opening with logged failures, sizes, little-endian
// fixed-width values and length-prefixed strings.
//
// Every value is stored little-endian at its natural width with no padding.
// The typed readers return the caller's default when fewer bytes than the
// width are left, so a short read is visible only through the default.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

// fopen; a failure is logged at error level and gives null. A read-only
// mode ("r", "rb") opens regular files only: a FIFO, socket, device or
// folder gives null with errno EINVAL instead of waiting for a writer or
// reading without end.
FILE* ex_fopen(const char* path, const char* mode);
// Opens a regular file for reading ("rb") without ever waiting on it; null
// with the reason in why (optional) otherwise, e.g. "not a regular file
// (a FIFO)".
FILE* ex_fopen_regular(const std::string& path, std::string* why = nullptr);
// Whether path is something a reader may open: true for a regular file (or
// a path that does not exist, which the open then reports), false with the
// reason for a FIFO, socket, device or folder. Never blocks.
bool ex_readable_kind(const std::string& path, std::string* why = nullptr);
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

// Little-endian decoding and encoding of values in memory, for the block
// reader and writer below.
inline uint16_t ex_le_u16(const unsigned char* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t ex_le_u32(const unsigned char* p) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
#else
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
#endif
}
inline uint64_t ex_le_u64(const unsigned char* p) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
#else
  return uint64_t(ex_le_u32(p)) | (uint64_t(ex_le_u32(p + 4)) << 32);
#endif
}
inline float ex_le_float(const unsigned char* p) {
  uint32_t v = ex_le_u32(p);
  float f;
  std::memcpy(&f, &v, 4);
  return f;
}
inline double ex_le_double(const unsigned char* p) {
  uint64_t v = ex_le_u64(p);
  double d;
  std::memcpy(&d, &v, 8);
  return d;
}
inline void ex_put_le_u32(unsigned char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = (unsigned char)(v >> (8 * i));
}
inline void ex_put_le_u64(unsigned char* p, uint64_t v) {
  for (int i = 0; i < 8; ++i) p[i] = (unsigned char)(v >> (8 * i));
}
inline void ex_put_le_float(unsigned char* p, float v) {
  uint32_t u;
  std::memcpy(&u, &v, 4);
  ex_put_le_u32(p, u);
}
inline void ex_put_le_double(unsigned char* p, double v) {
  uint64_t u;
  std::memcpy(&u, &v, 8);
  ex_put_le_u64(p, u);
}

// Reads a run of fixed-size records in large blocks and hands them out one
// by one: a separate fread per field of millions of spectrum values would
// dominate the reading of a file.
class ExBlockReader {
public:
  ExBlockReader(FILE* fp, size_t record_bytes, size_t count);
  ~ExBlockReader();
  ExBlockReader(const ExBlockReader&) = delete;
  ExBlockReader& operator=(const ExBlockReader&) = delete;
  // The next record's bytes, or null when the stream ends before it.
  const unsigned char* next() {
    if (m_pos + m_rec > m_end && !refill()) return nullptr;
    const unsigned char* p = m_buf + m_pos;
    m_pos += m_rec;
    return p;
  }

private:
  bool refill();

  FILE* m_fp;
  size_t m_rec;
  size_t m_left;  // records not yet read from the stream
  unsigned char* m_buf = nullptr;
  size_t m_size = 0;
  bool m_shared = false;  // m_buf is the thread's shared block
  std::unique_ptr<unsigned char[]> m_own;
  size_t m_pos = 0;
  size_t m_end = 0;
};

// Collects records in a buffer and writes them in large blocks.
class ExBlockWriter {
public:
  ExBlockWriter(FILE* fp, size_t record_bytes);
  ~ExBlockWriter();
  // Space for one record; it is written at the latest by flush().
  unsigned char* next();
  // Returns the bytes written so far by this writer.
  size_t flush();

private:
  FILE* m_fp;
  size_t m_rec;
  std::vector<unsigned char> m_buf;
  size_t m_used = 0;
  size_t m_written = 0;
};
