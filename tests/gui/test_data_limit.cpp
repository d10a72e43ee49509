#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTranslator>

#include <vector>

#include "gui/export/wdt_output.h"
#include "gui/main/app_init.h"
#include "model_check.h"
#include "gui/results/dlg_data_limit.h"
#include "gui/limits/model_range_limit.h"
#include "gui/limits/shared_data.h"
#include "core/sip/limits.h"

namespace {

// The results page's table after start-up with the export page's defaults:
// 100 % apparent resistivity, pi rad CP, FS off.
std::vector<LimitItem> started_page_limits() {
  std::vector<LimitItem> vt = limit_default_results();
  limit_set_pair(&vt[1], LIMIT_REL, 1.0f);
  limit_set_pair(&vt[2], LIMIT_STD, 3.1415927f);
  limit_clear_pair(&vt[3], LIMIT_STD);
  return vt;
}

void click_box(QCheckBox* box) {
  // On the indicator, where a user clicks.
  QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(6, box->height() / 2));
}

void retype(QLineEdit* edit, const QString& text) {
  edit->setFocus();
  QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(edit, Qt::Key_Delete);
  QTest::keyClicks(edit, text);
}

class DataLimitDialog : public ::testing::Test {
protected:
  void SetUp() override {
    limits = started_page_limits();
    dlg = std::make_unique<CDlgDataLimit>(&limits, nullptr);
    chkApp = dlg->findChild<QCheckBox*>("chkErrApp");
    chkCp = dlg->findChild<QCheckBox*>("chkErrCp");
    chkFs = dlg->findChild<QCheckBox*>("chkErrFs");
    edtApp = dlg->findChild<QLineEdit*>("edtAppErr");
    edtCp = dlg->findChild<QLineEdit*>("edtCpErr");
    edtFs = dlg->findChild<QLineEdit*>("edtFsErr");
    btnDefault = dlg->findChild<QPushButton*>("btnRestoreDefault");
    btnOk = dlg->findChild<QPushButton*>("btnOk");
    btnCancel = dlg->findChild<QPushButton*>("btnCancel");
    for (QWidget* w : std::initializer_list<QWidget*>{chkApp, chkCp, chkFs, edtApp, edtCp, edtFs, btnDefault, btnOk,
                                                      btnCancel}) {
      ASSERT_NE(w, nullptr);
    }
    dlg->show();
  }

  QStringList edits() const { return {edtApp->text(), edtCp->text(), edtFs->text()}; }
  std::vector<bool> boxes() const { return {chkApp->isChecked(), chkCp->isChecked(), chkFs->isChecked()}; }
  std::vector<bool> enabled() const { return {edtApp->isEnabled(), edtCp->isEnabled(), edtFs->isEnabled()}; }

  std::vector<LimitItem> limits;
  std::unique_ptr<CDlgDataLimit> dlg;
  QCheckBox *chkApp = nullptr, *chkCp = nullptr, *chkFs = nullptr;
  QLineEdit *edtApp = nullptr, *edtCp = nullptr, *edtFs = nullptr;
  QPushButton *btnDefault = nullptr, *btnOk = nullptr, *btnCancel = nullptr;
};

bool same(const LimitItem& a, const LimitItem& b) {
  return a.min_on == b.min_on && a.min == b.min && a.max_on == b.max_on && a.max == b.max && a.rel_on == b.rel_on &&
         a.rel_max == b.rel_max && a.std_on == b.std_on && a.std_max == b.std_max;
}

bool same(const std::vector<LimitItem>& a, const std::vector<LimitItem>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (!same(a[i], b[i])) return false;
  }
  return true;
}

}  // namespace

TEST_F(DataLimitDialog, FormAndTexts) {
  EXPECT_EQ(dlg->windowTitle(), "Dialog");
  auto* box = dlg->findChild<QGroupBox*>("groupBox");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->title(), QString::fromUtf8("合格数据统计标准"));
  auto* note = dlg->findChild<QLabel*>("label");
  ASSERT_NE(note, nullptr);
  EXPECT_EQ(note->text(), QString::fromUtf8("说明：误差小于设置值的通道为合格数据，否则为不合格。"));
  EXPECT_EQ(chkApp->text(), QString::fromUtf8("视电阻率误差(%)"));
  EXPECT_EQ(chkCp->text(), QString::fromUtf8("相对相位误差(mrad)"));
  EXPECT_EQ(chkFs->text(), QString::fromUtf8("频散率误差(%)"));
  EXPECT_EQ(btnDefault->text(), QString::fromUtf8("恢复默认"));
  EXPECT_EQ(btnOk->text(), QString::fromUtf8("确  定"));
  EXPECT_EQ(btnCancel->text(), QString::fromUtf8("取  消"));
}

TEST(DataLimitDialogEnglish, Texts) {
  QTranslator translator;
  ASSERT_TRUE(installTranslation(*qApp, translator, "en_US"));
  std::vector<LimitItem> limits = started_page_limits();
  CDlgDataLimit dlg(&limits, nullptr);
  qApp->removeTranslator(&translator);
  EXPECT_EQ(dlg.findChild<QGroupBox*>("groupBox")->title(), "Statistical standards for qualified data");
  EXPECT_EQ(dlg.findChild<QCheckBox*>("chkErrApp")->text(), "Apparent resistivity error(%)");
  EXPECT_EQ(dlg.findChild<QCheckBox*>("chkErrCp")->text(), "Relative phase err(mrad)");
  EXPECT_EQ(dlg.findChild<QCheckBox*>("chkErrFs")->text(), "Dispersion rate error(%)");
  EXPECT_EQ(dlg.findChild<QPushButton*>("btnRestoreDefault")->text(), "Restore Default");
  EXPECT_EQ(dlg.findChild<QPushButton*>("btnOk")->text(), "Sure");
  EXPECT_EQ(dlg.findChild<QPushButton*>("btnCancel")->text(), "Cancel");
  EXPECT_EQ(dlg.findChild<QLabel*>("label")->text(),
            "Note: Channels with errors less than the set value are considered qualified data, otherwise they are "
            "unqualified.");
}

TEST_F(DataLimitDialog, ShowsTheStartUpThresholds) {
  EXPECT_EQ(edits(), QStringList({"100.0", "3141.6", "0.0"}));
  EXPECT_EQ(boxes(), std::vector<bool>({true, true, false}));
  EXPECT_EQ(enabled(), std::vector<bool>({true, true, false}));
}

TEST_F(DataLimitDialog, EditsFollowTheirBoxes) {
  click_box(chkApp);
  EXPECT_EQ(enabled(), std::vector<bool>({false, true, false}));
  click_box(chkFs);
  EXPECT_EQ(enabled(), std::vector<bool>({false, true, true}));
  click_box(chkCp);
  click_box(chkApp);
  EXPECT_EQ(enabled(), std::vector<bool>({true, false, true}));
}

TEST_F(DataLimitDialog, OkStoresTheTypedThresholds) {
  click_box(chkFs);
  retype(edtApp, "2.5");
  retype(edtCp, "12");
  retype(edtFs, "0.5");
  QTest::mouseClick(btnOk, Qt::LeftButton);
  EXPECT_EQ(dlg->result(), QDialog::Accepted);
  EXPECT_FALSE(dlg->isVisible());
  EXPECT_TRUE(limits[1].rel_on);
  EXPECT_FLOAT_EQ(limits[1].rel_max, 0.025f);
  EXPECT_TRUE(limits[2].std_on);
  EXPECT_FLOAT_EQ(limits[2].std_max, 0.012f);
  EXPECT_TRUE(limits[3].std_on);
  EXPECT_FLOAT_EQ(limits[3].std_max, 0.005f);
  // Nothing but the three pairs moved.
  std::vector<LimitItem> want = started_page_limits();
  limit_set_pair(&want[1], LIMIT_REL, limits[1].rel_max);
  limit_set_pair(&want[2], LIMIT_STD, limits[2].std_max);
  limit_set_pair(&want[3], LIMIT_STD, limits[3].std_max);
  EXPECT_TRUE(same(limits, want));
}

TEST_F(DataLimitDialog, ReturnInAnEditConfirms) {
  retype(edtApp, "3");
  QTest::keyClick(edtApp, Qt::Key_Return);
  EXPECT_EQ(dlg->result(), QDialog::Accepted);
  EXPECT_FLOAT_EQ(limits[1].rel_max, 0.03f);
  // Not restored to the defaults; the shown text is what is stored back.
  EXPECT_TRUE(limits[2].std_on);
  EXPECT_FLOAT_EQ(limits[2].std_max, 3.1416f);
}

TEST_F(DataLimitDialog, UncheckedBoxKeepsTheValue) {
  click_box(chkCp);
  QTest::mouseClick(btnOk, Qt::LeftButton);
  EXPECT_FALSE(limits[2].std_on);
  EXPECT_FLOAT_EQ(limits[2].std_max, 3.1415927f);

  // Reopened, the same dialog shows what the operator left ...
  dlg->show();
  EXPECT_FALSE(chkCp->isChecked());
  EXPECT_FALSE(edtCp->isEnabled());
  EXPECT_EQ(edtCp->text(), "3141.6");
  // ... and a dialog built on the table shows the same.
  CDlgDataLimit again(&limits, nullptr);
  EXPECT_FALSE(again.findChild<QCheckBox*>("chkErrCp")->isChecked());
  EXPECT_FALSE(again.findChild<QLineEdit*>("edtCpErr")->isEnabled());
  EXPECT_EQ(again.findChild<QLineEdit*>("edtCpErr")->text(), "3141.6");
}

TEST_F(DataLimitDialog, TextThatIsNotANumberStoresZero) {
  retype(edtApp, "abc");
  retype(edtCp, "");
  QTest::mouseClick(btnOk, Qt::LeftButton);
  EXPECT_TRUE(limits[1].rel_on);
  EXPECT_EQ(limits[1].rel_max, 0.0f);
  EXPECT_TRUE(limits[2].std_on);
  EXPECT_EQ(limits[2].std_max, 0.0f);
}

TEST_F(DataLimitDialog, CancelStoresNothing) {
  const std::vector<LimitItem> before = limits;
  click_box(chkApp);
  click_box(chkFs);
  retype(edtCp, "7");
  retype(edtFs, "9");
  QTest::mouseClick(btnCancel, Qt::LeftButton);
  EXPECT_EQ(dlg->result(), QDialog::Rejected);
  EXPECT_FALSE(dlg->isVisible());
  EXPECT_TRUE(same(limits, before));
  // The next run shows the abandoned edits, not the table.
  dlg->show();
  EXPECT_EQ(edits(), QStringList({"100.0", "7", "9"}));
  EXPECT_EQ(boxes(), std::vector<bool>({false, true, true}));
}

TEST_F(DataLimitDialog, RestoreDefaultWritesAtOnceAndCancelKeepsIt) {
  limits[0].min_on = true;  // rows the dialog does not show are reset too
  limits[4].max = 9.0f;
  QTest::mouseClick(btnDefault, Qt::LeftButton);
  EXPECT_TRUE(same(limits, limit_default_results()));
  EXPECT_EQ(edits(), QStringList({"1.0", "5.0", "0.0"}));
  EXPECT_EQ(boxes(), std::vector<bool>({true, true, false}));
  EXPECT_EQ(enabled(), std::vector<bool>({true, true, false}));
  EXPECT_TRUE(dlg->isVisible());

  QTest::mouseClick(btnCancel, Qt::LeftButton);
  EXPECT_EQ(dlg->result(), QDialog::Rejected);
  EXPECT_TRUE(same(limits, limit_default_results()));
}

TEST_F(DataLimitDialog, EscapeRejects) {
  const std::vector<LimitItem> before = limits;
  retype(edtApp, "50");
  QTest::keyClick(dlg.get(), Qt::Key_Escape);
  EXPECT_EQ(dlg->result(), QDialog::Rejected);
  EXPECT_TRUE(same(limits, before));
}

// Range-limit model over the export page's table, published at construction.
class RangeLimit : public ::testing::Test {
protected:
  void SetUp() override {
    page = std::make_unique<CWdtOutput>(&files);
    vt = SharedData::instance()->limitTable();
    ASSERT_NE(vt, nullptr);
    model = std::make_unique<CModelRangeLimit>(vt, nullptr);
    check = std::make_unique<ModelCheck>(model.get());
  }
  void TearDown() override {
    check.reset();
    EXPECT_TRUE(ModelCheck::failures().isEmpty()) << ModelCheck::failures().join("\n").toStdString();
  }

  QString text(int row, int col) const { return model->data(model->index(row, col), Qt::DisplayRole).toString(); }

  QStringList files;
  std::unique_ptr<CWdtOutput> page;
  std::vector<LimitItem>* vt = nullptr;
  std::unique_ptr<CModelRangeLimit> model;
  std::unique_ptr<ModelCheck> check;
};

TEST_F(RangeLimit, ExportDefaultsAsShown) {
  ASSERT_EQ(model->rowCount(), 3);
  ASSERT_EQ(model->columnCount(), 2);
  const char* want[3][2] = {{"0", "2500"}, {"0", "1e+06"}, {"-3141.59", "3141.59"}};
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 2; ++c) {
      const QModelIndex idx = model->index(r, c);
      EXPECT_EQ(text(r, c), want[r][c]) << r << "," << c;
      EXPECT_EQ(model->data(idx, Qt::EditRole).toString(), want[r][c]);
      EXPECT_EQ(model->data(idx, Qt::TextAlignmentRole).toInt(), 130);
      EXPECT_FALSE(model->data(idx, Qt::BackgroundRole).isValid());
      EXPECT_TRUE(model->flags(idx) & Qt::ItemIsEditable);
    }
  }
}

TEST_F(RangeLimit, Headers) {
  auto h = [this](int s, Qt::Orientation o) { return model->headerData(s, o, Qt::DisplayRole).toString(); };
  EXPECT_EQ(h(0, Qt::Horizontal), QString::fromUtf8("最小值"));
  EXPECT_EQ(h(1, Qt::Horizontal), QString::fromUtf8("最大值"));
  EXPECT_EQ(h(0, Qt::Vertical), QString::fromUtf8("信号振幅(mV)"));
  EXPECT_EQ(h(1, Qt::Vertical), QString::fromUtf8("视电阻率(Ω·m)"));
  EXPECT_EQ(h(2, Qt::Vertical), QString::fromUtf8("相对相位(mrad)"));
  EXPECT_FALSE(model->headerData(2, Qt::Horizontal, Qt::DisplayRole).isValid());
  EXPECT_FALSE(model->headerData(3, Qt::Vertical, Qt::DisplayRole).isValid());
  EXPECT_FALSE(model->headerData(0, Qt::Horizontal, Qt::ToolTipRole).isValid());

  QTranslator translator;
  ASSERT_TRUE(installTranslation(*qApp, translator, "en_US"));
  const QStringList english = {h(0, Qt::Horizontal), h(1, Qt::Horizontal), h(0, Qt::Vertical), h(1, Qt::Vertical),
                               h(2, Qt::Vertical)};
  qApp->removeTranslator(&translator);
  EXPECT_EQ(english,
            QStringList({"MinValue", "MaxValue", "Amplitude(mV)", QString::fromUtf8("App(Ω·m)"), "CP(mrad)"}));
}

TEST_F(RangeLimit, SwitchedOffCellIsGreyEmptyAndLocked) {
  limit_clear_pair(&(*vt)[1], LIMIT_MAX);
  const QModelIndex off = model->index(1, 1);
  EXPECT_FALSE(model->data(off, Qt::DisplayRole).isValid());
  EXPECT_FALSE(model->data(off, Qt::EditRole).isValid());
  EXPECT_EQ(model->data(off, Qt::BackgroundRole).value<QColor>(), QColor(240, 240, 240));
  EXPECT_FALSE(model->flags(off) & Qt::ItemIsEditable);
  EXPECT_TRUE(model->flags(off) & Qt::ItemIsEnabled);

  QTableView view;
  view.setModel(model.get());
  view.show();
  view.setCurrentIndex(off);
  view.edit(off);
  EXPECT_EQ(view.findChild<QLineEdit*>(), nullptr);
  // The row's other cell is still on.
  EXPECT_EQ(text(1, 0), "0");
  EXPECT_TRUE(model->flags(model->index(1, 0)) & Qt::ItemIsEditable);
}

TEST_F(RangeLimit, TypingInTheTableStoresStoredUnits) {
  QTableView view;
  view.setModel(model.get());
  view.show();
  auto type_into = [&view](const QModelIndex& idx, const QString& typed) {
    view.setCurrentIndex(idx);
    view.edit(idx);
    auto* editor = view.findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, typed);
    QTest::keyClick(editor, Qt::Key_Return);
    // The delegate commits through a queued call; the closed editor goes
    // away by deferred deletion.
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  };

  type_into(model->index(0, 1), "2500");
  EXPECT_EQ((*vt)[0].max, 2.5f);
  EXPECT_TRUE((*vt)[0].max_on);
  EXPECT_EQ(text(0, 1), "2500");

  type_into(model->index(1, 1), "5000");  // apparent resistivity is not scaled
  EXPECT_EQ((*vt)[1].max, 5000.0f);

  type_into(model->index(2, 0), "-1000");
  EXPECT_EQ((*vt)[2].min, -1.0f);
  EXPECT_EQ(text(2, 0), "-1000");

  type_into(model->index(0, 0), "abc");
  EXPECT_EQ((*vt)[0].min, 0.0f);
  EXPECT_TRUE((*vt)[0].min_on);
}

TEST_F(RangeLimit, SetDataWritesTheValueAlone) {
  limit_clear_pair(&(*vt)[2], LIMIT_MIN);
  EXPECT_TRUE(model->setData(model->index(2, 0), "-500", Qt::EditRole));
  EXPECT_FALSE((*vt)[2].min_on);
  EXPECT_EQ((*vt)[2].min, -0.5f);
  EXPECT_FALSE(model->setData(model->index(2, 0), "7", Qt::DisplayRole));
  EXPECT_FALSE(model->setData(QModelIndex(), "7", Qt::EditRole));
  EXPECT_EQ((*vt)[2].min, -0.5f);
}

TEST(SharedLimits, ExportPagePublishesItsTable) {
  QStringList files;
  {
    CWdtOutput page(&files);
    std::vector<LimitItem>* vt = SharedData::instance()->limitTable();
    ASSERT_NE(vt, nullptr);
    EXPECT_EQ(vt->size(), size_t(LIMIT_TYPE_CNT));
    EXPECT_TRUE((*vt)[1].rel_on);
    EXPECT_EQ((*vt)[1].rel_max, 1.0f);
    EXPECT_TRUE((*vt)[2].std_on);
    EXPECT_EQ((*vt)[2].std_max, 3.1415927f);
    EXPECT_EQ(SharedData::instance(), SharedData::instance());
    EXPECT_EQ(SharedData::instance()->parent(), nullptr);
  }
  // A page that is gone leaves no address behind.
  EXPECT_EQ(SharedData::instance()->limitTable(), nullptr);
}
