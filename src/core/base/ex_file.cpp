#include "core/base/ex_file.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "core/base/clog.h"
#include "core/base/platform.h"

namespace {

bool ReadOnlyMode(const char* mode) { return mode[0] == 'r' && !std::strchr(mode, '+'); }

}  // namespace

FILE* ex_fopen_regular(const std::string& path, std::string* why) { return platform_open_regular(path, why); }

bool ex_readable_kind(const std::string& path, std::string* why) {
  PlatformStat st;
  if (!platform_stat(path, &st) || st.regular) return true;
  if (why) *why = std::string("not a regular file (") + (st.directory ? "a folder" : st.special) + ")";
  return false;
}

FILE* ex_fopen(const char* path, const char* mode) {
  if (ReadOnlyMode(mode)) {
    std::string why;
    FILE* fp = ex_fopen_regular(path, &why);
    if (!fp) CLOG_ERR("file %s(mode: %s) open failed: %s", path, mode, why.c_str());
    return fp;
  }
  FILE* fp = platform_fopen(path, mode);
  if (!fp) CLOG_ERR("file %s(mode: %s) open failed: %s", path, mode, std::strerror(errno));
  return fp;
}

long ex_ftell(FILE* fp) {
  long pos = std::ftell(fp);
  if (pos < 0) CLOG_ERR("ftell failed:%s", std::strerror(errno));
  return pos;
}

int ex_fseek(FILE* fp, long offset, int whence) {
  int ret = std::fseek(fp, offset, whence);
  if (ret < 0) std::printf("@@ fseek failed:%s offset:%ld whence:%d\n", std::strerror(errno), offset, whence);
  return ret;
}

int ex_fseek_set(FILE* fp, long offset) { return ex_fseek(fp, offset, SEEK_SET); }

long ex_fsize(FILE* fp) {
  long pos = ex_ftell(fp);
  ex_fseek(fp, 0, SEEK_END);
  long size = ex_ftell(fp);
  ex_fseek_set(fp, pos < 0 ? 0 : pos);
  return size;
}

long ex_fremain(FILE* fp) {
  long pos = std::ftell(fp);
  if (pos < 0) return 0;
  long size = ex_fsize(fp);
  return size > pos ? size - pos : 0;
}

long ex_file_size(const char* path) {
  FILE* fp = platform_fopen(path, "rb");
  if (!fp) {
    CLOG_WARN("get file(%s) size failed:%s", path, std::strerror(errno));
    return 0;
  }
  long size = ex_fsize(fp);
  std::fclose(fp);
  return size;
}

bool ex_access(const char* path) { return platform_exists(path); }

static bool make_dir(const std::string& dir) {
  if (dir.empty()) return true;
  PlatformStat st;
  if (platform_stat(dir, &st)) return st.directory;
  return platform_mkdir(dir) || errno == EEXIST;
}

bool ex_mkdirs(const char* path) {
  std::string p(path ? path : "");
  for (size_t i = 0; i < p.size(); ++i) {
    if (p[i] == '/' || p[i] == '\\') {
      p[i] = '/';
      if (i > 0) make_dir(p.substr(0, i));
    }
  }
  return make_dir(p);
}

// A stream is read by one thread at a time, so the reads skip the stream's
// lock: the readers take most fields a few bytes at a time.
size_t ex_fread(FILE* fp, void* buf, size_t len) { return platform_fread_unlocked(buf, 1, len, fp); }
size_t ex_fwrite(FILE* fp, const void* buf, size_t len) { return std::fwrite(buf, 1, len, fp); }

// Values are assembled byte by byte so that the file layout does not depend
// on the host's byte order.
template <typename T>
static bool read_le(FILE* fp, T* out) {
  unsigned char b[sizeof(T)];
  if (platform_fread_unlocked(b, 1, sizeof(T), fp) != sizeof(T)) return false;
  uint64_t v = 0;
  for (size_t i = 0; i < sizeof(T); ++i) v |= uint64_t(b[i]) << (8 * i);
  if constexpr (sizeof(T) == 1) {
    uint8_t x = uint8_t(v);
    std::memcpy(out, &x, 1);
  } else if constexpr (sizeof(T) == 2) {
    uint16_t x = uint16_t(v);
    std::memcpy(out, &x, 2);
  } else if constexpr (sizeof(T) == 4) {
    uint32_t x = uint32_t(v);
    std::memcpy(out, &x, 4);
  } else {
    std::memcpy(out, &v, 8);
  }
  return true;
}

template <typename T>
static size_t write_le(FILE* fp, T value) {
  uint64_t v = 0;
  if constexpr (sizeof(T) == 1) {
    uint8_t x;
    std::memcpy(&x, &value, 1);
    v = x;
  } else if constexpr (sizeof(T) == 2) {
    uint16_t x;
    std::memcpy(&x, &value, 2);
    v = x;
  } else if constexpr (sizeof(T) == 4) {
    uint32_t x;
    std::memcpy(&x, &value, 4);
    v = x;
  } else {
    std::memcpy(&v, &value, 8);
  }
  unsigned char b[sizeof(T)];
  for (size_t i = 0; i < sizeof(T); ++i) b[i] = (unsigned char)(v >> (8 * i));
  return std::fwrite(b, 1, sizeof(T), fp);
}

bool ex_fread_u8_ok(FILE* fp, uint8_t* v) { return read_le(fp, v); }
bool ex_fread_u16_ok(FILE* fp, uint16_t* v) { return read_le(fp, v); }
bool ex_fread_i32_ok(FILE* fp, int32_t* v) { return read_le(fp, v); }
bool ex_fread_u32_ok(FILE* fp, uint32_t* v) { return read_le(fp, v); }
bool ex_fread_float_ok(FILE* fp, float* v) { return read_le(fp, v); }
bool ex_fread_double_ok(FILE* fp, double* v) { return read_le(fp, v); }

template <typename T>
static T read_def(FILE* fp, T def) {
  T v;
  return read_le(fp, &v) ? v : def;
}

uint8_t ex_fread_u8(FILE* fp, uint8_t def) { return read_def(fp, def); }
uint16_t ex_fread_u16(FILE* fp, uint16_t def) { return read_def(fp, def); }
int32_t ex_fread_i32(FILE* fp, int32_t def) { return read_def(fp, def); }
uint32_t ex_fread_u32(FILE* fp, uint32_t def) { return read_def(fp, def); }
float ex_fread_float(FILE* fp, float def) { return read_def(fp, def); }
double ex_fread_double(FILE* fp, double def) { return read_def(fp, def); }

size_t ex_fwrite_u8(FILE* fp, uint8_t v) { return write_le(fp, v); }
size_t ex_fwrite_u16(FILE* fp, uint16_t v) { return write_le(fp, v); }
size_t ex_fwrite_i32(FILE* fp, int32_t v) { return write_le(fp, v); }
size_t ex_fwrite_u32(FILE* fp, uint32_t v) { return write_le(fp, v); }
size_t ex_fwrite_float(FILE* fp, float v) { return write_le(fp, v); }
size_t ex_fwrite_double(FILE* fp, double v) { return write_le(fp, v); }

int ex_fread_str(FILE* fp, char* buf, int buff_len) {
  if (buff_len <= 0) return -1;
  buf[0] = '\0';
  int32_t n;
  if (!read_le(fp, &n)) return -1;
  if (n < 0 || n >= buff_len) return -1;
  if (n == 0) return 4;
  size_t got = std::fread(buf, 1, size_t(n), fp);
  buf[got < size_t(buff_len) ? got : size_t(buff_len) - 1] = '\0';
  return 4 + int(got);
}

size_t ex_fwrite_str(FILE* fp, const char* str) {
  size_t len = str ? std::strlen(str) : 0;
  if (len > size_t(EX_STR_MAX_WRITE)) len = EX_STR_MAX_WRITE;
  size_t n = ex_fwrite_i32(fp, int32_t(len + 1));
  if (len) n += std::fwrite(str, 1, len, fp);
  n += ex_fwrite_u8(fp, 0);
  return n;
}

namespace {
constexpr size_t kBlockBytes = 1u << 20;
}

namespace {

// The block of the reader alive in this thread, kept for the next one: a
// file is read block after block, and a fresh block would be new memory
// (page faults) for every array of every file.
struct SharedBlock {
  std::unique_ptr<unsigned char[]> bytes;
  size_t cap = 0;
  bool busy = false;
};
thread_local SharedBlock t_block;

}  // namespace

ExBlockReader::ExBlockReader(FILE* fp, size_t record_bytes, size_t count)
    : m_fp(fp), m_rec(record_bytes ? record_bytes : 1), m_left(count) {
  size_t per_block = kBlockBytes / m_rec;
  if (per_block == 0) per_block = 1;
  if (per_block > count) per_block = count;
  m_size = per_block * m_rec;
  if (m_size == 0) return;
  if (PLATFORM_THREAD_CACHES && !t_block.busy) {
    if (t_block.cap < m_size) {
      t_block.bytes.reset(new unsigned char[m_size]);
      t_block.cap = m_size;
    }
    t_block.busy = true;
    m_shared = true;
    m_buf = t_block.bytes.get();
  } else {
    m_own.reset(new unsigned char[m_size]);
    m_buf = m_own.get();
  }
}

ExBlockReader::~ExBlockReader() {
  if (m_shared) t_block.busy = false;
}

bool ExBlockReader::refill() {
  if (m_left == 0 || m_size == 0) return false;
  size_t want = m_size / m_rec;
  if (want > m_left) want = m_left;
  size_t got = platform_fread_unlocked(m_buf, 1, want * m_rec, m_fp);
  m_left = got < want * m_rec ? 0 : m_left - want;
  m_pos = 0;
  m_end = got - got % m_rec;
  return m_end > 0;
}

ExBlockWriter::ExBlockWriter(FILE* fp, size_t record_bytes) : m_fp(fp), m_rec(record_bytes ? record_bytes : 1) {
  size_t per_block = kBlockBytes / m_rec;
  m_buf.resize((per_block ? per_block : 1) * m_rec);
}

ExBlockWriter::~ExBlockWriter() { flush(); }

unsigned char* ExBlockWriter::next() {
  if (m_used + m_rec > m_buf.size()) flush();
  unsigned char* p = m_buf.data() + m_used;
  m_used += m_rec;
  return p;
}

size_t ExBlockWriter::flush() {
  if (m_used) m_written += std::fwrite(m_buf.data(), 1, m_used, m_fp);
  m_used = 0;
  return m_written;
}
