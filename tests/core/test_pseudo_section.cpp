// The pseudo-section data: the points equal the rows of the section and plane
// tables of the same run, the limits decide "passed" as they decide the rows
// of the tables, and the triangulated surface interpolates linearly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <dirent.h>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/export/export_job.h"
#include "core/section/delaunay.h"
#include "core/section/pseudo_section.h"
#include "test_files.h"

namespace {

const std::string kGen = GEN_SURVEY_EXE;

std::string Survey(const std::string& name, const std::string& args) {
  const std::string dir = testing::TempDir() + "varnex_pseudo_" + name;
  const std::string cmd = "rm -rf '" + dir + "' && '" + kGen + "' '" + dir + "' --no-smt " + args + " >/dev/null";
  EXPECT_EQ(std::system(cmd.c_str()), 0);
  return dir;
}

std::vector<std::string> SrsFiles(const std::string& dir) {
  std::vector<std::string> v;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      const std::string n = e->d_name;
      if (n.size() > 4 && n.substr(n.size() - 4) == ".SRS") v.push_back(dir + "/" + n);
    }
    closedir(d);
  }
  std::sort(v.begin(), v.end());
  return v;
}

// Data rows of a section or plane table, split at blanks.
std::vector<std::vector<std::string>> TableRows(const std::string& path) {
  std::vector<std::vector<std::string>> rows;
  std::stringstream ss(Slurp(path));
  std::string line;
  std::getline(ss, line);
  while (std::getline(ss, line)) {
    std::stringstream ls(line);
    std::vector<std::string> cols;
    std::string c;
    while (ls >> c) cols.push_back(c);
    rows.push_back(cols);
  }
  return rows;
}

// Column of quantity q (0 R, 2 Err%, 3 PH, 4 its error, 5 CP, 6 its error, 7
// FS, 8 its error) and harmonic h after the five leading columns.
double Col(const std::vector<std::string>& row, int q, int h, int harm) {
  return std::stod(row.at(size_t(5 + q * harm + h)));
}

struct QuantityCase {
  SectionQuantity quantity;
  int value_col, error_col;
};
const QuantityCase kQuantities[] = {
    {SectionQuantity::App, 0, 2}, {SectionQuantity::Phase, 3, 4}, {SectionQuantity::Cp, 5, 6}, {SectionQuantity::Fs, 7, 8}};

// Printed as the tables print them, so that equal floats read back equal.
double Printed(double v, const char* fmt = "%f") {
  char buf[64];
  std::snprintf(buf, sizeof(buf), fmt, v);
  return std::stod(buf);
}

// The passing points, in order, equal the table's rows value for value.
void ExpectPointsAreTable(const SectionSource& src, const std::string& table, bool plane) {
  const auto rows = TableRows(table);
  const int harm = src.harm_num;
  for (const QuantityCase& qc : kQuantities)
    for (int h = 0; h < harm; ++h) {
      SectionOptions o;
      o.harmonic = h;
      o.quantity = qc.quantity;
      size_t r = 0;
      for (const SectionPoint& p : SectionPoints(src, o)) {
        if (!p.passed) continue;
        ASSERT_LT(r, rows.size());
        const auto& row = rows[r++];
        if (plane) {
          EXPECT_EQ(Printed(p.x, "%.2f"), std::stod(row[3]));
          EXPECT_EQ(Printed(p.y, "%.2f"), std::stod(row[4]));
        } else {
          EXPECT_EQ(Printed(p.x), std::stod(row[0]));
          EXPECT_EQ(Printed(-p.depth), std::stod(row[1]));
          EXPECT_EQ(Printed(p.y), std::stod(row[4]));
        }
        EXPECT_EQ(Printed(p.value), Col(row, qc.value_col, h, harm)) << "row " << r << " harmonic " << h;
        EXPECT_EQ(Printed(p.error), Col(row, qc.error_col, h, harm)) << "row " << r << " harmonic " << h;
      }
      EXPECT_EQ(r, rows.size());
    }
}

ExportOptions Plan(const std::vector<std::string>& paths, ExportFormat format, const std::string& base) {
  ExportOptions s;
  s.paths = paths;
  s.path_base = base;
  s.layout = ExportFirstLayout(paths);
  s.format = format;
  return s;
}

// A survey whose view equals a table of the export: one limit is tightened
// so that some rows fail; tighten returns which rows then pass.
struct TableCase {
  const char* name;
  const char* survey;  // generator arguments
  ExportFormat format;
  const char* written;  // the table the export writes behind its base name
  std::vector<bool> (*tighten)(const SectionSource& all, ExportOptions* s);
};

// A resistivity maximum just below the largest value of any harmonic: only
// that row fails (the section table tests every harmonic).
std::vector<bool> BelowTheHighestResistivity(const SectionSource& all, ExportOptions* s) {
  std::vector<float> peak;
  for (const SectionRow& r : all.rows) {
    float m = 0.0f;
    for (const ResItem& it : r.items) m = std::max(m, it.blk[RES_APP].value);
    peak.push_back(m);
  }
  const size_t top = size_t(std::max_element(peak.begin(), peak.end()) - peak.begin());
  std::vector<float> sorted = peak;
  std::sort(sorted.begin(), sorted.end());
  s->limits[LIMIT_ROW_APP].max = (sorted[sorted.size() - 1] + sorted[sorted.size() - 2]) / 2.0f;
  std::vector<bool> passed(all.rows.size(), true);
  passed[top] = false;
  return passed;
}

// A relative resistivity error limit at the median error: the rows above it
// fail (the plane table tests the first frequency point).
std::vector<bool> AtTheMedianError(const SectionSource& all, ExportOptions* s) {
  std::vector<double> rel;
  for (const SectionRow& r : all.rows)
    rel.push_back(double(r.items[0].blk[RES_APP].err) / double(r.items[0].blk[RES_APP].value));
  std::vector<double> sorted = rel;
  std::sort(sorted.begin(), sorted.end());
  const float limit = float(sorted[sorted.size() / 2]);
  s->limits[LIMIT_ROW_APP].rel_max = limit;
  std::vector<bool> passed;
  for (double r : rel) passed.push_back(r <= double(limit));
  return passed;
}

const TableCase kTables[] = {
    {"sect", "--seed 11 --layout pole4 --files 6 --cals 4", ExportFormat::Section, "_sect.dat",
     BelowTheHighestResistivity},
    {"plane", "--seed 12 --layout mid --files 3 --cals 4", ExportFormat::Plane, "_plane.dat", AtTheMedianError},
};

TEST(PseudoSection, PointsAreTheTableOfTheSameRunAndTheLimitsDecidePassed) {
  for (const TableCase& c : kTables) {
    SCOPED_TRACE(c.name);
    const std::string dir = Survey(c.name, c.survey);
    const bool plane = c.format == ExportFormat::Plane;
    // The section view stands on the elevation, the plan map on the sites.
    CFormatTxtElev elev;
    CFormatTxtSiteCoord coords;
    ExportOptions s = Plan(SrsFiles(dir), c.format, dir + "/out");
    if (plane) {
      ASSERT_TRUE(coords.Read(dir + "/site_coord.txt"));
      s.site_coord = &coords;
    } else {
      ASSERT_TRUE(elev.Read(dir + "/elevation.txt"));
      s.elev = &elev;
    }
    const SectionSource all = CollectSection(s, nullptr);
    ASSERT_EQ(all.status, SECTION_OK);
    EXPECT_EQ(all.plane, plane);
    ASSERT_GE(all.rows.size(), 6u);
    ASSERT_GE(all.harm_num, 2);
    for (const SectionRow& r : all.rows) EXPECT_TRUE(r.passed);

    const std::vector<bool> passed = c.tighten(all, &s);
    const SectionSource limited = CollectSection(s, nullptr);
    ASSERT_EQ(limited.rows.size(), all.rows.size());
    for (size_t i = 0; i < limited.rows.size(); ++i) EXPECT_EQ(limited.rows[i].passed, passed[i]) << i;
    EXPECT_NE(std::count(passed.begin(), passed.end(), false), 0);
    if (plane) {
      const auto with_site =
          std::count_if(limited.rows.begin(), limited.rows.end(), [](const SectionRow& r) { return !r.site.empty(); });
      EXPECT_GT(with_site, 0);
    }
    ASSERT_TRUE(RunExport(s, nullptr).completed);
    ExpectPointsAreTable(limited, dir + "/out" + c.written, plane);
  }
}

// A mid-gradient scan over several lines (the demo survey) gives the plan
// map an area to fill: its points are not all on one line, and the
// triangulation of their positions has triangles.
TEST(PseudoSection, PlanMapOfSeveralLinesHasASurface) {
  const std::string dir = Survey("lines", "--seed 1 --layout mid --files 4 --lines 4 --devices 4 --cals 6");
  CFormatTxtSiteCoord coords;
  ASSERT_TRUE(coords.Read(dir + "/site_coord.txt"));
  ExportOptions s = Plan(SrsFiles(dir), ExportFormat::Plane, dir + "/out");
  s.site_coord = &coords;
  const SectionSource src = CollectSection(s, nullptr);
  ASSERT_EQ(src.status, SECTION_OK);
  EXPECT_EQ(src.lines, (std::vector<int>{101, 102, 103, 104}));
  std::vector<double> x, y;
  for (const SectionRow& r : src.rows) {
    if (r.site.empty()) continue;
    x.push_back(r.x);
    y.push_back(r.y);
  }
  ASSERT_GE(x.size(), 40u);
  EXPECT_GE(*std::max_element(y.begin(), y.end()) - *std::min_element(y.begin(), y.end()), 150.0);
  EXPECT_GE(DelaunayTriangulate(x, y).triangles.size(), x.size());
}

TEST(PseudoSection, RunsThatStopSayWhy) {
  const std::string dir = Survey("stop", "--seed 13 --layout pole4 --files 2 --cals 3");
  const std::string mid = Survey("stop_mid", "--seed 13 --layout mid --files 1 --cals 3");
  std::vector<std::string> paths = SrsFiles(dir);
  paths.push_back(SrsFiles(mid)[0]);
  SectionSource src = CollectSection(Plan(paths, ExportFormat::Section, ""), nullptr);
  EXPECT_EQ(src.status, SECTION_DEVICE_ERROR);
  EXPECT_EQ(src.arg, 3);
  src = CollectSection(Plan({}, ExportFormat::Section, ""), nullptr);
  EXPECT_EQ(src.status, SECTION_NO_FILES);
  EXPECT_TRUE(src.rows.empty());
  // Time series are found by the base name: a second file of the same name
  // in another folder would be given the first one's.
  const std::string twin = mid + "/" + paths[0].substr(dir.size() + 1);
  ASSERT_EQ(std::system(("cp '" + paths[0] + "' '" + twin + "'").c_str()), 0);
  ExportOptions smt = Plan({paths[0], twin}, ExportFormat::Section, "");
  smt.from_smt = true;
  src = CollectSection(smt, nullptr);
  EXPECT_EQ(src.status, SECTION_SAME_NAME);
  EXPECT_EQ(src.refusal.args, smt.paths);
}

TEST(PseudoSection, OriginIsTheFileOfTheKeptItem) {
  // Two files at the same positions: the merge keeps, per harmonic, the item
  // with the smaller relative error; the origin names that item's file.
  const std::string dir = Survey("origin", "--seed 14 --layout pole4 --files 1 --cals 4");
  const std::vector<std::string> one = SrsFiles(dir);
  ASSERT_EQ(one.size(), 1u);
  const std::string copy = dir + "/copy.SRS";
  ASSERT_EQ(std::system(("cp '" + one[0] + "' '" + copy + "'").c_str()), 0);
  const SectionSource src = CollectSection(Plan({one[0], copy}, ExportFormat::Section, ""), nullptr);
  ASSERT_EQ(src.status, SECTION_OK);
  ASSERT_FALSE(src.rows.empty());
  // Equal items: the earlier file wins the tie.
  for (const SectionRow& r : src.rows)
    for (const SectionOrigin& o : r.origin) {
      EXPECT_EQ(o.file, one[0]);
      EXPECT_GE(o.channel, 1);
      EXPECT_FALSE(o.station.empty());
    }
}

TEST(Delaunay, LinearFunctionsAreReproducedInsideTheHullOnly) {
  auto f = [](double x, double y) { return 2.0 * x - 3.0 * y + 1.0; };
  std::vector<double> x, y, v;
  for (int i = 0; i <= 4; ++i)
    for (int j = 0; j <= 3; ++j) {
      const double px = i * 10.0 + (j % 2) * 3.0, py = -j * 7.0;
      x.push_back(px);
      y.push_back(py);
      v.push_back(f(px, py));
    }
  const Triangulation tri = DelaunayTriangulate(x, y);
  ASSERT_GE(tri.triangles.size(), 20u);
  for (const auto& t : tri.triangles)
    for (int k : t) EXPECT_TRUE(k >= 0 && size_t(k) < x.size());
  double out = 0.0;
  ASSERT_TRUE(InterpolateAt(tri, v, 21.5, -10.0, &out));
  EXPECT_NEAR(out, f(21.5, -10.0), 1e-9);
  EXPECT_FALSE(InterpolateAt(tri, v, -5.0, 0.0, &out));

  const SurfaceGrid g = InterpolateGrid(tri, v, 40, 20);
  ASSERT_EQ(g.cells.size(), 800u);
  size_t filled = 0;
  for (int j = 0; j < g.ny; ++j)
    for (int i = 0; i < g.nx; ++i) {
      const double c = g.cells[size_t(j * g.nx + i)];
      if (std::isnan(c)) continue;
      ++filled;
      EXPECT_NEAR(c, f(g.x0 + (i + 0.5) * g.dx, g.y0 + (j + 0.5) * g.dy), 1e-9);
    }
  // The hull is a slanted quadrilateral: most cells, not all.
  EXPECT_GT(filled, 600u);
  EXPECT_LT(filled, 800u);
}

TEST(Delaunay, DegenerateInputsGiveNoTriangles) {
  struct Case {
    const char* name;
    std::vector<double> x, y;
    size_t triangles;
  };
  const Case cases[] = {
      {"empty", {}, {}, 0},
      {"two points", {0, 1}, {0, 1}, 0},
      {"collinear", {0, 1, 2, 3}, {0, 1, 2, 3}, 0},
      {"repeated", {0, 1, 0, 0, 1}, {0, 0, 1, 0, 0}, 1},
      {"not finite", {0, 1, NAN}, {0, 0, 1}, 0},
  };
  for (const Case& c : cases) {
    const Triangulation tri = DelaunayTriangulate(c.x, c.y);
    EXPECT_EQ(tri.triangles.size(), c.triangles) << c.name;
    const SurfaceGrid g = InterpolateGrid(tri, std::vector<double>(c.x.size(), 1.0), 4, 4);
    if (c.triangles == 0) {
      for (double cell : g.cells) {
        EXPECT_TRUE(std::isnan(cell)) << c.name;
      }
    }
  }
}

}  // namespace
