#include <gtest/gtest.h>

#include <dirent.h>
#include <cerrno>
#include <memory>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "core/base/atomic_file.h"
#include "core/base/ex_file.h"
#include "core/base/platform.h"
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

namespace {

// The sync seam: records what the temporary held on the disk's side when it
// was synced, or fails the sync.
struct SyncProbe {
  static int calls;
  static long size_at_sync;
  static bool fail;
  static int Sync(int fd) {
    ++calls;
    struct stat st;
    size_at_sync = ::fstat(fd, &st) == 0 ? long(st.st_size) : -1;
    if (fail) {
      errno = EIO;
      return -1;
    }
    return 0;
  }
};
int SyncProbe::calls = 0;
long SyncProbe::size_at_sync = -1;
bool SyncProbe::fail = false;

struct SyncSeam {
  SyncSeam() {
    SyncProbe::calls = 0;
    SyncProbe::size_at_sync = -1;
    SyncProbe::fail = false;
    AtomicFileSetSync(SyncProbe::Sync);
  }
  ~SyncSeam() { AtomicFileSetSync(nullptr); }
};

}  // namespace

// The data must reach the disk before the rename makes them the target:
// flushed first (the synced file holds every byte), then synced, once.
TEST(AtomicFile, CommitFlushesThenSyncsBeforeTheRename) {
  const std::string dir = freshDir("sync");
  const std::string path = dir + "/t.dat";
  spit(path, "old");
  SyncSeam seam;
  const std::string text(100000, 'x');
  ASSERT_TRUE(writeText(path, text));
  EXPECT_EQ(SyncProbe::calls, 1);
  EXPECT_EQ(SyncProbe::size_at_sync, long(text.size()));
  EXPECT_EQ(slurp(path), text);

  SyncProbe::fail = true;
  std::string why;
  EXPECT_FALSE(ex_write_atomic(path, [](FILE* fp) { return std::fputs("new", fp) >= 0; }, &why));
  EXPECT_EQ(SyncProbe::calls, 2);
  EXPECT_NE(why.find("Input/output error"), std::string::npos) << why;
  EXPECT_EQ(slurp(path), text);
  EXPECT_EQ(listDir(dir), std::vector<std::string>{"t.dat"});
}

// Every name the folder takes can be written, however little room it leaves
// for the temporary's additions; the temporaries stay within the limit.
TEST(AtomicFile, LongNamesGetShortTemporaries) {
  const std::string dir = freshDir("long");
  const long name_max = long(platform_name_max(dir));
  ASSERT_GT(name_max, 0);
  for (size_t len : {size_t(200), size_t(240), size_t(250), size_t(name_max)}) {
    SCOPED_TRACE(len);
    const std::string name = std::string(len - 4, 'n') + ".SRS";
    const std::string path = dir + "/" + name;
    ASSERT_TRUE(writeText(path, "first"));
    ASSERT_TRUE(writeText(path, "second"));
    EXPECT_EQ(slurp(path), "second");
    EXPECT_LE(AtomicFileTempName(name, 2147483647L, 4294967295u, size_t(name_max)).size(), size_t(name_max));
    platform_remove(path);
  }
  // Names differing only past the cut get different temporaries.
  const std::string a = std::string(250, 'a') + "1", b = std::string(250, 'a') + "2";
  EXPECT_NE(AtomicFileTempName(a, 1, 0, 255), AtomicFileTempName(b, 1, 0, 255));
  // UTF-8 characters are never cut in half.
  std::string cjk;
  for (int i = 0; i < 84; ++i) cjk += "\xE6\xB5\x8B";  // 252 bytes
  const std::string t = AtomicFileTempName(cjk, 1, 0, 255);
  const size_t tilde = t.find('~');
  ASSERT_NE(tilde, std::string::npos);
  EXPECT_EQ((tilde - 1) % 3, 0u) << t;
  EXPECT_TRUE(listDir(dir).empty());
}

// A FIFO target nothing reads is refused at once instead of holding the
// run; the backup of a FIFO reads nothing.
TEST(AtomicFile, FifoWithoutReaderIsRefusedAndNeverBackedUp) {
  SKIP_ON_WINDOWS("no FIFOs in the file system");
  const std::string dir = freshDir("fifo");
  const std::string fifo = dir + "/p.SRS";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string why;
  EXPECT_FALSE(ex_write_atomic(fifo, [](FILE* fp) { return std::fputs("x", fp) >= 0; }, &why));
  EXPECT_NE(why.find("is a FIFO that nothing reads"), std::string::npos) << why;
  bool made = true;
  EXPECT_TRUE(ex_backup_once(fifo, &made, &why));
  EXPECT_FALSE(made);
  EXPECT_EQ(::access((fifo + ".orig").c_str(), F_OK), -1);
}

// Reading opens regular files only: a FIFO without a writer would block the
// open, a device would never end.
TEST(ExFile, ReadersOpenRegularFilesOnly) {
  SKIP_ON_WINDOWS("no FIFOs in the file system and no /dev/zero");
  const std::string dir = freshDir("kinds");
  const std::string fifo = dir + "/p";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  spit(dir + "/f", "data");
  struct Case {
    std::string path;
    const char* reason;
  };
  for (const Case& c : {Case{fifo, "not a regular file (a FIFO)"}, Case{"/dev/zero", "not a regular file (a device)"},
                        Case{dir, "not a regular file (a folder)"}}) {
    std::string why;
    EXPECT_EQ(ex_fopen_regular(c.path, &why), nullptr) << c.path;
    EXPECT_EQ(why, c.reason);
    EXPECT_EQ(ex_fopen(c.path.c_str(), "rb"), nullptr) << c.path;
    EXPECT_FALSE(ex_readable_kind(c.path, &why));
  }
  std::unique_ptr<FILE, ExFileCloser> fp(ex_fopen_regular(dir + "/f"));
  ASSERT_TRUE(fp);
  char buf[8] = {};
  EXPECT_EQ(std::fread(buf, 1, sizeof(buf), fp.get()), 4u);
}

// One identity per file, whatever path names it; a file not created yet is
// its folder and name.
TEST(ExFile, FileIndexKnowsAFileByAnyOfItsNames) {
  SKIP_ON_WINDOWS("symbolic links need rights ordinary users lack");
  const std::string dir = freshDir("index");
  spit(dir + "/a.SRS", "a");
  ASSERT_EQ(::symlink((dir + "/a.SRS").c_str(), (dir + "/link.SRS").c_str()), 0);
  ExFileIndex index;
  EXPECT_EQ(index.Add(dir + "/a.SRS", "first"), nullptr);
  ASSERT_NE(index.Add(dir + "/./link.SRS", "second"), nullptr);
  EXPECT_EQ(*index.Find(dir + "/link.SRS"), "first");
  EXPECT_EQ(index.Add(dir + "/new.SRS", "new"), nullptr);
  ASSERT_NE(index.Find(dir + "/../" + dir.substr(dir.find_last_of('/') + 1) + "/new.SRS"), nullptr);
  EXPECT_EQ(index.Find(dir + "/other.SRS"), nullptr);
}
