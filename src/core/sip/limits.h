// Qualified-data limits: a table of rows, each holding four switch-and-value
// pairs, and the one test every user of such a table applies.
//
// Values are in the stored unit of the quantity a row stands for (V, ohm.m,
// rad, fraction); the relative error is a fraction (0.01 = 1 %).
#pragma once

#include <vector>

// Rows of the export page's table: 0 signal amplitude, 1 apparent
// resistivity, 2 relative phase CP. The results page's table has five rows
// (1 apparent resistivity, 2 CP, 3 FS; rows 0 and 4 stay off).
constexpr int LIMIT_TYPE_CNT = 3;
constexpr int LIMIT_RESULTS_ROWS = 5;

// Row indices; rows 1 and 2 mean the same quantity in both tables.
constexpr int LIMIT_ROW_AMP = 0;
constexpr int LIMIT_ROW_APP = 1;
constexpr int LIMIT_ROW_CP = 2;
constexpr int LIMIT_ROW_FS = 3;

struct LimitItem {
  bool min_on = false;
  float min = 0.0f;
  bool max_on = false;
  float max = 0.0f;
  bool rel_on = false;
  float rel_max = 0.0f;  // maximum of err / value
  bool std_on = false;
  float std_max = 0.0f;  // maximum of err
};

enum LimitPair {
  LIMIT_MIN = 0,
  LIMIT_MAX = 1,
  LIMIT_REL = 2,
  LIMIT_STD = 3,
};

// value and err are the fields of one result block. The first failing test
// decides: min_on and min > value; max_on and value > max; std_on and
// err > std_max; rel_on and (value == 0 or err / value > rel_max, formed in
// double, no absolute value). All comparisons are strict, so a NaN value or
// error never fails a test.
bool PassLimit(float value, float err, const LimitItem& row);

// Switch on and store the value.
void limit_set_pair(LimitItem* row, LimitPair pair, float value);
// Switch off; the value is kept.
void limit_clear_pair(LimitItem* row, LimitPair pair);
// Every switch off, every value 0.
void limit_reset_row(LimitItem* row);
// The value alone; the switch stays as it is.
void limit_store_value(LimitItem* row, LimitPair pair, float value);

bool limit_pair_on(const LimitItem& row, LimitPair pair);
float limit_pair_value(const LimitItem& row, LimitPair pair);

// Results page: five reset rows, then row 1's maximum relative error set to
// 0.01 and row 2's maximum STD set to 0.005 rad.
std::vector<LimitItem> limit_default_results();
// Export page: LIMIT_TYPE_CNT rows. Amplitude 0..2.5 V; apparent resistivity
// 0..1e6 ohm.m with relative error 1; CP -pi..pi rad with STD pi.
std::vector<LimitItem> limit_default_export();
