#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "core/base/algo.h"

namespace {

constexpr double kPi = 3.141592653589793;

}  // namespace

TEST(AlgoCpx, ArgCoversEveryQuadrantAndBothAxes) {
  struct Case {
    cpx_t z;
    double arg;
  };
  const Case cases[] = {
      {{1, 1}, kPi / 4},       {{-1, 1}, 3 * kPi / 4}, {{-1, -1}, -3 * kPi / 4}, {{1, -1}, -kPi / 4},
      {{0, 2}, kPi / 2},       {{0, -2}, -kPi / 2},    {{0, 0}, 0.0},            {{-1, 0}, kPi},
      {{3, 0}, 0.0},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(cpx_arg(c.z), c.arg, 1e-15) << c.z.re << "," << c.z.im;
  }
}

TEST(AlgoCpx, DivAddAbsPolar) {
  cpx_t q{0, 0};
  cpx_div(cpx_t{1, 2}, cpx_t{3, -4}, &q);
  EXPECT_NEAR(q.re, -0.2, 1e-15);
  EXPECT_NEAR(q.im, 0.4, 1e-15);

  cpx_t sum{1, 1};
  cpx_add(cpx_t{2, -3}, &sum);
  EXPECT_EQ(sum.re, 3.0);
  EXPECT_EQ(sum.im, -2.0);

  EXPECT_EQ(cpx_abs(cpx_t{3, 4}), 5.0);
  cpx_t p = cpx_polar(2.0, kPi / 3);
  EXPECT_NEAR(p.re, 1.0, 1e-15);
  EXPECT_NEAR(p.im, std::sqrt(3.0), 1e-15);
}

TEST(AlgoStats, MeanAccumulatesBeyondFloatPrecision) {
  // A float accumulator drops every 1 added to 2^24.
  const float data[] = {16777216.0f, 1.0f, 1.0f, 1.0f, 1.0f};
  EXPECT_EQ(algo_mean(data, 5), 3355444.0f);
  const float w[] = {1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
  EXPECT_EQ(algo_mean_w(data, w, 5), 3355444.0f);
}

TEST(AlgoStats, WeightedMeanStdRms) {
  const float data[] = {2, 4, 4, 4, 5, 5, 7, 9};
  EXPECT_FLOAT_EQ(algo_mean(data, 8), 5.0f);
  EXPECT_FLOAT_EQ(algo_std(data, 8), 2.0f);
  EXPECT_FLOAT_EQ(algo_rms_about(data, 8, 0.0f), std::sqrt(232.0f / 8.0f));

  const float v[] = {1.0f, 3.0f};
  const float w[] = {3.0f, 1.0f};
  EXPECT_FLOAT_EQ(algo_mean_w(v, w, 2), 1.5f);
}

TEST(AlgoStats, CorrcoefSignAndConstantInput) {
  const float a[] = {1, 2, 3, 4, 5};
  const float up[] = {3, 5, 7, 9, 11};
  const float down[] = {10, 8, 6, 4, 2};
  const float flat[] = {7, 7, 7, 7, 7};
  const float noisy[] = {1, 3, 2, 5, 4};
  EXPECT_FLOAT_EQ(algo_corrcoef(a, up, 5), 1.0f);
  EXPECT_FLOAT_EQ(algo_corrcoef(a, down, 5), -1.0f);
  EXPECT_FLOAT_EQ(algo_corrcoef(a, noisy, 5), 0.8f);
  EXPECT_TRUE(std::isnan(algo_corrcoef(a, flat, 5)));
}

TEST(AlgoPhase, WrapIntoHalfOpenTurnAroundReference) {
  struct Case {
    float refer, ph;
    double expected;
  };
  const Case cases[] = {
      {0.0f, 3.2f, 3.2 - 2 * kPi},
      {0.0f, float(-kPi), kPi},
      {3.0f, -3.0f, 2 * kPi - 3.0},
      {0.0f, 1.0f, 1.0},
      {0.0f, 20.0f, 20.0 - 6 * kPi},
      {0.0f, -20.0f, -20.0 + 6 * kPi},
      {-2.0f, 2.0f, 2.0 - 2 * kPi},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(algo_phase_wrap(c.refer, c.ph), c.expected, 1e-5) << c.refer << " " << c.ph;
  }
}

TEST(AlgoPhase, WrapFarFromZeroStaysWithinOneTurnOfTheReference) {
  const float pairs[][2] = {{9000.0f, 0.0f}, {0.0f, 9999.0f}, {-9999.0f, 9999.0f}, {1.0f, -9000.5f}};
  for (const auto& p : pairs) {
    const double d = double(algo_phase_wrap(p[0], p[1])) - p[0];
    EXPECT_GT(d, -kPi - 1e-3) << p[0] << " " << p[1];
    EXPECT_LE(d, kPi + 1e-3) << p[0] << " " << p[1];
  }
}

TEST(AlgoPhase, WrapReturnsInputOutsideItsDomain) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_TRUE(std::isnan(algo_phase_wrap(0.0f, nan)));
  EXPECT_TRUE(std::isnan(algo_phase_wrap(nan, nan)));
  EXPECT_EQ(algo_phase_wrap(nan, 1.0f), 1.0f);
  EXPECT_EQ(algo_phase_wrap(0.0f, inf), inf);
  EXPECT_EQ(algo_phase_wrap(0.0f, -inf), -inf);
  EXPECT_EQ(algo_phase_wrap(inf, 1.0f), 1.0f);
  EXPECT_EQ(algo_phase_wrap(0.0f, 1e30f), 1e30f);
  EXPECT_EQ(algo_phase_wrap(-1e30f, 2.0f), 2.0f);
  EXPECT_EQ(algo_phase_wrap(0.0f, 10000.0f), 10000.0f);
  EXPECT_EQ(algo_phase_wrap(0.0f, std::numeric_limits<float>::max()), std::numeric_limits<float>::max());
}

TEST(AlgoPhase, MeanAndStdAcrossTheBranchCut) {
  const float data[] = {3.1f, -3.1f};
  float m = algo_phase_mean(data, 2);
  EXPECT_NEAR(std::fabs(m), kPi, 1e-5);
  EXPECT_NEAR(algo_phase_std(data, 2), kPi - 3.1, 1e-5);

  const float w[] = {1.0f, 3.0f};
  EXPECT_NEAR(algo_phase_mean_w(data, w, 2), -3.1 - (2 * kPi - 6.2) / 4, 1e-5);

  EXPECT_EQ(algo_phase_mean(data, 0), 0.0f);
}

TEST(AlgoPhase, HalfWrapDegreesAndHighFromLow) {
  EXPECT_NEAR(algo_phase_half_wrap(2.0f), 2.0 - kPi, 1e-6);
  EXPECT_NEAR(algo_phase_half_wrap(-2.0f), -2.0 + kPi, 1e-6);
  EXPECT_EQ(algo_phase_half_wrap(1.5f), 1.5f);
  EXPECT_EQ(algo_phase_half_wrap(-1.5f), -1.5f);

  EXPECT_FLOAT_EQ(algo_deg2rad(180.0f), float(kPi));
  EXPECT_FLOAT_EQ(algo_rad2deg(float(kPi / 2)), 90.0f);

  EXPECT_NEAR(algo_geo_phase_h2l(0.2f, 0.1f, 3.0f), -0.25, 1e-6);
  // ph_a is first brought next to ph_b, the result back into (-pi, pi].
  EXPECT_NEAR(algo_geo_phase_h2l(3.0f, -3.0f, 2.0f), 2 * kPi - 9.0, 1e-5);
}

TEST(AlgoCompare, RelativeToleranceAndMissingValues) {
  EXPECT_TRUE(algo_is_equal_cp(60, 60.05, 1e-3));
  EXPECT_FALSE(algo_is_equal_cp(60, 60.1, 1e-3));
  EXPECT_TRUE(algo_is_equal_cp(-60, -59.95, 1e-3));
  EXPECT_TRUE(algo_is_equal_cp(0, 0, 1e-3));
  EXPECT_FALSE(algo_is_equal_cp(0, 1e-30, 1e-3));

  const float freqs[] = {0.25f, 0.75f, 1.25f, 0.7501f};
  EXPECT_EQ(algo_find_near_cp(0.7502f, freqs, 4, 1e-3f), 1);
  EXPECT_EQ(algo_find_near_cp(2.0f, freqs, 4, 1e-3f), -1);
  EXPECT_EQ(algo_find_near_cp(0.25f, freqs, 0, 1e-3f), -1);
  EXPECT_EQ(algo_find_near_cp(0.25f, freqs, -1, 1e-3f), -1);

  EXPECT_FLOAT_EQ(algo_rel_diff(10.0f, 9.0f), 0.1f);
  EXPECT_EQ(algo_rel_diff(ALGO_MISSING, 1.0f), ALGO_MISSING);
  EXPECT_EQ(algo_rel_diff(1.0f, ALGO_MISSING), ALGO_MISSING);
  EXPECT_EQ(ALGO_MISSING, 3.4028235e38f);
}

TEST(AlgoSort, BubbleSortIsStableAndReportsThePermutation) {
  float v[] = {3, 1, 2};
  int idx[3] = {-1, -1, -1};
  algo_sort_bubble(v, 3, true, idx);
  EXPECT_EQ(std::vector<float>(v, v + 3), (std::vector<float>{3, 2, 1}));
  EXPECT_EQ(std::vector<int>(idx, idx + 3), (std::vector<int>{0, 2, 1}));

  float eq[] = {2, 1, 2, 1, 0};
  int eidx[5];
  algo_sort_bubble(eq, 5, false, eidx);
  EXPECT_EQ(std::vector<float>(eq, eq + 5), (std::vector<float>{0, 1, 1, 2, 2}));
  EXPECT_EQ(std::vector<int>(eidx, eidx + 5), (std::vector<int>{4, 1, 3, 0, 2}));

  float desc[] = {1, 2, 1, 2};
  int didx[4];
  algo_sort_bubble(desc, 4, true, didx);
  EXPECT_EQ(std::vector<int>(didx, didx + 4), (std::vector<int>{1, 3, 0, 2}));

  float no_index[] = {5, -1, 3};
  algo_sort_bubble(no_index, 3, false, nullptr);
  EXPECT_EQ(std::vector<float>(no_index, no_index + 3), (std::vector<float>{-1, 3, 5}));

  float single = 4;
  int sidx = 9;
  algo_sort_bubble(&single, 1, false, &sidx);
  EXPECT_EQ(sidx, 0);
  algo_sort_bubble(nullptr, 0, false, nullptr);
}

TEST(AlgoGeo, FourAndThreeElectrodeFactors) {
  const double k4 = 2 * kPi / (1.0 / 980 - 1.0 / 1020);
  EXPECT_NEAR(algo_geo_k4(-1000, 0, 1000, 0, 0, 0, 20, 0), k4, k4 * 1e-6);

  const double am = std::hypot(30.0, 40.0), an = std::hypot(50.0, 40.0);
  const double k3 = 2 * kPi / (1 / am - 1 / an - 1 / std::hypot(1000000 - 30.0, 1000000 - 40.0) +
                               1 / std::hypot(1000000 - 50.0, 1000000 - 40.0));
  EXPECT_NEAR(algo_geo_k3(0, 0, 30, 40, 50, 40), k3, k3 * 1e-6);

  EXPECT_TRUE(std::isinf(algo_geo_k4(0, 0, 100, 0, 0, 0, 20, 0)));
  EXPECT_TRUE(std::isinf(algo_geo_k4(0, 0, 100, 0, 0, 0, 0, 0)));
  // M and N on the perpendicular bisector of AB share one potential.
  EXPECT_TRUE(std::isinf(algo_geo_k4(-100, 0, 100, 0, 0, 10, 0, 20)));
}
