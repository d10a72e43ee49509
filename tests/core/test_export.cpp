// The export writer on results made in the tests: channel selection, limits,
// counts, the pass-rate and check-point tables, merging, atomic completion.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/export/export_job.h"
#include "core/export/sip_export.h"
#include "test_files.h"

namespace {

bool Exists(const std::string& path) { return std::ifstream(path).good(); }

std::string TempBase(const std::string& name) {
  const std::string dir = testing::TempDir() + "varnex_export_" + name;
  std::string cmd = "rm -rf '" + dir + "' && mkdir -p '" + dir + "'";
  EXPECT_EQ(std::system(cmd.c_str()), 0);
  return dir + "/T";
}

std::vector<std::string> SplitLines(const std::string& s) {
  std::vector<std::string> out;
  std::stringstream ss(s);
  std::string line;
  while (std::getline(ss, line)) out.push_back(line);
  return out;
}

ResItem Item(float amp, float rho, float rho_err, float cp, float cp_err, uint32_t count) {
  ResItem it;
  it.blk[RES_U_AMP] = {amp, 0.0f, amp * 0.01f, count};
  it.blk[RES_APP] = {rho, 0.0f, rho_err, count};
  it.blk[RES_Z_PH] = {-cp, 0.0f, cp_err, count};
  it.blk[RES_CP] = {cp, 0.0f, cp_err, count};
  it.blk[RES_FS] = {0.01f, 0.0f, 0.001f, count};
  return it;
}

// A file of one device with channels at the given M positions (dipoles of
// 20 m), every channel with the same healthy item.
struct Survey {
  CFormatSRS srs;
  CResultSip& res() { return srs.m_res_composed; }
};

void MakeSurvey(Survey* s, int layout, float ax, float bx, const std::vector<float>& pos, int harm = 3,
                uint32_t count = 5) {
  PrmMeas& m = s->srs.m_prm_meas;
  m.layout = layout;
  m.ax = ax;
  m.bx = bx;
  m.ay = m.by = 0.0f;
  m.freq_base = 0.25f;
  m.mn = 20.0f;
  s->srs.m_vt_prm_dev.assign(1, PrmDev());
  SipSetStr(s->srs.m_vt_prm_dev[0].dev_name, "ST01");
  CResultSip& r = s->srs.m_res_composed;
  r.DoInit(int(pos.size()), 1, harm);
  r.SetPos(ax, 0.0f, bx, 0.0f);
  for (int h = 0; h < harm; ++h) r.SetFreq(0, h, 0.25f * float(2 * h + 1));
  for (size_t i = 0; i < pos.size(); ++i) {
    ChInfo info;
    info.dev_name = "ST01";
    info.idx_dev_ch = int(i % 6);
    info.site_no = int(i);
    info.line_no = 101;
    info.mn = 20.0f;
    info.m_pos = pos[i];
    r.SetChInfo(int(i), info);
    for (int h = 0; h < harm; ++h) r.SetItem(int(i), 0, h, Item(0.01f, 100.0f + float(i), 1.0f, 0.02f, 0.001f, count));
  }
  s->srs.m_res = r;
}

struct Writer {
  std::vector<LimitItem> limits = limit_default_export();
  ExportOptions opt;
  CSipExport ex{opt, SIP_POLE4_SOUNDING};
  explicit Writer(const std::string& base, int array_code = SIP_POLE4_SOUNDING) {
    opt.path_base = base;
    ex.m_array_code = array_code;
    opt.layout = array_code;
    ex.SetLimits(&limits);
    ex.Reset();
  }
};

TEST(Export, ErrorEstimateLineOfTheDefaultLimits) {
  Writer w("unused");
  EXPECT_EQ(w.ex.ErrorEstimateLine(),
            "Error estimate for data present(Limit: AppErr=100.00%, CpErr=3141.59mard, Amp=0.00~2500.00, "
            "App=0~1e+06, Cp=-3141.59~3141.59)\n");
}

TEST(Export, ATransmitterElectrodeOnTheDipoleIsNeverAUsableChannel) {
  struct Case {
    int array_code;
    float ax, bx;
    bool usable;
  };
  // The dipole runs from 100 to 120 m.
  const Case cases[] = {
      {SIP_POLE4_SOUNDING, 100.0f, 1000.0f, false},  // A on M
      {SIP_POLE4_SOUNDING, 120.0f, 1000.0f, false},  // A on N
      {SIP_POLE4_SOUNDING, 110.0f, 1000.0f, false},  // A inside
      {SIP_POLE4_SOUNDING, 99.9f, 1000.0f, true},
      {SIP_POLE4_SOUNDING, -100.0f, 120.0f, false},  // B on N
      {SIP_POLE3_SOUNDING, -100.0f, 120.0f, true},   // B is not an electrode of the array
      {SIP_POLE3_SOUNDING, 120.0f, -9999.0f, false},
  };
  for (const Case& c : cases) {
    Survey s;
    MakeSurvey(&s, c.array_code, c.ax, c.bx, {100.0f});
    Writer w("unused", c.array_code);
    EXPECT_EQ(w.ex.IsUsable(0, s.res(), s.srs, false), c.usable) << c.ax << " " << c.bx;
  }
}

TEST(Export, PerHarmonicLimitsUseTheMeanErrorOverHarmonics) {
  Survey s;
  MakeSurvey(&s, SIP_POLE4_SOUNDING, -100.0f, 1000.0f, {0.0f});
  Writer w("unused");
  w.limits[2].std_on = true;
  w.limits[2].std_max = 0.002f;
  // Harmonic 1 alone breaks the STD limit, the mean of 0.001, 0.0045, 0.001 too.
  ResItem it = s.res().GetItem(0, 0, 1);
  it.blk[RES_CP].err = 0.0045f;
  s.res().SetItem(0, 0, 1, it);
  EXPECT_FALSE(w.ex.PassLimitsHarm(s.res(), 0, 0));
  it.blk[RES_CP].err = 0.0035f;  // mean 0.00183
  s.res().SetItem(0, 0, 1, it);
  EXPECT_TRUE(w.ex.PassLimitsHarm(s.res(), 0, 0));
  // A value of 0 fails the relative test of its own harmonic only.
  it.blk[RES_APP].value = 0.0f;
  s.res().SetItem(0, 0, 1, it);
  EXPECT_TRUE(w.ex.PassLimitsHarm(s.res(), 0, 0));
  EXPECT_FALSE(w.ex.PassLimitsHarm(s.res(), 0, 1));
}

TEST(Export, TwoGroupsGiveOneCountLineWithTheTotal) {
  const std::string base = TempBase("two_groups");
  Survey a, b;
  MakeSurvey(&a, SIP_POLE4_SOUNDING, -100.0f, 1000.0f, {0.0f, 20.0f, 40.0f});
  MakeSurvey(&b, SIP_POLE4_SOUNDING, -160.0f, 1000.0f, {0.0f, 20.0f});
  Writer w(base);
  ASSERT_TRUE(w.ex.WriteRes2dinv(a.res(), a.srs));
  ASSERT_TRUE(w.ex.WriteRes2dinv(b.res(), b.srs));
  // Nothing is in place before the run is finished.
  EXPECT_FALSE(Exists(base + "_Res2dinv_F1.dat"));
  ASSERT_TRUE(w.ex.Finish());
  for (int h = 1; h <= 3; ++h) {
    const auto lines = SplitLines(Slurp(base + "_Res2dinv_F" + std::to_string(h) + ".dat"));
    ASSERT_EQ(lines.size(), 15u + 5u);
    EXPECT_EQ(lines[6], "5" + std::string(19, ' '));
    EXPECT_EQ(lines[11], h == 1 ? "0,0.25" : h == 2 ? "0,0.75" : "0,1.25");
  }
}

TEST(Export, ResultWithoutUsableChannelsWritesHeadersWithCountZero) {
  const std::string base = TempBase("empty");
  Survey a;
  MakeSurvey(&a, SIP_POLE4_SOUNDING, 0.0f, 1000.0f, {0.0f});  // A on M
  Writer w(base);
  ASSERT_TRUE(w.ex.WriteRes2dinv(a.res(), a.srs));
  ASSERT_TRUE(w.ex.Finish());
  const auto lines = SplitLines(Slurp(base + "_Res2dinv_F2.dat"));
  ASSERT_EQ(lines.size(), 15u);
  EXPECT_EQ(lines[6], "0" + std::string(19, ' '));
}

TEST(Export, ALaterResultWithAnotherHarmonicCountIsRefused) {
  const std::string base = TempBase("harm");
  Survey a, b;
  MakeSurvey(&a, SIP_POLE4_SOUNDING, -100.0f, 1000.0f, {0.0f}, 3);
  MakeSurvey(&b, SIP_POLE4_SOUNDING, -100.0f, 1000.0f, {20.0f}, 4);
  Writer w(base);
  ASSERT_TRUE(w.ex.WriteRes2dinv(a.res(), a.srs));
  EXPECT_FALSE(w.ex.WriteRes2dinv(b.res(), b.srs));
  EXPECT_EQ(w.ex.LastError(), EXPORT_HARM_MISMATCH);
  ASSERT_TRUE(w.ex.Finish());
  EXPECT_EQ(w.ex.FileNames().size(), 3u);
  EXPECT_EQ(SplitLines(Slurp(base + "_Res2dinv_F1.dat")).size(), 16u);
}

TEST(Export, PassRateOfAPositionAndTheAcquisitionTime) {
  const std::string base = TempBase("pass");
  Writer w(base);
  std::vector<Survey> files(3);
  for (int f = 0; f < 3; ++f) MakeSurvey(&files[size_t(f)], SIP_POLE4_SOUNDING, -100.0f, 1000.0f, {0.0f}, 3, 55);
  // The third file's amplitude breaks the 2.5 V maximum.
  ResItem it = files[2].res().GetItem(0, 0, 0);
  it.blk[RES_U_AMP].value = 3.0f;
  files[2].res().SetItem(0, 0, 0, it);
  for (int f = 0; f < 3; ++f) {
    w.ex.m_qualified = w.ex.m_total = 0;
    ASSERT_TRUE(w.ex.WritePassRate("F" + std::to_string(f), files[size_t(f)].srs));
  }
  w.ex.WritePassRateSummary();
  ASSERT_TRUE(w.ex.Finish());
  const auto lines = SplitLines(Slurp(base + "_passRate.txt"));
  ASSERT_EQ(lines.size(), 7u);
  char want[256];
  std::snprintf(want, sizeof(want), "%-30s%-14d%-14d%-14.2f%-14d%-14s", "F0", 1, 1, 100.0, 55, "0h07m55s");
  EXPECT_EQ(lines[1], want);
  std::snprintf(want, sizeof(want), "%-30s%-14d%-14d%-14.2f%-14d%-14s", "F2", 0, 1, 0.0, 55, "0h07m55s");
  EXPECT_EQ(lines[3], want);
  EXPECT_EQ(lines[4], "");
  std::snprintf(want, sizeof(want), "%-14.2f%-14.2f%-14d%-14d%-14.2f", 0.0, 0.0, 2, 3, 66.67);
  EXPECT_EQ(lines[6], want);
}

TEST(Export, PlaneRowWithoutItsSiteShowsAStarAndZeroCoordinates) {
  const std::string base = TempBase("plane");
  Survey a;
  MakeSurvey(&a, SIP_MID_GRADIENT, -1000.0f, 1000.0f, {0.0f, 20.0f, 40.0f});
  CFormatTxtSiteCoord coords;
  // Sites at 0 and 20 m only: the row of 0 m finds both ends, the row of
  // 20 m finds no site at 40 m, the row of 40 m none at all.
  coords.m_vt_item = {{"S1", 101, 0.0, 5000.0, 300.0}, {"S2", 101, 20.0, 5020.0, 301.0}};
  Writer w(base, SIP_MID_GRADIENT);
  w.opt.site_coord = &coords;
  StationData st;
  ASSERT_TRUE(w.ex.WritePlane(a.res(), st, "L101_01", a.srs));
  ASSERT_TRUE(w.ex.Finish());
  const auto lines = SplitLines(Slurp(base + "_plane.dat"));
  ASSERT_EQ(lines.size(), 4u);
  char want[128];
  std::snprintf(want, sizeof(want), "%-20s%-10s%-18s%14.2lf%14.2lf", "L101_01", "S1", "0.0_20.0", 5010.0, 300.5);
  EXPECT_EQ(lines[1].substr(0, 76), want);
  std::snprintf(want, sizeof(want), "%-20s%-10s%-18s%14.2lf%14.2lf", "L101_01", "*", "20.0_40.0", 0.0, 0.0);
  EXPECT_EQ(lines[2].substr(0, 76), want);
  std::snprintf(want, sizeof(want), "%-20s%-10s%-18s%14.2lf%14.2lf", "L101_01", "*", "40.0_60.0", 0.0, 0.0);
  EXPECT_EQ(lines[3].substr(0, 76), want);
  // Station columns of positions without data.
  EXPECT_EQ(lines[1].substr(lines[1].size() - 42), std::string(13, ' ') + "*" + std::string(13, ' ') + "*" +
                                                       std::string(13, ' ') + "*");
}

TEST(Export, CheckPointsAreNodesMeasuredMoreThanOnce) {
  const std::string base = TempBase("check");
  std::vector<Survey> s(3);
  MakeSurvey(&s[0], SIP_POLE4_SOUNDING, -100.0f, 1000.0f, {0.0f, 20.0f, 40.0f});
  MakeSurvey(&s[1], SIP_POLE4_SOUNDING, -100.0f, 1000.0f, {0.0f, 20.0f});
  MakeSurvey(&s[2], SIP_POLE4_SOUNDING, -100.0f, 1000.0f, {0.0f});
  std::vector<CResultSip> results = {s[0].res(), s[1].res(), s[2].res()};
  Writer w(base);
  ASSERT_TRUE(w.ex.WriteCheckErr(results, {"A", "B", "C"}, 3, s[0].srs));
  ASSERT_TRUE(w.ex.Finish());
  const auto lines = SplitLines(Slurp(base + "_Err_F1.dat"));
  ASSERT_EQ(lines.size(), 3u);  // header, 0 m (three times), 20 m (twice); 40 m once is no check point
  EXPECT_NE(lines[0].find("R3(Ω·m)"), std::string::npos);
  EXPECT_EQ(lines[0].find("R4("), std::string::npos);
  // 20 m: two values, then "*" for the third column of every quantity.
  char want[128];
  std::snprintf(want, sizeof(want), "%14.2f%14.2f%14s", 101.0, 101.0, "*");
  EXPECT_NE(lines[2].find(want), std::string::npos) << lines[2];
  EXPECT_NE(lines[2].find("   ST01_2   ST01_2        *"), std::string::npos) << lines[2];
  std::snprintf(want, sizeof(want), "%22s%22s%22s", "A", "B", "*");
  EXPECT_EQ(lines[2].substr(lines[2].size() - 66), want);
}

TEST(Export, MergingKeepsTheBetterItemOfEveryPosition) {
  Survey a, b;
  MakeSurvey(&a, SIP_POLE4_SOUNDING, -100.0f, 1000.0f, {0.0f, 20.0f, 40.0f});
  MakeSurvey(&b, SIP_POLE4_SOUNDING, -100.0f, 1000.0f, {20.0f, 40.0f, 60.0f});
  // 20 m: b has the smaller relative error; 40 m: a tie, the earlier file
  // wins; 60 m: b's only item was stacked once and is dropped.
  ResItem better = b.res().GetItem(0, 0, 0);
  better.blk[RES_APP] = {200.0f, 0.0f, 0.5f, 4};
  b.res().SetItem(0, 0, 0, better);
  ResItem once = b.res().GetItem(2, 0, 0);
  once.blk[RES_APP].count = 1;
  b.res().SetItem(2, 0, 0, once);
  ResItem tie = b.res().GetItem(1, 0, 0);
  tie.blk[RES_APP] = {a.res().GetItem(2, 0, 0).blk[RES_APP].value * 2.0f, 0.0f, 2.0f * 1.0f, 5};
  b.res().SetItem(1, 0, 0, tie);
  std::vector<CResultSip> results = {a.res(), b.res()};
  CResultSip m = MergeResults(results, 2, true);
  ASSERT_EQ(m.GetChNum(), 4);
  EXPECT_EQ(m.GetItem(0, 0, 0).blk[RES_APP].value, 100.0f);
  EXPECT_EQ(m.GetItem(1, 0, 0).blk[RES_APP].value, 200.0f);
  EXPECT_EQ(m.GetItem(2, 0, 0).blk[RES_APP].value, 102.0f);
  EXPECT_EQ(m.GetItem(3, 0, 0).blk[RES_APP].count, 0u);
  EXPECT_EQ(m.GetChInfo(3).m_pos, 60.0f);
  // Other harmonics are judged on their own.
  EXPECT_EQ(m.GetItem(1, 0, 1).blk[RES_APP].value, 101.0f);
}

TEST(Export, APositionThatIsNotANumberIsNoDataPoint) {
  const std::string base = TempBase("nan");
  Survey a;
  MakeSurvey(&a, SIP_POLE4_SOUNDING, -100.0f, 1000.0f, {0.0f, NAN, 40.0f});
  std::vector<CResultSip> results = {a.res()};
  CResultSip merged = MergeResults(results, 1, true);
  EXPECT_EQ(merged.GetChNum(), 2);
  Writer w(base);
  ASSERT_TRUE(w.ex.WriteRes2dinv(a.res(), a.srs));
  ASSERT_TRUE(w.ex.Finish());
  const std::string f = Slurp(base + "_Res2dinv_F1.dat");
  EXPECT_EQ(SplitLines(f).size(), 17u);
  EXPECT_EQ(f.find("nan"), std::string::npos);
  Writer o(base + "o");
  ASSERT_TRUE(o.ex.WriteOhm(a.res(), a.srs));
  ASSERT_TRUE(o.ex.Finish());
  EXPECT_EQ(Slurp(base + "o_F1.ohm").find("nan"), std::string::npos);
}

TEST(Export, NumbersCarryADotWhateverTheLocale) {
  const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"};
  const char* set = nullptr;
  for (const char* n : names)
    if ((set = std::setlocale(LC_NUMERIC, n))) break;
  if (!set) GTEST_SKIP() << "no locale with a decimal comma installed";
  const std::string base = TempBase("locale");
  Survey a;
  MakeSurvey(&a, SIP_POLE4_SOUNDING, -100.5f, 1000.0f, {0.0f});
  Writer w(base);
  const bool ok = w.ex.WriteRes2dinv(a.res(), a.srs) && w.ex.Finish();
  std::setlocale(LC_NUMERIC, "C");
  ASSERT_TRUE(ok);
  const std::string f = Slurp(base + "_Res2dinv_F1.dat");
  EXPECT_NE(f.find("-100.500000"), std::string::npos);
  EXPECT_EQ(f.find("100,5"), std::string::npos);
}

TEST(Export, AnUnfinishedRunLeavesAnEarlierExportAsItWas) {
  const std::string base = TempBase("discard");
  Survey a, b;
  MakeSurvey(&a, SIP_POLE4_SOUNDING, -100.0f, 1000.0f, {0.0f});
  MakeSurvey(&b, SIP_POLE4_SOUNDING, -100.0f, 1000.0f, {0.0f, 20.0f, 40.0f});
  {
    Writer w(base);
    ASSERT_TRUE(w.ex.WriteRes2dinv(a.res(), a.srs) && w.ex.Finish());
  }
  const std::string before = Slurp(base + "_Res2dinv_F1.dat");
  {
    Writer w(base);
    ASSERT_TRUE(w.ex.WriteRes2dinv(b.res(), b.srs));
    EXPECT_EQ(Slurp(base + "_Res2dinv_F1.dat"), before);
    w.ex.Discard();
  }
  EXPECT_EQ(Slurp(base + "_Res2dinv_F1.dat"), before);
  {
    Writer w(base);
    ASSERT_TRUE(w.ex.WriteRes2dinv(b.res(), b.srs));
  }  // destroyed without Finish
  EXPECT_EQ(Slurp(base + "_Res2dinv_F1.dat"), before);
  const std::string dir = base.substr(0, base.size() - 2);
  EXPECT_EQ(std::system(("test -z \"$(ls -A '" + dir + "' | grep vxtmp)\"").c_str()), 0);
}

}  // namespace
