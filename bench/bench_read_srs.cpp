// Reading a large SRS file (60 devices x 6 channels, 16 harmonics, 200
// calculations) against reading the same bytes into memory, hot cache.
//   bench_read_srs [--benchmark_...]
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/base/ex_file.h"
#include "core/sip/format_srs.h"

namespace {

const std::string kDir = "/tmp/varnex_bench_srs";
const std::string kFile = kDir + "/L101_01.SRS";

void ensure_file() {
  static bool done = false;
  if (done) return;
  if (!ex_access(kFile.c_str())) {
    const std::string cmd = std::string(GEN_SURVEY_EXE) + " " + kDir +
                            " --devices 60 --cals 200 --files 1 --wave spread --no-smt";
    if (std::system(cmd.c_str()) != 0) {
      std::fprintf(stderr, "cannot generate %s\n", kFile.c_str());
      std::exit(1);
    }
  }
  done = true;
}

void BM_ReadRawBytes(benchmark::State& state) {
  ensure_file();
  const long size = ex_file_size(kFile.c_str());
  for (auto _ : state) {
    // A fresh buffer each time, as a reader gets fresh memory for what it reads.
    std::vector<char> buf(static_cast<size_t>(size));
    std::unique_ptr<FILE, ExFileCloser> fp(std::fopen(kFile.c_str(), "rb"));
    size_t got = std::fread(buf.data(), 1, buf.size(), fp.get());
    benchmark::DoNotOptimize(got);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * size);
}

void BM_ReadSrs(benchmark::State& state) {
  ensure_file();
  const long size = ex_file_size(kFile.c_str());
  for (auto _ : state) {
    CFormatSRS srs;
    bool ok = srs.Read(kFile);
    if (!ok) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(srs);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * size);
}

// Reading the same bytes again into a buffer that already exists.
void BM_ReadRawBytesReused(benchmark::State& state) {
  ensure_file();
  const long size = ex_file_size(kFile.c_str());
  std::vector<char> buf(static_cast<size_t>(size));
  for (auto _ : state) {
    std::unique_ptr<FILE, ExFileCloser> fp(std::fopen(kFile.c_str(), "rb"));
    size_t got = std::fread(buf.data(), 1, buf.size(), fp.get());
    benchmark::DoNotOptimize(got);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * size);
}

// The results page keeps one file object and reads the selected file into it
// on every click.
void BM_ReadSrsSameObject(benchmark::State& state) {
  ensure_file();
  const long size = ex_file_size(kFile.c_str());
  CFormatSRS srs;
  for (auto _ : state) {
    if (!srs.Read(kFile)) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(srs);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * size);
}

// What a click on the results page reads: everything but the spectrum items.
void BM_ReadSrsWithoutSpectra(benchmark::State& state) {
  ensure_file();
  const long size = ex_file_size(kFile.c_str());
  CFormatSRS srs;
  for (auto _ : state) {
    if (!srs.ReadWithoutSpectra(kFile)) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(srs);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * size);
}

}  // namespace

BENCHMARK(BM_ReadSrsWithoutSpectra)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadRawBytesReused)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadSrsSameObject)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadRawBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadSrs)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
