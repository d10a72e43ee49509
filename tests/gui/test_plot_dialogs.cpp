#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTranslator>

#include <cfloat>

#include "gui/main/app_init.h"
#include "gui/toolkit/dlg_plot_range.h"

namespace {

// The plot's fields as the dialog sees them.
struct AxisSettings {
  int fixed = 0;
  double min = 1.0;
  double max = 10.0;
};

struct RangeDialog {
  AxisSettings x, y;
  CDlgPlotRange dlg;
  RangeDialog() {
    dlg.Init();
    dlg.SetModePtr(0, &x.fixed, &x.min, &x.max);
    dlg.SetModePtr(1, &y.fixed, &y.min, &y.max);
  }
};

}  // namespace

TEST(DlgPlotRange, Layout) {
  CDlgPlotRange dlg;
  dlg.Init();
  EXPECT_TRUE(dlg.m_ready);
  EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8("显示范围设置"));
  EXPECT_EQ(dlg.m_btn_ok->text(), QString::fromUtf8("确  认"));
  EXPECT_EQ(dlg.m_btn_cancel->text(), QString::fromUtf8("取  消"));
  EXPECT_TRUE(dlg.m_btn_ok->isDefault());
  EXPECT_EQ(dlg.windowFlags() & (Qt::WindowType_Mask | Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint),
            Qt::Dialog | Qt::WindowCloseButtonHint);
  QStringList boxes;
  for (QGroupBox* g : dlg.findChildren<QGroupBox*>()) boxes << g->title();
  EXPECT_EQ(boxes, QStringList({QString::fromUtf8("默认范围"), QString::fromUtf8("当前范围")}));
  EXPECT_EQ(dlg.m_rd_x_auto->text(), QString::fromUtf8("自适应"));
  EXPECT_EQ(dlg.m_rd_y_custom->text(), QString::fromUtf8("自定义"));
  // The two axes choose independently.
  dlg.m_rd_x_custom->setChecked(true);
  dlg.m_rd_y_auto->setChecked(true);
  EXPECT_TRUE(dlg.m_rd_x_custom->isChecked());
}

TEST(DlgPlotRange, EnglishTexts) {
  QTranslator translator;
  ASSERT_TRUE(installTranslation(*qApp, translator, "en_US"));
  {
    CDlgPlotRange dlg;
    dlg.Init();
    EXPECT_EQ(dlg.windowTitle(), "Display range");
    EXPECT_EQ(dlg.m_btn_ok->text(), "OK");
    EXPECT_EQ(dlg.m_btn_cancel->text(), "Cancel");
    EXPECT_EQ(dlg.m_rd_x_auto->text(), "Self-adaption");
  }
  QApplication::removeTranslator(&translator);
}

TEST(DlgPlotRange, ShowsTheRangesAndTheFixedSettings) {
  RangeDialog r;
  r.y.fixed = 1;
  r.y.min = -0.1;
  r.y.max = 1e-7;
  r.dlg.SetRange(0.1, 1234567.891, -5, DBL_MAX);
  r.dlg.show();
  EXPECT_EQ(r.dlg.m_edt_x_min->text(), "0.1");
  // Six significant digits, as the default format of QString::arg gives them.
  EXPECT_EQ(r.dlg.m_edt_x_max->text(), "1.23457e+06");
  EXPECT_EQ(r.dlg.m_edt_y_min->text(), "-5");
  EXPECT_EQ(r.dlg.m_edt_y_max->text(), "1.79769e+308");
  EXPECT_TRUE(r.dlg.m_rd_x_auto->isChecked());
  EXPECT_FALSE(r.dlg.m_edt_def_x_min->isEnabled());
  EXPECT_FALSE(r.dlg.m_edt_def_x_max->isEnabled());
  EXPECT_EQ(r.dlg.m_edt_def_x_min->text(), "1");
  EXPECT_EQ(r.dlg.m_edt_def_x_max->text(), "10");
  EXPECT_TRUE(r.dlg.m_rd_y_custom->isChecked());
  EXPECT_TRUE(r.dlg.m_edt_def_y_min->isEnabled());
  EXPECT_EQ(r.dlg.m_edt_def_y_min->text(), "-0.1");
  EXPECT_EQ(r.dlg.m_edt_def_y_max->text(), "1e-07");

  QTest::mouseClick(r.dlg.m_rd_x_custom, Qt::LeftButton);
  EXPECT_TRUE(r.dlg.m_edt_def_x_min->isEnabled());
  EXPECT_TRUE(r.dlg.m_edt_def_y_min->isEnabled());
  QTest::mouseClick(r.dlg.m_rd_y_auto, Qt::LeftButton);
  EXPECT_FALSE(r.dlg.m_edt_def_y_max->isEnabled());
  EXPECT_TRUE(r.dlg.m_edt_def_x_max->isEnabled());
}

TEST(DlgPlotRange, OkWithoutEditsGivesBackTheSameRanges) {
  RangeDialog r;
  r.dlg.SetRange(0.1, 1234567.891, 1.0 / 3.0, 2e-300);
  r.dlg.show();
  QTest::mouseClick(r.dlg.m_btn_ok, Qt::LeftButton);
  EXPECT_EQ(r.dlg.result(), QDialog::Accepted);
  EXPECT_FALSE(r.dlg.isVisible());
  double x0, x1, y0, y1;
  r.dlg.GetRange(&x0, &x1, &y0, &y1);
  EXPECT_EQ(x0, 0.1);
  EXPECT_EQ(x1, 1234567.891);
  EXPECT_EQ(y0, 1.0 / 3.0);
  EXPECT_EQ(y1, 2e-300);
  EXPECT_EQ(r.x.fixed, 0);
  EXPECT_EQ(r.y.fixed, 0);
}

TEST(DlgPlotRange, OkStoresTypedValues) {
  RangeDialog r;
  r.y.fixed = 1;
  r.y.min = 3;
  r.y.max = 4;
  r.dlg.show();
  QTest::mouseClick(r.dlg.m_rd_x_custom, Qt::LeftButton);
  r.dlg.m_edt_def_x_min->clear();
  QTest::keyClicks(r.dlg.m_edt_def_x_min, "0");
  r.dlg.m_edt_def_x_max->clear();
  QTest::keyClicks(r.dlg.m_edt_def_x_max, "100");
  QTest::mouseClick(r.dlg.m_rd_y_auto, Qt::LeftButton);
  r.dlg.m_edt_x_min->setText("not a number");
  r.dlg.m_edt_x_max->setText("2.5e3");
  QTest::mouseClick(r.dlg.m_btn_ok, Qt::LeftButton);

  EXPECT_EQ(r.x.fixed, 1);
  EXPECT_EQ(r.x.min, 0);
  EXPECT_EQ(r.x.max, 100);
  // Switching an axis back to automatic keeps its last fixed limits.
  EXPECT_EQ(r.y.fixed, 0);
  EXPECT_EQ(r.y.min, 3);
  EXPECT_EQ(r.y.max, 4);
  double x0, x1;
  r.dlg.GetRange(&x0, &x1, nullptr, nullptr);
  EXPECT_EQ(x0, 0);
  EXPECT_EQ(x1, 2500);
}

TEST(DlgPlotRange, CancelStoresNothing) {
  RangeDialog r;
  r.dlg.SetRange(1, 2, 3, 4);
  r.dlg.show();
  QTest::mouseClick(r.dlg.m_rd_x_custom, Qt::LeftButton);
  r.dlg.m_edt_def_x_min->setText("50");
  r.dlg.m_edt_x_min->setText("-7");
  QTest::mouseClick(r.dlg.m_btn_cancel, Qt::LeftButton);
  EXPECT_EQ(r.dlg.result(), QDialog::Rejected);
  EXPECT_FALSE(r.dlg.isVisible());
  EXPECT_EQ(r.x.fixed, 0);
  EXPECT_EQ(r.x.min, 1.0);
  double x0;
  r.dlg.GetRange(&x0, nullptr, nullptr, nullptr);
  EXPECT_EQ(x0, 1);
}

TEST(DlgPlotRange, WithoutPlotSettingsOnlyTheRangesTravel) {
  CDlgPlotRange dlg;
  dlg.Init();
  dlg.show();
  EXPECT_TRUE(dlg.m_rd_x_auto->isChecked());
  EXPECT_FALSE(dlg.m_edt_def_y_min->isEnabled());
  QTest::mouseClick(dlg.m_rd_x_custom, Qt::LeftButton);
  dlg.m_edt_y_max->setText("42");
  QTest::mouseClick(dlg.m_btn_ok, Qt::LeftButton);
  double y1;
  dlg.GetRange(nullptr, nullptr, nullptr, &y1);
  EXPECT_EQ(y1, 42);
}
