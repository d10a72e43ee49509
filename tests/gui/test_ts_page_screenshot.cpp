// Screenshots of the time-series page and the station map with the English
// texts, written only when VARNEX_SCREENSHOT_DIR names a directory.
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
#include "gui/stations/wdt_gps_pos.h"
#include "gui/timeseries/wdt_ts_plot.h"
#include "scripted_prompts.h"
#include "survey_fixture.h"
#if __has_include("ui_wdt_main.h")
#include "ui_wdt_main.h"
#endif

namespace {

void shoot(const QStringList& survey, const QString& file, const std::function<QWidget*(CWdtMain&)>& page) {
  const QString out = qEnvironmentVariable("VARNEX_SCREENSHOT_DIR");
  if (out.isEmpty()) GTEST_SKIP() << "VARNEX_SCREENSHOT_DIR not set";
  ScopedPrompts prompts;
  QTranslator translator;
  ASSERT_TRUE(installTranslation(*qApp, translator, "en_US"));
  {
    QTemporaryDir tmp;
    const QString dir = generateSurvey(tmp, survey);
    CWdtMain w;
    w.resize(1400, 900);
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
    EXPECT_TRUE(p->grab().save(QDir(out).filePath(file)));
  }
  QCoreApplication::removeTranslator(&translator);
}

}  // namespace

TEST(PageScreenshots, TimeSeriesPage) {
  shoot({"--seed", "7", "--files", "1", "--devices", "3", "--cals", "12", "--sample-rate", "150"}, "ts_page.png",
        [](CWdtMain& w) { return w.tsPage(); });
}

TEST(PageScreenshots, StationMap) {
  shoot({"--seed", "7", "--files", "1", "--devices", "3", "--cals", "2", "--layout", "free"}, "station_map.png",
        [](CWdtMain& w) { return w.stationPage(); });
}
