// Table model of the station map: one row per station item, with a check
// box on the name and the GPS position in decimal degrees. The items belong
// to the main window; the model only flips their checked flag.
#pragma once

#include <QAbstractTableModel>
#include <QVector>

class CItem;

class CModelStPos : public QAbstractTableModel {
  Q_OBJECT
public:
  // Column codes: 0 name (check box), 1 x, 2 y, 3 longitude, 4 latitude, 5 elevation.
  enum Column { COL_NAME = 0, COL_X, COL_Y, COL_LON, COL_LAT, COL_ALTI };

  explicit CModelStPos(QObject* parent = nullptr);

  // Not owned; null for none. Resets the model.
  void setItems(QVector<CItem*>* items);
  // Resets the model after its items were replaced or changed in place.
  void reload();
  void setColumnVisible(int code, bool show);
  int columnCode(int section) const { return m_vt_col.value(section, -1); }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
  void checkChanged(QVector<CItem*> items);

private:
  QVector<CItem*>* m_items = nullptr;
  QVector<int> m_vt_col;
};
