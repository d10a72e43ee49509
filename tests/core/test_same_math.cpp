// The logarithm of the exported tables gives the same bits on every system:
// on Debian the very bits of the C library's log10f, and elsewhere the bits
// the Debian build computes, checked through a hash over a wide sample.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "core/base/same_math.h"

namespace {

uint32_t Bits(float f) {
  uint32_t u;
  std::memcpy(&u, &f, sizeof(u));
  return u;
}

float FromBits(uint32_t u) {
  float f;
  std::memcpy(&f, &u, sizeof(f));
  return f;
}

// Every 4099th bit pattern of the positive floats, subnormals to the
// largest, and the values around 1 and the powers of ten densely.
template <typename Fn>
void ForSample(Fn fn) {
  for (uint32_t b = 1; b < 0x7f800000u; b += 4099) fn(FromBits(b));
  for (uint32_t b = 0x3f700000u; b < 0x3f900000u; b += 7) fn(FromBits(b));
  for (float p = 1e-6f; p < 1e9f; p *= 10.0f)
    for (int d = -300; d <= 300; ++d) fn(FromBits(uint32_t(int64_t(Bits(p)) + d)));
}

}  // namespace

TEST(SameMath, Log10fHasTheBitsOfTheDebianBuildEverywhere) {
  uint64_t h = 1469598103934665603ull;
  size_t n = 0;
  ForSample([&](float x) {
    const uint32_t got = Bits(same_log10f(x));
    h = (h ^ got) * 1099511628211ull;
    ++n;
#if defined(__GLIBC__)
    ASSERT_EQ(got, Bits(std::log10(x))) << std::hexfloat << x;
#endif
  });
  EXPECT_GT(n, 500000u);
  EXPECT_EQ(h, 0x814efb122f1392aaull) << std::hex << h;
}

TEST(SameMath, Log10fOfZerosNegativesInfinitiesAndNaNs) {
  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(same_log10f(0.0f), -inf);
  EXPECT_EQ(same_log10f(-0.0f), -inf);
  EXPECT_EQ(same_log10f(inf), inf);
  EXPECT_TRUE(std::isnan(same_log10f(-1.0f)));
  EXPECT_TRUE(std::isnan(same_log10f(-inf)));
  EXPECT_TRUE(std::isnan(same_log10f(std::numeric_limits<float>::quiet_NaN())));
  EXPECT_EQ(same_log10f(1.0f), 0.0f);
  EXPECT_FALSE(std::signbit(same_log10f(1.0f)));
  EXPECT_EQ(same_log10f(1000.0f), 3.0f);
  EXPECT_EQ(same_log10f(0.01f), -2.0f);
#if defined(__GLIBC__)
  for (uint32_t b : {0x80000000u, 0xbf800000u, 0xff800000u, 0x80000001u, 0x00000001u, 0xffc00000u, 0x7fc00000u,
                     0xff800001u, 0x7f800001u, 0xffc00001u})
    EXPECT_EQ(Bits(same_log10f(FromBits(b))), Bits(std::log10(FromBits(b)))) << std::hex << b;
#endif
}
