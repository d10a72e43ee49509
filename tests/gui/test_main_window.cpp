#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFontDatabase>
#include <QGroupBox>
#include <QListView>
#include <QProcess>
#include <QPushButton>
#include <QSplitter>
#include <QStringListModel>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

#include "gui/export/wdt_output.h"
#include "gui/main/app_init.h"
#include "gui/main/wdt_main.h"
#include "gui/params/wdt_param_srs.h"
#include "gui/results/model_res.h"
#include "gui/results/wdt_sip_res.h"
#include "gui/results/wdt_sip_res_table.h"
#include "gui/section/wdt_pseudo_section.h"
#include "scripted_prompts.h"
#include "gui/stations/wdt_gps_pos.h"
#include "gui/timeseries/wdt_ts_plot.h"

namespace {

QString title(const CWdtMain& w) { return w.form()->grpPowerFileList->title(); }

QStringList listed(const CWdtMain& w) {
  return static_cast<QStringListModel*>(w.form()->listOpenFiles->model())->stringList();
}

// The height a 1366 x 768 screen leaves under a taskbar.
constexpr int kScreenHeight = 720;

// Whether the window, as it is laid out now, fits that height: neither its
// minimum nor its actual height may be taller.
::testing::AssertionResult FitsTheScreen(const QWidget& window) {
  QApplication::processEvents();
  const int least = window.minimumSizeHint().height();
  if (least > kScreenHeight)
    return ::testing::AssertionFailure() << "minimum height " << least << " px, above " << kScreenHeight << " px";
  if (window.height() > kScreenHeight)
    return ::testing::AssertionFailure() << "height " << window.height() << " px, above " << kScreenHeight << " px";
  return ::testing::AssertionSuccess();
}

}  // namespace

// Every tab, and on the export page every output kind with every input and
// output choice, in both languages and with the CJK font the Chinese texts
// are drawn with: nothing makes the window taller than the screen, and the
// export's file row stays where it is.
TEST(MainWindow, FitsALaptopScreenOnEveryTabAndExportKind) {
  ASSERT_TRUE(QFontDatabase().families().filter("CJK").size() > 0)
      << "a CJK font (fonts-noto-cjk) must be installed: the Chinese texts are measured with it";
  for (const char* locale : {"zh_CN", "en_US"}) {
    QTranslator translator;
    const bool english = installTranslation(*qApp, translator, locale);
    {
      CWdtMain w;
      w.show();
      ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
      auto fits = [&](const QString& what) { EXPECT_TRUE(FitsTheScreen(w)) << locale << " " << what.toStdString(); };
      for (int t = 0; t < w.form()->tabRight->count(); ++t) {
        w.form()->tabRight->setCurrentIndex(t);
        fits(QString("tab %1").arg(t));
      }
      w.form()->tabRight->setCurrentIndex(0);
      CWdtOutput* page = w.outputPage();
      auto button = [page](const char* name) { return page->findChild<QAbstractButton*>(name); };
      QWidget* row = page->findChild<QWidget*>("btnOutData");
      ASSERT_NE(row, nullptr);
      QApplication::processEvents();
      const QPoint rowAt = row->mapTo(page, QPoint(0, 0));
      for (const char* input : {"rdInputSrs", "rdInputTs"})
        for (const char* kind : {"rdCheckErr", "rdMidGradient", "rd2DSounding", "rd3DSounding"})
          for (const char* output : {"rdOutSection", "rdInvData"}) {
            for (const char* name : {input, kind, output}) button(name)->click();
            const QString what = QString("%1 %2 %3").arg(input, kind, output);
            fits(what);
            EXPECT_TRUE(row->isVisible()) << what.toStdString();
            EXPECT_EQ(row->mapTo(page, QPoint(0, 0)), rowAt) << locale << " " << what.toStdString();
          }
    }
    if (english) QApplication::removeTranslator(&translator);
  }
}

// The check itself: a page taller than the screen must fail it.
TEST(MainWindow, ScreenFitCheckFailsForAPageTallerThanTheScreen) {
  CWdtMain w;
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  ASSERT_TRUE(FitsTheScreen(w));
  QWidget* tall = new QWidget;
  tall->setMinimumHeight(kScreenHeight + 1);
  w.form()->tabRight->addTab(tall, "tall");
  w.form()->tabRight->setCurrentWidget(tall);
  EXPECT_FALSE(FitsTheScreen(w));
}

TEST(MainWindow, ShellLayout) {
  CWdtMain w;
  EXPECT_EQ(w.windowTitle(), "Varnex-V1.5.4");
  // It opens whole on a 1366 x 768 screen (a taskbar left over), the pages
  // taking most of the width.
  EXPECT_LE(w.width(), 1366);
  EXPECT_TRUE(FitsTheScreen(w));
  EXPECT_GE(w.width(), 1140);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  const QList<int> parts = w.form()->splitter->sizes();
  w.hide();
  ASSERT_EQ(parts.size(), 2);
  EXPECT_GT(parts[1], 3 * parts[0]);
  EXPECT_EQ(title(w), QString::fromUtf8("供电数据文件，共0个"));
  QTabWidget* tabs = w.form()->tabRight;
  ASSERT_EQ(tabs->count(), 6);
  EXPECT_EQ(tabs->currentIndex(), 0);
  EXPECT_EQ(tabs->widget(0), w.outputPage());
  EXPECT_EQ(tabs->widget(1), w.paramPage());
  EXPECT_EQ(tabs->widget(2), w.resultsPage());
  EXPECT_EQ(tabs->widget(3), w.tsPage());
  EXPECT_EQ(tabs->widget(4), w.stationPage());
  EXPECT_EQ(tabs->widget(5), w.sectionPage());
  EXPECT_EQ(w.stationPage()->stationItems(), &w.stationItems());
  EXPECT_NE(w.findChild<QPushButton*>("btnImportData"), nullptr);
  EXPECT_NE(w.findChild<QPushButton*>("btnClearFile"), nullptr);
  EXPECT_NE(w.findChild<QSplitter*>("splitter"), nullptr);
}

TEST(MainWindow, ImportTwiceListsTwiceAndClearEmpties) {
  ScopedPrompts prompts;
  CWdtMain w;
  prompts->fileAnswers.enqueue({"/data/line1/L01.SRS"});
  prompts->fileAnswers.enqueue({"/data/line1/L01.SRS"});
  QTest::mouseClick(w.form()->btnImportData, Qt::LeftButton);
  QTest::mouseClick(w.form()->btnImportData, Qt::LeftButton);

  ASSERT_EQ(prompts->dialogs.size(), 2);
  EXPECT_EQ(prompts->dialogs[0].caption, "Open SRS");
  EXPECT_EQ(prompts->dialogs[0].filter, "SRS Files (*.SRS)");
  EXPECT_EQ(prompts->dialogs[0].dir, "");
  // The second dialog starts where the first import was taken from.
  EXPECT_EQ(prompts->dialogs[1].dir, "/data/line1");

  EXPECT_EQ(title(w), QString::fromUtf8("供电数据文件，共2个"));
  EXPECT_EQ(listed(w), QStringList({"L01.SRS", "L01.SRS"}));
  EXPECT_EQ(w.fileList().size(), 2);
  EXPECT_EQ(w.paramPage()->fileList().size(), 2);
  EXPECT_EQ(w.resultsPage()->fileList().size(), 2);

  QTest::mouseClick(w.form()->btnClearFile, Qt::LeftButton);
  EXPECT_EQ(title(w), QString::fromUtf8("供电数据文件，共0个"));
  EXPECT_TRUE(listed(w).isEmpty());
  EXPECT_TRUE(w.fileList().isEmpty());
  EXPECT_TRUE(w.paramPage()->fileList().isEmpty());
  EXPECT_TRUE(w.resultsPage()->fileList().isEmpty());
}

TEST(MainWindow, CancelledImportChangesNothing) {
  ScopedPrompts prompts;
  CWdtMain w;
  QTest::mouseClick(w.form()->btnImportData, Qt::LeftButton);
  EXPECT_EQ(prompts->dialogs.size(), 1);
  EXPECT_TRUE(w.fileList().isEmpty());
  EXPECT_EQ(title(w), QString::fromUtf8("供电数据文件，共0个"));
}

TEST(MainWindow, ClickHandsThePathOrAnEmptyPathToEveryPage) {
  ScopedPrompts prompts;
  CWdtMain w;
  prompts->fileAnswers.enqueue({"/nonexistent/a/L1.SRS", "/nonexistent/b/L2.SRS"});
  QTest::mouseClick(w.form()->btnImportData, Qt::LeftButton);

  QAbstractItemModel* model = w.form()->listOpenFiles->model();
  w.onListClicked(model->index(1, 0));
  const QString second = "/nonexistent/b/L2.SRS";
  EXPECT_EQ(w.paramPage()->currentFile(), second);
  EXPECT_EQ(w.resultsPage()->currentFile(), second);
  EXPECT_EQ(w.tsPage()->currentFile(), second);
  EXPECT_EQ(w.outputPage()->currentFile(), second);

  // A row beyond the list (the view may still hold a stale index) clears every page.
  QStringListModel stale(QStringList({"x", "y", "z"}));
  w.onListClicked(stale.index(2, 0));
  EXPECT_EQ(w.paramPage()->currentFile(), "");
  EXPECT_EQ(w.resultsPage()->currentFile(), "");
  EXPECT_EQ(w.tsPage()->currentFile(), "");
  EXPECT_EQ(w.outputPage()->currentFile(), "");
  EXPECT_TRUE(w.stationItems().isEmpty());

  w.onListClicked(model->index(0, 0));
  w.onListClicked(QModelIndex());
  EXPECT_EQ(w.resultsPage()->currentFile(), "");
}

TEST(MainWindow, EnglishTabTextsWithTheTranslationInstalled) {
  QTranslator translator;
  ASSERT_TRUE(installTranslation(*qApp, translator, "en_US"));
  {
    CWdtMain w;
    QTabWidget* tabs = w.form()->tabRight;
    EXPECT_EQ(tabs->tabText(0), "Export Data");
    EXPECT_EQ(tabs->tabText(1), "Edit SRS Parameters");
    EXPECT_EQ(tabs->tabText(2), "Collection results");
    EXPECT_EQ(tabs->tabText(3), "Time Series display");
    EXPECT_EQ(tabs->tabText(4), "Station Distribution");
    EXPECT_EQ(title(w), "Measurement files, 0 in total");
    EXPECT_EQ(w.form()->btnImportData->text(), "import");
    EXPECT_EQ(w.form()->btnClearFile->text(), "clear");
  }
  QApplication::removeTranslator(&translator);
}

TEST(MainWindow, ChineseLocalesKeepTheSourceTexts) {
  QTranslator translator;
  EXPECT_FALSE(installTranslation(*qApp, translator, "zh_CN"));
  EXPECT_FALSE(wantsEnglish("en_CN"));
  EXPECT_TRUE(wantsEnglish("zh_TW"));
  EXPECT_TRUE(wantsEnglish("de_DE"));
  CWdtMain w;
  EXPECT_EQ(w.form()->tabRight->tabText(2), QString::fromUtf8("采集结果"));
}

TEST(MainWindow, ClickShowsTheFileOnTheResultsPageAndClearEmptiesIt) {
  ScopedPrompts prompts;
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  QProcess gen;
  gen.start(GEN_SURVEY_EXE, {tmp.path(), "--seed", "31", "--files", "2"});
  ASSERT_TRUE(gen.waitForFinished(120000));
  ASSERT_EQ(gen.exitCode(), 0);

  CWdtMain w;
  w.importFiles({tmp.filePath("L101_01.SRS"), tmp.filePath("L101_02.SRS")});
  w.onListClicked(w.form()->listOpenFiles->model()->index(1, 0));
  WdtSipRes* page = w.resultsPage();
  EXPECT_TRUE(prompts->messages.isEmpty());
  EXPECT_TRUE(page->isLoaded());
  EXPECT_EQ(page->resTable()->model()->rowCount(), 24);
  EXPECT_TRUE(page->form()->btnRecal->isEnabled());

  QTest::mouseClick(w.form()->btnClearFile, Qt::LeftButton);
  EXPECT_FALSE(page->isLoaded());
  EXPECT_TRUE(page->fileList().isEmpty());
  EXPECT_FALSE(page->form()->btnRecal->isEnabled());
  EXPECT_FALSE(page->form()->btnOutSrsSingle->isEnabled());
  EXPECT_FALSE(page->form()->btnOutToTxt->isEnabled());
}

TEST(MainWindow, QtDialogsSpeakChineseOnAChineseSystem) {
  QTranslator none;
  EXPECT_FALSE(installQtTranslation(*qApp, none, "en_US"));
  QTranslator qt;
  ASSERT_TRUE(installQtTranslation(*qApp, qt, "zh_CN"));
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8("取消"));
  EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Open"), QString::fromUtf8("打开"));
  QApplication::removeTranslator(&qt);
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel");
}

TEST(MainWindow, FullPathTooltipAndTheShownFileStaysSelected) {
  ScopedPrompts prompts;
  CWdtMain w;
  w.importFiles({"/nonexistent/a/L101_01.SRS", "/nonexistent/b/L101_01.SRS"});
  QListView* list = w.form()->listOpenFiles;
  QAbstractItemModel* model = list->model();
  EXPECT_EQ(model->data(model->index(0, 0)).toString(), "L101_01.SRS");
  EXPECT_EQ(model->data(model->index(0, 0), Qt::ToolTipRole).toString(), "/nonexistent/a/L101_01.SRS");
  EXPECT_EQ(model->data(model->index(1, 0), Qt::ToolTipRole).toString(), "/nonexistent/b/L101_01.SRS");

  // A click selects the row as a user's click would, then more files come.
  list->setCurrentIndex(model->index(1, 0));
  w.onListClicked(model->index(1, 0));
  w.importFiles({"/nonexistent/c/L101_01.SRS"});
  ASSERT_EQ(model->rowCount(), 3);
  EXPECT_EQ(list->currentIndex().row(), 1);
  EXPECT_TRUE(list->selectionModel()->isSelected(model->index(1, 0)));
  EXPECT_EQ(model->data(model->index(2, 0), Qt::ToolTipRole).toString(), "/nonexistent/c/L101_01.SRS");

  QTest::mouseClick(w.form()->btnClearFile, Qt::LeftButton);
  w.importFiles({"/nonexistent/d/L1.SRS"});
  EXPECT_FALSE(list->selectionModel()->hasSelection());
}
