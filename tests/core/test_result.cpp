#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "le_bytes.h"
#include "core/sip/result.h"
#include "core/sip/result_sip.h"

namespace {

// Exposes the item index and records the items reported as set.
class ProbeResult : public CResultSip {
public:
  using CResult::ItemIndex;
  std::vector<std::vector<int>> set_calls;
  void DropLastFreq() { m_VtFreq.pop_back(); }

protected:
  void OnItemSet(int idx_ch, int idx_freq, int idx_harm) override { set_calls.push_back({idx_ch, idx_freq, idx_harm}); }
};

ResItem sample_item(int i) {
  ResItem it;
  it.bad = uint8_t(i % 2);
  for (int k = 0; k < TYPE_CNT; ++k) {
    it.blk[k].value = float(i * 10 + k) + 0.5f;
    it.blk[k].std = 0.25f * float(k);
    it.blk[k].count = uint32_t(i + k);
    it.blk[k].err = 0.125f * float(k + 1);
  }
  return it;
}

ChInfo sample_info(int i) {
  ChInfo ci;
  ci.dev_name = "ST0" + std::to_string(i);
  ci.idx_dev = i;
  ci.idx_dev_ch = i + 1;
  ci.site_no = 10 + i;
  ci.line_no = 101 + i;
  ci.mn = 20.0f;
  ci.m_pos = 40.0f * float(i);
  ci.vd2ab = -5.0f * float(i);
  ci.ch_type = i == 0 ? SIP_CH_ELECTRIC : SIP_CH_MAGNETIC;
  return ci;
}

struct ResultFile {
  int32_t version = RESULT_VER;
  int32_t ch = 0, freq = 0, harm = 0;
  float pos[4] = {-1000.0f, 0.0f, 1000.0f, 0.0f};
  std::vector<ChInfo> infos;
  std::vector<float> freqs;
  std::vector<ResItem> items;
  int32_t info_count = -1;  // -1: size of infos
  int32_t item_count = -1;  // -1: size of items
  int32_t block_count = TYPE_CNT;

  LeBytes Bytes() const {
    LeBytes b;
    b.i32(version).i32(ch).i32(freq).i32(harm);
    for (float p : pos) b.f32(p);
    b.i32(info_count >= 0 ? info_count : int32_t(infos.size()));
    for (const ChInfo& ci : infos) {
      b.i32(ci.idx_dev).i32(ci.idx_dev_ch).i32(ci.site_no);
      if (version > 4) b.i32(ci.line_no);
      b.f32(ci.mn).f32(ci.m_pos).f32(ci.vd2ab).i32(ci.ch_type);
    }
    for (float f : freqs) b.f32(f);
    b.i32(item_count >= 0 ? item_count : int32_t(items.size())).i32(block_count);
    for (const ResItem& it : items) {
      if (version > 3) b.u8(it.bad);
      for (const ResBlock& blk : it.blk) {
        b.f32(blk.value).f32(blk.std).u32(blk.count);
        if (version > 2) b.f32(blk.err);
      }
    }
    return b;
  }
};

// Two channels, one base frequency, two harmonics.
ResultFile sample_file(int32_t version) {
  ResultFile f;
  f.version = version;
  f.ch = 2;
  f.freq = 1;
  f.harm = 2;
  f.infos = {sample_info(0), sample_info(1)};
  f.freqs = {0.25f, 0.75f};
  for (int i = 0; i < 4; ++i) f.items.push_back(sample_item(i));
  return f;
}

void expect_reset(const ResItem& it) {
  EXPECT_EQ(it.bad, 0);
  for (const ResBlock& b : it.blk) {
    EXPECT_EQ(b.value, 1.0f);
    EXPECT_EQ(b.std, 0.0f);
    EXPECT_EQ(b.err, 0.0f);
    EXPECT_EQ(b.count, 0u);
  }
}

void set_channels(CResult* r, const std::string& dev, const std::vector<std::pair<int, float>>& ch_pos) {
  r->DoInit(int(ch_pos.size()), 1, 2);
  for (size_t j = 0; j < ch_pos.size(); ++j) {
    ChInfo ci;
    ci.dev_name = dev;
    ci.idx_dev_ch = ch_pos[j].first;
    ci.m_pos = ch_pos[j].second;
    r->SetChInfo(int(j), ci);
  }
}

}  // namespace

TEST(Result, ItemIndexRunsHarmonicsFastestThenFrequenciesThenChannels) {
  ProbeResult r;
  r.DoInit(3, 1, 3);
  EXPECT_EQ(r.ItemIndex(2, 0, 1), 7);
  EXPECT_EQ(r.ItemIndex(0, 0, 0), 0);
  r.DoInit(2, 3, 4);
  EXPECT_EQ(r.ItemIndex(1, 2, 3), (1 * 3 + 2) * 4 + 3);
  EXPECT_EQ(r.ItemIndex(2, 0, 0), -1);
  EXPECT_EQ(r.ItemIndex(0, 3, 0), -1);
  EXPECT_EQ(r.ItemIndex(0, 0, 4), -1);
  EXPECT_EQ(r.ItemIndex(0, -1, 0), -1);

  // The stored order follows the same index.
  r.DoInit(3, 1, 3);
  ResItem marked;
  marked.bad = 1;
  r.SetItem(2, 0, 1, marked);
  LeFile out(std::tmpfile());
  ASSERT_TRUE(r.DoWrite(out.get()));
  std::vector<unsigned char> bytes = le_contents(out.get());
  const size_t items_at = 16 + 16 + 4 + 3 * 32 + 3 * 4 + 8;
  const size_t item_size = 1 + 16 * TYPE_CNT;
  ASSERT_EQ(bytes.size(), items_at + 9 * item_size);
  for (size_t i = 0; i < 9; ++i) EXPECT_EQ(bytes[items_at + i * item_size], i == 7 ? 1 : 0) << i;
}

TEST(Result, InitKeepsEntriesAndFrequenciesButResetsItems) {
  CResultSip r;
  r.DoInit(2, 1, 2);
  ChInfo ci = sample_info(1);
  r.SetChInfo(0, ci);
  r.SetFreq(0, 1, 4.0f);
  r.SetItem(1, 0, 1, sample_item(3));

  r.DoInit(3, 1, 2);
  EXPECT_EQ(r.GetChNum(), 3);
  EXPECT_EQ(r.GetChInfo(0).dev_name, "ST01");
  EXPECT_EQ(r.GetChInfo(0).site_no, 11);
  EXPECT_EQ(r.GetChInfo(2).dev_name, "");
  EXPECT_EQ(r.GetChInfo(2).idx_dev, 0);
  EXPECT_EQ(r.GetFreq(0, 1), 4.0f);
  expect_reset(r.GetItem(1, 0, 1));

  r.SetItem(2, 0, 0, sample_item(2));
  r.SetHarmNum(3);
  EXPECT_EQ(r.GetHarmNum(), 3);
  EXPECT_EQ(r.GetFreqNum(), 1);
  EXPECT_EQ(r.GetChNum(), 3);
  EXPECT_EQ(r.GetFreq(0, 1), 4.0f);
  EXPECT_EQ(r.GetFreq(0, 2), 0.0f);
  expect_reset(r.GetItem(2, 0, 0));
  expect_reset(r.GetItem(2, 0, 2));
}

TEST(Result, AccessOutsideTheCountsIsHarmless) {
  ProbeResult r;
  r.DoInit(2, 1, 2);
  const int bad[][3] = {{2, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, 0, 2}, {0, -1, 1}};
  for (const auto& p : bad) {
    r.SetItem(p[0], p[1], p[2], sample_item(1));
    expect_reset(r.GetItem(p[0], p[1], p[2]));
  }
  EXPECT_TRUE(r.set_calls.empty());
  for (int ch = 0; ch < 2; ++ch)
    for (int h = 0; h < 2; ++h) expect_reset(r.GetItem(ch, 0, h));

  r.SetChInfo(2, sample_info(0));
  r.SetChInfo(-1, sample_info(0));
  EXPECT_EQ(r.GetChInfo(5).dev_name, "");
  r.SetFreq(0, 2, 9.0f);
  r.SetFreq(1, 0, 9.0f);
  EXPECT_EQ(r.GetFreq(0, 2), 0.0f);
  EXPECT_EQ(r.GetFreq(0, 1), 0.0f);
  r.InvalidateCh(2);
  r.ScaleApp(-1, 2.0f);
  EXPECT_EQ(r.GetCalTimes(2), 0u);

  CResultSip empty;
  expect_reset(empty.GetItem(0, 0, 0));
  EXPECT_EQ(empty.GetCalTimes(0), 0u);
}

TEST(Result, SetItemReportsThePointToTheDerivedClass) {
  ProbeResult r;
  r.DoInit(2, 2, 3);
  r.SetItem(1, 1, 2, sample_item(0));
  r.SetItem(0, 0, 0, sample_item(1));
  ASSERT_EQ(r.set_calls.size(), 2u);
  EXPECT_EQ(r.set_calls[0], (std::vector<int>{1, 1, 2}));
  EXPECT_EQ(r.set_calls[1], (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(r.GetItem(1, 1, 2).blk[RES_FS].value, sample_item(0).blk[RES_FS].value);
}

TEST(Result, InvalidateScaleAndCalTimesTouchOnlyTheirChannel) {
  CResultSip r;
  r.DoInit(2, 2, 2);
  for (int ch = 0; ch < 2; ++ch)
    for (int f = 0; f < 2; ++f)
      for (int h = 0; h < 2; ++h) r.SetItem(ch, f, h, sample_item(3));
  EXPECT_EQ(r.GetCalTimes(1), uint32_t(3 + RES_APP));

  r.ScaleApp(1, 2.0f);
  r.InvalidateCh(0);
  for (int f = 0; f < 2; ++f) {
    for (int h = 0; h < 2; ++h) {
      ResItem a = r.GetItem(0, f, h);
      ResItem b = r.GetItem(1, f, h);
      for (int k = 0; k < TYPE_CNT; ++k) {
        EXPECT_EQ(a.blk[k].count, 0u);
        EXPECT_EQ(a.blk[k].value, sample_item(3).blk[k].value);
        EXPECT_EQ(b.blk[k].count, sample_item(3).blk[k].count);
        float s = k == RES_APP ? 2.0f : 1.0f;
        EXPECT_EQ(b.blk[k].value, s * sample_item(3).blk[k].value);
        EXPECT_EQ(b.blk[k].std, s * sample_item(3).blk[k].std);
        EXPECT_EQ(b.blk[k].err, s * sample_item(3).blk[k].err);
      }
    }
  }
  EXPECT_EQ(r.GetCalTimes(0), 0u);
}

TEST(Result, CopiesCarryEverything) {
  CResultSip a;
  a.DoInit(2, 1, 2);
  a.SetPos(-500.0f, 1.0f, 500.0f, 2.0f);
  a.SetChInfo(1, sample_info(1));
  a.SetFreq(0, 1, 3.0f);
  a.SetItem(1, 0, 1, sample_item(2));
  CResultSip b;
  b = a;
  CResultSip c(a);
  for (CResultSip* x : {&b, &c}) {
    EXPECT_EQ(x->GetChNum(), 2);
    EXPECT_EQ(x->GetHarmNum(), 2);
    EXPECT_EQ(x->GetPosAx(), -500.0f);
    EXPECT_EQ(x->GetPosBy(), 2.0f);
    EXPECT_EQ(x->GetChInfo(1).dev_name, "ST01");
    EXPECT_EQ(x->GetFreq(0, 1), 3.0f);
    EXPECT_EQ(x->GetItem(1, 0, 1).blk[RES_CP].value, sample_item(2).blk[RES_CP].value);
  }
  CResultSip& alias = b;
  b = alias;
  EXPECT_EQ(b.GetChNum(), 2);
}

TEST(Result, OlderVersionsAreReadAndRewrittenAsVersion5) {
  for (int32_t version : {1, 2, 3, 4, 5}) {
    ResultFile in = sample_file(version);
    ResultFile want = sample_file(5);
    for (size_t i = 0; i < want.items.size(); ++i) {
      if (version <= 3) want.items[i].bad = 0;
      if (version <= 2)
        for (ResBlock& b : want.items[i].blk) b.err = b.std;
    }
    // line_no is not in older files; a fresh container has 0 there.
    if (version <= 4)
      for (ChInfo& ci : want.infos) ci.line_no = 0;

    CResultSip r;
    LeBytes bytes = in.Bytes();
    LeFile fp = le_stream(bytes.b);
    ASSERT_TRUE(r.DoRead(fp.get())) << "version " << version;
    EXPECT_EQ(std::ftell(fp.get()), long(bytes.b.size())) << "version " << version;
    EXPECT_EQ(r.GetChNum(), 2);
    EXPECT_EQ(r.GetFreqNum(), 1);
    EXPECT_EQ(r.GetHarmNum(), 2);
    EXPECT_EQ(r.GetPosAx(), -1000.0f);
    EXPECT_EQ(r.GetPosBx(), 1000.0f);
    EXPECT_EQ(r.GetFreq(0, 1), 0.75f);
    EXPECT_EQ(r.GetChInfo(1).ch_type, SIP_CH_MAGNETIC);

    LeFile out(std::tmpfile());
    ASSERT_TRUE(r.DoWrite(out.get())) << "version " << version;
    EXPECT_EQ(le_contents(out.get()), want.Bytes().b) << "version " << version;
  }
}

TEST(Result, EmptyContainerRoundTrips) {
  CResultSip r;
  LeFile out(std::tmpfile());
  ASSERT_TRUE(r.DoWrite(out.get()));
  LeBytes want;
  want.i32(5).i32(0).i32(0).i32(0).f32(0).f32(0).f32(0).f32(0).i32(0).i32(0).i32(TYPE_CNT);
  EXPECT_EQ(le_contents(out.get()), want.b);
  std::rewind(out.get());
  CResultSip back;
  back.DoInit(1, 1, 1);
  EXPECT_TRUE(back.DoRead(out.get()));
  EXPECT_EQ(back.GetChNum(), 0);
}

TEST(Result, WriteRefusesAContainerThatDisagreesWithItsCounts) {
  ProbeResult r;
  r.DoInit(1, 1, 2);
  r.DropLastFreq();
  LeFile out(std::tmpfile());
  EXPECT_FALSE(r.DoWrite(out.get()));
  EXPECT_TRUE(le_contents(out.get()).empty());
}

TEST(Result, DamagedCountsFailBeforeAnythingIsAllocated) {
  auto with_counts = [](int32_t ch, int32_t freq, int32_t harm) {
    ResultFile f;
    f.ch = ch;
    f.freq = freq;
    f.harm = harm;
    return f.Bytes();
  };
  ResultFile zero_version = sample_file(5);
  zero_version.version = 0;
  ResultFile neg_version = sample_file(5);
  neg_version.version = -3;
  struct Case {
    const char* name;
    LeBytes bytes;
  } cases[] = {
      {"empty stream", LeBytes()},
      {"version 0", zero_version.Bytes()},
      {"negative version", neg_version.Bytes()},
      {"counts cut", LeBytes().i32(5).i32(2).i32(1)},
      {"negative channels", with_counts(-1, 1, 1)},
      {"negative frequencies and harmonics", with_counts(2, -1, -1)},
      {"all negative", with_counts(-2, -2, -2)},
      {"product wraps to zero", with_counts(65536, 65536, 1)},
      {"product beyond an int", with_counts(2000, 2000, 2000)},
      {"product fits, bytes do not", with_counts(1000, 1000, 1000)},
      {"channels without entries", with_counts(100000, 0, 0)},
      {"frequencies without values", with_counts(0, 100000, 1000)},
  };
  for (const Case& c : cases) {
    CResultSip r;
    r.DoInit(1, 1, 1);
    r.SetFreq(0, 0, 7.0f);
    LeFile fp = le_stream(c.bytes.b);
    EXPECT_FALSE(r.DoRead(fp.get())) << c.name;
    EXPECT_EQ(r.GetChNum(), 1) << c.name;
    EXPECT_EQ(r.GetFreq(0, 0), 7.0f) << c.name;
  }
}

TEST(Result, MismatchedEntryItemOrBlockCountsFail) {
  ResultFile info = sample_file(5);
  info.info_count = 1;
  ResultFile items = sample_file(5);
  items.item_count = 3;
  ResultFile blocks = sample_file(5);
  blocks.block_count = 9;
  ResultFile more_blocks = sample_file(3);
  more_blocks.block_count = 11;
  struct Case {
    const char* name;
    const ResultFile& file;
  } cases[] = {{"entry count", info}, {"item count", items}, {"block count", blocks}, {"11 blocks", more_blocks}};
  for (const Case& c : cases) {
    CResultSip r;
    LeFile fp = le_stream(c.file.Bytes().b);
    EXPECT_FALSE(r.DoRead(fp.get())) << c.name;
    EXPECT_EQ(r.GetChNum(), 2) << c.name;
    EXPECT_EQ(r.GetHarmNum(), 2) << c.name;
    expect_reset(r.GetItem(1, 0, 1));
  }
}

TEST(Result, EveryTruncationFailsCleanly) {
  std::vector<unsigned char> bytes = sample_file(5).Bytes().b;
  for (size_t len = 0; len < bytes.size(); ++len) {
    CResultSip r;
    LeFile fp = le_stream(bytes, len);
    EXPECT_FALSE(r.DoRead(fp.get())) << "length " << len;
  }
}

TEST(Result, ResStatOfStackedValues) {
  const float sqrt2 = 1.4142135623730951f;
  struct Case {
    const char* name;
    std::vector<float> values;
    std::vector<float> weights;  // empty: none
    bool is_phase;
    float value, std_, err;
    uint32_t count;
  } cases[] = {
      {"none", {}, {}, false, 1.0f, 0.0f, 0.0f, 0},
      {"one", {5.0f}, {}, false, 5.0f, 0.0f, 0.0f, 1},
      {"one weighted", {5.0f}, {3.0f}, false, 5.0f, 0.0f, 0.0f, 1},
      {"one phase is wrapped", {4.0f}, {2.0f}, true, float(4.0 - 6.283185307179586), 0.0f, 0.0f, 1},
      {"1..4", {1, 2, 3, 4}, {}, false, 2.5f, std::sqrt(1.25f), std::sqrt(0.625f) / sqrt2, 4},
      {"1..4 weighted", {1, 2, 3, 4}, {1, 1, 1, 5}, false, 3.25f, std::sqrt(1.25f), 0.7192782f, 4},
      {"two", {1, 3}, {}, false, 2.0f, 1.0f, 1.0f / sqrt2, 2},
      {"three", {1, 2, 6}, {}, false, 3.0f, std::sqrt(14.0f / 3.0f), std::sqrt(1.421875f) / sqrt2, 3},
  };
  for (const Case& c : cases) {
    ResBlock b = CResult::ResStat(c.values, c.is_phase, c.weights.empty() ? nullptr : &c.weights);
    SCOPED_TRACE(c.name);
    EXPECT_NEAR(b.value, c.value, 1e-5);
    EXPECT_NEAR(b.std, c.std_, 1e-5);
    EXPECT_NEAR(b.err, c.err, 1e-5);
    EXPECT_EQ(b.count, c.count);
  }
}

TEST(Result, ResStatOfPhasesAcrossTheCutStaysSmall) {
  const std::vector<float> ph = {3.1f, -3.1f, 3.1f, -3.1f};
  ResBlock b = CResult::ResStat(ph, true, nullptr);
  EXPECT_NEAR(std::cos(b.value), -1.0, 1e-6);
  EXPECT_LT(b.std, 0.05f);
  EXPECT_LT(b.err, 0.05f);
  EXPECT_EQ(b.count, 4u);

  const std::vector<float> w = {1, 1, 1, 3};
  ResBlock bw = CResult::ResStat(ph, true, &w);
  // The heavier -3.1 pulls the mean across the cut to about -3.1277.
  EXPECT_NEAR(bw.value, -3.12773f, 1e-4);
  EXPECT_LT(bw.err, 0.05f);

  ResBlock lin = CResult::ResStat(ph, false, nullptr);
  EXPECT_NEAR(lin.value, 0.0f, 1e-6);
  EXPECT_NEAR(lin.std, 3.1f, 1e-5);
}

TEST(Result, DisplayScaleFactors) {
  struct Case {
    float x;
    int index;
    float want;
  } cases[] = {
      {0.5f, RES_U_AMP, 500.0f},      {1.0f, RES_U_PH, 57.29578f}, {3.0f, RES_APP, 3.0f},
      {-1.0f, RES_Z_PH, -57.29578f},  {0.002f, RES_H_AMP, 2.0f},   {0.5f, RES_H_PH, 28.64789f},
      {5.0f, RES_I_AMP, 5000.0f},     {2.0f, RES_I_PH, 114.59156f}, {2.0f, RES_CP, -1141.5927f},
      {-2.0f, RES_CP, 1141.5927f},    {0.01f, RES_CP, 10.0f},       {0.2f, RES_FS, 20.0f},
      {7.0f, 10, 7.0f},               {7.0f, -1, 7.0f},
  };
  for (const Case& c : cases) EXPECT_NEAR(ResDisplayScale(c.x, c.index), c.want, 1e-3) << c.index << " " << c.x;
  EXPECT_NEAR(ResDisplayScale(2.0f, RES_CP), -1141.6f, 0.05f);
}

TEST(Result, GroupByPosSortsChannelsOfAllContainersByPosition) {
  CResultSip a, b;
  set_channels(&a, "ST01", {{0, 0.0f}, {1, 20.0f}});
  set_channels(&b, "ST02", {{0, 20.0f}, {2, 10.0f}});
  for (CResultSip* r : {&a, &b}) r->SetPos(-1000.0f, 0.0f, 1000.0f, 0.0f);
  CResult* results[] = {&a, &b};

  std::vector<ChGroup> groups(5);
  CResult::GroupByPos(results, 2, &groups, true);
  ASSERT_EQ(groups.size(), 3u);
  EXPECT_EQ(groups[0].m_pos, 0.0f);
  EXPECT_EQ(groups[1].m_pos, 10.0f);
  EXPECT_EQ(groups[2].m_pos, 20.0f);
  ASSERT_EQ(groups[0].refs.size(), 1u);
  ASSERT_EQ(groups[1].refs.size(), 1u);
  ASSERT_EQ(groups[2].refs.size(), 2u);
  auto ref_is = [](const ChRef& r, const char* label, int idx_result, int idx_ch) {
    EXPECT_EQ(r.label, label);
    EXPECT_EQ(r.idx_result, idx_result);
    EXPECT_EQ(r.idx_ch, idx_ch);
  };
  ref_is(groups[0].refs[0], "ST01_1", 0, 0);
  ref_is(groups[1].refs[0], "ST02_3", 1, 1);
  ref_is(groups[2].refs[0], "ST01_2", 0, 1);
  ref_is(groups[2].refs[1], "ST02_1", 1, 0);

  ResItem ia, ib;
  ia.blk[RES_APP].value = 111.0f;
  ib.blk[RES_APP].value = 222.0f;
  a.SetItem(1, 0, 1, ia);
  b.SetItem(0, 0, 1, ib);
  std::vector<float> vals = {9.0f};
  CResult::CollectBlock(results, groups[2], 0, 1, RES_APP, &vals);
  EXPECT_EQ(vals, (std::vector<float>{111.0f, 222.0f}));
  CResult::CollectBlock(results, groups[2], 0, 0, RES_APP, &vals);
  EXPECT_EQ(vals, (std::vector<float>{1.0f, 1.0f}));
  CResult::CollectBlock(results, groups[2], 0, 1, TYPE_CNT, &vals);
  EXPECT_TRUE(vals.empty());
}

TEST(Result, GroupByPosRefusesContainersOfDifferentGeometry) {
  CResultSip a, b;
  set_channels(&a, "ST01", {{0, 0.0f}});
  set_channels(&b, "ST02", {{0, 10.0f}});
  a.SetPos(-1000.0f, 0.0f, 1000.0f, 0.0f);
  b.SetPos(-1000.0f, 0.0f, 900.0f, 0.0f);
  CResult* results[] = {&a, &b};
  std::vector<ChGroup> groups;
  CResult::GroupByPos(results, 2, &groups, false);
  EXPECT_EQ(groups.size(), 2u);
  CResult::GroupByPos(results, 2, &groups, true);
  EXPECT_TRUE(groups.empty());

  b.SetPos(-1000.0f, 5.0f, 1000.0f, 0.0f);
  CResult::GroupByPos(results, 2, &groups, false);
  EXPECT_TRUE(groups.empty());

  b.SetPos(-1000.0f, 0.0f, 1000.0f, 0.0f);
  b.SetHarmNum(3);
  CResult::GroupByPos(results, 2, &groups, false);
  EXPECT_TRUE(groups.empty());
}
