// GPS geometry of the station map: reference point, east/north distances,
// axis ranges and electrode look-up.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "core/sip/stations.h"

namespace {

const double kR = 6371004.0;
const double kRad = 0.017453292519888888;

PrmPole pole(const char* name, float x, float y) {
  PrmPole p;
  std::strcpy(p.name, name);
  p.x = x;
  p.y = y;
  return p;
}

}  // namespace

TEST(StationMapGeometry, ReferencePointIsOneArcSecondSouthWestOfTheCorner) {
  double lat = 0.0, lon = 0.0;
  // The corner mixes the latitude of one station with the longitude of the other.
  GpsReferencePoint({3030.5, 3031.0}, {11420.0, 11419.5}, &lat, &lon);
  EXPECT_NEAR(GpsToDegrees(lat), GpsToDegrees(3030.5) - 1.0 / 3600.0, 1e-12);
  EXPECT_NEAR(GpsToDegrees(lon), GpsToDegrees(11419.5) - 1.0 / 3600.0, 1e-12);

  // Without stations the previous point only moves again.
  const double before_lat = lat, before_lon = lon;
  GpsReferencePoint({}, {}, &lat, &lon);
  EXPECT_NEAR(GpsToDegrees(lat), GpsToDegrees(before_lat) - 1.0 / 3600.0, 1e-12);
  EXPECT_NEAR(GpsToDegrees(lon), GpsToDegrees(before_lon) - 1.0 / 3600.0, 1e-12);

  // Across a whole degree the minutes wrap: 30°00.0' minus one second is 29°59.9833'.
  GpsReferencePoint({3000.0}, {11400.0}, &lat, &lon);
  EXPECT_NEAR(lat, 2959.0 + 59.0 / 60.0, 1e-9);
}

TEST(StationMapGeometry, EastAndNorthDistancesOnTheSphere) {
  const double lat0 = DegreesToGps(30.5), lon0 = DegreesToGps(114.25);
  double east = 0.0, north = 0.0;

  // Due north by d metres.
  const double d = 100.0;
  GpsToRelative(DegreesToGps(30.5 + d / kR / kRad), lon0, lat0, lon0, &east, &north);
  EXPECT_NEAR(north, d, 1e-3);
  EXPECT_NEAR(east, 0.0, 1e-3);

  // One arc-second north and east: about 31 m north, 26.6 m east at 30.5°.
  GpsToRelative(DegreesToGps(30.5 + 1.0 / 3600.0), DegreesToGps(114.25 + 1.0 / 3600.0), lat0, lon0, &east, &north);
  EXPECT_NEAR(north, kR * kRad / 3600.0, 0.05);
  EXPECT_NEAR(east, kR * kRad / 3600.0 * std::cos(30.5 * kRad), 0.05);

  // West of the reference point the east distance is negative, north stays >= 0.
  GpsToRelative(DegreesToGps(30.501), DegreesToGps(114.24), lat0, lon0, &east, &north);
  EXPECT_LT(east, -900.0);
  EXPECT_GT(north, 100.0);

  // The point itself and points within rounding of it stay finite.
  for (double delta : {0.0, 1e-13, 1e-9}) {
    GpsToRelative(lat0 + delta, lon0 + delta, lat0, lon0, &east, &north);
    EXPECT_TRUE(std::isfinite(east) && std::isfinite(north)) << delta;
    EXPECT_LT(std::abs(east), 1.0);
  }
  // Under a metre south: on the negative east axis.
  GpsToRelative(DegreesToGps(30.5 - 0.5 / kR / kRad), lon0, lat0, lon0, &east, &north);
  EXPECT_NEAR(east, -0.5, 0.01);  // acos loses digits this close
  EXPECT_LE(north, 0.0);
}

TEST(StationMapGeometry, AxisRangesHaveAtLeast105MetresEachSide) {
  struct Case {
    double lo, hi, from, to;
  };
  const Case cases[] = {
      {-500.0, 500.0, -525.0, 525.0},
      {0.0, 100.0, -55.0, 155.0},
      {0.0, 200.0, -5.0, 205.0},       // half-extent 100 is not above 100
      {0.0, 202.0, 101.0 - 106.05, 101.0 + 106.05},
      {31.0, 31.0, 31.0 - 105.0, 31.0 + 105.0},
  };
  for (const Case& c : cases) {
    double from = 0.0, to = 0.0;
    StationAxisRange(c.lo, c.hi, &from, &to);
    EXPECT_NEAR(from, c.from, 1e-9) << c.lo << " " << c.hi;
    EXPECT_NEAR(to, c.to, 1e-9) << c.lo << " " << c.hi;
  }
}

TEST(StationMapGeometry, ElectrodesAreFoundByTrimmedName) {
  const std::vector<PrmPole> poles = {pole("P1", 1, 2), pole(" P2 \t", 3, 4), pole("P2", 5, 6), pole("", 7, 8)};
  struct Case {
    const char* name;
    float x, y;
  };
  const Case cases[] = {
      {"P1", 1, 2},
      {"P2", 3, 4},   // the stored name is trimmed, the first match wins
      {" P2", 0, 0},  // the name looked for is not
      {"P9", 0, 0},
      {"", 7, 8},
  };
  for (const Case& c : cases) {
    const PrmPole p = FindPole(c.name, poles);
    EXPECT_STREQ(p.name, c.name);
    EXPECT_EQ(p.x, c.x) << c.name;
    EXPECT_EQ(p.y, c.y) << c.name;
  }
  EXPECT_EQ(FindPole("P1", {}).x, 0.0f);
}
