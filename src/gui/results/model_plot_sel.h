// Rows of the selection table beside the result plots: which series are
// shown and in which colour. The plots listen to the two signals below
// instead of the standard dataChanged, because a colour change needs new
// graphs while a check change only shows or hides the existing ones.
#pragma once

#include <QAbstractTableModel>
#include <QColor>

// What every selection row has, whatever series it stands for.
struct PlotSelMark {
  bool checked = true;
  QColor color;
};

class ModelPlotSel : public QAbstractTableModel {
  Q_OBJECT
public:
  // The check box sits in col_check, the colour in col_color.
  ModelPlotSel(int col_check, int col_color, QObject* parent = nullptr);

  // Edit role on the colour column sets the colour and emits dataChanged();
  // check state on the check column sets the check and emits
  // checkChanged(). The standard dataChanged(QModelIndex, QModelIndex) is
  // never emitted.
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // Rows outside the model are unchecked and have an invalid colour.
  bool isChecked(int row) const;
  // Announces the new check states to views and emits checkChanged().
  void setAllChecked(bool checked);
  QColor color(int row) const;

signals:
  // A row's colour changed: the graphs must be rebuilt.
  void dataChanged();
  // A row's check state changed: the graphs must be shown or hidden.
  void checkChanged();

protected:
  // The row's mark, null outside the model.
  virtual PlotSelMark* markAt(int row) = 0;
  const PlotSelMark* markAt(int row) const { return const_cast<ModelPlotSel*>(this)->markAt(row); }
  // The check state and the colour decoration of a row, for data().
  QVariant markData(const QModelIndex& index, int role) const;

private:
  int m_col_check;
  int m_col_color;
};
