#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "core/base/algo.h"
#include "core/base/ex_file.h"
#include "core/sip/sip_pub.h"

namespace {

using FilePtr = std::unique_ptr<FILE, ExFileCloser>;
using ByteVec = std::vector<uint8_t>;

FilePtr memfile(const ByteVec& bytes) {
  FILE* fp = std::tmpfile();
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), fp);
  std::rewind(fp);
  return FilePtr(fp);
}

ByteVec contents(FILE* fp) {
  std::rewind(fp);
  ByteVec out;
  int c;
  while ((c = std::fgetc(fp)) != EOF) out.push_back(uint8_t(c));
  return out;
}

// Little-endian stream builder for streams of older versions and damaged ones.
struct Bytes {
  ByteVec v;
  Bytes& u8(uint8_t x) {
    v.push_back(x);
    return *this;
  }
  Bytes& u16(uint16_t x) {
    v.push_back(uint8_t(x));
    v.push_back(uint8_t(x >> 8));
    return *this;
  }
  Bytes& i32(int32_t x) {
    uint32_t u = uint32_t(x);
    for (int i = 0; i < 4; ++i) v.push_back(uint8_t(u >> (8 * i)));
    return *this;
  }
  Bytes& f32(float x) {
    uint32_t u;
    std::memcpy(&u, &x, 4);
    return i32(int32_t(u));
  }
  Bytes& str(const char* s) {
    size_t n = std::strlen(s) + 1;
    i32(int32_t(n));
    v.insert(v.end(), s, s + n);
    return *this;
  }
};

PrmMeas sample_meas() {
  PrmMeas m;
  SipSetStr(m.prj_name, "P1");
  m.line_no = 7;
  m.ax = -1000.0f;
  m.ay = 0.5f;
  m.bx = 1000.0f;
  m.by = -2.0f;
  m.layout = SIP_POLE3_SOUNDING;
  m.wave = SIP_WAVE_SQUARE;
  m.freq_base = 0.25f;
  m.harm_num = 5;
  m.start_time = 0x5CD0A1B2;
  m.sample_rate = 150;
  m.mn = 20.0f;
  m.first_pole_pos = 100.0f;
  m.curr_station_used = 1;
  SipSetStr(m.cur_station, "ST09");
  return m;
}

// The measurement part of an older stream: everything up to cur_station.
Bytes meas_head(int32_t version) {
  Bytes b;
  b.i32(version).str("P1").i32(7).f32(-1000.0f).f32(0.5f).f32(1000.0f).f32(-2.0f).i32(1).i32(0).f32(0.25f).i32(5);
  b.i32(0x5CD0A1B2).str("test").i32(150).i32(8).f32(20.0f).f32(100.0f).u8(1).str("ST09");
  return b;
}

void expect_meas_eq(const PrmMeas& a, const PrmMeas& b) {
  EXPECT_STREQ(a.prj_name, b.prj_name);
  EXPECT_EQ(a.line_no, b.line_no);
  EXPECT_EQ(a.ax, b.ax);
  EXPECT_EQ(a.ay, b.ay);
  EXPECT_EQ(a.bx, b.bx);
  EXPECT_EQ(a.by, b.by);
  EXPECT_EQ(a.layout, b.layout);
  EXPECT_EQ(a.wave, b.wave);
  EXPECT_EQ(a.freq_base, b.freq_base);
  EXPECT_EQ(a.harm_num, b.harm_num);
  EXPECT_EQ(a.start_time, b.start_time);
  EXPECT_STREQ(a.file_name, b.file_name);
  EXPECT_EQ(a.sample_rate, b.sample_rate);
  EXPECT_EQ(a.reserved, b.reserved);
  EXPECT_EQ(a.mn, b.mn);
  EXPECT_EQ(a.first_pole_pos, b.first_pole_pos);
  EXPECT_EQ(a.curr_station_used, b.curr_station_used);
  EXPECT_STREQ(a.cur_station, b.cur_station);
  EXPECT_EQ(a.v2i, b.v2i);
  EXPECT_EQ(a.cur_value, b.cur_value);
}

PrmDev sample_dev() {
  PrmDev d;
  SipSetStr(d.dev_name, "ST01");
  d.ch_num = 2;
  d.vd2ab = 15.5f;
  d.ch_type[0] = SIP_CH_ELECTRIC;
  d.ch_type[1] = SIP_CH_CURRENT;
  d.site_no[0] = 4;
  d.site_no[1] = 0x0102;
  d.pos_valid = 1;
  const float q[2][4] = {{80.0f, 0.0f, 100.0f, 0.0f}, {-1.5f, 2.0f, 3.0f, 0.25f}};
  for (int i = 0; i < 2; ++i) {
    d.mx[i] = q[i][0];
    d.my[i] = q[i][1];
    d.nx[i] = q[i][2];
    d.ny[i] = q[i][3];
  }
  return d;
}

template <typename Rec>
bool read_bytes(const ByteVec& bytes, bool (*reader)(FILE*, Rec*), Rec* rec) {
  FilePtr fp = memfile(bytes);
  return reader(fp.get(), rec);
}

}  // namespace

TEST(SipPubRecords, ConstructorsApplyTheDefaults) {
  const time_t before = std::time(nullptr);
  PrmMeas m;
  const time_t after = std::time(nullptr);
  EXPECT_STREQ(m.prj_name, "");
  EXPECT_EQ(m.line_no, 101);
  EXPECT_EQ(m.ax, -1000.0f);
  EXPECT_EQ(m.ay, 0.0f);
  EXPECT_EQ(m.bx, 1000.0f);
  EXPECT_EQ(m.by, 0.0f);
  EXPECT_EQ(m.layout, SIP_MID_GRADIENT);
  EXPECT_EQ(m.wave, SIP_WAVE_SPREAD_SPECTRUM);
  EXPECT_EQ(m.freq_base, 0.25f);
  EXPECT_EQ(m.harm_num, 3);
  EXPECT_GE(m.start_time, int32_t(before - 28800));
  EXPECT_LE(m.start_time, int32_t(after - 28800));
  EXPECT_STREQ(m.file_name, "test");
  for (int i = 5; i < SIP_STR_LEN; ++i) ASSERT_EQ(m.file_name[i], 0);
  EXPECT_EQ(m.sample_rate, 15);
  EXPECT_EQ(m.reserved, 8);
  EXPECT_EQ(m.mn, 20.0f);
  EXPECT_EQ(m.first_pole_pos, 0.0f);
  EXPECT_EQ(m.curr_station_used, 0);
  EXPECT_STREQ(m.cur_station, "");
  EXPECT_EQ(m.v2i, 0.1f);
  EXPECT_EQ(m.cur_value, 5.0f);

  PrmDev d;
  EXPECT_STREQ(d.dev_name, "");
  EXPECT_EQ(d.ch_num, MAX_CH_NUM);
  EXPECT_EQ(d.vd2ab, 0.0f);
  EXPECT_EQ(d.pos_valid, 0);
  for (int i = 0; i < MAX_CH_NUM; ++i) {
    EXPECT_EQ(d.ch_type[i], SIP_CH_ELECTRIC);
    EXPECT_EQ(d.site_no[i], 0);
    EXPECT_EQ(d.mx[i], 0.0f);
    EXPECT_EQ(d.ny[i], 0.0f);
  }

  PrmPole p;
  EXPECT_STREQ(p.name, "");
  EXPECT_EQ(p.x, 0.0f);
  EXPECT_EQ(p.y, 0.0f);

  ChInfo ci;
  EXPECT_EQ(ci.ch_type, SIP_CH_ELECTRIC);
}

TEST(SipPubMeas, WritesTheCurrentVersionByteForByteAndReadsItBack) {
  const ByteVec expected = {
      0x04, 0x00, 0x00, 0x00,                          // version
      0x03, 0x00, 0x00, 0x00, 'P',  '1',  0x00,        // prj_name
      0x07, 0x00, 0x00, 0x00,                          // line_no
      0x00, 0x00, 0x7A, 0xC4, 0x00, 0x00, 0x00, 0x3F,  // ax, ay
      0x00, 0x00, 0x7A, 0x44, 0x00, 0x00, 0x00, 0xC0,  // bx, by
      0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // layout, wave
      0x00, 0x00, 0x80, 0x3E, 0x05, 0x00, 0x00, 0x00,  // freq_base, harm_num
      0xB2, 0xA1, 0xD0, 0x5C,                          // start_time
      0x05, 0x00, 0x00, 0x00, 't',  'e',  's',  't',  0x00,  // file_name
      0x96, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00,  // sample_rate, reserved
      0x00, 0x00, 0xA0, 0x41, 0x00, 0x00, 0xC8, 0x42,  // mn, first_pole_pos
      0x01,                                            // curr_station_used
      0x05, 0x00, 0x00, 0x00, 'S',  'T',  '0',  '9',  0x00,  // cur_station
      0xCD, 0xCC, 0xCC, 0x3D, 0x00, 0x00, 0xA0, 0x40,  // v2i, cur_value
  };
  const PrmMeas m = sample_meas();
  FilePtr fp(std::tmpfile());
  EXPECT_EQ(SipPubWriteMeas(fp.get(), m), expected.size());
  EXPECT_EQ(contents(fp.get()), expected);

  std::rewind(fp.get());
  PrmMeas back;
  ASSERT_TRUE(SipPubReadMeas(fp.get(), &back));
  expect_meas_eq(back, m);
  EXPECT_EQ(ex_fremain(fp.get()), 0);
}

TEST(SipPubMeas, OlderVersionsCarryV2iFromVersion3On) {
  for (int32_t version : {0, 1, 2}) {
    SCOPED_TRACE(version);
    ByteVec bytes = meas_head(version).f32(2.5f).v;
    PrmMeas m;
    ASSERT_TRUE(read_bytes(bytes, SipPubReadMeas, &m));
    EXPECT_EQ(m.v2i, 0.125f);
    EXPECT_EQ(m.cur_value, 2.5f);
    EXPECT_STREQ(m.cur_station, "ST09");
    EXPECT_EQ(m.first_pole_pos, 100.0f);
  }
  for (int32_t version : {3, 4}) {
    SCOPED_TRACE(version);
    ByteVec bytes = meas_head(version).f32(0.2f).f32(2.5f).v;
    PrmMeas m;
    ASSERT_TRUE(read_bytes(bytes, SipPubReadMeas, &m));
    PrmMeas expected = sample_meas();
    expected.v2i = 0.2f;
    expected.cur_value = 2.5f;
    expect_meas_eq(m, expected);
  }
}

TEST(SipPubMeas, RejectsNewerVersionsBadStringCountsAndTruncation) {
  PrmMeas m;
  EXPECT_FALSE(read_bytes(meas_head(5).f32(0.1f).f32(5.0f).v, SipPubReadMeas, &m));

  for (int32_t count : {256, -1, 0x7FFFFFFF}) {
    SCOPED_TRACE(count);
    Bytes b;
    b.i32(4).i32(count).u8('x').u8(0);
    b.v.resize(200, 0);
    EXPECT_FALSE(read_bytes(b.v, SipPubReadMeas, &m));
  }

  // A count of 255 is the largest that fits the buffer with its NUL.
  Bytes longest;
  longest.i32(4).i32(255);
  longest.v.insert(longest.v.end(), 254, 'n');
  longest.u8(0);
  ByteVec tail = meas_head(4).f32(0.1f).f32(5.0f).v;
  longest.v.insert(longest.v.end(), tail.begin() + 11, tail.end());
  ASSERT_TRUE(read_bytes(longest.v, SipPubReadMeas, &m));
  EXPECT_EQ(std::strlen(m.prj_name), 254u);
  EXPECT_EQ(m.line_no, 7);

  const ByteVec full = meas_head(4).f32(0.1f).f32(5.0f).v;
  for (size_t len = 0; len < full.size(); ++len) {
    ByteVec cut(full.begin(), full.begin() + long(len));
    EXPECT_FALSE(read_bytes(cut, SipPubReadMeas, &m)) << "length " << len;
  }
}

TEST(SipPubDev, WritesTheCurrentVersionByteForByteAndReadsItBack) {
  const ByteVec expected = {
      0x04, 0x00, 0x00, 0x00,                                // version
      0x05, 0x00, 0x00, 0x00, 'S', 'T', '0', '1', 0x00,      // dev_name
      0x02, 0x00, 0x00, 0x00,                                // ch_num
      0x00, 0x00, 0x78, 0x41,                                // vd2ab
      0x01, 0x00, 0x00, 0x00, 0x04, 0x00,                    // ch_type[0], site_no[0]
      0x03, 0x00, 0x00, 0x00, 0x02, 0x01,                    // ch_type[1], site_no[1]
      0x01,                                                  // pos_valid
      0x00, 0x00, 0xA0, 0x42, 0x00, 0x00, 0x00, 0x00,        // mx[0], my[0]
      0x00, 0x00, 0xC8, 0x42, 0x00, 0x00, 0x00, 0x00,        // nx[0], ny[0]
      0x00, 0x00, 0xC0, 0xBF, 0x00, 0x00, 0x00, 0x40,        // mx[1], my[1]
      0x00, 0x00, 0x40, 0x40, 0x00, 0x00, 0x80, 0x3E,        // nx[1], ny[1]
  };
  ASSERT_EQ(expected.size(), 17u + 5u + 22u * 2u);
  const PrmDev d = sample_dev();
  FilePtr fp(std::tmpfile());
  EXPECT_EQ(SipPubWriteDev(fp.get(), d), expected.size());
  EXPECT_EQ(contents(fp.get()), expected);

  std::rewind(fp.get());
  PrmDev back;
  back.ch_type[4] = SIP_CH_MAGNETIC;
  ASSERT_TRUE(SipPubReadDev(fp.get(), &back));
  EXPECT_STREQ(back.dev_name, "ST01");
  EXPECT_EQ(back.ch_num, 2);
  EXPECT_EQ(back.vd2ab, 15.5f);
  EXPECT_EQ(back.pos_valid, 1);
  for (int i = 0; i < MAX_CH_NUM; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(back.ch_type[i], i < 2 ? d.ch_type[i] : SIP_CH_ELECTRIC);
    EXPECT_EQ(back.site_no[i], d.site_no[i]);
    EXPECT_EQ(back.mx[i], d.mx[i]);
    EXPECT_EQ(back.my[i], d.my[i]);
    EXPECT_EQ(back.nx[i], d.nx[i]);
    EXPECT_EQ(back.ny[i], d.ny[i]);
  }
}

TEST(SipPubDev, Version3EndsAfterTheSiteNumbersAndGetsPositionsFromThem) {
  Bytes b;
  b.i32(3).str("ST02").i32(3).f32(-5.0f);
  b.i32(1).u16(0).i32(1).u16(2).i32(0).u16(7);
  b.u8(0xEE);  // belongs to whatever follows the record
  FilePtr fp = memfile(b.v);
  PrmDev d;
  ASSERT_TRUE(SipPubReadDev(fp.get(), &d));
  EXPECT_EQ(ex_fremain(fp.get()), 1);
  EXPECT_EQ(d.ch_num, 3);
  EXPECT_EQ(d.vd2ab, -5.0f);
  EXPECT_EQ(d.ch_type[2], SIP_CH_INVALID);
  EXPECT_EQ(d.site_no[1], 2);
  EXPECT_EQ(d.pos_valid, 0);

  PrmMeas m;
  m.mn = 20.0f;
  m.first_pole_pos = 100.0f;
  SipFillDevPos(m, &d);
  EXPECT_EQ(d.pos_valid, 1);
  const float expected_m[] = {100.0f, 140.0f, 240.0f};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(d.mx[i], expected_m[i]);
    EXPECT_EQ(d.nx[i], expected_m[i] + 20.0f);
    EXPECT_EQ(d.my[i], 0.0f);
    EXPECT_EQ(d.ny[i], 0.0f);
  }
  EXPECT_EQ(d.mx[3], 0.0f);

  // Real coordinates are never replaced.
  PrmDev real = sample_dev();
  SipFillDevPos(m, &real);
  EXPECT_EQ(real.mx[1], -1.5f);
}

TEST(SipPubDev, RejectsNewerVersionsChannelCountsAndTruncation) {
  auto dev_bytes = [](int32_t version, int32_t ch_num) {
    Bytes b;
    b.i32(version).str("D").i32(ch_num).f32(1.0f);
    for (int i = 0; i < 8; ++i) b.i32(1).u16(uint16_t(i));
    b.u8(0);
    for (int i = 0; i < 32; ++i) b.f32(0.0f);
    return b.v;
  };
  PrmDev d;
  EXPECT_TRUE(read_bytes(dev_bytes(4, 6), SipPubReadDev, &d));
  EXPECT_TRUE(read_bytes(dev_bytes(4, 0), SipPubReadDev, &d));
  EXPECT_FALSE(read_bytes(dev_bytes(5, 2), SipPubReadDev, &d));
  EXPECT_FALSE(read_bytes(dev_bytes(4, 7), SipPubReadDev, &d));
  EXPECT_FALSE(read_bytes(dev_bytes(4, -1), SipPubReadDev, &d));

  for (int32_t count : {256, -1}) {
    Bytes b;
    b.i32(4).i32(count);
    b.v.resize(120, 0);
    EXPECT_FALSE(read_bytes(b.v, SipPubReadDev, &d)) << count;
  }

  // The version, vd2ab and every site number must be there; the coordinate
  // block of a damaged stream is not detected and keeps its defaults.
  FilePtr fp(std::tmpfile());
  SipPubWriteDev(fp.get(), sample_dev());
  const ByteVec full = contents(fp.get());
  const size_t required = 4 + 9 + 4 + 4 + 2 * 6;
  for (size_t len = 0; len < full.size(); ++len) {
    ByteVec cut(full.begin(), full.begin() + long(len));
    EXPECT_EQ(read_bytes(cut, SipPubReadDev, &d), len >= required) << "length " << len;
  }
}

TEST(SipPubDev, OutOfRangeChannelCountIsWrittenReadable) {
  PrmDev d;
  d.ch_num = 9;
  FilePtr fp(std::tmpfile());
  EXPECT_EQ(SipPubWriteDev(fp.get(), d), 17u + 1u + 22u * 6u);
  std::rewind(fp.get());
  PrmDev back;
  ASSERT_TRUE(SipPubReadDev(fp.get(), &back));
  EXPECT_EQ(back.ch_num, 6);
}

TEST(SipPubPoles, ListStreamByteForByte) {
  std::vector<PrmPole> poles(2);
  SipSetStr(poles[0].name, "A1");
  poles[0].x = 1.0f;
  poles[0].y = -1.0f;
  const ByteVec expected = {
      0x04, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,  // version, count
      0x03, 0x00, 0x00, 0x00, 'A',  '1',  0x00,        // name
      0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x80, 0xBF,  // x, y
      0x01, 0x00, 0x00, 0x00, 0x00,                    // empty name
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // x, y
  };
  FilePtr fp(std::tmpfile());
  EXPECT_EQ(SipPubWritePoles(fp.get(), poles, 4), expected.size());
  EXPECT_EQ(contents(fp.get()), expected);

  std::rewind(fp.get());
  std::vector<PrmPole> back(5);
  ASSERT_TRUE(SipPubReadPoles(fp.get(), &back, 4));
  ASSERT_EQ(back.size(), 2u);
  EXPECT_STREQ(back[0].name, "A1");
  EXPECT_EQ(back[0].x, 1.0f);
  EXPECT_EQ(back[0].y, -1.0f);
  EXPECT_STREQ(back[1].name, "");

  // A name stored with count 0 is an empty name: 12 bytes per electrode.
  Bytes zero;
  zero.i32(2).i32(1).i32(0).f32(3.0f).f32(4.0f);
  ASSERT_TRUE(read_bytes(zero.v, +[](FILE* f, std::vector<PrmPole>* p) { return SipPubReadPoles(f, p, 2); },
                         &back));
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].y, 4.0f);
}

TEST(SipPubPoles, RejectsBadHeadersAndCountsBeyondTheData) {
  auto read4 = +[](FILE* f, std::vector<PrmPole>* p) { return SipPubReadPoles(f, p, 4); };
  std::vector<PrmPole> poles;
  const ByteVec one = Bytes().i32(4).i32(1).str("E7").f32(1.0f).f32(2.0f).v;
  EXPECT_TRUE(read_bytes(one, read4, &poles));
  EXPECT_FALSE(read_bytes(Bytes().i32(5).i32(0).v, read4, &poles));
  EXPECT_FALSE(read_bytes(Bytes().i32(4).i32(-1).v, read4, &poles));
  EXPECT_FALSE(read_bytes(Bytes().i32(4).i32(0x7FFFFFFF).str("E7").f32(1.0f).f32(2.0f).v, read4, &poles));
  EXPECT_FALSE(read_bytes(Bytes().i32(4).i32(2).str("E7").f32(1.0f).f32(2.0f).v, read4, &poles));
  EXPECT_FALSE(read_bytes(Bytes().i32(4).i32(1).i32(256).f32(1.0f).f32(2.0f).f32(0.0f).v, read4, &poles));
  for (size_t len = 0; len < one.size(); ++len) {
    ByteVec cut(one.begin(), one.begin() + long(len));
    EXPECT_FALSE(read_bytes(cut, read4, &poles)) << "length " << len;
  }
}

TEST(SipPubStrings, LongNamesAreCutToWhatCanBeStored) {
  const std::string ascii(300, 'a');
  PrmDev d;
  SipSetStr(d.dev_name, ascii.c_str());
  EXPECT_EQ(std::strlen(d.dev_name), 254u);

  // The cut falls inside a three-byte character and moves before it.
  std::string utf8(253, 'b');
  utf8 += "电道";
  char buf[SIP_STR_LEN];
  SipSetStr(buf, utf8.c_str());
  EXPECT_EQ(std::string(buf), std::string(253, 'b'));
  SipSetStr(buf, nullptr);
  EXPECT_STREQ(buf, "");

  // A full buffer written directly still produces a readable stream.
  std::memset(d.dev_name, 'z', SIP_STR_LEN - 1);
  d.dev_name[SIP_STR_LEN - 1] = '\0';
  FilePtr fp(std::tmpfile());
  SipPubWriteDev(fp.get(), d);
  std::rewind(fp.get());
  PrmDev back;
  ASSERT_TRUE(SipPubReadDev(fp.get(), &back));
  EXPECT_EQ(std::string(back.dev_name), std::string(254, 'z'));
}

TEST(SipPubNames, ChannelTypesLayoutsAndWaves) {
  const char* names[] = {"无效", "电道", "磁道", "电流"};
  for (int t = 0; t < 4; ++t) EXPECT_STREQ(SipChTypeName(t), names[t]);
  EXPECT_STREQ(SipChTypeName(4), "");
  EXPECT_STREQ(SipChTypeName(-1), "");
  EXPECT_EQ(SipChTypeFromName("电道"), SIP_CH_ELECTRIC);
  EXPECT_EQ(SipChTypeFromName("磁道"), SIP_CH_MAGNETIC);
  EXPECT_EQ(SipChTypeFromName("电流"), SIP_CH_CURRENT);
  EXPECT_EQ(SipChTypeFromName("无效"), SIP_CH_INVALID);
  EXPECT_EQ(SipChTypeFromName("电道 "), SIP_CH_INVALID);
  EXPECT_EQ(SipChTypeFromName(nullptr), SIP_CH_INVALID);
  EXPECT_EQ(std::string({SipChTypeLetter(0), SipChTypeLetter(1), SipChTypeLetter(2), SipChTypeLetter(3)}), "NUHI");
  EXPECT_EQ(SipChTypeLetter(4), '?');

  EXPECT_STREQ(SipLayoutName(SIP_MID_GRADIENT), "SIP_MID_GRADIENT");
  EXPECT_STREQ(SipLayoutName(SIP_POLE3_SOUNDING), "SIP_POLE3_SOUNDING");
  EXPECT_STREQ(SipLayoutName(SIP_POLE4_SOUNDING), "SIP_POLE4_SOUNDING");
  EXPECT_STREQ(SipLayoutName(SIP_ALL_GRADIENT), "SIP_ALL_GRADIENT");
  EXPECT_EQ(SipLayoutName(4), nullptr);
  EXPECT_STREQ(SipWaveName(SIP_WAVE_SQUARE), "square wave");
  EXPECT_STREQ(SipWaveName(SIP_WAVE_PSEUDO_RANDOM), "pseudo random wave");
  EXPECT_STREQ(SipWaveName(SIP_WAVE_SPREAD_SPECTRUM), "spread spectrum wave");
  EXPECT_STREQ(SipWaveName(SIP_WAVE_DOUBLE_FREQ), "double frequency wave");
  EXPECT_EQ(SipWaveName(-1), nullptr);

  ChInfo ci;
  ci.dev_name = "ST01";
  ci.idx_dev_ch = 2;
  EXPECT_EQ(SipChLabel(ci), "ST01_3");
}

TEST(SipPubRules, HarmonicMultiplesOfEachWaveform) {
  struct Case {
    int wave;
    std::vector<int> multiples;
  };
  const Case cases[] = {
      {SIP_WAVE_SQUARE, {1, 3, 5, 7, 9}},
      {SIP_WAVE_PSEUDO_RANDOM, {1, 2, 4, 8, 16}},
      {SIP_WAVE_SPREAD_SPECTRUM, {1, 2, 3, 4, 5}},
      {SIP_WAVE_DOUBLE_FREQ, {1, 9, 81, 729, 6561}},
      {7, {1, 2, 3, 4, 5}},
      {-1, {1, 2, 3, 4, 5}},
  };
  for (const Case& c : cases) {
    for (int k = 0; k < int(c.multiples.size()); ++k) {
      EXPECT_EQ(SipHarmMultiple(c.wave, k), c.multiples[k]) << "wave " << c.wave << " k " << k;
    }
  }
  EXPECT_EQ(SipHarmMultiple(SIP_WAVE_DOUBLE_FREQ, 40), INT32_MAX);
  EXPECT_EQ(SipHarmMultiple(SIP_WAVE_PSEUDO_RANDOM, 31), INT32_MAX);
  EXPECT_EQ(SipHarmMultiple(SIP_WAVE_PSEUDO_RANDOM, 30), 1 << 30);

  EXPECT_EQ(SipSitePos(100.0f, 20.0f, 3), 160.0f);
  EXPECT_EQ(SipSitePos(-10.0f, 2.5f, 0), -10.0f);
}

TEST(SipPubRules, ChannelFactorFollowsLayoutAndFileVersion) {
  PrmMeas m;
  m.ax = -1000.0f;
  m.ay = 0.0f;
  m.bx = 1000.0f;
  m.by = 0.0f;
  PrmDev d;
  ChInfo ci;
  ci.idx_dev_ch = 0;
  ci.m_pos = 0.0f;
  ci.mn = 20.0f;
  ci.vd2ab = 0.0f;

  const double pi = 3.141592653589793;
  const double k4 = 2 * pi / std::fabs(1.0 / 1000 - 1.0 / 1020 - 1.0 / 1000 + 1.0 / 980);
  for (int layout : {SIP_MID_GRADIENT, SIP_POLE4_SOUNDING}) {
    m.layout = layout;
    EXPECT_NEAR(CalcChannelK(m, d, ci, true), k4, k4 * 1e-6);
    EXPECT_NEAR(CalcChannelK(m, d, ci, false), k4, k4 * 1e-6);
  }

  m.layout = SIP_POLE3_SOUNDING;
  const float v4 = CalcChannelK(m, d, ci, true);
  const float v5 = CalcChannelK(m, d, ci, false);
  EXPECT_EQ(v4, algo_geo_k3(-1000, 0, 0, 0, 20, 0));
  EXPECT_NEAR(v5, k4, k4 * 1e-6);
  const double k3 = 2 * pi / (1.0 / 1000 - 1.0 / 1020);
  EXPECT_NEAR(v4, k3, k3 * 1e-3);
  m.bx = 500.0f;
  EXPECT_EQ(CalcChannelK(m, d, ci, true), v4);
  EXPECT_NE(CalcChannelK(m, d, ci, false), v5);

  // Receivers off the line sit at ay + vd2ab.
  m.layout = SIP_POLE4_SOUNDING;
  m.bx = 1000.0f;
  m.ay = m.by = 5.0f;
  ci.vd2ab = 30.0f;
  EXPECT_EQ(CalcChannelK(m, d, ci, true), algo_geo_k4(-1000, 5, 1000, 5, 0, 35, 20, 35));

  // The free layout takes M and N from the device record, not from ChInfo.
  m.layout = SIP_ALL_GRADIENT;
  d.mx[3] = 10.0f;
  d.my[3] = 40.0f;
  d.nx[3] = 30.0f;
  d.ny[3] = -40.0f;
  ci.idx_dev_ch = 3;
  EXPECT_EQ(CalcChannelK(m, d, ci, true), algo_geo_k4(-1000, 5, 1000, 5, 10, 40, 30, -40));
  ci.idx_dev_ch = 6;
  EXPECT_TRUE(std::isnan(CalcChannelK(m, d, ci, true)));
}
