#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/processing/sip_spect2res.h"
#include "core/processing/spect_algo.h"

namespace {

SpectItem Val(double re, double im) {
  SpectItem it;
  it.re = re;
  it.im = im;
  it.m_valid = 1;
  return it;
}

std::vector<SpectItem> List(std::initializer_list<std::pair<double, double>> values) {
  std::vector<SpectItem> out;
  for (const auto& v : values) out.push_back(Val(v.first, v.second));
  return out;
}

// ch channels, 1 frequency, harm harmonics, cal calculations of distinct
// valid values.
void Fill(CSpectArray& a, int ch, int harm, int cal) {
  a.DoInit(ch, 1, harm, cal, -1, 2);
  for (int c = 0; c < cal; ++c)
    for (int h = 0; h < harm; ++h)
      for (int i = 0; i < ch; ++i) a.DoSetValueOf(i, 0, h, c, 1.0 + i + h, 0.5 * c - h, 0);
}

}  // namespace

TEST(SpectAlgo, CohSpOfRelatedLists) {
  const auto a = List({{1, 0}, {0.5, -2}, {-3, 1}});
  EXPECT_FLOAT_EQ(CohSp(a, a), 1.0f);

  // Proportional by the complex factor 2 - 1i.
  std::vector<SpectItem> b;
  for (const SpectItem& it : a) b.push_back(Val(2 * it.re + it.im, 2 * it.im - it.re));
  EXPECT_NEAR(CohSp(a, b), 1.0f, 1e-6f);

  EXPECT_EQ(CohSp(List({{1, 0}, {0, 0}}), List({{0, 0}, {0, 1}})), 0.0f);
  EXPECT_EQ(CohSp({}, {}), 0.0f);
  EXPECT_TRUE(std::isnan(CohSp(List({{0, 0}, {0, 0}}), List({{0, 0}, {0, 0}}))));
}

TEST(SpectAlgo, CohSpPairsUpToTheShorterList) {
  const auto a = List({{1, 0}, {2, 0}, {5, 5}});
  const auto b = List({{2, 0}, {4, 0}});
  EXPECT_NEAR(CohSp(a, b), 1.0f, 1e-6f);
}

TEST(SpectAlgo, CalcCohSpConsidersTheCommonCalculations) {
  CSpectArray cal, ref;
  Fill(cal, 2, 3, 5);
  ref.DoInit(2, 1, 3, 3, -1, 2);
  // Reference channel 1: proportional to channel 0 of cal, unrelated to
  // channel 1 in calculation 0.
  for (int c = 0; c < 3; ++c)
    for (int h = 0; h < 3; ++h) {
      const SpectItem it = cal.DoGetItemOf(0, 0, h, c);
      ref.DoSetValueOf(1, 0, h, c, -2 * it.re, -2 * it.im, 0);
    }
  // An invalid item still takes part.
  SpectItem inv = cal.DoGetItemOf(0, 0, 1, 2);
  inv.m_valid = 0;
  cal.DoSetItemOf(0, 0, 1, 2, inv);

  EXPECT_EQ(CalcCohSp(cal, ref, 1, 0), 3);
  for (int c = 0; c < 5; ++c) {
    for (int h = 0; h < 3; ++h) {
      const SpectItem it0 = cal.DoGetItemOf(0, 0, h, c);
      if (c < 3) {
        EXPECT_NEAR(it0.coh_sp, 1.0f, 1e-6f) << c;
        EXPECT_LT(cal.DoGetItemOf(1, 0, h, c).coh_sp, 1.0f);
      } else {
        EXPECT_EQ(it0.coh_sp, 0.0f) << c;
      }
    }
  }
  EXPECT_EQ(cal.DoGetItemOf(0, 0, 1, 2).m_valid, 0);
  EXPECT_EQ(cal.DoGetItemOf(0, 0, 1, 2).re, inv.re);
}

TEST(SpectAlgo, CalcCohSpFromALaterCalculation) {
  CSpectArray cal, ref;
  Fill(cal, 1, 2, 3);
  Fill(ref, 1, 2, 3);
  EXPECT_EQ(CalcCohSp(cal, ref, 0, 1), 3);
  EXPECT_EQ(cal.DoGetItemOf(0, 0, 0, 0).coh_sp, 0.0f);
  EXPECT_NEAR(cal.DoGetItemOf(0, 0, 0, 1).coh_sp, 1.0f, 1e-6f);
}

TEST(SpectAlgo, CalcCohSpRefusesOneArrayTwiceAndAMissingReference) {
  CSpectArray cal, ref;
  Fill(cal, 1, 2, 3);
  Fill(ref, 1, 2, 3);
  EXPECT_EQ(CalcCohSp(cal, cal, 0, 0), 0);
  EXPECT_EQ(CalcCohSp(cal, ref, 1, 0), 0);
  EXPECT_EQ(CalcCohSp(cal, ref, -1, 0), 0);
  EXPECT_EQ(cal.DoGetItemOf(0, 0, 0, 0).coh_sp, 0.0f);
  // The locks were released.
  EXPECT_EQ(cal.DoGetCalNum(), 3);
  EXPECT_EQ(ref.DoGetCalNum(), 3);
}

TEST(SpectAlgo, SetWeightsByType) {
  CSpectArray a;
  Fill(a, 2, 2, 3);
  for (int c = 0; c < 3; ++c)
    for (int h = 0; h < 2; ++h)
      for (int i = 0; i < 2; ++i) {
        SpectItem it = a.DoGetItemOf(i, 0, h, c);
        it.coh_ts = 0.95f;
        it.coh_sp = 0.3f;
        it.weight = 7.0f;
        a.DoSetItemOf(i, 0, h, c, it);
      }

  EXPECT_EQ(SetWeights(a, 1, 2, 2), 3);
  EXPECT_EQ(a.DoGetItemOf(1, 0, 1, 0).weight, 7.0f);
  EXPECT_NEAR(a.DoGetItemOf(1, 0, 1, 1).weight, 0.0031623f, 1e-6f);
  EXPECT_NEAR(a.DoGetItemOf(0, 0, 0, 2).weight, 0.0031623f, 1e-6f);

  EXPECT_EQ(SetWeights(a, 0, 0, 1), 1);
  EXPECT_FLOAT_EQ(a.DoGetItemOf(0, 0, 1, 0).weight, 6e-9f);

  EXPECT_EQ(SetWeights(a, 0, 2, 0), 3);
  for (int c = 0; c < 3; ++c) EXPECT_EQ(a.DoGetItemOf(1, 0, 0, c).weight, 1.0f);
}

TEST(SpectAlgo, SetWeightsChangesNothingOnAnUnknownTypeOrRange) {
  CSpectArray a;
  Fill(a, 1, 2, 3);
  SpectItem it = a.DoGetItemOf(0, 0, 0, 0);
  it.weight = 0.5f;
  it.coh_ts = 0.95f;
  a.DoSetItemOf(0, 0, 0, 0, it);

  EXPECT_EQ(SetWeights(a, 0, 2, 3), 0);
  EXPECT_EQ(SetWeights(a, 0, 2, -1), 0);
  EXPECT_EQ(SetWeights(a, 0, 3, 2), 0);
  EXPECT_EQ(SetWeights(a, -1, 1, 2), -1);
  EXPECT_EQ(a.DoGetItemOf(0, 0, 0, 0).weight, 0.5f);
  EXPECT_EQ(a.DoGetCalNum(), 3);
}
