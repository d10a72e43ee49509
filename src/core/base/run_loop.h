// The loop every all-files run goes through (recalculations, text dumps,
// exports, saves): progress and cancellation between files, through an
// object the caller passes in. The core never touches a widget or an event
// loop; a page gives it the toolkit's progress dialog, the CLI nothing.
#pragma once

#include <string>
#include <vector>

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
