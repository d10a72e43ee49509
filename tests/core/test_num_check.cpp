#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "core/base/num_check.h"

TEST(NumCheck, TypedTextIsAFiniteNumberInsideTheRange) {
  struct Case {
    const char* text;
    NumRange range;
    const char* why;  // empty: accepted
  };
  const Case cases[] = {
      {"10", NUM_UNIT_SPACING, ""},
      {" 2.5 ", NUM_UNIT_SPACING, ""},
      {"1e6", NUM_UNIT_SPACING, ""},
      {"0", NUM_UNIT_SPACING, "must be greater than 0 and at most 1000000"},
      {"-1", NUM_UNIT_SPACING, "must be greater than 0 and at most 1000000"},
      {"1000001", NUM_UNIT_SPACING, "must be greater than 0 and at most 1000000"},
      {"nan", NUM_UNIT_SPACING, "must be a finite number"},
      {"-inf", NUM_X_SHIFT, "must be a finite number"},
      {"inf", NUM_SYS_ERR_APP_PERCENT, "must be a finite number"},
      {"1e308", NUM_X_SHIFT, "must be between -10000000 and 10000000"},
      {"1e400", NUM_X_SHIFT, "must be a finite number"},
      {"", NUM_SHIFT_PERCENT, "must be a number"},
      {"  ", NUM_SHIFT_PERCENT, "must be a number"},
      {"1,5", NUM_SHIFT_PERCENT, "must be a number"},
      {"5abc", NUM_SHIFT_PERCENT, "must be a number"},
      {"0", NUM_SHIFT_PERCENT, ""},
      {"100", NUM_SHIFT_PERCENT, ""},
      {"100.01", NUM_SHIFT_PERCENT, "must be between 0 and 100"},
      {"-0.5", NUM_SYS_ERR_CP_MRAD, "must be between 0 and 1000"},
      {"3141.6", NUM_MAX_ERR_CP_MRAD, ""},
      {"0", NUM_SAMPLE_INDEX, ""},
      {"-1", NUM_SAMPLE_INDEX, "must be between 0 and 2147483647"},
      {"0", NUM_SAMPLE_COUNT, "must be greater than 0 and at most 2147483647"},
  };
  for (const Case& c : cases) {
    double v = -12345.0;
    EXPECT_EQ(NumCheckText(c.text, c.range, &v), c.why) << '"' << c.text << '"';
    if (*c.why == '\0') {
      EXPECT_NE(v, -12345.0) << c.text;
    }
  }
}

// The pages run in the user's locale; the typed decimal point stays a dot.
TEST(NumCheck, DecimalPointIsADotInEveryLocale) {
  const char* old = std::setlocale(LC_ALL, nullptr);
  const std::string keep = old ? old : "C";
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "no German locale";
  double v = 0.0;
  EXPECT_EQ(NumCheckText("2.5", NUM_UNIT_SPACING, &v), "");
  EXPECT_EQ(v, 2.5);
  std::setlocale(LC_ALL, keep.c_str());
}
