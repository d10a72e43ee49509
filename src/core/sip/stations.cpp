#include "core/sip/stations.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

void CopyCut(char* dst, const std::string& text) {
  const size_t len = std::min(text.size(), size_t(SIP_STR_LEN - 1));
  std::memcpy(dst, text.data(), len);
  dst[len] = '\0';
}

std::string RecordStr(const char* buf) { return std::string(buf, strnlen(buf, SIP_STR_LEN)); }

}  // namespace

double GpsToDegrees(double ddmm) {
  const double d = std::trunc(ddmm / 100.0);
  return d + (ddmm - 100.0 * d) / 60.0;
}

double DegreesToGps(double degrees) {
  const double d = std::trunc(degrees);
  return 100.0 * d + (degrees - d) * 60.0;
}

std::string PoleNameAt(const std::vector<PrmPole>& poles, float x, float y) {
  for (const PrmPole& pole : poles)
    if (pole.x == x && pole.y == y) return RecordStr(pole.name);
  return std::string();
}

std::vector<ChPoleLabel> StationChannelLabels(const PrmDev& dev, const std::vector<PrmPole>& poles) {
  std::vector<ChPoleLabel> rows(MAX_CH_NUM);
  for (int ch = 0; ch < MAX_CH_NUM; ++ch) {
    ChPoleLabel& row = rows[size_t(ch)];
    CopyCut(row.dev_name, RecordStr(dev.dev_name));
    CopyCut(row.ch_label, "CH" + std::to_string(ch + 1));
    CopyCut(row.m_name, PoleNameAt(poles, dev.mx[ch], dev.my[ch]));
    CopyCut(row.n_name, PoleNameAt(poles, dev.nx[ch], dev.ny[ch]));
  }
  return rows;
}

bool StationDesignPos(const PrmDev& dev, double* x, double* y) {
  int first = -1, last = -1;
  for (int j = 0; j < MAX_CH_NUM; ++j) {
    if (dev.ch_type[j] == SIP_CH_INVALID) continue;
    if (first < 0) first = j;
    last = j;
  }
  if (first < 0) return false;
  const bool reversed = dev.site_no[first] > dev.site_no[last];
  *x = double(reversed ? dev.nx[first] : dev.mx[first]);
  *y = double(reversed ? dev.ny[first] : dev.my[first]);
  return true;
}

std::vector<StationRecord> BuildStations(const CFormatSRS& srs) {
  std::vector<StationRecord> out;
  const size_t n = srs.m_vt_prm_dev.size();
  for (size_t i = 0; i < n; ++i) {
    const PrmDev& dev = srs.m_vt_prm_dev[i];
    StationRecord st;
    if (!StationDesignPos(dev, &st.x, &st.y)) continue;
    st.name = RecordStr(dev.dev_name);
    if (srs.m_prm_meas.curr_station_used && std::strcmp(srs.m_prm_meas.cur_station, dev.dev_name) == 0)
      st.checked = false;
    st.lon = i < srs.m_gps_lon.size() ? srs.m_gps_lon[i] : 0.0;
    st.lat = i < srs.m_gps_lat.size() ? srs.m_gps_lat[i] : 0.0;
    st.alti = i < srs.m_gps_alti.size() ? double(srs.m_gps_alti[i]) : 0.0;
    if (srs.m_prm_meas.layout == SIP_ALL_GRADIENT) {
      st.poles = srs.m_vt_pole;
      st.labels = StationChannelLabels(dev, srs.m_vt_pole);
    }
    out.push_back(std::move(st));
  }
  return out;
}

void GpsReferencePoint(const std::vector<double>& lats, const std::vector<double>& lons, double* lat,
                       double* lon) {
  const size_t n = std::min(lats.size(), lons.size());
  for (size_t i = 0; i < n; ++i) {
    *lat = i == 0 ? lats[i] : std::min(*lat, lats[i]);
    *lon = i == 0 ? lons[i] : std::min(*lon, lons[i]);
  }
  *lat = DegreesToGps(GpsToDegrees(*lat) - GPS_ARC_SECOND_DEG);
  *lon = DegreesToGps(GpsToDegrees(*lon) - GPS_ARC_SECOND_DEG);
}

void GpsToRelative(double lat, double lon, double lat0, double lon0, double* east, double* north) {
  const double rad = 0.017453292519888888;
  const double phi1 = GpsToDegrees(lat) * rad, lambda1 = GpsToDegrees(lon) * rad;
  const double phi0 = GpsToDegrees(lat0) * rad, lambda0 = GpsToDegrees(lon0) * rad;
  double x = std::sin(phi0) * std::sin(phi1) + std::cos(phi0) * std::cos(phi1) * std::cos(lambda0 - lambda1);
  x = std::min(std::max(x, -1.0), 1.0);
  const double w = std::acos(x) * 6371004.0;
  if (w < 1.0) {
    if (phi1 >= phi0) {
      *east = w;
      *north = w * 4.8965888601467475e-12;
    } else {
      *east = -w;
      *north = w * -1.4689766580440242e-11;
    }
    return;
  }
  double s = std::cos(phi1) * std::sin(lambda1 - lambda0) / std::sqrt(1.0 - x * x);
  s = std::min(std::max(s, -1.0), 1.0);
  const double a = std::asin(s);
  *east = w * std::sin(a);
  *north = w * std::cos(a);
}

void StationAxisRange(double lo, double hi, double* from, double* to) {
  const double half = (hi - lo) / 2.0;
  const double centre = (lo + hi) / 2.0;
  const double width = half > 100.0 ? half * 1.05 : 105.0;
  *from = centre - width;
  *to = centre + width;
}

PrmPole FindPole(const std::string& name, const std::vector<PrmPole>& poles) {
  PrmPole out;
  CopyCut(out.name, name);
  out.x = out.y = 0.0f;
  const char* ws = " \t\n\v\f\r";
  for (const PrmPole& pole : poles) {
    const std::string s = RecordStr(pole.name);
    const size_t b = s.find_first_not_of(ws);
    const std::string t = b == std::string::npos ? std::string() : s.substr(b, s.find_last_not_of(ws) - b + 1);
    if (t == name) {
      out.x = pole.x;
      out.y = pole.y;
      break;
    }
  }
  return out;
}
