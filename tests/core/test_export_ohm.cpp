// The unified data format read back by a reader of its own (as pyGIMLi reads
// it: electrode block, then data block with named columns) and checked row
// by row against the Res2dinv or Res3dinv export of the same run.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/export/export_job.h"

namespace {

const std::string kIn = std::string(TEST_DATA_DIR) + "/export/in";

std::string FreshDir(const std::string& name) {
  const std::string dir = testing::TempDir() + "varnex_export_ohm_" + name;
  EXPECT_EQ(std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "'").c_str()), 0);
  return dir;
}

struct OhmFile {
  std::vector<std::string> el_cols;
  std::vector<std::vector<double>> electrodes;
  std::vector<std::map<std::string, double>> data;
  int topography = -1;
};

// Lines without comments; "#" lines name the columns of the block below.
bool ReadOhm(const std::string& path, OhmFile* out) {
  std::ifstream in(path, std::ios::binary);
  std::string line;
  std::vector<std::string> pending_names;
  auto next = [&](std::vector<std::string>* tokens) {
    while (std::getline(in, line)) {
      std::stringstream ss(line);
      std::string t;
      tokens->clear();
      while (ss >> t) tokens->push_back(t);
      if (tokens->empty()) continue;
      if ((*tokens)[0] == "#") {
        pending_names.assign(tokens->begin() + 1, tokens->end());
        continue;
      }
      return true;
    }
    return false;
  };
  std::vector<std::string> tok;
  if (!next(&tok) || tok.size() != 1) return false;
  const int n_el = std::stoi(tok[0]);
  for (int i = 0; i < n_el; ++i) {
    if (!next(&tok)) return false;
    out->el_cols = pending_names;
    if (tok.size() != pending_names.size()) return false;
    std::vector<double> v;
    for (const std::string& t : tok) v.push_back(std::stod(t));
    out->electrodes.push_back(v);
  }
  if (!next(&tok) || tok.size() != 1) return false;
  const int n_data = std::stoi(tok[0]);
  for (int i = 0; i < n_data; ++i) {
    if (!next(&tok) || tok.size() != pending_names.size()) return false;
    std::map<std::string, double> row;
    for (size_t c = 0; c < tok.size(); ++c) row[pending_names[c]] = std::stod(tok[c]);
    out->data.push_back(row);
  }
  if (!next(&tok) || tok.size() != 1) return false;
  out->topography = std::stoi(tok[0]);
  return !next(&tok);
}

// Data rows of a Res2dinv (header_lines 15) or Res3dinv (19) file, up to the
// topography block.
std::vector<std::vector<double>> ReadRows(const std::string& path, int header_lines) {
  std::ifstream in(path, std::ios::binary);
  std::string line;
  for (int i = 0; i < header_lines; ++i) std::getline(in, line);
  std::vector<std::vector<double>> rows;
  while (std::getline(in, line) && !line.empty()) {
    std::stringstream ss(line);
    std::vector<double> v;
    double x;
    while (ss >> x) v.push_back(x);
    rows.push_back(v);
  }
  return rows;
}

void ExpectNear(double got, double want, double rel, const std::string& what) {
  EXPECT_LE(std::fabs(got - want), rel * std::max(1.0, std::fabs(want))) << what << ": " << got << " vs " << want;
}

void CompareRun(ExportOptions s, bool three_d, const std::string& dir) {
  s.path_base = dir + "/R";
  ExportRun inv = RunExport(s, nullptr);
  ASSERT_TRUE(inv.completed);
  s.path_base = dir + "/O";
  s.format = ExportFormat::Ohm;
  ExportRun ohm = RunExport(s, nullptr);
  ASSERT_TRUE(ohm.completed);
  ASSERT_EQ(ohm.written.size(), inv.written.size());
  for (size_t h = 0; h < inv.written.size(); ++h) {
    SCOPED_TRACE(ohm.written[h]);
    OhmFile f;
    ASSERT_TRUE(ReadOhm(ohm.written[h], &f));
    EXPECT_EQ(f.topography, 0);
    EXPECT_EQ(f.el_cols, three_d ? (std::vector<std::string>{"x", "y", "z"}) : (std::vector<std::string>{"x", "z"}));
    const auto rows = ReadRows(inv.written[h], three_d ? 19 : 15);
    ASSERT_EQ(f.data.size(), rows.size());
    ASSERT_FALSE(rows.empty());
    for (size_t k = 0; k < rows.size(); ++k) {
      const std::vector<double>& r = rows[k];
      std::map<std::string, double>& d = f.data[k];
      const int n = int(r[0]);
      const char* names[4] = {"a", "b", "m", "n"};
      int col = 1;
      for (int e = 0; e < 4; ++e) {
        if (n == 3 && e == 1) {
          EXPECT_EQ(d["b"], 0.0);
          continue;
        }
        const int idx = int(d[names[e]]);
        ASSERT_GE(idx, 1);
        ASSERT_LE(idx, int(f.electrodes.size()));
        const std::vector<double>& el = f.electrodes[size_t(idx - 1)];
        ExpectNear(el[0], r[size_t(col)], 1e-6, std::string(names[e]) + " x");
        // Res2dinv carries z beside x, Res3dinv y.
        ExpectNear(el[1], r[size_t(col + 1)], 1e-6, std::string(names[e]) + (three_d ? " y" : " z"));
        col += 2;
      }
      const double rho = r[size_t(col)], err = r[size_t(col + 1)], ip = r[size_t(col + 2)], iperr = r[size_t(col + 3)];
      ExpectNear(d["rhoa"], rho, 1e-6, "rhoa");
      ExpectNear(d["err"], err / rho, 1e-5, "err");
      ExpectNear(d["ip"], ip, 1e-5, "ip");
      ExpectNear(d["iperr"], iperr, 1e-5, "iperr");
    }
  }
}

ExportOptions Inversion(const std::vector<std::string>& paths, ExportFormat format) {
  ExportOptions s;
  s.paths = paths;
  s.layout = ExportFirstLayout(paths);
  s.format = format;
  return s;
}

TEST(ExportOhm, FourElectrodeRowsWithCombinationShiftAndElevation) {
  CFormatTxtElev elev;
  ASSERT_TRUE(elev.Read(kIn + "/pole4/elevation.txt"));
  ExportOptions s = Inversion({kIn + "/pole4/L101_01.SRS", kIn + "/pole4/L101_02.SRS"}, ExportFormat::Res2dinv);
  s.x_shift_on = true;
  s.x_shift = 5.0f;
  s.elev = &elev;
  s.sys_err_cp_mrad = 1.5f;
  CompareRun(s, false, FreshDir("p4"));
}

TEST(ExportOhm, ThreeElectrodeRowsHaveNoB) {
  ExportOptions s = Inversion({kIn + "/pole3/L101_01.SRS", kIn + "/pole3/L101_02.SRS"}, ExportFormat::Res2dinv);
  s.combine = false;
  s.ip = IpQuantity::Phase;
  CompareRun(s, false, FreshDir("p3"));
}

TEST(ExportOhm, FreeLayoutCarriesTheShiftedPositions) {
  CFormatTxtShifting shifts;
  ASSERT_TRUE(shifts.Read(kIn + "/free/shift_groups.csv"));
  ExportOptions s = Inversion({kIn + "/free/L101_01.SRS", kIn + "/free/L101_02.SRS"}, ExportFormat::Res3dinv);
  s.combine = false;
  s.shifting = &shifts;
  CompareRun(s, true, FreshDir("free"));
}

TEST(ExportOhm, BesideTheRes2dinvFilesTheSameAsAlone) {
  const std::string dir = FreshDir("beside");
  ExportOptions s = Inversion({kIn + "/pole4/L101_01.SRS", kIn + "/pole4/L101_02.SRS"}, ExportFormat::Res2dinv);
  s.path_base = dir + "/B";
  s.also_ohm = true;
  const ExportRun both = RunExport(s, nullptr);
  ASSERT_TRUE(both.completed);
  ASSERT_EQ(both.written.size(), 6u);
  EXPECT_EQ(both.written[0], dir + "/B_Res2dinv_F1.dat");
  EXPECT_EQ(both.written[3], dir + "/B_F1.ohm");
  s.also_ohm = false;
  s.path_base = dir + "/R";
  ASSERT_TRUE(RunExport(s, nullptr).completed);
  s.format = ExportFormat::Ohm;
  s.path_base = dir + "/O";
  ASSERT_TRUE(RunExport(s, nullptr).completed);
  auto slurp = [](const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  };
  for (int h = 1; h <= 3; ++h) {
    const std::string n = std::to_string(h);
    EXPECT_EQ(slurp(dir + "/B_Res2dinv_F" + n + ".dat"), slurp(dir + "/R_Res2dinv_F" + n + ".dat"));
    EXPECT_EQ(slurp(dir + "/B_F" + n + ".ohm"), slurp(dir + "/O_F" + n + ".ohm"));
  }
}

TEST(ExportOhm, TheFrequencyEffectIsRefused) {
  ExportOptions s = Inversion({kIn + "/pole4/L101_01.SRS"}, ExportFormat::Res2dinv);
  s.format = ExportFormat::Ohm;
  s.ip = IpQuantity::FrequencyEffect;
  s.path_base = FreshDir("fs") + "/O";
  const ExportRun run = RunExport(s, nullptr);
  EXPECT_FALSE(run.completed);
  EXPECT_TRUE(run.written.empty());
  ASSERT_EQ(run.messages.size(), 1u);
  EXPECT_EQ(run.messages[0], (ExportMessage{ExportCode::NoFs, {".ohm"}}));
}

}  // namespace
