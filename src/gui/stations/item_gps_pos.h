// Station item of the station map: GPS position (ddmm.mmmm), design
// position and, for the free-electrode layout, the electrodes and the
// channel-to-electrode labels of its device.
#pragma once

#include <vector>

#include "core/sip/sip_pub.h"
#include "core/sip/stations.h"
#include "gui/stations/item.h"

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
