#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "core/base/ex_file.h"
#include "core/processing/sip_spect2res.h"
#include "core/processing/srs_recalc.h"
#include "core/processing/synth_current.h"
#include "test_files.h"
#include "../windows_skip.h"

namespace {

const std::string kGen = GEN_SURVEY_EXE;

// A generated survey of two files: L101_01 measured with the current station
// CS01 (device 1), L101_02 with a hand-entered current; four receivers of six
// channels, the third laid out with descending sites.
std::string MakeSurvey(const std::string& name, const std::string& args = "") {
  const std::string dir = testing::TempDir() + "varnex_srs_recalc_" + name;
  EXPECT_EQ(std::system(("rm -rf '" + dir + "'").c_str()), 0);
  EXPECT_EQ(std::system(("'" + kGen + "' '" + dir + "' --seed 5 --files 2 " + args).c_str()), 0);
  return dir;
}

bool Exists(const std::string& path) { return std::ifstream(path).good(); }

// The file object as the bytes it would write. The scratch file is the
// process's own: the test runner runs several of these tests at once.
std::string Bytes(CFormatSRS& srs) {
  const std::string path = testing::TempDir() + "varnex_srs_recalc_bytes_" + std::to_string(getpid()) + ".SRS";
  EXPECT_TRUE(srs.Write(path));
  return Slurp(path);
}

CFormatSRS Load(const std::string& path) {
  CFormatSRS srs;
  EXPECT_TRUE(srs.Read(path)) << path;
  return srs;
}

void ExpectSameItems(CResultSip& a, CResultSip& b) {
  ASSERT_EQ(a.GetChNum(), b.GetChNum());
  ASSERT_EQ(a.GetHarmNum(), b.GetHarmNum());
  for (int e = 0; e < a.GetChNum(); ++e) {
    EXPECT_EQ(a.GetChInfo(e).idx_dev, b.GetChInfo(e).idx_dev) << e;
    EXPECT_EQ(a.GetChInfo(e).idx_dev_ch, b.GetChInfo(e).idx_dev_ch) << e;
    EXPECT_EQ(a.GetChInfo(e).site_no, b.GetChInfo(e).site_no) << e;
    for (int p = 0; p < a.GetHarmNum(); ++p) {
      const ResItem x = a.GetItem(e, 0, p), y = b.GetItem(e, 0, p);
      EXPECT_EQ(x.bad, y.bad) << e << " " << p;
      for (int t = 0; t < TYPE_CNT; ++t) {
        EXPECT_EQ(x.blk[t].value, y.blk[t].value) << e << " " << p << " " << t;
        EXPECT_EQ(x.blk[t].count, y.blk[t].count) << e << " " << p << " " << t;
      }
    }
  }
}

struct CountingProgress : RunProgress {
  int stop_at = -1;
  std::vector<std::string> seen;
  bool OnFile(int index, int count, const std::string& path) override {
    seen.push_back(std::to_string(index) + "/" + std::to_string(count) + " " + path);
    return index != stop_at;
  }
};

}  // namespace

TEST(SrsRecalc, BaseNameStopsAtTheFirstDot) {
  const struct {
    const char* path;
    const char* base;
  } cases[] = {
      {"/data/line 1/L101_01.SRS", "L101_01"}, {"L101_01.SRS", "L101_01"}, {"/a.b/c.d.SRS", "c"},
      {"/data/noext", "noext"},                  {"/data/.hidden", ""},      {"/data/dir/", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(SrsBaseName(c.path), c.base) << c.path;

  EXPECT_EQ(RecalcArg("%1 打开成功!\n", "L1"), "L1 打开成功!\n");
  EXPECT_EQ(RecalcArg("%1-%1 %2", "x"), "x-x %2");
  EXPECT_EQ(RecalcArg("none", "x"), "none");
  EXPECT_EQ(SmtPathFor("/smt", "/srs/L101_01.SRS", "ST01"), "/smt/ST01/L101_01.smt");
}

TEST(SrsRecalc, ComposedFrequenciesFollowTheCount) {
  const std::string dir = MakeSurvey("composed");
  const struct {
    int a;
    std::vector<double> labels;  // in units of the base frequency
  } cases[] = {
      {4, {2.5, 6.5, 10.5, 14.5}},
      {16, {8.5}},
      {6, {3.5, 9.5}},
      {1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.a);
    CFormatSRS srs = Load(dir + "/L101_01.SRS");
    ASSERT_EQ(srs.m_prm_meas.freq_base, 0.25f);
    const int b = int(c.labels.size());
    // The reference: the engine's own composed calculation on a copy whose
    // composed result has the new shape and the entries in file order.
    CFormatSRS ref = Load(dir + "/L101_01.SRS");
    ref.m_res_composed.DoInit(ref.m_res.GetChNum(), 1, b);
    for (int e = 0; e < ref.m_res.GetChNum(); ++e) ref.m_res_composed.SetChInfo(e, ref.m_res.GetChInfo(e));
    for (int i = 0; i < b; ++i) ref.m_res_composed.SetFreq(0, i, float(c.labels[size_t(i)] * 0.25));
    CSipSpect2Res engine;
    engine.Init(&ref);
    ASSERT_EQ(engine.GetHarmGroup(), 16 / b);
    CResultSip expected;
    engine.CalcResComposed(expected);

    ASSERT_TRUE(RecomputeComposed(srs, c.a));
    ASSERT_EQ(srs.m_res_composed.GetHarmNum(), b);
    for (int i = 0; i < b; ++i) EXPECT_EQ(srs.m_res_composed.GetFreq(0, i), float(c.labels[size_t(i)] * 0.25));
    ExpectSameItems(srs.m_res_composed, expected);
  }

  CFormatSRS srs = Load(dir + "/L101_01.SRS");
  EXPECT_FLOAT_EQ(srs.m_res_composed.GetFreq(0, 0), 0.625f);
  const std::string before = Bytes(srs);
  for (int a : {0, 17, -4}) {
    EXPECT_FALSE(RecomputeComposed(srs, a)) << a;
    EXPECT_EQ(Bytes(srs), before) << a;
  }
}

TEST(SrsRecalc, ComposedEntriesKeepTheOrderOfTheSpectra) {
  // Receiver 3 descends and receiver 4 repeats the sites of receiver 2, so the
  // site order differs from the file order.
  const std::string dir = MakeSurvey("order");
  CFormatSRS srs = Load(dir + "/L101_02.SRS");
  CSipSpect2Res engine;
  engine.Init(&srs);
  const std::vector<int> order = engine.GetChOrder();
  bool sorted = true;
  for (size_t k = 0; k < order.size(); ++k) sorted = sorted && order[k] == int(k);
  ASSERT_FALSE(sorted);

  ASSERT_TRUE(RecomputeComposed(srs, 4));
  ASSERT_EQ(srs.m_res_composed.GetChNum(), srs.m_res.GetChNum());
  for (int e = 0; e < srs.m_res.GetChNum(); ++e) {
    EXPECT_EQ(srs.m_res_composed.GetChInfo(e).idx_dev, srs.m_res.GetChInfo(e).idx_dev) << e;
    EXPECT_EQ(srs.m_res_composed.GetChInfo(e).idx_dev_ch, srs.m_res.GetChInfo(e).idx_dev_ch) << e;
  }
  // The stored composed points group the same four harmonics; channels
  // without a bad calculation therefore keep their values.
  CFormatSRS stored = Load(dir + "/L101_02.SRS");
  for (int e : {0, 9, 14, 20}) {
    EXPECT_NEAR(srs.m_res_composed.GetItem(e, 0, 1).blk[RES_APP].value,
                stored.m_res_composed.GetItem(e, 0, 1).blk[RES_APP].value,
                1e-4 * stored.m_res_composed.GetItem(e, 0, 1).blk[RES_APP].value)
        << e;
  }
}

TEST(SrsRecalc, MissingCurrentStationLeavesTheFileUnchanged) {
  const std::string dir = MakeSurvey("nocur");
  const std::string cur = dir + "/smt/CS01/L101_01.smt";
  ASSERT_EQ(std::remove(cur.c_str()), 0);
  CFormatSRS srs = Load(dir + "/L101_01.SRS");
  ASSERT_EQ(srs.m_prm_meas.curr_station_used, 1);
  const std::string before = Bytes(srs);
  std::vector<std::string> done{"old"}, miss{"old"};
  std::string cur_path;
  EXPECT_FALSE(RecalcFromSmt(srs, dir + "/smt", &done, &miss, &cur_path));
  EXPECT_EQ(cur_path, cur);
  EXPECT_TRUE(done.empty());
  EXPECT_TRUE(miss.empty());
  EXPECT_EQ(Bytes(srs), before);

  // A current time series recorded with other settings is as good as none.
  ASSERT_EQ(std::system(("'" + kGen + "' '" + dir + "/other' --seed 5 --files 1 --sample-rate 30").c_str()), 0);
  ASSERT_EQ(std::rename((dir + "/other/smt/CS01/L101_01.smt").c_str(), cur.c_str()), 0);
  cur_path.clear();
  EXPECT_FALSE(RecalcFromSmt(srs, dir + "/smt", &done, &miss, &cur_path));
  EXPECT_EQ(cur_path, cur);
  EXPECT_EQ(Bytes(srs), before);
}

TEST(SrsRecalc, HandEnteredCurrentIsSynthesized) {
  const std::string dir = MakeSurvey("handcur");
  ASSERT_EQ(std::system(("rm -rf '" + dir + "/smt/CS01'").c_str()), 0);
  CFormatSRS srs = Load(dir + "/L101_02.SRS");
  const PrmMeas& m = srs.m_prm_meas;
  ASSERT_EQ(m.curr_station_used, 0);
  ASSERT_EQ(m.harm_num, 16);
  ASSERT_EQ(baseFreqIndex(m.freq_base), 6);
  std::vector<std::string> done, miss;
  std::string cur_path = "old";
  ASSERT_TRUE(RecalcFromSmt(srs, dir + "/smt", &done, &miss, &cur_path));
  EXPECT_EQ(done, (std::vector<std::string>{"ST01", "ST02", "ST03", "ST04"}));
  EXPECT_TRUE(miss.empty());

  const int n = srs.m_spect_u.DoGetCalNum();
  EXPECT_EQ(n, 6);
  ASSERT_EQ(srs.m_spect_i.DoGetBuffChNum(), 1);
  ASSERT_EQ(srs.m_spect_i.DoGetBuffHarmNum(), 16);
  ASSERT_EQ(srs.m_spect_i.DoGetCalNum(), n);
  for (int c = 0; c < n; ++c)
    for (int k = 0; k < 16; ++k) {
      const SpectItem it = srs.m_spect_i.DoGetItemOf(0, 0, k, c);
      EXPECT_EQ(it.m_valid, 1);
      EXPECT_NEAR(std::hypot(it.re, it.im), double(m.cur_value) * SPREAD_AMP[6][k], 1e-5) << k;
      EXPECT_NEAR(std::atan2(it.im, it.re), SPREAD_PHASE[6][k] / 1000.0, 1e-5) << k;
    }

  // A v2i of 0 cannot divide; the synthesized current is the entered one.
  CFormatSRS zero = Load(dir + "/L101_02.SRS");
  zero.m_prm_meas.v2i = 0.0f;
  ASSERT_TRUE(RecalcFromSmt(zero, dir + "/smt", &done, &miss, &cur_path));
  const SpectItem it = zero.m_spect_i.DoGetItemOf(0, 0, 0, 0);
  EXPECT_NEAR(std::hypot(it.re, it.im), double(m.cur_value) * SPREAD_AMP[6][0], 1e-5);
}

TEST(SrsRecalc, CurrentStationWithoutAUsableFactorIsRefused) {
  const std::string dir = MakeSurvey("v2i");
  for (float v2i : {0.0f, -0.1f, NAN}) {
    CFormatSRS srs = Load(dir + "/L101_01.SRS");
    srs.m_prm_meas.v2i = v2i;
    const std::string before = Bytes(srs);
    std::vector<std::string> done, miss;
    std::string cur_path = "old";
    EXPECT_FALSE(RecalcFromSmt(srs, dir + "/smt", &done, &miss, &cur_path)) << v2i;
    EXPECT_TRUE(cur_path.empty());
    EXPECT_EQ(Bytes(srs), before);
  }
}

TEST(SrsRecalc, DevicesAreListedOnceByTheirTrimmedNames) {
  SKIP_ON_WINDOWS("file and folder names cannot end in a blank");
  const std::string dir = MakeSurvey("devices");
  CFormatSRS srs = Load(dir + "/L101_01.SRS");
  // Device 2 is ST02: its name gets a trailing blank and its folder too.
  ASSERT_STREQ(srs.m_vt_prm_dev[2].dev_name, "ST02");
  SipSetStr(srs.m_vt_prm_dev[2].dev_name, "ST02 ");
  ASSERT_EQ(std::rename((dir + "/smt/ST02").c_str(), (dir + "/smt/ST02 ").c_str()), 0);
  // ST03 has no time series, ST04 one of another sample rate.
  ASSERT_EQ(std::remove((dir + "/smt/ST03/L101_01.smt").c_str()), 0);
  ASSERT_EQ(std::system(("'" + kGen + "' '" + dir + "/other' --seed 5 --files 1 --sample-rate 30").c_str()), 0);
  ASSERT_EQ(std::rename((dir + "/other/smt/ST04/L101_01.smt").c_str(), (dir + "/smt/ST04/L101_01.smt").c_str()), 0);

  CFormatSRS stored = Load(dir + "/L101_01.SRS");
  std::vector<std::string> done, miss;
  std::string cur_path;
  ASSERT_TRUE(RecalcFromSmt(srs, dir + "/smt", &done, &miss, &cur_path));
  EXPECT_EQ(done, (std::vector<std::string>{"ST01", "ST02"}));
  EXPECT_EQ(miss, (std::vector<std::string>{"ST03", "ST04"}));
  // Entries 12..23 belong to ST03 and ST04: their stored spectra stay.
  for (int e = 12; e < 24; ++e)
    for (int c = 0; c < 6; ++c)
      for (int h = 0; h < 16; ++h) {
        const SpectItem a = stored.m_spect_u.DoGetItemOf(e, 0, h, c);
        const SpectItem b = srs.m_spect_u.DoGetItemOf(e, 0, h, c);
        ASSERT_EQ(a.m_valid, b.m_valid) << e;
        EXPECT_EQ(a.re, b.re);
        EXPECT_EQ(a.im, b.im);
      }
  // A recomputed channel takes the current's coherence into its weights.
  EXPECT_NE(srs.m_spect_u.DoGetItemOf(0, 0, 0, 0).coh_ts, 0.0f);
}

TEST(SrsRecalc, ComposedResultWithoutPointsIsNotDividedBy) {
  const std::string dir = MakeSurvey("nopoints");
  CFormatSRS srs = Load(dir + "/L101_02.SRS");
  srs.m_res_composed.DoInit(srs.m_res.GetChNum(), 1, 0);
  std::vector<std::string> done, miss;
  std::string cur_path;
  ASSERT_TRUE(RecalcFromSmt(srs, dir + "/smt", &done, &miss, &cur_path));
  for (bool force : {true, false}) {
    CFormatSRS copy = srs;
    RecomputeResultsAfterSmt(copy, force);
    EXPECT_EQ(copy.m_res_composed.GetHarmNum(), 0);
    EXPECT_GT(copy.m_res.GetItem(0, 0, 0).blk[RES_APP].count, 0u);
  }
  // Regrouping gives it points again.
  ASSERT_TRUE(RecomputeComposed(srs, 4));
  EXPECT_EQ(srs.m_res_composed.GetHarmNum(), 4);
  EXPECT_GT(srs.m_res_composed.GetItem(0, 0, 0).blk[RES_APP].count, 0u);

  // Written so, the file goes through the all-files run.
  CFormatSRS file = Load(dir + "/L101_02.SRS");
  file.m_res_composed.DoInit(file.m_res.GetChNum(), 1, 0);
  ASSERT_TRUE(file.Write(dir + "/L101_09.SRS"));
  ASSERT_EQ(std::rename((dir + "/smt/ST01/L101_02.smt").c_str(), (dir + "/smt/ST01/L101_09.smt").c_str()), 0);
  ASSERT_TRUE(ex_mkdirs((dir + "/out").c_str()));
  const RecalcRun run = RecalcAllFromSmt({dir + "/L101_09.SRS"}, dir + "/smt", dir + "/out", RecalcTexts(), nullptr);
  ASSERT_EQ(run.entries.size(), 1u);
  EXPECT_EQ(run.entries[0], "L101_09 打开成功!\n重计算仪器: ST01\n未计算仪器: ST02,ST03,ST04\n\n");
}

TEST(SrsRecalc, AllFilesGiveOneEntryEachInOrder) {
  const std::string dir = MakeSurvey("all");
  const std::vector<std::string> paths = {dir + "/L101_01.SRS", dir + "/gone.SRS", dir + "/L101_02.SRS"};
  ASSERT_TRUE(ex_mkdirs((dir + "/out").c_str()));
  CountingProgress progress;
  RecalcRun run = RecalcAllComposed(paths, 4, dir + "/out", RecalcTexts(), &progress);
  EXPECT_EQ(run.entries,
            (std::vector<std::string>{"L101_01 重计算成功!\n", "gone 打开失败!\n\n", "L101_02 重计算成功!\n"}));
  EXPECT_EQ(run.failed_paths, (std::vector<std::string>{dir + "/gone.SRS"}));
  EXPECT_EQ(run.failed_why.size(), 1u);
  EXPECT_FALSE(run.cancelled);
  EXPECT_EQ(progress.seen, (std::vector<std::string>{"0/3 " + paths[0], "1/3 " + paths[1], "2/3 " + paths[2]}));
  EXPECT_EQ(Load(dir + "/out/L101_02.SRS").m_res_composed.GetHarmNum(), 4);

  run = RecalcAllComposed(paths, 4, dir + "/no/such/dir", RecalcTexts(), nullptr);
  EXPECT_EQ(run.entries,
            (std::vector<std::string>{"L101_01 写入失败!\n\n", "gone 打开失败!\n\n", "L101_02 写入失败!\n\n"}));
  EXPECT_EQ(run.failed_paths.size(), 3u);

  RecalcTexts english;
  english.open_ok = "%1 open successfull!\n";
  english.recal_failed = "%1 recalculation failed!\n";
  english.devices_done = "Recalculation devices: %1\n";
  english.devices_miss_none = "UnCalculated devices: none\n\n";
  ASSERT_EQ(std::remove((dir + "/smt/CS01/L101_01.smt").c_str()), 0);
  run = RecalcAllFromSmt(paths, dir + "/smt", dir + "/out", english, nullptr);
  EXPECT_EQ(run.entries, (std::vector<std::string>{
                             "L101_01 recalculation failed!\n",
                             "gone 打开失败!\n\n",
                             "L101_02 open successfull!\nRecalculation devices: ST01,ST02,ST03,ST04\n"
                             "UnCalculated devices: none\n\n",
                         }));
  EXPECT_EQ(run.failed_paths, (std::vector<std::string>{paths[0], paths[1]}));
  EXPECT_NE(run.failed_why[0].find(dir + "/smt/CS01/L101_01.smt"), std::string::npos);
}

TEST(SrsRecalc, EmptyListsInvalidCountsAndCancelledRuns) {
  const std::string dir = MakeSurvey("empty");
  const std::string out = dir + "/out";
  ASSERT_TRUE(ex_mkdirs(out.c_str()));
  RecalcRun run = RecalcAllComposed({}, 4, out, RecalcTexts(), nullptr);
  EXPECT_TRUE(run.entries.empty());
  run = RecalcAllFromSmt({}, dir + "/smt", out, RecalcTexts(), nullptr);
  EXPECT_TRUE(run.entries.empty());
  run = RecalcAllComposed({dir + "/L101_01.SRS"}, 0, out, RecalcTexts(), nullptr);
  EXPECT_TRUE(run.entries.empty());
  EXPECT_FALSE(Exists(out + "/L101_01.SRS"));

  CountingProgress progress;
  progress.stop_at = 1;
  run = RecalcAllComposed({dir + "/L101_01.SRS", dir + "/L101_02.SRS"}, 4, out, RecalcTexts(), &progress);
  EXPECT_TRUE(run.cancelled);
  EXPECT_EQ(run.entries, (std::vector<std::string>{"L101_01 重计算成功!\n"}));
  EXPECT_TRUE(Exists(out + "/L101_01.SRS"));
  EXPECT_FALSE(Exists(out + "/L101_02.SRS"));
}

TEST(SrsRecalc, ReportHoldsTheEntriesAsTheyAre) {
  const std::string path = testing::TempDir() + "varnex_srs_recalc_report.txt";
  ASSERT_TRUE(WriteReport(path, {"L1 重计算成功!\n", "L2 打开失败!\n\n"}));
  EXPECT_EQ(Slurp(path), "L1 重计算成功!\nL2 打开失败!\n\n");
  ASSERT_TRUE(WriteReport(path, {}));
  EXPECT_EQ(Slurp(path), "");
  EXPECT_FALSE(WriteReport(testing::TempDir() + "no/such/dir/report.txt", {"x"}));
}


TEST(SrsRecalc, OneFileFromTimeSeriesReadRebuiltAndWritten) {
  const std::string dir = MakeSurvey("one_smt");
  const std::string in = dir + "/L101_02.SRS";
  ASSERT_TRUE(ex_mkdirs((dir + "/out").c_str()));

  // The single-file flow writes what the all-files run writes when the
  // composed mode is left to the waveform.
  CFormatSRS srs;
  SmtRebuild r = RebuildSrsFileFromSmt(srs, in, dir + "/smt", false, dir + "/out/one.SRS");
  ASSERT_EQ(r.status, SmtRebuildStatus::Ok) << r.why;
  EXPECT_EQ(r.done, (std::vector<std::string>{"ST01", "ST02", "ST03", "ST04"}));
  EXPECT_TRUE(r.miss.empty());
  RecalcAllFromSmt({in}, dir + "/smt", dir + "/out", RecalcTexts(), nullptr);
  EXPECT_EQ(Slurp(dir + "/out/one.SRS"), Slurp(dir + "/out/L101_02.SRS"));
  EXPECT_EQ(Bytes(srs), Slurp(dir + "/out/one.SRS"));

  // A write that cannot happen keeps the rebuilt data and leaves no file.
  CFormatSRS again;
  r = RebuildSrsFileFromSmt(again, in, dir + "/smt", true, dir + "/no/such/dir/x.SRS");
  EXPECT_EQ(r.status, SmtRebuildStatus::WriteFailed);
  EXPECT_FALSE(r.why.empty());
  EXPECT_FALSE(Exists(dir + "/no/such/dir/x.SRS"));

  r = RebuildSrsFileFromSmt(again, dir + "/gone.SRS", dir + "/smt", true, dir + "/out/gone.SRS");
  EXPECT_EQ(r.status, SmtRebuildStatus::ReadFailed);
  EXPECT_FALSE(r.why.empty());
  EXPECT_FALSE(Exists(dir + "/out/gone.SRS"));

  ASSERT_EQ(std::remove((dir + "/smt/CS01/L101_01.smt").c_str()), 0);
  r = RebuildSrsFileFromSmt(again, dir + "/L101_01.SRS", dir + "/smt", true, dir + "/out/cur.SRS");
  EXPECT_EQ(r.status, SmtRebuildStatus::NoCurrent);
  EXPECT_EQ(r.cur_path, dir + "/smt/CS01/L101_01.smt");
  EXPECT_FALSE(Exists(dir + "/out/cur.SRS"));
}

// The all-files run prepares files on several threads; what it writes and
// reports is what rebuilding the files one at a time writes and reports,
// failures in the middle included, and a cancel stops the writes there.
TEST(SrsRecalc, AllFromTimeSeriesAheadWritesWhatOneFileAtATimeWrites) {
  const std::string dir = testing::TempDir() + "varnex_srs_recalc_ahead";
  ASSERT_EQ(std::system(("rm -rf '" + dir + "' && '" + kGen + "' '" + dir + "' --seed 11 --files 6").c_str()), 0);
  // L101_03 was measured with the current station; without its time series
  // the file cannot be rebuilt.
  ASSERT_EQ(std::remove((dir + "/smt/CS01/L101_03.smt").c_str()), 0);
  const std::vector<std::string> names = {"L101_01", "L101_02", "gone", "L101_03", "L101_04", "L101_05", "L101_06"};
  std::vector<std::string> paths;
  for (const std::string& n : names) paths.push_back(dir + "/" + n + ".SRS");
  const std::string one = dir + "/one", all = dir + "/all";
  ASSERT_TRUE(ex_mkdirs(one.c_str()));
  ASSERT_TRUE(ex_mkdirs(all.c_str()));

  std::vector<std::string> entries, failed;
  for (const std::string& p : paths) {
    const RecalcRun r = RecalcAllFromSmt({p}, dir + "/smt", one, RecalcTexts(), nullptr);
    ASSERT_EQ(r.entries.size(), 1u);
    entries.push_back(r.entries[0]);
    failed.insert(failed.end(), r.failed_paths.begin(), r.failed_paths.end());
  }
  ASSERT_EQ(failed, (std::vector<std::string>{paths[2], paths[3]}));
  EXPECT_EQ(entries[2], "gone 打开失败!\n\n");
  EXPECT_EQ(entries[3], "L101_03 重计算失败!\n");

  CountingProgress progress;
  const RecalcRun run = RecalcAllFromSmt(paths, dir + "/smt", all, RecalcTexts(), &progress);
  EXPECT_FALSE(run.cancelled);
  EXPECT_EQ(run.entries, entries);
  EXPECT_EQ(run.failed_paths, failed);
  EXPECT_EQ(progress.seen.size(), paths.size());
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string out = "/" + names[i] + ".SRS";
    EXPECT_EQ(Exists(all + out), Exists(one + out)) << names[i];
    if (Exists(one + out)) {
      EXPECT_EQ(Slurp(all + out), Slurp(one + out)) << names[i];
    }
  }

  const std::string cut = dir + "/cut";
  ASSERT_TRUE(ex_mkdirs(cut.c_str()));
  CountingProgress stop;
  stop.stop_at = 5;
  const RecalcRun cancelled = RecalcAllFromSmt(paths, dir + "/smt", cut, RecalcTexts(), &stop);
  EXPECT_TRUE(cancelled.cancelled);
  EXPECT_EQ(cancelled.entries, std::vector<std::string>(entries.begin(), entries.begin() + 5));
  EXPECT_EQ(Slurp(cut + "/L101_04.SRS"), Slurp(one + "/L101_04.SRS"));
  EXPECT_FALSE(Exists(cut + "/L101_05.SRS"));
  EXPECT_FALSE(Exists(cut + "/L101_06.SRS"));
}
