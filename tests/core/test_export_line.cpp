#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include "core/export/export_line.h"

namespace {

std::string Printf(const char* fmt, double v) {
  char buf[512];
  std::snprintf(buf, sizeof(buf), fmt, v);
  return buf;
}

std::string Fixed(double v, int width, int prec) {
  ExportLine line;
  line.Fixed(v, width, prec);
  return line.Str();
}

std::string Sci(double v, int width, int prec) {
  ExportLine line;
  line.Sci(v, width, prec);
  return line.Str();
}

// Halfway cases, signs, widths that the number overflows, very large and
// very small values, and what to_chars spells differently from printf.
const double kCases[] = {0.0,
                         -0.0,
                         0.5,
                         1.5,
                         2.5,
                         -2.5,
                         0.0000005,
                         0.0000015,
                         0.1234565,
                         1.0000005,
                         123.456789,
                         -9.9999995,
                         99999.9999995,
                         1e-300,
                         -1e-7,
                         12345678901234.5,
                         1e20,
                         -3.4028234663852886e38,
                         double(0.1f),
                         0.0078125,
                         0.0234375,
                         -0.0078125,
                         0.00000025,
                         0.00000075,
                         1.0 / 1024 / 1024,
                         9.2233720368547e18,
                         1e19,
                         4503599627370497.5,
                         double(1234.56789f),
                         5e-324,
                         std::numeric_limits<double>::infinity(),
                         -std::numeric_limits<double>::infinity(),
                         std::numeric_limits<double>::quiet_NaN(),
                         -std::numeric_limits<double>::quiet_NaN()};

TEST(ExportLine, ConversionsAreThoseOfPrintf) {
  for (double v : kCases) {
    SCOPED_TRACE(v);
    EXPECT_EQ(Fixed(v, 14, 6), Printf("%-14f", v));
    EXPECT_EQ(Fixed(v, 0, 2), Printf("%.2f", v));
    EXPECT_EQ(Fixed(v, 0, 0), Printf("%.0f", v));
    EXPECT_EQ(Sci(v, 14, 4), Printf("%-14.4E", v));
  }
  // Values of the float columns the files hold, at random.
  std::mt19937 gen(7);
  std::uniform_real_distribution<float> mant(-10.0f, 10.0f);
  std::uniform_int_distribution<int> exp10(-8, 8);
  for (int k = 0; k < 20000; ++k) {
    const double v = double(float(mant(gen) * std::pow(10.0f, float(exp10(gen)))));
    ASSERT_EQ(Fixed(v, 14, 6), Printf("%-14f", v)) << v;
    ASSERT_EQ(Sci(v, 14, 4), Printf("%-14.4E", v)) << v;
  }
  // Any double bit pattern, and exact halves at the sixth place.
  std::uniform_int_distribution<uint64_t> any;
  for (int k = 0; k < 20000; ++k) {
    uint64_t bits = any(gen);
    double v;
    std::memcpy(&v, &bits, sizeof(v));
    ASSERT_EQ(Fixed(v, 14, 6), Printf("%-14f", v)) << bits;
    const double tie = double(int64_t(any(gen) % 2000001) - 1000000) / 128.0;
    ASSERT_EQ(Fixed(tie, 14, 6), Printf("%-14f", tie)) << tie;
    const double half = (double(int64_t(any(gen) % 20000001)) + 0.5) / 1e6;
    ASSERT_EQ(Fixed(half, 0, 6), Printf("%.6f", half)) << half;
  }
}

TEST(ExportLine, IntegersTextAndALongLine) {
  ExportLine line;
  line.Int(4, 3);
  line.Int(-2147483647 - 1, 3);
  line.Text("|");
  line.Fixed(1.0, 14);
  EXPECT_EQ(line.Str(), "4  -2147483648|1.000000      ");

  // Many columns do not run past the buffer: what does not fit is cut.
  ExportLine many;
  for (int k = 0; k < 200; ++k) many.Fixed(1e15, 14);
  EXPECT_LT(many.Size(), 1024u);
  EXPECT_EQ(many.Str().substr(0, 23), "1000000000000000.000000");
}

}  // namespace
