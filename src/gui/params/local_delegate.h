// Marks and protects the first column of the free-layout tables: a grey
// cell that the view cannot edit.
#pragma once

#include <QItemDelegate>

class LocalDelegate : public QItemDelegate {
  Q_OBJECT
public:
  explicit LocalDelegate(QObject* parent = nullptr);

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
