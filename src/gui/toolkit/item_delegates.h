// Item delegates whose editors take everything from the model's roles, so
// any model that answers these roles can use them.
#pragma once

#include <QItemDelegate>

// Edits a text with a combo box. The user role holds a string list: entry 0
// is the value to preselect, entries 1.. are the choices. The chosen text is
// written with the edit role.
class CItemCmb : public QItemDelegate {
  Q_OBJECT
public:
  explicit CItemCmb(QObject* parent = nullptr);

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const override;
};

// Edits a colour with a colour dialog: starts from the decoration-role colour
// and writes the chosen colour with the edit role. A cancelled dialog writes
// nothing. The view commits when the dialog window is hidden, that is when
// the user accepts or cancels it.
class CItemColor : public QItemDelegate {
  Q_OBJECT
public:
  explicit CItemColor(QObject* parent = nullptr);

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const override;
};
