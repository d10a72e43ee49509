#include "gui/toolkit/item_delegates.h"

#include <QColorDialog>
#include <QComboBox>

namespace {

QStringList toList(const QVariant& value) {
  if (value.type() == QVariant::StringList) return value.toStringList();
  if (value.canConvert<QStringList>()) return value.toStringList();
  return QStringList();
}

bool usable(const QModelIndex& index) { return index.row() >= 0 && index.column() >= 0 && index.model(); }

}  // namespace

CItemCmb::CItemCmb(QObject* parent) : QItemDelegate(parent) {}

QWidget* CItemCmb::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const {
  return new QComboBox(parent);
}

void CItemCmb::setEditorData(QWidget* editor, const QModelIndex& index) const {
  auto* cmb = qobject_cast<QComboBox*>(editor);
  if (!cmb) return;
  const QVariant value = index.model() ? index.model()->data(index, Qt::UserRole) : QVariant();
  const QStringList list = toList(value);
  // The view calls this again whenever the cell's data change while the
  // editor is open; the choices must not pile up.
  cmb->clear();
  if (list.isEmpty()) return;
  for (int i = 1; i < list.size(); ++i) cmb->addItem(list.at(i));
  cmb->setCurrentText(list.at(0));
}

void CItemCmb::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
  auto* cmb = qobject_cast<QComboBox*>(editor);
  if (!cmb || !model) return;
  model->setData(index, cmb->currentText(), Qt::EditRole);
}

void CItemCmb::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex&) const {
  editor->move(option.rect.topLeft());
  editor->setMinimumSize(option.rect.width(), option.rect.height());
}

CItemColor::CItemColor(QObject* parent) : QItemDelegate(parent) {}

QWidget* CItemColor::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const {
  return new QColorDialog(parent);
}

void CItemColor::setEditorData(QWidget* editor, const QModelIndex& index) const {
  auto* dlg = qobject_cast<QColorDialog*>(editor);
  if (!dlg || !usable(index)) return;
  const QVariant value = index.model()->data(index, Qt::DecorationRole);
  dlg->setCurrentColor(value.value<QColor>());
}

void CItemColor::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
  auto* dlg = qobject_cast<QColorDialog*>(editor);
  if (!dlg || !model || index.row() < 0 || index.column() < 0) return;
  const QColor color = dlg->selectedColor();
  if (color.isValid()) model->setData(index, color, Qt::EditRole);
}

void CItemColor::updateEditorGeometry(QWidget*, const QStyleOptionViewItem&, const QModelIndex&) const {}
