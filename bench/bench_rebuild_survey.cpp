// Rebuilding a whole survey from its time series ("导出所有SRS", varnex-cli
// recalc --from-smt): 20 files of the two-hour station (150 Hz, 0.25 Hz
// spread-spectrum wave, 1800 segments of 600 samples; every other file with
// its current station; two receivers, as the generator writes the current
// station only beside a second receiver), read, transformed, recalculated
// and written.
//   bench_rebuild_survey [--benchmark_...]
// The argument is the number of worker threads: 0 rebuilds one file after
// another in the calling thread, 1 and 2 prepare files ahead of the writer on
// one and on two cores. Wall time is the figure (UseRealTime); run it under
// `taskset -c 0` to hold the whole process to one core.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/base/ex_file.h"
#include "core/base/run_loop.h"
#include "core/processing/srs_recalc.h"

namespace {

const std::string kDir = "/tmp/varnex_bench_rebuild_survey";
constexpr int kFiles = 20;

std::vector<std::string> Survey() {
  static std::vector<std::string> paths;
  if (!paths.empty()) return paths;
  for (int f = 1; f <= kFiles; ++f) {
    char name[32];
    std::snprintf(name, sizeof(name), "/L101_%02d.SRS", f);
    paths.push_back(kDir + name);
  }
  if (!ex_access(paths.back().c_str())) {
    const std::string cmd = "rm -rf '" + kDir + "' && " + std::string(GEN_SURVEY_EXE) + " " + kDir +
                            " --files 20 --devices 2 --cals 1800 --sample-rate 150 --wave spread >/dev/null";
    if (std::system(cmd.c_str()) != 0 || !ex_access(paths.back().c_str())) {
      std::fprintf(stderr, "cannot generate %s\n", kDir.c_str());
      std::exit(1);
    }
  }
  return paths;
}

void BM_RebuildSurvey(benchmark::State& state) {
  const std::vector<std::string>& paths = Survey();
  const std::string out = kDir + "/out";
  ex_mkdirs(out.c_str());
  RunWorkerLimit() = int(state.range(0));
  for (auto _ : state) {
    const RecalcRun run = RecalcAllFromSmt(paths, kDir + "/smt", out, RecalcTexts(), nullptr);
    if (!run.failed_paths.empty()) {
      state.SkipWithError((run.failed_paths[0] + ": " + run.failed_why[0]).c_str());
      break;
    }
  }
  RunWorkerLimit() = -1;
  state.SetItemsProcessed(int64_t(state.iterations()) * kFiles);
}

}  // namespace

BENCHMARK(BM_RebuildSurvey)->ArgName("workers")->Arg(0)->Arg(1)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

BENCHMARK_MAIN();
