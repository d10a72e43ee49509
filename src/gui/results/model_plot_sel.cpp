#include "gui/results/model_plot_sel.h"

ModelPlotSel::ModelPlotSel(QObject* parent) : QAbstractTableModel(parent) {}
