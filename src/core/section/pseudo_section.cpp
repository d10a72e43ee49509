#include "core/section/pseudo_section.h"

#include <cstdio>

#include "core/base/atomic_file.h"
#include "core/base/ex_string.h"
#include "core/export/export_locale.h"
#include "core/export/sip_export.h"

namespace {

// The value and error columns of the section and plane tables.
void ValueOf(const ResItem& it, SectionQuantity q, double* value, double* error) {
  struct Cols {
    int value, error;
  };
  Cols c{TABLE_R, TABLE_R_ERR};
  switch (q) {
    case SectionQuantity::App: break;
    case SectionQuantity::Cp: c = {TABLE_CP, TABLE_CP_ERR}; break;
    case SectionQuantity::Fs: c = {TABLE_FS, TABLE_FS_ERR}; break;
    case SectionQuantity::Phase: c = {TABLE_PH, TABLE_PH_ERR}; break;
  }
  *value = TableQuantity(it, c.value);
  *error = TableQuantity(it, c.error);
}

// A CSV field: quoted when it holds a comma, quote or line break.
std::string CsvField(const std::string& s) {
  if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
  std::string q = "\"";
  for (char c : s) {
    if (c == '"') q += '"';
    q += c;
  }
  return q + "\"";
}

}  // namespace

std::vector<SectionPoint> SectionPoints(const SectionSource& src, const SectionOptions& o) {
  std::vector<SectionPoint> pts;
  if (o.harmonic < 0 || o.harmonic >= src.harm_num) return pts;
  const size_t h = size_t(o.harmonic);
  for (size_t i = 0; i < src.rows.size(); ++i) {
    const SectionRow& r = src.rows[i];
    if (o.line >= 0 && r.line_no != o.line) continue;
    if (h >= r.items.size()) continue;
    SectionPoint p;
    p.x = r.x;
    p.y = r.y;
    if (!src.plane)
      p.depth = o.depth == SectionDepth::Ab5 ? r.depth_ab : o.depth == SectionDepth::Pc2d5 ? r.depth_pc : r.n_level;
    ValueOf(r.items[h], o.quantity, &p.value, &p.error);
    p.passed = r.passed;
    p.row = int(i);
    p.origin = r.origin[h];
    pts.push_back(std::move(p));
  }
  return pts;
}

const char* SectionValueUnit(SectionQuantity q) {
  switch (q) {
    case SectionQuantity::App: return "Ω·m";
    case SectionQuantity::Fs: return "%";
    default: return "mrad";
  }
}

const char* SectionErrorUnit(SectionQuantity q) {
  return q == SectionQuantity::App || q == SectionQuantity::Fs ? "%" : "mrad";
}

bool WriteSectionCsv(const std::string& path, const SectionSource& src, const std::vector<SectionPoint>& points,
                     std::string* why) {
  AtomicFile file;
  if (!file.Open(path)) {
    if (why) *why = file.Error();
    return false;
  }
  {
    ExportLocaleScope c_numbers;
    FILE* fp = file.Stream();
    std::fprintf(fp, "x_m,y_m,depth_m,value,error,passed,file,station,channel\n");
    const char* xy = src.plane ? "%.2f,%.2f," : "%f,%f,";
    for (const SectionPoint& p : points) {
      std::fprintf(fp, xy, p.x, p.y);
      std::fprintf(fp, "%f,%f,%f,%d,", p.depth, p.value, p.error, p.passed ? 1 : 0);
      std::fprintf(fp, "%s,%s,%d\n", CsvField(ex_ansi_to_utf8(p.origin.file)).c_str(),
                   CsvField(p.origin.station).c_str(), p.origin.channel);
    }
  }
  if (!file.Commit()) {
    if (why) *why = file.Error();
    return false;
  }
  return true;
}
