#include "gui/stations/wdt_gps_pos.h"

CWdtGpsPos::CWdtGpsPos(QWidget* parent) : QWidget(parent) {}

CWdtGpsPos::~CWdtGpsPos() = default;

void CWdtGpsPos::setStationItems(QVector<CItem*>* items) { m_items = items; }

void CWdtGpsPos::refresh(bool) {}
