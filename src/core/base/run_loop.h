// The loop every all-files run goes through (recalculations, text dumps,
// exports, saves): progress and cancellation between files, through an
// object the caller passes in. The core never touches a widget or an event
// loop; a page gives it the toolkit's progress dialog, the CLI nothing.
#pragma once

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "core/base/platform.h"

class RunProgress {
public:
  virtual ~RunProgress() = default;
  // Called before item index of count (a file, or a group of files);
  // returning false stops the run before it. Work already finished stays
  // as it is.
  virtual bool OnFile(int index, int count, const std::string& path) {
    (void)index;
    (void)count;
    (void)path;
    return true;
  }
};

// Calls step(i, path) for every path in order, asking progress first (null:
// never cancelled). Returns false when the run was cancelled.
template <typename Step>
bool RunOverPaths(const std::vector<std::string>& paths, RunProgress* progress, Step step) {
  const int count = int(paths.size());
  for (int i = 0; i < count; ++i) {
    if (progress && !progress->OnFile(i, count, paths[size_t(i)])) return false;
    step(i, paths[size_t(i)]);
  }
  return true;
}

// Cores this process may run on: the affinity mask where the system has one
// (a run started under taskset or in a container gets what it was given),
// else the hardware's count; at least 1.
inline unsigned RunCoreCount() { return platform_core_count(); }

// Limit on the workers of the runs started after the call; 0 makes every
// file in the calling thread, one after another, and a negative value lifts
// the limit. For tests and benchmarks that compare with the serial run or
// count cores.
inline std::atomic<int>& RunWorkerLimit() {
  static std::atomic<int> limit{-1};
  return limit;
}

// Worker threads of an all-files run that prepares files ahead of the thread
// that writes them in order: one per core, and at least two, so that even
// on one core the next file is read while this one is transformed.
inline unsigned RunPrefetchWorkers() {
  const unsigned n = RunCoreCount() < 2 ? 2u : RunCoreCount();
  const int limit = RunWorkerLimit().load();
  return limit >= 0 && unsigned(limit) < n ? unsigned(limit) : n;
}
