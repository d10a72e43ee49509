#include "core/base/same_math.h"

#include <cstdint>
#include <cstring>

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

// The natural logarithm of x in [0.5, 2): log(x) = log1p(z/c - 1) + log(c)
// + k ln 2, c the centre of one of 16 subintervals of the mantissa, in
// double precision and rounded once to float. The table holds 1/c and
// log(c) as the Debian C library holds them.
struct InvcLogc {
  double invc, logc;
};
const InvcLogc kLogTable[16] = {
    {0x1.661ec79f8f3bep+0, -0x1.57bf7808caadep-2}, {0x1.571ed4aaf883dp+0, -0x1.2bef0a7c06ddbp-2},
    {0x1.49539f0f010b0p+0, -0x1.01eae7f513a67p-2}, {0x1.3c995b0b80385p+0, -0x1.b31d8a68224e9p-3},
    {0x1.30d190c8864a5p+0, -0x1.6574f0ac07758p-3}, {0x1.25e227b0b8ea0p+0, -0x1.1aa2bc79c8100p-3},
    {0x1.1bb4a4a1a343fp+0, -0x1.a4e76ce8c0e5ep-4}, {0x1.12358f08ae5bap+0, -0x1.1973c5a611cccp-4},
    {0x1.0953f419900a7p+0, -0x1.252f438e10c1ep-5}, {0x1.0000000000000p+0, 0x0.0p+0},
    {0x1.e608cfd9a47acp-1, 0x1.aa5aa5df25984p-5},  {0x1.ca4b31f026aa0p-1, 0x1.c5e53aa362eb4p-4},
    {0x1.b2036576afce6p-1, 0x1.526e57720db08p-3},  {0x1.9c2d163a1aa2dp-1, 0x1.bc2860d224770p-3},
    {0x1.886e6037841edp-1, 0x1.1058bc8a07ee1p-2},  {0x1.767dcf5534862p-1, 0x1.4043057b6ee09p-2},
};
const double kLogPoly[3] = {-0x1.00ea348b88334p-2, 0x1.5575b0be00b6ap-2, -0x1.ffffef20a4123p-2};
const double kLn2 = 0x1.62e42fefa39efp-1;

float LogNear1(float x) {
  const uint32_t ix = Bits(x);
  if (ix == 0x3f800000u) return 0.0f;
  const uint32_t tmp = ix - 0x3f330000u;
  const int i = int((tmp >> 19) % 16);
  const int k = int32_t(tmp) >> 23;
  const uint32_t iz = ix - (tmp & (0x1ffu << 23));
  const double z = double(FromBits(iz));
  const double r = z * kLogTable[i].invc - 1.0;
  const double y0 = kLogTable[i].logc + double(k) * kLn2;
  const double r2 = r * r;
  double y = kLogPoly[1] * r + kLogPoly[2];
  y = kLogPoly[0] * r2 + y;
  y = y * r2 + (y0 + r);
  return float(y);
}

}  // namespace

// log10(x) = k log10(2) + log(m) / ln(10) for x = m 2^k, log10(2) in two
// parts so that the product with k is exact in its high part. Every
// operation is a single IEEE operation in float or double, which SSE2 does
// alike everywhere (the file is built without contraction into FMA).
float same_log10f(float x) {
  const float two25 = 0x1p25f;
  const float ivln10 = 0x1.bcb7b2p-2f;
  const float log10_2hi = 0x1.344100p-2f;
  const float log10_2lo = 0x1.a84fb6p-21f;
  int32_t hx = int32_t(Bits(x));
  int32_t k = 0;
  if (hx < 0x00800000) {
    if ((hx & 0x7fffffff) == 0) return -two25 / 0.0f;
    // A NaN comes back quieted, a negative number gives the positive NaN.
    if (hx < 0) return (hx & 0x7fffffff) > 0x7f800000 ? x + x : FromBits(0x7fc00000u);
    k -= 25;
    x *= two25;  // a subnormal number, scaled into the normal range
    hx = int32_t(Bits(x));
  }
  if (hx >= 0x7f800000) return x + x;
  if (hx == 0x3f800000) return 0.0f;
  k += (hx >> 23) - 127;
  const int32_t i = int32_t((uint32_t(k) & 0x80000000u) >> 31);
  hx = (hx & 0x007fffff) | ((0x7f - i) << 23);
  const float y = float(k + i);
  x = FromBits(uint32_t(hx));
  const float z = y * log10_2lo + ivln10 * LogNear1(x);
  return z + y * log10_2hi;
}
