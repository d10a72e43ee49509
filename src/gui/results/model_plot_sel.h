// Rows of the selection table beside the result plots: which series are
// shown and in which colour. The plots listen to the two signals below
// instead of the standard dataChanged, because a colour change needs new
// graphs while a check change only shows or hides the existing ones.
#pragma once

#include <QAbstractTableModel>
#include <QColor>

class ModelPlotSel : public QAbstractTableModel {
  Q_OBJECT
public:
  explicit ModelPlotSel(QObject* parent = nullptr);

  // Rows outside the model are unchecked and have an invalid colour.
  virtual bool isChecked(int row) const = 0;
  virtual void setAllChecked(bool checked) = 0;
  virtual QColor color(int row) const = 0;

signals:
  // A row's colour changed: the graphs must be rebuilt.
  void dataChanged();
  // A row's check state changed: the graphs must be shown or hidden.
  void checkChanged();
};
