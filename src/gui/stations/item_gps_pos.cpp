#include "gui/stations/item_gps_pos.h"

CItemGpsPos::CItemGpsPos(QObject* parent) : CItem(parent) {}

CItemGpsPos::CItemGpsPos(const QString& name, QObject* parent) : CItem(name, parent) {}

void CItemGpsPos::copyValuesFrom(const CItemGpsPos& other) {
  m_name = other.m_name;
  m_checked = other.m_checked;
  m_lat = other.m_lat;
  m_lon = other.m_lon;
  m_alti = other.m_alti;
  m_x = other.m_x;
  m_y = other.m_y;
  m_vt_pole = other.m_vt_pole;
  m_vt_pole_label = other.m_vt_pole_label;
}
