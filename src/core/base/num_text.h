// Numbers appended to a text exactly as the C formats "%W.Pf", "%W.PE",
// "%Wd" and "%Ws" print them (C locale), for tables of many thousand rows:
// std::to_chars rounds the exact binary value to P decimals as printf does
// (halfway cases to even) without printf's parsing and multi-precision
// arithmetic, several times faster. W pads with blanks on the left.
#pragma once

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>

namespace num_text_detail {

inline void Pad(std::string& out, const char* s, size_t n, int width) {
  if (int(n) < width) out.append(size_t(width) - n, ' ');
  out.append(s, n);
}

}  // namespace num_text_detail

// "%W.Pf"
inline void AppendFixed(std::string& out, double v, int prec, int width) {
  // The widest fixed form of a double: 309 digits, sign, point, decimals.
  char buf[340 + 32];
  const std::to_chars_result r = std::to_chars(buf, buf + sizeof(buf), v, std::chars_format::fixed, prec);
  num_text_detail::Pad(out, buf, size_t(r.ptr - buf), width);
}

// "%W.PE"
inline void AppendSciUpper(std::string& out, double v, int prec, int width) {
  char buf[64 + 32];
  const std::to_chars_result r = std::to_chars(buf, buf + sizeof(buf), v, std::chars_format::scientific, prec);
  // Exponent letter, "inf" and "nan" as %E writes them.
  std::transform(buf, r.ptr, buf, [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; });
  num_text_detail::Pad(out, buf, size_t(r.ptr - buf), width);
}

// "%Wd"
inline void AppendInt(std::string& out, int64_t v, int width) {
  char buf[32];
  const std::to_chars_result r = std::to_chars(buf, buf + sizeof(buf), v);
  num_text_detail::Pad(out, buf, size_t(r.ptr - buf), width);
}

// "%Ws"
inline void AppendStr(std::string& out, const char* s, int width) {
  num_text_detail::Pad(out, s, std::strlen(s), width);
}
