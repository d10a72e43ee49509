// Faults a fuzzing run and a hostile reading of the formats found: sizes
// taken from files without a bound, arrays without items but with huge
// dimensions, device names that lead out of the SMT folder, signed overflow
// of stored numbers, inputs that would overwrite each other's output.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "../windows_skip.h"
#include "alloc_probe.h"
#include "core/base/ex_file.h"
#include "core/processing/sip_ts2spect.h"
#include "core/processing/srs_dump.h"
#include "core/processing/srs_recalc.h"
#include "core/sip/format_smt.h"
#include "core/sip/format_srs.h"
#include "test_files.h"

namespace {

const std::string kGen = GEN_SURVEY_EXE;
constexpr size_t kAllocLimit = 64u << 20;

// Two files: L101_01 with the current station CS01, L101_02 with a
// hand-entered current; receivers ST01 to ST04.
std::string MakeSurvey(const std::string& name) {
  const std::string dir = testing::TempDir() + "varnex_hostile_" + name;
  EXPECT_EQ(std::system(("rm -rf '" + dir + "'").c_str()), 0);
  EXPECT_EQ(std::system(("'" + kGen + "' '" + dir + "' --seed 5 --files 2 --cals 3").c_str()), 0);
  return dir;
}

bool Exists(const std::string& path) { return std::ifstream(path).good(); }

std::string WriteSmt(const std::string& name, int rate, float freq, int harm_num, int rows) {
  CFormatSmt smt;
  smt.m_prm_meas.sample_rate = rate;
  smt.m_prm_meas.freq_base = freq;
  smt.m_prm_meas.harm_num = harm_num;
  std::vector<float> data[MAX_CH_NUM];
  for (auto& ch : data) ch.assign(size_t(rows), 0.01f);
  EXPECT_TRUE(smt.SetData(data));
  const std::string path = testing::TempDir() + "varnex_hostile_" + name + ".smt";
  EXPECT_TRUE(smt.Write(path));
  return path;
}

void SetHarmNum(const std::string& path, int harm_num) {
  CFormatSmt smt;
  ASSERT_TRUE(smt.Read(path)) << path;
  smt.m_prm_meas.harm_num = harm_num;
  ASSERT_TRUE(smt.Write(path));
}

struct PathLog {
  std::vector<std::string> paths;
  static void Note(const std::string& path, void* ctx) { static_cast<PathLog*>(ctx)->paths.push_back(path); }
};

}  // namespace

TEST(HostileFaults, HarmonicCountsBeyondWhatASegmentCarriesAreRefused) {
  // 15 Hz at 0.25 Hz: segments of 60 samples.
  for (int harm : {100000000, SIP_MAX_HARM_NUM + 1, 61}) {
    SCOPED_TRACE(harm);
    const std::string path = WriteSmt("harm", 15, 0.25f, harm, 600);
    CSipTs2Spect t;
    t.SetParams(15, 0.25f, harm, SIP_WAVE_SPREAD_SPECTRUM);
    AllocProbeReset();
    ASSERT_TRUE(t.CheckSmt(path));
    std::vector<SpectItem> out;
    EXPECT_EQ(t.CalcCh(SmtChRef{path, 0}, nullptr, &out), 0);
    EXPECT_TRUE(out.empty());
    std::vector<float> seg(60, 0.0f);
    if (harm > SIP_MAX_HARM_NUM) {
      EXPECT_FALSE(t.CalcSpect(seg.data(), 60, &out));
    }
    EXPECT_LT(AllocProbeLargest(), kAllocLimit);
  }
  // As many harmonics as samples is still computed, the ones beyond the
  // segment without value.
  const std::string path = WriteSmt("harm60", 15, 0.25f, 60, 600);
  CSipTs2Spect t;
  t.SetParams(15, 0.25f, 60, SIP_WAVE_SPREAD_SPECTRUM);
  std::vector<SpectItem> out;
  ASSERT_EQ(t.CalcCh(SmtChRef{path, 0}, nullptr, &out), 10);
  EXPECT_EQ(out[0].m_valid, 1);
  EXPECT_EQ(out[59].m_valid, 0);
}

TEST(HostileFaults, RebuildOfAFileWithAHugeHarmonicCountFailsWithoutAllocating) {
  const std::string dir = MakeSurvey("harm_rebuild");
  const std::string in = dir + "/L101_02.SRS";
  CFormatSRS srs;
  ASSERT_TRUE(srs.Read(in));
  srs.m_prm_meas.harm_num = 100000000;
  ASSERT_TRUE(srs.Write(in));
  for (const PrmDev& dev : srs.m_vt_prm_dev) SetHarmNum(dir + "/smt/" + dev.dev_name + "/L101_02.smt", 100000000);

  AllocProbeReset();
  const RecalcRun run = RecalcAllFromSmt({in}, dir + "/smt", dir + "/out", RecalcTexts(), nullptr);
  EXPECT_LT(AllocProbeLargest(), kAllocLimit);
  ASSERT_EQ(run.entries.size(), 1u);
  EXPECT_EQ(run.entries[0], "L101_02 重计算失败!\n");
  EXPECT_EQ(run.failed_paths, std::vector<std::string>{in});
  EXPECT_FALSE(Exists(dir + "/out/L101_02.SRS"));

  // With the file's own count sane, SMT files that claim another count are
  // devices without usable time series.
  srs.m_prm_meas.harm_num = 16;
  std::vector<std::string> done, miss;
  std::string cur;
  ASSERT_TRUE(RecalcFromSmt(srs, dir + "/smt", &done, &miss, &cur));
  EXPECT_TRUE(done.empty());
  EXPECT_EQ(miss.size(), srs.m_vt_prm_dev.size());
}

TEST(HostileFaults, ArraysWithoutItemsButHugeDimensionsAreRefused) {
  CFormatSRS srs;
  ASSERT_TRUE(srs.Read(std::string(TEST_DATA_DIR) + "/srs/tiny_square/L101_01.SRS"));
  const std::string path = testing::TempDir() + "varnex_hostile_empty.SRS";
  struct Dims {
    int ch, freq, harm;
  } cases[] = {{INT_MAX, 1, 1}, {1, 1, INT_MAX}, {1, INT_MAX, 1}, {46340, 46340, 1}, {1 << 18, 1, 1}};
  for (const Dims& d : cases) {
    SCOPED_TRACE(std::to_string(d.ch) + " " + std::to_string(d.freq) + " " + std::to_string(d.harm));
    CFormatSRS bad;
    ASSERT_TRUE(bad.Read(std::string(TEST_DATA_DIR) + "/srs/tiny_square/L101_01.SRS"));
    bad.m_spect_u.DoInit(d.ch, d.freq, d.harm, 0, -1, 2);
    ASSERT_TRUE(bad.Write(path));
    AllocProbeReset();
    CFormatSRS back;
    EXPECT_FALSE(back.Read(path));
    EXPECT_NE(back.GetError().find("voltage spectrum array at byte "), std::string::npos) << back.GetError();
    EXPECT_NE(back.GetError().find(": no items but dimensions "), std::string::npos) << back.GetError();
    EXPECT_LT(AllocProbeLargest(), kAllocLimit);
  }
  // The empty arrays this program makes still read, and dump.
  CFormatSRS fine;
  ASSERT_TRUE(fine.Read(std::string(TEST_DATA_DIR) + "/srs/tiny_square/L101_01.SRS"));
  fine.m_spect_u.DoInit(6000, 1, 16, 0, -1, 2);
  ASSERT_TRUE(fine.Write(path));
  CFormatSRS back;
  ASSERT_TRUE(back.Read(path)) << back.GetError();
  EXPECT_EQ(back.m_spect_u.DoGetBuffChNum(), 6000);
  EXPECT_FALSE(DumpOf(back).empty());

  // A result without frequency points must not claim a huge harmonic count.
  CFormatSRS res;
  ASSERT_TRUE(res.Read(std::string(TEST_DATA_DIR) + "/srs/tiny_square/L101_01.SRS"));
  res.m_res_composed.DoInit(0, 0, INT_MAX);
  ASSERT_TRUE(res.Write(path));
  EXPECT_FALSE(back.Read(path));
  EXPECT_NE(back.GetError().find("composed-frequency result at byte "), std::string::npos) << back.GetError();
  EXPECT_NE(back.GetError().find("no frequency points but counts 0 x 0 x 2147483647"), std::string::npos);
}

TEST(HostileFaults, DeviceNamesNeverLeadOutOfTheSmtFolder) {
  const std::string dir = MakeSurvey("names");
  const std::string smt_dir = dir + "/smt";
  const std::string in = dir + "/L101_02.SRS";
  const char* const hostile[] = {"../outside/evil", "../../../../../../etc", "/tmp/evil", "..", ".", "", "a\\b",
                                 "ST01/../ST02", "x.."};
  for (const char* name : hostile) {
    SCOPED_TRACE(name);
    CFormatSRS srs;
    ASSERT_TRUE(srs.Read(in));
    const std::string good = srs.m_vt_prm_dev[1].dev_name;
    SipSetStr(srs.m_vt_prm_dev[0].dev_name, name);
    // Where the name would lead, a file that would be taken.
    const std::string planted = smt_dir + "/" + name + "/L101_02.smt";
    if (std::string(name) == "../outside/evil") {
      ASSERT_EQ(std::system(("mkdir -p '" + smt_dir + "/" + name + "' && cp '" + smt_dir + "/ST01/L101_02.smt' '" +
                             planted + "'")
                                .c_str()),
                0);
    }
    EXPECT_EQ(SmtPathFor(smt_dir, in, name), "");

    PathLog log;
    CFormat::SetReadObserver(&PathLog::Note, &log);
    std::vector<std::string> done, miss;
    std::string cur;
    const bool ok = RecalcFromSmt(srs, smt_dir, &done, &miss, &cur);
    CFormat::SetReadObserver(nullptr, nullptr);
    ASSERT_TRUE(ok);
    ASSERT_FALSE(log.paths.empty());
    for (const std::string& p : log.paths) {
      EXPECT_EQ(p.rfind(smt_dir + "/ST0", 0), 0u) << p;
      EXPECT_EQ(p.find(".."), std::string::npos) << p;
    }
    EXPECT_EQ(std::find(log.paths.begin(), log.paths.end(), smt_dir + "/" + good + "/L101_02.smt") != log.paths.end(),
              true);
    EXPECT_NE(std::find(miss.begin(), miss.end(), std::string(name)), miss.end());
    EXPECT_EQ(std::find(done.begin(), done.end(), std::string(name)), done.end());
  }
  EXPECT_EQ(SmtPathFor(smt_dir, in, "ST01"), smt_dir + "/ST01/L101_02.smt");
  EXPECT_TRUE(SmtDeviceNameUsable("ST.01"));

  // A current station whose name leads outside is never opened either: the
  // file cannot be rebuilt, and the message shows what was looked for.
  CFormatSRS cur_file;
  ASSERT_TRUE(cur_file.Read(dir + "/L101_01.SRS"));
  ASSERT_TRUE(cur_file.m_prm_meas.curr_station_used);
  SipSetStr(cur_file.m_prm_meas.cur_station, "../CS01");
  PathLog log;
  CFormat::SetReadObserver(&PathLog::Note, &log);
  std::vector<std::string> done, miss;
  std::string cur;
  EXPECT_FALSE(RecalcFromSmt(cur_file, smt_dir, &done, &miss, &cur));
  CFormat::SetReadObserver(nullptr, nullptr);
  EXPECT_TRUE(log.paths.empty());
  EXPECT_EQ(cur, smt_dir + "/../CS01/L101_01.smt");
}

TEST(HostileFaults, LargestSiteNumberPrintsWithoutOverflow) {
  CFormatSRS srs;
  ASSERT_TRUE(srs.Read(std::string(TEST_DATA_DIR) + "/srs/spread_mid/L101_01.SRS"));
  for (CResultSip* r : {&srs.m_res, &srs.m_res_composed})
    for (int i = 0; i < r->GetChNum(); ++i) {
      ChInfo info = r->GetChInfo(i);
      info.site_no = INT_MAX;
      info.idx_dev_ch = INT_MAX;
      r->SetChInfo(i, info);
    }
  // A channel number past the device's channels is refused by the reader,
  // so the largest numbers are printed from the object itself.
  const std::string path = testing::TempDir() + "varnex_hostile_site.SRS";
  ASSERT_TRUE(srs.Write(path));
  CFormatSRS back;
  EXPECT_FALSE(back.Read(path));
  EXPECT_NE(back.GetError().find("names channel 2147483647 of device"), std::string::npos) << back.GetError();
  for (bool results : {false, true}) {
    srs.m_dump_res = results;
    const std::string text = DumpOf(srs);
    EXPECT_NE(text.find("2147483648"), std::string::npos);
    EXPECT_EQ(text.find("-2147483648"), std::string::npos);
  }
}

TEST(HostileFaults, InputsThatShareAnOutputNameNeverOverwriteEachOther) {
  const std::string dir = MakeSurvey("collide");
  const std::string in = dir + "/in";
  const std::string out = dir + "/out";
  ASSERT_EQ(std::system(("mkdir -p '" + in + "' '" + out + "' && cp '" + dir + "/L101_01.SRS' '" + in +
                         "/L101.a.SRS' && cp '" + dir + "/L101_02.SRS' '" + in + "/L101.b.SRS' && cp '" + dir +
                         "/L101_02.SRS' '" + in + "/.hidden.SRS'")
                            .c_str()),
            0);
  const std::vector<std::string> paths = {in + "/L101.a.SRS", in + "/L101.b.SRS", in + "/.hidden.SRS"};
  const RecalcRun run = RecalcAllComposed(paths, 4, out, RecalcTexts(), nullptr);
  ASSERT_EQ(run.entries.size(), 3u);
  EXPECT_EQ(run.entries[0], "L101 重计算成功!\n");
  EXPECT_EQ(run.entries[1], "L101 写入失败!\n\n");
  EXPECT_EQ(run.entries[2], " 写入失败!\n\n");
  ASSERT_EQ(run.failed_paths.size(), 2u);
  EXPECT_EQ(run.failed_paths[0], paths[1]);
  EXPECT_NE(run.failed_why[0].find("written from " + paths[0]), std::string::npos) << run.failed_why[0];
  EXPECT_EQ(run.failed_paths[1], paths[2]);
  EXPECT_FALSE(Exists(out + "/.SRS"));

  CFormatSRS first;
  ASSERT_TRUE(first.Read(paths[0]));
  RecomputeComposed(first, 4);
  const std::string expect_path = dir + "/expect.SRS";
  ASSERT_TRUE(first.Write(expect_path));
  EXPECT_EQ(Slurp(out + "/L101.SRS"), Slurp(expect_path));
}

// The time-series path and the dumps refuse the later of two inputs that
// share an output as the stored-spectra path does; the whole list is found
// before anything is written by FindOutputCollision.
TEST(HostileFaults, EveryPathRefusesTheLaterInputOfASharedOutput) {
  SKIP_ON_WINDOWS("names that differ only in case are one file there");
  const std::string dir = MakeSurvey("collide_all");
  const std::string a = dir + "/A", b = dir + "/B";
  ASSERT_EQ(std::system(("mkdir -p '" + a + "' '" + b + "' && cp '" + dir + "/L101_02.SRS' '" + a +
                         "/L101_02.SRS' && cp '" + dir + "/L101_02.SRS' '" + b + "/L101_02.SRS' && cp '" + dir +
                         "/L101_01.SRS' '" + a + "/L101_02.srs'")
                            .c_str()),
            0);
  ASSERT_TRUE(ex_mkdirs((dir + "/out").c_str()));
  const std::vector<std::string> ts_paths = {a + "/L101_02.SRS", b + "/L101_02.SRS"};
  const RecalcRun run = RecalcAllFromSmt(ts_paths, dir + "/smt", dir + "/out", RecalcTexts(), nullptr);
  ASSERT_EQ(run.failed_paths, std::vector<std::string>{ts_paths[1]});
  EXPECT_NE(run.failed_why[0].find("written from " + ts_paths[0]), std::string::npos) << run.failed_why[0];
  EXPECT_EQ(run.written, std::vector<std::string>{dir + "/out/L101_02.SRS"});
  EXPECT_EQ(run.entries.back(), "L101_02 写入失败!\n\n");

  const std::vector<std::string> dump_paths = {a + "/L101_02.SRS", a + "/L101_02.srs"};
  const DumpRun dumps = DumpAllSrs(dump_paths, DumpTexts(), nullptr);
  ASSERT_EQ(dumps.failed_paths, std::vector<std::string>{dump_paths[1]});
  EXPECT_NE(dumps.failed_why[0].find("written from " + dump_paths[0]), std::string::npos) << dumps.failed_why[0];
  CFormatSRS first;
  ASSERT_TRUE(first.Read(dump_paths[0]));
  first.m_dump_res = false;
  EXPECT_EQ(Slurp(a + "/L101_02.txt"), DumpOf(first));

  OutputCollision hit;
  EXPECT_TRUE(FindOutputCollision(dump_paths, DumpPathFor, &hit));
  EXPECT_EQ(hit.first, dump_paths[0]);
  EXPECT_EQ(hit.second, dump_paths[1]);
  EXPECT_EQ(OutputCollisionText(hit), dump_paths[0] + " and " + dump_paths[1] + " would both be written as " +
                                          a + "/L101_02.txt; nothing was written");
  auto out_of = [&](const std::string& p) { return RecalcOutPath(dir + "/none", p); };
  EXPECT_TRUE(FindOutputCollision(ts_paths, out_of, nullptr));
  EXPECT_FALSE(FindOutputCollision({a + "/L101_02.SRS", dir + "/L101_01.SRS"}, out_of, nullptr));
}
