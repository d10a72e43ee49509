#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/processing/spm.h"
#include "le_bytes.h"

namespace {

PrmPole Pole(const char* name, float x, float y) {
  PrmPole p;
  SipSetStr(p.name, name);
  p.x = x;
  p.y = y;
  return p;
}

PrmMeas Meas(uint8_t curr_station_used) {
  PrmMeas m;
  SipSetStr(m.prj_name, "prj");
  SipSetStr(m.file_name, "L7");
  m.line_no = 7;
  m.ax = -500.0f;
  m.mn = 10.0f;
  m.first_pole_pos = 5.0f;
  m.start_time = 1767225600;
  m.curr_station_used = curr_station_used;
  m.v2i = 0.025f;
  return m;
}

std::vector<PrmDev> Devs(int n, const char* prefix) {
  std::vector<PrmDev> devs(static_cast<size_t>(n));
  for (int d = 0; d < n; ++d) {
    SipSetStr(devs[size_t(d)].dev_name, (std::string(prefix) + std::to_string(d + 1)).c_str());
    devs[size_t(d)].vd2ab = float(d);
    devs[size_t(d)].pos_valid = 1;
    for (int c = 0; c < MAX_CH_NUM; ++c) {
      devs[size_t(d)].site_no[c] = uint16_t(d * 6 + c);
      devs[size_t(d)].mx[c] = float(d * 60 + c * 10);
      devs[size_t(d)].nx[c] = float(d * 60 + c * 10 + 10);
    }
  }
  return devs;
}

std::vector<unsigned char> Written(const PrmMeas& m, const std::vector<PrmDev>& devs,
                                   const std::vector<PrmPole>& poles) {
  LeFile fp(std::tmpfile());
  EXPECT_TRUE(SpmWrite(fp.get(), m, devs, poles));
  return le_contents(fp.get());
}

std::vector<unsigned char> StreamOf(size_t (*fn)(FILE*, const PrmDev&), const PrmDev& d) {
  LeFile fp(std::tmpfile());
  fn(fp.get(), d);
  return le_contents(fp.get());
}

LeBytes& Str(LeBytes& b, const char* s) {
  b.i32(int32_t(std::strlen(s) + 1));
  for (const char* p = s; *p; ++p) b.u8(uint8_t(*p));
  return b.u8(0);
}

TEST(Spm, WholeFileLayout) {
  const PrmMeas m = Meas(0);
  const std::vector<PrmDev> devs = Devs(2, "ST");
  const std::vector<PrmPole> poles = {Pole("A1", 1.5f, -2.0f), Pole("", 0.0f, 3.0f)};
  LeBytes want;
  want.i32(2);
  {
    LeFile fp(std::tmpfile());
    SipPubWriteMeas(fp.get(), m);
    const std::vector<unsigned char> meas = le_contents(fp.get());
    want.b.insert(want.b.end(), meas.begin(), meas.end());
  }
  want.i32(2);
  for (const PrmDev& d : devs) {
    const std::vector<unsigned char> s = StreamOf(&SipPubWriteDev, d);
    EXPECT_EQ(s.size(), 17u + 4u + 22u * 6u);
    want.b.insert(want.b.end(), s.begin(), s.end());
  }
  want.i32(2).i32(2);
  Str(want, "A1").f32(1.5f).f32(-2.0f);
  Str(want, "").f32(0.0f).f32(3.0f);
  EXPECT_EQ(Written(m, devs, poles), want.b);
}

// Export from one three-device file and import into another: everything but
// the device names and the file name comes from the SPM.
TEST(Spm, CompleteImportTakesAllButNames) {
  PrmMeas src = Meas(1);
  std::vector<PrmDev> src_devs = Devs(3, "ST");
  const std::vector<PrmPole> src_poles = {Pole("P1", 1, 2), Pole("P2", 3, 4)};
  const std::vector<unsigned char> bytes = Written(src, src_devs, src_poles);

  PrmMeas meas;
  SipSetStr(meas.file_name, "L9");
  meas.curr_station_used = 1;
  std::vector<PrmDev> devs = Devs(3, "XX");
  for (PrmDev& d : devs) d.vd2ab = 99.0f;
  std::vector<PrmPole> poles = {Pole("old", 0, 0)};
  LeFile fp = le_stream(bytes);
  const SpmReadResult r = SpmRead(fp.get(), SPM_IMPORT_COMPLETE, &meas, &devs, &poles);
  ASSERT_EQ(r.status, SPM_READ_OK) << r.why;
  EXPECT_STREQ(meas.file_name, "L9");
  EXPECT_STREQ(meas.prj_name, "prj");
  EXPECT_EQ(meas.line_no, 7);
  EXPECT_EQ(meas.ax, -500.0f);
  EXPECT_EQ(meas.v2i, 0.025f);
  EXPECT_EQ(meas.start_time, 1767225600);
  for (int d = 0; d < 3; ++d) {
    EXPECT_EQ(std::string(devs[size_t(d)].dev_name), "XX" + std::to_string(d + 1));
    EXPECT_EQ(devs[size_t(d)].vd2ab, float(d));
    EXPECT_EQ(devs[size_t(d)].mx[5], src_devs[size_t(d)].mx[5]);
    EXPECT_EQ(devs[size_t(d)].site_no[2], src_devs[size_t(d)].site_no[2]);
  }
  ASSERT_EQ(poles.size(), 2u);
  EXPECT_STREQ(poles[1].name, "P2");
  EXPECT_EQ(poles[1].y, 4.0f);
}

TEST(Spm, LineImportTakesOnlyMnFirstElectrodeDevicesAndElectrodes) {
  const std::vector<unsigned char> bytes = Written(Meas(0), Devs(2, "ST"), {Pole("P1", 1, 2)});
  PrmMeas meas;
  const PrmMeas before = meas;
  std::vector<PrmDev> devs = Devs(2, "YY");
  for (PrmDev& d : devs) d.site_no[0] = 77;
  std::vector<PrmPole> poles;
  LeFile fp = le_stream(bytes);
  ASSERT_EQ(SpmRead(fp.get(), SPM_IMPORT_LINE, &meas, &devs, &poles).status, SPM_READ_OK);
  EXPECT_EQ(meas.mn, 10.0f);
  EXPECT_EQ(meas.first_pole_pos, 5.0f);
  EXPECT_EQ(meas.ax, before.ax);
  EXPECT_EQ(meas.line_no, before.line_no);
  EXPECT_STREQ(meas.prj_name, before.prj_name);
  EXPECT_STREQ(devs[1].dev_name, "YY2");
  EXPECT_EQ(devs[1].site_no[0], 6);
  EXPECT_EQ(poles.size(), 1u);
}

// Failures change nothing: another station count, a record cut short, a
// complete import that would switch the current mode.
TEST(Spm, FailedImportsChangeNothing) {
  const std::vector<unsigned char> four = Written(Meas(0), Devs(4, "ST"), {Pole("P1", 1, 2)});
  const std::vector<unsigned char> three = Written(Meas(0), Devs(3, "ST"), {Pole("P1", 1, 2)});
  const std::vector<unsigned char> three_cs = Written(Meas(1), Devs(3, "ST"), {});
  struct Case {
    const char* what;
    std::vector<unsigned char> bytes;
    size_t len;
    SpmImportMode mode;
    SpmReadStatus status;
  };
  const size_t dev_bytes = 17 + 4 + 22 * 6, list_bytes = 8 + 4 + 3 + 8;
  const size_t dev1_end = three.size() - list_bytes - 2 * dev_bytes + 10;
  const Case cases[] = {
      {"four stations into three", four, four.size(), SPM_IMPORT_COMPLETE, SPM_READ_MISMATCH},
      {"four stations, line import", four, four.size(), SPM_IMPORT_LINE, SPM_READ_MISMATCH},
      {"cut inside the measurement record", three, 30, SPM_IMPORT_COMPLETE, SPM_READ_MISMATCH},
      {"cut inside the second device", three, dev1_end, SPM_IMPORT_LINE, SPM_READ_MISMATCH},
      {"empty file", three, 0, SPM_IMPORT_LINE, SPM_READ_MISMATCH},
      {"current station into hand-entered current", three_cs, three_cs.size(), SPM_IMPORT_COMPLETE,
       SPM_READ_CURRENT_MODE},
  };
  for (const Case& c : cases) {
    PrmMeas meas = Meas(0);
    SipSetStr(meas.prj_name, "mine");
    std::vector<PrmDev> devs = Devs(3, "MY");
    std::vector<PrmPole> poles = {Pole("keep", 9, 9)};
    LeFile fp = le_stream(c.bytes, c.len);
    const SpmReadResult r = SpmRead(fp.get(), c.mode, &meas, &devs, &poles);
    EXPECT_EQ(r.status, c.status) << c.what;
    EXPECT_FALSE(r.why.empty()) << c.what;
    EXPECT_STREQ(meas.prj_name, "mine") << c.what;
    EXPECT_EQ(devs[2].site_no[0], 12) << c.what;
    EXPECT_EQ(devs[2].vd2ab, 2.0f) << c.what;
    ASSERT_EQ(poles.size(), 1u) << c.what;
    EXPECT_STREQ(poles[0].name, "keep") << c.what;
  }
  // The line import takes no current settings, so the mode does not matter.
  PrmMeas meas = Meas(0);
  std::vector<PrmDev> devs = Devs(3, "MY");
  std::vector<PrmPole> poles;
  LeFile fp = le_stream(three_cs);
  EXPECT_EQ(SpmRead(fp.get(), SPM_IMPORT_LINE, &meas, &devs, &poles).status, SPM_READ_OK);
}

TEST(Spm, ElectrodeListVersionsAndShortLists) {
  const std::vector<unsigned char> full = Written(Meas(0), Devs(1, "ST"), {Pole("P1", 1, 2), Pole("P2", 3, 4)});
  const size_t list_at = full.size() - (8 + 2 * (4 + 3 + 8));
  auto import = [](const std::vector<unsigned char>& bytes, std::vector<PrmPole>* poles) {
    PrmMeas meas = Meas(0);
    SipSetStr(meas.prj_name, "mine");
    std::vector<PrmDev> devs = Devs(1, "MY");
    LeFile fp = le_stream(bytes);
    const SpmReadResult r = SpmRead(fp.get(), SPM_IMPORT_COMPLETE, &meas, &devs, poles);
    EXPECT_EQ(r.status, SPM_READ_OK);
    EXPECT_STREQ(meas.prj_name, "prj") << "the records are imported whatever the list";
    return r;
  };
  {
    // File version 1: no list; the page's list stays.
    std::vector<unsigned char> v1(full.begin(), full.begin() + long(list_at));
    v1[0] = 1;
    std::vector<PrmPole> poles = {Pole("keep", 9, 9)};
    EXPECT_FALSE(import(v1, &poles).poles_present);
    ASSERT_EQ(poles.size(), 1u);
    EXPECT_STREQ(poles[0].name, "keep");
  }
  {
    // A newer list version is refused and the page's list kept.
    std::vector<unsigned char> v3 = full;
    v3[list_at] = 3;
    std::vector<PrmPole> poles = {Pole("keep", 9, 9)};
    EXPECT_EQ(import(v3, &poles).poles, SPM_POLES_NEWER);
    ASSERT_EQ(poles.size(), 1u);
    EXPECT_STREQ(poles[0].name, "keep");
  }
  {
    // Cut inside the second electrode: the first is kept.
    std::vector<unsigned char> cut(full.begin(), full.end() - 3);
    std::vector<PrmPole> poles = {Pole("keep", 9, 9)};
    EXPECT_EQ(import(cut, &poles).poles, SPM_POLES_READ);
    ASSERT_EQ(poles.size(), 1u);
    EXPECT_STREQ(poles[0].name, "P1");
  }
  {
    // Version 2 file without its list: the list is emptied.
    std::vector<unsigned char> none(full.begin(), full.begin() + long(list_at));
    std::vector<PrmPole> poles = {Pole("keep", 9, 9)};
    EXPECT_EQ(import(none, &poles).poles, SPM_POLES_MISSING);
    EXPECT_TRUE(poles.empty());
  }
  {
    // A count of two billion with no electrodes behind it allocates nothing large.
    std::vector<unsigned char> huge(full.begin(), full.begin() + long(list_at));
    LeBytes tail;
    tail.i32(2).i32(0x7fffffff);
    huge.insert(huge.end(), tail.b.begin(), tail.b.end());
    std::vector<PrmPole> poles;
    EXPECT_EQ(import(huge, &poles).poles, SPM_POLES_READ);
    EXPECT_TRUE(poles.empty());
    EXPECT_LT(poles.capacity(), 16u);
  }
}

}  // namespace
