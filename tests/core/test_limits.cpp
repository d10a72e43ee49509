#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "core/sip/limits.h"

namespace {

LimitItem row_with(LimitPair pair, float v) {
  LimitItem row;
  limit_set_pair(&row, pair, v);
  return row;
}

struct PassCase {
  const char* what;
  LimitItem row;
  float value;
  float err;
  bool pass;
};

const float NaN = std::numeric_limits<float>::quiet_NaN();

}  // namespace

TEST(PassLimit, TableOfCases) {
  LimitItem all_on;
  limit_set_pair(&all_on, LIMIT_MIN, -1.0f);
  limit_set_pair(&all_on, LIMIT_MAX, 1.0f);
  limit_set_pair(&all_on, LIMIT_REL, 0.1f);
  limit_set_pair(&all_on, LIMIT_STD, 0.05f);
  LimitItem all_off = all_on;
  for (LimitPair p : {LIMIT_MIN, LIMIT_MAX, LIMIT_REL, LIMIT_STD}) limit_clear_pair(&all_off, p);

  const PassCase cases[] = {
      {"value equal to the minimum", row_with(LIMIT_MIN, 2.0f), 2.0f, 0.0f, true},
      {"value below the minimum", row_with(LIMIT_MIN, 2.0f), 1.999f, 0.0f, false},
      {"value equal to the maximum", row_with(LIMIT_MAX, 2.0f), 2.0f, 0.0f, true},
      {"value above the maximum", row_with(LIMIT_MAX, 2.0f), 2.001f, 0.0f, false},
      {"error equal to the STD", row_with(LIMIT_STD, 0.005f), 1.0f, 0.005f, true},
      {"error above the STD", row_with(LIMIT_STD, 0.005f), 1.0f, 0.0051f, false},
      {"relative error equal to the maximum", row_with(LIMIT_REL, 0.5f), 2.0f, 1.0f, true},
      {"relative error above the maximum", row_with(LIMIT_REL, 0.5f), 2.0f, 1.01f, false},
      {"value 0 with no error", row_with(LIMIT_REL, 0.5f), 0.0f, 0.0f, false},
      {"negative zero", row_with(LIMIT_REL, 100.0f), -0.0f, 0.0f, false},
      {"value 0 with the relative test off", row_with(LIMIT_STD, 1.0f), 0.0f, 0.0f, true},
      {"negative value, positive error", row_with(LIMIT_REL, 0.01f), -5.0f, 4.0f, true},
      {"negative value, negative error", row_with(LIMIT_REL, 0.01f), -5.0f, -4.0f, false},
      {"NaN value against the minimum", row_with(LIMIT_MIN, 0.0f), NaN, 0.0f, true},
      {"NaN value against the maximum", row_with(LIMIT_MAX, 0.0f), NaN, 0.0f, true},
      {"NaN value against the relative error", row_with(LIMIT_REL, 0.0f), NaN, 1.0f, true},
      {"NaN value, every limit on", all_on, NaN, 0.0f, true},
      {"every switch off ignores the values", all_off, 100.0f, 100.0f, true},
      {"inside every limit", all_on, 0.5f, 0.025f, true},
      {"minimum decides first", all_on, -2.0f, 0.0f, false},
      {"STD fails although the relative error passes", all_on, 1.0f, 0.06f, false},
      // 0.3f / 3 is just above 0.1f, but a float quotient would round to 0.1f and pass.
      {"relative error formed in double", row_with(LIMIT_REL, 0.1f), 3.0f, 0.3f, false},
  };
  for (const PassCase& c : cases) EXPECT_EQ(PassLimit(c.value, c.err, c.row), c.pass) << c.what;
}

TEST(LimitRow, ElementaryChanges) {
  LimitItem row;
  limit_set_pair(&row, LIMIT_STD, 0.25f);
  EXPECT_TRUE(row.std_on);
  EXPECT_FLOAT_EQ(row.std_max, 0.25f);
  EXPECT_FALSE(row.min_on || row.max_on || row.rel_on);

  limit_clear_pair(&row, LIMIT_STD);
  EXPECT_FALSE(limit_pair_on(row, LIMIT_STD));
  EXPECT_FLOAT_EQ(limit_pair_value(row, LIMIT_STD), 0.25f);

  limit_store_value(&row, LIMIT_MAX, 7.0f);
  EXPECT_FALSE(row.max_on);
  EXPECT_FLOAT_EQ(row.max, 7.0f);
  limit_set_pair(&row, LIMIT_MIN, -3.0f);
  limit_store_value(&row, LIMIT_MIN, -4.0f);
  EXPECT_TRUE(row.min_on);
  EXPECT_FLOAT_EQ(row.min, -4.0f);

  limit_set_pair(&row, LIMIT_REL, 0.5f);
  limit_reset_row(&row);
  for (LimitPair p : {LIMIT_MIN, LIMIT_MAX, LIMIT_REL, LIMIT_STD}) {
    EXPECT_FALSE(limit_pair_on(row, p));
    EXPECT_EQ(limit_pair_value(row, p), 0.0f);
  }
}

TEST(LimitTable, ResultsPageDefaults) {
  const std::vector<LimitItem> vt = limit_default_results();
  ASSERT_EQ(vt.size(), 5u);
  for (size_t i = 0; i < vt.size(); ++i) {
    for (LimitPair p : {LIMIT_MIN, LIMIT_MAX, LIMIT_REL, LIMIT_STD}) {
      const bool on = (i == 1 && p == LIMIT_REL) || (i == 2 && p == LIMIT_STD);
      EXPECT_EQ(limit_pair_on(vt[i], p), on) << "row " << i << " pair " << p;
      if (!on) {
        EXPECT_EQ(limit_pair_value(vt[i], p), 0.0f) << "row " << i << " pair " << p;
      }
    }
  }
  EXPECT_EQ(vt[1].rel_max, 0.01f);
  EXPECT_EQ(vt[2].std_max, 0.005f);
}

TEST(LimitTable, ExportPageDefaults) {
  const std::vector<LimitItem> vt = limit_default_export();
  ASSERT_EQ(vt.size(), size_t(LIMIT_TYPE_CNT));
  struct Expect {
    bool min_on;
    float min;
    bool max_on;
    float max;
    bool rel_on;
    float rel_max;
    bool std_on;
    float std_max;
  };
  const Expect want[LIMIT_TYPE_CNT] = {
      {true, 0.0f, true, 2.5f, false, 0.0f, false, 0.0f},
      {true, 0.0f, true, 1000000.0f, true, 1.0f, false, 0.0f},
      {true, -3.1415927f, true, 3.1415927f, false, 0.0f, true, 3.1415927f},
  };
  for (int i = 0; i < LIMIT_TYPE_CNT; ++i) {
    const LimitItem& r = vt[size_t(i)];
    const Expect& w = want[i];
    EXPECT_EQ(r.min_on, w.min_on) << i;
    EXPECT_EQ(r.min, w.min) << i;
    EXPECT_EQ(r.max_on, w.max_on) << i;
    EXPECT_EQ(r.max, w.max) << i;
    EXPECT_EQ(r.rel_on, w.rel_on) << i;
    if (w.rel_on) {
      EXPECT_EQ(r.rel_max, w.rel_max) << i;
    }
    EXPECT_EQ(r.std_on, w.std_on) << i;
    if (w.std_on) {
      EXPECT_EQ(r.std_max, w.std_max) << i;
    }
  }
  // A CP of exactly pi is inside the export range; just beyond it is not.
  EXPECT_TRUE(PassLimit(3.1415927f, 0.0f, vt[2]));
  EXPECT_FALSE(PassLimit(std::nextafter(3.1415927f, 4.0f), 0.0f, vt[2]));
}
