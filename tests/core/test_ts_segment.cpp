// Segment stepping, statistics and recording length of the time-series viewer.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

#include "core/processing/ts_segment.h"

TEST(TsSegment, StepsAreClampedToTheRecording) {
  struct Case {
    int start, len;
    TsMove move;
    int rows;
    int want_start, want_len;
  };
  const Case cases[] = {
      {1500, 960, TS_MOVE_NONE, 2000, 1500, 500},   // runs past the end: cut
      {1500, 960, TS_MOVE_NEXT, 2000, 2000, 0},     // beyond the end: nothing left
      {540, 960, TS_MOVE_NEXT, 2000, 1500, 500},
      {100, 960, TS_MOVE_PREV, 2000, 0, 960},       // before the start: from 0
      {0, 960, TS_MOVE_NONE, 0, 0, 0},              // empty recording
      {-7, 10, TS_MOVE_NONE, 5, 0, 5},
      {3, -4, TS_MOVE_NONE, 100, 3, 0},             // negative length counts as 0
      {3, -4, TS_MOVE_NEXT, 100, 0, 0},             // and still moves by it, then clamps
      {INT_MAX, INT_MAX, TS_MOVE_NEXT, 100, 100, 0}, // no overflow
      {INT_MIN, INT_MAX, TS_MOVE_PREV, 100, 0, 100},
      {0, INT_MAX, TS_MOVE_NONE, 1080000, 0, 1080000},
  };
  for (const Case& c : cases) {
    const TsSegment seg = TsClampSegment(c.start, c.len, c.move, c.rows);
    EXPECT_EQ(seg.start, c.want_start) << c.start << " " << c.len << " " << c.move << " " << c.rows;
    EXPECT_EQ(seg.len, c.want_len) << c.start << " " << c.len << " " << c.move << " " << c.rows;
  }
}

TEST(TsSegment, StatisticsArePopulationStatisticsOfTheValues) {
  TsStats st = TsSegmentStats(std::vector<double>{1, 2, 3, 4});
  EXPECT_DOUBLE_EQ(st.min, 1.0);
  EXPECT_DOUBLE_EQ(st.max, 4.0);
  EXPECT_DOUBLE_EQ(st.std, std::sqrt(1.25));

  st = TsSegmentStats(std::vector<double>{-2.5});
  EXPECT_DOUBLE_EQ(st.min, -2.5);
  EXPECT_DOUBLE_EQ(st.max, -2.5);
  EXPECT_DOUBLE_EQ(st.std, 0.0);

  st = TsSegmentStats(std::vector<double>{});
  EXPECT_EQ(st.min, 0.0);
  EXPECT_EQ(st.max, 0.0);
  EXPECT_EQ(st.std, 0.0);

  // A large offset must not swamp a small spread.
  st = TsSegmentStats(std::vector<double>{1e6 + 1, 1e6 + 2, 1e6 + 3, 1e6 + 4});
  EXPECT_NEAR(st.std, std::sqrt(1.25), 1e-9);
}

TEST(TsSegment, DurationFollowsTheFilesOwnSampleRate) {
  struct Case {
    int rate, rows, minutes, seconds;
  };
  const Case cases[] = {
      {15, 900, 1, 0},          // the classic 15 Hz recording
      {15, 914, 1, 0},          // partial seconds are dropped
      {150, 900, 0, 6},         // 150 Hz: ten times shorter than 15 Hz would claim
      {150, 1080000, 120, 0},   // two hours
      {0, 900, 0, 0},           // no usable rate: no duration, no division by zero
      {-15, 900, 0, 0},
  };
  for (const Case& c : cases) {
    CFormatSmt smt;
    smt.m_prm_meas.sample_rate = c.rate;
    std::vector<float> data[MAX_CH_NUM];
    for (auto& ch : data) ch.assign(size_t(c.rows), 0.0f);
    ASSERT_TRUE(smt.SetData(data));
    const TsRecordingInfo info = TsInfoOf(smt);
    EXPECT_EQ(info.sample_rate, c.rate);
    EXPECT_EQ(info.rows, c.rows);
    EXPECT_EQ(info.minutes, c.minutes) << c.rate << " " << c.rows;
    EXPECT_EQ(info.seconds, c.seconds) << c.rate << " " << c.rows;
  }
}
