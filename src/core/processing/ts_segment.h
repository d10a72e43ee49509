// The segment arithmetic of the time-series viewer: which samples a step
// shows, the statistics of a segment in millivolts and the length of a
// recording. The time-series page and its monitors only display these.
#pragma once

#include <cstddef>
#include <vector>

#include "core/sip/format_smt.h"

enum TsMove { TS_MOVE_NONE = 0, TS_MOVE_PREV = 1, TS_MOVE_NEXT = 2 };

struct TsSegment {
  int start = 0;
  int len = 0;
};

// The segment of len samples from start after a step of one length back or
// forward, clamped to a recording of rows samples: start lies in 0..rows and
// the segment never runs past the end, so a start at the end gives length 0.
// A negative length counts as 0. Computed without int overflow.
TsSegment TsClampSegment(int start, int len, TsMove move, int rows);

// Samples start .. start + count - 1 of channel ch in millivolts. False
// (mv emptied) when the channel cannot be converted: outside 0..5, rows
// outside the recording, or a gain that is not positive.
bool TsChannelMv(const CFormatSmt& smt, int ch, int start, int count, std::vector<double>* mv);

struct TsStats {
  double min = 0.0;
  double max = 0.0;
  double std = 0.0;  // population standard deviation
};

// Min, max and population standard deviation of n values; all 0 for n = 0.
TsStats TsSegmentStats(const double* values, size_t n);
inline TsStats TsSegmentStats(const std::vector<double>& values) {
  return TsSegmentStats(values.data(), values.size());
}

// Sample rate and length of a recording as the page reports them: the rate
// is the one the file was recorded with; the duration is rows / rate whole
// seconds, split into minutes and seconds. A file with a rate that is not
// positive has no duration (0 m 0 s) rather than a division by zero.
struct TsRecordingInfo {
  int sample_rate = 0;
  int rows = 0;
  int minutes = 0;
  int seconds = 0;
};
TsRecordingInfo TsInfoOf(const CFormatSmt& smt);
