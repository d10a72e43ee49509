#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "cli_run.h"
#include "core/sip/format_smt.h"

namespace {

const std::string kCli = CLI_EXE;

std::string survey(const std::string& name, const std::string& args) {
  const std::string dir = testing::TempDir() + name;
  run_cmd("rm -rf " + quoted(dir));
  RunResult r = run_cmd(quoted(GEN_SURVEY_EXE) + " " + quoted(dir) + " " + args);
  EXPECT_EQ(r.code, 0) << r.err;
  return dir;
}

// Channel ch, sample r: (r + 1000 ch) microvolts, stored with gain ch + 1.
bool writeRamp(const std::string& path, int rows, int rate) {
  CFormatSmt smt;
  if (!smt.Read(path)) return false;
  std::vector<float> data[MAX_CH_NUM];
  for (int ch = 0; ch < MAX_CH_NUM; ++ch) {
    smt.m_gain[ch] = float(ch + 1);
    for (int r = 0; r < rows; ++r) data[ch].push_back(float((r + 1000.0 * ch) * 1e-6 * (ch + 1)));
  }
  smt.m_prm_meas.sample_rate = rate;
  return smt.SetData(data) && smt.Write(path);
}

}  // namespace

TEST(CliTs, SegmentStatisticsOfAStationWithTheClampedStep) {
  const std::string dir = survey("varnex_cli_ts", "--seed 3 --files 1 --devices 2 --cals 2");
  ASSERT_TRUE(writeRamp(dir + "/smt/ST01/L101_01.smt", 2000, 150));
  RunResult r = run_cmd(quoted(kCli) + " ts --srs " + quoted(dir + "/L101_01.SRS") + " --smt-dir " +
                        quoted(dir + "/smt") + " --station ST01 --start 540 --len 960 --step next");
  ASSERT_EQ(r.code, 0) << r.err;
  std::string want =
      "sample rate: 150 Hz\nsamples: 2000\nduration: 0m13s\nsegment start: 1500\nsegment length: 500\n";
  const double sigma = std::sqrt((500.0 * 500.0 - 1.0) / 12.0) * 1e-3;
  char line[128];
  for (int ch = 0; ch < MAX_CH_NUM; ++ch) {
    std::snprintf(line, sizeof(line), "ch%d STD:%.4fmV MIN:%.4fmV MAX:%.4fmV\n", ch + 1, sigma,
                  (1500 + 1000.0 * ch) * 1e-3, (1999 + 1000.0 * ch) * 1e-3);
    want += line;
  }
  EXPECT_EQ(r.out, want);

  // Beyond the end nothing is left; the SMT file can also be named directly.
  r = run_cmd(quoted(kCli) + " ts " + quoted(dir + "/smt/ST01/L101_01.smt") + " --start 1500 --step next");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("segment start: 2000\nsegment length: 0\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("ch1 STD:0.0000mV MIN:0.0000mV MAX:0.0000mV\n"), std::string::npos) << r.out;
}

TEST(CliTs, MissingTimeSeriesIsAnErrorNamingThePath) {
  const std::string dir = survey("varnex_cli_ts_missing", "--seed 3 --files 1 --devices 1 --cals 2");
  RunResult r = run_cmd(quoted(kCli) + " ts --srs " + quoted(dir + "/L101_01.SRS") + " --smt-dir " +
                        quoted(dir + "/nowhere") + " --station ST01");
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(r.out.empty());
  EXPECT_NE(r.err.find(dir + "/nowhere/ST01/L101_01.smt"), std::string::npos) << r.err;

  r = run_cmd(quoted(kCli) + " ts --station ST01");
  EXPECT_EQ(r.code, 1);
  EXPECT_FALSE(r.err.empty());
}
