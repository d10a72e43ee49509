#include "gui/params/table_dev_pole_model.h"

TableDevPoleModel::TableDevPoleModel(QObject* parent)
    : TableTextModel({tr("仪器号"), tr("通道号"), tr("M电极"), tr("N电极")}, parent) {}
