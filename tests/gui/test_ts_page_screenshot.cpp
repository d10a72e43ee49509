// Screenshots of the time-series page, the station map and the parameter
// editor on a small screen with the English texts, written only when
// VARNEX_SCREENSHOT_DIR names a directory.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QListView>
#include <QTabWidget>
#include <QTest>
#include <QTranslator>

#include "gui/main/app_init.h"
#include "gui/main/wdt_main.h"
#include "gui/params/wdt_param_srs.h"
#include "gui/stations/wdt_gps_pos.h"
#include "gui/timeseries/wdt_ts_plot.h"
#include "scripted_prompts.h"
#include "survey_fixture.h"
#if __has_include("ui_wdt_main.h")
#include "ui_wdt_main.h"
#endif

namespace {

// The page given is shown; the whole window is taken when whole is set.
void shoot(const QStringList& survey, const QString& file, const std::function<QWidget*(CWdtMain&)>& page,
           QSize size = QSize(1400, 900), bool whole = false) {
  const QString out = qEnvironmentVariable("VARNEX_SCREENSHOT_DIR");
  if (out.isEmpty()) GTEST_SKIP() << "VARNEX_SCREENSHOT_DIR not set";
  ScopedPrompts prompts;
  QTranslator translator;
  ASSERT_TRUE(installTranslation(*qApp, translator, "en_US"));
  {
    QTemporaryDir tmp;
    const QString dir = generateSurvey(tmp, survey);
    CWdtMain w;
    w.resize(size);
    w.importFiles({dir + "/L101_01.SRS"});
    prompts->fileAnswers.enqueue({dir + "/smt"});
    w.tsPage()->onBtnChangeDir();
    w.show();
    QWidget* p = page(w);
    w.form()->tabRight->setCurrentWidget(p);
    w.form()->listOpenFiles->setCurrentIndex(w.form()->listOpenFiles->model()->index(0, 0));
    w.onListClicked(w.form()->listOpenFiles->model()->index(0, 0));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QTest::qWait(50);
    EXPECT_TRUE((whole ? w.grab() : p->grab()).save(QDir(out).filePath(file)));
  }
  QCoreApplication::removeTranslator(&translator);
}

}  // namespace

TEST(PageScreenshots, TimeSeriesPage) {
  shoot({"--seed", "7", "--files", "1", "--devices", "3", "--cals", "12", "--sample-rate", "150"}, "ts_page.png",
        [](CWdtMain& w) { return w.tsPage(); });
}

// A 1366 x 768 screen with its taskbar: the parameter groups scroll.
TEST(PageScreenshots, ParameterEditorOnASmallScreen) {
  shoot({"--seed", "7", "--files", "1", "--devices", "3", "--cals", "2"}, "params_small_screen.png",
        [](CWdtMain& w) -> QWidget* { return w.paramPage(); }, QSize(1366, 720), true);
}

TEST(PageScreenshots, StationMap) {
  shoot({"--seed", "7", "--files", "1", "--devices", "3", "--cals", "2", "--layout", "free"}, "station_map.png",
        [](CWdtMain& w) { return w.stationPage(); });
}
