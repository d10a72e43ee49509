// Station item of the station map: GPS position (ddmm.mmmm), design
// position and, for the free-electrode layout, the electrodes and the
// channel-to-electrode labels of its device.
#pragma once

#include <vector>

#include "core/sip/sip_pub.h"
#include "gui/stations/item.h"

// Device name, channel label ("CH1".."CH6"), M and N electrode names; UTF-8,
// NUL-terminated.
struct ChPoleLabel {
  char dev_name[SIP_STR_LEN];
  char ch_label[SIP_STR_LEN];
  char m_name[SIP_STR_LEN];
  char n_name[SIP_STR_LEN];
};

class CItemGpsPos : public CItem {
  Q_OBJECT
public:
  explicit CItemGpsPos(QObject* parent = nullptr);
  CItemGpsPos(const QString& name, QObject* parent = nullptr);

  // Copies the name, the checked flag, the five numbers and both vectors.
  void copyValuesFrom(const CItemGpsPos& other);

  double m_lat = 0.0;
  double m_lon = 0.0;
  double m_alti = 0.0;
  double m_x = 0.0;
  double m_y = 0.0;
  std::vector<PrmPole> m_vt_pole;
  std::vector<ChPoleLabel> m_vt_pole_label;
};

// ddmm.mmmm to decimal degrees and back.
double gpsToDegrees(double ddmm);
double degreesToGps(double degrees);
