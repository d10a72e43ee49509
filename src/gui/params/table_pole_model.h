// Free layout: the named electrodes, one row each: name, x, y in metres.
#pragma once

#include "gui/params/table_text_model.h"

class TablePoleModel : public TableTextModel {
  Q_OBJECT
public:
  explicit TablePoleModel(QObject* parent = nullptr);
};
