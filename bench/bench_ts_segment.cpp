// One step of the time-series page on a two-hour 150 Hz recording held in
// memory: six channels of a 960-sample segment converted to mV with their
// statistics, against reading the whole file again (what a step must not do).
//   bench_ts_segment [--benchmark_...]
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/processing/ts_segment.h"
#include "core/sip/format_smt.h"

namespace {

const std::string kFile = "/tmp/varnex_bench_ts_2h_150hz.smt";
const int kRows = 2 * 3600 * 150;

const CFormatSmt& recording() {
  static CFormatSmt smt;
  static bool done = false;
  if (!done) {
    std::vector<float> data[MAX_CH_NUM];
    for (int ch = 0; ch < MAX_CH_NUM; ++ch) {
      data[ch].resize(size_t(kRows));
      for (int r = 0; r < kRows; ++r) data[ch][size_t(r)] = float(((r * 7 + ch) % 1000) * 1e-5);
    }
    smt.m_prm_meas.sample_rate = 150;
    if (!smt.SetData(data) || !smt.Write(kFile)) {
      std::fprintf(stderr, "cannot write %s\n", kFile.c_str());
      std::exit(1);
    }
    done = true;
  }
  return smt;
}

void BM_StepSegment(benchmark::State& state) {
  const CFormatSmt& smt = recording();
  const int len = int(state.range(0));
  int start = 0;
  std::vector<double> mv;
  for (auto _ : state) {
    const TsSegment seg = TsClampSegment(start, len, TS_MOVE_NEXT, smt.GetDataRows());
    start = seg.start < smt.GetDataRows() ? seg.start : 0;
    for (int ch = 0; ch < MAX_CH_NUM; ++ch) {
      TsChannelMv(smt, ch, seg.start, seg.len, &mv);
      benchmark::DoNotOptimize(TsSegmentStats(mv));
    }
  }
  state.SetItemsProcessed(state.iterations() * int64_t(len) * MAX_CH_NUM);
}
BENCHMARK(BM_StepSegment)->Arg(960)->Arg(15000);

void BM_RereadRecording(benchmark::State& state) {
  recording();
  CFormatSmt smt;
  for (auto _ : state) benchmark::DoNotOptimize(smt.Read(kFile));
  state.SetBytesProcessed(state.iterations() * int64_t(kRows) * MAX_CH_NUM * 4);
}
BENCHMARK(BM_RereadRecording)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
