// The platform layer: UTF-8 names with Chinese characters and blanks reach
// the system unchanged, file identity, and an atomic replace that the
// system refuses leaves the old file as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/base/atomic_file.h"
#include "core/base/ex_file.h"
#include "core/base/platform.h"
#include "test_files.h"
#ifdef _WIN32
#include <windows.h>
#endif

namespace {

std::string FreshDir(const std::string& name) {
  const std::string dir = testing::TempDir() + "varnex_platform_" + name + "_" + std::to_string(platform_pid());
  EXPECT_EQ(std::system(("rm -rf '" + dir + "'").c_str()), 0);
  return dir;
}

bool WriteText(const std::string& path, const std::string& text, std::string* why = nullptr) {
  return ex_write_atomic(
      path, [&](FILE* fp) { return std::fwrite(text.data(), 1, text.size(), fp) == text.size(); }, why);
}

}  // namespace

TEST(Platform, ChineseNamesWithBlanksAreCreatedListedAndReadBack) {
  const std::string dir = FreshDir("名字") + "/测线 数据/第 1 天";
  ASSERT_TRUE(ex_mkdirs(dir.c_str()));
  PlatformStat st;
  ASSERT_TRUE(platform_stat(dir, &st));
  EXPECT_TRUE(st.directory);
  const std::string file = dir + "/测线 一.SRS";
  ASSERT_TRUE(WriteText(file, "原始 bytes\n"));
  EXPECT_TRUE(ex_access(file.c_str()));
  EXPECT_EQ(Slurp(file), "原始 bytes\n");
  FILE* fp = ex_fopen(file.c_str(), "rb");
  ASSERT_NE(fp, nullptr);
  EXPECT_EQ(ex_fsize(fp), 11 + 2);  // two characters of three bytes, one blank
  std::fclose(fp);
  std::vector<std::string> names;
  ASSERT_TRUE(platform_list_dir(dir, &names));
  EXPECT_EQ(names, std::vector<std::string>{"测线 一.SRS"});
  EXPECT_TRUE(ex_same_file(file, dir + "/./测线 一.SRS"));
  ASSERT_TRUE(ex_backup_once(file));
  EXPECT_FALSE(ex_same_file(file, ex_backup_path(file)));
  EXPECT_EQ(Slurp(ex_backup_path(file)), "原始 bytes\n");
}

TEST(Platform, ARefusedReplaceKeepsTheOldFileAndLeavesNoTemporary) {
#ifndef _WIN32
  GTEST_SKIP() << "an open file blocks its replacement only on Windows";
#else
  const std::string dir = FreshDir("held") + "/数据 目录";
  ASSERT_TRUE(ex_mkdirs(dir.c_str()));
  const std::string file = dir + "/L101 测线.SRS";
  ASSERT_TRUE(WriteText(file, "the original bytes"));
  // Another program holds the file open without sharing it, as an editor
  // or a station's transfer program does.
  const int n = MultiByteToWideChar(CP_UTF8, 0, file.c_str(), -1, nullptr, 0);
  std::wstring wide(size_t(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, file.c_str(), -1, &wide[0], n);
  HANDLE held = CreateFileW(wide.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  std::string why;
  EXPECT_FALSE(WriteText(file, "new contents", &why));
  EXPECT_NE(why.find(file), std::string::npos) << why;
  CloseHandle(held);
  EXPECT_EQ(Slurp(file), "the original bytes");
  std::vector<std::string> names;
  ASSERT_TRUE(platform_list_dir(dir, &names));
  EXPECT_EQ(names, std::vector<std::string>{"L101 测线.SRS"});
#endif
}

TEST(Platform, LocalTimeAndTheCLocaleNumbers) {
  const struct tm lt = platform_localtime(0);
  EXPECT_GE(lt.tm_year, 69);
  EXPECT_LE(lt.tm_year, 70);
  char* end = nullptr;
  EXPECT_EQ(platform_strtod_c("5012.5x", &end), 5012.5);
  EXPECT_EQ(*end, 'x');
  PlatformCNumericScope c_numbers;
  char buf[32];
  std::snprintf(buf, sizeof(buf), "%.2f", 0.25);
  EXPECT_STREQ(buf, "0.25");
}
