#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/stat.h>

#include "cli_run.h"
#include "../windows_skip.h"

namespace {

const std::string kCli = CLI_EXE;
const std::string kSrs = std::string(TEST_DATA_DIR) + "/srs/spread_mid/L101_01";

std::string dump_cmd(const std::string& args) { return "TZ=UTC " + quoted(kCli) + " dump " + args; }

}  // namespace

TEST(CliDump, SrsFullAndResultsMatchTheGoldenDumps) {
  RunResult full = run_cmd(dump_cmd(quoted(kSrs + ".SRS")));
  EXPECT_EQ(full.code, 0) << full.err;
  EXPECT_EQ(full.out, cli_slurp(kSrs + ".txt"));
  EXPECT_TRUE(full.err.empty());

  RunResult res = run_cmd(dump_cmd("--results " + quoted(kSrs + ".SRS")));
  EXPECT_EQ(res.code, 0);
  EXPECT_EQ(res.out, cli_slurp(kSrs + ".res.txt"));
}

TEST(CliDump, OutputFileAndAnyCaseOfTheExtension) {
  const std::string copy = testing::TempDir() + "varnex_dump_case.srs";
  ASSERT_EQ(run_cmd("cp " + quoted(kSrs + ".SRS") + " " + quoted(copy)).code, 0);
  const std::string out = testing::TempDir() + "varnex_dump_out.txt";
  RunResult r = run_cmd(dump_cmd(quoted(copy) + " -o " + quoted(out)));
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(r.out.empty());
  EXPECT_EQ(cli_slurp(out), cli_slurp(kSrs + ".txt"));
}

TEST(CliDump, SmtFile) {
  const std::string smt = std::string(TEST_DATA_DIR) + "/srs/square_free/smt/ST01/L101_01";
  RunResult r = run_cmd(dump_cmd(quoted(smt + ".smt")));
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, cli_slurp(smt + ".txt"));
}

TEST(CliDump, UnreadableFilesGiveExitOneAndOneLineNamingTheFile) {
  const std::string missing = "/nonexistent/varnex/L9.SRS";
  RunResult r = run_cmd(dump_cmd(quoted(missing)));
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(r.out.empty());
  EXPECT_NE(r.err.find(missing), std::string::npos);
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);

  const std::string junk = testing::TempDir() + "varnex_junk.SRS";
  ASSERT_EQ(run_cmd("printf 'garbage' > " + quoted(junk)).code, 0);
  r = run_cmd(dump_cmd(quoted(junk)));
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find(junk), std::string::npos);

  r = run_cmd(dump_cmd(quoted(kSrs + ".txt")));
  EXPECT_EQ(r.code, 1);
}

TEST(CliVersion, VersionAndHelp) {
  RunResult v = run_cmd(quoted(kCli) + " --version");
  EXPECT_EQ(v.code, 0);
  EXPECT_NE(v.out.find("1.5.4"), std::string::npos);
  RunResult h = run_cmd(quoted(kCli) + " --help");
  EXPECT_EQ(h.code, 0);
  EXPECT_NE(h.out.find("dump"), std::string::npos);
}

TEST(CliDump, TheReasonOfAFailedReadNamesTheOffset) {
  const std::string bad = testing::TempDir() + "varnex_dump_bad.SRS";
  std::string bytes = cli_slurp(kSrs + ".SRS");
  const int32_t ver = 9;
  std::memcpy(&bytes[0], &ver, 4);
  std::ofstream(bad, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
  RunResult r = run_cmd(dump_cmd(quoted(bad)));
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "varnex-cli: cannot read " + bad + ": version at byte 0: version 9 not supported\n");
}

TEST(CliDump, AFileCutShortAtItsEndIsDumpedWithAWarning) {
  const std::string bytes = cli_slurp(kSrs + ".SRS");
  const std::string cut = testing::TempDir() + "varnex_dump_cut.SRS";
  const std::string shorter = bytes.substr(0, bytes.size() - 150);
  std::ofstream(cut, std::ios::binary).write(shorter.data(), std::streamsize(shorter.size()));
  RunResult r = run_cmd(dump_cmd(quoted(cut)));
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.err, "varnex-cli: File \"" + cut + "\" is incomplete: data after byte " +
                       std::to_string(shorter.size()) + " are missing\n");
  // Everything before the self-potential columns is as in the whole file.
  const std::string whole = cli_slurp(kSrs + ".txt");
  ASSERT_FALSE(r.out.empty());
  EXPECT_EQ(r.out.substr(0, 200), whole.substr(0, 200));
  EXPECT_NE(r.out, whole);

  RunResult ok = run_cmd(dump_cmd(quoted(kSrs + ".SRS")));
  EXPECT_TRUE(ok.err.empty());
}

TEST(CliDump, OutputThroughASymbolicLinkAndOntoADevice) {
  SKIP_ON_WINDOWS("symbolic links need rights ordinary users lack; no /dev/null");
  const std::string dir = testing::TempDir() + "varnex_dump_link";
  ASSERT_EQ(run_cmd("rm -rf " + quoted(dir) + " && mkdir -p " + quoted(dir + "/real")).code, 0);
  const std::string target = dir + "/real/dump.txt";
  const std::string link = dir + "/dump.txt";
  ASSERT_EQ(run_cmd("echo old > " + quoted(target) + " && ln -s real/dump.txt " + quoted(link)).code, 0);
  RunResult r = run_cmd(dump_cmd(quoted(kSrs + ".SRS") + " -o " + quoted(link)));
  EXPECT_EQ(r.code, 0) << r.err;
  struct stat st;
  ASSERT_EQ(::lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(cli_slurp(target), cli_slurp(kSrs + ".txt"));
  EXPECT_EQ(run_cmd("ls -A " + quoted(dir + "/real")).out, "dump.txt\n");  // no temporary left

  r = run_cmd(dump_cmd(quoted(kSrs + ".SRS") + " -o /dev/null"));
  EXPECT_EQ(r.code, 0) << r.err;
  ASSERT_EQ(::lstat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
  EXPECT_EQ(run_cmd("ls -a /dev | grep -c vxtmp").out, "0\n");
}

TEST(CliDump, ResultsOfAnSmtFileAreRefused) {
  const std::string smt = std::string(TEST_DATA_DIR) + "/srs/square_free/smt/ST01/L101_01.smt";
  const std::string out = testing::TempDir() + "varnex_dump_smt_results.txt";
  std::remove(out.c_str());
  RunResult r = run_cmd(dump_cmd("--results " + quoted(smt) + " -o " + quoted(out)));
  EXPECT_EQ(r.code, 2);
  EXPECT_TRUE(r.out.empty());
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_NE(r.err.find(smt), std::string::npos);
  EXPECT_FALSE(std::ifstream(out).good());
}

// The results page's "dump all": every dump beside its file, the report in
// the first file's folder, one stderr line for a file that cannot be read.
TEST(CliDump, DumpAllWritesEveryDumpBesideItsFileWithTheReport) {
  const std::string dir = testing::TempDir() + "varnex_dumpall_" + std::to_string(::getpid());
  ASSERT_EQ(run_cmd("rm -rf " + quoted(dir) + " && mkdir -p " + quoted(dir)).code, 0);
  ASSERT_EQ(run_cmd("cp " + quoted(kSrs + ".SRS") + " " + quoted(dir + "/A.SRS")).code, 0);
  ASSERT_EQ(run_cmd("cp " + quoted(kSrs + ".SRS") + " " + quoted(dir + "/B.SRS")).code, 0);
  {
    std::ofstream(dir + "/Bad.SRS", std::ios::binary) << "not an SRS file";
  }
  const std::string cli = "TZ=UTC " + quoted(kCli) + " dumpall --lang en ";

  RunResult r = run_cmd(cli + quoted(dir + "/A.SRS") + " " + quoted(dir + "/B.SRS"));
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, dir + "/A.txt\n" + dir + "/B.txt\n" + dir + "/outTxtResult.txt\n");
  EXPECT_TRUE(r.err.empty()) << r.err;
  EXPECT_EQ(cli_slurp(dir + "/A.txt"), cli_slurp(kSrs + ".txt"));
  EXPECT_EQ(cli_slurp(dir + "/B.txt"), cli_slurp(kSrs + ".txt"));
  EXPECT_EQ(cli_slurp(dir + "/outTxtResult.txt"), "A Export successful!\n\nB Export successful!\n\n");

  r = run_cmd(cli + quoted(dir + "/Bad.SRS") + " " + quoted(dir + "/A.SRS"));
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, dir + "/A.txt\n" + dir + "/outTxtResult.txt\n");
  EXPECT_EQ(r.err.rfind("varnex-cli: " + dir + "/Bad.SRS: ", 0), 0u) << r.err;
  EXPECT_FALSE(std::ifstream(dir + "/Bad.txt").good());
  EXPECT_EQ(cli_slurp(dir + "/outTxtResult.txt"), "Bad open failed!\nA Export successful!\n\n");

  // The Chinese report of a Chinese system.
  r = run_cmd("LANG=zh_CN.UTF-8 TZ=UTC " + quoted(kCli) + " dumpall " + quoted(dir + "/A.SRS"));
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(cli_slurp(dir + "/outTxtResult.txt"), "A 导出成功!\n\n");
  EXPECT_EQ(run_cmd(quoted(kCli) + " dumpall").code, 2);
}
