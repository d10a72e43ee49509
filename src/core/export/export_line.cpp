#include "core/export/export_line.h"

#include <charconv>
#include <cmath>
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

}  // namespace

void ExportLine::Pad(size_t start, int width) {
  while (m_len - start < size_t(width > 0 ? width : 0) && Room() > 0) m_buf[m_len++] = ' ';
  m_buf[m_len] = '\0';
}

void ExportLine::Fixed(double v, int width, int prec) {
  const size_t start = m_len;
  char* out = m_buf + m_len;
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
