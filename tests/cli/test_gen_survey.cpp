#include <gtest/gtest.h>

#include <dirent.h>
#include <filesystem>
#include <string>
#include <vector>

#include "cli_run.h"
#include "core/sip/format_smt.h"
#include "core/sip/format_srs.h"

namespace {

const std::string kGen = GEN_SURVEY_EXE;

std::vector<std::string> find_files(const std::string& dir, const std::string& ext) {
  std::vector<std::string> out;
  DIR* d = opendir(dir.c_str());
  if (!d) return out;
  while (dirent* e = readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    std::string path = dir + "/" + name;
    if (std::filesystem::is_directory(std::filesystem::u8path(path))) {
      for (const std::string& f : find_files(path, ext)) out.push_back(f);
    } else if (name.size() > ext.size() && name.compare(name.size() - ext.size(), ext.size(), ext) == 0) {
      out.push_back(path);
    }
  }
  closedir(d);
  return out;
}

std::string survey(const std::string& name, const std::string& args) {
  const std::string dir = testing::TempDir() + "varnex_gen_" + name;
  run_cmd("rm -rf " + quoted(dir));
  RunResult r = run_cmd(quoted(kGen) + " " + quoted(dir) + " " + args);
  EXPECT_EQ(r.code, 0) << r.err;
  return dir;
}

}  // namespace

// Every layout and waveform, with every older stream version: all files read,
// and writing a file gives the newest version with the same content.
TEST(GenSurvey, EveryFileOfEveryVersionReads) {
  const char* layouts[] = {"mid", "pole3", "pole4", "free"};
  const char* waves[] = {"square", "pseudo", "spread", "double"};
  for (int i = 0; i < 4; ++i) {
    const std::string args = std::string("--seed ") + std::to_string(20 + i) + " --files 2 --devices 4 --cals 3 --layout " +
                             layouts[i] + " --wave " + waves[i] + " --old-versions";
    SCOPED_TRACE(args);
    const std::string dir = survey(layouts[i], args);
    std::vector<std::string> srs_files = find_files(dir, ".SRS");
    EXPECT_EQ(srs_files.size(), 6u);
    for (const std::string& f : srs_files) {
      SCOPED_TRACE(f);
      CFormatSRS srs;
      ASSERT_TRUE(srs.Read(f));
      EXPECT_GT(srs.m_res.GetChNum(), 0);
      const std::string out = f + ".v5";
      ASSERT_TRUE(srs.Write(out));
      CFormatSRS again;
      ASSERT_TRUE(again.Read(out));
      EXPECT_EQ(again.GetFileVer(), 5);
      EXPECT_EQ(again.m_spect_u.DoGetCalNum(), srs.m_spect_u.DoGetCalNum());
    }
    std::vector<std::string> smt_files = find_files(dir, ".smt");
    EXPECT_GE(smt_files.size(), 8u);
    for (const std::string& f : smt_files) {
      CFormatSmt smt;
      EXPECT_TRUE(smt.Read(f)) << f;
      EXPECT_GT(smt.m_data_rows, 0) << f;
    }
    for (const char* table : {"site_coord.txt", "elevation.txt", "shift.txt"})
      EXPECT_FALSE(cli_slurp(dir + "/" + table).empty()) << table;
  }
}

TEST(GenSurvey, SameSeedSameBytes) {
  const std::string a = survey("seed_a", "--seed 5 --files 1 --devices 2 --cals 2");
  const std::string b = survey("seed_b", "--seed 5 --files 1 --devices 2 --cals 2");
  const std::string c = survey("seed_c", "--seed 6 --files 1 --devices 2 --cals 2");
  EXPECT_EQ(cli_slurp(a + "/L101_01.SRS"), cli_slurp(b + "/L101_01.SRS"));
  EXPECT_EQ(cli_slurp(a + "/smt/ST01/L101_01.smt"), cli_slurp(b + "/smt/ST01/L101_01.smt"));
  EXPECT_NE(cli_slurp(a + "/L101_01.SRS"), cli_slurp(c + "/L101_01.SRS"));
}

TEST(GenSurvey, BadArgumentsFail) {
  EXPECT_NE(run_cmd(quoted(kGen)).code, 0);
  EXPECT_NE(run_cmd(quoted(kGen) + " /tmp/x --layout diagonal").code, 0);
  RunResult r = run_cmd(quoted(kGen) + " /proc/varnex_cannot_write");
  EXPECT_EQ(r.code, 1);
  EXPECT_FALSE(r.err.empty());
}
