#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/base/clog.h"
#include "le_bytes.h"
#include "core/sip/spect_array.h"

namespace {

SpectItem make_item(double re, double im, uint8_t valid, uint8_t bad, float weight, float coh_ts, float coh_sp) {
  SpectItem it;
  it.re = re;
  it.im = im;
  it.m_valid = valid;
  it.bad = bad;
  it.weight = weight;
  it.coh_ts = coh_ts;
  it.coh_sp = coh_sp;
  return it;
}

void expect_item(const SpectItem& got, const SpectItem& want) {
  EXPECT_EQ(got.re, want.re);
  EXPECT_EQ(got.im, want.im);
  EXPECT_EQ(got.m_valid, want.m_valid);
  EXPECT_EQ(got.bad, want.bad);
  EXPECT_EQ(got.weight, want.weight);
  EXPECT_EQ(got.coh_ts, want.coh_ts);
  EXPECT_EQ(got.coh_sp, want.coh_sp);
}

std::string g_log;
void log_capture(const char* text) { g_log += text; }

LeBytes header(int32_t version, int32_t ch, int32_t freq, int32_t harm, int32_t mask, uint32_t geo, uint32_t count) {
  LeBytes b;
  b.i32(version).i32(ch).i32(freq).i32(harm).i32(mask).u32(geo).u32(count);
  return b;
}

}  // namespace

TEST(SpectArray, IndexRunsChannelsFastestThenHarmonicsFrequenciesCalculations) {
  CSpectArray a;
  a.DoInit(6, 1, 3, 5, -1, 0);
  ASSERT_EQ(a.DoGetItemNum(), 90);
  EXPECT_EQ(a.DoGetIndexOf(2, 0, 1, 4), 80);
  EXPECT_EQ(a.DoGetIndexOf(0, 0, 0, 0), 0);
  EXPECT_EQ(a.DoGetIndexOf(5, 0, 2, 4), 89);

  CSpectArray b;
  b.DoInit(2, 3, 4, 2, -1, 0);
  EXPECT_EQ(b.DoGetIndexOf(1, 2, 3, 1), ((1 * 3 + 2) * 4 + 3) * 2 + 1);

  a.DoSetValueOf(2, 0, 1, 4, 3.0, -4.0, 1);
  SpectItem it = a.DoGetItem(80);
  EXPECT_EQ(it.re, 3.0);
  EXPECT_EQ(it.im, -4.0);
  EXPECT_EQ(it.m_valid, 1);
  EXPECT_EQ(it.bad, 1);
}

TEST(SpectArray, IndexBeyondTheItemsIsLoggedAsAnError) {
  clog_set_level(CLOG_LEVEL_DEBUG);
  ASSERT_TRUE(clog_add_sink("capture", log_capture, nullptr));
  g_log.clear();
  CSpectArray a;
  a.DoInit(6, 1, 3, 2, -1, 0);
  EXPECT_EQ(a.DoGetIndexOf(5, 0, 2, 1), 35);
  EXPECT_TRUE(g_log.empty());
  EXPECT_EQ(a.DoGetIndexOf(0, 0, 0, 2), 36);
  clog_deinit();
  EXPECT_NE(g_log.find("fatal error in DoGetIndexOf()! "
                       "idx_ch_dev=0,idx_freq=0,idx_harm=0,idx_cal=2,idx_spect=36,spect_num=36"),
            std::string::npos)
      << g_log;
}

TEST(SpectArray, InitKeepsOnlyTheMaskBitsOfExistingChannels) {
  struct Case {
    int ch_num;
    int mask;
    int stored;
    int valid_ch;
  } cases[] = {
      {6, 0x25, 0x25, 3}, {6, 0xFF, 0x3F, 6}, {6, -1, -1, 6}, {6, 0, 0, 0}, {3, 0x7FFFFFFF, 0x7, 3}, {1, -2, 0, 0},
  };
  for (const Case& c : cases) {
    CSpectArray a;
    a.DoInit(c.ch_num, 1, 3, 2, c.mask, 0);
    EXPECT_EQ(a.GetChValidMask(), c.stored) << "mask " << c.mask;
    EXPECT_EQ(a.DoGetValidChNum(), c.valid_ch) << "mask " << c.mask;
    EXPECT_EQ(a.DoGetItemNumEachBlock(), c.valid_ch * 3) << "mask " << c.mask;
    EXPECT_EQ(a.DoGetItemNum(), c.ch_num * 3 * 2);
  }
}

TEST(SpectArray, InitResetsEveryItemAndSetsTheShape) {
  CSpectArray a;
  a.DoInit(2, 1, 1, 1, -1, 0);
  a.DoSetValueOf(0, 0, 0, 0, 5.0, 5.0, 1);
  a.DoInit(2, 2, 3, 4, -1, 9);
  EXPECT_EQ(a.DoGetBuffChNum(), 2);
  EXPECT_EQ(a.DoGetBuffFreqNum(), 2);
  EXPECT_EQ(a.DoGetBuffHarmNum(), 3);
  EXPECT_EQ(a.GetGeoType(), 9);
  ASSERT_EQ(a.DoGetItemNum(), 48);
  for (int i = 0; i < a.DoGetItemNum(); ++i) expect_item(a.DoGetItem(i), SpectItem());
}

TEST(SpectArray, InitWithAnImpossibleShapeGivesAnEmptyArray) {
  const int shapes[][4] = {{-1, 1, 1, 1}, {6, 1, 3, -2}, {65536, 65536, 1, 1}, {1024, 1024, 1024, 4}};
  for (const auto& s : shapes) {
    CSpectArray a;
    a.DoInit(s[0], s[1], s[2], s[3], -1, 0);
    EXPECT_EQ(a.DoGetItemNum(), 0);
    EXPECT_EQ(a.DoGetCalNum(), 0);
  }
}

TEST(SpectArray, CalNumCountsUpToTheLastValidItem) {
  CSpectArray empty;
  EXPECT_EQ(empty.DoGetCalNum(), 0);

  CSpectArray a;
  a.DoInit(6, 1, 3, 6, -1, 0);
  EXPECT_EQ(a.DoGetCalNum(), 0);
  a.DoSetValueOf(0, 0, 0, 3, 1.0, 0.0, 0);
  EXPECT_EQ(a.DoGetCalNum(), 4);
  EXPECT_EQ(a.DoGetCalNumNoLock(), 4);
  a.DoSetValueOf(5, 0, 2, 1, 1.0, 0.0, 0);
  EXPECT_EQ(a.DoGetCalNum(), 4);
  a.DoSetValueOf(5, 0, 2, 4, 1.0, 0.0, 0);
  EXPECT_EQ(a.DoGetCalNum(), 5);
  a.DoInvalidateCh(5);
  a.DoInvalidateCh(0);
  EXPECT_EQ(a.DoGetCalNum(), 0);
}

TEST(SpectArray, AppendCalAddsWholeCalculationsOfDefaultItems) {
  CSpectArray a;
  a.DoInit(2, 1, 3, 0, -1, 2);
  EXPECT_EQ(a.DoGetItemNum(), 0);
  a.DoAppendCal(1);
  a.DoSetValueOf(1, 0, 2, 0, 2.0, 0.0, 0);
  a.DoAppendCal(2);
  EXPECT_EQ(a.DoGetItemNum(), 18);
  EXPECT_EQ(a.DoGetItemOf(1, 0, 2, 0).re, 2.0);
  expect_item(a.DoGetItemOf(1, 0, 2, 2), SpectItem());
  a.DoAppendCal(0);
  a.DoAppendCal(-3);
  EXPECT_EQ(a.DoGetItemNum(), 18);
}

TEST(SpectArray, SetValueStoresAFreshValueWithUnitWeight) {
  CSpectArray a;
  a.DoInit(1, 1, 2, 1, -1, 0);
  a.DoSetItemOf(0, 0, 1, 0, make_item(7, 8, 0, 1, 0.25f, 0.5f, 0.75f));
  expect_item(a.DoGetItemOf(0, 0, 1, 0), make_item(7, 8, 0, 1, 0.25f, 0.5f, 0.75f));
  a.DoSetValueOf(0, 0, 1, 0, -1.5, 2.5, 0);
  expect_item(a.DoGetItemOf(0, 0, 1, 0), make_item(-1.5, 2.5, 1, 0, 1.0f, 0.0f, 0.0f));
  expect_item(a.DoGetItemOf(0, 0, 0, 0), SpectItem());
}

TEST(SpectArray, ItemsOfAChannelGoWhereSingleItemsGo) {
  // 3 channels, 2 frequencies, 4 harmonics, 3 calculations; channel 1,
  // frequency 1, harmonics 0..2 of calculations 0..1.
  CSpectArray bulk, single;
  bulk.DoInit(3, 2, 4, 3, -1, 0);
  single.DoInit(3, 2, 4, 3, -1, 0);
  std::vector<SpectItem> items;
  for (int c = 0; c < 2; ++c)
    for (int h = 0; h < 3; ++h) {
      items.push_back(make_item(c * 10 + h, -h, 1, uint8_t(c), 0.5f, 0.25f, 0.125f));
      single.DoSetItemOf(1, 1, h, c, items.back());
    }
  ASSERT_TRUE(bulk.DoSetItemsOf(1, 1, 3, 2, items.data()));
  for (int i = 0; i < single.DoGetItemNum(); ++i) expect_item(bulk.DoGetItem(i), single.DoGetItem(i));

  // Outside the array: nothing stored.
  const int bad[][4] = {{3, 0, 1, 1}, {-1, 0, 1, 1}, {0, 2, 1, 1}, {0, -1, 1, 1}, {0, 0, 5, 1}, {0, 0, 1, 4},
                        {0, 0, -1, 1}, {0, 0, 1, -1}};
  for (const auto& p : bad) {
    CSpectArray a;
    a.DoInit(3, 2, 4, 3, -1, 0);
    const std::vector<SpectItem> many(20, make_item(9, 9, 1, 1, 2.0f, 0.1f, 0.2f));
    EXPECT_FALSE(a.DoSetItemsOf(p[0], p[1], p[2], p[3], many.data()));
    for (int i = 0; i < a.DoGetItemNum(); ++i) expect_item(a.DoGetItem(i), SpectItem());
  }
  EXPECT_TRUE(bulk.DoSetItemsOf(0, 0, 0, 3, nullptr));
  EXPECT_FALSE(bulk.DoSetItemsOf(0, 0, 1, 1, nullptr));
}

TEST(SpectArray, AccessOutsideTheItemsNeitherReadsNorWritesOtherMemory) {
  CSpectArray a;
  a.DoInit(6, 1, 3, 2, -1, 0);
  const SpectItem marker = make_item(9, 9, 1, 1, 2.0f, 0.1f, 0.2f);
  const int bad[][4] = {{0, 0, 0, 2}, {0, 0, 0, -1}, {6, 0, 0, 0}, {-1, 0, 1, 0}, {0, 1, 0, 0}, {0, 0, 3, 0}};
  for (const auto& p : bad) {
    a.DoSetItemOf(p[0], p[1], p[2], p[3], marker);
    a.DoSetValueOf(p[0], p[1], p[2], p[3], 9.0, 9.0, 1);
    a.DoLock();
    a.DoSetItemOfNoLock(p[0], p[1], p[2], p[3], marker);
    SpectItem nl = a.DoGetItemOfNoLock(p[0], p[1], p[2], p[3]);
    a.DoUnlock();
    expect_item(nl, SpectItem());
    expect_item(a.DoGetItemOf(p[0], p[1], p[2], p[3]), SpectItem());
  }
  // Channel 6 or -1 would otherwise alias a neighbouring harmonic.
  for (int i = 0; i < a.DoGetItemNum(); ++i) expect_item(a.DoGetItem(i), SpectItem());
  expect_item(a.DoGetItem(-1), SpectItem());
  expect_item(a.DoGetItem(36), SpectItem());
  EXPECT_EQ(a.DoGetItemNum(), 36);
  EXPECT_EQ(a.DoGetIndexOf(0, 0, 0, 2), 36);
  EXPECT_EQ(a.DoGetIndexOf(0, 0, 0, 2000000000), -1);

  CSpectArray empty;
  empty.DoSetValueOf(0, 0, 0, 0, 1.0, 1.0, 0);
  empty.DoInvalidateCh(0);
  std::vector<SpectItem> out(3);
  empty.DoGetValidItemsOf(0, 0, 0, &out);
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(empty.DoGetItemNum(), 0);
}

TEST(SpectArray, ValidItemsComeInCalculationOrder) {
  CSpectArray a;
  a.DoInit(2, 2, 2, 4, -1, 0);
  a.DoSetValueOf(1, 1, 0, 3, 3.0, 0.0, 0);
  a.DoSetValueOf(1, 1, 0, 0, 0.0, 0.0, 1);
  a.DoSetValueOf(1, 1, 0, 2, 2.0, 0.0, 0);
  a.DoSetValueOf(0, 1, 0, 1, 99.0, 0.0, 0);
  a.DoSetValueOf(1, 0, 0, 1, 99.0, 0.0, 0);
  std::vector<SpectItem> out(5);
  a.DoGetValidItemsOf(1, 1, 0, &out);
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[0].re, 0.0);
  EXPECT_EQ(out[0].bad, 1);
  EXPECT_EQ(out[1].re, 2.0);
  EXPECT_EQ(out[2].re, 3.0);
}

TEST(SpectArray, InvalidateScaleAndMarkZeroBad) {
  CSpectArray a;
  a.DoInit(3, 1, 2, 2, -1, 0);
  for (int c = 0; c < 2; ++c)
    for (int h = 0; h < 2; ++h)
      for (int ch = 0; ch < 3; ++ch) a.DoSetValueOf(ch, 0, h, c, ch, -h, 0);
  a.DoInvalidateCh(1);
  a.DoScale(-2.0);
  a.DoMarkZeroBad();
  for (int c = 0; c < 2; ++c) {
    for (int h = 0; h < 2; ++h) {
      for (int ch = 0; ch < 3; ++ch) {
        SpectItem it = a.DoGetItemOf(ch, 0, h, c);
        EXPECT_EQ(it.m_valid, ch == 1 ? 0 : 1);
        EXPECT_EQ(it.re, -2.0 * ch);
        EXPECT_EQ(it.im, 2.0 * h);
        EXPECT_EQ(it.bad, (ch == 0 && h == 0) ? 1 : 0) << ch << " " << h;
      }
    }
  }
}

TEST(SpectArray, CopiesCarryItemsShapeMaskAndGeoType) {
  CSpectArray a;
  a.DoInit(3, 2, 1, 2, 0x5, 4);
  a.DoSetValueOf(2, 1, 0, 1, 1.25, -0.5, 1);
  CSpectArray b;
  b.DoInit(1, 1, 1, 1, -1, 0);
  b = a;
  CSpectArray c(a);
  for (CSpectArray* x : {&b, &c}) {
    EXPECT_EQ(x->DoGetBuffChNum(), 3);
    EXPECT_EQ(x->DoGetBuffFreqNum(), 2);
    EXPECT_EQ(x->DoGetBuffHarmNum(), 1);
    EXPECT_EQ(x->GetChValidMask(), 0x5);
    EXPECT_EQ(x->GetGeoType(), 4);
    EXPECT_EQ(x->DoGetItemNum(), 12);
    expect_item(x->DoGetItemOf(2, 1, 0, 1), make_item(1.25, -0.5, 1, 1, 1.0f, 0.0f, 0.0f));
  }
  CSpectArray& alias = b;
  b = alias;
  EXPECT_EQ(b.DoGetItemNum(), 12);
  b.DoLock();
  b.DoUnlock();
}

TEST(SpectArray, ShapeAndUnlockedAccessWorkWhileLocked) {
  CSpectArray a;
  a.DoInit(2, 1, 2, 3, -1, 0);
  a.DoLock();
  int ch = a.DoGetBuffChNum();
  int harm = a.DoGetBuffHarmNum();
  int each = a.DoGetItemNumEachBlock();
  for (int c = 0; c < 3; ++c)
    for (int h = 0; h < harm; ++h)
      for (int i = 0; i < ch; ++i) {
        SpectItem it = a.DoGetItemOfNoLock(i, 0, h, c);
        it.coh_sp = 0.5f;
        it.m_valid = 1;
        a.DoSetItemOfNoLock(i, 0, h, c, it);
      }
  int cal = a.DoGetCalNumNoLock();
  int idx = a.DoGetIndexOf(1, 0, 1, 2);
  a.DoUnlock();
  EXPECT_EQ(each, 4);
  EXPECT_EQ(cal, 3);
  EXPECT_EQ(idx, 11);
  EXPECT_EQ(a.DoGetItem(11).coh_sp, 0.5f);
}

TEST(SpectArray, OlderVersionsAreReadWithDefaultsAndRewrittenAsVersion3) {
  // Two channels, one frequency, one harmonic, one calculation.
  LeBytes v1 = header(1, 2, 1, 1, 3, 2, 2);
  v1.u8(1).f64(0.5).f64(-0.25);
  v1.u8(0).f64(1.0).f64(0.0);
  LeBytes v1_as_v3 = header(3, 2, 1, 1, 3, 2, 2);
  v1_as_v3.u8(1).u8(0).f64(0.5).f64(-0.25).f32(1.0f).f32(0.0f).f32(0.0f);
  v1_as_v3.u8(0).u8(0).f64(1.0).f64(0.0).f32(1.0f).f32(0.0f).f32(0.0f);

  LeBytes v2 = header(2, 2, 1, 1, -1, 7, 2);
  v2.u8(1).u8(1).f64(0.5).f64(-0.25);
  v2.u8(1).u8(0).f64(3.0).f64(4.0);
  LeBytes v2_as_v3 = header(3, 2, 1, 1, -1, 7, 2);
  v2_as_v3.u8(1).u8(1).f64(0.5).f64(-0.25).f32(1.0f).f32(0.0f).f32(0.0f);
  v2_as_v3.u8(1).u8(0).f64(3.0).f64(4.0).f32(1.0f).f32(0.0f).f32(0.0f);

  LeBytes v3 = header(3, 1, 1, 2, 1, 2, 2);
  v3.u8(1).u8(0).f64(-1.0).f64(2.0).f32(0.5f).f32(0.75f).f32(0.875f);
  v3.u8(0).u8(1).f64(0.0).f64(0.0).f32(0.0f).f32(1.0f).f32(0.125f);

  struct Case {
    const char* name;
    const LeBytes& in;
    const LeBytes& out;
  } cases[] = {{"v1", v1, v1_as_v3}, {"v2", v2, v2_as_v3}, {"v3", v3, v3}};
  for (const Case& c : cases) {
    CSpectArray a;
    LeFile in = le_stream(c.in.b);
    ASSERT_TRUE(a.DoRead(in.get())) << c.name;
    EXPECT_EQ(std::ftell(in.get()), long(c.in.b.size())) << c.name;
    LeFile out(std::tmpfile());
    ASSERT_TRUE(a.DoWrite(out.get())) << c.name;
    EXPECT_EQ(le_contents(out.get()), c.out.b) << c.name;
  }

  CSpectArray a;
  LeFile in = le_stream(v1.b);
  ASSERT_TRUE(a.DoRead(in.get()));
  EXPECT_EQ(a.GetChValidMask(), 3);
  EXPECT_EQ(a.GetGeoType(), 2);
  EXPECT_EQ(a.DoGetCalNum(), 1);
  expect_item(a.DoGetItemOf(0, 0, 0, 0), make_item(0.5, -0.25, 1, 0, 1.0f, 0.0f, 0.0f));
}

TEST(SpectArray, DamagedHeadersFailBeforeAnythingIsAllocated) {
  struct Case {
    const char* name;
    LeBytes bytes;
  };
  std::vector<Case> cases = {
      {"empty stream", LeBytes()},
      {"version 0", header(0, 1, 1, 1, -1, 0, 0)},
      {"version 4", header(4, 1, 1, 1, -1, 0, 0)},
      {"negative version", header(-1, 1, 1, 1, -1, 0, 0)},
      {"header cut", LeBytes().i32(3).i32(1).i32(1)},
      {"no channels", header(3, 0, 1, 1, -1, 0, 0)},
      {"negative channels", header(3, -2, 1, 1, -1, 0, 0)},
      {"two negatives multiply to a positive", header(3, 2, -1, -1, -1, 0, 0)},
      {"dimensions wrap to zero", header(3, 65536, 65536, 1, -1, 0, 0)},
      {"dimensions wrap negative", header(3, 65536, 32768, 1, -1, 0, 0)},
      {"dimensions beyond an int", header(3, 46341, 46341, 1, -1, 0, 0)},
      {"2^31 items", header(3, 1, 1, 1, -1, 0, 0x80000000u)},
      {"2^32-1 items", header(3, 1, 1, 1, -1, 0, 0xFFFFFFFFu)},
      {"huge count, few bytes", header(3, 1, 1, 1, -1, 0, 0x7FFFFFFFu)},
      {"partial calculation", header(1, 2, 1, 1, -1, 0, 3)},
      {"more items than bytes", header(2, 1, 1, 1, -1, 0, 1000000)},
  };
  cases[14].bytes.u8(1).f64(1).f64(1).u8(1).f64(1).f64(1).u8(1).f64(1).f64(1);
  cases[15].bytes.u8(1).u8(0).f64(1).f64(1);

  for (const Case& c : cases) {
    CSpectArray a;
    a.DoInit(1, 1, 1, 1, -1, 5);
    a.DoSetValueOf(0, 0, 0, 0, 2.0, 3.0, 0);
    LeFile in = le_stream(c.bytes.b);
    EXPECT_FALSE(a.DoRead(in.get())) << c.name;
    EXPECT_EQ(a.DoGetItemNum(), 1) << c.name;
    EXPECT_EQ(a.GetGeoType(), 5) << c.name;
    EXPECT_EQ(a.DoGetItemOf(0, 0, 0, 0).re, 2.0) << c.name;
  }
}

TEST(SpectArray, EveryTruncationFailsCleanly) {
  CSpectArray src;
  src.DoInit(2, 1, 2, 2, -1, 2);
  src.DoSetValueOf(1, 0, 1, 1, 1.0, -1.0, 0);
  LeFile full(std::tmpfile());
  ASSERT_TRUE(src.DoWrite(full.get()));
  std::vector<unsigned char> bytes = le_contents(full.get());
  ASSERT_EQ(bytes.size(), 28u + 8u * 30u);
  for (size_t len = 0; len < bytes.size(); ++len) {
    CSpectArray a;
    LeFile in = le_stream(bytes, len);
    EXPECT_FALSE(a.DoRead(in.get())) << "length " << len;
  }
  CSpectArray a;
  LeFile in = le_stream(bytes);
  ASSERT_TRUE(a.DoRead(in.get()));
  expect_item(a.DoGetItemOf(1, 0, 1, 1), make_item(1.0, -1.0, 1, 0, 1.0f, 0.0f, 0.0f));
}

TEST(SpectArray, DumpPrintsEachChannelAsATableOfCalculations) {
  CSpectArray a;
  a.DoInit(2, 1, 2, 2, -1, 2);
  a.DoSetItemOf(0, 0, 0, 0, make_item(1.0, 1.0, 1, 0, 1.0f, 0.5f, 0.25f));
  a.DoSetItemOf(0, 0, 0, 1, make_item(5.0, 5.0, 0, 1, 1.0f, 0.0f, 0.0f));
  a.DoSetValueOf(0, 0, 1, 1, 0.0, -2.0, 0);
  a.DoSetValueOf(1, 0, 1, 1, -1.0, 0.0, 1);

  const std::vector<std::string> comment = {"dev_ch=ST01_1, site_no=3, m_pos=40.000000", "dev_ch=ST01_2"};
  LeFile out(std::tmpfile());
  ASSERT_TRUE(a.DoDump(out.get(), &comment));
  const std::string columns =
      "   idx_cal     judge  coh_ts  coh_sp    Amp-F00H00 Ph-F00H00    Amp-F00H01 Ph-F00H01\n";
  const std::string expected =
      "ch_num: 2\n"
      "freq_num: 1\n"
      "harm_num: 2\n"
      "max_cal_num:2\n"
      "valid_mask: -1\n"
      "geo_type: 2\n"
      "item_num:8\n"
      "ch_idx=0,  dev_ch=ST01_1, site_no=3, m_pos=40.000000\n" +
      columns +
      "         0      good   0.500   0.250     1.414E+00    785.40             *         *\n"
      "         1       bad   0.000   0.000             *         *     2.000E+00  -1570.80\n"
      "ch_idx=1,  dev_ch=ST01_2\n" +
      columns +
      "         0      good   0.000   0.000             *         *             *         *\n"
      "         1      good   0.000   0.000             *         *     1.000E+00   3141.59\n";
  EXPECT_EQ(le_text(out.get()), expected);

  CSpectArray one;
  one.DoInit(1, 1, 1, 1, -1, 2);
  LeFile out2(std::tmpfile());
  ASSERT_TRUE(one.DoDump(out2.get(), nullptr));
  EXPECT_EQ(le_text(out2.get()),
            "ch_num: 1\nfreq_num: 1\nharm_num: 1\nmax_cal_num:0\nvalid_mask: -1\ngeo_type: 2\nitem_num:1\n"
            "ch_idx=0,  \n"
            "   idx_cal     judge  coh_ts  coh_sp    Amp-F00H00 Ph-F00H00\n");
}
