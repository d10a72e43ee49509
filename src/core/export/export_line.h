// One line of an export file, built from printf's fixed and scientific
// conversions without going through printf: formatting the number columns
// was the largest part of a large export. The text is the one printf gives
// in the C locale ("%-14f", "%-14.4E", "%-3d"), byte for byte.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

class ExportLine {
public:
  // "%-<width>.<prec>f"
  void Fixed(double v, int width, int prec = 6);
  // "%-<width>.<prec>E"
  void Sci(double v, int width, int prec);
  // "%-<width>d"
  void Int(int v, int width);
  void Text(const char* s);
  void Clear() { m_len = 0; }

  const char* Data() const { return m_buf; }
  size_t Size() const { return m_len; }
  std::string Str() const { return std::string(m_buf, m_len); }
  // Writes the line to fp and starts an empty one; false on a write error.
  bool WriteTo(FILE* fp);

private:
  void Pad(size_t start, int width);
  // Room left before the end of the buffer, keeping one byte for a zero.
  size_t Room() const { return sizeof(m_buf) - 1 - m_len; }

  char m_buf[1024];
  size_t m_len = 0;
};
