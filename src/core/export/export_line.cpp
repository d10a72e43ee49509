#include "core/export/export_line.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// printf's own text for what to_chars spells differently (infinities and
// NaNs) or for a number wider than the room left.
size_t ViaPrintf(char* out, size_t room, const char* conv, int width, int prec, double v) {
  char fmt[24];
  std::snprintf(fmt, sizeof(fmt), "%%-%d.%d%s", width, prec, conv);
  const int n = std::snprintf(out, room + 1, fmt, v);
  if (n < 0) return 0;
  return size_t(n) < room ? size_t(n) : room;
}

// "%.<prec>f" of v exactly, from the binary value in integer arithmetic:
// v = m * 2^e, so v * 10^prec = m * 10^prec * 2^e, rounded to nearest with
// ties to even as printf does. False for what it does not cover (not finite,
// above 2^63, more than 9 places); the caller then asks to_chars.
bool FixedExact(double v, int prec, char* out, size_t room, size_t* len) {
  if (!std::isfinite(v) || prec < 0 || prec > 9) return false;
  uint64_t bits = 0;
  std::memcpy(&bits, &v, sizeof(bits));
  const bool negative = (bits >> 63) != 0;
  const int biased = int((bits >> 52) & 0x7ff);
  const uint64_t frac_bits = bits & ((uint64_t(1) << 52) - 1);
  const uint64_t m = biased == 0 ? frac_bits : frac_bits | (uint64_t(1) << 52);
  const int e = biased == 0 ? -1074 : biased - 1075;
  uint64_t pow10 = 1;
  for (int k = 0; k < prec; ++k) pow10 *= 10;

  unsigned __int128 q = 0;
  if (e >= 0) {
    if (e > 10) return false;
    q = (unsigned __int128)(m << e) * pow10;
  } else {
    const int s = -e;
    const unsigned __int128 n = (unsigned __int128)m * pow10;  // below 2^83
    if (s < 100) {
      q = n >> s;
      const unsigned __int128 r = n - (q << s);
      const unsigned __int128 half = (unsigned __int128)1 << (s - 1);
      if (r > half || (r == half && (q & 1) != 0)) ++q;
    }
  }
  const uint64_t whole = uint64_t(q / pow10);
  const uint64_t part = uint64_t(q % pow10);

  char digits[24];
  size_t n = 0;
  uint64_t w = whole;
  do {
    digits[n++] = char('0' + w % 10);
    w /= 10;
  } while (w != 0);
  const size_t need = (negative ? 1 : 0) + n + (prec > 0 ? size_t(prec) + 1 : 0);
  if (need > room) return false;
  char* p = out;
  if (negative) *p++ = '-';
  while (n > 0) *p++ = digits[--n];
  if (prec > 0) {
    *p++ = '.';
    uint64_t f = part;
    for (int k = prec - 1; k >= 0; --k) {
      p[k] = char('0' + f % 10);
      f /= 10;
    }
    p += prec;
  }
  *len = size_t(p - out);
  return true;
}

}  // namespace

void ExportLine::Pad(size_t start, int width) {
  while (m_len - start < size_t(width > 0 ? width : 0) && Room() > 0) m_buf[m_len++] = ' ';
  m_buf[m_len] = '\0';
}

void ExportLine::Fixed(double v, int width, int prec) {
  const size_t start = m_len;
  char* out = m_buf + m_len;
  size_t exact = 0;
  if (FixedExact(v, prec, out, Room(), &exact)) {
    m_len += exact;
    Pad(start, width);
    return;
  }
  std::to_chars_result r{};
  if (std::isfinite(v)) r = std::to_chars(out, m_buf + sizeof(m_buf) - 1, v, std::chars_format::fixed, prec);
  if (!std::isfinite(v) || r.ec != std::errc()) {
    m_len += ViaPrintf(out, Room(), "f", width, prec, v);
    m_buf[m_len] = '\0';
    return;
  }
  m_len = size_t(r.ptr - m_buf);
  Pad(start, width);
}

void ExportLine::Sci(double v, int width, int prec) {
  const size_t start = m_len;
  char* out = m_buf + m_len;
  std::to_chars_result r{};
  if (std::isfinite(v))
    r = std::to_chars(out, m_buf + sizeof(m_buf) - 1, v, std::chars_format::scientific, prec);
  if (!std::isfinite(v) || r.ec != std::errc()) {
    m_len += ViaPrintf(out, Room(), "E", width, prec, v);
    m_buf[m_len] = '\0';
    return;
  }
  for (char* p = out; p < r.ptr; ++p)
    if (*p == 'e') *p = 'E';
  m_len = size_t(r.ptr - m_buf);
  Pad(start, width);
}

void ExportLine::Int(int v, int width) {
  const size_t start = m_len;
  const std::to_chars_result r = std::to_chars(m_buf + m_len, m_buf + sizeof(m_buf) - 1, v);
  if (r.ec != std::errc()) return;
  m_len = size_t(r.ptr - m_buf);
  Pad(start, width);
}

void ExportLine::Text(const char* s) {
  const size_t n = std::min(std::strlen(s), Room());
  std::memcpy(m_buf + m_len, s, n);
  m_len += n;
  m_buf[m_len] = '\0';
}

bool ExportLine::WriteTo(FILE* fp) {
  const bool ok = std::fwrite(m_buf, 1, m_len, fp) == m_len;
  Clear();
  return ok;
}
