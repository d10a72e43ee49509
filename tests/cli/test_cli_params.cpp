#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <sys/stat.h>

#include "cli_run.h"
#include "core/processing/spm.h"
#include "core/sip/format_srs.h"

namespace {

const std::string kCli = CLI_EXE;
const std::string kGen = GEN_SURVEY_EXE;

// Four files of three receivers: L101_01 and L101_03 add the current station
// CS01 (four devices), L101_02 and L101_04 have a hand-entered current of
// 5.5 A and 6.5 A and A at -1100 m and -1300 m.
std::string MakeSurvey(const std::string& name) {
  const std::string dir = testing::TempDir() + "varnex_cli_params_" + name;
  EXPECT_EQ(run_cmd("rm -rf " + quoted(dir)).code, 0);
  EXPECT_EQ(run_cmd(quoted(kGen) + " " + quoted(dir) + " --seed 3 --files 4 --devices 3 --no-smt").code, 0);
  return dir;
}

RunResult params(const std::string& args) { return run_cmd(quoted(kCli) + " params " + args); }

bool Exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

CFormatSRS Read(const std::string& path) {
  CFormatSRS srs;
  EXPECT_TRUE(srs.Read(path)) << path;
  return srs;
}

double K4(const PrmMeas& m, double mx, double nx) {
  const double am = std::fabs(mx - m.ax), an = std::fabs(nx - m.ax);
  const double bm = std::fabs(m.bx - mx), bn = std::fabs(m.bx - nx);
  return 2.0 * M_PI / std::fabs(1.0 / am - 1.0 / an - 1.0 / bm + 1.0 / bn);
}

// Export from one three-device file, complete import into another: the
// transmitter and the current come from the SPM, the file keeps its name,
// and every resistivity is rescaled by K_new / K_old / (I_new / I_old).
TEST(CliParams, ExportAndCompleteApplyRescaleTheOtherFile) {
  const std::string dir = MakeSurvey("apply");
  const std::string src = dir + "/L101_02.SRS", dst = dir + "/L101_04.SRS", spm = dir + "/p.SPM";
  RunResult r = params("export " + quoted(src) + " " + quoted(spm));
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(r.out.empty());
  const std::string bytes = cli_slurp(spm);
  ASSERT_GT(bytes.size(), 4u);
  EXPECT_EQ(bytes[0], char(FILE_SPM_VER));

  const std::string before = cli_slurp(dst);
  CFormatSRS o = Read(dst);
  r = params("apply " + quoted(dst) + " " + quoted(spm));
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.err.find(dst + ".orig"), std::string::npos) << r.err;
  EXPECT_EQ(cli_slurp(dst + ".orig"), before);

  CFormatSRS n = Read(dst);
  EXPECT_STREQ(n.m_prm_meas.file_name, "L101_04");
  EXPECT_EQ(n.m_prm_meas.ax, -1100.0f);
  EXPECT_EQ(n.m_prm_meas.cur_value, 5.5f);
  const double ratio = 5.5 / 6.5;
  for (int i = 0; i < o.m_res.GetChNum(); ++i) {
    const ChInfo info = o.m_res.GetChInfo(i);
    const double f = K4(n.m_prm_meas, info.m_pos, info.m_pos + info.mn) /
                     K4(o.m_prm_meas, info.m_pos, info.m_pos + info.mn) / ratio;
    const float a = o.m_res.GetItem(i, 0, 0).blk[RES_APP].value;
    EXPECT_NEAR(n.m_res.GetItem(i, 0, 0).blk[RES_APP].value / (a * f), 1.0, 2e-6) << i;
  }
}

TEST(CliParams, StationCountMismatchFailsAndChangesNothing) {
  const std::string dir = MakeSurvey("mismatch");
  const std::string spm = dir + "/p.SPM", four = dir + "/L101_01.SRS";
  ASSERT_EQ(params("export " + quoted(dir + "/L101_02.SRS") + " " + quoted(spm)).code, 0);
  const std::string before = cli_slurp(four);
  for (const std::string& extra : {std::string(), std::string(" --line-only"), " --out " + quoted(dir + "/x.SRS")}) {
    RunResult r = params("apply " + quoted(four) + " " + quoted(spm) + extra);
    EXPECT_EQ(r.code, 1) << extra;
    EXPECT_NE(r.err.find("Failed to import param!Please check that whether the number of station is matches!"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(cli_slurp(four), before);
    EXPECT_FALSE(Exists(four + ".orig"));
    EXPECT_FALSE(Exists(dir + "/x.SRS"));
  }
}

// The line import of a file's own parameters changes nothing: the output is
// the input byte for byte, and the input is not touched.
TEST(CliParams, LineOnlyApplyToAnotherOutput) {
  const std::string dir = MakeSurvey("line");
  const std::string in = dir + "/L101_03.SRS", spm = dir + "/own.SPM", out = dir + "/out.SRS";
  ASSERT_EQ(params("export " + quoted(in) + " " + quoted(spm)).code, 0);
  const std::string before = cli_slurp(in);
  RunResult r = params("apply " + quoted(in) + " " + quoted(spm) + " --line-only --out " + quoted(out));
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(cli_slurp(out), before);
  EXPECT_EQ(cli_slurp(in), before);
  EXPECT_FALSE(Exists(in + ".orig"));

  // The line import of another file's settings keeps the transmitter and current.
  ASSERT_EQ(params("export " + quoted(dir + "/L101_01.SRS") + " " + quoted(spm)).code, 0);
  r = params("apply " + quoted(in) + " " + quoted(spm) + " --line-only --out " + quoted(out));
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(Read(out).m_prm_meas.ax, -1200.0f);
}

TEST(CliParams, CompleteImportOfAnotherCurrentModeIsRefused) {
  const std::string dir = MakeSurvey("mode");
  const std::string spm = dir + "/cs.SPM";
  // L101_01 and L101_03 both use CS01, so give L101_01's SPM to a copy of L101_03
  // without its current station: make it hand-entered.
  CFormatSRS t = Read(dir + "/L101_03.SRS");
  t.m_prm_meas.curr_station_used = 0;
  ASSERT_TRUE(t.Write(dir + "/hand.SRS"));
  ASSERT_EQ(params("export " + quoted(dir + "/L101_01.SRS") + " " + quoted(spm)).code, 0);
  const std::string before = cli_slurp(dir + "/hand.SRS");
  RunResult r = params("apply " + quoted(dir + "/hand.SRS") + " " + quoted(spm));
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("another way"), std::string::npos) << r.err;
  EXPECT_EQ(cli_slurp(dir + "/hand.SRS"), before);
}

TEST(CliParams, UnreadableInputsFail) {
  const std::string dir = MakeSurvey("bad");
  RunResult r = params("apply " + quoted(dir + "/L101_02.SRS") + " " + quoted(dir + "/none.SPM"));
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("Failed to open file"), std::string::npos) << r.err;
  r = params("export " + quoted(dir + "/none.SRS") + " " + quoted(dir + "/x.SPM"));
  EXPECT_EQ(r.code, 1);
  EXPECT_FALSE(Exists(dir + "/x.SPM"));
  r = params("export " + quoted(dir + "/L101_02.SRS") + " " + quoted(dir + "/no/such/dir/x.SPM"));
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(params("").code, 0) << "a subcommand is required";
}

}  // namespace
