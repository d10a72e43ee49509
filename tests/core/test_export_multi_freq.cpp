// The multi-frequency formats as an export run writes them, read back by the
// independent readers and compared point by point and frequency by
// frequency with the .ohm files of the same run and settings; the runs they
// refuse write nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

#include "core/export/export_job.h"
#include "core/export/sip_export.h"
#include "core/sip/format_srs.h"
#include "multi_freq_readers.h"

namespace {

using namespace multi_freq_test;

const std::string kIn = std::string(TEST_DATA_DIR) + "/export/in";

std::string FreshDir(const std::string& name) {
  const std::string dir = testing::TempDir() + "varnex_export_multi_freq_" + name;
  EXPECT_EQ(std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "'").c_str()), 0);
  return dir;
}

// An .ohm file as pyGIMLi reads it: electrode rows, then data rows by the
// column names of the "#" line above them.
struct Ohm {
  std::vector<std::vector<double>> electrodes;
  std::vector<std::map<std::string, double>> data;
};

Ohm ReadOhm(const std::string& path) {
  Ohm out;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  std::vector<std::string> names;
  std::vector<std::vector<std::string>> rows;
  while (std::getline(in, line)) {
    std::stringstream ss(line);
    std::vector<std::string> tok;
    for (std::string t; ss >> t;) tok.push_back(t);
    if (tok.empty()) continue;
    if (tok[0] == "#") {
      names.assign(tok.begin() + 1, tok.end());
      rows.push_back(tok);
      continue;
    }
    rows.push_back(tok);
  }
  size_t i = 0;
  const int n_el = std::stoi(rows.at(i++)[0]);
  ++i;  // "# x z" or "# x y z"
  for (int e = 0; e < n_el; ++e) {
    std::vector<double> v;
    for (const std::string& t : rows.at(i++)) v.push_back(std::stod(t));
    out.electrodes.push_back(v);
  }
  const int n_data = std::stoi(rows.at(i++)[0]);
  const std::vector<std::string> cols(rows.at(i).begin() + 1, rows.at(i).end());
  ++i;
  for (int d = 0; d < n_data; ++d) {
    std::map<std::string, double> row;
    const std::vector<std::string>& tok = rows.at(i++);
    EXPECT_EQ(tok.size(), cols.size());
    for (size_t c = 0; c < tok.size() && c < cols.size(); ++c) row[cols[c]] = std::stod(tok[c]);
    out.data.push_back(row);
  }
  return out;
}

ExportOptions Inversion(const std::vector<std::string>& paths) {
  ExportOptions s;
  s.paths = paths;
  s.layout = ExportFirstLayout(paths);
  s.format = ExportFormat::Ohm;
  return s;
}

// The frequency points of a file, in harmonic order (Hz).
std::vector<double> FreqsOf(const std::string& path) {
  CFormatSRS srs;
  EXPECT_TRUE(srs.Read(path));
  std::vector<double> f;
  for (int h = 0; h < srs.m_res.GetHarmNum(); ++h) f.push_back(srs.m_res.GetFreq(0, h));
  return f;
}

// What fmt must hold for the run s, from its .ohm files: once with the
// apparent resistivity and the impedance phase, once with the resistance
// (k = rhoa / r).
Table FromOhm(ExportOptions s, Format fmt, bool three_d, const std::string& dir) {
  Table t;
  s.format = ExportFormat::Ohm;
  s.ip = IpQuantity::Phase;
  s.resistivity = true;
  s.path_base = dir + "/rho";
  const ExportRun rho = RunExport(s, nullptr);
  s.resistivity = false;
  s.path_base = dir + "/r";
  const ExportRun r = RunExport(s, nullptr);
  EXPECT_TRUE(rho.completed && r.completed);
  const std::vector<double> freqs = FreqsOf(s.paths[0]);
  EXPECT_EQ(rho.written.size(), freqs.size());
  if (rho.written.size() != freqs.size() || r.written.size() != freqs.size()) return t;
  std::vector<size_t> order(freqs.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return freqs[a] < freqs[b]; });
  for (size_t h : order) {
    const Ohm o = ReadOhm(rho.written[h]);
    const Ohm res = ReadOhm(r.written[h]);
    t.freqs.push_back(freqs[h]);
    if (t.v.empty()) {
      for (const std::vector<double>& e : o.electrodes)
        t.electrodes.push_back(three_d ? std::array<double, 3>{e.at(0), e.at(1), e.at(2)}
                                       : std::array<double, 3>{e.at(0), 0.0, e.at(1)});
      for (size_t p = 0; p < o.data.size(); ++p) {
        std::map<std::string, double> d = o.data[p];
        t.points.push_back({int(d["a"]), int(d["b"]), int(d["m"]), int(d["n"])});
        if (fmt == FDIP) t.k.push_back(d["rhoa"] / res.data.at(p).at("r"));
      }
    }
    t.v.emplace_back();
    EXPECT_EQ(res.data.size(), o.data.size());
    for (size_t p = 0; p < o.data.size() && p < res.data.size(); ++p) {
      const std::map<std::string, double>& d = o.data[p];
      const double rhoa = d.at("rhoa"), err = d.at("err"), ip = d.at("ip"), iperr = d.at("iperr");
      const double rr = res.data[p].at("r");
      // The .ohm phase is -phi in mrad.
      if (fmt == FDIP)
        t.v.back().push_back({rhoa, ip / 1000, err, iperr / 1000});
      else if (fmt == CRTOMO)
        t.v.back().push_back({rr, -ip, err, iperr});
      else
        t.v.back().push_back({rr, -ip, err * std::fabs(rr), iperr});
    }
  }
  return t;
}

void ExpectLikeOhm(const ExportOptions& s, bool three_d, const std::string& name) {
  for (Format fmt : {FDIP, CRTOMO, PROTOCOL}) {
    SCOPED_TRACE(std::string(name) + " " + FormatName(fmt));
    const std::string dir = FreshDir(name + "_" + FormatName(fmt));
    ExportOptions m = s;
    m.format = fmt == FDIP ? ExportFormat::Fdip : fmt == CRTOMO ? ExportFormat::Crtomo : ExportFormat::Protocol;
    m.path_base = dir + "/M";
    const ExportRun run = RunExport(m, nullptr);
    ASSERT_TRUE(run.completed);
    ASSERT_FALSE(run.written.empty());
    const Table want = FromOhm(s, fmt, three_d, dir);
    ASSERT_GE(want.freqs.size(), 2u);
    ASSERT_FALSE(want.points.empty());
    // The .ohm carries eight significant digits.
    ExpectSame(Read(fmt, dir + "/M"), want, fmt, 1e-6);
  }
}

TEST(ExportMultiFreq, FourElectrodeRunWithTopographyAsTheOhmFiles) {
  CFormatTxtElev elev;
  ASSERT_TRUE(elev.Read(kIn + "/pole4/elevation.txt"));
  ExportOptions s = Inversion({kIn + "/pole4/L101_01.SRS", kIn + "/pole4/L101_02.SRS"});
  s.x_shift_on = true;
  s.x_shift = 5.0f;
  s.elev = &elev;
  s.sys_err_cp_mrad = 1.5f;
  // Neither choice reaches the multi-frequency formats.
  s.resistivity = false;
  s.ip = IpQuantity::RelativePhase;
  ExpectLikeOhm(s, false, "p4");
}

TEST(ExportMultiFreq, PoleDipoleRunWithItsRemoteBAsTheOhmFiles) {
  ExportOptions s = Inversion({kIn + "/pole3/L101_01.SRS", kIn + "/pole3/L101_02.SRS"});
  s.combine = false;
  // The frequency effect is no reason to refuse: the phase is written.
  s.ip = IpQuantity::FrequencyEffect;
  ExpectLikeOhm(s, false, "p3");
}

TEST(ExportMultiFreq, FreeLayoutWithShiftsAndTopographyAsTheOhmFiles) {
  CFormatTxtShifting shifts;
  ASSERT_TRUE(shifts.Read(kIn + "/free/shift_groups.csv"));
  CFormatTxtElev elev;
  ASSERT_TRUE(elev.Read(kIn + "/free/elevation.txt"));
  ExportOptions s = Inversion({kIn + "/free/L101_01.SRS", kIn + "/free/L101_02.SRS"});
  s.combine = false;
  s.shifting = &shifts;
  s.elev = &elev;
  ExpectLikeOhm(s, true, "free");
}

TEST(ExportMultiFreq, FewerThanTwoFrequencyPointsAreRefused) {
  ExportOptions o;
  CSipExport ex(o, SIP_POLE4_SOUNDING);
  ex.Reset();
  CResultSip one;
  one.DoInit(1, 1, 1);
  one.SetFreq(0, 0, 1.0f);
  CFormatSRS srs;
  EXPECT_FALSE(ex.WriteMultiFreq(ExportFormat::Fdip, one, {one}, srs));
  EXPECT_EQ(ex.LastError(), EXPORT_FEW_FREQS);
  EXPECT_FALSE(ex.HasFiles());
}

TEST(ExportMultiFreq, AFileWithOtherFrequencyPointsIsRefused) {
  CResultSip a, b;
  a.DoInit(1, 1, 2);
  b.DoInit(1, 1, 2);
  for (int h = 0; h < 2; ++h) {
    a.SetFreq(0, h, 1.0f + h);
    b.SetFreq(0, h, 1.0f + 2 * h);
  }
  ExportOptions o;
  CSipExport ex(o, SIP_POLE4_SOUNDING);
  ex.Reset();
  CFormatSRS srs;
  EXPECT_TRUE(ex.WriteMultiFreq(ExportFormat::Fdip, a, {a}, srs));
  EXPECT_FALSE(ex.WriteMultiFreq(ExportFormat::Fdip, b, {b}, srs));
  EXPECT_EQ(ex.LastError(), EXPORT_FREQ_MISMATCH);
  // Within a group too: the merged rows may hide a file.
  EXPECT_FALSE(ex.WriteMultiFreq(ExportFormat::Fdip, a, {a, b}, srs));
  EXPECT_EQ(ex.LastError(), EXPORT_FREQ_MISMATCH);
}

}  // namespace
