// A 2-D Res2dinv export of a large survey (1,000 files of 60 devices x 6
// channels, four-electrode sounding) against only reading the same files,
// hot cache, with the peak resident memory of each. The export reads and
// calculates on every core: wall time is the figure, and the CPU column sums
// all threads. BM_GroupOnly is its first pass over the files.
//   bench_export [--benchmark_filter=...]
// VARNEX_BENCH_FILES=N uses the first N files (the survey is generated once,
// 1,000 files, in /tmp/varnex_bench_export). Run one benchmark per process
// (--benchmark_filter) to read its own peak memory.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/base/ex_file.h"
#include "core/export/export_job.h"
#include "core/sip/format_srs.h"

namespace {

const std::string kDir = "/tmp/varnex_bench_export";
constexpr int kSurveyFiles = 1000;

const std::vector<std::string>& Files() {
  static std::vector<std::string> paths;
  if (!paths.empty()) return paths;
  char last[64];
  std::snprintf(last, sizeof(last), "/L101_%02d.SRS", kSurveyFiles);
  if (!ex_access((kDir + last).c_str())) {
    const std::string cmd = std::string(GEN_SURVEY_EXE) + " " + kDir + " --seed 1 --files " +
                            std::to_string(kSurveyFiles) +
                            " --devices 60 --cals 6 --wave square --layout pole4 --no-smt";
    if (std::system(cmd.c_str()) != 0) {
      std::fprintf(stderr, "cannot generate the survey in %s\n", kDir.c_str());
      std::exit(1);
    }
  }
  int n = kSurveyFiles;
  if (const char* env = std::getenv("VARNEX_BENCH_FILES")) n = std::max(1, std::min(kSurveyFiles, std::atoi(env)));
  for (int i = 1; i <= n; ++i) {
    char name[64];
    std::snprintf(name, sizeof(name), "/L101_%02d.SRS", i);
    paths.push_back(kDir + name);
  }
  return paths;
}

void PeakMemory(benchmark::State& state) {
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  state.counters["peak_rss_MB"] = double(ru.ru_maxrss) / 1024.0;
  state.counters["files"] = double(Files().size());
}

void BM_ReadOnly(benchmark::State& state) {
  const std::vector<std::string>& paths = Files();
  int64_t bytes = 0;
  for (auto _ : state) {
    for (const std::string& p : paths) {
      CFormatSRS srs;
      if (!srs.Read(p)) state.SkipWithError("read failed");
      bytes += srs.GetSize();
      benchmark::DoNotOptimize(srs);
    }
  }
  state.SetBytesProcessed(bytes);
  PeakMemory(state);
}

ExportOptions Settings(const std::vector<std::string>& paths, bool combine) {
  ExportOptions s;
  s.paths = paths;
  s.path_base = kDir + "/out/T";
  s.layout = ExportFirstLayout(paths);
  s.format = ExportFormat::Res2dinv;
  s.combine = combine;
  return s;
}

void BM_ExportRes2dinv(benchmark::State& state) {
  const std::vector<std::string>& paths = Files();
  ex_mkdirs((kDir + "/out").c_str());
  const ExportOptions s = Settings(paths, false);
  for (auto _ : state) {
    const ExportRun run = RunExport(s, nullptr);
    if (!run.completed) state.SkipWithError("export failed");
  }
  PeakMemory(state);
}

// The page's default: every combination order of up to all channels of a
// file, which grows with the cube of the channels per file; a few files.
void BM_ExportRes2dinvCombined(benchmark::State& state) {
  std::vector<std::string> paths = Files();
  paths.resize(std::min<size_t>(paths.size(), size_t(state.range(0))));
  ex_mkdirs((kDir + "/out").c_str());
  const ExportOptions s = Settings(paths, true);
  for (auto _ : state) {
    const ExportRun run = RunExport(s, nullptr);
    if (!run.completed) state.SkipWithError("export failed");
  }
  PeakMemory(state);
}

// The pass that groups the files before the export reads them.
void BM_GroupOnly(benchmark::State& state) {
  const std::vector<std::string>& paths = Files();
  for (auto _ : state) {
    std::vector<std::vector<std::string>> groups;
    GroupFiles(paths, ExportFirstLayout(paths), false, &groups, nullptr);
    state.counters["groups"] = double(groups.size());
  }
}
}  // namespace

BENCHMARK(BM_ReadOnly)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_GroupOnly)->Unit(benchmark::kMillisecond)->Iterations(2)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_ExportRes2dinv)->Unit(benchmark::kMillisecond)->Iterations(2)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_ExportRes2dinvCombined)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

BENCHMARK_MAIN();
