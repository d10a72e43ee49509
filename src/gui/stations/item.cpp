#include "gui/stations/item.h"

CItem::CItem(QObject* parent) : QObject(parent) {}

CItem::CItem(const QString& name, QObject* parent) : QObject(parent), m_name(name) {}

CItem::~CItem() = default;
