#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "core/base/clog.h"

namespace {

std::string g_captured;
void capture_write(const char* text) { g_captured += text; }
void capture_flush() {}

time_t g_fake_now = 0;
time_t fake_clock() { return g_fake_now; }

// The log directory is relative to the working directory: each test logs in
// a directory of its own so that parallel test processes do not meet.
void enter_private_dir(const char* name) {
  std::string dir = testing::TempDir() + name + std::to_string(::getpid());
  std::system(("mkdir -p '" + dir + "'").c_str());
  ASSERT_EQ(::chdir(dir.c_str()), 0);
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

}  // namespace

// One test drives the whole facility: its state is process-wide.
TEST(Clog, LineFormatSinksLevelsAndDailyFiles) {
  setenv("TZ", "UTC", 1);
  tzset();
  enter_private_dir("varnex_clog_daily_");
  clog_init(false);
  ASSERT_TRUE(clog_add_sink("capture", capture_write, capture_flush));

  g_fake_now = 1557147845;  // 2019-05-06 13:04:05 UTC
  clog_set_clock(fake_clock);
  g_captured.clear();
  CLOG_ERR("disk %d full", 3);
  ASSERT_GE(g_captured.size(), 30u);
  EXPECT_EQ(g_captured.substr(0, 21), "[2019/05/06 13:04:05.");
  EXPECT_EQ(g_captured.substr(24), "][E] disk 3 full\r\n");

  g_captured.clear();
  CLOG_WARN("w");
  EXPECT_NE(g_captured.find("][W] w\r\n"), std::string::npos);
  g_captured.clear();
  clog_print(true, __FILE__, __LINE__, __func__, 4, "never");
  EXPECT_TRUE(g_captured.empty());

  // Either side of midnight goes to the file named after its own date.
  g_fake_now = 1557187199;  // 2019-05-06 23:59:59
  CLOG_INFO("before midnight");
  g_fake_now = 1557187200;  // 2019-05-07 00:00:00
  CLOG_INFO("after midnight");
  clog_set_clock(nullptr);
  clog_deinit();

  std::string day1 = read_file("./log.d//2019-5-6.log");
  std::string day2 = read_file("./log.d//2019-5-7.log");
  EXPECT_NE(day1.find("disk 3 full\r\n"), std::string::npos);
  EXPECT_NE(day1.find("before midnight\r\n"), std::string::npos);
  EXPECT_EQ(day1.find("after midnight"), std::string::npos);
  EXPECT_NE(day2.find("[2019/05/07 00:00:00."), std::string::npos);
  EXPECT_NE(day2.find("after midnight\r\n"), std::string::npos);
  std::system("rm -rf ./log.d");
  unsetenv("TZ");
  tzset();
}

TEST(Clog, ConsoleSinkEndsLinesWithCrLf) {
  enter_private_dir("varnex_clog_console_");
  testing::internal::CaptureStdout();
  clog_init(true);
  CLOG_INFO("hello %s", "console");
  clog_deinit();
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("    hello console\r\n"), std::string::npos);
  std::system("rm -rf ./log.d");
}
