#include "gui/params/local_delegate.h"

#include <QColor>
#include <QPainter>

LocalDelegate::LocalDelegate(QObject* parent) : QItemDelegate(parent) {}

QWidget* LocalDelegate::createEditor(QWidget*, const QStyleOptionViewItem&, const QModelIndex&) const {
  return nullptr;
}

void LocalDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  painter->fillRect(option.rect, QColor(230, 230, 230));
  QItemDelegate::paint(painter, option, index);
}
