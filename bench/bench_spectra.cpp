// The Cole-Cole fit of every channel of a 360-channel file (60 devices x 6
// channels, harmonics 1 ... 8192 of the pseudo-random wave), and the
// extraction of the spectra alone.
//   bench_spectra [--benchmark_...]
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/base/ex_file.h"
#include "core/processing/cole_cole.h"
#include "core/processing/spectra.h"
#include "core/sip/format_srs.h"

namespace {

const std::string kDir = "/tmp/varnex_bench_spectra";
const std::string kFile = kDir + "/L101_01.SRS";

CFormatSRS& survey() {
  static CFormatSRS srs;
  static bool done = false;
  if (done) return srs;
  if (!ex_access(kFile.c_str())) {
    const std::string cmd =
        std::string(GEN_SURVEY_EXE) + " " + kDir + " --cole-cole --devices 60 --cals 6 --files 1";
    if (std::system(cmd.c_str()) != 0) {
      std::fprintf(stderr, "cannot generate %s\n", kFile.c_str());
      std::exit(1);
    }
  }
  if (!srs.Read(kFile)) {
    std::fprintf(stderr, "cannot read %s\n", kFile.c_str());
    std::exit(1);
  }
  done = true;
  return srs;
}

void BM_SpectraOf(benchmark::State& state) {
  CFormatSRS& srs = survey();
  for (auto _ : state) {
    std::vector<ChannelSpectrum> s = SpectraOf(srs.m_res);
    benchmark::DoNotOptimize(s);
  }
  state.counters["channels"] = double(srs.m_res.GetChNum());
}

void BM_FitColeColeAll(benchmark::State& state) {
  CFormatSRS& srs = survey();
  const std::vector<ChannelSpectrum> spectra = SpectraOf(srs.m_res);
  int ok = 0;
  for (auto _ : state) {
    const std::vector<ColeColeFit> fits = FitColeColeAll(spectra);
    ok = 0;
    for (const ColeColeFit& f : fits) ok += f.status == ColeColeStatus::Ok ? 1 : 0;
    benchmark::DoNotOptimize(fits);
  }
  state.counters["channels"] = double(spectra.size());
  state.counters["ok"] = double(ok);
}

}  // namespace

BENCHMARK(BM_SpectraOf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FitColeColeAll)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
