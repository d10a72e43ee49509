// Screenshots of every page of the main window on a 1366 x 768 screen with
// its taskbar, in Chinese (with the CJK font) and in English, written only
// when VARNEX_SCREENSHOT_DIR names a directory: <name>.png is the Chinese
// interface, <name>_en.png the English one. The README shows them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QListView>
#include <QTabWidget>
#include <QTest>
#include <QTranslator>

#include <functional>

#include "gui/export/wdt_output.h"
#include "gui/main/app_init.h"
#include "gui/main/wdt_main.h"
#include "gui/params/wdt_param_srs.h"
#include "gui/results/wdt_sip_res.h"
#include "gui/stations/wdt_gps_pos.h"
#include "gui/timeseries/wdt_ts_plot.h"
#include "scripted_prompts.h"
#include "survey_fixture.h"
#include "ui_wdt_main.h"
#include "ui_wdt_sip_res.h"

namespace {

const QSize kLaptop(1366, 720);

// The page given is shown in the whole window, once per language; prepare
// (optional) sets the page up after the file is shown.
void shoot(const QStringList& survey, const QString& name, const std::function<QWidget*(CWdtMain&)>& page,
           const std::function<void(CWdtMain&)>& prepare = nullptr) {
  const QString out = qEnvironmentVariable("VARNEX_SCREENSHOT_DIR");
  if (out.isEmpty()) GTEST_SKIP() << "VARNEX_SCREENSHOT_DIR not set";
  ScopedPrompts prompts;
  QTemporaryDir tmp;
  const QString dir = generateSurvey(tmp, survey);
  for (const char* locale : {"zh_CN", "en_US"}) {
    QTranslator translator;
    const bool english = installTranslation(*qApp, translator, locale);
    {
      CWdtMain w;
      w.resize(kLaptop);
      w.importFiles({dir + "/L101_01.SRS", dir + "/L101_02.SRS"});
      prompts->fileAnswers.enqueue({dir + "/smt"});
      w.tsPage()->onBtnChangeDir();
      w.show();
      QWidget* p = page(w);
      w.form()->tabRight->setCurrentWidget(p);
      w.form()->listOpenFiles->setCurrentIndex(w.form()->listOpenFiles->model()->index(0, 0));
      w.onListClicked(w.form()->listOpenFiles->model()->index(0, 0));
      if (prepare) prepare(w);
      ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
      QTest::qWait(50);
      EXPECT_LE(w.height(), kLaptop.height()) << name.toStdString() << " " << locale;
      const QString file = name + (english ? "_en" : "") + ".png";
      EXPECT_TRUE(w.grab().save(QDir(out).filePath(file)));
    }
    if (english) QCoreApplication::removeTranslator(&translator);
  }
}

const QStringList kSurvey = {"--seed", "7", "--files", "2", "--devices", "3", "--cals", "2"};

}  // namespace

TEST(PageScreenshots, ExportPage) {
  shoot(kSurvey, "export_page", [](CWdtMain& w) { return w.outputPage(); });
}

TEST(PageScreenshots, ExportPageWithInversionOptions) {
  shoot(kSurvey, "export_page_inversion", [](CWdtMain& w) { return w.outputPage(); },
        [](CWdtMain& w) {
          for (const char* name : {"rd2DSounding", "rdInvData"})
            w.outputPage()->findChild<QAbstractButton*>(name)->click();
        });
}

TEST(PageScreenshots, ParameterEditor) {
  shoot(kSurvey, "param_page", [](CWdtMain& w) -> QWidget* { return w.paramPage(); });
}

TEST(PageScreenshots, ParameterEditorThreeElectrodes) {
  shoot({"--seed", "7", "--files", "2", "--devices", "3", "--cals", "2", "--layout", "pole3"}, "param_page_pole3",
        [](CWdtMain& w) -> QWidget* { return w.paramPage(); });
}

TEST(PageScreenshots, ParameterEditorFreeLayout) {
  shoot({"--seed", "7", "--files", "2", "--devices", "3", "--cals", "2", "--layout", "free"}, "param_page_free",
        [](CWdtMain& w) -> QWidget* { return w.paramPage(); });
}

TEST(PageScreenshots, ResultsPage) {
  shoot({"--seed", "1", "--files", "2"}, "results_page", [](CWdtMain& w) -> QWidget* { return w.resultsPage(); });
}

TEST(PageScreenshots, SpaceView) {
  shoot({"--seed", "1", "--files", "2"}, "space_view", [](CWdtMain& w) -> QWidget* { return w.resultsPage(); },
        [](CWdtMain& w) { w.resultsPage()->form()->cmbShowType->setCurrentIndex(1); });
}

TEST(PageScreenshots, TimeSeriesPage) {
  shoot({"--seed", "7", "--files", "2", "--devices", "3", "--cals", "12", "--sample-rate", "150"}, "ts_page",
        [](CWdtMain& w) { return w.tsPage(); });
}

TEST(PageScreenshots, StationMap) {
  shoot({"--seed", "7", "--files", "2", "--devices", "3", "--cals", "2", "--layout", "free"}, "station_map",
        [](CWdtMain& w) { return w.stationPage(); });
}
