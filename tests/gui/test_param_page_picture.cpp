// The parameter tab of the main window on a generated demo survey, rendered
// offscreen with the English texts. With VARNEX_PARAM_SCREENSHOT set to a
// file name the picture is saved there as PNG.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QListView>
#include <QPixmap>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTranslator>

#include "gui/main/app_init.h"
#include "gui/main/wdt_main.h"
#include "gui/params/model_sip_dev_lay.h"
#include "gui/params/table_dev_pole_model.h"
#include "gui/params/wdt_param_srs.h"
#include "picture_fixture.h"

class ParamPagePicture : public MainWindowPicture {};

TEST_F(ParamPagePicture, MainWindowOnTheParameterTab) {
  ASSERT_TRUE(Generate(tmp.path(), {"--seed", "1", "--no-smt"}));
  // A sensor factor the page offers, as acquisition stations store it.
  {
    CFormatSRS srs;
    ASSERT_TRUE(srs.Read(tmp.filePath("L101_01.SRS").toStdString()));
    srs.m_prm_meas.v2i = 0.025f;
    ASSERT_TRUE(srs.Write(tmp.filePath("L101_01.SRS").toStdString()));
  }
  ASSERT_TRUE(Generate(tmp.filePath("free"), {"--seed", "1", "--no-smt", "--files", "1", "--layout", "free"}));
  {
    CWdtMain w;
    Open(w, 1);

    EXPECT_TRUE(prompts->messages.isEmpty());
    CWdtParamSrs* page = w.paramPage();
    EXPECT_EQ(page->devLayModel()->rowCount(), 24);
    EXPECT_EQ(page->findChild<QPushButton*>("btnSaveChange")->text(), "Save Change");
    EXPECT_EQ(page->devLayModel()->index(0, 2).data().toString(), "Electrical");
    const QPixmap picture = w.grab();
    const QString out = QString::fromLocal8Bit(qgetenv("VARNEX_PARAM_SCREENSHOT"));
    if (!out.isEmpty()) {
      EXPECT_TRUE(picture.save(out, "PNG"));
    }

    // The free layout: the two electrode tables instead of the line layout.
    w.importFiles({tmp.filePath("free/L101_01.SRS")});
    const QModelIndex free = w.form()->listOpenFiles->model()->index(3, 0);
    w.form()->listOpenFiles->setCurrentIndex(free);
    w.onListClicked(free);
    QApplication::processEvents();
    EXPECT_TRUE(prompts->messages.isEmpty());
    EXPECT_EQ(page->devPoleModel()->rowCount(), 30);
    const QString out_free = QString::fromLocal8Bit(qgetenv("VARNEX_PARAM_FREE_SCREENSHOT"));
    if (!out_free.isEmpty()) {
      EXPECT_TRUE(w.grab().save(out_free, "PNG"));
    }
  }
}
