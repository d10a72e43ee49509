// varnex-cli against what a survey folder may hold besides good files:
// inputs that would write the same output, FIFOs, numbers that are no
// settings, station records that do not fit the results, names at the
// folder's limit, and outputs that cannot be written.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "../windows_skip.h"
#include "cli_run.h"
#include "core/base/ex_file.h"
#include "core/processing/spm.h"
#include "core/sip/format_srs.h"

namespace {

const std::string kCli = CLI_EXE;
const std::string kGen = GEN_SURVEY_EXE;

std::string MakeSurvey(const std::string& name) {
  const std::string dir = testing::TempDir() + "varnex_hardening_" + name;
  EXPECT_EQ(run_cmd("rm -rf " + quoted(dir)).code, 0);
  const RunResult r = run_cmd(quoted(kGen) + " " + quoted(dir) + " --seed 11 --files 2");
  EXPECT_EQ(r.code, 0) << r.err;
  return dir;
}

// A run that hangs is stopped after a while and reported as such (124).
RunResult Cli(const std::string& args) { return run_cmd("timeout 20 " + quoted(kCli) + " " + args); }

bool Exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

size_t Entries(const std::string& dir) {
  const RunResult r = run_cmd("ls -A " + quoted(dir) + " | wc -l");
  return size_t(std::stoul(r.out));
}

}  // namespace

// A/L101_01.SRS and B/L101_01.SRS both give <out>/L101_01.SRS, and A/x.SRS
// with A/x.srs both give A/x.txt: refused before anything is written, on
// every path, naming both inputs.
TEST(CliHardening, InputsSharingAnOutputAreRefusedBeforeAnythingIsWritten) {
  SKIP_ON_WINDOWS("the test shell cannot copy into a folder named with a trailing slash yet");
  const std::string dir = MakeSurvey("dup");
  ASSERT_EQ(run_cmd("mkdir -p " + quoted(dir + "/A") + " " + quoted(dir + "/B") + " && cp " +
                    quoted(dir + "/L101_01.SRS") + " " + quoted(dir + "/A/") + " && cp " +
                    quoted(dir + "/L101_02.SRS") + " " + quoted(dir + "/B/L101_01.SRS") + " && cp " +
                    quoted(dir + "/L101_02.SRS") + " " + quoted(dir + "/A/L101_01.srs"))
                .code,
            0);
  const std::string a = dir + "/A/L101_01.SRS", b = dir + "/B/L101_01.SRS", lower = dir + "/A/L101_01.srs";
  const std::string a_bytes = cli_slurp(a), b_bytes = cli_slurp(b);
  const std::string out = dir + "/out";
  struct Case {
    std::string args;
    std::string second;
    std::string output;
  };
  const Case cases[] = {
      {"recalc " + quoted(a) + " " + quoted(b) + " --out " + quoted(out) + " --harmonics 4", b, out + "/L101_01.SRS"},
      {"recalc " + quoted(a) + " " + quoted(b) + " --out " + quoted(out) + " --from-smt " + quoted(dir + "/smt"), b,
       out + "/L101_01.SRS"},
      {"dumpall " + quoted(a) + " " + quoted(lower), lower, dir + "/A/L101_01.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const RunResult r = Cli(c.args);
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "varnex-cli: " + a + " and " + c.second + " would both be written as " + c.output +
                         "; nothing was written\n");
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(Exists(c.output));
    EXPECT_EQ(cli_slurp(a), a_bytes);
    EXPECT_EQ(cli_slurp(b), b_bytes);
    EXPECT_EQ(Entries(dir + "/A"), 2u);
    if (Exists(out)) {
      EXPECT_EQ(Entries(out), 0u);
    }
  }
}

// FIFOs answer at once: as an input they are refused, as an output nothing
// reads they are refused, and the backup before an overwrite never reads
// one.
TEST(CliHardening, FifosAreAnsweredInsteadOfWaitedFor) {
  SKIP_ON_WINDOWS("no FIFOs in the file system");
  const std::string dir = MakeSurvey("fifo");
  const std::string in = dir + "/L101_01.SRS";
  const std::string fifo = dir + "/p.SRS";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_EQ(::mkdir((dir + "/o").c_str(), 0700), 0);
  ASSERT_EQ(::mkfifo((dir + "/o/L101_01.SRS").c_str(), 0600), 0);
  ASSERT_EQ(Cli("params export " + quoted(in) + " " + quoted(dir + "/p.SPM")).code, 0);
  struct Case {
    std::string args;
    const char* reason;
  };
  const Case cases[] = {
      {"dump " + quoted(fifo), "not a regular file (a FIFO)"},
      {"check " + quoted(fifo), "not a regular file (a FIFO)"},
      {"dump " + quoted(in) + " -o " + quoted(fifo), "is a FIFO that nothing reads"},
      {"params export " + quoted(in) + " " + quoted(fifo), "is a FIFO that nothing reads"},
      {"params apply " + quoted(in) + " " + quoted(dir + "/p.SPM") + " --out " + quoted(fifo),
       "is a FIFO that nothing reads"},
      {"params apply " + quoted(in) + " " + quoted(fifo), "not a regular file (a FIFO)"},
      {"recalc " + quoted(in) + " --out " + quoted(dir + "/o") + " --harmonics 4", "is a FIFO that nothing reads"},
      {"export " + quoted(in) + " --format res2dinv --out " + quoted(dir + "/x") + " --elev " + quoted(fifo),
       "not a regular file (a FIFO)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const RunResult r = Cli(c.args);
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
  }
  EXPECT_FALSE(Exists(fifo + ".orig"));
  struct stat st;
  ASSERT_EQ(::stat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));

  // With a reader, the FIFO gets the whole dump and nothing is backed up.
  const RunResult r = run_cmd("(cat " + quoted(fifo) + " > " + quoted(dir + "/got.txt") + " & timeout 20 " +
                              quoted(kCli) + " dump " + quoted(in) + " -o " + quoted(fifo) + "; wait)");
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(cli_slurp(dir + "/got.txt"), Cli("dump " + quoted(in)).out);
}

// Numbers that are no setting end the run with the usage status, naming the
// option; nothing is written.
TEST(CliHardening, NumericOptionsOutsideTheirRangeAreUsageErrors) {
  SKIP_ON_WINDOWS("a command line of this test is beyond the test shell yet");
  const std::string dir = MakeSurvey("num");
  const std::string in = quoted(dir + "/L101_01.SRS");
  const std::string exp = "export " + in + " --format res2dinv --out " + quoted(dir + "/x") + " ";
  const std::string pass = "passrate " + in + " --out " + quoted(dir + "/x") + " ";
  const std::string smt = quoted(dir + "/smt/ST01/L101_01.smt");
  struct Case {
    std::string args;
    const char* option;
  };
  const Case cases[] = {
      {exp + "--unit-spacing nan", "--unit-spacing"},    {exp + "--unit-spacing inf", "--unit-spacing"},
      {exp + "--unit-spacing 0", "--unit-spacing"},      {exp + "--unit-spacing -1", "--unit-spacing"},
      {exp + "--unit-spacing 1e308", "--unit-spacing"},  {exp + "--unit-spacing ''", "--unit-spacing"},
      {exp + "--shift-percent -1", "--shift-percent"},   {exp + "--sys-err-app nan", "--sys-err-app"},
      {exp + "--sys-err-cp -0.1", "--sys-err-cp"},       {exp + "--x-shift inf", "--x-shift"},
      {exp + "--x-shift -1e308", "--x-shift"},           {exp + "--max-err-app -1", "--max-err-app"},
      {exp + "--max-err-cp nan", "--max-err-cp"},        {pass + "--unit-spacing -inf", "--unit-spacing"},
      {pass + "--max-err-app inf", "--max-err-app"},     {pass + "--max-err-cp -5", "--max-err-cp"},
      {"ts " + smt + " --start -1", "--start"},          {"ts " + smt + " --len 0", "--len"},
      {"ts " + smt + " --len -960", "--len"},            {"check " + in + " --freq 0", "--freq"},
      {"recalc " + in + " --out " + quoted(dir + "/o") + " --harmonics 0", "--harmonics"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const RunResult r = Cli(c.args);
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err.rfind("varnex-cli: " + std::string(c.option), 0), 0u) << r.err;
    EXPECT_EQ(r.out, "");
  }
  EXPECT_EQ(run_cmd("ls " + quoted(dir) + " | grep -c '^x'").out, "0\n");
  EXPECT_EQ(Cli(exp + "--unit-spacing 2.5 --x-shift -100 --max-err-app 50").code, 0);
}

// Station records without the channels the results use are refused before
// anything is written; a saved file reads back to the same bytes.
TEST(CliHardening, SpmWhoseStationsDoNotHoldTheResultChannelsIsRefused) {
  SKIP_ON_WINDOWS("a command line of this test is beyond the test shell yet");
  const std::string dir = MakeSurvey("spm");
  const std::string in = dir + "/L101_01.SRS";
  const std::string before = cli_slurp(in);
  CFormatSRS srs;
  ASSERT_TRUE(srs.Read(in));
  for (int channels : {0, 3}) {
    SCOPED_TRACE(channels);
    std::vector<PrmDev> devs = srs.m_vt_prm_dev;
    for (PrmDev& d : devs) {
      d.ch_num = channels;
      d.pos_valid = 0;
    }
    const std::string spm = dir + "/short.SPM";
    {
      std::unique_ptr<FILE, ExFileCloser> fp(std::fopen(spm.c_str(), "wb"));
      ASSERT_TRUE(SpmWrite(fp.get(), srs.m_prm_meas, devs, srs.m_vt_pole));
    }
    for (const std::string& extra :
         std::vector<std::string>{"", " --line-only", " --out " + quoted(dir + "/out.SRS")}) {
      const RunResult r = Cli("params apply " + quoted(in) + " " + quoted(spm) + extra);
      EXPECT_EQ(r.code, 1);
      EXPECT_NE(r.err.find("station record 1 (ST01) has " + std::to_string(channels) + " channels"),
                std::string::npos)
          << r.err;
      EXPECT_EQ(cli_slurp(in), before);
      EXPECT_FALSE(Exists(in + ".orig"));
      EXPECT_FALSE(Exists(dir + "/out.SRS"));
    }
  }

  // Records without coordinates (pos_valid 0) that do hold the channels: the
  // saved file is a fixed point of reading and writing, and its own
  // parameters apply to it again.
  std::vector<PrmDev> devs = srs.m_vt_prm_dev;
  for (PrmDev& d : devs) d.pos_valid = 0;
  const std::string spm = dir + "/nopos.SPM";
  {
    std::unique_ptr<FILE, ExFileCloser> fp(std::fopen(spm.c_str(), "wb"));
    ASSERT_TRUE(SpmWrite(fp.get(), srs.m_prm_meas, devs, srs.m_vt_pole));
  }
  const std::string saved = dir + "/saved.SRS";
  RunResult r = Cli("params apply " + quoted(in) + " " + quoted(spm) + " --out " + quoted(saved));
  ASSERT_EQ(r.code, 0) << r.err;
  CFormatSRS back;
  ASSERT_TRUE(back.Read(saved));
  ASSERT_TRUE(back.Write(dir + "/again.SRS"));
  EXPECT_EQ(cli_slurp(dir + "/again.SRS"), cli_slurp(saved));
  ASSERT_EQ(Cli("params export " + quoted(saved) + " " + quoted(dir + "/own.SPM")).code, 0);
  r = Cli("params apply " + quoted(saved) + " " + quoted(dir + "/own.SPM"));
  EXPECT_EQ(r.code, 0) << r.err;
}

// A name of 250 bytes is legal: every verb that writes takes it.
TEST(CliHardening, LongNamesAreWritten) {
  SKIP_ON_WINDOWS("a command line of this test is beyond the test shell yet");
  const std::string dir = MakeSurvey("long");
  const std::string base(246, 'L');
  const std::string in = dir + "/" + base + ".SRS";
  ASSERT_EQ(base.size() + 4, 250u);
  ASSERT_EQ(run_cmd("cp " + quoted(dir + "/L101_01.SRS") + " " + quoted(in)).code, 0);
  const std::string out = dir + "/out";
  struct Case {
    std::string args;
    std::string written;
  };
  const Case cases[] = {
      {"dump " + quoted(in) + " -o " + quoted(dir + "/" + base + ".txt"), dir + "/" + base + ".txt"},
      {"recalc " + quoted(in) + " --out " + quoted(out) + " --harmonics 4", out + "/" + base + ".SRS"},
      {"params export " + quoted(in) + " " + quoted(dir + "/" + base + ".SPM"), dir + "/" + base + ".SPM"},
      {"params apply " + quoted(in) + " " + quoted(dir + "/" + base + ".SPM"), in + ".orig"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const RunResult r = Cli(c.args);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Exists(c.written));
  }
  EXPECT_EQ(run_cmd("ls -A " + quoted(dir) + " " + quoted(out) + " | grep -c vxtmp").out, "0\n");
}

// The disk fills after the backup was made: the file stays as it was, and
// so does the folder (no backup of a change that never happened), with the
// system's reason.
TEST(CliHardening, ApplyFailingAfterItsBackupLeavesNoBackup) {
  SKIP_ON_WINDOWS("subshells and file-size limits are beyond the test shell");
  const std::string dir = MakeSurvey("full");
  const std::string in = dir + "/L101_01.SRS";
  const std::string target = dir + "/small.SRS";
  ASSERT_EQ(run_cmd("(printf 'not yet' > " + quoted(target) + ")").code, 0);
  ASSERT_EQ(Cli("params export " + quoted(in) + " " + quoted(dir + "/p.SPM")).code, 0);
  // A file-size limit of one block: the 7-byte backup fits, the new file
  // does not.
  const RunResult r = run_cmd("(trap '' XFSZ; ulimit -f 1; " + quoted(kCli) + " params apply " + quoted(in) + " " +
                              quoted(dir + "/p.SPM") + " --out " + quoted(target) + ")");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("File too large"), std::string::npos) << r.err;
  EXPECT_EQ(cli_slurp(target), "not yet");
  EXPECT_FALSE(Exists(target + ".orig"));
  EXPECT_EQ(run_cmd("ls -A " + quoted(dir) + " | grep -c vxtmp").out, "0\n");
}

// Standard output that cannot be written is an error with a reason.
TEST(CliHardening, UnwritableStandardOutputIsReported) {
  if (!Exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  const std::string dir = MakeSurvey("stdout");
  const std::string in = quoted(dir + "/L101_01.SRS");
  for (const std::string& args : {"check " + in, "stations " + in,
                                  "ts " + quoted(dir + "/smt/ST01/L101_01.smt"), "dump " + in}) {
    SCOPED_TRACE(args);
    const RunResult r = run_cmd("(" + quoted(kCli) + " " + args + " >/dev/full)");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("cannot write to standard output: No space left on device"), std::string::npos) << r.err;
  }
}
