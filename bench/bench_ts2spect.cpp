// Rebuilding the spectra of one device from a two-hour time series (150 Hz,
// 0.25 Hz spread-spectrum wave, 6 channels, 1800 segments of 600 samples)
// against the bare FFTW real transform of the same segments.
//   bench_ts2spect [--benchmark_...]
// BM_RebuildDevice: a fresh transformer per iteration (no cached file), the
// SMT file read, the over-range test, the transform and the items stored.
// BM_FftwR2c: the transforms alone, samples already in memory as double,
// one FFTW_MEASURE plan reused. BM_ReadSmt: reading the file alone;
// BM_ReadSmtAgain: reading it again into the same object.
// BM_KissRealFft: the program's whole transform (KISS FFT) on the same
// in-memory samples. BM_KissBins: only the bins of the 16 harmonics, one
// segment at a time, by the program's own transform in KISS FFT's order of
// operations; BM_LaneBins: the same, FFT_LANES segments side by side from
// float samples, as the rebuild runs it.
// The last line gives rebuild / FFTW.
#include <benchmark/benchmark.h>

#include <fftw3.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/base/ex_file.h"
#include "core/base/fft.h"
#include "core/processing/sip_ts2spect.h"
#include "core/sip/format_smt.h"

namespace {

const std::string kDir = "/tmp/varnex_bench_ts2spect";
const std::string kSmt = kDir + "/smt/ST01/L101_01.smt";
constexpr int kRate = 150;
constexpr float kFreq = 0.25f;
constexpr int kHarm = 16;
constexpr int kLen = 600;
constexpr int kSegs = 1800;
constexpr int64_t kSamples = int64_t(MAX_CH_NUM) * kSegs * kLen;

void EnsureSurvey() {
  static bool done = false;
  if (done) return;
  if (!ex_access(kSmt.c_str())) {
    const std::string cmd = std::string(GEN_SURVEY_EXE) + " " + kDir +
                            " --files 1 --devices 1 --cals 1800 --sample-rate 150 --wave spread";
    if (std::system(cmd.c_str()) != 0) {
      std::fprintf(stderr, "cannot generate %s\n", kSmt.c_str());
      std::exit(1);
    }
  }
  done = true;
}

// Volts of every segment of every channel, channel after channel.
const std::vector<double>& Samples() {
  static std::vector<double> samples;
  if (!samples.empty()) return samples;
  EnsureSurvey();
  CFormatSmt smt;
  if (!smt.Read(kSmt) || smt.GetDataRows() < kSegs * kLen) {
    std::fprintf(stderr, "cannot read %s\n", kSmt.c_str());
    std::exit(1);
  }
  samples.resize(size_t(kSamples));
  std::vector<float> ch(size_t(kSegs) * kLen);
  for (int c = 0; c < MAX_CH_NUM; ++c) {
    smt.GetData(c, 0, kSegs * kLen, ch.data());
    for (size_t i = 0; i < ch.size(); ++i) samples[size_t(c) * ch.size() + i] = ch[i];
  }
  return samples;
}

void BM_RebuildDevice(benchmark::State& state) {
  EnsureSurvey();
  std::vector<SmtChRef> refs;
  for (int c = 0; c < MAX_CH_NUM; ++c) refs.push_back(SmtChRef{kSmt, c});
  for (auto _ : state) {
    CSipTs2Spect ts;
    ts.SetParams(kRate, kFreq, kHarm, SIP_WAVE_SPREAD_SPECTRUM);
    CSpectArray array;
    ts.CalcArray(refs, nullptr, array);
    if (array.DoGetCalNum() != kSegs) state.SkipWithError("wrong segment count");
    benchmark::DoNotOptimize(array);
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kSamples);
}

// The share of the rebuild that reads the file.
void BM_ReadSmt(benchmark::State& state) {
  EnsureSurvey();
  for (auto _ : state) {
    CFormatSmt smt;
    if (!smt.Read(kSmt)) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(smt);
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kSamples);
}

// One object reading the file again and again, as the rebuild reads the
// devices of a file one after another and the time-series page one file
// after another.
void BM_ReadSmtAgain(benchmark::State& state) {
  EnsureSurvey();
  CFormatSmt smt;
  for (auto _ : state) {
    if (!smt.Read(kSmt)) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(smt);
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kSamples);
}

void BM_FftwR2c(benchmark::State& state) {
  const std::vector<double>& samples = Samples();
  double* in = fftw_alloc_real(size_t(kSamples));
  fftw_complex* out = fftw_alloc_complex(kLen / 2 + 1);
  // Planning with FFTW_MEASURE overwrites its arrays: plan first, fill after.
  fftw_plan plan = fftw_plan_dft_r2c_1d(kLen, in, out, FFTW_MEASURE);
  std::copy(samples.begin(), samples.end(), in);
  double sink = 0.0;
  for (auto _ : state) {
    for (int64_t s = 0; s < kSamples / kLen; ++s) {
      fftw_execute_dft_r2c(plan, in + s * kLen, out);
      sink += out[1][0];
    }
    benchmark::DoNotOptimize(sink);
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kSamples);
  fftw_destroy_plan(plan);
  fftw_free(out);
  fftw_free(in);
}

void BM_KissRealFft(benchmark::State& state) {
  const std::vector<double>& samples = Samples();
  fft_cfg_ptr cfg = fft_alloc(kLen);
  std::vector<cpx_t> out(kLen);
  double sink = 0.0;
  for (auto _ : state) {
    for (int64_t s = 0; s < kSamples / kLen; ++s) {
      fft_real(cfg.get(), samples.data() + s * kLen, out.data());
      sink += out[1].re;
    }
    benchmark::DoNotOptimize(sink);
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kSamples);
}

// The transform as the rebuild uses it: only the bins of the 16 harmonics.
void BM_KissBins(benchmark::State& state) {
  const std::vector<double>& samples = Samples();
  fft_cfg_ptr cfg = fft_alloc(kLen);
  std::vector<int> bins;
  for (int k = 1; k <= kHarm; ++k) bins.push_back(k);
  fft_set_bins(cfg.get(), bins.data(), kHarm);
  std::vector<cpx_t> out(kHarm);
  double sink = 0.0;
  for (auto _ : state) {
    for (int64_t s = 0; s < kSamples / kLen; ++s) {
      fft_real_bins(cfg.get(), samples.data() + s * kLen, out.data());
      sink += out[0].re;
    }
    benchmark::DoNotOptimize(sink);
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kSamples);
}

// The transform as the rebuild runs it: FFT_LANES segments side by side,
// from the float samples.
void BM_LaneBins(benchmark::State& state) {
  const std::vector<double>& samples = Samples();
  const std::vector<float> floats(samples.begin(), samples.end());
  fft_cfg_ptr cfg = fft_alloc(kLen);
  std::vector<int> bins;
  for (int k = 1; k <= kHarm; ++k) bins.push_back(k);
  fft_set_bins(cfg.get(), bins.data(), kHarm);
  std::vector<cpx_t> out(size_t(kHarm) * FFT_LANES);
  cpx_t* outs[FFT_LANES];
  for (int l = 0; l < FFT_LANES; ++l) outs[l] = out.data() + l * kHarm;
  double sink = 0.0;
  for (auto _ : state) {
    for (int64_t s = 0; s < kSamples / kLen; s += FFT_LANES) {
      const float* in[FFT_LANES];
      for (int l = 0; l < FFT_LANES; ++l) in[l] = floats.data() + (s + l) * kLen;
      fft_real_bins_lanes(cfg.get(), in, FFT_LANES, outs);
      sink += out[0].re;
    }
    benchmark::DoNotOptimize(sink);
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kSamples);
}

// Prints the usual table and keeps each benchmark's samples per second.
class RateReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      auto it = r.counters.find("items_per_second");
      if (it != r.counters.end() && r.run_type == Run::RT_Iteration) rates[r.benchmark_name()] = it->second.value;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> rates;
};

}  // namespace

BENCHMARK(BM_RebuildDevice)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadSmt)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadSmtAgain)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_FftwR2c)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_KissRealFft)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_KissBins)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_LaneBins)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RateReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto rebuild = reporter.rates.find("BM_RebuildDevice/min_time:2.000");
  const auto fftw = reporter.rates.find("BM_FftwR2c/min_time:2.000");
  if (rebuild != reporter.rates.end() && fftw != reporter.rates.end() && fftw->second > 0.0)
    std::printf("rebuild / FFTW r2c: %.3f (%.3g vs %.3g samples/s)\n", rebuild->second / fftw->second,
                rebuild->second, fftw->second);
  benchmark::Shutdown();
  return 0;
}
