// Device channels of the line layouts (middle gradient, three- and
// four-electrode) for tbDevLay: six rows per device, the current station's
// device left out. Edits the page's device records in place.
#pragma once

#include <QAbstractTableModel>

#include <vector>

#include "core/sip/sip_pub.h"

class ModelSipDevLay : public QAbstractTableModel {
  Q_OBJECT
public:
  // devs is the page's list of device records (not owned); it may change
  // between calls of refresh().
  explicit ModelSipDevLay(std::vector<PrmDev>* devs, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  void setMN(float mn) { m_mn = mn; }
  void setFirstPos(float first) { m_first = first; }
  // Index of the current-station device, -1 for none.
  void setCurStation(int index) { m_cur_station = index; }
  // Tells the views about new settings or records: a reset when the number
  // of rows changed, otherwise a layout change.
  void refresh();

  // Display name of a channel type in the active language.
  static QString typeName(int type);

signals:
  void dataEdited();

private:
  int rowsFor() const;
  // Device index of a row, -1 outside the records.
  int deviceOf(int row) const;
  bool usedElsewhere(int dev, int ch) const;

  std::vector<PrmDev>* m_devs;
  bool m_editable = true;
  float m_mn = 0.0f;
  float m_first = 0.0f;
  int m_cur_station = -1;
  int m_rows = 0;
};
