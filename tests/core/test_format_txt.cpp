#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "core/sip/format_txt.h"

namespace {

std::string WriteTemp(const std::string& name, const std::string& text) {
  std::string path = testing::TempDir() + "varnex_txt_" + name;
  FILE* fp = std::fopen(path.c_str(), "wb");
  std::fwrite(text.data(), 1, text.size(), fp);
  std::fclose(fp);
  return path;
}

template <typename T>
bool ReadText(T* table, const std::string& text) {
  std::istringstream in(text);
  return table->ReadFile(in);
}

}  // namespace

TEST(FormatTxt, TokensAreMaximalRunsOfNonDelimiters) {
  struct Case {
    const char* line;
    std::vector<std::string> tokens;
  } cases[] = {
      {"", {}},
      {" \t  ", {}},
      {"a", {"a"}},
      {"S12 3 100.0 5012.5 2301.7", {"S12", "3", "100.0", "5012.5", "2301.7"}},
      {"\t a  \t\tb   c\t", {"a", "b", "c"}},
      {"x,y", {"x,y"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CFormatTxt::Tokenize(c.line, " \t"), c.tokens) << '"' << c.line << '"';
  }
  EXPECT_EQ(CFormatTxt::Tokenize(",,a,,b,", ","), (std::vector<std::string>{"a", "b"}));
}

TEST(FormatTxt, NumbersFollowAtoiAndAtof) {
  EXPECT_EQ(CFormatTxt::ToInt("3"), 3);
  EXPECT_EQ(CFormatTxt::ToInt("3.9"), 3);
  EXPECT_EQ(CFormatTxt::ToInt("-12abc"), -12);
  EXPECT_EQ(CFormatTxt::ToInt("abc"), 0);
  EXPECT_EQ(CFormatTxt::ToDouble("5012.5"), 5012.5);
  EXPECT_EQ(CFormatTxt::ToDouble("-1e3x"), -1000.0);
  EXPECT_EQ(CFormatTxt::ToDouble("1,5"), 1.0);
  EXPECT_EQ(CFormatTxt::ToDouble("n/a"), 0.0);
}

TEST(FormatTxt, LinesEndInLfOrCrLf) {
  std::istringstream in("a\r\nb\n\r\nc\r\rd");
  std::string line;
  std::vector<std::string> lines;
  while (CFormatTxt::GetLine(in, &line)) lines.push_back(line);
  EXPECT_EQ(lines, (std::vector<std::string>{"a", "b", "", "c\r\rd"}));
}

TEST(FormatTxtSiteCoord, FindWithinTolerance) {
  CFormatTxtSiteCoord t;
  EXPECT_STREQ(t.GetExt(), "txt");
  ASSERT_TRUE(ReadText(&t, "name line pos x y\nS12 3 100.0 5012.5 2301.7\n"));
  ASSERT_EQ(t.m_vt_item.size(), 1u);
  EXPECT_EQ(t.m_vt_item[0].name, "S12");
  EXPECT_EQ(t.m_vt_item[0].line_no, 3);
  EXPECT_EQ(t.m_vt_item[0].pos, 100.0);
  EXPECT_EQ(t.m_vt_item[0].x, 5012.5);
  EXPECT_EQ(t.m_vt_item[0].y, 2301.7);

  CFormatTxtSiteCoord::Item out;
  EXPECT_TRUE(t.Find(3, 100.04, 0.05, &out));
  EXPECT_EQ(out.name, "S12");
  EXPECT_EQ(out.x, 5012.5);

  out.name = "junk";
  out.x = out.y = 9.0;
  EXPECT_FALSE(t.Find(3, 100.06, 0.05, &out));
  EXPECT_EQ(out.name, "");
  EXPECT_EQ(out.line_no, 3);
  EXPECT_EQ(out.pos, 100.06);
  EXPECT_EQ(out.x, 0.0);
  EXPECT_EQ(out.y, 0.0);

  EXPECT_FALSE(t.Find(4, 100.0, 0.05, &out));
  EXPECT_EQ(out.line_no, 4);
  EXPECT_TRUE(t.Find(3, 99.96, 0.05, &out));
}

TEST(FormatTxtSiteCoord, FirstMatchInFileOrderAndLooseSpacing) {
  CFormatTxtSiteCoord t;
  ASSERT_TRUE(ReadText(&t,
                       "header with any text\r\n"
                       "\tA1  3\t100.02   1 2\r\n"
                       "A2 3 99.99 3 4\r\n"
                       "A3 3.9 abc 5 6"));
  ASSERT_EQ(t.m_vt_item.size(), 3u);
  CFormatTxtSiteCoord::Item out;
  ASSERT_TRUE(t.Find(3, 100.0, 0.05, &out));
  EXPECT_EQ(out.name, "A1");
  ASSERT_TRUE(t.Find(3, 99.98, 0.015, &out));
  EXPECT_EQ(out.name, "A2");
  // atoi and atof: "3.9" is line 3, "abc" is position 0.
  EXPECT_EQ(t.m_vt_item[2].line_no, 3);
  EXPECT_EQ(t.m_vt_item[2].pos, 0.0);
}

TEST(FormatTxtSiteCoord, WrongTokenCountFailsAndKeepsTheTableAsItWas) {
  const char* bad_lines[] = {"S2 3 100 1", "S2 3 100 1 2 3", "", "   "};
  for (const char* bad : bad_lines) {
    CFormatTxtSiteCoord t;
    ASSERT_TRUE(ReadText(&t, "h\nS0 1 0 0 0\n"));
    EXPECT_FALSE(ReadText(&t, std::string("h\nS1 3 100 1 2\n") + bad + "\nS3 3 140 5 6\n")) << '"' << bad << '"';
    ASSERT_EQ(t.m_vt_item.size(), 1u);
    EXPECT_EQ(t.m_vt_item[0].name, "S0");
    EXPECT_EQ(t.GetError().rfind("line 3: ", 0), 0u) << t.GetError();
  }
  CFormatTxtSiteCoord empty;
  EXPECT_TRUE(ReadText(&empty, ""));
  EXPECT_TRUE(ReadText(&empty, "only a header\n"));
  EXPECT_TRUE(empty.m_vt_item.empty());
}

TEST(FormatTxtSiteCoord, ReadByPathReplacesOrKeeps) {
  CFormatTxtSiteCoord t;
  std::string path = WriteTemp("site.txt", "h\nS1 3 100 1 2\nS2 3 120 3 4\n");
  ASSERT_TRUE(t.Read(path));
  EXPECT_EQ(t.GetPath(), path);
  EXPECT_EQ(t.m_vt_item.size(), 2u);

  EXPECT_FALSE(t.Read(testing::TempDir() + "varnex_txt_missing/none.txt"));
  EXPECT_EQ(t.GetPath(), path);
  EXPECT_EQ(t.m_vt_item.size(), 2u);

  std::string path2 = WriteTemp("site2.txt", "h\nS9 1 0 0 0\n");
  ASSERT_TRUE(t.Read(path2));
  ASSERT_EQ(t.m_vt_item.size(), 1u);
  EXPECT_EQ(t.m_vt_item[0].name, "S9");
}

TEST(FormatTxtElev, BlankLineInTheMiddleFails) {
  CFormatTxtElev t;
  EXPECT_FALSE(ReadText(&t, "0 0 10\n10 0 20\n\n20 0 30\n"));
  EXPECT_TRUE(t.m_vt_item.empty());
  EXPECT_EQ(t.GetError(), "line 3: 0 fields, 3 expected");

  ASSERT_TRUE(ReadText(&t, "0 0 10\r\n10\t0   20\r\n"));
  EXPECT_EQ(t.m_vt_item.size(), 2u);
  EXPECT_FALSE(ReadText(&t, "0 0 10\n1 2\n"));
  EXPECT_EQ(t.m_vt_item.size(), 2u);
  EXPECT_EQ(t.m_vt_item[1].z, 20.0);
}

TEST(FormatTxtElev, NearestByCityBlockDistanceFirstWinsTies) {
  CFormatTxtElev t;
  EXPECT_EQ(t.GetElev(1.0, 2.0), 0.0f);
  ASSERT_TRUE(ReadText(&t, "0 0 10\n10 0 20\n"));
  EXPECT_EQ(t.GetElev(5, 0), 10.0f);
  EXPECT_EQ(t.GetElev(5.01, 0), 20.0f);
  EXPECT_EQ(t.GetElev(-100, 50), 10.0f);
  EXPECT_EQ(t.GetElev(9, -3), 20.0f);

  // Distances equal in single precision are a tie even when the doubles differ.
  ASSERT_TRUE(ReadText(&t, "0 0 1\n1e-9 0 2\n"));
  EXPECT_EQ(t.GetElev(100000.0, 0), 1.0f);
  ASSERT_TRUE(ReadText(&t, "1e-9 0 2\n0 0 1\n"));
  EXPECT_EQ(t.GetElev(100000.0, 0), 2.0f);
}

TEST(FormatTxtElev, ByteOrderMarkIsNotPartOfTheFirstNumber) {
  CFormatTxtElev t;
  ASSERT_TRUE(ReadText(&t, "\xEF\xBB\xBF" "500000.5 3000000 12.5\n"));
  ASSERT_EQ(t.m_vt_item.size(), 1u);
  EXPECT_EQ(t.m_vt_item[0].x, 500000.5);
}

TEST(FormatTxtShifting, FieldsAreCleanedAndParsed) {
  CFormatTxtShifting t;
  ASSERT_TRUE(ReadText(&t,
                       "name,pole,dx,dy\r\n"
                       " A 1 ,B,0.5,-1.25\r\n"
                       "P3,7,1,2\r\n"
                       "X 9,\t A ,  3 , 4 \n"
                       "Q,abc,x,1.5abc\n"
                       "R,,,\n"
                       "S, 12x ,+2,1e1\n"
                       "T\t1,-4,inf,0x10\n"));
  ASSERT_EQ(t.m_vt_item.size(), 7u);
  const auto& it = t.m_vt_item;

  EXPECT_EQ(it[0].name, "A1");
  EXPECT_TRUE(it[0].is_b);
  EXPECT_FALSE(it[0].is_a);
  EXPECT_EQ(it[0].pole_no, 0);
  EXPECT_EQ(it[0].dx, 0.5);
  EXPECT_EQ(it[0].dy, -1.25);

  EXPECT_EQ(it[1].name, "P3");
  EXPECT_EQ(it[1].pole_no, 7);
  EXPECT_FALSE(it[1].is_a || it[1].is_b);
  EXPECT_EQ(it[1].dx, 1.0);
  EXPECT_EQ(it[1].dy, 2.0);

  EXPECT_EQ(it[2].name, "X9");
  EXPECT_TRUE(it[2].is_a);
  EXPECT_EQ(it[2].dx, 3.0);
  EXPECT_EQ(it[2].dy, 4.0);

  EXPECT_EQ(it[3].pole_no, 0);
  EXPECT_EQ(it[3].dx, 0.0);
  EXPECT_EQ(it[3].dy, 0.0);

  EXPECT_EQ(it[4].name, "R");
  EXPECT_EQ(it[4].pole_no, 0);

  EXPECT_EQ(it[5].pole_no, 0);
  EXPECT_EQ(it[5].dx, 2.0);
  EXPECT_EQ(it[5].dy, 10.0);

  EXPECT_EQ(it[6].name, "T\t1");
  EXPECT_EQ(it[6].pole_no, -4);
  EXPECT_EQ(it[6].dx, 0.0);
  EXPECT_EQ(it[6].dy, 0.0);

  t.Clear();
  EXPECT_TRUE(t.m_vt_item.empty());
}

TEST(FormatTxtShifting, WrongFieldCountFails) {
  const char* bad_lines[] = {"A,1,2,3,4,5", "A,1,2,3,,,", "A,1,2", "", "A,1,2,3,"};
  for (const char* bad : bad_lines) {
    CFormatTxtShifting t;
    EXPECT_FALSE(ReadText(&t, std::string("h\nP1,1,0,0\n") + bad + "\nP2,2,0,0\n")) << '"' << bad << '"';
    EXPECT_TRUE(t.m_vt_item.empty());
    EXPECT_EQ(t.GetError().rfind("line 3: ", 0), 0u) << t.GetError();
  }
}

TEST(FormatTxtCoord, AzimuthInRadiansAndPrefixFind) {
  CFormatTxtCoord t;
  ASSERT_TRUE(ReadText(&t, "h\nL1 100.0 10 20 90\nL12 100.005 30 40 180\nL1 200 50 60 0\n"));
  ASSERT_EQ(t.m_vt_item.size(), 3u);
  EXPECT_EQ(t.m_vt_item[0].pos, 100.0f);
  EXPECT_NEAR(t.m_vt_item[0].azimuth, M_PI / 2, 1e-6);
  EXPECT_NEAR(t.m_vt_item[1].azimuth, M_PI, 1e-6);

  CFormatTxtCoord::Item out;
  ASSERT_TRUE(t.Find("L12_ST01", 100.0f, &out));
  EXPECT_EQ(out.name, "L1");  // first record whose name starts the text
  ASSERT_TRUE(t.Find("L12_ST01", 100.011f, &out));
  EXPECT_EQ(out.name, "L12");
  ASSERT_TRUE(t.Find("L1", 200.0f, &out));
  EXPECT_EQ(out.x, 50.0);
  EXPECT_FALSE(t.Find("X1", 100.0f, &out));
  EXPECT_FALSE(t.Find("L", 100.0f, &out));
  EXPECT_FALSE(t.Find("L1", 100.02f, &out));

  const size_t before = t.m_vt_item.size();
  EXPECT_FALSE(ReadText(&t, "h\nL1 100 10 20\n"));
  EXPECT_EQ(t.m_vt_item.size(), before);
  EXPECT_EQ(t.GetError(), "line 2: 4 fields, 5 expected");
}

TEST(FormatTxt, WrittenTablesReadBackTheSameValues) {
  CFormatTxtSiteCoord site;
  site.m_vt_item = {{"S12", 3, 100.0, 5012.5, 2301.7}, {"S13", -1, 0.1, 1e-7, 3.0e6 + 1.0 / 3}};
  std::string p1 = testing::TempDir() + "varnex_txt_w_site.txt";
  ASSERT_TRUE(site.Write(p1));
  CFormatTxtSiteCoord site2;
  ASSERT_TRUE(site2.Read(p1));
  ASSERT_EQ(site2.m_vt_item.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(site2.m_vt_item[i].name, site.m_vt_item[i].name);
    EXPECT_EQ(site2.m_vt_item[i].line_no, site.m_vt_item[i].line_no);
    EXPECT_EQ(site2.m_vt_item[i].pos, site.m_vt_item[i].pos);
    EXPECT_EQ(site2.m_vt_item[i].x, site.m_vt_item[i].x);
    EXPECT_EQ(site2.m_vt_item[i].y, site.m_vt_item[i].y);
  }

  CFormatTxtElev elev;
  elev.m_vt_item = {{0.1, 0.2, 0.3}, {-5, 1e10, 123.456}};
  std::string p2 = testing::TempDir() + "varnex_txt_w_elev.txt";
  ASSERT_TRUE(elev.Write(p2));
  CFormatTxtElev elev2;
  ASSERT_TRUE(elev2.Read(p2));
  ASSERT_EQ(elev2.m_vt_item.size(), 2u);
  EXPECT_EQ(elev2.m_vt_item[0].x, 0.1);
  EXPECT_EQ(elev2.m_vt_item[1].y, 1e10);
  EXPECT_EQ(elev2.m_vt_item[1].z, 123.456);

  CFormatTxtShifting shift;
  shift.m_vt_item = {{"A1", 0.5, -1.25, 0, false, true}, {"P3", 0.1, 2, 7, false, false}, {"Z", 0, 0, 0, true, false}};
  std::string p3 = testing::TempDir() + "varnex_txt_w_shift.csv";
  ASSERT_TRUE(shift.Write(p3));
  CFormatTxtShifting shift2;
  ASSERT_TRUE(shift2.Read(p3));
  ASSERT_EQ(shift2.m_vt_item.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    const auto& a = shift.m_vt_item[i];
    const auto& b = shift2.m_vt_item[i];
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.dx, b.dx);
    EXPECT_EQ(a.dy, b.dy);
    EXPECT_EQ(a.pole_no, b.pole_no);
    EXPECT_EQ(a.is_a, b.is_a);
    EXPECT_EQ(a.is_b, b.is_b);
  }

  // A name the format cannot carry is refused instead of written broken.
  CFormatTxtShifting broken;
  broken.m_vt_item = {{"A,1", 0, 0, 0, false, false}};
  EXPECT_FALSE(broken.Write(testing::TempDir() + "varnex_txt_w_broken.csv"));
  CFormatTxtSiteCoord broken_site;
  broken_site.m_vt_item = {{"S 1", 1, 0, 0, 0}};
  EXPECT_FALSE(broken_site.Write(testing::TempDir() + "varnex_txt_w_broken.txt"));

  CFormatTxtCoord coord;
  coord.m_vt_item = {{"L1", 100.5f, 10, 20, M_PI / 4}};
  std::string p4 = testing::TempDir() + "varnex_txt_w_coord.txt";
  ASSERT_TRUE(coord.Write(p4));
  CFormatTxtCoord coord2;
  ASSERT_TRUE(coord2.Read(p4));
  ASSERT_EQ(coord2.m_vt_item.size(), 1u);
  EXPECT_EQ(coord2.m_vt_item[0].pos, 100.5f);
  EXPECT_NEAR(coord2.m_vt_item[0].azimuth, M_PI / 4, 1e-6);
}

// The reason carries what an interface needs to word it in its own language;
// the English line stays the same text.
TEST(FormatTxt, FailureReasonIsACodeWithItsArguments) {
  struct Case {
    std::string text;
    ReasonCode code;
    long line, count, expected;
  };
  const Case cases[] = {
      {"h\nP1,1,0,0\nP2,2,0\n", ReasonCode::FieldCount, 3, 3, 4},
      {"h\nP1,1,0,0\nP2,2,0,0,\n", ReasonCode::FieldCount, 3, 5, 4},
      {std::string("h\nP1,1,0,0\nP2,2,\0,0\n", 20), ReasonCode::NulByte, 3, 0, 0},
  };
  for (const Case& c : cases) {
    CFormatTxtShifting t;
    const std::string path = WriteTemp("reason.csv", c.text);
    EXPECT_FALSE(t.Read(path));
    const Reason& r = t.GetReason();
    EXPECT_EQ(r.code, c.code) << t.GetError();
    EXPECT_EQ(r.line, c.line);
    EXPECT_EQ(r.count, c.count);
    EXPECT_EQ(r.other_count, c.expected);
    EXPECT_EQ(r.file, path);
    EXPECT_EQ(r.text, t.GetError());
  }
  CFormatTxtElev t;
  EXPECT_FALSE(t.Read(testing::TempDir() + "varnex_txt_missing/none.txt"));
  EXPECT_EQ(t.GetReason().code, ReasonCode::CannotOpen);
  EXPECT_EQ(t.GetReason().sys_error, ENOENT);
  ASSERT_TRUE(t.Read(WriteTemp("reason.txt", "0 0 1\n")));
  EXPECT_TRUE(t.GetReason().empty());
  EXPECT_TRUE(t.GetError().empty());
}
