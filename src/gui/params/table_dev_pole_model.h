// Free layout: which electrodes each device channel uses, one row per
// channel: device, channel label, M electrode, N electrode.
#pragma once

#include "gui/params/table_text_model.h"

class TableDevPoleModel : public TableTextModel {
  Q_OBJECT
public:
  explicit TableDevPoleModel(QObject* parent = nullptr);
};
