#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/base/ex_file.h"
#include "core/base/platform.h"
#include "core/sip/format_srs.h"

namespace {

const std::string kData = TEST_DATA_DIR;

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::string tmp_path(const std::string& name) { return testing::TempDir() + "varnex_srs_" + name; }

// Dumps carry local times: the golden files were made in UTC.
class FormatSrs : public testing::Test {
protected:
  void SetUp() override {
    setenv("TZ", "UTC", 1);
    tzset();
  }
  void TearDown() override {
    unsetenv("TZ");
    tzset();
  }

  std::string dump(CFormatSRS& srs, bool results, const std::string& name) {
    srs.m_dump_res = results;
    const std::string out = tmp_path(name);
    EXPECT_TRUE(srs.Print(out));
    return slurp(out);
  }
};

struct Golden {
  const char* srs;      // under tests/data/srs
  int version;
};

const Golden kGolden[] = {
    {"spread_mid/L101_01.SRS", 5}, {"spread_mid/L101_02.SRS", 5}, {"square_free/L101_01.SRS", 5},
    {"spread_mid/old/L101_01_v1.SRS", 1}, {"spread_mid/old/L101_01_v2.SRS", 2},
    {"spread_mid/old/L101_01_v3.SRS", 3}, {"spread_mid/old/L101_01_v4.SRS", 4},
};

}  // namespace

TEST_F(FormatSrs, DumpsMatchTheGoldenFiles) {
  for (const Golden& g : kGolden) {
    SCOPED_TRACE(g.srs);
    const std::string path = kData + "/srs/" + g.srs;
    CFormatSRS srs;
    ASSERT_TRUE(srs.Read(path));
    EXPECT_EQ(srs.GetFileVer(), g.version);
    EXPECT_EQ(dump(srs, false, "full.txt"), slurp(path.substr(0, path.size() - 4) + ".txt"));
    EXPECT_EQ(dump(srs, true, "res.txt"), slurp(path.substr(0, path.size() - 4) + ".res.txt"));
  }
}

TEST_F(FormatSrs, WritingGivesVersionFiveAndKeepsTheContent) {
  for (const Golden& g : kGolden) {
    SCOPED_TRACE(g.srs);
    const std::string path = kData + "/srs/" + g.srs;
    CFormatSRS srs;
    ASSERT_TRUE(srs.Read(path));
    const std::string before = dump(srs, false, "before.txt");
    const std::string out = tmp_path("rewritten.SRS");
    ASSERT_TRUE(srs.Write(out));
    if (g.version == 5) {
      EXPECT_EQ(slurp(out), slurp(path));  // byte for byte
    }

    CFormatSRS again;
    ASSERT_TRUE(again.Read(out));
    EXPECT_EQ(again.GetFileVer(), 5);
    EXPECT_EQ(dump(again, false, "after.txt"), before);
    // The newer layout carries every channel's line number and an electrode list.
    for (int i = 0; i < again.m_res.GetChNum(); ++i) EXPECT_EQ(again.m_res.GetChInfo(i).line_no, again.m_prm_meas.line_no);
  }
}

TEST_F(FormatSrs, OldVersionsFillTheirGaps) {
  CFormatSRS v1;
  ASSERT_TRUE(v1.Read(kData + "/srs/spread_mid/old/L101_01_v1.SRS"));
  for (size_t i = 0; i < v1.m_vt_prm_dev.size(); ++i) {
    EXPECT_EQ(v1.m_gps_lon[i], 0.0);
    EXPECT_EQ(v1.m_gps_lat[i], 0.0);
    EXPECT_EQ(v1.m_gps_alti[i], 0.0f);
  }
  ASSERT_GT(v1.m_res.GetChNum(), 0);
  for (int i = 0; i < v1.m_res.GetChNum(); ++i) {
    EXPECT_FALSE(v1.m_valid_sp[size_t(i)]);
    EXPECT_FALSE(v1.m_valid_groud_r[size_t(i)]);
  }
  EXPECT_FLOAT_EQ(v1.m_prm_meas.v2i, 0.125f);

  // Device records without coordinates get them from the site numbers.
  CFormatSRS v3;
  ASSERT_TRUE(v3.Read(kData + "/srs/spread_mid/old/L101_01_v3.SRS"));
  for (const PrmDev& d : v3.m_vt_prm_dev) {
    EXPECT_EQ(d.pos_valid, 1);
    for (int c = 0; c < d.ch_num; ++c) {
      EXPECT_FLOAT_EQ(d.mx[c], v3.m_prm_meas.first_pole_pos + v3.m_prm_meas.mn * d.site_no[c]);
      EXPECT_FLOAT_EQ(d.nx[c], d.mx[c] + v3.m_prm_meas.mn);
      EXPECT_EQ(d.my[c], 0.0f);
    }
  }
  EXPECT_TRUE(v3.m_vt_pole.empty());
}

TEST_F(FormatSrs, MissingCoordinatesFollowTheSiteNumbers) {
  CFormatSRS srs;
  srs.m_prm_meas.mn = 20.0f;
  srs.m_prm_meas.first_pole_pos = 100.0f;
  PrmDev dev;
  SipSetStr(dev.dev_name, "ST01");
  dev.pos_valid = 0;
  for (int c = 0; c < MAX_CH_NUM; ++c) dev.site_no[c] = uint16_t(c + 2);
  srs.m_vt_prm_dev.push_back(dev);
  srs.m_gps_lon = {0.0};
  srs.m_gps_lat = {0.0};
  srs.m_gps_alti = {0.0f};
  srs.m_spect_i.DoInit(1, 1, 1, 0, -1, 2);
  srs.m_spect_u.DoInit(1, 1, 1, 0, -1, 2);
  srs.m_res.DoInit(0, 1, 1);
  srs.m_res_composed.DoInit(0, 1, 1);
  const std::string out = tmp_path("nocoord.SRS");
  ASSERT_TRUE(srs.Write(out));
  CFormatSRS back;
  ASSERT_TRUE(back.Read(out));
  const PrmDev& d = back.m_vt_prm_dev[0];
  EXPECT_EQ(d.pos_valid, 1);
  EXPECT_FLOAT_EQ(d.mx[3], 100.0f + 20.0f * 5);
  EXPECT_FLOAT_EQ(d.nx[3], 100.0f + 20.0f * 6);
}

TEST_F(FormatSrs, FoldedCpPrintsWithItsFlag) {
  CFormatSRS srs;
  PrmDev dev;
  SipSetStr(dev.dev_name, "D07");
  srs.m_vt_prm_dev.push_back(dev);
  srs.m_gps_lon = {0.0};
  srs.m_gps_lat = {0.0};
  srs.m_gps_alti = {0.0f};
  srs.m_prm_meas.wave = SIP_WAVE_SQUARE;
  srs.m_res.DoInit(1, 1, 1);
  ChInfo info;
  info.dev_name = "D07";
  info.idx_dev_ch = 2;
  info.site_no = 4;
  info.m_pos = 80.0f;
  srs.m_res.SetChInfo(0, info);
  srs.m_res.SetFreq(0, 0, 0.25f);
  ResItem item;
  item.blk[RES_APP] = {1500.0f, 0.0f, 15.0f, 3};
  item.blk[RES_CP] = {2.0f, 0.0f, 0.001f, 3};
  item.blk[RES_FS] = {0.05f, 0.0f, 0.002f, 3};
  srs.m_res.SetItem(0, 0, 0, item);
  srs.m_valid_sp = {true};
  srs.m_sp_ac = {0.0012f};
  srs.m_sp_dc = {-0.0205f};
  srs.m_valid_groud_r = {false};
  srs.m_groud_r = {0.0f};
  const std::string text = dump(srs, false, "cp.txt");
  char expected[256];
  std::snprintf(expected, sizeof(expected), "%10d%14.3f%14.3f%14.3E%14.2f%14.1f%11.1f%11.1f%10.2f%10s%6d%6d%14s%14s%14s\n",
                5, 80.0, 0.0, 1500.0, 1.0, -1141.6, 1.0, 5.0, 0.2, "D07_3", 1, 0, "1.20", "-20.50", "*");
  EXPECT_NE(text.find(expected), std::string::npos) << text;
  // A square-wave file has no composed section.
  EXPECT_EQ(text.find("result for composed frequency"), std::string::npos);
}

TEST_F(FormatSrs, RejectsWhatCannotBeRead) {
  const std::string good = slurp(kData + "/srs/spread_mid/L101_01.SRS");
  auto read_bytes = [](const std::string& bytes) {
    const std::string p = tmp_path("bad.SRS");
    std::ofstream(p, std::ios::binary) << bytes;
    CFormatSRS srs;
    return srs.Read(p);
  };
  std::string v6 = good;
  v6[0] = 6;
  EXPECT_FALSE(read_bytes(v6));
  EXPECT_FALSE(read_bytes(""));
  CFormatSRS srs;
  EXPECT_FALSE(srs.Read("/nonexistent/varnex/x.SRS"));
  EXPECT_EQ(srs.GetPath(), "");  // a failed read changes nothing
  EXPECT_EQ(srs.GetError().rfind("cannot open the file: ", 0), 0u);
}

TEST_F(FormatSrs, AReadWithoutSpectraTakesThemFromTheFileWhenTheyAreNeeded) {
  for (const Golden& g : kGolden) {
    SCOPED_TRACE(g.srs);
    const std::string path = kData + "/srs/" + g.srs;
    const std::string stem = path.substr(0, path.size() - 4);
    CFormatSRS full;
    ASSERT_TRUE(full.Read(path));
    ASSERT_TRUE(full.Write(tmp_path("full.SRS")));

    CFormatSRS lean;
    ASSERT_TRUE(lean.ReadWithoutSpectra(path));
    EXPECT_FALSE(lean.HasSpectra());
    EXPECT_EQ(lean.m_spect_u.DoGetItemNum(), 0);
    EXPECT_EQ(dump(lean, true, "lean_res.txt"), slurp(stem + ".res.txt"));
    EXPECT_FALSE(lean.HasSpectra());
    // Writing and the full dump take the spectra first.
    ASSERT_TRUE(lean.Write(tmp_path("lean.SRS")));
    EXPECT_TRUE(lean.HasSpectra());
    EXPECT_EQ(slurp(tmp_path("lean.SRS")), slurp(tmp_path("full.SRS")));

    CFormatSRS lean2;
    ASSERT_TRUE(lean2.ReadWithoutSpectra(path));
    EXPECT_EQ(dump(lean2, false, "lean_full.txt"), slurp(stem + ".txt"));
    // The next read of the same object reads everything again.
    ASSERT_TRUE(lean2.Read(path));
    EXPECT_TRUE(lean2.HasSpectra());
    EXPECT_EQ(lean2.m_spect_u.DoGetItemNum(), full.m_spect_u.DoGetItemNum());
  }
}

TEST_F(FormatSrs, SpectraOfAFileChangedSinceTheReadAreNotTaken) {
  const std::string path = tmp_path("changing.SRS");
  const std::string first = slurp(kData + "/srs/spread_mid/L101_01.SRS");
  const std::string second = slurp(kData + "/srs/spread_mid/L101_02.SRS");
  std::ofstream(path, std::ios::binary) << first;
  CFormatSRS lean;
  ASSERT_TRUE(lean.ReadWithoutSpectra(path));
  const std::string res = dump(lean, true, "changing_res.txt");

  // Saved over by another program, as a save replaces a file.
  const std::string other = tmp_path("changing.SRS.new");
  std::ofstream(other, std::ios::binary) << second;
  ASSERT_TRUE(platform_replace(other, path));

  EXPECT_FALSE(lean.ReadSpectra());
  EXPECT_NE(lean.GetError().find("changed"), std::string::npos) << lean.GetError();
  EXPECT_FALSE(lean.HasSpectra());
  EXPECT_EQ(dump(lean, true, "changing_res2.txt"), res);
  // Nothing is written without its spectra, and nothing is left behind.
  const std::string out = tmp_path("changing_out.SRS");
  std::remove(out.c_str());
  EXPECT_FALSE(lean.Write(out));
  EXPECT_FALSE(ex_access(out.c_str()));
  lean.m_dump_res = false;
  EXPECT_FALSE(lean.Print(tmp_path("changing_full.txt")));

  std::remove(path.c_str());
  EXPECT_FALSE(lean.ReadSpectra());
  EXPECT_EQ(lean.GetReason().code, ReasonCode::CannotOpen);
}
