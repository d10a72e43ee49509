#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/base/ex_file.h"
#include "core/sip/format_smt.h"

namespace {

using FilePtr = std::unique_ptr<FILE, ExFileCloser>;

// SMT files are assembled byte by byte here, independently of the record
// writers, so that the reader is checked against the layout itself.
struct Bytes {
  std::vector<unsigned char> b;

  void u8(uint8_t v) { b.push_back(v); }
  void u16(uint16_t v) {
    for (int i = 0; i < 2; ++i) b.push_back((unsigned char)(v >> (8 * i)));
  }
  void u32(uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back((unsigned char)(v >> (8 * i)));
  }
  void i32(int32_t v) { u32(uint32_t(v)); }
  void f32(float v) {
    uint32_t u;
    std::memcpy(&u, &v, 4);
    u32(u);
  }
  void f64(double v) {
    uint64_t u;
    std::memcpy(&u, &v, 8);
    for (int i = 0; i < 8; ++i) b.push_back((unsigned char)(u >> (8 * i)));
  }
  void str(const std::string& s) {
    i32(int32_t(s.size() + 1));
    b.insert(b.end(), s.begin(), s.end());
    b.push_back(0);
  }
  void append(const Bytes& o) { b.insert(b.end(), o.b.begin(), o.b.end()); }
  size_t size() const { return b.size(); }
};

struct MeasFields {
  std::string prj_name = "P1";
  int32_t line_no = 7;
  float ax = -500.0f, ay = 0.0f, bx = 500.0f, by = 0.0f;
  int32_t layout = 3;
  int32_t wave = 3;
  float freq_base = 0.5f;
  int32_t harm_num = 3;
  int32_t start_time = 86400;
  std::string file_name = "F01";
  int32_t sample_rate = 15;
  int32_t reserved = 8;
  float mn = 20.0f;
  float first_pole_pos = 100.0f;
  uint8_t curr_station_used = 1;
  std::string cur_station = "CUR1";
  float v2i = 0.125f;
  float cur_value = 5.0f;
};

Bytes MeasBytes(const MeasFields& m) {
  Bytes o;
  o.i32(4);
  o.str(m.prj_name);
  o.i32(m.line_no);
  o.f32(m.ax);
  o.f32(m.ay);
  o.f32(m.bx);
  o.f32(m.by);
  o.i32(m.layout);
  o.i32(m.wave);
  o.f32(m.freq_base);
  o.i32(m.harm_num);
  o.i32(m.start_time);
  o.str(m.file_name);
  o.i32(m.sample_rate);
  o.i32(m.reserved);
  o.f32(m.mn);
  o.f32(m.first_pole_pos);
  o.u8(m.curr_station_used);
  o.str(m.cur_station);
  o.f32(m.v2i);
  o.f32(m.cur_value);
  return o;
}

struct DevFields {
  std::string dev_name = "ST01";
  int32_t ch_num = 6;
  float vd2ab = 12.5f;
  int32_t ch_type[6] = {1, 1, 2, 3, 0, 1};
  uint16_t site_no[6] = {0, 1, 2, 3, 4, 9};
  uint8_t pos_valid = 1;
  float mx[6] = {100, 120, 140, 160, 180, 280};
};

Bytes DevBytes(const DevFields& d) {
  Bytes o;
  o.i32(4);
  o.str(d.dev_name);
  o.i32(d.ch_num);
  o.f32(d.vd2ab);
  for (int i = 0; i < d.ch_num; ++i) {
    o.i32(d.ch_type[i]);
    o.u16(d.site_no[i]);
  }
  o.u8(d.pos_valid);
  for (int i = 0; i < d.ch_num; ++i) {
    o.f32(d.mx[i]);
    o.f32(0.0f);
    o.f32(d.mx[i] + 20.0f);
    o.f32(0.0f);
  }
  return o;
}

struct GpsFields {
  double lon = 11630.5;
  double lat = 3954.25;
  float alti = 45.5f;
  int32_t mask_sp = 63;
  int32_t mask_groud_r = 3;
  float sp_ac[6] = {0.001f, 0.0123f, -0.002f, 0.0f, 0.5f, 0.000001f};
  float sp_dc[6] = {0, 0, 0, 0, 0, 0};
  float groud_r[6] = {1500.0f, 2500.0f, 0, 0, 0, 0};
  int32_t start_time = 0;
};

Bytes GpsBytes(const GpsFields& g) {
  Bytes o;
  o.f64(g.lon);
  o.f64(g.lat);
  o.f32(g.alti);
  o.i32(g.mask_sp);
  o.i32(g.mask_groud_r);
  for (int i = 0; i < 6; ++i) {
    o.f32(g.sp_ac[i]);
    o.f32(g.sp_dc[i]);
    o.f32(g.groud_r[i]);
  }
  o.i32(g.start_time);
  return o;
}

using Rows = std::vector<std::vector<float>>;

const Rows kTwoRows = {{0.5f, -0.25f, 0.125f, 1.5f, 0.0f, -0.0625f}, {1.0f, 2.0f, -3.0f, 0.75f, 0.375f, 1.25f}};

Bytes RowBytes(const Rows& rows) {
  Bytes o;
  for (const auto& r : rows)
    for (float v : r) o.f32(v);
  return o;
}

// Header of a file of the given version (1: no magic, no gains; 2: gains;
// 3 and up: gains and the GPS block).
Bytes Header(int version, const MeasFields& m = MeasFields(), const DevFields& d = DevFields(),
             const float* gains = nullptr, const GpsFields& g = GpsFields()) {
  static const float kUnitGains[6] = {1, 1, 1, 1, 1, 1};
  Bytes o;
  if (version > 1 || version < 1) {
    o.u8(0x23);
    o.u8(0x23);
    o.i32(version);
  }
  o.append(MeasBytes(m));
  o.append(DevBytes(d));
  if (version > 1) {
    for (int i = 0; i < 6; ++i) o.f32((gains ? gains : kUnitGains)[i]);
  }
  if (version > 2) o.append(GpsBytes(g));
  return o;
}

std::string WriteTemp(const std::string& name, const std::vector<unsigned char>& bytes) {
  std::string path = testing::TempDir() + "varnex_smt_" + name;
  FilePtr fp(std::fopen(path.c_str(), "wb"));
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), fp.get());
  return path;
}

std::vector<unsigned char> ReadAll(const std::string& path) {
  FilePtr fp(std::fopen(path.c_str(), "rb"));
  std::vector<unsigned char> out;
  if (!fp) return out;
  int c;
  while ((c = std::fgetc(fp.get())) != EOF) out.push_back((unsigned char)c);
  return out;
}

void ExpectRows(const CFormatSmt& smt, const Rows& rows) {
  ASSERT_EQ(smt.m_data_rows, int32_t(rows.size()));
  for (int c = 0; c < MAX_CH_NUM; ++c) {
    ASSERT_EQ(smt.GetRawData(c).size(), rows.size());
    for (size_t r = 0; r < rows.size(); ++r) EXPECT_EQ(smt.GetRawData(c)[r], rows[r][size_t(c)]) << c << "/" << r;
  }
}

void ExpectHeaderDefaults(const CFormatSmt& smt) {
  for (int i = 0; i < MAX_CH_NUM; ++i) {
    EXPECT_EQ(smt.m_gain[i], 1.0f);
    EXPECT_EQ(smt.m_sp_ac[i], 0.0f);
    EXPECT_EQ(smt.m_sp_dc[i], 0.0f);
    EXPECT_EQ(smt.m_groud_r[i], 0.0f);
  }
  EXPECT_EQ(smt.m_gps_lon, 0.0);
  EXPECT_EQ(smt.m_gps_lat, 0.0);
  EXPECT_EQ(smt.m_gps_alti, 0.0f);
  EXPECT_EQ(smt.m_mask_sp, 0);
  EXPECT_EQ(smt.m_mask_groud_r, 0);
  EXPECT_EQ(smt.m_start_time, 0);
}

}  // namespace

TEST(FormatSmt, NewObject) {
  CFormatSmt smt;
  EXPECT_STREQ(smt.GetExt(), "SMT");
  EXPECT_EQ(smt.m_data_rows, 0);
  EXPECT_EQ(smt.GetFileVer(), SMT_FILE_VER);
  ExpectHeaderDefaults(smt);
  EXPECT_EQ(smt.m_prm_dev.ch_num, 6);
  EXPECT_EQ(smt.m_prm_meas.line_no, 101);
}

TEST(FormatSmt, VersionOneHasNoMagicAndUnitGains) {
  Bytes file = Header(1);
  ASSERT_NE(file.b[0], 0x23);
  file.append(RowBytes(kTwoRows));

  CFormatSmt smt;
  ASSERT_TRUE(smt.Read(WriteTemp("v1.smt", file.b)));
  EXPECT_EQ(smt.GetFileVer(), 1);
  EXPECT_EQ(smt.GetSize(), int32_t(file.size()));
  EXPECT_STREQ(smt.m_prm_meas.prj_name, "P1");
  EXPECT_EQ(smt.m_prm_meas.line_no, 7);
  EXPECT_EQ(smt.m_prm_meas.cur_value, 5.0f);
  EXPECT_STREQ(smt.m_prm_dev.dev_name, "ST01");
  EXPECT_EQ(smt.m_prm_dev.site_no[5], 9);
  EXPECT_EQ(smt.m_prm_dev.mx[5], 280.0f);
  ExpectHeaderDefaults(smt);
  ExpectRows(smt, kTwoRows);
}

TEST(FormatSmt, VersionTwoHasGainsButNoGpsBlock) {
  const float gains[6] = {1, 2, 10, 0.5f, 100, 3};
  Bytes file = Header(2, MeasFields(), DevFields(), gains);
  file.append(RowBytes(kTwoRows));

  CFormatSmt smt;
  ASSERT_TRUE(smt.Read(WriteTemp("v2.smt", file.b)));
  EXPECT_EQ(smt.GetFileVer(), 2);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(smt.m_gain[i], gains[i]);
  EXPECT_EQ(smt.m_start_time, 0);
  EXPECT_EQ(smt.m_gps_lon, 0.0);
  EXPECT_EQ(smt.m_mask_sp, 0);
  ExpectRows(smt, kTwoRows);
}

TEST(FormatSmt, VersionThreeAndFourCarryTheGpsBlock) {
  for (int version : {3, 4}) {
    SCOPED_TRACE(version);
    const float gains[6] = {2, 2, 2, 2, 2, 2};
    GpsFields g;
    g.start_time = 1557119045;
    Bytes file = Header(version, MeasFields(), DevFields(), gains, g);
    file.append(RowBytes(kTwoRows));

    CFormatSmt smt;
    ASSERT_TRUE(smt.Read(WriteTemp("v34.smt", file.b)));
    EXPECT_EQ(smt.GetFileVer(), version);
    EXPECT_EQ(smt.m_gain[3], 2.0f);
    EXPECT_EQ(smt.m_gps_lon, 11630.5);
    EXPECT_EQ(smt.m_gps_lat, 3954.25);
    EXPECT_EQ(smt.m_gps_alti, 45.5f);
    EXPECT_EQ(smt.m_mask_sp, 63);
    EXPECT_EQ(smt.m_mask_groud_r, 3);
    for (int i = 0; i < 6; ++i) {
      EXPECT_EQ(smt.m_sp_ac[i], g.sp_ac[i]);
      EXPECT_EQ(smt.m_groud_r[i], g.groud_r[i]);
    }
    EXPECT_EQ(smt.m_start_time, 1557119045);
    EXPECT_EQ(smt.m_prm_meas.start_time, 86400);
    ExpectRows(smt, kTwoRows);
  }
}

TEST(FormatSmt, RowCountIsTheRemainingBytesOverTwentyFour) {
  // Long names pad the header of a version 3 file to exactly 1000 bytes.
  MeasFields m;
  m.prj_name = std::string(254, 'p');
  m.file_name = std::string(254, 'f');
  m.cur_station = "";
  DevFields d;
  Bytes probe = Header(3, m, d);
  d.dev_name = std::string(1000 - probe.size() + d.dev_name.size(), 'd');
  Bytes file = Header(3, m, d);
  ASSERT_EQ(file.size(), 1000u);

  Rows rows;
  for (int r = 0; r < 375; ++r) rows.push_back({float(r), -float(r), 0.5f * r, 1.0f, 2.0f, 3.0f});
  file.append(RowBytes(rows));
  ASSERT_EQ(file.size(), 10000u);

  CFormatSmt smt;
  ASSERT_TRUE(smt.Read(WriteTemp("10000.smt", file.b)));
  EXPECT_EQ(std::string(smt.m_prm_dev.dev_name), d.dev_name);
  ExpectRows(smt, rows);

  // Bytes short of a whole row at the end are not a row.
  for (int extra = 1; extra < 24; extra += 11) {
    Bytes longer = file;
    for (int i = 0; i < extra; ++i) longer.u8(0xFF);
    CFormatSmt smt2;
    ASSERT_TRUE(smt2.Read(WriteTemp("10000b.smt", longer.b)));
    EXPECT_EQ(smt2.m_data_rows, 375);
  }
}

TEST(FormatSmt, GetDataDividesByTheGain) {
  const float gains[6] = {1, 1, 10, 1, 1, 0};
  Bytes file = Header(2, MeasFields(), DevFields(), gains);
  file.append(RowBytes({{0, 0, 5.0f, 0, 0, 1}, {0, 0, -0.3f, 0, 0, 1}, {0, 0, 12.0f, 0, 0, 1}}));
  CFormatSmt smt;
  ASSERT_TRUE(smt.Read(WriteTemp("gain.smt", file.b)));

  float out[3] = {0, 0, 0};
  ASSERT_TRUE(smt.GetData(2, 0, 3, out));
  EXPECT_EQ(out[0], 5.0f / 10.0f);
  EXPECT_EQ(out[1], -0.3f / 10.0f);
  EXPECT_EQ(out[2], 12.0f / 10.0f);

  std::vector<float> v;
  ASSERT_TRUE(smt.GetData(2, 1, 2, &v));
  EXPECT_EQ(v, (std::vector<float>{-0.3f / 10.0f, 1.2f}));
  ASSERT_TRUE(smt.GetData(2, 3, 0, &v));
  EXPECT_TRUE(v.empty());

  struct Case {
    int ch, begin, num;
  } bad[] = {{6, 0, 1}, {-1, 0, 1}, {2, 0, 4}, {2, 2, 2}, {2, -1, 1}, {2, 0, -1}, {2, 1, 2147483647},
             {5, 0, 1} /* gain 0 */};
  for (const Case& c : bad) {
    SCOPED_TRACE(testing::Message() << c.ch << " " << c.begin << " " << c.num);
    float sentinel[4] = {7, 7, 7, 7};
    EXPECT_FALSE(smt.GetData(c.ch, c.begin, c.num, sentinel));
    EXPECT_EQ(sentinel[0], 7.0f);
    std::vector<float> keep = {9.0f};
    EXPECT_FALSE(smt.GetData(c.ch, c.begin, c.num, &keep));
    EXPECT_EQ(keep, std::vector<float>{9.0f});
  }
}

TEST(FormatSmt, OverRangeFollowsTheAmplifierChain) {
  struct Case {
    std::vector<float> row;
    int expected[6];
  } cases[] = {
      {{0.5f, 0.5f, 0.3f, 0, 0, 0}, {1, 0, 0, 0, 0, 0}},     // s0+s1+s2 = 1.3
      {{0, 0.7f, 0.6f, 0, 0, 0}, {1, 1, 0, 0, 0, 0}},        // s1+s2 = 1.3
      {{0, 0, 1.2f, 0, 0, 0}, {1, 1, 1, 0, 0, 0}},           // |s2| alone reaches the limit
      {{0, 0, 0, -1.25f, 0, 0}, {0, 0, 0, 1, 1, 1}},         // s3 feeds channels 4 and 5
      {{0, 0, 0, 0.6f, 0.6f, -0.1f}, {0, 0, 0, 0, 1, 0}},    // s3+s4 = 1.2, s3+s4+s5 = 1.1
      {{0, 0, 0, 0.5f, 0.5f, 0.3f}, {0, 0, 0, 0, 0, 1}},     // only the three-term sum
      {{-1.19f, 0, 0, 0, 0, 1.19f}, {0, 0, 0, 0, 0, 0}},
      {{0.9f, -0.9f, 0.2f, 0, 0, 0}, {0, 0, 0, 0, 0, 0}},    // sums cancel
  };
  for (const Case& c : cases) {
    CFormatSmt smt;
    std::vector<float> data[6];
    for (int ch = 0; ch < 6; ++ch) data[ch] = {0.0f, c.row[size_t(ch)], 0.0f};
    ASSERT_TRUE(smt.SetData(data));
    for (int ch = 0; ch < 6; ++ch) {
      SCOPED_TRACE(testing::Message() << "row " << c.row[0] << "," << c.row[1] << "," << c.row[2] << ","
                                      << c.row[3] << "," << c.row[4] << "," << c.row[5] << " ch " << ch);
      EXPECT_EQ(smt.IsOverRange(ch, 0, 3), c.expected[ch]);
      EXPECT_EQ(smt.IsOverRange(ch, 1, 1), c.expected[ch]);
      EXPECT_EQ(smt.IsOverRange(ch, 0, 1), 0);
      EXPECT_EQ(smt.IsOverRange(ch, 2, 1), 0);
    }
    EXPECT_EQ(smt.IsOverRange(6, 0, 3), 0);
    EXPECT_EQ(smt.IsOverRange(0, 1, 3), 0);
  }
}

TEST(FormatSmt, OverRangeIgnoresTheGain) {
  const float gains[6] = {10, 10, 10, 10, 10, 10};
  Bytes file = Header(2, MeasFields(), DevFields(), gains);
  file.append(RowBytes({{1.3f, 0, 0, 0, 0, 0}}));
  CFormatSmt smt;
  ASSERT_TRUE(smt.Read(WriteTemp("ovr.smt", file.b)));
  EXPECT_EQ(smt.IsOverRange(0, 0, 1), 1);
}

TEST(FormatSmt, DataWithOverRangeIsGetDataAndIsOverRangeInOnePass) {
  // Random rows around the limit, gains 1, 2 and 10, every channel and
  // several row ranges, and the failures of GetData.
  CFormatSmt smt;
  std::vector<float> data[6];
  uint32_t state = 99u;
  for (int r = 0; r < 200; ++r)
    for (int ch = 0; ch < 6; ++ch) {
      state = state * 1664525u + 1013904223u;
      data[ch].push_back((float(state >> 8) / float(1u << 24) - 0.5f) * (r % 40 == 7 ? 3.0f : 1.0f));
    }
  data[4][150] = NAN;
  data[1][160] = -INFINITY;
  ASSERT_TRUE(smt.SetData(data));
  const float gains[6] = {1, 2, 10, 1, 10, 2};
  std::copy(gains, gains + 6, smt.m_gain);
  int flagged = 0;
  for (int ch = 0; ch < 6; ++ch)
    for (const auto& range : {std::pair<int, int>{0, 200}, {0, 7}, {8, 32}, {140, 20}, {155, 45}, {199, 1}, {5, 0}}) {
      SCOPED_TRACE(testing::Message() << "ch " << ch << " rows " << range.first << "+" << range.second);
      std::vector<float> want(size_t(range.second)), got(size_t(range.second) + 1, 7.0f);
      ASSERT_TRUE(smt.GetData(ch, range.first, range.second, want.data()));
      const int over = smt.GetDataOverRange(ch, range.first, range.second, got.data());
      EXPECT_EQ(over, smt.IsOverRange(ch, range.first, range.second));
      flagged += over;
      if (!want.empty()) {
        EXPECT_EQ(std::memcmp(got.data(), want.data(), want.size() * sizeof(float)), 0);
      }
      EXPECT_EQ(got.back(), 7.0f);
    }
  EXPECT_GT(flagged, 6);
  float sentinel[2] = {7, 7};
  EXPECT_EQ(smt.GetDataOverRange(6, 0, 1, sentinel), -1);
  EXPECT_EQ(smt.GetDataOverRange(0, 199, 2, sentinel), -1);
  EXPECT_EQ(smt.GetDataOverRange(0, -1, 1, sentinel), -1);
  EXPECT_EQ(smt.GetDataOverRange(0, 0, 1, nullptr), -1);
  smt.m_gain[3] = 0.0f;
  EXPECT_EQ(smt.GetDataOverRange(3, 0, 1, sentinel), -1);
  EXPECT_EQ(sentinel[0], 7.0f);
}

TEST(FormatSmt, ANewReaderNeverSeesTheSamplesOfADestroyedOne) {
  // The buffers of a destroyed object serve the next read on the thread:
  // longer and shorter files after it, and a failed read in between.
  const float gains[6] = {1, 1, 1, 1, 1, 1};
  auto file_of = [&](int rows, float base) {
    Bytes file = Header(2, MeasFields(), DevFields(), gains);
    std::vector<std::vector<float>> data;
    for (int r = 0; r < rows; ++r) data.push_back({base + r, base - r, base, -base, float(r), base * r});
    file.append(RowBytes(data));
    return file.b;
  };
  const std::string longer = WriteTemp("reuse_long.smt", file_of(500, 3.0f));
  const std::string shorter = WriteTemp("reuse_short.smt", file_of(7, -2.0f));
  const std::string broken = WriteTemp("reuse_broken.smt", {0x23, 0x23, 3, 0, 0, 0});
  std::vector<float> want_long[6], want_short[6];
  {
    CFormatSmt ref;
    ASSERT_TRUE(ref.Read(longer));
    for (int c = 0; c < 6; ++c) want_long[c] = ref.GetRawData(c);
    ASSERT_TRUE(ref.Read(shorter));
    for (int c = 0; c < 6; ++c) want_short[c] = ref.GetRawData(c);
  }
  for (const std::string* path : {&shorter, &longer, &broken, &shorter, &longer, &longer}) {
    CFormatSmt smt;
    if (path == &broken) {
      EXPECT_FALSE(smt.Read(*path));
      EXPECT_EQ(smt.GetDataRows(), 0);
      for (int c = 0; c < 6; ++c) EXPECT_TRUE(smt.GetRawData(c).empty());
      continue;
    }
    ASSERT_TRUE(smt.Read(*path));
    const std::vector<float>* want = path == &longer ? want_long : want_short;
    EXPECT_EQ(smt.GetDataRows(), int(want[0].size()));
    for (int c = 0; c < 6; ++c) EXPECT_EQ(smt.GetRawData(c), want[c]) << c;
  }
}

TEST(FormatSmt, ClearDropsTheSamples) {
  Bytes file = Header(3);
  file.append(RowBytes(kTwoRows));
  CFormatSmt smt;
  ASSERT_TRUE(smt.Read(WriteTemp("clear.smt", file.b)));
  smt.Clear();
  EXPECT_EQ(smt.m_data_rows, 0);
  for (int c = 0; c < 6; ++c) EXPECT_TRUE(smt.GetRawData(c).empty());
  float out = 0;
  EXPECT_FALSE(smt.GetData(0, 0, 1, &out));
  EXPECT_TRUE(smt.GetData(0, 0, 0, &out));
  EXPECT_EQ(smt.m_mask_sp, 63);
}

TEST(FormatSmt, ReadingAnOlderFileDoesNotKeepValuesOfTheFormerOne) {
  const float gains[6] = {10, 10, 10, 10, 10, 10};
  GpsFields g;
  g.start_time = 1000;
  Bytes v3 = Header(3, MeasFields(), DevFields(), gains, g);
  v3.append(RowBytes(kTwoRows));
  Bytes v1 = Header(1);
  v1.append(RowBytes({kTwoRows[0]}));

  CFormatSmt smt;
  ASSERT_TRUE(smt.Read(WriteTemp("seq3.smt", v3.b)));
  ASSERT_EQ(smt.m_gain[0], 10.0f);
  ASSERT_TRUE(smt.Read(WriteTemp("seq1.smt", v1.b)));
  ExpectHeaderDefaults(smt);
  ExpectRows(smt, {kTwoRows[0]});
  float out = 0;
  ASSERT_TRUE(smt.GetData(0, 0, 1, &out));
  EXPECT_EQ(out, 0.5f);
}

TEST(FormatSmt, BrokenFilesFail) {
  struct Case {
    const char* what;
    std::vector<unsigned char> bytes;
  };
  std::vector<Case> cases;
  cases.push_back({"empty", {}});
  cases.push_back({"magic only", {0x23, 0x23}});
  cases.push_back({"magic and half a version", {0x23, 0x23, 2, 0}});
  {
    Bytes b;
    b.u8(0x23);
    b.u8(0x23);
    b.i32(3);
    MeasFields m;
    Bytes meas = MeasBytes(m);
    meas.b[0] = 5;  // record version above the supported one
    b.append(meas);
    b.append(DevBytes(DevFields()));
    cases.push_back({"record version 5", b.b});
  }
  {
    Bytes b = MeasBytes(MeasFields());
    DevFields d;
    Bytes dev = DevBytes(d);
    dev.b[4 + 4 + 5] = 7;  // ch_num 7
    b.append(dev);
    cases.push_back({"seven channels", b.b});
  }
  {
    Bytes b = Header(2);
    b.b.resize(b.size() - 1);
    cases.push_back({"gains one byte short", b.b});
  }
  {
    Bytes b = Header(3);
    b.b.resize(b.size() - 2);
    cases.push_back({"start time missing", b.b});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CFormatSmt smt;
    EXPECT_FALSE(smt.Read(WriteTemp("bad.smt", c.bytes)));
  }
  CFormatSmt smt;
  std::string missing = testing::TempDir() + "varnex_smt_no_such_dir/x.smt";
  EXPECT_FALSE(smt.Read(missing));
  EXPECT_EQ(smt.GetPath(), "");  // a failed read changes nothing
  EXPECT_EQ(smt.GetError().rfind("cannot open the file: ", 0), 0u);
}

TEST(FormatSmt, TruncationAnywhereNeverCrashes) {
  for (int version : {1, 3}) {
    SCOPED_TRACE(version);
    const float gains[6] = {1, 2, 4, 8, 16, 32};
    Bytes header = Header(version, MeasFields(), DevFields(), gains);
    Bytes full = header;
    const Rows rows = {kTwoRows[0], kTwoRows[1], kTwoRows[0]};
    full.append(RowBytes(rows));

    for (size_t cut = 0; cut <= full.size(); ++cut) {
      SCOPED_TRACE(cut);
      std::vector<unsigned char> part(full.b.begin(), full.b.begin() + long(cut));
      CFormatSmt smt;
      bool ok = smt.Read(WriteTemp("cut.smt", part));
      if (cut >= header.size()) {
        ASSERT_TRUE(ok);
        ExpectRows(smt, Rows(rows.begin(), rows.begin() + long((cut - header.size()) / 24)));
      } else if (version == 3) {
        // Every block of a version 3 header is required.
        EXPECT_FALSE(ok);
      } else if (ok) {
        // Version 1 cannot tell a device record cut in its coordinates from
        // a complete one; such a file has no samples.
        EXPECT_EQ(smt.m_data_rows, 0);
      }
      float out[3];
      if (smt.m_data_rows > 0) {
        EXPECT_TRUE(smt.GetData(0, 0, smt.m_data_rows, out));
      }
      smt.IsOverRange(0, 0, smt.m_data_rows);
    }
  }
}

TEST(FormatSmt, TextDump) {
  const char* old_tz = std::getenv("TZ");
  std::string saved = old_tz ? old_tz : "";
  setenv("TZ", "UTC-8", 1);
  tzset();

  Bytes file = Header(3);
  file.append(RowBytes(kTwoRows));
  CFormatSmt smt;
  ASSERT_TRUE(smt.Read(WriteTemp("dump.smt", file.b)));
  std::string out_path = testing::TempDir() + "varnex_smt_dump.txt";
  ASSERT_TRUE(smt.Print(out_path));
  std::vector<unsigned char> text = ReadAll(out_path);

  if (old_tz)
    setenv("TZ", saved.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();

  const std::string expected =
      "file name: F01\n"
      "project name: P1\n"
      "line no: 7\n"
      "power A position: -500.000000\n"
      "power B position: 500.000000\n"
      "layout type: unknown\n"
      "MN(m): 20.000000\n"
      "first pole position: 100.000000\n"
      "harmonic number: 3\n"
      "waveform: unknown\n"
      "base frequency: 0.500000\n"
      "start time: 1970/01/01 08:00:00\n"
      "samplerate:15\n"
      "electric current station: CUR1\n"
      "voltage to electric current\xEF\xBC\x9A" "125.000000mV/A\n"
      "number of channels:6\n"
      "vertical distance from AB: 12.500000\n"
      "gps longitude:11630.500000\n"
      "gps latitude:3954.250000\n"
      "gps altitude:45.500000\n"
      "mask_sp:63\n"
      "mask groud_r:3\n"
      "station: ST01\n"
      "ch_no       ch1       ch2       ch3       ch4       ch5       ch6       \n"
      "ch_type:    U         U         H         I         N         U         \n"
      "site_no:    1         2         *         *         *         10        \n"
      "sp_ac(mV):  1.0E+00   1.2E+01   -2.0E+00  0.0E+00   5.0E+02   1.0E-03   \n"
      "sp_dc(mV):  0.0E+00   0.0E+00   0.0E+00   0.0E+00   0.0E+00   0.0E+00   \n"
      "groud_r(\xCE\xA9): 1.5E+03   2.5E+03   0.0E+00   0.0E+00   0.0E+00   0.0E+00   \n"
      "number of samples: 2\n"
      "data_id   ch1(mV)           ch2(mV)           ch3(mV)           ch4(mV)           ch5(mV)           "
      "ch6(mV)           \n"
      "1         5.000000E+02      -2.500000E+02     1.250000E+02      1.500000E+03      0.000000E+00      "
      "-6.250000E+01     \n"
      "2         1.000000E+03      2.000000E+03      -3.000000E+03     7.500000E+02      3.750000E+02      "
      "1.250000E+03      \n";
  EXPECT_EQ(std::string(text.begin(), text.end()), expected);
}

TEST(FormatSmt, TextDumpVariants) {
  MeasFields m;
  m.curr_station_used = 0;
  m.cur_value = 2.5f;
  m.layout = 1;
  m.wave = 0;
  DevFields d;
  d.ch_num = 4;
  Bytes file = Header(2, m, d);
  CFormatSmt smt;
  ASSERT_TRUE(smt.Read(WriteTemp("dump2.smt", file.b)));
  FilePtr fp(std::tmpfile());
  ASSERT_TRUE(smt.PrintFile(fp.get()));
  std::rewind(fp.get());
  std::string text;
  int c;
  while ((c = std::fgetc(fp.get())) != EOF) text.push_back(char(c));

  EXPECT_NE(text.find(std::string("layout type: ") + SipLayoutName(1) + "\n"), std::string::npos);
  EXPECT_NE(text.find(std::string("waveform: ") + SipWaveName(0) + "\n"), std::string::npos);
  EXPECT_NE(text.find("samplerate:15\nelectric current value: 2.500000A\nnumber of channels:6\n"), std::string::npos);
  EXPECT_EQ(text.find("electric current station"), std::string::npos);
  // Four channels: no channel block, the samples follow the header at once.
  EXPECT_EQ(text.find("station: "), std::string::npos);
  EXPECT_NE(text.find("mask groud_r:0\nnumber of samples: 0\ndata_id   ch1(mV)"), std::string::npos);
}

TEST(FormatSmt, WriterProducesTheNewestLayoutAndReadsBack) {
  GpsFields g;
  g.start_time = 1557119045;
  const float gains[6] = {1, 2, 10, 0.5f, 100, 3};
  MeasFields m;
  DevFields d;
  Bytes expected = Header(SMT_FILE_VER, m, d, gains, g);
  expected.append(RowBytes(kTwoRows));

  CFormatSmt src;
  ASSERT_TRUE(src.Read(WriteTemp("w_src.smt", expected.b)));
  std::string path = testing::TempDir() + "varnex_smt_written.smt";
  ASSERT_TRUE(src.Write(path));
  EXPECT_EQ(ReadAll(path), expected.b);

  // Built from scratch through the setters.
  CFormatSmt built;
  built.m_prm_meas = src.m_prm_meas;
  built.m_prm_dev = src.m_prm_dev;
  for (int i = 0; i < 6; ++i) {
    built.m_gain[i] = gains[i];
    built.m_sp_ac[i] = g.sp_ac[i];
    built.m_sp_dc[i] = g.sp_dc[i];
    built.m_groud_r[i] = g.groud_r[i];
  }
  built.m_gps_lon = g.lon;
  built.m_gps_lat = g.lat;
  built.m_gps_alti = g.alti;
  built.m_mask_sp = g.mask_sp;
  built.m_mask_groud_r = g.mask_groud_r;
  built.m_start_time = g.start_time;
  std::vector<float> data[6];
  for (int c = 0; c < 6; ++c)
    for (const auto& r : kTwoRows) data[c].push_back(r[size_t(c)]);
  ASSERT_TRUE(built.SetData(data));
  FilePtr fp(std::tmpfile());
  ASSERT_TRUE(built.WriteFile(fp.get()));
  std::rewind(fp.get());
  std::vector<unsigned char> got;
  int ch;
  while ((ch = std::fgetc(fp.get())) != EOF) got.push_back((unsigned char)ch);
  EXPECT_EQ(got, expected.b);

  CFormatSmt back;
  ASSERT_TRUE(back.Read(path));
  EXPECT_EQ(back.GetFileVer(), SMT_FILE_VER);
  EXPECT_EQ(back.m_start_time, 1557119045);
  EXPECT_EQ(back.m_gain[4], 100.0f);
  ExpectRows(back, kTwoRows);
}

TEST(FormatSmt, SetDataRejectsRaggedChannels) {
  CFormatSmt smt;
  std::vector<float> data[6];
  for (int c = 0; c < 6; ++c) data[c] = {1.0f, 2.0f};
  ASSERT_TRUE(smt.SetData(data));
  data[3].push_back(3.0f);
  EXPECT_FALSE(smt.SetData(data));
  EXPECT_EQ(smt.m_data_rows, 2);
  EXPECT_EQ(smt.GetRawData(3).size(), 2u);
  EXPECT_TRUE(smt.GetRawData(6).empty());
  EXPECT_TRUE(smt.GetRawData(-1).empty());
}
