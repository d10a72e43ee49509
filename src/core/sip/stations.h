// Where the stations of one SRS file stood: GPS positions in ddmm.mmmm and
// decimal degrees, design positions from the electrode coordinates, and the
// named electrodes of the free layout. The station map and the main window
// show what these functions compute.
#pragma once

#include <string>
#include <vector>

#include "core/sip/format_srs.h"
#include "core/sip/sip_pub.h"

// ddmm.mmmm (degrees x 100 + minutes) to decimal degrees and back.
double GpsToDegrees(double ddmm);
double DegreesToGps(double degrees);

// Name of the first electrode of poles at exactly (x, y); empty when none.
std::string PoleNameAt(const std::vector<PrmPole>& poles, float x, float y);

// Device name, channel label ("CH1".."CH6"), M and N electrode names; UTF-8,
// NUL-terminated, each cut to 255 bytes.
struct ChPoleLabel {
  char dev_name[SIP_STR_LEN];
  char ch_label[SIP_STR_LEN];
  char m_name[SIP_STR_LEN];
  char n_name[SIP_STR_LEN];
};

// The six label rows of one device, electrode names looked up in poles.
std::vector<ChPoleLabel> StationChannelLabels(const PrmDev& dev, const std::vector<PrmPole>& poles);

// One station of the map.
struct StationRecord {
  std::string name;  // device name, UTF-8
  bool checked = true;
  double lat = 0.0, lon = 0.0, alti = 0.0;  // ddmm.mmmm, ddmm.mmmm, metres
  double x = 0.0, y = 0.0;                  // design position, metres
  std::vector<PrmPole> poles;               // free layout only
  std::vector<ChPoleLabel> labels;          // free layout only
};

// Design position of a device: M of its first active channel, or N of it
// when the device is reversed (first active site above the last). False for
// a device without an active channel.
bool StationDesignPos(const PrmDev& dev, double* x, double* y);

// One record per device with an active channel, in device order. The
// current station starts unchecked when the file used one.
std::vector<StationRecord> BuildStations(const CFormatSRS& srs);

// The station map's GPS geometry. Angles are ddmm.mmmm unless named degrees.

// One arc-second, in degrees: the reference point of the map lies that far
// south and west of the south-west corner of the stations it shows.
constexpr double GPS_ARC_SECOND_DEG = 0.0002777777777777778;

// Reference point of the checked stations (lats[i], lons[i]): the smallest
// latitude and the smallest longitude, both moved one arc-second south and
// west. Without stations, *lat and *lon are only moved.
void GpsReferencePoint(const std::vector<double>& lats, const std::vector<double>& lons, double* lat,
                       double* lon);

// East and north distances (metres) of (lat, lon) from (lat0, lon0) on a
// sphere of radius 6371004 m, along the great circle. Points closer than one
// metre lie (almost) on the east axis. Rounding that would take the cosine
// of the distance out of [-1, 1] is clamped, so the result is always finite
// for finite angles.
void GpsToRelative(double lat, double lon, double lat0, double lon0, double* east, double* north);

// Axis range of the station map for data from lo to hi: centred on them,
// half-width 1.05 times half the extent when that exceeds 100 m, else 105 m.
void StationAxisRange(double lo, double hi, double* from, double* to);

// The electrode called name (UTF-8): the first of poles whose name, trimmed
// of surrounding white space, equals name exactly gives its position; the
// record carries name and (0, 0) when no electrode matches.
PrmPole FindPole(const std::string& name, const std::vector<PrmPole>& poles);
