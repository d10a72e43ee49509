// What a list click reads in a shown main window: the selected file once,
// for the page in view and the station map; the hidden tabs take the file up
// when they are shown.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QListView>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <map>
#include <string>

#include "core/sip/format.h"
#include "core/sip/format_srs.h"
#include "core/processing/srs_dump.h"
#include "core/processing/srs_recalc.h"
#include "core/sip/stations.h"
#include "gui/main/wdt_main.h"
#include "gui/params/model_sip_dev_lay.h"
#include "gui/params/wdt_param_srs.h"
#include "gui/results/model_res.h"
#include "gui/results/wdt_sip_res.h"
#include "gui/results/wdt_res_plot_space_sip.h"
#include "gui/results/wdt_res_plot_spectrum.h"
#include "gui/results/model_plot_sel_channel.h"
#include "gui/results/wdt_sip_res_table.h"
#include "gui/stations/item.h"
#include "gui/stations/wdt_gps_pos.h"
#include "gui/toolkit/custom_plot.h"
#include "gui/toolkit/paths.h"
#include "gui/timeseries/wdt_ts_plot.h"
#include "scripted_prompts.h"
#include "survey_fixture.h"
#include "ui_wdt_main.h"
#include "ui_wdt_sip_res.h"
#include "ui_wdt_ts_plot.h"

namespace {

struct ReadCount {
  std::map<std::string, int> reads;
  ReadCount() { CFormat::SetReadObserver(&ReadCount::note, this); }
  ~ReadCount() { CFormat::SetReadObserver(nullptr, nullptr); }
  static void note(const std::string& path, void* ctx) { ++static_cast<ReadCount*>(ctx)->reads[path]; }
  int of(const QString& path) {
    auto it = reads.find(path.toStdString());
    return it == reads.end() ? 0 : it->second;
  }
  int srsTotal() {
    int n = 0;
    for (const auto& r : reads)
      if (r.first.size() > 4 && r.first.compare(r.first.size() - 4, 4, ".SRS") == 0) n += r.second;
    return n;
  }
};

// Every point of every graph of the space view's upper plot.
QVector<QVector<QPointF>> spacePoints(CWdtResPlotSpaceSip* view) {
  QVector<QVector<QPointF>> out;
  for (QCPGraph* g : view->graphs1()) {
    QVector<QPointF> pts;
    for (auto it = g->data()->constBegin(); it != g->data()->constEnd(); ++it) pts << QPointF(it->key, it->value);
    out << pts;
  }
  return out;
}

// Every cell of a table as the user reads it, row by row.
QStringList cellsOf(const QAbstractItemModel* m) {
  QStringList out;
  for (int r = 0; r < m->rowCount(); ++r)
    for (int c = 0; c < m->columnCount(); ++c) out << m->index(r, c).data().toString();
  return out;
}

// The result table of a file read in full, as the page fills it.
QStringList tableOfFullRead(CFormatSRS& full, const std::vector<LimitItem>* limits) {
  CWdtSipResTable table;
  table.initTable(limits);
  table.setSrs(&full);
  table.setSingleFreq(false);
  table.updateFreqList();
  table.onUpdateResList();
  return cellsOf(table.model());
}

QByteArray bytesOf(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

TEST(ClickReads, OneReadPerClickAndHiddenTabsCatchUpWhenShown) {
  ScopedPrompts prompts;
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  const QString dir = generateSurvey(tmp, {"--seed", "5", "--files", "2", "--devices", "3", "--cals", "2"});
  const QString first = dir + "/L101_01.SRS";
  const QString second = dir + "/L101_02.SRS";

  CFormatSRS srs1, srs2;
  ASSERT_TRUE(srs1.Read(first.toStdString()));
  ASSERT_TRUE(srs2.Read(second.toStdString()));

  CWdtMain w;
  w.importFiles({first, second});
  QTabWidget* tabs = w.form()->tabRight;
  tabs->setCurrentWidget(w.resultsPage());
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  QAbstractItemModel* list = w.form()->listOpenFiles->model();

  {
    ReadCount count;
    w.onListClicked(list->index(0, 0));
    QApplication::processEvents();
    EXPECT_EQ(count.of(first), 1);
    EXPECT_EQ(count.srsTotal(), 1);
  }
  EXPECT_EQ(w.resultsPage()->resTable()->model()->rowCount(), 18);
  EXPECT_EQ(size_t(w.stationItems().size()), BuildStations(srs1).size());
  EXPECT_EQ(w.paramPage()->currentFile(), first);
  EXPECT_EQ(w.tsPage()->currentFile(), first);

  {
    ReadCount count;
    w.onListClicked(list->index(1, 0));
    tabs->setCurrentWidget(w.paramPage());
    QApplication::processEvents();
    EXPECT_EQ(count.of(second), 2);
    tabs->setCurrentWidget(w.tsPage());
    QApplication::processEvents();
    EXPECT_EQ(count.of(second), 3);
    // Showing a tab again reads nothing more.
    tabs->setCurrentWidget(w.paramPage());
    tabs->setCurrentWidget(w.tsPage());
    QApplication::processEvents();
    EXPECT_EQ(count.of(second), 3);
    EXPECT_EQ(count.of(first), 0);
  }
  EXPECT_TRUE(w.paramPage()->isFileLoaded());
  EXPECT_EQ(w.paramPage()->srs().GetPath(), second.toStdString());
  EXPECT_EQ(w.paramPage()->devLayModel()->rowCount(), 18);
  EXPECT_EQ(size_t(w.tsPage()->form()->cmbStation->count()), srs2.m_vt_prm_dev.size());
  EXPECT_TRUE(w.tsPage()->form()->cmbStation->isEnabled());
  EXPECT_TRUE(prompts->messages.isEmpty());
}

TEST(ClickReads, AnUnreadableFileIsReportedOnceAlsoWhenAHiddenTabIsShownLater) {
  ScopedPrompts prompts;
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  const QString bad = tmp.filePath("L1_01.SRS");
  {
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not an SRS file");
  }
  CWdtMain w;
  w.importFiles({bad});
  w.form()->tabRight->setCurrentWidget(w.resultsPage());
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));

  w.onListClicked(w.form()->listOpenFiles->model()->index(0, 0));
  QApplication::processEvents();
  EXPECT_EQ(prompts->messages.size(), 1);
  w.form()->tabRight->setCurrentWidget(w.paramPage());
  w.form()->tabRight->setCurrentWidget(w.tsPage());
  QApplication::processEvents();
  EXPECT_EQ(prompts->messages.size(), 1);
  EXPECT_FALSE(w.paramPage()->isFileLoaded());
  EXPECT_FALSE(w.tsPage()->form()->cmbStation->isEnabled());
  EXPECT_TRUE(w.stationItems().isEmpty());
}

TEST(ClickReads, SpaceViewAndStationMapShowTheLastClickedFileWhenChosen) {
  ScopedPrompts prompts;
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  const QString dir = generateSurvey(tmp, {"--seed", "9", "--files", "2", "--devices", "3", "--cals", "3"});
  const QString first = dir + "/L101_01.SRS";
  const QString second = dir + "/L101_02.SRS";

  // What the space view shows of each file when it is the chosen display.
  QVector<QVector<QPointF>> want[2];
  {
    WdtSipRes ref;
    ref.form()->cmbShowType->setCurrentIndex(1);
    ref.setCurrentFile(first);
    want[0] = spacePoints(ref.spaceView());
    ref.setCurrentFile(second);
    want[1] = spacePoints(ref.spaceView());
  }
  ASSERT_FALSE(want[0].isEmpty());
  ASSERT_NE(want[0], want[1]);

  CWdtMain w;
  w.importFiles({first, second});
  QTabWidget* tabs = w.form()->tabRight;
  tabs->setCurrentWidget(w.resultsPage());
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  QAbstractItemModel* list = w.form()->listOpenFiles->model();
  QComboBox* show_type = w.resultsPage()->form()->cmbShowType;

  w.onListClicked(list->index(0, 0));
  show_type->setCurrentIndex(1);
  EXPECT_EQ(spacePoints(w.resultsPage()->spaceView()), want[0]);
  show_type->setCurrentIndex(0);
  w.onListClicked(list->index(1, 0));
  show_type->setCurrentIndex(1);
  EXPECT_EQ(spacePoints(w.resultsPage()->spaceView()), want[1]);
  // Chosen already: a click rebuilds it at once.
  w.onListClicked(list->index(0, 0));
  EXPECT_EQ(spacePoints(w.resultsPage()->spaceView()), want[0]);

  tabs->setCurrentWidget(w.stationPage());
  QApplication::processEvents();
  // The GPS plot names the checked stations.
  QStringList names;
  for (CItem* item : w.stationItems())
    if (item->m_checked) names << item->m_name;
  QStringList labels;
  for (QCPItemText* t : w.stationPage()->m_vt_label[0]) labels << t->text();
  EXPECT_FALSE(names.isEmpty());
  EXPECT_EQ(labels, names);
  EXPECT_EQ(w.stationPage()->m_model.rowCount(), w.stationItems().size());
  EXPECT_TRUE(prompts->messages.isEmpty());
}

TEST(ClickReads, TheSpectraAreReadOnlyWhenAnActionNeedsThem) {
  ScopedPrompts prompts;
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  const QString dir = generateSurvey(tmp, {"--seed", "12", "--files", "2", "--devices", "3", "--cals", "3"});
  const QString path = dir + "/L101_01.SRS";
  CFormatSRS full;
  ASSERT_TRUE(full.Read(path.toStdString()));

  CWdtMain w;
  w.importFiles({path});
  w.form()->tabRight->setCurrentWidget(w.resultsPage());
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  WdtSipRes* page = w.resultsPage();
  ReadCount count;
  w.onListClicked(w.form()->listOpenFiles->model()->index(0, 0));
  QApplication::processEvents();
  EXPECT_EQ(count.of(path), 1);
  EXPECT_FALSE(page->srsFile().HasSpectra());
  EXPECT_EQ(cellsOf(page->resTable()->model()), tableOfFullRead(full, &page->limits()));

  // The spectrum view draws the results' frequency points: nothing more is read.
  page->form()->cmbShowType->setCurrentIndex(2);
  QApplication::processEvents();
  ASSERT_TRUE(page->spectrumView()->isVisible());
  EXPECT_EQ(page->spectrumView()->channelModel()->rowCount(), full.m_res.GetChNum());
  EXPECT_EQ(count.of(path), 1);
  page->form()->cmbShowType->setCurrentIndex(0);

  // The text dump holds the spectra: they are read once, for it, and the
  // dump is that of the whole file.
  QTest::mouseClick(page->form()->btnOutToTxt, Qt::LeftButton);
  EXPECT_EQ(count.of(path), 2);
  EXPECT_TRUE(page->srsFile().HasSpectra());
  const QString txt = fromFilePath(DumpPathFor(path.toStdString()));
  full.m_dump_res = false;
  ASSERT_TRUE(full.Print((path + ".want.txt").toStdString()));
  EXPECT_EQ(bytesOf(txt), bytesOf(path + ".want.txt"));

  // The recalculation of the current file works on the spectra it has now.
  prompts->intAnswers.enqueue(4);
  QTest::mouseClick(page->form()->btnRecal, Qt::LeftButton);
  EXPECT_EQ(count.of(path), 2);
  ASSERT_TRUE(RecomputeComposed(full, 4));
  EXPECT_EQ(cellsOf(page->resTable()->model()), tableOfFullRead(full, &page->limits()));
  ASSERT_EQ(prompts->messages.size(), 2);
  EXPECT_EQ(prompts->messages[0].kind, "information");
  EXPECT_EQ(prompts->messages[1].kind, "information");
}

TEST(ClickReads, AFileReplacedAfterTheClickIsShownAnewBeforeItsSpectraAreUsed) {
  ScopedPrompts prompts;
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  const QString dir = generateSurvey(tmp, {"--seed", "14", "--files", "2", "--devices", "3", "--cals", "3"});
  const QString path = dir + "/L101_01.SRS";
  const QString other = dir + "/L101_02.SRS";
  CFormatSRS before, after;
  ASSERT_TRUE(before.Read(path.toStdString()));
  ASSERT_TRUE(after.Read(other.toStdString()));

  CWdtMain w;
  w.importFiles({path});
  w.form()->tabRight->setCurrentWidget(w.resultsPage());
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  WdtSipRes* page = w.resultsPage();
  w.onListClicked(w.form()->listOpenFiles->model()->index(0, 0));
  EXPECT_EQ(cellsOf(page->resTable()->model()), tableOfFullRead(before, &page->limits()));

  // Another program saves over the file (a new file renamed into place).
  ASSERT_TRUE(QFile::copy(other, path + ".new"));
  ASSERT_EQ(std::rename((path + ".new").toLocal8Bit().constData(), path.toLocal8Bit().constData()), 0);

  // The dump is of the file as it is now, and so is the table.
  QTest::mouseClick(page->form()->btnOutToTxt, Qt::LeftButton);
  EXPECT_EQ(cellsOf(page->resTable()->model()), tableOfFullRead(after, &page->limits()));
  after.m_dump_res = false;
  ASSERT_TRUE(after.Print((dir + "/want.txt").toStdString()));
  EXPECT_EQ(bytesOf(fromFilePath(DumpPathFor(path.toStdString()))), bytesOf(dir + "/want.txt"));
  ASSERT_EQ(prompts->messages.size(), 1);
  EXPECT_EQ(prompts->messages[0].kind, "information");

  // A file gone since the click: the warning of a file that cannot be read.
  w.onListClicked(w.form()->listOpenFiles->model()->index(0, 0));
  ASSERT_TRUE(QFile::remove(path));
  prompts->messages.clear();
  QTest::mouseClick(page->form()->btnOutToTxt, Qt::LeftButton);
  ASSERT_EQ(prompts->messages.size(), 1);
  EXPECT_EQ(prompts->messages[0].kind, "warning");
  EXPECT_TRUE(prompts->messages[0].text.startsWith(QString::fromUtf8("打开文件“%1”失败！").arg(path)))
      << prompts->messages[0].text.toStdString();
  EXPECT_FALSE(page->isLoaded());
  EXPECT_FALSE(page->form()->btnOutToTxt->isEnabled());
}
