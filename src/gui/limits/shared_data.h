// The one application-wide object: through it the export page publishes its
// limit table, which the results page copies from at construction.
#pragma once

#include <QObject>

#include <vector>

#include "core/sip/limits.h"

class SharedData : public QObject {
  Q_OBJECT
public:
  // Created on first use, without parent; destroyed at program exit.
  static SharedData* instance();

  // Not owned; null until the export page publishes its table.
  void setLimitTable(std::vector<LimitItem>* vt_limit) { m_vt_limit = vt_limit; }
  std::vector<LimitItem>* limitTable() const { return m_vt_limit; }

private:
  SharedData() = default;

  std::vector<LimitItem>* m_vt_limit = nullptr;
};
