// Builds little-endian byte sequences by hand for reader tests and golden
// comparisons, and moves them in and out of temporary streams.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/base/ex_file.h"

struct LeBytes {
  std::vector<unsigned char> b;

  LeBytes& u8(uint8_t v) {
    b.push_back(v);
    return *this;
  }
  LeBytes& u32(uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back((unsigned char)(v >> (8 * i)));
    return *this;
  }
  LeBytes& i32(int32_t v) { return u32(uint32_t(v)); }
  LeBytes& f32(float v) {
    uint32_t x;
    std::memcpy(&x, &v, 4);
    return u32(x);
  }
  LeBytes& f64(double v) {
    uint64_t x;
    std::memcpy(&x, &v, 8);
    for (int i = 0; i < 8; ++i) b.push_back((unsigned char)(x >> (8 * i)));
    return *this;
  }
};

using LeFile = std::unique_ptr<FILE, ExFileCloser>;

inline LeFile le_stream(const std::vector<unsigned char>& bytes, size_t len) {
  FILE* fp = std::tmpfile();
  if (fp && len) std::fwrite(bytes.data(), 1, len, fp);
  if (fp) std::rewind(fp);
  return LeFile(fp);
}

inline LeFile le_stream(const std::vector<unsigned char>& bytes) { return le_stream(bytes, bytes.size()); }

inline std::vector<unsigned char> le_contents(FILE* fp) {
  std::rewind(fp);
  std::vector<unsigned char> out;
  int c;
  while ((c = std::fgetc(fp)) != EOF) out.push_back((unsigned char)c);
  return out;
}

inline std::string le_text(FILE* fp) {
  std::vector<unsigned char> b = le_contents(fp);
  return std::string(b.begin(), b.end());
}
