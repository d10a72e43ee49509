#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "cli_run.h"
#include "core/sip/format_srs.h"
#include "core/sip/stations.h"

TEST(CliStations, StationsInDegreesAndMetresFromTheReferencePoint) {
  const std::string dir = testing::TempDir() + "varnex_cli_stations";
  run_cmd("rm -rf " + quoted(dir));
  ASSERT_EQ(run_cmd(quoted(GEN_SURVEY_EXE) + " " + quoted(dir) + " --seed 4 --files 1 --devices 3 --cals 2").code, 0);
  const std::string srs_path = dir + "/L101_01.SRS";
  RunResult r = run_cmd(quoted(CLI_EXE) + " stations " + quoted(srs_path));
  ASSERT_EQ(r.code, 0) << r.err;

  CFormatSRS srs;
  ASSERT_TRUE(srs.Read(srs_path));
  const std::vector<StationRecord> want = BuildStations(srs);
  std::istringstream in(r.out);
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line.rfind("reference point: lon ", 0), 0u) << line;
  std::getline(in, line);
  EXPECT_EQ(line.rfind("station", 0), 0u) << line;
  double min_east = 1e9, min_north = 1e9;
  size_t n = 0;
  while (std::getline(in, line)) {
    ASSERT_LT(n, want.size());
    std::istringstream row(line);
    std::string name;
    int checked = -1;
    double lon = 0, lat = 0, alti = 0, east = 0, north = 0, x = 0, y = 0;
    row >> name >> checked >> lon >> lat >> alti >> east >> north >> x >> y;
    EXPECT_EQ(name, want[n].name);
    EXPECT_EQ(checked, want[n].checked ? 1 : 0) << name;
    EXPECT_NEAR(lon, GpsToDegrees(want[n].lon), 1e-8);
    EXPECT_NEAR(lat, GpsToDegrees(want[n].lat), 1e-8);
    EXPECT_NEAR(x, want[n].x, 0.005);
    if (checked) {
      min_east = std::min(min_east, east);
      min_north = std::min(min_north, north);
    }
    ++n;
  }
  EXPECT_EQ(n, want.size());
  EXPECT_EQ(want[1].name, "CS01");
  EXPECT_FALSE(want[1].checked);
  // One arc-second south-west of the south-west corner of the checked stations.
  EXPECT_NEAR(min_north, 30.9, 0.1);
  EXPECT_NEAR(min_east, 26.6, 0.2);

  r = run_cmd(quoted(CLI_EXE) + " stations /nonexistent/L1.SRS");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("/nonexistent/L1.SRS"), std::string::npos);
}
