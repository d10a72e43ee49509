#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/processing/pass_rate.h"
#include "core/processing/srs_dump.h"
#include "core/processing/srs_recalc.h"
#include "core/sip/format_srs.h"
#include "test_files.h"

namespace {

void SetBlock(ResItem* item, int k, float value, float err) {
  item->blk[k].value = value;
  item->blk[k].err = err;
  item->blk[k].count = 6;
}

ResItem Item(float app, float app_err, float cp_err, float fs_err) {
  ResItem it;
  SetBlock(&it, RES_APP, app, app_err);
  SetBlock(&it, RES_CP, 0.01f, cp_err);
  SetBlock(&it, RES_FS, 0.02f, fs_err);
  return it;
}

// Four channels at point (0, 0): one passes, one breaks each threshold of
// the page's own defaults (1 %, 5 mrad) or of an FS threshold of 0.1 %.
CResultSip FourChannels() {
  CResultSip res;
  res.DoInit(4, 1, 2);
  res.SetItem(0, 0, 0, Item(100.0f, 0.5f, 0.001f, 0.0005f));
  res.SetItem(1, 0, 0, Item(100.0f, 2.0f, 0.001f, 0.0005f));
  res.SetItem(2, 0, 0, Item(100.0f, 0.5f, 0.009f, 0.0005f));
  res.SetItem(3, 0, 0, Item(100.0f, 0.5f, 0.001f, 0.002f));
  for (int c = 0; c < 4; ++c) res.SetItem(c, 0, 1, Item(100.0f, 0.5f, 0.001f, 0.0005f));
  return res;
}

}  // namespace

TEST(PassRate, CountsChannelsThatPassAllThreeRows) {
  CResultSip res = FourChannels();
  std::vector<LimitItem> limits = limit_default_results();
  PassRate pr = PassRateOf(res, limits);
  EXPECT_EQ(pr.channels, 4);
  EXPECT_EQ(pr.qualified, 2);  // FS is off by default
  EXPECT_DOUBLE_EQ(pr.rate, 50.0);

  limit_set_pair(&limits[LIMIT_ROW_FS], LIMIT_STD, 0.001f);
  pr = PassRateOf(res, limits);
  EXPECT_EQ(pr.qualified, 1);
  EXPECT_EQ(PassRateFigure(pr.rate), "25.0");

  // Another point of the list has its own figures.
  EXPECT_EQ(PassRateOf(res, limits, 0, 1).qualified, 4);
  // Outside the result: channels counted, none qualified.
  pr = PassRateOf(res, limits, 0, 2);
  EXPECT_EQ(pr.channels, 4);
  EXPECT_EQ(pr.qualified, 0);
}

TEST(PassRate, NoChannelsIsZero) {
  CResultSip res;
  const PassRate pr = PassRateOf(res, limit_default_results());
  EXPECT_EQ(pr.channels, 0);
  EXPECT_EQ(PassRateFigure(pr.rate), "0.0");
  EXPECT_EQ(PassRateFigure(87.46), "87.5");
}

TEST(PassRate, FrequencyPointsSplitByTheHarmonicNumber) {
  CFormatSRS srs;
  srs.m_prm_meas.harm_num = 4;
  int f = -1, h = -1;
  FreqPointToIndex(srs, 6, &f, &h);
  EXPECT_EQ(f, 1);
  EXPECT_EQ(h, 2);
  srs.m_prm_meas.harm_num = 0;
  FreqPointToIndex(srs, 3, &f, &h);
  EXPECT_EQ(f, 3);
  EXPECT_EQ(h, 0);
}

TEST(PassRateLimits, TakenFromTheExportTable) {
  // The export page's defaults: 100 % and pi rad, FS off.
  const std::vector<LimitItem> page = limit_default_results_page();
  ASSERT_EQ(page.size(), size_t(LIMIT_RESULTS_ROWS));
  EXPECT_TRUE(page[LIMIT_ROW_APP].rel_on);
  EXPECT_FLOAT_EQ(page[LIMIT_ROW_APP].rel_max, 1.0f);
  EXPECT_TRUE(page[LIMIT_ROW_CP].std_on);
  EXPECT_FLOAT_EQ(page[LIMIT_ROW_CP].std_max, 3.1415927f);
  EXPECT_FALSE(page[LIMIT_ROW_FS].std_on);
  EXPECT_FALSE(page[0].min_on || page[0].max_on || page[0].rel_on || page[0].std_on);

  // Switched off in the export table: off in the page, the page's value kept.
  std::vector<LimitItem> shared = limit_default_export();
  limit_clear_pair(&shared[LIMIT_ROW_APP], LIMIT_REL);
  limit_clear_pair(&shared[LIMIT_ROW_CP], LIMIT_STD);
  std::vector<LimitItem> mine = limit_default_results();
  limit_set_pair(&mine[LIMIT_ROW_FS], LIMIT_STD, 0.3f);
  LimitsFromShared(&mine, shared);
  EXPECT_FALSE(mine[LIMIT_ROW_APP].rel_on);
  EXPECT_FLOAT_EQ(mine[LIMIT_ROW_APP].rel_max, 0.01f);
  EXPECT_FALSE(mine[LIMIT_ROW_CP].std_on);
  EXPECT_FALSE(mine[LIMIT_ROW_FS].std_on);
  EXPECT_FLOAT_EQ(mine[LIMIT_ROW_FS].std_max, 0.3f);

  // A short table changes nothing.
  std::vector<LimitItem> same = limit_default_results();
  LimitsFromShared(&same, std::vector<LimitItem>(2));
  EXPECT_TRUE(same[LIMIT_ROW_APP].rel_on);
  EXPECT_FLOAT_EQ(same[LIMIT_ROW_APP].rel_max, 0.01f);
}

TEST(SrsDump, DumpPathsBesideTheSource) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"/d/x/L01.SRS", "/d/x/L01.txt"},
      {"L01.srs", "L01.txt"},
      {"/d/a.txt", "/d/a.txt.txt"},
      {"/d/a.TXT", "/d/a.TXT.txt"},
      {"/d/测量文件", "/d/测txt"},
      {"ab", "txt"},
  };
  for (const Case& c : cases) EXPECT_EQ(DumpPathFor(c.in), c.out) << c.in;
  EXPECT_EQ(DirPartOf("/d/x/L01.SRS"), "/d/x");
  EXPECT_EQ(DirPartOf("L01.SRS"), ".");
  EXPECT_EQ(DirPartOf("/L01.SRS"), "/");
  EXPECT_EQ(DumpReportPathFor("/d/x/L01.SRS"), "/d/x/outTxtResult.txt");
}

TEST(SrsDump, AllFilesOneEntryEachAndTheReplacedOnes) {
  const std::string dir = testing::TempDir() + "varnex_srs_dump_all_" + std::to_string(::getpid());
  ASSERT_EQ(std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "'").c_str()), 0);
  ASSERT_EQ(std::system(("'" GEN_SURVEY_EXE "' '" + dir + "' --seed 3 --files 2 >/dev/null").c_str()), 0);
  const std::string a = dir + "/L101_01.SRS", b = dir + "/L101_02.SRS", bad = dir + "/BAD.SRS";
  std::ofstream(bad, std::ios::binary) << "not an SRS file";
  std::ofstream(dir + "/L101_02.txt", std::ios::binary) << "old dump";

  struct Stop : RunProgress {
    int calls = 0;
    bool OnFile(int, int, const std::string&) override { return ++calls < 100; }
  } progress;
  const DumpRun run = DumpAllSrs({a, bad, b}, DumpTexts(), &progress);
  EXPECT_FALSE(run.cancelled);
  EXPECT_EQ(progress.calls, 3);
  ASSERT_EQ(run.entries.size(), 3u);
  EXPECT_EQ(run.entries[0], "L101_01 导出成功!\n\n");
  EXPECT_EQ(run.entries[1], "BAD 打开失败!\n\n");
  EXPECT_EQ(run.entries[2], "L101_02 导出成功!\n\n");
  ASSERT_EQ(run.failed_paths, std::vector<std::string>{bad});
  EXPECT_FALSE(run.failed_why[0].empty());
  EXPECT_EQ(run.replaced, std::vector<std::string>{dir + "/L101_02.txt"});

  CFormatSRS srs;
  ASSERT_TRUE(srs.Read(a));
  srs.m_dump_res = false;
  ASSERT_TRUE(srs.Print(dir + "/expected.txt"));
  EXPECT_EQ(Slurp(dir + "/L101_01.txt"), Slurp(dir + "/expected.txt"));
}
