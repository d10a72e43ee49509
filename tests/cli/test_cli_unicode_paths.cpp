// Folders and file names in Chinese with blanks, as on a survey office's
// workstation: the tools read, recalculate and export there as anywhere,
// and write the very bytes they write under a plain ASCII path.
#include <gtest/gtest.h>

#include <string>

#include "cli_run.h"

namespace {

const std::string kCli = CLI_EXE;
const std::string kGen = GEN_SURVEY_EXE;

// Generates the survey into dir, recalculates both files from their time
// series into dir/重算 结果 and exports them from there as
// dir/导出 文件/测线 一.
void ReadRecalcExport(const std::string& dir) {
  RunResult r = run_cmd(quoted(kGen) + " " + quoted(dir) + " --seed 11 --files 2");
  ASSERT_EQ(r.code, 0) << r.err;
  r = run_cmd(quoted(kCli) + " check " + quoted(dir + "/L101_01.SRS"));
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out.rfind(dir + "/L101_01.SRS: ", 0), 0u) << r.out;
  r = run_cmd(quoted(kCli) + " recalc " + quoted(dir + "/L101_01.SRS") + " " + quoted(dir + "/L101_02.SRS") +
              " --out " + quoted(dir + "/重算 结果") + " --from-smt " + quoted(dir + "/smt"));
  ASSERT_EQ(r.code, 0) << r.err;
  ASSERT_EQ(run_cmd("mkdir -p " + quoted(dir + "/导出 文件")).code, 0);
  r = run_cmd(quoted(kCli) + " export " + quoted(dir + "/重算 结果/L101_01.SRS") + " " +
              quoted(dir + "/重算 结果/L101_02.SRS") + " --format zond2d --out " + quoted(dir + "/导出 文件/测线 一"));
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, dir + "/导出 文件/测线 一_Zond2d.dat\n");
}

}  // namespace

TEST(CliUnicodePaths, ReadRecalcAndExportUnderAChineseFolderWithBlanks) {
  const std::string base = testing::TempDir() + "varnex_unicode";
  ASSERT_EQ(run_cmd("rm -rf " + quoted(base) + " && mkdir -p " + quoted(base + "/测线 数据")).code, 0);
  const std::string plain = base + "/plain", wide = base + "/测线 数据/第一 天";
  ReadRecalcExport(plain);
  ReadRecalcExport(wide);
  for (const char* f : {"/重算 结果/L101_01.SRS", "/重算 结果/L101_02.SRS", "/导出 文件/测线 一_Zond2d.dat"}) {
    const std::string got = cli_slurp(wide + f);
    EXPECT_FALSE(got.empty()) << f;
    EXPECT_TRUE(got == cli_slurp(plain + f)) << f << " differs from the one under the plain path";
  }
}
