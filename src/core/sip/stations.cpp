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
