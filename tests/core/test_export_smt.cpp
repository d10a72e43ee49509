// Exports whose spectra are rebuilt from the SMT time series.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/export/export_job.h"
#include "core/export/export_smt.h"
#include "test_files.h"

namespace {

const std::string kGen = GEN_SURVEY_EXE;

std::string MakeSurvey(const std::string& name) {
  const std::string dir = testing::TempDir() + "varnex_export_smt_" + name;
  const std::string cmd = "rm -rf '" + dir + "' && '" + kGen + "' '" + dir +
                          "' --seed 17 --files 2 --devices 2 --cals 4 --wave square --layout pole4";
  EXPECT_EQ(std::system(cmd.c_str()), 0);
  return dir;
}

// Data rows of a four-electrode Res2dinv file: M position to (R, IP).
std::map<double, std::pair<double, double>> Rows(const std::string& path) {
  std::map<double, std::pair<double, double>> rows;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  for (int i = 0; i < 15; ++i) std::getline(in, line);
  while (std::getline(in, line)) {
    std::stringstream ss(line);
    double v[13];
    for (double& x : v) ss >> x;
    // Files of both transmitter positions share M positions; A tells them apart.
    rows[v[5] + 1e4 * v[1]] = {v[9], v[11]};
  }
  return rows;
}

ExportOptions Settings(const std::string& dir, const std::string& base) {
  ExportOptions s;
  s.paths = {dir + "/L101_01.SRS", dir + "/L101_02.SRS"};
  s.path_base = base;
  s.layout = ExportFirstLayout(s.paths);
  s.format = ExportFormat::Res2dinv;
  s.combine = false;
  return s;
}

TEST(ExportSmt, RowsFromTimeSeriesMatchTheStoredSpectra) {
  const std::string dir = MakeSurvey("match");
  ExportOptions s = Settings(dir, dir + "/SRS");
  const ExportRun stored = RunExport(s, nullptr);
  ASSERT_TRUE(stored.completed);
  s.from_smt = true;
  s.smt_dir = dir + "/smt";
  s.path_base = dir + "/SMT";
  const ExportRun smt = RunExport(s, nullptr);
  ASSERT_TRUE(smt.completed);
  EXPECT_TRUE(smt.smt_missing.empty());
  ASSERT_EQ(smt.written.size(), 3u);
  for (size_t h = 0; h < 3; ++h) {
    const auto a = Rows(stored.written[h]), b = Rows(smt.written[h]);
    ASSERT_GE(a.size(), 20u);
    // The time series show over-range segments beside the generator's
    // spike (a channel is also over range when the sum with its neighbours
    // is), which the stored spectra do not flag: those channels lose
    // calculations and may drop out. Every other row agrees to within the
    // noise and the weighting.
    for (const auto& [key, val] : b) {
      ASSERT_TRUE(a.count(key)) << key;
      EXPECT_NEAR(val.first, a.at(key).first, 0.01 * a.at(key).first) << key;
      EXPECT_NEAR(val.second, a.at(key).second, 5.0) << key;  // mrad
    }
    EXPECT_GE(3 * b.size(), 2 * a.size());
  }
}

TEST(ExportSmt, AMissingFileIsListedOnceAndCheckedOnce) {
  const std::string dir = MakeSurvey("missing");
  const std::string gone = dir + "/smt/ST02/L101_02.smt";
  ASSERT_EQ(std::remove(gone.c_str()), 0);
  ExportOptions s = Settings(dir, dir + "/T");
  s.from_smt = true;
  s.smt_dir = dir + "/smt";
  const ExportRun run = RunExport(s, nullptr);
  ASSERT_TRUE(run.completed);
  EXPECT_EQ(run.smt_missing, (std::vector<std::string>{gone}));
  ASSERT_EQ(run.messages.size(), 2u);
  EXPECT_EQ(ExportTitleOf(run.messages[0].code), ExportTitle::Warning);
  EXPECT_EQ(run.messages[0], (ExportMessage{ExportCode::SmtMissing, {"1", gone}}));
  EXPECT_EQ(run.messages[1].code, ExportCode::Converted);

  // The lists of one export answer for every later file of the same device
  // and base name.
  CFormatSRS srs;
  ASSERT_TRUE(srs.Read(dir + "/L101_02.SRS"));
  SmtLookup lookup;
  ASSERT_TRUE(ConvertFromSmt(srs, dir + "/smt", &lookup));
  const size_t found = lookup.found.size();
  EXPECT_EQ(lookup.missing, (std::vector<std::string>{gone}));
  ASSERT_TRUE(ConvertFromSmt(srs, dir + "/smt", &lookup));
  EXPECT_EQ(lookup.found.size(), found);
  EXPECT_EQ(lookup.missing.size(), 1u);
}

// A device name from the file that would lead out of the SMT folder is
// never opened; the missing-files message lists the path it would have
// been, as it lists every other missing file, never an empty line.
TEST(ExportSmt, ARefusedDeviceNameIsListedWithItsPath) {
  const std::string dir = MakeSurvey("refused");
  CFormatSRS first, second;
  ASSERT_TRUE(first.Read(dir + "/L101_01.SRS"));
  ASSERT_TRUE(first.m_prm_meas.curr_station_used);
  SipSetStr(first.m_prm_meas.cur_station, "../../CS01");
  ASSERT_TRUE(first.Write(dir + "/L101_01.SRS"));
  ASSERT_TRUE(second.Read(dir + "/L101_02.SRS"));
  ASSERT_EQ(std::string(second.m_vt_prm_dev[1].dev_name), "ST02");
  SipSetStr(second.m_vt_prm_dev[1].dev_name, "../ST02");
  ASSERT_TRUE(second.Write(dir + "/L101_02.SRS"));
  ExportOptions s = Settings(dir, dir + "/T");
  s.from_smt = true;
  s.smt_dir = dir + "/smt";
  const ExportRun run = RunExport(s, nullptr);
  ASSERT_TRUE(run.completed);
  const std::vector<std::string> refused = {dir + "/smt/../../CS01/L101_01.smt", dir + "/smt/../ST02/L101_02.smt"};
  EXPECT_EQ(run.smt_missing, refused);
  ASSERT_FALSE(run.messages.empty());
  EXPECT_EQ(run.messages[0], (ExportMessage{ExportCode::SmtMissing, {"2", refused[0], refused[1]}}));
}

TEST(ExportSmt, AMissingCurrentStationKeepsTheStoredSpectra) {
  const std::string dir = MakeSurvey("current");
  // L101_01 was measured with the current station CS01.
  ASSERT_EQ(std::remove((dir + "/smt/CS01/L101_01.smt").c_str()), 0);
  CFormatSRS srs, stored;
  ASSERT_TRUE(srs.Read(dir + "/L101_01.SRS"));
  ASSERT_TRUE(stored.Read(dir + "/L101_01.SRS"));
  SmtLookup lookup;
  EXPECT_FALSE(ConvertFromSmt(srs, dir + "/smt", &lookup));
  EXPECT_EQ(lookup.missing, (std::vector<std::string>{dir + "/smt/CS01/L101_01.smt"}));
  ASSERT_EQ(srs.m_spect_u.DoGetCalNum(), stored.m_spect_u.DoGetCalNum());
  const SpectItem a = srs.m_spect_u.DoGetItemOf(0, 0, 1, 1), b = stored.m_spect_u.DoGetItemOf(0, 0, 1, 1);
  EXPECT_EQ(a.re, b.re);
  EXPECT_EQ(a.im, b.im);
}

// Files converted on several threads at once give the files, and the list of
// missing time series in its order, of the run that converts one file after
// another.
TEST(ExportSmt, ConvertingAheadWritesWhatOneFileAfterAnotherWrites) {
  const std::string dir = testing::TempDir() + "varnex_export_smt_ahead";
  ASSERT_EQ(std::system(("rm -rf '" + dir + "' && '" + kGen + "' '" + dir +
                         "' --seed 23 --files 6 --devices 2 --cals 4 --wave square --layout pole4")
                            .c_str()),
            0);
  const std::vector<std::string> gone = {dir + "/smt/ST02/L101_02.smt", dir + "/smt/ST01/L101_05.smt",
                                         dir + "/smt/ST02/L101_05.smt"};
  for (const std::string& g : gone) ASSERT_EQ(std::remove(g.c_str()), 0) << g;
  ExportOptions s = Settings(dir, dir + "/serial");
  s.paths.clear();
  for (int f = 1; f <= 6; ++f) s.paths.push_back(dir + "/L101_0" + std::to_string(f) + ".SRS");
  s.from_smt = true;
  s.smt_dir = dir + "/smt";

  struct Limit {
    explicit Limit(int n) { RunWorkerLimit() = n; }
    ~Limit() { RunWorkerLimit() = -1; }
  };
  ExportRun serial;
  {
    Limit one_thread(0);
    serial = RunExport(s, nullptr);
  }
  ASSERT_TRUE(serial.completed);
  EXPECT_EQ(serial.smt_missing, gone);
  s.path_base = dir + "/ahead";
  const ExportRun ahead = RunExport(s, nullptr);
  ASSERT_TRUE(ahead.completed);
  EXPECT_EQ(ahead.smt_missing, gone);
  EXPECT_EQ(ahead.messages, serial.messages);
  ASSERT_EQ(ahead.written.size(), serial.written.size());
  ASSERT_FALSE(serial.written.empty());
  for (size_t i = 0; i < serial.written.size(); ++i) {
    EXPECT_EQ(ahead.written[i], dir + "/ahead" + serial.written[i].substr(dir.size() + 7));
    EXPECT_EQ(Slurp(ahead.written[i]), Slurp(serial.written[i])) << serial.written[i];
  }
}

}  // namespace
