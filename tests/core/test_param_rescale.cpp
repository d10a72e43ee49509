#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "core/processing/param_rescale.h"
#include "core/sip/format_srs.h"
#include "test_files.h"
#include "../windows_skip.h"

namespace {

const std::string kGen = GEN_SURVEY_EXE;

// Generated surveys: odd file numbers (L101_01, L101_03, ...) were measured
// with the current station CS01 as their second device, even ones with a
// hand-entered current; four receivers ST01..ST04 of six channels, at sites
// 20 m apart from 0 m with MN 20 m.
std::string MakeSurvey(const std::string& name, const std::string& args = "") {
  const std::string dir = testing::TempDir() + "varnex_param_rescale_" + name;
  EXPECT_EQ(std::system(("rm -rf '" + dir + "'").c_str()), 0);
  EXPECT_EQ(std::system(("'" + kGen + "' '" + dir + "' --seed 7 --no-smt " + args).c_str()), 0);
  return dir;
}

bool Exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

CFormatSRS ReadSrs(const std::string& path) {
  CFormatSRS srs;
  EXPECT_TRUE(srs.Read(path)) << path << ": " << srs.GetError();
  return srs;
}

double Dist(double x0, double y0, double x1, double y1) { return std::hypot(x1 - x0, y1 - y0); }

// Four-electrode factor with M and N on the line at vd2ab from AB.
double K4(const PrmMeas& m, double mx, double nx, double y) {
  const double am = Dist(m.ax, m.ay, mx, y), an = Dist(m.ax, m.ay, nx, y);
  const double bm = Dist(m.bx, m.by, mx, y), bn = Dist(m.bx, m.by, nx, y);
  return 2.0 * M_PI / std::fabs(1.0 / am - 1.0 / an - 1.0 / bm + 1.0 / bn);
}

double K3(const PrmMeas& m, double mx, double nx, double y) {
  const double am = Dist(m.ax, m.ay, mx, y), an = Dist(m.ax, m.ay, nx, y);
  return 2.0 * M_PI / std::fabs(1.0 / am - 1.0 / an);
}

void ExpectRel(double expected, double actual, double tol, const std::string& what) {
  EXPECT_NEAR(actual / expected, 1.0, tol) << what << ": expected " << expected << ", got " << actual;
}

int EntryOf(CResult& r, int dev, int ch) {
  for (int i = 0; i < r.GetChNum(); ++i) {
    const ChInfo info = r.GetChInfo(i);
    if (info.idx_dev == dev && info.idx_dev_ch == ch) return i;
  }
  return -1;
}

TEST(ParamRescale, CurrentRatioFollowsTheCurrentMode) {
  PrmMeas o, n;
  o.curr_station_used = n.curr_station_used = 1;
  o.v2i = 0.025f;
  n.v2i = 0.0125f;
  EXPECT_DOUBLE_EQ(ParamCurrentRatio(n, o), 2.0);
  o.curr_station_used = n.curr_station_used = 0;
  o.cur_value = 4.0f;
  n.cur_value = 5.0f;
  EXPECT_DOUBLE_EQ(ParamCurrentRatio(n, o), 1.25);
  n.cur_value = 0.0f;
  EXPECT_EQ(ParamCurrentRatio(n, o), 0.0) << "a zero current would wipe the results";
  n.cur_value = 5.0f;
  n.curr_station_used = 1;
  EXPECT_EQ(ParamCurrentRatio(n, o), 0.0) << "modes differ";
}

// MN 20 -> 10 on a middle-gradient file, current by hand: channel 3 of ST01
// (site 2) moves from M 40 / N 60 to M 20 / N 30; A -1000, B and the line at
// y 0 come from the file. Checked in memory and in the written file.
TEST(ParamRescale, MnTwentyToTenRescalesByTheGeometricFactors) {
  const std::string dir = MakeSurvey("mn", "--files 2");
  const std::string path = dir + "/L101_02.SRS";
  CFormatSRS srs = ReadSrs(path);
  CFormatSRS orig = ReadSrs(path);
  const PrmMeas& m = orig.m_prm_meas;
  ASSERT_EQ(m.layout, SIP_MID_GRADIENT);
  ASSERT_EQ(m.mn, 20.0f);

  PrmMeas meas = srs.m_prm_meas;
  std::vector<PrmDev> devs = srs.m_vt_prm_dev;
  meas.mn = 10.0f;
  ParamSetLineLayout(&devs, meas.first_pole_pos, meas.mn, 0.0f);
  const ParamApplyResult applied = ParamApplyToSrs(&srs, meas, devs);
  ASSERT_TRUE(applied.ok) << applied.why;
  EXPECT_EQ(applied.skipped, 0);

  const ParamSaveResult saved = ParamSaveSrs(srs, path);
  ASSERT_TRUE(saved.ok) << saved.why;
  CFormatSRS back = ReadSrs(path);
  EXPECT_EQ(back.m_prm_meas.mn, 10.0f);

  for (CResult* pair : {&back.m_res, &back.m_res_composed}) {
    CResult& o = pair == &back.m_res ? static_cast<CResult&>(orig.m_res) : orig.m_res_composed;
    ASSERT_EQ(pair->GetChNum(), o.GetChNum());
    for (int i = 0; i < o.GetChNum(); ++i) {
      const ChInfo oi = o.GetChInfo(i);
      const ChInfo ni = pair->GetChInfo(i);
      const double site = oi.site_no;
      EXPECT_EQ(ni.mn, 10.0f);
      EXPECT_EQ(ni.m_pos, float(10.0 * site));
      EXPECT_EQ(oi.m_pos, float(20.0 * site)) << "fixture: sites 20 m apart";
      const double f = K4(m, 10.0 * site, 10.0 * site + 10.0, oi.vd2ab) / K4(m, 20.0 * site, 20.0 * site + 20.0, oi.vd2ab);
      for (int fr = 0; fr < o.GetFreqNum(); ++fr)
        for (int h = 0; h < o.GetHarmNum(); ++h) {
          const ResItem a = o.GetItem(i, fr, h), b = pair->GetItem(i, fr, h);
          if (a.blk[RES_APP].count == 0) continue;
          ExpectRel(a.blk[RES_APP].value * f, b.blk[RES_APP].value, 2e-6, SipChLabel(oi));
          EXPECT_EQ(a.blk[RES_CP].value, b.blk[RES_CP].value) << "only the resistivity scales";
          EXPECT_EQ(a.blk[RES_APP].count, b.blk[RES_APP].count);
        }
    }
  }
  // By hand for ST01 channel 3 (site 2): K = 2 pi / |1/AM - 1/AN - 1/BM + 1/BN|.
  const int e = EntryOf(orig.m_res, 0, 2);
  ASSERT_GE(e, 0);
  EXPECT_EQ(orig.m_res.GetChInfo(e).site_no, 2);
  const double am0 = 40.0 - m.ax, an0 = 60.0 - m.ax, bm0 = m.bx - 40.0, bn0 = m.bx - 60.0;
  const double am1 = 20.0 - m.ax, an1 = 30.0 - m.ax, bm1 = m.bx - 20.0, bn1 = m.bx - 30.0;
  const double k0 = 2 * M_PI / std::fabs(1 / am0 - 1 / an0 - 1 / bm0 + 1 / bn0);
  const double k1 = 2 * M_PI / std::fabs(1 / am1 - 1 / an1 - 1 / bm1 + 1 / bn1);
  ExpectRel(orig.m_res.GetItem(e, 0, 0).blk[RES_APP].value * k1 / k0, back.m_res.GetItem(e, 0, 0).blk[RES_APP].value,
            2e-6, "ST01_3");
}

// Current station: v2i 0.025 -> 0.0125 doubles the current spectrum and
// halves every apparent resistivity (the geometry is unchanged).
TEST(ParamRescale, SmallerSensorFactorDoublesTheCurrentAndHalvesTheResistivity) {
  const std::string dir = MakeSurvey("v2i", "--files 1");
  const std::string path = dir + "/L101_01.SRS";
  {
    CFormatSRS fix = ReadSrs(path);
    ASSERT_TRUE(fix.m_prm_meas.curr_station_used);
    fix.m_prm_meas.v2i = 0.025f;
    ASSERT_TRUE(fix.Write(path));
  }
  CFormatSRS orig = ReadSrs(path);
  CFormatSRS srs = ReadSrs(path);
  PrmMeas meas = srs.m_prm_meas;
  meas.v2i = 0.0125f;
  ASSERT_TRUE(ParamApplyToSrs(&srs, meas, srs.m_vt_prm_dev).ok);
  ASSERT_TRUE(ParamSaveSrs(srs, path).ok);
  CFormatSRS back = ReadSrs(path);

  EXPECT_EQ(back.m_prm_meas.v2i, 0.0125f);
  const int n_i = orig.m_spect_i.DoGetItemNum();
  ASSERT_GT(n_i, 0);
  for (int k = 0; k < n_i; ++k) {
    const SpectItem a = orig.m_spect_i.DoGetItem(k), b = back.m_spect_i.DoGetItem(k);
    EXPECT_EQ(b.re, a.re * 2.0);
    EXPECT_EQ(b.im, a.im * 2.0);
  }
  for (int i = 0; i < orig.m_res.GetChNum(); ++i)
    for (int h = 0; h < orig.m_res.GetHarmNum(); ++h) {
      const ResBlock a = orig.m_res.GetItem(i, 0, h).blk[RES_APP], b = back.m_res.GetItem(i, 0, h).blk[RES_APP];
      EXPECT_EQ(b.value, a.value * 0.5f);
      EXPECT_EQ(b.err, a.err * 0.5f);
      EXPECT_EQ(b.std, a.std * 0.5f);
    }
  const int n_u = orig.m_spect_u.DoGetItemNum();
  for (int k = 0; k < n_u; k += 97) EXPECT_EQ(orig.m_spect_u.DoGetItem(k).re, back.m_spect_u.DoGetItem(k).re);
}

TEST(ParamRescale, InvalidChannelIsInvalidatedInResultsAndVoltageSpectrumKeepingItsEntry) {
  const std::string dir = MakeSurvey("invalid", "--files 2");
  const std::string path = dir + "/L101_02.SRS";
  CFormatSRS orig = ReadSrs(path);
  CFormatSRS srs = ReadSrs(path);
  std::vector<PrmDev> devs = srs.m_vt_prm_dev;
  devs[1].ch_type[4] = SIP_CH_INVALID;
  const ParamApplyResult applied = ParamApplyToSrs(&srs, srs.m_prm_meas, devs);
  ASSERT_TRUE(applied.ok);
  EXPECT_EQ(applied.invalidated, 1);
  ASSERT_TRUE(ParamSaveSrs(srs, path).ok);
  CFormatSRS back = ReadSrs(path);

  const int e = EntryOf(orig.m_res, 1, 4);
  ASSERT_GE(e, 0);
  ASSERT_EQ(back.m_res.GetChNum(), orig.m_res.GetChNum());
  ASSERT_EQ(back.m_res_composed.GetChNum(), orig.m_res_composed.GetChNum());
  EXPECT_EQ(back.m_res.GetChInfo(e).ch_type, SIP_CH_INVALID);
  EXPECT_EQ(back.m_vt_prm_dev[1].ch_type[4], SIP_CH_INVALID);
  for (CResult* r : {static_cast<CResult*>(&back.m_res), static_cast<CResult*>(&back.m_res_composed)})
    for (int h = 0; h < r->GetHarmNum(); ++h)
    {
      for (int k = 0; k < TYPE_CNT; ++k) EXPECT_EQ(r->GetItem(e, 0, h).blk[k].count, 0u);
      EXPECT_GT(r->GetItem(e == 0 ? 1 : 0, 0, h).blk[RES_APP].count, 0u);
    }
  int valid = 0, others = 0;
  for (int f = 0; f < back.m_spect_u.DoGetBuffFreqNum(); ++f)
    for (int h = 0; h < back.m_spect_u.DoGetBuffHarmNum(); ++h)
      for (int c = 0; c < back.m_spect_u.DoGetCalNum(); ++c) {
        valid += back.m_spect_u.DoGetItemOf(e, f, h, c).m_valid;
        others += back.m_spect_u.DoGetItemOf(e == 0 ? 1 : 0, f, h, c).m_valid;
      }
  EXPECT_EQ(valid, 0);
  EXPECT_GT(others, 0);
}

TEST(ParamRescale, NothingChangedWritesTheFileByteIdentical) {
  const std::string dir = MakeSurvey("same", "--files 2");
  for (const char* name : {"L101_01.SRS", "L101_02.SRS"}) {
    const std::string path = dir + "/" + name;
    const std::string before = Slurp(path);
    CFormatSRS srs = ReadSrs(path);
    const ParamApplyResult applied = ParamApplyToSrs(&srs, srs.m_prm_meas, srs.m_vt_prm_dev);
    ASSERT_TRUE(applied.ok) << applied.why;
    ASSERT_TRUE(ParamSaveSrs(srs, path).ok);
    EXPECT_TRUE(Slurp(path) == before) << name;
    EXPECT_TRUE(Slurp(path + ".orig") == before);
  }
}

// Three-electrode layout: B at -100 km. Moving B changes nothing in a
// version-4 file (K without B) and rescales a version-5 file (B enters K).
TEST(ParamRescale, VersionFourThreeElectrodeFactorIgnoresB) {
  const std::string dir = MakeSurvey("pole3", "--files 1 --layout pole3 --old-versions");
  CFormatSRS v4 = ReadSrs(dir + "/old/L101_01_v4.SRS");
  CFormatSRS v5 = ReadSrs(dir + "/L101_01.SRS");
  ASSERT_EQ(v4.GetFileVer(), 4);
  ASSERT_EQ(v5.GetFileVer(), 5);
  ASSERT_EQ(v4.m_prm_meas.layout, SIP_POLE3_SOUNDING);
  for (CFormatSRS* srs : {&v4, &v5}) {
    CFormatSRS orig = *srs;
    const PrmMeas m = orig.m_prm_meas;
    PrmMeas meas = m;
    meas.bx = 2000.0f;
    ASSERT_TRUE(ParamApplyToSrs(srs, meas, srs->m_vt_prm_dev).ok);
    const int e = 7;
    const ChInfo info = orig.m_res.GetChInfo(e);
    const double mx = info.m_pos, nx = info.m_pos + info.mn, y = m.ay + info.vd2ab;
    const float a = orig.m_res.GetItem(e, 0, 0).blk[RES_APP].value;
    const float b = srs->m_res.GetItem(e, 0, 0).blk[RES_APP].value;
    if (srs->GetFileVer() == 4) {
      EXPECT_EQ(a, b);
      EXPECT_GT(K3(m, mx, nx, y), 0.0);
    } else {
      ExpectRel(a * K4(meas, mx, nx, y) / K4(m, mx, nx, y), b, 2e-6, "version 5");
      EXPECT_GT(std::fabs(b / a - 1.0f), 1e-3f) << "B moved from -100 km to 2 km";
    }
  }
}

TEST(ParamRescale, UnusableFactorsChangeNothing) {
  const std::string dir = MakeSurvey("zero", "--files 2");
  const std::string path = dir + "/L101_02.SRS";
  const std::string before = Slurp(path);
  CFormatSRS srs = ReadSrs(path);
  PrmMeas meas = srs.m_prm_meas;
  meas.cur_value = 0.0f;
  ParamApplyResult r = ParamApplyToSrs(&srs, meas, srs.m_vt_prm_dev);
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(r.why.empty());
  meas = srs.m_prm_meas;
  meas.mn = 0.0f;  // M equal to N: no geometric factor
  std::vector<PrmDev> devs = srs.m_vt_prm_dev;
  ParamSetLineLayout(&devs, meas.first_pole_pos, meas.mn, 0.0f);
  EXPECT_FALSE(ParamApplyToSrs(&srs, meas, devs).ok);
  ASSERT_TRUE(ParamSaveSrs(srs, path).ok);
  EXPECT_TRUE(Slurp(path) == before);
}

TEST(ParamRescale, EntriesNamingAChannelOutsideTheDeviceAreSkipped) {
  const std::string dir = MakeSurvey("skip", "--files 2");
  CFormatSRS srs = ReadSrs(dir + "/L101_02.SRS");
  ChInfo bad = srs.m_res.GetChInfo(0);
  bad.idx_dev_ch = 7;
  srs.m_res.SetChInfo(0, bad);
  const float before = srs.m_res.GetItem(0, 0, 0).blk[RES_APP].value;
  PrmMeas meas = srs.m_prm_meas;
  std::vector<PrmDev> devs = srs.m_vt_prm_dev;
  meas.mn = 10.0f;
  ParamSetLineLayout(&devs, meas.first_pole_pos, meas.mn, 0.0f);
  const ParamApplyResult r = ParamApplyToSrs(&srs, meas, devs);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.skipped, 1);
  EXPECT_EQ(srs.m_res.GetItem(0, 0, 0).blk[RES_APP].value, before);
  EXPECT_EQ(srs.m_res.GetChInfo(0).idx_dev_ch, 7);
  EXPECT_EQ(srs.m_res.GetChInfo(1).mn, 10.0f);
}

// Save all from L101_01 (MN 20 -> 10): L101_03 takes the line settings with
// its own transmitter and current, L101_05 (second device renamed) fails and
// stays byte-identical, L101_02 (four devices) fails, and L101_01 listed twice
// is written twice from memory.
TEST(ParamRescale, SaveAllTransfersLineSettingsAndLeavesMismatchedFilesAlone) {
  const std::string dir = MakeSurvey("all", "--files 5");
  const std::string p1 = dir + "/L101_01.SRS", p2 = dir + "/L101_02.SRS", p3 = dir + "/L101_03.SRS",
                    p5 = dir + "/L101_05.SRS";
  {
    CFormatSRS fix = ReadSrs(p5);
    SipSetStr(fix.m_vt_prm_dev[1].dev_name, "CS09");
    ASSERT_TRUE(fix.Write(p5));
  }
  const std::string orig2 = Slurp(p2), orig3 = Slurp(p3), orig5 = Slurp(p5);
  CFormatSRS o3 = ReadSrs(p3);

  CFormatSRS srs = ReadSrs(p1);
  PrmMeas meas = srs.m_prm_meas;
  std::vector<PrmDev> devs = srs.m_vt_prm_dev;
  meas.mn = 10.0f;
  meas.first_pole_pos = 5.0f;
  ParamSetLineLayout(&devs, meas.first_pole_pos, meas.mn, 0.0f);
  ASSERT_TRUE(ParamApplyToSrs(&srs, meas, devs).ok);
  // The disk copy of the edited file must never be read back during the run.
  {
    CFormatSRS disk = ReadSrs(p1);
    disk.m_prm_meas.line_no = 999;
    ASSERT_TRUE(disk.Write(p1));
  }

  const ParamSaveAllResult r = ParamSaveAll(srs, {p1, p2, p3, p5, p1}, nullptr);
  ASSERT_EQ(r.failed.size(), 2u);
  EXPECT_EQ(r.failed[0], p2);
  EXPECT_EQ(r.failed[1], p5);
  EXPECT_NE(r.failed_why[1].find("CS09"), std::string::npos) << r.failed_why[1];
  EXPECT_TRUE(Slurp(p2) == orig2);
  EXPECT_TRUE(Slurp(p5) == orig5);
  EXPECT_FALSE(Exists(p2 + ".orig"));
  EXPECT_FALSE(Exists(p5 + ".orig"));
  EXPECT_TRUE(Slurp(p3 + ".orig") == orig3);
  EXPECT_EQ(r.backups, (std::vector<std::string>{p1 + ".orig", p3 + ".orig"}));

  CFormatSRS b1 = ReadSrs(p1);
  EXPECT_EQ(b1.m_prm_meas.mn, 10.0f);
  EXPECT_EQ(b1.m_prm_meas.line_no, 101);
  EXPECT_EQ(ReadSrs(p1 + ".orig").m_prm_meas.line_no, 999);
  CFormatSRS b3 = ReadSrs(p3);
  EXPECT_EQ(b3.m_prm_meas.mn, 10.0f);
  EXPECT_EQ(b3.m_prm_meas.first_pole_pos, 5.0f);
  EXPECT_EQ(b3.m_prm_meas.ax, o3.m_prm_meas.ax) << "the transmitter stays the file's";
  EXPECT_EQ(b3.m_prm_meas.cur_value, o3.m_prm_meas.cur_value);
  EXPECT_EQ(b3.m_prm_meas.line_no, o3.m_prm_meas.line_no);
  const PrmMeas& m3 = o3.m_prm_meas;
  for (int i = 0; i < o3.m_res.GetChNum(); ++i) {
    const ChInfo oi = o3.m_res.GetChInfo(i), ni = b3.m_res.GetChInfo(i);
    const double site = oi.site_no;
    EXPECT_EQ(ni.m_pos, float(5.0 + 10.0 * site));
    EXPECT_EQ(ni.mn, 10.0f);
    const double f =
        K4(m3, 5.0 + 10.0 * site, 15.0 + 10.0 * site, oi.vd2ab) / K4(m3, oi.m_pos, oi.m_pos + oi.mn, oi.vd2ab);
    ExpectRel(o3.m_res.GetItem(i, 0, 0).blk[RES_APP].value * f, b3.m_res.GetItem(i, 0, 0).blk[RES_APP].value, 2e-6,
              SipChLabel(oi));
  }
  const int n_i = o3.m_spect_i.DoGetItemNum();
  for (int k = 0; k < n_i; ++k) EXPECT_EQ(o3.m_spect_i.DoGetItem(k).re, b3.m_spect_i.DoGetItem(k).re);
}

// A child saves a large file and is killed with SIGKILL while its temporary
// is being written: the file stays byte-identical and readable.
TEST(ParamSave, KillDuringSaveKeepsTheOriginalAndTheFirstOriginalSurvivesTwoSaves) {
  SKIP_ON_WINDOWS("no fork");
  const std::string dir = MakeSurvey("kill", "--files 1 --cals 2500");
  const std::string path = dir + "/L101_01.SRS";
  const std::string before = Slurp(path);
  ASSERT_GT(before.size(), 20u * 1000u * 1000u);

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    CFormatSRS srs;
    if (!srs.Read(path)) ::_exit(3);
    PrmMeas meas = srs.m_prm_meas;
    meas.v2i = 0.05f;
    if (!ParamApplyToSrs(&srs, meas, srs.m_vt_prm_dev).ok) ::_exit(4);
    ParamSaveSrs(srs, path);
    ::_exit(0);
  }
  const std::string prefix = ".L101_01.SRS." + std::to_string(child) + "-";
  bool seen = false;
  for (int i = 0; i < 200000 && !seen; ++i) {
    if (DIR* d = ::opendir(dir.c_str())) {
      while (dirent* e = ::readdir(d)) {
        struct stat st;
        const std::string name = e->d_name;
        if (name.rfind(prefix, 0) == 0 && ::stat((dir + "/" + name).c_str(), &st) == 0 && st.st_size > 0) seen = true;
      }
      ::closedir(d);
    }
    if (!seen) ::usleep(100);
  }
  ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(seen) << "the child never started writing";
  ASSERT_TRUE(WIFSIGNALED(status)) << "the save ended before the kill";
  EXPECT_TRUE(Slurp(path) == before);
  CFormatSRS after = ReadSrs(path);
  EXPECT_EQ(after.m_prm_meas.v2i, 0.1f);

  // Two saves: the backup keeps the first original, not the first save.
  const std::string orig = path + ".orig";
  ::remove(orig.c_str());
  CFormatSRS srs = ReadSrs(path);
  PrmMeas meas = srs.m_prm_meas;
  meas.v2i = 0.05f;
  ASSERT_TRUE(ParamApplyToSrs(&srs, meas, srs.m_vt_prm_dev).ok);
  ParamSaveResult s1 = ParamSaveSrs(srs, path);
  ASSERT_TRUE(s1.ok);
  EXPECT_TRUE(s1.backup_made);
  EXPECT_EQ(s1.backup_path, orig);
  meas.v2i = 0.025f;
  ASSERT_TRUE(ParamApplyToSrs(&srs, meas, srs.m_vt_prm_dev).ok);
  ParamSaveResult s2 = ParamSaveSrs(srs, path);
  ASSERT_TRUE(s2.ok);
  EXPECT_FALSE(s2.backup_made);
  EXPECT_TRUE(Slurp(orig) == before);
  EXPECT_EQ(ReadSrs(path).m_prm_meas.v2i, 0.025f);
  // The killed child's temporary is cleared by the next write.
  bool stale = false;
  if (DIR* d = ::opendir(dir.c_str())) {
    while (dirent* e = ::readdir(d)) stale = stale || std::string(e->d_name).rfind(prefix, 0) == 0;
    ::closedir(d);
  }
  EXPECT_FALSE(stale);
}

}  // namespace
