#include <gtest/gtest.h>

#include <cmath>

#include "core/base/algo.h"
#include "core/processing/synth_current.h"

namespace {

PrmMeas Meas(int wave, float v2i) {
  PrmMeas m;
  m.wave = wave;
  m.v2i = v2i;
  return m;
}

float Amp(const SpectItem& it) { return float(cpx_abs(cpx_t{it.re, it.im})); }
float Phase(const SpectItem& it) { return float(cpx_arg(cpx_t{it.re, it.im})); }

}  // namespace

TEST(SynthCurrent, BaseFreqIndexOfPowersOfTwoOnly) {
  struct Case {
    float f;
    int index;
  } cases[] = {
      {1.0f / 256.0f, 0}, {0.25f, 6}, {0.5f, 7}, {1.0f, 8}, {64.0f, 14},
      // Not a power of two, or outside the fifteen rows: the 1/16 Hz row.
      {0.3f, 4}, {0.33333334f, 4}, {128.0f, 4}, {1.0f / 512.0f, 4}, {0.0f, 4}, {-1.0f, 4},
  };
  for (const Case& c : cases) EXPECT_EQ(baseFreqIndex(c.f), c.index) << c.f;
}

TEST(SynthCurrent, TablesHoldTheWaveformRows) {
  EXPECT_FLOAT_EQ(SPREAD_PHASE[0][0], -2828.95f);
  EXPECT_FLOAT_EQ(SPREAD_PHASE[14][15], -1761.73f);
  EXPECT_FLOAT_EQ(SPREAD_PHASE[8][7], 3082.6f);
  EXPECT_FLOAT_EQ(SPREAD_AMP[0][0], 0.3735f);
  EXPECT_FLOAT_EQ(SPREAD_AMP[10][12], 0.08935f);
  EXPECT_FLOAT_EQ(SPREAD_AMP[13][13], 0.07817f);
  EXPECT_FLOAT_EQ(SPREAD_AMP[14][15], 0.1004f);
}

TEST(SynthCurrent, SpreadSpectrumWithSixteenHarmonicsUsesTheRowOfTheFrequency) {
  const PrmMeas meas = Meas(SIP_WAVE_SPREAD_SPECTRUM, 0.5f);
  for (float f : {0.3f, 0.25f, 1.0f}) {
    const int row = baseFreqIndex(f);
    CSpectArray a = synthCurrentSpect(meas, 6, 16, 2, 4.0f, row);
    ASSERT_EQ(a.DoGetCalNum(), 2);
    for (int k = 0; k < 16; ++k) {
      const SpectItem it = a.DoGetItemOf(3, 0, k, 1);
      EXPECT_NEAR(Amp(it), 2.0f * SPREAD_AMP[row][k], 1e-6f) << f << " " << k;
      EXPECT_NEAR(algo_phase_wrap(0.0f, Phase(it) - SPREAD_PHASE[row][k] / 1000.0f), 0.0f, 1e-5f) << f << " " << k;
    }
  }
}

TEST(SynthCurrent, SquareWaveFallsOffWithTheOddHarmonics) {
  const float v2i = 0.25f;
  CSpectArray a = synthCurrentSpect(Meas(SIP_WAVE_SQUARE, v2i), 6, 4, 3, 5.0f, 6);
  const float expected[] = {5.0f, 5.0f / 3.0f, 1.0f, 5.0f / 7.0f};
  for (int k = 0; k < 4; ++k) {
    const SpectItem it = a.DoGetItemOf(0, 0, k, 2);
    // Stored into a file the value is divided by v2i: the entered current.
    EXPECT_NEAR(Amp(it) / v2i, expected[k], 1e-5f) << k;
    EXPECT_EQ(it.im, 0.0);
  }
}

TEST(SynthCurrent, SpreadSpectrumWithoutSixteenHarmonicsIsFlat) {
  CSpectArray a = synthCurrentSpect(Meas(SIP_WAVE_SPREAD_SPECTRUM, 1.0f), 6, 3, 1, 2.5f, 6);
  for (int k = 0; k < 3; ++k) {
    const SpectItem it = a.DoGetItemOf(5, 0, k, 0);
    EXPECT_FLOAT_EQ(float(it.re), 2.5f);
    EXPECT_EQ(it.im, 0.0);
  }
}

TEST(SynthCurrent, EveryChannelAndCalculationHoldsTheSameValidValue) {
  CSpectArray a = synthCurrentSpect(Meas(SIP_WAVE_SPREAD_SPECTRUM, 1.0f), 6, 16, 3, 1.0f, 8);
  EXPECT_EQ(a.DoGetBuffChNum(), 6);
  EXPECT_EQ(a.DoGetBuffFreqNum(), 1);
  EXPECT_EQ(a.DoGetBuffHarmNum(), 16);
  EXPECT_EQ(a.GetChValidMask(), -1);
  EXPECT_EQ(a.GetGeoType(), 2);
  EXPECT_EQ(a.DoGetItemNum(), 6 * 16 * 3);
  for (int k = 0; k < 16; ++k) {
    const SpectItem ref = a.DoGetItemOf(0, 0, k, 0);
    for (int c = 0; c < 3; ++c) {
      for (int ch = 0; ch < 6; ++ch) {
        const SpectItem it = a.DoGetItemOf(ch, 0, k, c);
        EXPECT_EQ(it.m_valid, 1);
        EXPECT_EQ(it.bad, 0);
        EXPECT_EQ(it.re, ref.re);
        EXPECT_EQ(it.im, ref.im);
      }
    }
  }
}

TEST(SynthCurrent, IndexOutsideTheTablesIsNotRead) {
  const PrmMeas meas = Meas(SIP_WAVE_SPREAD_SPECTRUM, 1.0f);
  CSpectArray bad = synthCurrentSpect(meas, 1, 16, 1, 1.0f, 99);
  CSpectArray row4 = synthCurrentSpect(meas, 1, 16, 1, 1.0f, 4);
  for (int k = 0; k < 16; ++k) EXPECT_EQ(bad.DoGetItemOf(0, 0, k, 0).re, row4.DoGetItemOf(0, 0, k, 0).re);
}
