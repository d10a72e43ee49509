// The "拟断面图" tab driven as a user drives it: the choices redraw, the
// title counts the points that pass the export page's limits, a double-click
// shows the point's file and channel on the results page, pictures are
// saved, and the view follows the file list.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTableView>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

#include "gui/export/wdt_output.h"
#include "gui/main/app_init.h"
#include "gui/main/wdt_main.h"
#include "gui/results/wdt_sip_res.h"
#include "gui/results/wdt_sip_res_table.h"
#include "gui/section/wdt_pseudo_section.h"
#include "gui/toolkit/custom_plot.h"
#include "scripted_prompts.h"
#include "survey_fixture.h"
#include "ui_wdt_pseudo_section.h"

namespace {

QString Title(CCustomPlot* plot) {
  auto* t = qobject_cast<QCPTextElement*>(plot->plotLayout()->element(0, 0));
  return t ? t->text() : QString();
}

QStringList Srs(const QString& dir) {
  QStringList out;
  for (const QString& n : QDir(dir).entryList({"*.SRS"}, QDir::Files, QDir::Name)) out << dir + "/" + n;
  return out;
}

class SectionTab : public ::testing::Test {
protected:
  void open(const QStringList& survey) {
    dir = generateSurvey(tmp, survey + QStringList{"--no-smt"});
    w = std::make_unique<CWdtMain>();
    w->resize(1366, 720);
    w->importFiles(Srs(dir));
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    page = w->sectionPage();
    ui = page->form();
    w->form()->tabRight->setCurrentWidget(page);
    QApplication::processEvents();
  }
  // The export page's "相对相位最大误差(mrad)" edit, typed in as a user does.
  void setExportCpError(const QString& mrad) {
    w->form()->tabRight->setCurrentWidget(w->outputPage());
    auto* edit = w->outputPage()->findChild<QLineEdit*>("edtMaxErrCp");
    edit->selectAll();
    QTest::keyClicks(edit, mrad);
    w->form()->tabRight->setCurrentWidget(page);
    QApplication::processEvents();
  }
  int passed(int panel) {
    int n = 0;
    for (const SectionPoint& p : page->points(panel)) n += p.passed;
    return n;
  }

  ScopedPrompts prompts;
  QTemporaryDir tmp;
  QString dir;
  std::unique_ptr<CWdtMain> w;
  CWdtPseudoSection* page = nullptr;
  Ui::CWdtPseudoSection* ui = nullptr;
};

TEST_F(SectionTab, FrequencyAndQuantityChangesRedraw) {
  open({"--seed", "21", "--files", "4", "--devices", "2", "--cals", "4", "--layout", "pole4"});
  EXPECT_EQ(w->form()->tabRight->tabText(5), QString::fromUtf8("拟断面图"));
  ASSERT_GE(ui->cmbFreq->count(), 2);
  ASSERT_FALSE(page->points(0).empty());
  EXPECT_TRUE(ui->lbStatus->isHidden());
  EXPECT_TRUE(Title(ui->plotApp).contains("F1"));
  const std::vector<SectionPoint> f1 = page->points(0);

  ui->cmbFreq->setCurrentIndex(1);
  EXPECT_TRUE(Title(ui->plotApp).contains("F2"));
  SectionOptions o;
  o.harmonic = 1;
  const std::vector<SectionPoint> f2 = SectionPoints(page->source(), o);
  ASSERT_EQ(page->points(0).size(), f2.size());
  for (size_t i = 0; i < f2.size(); ++i) EXPECT_EQ(page->points(0)[i].value, f2[i].value);
  EXPECT_NE(page->points(0)[0].value, f1[0].value);
  EXPECT_TRUE(page->markers(0)->markers().size() == int(f2.size()));

  // The IP panel: relative phase, then the frequency effect.
  EXPECT_TRUE(Title(ui->plotIp).startsWith(QString::fromUtf8("相对相位")));
  ui->cmbIp->setCurrentIndex(1);
  EXPECT_TRUE(Title(ui->plotIp).startsWith(QString::fromUtf8("频散率")));
  o.quantity = SectionQuantity::Fs;
  const std::vector<SectionPoint> fs = SectionPoints(page->source(), o);
  ASSERT_EQ(page->points(1).size(), fs.size());
  for (size_t i = 0; i < fs.size(); ++i) EXPECT_EQ(page->points(1)[i].value, fs[i].value);

  // The n-level instead of -AB/5 moves the points, not their values.
  const double y_ab = page->markers(0)->markers()[0].y;
  ui->cmbDepth->setCurrentIndex(2);
  EXPECT_NE(page->markers(0)->markers()[0].y, y_ab);
  EXPECT_EQ(ui->plotApp->yAxis->label(), QString::fromUtf8("n 层"));
}

TEST_F(SectionTab, TitleCountsThePointsThatPassTheExportLimits) {
  open({"--seed", "22", "--files", "4", "--devices", "2", "--cals", "4", "--layout", "pole4"});
  const int total = int(page->points(0).size());
  ASSERT_GT(total, 4);
  EXPECT_TRUE(Title(ui->plotApp).endsWith(QString::fromUtf8("合格 %1/%1").arg(total))) << Title(ui->plotApp).toStdString();
  // A tight error limit on the export page fails some points.
  setExportCpError("2");
  const int ok = passed(0);
  EXPECT_LT(ok, total);
  EXPECT_GT(ok, 0);
  EXPECT_TRUE(Title(ui->plotApp).endsWith(QString::fromUtf8("合格 %1/%2").arg(ok).arg(total)));
  EXPECT_TRUE(Title(ui->plotIp).endsWith(QString::fromUtf8("合格 %1/%2").arg(ok).arg(total)));
  int hollow = 0;
  for (const SectionMarker& m : page->markers(0)->markers()) hollow += !m.passed;
  EXPECT_EQ(hollow, total - ok);
}

// A 3-D sounding over two lines: the line chooser offers both, and choosing
// the other one redraws the panels with that line's points only.
TEST_F(SectionTab, LineChooserOfThe3dSoundingRedrawsWithThatLinesPoints) {
  open({"--seed", "27", "--files", "4", "--lines", "2", "--devices", "2", "--cals", "4", "--layout", "pole4"});
  EXPECT_TRUE(ui->cmbLine->isHidden());
  ui->cmbKind->setCurrentIndex(1);
  QApplication::processEvents();
  ASSERT_FALSE(ui->cmbLine->isHidden());
  ASSERT_EQ(ui->cmbLine->count(), 2);
  EXPECT_EQ(ui->cmbLine->itemText(0), "101");
  EXPECT_EQ(ui->cmbLine->itemText(1), "102");
  for (int at : {0, 1, 0}) {
    const int line = 101 + at;
    SCOPED_TRACE(line);
    ui->cmbLine->setCurrentIndex(at);
    SectionOptions o;
    o.line = line;
    const std::vector<SectionPoint> expected = SectionPoints(page->source(), o);
    ASSERT_FALSE(expected.empty());
    for (int panel : {0, 1}) {
      ASSERT_EQ(page->points(panel).size(), expected.size());
      EXPECT_EQ(page->markers(panel)->markers().size(), int(expected.size()));
    }
    for (size_t i = 0; i < expected.size(); ++i) {
      const SectionPoint& p = page->points(0)[i];
      EXPECT_EQ(p.row, expected[i].row);
      EXPECT_EQ(p.value, expected[i].value);
      EXPECT_TRUE(QFileInfo(QString::fromStdString(p.origin.file)).fileName().startsWith(QString("L%1_").arg(line)))
          << p.origin.file;
    }
  }
}

TEST_F(SectionTab, DoubleClickShowsTheFileAndChannelOnTheResultsPage) {
  open({"--seed", "23", "--files", "3", "--devices", "2", "--cals", "4", "--layout", "pole4"});
  ASSERT_FALSE(page->points(0).empty());
  const int middle = int(page->points(0).size() / 2);
  const SectionMarker m = page->markers(0)->markers()[middle];
  const QPoint at = page->markers(0)->coordsToPixels(m.x, m.y).toPoint();
  // Markers may overlap: the one under the pointer is the one nearest to it.
  const int hit = page->markers(0)->markerAt(at, 6.0);
  ASSERT_GE(hit, 0);
  const SectionPoint p = page->points(0)[size_t(hit)];
  QTest::mouseDClick(ui->plotApp, Qt::LeftButton, Qt::NoModifier, at);
  QApplication::processEvents();
  const QString path = QString::fromStdString(p.origin.file);
  EXPECT_EQ(w->form()->tabRight->currentWidget(), w->resultsPage());
  EXPECT_EQ(w->resultsPage()->currentFile(), path);
  EXPECT_EQ(w->form()->listOpenFiles->currentIndex().row(), w->fileList().indexOf(path));
  auto* table = w->resultsPage()->resTable()->findChild<QTableView*>("tbRes");
  const QModelIndexList sel = table->selectionModel()->selectedRows();
  ASSERT_EQ(sel.size(), 1);
  EXPECT_EQ(sel[0].data().toString(), QString("%1_%2").arg(QString::fromStdString(p.origin.station)).arg(p.origin.channel));
}

TEST_F(SectionTab, SavesPngPdfAndSvgAtTheChosenSize) {
  open({"--seed", "24", "--files", "3", "--devices", "2", "--cals", "4"});
  struct Case {
    const char* name;
    const char* magic;
  };
  for (const Case c : {Case{"view.png", "\x89PNG"}, Case{"view.pdf", "%PDF"}, Case{"view.svg", "<?xml"}}) {
    const QString out = tmp.filePath(c.name);
    prompts->fileAnswers.enqueue({out});
    prompts->intAnswers.enqueue(900);
    prompts->intAnswers.enqueue(700);
    QTest::mouseClick(ui->btnSavePicture, Qt::LeftButton);
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << c.name;
    const QByteArray bytes = f.readAll();
    EXPECT_GT(bytes.size(), 1000) << c.name;
    EXPECT_TRUE(bytes.startsWith(c.magic)) << c.name;
  }
  EXPECT_EQ(QImage(tmp.filePath("view.png")).size(), QSize(900, 700));
  // A cancelled size question writes nothing.
  prompts->fileAnswers.enqueue({tmp.filePath("none.png")});
  QTest::mouseClick(ui->btnSavePicture, Qt::LeftButton);
  EXPECT_FALSE(QFile::exists(tmp.filePath("none.png")));
  EXPECT_TRUE(prompts->messages.isEmpty());
}

TEST_F(SectionTab, PlanMapOfAMidGradientScanWithSites) {
  open({"--seed", "25", "--files", "2", "--devices", "2", "--cals", "4", "--layout", "mid"});
  // Without the export page's coordinate table the plane table has no places.
  for (const SectionPoint& p : page->points(0)) EXPECT_EQ(p.x, 0.0);
  w->form()->tabRight->setCurrentWidget(w->outputPage());
  prompts->fileAnswers.enqueue({dir + "/site_coord.txt"});
  QMetaObject::invokeMethod(w->outputPage(), "onBtnImportFileCoord");
  w->form()->tabRight->setCurrentWidget(page);
  ASSERT_FALSE(page->points(0).empty());
  for (const SectionPoint& p : page->points(0)) EXPECT_GT(p.x, 1000.0);
  EXPECT_EQ(ui->cmbKind->currentIndex(), 2);
  EXPECT_TRUE(ui->cmbDepth->isHidden());
  EXPECT_TRUE(page->source().plane);
  EXPECT_EQ(ui->plotApp->xAxis->label(), QString::fromUtf8("X坐标 (m)"));
}

TEST_F(SectionTab, FollowsTheFileList) {
  open({"--seed", "26", "--files", "2", "--devices", "2", "--cals", "4"});
  ASSERT_FALSE(page->points(0).empty());
  // The tab never makes the window taller than a 1366 x 768 screen allows.
  EXPECT_LE(page->minimumSizeHint().height(), 480);
  QTest::mouseClick(w->form()->btnClearFile, Qt::LeftButton);
  EXPECT_TRUE(page->points(0).empty());
  EXPECT_FALSE(ui->lbStatus->isHidden());
  EXPECT_EQ(ui->lbStatus->text(), QString::fromUtf8("没有找到符合要求的SRS数据文件!"));
  EXPECT_TRUE(Title(ui->plotApp).endsWith(QString::fromUtf8("合格 0/0")));
  // Imported while another tab is shown: drawn when the tab is shown again.
  w->form()->tabRight->setCurrentIndex(0);
  w->importFiles(Srs(dir));
  EXPECT_TRUE(page->points(0).empty());
  w->form()->tabRight->setCurrentWidget(page);
  QApplication::processEvents();
  EXPECT_FALSE(page->points(0).empty());
}

}  // namespace
