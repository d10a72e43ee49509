#include "core/processing/ts_segment.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

TsSegment TsClampSegment(int start, int len, TsMove move, int rows) {
  int64_t s = start;
  const int64_t l = std::max(len, 0);
  if (move == TS_MOVE_PREV) s -= int64_t(len);
  if (move == TS_MOVE_NEXT) s += int64_t(len);
  const int64_t n = std::max(rows, 0);
  s = std::min(std::max<int64_t>(s, 0), n);
  TsSegment seg;
  seg.start = int(s);
  seg.len = int(std::min(l, n - s));
  return seg;
}

bool TsChannelMv(const CFormatSmt& smt, int ch, int start, int count, std::vector<double>* mv) {
  mv->clear();
  std::vector<float> volts;
  if (!smt.GetData(ch, start, count, &volts)) return false;
  mv->reserve(volts.size());
  for (float v : volts) mv->push_back(1000.0 * double(v));
  return true;
}

TsStats TsSegmentStats(const double* values, size_t n) {
  TsStats st;
  if (n == 0) return st;
  st.min = st.max = values[0];
  double sum = 0.0;
  for (size_t i = 0; i < n; ++i) {
    st.min = std::min(st.min, values[i]);
    st.max = std::max(st.max, values[i]);
    sum += values[i];
  }
  const double mean = sum / double(n);
  double sq = 0.0;
  for (size_t i = 0; i < n; ++i) sq += (values[i] - mean) * (values[i] - mean);
  st.std = std::sqrt(sq / double(n));
  return st;
}

TsRecordingInfo TsInfoOf(const CFormatSmt& smt) {
  TsRecordingInfo info;
  info.sample_rate = smt.m_prm_meas.sample_rate;
  info.rows = smt.GetDataRows();
  if (info.sample_rate > 0) {
    const int secs = info.rows / info.sample_rate;
    info.minutes = secs / 60;
    info.seconds = secs % 60;
  }
  return info;
}
