// Minimum and maximum of the export page's limit table, edited in place.
// Rows 0 (V) and 2 (rad) are shown and typed in milli-units; row 1 as stored.
#pragma once

#include <QAbstractTableModel>

#include <vector>

#include "core/sip/limits.h"

class CModelRangeLimit : public QAbstractTableModel {
  Q_OBJECT
public:
  // vt_limit must not be null; it is not owned and must outlive the model.
  CModelRangeLimit(std::vector<LimitItem>* vt_limit, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  // Stores the value alone (a text that is not a number gives 0); the
  // switch is left as it is and no signal is emitted.
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  // Editable only while the cell's switch is on.
  Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
  bool cellOn(const QModelIndex& index) const;
  static float displayScale(int row);

  std::vector<LimitItem>* m_vt_limit;
};
