// Plain text table of the free layout, filled and read back by the page:
// centred cells, editable as a whole or not at all.
#pragma once

#include <QStandardItemModel>
#include <QStringList>

class TableTextModel : public QStandardItemModel {
  Q_OBJECT
public:
  // headers: the column titles, set with the edit role.
  TableTextModel(const QStringList& headers, QObject* parent);

  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  void setEditable(bool editable) { m_editable = editable; }
  bool isEditable() const { return m_editable; }
  void removeAllRows();
  // One row of items, one per text, each text trimmed.
  void appendRowTexts(const QStringList& texts);
  // Trimmed text of a cell; empty outside the table.
  QString cellText(int row, int column) const;

private:
  bool m_editable = false;
};
