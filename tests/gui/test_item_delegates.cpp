#include <gtest/gtest.h>

#include <QColorDialog>
#include <QComboBox>
#include <QStandardItemModel>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QTest>

#include <memory>

#include "gui/toolkit/item_delegates.h"

namespace {

QStringList itemsOf(const QComboBox& cmb) {
  QStringList out;
  for (int i = 0; i < cmb.count(); ++i) out << cmb.itemText(i);
  return out;
}

// One editable cell whose user role carries the choices.
struct CmbCell {
  QStandardItemModel model{1, 1};
  QModelIndex index() const { return model.index(0, 0); }
};

}  // namespace

TEST(ItemCmb, ChoicesComeFromTheUserRole) {
  struct Case {
    const char* what;
    QVariant value;
    QStringList items;
    QString current;
  };
  const QStringList utf8 = {QString::fromUtf8("电流"), QString::fromUtf8("电道"), QString::fromUtf8("无效")};
  const Case cases[] = {
      {"preselected value not among the choices", utf8, {utf8[1], utf8[2]}, utf8[1]},
      {"preselected value among the choices", QStringList{"b", "a", "b", "c"}, {"a", "b", "c"}, "b"},
      {"variant list converts", QVariantList{"x", "y", "x"}, {"y", "x"}, "x"},
      {"empty list", QStringList(), {}, ""},
      {"only the value, no choices", QStringList{"a"}, {}, ""},
      {"not a list", QVariant(42), {}, ""},
      {"no value", QVariant(), {}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CmbCell cell;
    cell.model.setData(cell.index(), c.value, Qt::UserRole);
    CItemCmb delegate;
    QWidget parent;
    std::unique_ptr<QWidget> editor(delegate.createEditor(&parent, QStyleOptionViewItem(), cell.index()));
    auto* cmb = qobject_cast<QComboBox*>(editor.get());
    ASSERT_NE(cmb, nullptr);
    EXPECT_EQ(cmb->parentWidget(), &parent);
    delegate.setEditorData(cmb, cell.index());
    EXPECT_EQ(itemsOf(*cmb), c.items);
    EXPECT_EQ(cmb->currentText(), c.current);

    delegate.setModelData(cmb, &cell.model, cell.index());
    EXPECT_EQ(cell.model.data(cell.index(), Qt::EditRole).toString(), c.current);
  }
}

TEST(ItemCmb, RefreshingTheEditorDoesNotRepeatTheChoices) {
  CmbCell cell;
  cell.model.setData(cell.index(), QStringList{"b", "a", "b"}, Qt::UserRole);
  CItemCmb delegate;
  QComboBox cmb;
  delegate.setEditorData(&cmb, cell.index());
  delegate.setEditorData(&cmb, cell.index());
  EXPECT_EQ(itemsOf(cmb), QStringList({"a", "b"}));
}

TEST(ItemCmb, EditorCoversTheCell) {
  CItemCmb delegate;
  QComboBox cmb;
  QStyleOptionViewItem option;
  option.rect = QRect(10, 20, 150, 30);
  delegate.updateEditorGeometry(&cmb, option, QModelIndex());
  EXPECT_EQ(cmb.pos(), QPoint(10, 20));
  EXPECT_EQ(cmb.minimumSize(), QSize(150, 30));
}

TEST(ItemCmb, ChoosingInATableWritesTheModel) {
  CmbCell cell;
  cell.model.setData(cell.index(), QString::fromUtf8("电流"), Qt::EditRole);
  cell.model.setData(cell.index(), QStringList{QString::fromUtf8("电流"), QString::fromUtf8("电流"),
                                               QString::fromUtf8("电道")},
                     Qt::UserRole);
  QTableView view;
  CItemCmb delegate;
  view.setModel(&cell.model);
  view.setItemDelegate(&delegate);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  view.edit(cell.index());
  auto* cmb = view.viewport()->findChild<QComboBox*>();
  ASSERT_NE(cmb, nullptr);
  EXPECT_EQ(cmb->currentText(), QString::fromUtf8("电流"));
  cmb->setCurrentIndex(1);
  QTest::keyClick(cmb, Qt::Key_Return);
  // The delegate commits on Return through a queued call.
  QCoreApplication::processEvents();
  EXPECT_EQ(cell.model.data(cell.index()).toString(), QString::fromUtf8("电道"));
}

TEST(ItemColor, DialogStartsFromTheDecorationColour) {
  struct Case {
    const char* what;
    QVariant value;
    QColor want;
  };
  const Case cases[] = {
      {"a colour", QColor(10, 20, 30), QColor(10, 20, 30)},
      {"a colour name", QString("#ff8000"), QColor(255, 128, 0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QStandardItemModel model(1, 1);
    model.setData(model.index(0, 0), c.value, Qt::DecorationRole);
    CItemColor delegate;
    QWidget parent;
    std::unique_ptr<QWidget> editor(delegate.createEditor(&parent, QStyleOptionViewItem(), model.index(0, 0)));
    auto* dlg = qobject_cast<QColorDialog*>(editor.get());
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->parentWidget(), &parent);
    dlg->setCurrentColor(Qt::white);
    delegate.setEditorData(dlg, model.index(0, 0));
    EXPECT_EQ(dlg->currentColor(), c.want);
  }
}

TEST(ItemColor, AcceptedColourIsWrittenCancelledIsNot) {
  QStandardItemModel model(1, 1);
  const QModelIndex idx = model.index(0, 0);
  model.setData(idx, QColor(Qt::red), Qt::DecorationRole);
  CItemColor delegate;
  QColorDialog dlg;
  delegate.setEditorData(&dlg, idx);

  dlg.setCurrentColor(Qt::green);
  dlg.reject();
  delegate.setModelData(&dlg, &model, idx);
  EXPECT_FALSE(model.data(idx, Qt::EditRole).isValid());

  dlg.setCurrentColor(Qt::blue);
  dlg.accept();
  delegate.setModelData(&dlg, &model, idx);
  EXPECT_EQ(model.data(idx, Qt::EditRole).value<QColor>(), QColor(Qt::blue));

  // No index, no model: nothing happens.
  delegate.setModelData(&dlg, &model, QModelIndex());
  delegate.setModelData(&dlg, nullptr, idx);
  delegate.setEditorData(&dlg, QModelIndex());
}

TEST(ItemColor, FinishingTheDialogInATableCommitsIt) {
  QStandardItemModel model(1, 1);
  const QModelIndex idx = model.index(0, 0);
  model.setData(idx, QColor(Qt::red), Qt::DecorationRole);
  QTableView view;
  CItemColor delegate;
  view.setModel(&model);
  view.setItemDelegate(&delegate);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));

  view.edit(idx);
  auto* dlg = view.viewport()->findChild<QColorDialog*>();
  ASSERT_NE(dlg, nullptr);
  EXPECT_EQ(dlg->currentColor(), QColor(Qt::red));
  dlg->setCurrentColor(Qt::cyan);
  dlg->reject();
  EXPECT_FALSE(model.data(idx, Qt::EditRole).isValid());
  // The cancelled editor is closed, so the cell can be edited again.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(view.viewport()->findChildren<QColorDialog*>().isEmpty());

  view.edit(idx);
  QList<QColorDialog*> open = view.viewport()->findChildren<QColorDialog*>();
  ASSERT_EQ(open.size(), 1);
  open[0]->setCurrentColor(Qt::cyan);
  open[0]->accept();
  EXPECT_EQ(model.data(idx, Qt::EditRole).value<QColor>(), QColor(Qt::cyan));
}
