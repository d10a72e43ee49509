// The fast number texts against printf itself, which the dumps used to call:
// the edge cases of rounding and of special values, and many random bit
// patterns, in every format the result table of a dump uses.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/base/num_text.h"

namespace {

std::string printf_of(const char* fmt, double v) {
  char buf[512];
  std::snprintf(buf, sizeof(buf), fmt, v);
  std::string text = buf;
#ifdef _WIN32
  // MinGW's printf drops the sign of a NaN; the Debian C library's text,
  // the one the files carry on every system, keeps it.
  const size_t at = text.find_first_of("nN");
  if (std::isnan(v) && std::signbit(v) && at != std::string::npos) {
    text.insert(at, "-");
    if (text[0] == ' ') text.erase(0, 1);
  }
#endif
  return text;
}

struct Format {
  const char* printf;
  bool sci;
  int prec;
  int width;
};

const Format kFormats[] = {
    {"%14.3f", false, 3, 14}, {"%14.2f", false, 2, 14}, {"%14.1f", false, 1, 14}, {"%11.1f", false, 1, 11},
    {"%10.2f", false, 2, 10}, {"%14.3E", true, 3, 14},  {"%1.0f", false, 0, 1},
};

std::string fast_of(const Format& f, double v) {
  std::string out;
  if (f.sci)
    AppendSciUpper(out, v, f.prec, f.width);
  else
    AppendFixed(out, v, f.prec, f.width);
  return out;
}

}  // namespace

TEST(NumText, EdgeValuesPrintAsPrintfPrintsThem) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<double> values = {
      0.0, -0.0, 0.125, 0.375, 2.5, 3.5, -2.5, 0.05, 0.15, 0.25, 1.0005, 1.0015, 2.675, 9.9995, 99999.95,
      -0.0004, -0.04, 1e-320, -1e-320, 5e-324, 1e300, -1.7976931348623157e308, 123456789012.3456, 1e15, 1e16,
      0.5, 1.5, -0.5, 9.5e-5, double(3.4028235e38f), double(1.17549435e-38f), inf, -inf, nan, -nan,
      double(float(0.1)), double(float(2.675)), double(float(-1141.59265f)), 31415.926535};
  for (const Format& f : kFormats)
    for (double v : values) EXPECT_EQ(fast_of(f, v), printf_of(f.printf, v)) << f.printf << " of " << v;
}

TEST(NumText, RandomValuesPrintAsPrintfPrintsThem) {
  std::mt19937_64 rng(20261211);
  int mismatches = 0;
  for (int k = 0; k < 200000 && mismatches < 10; ++k) {
    double v;
    if (k % 2 == 0) {
      // Any bit pattern of a float, as the tables print stored floats.
      const uint32_t bits = uint32_t(rng());
      float fv;
      std::memcpy(&fv, &bits, sizeof(fv));
      v = double(fv);
    } else {
      // Values of the size a result has, with few significant decimals, so
      // that many of them lie near a rounding boundary.
      const int64_t n = int64_t(rng() % 2000001) - 1000000;
      v = double(n) / std::pow(10.0, double(rng() % 7)) + (k % 3 == 0 ? 5e-4 : 0.0);
    }
    for (const Format& f : kFormats) {
      const std::string a = fast_of(f, v), b = printf_of(f.printf, v);
      if (a != b) {
        ++mismatches;
        ADD_FAILURE() << f.printf << " of " << v << ": " << a << " instead of " << b;
      }
    }
  }
}

TEST(NumText, IntegersAndTextsArePaddedLikePrintf) {
  std::string out;
  AppendInt(out, 7, 10);
  AppendInt(out, -123, 6);
  AppendInt(out, 1234567, 3);
  AppendStr(out, "ST01_1", 10);
  AppendStr(out, "a_much_longer_label", 10);
  AppendStr(out, "*", 14);
  char want[256];
  std::snprintf(want, sizeof(want), "%10d%6d%3d%10s%10s%14s", 7, -123, 1234567, "ST01_1", "a_much_longer_label", "*");
  EXPECT_EQ(out, want);
}
