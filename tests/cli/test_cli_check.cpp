#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

#include "cli_run.h"
#include "core/sip/format_srs.h"

namespace {

const std::string kCli = CLI_EXE;
const std::string kGen = GEN_SURVEY_EXE;

std::string MakeSurvey(const std::string& name) {
  const std::string dir = testing::TempDir() + "varnex_cli_check_" + name + "_" + std::to_string(::getpid());
  EXPECT_EQ(std::system(("rm -rf '" + dir + "'").c_str()), 0);
  EXPECT_EQ(std::system(("'" + kGen + "' '" + dir + "' --seed 7 --files 2 >/dev/null").c_str()), 0);
  return dir;
}

// Channels 0..n-1 get an apparent resistivity of exactly 0 at composed
// point 0, which fails the relative-error limit whatever its error.
void SpoilFirstPoint(const std::string& path, int n) {
  CFormatSRS srs;
  ASSERT_TRUE(srs.Read(path));
  for (int c = 0; c < n; ++c) {
    ResItem it = srs.m_res_composed.GetItem(c, 0, 0);
    it.blk[RES_APP].value = 0.0f;
    srs.m_res_composed.SetItem(c, 0, 0, it);
  }
  ASSERT_TRUE(srs.Write(path));
}

std::string check(const std::string& args) { return quoted(kCli) + " check " + args; }

}  // namespace

TEST(CliCheck, OneLinePerFileWithThePageFigures) {
  const std::string dir = MakeSurvey("lines");
  const std::string a = dir + "/L101_01.SRS", b = dir + "/L101_02.SRS";
  SpoilFirstPoint(a, 3);
  RunResult r = run_cmd(check(quoted(a) + " " + quoted(b)));
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(r.err.empty());
  EXPECT_EQ(r.out, a + ": 24 channels, 21 qualified, pass rate 87.5%\n" + b +
                       ": 24 channels, 24 qualified, pass rate 100.0%\n");

  // The second point of the list was not spoiled.
  r = run_cmd(check("--freq 2 " + quoted(a)));
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, a + ": 24 channels, 24 qualified, pass rate 100.0%\n");
  // Nor the single-frequency result.
  r = run_cmd(check("--single " + quoted(a)));
  EXPECT_EQ(r.out, a + ": 24 channels, 24 qualified, pass rate 100.0%\n");
}

TEST(CliCheck, UnreadableFilesAndMissingPointsGiveExitOne) {
  const std::string dir = MakeSurvey("bad");
  const std::string good = dir + "/L101_01.SRS", junk = dir + "/junk.SRS", gone = dir + "/gone.SRS";
  std::ofstream(junk, std::ios::binary) << "garbage";
  RunResult r = run_cmd(check(quoted(junk) + " " + quoted(good) + " " + quoted(gone)));
  EXPECT_EQ(r.code, 1);
  // The readable file is still checked.
  EXPECT_EQ(r.out, good + ": 24 channels, 24 qualified, pass rate 100.0%\n");
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2) << r.err;
  const size_t junk_at = r.err.find("varnex-cli: " + junk + ": ");
  const size_t gone_at = r.err.find("varnex-cli: " + gone + ": cannot open the file");
  EXPECT_NE(junk_at, std::string::npos) << r.err;
  EXPECT_NE(gone_at, std::string::npos) << r.err;
  // Each line carries the reader's reason after the name.
  EXPECT_GT(r.err.find('\n', junk_at) - junk_at, ("varnex-cli: " + junk + ": ").size());

  r = run_cmd(check("--freq 99 " + quoted(good)));
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(r.out.empty());
  EXPECT_NE(r.err.find("no frequency point 99"), std::string::npos);
}

TEST(CliUsage, EveryUsageErrorExitsTwoWithOneLineAndTheUsage) {
  const std::string dir = MakeSurvey("usage");
  const std::string srs = quoted(dir + "/L101_01.SRS");
  const std::string cases[] = {
      "check",
      "check --freq 0 " + srs,
      "check --freq x " + srs,
      "check --bogus " + srs,
      "recalc " + srs + " --harmonics 4",
      "recalc " + srs + " --out " + quoted(dir + "/o") + " --harmonics 17",
      "dump",
      "nosuchverb",
  };
  for (const std::string& args : cases) {
    const RunResult r = run_cmd(quoted(kCli) + " " + args);
    EXPECT_EQ(r.code, 2) << args;
    EXPECT_TRUE(r.out.empty()) << args;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2) << args << ": " << r.err;
    EXPECT_EQ(r.err.rfind("varnex-cli: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find("\nUsage: varnex-cli"), std::string::npos) << r.err;
  }
  const RunResult h = run_cmd(quoted(kCli) + " --help");
  EXPECT_EQ(h.code, 0);
  EXPECT_NE(h.out.find("2 usage error"), std::string::npos);
  EXPECT_NE(h.out.find("check"), std::string::npos);
}

TEST(CliReasons, StderrNamesTheFileAndTheReadersReason) {
  const std::string dir = MakeSurvey("reasons");
  const std::string cut = dir + "/CUT.SRS";
  ASSERT_EQ(std::system(("head -c 3000 '" + dir + "/L101_01.SRS' > '" + cut + "'").c_str()), 0);
  CFormatSRS srs;
  ASSERT_FALSE(srs.Read(cut));
  const std::string why = srs.GetError();
  ASSERT_FALSE(why.empty());

  const std::string verbs[] = {
      "check " + quoted(cut),
      "dump " + quoted(cut),
      "recalc " + quoted(cut) + " --out " + quoted(dir + "/out") + " --harmonics 4",
      "recalc " + quoted(cut) + " --out " + quoted(dir + "/out") + " --from-smt " + quoted(dir + "/smt"),
  };
  for (const std::string& args : verbs) {
    const RunResult r = run_cmd(quoted(kCli) + " " + args);
    EXPECT_EQ(r.code, 1) << args;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << args << ": " << r.err;
    EXPECT_NE(r.err.find(cut), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(why), std::string::npos) << r.err;
  }
}

TEST(CliCheck, AFileCutShortAtItsEndIsCheckedWithAWarning) {
  const std::string dir = MakeSurvey("cut");
  const std::string whole = cli_slurp(dir + "/L101_01.SRS");
  const std::string cut = dir + "/CUT.SRS";
  std::ofstream(cut, std::ios::binary) << whole.substr(0, whole.size() - 150);
  const RunResult r = run_cmd(check(quoted(cut)));
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, cut + ": 24 channels, 24 qualified, pass rate 100.0%\n");
  EXPECT_EQ(r.err, "varnex-cli: File \"" + cut + "\" is incomplete: data after byte " +
                       std::to_string(whole.size() - 150) + " are missing\n");
}
