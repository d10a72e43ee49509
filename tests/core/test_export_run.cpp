// The export run over SRS files: grouping, merging, runs that stop, groups
// left out, cancellation and a kill in the middle of a run.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "core/base/atomic_file.h"
#include "core/export/export_job.h"
#include "test_files.h"
#include "../windows_skip.h"

namespace {

const std::string kIn = std::string(TEST_DATA_DIR) + "/export/in";
const std::string kGen = GEN_SURVEY_EXE;

bool Exists(const std::string& path) { return std::ifstream(path).good(); }

std::string FreshDir(const std::string& name) {
  const std::string dir = testing::TempDir() + "varnex_export_run_" + name;
  EXPECT_EQ(std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "'").c_str()), 0);
  return dir;
}

int TempCount(const std::string& dir) {
  const std::string cmd = "exit $(ls -A '" + dir + "' | grep -c vxtmp)";
  const int st = std::system(cmd.c_str());
  return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

ExportOptions Res2dinv(const std::vector<std::string>& paths, const std::string& base, bool combine) {
  ExportOptions s;
  s.paths = paths;
  s.path_base = base;
  s.layout = ExportFirstLayout(paths);
  s.format = ExportFormat::Res2dinv;
  s.combine = combine;
  return s;
}

struct Row {
  double mx = 0, r = 0, err = 0;
};

// Data rows of a four-electrode Res2dinv file by their M position.
std::map<double, Row> Rows(const std::string& path) {
  std::map<double, Row> rows;
  std::stringstream ss(Slurp(path));
  std::string line;
  for (int i = 0; i < 15 && std::getline(ss, line); ++i) {
  }
  while (std::getline(ss, line)) {
    std::stringstream ls(line);
    double v[13];
    for (double& x : v) ls >> x;
    rows[v[5]] = {v[5], v[9], v[10]};
  }
  return rows;
}

TEST(ExportRun, FilesOfOneMeasurementFormOneGroup) {
  const std::vector<std::string> paths = {kIn + "/check/L101_01.SRS", kIn + "/pole4/L101_02.SRS",
                                          kIn + "/check/L101_01R.SRS", kIn + "/pole4/L101_01.SRS"};
  std::vector<std::vector<std::string>> groups;
  ASSERT_EQ(GroupFiles(paths, SIP_POLE4_SOUNDING, false, &groups), 0);
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(groups[0], (std::vector<std::string>{paths[0], paths[2], paths[3]}));
  EXPECT_EQ(groups[1], (std::vector<std::string>{paths[1]}));
  ASSERT_EQ(GroupFiles(paths, SIP_POLE4_SOUNDING, true, &groups), 0);
  EXPECT_EQ(groups.size(), 4u);

  std::vector<std::string> unreadable;
  const std::vector<std::string> mixed = {kIn + "/pole4/L101_01.SRS", kIn + "/missing.SRS",
                                          kIn + "/pole3/L101_01.SRS"};
  EXPECT_EQ(GroupFiles(mixed, SIP_POLE4_SOUNDING, false, &groups, &unreadable), 3);
  EXPECT_TRUE(groups.empty());
  EXPECT_EQ(unreadable, (std::vector<std::string>{kIn + "/missing.SRS"}));
}

TEST(ExportRun, MergedGroupKeepsTheBetterItemOfEachPosition) {
  const std::string dir = FreshDir("merge");
  const std::string a = kIn + "/check/L101_01.SRS", b = kIn + "/check/L101_01R.SRS";
  ASSERT_TRUE(RunExport(Res2dinv({a, b}, dir + "/AB", false), nullptr).completed);
  ASSERT_TRUE(RunExport(Res2dinv({a}, dir + "/A", false), nullptr).completed);
  ASSERT_TRUE(RunExport(Res2dinv({b}, dir + "/B", false), nullptr).completed);
  for (int h = 1; h <= 3; ++h) {
    const std::string f = "_Res2dinv_F" + std::to_string(h) + ".dat";
    const auto ab = Rows(dir + "/AB" + f), ra = Rows(dir + "/A" + f), rb = Rows(dir + "/B" + f);
    ASSERT_FALSE(ab.empty());
    int from_b = 0;
    for (const auto& [pos, row] : ab) {
      const bool in_a = ra.count(pos) > 0, in_b = rb.count(pos) > 0;
      ASSERT_TRUE(in_a || in_b) << pos;
      // The row is one file's, and the one with the smaller relative error
      // (the earlier file on a tie).
      if (in_a && row.r == ra.at(pos).r) {
        if (in_b) {
          EXPECT_LE(row.err / row.r, rb.at(pos).err / rb.at(pos).r) << pos;
        }
      } else {
        ASSERT_TRUE(in_b && row.r == rb.at(pos).r) << pos;
        if (in_a) {
          EXPECT_LT(row.err / row.r, ra.at(pos).err / ra.at(pos).r) << pos;
        }
        ++from_b;
      }
    }
    EXPECT_GT(from_b, 0);
    EXPECT_LT(from_b, int(ab.size()));
  }
}

TEST(ExportRun, AReadFailureKeepsWhatEarlierGroupsWrote) {
  const std::string dir = FreshDir("read_failure");
  const std::string good = kIn + "/pole4/L101_01.SRS";
  const std::string bad = dir + "/gone.SRS";
  ExportOptions s = Res2dinv({good}, dir + "/T", false);
  ExportPlan plan = PlanExport(s);
  plan.groups = {{good}, {bad}};
  const ExportRun run = RunExport(s, plan, nullptr);
  EXPECT_FALSE(run.completed);
  ASSERT_FALSE(run.messages.empty());
  EXPECT_EQ(ExportTitleOf(run.messages.back().code), ExportTitle::Tips);
  EXPECT_EQ(run.messages.back(), (ExportMessage{ExportCode::ReadFailed, {bad}}));
  ASSERT_EQ(run.written.size(), 3u);
  std::stringstream ss(Slurp(dir + "/T_Res2dinv_F1.dat"));
  std::string line;
  int lines = 0;
  std::string count;
  while (std::getline(ss, line)) {
    if (++lines == 7) count = line;
  }
  EXPECT_EQ(count, std::to_string(lines - 15) + std::string(20 - std::to_string(lines - 15).size(), ' '));
}

TEST(ExportRun, AGroupWithAnotherHarmonicCountIsLeftOutAndNamed) {
  const std::string dir = FreshDir("harm");
  ASSERT_EQ(std::system(("'" + kGen + "' '" + dir + "/spread' --seed 3 --files 1 --devices 1 --cals 3 --wave spread "
                                      "--layout pole4 --no-smt")
                            .c_str()),
            0);
  const std::string square = kIn + "/pole4/L101_01.SRS", spread = dir + "/spread/L101_01.SRS";
  const ExportRun run = RunExport(Res2dinv({square, spread}, dir + "/T", false), nullptr);
  EXPECT_TRUE(run.completed);
  EXPECT_EQ(run.skipped, (std::vector<std::string>{spread}));
  ASSERT_GE(run.messages.size(), 2u);
  EXPECT_EQ(run.messages[0], (ExportMessage{ExportCode::HarmMismatch, {spread}}));
  EXPECT_EQ(run.messages.back().code, ExportCode::Converted);
  ExportOptions only = Res2dinv({square}, dir + "/S", false);
  ASSERT_TRUE(RunExport(only, nullptr).completed);
  EXPECT_EQ(Slurp(dir + "/T_Res2dinv_F1.dat"), Slurp(dir + "/S_Res2dinv_F1.dat"));
  EXPECT_FALSE(Exists(dir + "/T_Res2dinv_F4.dat"));
}

TEST(ExportRun, EmptyListAndLayoutMismatchWriteNothing) {
  const std::string dir = FreshDir("nothing");
  ExportRun run = RunExport(Res2dinv({}, dir + "/T", false), nullptr);
  ASSERT_EQ(run.messages.size(), 1u);
  EXPECT_EQ(ExportTitleOf(run.messages[0].code), ExportTitle::FileWarning);
  EXPECT_EQ(run.messages[0], (ExportMessage{ExportCode::NoFiles, {}}));
  run = RunExport(Res2dinv({kIn + "/pole4/L101_01.SRS", kIn + "/pole3/L101_01.SRS"}, dir + "/T", false), nullptr);
  ASSERT_EQ(run.messages.size(), 1u);
  EXPECT_EQ(run.messages[0], (ExportMessage{ExportCode::DeviceError, {"2", kIn + "/pole3/L101_01.SRS"}}));
  EXPECT_TRUE(run.written.empty());
  EXPECT_EQ(std::system(("test -z \"$(ls -A '" + dir + "')\"").c_str()), 0);

  ExportOptions pass = Res2dinv({}, dir + "/", false);
  EXPECT_EQ(RunPassRate(pass, nullptr).messages.at(0).code, ExportCode::NoFiles);
  pass.paths = {kIn + "/pole4/L101_01.SRS"};
  EXPECT_EQ(RunPassRate(pass, nullptr).messages.at(0).code, ExportCode::NameEmpty);
}

struct CancelAt : RunProgress {
  int at;
  explicit CancelAt(int i) : at(i) {}
  bool OnFile(int index, int, const std::string&) override { return index < at; }
};

TEST(ExportRun, ACancelledRunKeepsTheGroupsWrittenBeforeIt) {
  const std::string dir = FreshDir("cancel");
  const std::vector<std::string> paths = {kIn + "/pole4/L101_01.SRS", kIn + "/pole4/L101_02.SRS"};
  ASSERT_TRUE(RunExport(Res2dinv({paths[0]}, dir + "/ONE", false), nullptr).completed);
  CancelAt cancel(1);
  const ExportRun run = RunExport(Res2dinv(paths, dir + "/T", false), &cancel);
  EXPECT_TRUE(run.cancelled);
  EXPECT_FALSE(run.completed);
  EXPECT_EQ(run.written.size(), 3u);
  ASSERT_EQ(run.messages.size(), 1u);
  EXPECT_EQ(run.messages[0].code, ExportCode::Cancelled);
  EXPECT_EQ(Slurp(dir + "/T_Res2dinv_F1.dat"), Slurp(dir + "/ONE_Res2dinv_F1.dat"));
  EXPECT_EQ(TempCount(dir), 0);

  CancelAt at_start(0);
  const ExportRun none = RunExport(Res2dinv(paths, dir + "/N", false), &at_start);
  EXPECT_TRUE(none.cancelled);
  EXPECT_TRUE(none.written.empty());
  EXPECT_FALSE(Exists(dir + "/N_Res2dinv_F1.dat"));
}

// Tells the parent that the run is between groups, then waits to be killed.
struct StopHere : RunProgress {
  int fd;
  explicit StopHere(int f) : fd(f) {}
  bool OnFile(int index, int, const std::string&) override {
    if (index == 1) {
      const char c = 'x';
      if (write(fd, &c, 1) != 1) _exit(3);
      for (;;) pause();
    }
    return true;
  }
};

TEST(ExportRun, AKillInTheMiddleLeavesTheEarlierExportIntact) {
  SKIP_ON_WINDOWS("no fork");
  const std::string dir = FreshDir("kill");
  const std::vector<std::string> paths = {kIn + "/pole4/L101_01.SRS", kIn + "/pole4/L101_02.SRS"};
  ASSERT_TRUE(RunExport(Res2dinv({paths[1]}, dir + "/T", false), nullptr).completed);
  std::vector<std::string> before;
  for (int h = 1; h <= 3; ++h) before.push_back(Slurp(dir + "/T_Res2dinv_F" + std::to_string(h) + ".dat"));

  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    close(fds[0]);
    StopHere stop(fds[1]);
    RunExport(Res2dinv(paths, dir + "/T", false), &stop);
    _exit(2);
  }
  close(fds[1]);
  char c = 0;
  ASSERT_EQ(read(fds[0], &c, 1), 1);
  close(fds[0]);
  // The first group's rows are in the temporaries now.
  EXPECT_EQ(TempCount(dir), 3);
  ASSERT_EQ(kill(pid, SIGKILL), 0);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFSIGNALED(status));
  for (int h = 1; h <= 3; ++h)
    EXPECT_EQ(Slurp(dir + "/T_Res2dinv_F" + std::to_string(h) + ".dat"), before[size_t(h - 1)]) << h;

  // The next complete run replaces the files and clears what the killed one left.
  const ExportRun run = RunExport(Res2dinv(paths, dir + "/T", false), nullptr);
  ASSERT_TRUE(run.completed);
  EXPECT_NE(Slurp(dir + "/T_Res2dinv_F1.dat"), before[0]);
  EXPECT_EQ(TempCount(dir), 0);
}

// The sync seam of the atomic writer: counts the syncs, and at the chosen
// one kills the process or fails with EIO.
struct SyncAt {
  static int calls;
  static int at;
  static bool kill;
  static int Sync(int) {
    if (++calls != at) return 0;
    if (kill) ::raise(SIGKILL);
    errno = EIO;
    return -1;
  }
  SyncAt(int n, bool k) {
    calls = 0;
    at = n;
    kill = k;
    AtomicFileSetSync(Sync);
  }
  ~SyncAt() { AtomicFileSetSync(nullptr); }
};
int SyncAt::calls = 0;
int SyncAt::at = 0;
bool SyncAt::kill = false;

// A run writes one file per harmonic (and the unified data format beside
// them): a kill or a failing sync on any of them leaves the earlier export's
// set whole, never some harmonics new and others old.
TEST(ExportRun, AnInterruptedRunNeverMixesTheHarmonicFilesOfTwoExports) {
  const std::string dir = FreshDir("set");
  const std::vector<std::string> paths = {kIn + "/pole4/L101_01.SRS", kIn + "/pole4/L101_02.SRS"};
  auto options = [&](const std::vector<std::string>& in) {
    ExportOptions o = Res2dinv(in, dir + "/T", false);
    o.also_ohm = true;
    return o;
  };
  std::vector<std::string> names;
  for (const char* f : {"_Res2dinv_F%d.dat", "_F%d.ohm"})
    for (int h = 1; h <= 3; ++h) {
      char n[64];
      std::snprintf(n, sizeof(n), f, h);
      names.push_back(dir + "/T" + n);
    }
  auto contents = [&]() {
    std::vector<std::string> v;
    for (const std::string& n : names) v.push_back(Slurp(n));
    return v;
  };
  ASSERT_TRUE(RunExport(options({paths[1]}), nullptr).completed);
  const std::vector<std::string> before = contents();
  int syncs = 0;
  {
    SyncAt count(0, false);
    ASSERT_TRUE(RunExport(options(paths), nullptr).completed);
    syncs = SyncAt::calls;
  }
  const std::vector<std::string> after = contents();
  ASSERT_EQ(syncs, int(names.size()));
  for (size_t i = 0; i < names.size(); ++i) ASSERT_NE(after[i], before[i]) << names[i];

  SKIP_ON_WINDOWS("no fork: each kill is a child process killed at its sync");
  for (int k = 1; k <= syncs; ++k) {
    SCOPED_TRACE("sync " + std::to_string(k));
    ASSERT_TRUE(RunExport(options({paths[1]}), nullptr).completed);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      SyncAt kill_at(k, true);
      RunExport(options(paths), nullptr);
      _exit(2);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(contents(), before);

    SyncAt fail_at(k, false);
    const ExportRun run = RunExport(options(paths), nullptr);
    EXPECT_FALSE(run.completed);
    EXPECT_TRUE(run.written.empty());
    ASSERT_FALSE(run.messages.empty());
    EXPECT_EQ(run.messages.back().code, ExportCode::NotCompleted);
    EXPECT_EQ(run.messages.back().args.at(0), names[size_t(k - 1)]);
    EXPECT_NE(run.messages.back().args.at(1).find("Input/output error"), std::string::npos);
    EXPECT_EQ(contents(), before);
    EXPECT_EQ(TempCount(dir), 0);
  }
  ASSERT_TRUE(RunExport(options(paths), nullptr).completed);
  EXPECT_EQ(contents(), after);
  EXPECT_EQ(TempCount(dir), 0);
}

// Two files of one base name in different folders: a run that finds the
// time series by the base name, or names the check points by it, is refused
// before anything is read or written, with both files named; the other runs
// take them.
TEST(ExportRun, TwoFilesOfOneBaseNameAreRefusedWhereTheNameFindsOrNamesThem) {
  const std::string dir = FreshDir("same_name");
  ASSERT_EQ(std::system(("mkdir -p '" + dir + "/A' '" + dir + "/B' '" + dir + "/out' && cp '" + kIn +
                         "/pole4/L101_01.SRS' '" + dir + "/A/' && cp '" + kIn + "/pole4/L101_02.SRS' '" + dir +
                         "/A/' && cp '" + kIn + "/pole4/L101_02.SRS' '" + dir + "/B/'")
                            .c_str()),
            0);
  const std::vector<std::string> paths = {dir + "/A/L101_01.SRS", dir + "/A/L101_02.SRS", dir + "/B/L101_02.SRS"};
  const struct {
    ExportFormat format;
    bool from_smt, refused;
  } cases[] = {
      {ExportFormat::Res2dinv, true, true},   {ExportFormat::Zond2d, true, true},
      {ExportFormat::Res3dinv, true, true},   {ExportFormat::Ohm, true, true},
      {ExportFormat::Section, true, true},    {ExportFormat::Section3d, true, true},
      {ExportFormat::Plane, true, true},      {ExportFormat::CheckErr, true, true},
      {ExportFormat::Fdip, true, true},       {ExportFormat::CheckErr, false, true},
      {ExportFormat::Res2dinv, false, false}, {ExportFormat::Section, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(int(c.format)) + (c.from_smt ? " from SMT" : ""));
    ASSERT_EQ(std::system(("rm -rf '" + dir + "/out' && mkdir '" + dir + "/out'").c_str()), 0);
    ExportOptions o = Res2dinv(paths, dir + "/out/T", false);
    o.format = c.format;
    o.from_smt = c.from_smt;
    o.smt_dir = dir + "/smt";
    const ExportRun run = RunExport(o, nullptr);
    const ExportMessage refusal{ExportCode::SameBaseName, {paths[1], paths[2]}};
    if (c.refused) {
      EXPECT_FALSE(run.completed);
      EXPECT_EQ(run.messages, std::vector<ExportMessage>{refusal});
      EXPECT_TRUE(run.written.empty());
      EXPECT_EQ(std::system(("test -z \"$(ls -A '" + dir + "/out')\"").c_str()), 0);
    } else {
      EXPECT_TRUE(run.completed);
      EXPECT_FALSE(run.written.empty());
    }
  }
}

}  // namespace
