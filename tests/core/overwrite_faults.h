// Fault tests of flows that overwrite files: the flow runs in a child
// process that either hits a file-size limit halfway (the disk is full) or is
// killed with SIGKILL at a random moment. Afterwards every target must hold
// its old bytes or the complete new ones, and no temporary of the atomic
// writer may stay behind once a later run has gone through.
//
// A flow is a function returning success; it runs only in children, so it
// may write anything. Targets are the files it replaces; they must exist
// before (the old contents), and the flow must be deterministic (the new
// contents are those of a run that was not disturbed).
//
// Reused by every overwrite flow: the recalculations, the parameter save,
// the export.
#pragma once

#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace overwrite_faults {

using Flow = std::function<bool()>;

inline std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline void Spill(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), std::streamsize(bytes.size()));
}

inline std::string DirOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

// Files of the atomic writer's temporary form (".<name>.<pid>-<n>.vxtmp") in dir.
inline std::vector<std::string> Temporaries(const std::string& dir) {
  std::vector<std::string> out;
  if (DIR* d = ::opendir(dir.c_str())) {
    while (dirent* e = ::readdir(d)) {
      const std::string f = e->d_name;
      if (f.size() > 6 && f.compare(f.size() - 6, 6, ".vxtmp") == 0) out.push_back(f);
    }
    ::closedir(d);
  }
  return out;
}

// Runs flow in a child; limit_bytes > 0 caps the size of every file it
// writes (writes beyond fail with EFBIG, as on a full disk). Returns the
// child's exit status: 0 when the flow succeeded.
inline int RunChild(const Flow& flow, rlim_t limit_bytes = 0) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (limit_bytes > 0) {
      ::signal(SIGXFSZ, SIG_IGN);
      struct rlimit rl{limit_bytes, limit_bytes};
      ::setrlimit(RLIMIT_FSIZE, &rl);
    }
    ::_exit(flow() ? 0 : 1);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Runs flow in a child and kills it after delay; true when the child ended
// by itself before the kill.
inline bool RunChildKilledAfter(const Flow& flow, std::chrono::microseconds delay) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(flow() ? 0 : 1);
  std::this_thread::sleep_for(delay);
  ::kill(pid, SIGKILL);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status);
}

struct Contents {
  std::vector<std::string> old_bytes, new_bytes;
  std::chrono::microseconds duration{0};
};

inline void Restore(const std::vector<std::string>& targets, const std::vector<std::string>& bytes) {
  for (size_t i = 0; i < targets.size(); ++i) Spill(targets[i], bytes[i]);
}

// Old contents, then the contents of an undisturbed run (and how long it
// took); the targets are left with their old contents.
inline Contents Capture(const std::vector<std::string>& targets, const Flow& flow) {
  Contents c;
  for (const std::string& t : targets) c.old_bytes.push_back(Slurp(t));
  const auto t0 = std::chrono::steady_clock::now();
  EXPECT_EQ(RunChild(flow), 0) << "the undisturbed flow failed";
  c.duration = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t0);
  for (const std::string& t : targets) c.new_bytes.push_back(Slurp(t));
  for (size_t i = 0; i < targets.size(); ++i)
    EXPECT_NE(c.old_bytes[i], c.new_bytes[i]) << targets[i] << ": the flow must change its targets";
  Restore(targets, c.old_bytes);
  return c;
}

// A full disk at each of limits: the flow fails, every target whose new
// contents would not fit keeps its old bytes (those that fit may hold what
// the failing run had to say, such as a report of the failures: the caller
// checks them), and nothing temporary stays.
inline void ExpectFullDiskKeepsOldFiles(const std::vector<std::string>& targets, const Flow& flow,
                                        const std::vector<rlim_t>& limits) {
  const Contents c = Capture(targets, flow);
  for (rlim_t limit : limits) {
    SCOPED_TRACE("file size limit " + std::to_string(limit));
    Restore(targets, c.old_bytes);
    EXPECT_NE(RunChild(flow, limit), 0) << "a flow that could not write must say so";
    for (size_t i = 0; i < targets.size(); ++i) {
      if (c.new_bytes[i].size() > limit) {
        EXPECT_EQ(Slurp(targets[i]), c.old_bytes[i]) << targets[i];
      }
      EXPECT_TRUE(Temporaries(DirOf(targets[i])).empty()) << DirOf(targets[i]);
    }
  }
}

// kills SIGKILLs at random moments of the flow: each leaves every target old
// or completely new; the run after it completes and leaves no temporary.
// Returns how many kills hit the flow before it had ended.
inline int ExpectKillsLeaveOldOrNew(const std::vector<std::string>& targets, const Flow& flow, int kills,
                                    uint32_t seed) {
  const Contents c = Capture(targets, flow);
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int64_t> when(0, c.duration.count() + c.duration.count() / 4 + 1);
  int hit = 0;
  for (int k = 0; k < kills; ++k) {
    Restore(targets, c.old_bytes);
    const std::chrono::microseconds delay(when(rng));
    SCOPED_TRACE("kill after " + std::to_string(delay.count()) + " us");
    if (!RunChildKilledAfter(flow, delay)) ++hit;
    for (size_t i = 0; i < targets.size(); ++i) {
      const std::string now = Slurp(targets[i]);
      EXPECT_TRUE(now == c.old_bytes[i] || now == c.new_bytes[i])
          << targets[i] << ": " << now.size() << " bytes, old " << c.old_bytes[i].size() << ", new "
          << c.new_bytes[i].size();
    }
    EXPECT_EQ(RunChild(flow), 0);
    for (size_t i = 0; i < targets.size(); ++i) {
      EXPECT_EQ(Slurp(targets[i]), c.new_bytes[i]) << targets[i];
      EXPECT_TRUE(Temporaries(DirOf(targets[i])).empty()) << DirOf(targets[i]);
    }
  }
  Restore(targets, c.old_bytes);
  return hit;
}

}  // namespace overwrite_faults
