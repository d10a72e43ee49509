#include "gui/params/table_text_model.h"

#include <QList>
#include <QStandardItem>

TableTextModel::TableTextModel(const QStringList& headers, QObject* parent) : QStandardItemModel(parent) {
  setColumnCount(headers.size());
  for (int i = 0; i < headers.size(); ++i) setHeaderData(i, Qt::Horizontal, headers[i], Qt::EditRole);
}

QVariant TableTextModel::data(const QModelIndex& index, int role) const {
  if (role == Qt::TextAlignmentRole) return index.isValid() ? QVariant(int(Qt::AlignCenter)) : QVariant();
  return QStandardItemModel::data(index, role);
}

Qt::ItemFlags TableTextModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
  if (m_editable) f |= Qt::ItemIsEditable;
  return f;
}

void TableTextModel::removeAllRows() {
  while (rowCount() > 0) removeRow(0);
}

void TableTextModel::appendRowTexts(const QStringList& texts) {
  QList<QStandardItem*> items;
  for (const QString& t : texts) items << new QStandardItem(t.trimmed());
  appendRow(items);
}

QString TableTextModel::cellText(int row, int column) const {
  return data(index(row, column), Qt::DisplayRole).toString().trimmed();
}
