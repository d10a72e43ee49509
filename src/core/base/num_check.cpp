#include "core/base/num_check.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale>
#include <sstream>

namespace {

std::string Figure(double v) {
  char buf[32];
  std::snprintf(buf, sizeof(buf), "%.10g", v);
  return buf;
}

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

std::string NumCheck(double v, const NumRange& r) {
  if (!std::isfinite(v)) return "must be a finite number";
  const bool low = r.lo_open ? !(v > r.lo) : !(v >= r.lo);
  if (low || !(v <= r.hi)) {
    if (r.lo_open) return "must be greater than " + Figure(r.lo) + " and at most " + Figure(r.hi);
    return "must be between " + Figure(r.lo) + " and " + Figure(r.hi);
  }
  return std::string();
}

namespace {

// The text's number, when it is one (finite or not).
NumFault Parse(const std::string& text, double* v) {
  size_t b = 0, e = text.size();
  while (b < e && Blank(text[b])) ++b;
  while (e > b && Blank(text[e - 1])) --e;
  if (b == e) return NumFault::NotNumber;
  // A stream in the classic locale: a dot is the decimal point whatever
  // locale the program runs in.
  std::istringstream in(text.substr(b, e - b));
  in.imbue(std::locale::classic());
  in >> *v;
  if (in.fail() || in.peek() != std::char_traits<char>::eof()) {
    // "nan", "inf" and numbers past the double range do not parse as
    // numbers here; say what they are.
    const std::string t = text.substr(b, e - b);
    char* end = nullptr;
    errno = 0;
    const double loose = std::strtod(t.c_str(), &end);
    if (end == t.c_str() + t.size() && (!std::isfinite(loose) || errno == ERANGE)) return NumFault::NotFinite;
    return NumFault::NotNumber;
  }
  return NumFault::None;
}

}  // namespace

NumFault NumCheckFault(const std::string& text, const NumRange& r, double* value) {
  double v = 0.0;
  const NumFault f = Parse(text, &v);
  if (f != NumFault::None) return f;
  if (!NumCheck(v, r).empty()) return std::isfinite(v) ? NumFault::OutOfRange : NumFault::NotFinite;
  if (value) *value = v;
  return NumFault::None;
}

std::string NumCheckText(const std::string& text, const NumRange& r, double* value) {
  double v = 0.0;
  switch (Parse(text, &v)) {
    case NumFault::NotNumber: return "must be a number";
    case NumFault::NotFinite: return "must be a finite number";
    default: break;
  }
  const std::string why = NumCheck(v, r);
  if (why.empty() && value) *value = v;
  return why;
}
