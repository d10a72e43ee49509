#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/base/fft.h"
#include "../windows_skip.h"

namespace {

constexpr long double kPiL = 3.141592653589793238462643383279502884L;

struct Ref {
  long double re, im;
};

std::vector<Ref> direct_dft(const std::vector<double>& x) {
  const size_t n = x.size();
  std::vector<long double> c(n), s(n);
  for (size_t j = 0; j < n; ++j) {
    c[j] = std::cos(2 * kPiL * j / n);
    s[j] = std::sin(2 * kPiL * j / n);
  }
  std::vector<Ref> out(n);
  for (size_t k = 0; k < n; ++k) {
    long double re = 0, im = 0;
    for (size_t t = 0; t < n; ++t) {
      size_t j = (k * t) % n;
      re += x[t] * c[j];
      im -= x[t] * s[j];
    }
    out[k] = Ref{re, im};
  }
  return out;
}

// Samples that are exactly representable as float, so the float and double
// entry points see the same signal.
std::vector<double> test_signal(int n) {
  std::vector<double> x(n);
  uint32_t state = 12345u + uint32_t(n);
  for (int t = 0; t < n; ++t) {
    state = state * 1664525u + 1013904223u;
    double noise = double(state >> 8) / double(1u << 24) - 0.5;
    x[t] = double(float(0.3 + 2.0 * std::cos(2 * M_PI * 3 * t / n + 0.4) + noise));
  }
  return x;
}

// Worst deviation relative to the largest bin: single bins near zero have no
// meaningful relative error of their own.
double max_rel_error(const std::vector<cpx_t>& got, const std::vector<Ref>& ref) {
  long double scale = 0;
  for (const Ref& r : ref) scale = std::max(scale, std::hypot(r.re, r.im));
  long double worst = 0;
  for (size_t k = 0; k < ref.size(); ++k) {
    worst = std::max(worst, std::hypot(got[k].re - ref[k].re, got[k].im - ref[k].im));
  }
  return double(worst / scale);
}

}  // namespace

TEST(Fft, MatchesDirectDftForEvenOddAndPrimeLengths) {
  for (int n : {1, 2, 3, 8, 60, 101, 450, 3840}) {
    SCOPED_TRACE(n);
    const std::vector<double> x = test_signal(n);
    const std::vector<Ref> ref = direct_dft(x);
    fft_cfg_ptr cfg = fft_alloc(n);
    ASSERT_TRUE(cfg);
    EXPECT_EQ(fft_len(cfg.get()), n);

    std::vector<cpx_t> out_d(n, cpx_t{NAN, NAN});
    ASSERT_TRUE(fft_real(cfg.get(), x.data(), out_d.data()));
    EXPECT_LT(max_rel_error(out_d, ref), 1e-12);

    std::vector<float> xf(x.begin(), x.end());
    std::vector<cpx_t> out_f(n, cpx_t{NAN, NAN});
    ASSERT_TRUE(fft_real(cfg.get(), xf.data(), out_f.data()));
    EXPECT_LT(max_rel_error(out_f, ref), 1e-12);
  }
}

TEST(Fft, ConfigurationIsReusedWithoutCarryingState) {
  const int n = 450;
  fft_cfg_ptr cfg = fft_alloc(n);
  std::vector<double> a = test_signal(n);
  std::vector<double> b(n, 0.0);
  b[7] = 1.0;
  std::vector<cpx_t> out(n);
  ASSERT_TRUE(fft_real(cfg.get(), a.data(), out.data()));
  ASSERT_TRUE(fft_real(cfg.get(), b.data(), out.data()));
  EXPECT_LT(max_rel_error(out, direct_dft(b)), 1e-13);
  ASSERT_TRUE(fft_real(cfg.get(), a.data(), out.data()));
  EXPECT_LT(max_rel_error(out, direct_dft(a)), 1e-12);
}

TEST(Fft, CosineOnEightPointsAndTheNyquistBin) {
  fft_cfg_ptr cfg = fft_alloc(8);
  double cosine[8], alternating[8];
  for (int t = 0; t < 8; ++t) {
    cosine[t] = std::cos(2 * M_PI * t / 8);
    alternating[t] = t % 2 ? -1.0 : 1.0;
  }
  cpx_t out[8];
  ASSERT_TRUE(fft_real(cfg.get(), cosine, out));
  for (int k = 0; k < 8; ++k) {
    EXPECT_NEAR(out[k].re, k == 1 || k == 7 ? 4.0 : 0.0, 1e-14) << k;
    EXPECT_NEAR(out[k].im, 0.0, 1e-14) << k;
  }
  ASSERT_TRUE(fft_real(cfg.get(), alternating, out));
  for (int k = 0; k < 8; ++k) {
    EXPECT_NEAR(out[k].re, k == 4 ? 8.0 : 0.0, 1e-14) << k;
    EXPECT_NEAR(out[k].im, 0.0, 1e-14) << k;
  }
}

TEST(Fft, InvalidLengthAndMissingConfiguration) {
  EXPECT_FALSE(fft_alloc(0));
  EXPECT_FALSE(fft_alloc(-4));
  EXPECT_EQ(fft_len(nullptr), 0);
  const float x[2] = {1.0f, 2.0f};
  cpx_t out[2] = {{5, 6}, {7, 8}};
  EXPECT_FALSE(fft_real(nullptr, x, out));
  EXPECT_EQ(out[0].re, 5.0);
  EXPECT_EQ(out[1].im, 8.0);
}

TEST(Fft, SelectedBinsMatchTheWholeTransform) {
  // Pruned and whole last stages, radix-4, -2, -3 and -5 first factors, odd
  // and prime lengths, bins on both sides of n/2 and repeated.
  for (int n : {1, 2, 3, 8, 60, 101, 450, 600, 602, 3840}) {
    SCOPED_TRACE(n);
    const std::vector<double> x = test_signal(n);
    const std::vector<Ref> ref = direct_dft(x);
    long double scale = 0;
    for (const Ref& r : ref) scale = std::max(scale, std::hypot(r.re, r.im));
    std::vector<std::vector<int>> sets = {{0}, {n - 1, 0, n / 2, n - 1}};
    std::vector<int> low, all;
    for (int k = 1; k <= 16 && k < n; ++k) low.push_back(k);
    for (int k = 0; k < n; ++k) all.push_back(k);
    sets.push_back(low);
    sets.push_back(all);
    fft_cfg_ptr cfg = fft_alloc(n);
    for (const std::vector<int>& bins : sets) {
      ASSERT_TRUE(fft_set_bins(cfg.get(), bins.data(), int(bins.size())));
      std::vector<cpx_t> out(bins.size(), cpx_t{NAN, NAN});
      ASSERT_TRUE(fft_real_bins(cfg.get(), x.data(), out.data()));
      for (size_t j = 0; j < bins.size(); ++j) {
        const Ref& r = ref[size_t(bins[j])];
        EXPECT_LT(std::hypot(out[j].re - r.re, out[j].im - r.im) / scale, 1e-12) << bins[j];
      }
      // Written straight into the configuration's own buffer.
      std::copy(x.begin(), x.end(), fft_input(cfg.get()));
      std::vector<cpx_t> again(bins.size());
      ASSERT_TRUE(fft_real_bins(cfg.get(), fft_input(cfg.get()), again.data()));
      for (size_t j = 0; j < bins.size(); ++j) {
        EXPECT_EQ(again[j].re, out[j].re);
        EXPECT_EQ(again[j].im, out[j].im);
      }
    }
  }
}

TEST(Fft, BinsOutsideTheTransformAreRefused) {
  fft_cfg_ptr cfg = fft_alloc(60);
  const int bad[] = {3, 60};
  EXPECT_FALSE(fft_set_bins(cfg.get(), bad, 2));
  const int neg[] = {-1};
  EXPECT_FALSE(fft_set_bins(cfg.get(), neg, 1));
  EXPECT_FALSE(fft_set_bins(nullptr, neg, 0));
  double x[60] = {};
  cpx_t out[1] = {{5, 6}};
  EXPECT_FALSE(fft_real_bins(nullptr, x, out));
  EXPECT_FALSE(fft_real_bins(cfg.get(), nullptr, out));
  EXPECT_EQ(out[0].re, 5.0);
  // With no bins chosen there is nothing to compute.
  EXPECT_TRUE(fft_set_bins(cfg.get(), nullptr, 0));
  EXPECT_TRUE(fft_real_bins(cfg.get(), x, nullptr));
}

namespace {

// Values exact in float, from integer arithmetic only, so that the bit
// patterns of the bins depend on the transform alone.
std::vector<double> lcg_signal(int n) {
  std::vector<double> x(static_cast<size_t>(n));
  uint32_t state = 12345u + uint32_t(n);
  for (int t = 0; t < n; ++t) {
    state = state * 1664525u + 1013904223u;
    const double noise = double(state >> 8) / double(1u << 24) - 0.5;
    x[size_t(t)] = double(float(noise + (t % 7 == 3 ? 1.5 : 0.0)));
  }
  return x;
}

std::vector<std::vector<int>> bin_sets(int n) {
  std::vector<std::vector<int>> sets = {{0}, {n - 1, 0, n / 2, n - 1}};
  std::vector<int> low, all;
  for (int k = 1; k <= 16 && k < n; ++k) low.push_back(k);
  for (int k = 0; k < n; ++k) all.push_back(k);
  sets.push_back(low);
  sets.push_back(all);
  return sets;
}

bool same_bits(const cpx_t& a, const cpx_t& b) {
  return std::memcmp(&a.re, &b.re, sizeof(double)) == 0 && std::memcmp(&a.im, &b.im, sizeof(double)) == 0;
}

}  // namespace

TEST(Fft, SelectedBinsKeepTheirBitsAcrossVersions) {
  SKIP_ON_WINDOWS("the hashes are of glibc's twiddles; MinGW's sine and cosine round some of them otherwise (n = 3840)");
  // FNV-1a of the bins' bit patterns over every bin set, as the transform
  // has always computed them: spectra rebuilt from time series are stored
  // and compared byte for byte, so a change of summation order shows here.
  const struct {
    int n;
    uint64_t hash;
  } cases[] = {
      {1, 0x0fd99ce7b004df73ull},    {2, 0xae0caf7733d90683ull},   {3, 0xe7f4bb6cdb898878ull},
      {7, 0x858a829863e43cbcull},    {8, 0x735c1d5eaf39fe29ull},   {60, 0xc149cd932954f04dull},
      {101, 0xcd95d68c8bde9006ull},  {450, 0x6a4bde9c896ad2d0ull}, {600, 0x2d6899a8bf455307ull},
      {602, 0x9a6aa7e0a553c3f1ull},  {1024, 0xe813610a81ff317cull}, {3840, 0xc42f533de5c828a8ull},
  };
  for (const auto& c : cases) {
    const std::vector<double> x = lcg_signal(c.n);
    fft_cfg_ptr cfg = fft_alloc(c.n);
    uint64_t h = 1469598103934665603ull;
    for (const std::vector<int>& bins : bin_sets(c.n)) {
      ASSERT_TRUE(fft_set_bins(cfg.get(), bins.data(), int(bins.size())));
      std::vector<cpx_t> out(bins.size());
      ASSERT_TRUE(fft_real_bins(cfg.get(), x.data(), out.data()));
      for (const cpx_t& v : out) {
        unsigned char b[16];
        std::memcpy(b, &v.re, 8);
        std::memcpy(b + 8, &v.im, 8);
        for (unsigned char u : b) h = (h ^ u) * 1099511628211ull;
      }
    }
    EXPECT_EQ(h, c.hash) << "n = " << c.n;
  }
}

TEST(Fft, LanesGiveTheBitsOfOneSequence) {
  // Every lane count (two-lane and four-lane kernels), lanes that differ,
  // zeros of both signs and subnormals.
  for (int n : {1, 2, 3, 7, 8, 60, 101, 450, 600, 602, 1024}) {
    SCOPED_TRACE(n);
    std::vector<std::vector<float>> seqs;
    for (int l = 0; l < FFT_LANES; ++l) {
      std::vector<float> s(static_cast<size_t>(n));
      const std::vector<double> x = lcg_signal(n + 3 * l);
      for (int t = 0; t < n; ++t) s[size_t(t)] = float(x[size_t(t)]) * float(l + 1);
      seqs.push_back(s);
    }
    for (int t = 0; t < n; t += 3) seqs[1][size_t(t)] = t % 2 ? -0.0f : 0.0f;
    seqs[2].assign(size_t(n), -0.0f);
    for (int t = 0; t < n; t += 2) seqs[3][size_t(t)] = 1e-40f * float(t % 5 - 2);
    fft_cfg_ptr cfg = fft_alloc(n);
    for (const std::vector<int>& bins : bin_sets(n)) {
      ASSERT_TRUE(fft_set_bins(cfg.get(), bins.data(), int(bins.size())));
      std::vector<std::vector<cpx_t>> want(FFT_LANES, std::vector<cpx_t>(bins.size()));
      for (int l = 0; l < FFT_LANES; ++l) {
        const std::vector<double> x(seqs[size_t(l)].begin(), seqs[size_t(l)].end());
        ASSERT_TRUE(fft_real_bins(cfg.get(), x.data(), want[size_t(l)].data()));
      }
      for (int lanes = 1; lanes <= FFT_LANES; ++lanes) {
        std::vector<std::vector<cpx_t>> got(FFT_LANES, std::vector<cpx_t>(bins.size(), cpx_t{7.0, 7.0}));
        const float* in[FFT_LANES];
        cpx_t* out[FFT_LANES];
        for (int l = 0; l < FFT_LANES; ++l) {
          in[l] = seqs[size_t(l)].data();
          out[l] = got[size_t(l)].data();
        }
        ASSERT_TRUE(fft_real_bins_lanes(cfg.get(), in, lanes, out));
        for (int l = 0; l < FFT_LANES; ++l)
          for (size_t j = 0; j < bins.size(); ++j) {
            if (l < lanes)
              EXPECT_TRUE(same_bits(got[size_t(l)][j], want[size_t(l)][j]))
                  << lanes << " lanes, lane " << l << ", bin " << bins[j];
            else
              EXPECT_EQ(got[size_t(l)][j].re, 7.0) << "a lane beyond the count is written";
          }
      }
    }
  }
  fft_cfg_ptr cfg = fft_alloc(8);
  const int one[] = {1};
  ASSERT_TRUE(fft_set_bins(cfg.get(), one, 1));
  const float x[8] = {};
  const float* in[FFT_LANES] = {x, x, x, x};
  cpx_t res[FFT_LANES];
  cpx_t* out[FFT_LANES] = {res, res + 1, res + 2, res + 3};
  EXPECT_FALSE(fft_real_bins_lanes(cfg.get(), in, 0, out));
  EXPECT_FALSE(fft_real_bins_lanes(cfg.get(), in, FFT_LANES + 1, out));
  EXPECT_FALSE(fft_real_bins_lanes(nullptr, in, 1, out));
  const float* missing[FFT_LANES] = {x, nullptr, x, x};
  EXPECT_FALSE(fft_real_bins_lanes(cfg.get(), missing, 2, out));
}
