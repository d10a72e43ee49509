#include "core/sip/limits.h"

#include "core/base/algo.h"

namespace {

constexpr float LIMIT_PI = float(ALGO_PI);

// Row is LimitItem or const LimitItem.
template <typename Row>
auto& switch_of(Row& row, LimitPair pair) {
  switch (pair) {
    case LIMIT_MAX: return row.max_on;
    case LIMIT_REL: return row.rel_on;
    case LIMIT_STD: return row.std_on;
    case LIMIT_MIN: break;
  }
  return row.min_on;
}

template <typename Row>
auto& value_of(Row& row, LimitPair pair) {
  switch (pair) {
    case LIMIT_MAX: return row.max;
    case LIMIT_REL: return row.rel_max;
    case LIMIT_STD: return row.std_max;
    case LIMIT_MIN: break;
  }
  return row.min;
}

}  // namespace

bool PassLimit(float value, float err, const LimitItem& row) {
  if (row.min_on && row.min > value) return false;
  if (row.max_on && value > row.max) return false;
  if (row.std_on && err > row.std_max) return false;
  if (row.rel_on && (value == 0.0f || double(err) / double(value) > double(row.rel_max))) return false;
  return true;
}

void limit_set_pair(LimitItem* row, LimitPair pair, float value) {
  switch_of(*row, pair) = true;
  value_of(*row, pair) = value;
}

void limit_clear_pair(LimitItem* row, LimitPair pair) { switch_of(*row, pair) = false; }

void limit_reset_row(LimitItem* row) { *row = LimitItem(); }

void limit_store_value(LimitItem* row, LimitPair pair, float value) { value_of(*row, pair) = value; }

bool limit_pair_on(const LimitItem& row, LimitPair pair) { return switch_of(row, pair); }

float limit_pair_value(const LimitItem& row, LimitPair pair) { return value_of(row, pair); }

std::vector<LimitItem> limit_default_results() {
  std::vector<LimitItem> vt(LIMIT_RESULTS_ROWS);
  for (LimitItem& row : vt) limit_reset_row(&row);
  limit_set_pair(&vt[LIMIT_ROW_APP], LIMIT_REL, 0.01f);
  limit_set_pair(&vt[LIMIT_ROW_CP], LIMIT_STD, 0.005f);
  return vt;
}

std::vector<LimitItem> limit_default_export() {
  std::vector<LimitItem> vt(LIMIT_TYPE_CNT);
  limit_set_pair(&vt[LIMIT_ROW_AMP], LIMIT_MIN, 0.0f);
  limit_set_pair(&vt[LIMIT_ROW_AMP], LIMIT_MAX, 2.5f);
  limit_set_pair(&vt[LIMIT_ROW_APP], LIMIT_MIN, 0.0f);
  limit_set_pair(&vt[LIMIT_ROW_APP], LIMIT_MAX, 1000000.0f);
  limit_set_pair(&vt[LIMIT_ROW_APP], LIMIT_REL, 1.0f);
  limit_set_pair(&vt[LIMIT_ROW_CP], LIMIT_MIN, -LIMIT_PI);
  limit_set_pair(&vt[LIMIT_ROW_CP], LIMIT_MAX, LIMIT_PI);
  limit_set_pair(&vt[LIMIT_ROW_CP], LIMIT_STD, LIMIT_PI);
  return vt;
}
