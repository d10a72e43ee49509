// What a list click reads in a shown main window: the selected file once,
// for the page in view and the station map; the hidden tabs take the file up
// when they are shown.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QListView>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <string>

#include "core/sip/format.h"
#include "core/sip/format_srs.h"
#include "core/sip/stations.h"
#include "gui/main/wdt_main.h"
#include "gui/params/model_sip_dev_lay.h"
#include "gui/params/wdt_param_srs.h"
#include "gui/results/model_res.h"
#include "gui/results/wdt_sip_res.h"
#include "gui/results/wdt_res_plot_space_sip.h"
#include "gui/results/wdt_sip_res_table.h"
#include "gui/stations/item.h"
#include "gui/stations/wdt_gps_pos.h"
#include "gui/toolkit/custom_plot.h"
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
