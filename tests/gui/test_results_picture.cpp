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
#include "picture_fixture.h"

class ResultsPicture : public MainWindowPicture {};

TEST_F(ResultsPicture, MainWindowOnTheResultsTab) {
  ASSERT_TRUE(Generate(tmp.path(), {"--seed", "1"}));
  {
    CWdtMain w;
    Open(w, 2);

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
}
