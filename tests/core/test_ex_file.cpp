#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/base/ex_file.h"
#include "core/base/ex_string.h"

namespace {

using FilePtr = std::unique_ptr<FILE, ExFileCloser>;

FilePtr memfile(const std::vector<unsigned char>& bytes) {
  FILE* fp = std::tmpfile();
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), fp);
  std::rewind(fp);
  return FilePtr(fp);
}

std::vector<unsigned char> contents(FILE* fp) {
  std::rewind(fp);
  std::vector<unsigned char> out;
  int c;
  while ((c = std::fgetc(fp)) != EOF) out.push_back((unsigned char)c);
  return out;
}

}  // namespace

TEST(ExFile, ValuesAreLittleEndianAtNaturalWidth) {
  FilePtr fp(std::tmpfile());
  ex_fwrite_u8(fp.get(), 0xAB);
  ex_fwrite_u16(fp.get(), 0x1234);
  ex_fwrite_i32(fp.get(), -2);
  ex_fwrite_u32(fp.get(), 0x01020304u);
  ex_fwrite_float(fp.get(), 1.0f);
  ex_fwrite_double(fp.get(), -2.0);
  const std::vector<unsigned char> expected = {0xAB, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF, 0x04, 0x03, 0x02, 0x01,
                                               0x00, 0x00, 0x80, 0x3F, 0, 0, 0, 0, 0, 0, 0x00, 0xC0};
  EXPECT_EQ(contents(fp.get()), expected);

  std::rewind(fp.get());
  EXPECT_EQ(ex_fread_u8(fp.get(), 0), 0xAB);
  EXPECT_EQ(ex_fread_u16(fp.get(), 0), 0x1234);
  EXPECT_EQ(ex_fread_i32(fp.get(), 0), -2);
  EXPECT_EQ(ex_fread_u32(fp.get(), 0), 0x01020304u);
  EXPECT_EQ(ex_fread_float(fp.get(), 0), 1.0f);
  EXPECT_EQ(ex_fread_double(fp.get(), 0), -2.0);
}

TEST(ExFile, ShortReadsGiveTheDefault) {
  FilePtr fp = memfile({0x01, 0x02});
  EXPECT_EQ(ex_fread_i32(fp.get(), 7), 7);
  FilePtr fp2 = memfile({0x01});
  EXPECT_EQ(ex_fread_double(fp2.get(), 2.5), 2.5);
  int32_t v = 99;
  FilePtr fp3 = memfile({0x01, 0x02, 0x03});
  EXPECT_FALSE(ex_fread_i32_ok(fp3.get(), &v));
  EXPECT_EQ(v, 99);
}

TEST(ExFile, EmptyStringIsFiveBytes) {
  FilePtr fp(std::tmpfile());
  EXPECT_EQ(ex_fwrite_str(fp.get(), ""), 5u);
  EXPECT_EQ(contents(fp.get()), (std::vector<unsigned char>{1, 0, 0, 0, 0}));
}

TEST(ExFile, StringRoundTripAndLimits) {
  char buf[EX_STR_BUF];
  {
    FilePtr fp(std::tmpfile());
    ex_fwrite_str(fp.get(), "ST01");
    std::rewind(fp.get());
    EXPECT_EQ(ex_fread_str(fp.get(), buf, EX_STR_BUF), 4 + 5);
    EXPECT_STREQ(buf, "ST01");
  }
  {
    FilePtr fp = memfile({0, 0, 0, 0});
    std::strcpy(buf, "junk");
    EXPECT_EQ(ex_fread_str(fp.get(), buf, EX_STR_BUF), 4);
    EXPECT_STREQ(buf, "");
  }
  {
    FilePtr fp = memfile({0x00, 0x01, 0x00, 0x00});  // count 256
    EXPECT_LT(ex_fread_str(fp.get(), buf, EX_STR_BUF), 0);
  }
  {
    FilePtr fp = memfile({0xFF, 0xFF, 0xFF, 0xFF});  // count -1
    EXPECT_LT(ex_fread_str(fp.get(), buf, EX_STR_BUF), 0);
  }
  {
    // Announces 10 bytes, holds 3 and no NUL: the buffer still ends.
    FilePtr fp = memfile({10, 0, 0, 0, 'a', 'b', 'c'});
    EXPECT_EQ(ex_fread_str(fp.get(), buf, EX_STR_BUF), 7);
    EXPECT_STREQ(buf, "abc");
  }
  {
    // Names longer than 254 bytes are cut so that they read back.
    std::string longName(300, 'x');
    FilePtr fp(std::tmpfile());
    EXPECT_EQ(ex_fwrite_str(fp.get(), longName.c_str()), 4u + 255u);
    std::rewind(fp.get());
    EXPECT_EQ(ex_fread_str(fp.get(), buf, EX_STR_BUF), 4 + 255);
    EXPECT_EQ(std::string(buf), std::string(254, 'x'));
  }
}

TEST(ExFile, SizeKeepsPositionAndRemainCountsToTheEnd) {
  FilePtr fp = memfile(std::vector<unsigned char>(100, 0));
  std::fseek(fp.get(), 30, SEEK_SET);
  EXPECT_EQ(ex_fsize(fp.get()), 100);
  EXPECT_EQ(std::ftell(fp.get()), 30);
  EXPECT_EQ(ex_fremain(fp.get()), 70);
  EXPECT_EQ(ex_file_size("/nonexistent/varnex/file"), 0);
}

TEST(ExFile, MkdirsCreatesEveryLevel) {
  std::string base = testing::TempDir() + "varnex_mkdirs_" + std::to_string(::getpid());
  std::string deep = base + "/a\\b/c";
  EXPECT_TRUE(ex_mkdirs(deep.c_str()));
  EXPECT_TRUE(ex_access((base + "/a/b/c").c_str()));
  std::system(("rm -rf '" + base + "'").c_str());
}

TEST(ExString, TimeTexts) {
  setenv("TZ", "UTC-8", 1);  // POSIX: eight hours east of UTC
  tzset();
  char buf[EX_TIME_STR_LEN];
  EXPECT_STREQ(ex_time_str(0, buf), "1970/01/01 08:00:00");
  EXPECT_STREQ(ex_time_str(0, nullptr), "1970/01/01 08:00:00");
  unsetenv("TZ");
  tzset();
  EXPECT_STREQ(ex_secs_str(59), "0h00m59s");
  EXPECT_STREQ(ex_secs_str(3725), "1h02m05s");
  EXPECT_EQ(ex_utf8_to_ansi("采集/ST01.SRS"), "采集/ST01.SRS");
}
