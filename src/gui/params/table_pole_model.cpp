#include "gui/params/table_pole_model.h"

TablePoleModel::TablePoleModel(QObject* parent) : TableTextModel({tr("电极"), tr("X(m)"), tr("Y(m)")}, parent) {}
