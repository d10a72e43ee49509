// The results tab of the main window on a generated demo survey, rendered
// offscreen with the English texts. With VARNEX_SCREENSHOT set to a file name
// the picture is saved there as PNG.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QListView>
#include <QPixmap>
#include <QProcess>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTranslator>

#include "gui/main/app_init.h"
#include "gui/main/wdt_main.h"
#include "gui/results/model_res.h"
#include "gui/results/wdt_sip_res.h"
#include "gui/results/wdt_sip_res_table.h"
#include "scripted_prompts.h"

TEST(ResultsPicture, MainWindowOnTheResultsTab) {
  ScopedPrompts prompts;
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  QProcess gen;
  gen.start(GEN_SURVEY_EXE, {tmp.path(), "--seed", "1"});
  ASSERT_TRUE(gen.waitForFinished(120000));
  ASSERT_EQ(gen.exitCode(), 0);

  QTranslator translator;
  ASSERT_TRUE(installTranslation(*qApp, translator, "en_US"));
  // The offscreen platform's 12-point default would widen every form beyond
  // the window; a desktop's usual 9 points is what the layouts are made for.
  const QFont app_font = QApplication::font();
  QFont font = app_font;
  font.setPointSize(9);
  QApplication::setFont(font);
  {
    CWdtMain w;
    w.importFiles({tmp.filePath("L101_01.SRS"), tmp.filePath("L101_02.SRS"), tmp.filePath("L101_03.SRS")});
    const QModelIndex first = w.form()->listOpenFiles->model()->index(0, 0);
    w.form()->listOpenFiles->setCurrentIndex(first);
    w.onListClicked(first);
    w.form()->tabRight->setCurrentIndex(2);
    w.show();
    QApplication::processEvents();

    EXPECT_TRUE(prompts->messages.isEmpty());
    EXPECT_EQ(w.resultsPage()->resTable()->model()->rowCount(), 24);
    const QPixmap picture = w.grab();
    EXPECT_EQ(picture.size(), w.size());
    const QString out = QString::fromLocal8Bit(qgetenv("VARNEX_SCREENSHOT"));
    if (!out.isEmpty()) {
      EXPECT_TRUE(picture.save(out, "PNG"));
    }

    // The space view of the same file; VARNEX_SCREENSHOT_SPACE names its picture.
    w.resultsPage()->form()->cmbShowType->setCurrentIndex(1);
    QApplication::processEvents();
    const QPixmap space = w.grab();
    const QString out_space = QString::fromLocal8Bit(qgetenv("VARNEX_SCREENSHOT_SPACE"));
    if (!out_space.isEmpty()) {
      EXPECT_TRUE(space.save(out_space, "PNG"));
    }
  }
  QApplication::setFont(app_font);
  QApplication::removeTranslator(&translator);
}
