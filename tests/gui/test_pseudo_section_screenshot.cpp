// Screenshots of the "拟断面图" tab on the demo survey (a 2-D sounding and a
// mid-gradient scan) in Chinese and English at 1366 x 720, with a tight
// error limit so that failing points show; written only when
// VARNEX_SCREENSHOT_DIR names a directory.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QTranslator>

#include "gui/export/wdt_output.h"
#include "gui/main/app_init.h"
#include "gui/main/wdt_main.h"
#include "gui/section/wdt_pseudo_section.h"
#include "scripted_prompts.h"
#include "survey_fixture.h"

namespace {

void shoot(const QStringList& layout, const QString& cp_limit, const QString& file, bool english) {
  const QString out = qEnvironmentVariable("VARNEX_SCREENSHOT_DIR");
  if (out.isEmpty()) GTEST_SKIP() << "VARNEX_SCREENSHOT_DIR not set";
  ScopedPrompts prompts;
  QTranslator translator;
  if (english) {
    ASSERT_TRUE(installTranslation(*qApp, translator, "en_US"));
  }
  {
    QTemporaryDir tmp;
    const QString dir =
        generateSurvey(tmp, QStringList{"--seed", "1", "--files", "4", "--devices", "4", "--cals", "6", "--no-smt"} + layout);
    CWdtMain w;
    w.resize(1366, 720);
    QStringList files;
    for (const QString& n : QDir(dir).entryList({"*.SRS"}, QDir::Files, QDir::Name)) files << dir + "/" + n;
    w.importFiles(files);
    // The plan map places the points at the sites of the coordinate table.
    prompts->fileAnswers.enqueue({dir + "/site_coord.txt"});
    QMetaObject::invokeMethod(w.outputPage(), "onBtnImportFileCoord");
    auto* edit = w.outputPage()->findChild<QLineEdit*>("edtMaxErrCp");
    edit->setText(cp_limit);
    w.show();
    w.form()->tabRight->setCurrentWidget(w.sectionPage());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QTest::qWait(50);
    EXPECT_TRUE(w.grab().save(QDir(out).filePath(file)));
  }
  if (english) QCoreApplication::removeTranslator(&translator);
}

}  // namespace

TEST(SectionScreenshots, Sounding) {
  shoot({"--layout", "pole4"}, "1", "pseudo_section_zh.png", false);
  shoot({"--layout", "pole4"}, "1", "pseudo_section_en.png", true);
}

TEST(SectionScreenshots, PlanMap) {
  shoot({"--layout", "mid", "--lines", "4"}, "1", "plan_map_zh.png", false);
  shoot({"--layout", "mid", "--lines", "4"}, "1", "plan_map_en.png", true);
}
