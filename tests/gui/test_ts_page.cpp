// The time-series page driven as a user would: directory choice, station
// choice, channel boxes, start and length, Prev and Next.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>

#include <cmath>

#include "gui/main/wdt_main.h"
#include "gui/timeseries/plot_monitor.h"
#include "gui/timeseries/wdt_monitor_ch.h"
#include "gui/timeseries/wdt_ts_plot.h"
#include "scripted_prompts.h"
#include "survey_fixture.h"
#include "ui_wdt_main.h"
#include "ui_wdt_ts_plot.h"

namespace {

// Channel ch, sample r: (r + 1000 ch) microvolts, so a value tells where it came from.
double ramp(int ch, int r) { return (r + 1000.0 * ch) * 1e-6; }

QCPGraph* graphOf(const CWdtTsPlot& page, int ch) { return page.monitor(ch)->plot()->m_mapGraph.value(ch); }
int pointsOf(const CWdtTsPlot& page, int ch) { return graphOf(page, ch)->data()->size(); }
double firstValueOf(const CWdtTsPlot& page, int ch) { return graphOf(page, ch)->data()->constBegin()->value; }

struct TsPageFixture {
  ScopedPrompts prompts;
  QTemporaryDir tmp;
  QString dir;
  CWdtTsPlot page;
  Ui::CWdtTsPlot* ui = nullptr;

  explicit TsPageFixture(const QStringList& args = {"--seed", "3", "--files", "2", "--devices", "4", "--cals", "2"}) {
    dir = generateSurvey(tmp, args);
    ui = page.form();
    page.resize(1000, 900);
    page.show();
  }
  QString srs(int i) const { return dir + QString("/L101_%1.SRS").arg(i, 2, 10, QChar('0')); }
  QString smt(const QString& station, int i = 1) const {
    return dir + QString("/smt/%1/L101_%2.smt").arg(station).arg(i, 2, 10, QChar('0'));
  }
  void chooseDir(const QString& d) {
    prompts->fileAnswers.enqueue({d});
    QTest::mouseClick(ui->btnChangeTsDir, Qt::LeftButton);
  }
  void open(int i) {
    chooseDir(dir + "/smt");
    page.setCurrentFile(srs(i));
  }
  void type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
  }
  void next() { QTest::mouseClick(ui->btnTsSectNext, Qt::LeftButton); }
  void prev() { QTest::mouseClick(ui->btnTsSectPrev, Qt::LeftButton); }
  bool navigationEnabled() const {
    return ui->btnTsSectPrev->isEnabled() && ui->btnTsSectNext->isEnabled() && ui->edtStart->isEnabled() &&
           ui->edtShowLen->isEnabled();
  }
};

}  // namespace

TEST(TsPage, StartsWithoutFileAndZeroStatistics) {
  ScopedPrompts prompts;
  CWdtTsPlot page;
  page.show();
  Ui::CWdtTsPlot* ui = page.form();
  EXPECT_EQ(ui->lbTsInfo->text(), "未选择SRS文件！");
  EXPECT_EQ(ui->cmbStation->count(), 0);
  EXPECT_FALSE(ui->cmbStation->isEnabled());
  EXPECT_FALSE(ui->btnTsSectPrev->isEnabled());
  EXPECT_FALSE(ui->btnTsSectNext->isEnabled());
  EXPECT_FALSE(ui->edtStart->isEnabled());
  EXPECT_FALSE(ui->edtShowLen->isEnabled());
  EXPECT_EQ(ui->edtStart->text(), "0");
  EXPECT_EQ(ui->edtShowLen->text(), "960");
  EXPECT_TRUE(ui->edtTsDir->text().isEmpty());
  EXPECT_TRUE(ui->edtTsDir->isReadOnly());
  for (int ch = 0; ch < 6; ++ch) {
    WdtMonitorCh* mon = page.monitor(ch);
    ASSERT_NE(mon, nullptr);
    EXPECT_TRUE(mon->isVisible());
    EXPECT_EQ(mon->titleText(), QString("通道%1").arg(ch + 1));
    EXPECT_EQ(mon->stdText(), "STD:0.0000mV");
    EXPECT_EQ(mon->minText(), "MIN:0.0000mV");
    EXPECT_EQ(mon->maxText(), "MAX:0.0000mV");
    ASSERT_EQ(mon->plot()->m_mapGraph.keys(), QList<int>{ch});
    EXPECT_EQ(graphOf(page, ch)->name(), QString("CH:%1").arg(ch));
    EXPECT_EQ(graphOf(page, ch)->pen().color(), QColor(Qt::blue));
  }
  EXPECT_TRUE(prompts->messages.isEmpty());
}

TEST(TsPage, StepsAreClampedToTheRecording) {
  TsPageFixture f;
  ASSERT_TRUE(rewriteSmt(f.smt("ST01"), 2000, ramp, 15));
  f.open(1);
  ASSERT_EQ(f.ui->cmbStation->currentText(), "ST01");
  EXPECT_EQ(f.ui->lbTsInfo->text(), "采样率=15,点数=2000,时长=2m13s");
  EXPECT_TRUE(f.navigationEnabled());
  EXPECT_EQ(pointsOf(f.page, 0), 960);
  EXPECT_NEAR(firstValueOf(f.page, 0), 0.0, 1e-6);

  // 540 + 960 = 1500: the segment runs to the end, 500 samples.
  f.type(f.ui->edtStart, "540");
  f.next();
  EXPECT_EQ(f.ui->edtStart->text(), "1500");
  EXPECT_EQ(f.ui->edtShowLen->text(), "960");
  for (int ch = 0; ch < 6; ++ch) {
    EXPECT_EQ(pointsOf(f.page, ch), 500) << ch;
    EXPECT_NEAR(firstValueOf(f.page, ch), (1500 + 1000.0 * ch) * 1e-3, 1e-5) << ch;
  }
  const double sigma = std::sqrt((500.0 * 500.0 - 1.0) / 12.0) * 1e-3;
  EXPECT_EQ(f.page.monitor(2)->minText(), "MIN:3.5000mV");
  EXPECT_EQ(f.page.monitor(2)->maxText(), "MAX:3.9990mV");
  EXPECT_EQ(f.page.monitor(2)->stdText(), QString::asprintf("STD:%.4fmV", sigma));
  EXPECT_EQ(f.page.monitor(0)->plot()->xAxis->range(), QCPRange(0, 500));

  // 1500 + 960 lies beyond the end: nothing left to show, the curves and
  // the start stay.
  f.next();
  EXPECT_EQ(f.ui->edtStart->text(), "1500");
  EXPECT_EQ(pointsOf(f.page, 0), 500);
  EXPECT_NEAR(firstValueOf(f.page, 0), 1.5, 1e-5);
  EXPECT_EQ(f.page.monitor(2)->minText(), "MIN:3.5000mV");

  // 100 - 960 lies before the start: from sample 0.
  f.type(f.ui->edtStart, "100");
  f.prev();
  EXPECT_EQ(f.ui->edtStart->text(), "0");
  EXPECT_EQ(pointsOf(f.page, 0), 960);
  EXPECT_NEAR(firstValueOf(f.page, 0), 0.0, 1e-6);

  // Text that is no number counts as 0; a shorter length takes effect with the step.
  f.type(f.ui->edtStart, "abc");
  f.type(f.ui->edtShowLen, "100");
  EXPECT_EQ(pointsOf(f.page, 0), 960);  // editing alone does not redraw
  f.next();
  EXPECT_EQ(f.ui->edtStart->text(), "100");
  EXPECT_EQ(pointsOf(f.page, 0), 100);
  EXPECT_NEAR(firstValueOf(f.page, 0), 0.1, 1e-5);
  EXPECT_TRUE(f.prompts->messages.isEmpty());
}

TEST(TsPage, HiddenMonitorIsStillUpdated) {
  TsPageFixture f;
  ASSERT_TRUE(rewriteSmt(f.smt("ST01"), 3000, ramp, 15));
  f.open(1);
  QTest::mouseClick(f.ui->chkCH3, Qt::LeftButton);
  EXPECT_FALSE(f.ui->chkCH3->isChecked());
  EXPECT_TRUE(f.page.monitor(2)->isHidden());
  for (int ch : {0, 1, 3, 4, 5}) EXPECT_TRUE(f.page.monitor(ch)->isVisible()) << ch;

  f.next();
  EXPECT_EQ(f.ui->edtStart->text(), "960");
  EXPECT_NEAR(firstValueOf(f.page, 2), (960 + 2000) * 1e-3, 1e-5);
  EXPECT_EQ(f.page.monitor(2)->minText(), "MIN:2.9600mV");

  QTest::mouseClick(f.ui->chkCH3, Qt::LeftButton);
  EXPECT_TRUE(f.page.monitor(2)->isVisible());
  EXPECT_NEAR(firstValueOf(f.page, 2), (960 + 2000) * 1e-3, 1e-5);
  EXPECT_EQ(f.page.monitor(2)->maxText(), "MAX:3.9190mV");
}

TEST(TsPage, StatisticsAreThoseOfTheSegmentInMillivolts) {
  TsPageFixture f;
  // Channel 1 is stored with gain 10: 0.025 stored is 2.5 mV.
  std::vector<float> gains(MAX_CH_NUM, 1.0f);
  gains[1] = 10.0f;
  auto volts = [](int ch, int r) { return ch == 1 ? 0.0025 : (r + 1) * 1e-3; };
  ASSERT_TRUE(rewriteSmt(f.smt("ST01"), 4, volts, 15, gains));
  f.open(1);
  EXPECT_EQ(f.ui->lbTsInfo->text(), "采样率=15,点数=4,时长=0m0s");
  EXPECT_EQ(f.page.monitor(0)->stdText(), "STD:1.1180mV");
  EXPECT_EQ(f.page.monitor(0)->minText(), "MIN:1.0000mV");
  EXPECT_EQ(f.page.monitor(0)->maxText(), "MAX:4.0000mV");
  EXPECT_EQ(f.page.monitor(1)->stdText(), "STD:0.0000mV");
  EXPECT_EQ(f.page.monitor(1)->minText(), "MIN:2.5000mV");
  EXPECT_EQ(f.page.monitor(1)->maxText(), "MAX:2.5000mV");
  EXPECT_NEAR(firstValueOf(f.page, 1), 2.5, 1e-6);
  EXPECT_EQ(f.page.monitor(0)->plot()->xAxis->range(), QCPRange(0, 4));
  // The statistics show the segment, not every segment seen so far.
  EXPECT_EQ(f.page.monitor(0)->plot()->m_mapHistory.value(0).size(), 4);
}

TEST(TsPage, MissingSmtFileClearsTheMonitorsAndKeepsTheNavigation) {
  TsPageFixture f;
  ASSERT_TRUE(QFile::remove(f.smt("ST02")));
  f.open(1);
  EXPECT_GT(pointsOf(f.page, 0), 0);
  const int st02 = f.ui->cmbStation->findText("ST02");
  ASSERT_GE(st02, 0);
  f.ui->cmbStation->setCurrentIndex(st02);
  EXPECT_EQ(f.ui->lbTsInfo->text(), "SMT文件读取失败！");
  EXPECT_TRUE(f.navigationEnabled());
  EXPECT_TRUE(f.ui->cmbStation->isEnabled());
  for (int ch = 0; ch < 6; ++ch) EXPECT_EQ(pointsOf(f.page, ch), 0) << ch;
  // The labels keep the last statistics.
  EXPECT_NE(f.page.monitor(0)->stdText(), "STD:0.0000mV");

  // Stepping after a failed read shows nothing rather than the previous station.
  f.next();
  EXPECT_EQ(pointsOf(f.page, 0), 0);
  EXPECT_EQ(f.ui->lbTsInfo->text(), "SMT文件读取失败！");
  EXPECT_TRUE(f.prompts->messages.isEmpty());

  f.ui->cmbStation->setCurrentIndex(f.ui->cmbStation->findText("ST01"));
  EXPECT_TRUE(f.ui->lbTsInfo->text().startsWith("采样率="));
  EXPECT_GT(pointsOf(f.page, 0), 0);
}

TEST(TsPage, StationIndexIsKeptOnlyWhileValid) {
  TsPageFixture f;
  f.open(1);
  const int n1 = f.ui->cmbStation->count();
  f.page.setCurrentFile(f.srs(2));
  const int n2 = f.ui->cmbStation->count();
  ASSERT_GT(n1, n2);  // file 1 was measured with the current station, file 2 without
  ASSERT_GT(n2, 1);

  f.page.setCurrentFile(f.srs(1));
  f.ui->cmbStation->setCurrentIndex(n1 - 1);
  f.page.setCurrentFile(f.srs(2));
  EXPECT_EQ(f.ui->cmbStation->currentIndex(), 0);

  f.ui->cmbStation->setCurrentIndex(1);
  f.page.setCurrentFile(f.srs(1));
  EXPECT_EQ(f.ui->cmbStation->currentIndex(), 1);
  EXPECT_EQ(f.ui->cmbStation->count(), n1);
  // The page shows the station at that index in the new file.
  EXPECT_TRUE(f.ui->lbTsInfo->text().startsWith("采样率=")) << f.ui->lbTsInfo->text().toStdString();
}

TEST(TsPage, InformationLineUsesTheSampleRateOfTheFile) {
  {
    TsPageFixture f({"--seed", "5", "--files", "1", "--devices", "2", "--cals", "3", "--sample-rate", "150"});
    f.open(1);
    CFormatSmt smt;
    ASSERT_TRUE(smt.Read(f.smt(f.ui->cmbStation->currentText()).toStdString()));
    const int n = smt.GetDataRows();
    ASSERT_GT(n, 0);
    EXPECT_EQ(f.ui->lbTsInfo->text(),
              QString("采样率=150,点数=%1,时长=%2m%3s").arg(n).arg(n / 150 / 60).arg(n / 150 % 60));
  }
  TsPageFixture f;
  ASSERT_TRUE(rewriteSmt(f.smt("ST01"), 900, ramp, 15));
  // Two hours at 150 Hz.
  ASSERT_TRUE(rewriteSmt(f.smt("ST02"), 2 * 3600 * 150, [](int ch, int r) { return ((r % 5000) + ch) * 1e-6; }, 150));
  f.open(1);
  EXPECT_EQ(f.ui->lbTsInfo->text(), "采样率=15,点数=900,时长=1m0s");
  f.ui->cmbStation->setCurrentIndex(f.ui->cmbStation->findText("ST02"));
  EXPECT_EQ(f.ui->lbTsInfo->text(), "采样率=150,点数=1080000,时长=120m0s");

  // The recording was read once: stepping goes on without the file.
  ASSERT_TRUE(QFile::remove(f.smt("ST02")));
  for (int i = 1; i <= 3; ++i) {
    f.next();
    EXPECT_EQ(f.ui->edtStart->text(), QString::number(960 * i));
    EXPECT_NEAR(firstValueOf(f.page, 0), (960 * i % 5000) * 1e-3, 1e-5);
  }
}

TEST(TsPage, UnreadableSrsFileWarnsAndClearsThePage) {
  TsPageFixture f;
  f.open(1);
  ASSERT_GT(pointsOf(f.page, 0), 0);
  const QString bad = f.tmp.filePath("broken.SRS");
  QFile file(bad);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("not an SRS file");
  file.close();
  f.page.setCurrentFile(bad);
  ASSERT_EQ(f.prompts->messages.size(), 1);
  EXPECT_EQ(f.prompts->messages[0].kind, "warning");
  EXPECT_EQ(f.prompts->messages[0].title, "提示");
  EXPECT_EQ(f.prompts->messages[0].text.section('\n', 0, 0), QString("打开文件“%1”失败！").arg(bad));
  EXPECT_FALSE(f.prompts->messages[0].text.section('\n', 1).isEmpty());
  EXPECT_EQ(f.ui->lbTsInfo->text(), "未选择SRS文件！");
  EXPECT_EQ(f.ui->cmbStation->count(), 0);
  EXPECT_FALSE(f.ui->cmbStation->isEnabled());
  EXPECT_FALSE(f.navigationEnabled());
  EXPECT_EQ(pointsOf(f.page, 0), 0);

  f.page.setCurrentFile(QString());
  EXPECT_EQ(f.prompts->messages.size(), 1);
  EXPECT_EQ(f.ui->lbTsInfo->text(), "未选择SRS文件！");
}

TEST(TsPage, DirectoryChoiceIsUsedByTheNextSelection) {
  TsPageFixture f;
  // Without a directory the path starts at the root and the read fails.
  f.page.setCurrentFile(f.srs(1));
  EXPECT_EQ(f.page.smtPathOf("ST01"), "/ST01/L101_01.smt");
  EXPECT_EQ(f.ui->lbTsInfo->text(), "SMT文件读取失败！");

  // The dialog starts in the folder of the SRS file.
  f.chooseDir(f.dir + "/smt");
  ASSERT_EQ(f.prompts->dialogs.size(), 1);
  EXPECT_EQ(f.prompts->dialogs[0].kind, "dir");
  EXPECT_EQ(f.prompts->dialogs[0].caption, "选择SMT目录");
  EXPECT_EQ(f.prompts->dialogs[0].dir, QDir(f.dir).path());
  EXPECT_EQ(f.ui->edtTsDir->text(), f.dir + "/smt");
  EXPECT_EQ(f.ui->lbTsInfo->text(), "SMT文件读取失败！");  // nothing reloaded yet

  f.page.setCurrentFile(f.srs(1));
  EXPECT_TRUE(f.ui->lbTsInfo->text().startsWith("采样率="));

  // A cancelled dialog starts at the chosen directory and keeps it.
  QTest::mouseClick(f.ui->btnChangeTsDir, Qt::LeftButton);
  ASSERT_EQ(f.prompts->dialogs.size(), 2);
  EXPECT_EQ(f.prompts->dialogs[1].dir, f.dir + "/smt");
  EXPECT_EQ(f.ui->edtTsDir->text(), f.dir + "/smt");
  // The directory survives a clear and the next file.
  f.page.setCurrentFile(QString());
  f.page.setCurrentFile(f.srs(2));
  EXPECT_EQ(f.ui->edtTsDir->text(), f.dir + "/smt");
  EXPECT_TRUE(f.ui->lbTsInfo->text().startsWith("采样率="));
}

TEST(TsPage, MainWindowListClickShowsTheStations) {
  ScopedPrompts prompts;
  QTemporaryDir tmp;
  const QString dir = generateSurvey(tmp, {"--seed", "3", "--files", "1", "--devices", "2", "--cals", "2"});
  CWdtMain w;
  w.importFiles({dir + "/L101_01.SRS"});
  w.onListClicked(w.form()->listOpenFiles->model()->index(0, 0));
  Ui::CWdtTsPlot* ui = w.tsPage()->form();
  EXPECT_TRUE(ui->cmbStation->isEnabled());
  EXPECT_EQ(ui->cmbStation->itemText(0), "ST01");
  EXPECT_EQ(ui->lbTsInfo->text(), "SMT文件读取失败！");
  w.onBtnClearData();
  EXPECT_EQ(ui->lbTsInfo->text(), "未选择SRS文件！");
  EXPECT_FALSE(ui->cmbStation->isEnabled());
}
