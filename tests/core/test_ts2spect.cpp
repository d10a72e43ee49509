#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "core/base/algo.h"
#include "core/processing/sip_spect2res.h"
#include "core/processing/sip_ts2spect.h"
#include "core/sip/format_smt.h"

namespace {

constexpr double kPi = 3.141592653589793;

// Volts of channel ch at row t.
using Signal = std::function<double(int ch, int t)>;

struct SmtParams {
  int sample_rate = 15;
  float freq = 0.25f;
  int harm_num = 3;
  int wave = SIP_WAVE_SQUARE;
  int rows = 605;
  float gain = 1.0f;
};

std::string WriteSmt(const std::string& name, const SmtParams& s, const Signal& sig) {
  CFormatSmt smt;
  smt.m_prm_meas.sample_rate = s.sample_rate;
  smt.m_prm_meas.freq_base = s.freq;
  smt.m_prm_meas.harm_num = s.harm_num;
  smt.m_prm_meas.wave = s.wave;
  smt.m_prm_dev.ch_num = 6;
  std::vector<float> data[MAX_CH_NUM];
  for (int ch = 0; ch < MAX_CH_NUM; ++ch) {
    smt.m_gain[ch] = s.gain;
    data[ch].resize(size_t(s.rows));
    for (int t = 0; t < s.rows; ++t) data[ch][size_t(t)] = float(sig(ch, t) * s.gain);
  }
  EXPECT_TRUE(smt.SetData(data));
  const std::string path = testing::TempDir() + "varnex_ts2spect_" + name + ".smt";
  EXPECT_TRUE(smt.Write(path));
  return path;
}

// Cosines of the given amplitudes at the first three odd multiples of a
// period of len samples, channel ch scaled by ch + 1.
Signal OddCosines(int len, double a1, double a3, double a5) {
  return [=](int ch, int t) {
    const double x = 2.0 * kPi * double(t) / double(len);
    return double(ch + 1) * (a1 * std::cos(x) + a3 * std::cos(3 * x) + a5 * std::cos(5 * x));
  };
}

float Amp(const SpectItem& it) { return float(cpx_abs(cpx_t{it.re, it.im})); }

void Configure(CSipTs2Spect& t, const SmtParams& s) {
  t.SetParams(s.sample_rate, s.freq, s.harm_num, s.wave);
  t.SetAmpCoef(1.0);
}

}  // namespace

TEST(Ts2Spect, SamplesPerCycle) {
  struct Case {
    int rate;
    float freq;
    int n;
  } cases[] = {
      {15, 0.25f, 60},       {150, 0.33333334f, 450}, {150, 1.0f / 3.0f, 450}, {150, 0.25f, 600},
      {150, 0.7f, 0},        // 214.29 samples: not a whole period
      {15, 0.0f, 0},         {15, -0.25f, 0},          {0, 0.25f, 0},          {15, NAN, 0},
      {2000000000, 1e-6f, 0},
  };
  for (const Case& c : cases) {
    CSipTs2Spect t;
    t.SetParams(c.rate, c.freq, 3, SIP_WAVE_SQUARE);
    EXPECT_EQ(t.GetSamplesPerCycle(), c.n) << c.rate << " " << c.freq;
  }
}

TEST(Ts2Spect, SquareWavePicksOddBinsOfOnePeriod) {
  CSipTs2Spect t;
  t.SetParams(15, 0.25f, 3, SIP_WAVE_SQUARE);
  // Bins 1, 3 and 5 of a 60-point FFT; the even bin 2 and the DC part are
  // not harmonics of the square wave.
  std::vector<float> x(60);
  for (int i = 0; i < 60; ++i) {
    const double a = 2.0 * kPi * i / 60.0;
    x[size_t(i)] = float(0.5 + 0.1 * std::cos(a) + 0.7 * std::cos(2 * a) + 0.2 * std::sin(3 * a) + 0.3 * std::cos(5 * a));
  }
  std::vector<SpectItem> out;
  ASSERT_TRUE(t.CalcSpect(x.data(), 60, &out));
  ASSERT_EQ(out.size(), 3u);
  EXPECT_NEAR(out[0].re, 0.1, 1e-6);
  EXPECT_NEAR(out[0].im, 0.0, 1e-6);
  EXPECT_NEAR(out[1].re, 0.0, 1e-6);
  EXPECT_NEAR(out[1].im, -0.2, 1e-6);
  EXPECT_NEAR(out[2].re, 0.3, 1e-6);
  for (const SpectItem& it : out) {
    EXPECT_EQ(it.m_valid, 1);
    // Single precision values.
    EXPECT_EQ(it.re, double(float(it.re)));
  }

  // Two periods: bins 2, 6, 10 carry the same amplitudes.
  std::vector<float> x2(x);
  x2.insert(x2.end(), x.begin(), x.end());
  ASSERT_TRUE(t.CalcSpect(x2.data(), 120, &out));
  EXPECT_NEAR(Amp(out[0]), 0.1f, 1e-6f);
  EXPECT_NEAR(Amp(out[1]), 0.2f, 1e-6f);
  EXPECT_NEAR(Amp(out[2]), 0.3f, 1e-6f);

  t.SetAmpCoef(10.0);
  ASSERT_TRUE(t.CalcSpect(x.data(), 60, &out));
  EXPECT_NEAR(Amp(out[2]), 3.0f, 1e-5f);
  EXPECT_FALSE(t.CalcSpect(x.data(), 0, &out));
}

TEST(Ts2Spect, HarmonicsBeyondTheSegmentHaveNoValue) {
  struct Case {
    int wave;
    int harm_num;
    int first_invalid;
  } cases[] = {
      {SIP_WAVE_SQUARE, 16, 16},         // bins up to 31 of 60
      {SIP_WAVE_SQUARE, 32, 30},         // 2k + 1 >= 60 from k = 30
      {SIP_WAVE_PSEUDO_RANDOM, 16, 6},   // 64 >= 60
      {SIP_WAVE_DOUBLE_FREQ, 16, 2},     // 81 >= 60
      {SIP_WAVE_SPREAD_SPECTRUM, 64, 59},
  };
  std::vector<float> x(60, 0.25f);
  for (const Case& c : cases) {
    CSipTs2Spect t;
    t.SetParams(15, 0.25f, c.harm_num, c.wave);
    std::vector<SpectItem> out;
    ASSERT_TRUE(t.CalcSpect(x.data(), 60, &out));
    ASSERT_EQ(int(out.size()), c.harm_num);
    for (int k = 0; k < c.harm_num; ++k) EXPECT_EQ(out[size_t(k)].m_valid, k < c.first_invalid ? 1 : 0) << c.wave << " " << k;
  }
}

TEST(Ts2Spect, OddPeriodAtOneThirdHertz) {
  SmtParams s;
  s.sample_rate = 150;
  s.freq = 0.33333334f;
  s.rows = 1000;
  const std::string path = WriteSmt("third", s, OddCosines(450, 0.1, 0.0, 0.05));
  CSipTs2Spect t;
  Configure(t, s);
  EXPECT_EQ(t.GetSamplesPerCycle(), 450);
  std::vector<SpectItem> out;
  ASSERT_EQ(t.CalcCh(SmtChRef{path, 0}, nullptr, &out), 2);
  ASSERT_EQ(out.size(), 6u);
  EXPECT_NEAR(Amp(out[3]), 0.1f, 1e-6f);
  EXPECT_NEAR(Amp(out[4]), 0.0f, 1e-6f);
  EXPECT_NEAR(Amp(out[5]), 0.05f, 1e-6f);
}

TEST(Ts2Spect, SegmentsOfAVoltageFile) {
  SmtParams s;
  s.gain = 2.0f;
  const std::string path = WriteSmt("segments", s, OddCosines(60, 0.1, 0.02, 0.0));
  CSipTs2Spect t;
  Configure(t, s);
  EXPECT_TRUE(t.CheckSmt(path));
  std::vector<SpectItem> out;
  // 605 rows: ten segments of 60 samples, the last five samples unused.
  ASSERT_EQ(t.CalcCh(SmtChRef{path, 2}, nullptr, &out), 10);
  ASSERT_EQ(out.size(), 30u);
  for (int s_idx = 0; s_idx < 10; ++s_idx) {
    const SpectItem* seg = &out[size_t(s_idx) * 3];
    // Channel 2 carries three times the signal; the gain is divided out.
    EXPECT_NEAR(Amp(seg[0]), 0.3f, 1e-6f);
    EXPECT_NEAR(Amp(seg[1]), 0.06f, 1e-6f);
    EXPECT_NEAR(Amp(seg[2]), 0.0f, 1e-6f);
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(seg[k].m_valid, 1);
      EXPECT_EQ(seg[k].bad, 0);
      EXPECT_EQ(seg[k].weight, 1.0f);
      EXPECT_EQ(seg[k].coh_ts, 0.0f);
      EXPECT_EQ(seg[k].coh_sp, 0.0f);
    }
  }
}

TEST(Ts2Spect, CosineAtTheFirstHarmonic) {
  SmtParams s;
  s.rows = 120;
  const std::string path = WriteSmt("cosine", s, [](int, int t) { return 0.1 * std::cos(2 * kPi * t / 60.0); });
  CSipTs2Spect t;
  Configure(t, s);
  std::vector<SpectItem> out;
  ASSERT_EQ(t.CalcCh(SmtChRef{path, 0}, nullptr, &out), 2);
  EXPECT_NEAR(Amp(out[0]), 0.1f, 1e-7f);
  EXPECT_NEAR(Amp(out[3]), 0.1f, 1e-7f);
}

TEST(Ts2Spect, OverRangeSampleMarksItsSegmentBad) {
  SmtParams s;
  s.rows = 180;
  const std::string path = WriteSmt("over", s, [](int ch, int t) {
    if (ch == 3 && t == 70) return 1.25;
    return 0.1 * std::cos(2 * kPi * t / 60.0);
  });
  CSipTs2Spect t;
  Configure(t, s);
  std::vector<SpectItem> out;
  ASSERT_EQ(t.CalcCh(SmtChRef{path, 3}, nullptr, &out), 3);
  for (int k = 0; k < 9; ++k) EXPECT_EQ(out[size_t(k)].bad, k / 3 == 1 ? 1 : 0) << k;
  // Channel 4 sums channel 3 into its own range test.
  ASSERT_EQ(t.CalcCh(SmtChRef{path, 4}, nullptr, &out), 3);
  EXPECT_EQ(out[3].bad, 1);
  ASSERT_EQ(t.CalcCh(SmtChRef{path, 2}, nullptr, &out), 3);
  EXPECT_EQ(out[3].bad, 0);
}

TEST(Ts2Spect, OverRangeOfAChannelSum) {
  SmtParams s;
  s.rows = 180;
  // Row 130: 0.5 + 0.5 + 0.3 reaches the limit for channel 0 only; every
  // other row stays small.
  const std::string path = WriteSmt("oversum", s, [](int ch, int t) {
    if (t == 130 && ch < 3) return ch == 2 ? 0.3 : 0.5;
    return 0.01 * std::cos(2 * kPi * t / 60.0);
  });
  CSipTs2Spect t;
  Configure(t, s);
  std::vector<SpectItem> out;
  ASSERT_EQ(t.CalcCh(SmtChRef{path, 0}, nullptr, &out), 3);
  EXPECT_EQ(out[0].bad, 0);
  EXPECT_EQ(out[3].bad, 0);
  EXPECT_EQ(out[6].bad, 1);
  for (int ch = 1; ch < 6; ++ch) {
    ASSERT_EQ(t.CalcCh(SmtChRef{path, ch}, nullptr, &out), 3);
    EXPECT_EQ(out[6].bad, 0) << ch;
  }
}

TEST(Ts2Spect, InfiniteSamplesAreOverRangeNotANumberIsNot) {
  SmtParams s;
  s.rows = 180;
  // Segment 0: a NaN alone. Segment 1: a NaN before an infinity in channel 0.
  // Segment 2: an infinity in channel 5. Every other sample is small.
  const std::string path = WriteSmt("nonfinite", s, [](int ch, int t) {
    if (ch == 0 && (t == 10 || t == 70)) return double(NAN);
    if (ch == 0 && t == 80) return double(INFINITY);
    if (ch == 5 && t == 150) return -double(INFINITY);
    return 0.01 * std::cos(2 * kPi * t / 60.0);
  });
  CSipTs2Spect t;
  Configure(t, s);
  std::vector<SpectItem> out;
  const int expected[MAX_CH_NUM][3] = {{0, 1, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 1}};
  for (int ch = 0; ch < MAX_CH_NUM; ++ch) {
    ASSERT_EQ(t.CalcCh(SmtChRef{path, ch}, nullptr, &out), 3);
    for (int seg = 0; seg < 3; ++seg) EXPECT_EQ(out[size_t(seg) * 3].bad, expected[ch][seg]) << ch << " " << seg;
  }
}

TEST(Ts2Spect, ShorterCurrentFileLimitsTheSegments) {
  SmtParams s;
  const std::string u_path = WriteSmt("cur_u", s, OddCosines(60, 0.1, 0.03, 0.01));
  SmtParams si = s;
  si.rows = 300;
  // Channel 3 of the current file is a scaled copy of channel 0 of the
  // voltage file (the signal is scaled by ch + 1).
  const std::string i_path = WriteSmt("cur_i", si, OddCosines(60, 0.5, 0.15, 0.05));
  CSipTs2Spect t;
  Configure(t, s);
  std::vector<SpectItem> out;
  const SmtChRef cur{i_path, 3};
  ASSERT_EQ(t.CalcCh(SmtChRef{u_path, 0}, &cur, &out), 5);
  ASSERT_EQ(out.size(), 15u);
  for (const SpectItem& it : out) {
    EXPECT_NEAR(it.coh_ts, 1.0f, 1e-5f);
    EXPECT_NEAR(it.coh_sp, 1.0f, 1e-5f);
    EXPECT_NEAR(it.weight, CohWeight(it.coh_ts), 1e-6f);
  }
  EXPECT_NEAR(Amp(out[0]), 0.1f, 1e-6f);
}

TEST(Ts2Spect, UncorrelatedCurrentGivesLowCoherence) {
  SmtParams s;
  s.rows = 120;
  const std::string u_path = WriteSmt("unc_u", s, [](int, int t) { return 0.1 * std::cos(2 * kPi * t / 60.0); });
  const std::string i_path = WriteSmt("unc_i", s, [](int, int t) { return 0.1 * std::cos(2 * kPi * 5 * t / 60.0); });
  CSipTs2Spect t;
  Configure(t, s);
  std::vector<SpectItem> out;
  const SmtChRef cur{i_path, 3};
  ASSERT_EQ(t.CalcCh(SmtChRef{u_path, 0}, &cur, &out), 2);
  EXPECT_NEAR(out[0].coh_ts, 0.0f, 1e-5f);
  EXPECT_NEAR(out[0].coh_sp, 0.0f, 1e-5f);
  EXPECT_FLOAT_EQ(out[0].weight, 2e-10f);
}

TEST(Ts2Spect, UnusableFilesGiveNoSegments) {
  SmtParams s;
  const std::string good = WriteSmt("good", s, OddCosines(60, 0.1, 0.0, 0.0));
  SmtParams other = s;
  other.harm_num = 4;
  const std::string harm = WriteSmt("harm", other, OddCosines(60, 0.1, 0.0, 0.0));
  other = s;
  other.sample_rate = 30;
  const std::string rate = WriteSmt("rate", other, OddCosines(60, 0.1, 0.0, 0.0));
  other = s;
  other.freq = 0.250001f;
  const std::string near = WriteSmt("near", other, OddCosines(60, 0.1, 0.0, 0.0));
  other.freq = 0.2501f;
  const std::string far = WriteSmt("far", other, OddCosines(60, 0.1, 0.0, 0.0));
  other = s;
  other.rows = 59;
  const std::string short_file = WriteSmt("short", other, OddCosines(60, 0.1, 0.0, 0.0));
  const std::string junk = testing::TempDir() + "varnex_ts2spect_junk.smt";
  {
    FILE* fp = std::fopen(junk.c_str(), "wb");
    ASSERT_NE(fp, nullptr);
    std::fputs("##not a time series", fp);
    std::fclose(fp);
  }
  const std::string missing = testing::TempDir() + "varnex_ts2spect_missing/x.smt";

  CSipTs2Spect t;
  Configure(t, s);
  EXPECT_TRUE(t.CheckSmt(good));
  EXPECT_TRUE(t.CheckSmt(near));
  EXPECT_TRUE(t.CheckSmt(short_file));
  for (const std::string& p : {std::string(), harm, rate, far, junk, missing}) EXPECT_FALSE(t.CheckSmt(p)) << p;

  std::vector<SpectItem> out(4);
  for (const std::string& p : {std::string(), harm, rate, far, junk, missing, short_file}) {
    EXPECT_EQ(t.CalcCh(SmtChRef{p, 0}, nullptr, &out), 0) << p;
    EXPECT_TRUE(out.empty());
  }
  for (int ch : {-1, 6}) EXPECT_EQ(t.CalcCh(SmtChRef{good, ch}, nullptr, &out), 0);
  // A current file that cannot be used.
  for (const SmtChRef& cur : {SmtChRef{junk, 3}, SmtChRef{harm, 3}, SmtChRef{good, 7}, SmtChRef{"", 3}})
    EXPECT_EQ(t.CalcCh(SmtChRef{good, 0}, &cur, &out), 0) << cur.path;
  EXPECT_EQ(t.CalcCh(SmtChRef{good, 0}, nullptr, nullptr), 0);
  EXPECT_EQ(t.CalcCh(SmtChRef{good, 0}, nullptr, &out), 10);

  // The parameters can change between calls on the same file.
  t.SetParams(15, 0.25f, 4, SIP_WAVE_SQUARE);
  EXPECT_FALSE(t.CheckSmt(good));
  EXPECT_EQ(t.CalcCh(SmtChRef{good, 0}, nullptr, &out), 0);
  EXPECT_TRUE(t.CheckSmt(harm));
}

TEST(Ts2Spect, RewrittenFileIsReadAgain) {
  SmtParams s;
  s.rows = 120;
  const std::string path = WriteSmt("rewrite", s, OddCosines(60, 0.1, 0.0, 0.0));
  CSipTs2Spect t;
  Configure(t, s);
  std::vector<SpectItem> out;
  ASSERT_EQ(t.CalcCh(SmtChRef{path, 0}, nullptr, &out), 2);
  s.rows = 180;
  WriteSmt("rewrite", s, OddCosines(60, 0.2, 0.0, 0.0));
  ASSERT_EQ(t.CalcCh(SmtChRef{path, 0}, nullptr, &out), 3);
  EXPECT_NEAR(Amp(out[0]), 0.2f, 1e-6f);
}

TEST(Ts2Spect, CalcArrayStoresOneCalculationPerSegment) {
  SmtParams s;
  const std::string a = WriteSmt("array_a", s, OddCosines(60, 0.1, 0.02, 0.01));
  SmtParams sb = s;
  sb.rows = 300;
  const std::string b = WriteSmt("array_b", sb, OddCosines(60, 0.1, 0.02, 0.01));
  CSipTs2Spect t;
  Configure(t, s);
  CSpectArray arr;
  t.CalcArray({SmtChRef{b, 1}, SmtChRef{"", 0}, SmtChRef{a, 0}}, nullptr, arr);
  ASSERT_EQ(arr.DoGetBuffChNum(), 3);
  ASSERT_EQ(arr.DoGetBuffHarmNum(), 3);
  EXPECT_EQ(arr.GetGeoType(), 2);
  EXPECT_EQ(arr.DoGetCalNum(), 10);
  EXPECT_EQ(arr.DoGetItemNum(), 3 * 3 * 10);
  EXPECT_NEAR(Amp(arr.DoGetItemOf(0, 0, 1, 4)), 0.04f, 1e-6f);
  EXPECT_EQ(arr.DoGetItemOf(0, 0, 1, 5).m_valid, 0);
  EXPECT_EQ(arr.DoGetItemOf(1, 0, 0, 0).m_valid, 0);
  EXPECT_NEAR(Amp(arr.DoGetItemOf(2, 0, 2, 9)), 0.01f, 1e-6f);
}

TEST(Ts2Spect, CalcArrayForResKeepsStoredSpectraOfMissingChannels) {
  SmtParams s;
  const std::string path = WriteSmt("forres", s, OddCosines(60, 0.1, 0.02, 0.01));
  CResultSip res;
  res.DoInit(4, 1, 3);
  const int types[] = {SIP_CH_ELECTRIC, SIP_CH_ELECTRIC, SIP_CH_MAGNETIC, SIP_CH_ELECTRIC};
  const int devs[] = {0, 1, 1, 0};
  for (int i = 0; i < 4; ++i) {
    ChInfo info;
    info.idx_dev = devs[i];
    info.idx_dev_ch = i;
    info.ch_type = types[i];
    res.SetChInfo(i, info);
  }
  CSpectArray old_arr;
  old_arr.DoInit(4, 1, 3, 12, -1, 2);
  for (int c = 0; c < 12; ++c)
    for (int h = 0; h < 3; ++h)
      for (int i = 0; i < 4; ++i) old_arr.DoSetValueOf(i, 0, h, c, 7.0 + i, double(c), uint8_t(c == 3));

  CSipTs2Spect t;
  Configure(t, s);
  CSpectArray new_arr;
  const std::vector<SmtChRef> refs{{path, 0}, {"", 1}, {path, 2}, {path, 3}};
  t.CalcArrayForRes(refs, nullptr, res, old_arr, new_arr, true);
  ASSERT_EQ(new_arr.DoGetBuffChNum(), 4);
  // The stored channel brings its twelve calculations along.
  EXPECT_EQ(new_arr.DoGetCalNum(), 12);
  EXPECT_EQ(new_arr.DoGetItemNum(), 4 * 3 * 12);
  EXPECT_NEAR(Amp(new_arr.DoGetItemOf(0, 0, 0, 9)), 0.1f, 1e-6f);
  EXPECT_EQ(new_arr.DoGetItemOf(0, 0, 0, 10).m_valid, 0);
  EXPECT_NEAR(Amp(new_arr.DoGetItemOf(3, 0, 0, 0)), 0.4f, 1e-6f);
  for (int c = 0; c < 12; ++c) {
    const SpectItem it = new_arr.DoGetItemOf(1, 0, 2, c);
    EXPECT_EQ(it.re, 8.0);
    EXPECT_EQ(it.im, double(c));
    EXPECT_EQ(it.bad, c == 3 ? 1 : 0);
  }
  for (int c = 0; c < 12; ++c) EXPECT_EQ(new_arr.DoGetItemOf(2, 0, 0, c).m_valid, 0);
  EXPECT_EQ(t.GetDevList(true), std::vector<int>{0});
  EXPECT_EQ(t.GetDevList(false), std::vector<int>{1});

  // Without tracking the lists are only cleared.
  t.CalcArrayForRes(refs, nullptr, res, old_arr, new_arr, false);
  EXPECT_TRUE(t.GetDevList(true).empty());
  EXPECT_TRUE(t.GetDevList(false).empty());
}

TEST(Ts2Spect, CalcArrayForResWithFewerRefsThanEntries) {
  SmtParams s;
  const std::string path = WriteSmt("fewrefs", s, OddCosines(60, 0.1, 0.02, 0.01));
  CResultSip res;
  res.DoInit(3, 1, 3);
  CSpectArray old_arr;
  old_arr.DoInit(1, 1, 2, 4, -1, 2);
  for (int c = 0; c < 4; ++c)
    for (int h = 0; h < 2; ++h) old_arr.DoSetValueOf(0, 0, h, c, 1.0, 0.0, 0);
  CSipTs2Spect t;
  Configure(t, s);
  CSpectArray new_arr;
  t.CalcArrayForRes({SmtChRef{path, 0}}, nullptr, res, old_arr, new_arr, true);
  EXPECT_EQ(new_arr.DoGetBuffChNum(), 1);
  EXPECT_EQ(new_arr.DoGetCalNum(), 10);

  // A missing file with an old array of fewer harmonics and channels.
  t.CalcArrayForRes({SmtChRef{"", 0}, SmtChRef{"", 1}}, nullptr, res, old_arr, new_arr, true);
  EXPECT_EQ(new_arr.DoGetBuffChNum(), 2);
  EXPECT_EQ(new_arr.DoGetCalNum(), 4);
  EXPECT_EQ(new_arr.DoGetItemOf(0, 0, 1, 3).m_valid, 1);
  EXPECT_EQ(new_arr.DoGetItemOf(0, 0, 2, 3).m_valid, 0);
  EXPECT_EQ(new_arr.DoGetItemOf(1, 0, 0, 0).m_valid, 0);
  EXPECT_EQ(t.GetDevList(false), std::vector<int>{0});
}
