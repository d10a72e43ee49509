// The overwrite flows that exist (the two all-files recalculations with
// their reports) against a full disk and kill -9 at random moments.
#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>
#include <string>
#include <vector>

#include "core/processing/srs_recalc.h"
#include "overwrite_faults.h"
#include "../windows_skip.h"

namespace {

const std::string kGen = GEN_SURVEY_EXE;

struct Survey {
  std::string dir, out;
  std::vector<std::string> inputs, targets;
};

// Two files with enough calculations that writing them takes a while; the
// output folder holds an older run's files.
Survey MakeSurvey(const std::string& name, const char* report) {
  Survey s;
  // The pid keeps two test runs on one machine out of each other's files.
  s.dir = testing::TempDir() + "varnex_overwrite_" + name + "_" + std::to_string(long(::getpid()));
  s.out = s.dir + "/out";
  EXPECT_EQ(std::system(("rm -rf '" + s.dir + "' && '" + kGen + "' '" + s.dir + "' --seed 9 --files 2 --cals 30")
                            .c_str()),
            0);
  for (const char* base : {"L101_01", "L101_02"}) {
    s.inputs.push_back(s.dir + "/" + base + ".SRS");
    s.targets.push_back(s.out + "/" + base + ".SRS");
  }
  s.targets.push_back(s.out + "/" + report);
  EXPECT_EQ(std::system(("mkdir -p '" + s.out + "'").c_str()), 0);
  for (size_t i = 0; i < s.targets.size(); ++i)
    overwrite_faults::Spill(s.targets[i], "an older run's file " + std::to_string(i) + "\n");
  return s;
}

overwrite_faults::Flow ComposedFlow(const Survey& s) {
  return [s] {
    const RecalcRun run = RecalcAllComposed(s.inputs, 4, s.out, RecalcTexts(), nullptr);
    const bool report = WriteReport(s.out + "/" + RECAL_REPORT_NAME, run.entries);
    return report && run.failed_paths.empty();
  };
}

overwrite_faults::Flow FromSmtFlow(const Survey& s) {
  return [s] {
    const RecalcRun run = RecalcAllFromSmt(s.inputs, s.dir + "/smt", s.out, RecalcTexts(), nullptr);
    const bool report = WriteReport(s.out + "/" + RECAL_SMT_REPORT_NAME, run.entries);
    return report && run.failed_paths.empty();
  };
}

}  // namespace

TEST(OverwriteFaults, RecalcOnAFullDiskKeepsTheOldFiles) {
  SKIP_ON_WINDOWS("no fork, no file size limit");
  const Survey s = MakeSurvey("composed_full", RECAL_REPORT_NAME);
  // Nothing fits; then the reports fit but the SRS files break off halfway.
  overwrite_faults::ExpectFullDiskKeepsOldFiles(s.targets, ComposedFlow(s), {1, 20000});
  EXPECT_EQ(overwrite_faults::Slurp(s.targets[2]), "L101_01 写入失败!\n\nL101_02 写入失败!\n\n");
  const Survey t = MakeSurvey("smt_full", RECAL_SMT_REPORT_NAME);
  overwrite_faults::ExpectFullDiskKeepsOldFiles(t.targets, FromSmtFlow(t), {1, 20000});
  EXPECT_EQ(overwrite_faults::Slurp(t.targets[2]), "L101_01 写入失败!\n\nL101_02 写入失败!\n\n");
}

TEST(OverwriteFaults, RecalcKilledAtRandomMomentsLeavesOldOrCompleteFiles) {
  SKIP_ON_WINDOWS("no fork");
  const Survey s = MakeSurvey("composed_kill", RECAL_REPORT_NAME);
  const int hit = overwrite_faults::ExpectKillsLeaveOldOrNew(s.targets, ComposedFlow(s), 10, 1234);
  const Survey t = MakeSurvey("smt_kill", RECAL_SMT_REPORT_NAME);
  const int hit_smt = overwrite_faults::ExpectKillsLeaveOldOrNew(t.targets, FromSmtFlow(t), 10, 4321);
  // Kills must land inside the runs, or the test proves little. The kill
  // times follow a duration measured once, so a loaded machine shifts them:
  // ask for a quarter, not for most.
  EXPECT_GE(hit + hit_smt, 5);
}
