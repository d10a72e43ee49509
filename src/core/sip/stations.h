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
