#include "core/sip/format_txt.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/base/algo.h"
#include "core/base/atomic_file.h"
#include "core/base/clog.h"
#include "core/base/ex_file.h"
#include "core/base/platform.h"
#include "core/sip/format.h"

namespace {

// Qt applications switch the C library to the user's locale, where atof
// would stop at the dot of "5012.5"; the tables always use a dot.
double c_strtod(const char* s, char** end) { return platform_strtod_c(s, end); }

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

std::string trimmed(const std::string& s) {
  size_t b = 0;
  size_t e = s.size();
  while (b < e && is_space(s[b])) ++b;
  while (e > b && is_space(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// The whole field must be a decimal integer that fits an int32, else 0.
int32_t field_int(const std::string& s) {
  if (s.empty()) return 0;
  size_t i = (s[0] == '+' || s[0] == '-') ? 1 : 0;
  if (i == s.size()) return 0;
  for (size_t k = i; k < s.size(); ++k) {
    if (!std::isdigit((unsigned char)s[k])) return 0;
  }
  errno = 0;
  long long v = std::strtoll(s.c_str(), nullptr, 10);
  if (errno == ERANGE || v < INT32_MIN || v > INT32_MAX) return 0;
  return int32_t(v);
}

// The whole field must be a finite decimal number ("1.5", "-2e3"); anything
// else, "inf" and hexadecimal forms included, gives 0.
double field_double(const std::string& s) {
  if (s.empty()) return 0.0;
  for (char c : s) {
    if (!std::isdigit((unsigned char)c) && c != '+' && c != '-' && c != '.' && c != 'e' && c != 'E') return 0.0;
  }
  char* end = nullptr;
  double v = c_strtod(s.c_str(), &end);
  if (end != s.c_str() + s.size() || !std::isfinite(v)) return 0.0;
  return v;
}

std::vector<std::string> split_keep_empty(const std::string& line, char sep) {
  std::vector<std::string> out;
  size_t start = 0;
  for (;;) {
    size_t p = line.find(sep, start);
    if (p == std::string::npos) {
      out.push_back(line.substr(start));
      return out;
    }
    out.push_back(line.substr(start, p - start));
    start = p + 1;
  }
}

// Editors on Windows like to put a UTF-8 byte order mark in front of the
// first line; left in place it would turn the first number of a table
// without header into 0.
void strip_bom(std::string* line) {
  if (line->compare(0, 3, "\xEF\xBB\xBF") == 0) line->erase(0, 3);
}

bool plain_name(const std::string& name, const char* forbidden) {
  return !name.empty() && name.find_first_of(forbidden) == std::string::npos;
}

const char* const SPACE_DELIMS = " \t";

}  // namespace

bool CFormatTxt::Read(const std::string& path) {
  m_error.clear();
  m_reason.clear();
  std::string kind;
  if (!ex_readable_kind(path, &kind)) {
    m_error = "cannot open the file: " + kind;
    // A FIFO, socket or device: as the binary readers, the text says which.
    m_reason = Reason::Of(ReasonCode::Other, m_error);
    CLOG_ERR("file %s open failed: %s", path.c_str(), kind.c_str());
    return false;
  }
  std::ifstream in(std::filesystem::u8path(path), std::ios::in | std::ios::binary);
  if (!in.is_open()) {
    const int err = errno;
    m_error = std::string("cannot open the file: ") + std::strerror(err);
    m_reason = Reason::System(ReasonCode::CannotOpen, path, err, m_error);
    CLOG_ERR("file %s(mode: %s) open failed: %s", path.c_str(), "r", std::strerror(err));
    return false;
  }
  // The reader logs with the path it is given; the table keeps its old path
  // when the read fails.
  const std::string old_path = m_path;
  m_path = path;
  const bool ok = ReadFile(in);
  if (!ok) {
    m_path = old_path;
    if (m_error.empty()) m_error = "not a valid table";
    if (m_reason.empty()) m_reason = Reason::Of(ReasonCode::NotValid, m_error);
    m_reason.file = path;
  }
  return ok;
}

bool CFormatTxt::Write(const std::string& path) {
  return ex_write_atomic(path, [this](FILE* fp) { return WriteFile(fp); });
}

std::vector<std::string> CFormatTxt::Tokenize(const std::string& line, const char* delims) {
  std::vector<std::string> out;
  size_t pos = 0;
  for (;;) {
    size_t b = line.find_first_not_of(delims, pos);
    if (b == std::string::npos) return out;
    size_t e = line.find_first_of(delims, b);
    if (e == std::string::npos) {
      out.push_back(line.substr(b));
      return out;
    }
    out.push_back(line.substr(b, e - b));
    pos = e;
  }
}

bool CFormatTxt::GetLine(std::istream& in, std::string* line) {
  if (!std::getline(in, *line)) return false;
  if (!line->empty() && line->back() == '\r') line->pop_back();
  return true;
}

int CFormatTxt::ToInt(const std::string& text) {
  long v = std::strtol(text.c_str(), nullptr, 10);
  if (v < INT_MIN) return INT_MIN;
  if (v > INT_MAX) return INT_MAX;
  return int(v);
}

double CFormatTxt::ToDouble(const std::string& text) { return c_strtod(text.c_str(), nullptr); }

namespace {

// The line loop of every table: an optional header line is skipped, each
// further line is split and must have exactly `fields` parts, and the first
// line that has not stops the read (false, with the reason in *why). A NUL
// byte has no place in a text table: a name holding one could never be
// written back.
template <typename Split, typename Add>
bool read_lines(std::istream& in, const std::string& path, const char* what, bool has_header, size_t fields,
                Split split, Add add, Reason* why) {
  std::string line;
  int line_idx = 0;
  if (has_header) {
    if (!CFormatTxt::GetLine(in, &line)) return true;
    line_idx = 1;
  }
  while (CFormatTxt::GetLine(in, &line)) {
    if (++line_idx == 1) strip_bom(&line);
    const std::string at = "line " + std::to_string(line_idx) + ": ";
    if (line.find('\0') != std::string::npos) {
      *why = Reason::Line(line_idx, at + "NUL byte in the text");
      why->code = ReasonCode::NulByte;
      CLOG_WARN("%s file %s: %s", what, path.c_str(), why->text.c_str());
      return false;
    }
    const std::vector<std::string> parts = split(line);
    if (parts.size() != fields) {
      *why = Reason::FieldCount(line_idx, long(parts.size()), long(fields),
                                at + std::to_string(parts.size()) + " fields, " + std::to_string(fields) + " expected");
      CLOG_WARN("%s file %s: %s", what, path.c_str(), why->text.c_str());
      return false;
    }
    add(parts);
  }
  if (in.bad()) {
    *why = Reason::Line(line_idx + 1, "line " + std::to_string(line_idx + 1) + ": read error");
    return false;
  }
  return true;
}

// Reads a table into a fresh record vector that replaces items only when the
// whole file was read.
template <typename Item, typename Split, typename Parse>
bool read_table(std::istream& in, const std::string& path, const char* what, bool has_header, size_t fields,
                Split split, Parse parse, std::vector<Item>* items, std::string* error, Reason* why) {
  std::vector<Item> fresh;
  const bool ok = read_lines(
      in, path, what, has_header, fields, split,
      [&](const std::vector<std::string>& parts) { fresh.push_back(parse(parts)); }, why);
  if (!ok) {
    *error = why->text;
    return false;
  }
  items->swap(fresh);
  error->clear();
  why->clear();
  return true;
}

std::vector<std::string> space_tokens(const std::string& line) { return CFormatTxt::Tokenize(line, SPACE_DELIMS); }

}  // namespace

bool CFormatTxtSiteCoord::ReadFile(std::istream& in) {
  auto parse = [](const std::vector<std::string>& tok) {
    Item it;
    it.name = tok[0];
    it.line_no = ToInt(tok[1]);
    it.pos = ToDouble(tok[2]);
    it.x = ToDouble(tok[3]);
    it.y = ToDouble(tok[4]);
    return it;
  };
  return read_table(in, m_path, "site coordinate", true, 5, space_tokens, parse, &m_vt_item, &m_error, &m_reason);
}

bool CFormatTxtSiteCoord::WriteFile(FILE* fp) {
  std::fprintf(fp, "name line_no pos x y\n");
  for (const Item& it : m_vt_item) {
    if (!plain_name(it.name, " \t\r\n")) return false;
    std::fprintf(fp, "%s %d %.17g %.17g %.17g\n", it.name.c_str(), it.line_no, it.pos, it.x, it.y);
  }
  return std::ferror(fp) == 0;
}

bool CFormatTxtSiteCoord::Find(int line_no, double pos, double tol, Item* out) const {
  for (const Item& it : m_vt_item) {
    if (it.line_no == line_no && std::fabs(it.pos - pos) <= tol) {
      if (out) *out = it;
      return true;
    }
  }
  if (out) {
    *out = Item();
    out->line_no = line_no;
    out->pos = pos;
  }
  return false;
}

bool CFormatTxtElev::ReadFile(std::istream& in) {
  auto parse = [](const std::vector<std::string>& tok) {
    Item it;
    it.x = ToDouble(tok[0]);
    it.y = ToDouble(tok[1]);
    it.z = ToDouble(tok[2]);
    return it;
  };
  return read_table(in, m_path, "elevation", false, 3, space_tokens, parse, &m_vt_item, &m_error, &m_reason);
}

bool CFormatTxtElev::WriteFile(FILE* fp) {
  for (const Item& it : m_vt_item) std::fprintf(fp, "%.17g %.17g %.17g\n", it.x, it.y, it.z);
  return std::ferror(fp) == 0;
}

float CFormatTxtElev::GetElev(double x, double y) const {
  if (m_vt_item.empty()) return 0.0f;
  size_t best = 0;
  float best_dist = 0.0f;
  for (size_t i = 0; i < m_vt_item.size(); ++i) {
    const Item& it = m_vt_item[i];
    float dist = float(std::fabs(x - it.x)) + float(std::fabs(y - it.y));
    if (i == 0 || dist < best_dist) {
      best = i;
      best_dist = dist;
    }
  }
  return float(m_vt_item[best].z);
}

bool CFormatTxtShifting::ReadFile(std::istream& in) {
  auto commas = [](const std::string& line) { return split_keep_empty(line, ','); };
  auto parse = [](const std::vector<std::string>& fields) {
    Item it;
    for (char c : fields[0]) {
      if (c != ' ') it.name.push_back(c);
    }
    const std::string pole = trimmed(fields[1]);
    if (pole == "A") {
      it.is_a = true;
    } else if (pole == "B") {
      it.is_b = true;
    } else {
      it.pole_no = field_int(pole);
    }
    it.dx = field_double(trimmed(fields[2]));
    it.dy = field_double(trimmed(fields[3]));
    return it;
  };
  return read_table(in, m_path, "shift", true, 4, commas, parse, &m_vt_item, &m_error, &m_reason);
}

bool CFormatTxtShifting::WriteFile(FILE* fp) {
  std::fprintf(fp, "name,pole,dx,dy\n");
  for (const Item& it : m_vt_item) {
    if (!plain_name(it.name, " ,\r\n")) return false;
    char pole[16];
    if (it.is_a)
      std::snprintf(pole, sizeof pole, "A");
    else if (it.is_b)
      std::snprintf(pole, sizeof pole, "B");
    else
      std::snprintf(pole, sizeof pole, "%d", it.pole_no);
    std::fprintf(fp, "%s,%s,%.17g,%.17g\n", it.name.c_str(), pole, it.dx, it.dy);
  }
  return std::ferror(fp) == 0;
}

bool CFormatTxtCoord::ReadFile(std::istream& in) {
  auto parse = [](const std::vector<std::string>& tok) {
    Item it;
    it.name = tok[0];
    it.pos = float(ToDouble(tok[1]));
    it.x = ToDouble(tok[2]);
    it.y = ToDouble(tok[3]);
    it.azimuth = algo_deg2rad(float(ToDouble(tok[4])));
    return it;
  };
  return read_table(in, m_path, "coordinate", true, 5, space_tokens, parse, &m_vt_item, &m_error, &m_reason);
}

bool CFormatTxtCoord::WriteFile(FILE* fp) {
  std::fprintf(fp, "name pos x y azimuth\n");
  for (const Item& it : m_vt_item) {
    if (!plain_name(it.name, " \t\r\n")) return false;
    std::fprintf(fp, "%s %.9g %.17g %.17g %.9g\n", it.name.c_str(), double(it.pos), it.x, it.y,
                 double(algo_rad2deg(float(it.azimuth))));
  }
  return std::ferror(fp) == 0;
}

bool CFormatTxtCoord::Find(const char* text, float pos, Item* out) const {
  if (!text) return false;
  for (const Item& it : m_vt_item) {
    if (std::strncmp(text, it.name.c_str(), it.name.size()) == 0 && std::fabs(it.pos - pos) <= 0.01f) {
      if (out) *out = it;
      return true;
    }
  }
  return false;
}
