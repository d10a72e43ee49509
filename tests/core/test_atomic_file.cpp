#include <gtest/gtest.h>

#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "core/base/atomic_file.h"
#include "../windows_skip.h"

namespace {

std::string freshDir(const std::string& name) {
  const std::string dir = testing::TempDir() + "varnex_atomic_" + name + "_" + std::to_string(::getpid());
  std::string cmd = "rm -rf '" + dir + "' && mkdir -p '" + dir + "'";
  EXPECT_EQ(std::system(cmd.c_str()), 0);
  return dir;
}

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void spit(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

std::vector<std::string> listDir(const std::string& dir) {
  std::vector<std::string> out;
  DIR* d = opendir(dir.c_str());
  while (dirent* e = readdir(d)) {
    const std::string n = e->d_name;
    if (n != "." && n != "..") out.push_back(n);
  }
  closedir(d);
  std::sort(out.begin(), out.end());
  return out;
}

bool writeText(const std::string& path, const std::string& text) {
  return ex_write_atomic(path, [&](FILE* fp) { return std::fwrite(text.data(), 1, text.size(), fp) == text.size(); });
}

}  // namespace

TEST(AtomicFile, ReplacesTheTargetAndLeavesNoTemporary) {
  const std::string dir = freshDir("replace");
  const std::string target = dir + "/a.SRS";
  spit(target, "old");
  ASSERT_TRUE(writeText(target, "new contents"));
  EXPECT_EQ(slurp(target), "new contents");
  EXPECT_EQ(listDir(dir), std::vector<std::string>{"a.SRS"});
}

TEST(AtomicFile, FailureHalfwayKeepsTheOldFileByteIdentical) {
  const std::string dir = freshDir("fail");
  const std::string target = dir + "/a.SRS";
  spit(target, "the original bytes");
  std::string why;
  const bool ok = ex_write_atomic(
      target,
      [](FILE* fp) {
        std::fputs("half of the new", fp);
        return false;  // the disk filled up here
      },
      &why);
  EXPECT_FALSE(ok);
  EXPECT_EQ(slurp(target), "the original bytes");
  EXPECT_EQ(listDir(dir), std::vector<std::string>{"a.SRS"});
}

TEST(AtomicFile, FullDeviceFailsTheCommit) {
  SKIP_ON_WINDOWS("no /dev/full");
  // /dev/full is written directly (not replaced) and refuses every byte at
  // the flush: the failure must be reported, not swallowed.
  if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  std::string why;
  const std::string big(1 << 16, 'x');
  EXPECT_FALSE(ex_write_atomic("/dev/full", [&](FILE* fp) { std::fwrite(big.data(), 1, big.size(), fp); return true; },
                               &why));
  EXPECT_FALSE(why.empty());
  struct stat st;
  ASSERT_EQ(::stat("/dev/full", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST(AtomicFile, UnwritableFolderFailsWithAReason) {
  SKIP_ON_WINDOWS("folders have no POSIX permission bits");
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  const std::string dir = freshDir("ro");
  const std::string target = dir + "/a.SRS";
  spit(target, "kept");
  ::chmod(dir.c_str(), 0555);
  std::string why;
  EXPECT_FALSE(ex_write_atomic(target, [](FILE*) { return true; }, &why));
  ::chmod(dir.c_str(), 0755);
  EXPECT_NE(why.find(dir), std::string::npos);
  EXPECT_EQ(slurp(target), "kept");
}

TEST(AtomicFile, SymbolicLinkIsFollowedNotReplaced) {
  SKIP_ON_WINDOWS("symbolic links need rights ordinary users lack");
  const std::string dir = freshDir("link");
  ::mkdir((dir + "/real").c_str(), 0755);
  spit(dir + "/real/out.txt", "old");
  ASSERT_EQ(::symlink("real/out.txt", (dir + "/link.txt").c_str()), 0);
  ASSERT_TRUE(writeText(dir + "/link.txt", "through the link"));
  struct stat st;
  ASSERT_EQ(::lstat((dir + "/link.txt").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(slurp(dir + "/real/out.txt"), "through the link");
  EXPECT_EQ(listDir(dir + "/real"), std::vector<std::string>{"out.txt"});
}

TEST(AtomicFile, DeviceIsWrittenDirectly) {
  SKIP_ON_WINDOWS("no /dev/null");
  ASSERT_TRUE(writeText("/dev/null", "discarded"));
  struct stat st;
  ASSERT_EQ(::stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST(AtomicFile, KeepsThePermissionsOfTheReplacedFile) {
  SKIP_ON_WINDOWS("files have no POSIX permission bits");
  const std::string dir = freshDir("mode");
  const std::string target = dir + "/a.txt";
  spit(target, "x");
  ::chmod(target.c_str(), 0640);
  ASSERT_TRUE(writeText(target, "y"));
  struct stat st;
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(AtomicFile, StaleTemporariesOfDeadProcessesAreRemovedOthersKept) {
  SKIP_ON_WINDOWS("no fork");
  const std::string dir = freshDir("stale");
  const std::string target = dir + "/a.SRS";
  // A child that dies leaves a temporary with its pid, as a kill would.
  const pid_t child = ::fork();
  if (child == 0) {
    AtomicFile f;
    f.Open(target);
    std::fputs("partial", f.Stream());
    std::fflush(f.Stream());
    ::_exit(0);  // no destructor runs: the temporary stays
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_EQ(listDir(dir).size(), 1u);
  const std::string foreign = "." + std::string("a.SRS") + ".1-0.vxtmp";  // pid 1 always runs
  spit(dir + "/" + foreign, "not ours");
  spit(dir + "/unrelated.vxtmp", "not a temporary of a.SRS");
  ASSERT_TRUE(writeText(target, "complete"));
  EXPECT_EQ(listDir(dir), (std::vector<std::string>{foreign, "a.SRS", "unrelated.vxtmp"}));
  EXPECT_EQ(slurp(target), "complete");
}

TEST(AtomicFile, BackupIsMadeOnceAndNeverReplaced) {
  const std::string dir = freshDir("backup");
  const std::string target = dir + "/L101.SRS";
  spit(target, "acquisition original");
  bool made = false;
  ASSERT_TRUE(ex_backup_once(target, &made));
  EXPECT_TRUE(made);
  EXPECT_EQ(ex_backup_path(target), target + ".orig");
  ASSERT_TRUE(writeText(target, "first edit"));
  ASSERT_TRUE(ex_backup_once(target, &made));
  EXPECT_FALSE(made);
  ASSERT_TRUE(writeText(target, "second edit"));
  EXPECT_EQ(slurp(target + ".orig"), "acquisition original");
  EXPECT_TRUE(ex_same_file(target, target));
  EXPECT_FALSE(ex_same_file(target, target + ".orig"));
}
