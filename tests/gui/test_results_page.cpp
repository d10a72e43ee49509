#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QScrollBar>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "gui/export/wdt_output.h"
#include "gui/main/app_init.h"
#include "model_check.h"
#include "gui/main/wdt_main.h"
#include "gui/results/dlg_data_limit.h"
#include "gui/results/header_two_line.h"
#include "gui/results/model_plot_sel_freq.h"
#include "gui/results/model_res.h"
#include "gui/limits/shared_data.h"
#include "gui/results/wdt_res_plot_space_sip.h"
#include "gui/results/wdt_sip_res.h"
#include "gui/results/wdt_sip_res_table.h"
#include "expect_message.h"
#include "scripted_prompts.h"
#include "core/sip/format_srs.h"
#include "core/sip/limits.h"

namespace {

const QColor RED(176, 23, 31);
const QColor WHEAT(245, 222, 179);

QString u8(const char* s) { return QString::fromUtf8(s); }

std::string path8(const QString& p) { return p.toUtf8().toStdString(); }

// varnex-gen-survey DIR --seed N --files 2 [extra]: DIR/L101_01.SRS (with the
// current station CS01), DIR/L101_02.SRS (current entered by hand) and
// DIR/smt/<device>/<base>.smt for the receivers ST01..ST04.
bool generateSurvey(const QString& dir, int seed, const QStringList& extra = {}) {
  QProcess gen;
  gen.start(GEN_SURVEY_EXE, QStringList{dir, "--seed", QString::number(seed), "--files", "2"} + extra);
  if (!gen.waitForFinished(120000)) return false;
  return gen.exitStatus() == QProcess::NormalExit && gen.exitCode() == 0;
}

QByteArray contents(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return QByteArray();
  return f.readAll();
}

void setBlock(ResItem* item, int k, float value, float std, float err, uint32_t count) {
  item->blk[k].value = value;
  item->blk[k].std = std;
  item->blk[k].err = err;
  item->blk[k].count = count;
}

ResItem item(float app, float app_err, uint32_t app_count, float cp, float cp_err, float fs, float fs_err) {
  ResItem it;
  setBlock(&it, RES_U_AMP, 0.0123f, 0.0001f, 0.0f, 6);
  setBlock(&it, RES_APP, app, 0.0f, app_err, app_count);
  setBlock(&it, RES_CP, cp, 0.0f, cp_err, 6);
  setBlock(&it, RES_FS, fs, 0.0f, fs_err, 6);
  return it;
}

// Device D07 with four channels, spread-spectrum wave. At the first composed
// frequency, against the page's own defaults (1 %, 5 mrad, FS off):
//   channel 0 passes; channel 1 passes but its FS error is 0.2 %;
//   channel 2 has a 2 % apparent-resistivity error; channel 3 is flagged bad,
//   passes, and has a single apparent-resistivity value.
// The second composed frequency fails everywhere, the single-frequency
// result passes everywhere.
bool writeHandMade(const QString& path) {
  CFormatSRS srs;
  srs.m_prm_meas.wave = SIP_WAVE_SPREAD_SPECTRUM;
  srs.m_prm_meas.freq_base = 0.25f;
  srs.m_prm_meas.harm_num = 2;
  PrmDev dev;
  SipSetStr(dev.dev_name, "D07");
  srs.m_vt_prm_dev.push_back(dev);
  srs.m_spect_i.DoInit(1, 1, 2, 1, -1, 2);
  srs.m_spect_u.DoInit(4, 1, 2, 1, -1, 2);

  ResItem at0[4] = {item(1.5e3f, 3.0f, 6, -0.0123f, 0.001f, 0.02f, 0.0005f),
                    item(200.0f, 1.0f, 6, 0.01f, 0.004f, 0.03f, 0.002f),
                    item(300.0f, 6.0f, 6, 0.01f, 0.001f, 0.01f, 0.0005f),
                    item(400.0f, 0.0f, 1, 0.01f, 0.001f, 0.01f, 0.0005f)};
  at0[3].bad = 1;
  const ResItem failing = item(100.0f, 50.0f, 6, 0.1f, 0.05f, 0.1f, 0.05f);
  const ResItem passing = item(100.0f, 0.1f, 6, 0.01f, 0.001f, 0.01f, 0.0005f);

  srs.m_res_composed.DoInit(4, 1, 2);
  srs.m_res_composed.SetFreq(0, 0, 0.625f);
  srs.m_res_composed.SetFreq(0, 1, 1.625f);
  srs.m_res.DoInit(4, 1, 2);
  srs.m_res.SetFreq(0, 0, 0.25f);
  srs.m_res.SetFreq(0, 1, 0.5f);
  for (int c = 0; c < 4; ++c) {
    ChInfo info;
    info.idx_dev = 0;
    info.idx_dev_ch = c;
    info.site_no = c;
    info.m_pos = 30.0f + 20.0f * float(c);
    srs.m_res_composed.SetChInfo(c, info);
    srs.m_res.SetChInfo(c, info);
    srs.m_res_composed.SetItem(c, 0, 0, at0[c]);
    srs.m_res_composed.SetItem(c, 0, 1, failing);
    srs.m_res.SetItem(c, 0, 0, passing);
    srs.m_res.SetItem(c, 0, 1, passing);
  }
  return srs.Write(path8(path));
}

// The page with scripted prompts; the shared limit table is taken away (and
// put back afterwards) so that the page starts from its own defaults.
// Every label of the table's header, on its one or two lines, and every
// cell fit their columns: nothing is elided.
void expectNothingCut(QTableView* view) {
  auto* header = qobject_cast<HeaderTwoLine*>(view->horizontalHeader());
  ASSERT_NE(header, nullptr);
  QAbstractItemModel* model = view->model();
  const QFontMetrics fm(view->font());
  for (int c = 0; c < model->columnCount(); ++c) {
    const QString head = model->headerData(c, Qt::Horizontal).toString();
    const QString shown = header->shownText(c);
    // The same label, only broken (a space may give way to the break).
    EXPECT_EQ(QString(shown).remove('\n').remove(' '), QString(head).remove(' ')) << head.toStdString();
    EXPECT_LE(shown.count('\n'), 1) << head.toStdString();
    for (const QString& line : shown.split('\n'))
      EXPECT_GE(header->sectionSize(c), header->fontMetrics().horizontalAdvance(line)) << head.toStdString();
    for (int r = 0; r < model->rowCount(); ++r) {
      const QString text = model->data(model->index(r, c)).toString();
      // Every text fits its column with room to spare.
      EXPECT_GT(header->sectionSize(c), fm.horizontalAdvance(text)) << head.toStdString() << " row " << r;
    }
  }
}

class PageFixture : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(tmp.isValid());
    dir = tmp.path();
    m_shared = SharedData::instance()->limitTable();
    SharedData::instance()->setLimitTable(nullptr);
    page = std::make_unique<WdtSipRes>();
    ui = page->form();
    model = page->resTable()->model();
    cmbFreq = page->resTable()->findChild<QComboBox*>("cmbFreq");
    ASSERT_NE(cmbFreq, nullptr);
  }
  void TearDown() override {
    page.reset();
    SharedData::instance()->setLimitTable(m_shared);
  }

  QString cell(int row, int col, int role = Qt::DisplayRole) const {
    return model->data(model->index(row, col), role).toString();
  }
  QVariant cellData(int row, int col, int role) const { return model->data(model->index(row, col), role); }
  QStringList freqTexts() const {
    QStringList out;
    for (int i = 0; i < cmbFreq->count(); ++i) out << cmbFreq->itemText(i);
    return out;
  }
  QString passRate() const { return ui->lbPassRate->text(); }
  QString handMade() {
    const QString p = dir + "/H01.SRS";
    EXPECT_TRUE(writeHandMade(p));
    return p;
  }
  QString survey(int seed, const QStringList& extra = {}) {
    const QString d = dir + "/survey";
    EXPECT_TRUE(generateSurvey(d, seed, extra));
    return d;
  }
  void click(QPushButton* btn) { QTest::mouseClick(btn, Qt::LeftButton); }
  // Runs the page's limit dialog through "误差设置"; act works on the open
  // dialog and closes it.
  void withLimitDialog(const std::function<void(CDlgDataLimit*)>& act) {
    CDlgDataLimit* dlg = page->limitDialog();
    bool ran = false;
    QTimer::singleShot(0, dlg, [&] {
      ran = dlg->isVisible();
      act(dlg);
      if (dlg->isVisible()) dlg->reject();
    });
    click(ui->btnErrSet);
    EXPECT_TRUE(ran);
    EXPECT_FALSE(dlg->isVisible());
  }

  ScopedPrompts prompts;
  QTemporaryDir tmp;
  QString dir;
  std::unique_ptr<WdtSipRes> page;
  Ui::WdtSipRes* ui = nullptr;
  ModelRes* model = nullptr;
  QComboBox* cmbFreq = nullptr;

private:
  std::vector<LimitItem>* m_shared = nullptr;
};

bool sameLimits(const LimitItem& a, const LimitItem& b) {
  return a.min_on == b.min_on && a.min == b.min && a.max_on == b.max_on && a.max == b.max && a.rel_on == b.rel_on &&
         a.rel_max == b.rel_max && a.std_on == b.std_on && a.std_max == b.std_max;
}

bool sameLimits(const std::vector<LimitItem>& a, const std::vector<LimitItem>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (!sameLimits(a[i], b[i])) return false;
  return true;
}

}  // namespace

TEST_F(PageFixture, FormInTheOrderOfTheLayout) {
  EXPECT_EQ(page->windowTitle(), "Form");
  EXPECT_EQ(page->size(), QSize(1106, 841));
  EXPECT_EQ(ui->wdtResTable, page->resTable());

  // What the user sees: the rows from top to bottom, each read from left to
  // right, every control shown whole.
  page->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(page.get()));
  const QList<QList<QWidget*>> rows = {
      {ui->label, ui->cmbShowType, ui->label_2, ui->cmbCalType, ui->lbPassRate, ui->btnErrSet},
      {ui->lbRevertSrs, ui->edtFileSmt, ui->btnSelFileSmt, ui->btnOutSrsSingle, ui->btnOutSrsAll},
      {ui->btnRecal, ui->btnRecalAll, ui->btnOutToTxt, ui->btnOutToTxtAll},
  };
  int prev_bottom = -1;
  for (const QList<QWidget*>& row : rows) {
    int prev_right = -1;
    for (QWidget* w : row) {
      const QRect r(w->mapTo(page.get(), QPoint(0, 0)), w->size());
      EXPECT_TRUE(w->isVisible()) << w->objectName().toStdString();
      EXPECT_GT(r.left(), prev_right) << w->objectName().toStdString();
      EXPECT_GT(r.top(), prev_bottom) << w->objectName().toStdString();
      EXPECT_GE(w->width(), w->minimumSizeHint().width()) << w->objectName().toStdString();
      prev_right = r.right();
    }
    int bottom = 0;
    for (QWidget* w : row) bottom = std::max(bottom, w->mapTo(page.get(), QPoint(0, w->height())).y());
    prev_bottom = bottom - 1;
  }
  // The table sits between the controls above it and the two groups below.
  const int table_top = page->resTable()->mapTo(page.get(), QPoint(0, 0)).y();
  EXPECT_GT(table_top, ui->btnErrSet->mapTo(page.get(), QPoint(0, 0)).y());
  EXPECT_LT(table_top, ui->groupBox->mapTo(page.get(), QPoint(0, 0)).y());
  EXPECT_EQ(ui->btnOutSrsAll->parentWidget(), ui->groupBox);
  EXPECT_EQ(ui->btnOutToTxtAll->parentWidget(), ui->groupBox_2);
  page->hide();

  EXPECT_EQ(ui->label->text(), u8("显示方式:"));
  EXPECT_EQ(ui->label_2->text(), u8("  频率组合:"));
  EXPECT_EQ(ui->label->alignment(), Qt::AlignRight | Qt::AlignVCenter);
  EXPECT_EQ(ui->lbPassRate->alignment(), Qt::AlignRight | Qt::AlignVCenter);
  EXPECT_EQ(ui->btnErrSet->text(), u8("误差设置"));
  EXPECT_EQ(ui->lbPassRate_2->text(), "");
  EXPECT_EQ(ui->groupBox->title(), u8("SRS修复"));
  EXPECT_EQ(ui->lbRevertSrs->text(), u8("恢复SRS文件"));
  EXPECT_EQ(ui->btnSelFileSmt->text(), u8("时序文件目录"));
  EXPECT_EQ(ui->btnOutSrsSingle->text(), u8("导出当前SRS"));
  EXPECT_EQ(ui->btnOutSrsAll->text(), u8("导出所有SRS"));
  EXPECT_EQ(ui->groupBox_2->title(), u8("SRS重计算"));
  EXPECT_EQ(ui->btnRecal->text(), u8("重计算当前SRS"));
  EXPECT_EQ(ui->btnRecalAll->text(), u8("重计算所有SRS"));
  EXPECT_EQ(ui->btnOutToTxt->text(), u8("导出当前SRS结果"));
  EXPECT_EQ(ui->btnOutToTxtAll->text(), u8("导出所有SRS结果"));

  ASSERT_EQ(ui->cmbShowType->count(), 3);
  EXPECT_EQ(ui->cmbShowType->itemText(0), u8("数据表格"));
  EXPECT_EQ(ui->cmbShowType->itemText(1), u8("空间视图"));
  EXPECT_EQ(ui->cmbShowType->itemText(2), u8("频谱视图"));
  EXPECT_EQ(ui->cmbShowType->currentIndex(), 0);
  ASSERT_EQ(ui->cmbCalType->count(), 2);
  EXPECT_EQ(ui->cmbCalType->itemText(0), u8("多频组合计算"));
  EXPECT_EQ(ui->cmbCalType->itemText(1), u8("单频计算"));

  for (QPushButton* b : {ui->btnErrSet, ui->btnSelFileSmt, ui->btnOutSrsSingle, ui->btnOutSrsAll, ui->btnRecal,
                         ui->btnRecalAll, ui->btnOutToTxt, ui->btnOutToTxtAll})
    EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
  EXPECT_FALSE(page->resTable()->isHidden());
  EXPECT_TRUE(page->spaceView()->isHidden());
  EXPECT_EQ(passRate(), u8("  合格率：0.0%"));
  EXPECT_FALSE(page->isLoaded());
}

TEST(ResultsPageEnglish, Texts) {
  QTranslator translator;
  ASSERT_TRUE(installTranslation(*qApp, translator, "en_US"));
  {
    WdtSipRes page;
    Ui::WdtSipRes* ui = page.form();
    EXPECT_EQ(ui->label->text(), "Display mode:");
    EXPECT_EQ(ui->label_2->text(), "Frequency combination:");
    EXPECT_EQ(ui->cmbShowType->itemText(0), "Data Table");
    EXPECT_EQ(ui->cmbShowType->itemText(1), "Space View");
    EXPECT_EQ(ui->cmbShowType->itemText(2), "Spectrum View");
    EXPECT_EQ(ui->cmbCalType->itemText(0), "Multi-frequency calculate");
    EXPECT_EQ(ui->cmbCalType->itemText(1), "Single frequency calculate");
    EXPECT_EQ(ui->lbPassRate->text(), "  Pass rate: 0.0%");
    EXPECT_EQ(ui->btnErrSet->text(), "Error setting");
    EXPECT_EQ(ui->groupBox->title(), "SRS Repair");
    EXPECT_EQ(ui->lbRevertSrs->text(), "Restore SRS");
    EXPECT_EQ(ui->btnSelFileSmt->text(), "SMT file directory");
    EXPECT_EQ(ui->btnOutSrsSingle->text(), "Export the current SRS");
    EXPECT_EQ(ui->btnOutSrsAll->text(), "Export all SRS");
    EXPECT_EQ(ui->groupBox_2->title(), "SRS recalculation");
    EXPECT_EQ(ui->btnRecal->text(), "SRS-recal current");
    EXPECT_EQ(ui->btnRecalAll->text(), "SRS-recal all");
    EXPECT_EQ(ui->btnOutToTxt->text(), "Export current result");
    EXPECT_EQ(ui->btnOutToTxtAll->text(), "Export all result");
  }
  QApplication::removeTranslator(&translator);
}

TEST(ResultsPageLimits, CopiedOnceFromTheExportPage) {
  std::vector<LimitItem>* before = SharedData::instance()->limitTable();
  QStringList files;
  CWdtOutput exporter(&files);
  {
    WdtSipRes page;
    std::vector<LimitItem> want = limit_default_results();
    limit_set_pair(&want[1], LIMIT_REL, 1.0f);
    limit_set_pair(&want[2], LIMIT_STD, 3.1415927f);
    limit_clear_pair(&want[3], LIMIT_STD);
    EXPECT_TRUE(sameLimits(page.limits(), want));
    // The dialog shows what the page copied.
    EXPECT_EQ(page.limitDialog()->findChild<QLineEdit*>("edtAppErr")->text(), "100.0");
    EXPECT_EQ(page.limitDialog()->findChild<QLineEdit*>("edtCpErr")->text(), "3141.6");
    EXPECT_EQ(page.limitDialog()->findChild<QLineEdit*>("edtFsErr")->text(), "0.0");

    // Later edits on the export page do not reach the page.
    std::vector<LimitItem>* shared = SharedData::instance()->limitTable();
    limit_clear_pair(&(*shared)[1], LIMIT_REL);
    EXPECT_TRUE(page.limits()[1].rel_on);
  }
  {
    // Switched off on the export page: off on the page, value kept from the page's defaults.
    WdtSipRes page;
    EXPECT_FALSE(page.limits()[1].rel_on);
    EXPECT_EQ(page.limits()[1].rel_max, 0.01f);
    EXPECT_TRUE(page.limits()[2].std_on);
  }
  std::vector<LimitItem> short_table(2);
  SharedData::instance()->setLimitTable(&short_table);
  {
    WdtSipRes page;
    EXPECT_TRUE(sameLimits(page.limits(), limit_default_results()));
  }
  SharedData::instance()->setLimitTable(nullptr);
  {
    WdtSipRes page;
    EXPECT_TRUE(sameLimits(page.limits(), limit_default_results()));
  }
  SharedData::instance()->setLimitTable(before);
}

TEST_F(PageFixture, SelectingTheHandMadeFileFillsTheTable) {
  ModelCheck check(model);
  const QString path = handMade();
  page->setCurrentFile(path);
  EXPECT_TRUE(prompts->messages.isEmpty());
  EXPECT_TRUE(page->isLoaded());
  EXPECT_EQ(page->currentFile(), path);

  ASSERT_EQ(model->rowCount(), 4);
  ASSERT_EQ(model->columnCount(), 11);
  const QStringList headers = {u8("仪器_通道"),        u8("M位置(m)"),        u8("采集进度"),
                               u8("电场振幅(mV)"),     u8("电场振幅均方差(mV)"), u8("视电阻率(Ω·m)"),
                               u8("视电阻率误差(%)"),  "     CP(mrad)",         "CP_STD(mrad)",
                               "     FS(%)",           "FS_STD(%)"};
  for (int c = 0; c < 11; ++c) EXPECT_EQ(model->headerData(c, Qt::Horizontal).toString(), headers[c]);

  const QStringList row0 = {"D07_1", "30.0",  u8("已计算6次"), "12.300", "0.100", "1.500E+03",
                            "0.20",  "-12.30", "1.00",          "2.00",   "0.05"};
  for (int c = 0; c < 11; ++c) EXPECT_EQ(cell(0, c), row0[c]) << "column " << c;
  EXPECT_EQ(cell(3, 0), "D07_4");
  EXPECT_EQ(cell(3, 5), "4.000E+02");
  // A single apparent-resistivity value has no error to show.
  EXPECT_FALSE(cellData(3, 6, Qt::DisplayRole).isValid());

  // 2 % breaks the 1 % limit; 0.5 % does not.
  EXPECT_EQ(cellData(2, 6, Qt::ForegroundRole).value<QBrush>().color(), RED);
  EXPECT_FALSE(cellData(1, 6, Qt::ForegroundRole).isValid());
  for (int c = 0; c < 11; ++c) {
    EXPECT_EQ(cellData(3, c, Qt::BackgroundRole).value<QBrush>().color(), WHEAT) << "column " << c;
    EXPECT_FALSE(cellData(0, c, Qt::BackgroundRole).isValid());
  }
  EXPECT_EQ(freqTexts(), QStringList({"0.625Hz", "1.625Hz"}));
  EXPECT_TRUE(ui->cmbCalType->isEnabled());
  EXPECT_EQ(passRate(), u8("  合格率：75.0%"));

  // Another frequency in the table leaves the pass rate at the first one.
  cmbFreq->setCurrentIndex(1);
  EXPECT_EQ(cell(0, 5), "1.000E+02");
  EXPECT_EQ(cellData(0, 6, Qt::ForegroundRole).value<QBrush>().color(), RED);
  EXPECT_EQ(passRate(), u8("  合格率：75.0%"));
  EXPECT_TRUE(check.failures().isEmpty()) << check.failures().join("\n").toStdString();
}

TEST_F(PageFixture, FileWithoutChannelsHasNoPassRate) {
  page->setCurrentFile(handMade());
  ASSERT_EQ(passRate(), u8("  合格率：75.0%"));

  CFormatSRS srs;
  ASSERT_TRUE(srs.Read(path8(dir + "/H01.SRS")));
  srs.m_res_composed.DoInit(0, 1, 2);
  srs.m_res.DoInit(0, 1, 2);
  srs.m_valid_sp.clear();
  ASSERT_TRUE(srs.Write(path8(dir + "/H00.SRS")));
  page->setCurrentFile(dir + "/H00.SRS");
  ASSERT_TRUE(page->isLoaded());
  EXPECT_EQ(model->rowCount(), 0);
  EXPECT_EQ(passRate(), u8("  合格率：0.0%"));
}

TEST_F(PageFixture, CalculationTypeSwitchesTheResultAndEveryLoadGoesBack) {
  const QString path = handMade();
  page->setCurrentFile(path);
  ui->cmbCalType->setCurrentIndex(1);
  EXPECT_EQ(freqTexts(), QStringList({"0.25Hz", "0.5Hz"}));
  EXPECT_EQ(passRate(), u8("  合格率：100.0%"));
  EXPECT_EQ(cell(0, 5), "1.000E+02");
  EXPECT_EQ(page->spaceView()->freqModel()->rowCount(), 2);

  page->setCurrentFile(path);
  EXPECT_EQ(ui->cmbCalType->currentIndex(), 0);
  EXPECT_EQ(freqTexts(), QStringList({"0.625Hz", "1.625Hz"}));
  EXPECT_EQ(cell(0, 5), "1.500E+03");
  EXPECT_EQ(passRate(), u8("  合格率：75.0%"));
}

TEST_F(PageFixture, LimitDialogThroughTheErrorButton) {
  page->setCurrentFile(handMade());
  ASSERT_EQ(passRate(), u8("  合格率：75.0%"));

  // FS switched on at 0.1 %: channel 1 passes the other two tests but not this one.
  withLimitDialog([](CDlgDataLimit* dlg) {
    QCheckBox* chk = dlg->findChild<QCheckBox*>("chkErrFs");
    QTest::mouseClick(chk, Qt::LeftButton, Qt::NoModifier, QPoint(6, chk->height() / 2));
    dlg->findChild<QLineEdit*>("edtFsErr")->setText("0.1");
    QTest::mouseClick(dlg->findChild<QPushButton*>("btnOk"), Qt::LeftButton);
  });
  EXPECT_TRUE(page->limits()[3].std_on);
  EXPECT_FLOAT_EQ(page->limits()[3].std_max, 0.001f);
  EXPECT_EQ(passRate(), u8("  合格率：50.0%"));
  EXPECT_EQ(cellData(1, 10, Qt::ForegroundRole).value<QBrush>().color(), RED);

  // Cancel keeps the limits, the label and the colours.
  const std::vector<LimitItem> before = page->limits();
  withLimitDialog([](CDlgDataLimit* dlg) {
    dlg->findChild<QLineEdit*>("edtAppErr")->setText("50");
    QTest::mouseClick(dlg->findChild<QPushButton*>("btnCancel"), Qt::LeftButton);
  });
  EXPECT_TRUE(sameLimits(page->limits(), before));
  EXPECT_EQ(passRate(), u8("  合格率：50.0%"));

  // "恢复默认" writes the defaults at once; after Cancel the label waits for its next update.
  withLimitDialog([](CDlgDataLimit* dlg) {
    QTest::mouseClick(dlg->findChild<QPushButton*>("btnRestoreDefault"), Qt::LeftButton);
    QTest::mouseClick(dlg->findChild<QPushButton*>("btnCancel"), Qt::LeftButton);
  });
  EXPECT_TRUE(sameLimits(page->limits(), limit_default_results()));
  EXPECT_EQ(passRate(), u8("  合格率：50.0%"));
  page->onUpdateShowResult();
  EXPECT_EQ(passRate(), u8("  合格率：75.0%"));

  // "恢复默认" then OK: the dialog's defaults are stored and shown at once.
  withLimitDialog([](CDlgDataLimit* dlg) {
    dlg->findChild<QLineEdit*>("edtAppErr")->setText("5");
    QTest::mouseClick(dlg->findChild<QPushButton*>("btnOk"), Qt::LeftButton);
  });
  EXPECT_FLOAT_EQ(page->limits()[1].rel_max, 0.05f);
  EXPECT_EQ(passRate(), u8("  合格率：100.0%"));
  EXPECT_FALSE(cellData(2, 6, Qt::ForegroundRole).isValid());
}

TEST_F(PageFixture, DisplayModeSwitchesBetweenTableAndSpaceView) {
  page->setCurrentFile(handMade());
  ui->cmbShowType->setCurrentIndex(1);
  EXPECT_TRUE(page->resTable()->isHidden());
  EXPECT_FALSE(page->spaceView()->isHidden());
  ui->cmbShowType->setCurrentIndex(0);
  EXPECT_FALSE(page->resTable()->isHidden());
  EXPECT_TRUE(page->spaceView()->isHidden());

  // Loading keeps the chosen view.
  ui->cmbShowType->setCurrentIndex(1);
  page->setCurrentFile(handMade());
  EXPECT_TRUE(page->resTable()->isHidden());
  EXPECT_FALSE(page->spaceView()->isHidden());
  EXPECT_EQ(page->spaceView()->freqModel()->rowCount(), 2);
  EXPECT_EQ(page->spaceView()->graphs1().size(), 2);
}

TEST_F(PageFixture, GeneratedSurveyShowsEveryChannelOfTheComposedResult) {
  const QString d = survey(11);
  const QString path = d + "/L101_01.SRS";
  page->setCurrentFile(path);
  ASSERT_TRUE(page->isLoaded());

  CFormatSRS srs;
  ASSERT_TRUE(srs.Read(path8(path)));
  const int n = srs.m_res_composed.GetChNum();
  ASSERT_EQ(n, 24);
  ASSERT_EQ(model->rowCount(), n);
  EXPECT_EQ(freqTexts(), QStringList({"0.625Hz", "1.625Hz", "2.625Hz", "3.625Hz"}));
  for (int r = 0; r < n; ++r) {
    const ChInfo info = srs.m_res_composed.GetChInfo(r);
    const ResItem it = srs.m_res_composed.GetItem(r, 0, 0);
    EXPECT_EQ(cell(r, 0), QString("%1_%2").arg(QString::fromStdString(info.dev_name)).arg(info.idx_dev_ch + 1));
    EXPECT_EQ(cell(r, 1), QString::asprintf("%.1f", double(info.m_pos)));
    EXPECT_EQ(cell(r, 2), u8("已计算%1次").arg(it.blk[RES_APP].count));
    if (it.blk[RES_APP].count >= 1)
      EXPECT_EQ(cell(r, 5), QString::asprintf("%.3E", double(it.blk[RES_APP].value)));
    else
      EXPECT_FALSE(cellData(r, 5, Qt::DisplayRole).isValid()) << "row " << r;
    EXPECT_EQ(cellData(r, 0, Qt::BackgroundRole).isValid(), it.bad != 0) << "row " << r;
  }
  // The generated channel without any valid item shows no values.
  EXPECT_FALSE(cellData(n - 1, 3, Qt::DisplayRole).isValid());
  EXPECT_TRUE(ui->cmbCalType->isEnabled());
  EXPECT_TRUE(ui->btnOutSrsSingle->isEnabled());
  EXPECT_TRUE(ui->btnRecal->isEnabled());
  EXPECT_TRUE(ui->btnOutToTxt->isEnabled());
}

TEST_F(PageFixture, SquareWaveLeavesOnlyTheComposedCalculation) {
  const QString d = survey(12, {"--wave", "square"});
  page->setCurrentFile(d + "/L101_01.SRS");
  ASSERT_TRUE(page->isLoaded());
  EXPECT_FALSE(ui->cmbCalType->isEnabled());
  EXPECT_EQ(ui->cmbCalType->currentIndex(), 0);
  EXPECT_EQ(freqTexts(), QStringList({"0.25Hz", "0.75Hz", "1.25Hz"}));
  EXPECT_EQ(page->spaceView()->freqModel()->rowCount(), 3);

  // A spread-spectrum file makes it available again.
  page->setCurrentFile(handMade());
  EXPECT_TRUE(ui->cmbCalType->isEnabled());
}

TEST_F(PageFixture, EmptyPathClearsThePage) {
  page->setCurrentFile(handMade());
  ui->edtFileSmt->setText("/data/smt");
  page->setCurrentFile(QString());
  EXPECT_TRUE(prompts->messages.isEmpty());
  EXPECT_FALSE(page->isLoaded());
  EXPECT_FALSE(ui->btnOutSrsSingle->isEnabled());
  EXPECT_FALSE(ui->btnRecal->isEnabled());
  EXPECT_FALSE(ui->btnOutToTxt->isEnabled());
  EXPECT_TRUE(ui->btnOutSrsAll->isEnabled());
  EXPECT_TRUE(ui->btnRecalAll->isEnabled());
  EXPECT_TRUE(ui->btnOutToTxtAll->isEnabled());
  EXPECT_TRUE(ui->btnSelFileSmt->isEnabled());
  EXPECT_EQ(ui->edtFileSmt->text(), "");
  EXPECT_EQ(cmbFreq->count(), 0);
  EXPECT_FALSE(cellData(0, 5, Qt::DisplayRole).isValid());
  EXPECT_EQ(model->headerData(5, Qt::Horizontal).toString(), u8("视电阻率(Ω·m)"));
  // No file, no figure: the last file's rate does not stay behind.
  EXPECT_EQ(passRate(), "");

  page->setCurrentFile(handMade());
  EXPECT_TRUE(ui->btnOutSrsSingle->isEnabled());
  EXPECT_TRUE(ui->btnRecal->isEnabled());
  EXPECT_TRUE(ui->btnOutToTxt->isEnabled());
}

TEST_F(PageFixture, FailedReadWarnsAndClears) {
  page->setCurrentFile(handMade());
  QFile junk(dir + "/junk.SRS");
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write("not an SRS file at all");
  junk.close();

  const QString why[] = {u8("无法打开文件：文件或文件夹不存在"), u8("版本号（第0字节起）已损坏")};
  for (const QString& bad : {dir + "/missing.SRS", dir + "/junk.SRS"}) {
    prompts->messages.clear();
    ui->edtFileSmt->setText("/data/smt");
    page->setCurrentFile(bad);
    ASSERT_EQ(prompts->messages.size(), 1);
    EXPECT_EQ(prompts->messages[0].kind, "warning");
    EXPECT_EQ(prompts->messages[0].title, u8("提示"));
    // The reader's reason on a second line, in the interface language.
    EXPECT_EQ(prompts->messages[0].text, u8("打开文件“%1”失败！").arg(bad) + "\n" + why[bad.endsWith("junk.SRS")]);
    EXPECT_FALSE(page->isLoaded());
    EXPECT_FALSE(ui->btnOutSrsSingle->isEnabled());
    EXPECT_FALSE(ui->btnRecal->isEnabled());
    EXPECT_FALSE(ui->btnOutToTxt->isEnabled());
    EXPECT_EQ(ui->edtFileSmt->text(), "");
    EXPECT_EQ(cmbFreq->count(), 0);
    EXPECT_FALSE(cellData(0, 0, Qt::DisplayRole).isValid());
    EXPECT_EQ(passRate(), "");
  }
  // Clearing the list empties it too; the next file shows its own figure.
  page->setCurrentFile(handMade());
  EXPECT_EQ(passRate(), u8("  合格率：75.0%"));
  page->setCurrentFile(QString());
  EXPECT_EQ(passRate(), "");
}

TEST_F(PageFixture, EnglishTitlesOfTheRecalculationMessages) {
  QTranslator translator;
  ASSERT_TRUE(installTranslation(*qApp, translator, "en_US"));
  click(ui->btnRecal);
  page->setCurrentFile(handMade());
  click(ui->btnRecal);
  prompts->intAnswers.enqueue(2);
  click(ui->btnRecal);
  QApplication::removeTranslator(&translator);
  ASSERT_EQ(prompts->messages.size(), 3);
  for (const RecordedMessage& m : prompts->messages) EXPECT_EQ(m.title, "Tips") << m.text.toStdString();
  EXPECT_EQ(prompts->messages[1].text, "The input format is not correct!");
}

TEST_F(PageFixture, SmtDirectoryChosenOrKept) {
  prompts->fileAnswers.enqueue({dir});
  click(ui->btnSelFileSmt);
  ASSERT_EQ(prompts->dialogs.size(), 1);
  EXPECT_EQ(prompts->dialogs[0].kind, "dir");
  EXPECT_EQ(prompts->dialogs[0].caption, u8("选择SMT目录"));
  EXPECT_EQ(ui->edtFileSmt->text(), dir);

  // The next dialog starts where the last one ended; a cancel keeps the field.
  click(ui->btnSelFileSmt);
  ASSERT_EQ(prompts->dialogs.size(), 2);
  EXPECT_EQ(prompts->dialogs[1].dir, dir);
  EXPECT_EQ(ui->edtFileSmt->text(), dir);
}

TEST_F(PageFixture, ExportCurrentResultWritesTheDumpBesideTheFile) {
  // Before any file is selected the button does nothing.
  click(ui->btnOutToTxt);
  EXPECT_TRUE(prompts->messages.isEmpty());

  const QString d = survey(13);
  const QString path = d + "/L101_01.SRS";
  page->setCurrentFile(path);
  click(ui->btnOutToTxt);
  ExpectOnlyMessage(*prompts, "information", u8("提示"), u8("文件“%1”已导出到TXT文件中!").arg(path));

  CFormatSRS srs;
  ASSERT_TRUE(srs.Read(path8(path)));
  srs.m_dump_res = false;
  ASSERT_TRUE(srs.Print(path8(dir + "/expected.txt")));
  const QByteArray want = contents(dir + "/expected.txt");
  ASSERT_FALSE(want.isEmpty());
  EXPECT_EQ(contents(d + "/L101_01.txt"), want);

  // A folder in the way of the dump: the warning names the SRS file.
  ASSERT_TRUE(QDir(d).mkdir("L101_02.txt"));
  page->setCurrentFile(d + "/L101_02.SRS");
  prompts->messages.clear();
  click(ui->btnOutToTxt);
  ExpectOnlyMessage(*prompts, "warning", u8("提示"),
                    u8("文件“%1”导出失败!\n“%2”是文件夹").arg(d + "/L101_02.SRS", d + "/L101_02.txt"));
}

TEST_F(PageFixture, DumpOfAFileNamedTxtDoesNotReplaceIt) {
  const QString path = dir + "/H01.txt";
  ASSERT_TRUE(writeHandMade(path));
  const QByteArray source = contents(path);
  page->setCurrentFile(path);
  ASSERT_TRUE(page->isLoaded());
  click(ui->btnOutToTxt);
  EXPECT_EQ(contents(path), source);
  EXPECT_TRUE(QFileInfo::exists(path + ".txt"));
}

TEST_F(PageFixture, ExportAllResultsWritesEveryDumpAndTheReport) {
  click(ui->btnOutToTxtAll);
  EXPECT_TRUE(prompts->messages.isEmpty());

  const QString d = survey(14);
  ASSERT_TRUE(QDir(dir).mkpath("a") && QDir(dir).mkpath("b"));
  ASSERT_TRUE(QFile::copy(d + "/L101_01.SRS", dir + "/a/L101_01.SRS"));
  ASSERT_TRUE(QFile::copy(d + "/L101_02.SRS", dir + "/b/L101_02.SRS"));
  page->setFileList({dir + "/a/L101_01.SRS", dir + "/b/L101_02.SRS", dir + "/c/L9.SRS"});
  click(ui->btnOutToTxtAll);

  // The file that could not be read is named with its reason: the run did
  // not complete.
  ExpectOnlyMessage(*prompts, "warning", u8("警告"),
                    u8("3个文件中2个已完成，1个失败：\n%1：无法打开文件：文件或文件夹不存在").arg(dir + "/c/L9.SRS"));
  EXPECT_TRUE(QFileInfo::exists(dir + "/a/L101_01.txt"));
  EXPECT_TRUE(QFileInfo::exists(dir + "/b/L101_02.txt"));
  EXPECT_EQ(contents(dir + "/a/outTxtResult.txt"),
            QByteArray("L101_01 导出成功!\n\nL101_02 导出成功!\n\nL9 打开失败!\n\n"));
  EXPECT_FALSE(QFileInfo::exists(dir + "/b/outTxtResult.txt"));
}

TEST_F(PageFixture, EnglishSystemWritesAnEnglishReport) {
  QTranslator translator;
  ASSERT_TRUE(installTranslation(*qApp, translator, "en_US"));
  const QString d = survey(15);
  page->setFileList({d + "/L101_01.SRS", d + "/L9.SRS"});
  click(ui->btnOutToTxtAll);
  QApplication::removeTranslator(&translator);
  EXPECT_EQ(contents(d + "/outTxtResult.txt"), QByteArray("L101_01 Export successful!\n\nL9 open failed!\n"));
  ASSERT_EQ(prompts->messages.size(), 1);
  EXPECT_EQ(prompts->messages[0].title, "warning");
  EXPECT_EQ(prompts->messages[0].text,
            QString("1 of 2 files done, 1 failed:\n%1: cannot open the file: no such file or folder").arg(d + "/L9.SRS"));
}

TEST_F(PageFixture, RecalcCurrentNeedsALoadedFileAndEachClickActsOnce) {
  click(ui->btnRecal);
  ExpectOnlyMessage(*prompts, "warning", u8("提示"), u8("请先选择SRS文件，再重新计算！"));
  EXPECT_TRUE(prompts->dialogs.isEmpty());
}

TEST_F(PageFixture, RecalcCurrentRegroupsTheComposedFrequenciesInMemory) {
  const QString d = survey(21);
  const QString path = d + "/L101_01.SRS";
  const QByteArray on_disk = contents(path);
  page->setCurrentFile(path);

  prompts->intAnswers.enqueue(8);
  click(ui->btnRecal);
  ASSERT_EQ(prompts->dialogs.size(), 1);
  EXPECT_EQ(prompts->dialogs[0].kind, "int");
  EXPECT_EQ(prompts->dialogs[0].caption, u8("组合频率设置"));
  EXPECT_EQ(prompts->lastIntLabel, u8("单频的组合谐波数:"));
  ExpectOnlyMessage(*prompts, "information", u8("提示"), u8("文件%1已被重新计算！").arg(path));

  CResultSip& comp = page->srsFile().m_res_composed;
  ASSERT_EQ(comp.GetHarmNum(), 2);
  EXPECT_FLOAT_EQ(comp.GetFreq(0, 0), 1.125f);
  EXPECT_FLOAT_EQ(comp.GetFreq(0, 1), 3.125f);
  EXPECT_EQ(comp.GetChNum(), 24);
  // The table lists the new points, not the ones of the file.
  EXPECT_EQ(freqTexts(), QStringList({"1.125Hz", "3.125Hz"}));
  EXPECT_EQ(contents(path), on_disk);

  // The dump of the current file carries the recalculated points.
  click(ui->btnOutToTxt);
  const QByteArray dump = contents(d + "/L101_01.txt");
  EXPECT_TRUE(dump.contains("1th frequency: 1.125000Hz"));
  EXPECT_FALSE(dump.contains("1th frequency: 0.625000Hz"));

  prompts->intAnswers.enqueue(4);
  click(ui->btnRecal);
  ASSERT_EQ(comp.GetHarmNum(), 4);
  const float want[4] = {0.625f, 1.625f, 2.625f, 3.625f};
  for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(comp.GetFreq(0, i), want[i]);
  EXPECT_EQ(freqTexts(), QStringList({"0.625Hz", "1.625Hz", "2.625Hz", "3.625Hz"}));

  prompts->intAnswers.enqueue(16);
  click(ui->btnRecal);
  ASSERT_EQ(comp.GetHarmNum(), 1);
  EXPECT_FLOAT_EQ(comp.GetFreq(0, 0), 2.125f);
}

TEST_F(PageFixture, RecalcCurrentCancelledChangesNothing) {
  const QString d = survey(22);
  page->setCurrentFile(d + "/L101_01.SRS");
  click(ui->btnRecal);
  ExpectOnlyMessage(*prompts, "warning", u8("提示"), u8("输入数据格式不正确！"));
  EXPECT_EQ(page->srsFile().m_res_composed.GetHarmNum(), 4);
  EXPECT_EQ(freqTexts(), QStringList({"0.625Hz", "1.625Hz", "2.625Hz", "3.625Hz"}));
}

TEST_F(PageFixture, RecalcAllWritesEveryFileAndTheReport) {
  const QString d = survey(23);
  const QString out = dir + "/out";
  ASSERT_TRUE(QDir().mkpath(out));
  page->setFileList({d + "/L101_01.SRS", d + "/L101_02.SRS", d + "/L9.SRS"});

  prompts->intAnswers.enqueue(4);
  prompts->fileAnswers.enqueue({out});
  click(ui->btnRecalAll);
  ASSERT_EQ(prompts->dialogs.size(), 2);
  EXPECT_EQ(prompts->dialogs[0].kind, "int");
  EXPECT_EQ(prompts->dialogs[1].kind, "dir");
  EXPECT_EQ(prompts->dialogs[1].caption, "Save SRS");
  ExpectOnlyMessage(*prompts, "warning", u8("警告"),
                    u8("3个文件中2个已完成，1个失败：\n%1：无法打开文件：文件或文件夹不存在").arg(d + "/L9.SRS"));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  EXPECT_EQ(contents(out + "/reCalResult.txt"),
            QByteArray("L101_01 重计算成功!\nL101_02 重计算成功!\nL9 打开失败!\n\n"));
  for (const char* name : {"L101_01", "L101_02"}) {
    CFormatSRS srs;
    ASSERT_TRUE(srs.Read(path8(out + "/" + name + ".SRS"))) << name;
    ASSERT_EQ(srs.m_res_composed.GetHarmNum(), 4);
    EXPECT_FLOAT_EQ(srs.m_res_composed.GetFreq(0, 3), 3.625f);
  }
  EXPECT_FALSE(QFileInfo::exists(out + "/L9.SRS"));

  // The next run starts in the folder chosen last; 16 harmonics make one point.
  prompts->intAnswers.enqueue(16);
  prompts->fileAnswers.enqueue({out});
  click(ui->btnRecalAll);
  ASSERT_EQ(prompts->dialogs.size(), 4);
  EXPECT_EQ(prompts->dialogs[3].dir, out);
  CFormatSRS srs;
  ASSERT_TRUE(srs.Read(path8(out + "/L101_02.SRS")));
  ASSERT_EQ(srs.m_res_composed.GetHarmNum(), 1);
  EXPECT_FLOAT_EQ(srs.m_res_composed.GetFreq(0, 0), 2.125f);
}

TEST_F(PageFixture, RecalcAllStopsBeforeWritingAnything) {
  const QString d = survey(24);
  const QString out = dir + "/out";
  ASSERT_TRUE(QDir().mkpath(out));

  // No files: a warning, no dialog.
  click(ui->btnRecalAll);
  ExpectOnlyMessage(*prompts, "warning", u8("警告"), u8("SRS文件列表为空！"));
  EXPECT_TRUE(prompts->dialogs.isEmpty());

  // Harmonics dialog cancelled: the warning, no folder dialog.
  page->setFileList({d + "/L101_01.SRS"});
  prompts->messages.clear();
  prompts->fileAnswers.enqueue({out});
  click(ui->btnRecalAll);
  ExpectOnlyMessage(*prompts, "warning", u8("提示"), u8("输入数据格式不正确！"));
  ASSERT_EQ(prompts->dialogs.size(), 1);
  EXPECT_EQ(prompts->dialogs[0].kind, "int");

  // Folder dialog cancelled: silence.
  prompts->messages.clear();
  prompts->fileAnswers.clear();
  prompts->intAnswers.enqueue(4);
  click(ui->btnRecalAll);
  EXPECT_TRUE(prompts->messages.isEmpty());
  EXPECT_TRUE(QDir(out).entryList(QDir::Files).isEmpty());
}

TEST_F(PageFixture, RecalcAllFromTimeSeriesGoesOnAfterAMissingCurrentStation) {
  const QString d = survey(25);
  const QString out = dir + "/out";
  ASSERT_TRUE(QDir().mkpath(out));
  ASSERT_TRUE(QFile::remove(d + "/smt/CS01/L101_01.smt"));
  page->setFileList({d + "/L101_01.SRS", d + "/L101_02.SRS"});

  click(ui->btnOutSrsAll);
  ASSERT_EQ(prompts->messages.size(), 1);
  EXPECT_EQ(prompts->messages[0].title, u8("警告"));
  EXPECT_EQ(prompts->messages[0].text, u8("SMT时序文件目录为空！"));

  ui->edtFileSmt->setText(d + "/smt");
  prompts->messages.clear();
  prompts->fileAnswers.enqueue({out});
  click(ui->btnOutSrsAll);
  ASSERT_EQ(prompts->dialogs.size(), 1);
  EXPECT_EQ(prompts->dialogs[0].caption, "Save SRS");
  ExpectOnlyMessage(*prompts, "warning", u8("警告"),
                    u8("2个文件中1个已完成，1个失败：\n%1：未找到电流数据“%2”").arg(d + "/L101_01.SRS", d + "/smt/CS01/L101_01.smt"));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  EXPECT_EQ(contents(out + "/recalTsToSrsResult.txt"),
            u8("L101_01 重计算失败!\nL101_02 打开成功!\n重计算仪器: ST01,ST02,ST03,ST04\n未计算仪器: 无\n\n").toUtf8());
  EXPECT_FALSE(QFileInfo::exists(out + "/L101_01.SRS"));
  CFormatSRS srs;
  EXPECT_TRUE(srs.Read(path8(out + "/L101_02.SRS")));

  page->setFileList({});
  prompts->messages.clear();
  click(ui->btnOutSrsAll);
  ASSERT_EQ(prompts->messages.size(), 1);
  EXPECT_EQ(prompts->messages[0].title, u8("警告"));
  EXPECT_EQ(prompts->messages[0].text, u8("SRS文件列表为空！"));
}

TEST_F(PageFixture, RecalcCurrentFromTimeSeriesSavesUnderTheChosenName) {
  const QString d = survey(26);
  const QString path = d + "/L101_01.SRS";
  page->setFileList({path, d + "/L101_02.SRS"});
  page->setCurrentFile(path);

  click(ui->btnOutSrsSingle);
  ExpectOnlyMessage(*prompts, "warning", u8("警告"), u8("SMT时序文件目录为空！"));
  EXPECT_TRUE(prompts->dialogs.isEmpty());

  ui->edtFileSmt->setText(d + "/smt");
  prompts->messages.clear();
  const QString saved = dir + "/rebuilt.SRS";
  prompts->fileAnswers.enqueue({saved});
  click(ui->btnOutSrsSingle);
  ASSERT_EQ(prompts->dialogs.size(), 1);
  EXPECT_EQ(prompts->dialogs[0].kind, "save");
  EXPECT_EQ(prompts->dialogs[0].caption, "Save SRS");
  EXPECT_EQ(prompts->dialogs[0].filter, "CRS Files (*.SRS)");
  // The proposed name carries the extension the import dialog filters on.
  EXPECT_TRUE(prompts->dialogs[0].dir.endsWith("/L101_01.SRS"));
  ExpectOnlyMessage(*prompts, "information", u8("提示"),
                    u8("文件保存成功！\n重计算设备:ST01,ST02,ST03,ST04\n未计算设备:"));

  // The rebuilt spectra come from the same harmonics as the stored ones.
  CFormatSRS stored, rebuilt;
  ASSERT_TRUE(stored.Read(path8(path)));
  ASSERT_TRUE(rebuilt.Read(path8(saved)));
  const ResItem a = stored.m_res_composed.GetItem(0, 0, 0);
  const ResItem b = rebuilt.m_res_composed.GetItem(0, 0, 0);
  ASSERT_GT(a.blk[RES_APP].count, 0u);
  EXPECT_NEAR(b.blk[RES_APP].value, a.blk[RES_APP].value, 0.01 * a.blk[RES_APP].value);
  EXPECT_NEAR(page->srsFile().m_res_composed.GetItem(0, 0, 0).blk[RES_APP].value, b.blk[RES_APP].value,
              1e-3 * b.blk[RES_APP].value);
  // The next dialog proposes the folder chosen last.
  prompts->messages.clear();
  prompts->fileAnswers.enqueue({dir + "/nowhere/x.SRS"});
  click(ui->btnOutSrsSingle);
  ASSERT_EQ(prompts->dialogs.size(), 2);
  EXPECT_EQ(prompts->dialogs[1].dir, dir + "/L101_01.SRS");
  ExpectOnlyMessage(*prompts, "warning", u8("警告"),
                    u8("文件%1打开失败！\n无法在文件夹“%2”中创建文件：文件或文件夹不存在").arg(dir + "/nowhere/x.SRS", dir + "/nowhere"));
}

TEST_F(PageFixture, RecalcCurrentFromTimeSeriesStopsWithoutWriting) {
  const QString d = survey(27);
  const QString path = d + "/L101_01.SRS";
  const QString saved = dir + "/rebuilt.SRS";
  ui->edtFileSmt->setText(d + "/smt");

  // No file list or no file read.
  click(ui->btnOutSrsSingle);
  ASSERT_EQ(prompts->messages.size(), 1);
  EXPECT_EQ(prompts->messages[0].title, u8("警告"));
  EXPECT_EQ(prompts->messages[0].text, u8("请选择需要进行重计算的SRS文件！"));

  page->setFileList({path});
  page->setCurrentFile(path);
  ui->edtFileSmt->setText(d + "/smt");

  // The current station's time series is missing.
  ASSERT_TRUE(QFile::rename(d + "/smt/CS01/L101_01.smt", dir + "/cs.smt"));
  prompts->messages.clear();
  prompts->fileAnswers.enqueue({saved});
  click(ui->btnOutSrsSingle);
  ExpectOnlyMessage(*prompts, "warning", u8("警告"), u8("未找到电流数据:\n%1").arg(d + "/smt/CS01/L101_01.smt"));
  EXPECT_FALSE(QFileInfo::exists(saved));

  // No name chosen.
  ASSERT_TRUE(QFile::rename(dir + "/cs.smt", d + "/smt/CS01/L101_01.smt"));
  prompts->messages.clear();
  click(ui->btnOutSrsSingle);
  EXPECT_TRUE(prompts->messages.isEmpty());
  EXPECT_FALSE(QFileInfo::exists(saved));

  // The file vanished since it was selected.
  ASSERT_TRUE(QFile::remove(path));
  prompts->fileAnswers.enqueue({saved});
  click(ui->btnOutSrsSingle);
  ASSERT_EQ(prompts->messages.size(), 1);
  EXPECT_EQ(prompts->messages[0].text, u8("%1.SRS文件读取失败！\n无法打开文件：文件或文件夹不存在").arg("L101_01"));
  EXPECT_FALSE(QFileInfo::exists(saved));
  EXPECT_FALSE(page->isLoaded());
  EXPECT_FALSE(ui->btnOutSrsSingle->isEnabled());
  EXPECT_FALSE(ui->btnRecal->isEnabled());
  EXPECT_FALSE(ui->btnOutToTxt->isEnabled());
}

TEST_F(PageFixture, EnglishSystemWritesAnEnglishRecalcReport) {
  QTranslator translator;
  ASSERT_TRUE(installTranslation(*qApp, translator, "en_US"));
  const QString d = survey(28);
  const QString out = dir + "/out";
  ASSERT_TRUE(QDir().mkpath(out));
  page->setFileList({d + "/L101_01.SRS", d + "/L9.SRS"});
  prompts->intAnswers.enqueue(4);
  prompts->fileAnswers.enqueue({out});
  click(ui->btnRecalAll);
  ui->edtFileSmt->setText(d + "/smt");
  prompts->fileAnswers.enqueue({out});
  click(ui->btnOutSrsAll);
  QApplication::removeTranslator(&translator);

  EXPECT_EQ(contents(out + "/reCalResult.txt"), QByteArray("L101_01 Recalculation successful\nL9 open failed!\n"));
  EXPECT_EQ(contents(out + "/recalTsToSrsResult.txt"),
            QByteArray("L101_01 open successfull!\nRecalculation devices: ST01,ST02,ST03,ST04\n"
                       "UnCalculated devices: none\n\nL9 open failed!\n"));
  ASSERT_EQ(prompts->messages.size(), 2);
  const QString failed = QString("1 of 2 files done, 1 failed:\n%1: cannot open the file: no such file or folder")
                             .arg(d + "/L9.SRS");
  for (const RecordedMessage& m : prompts->messages) {
    EXPECT_EQ(m.title, "warning");
    EXPECT_EQ(m.text, failed);
  }
}

TEST_F(PageFixture, ModelsAnnounceEveryChangeThroughTheWholeRoad) {
  // One collector; the second tester reports through it too.
  ModelCheck check(model);
  QAbstractItemModelTester check_sel(page->spaceView()->model(),
                                     QAbstractItemModelTester::FailureReportingMode::Warning);
  page->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(page.get()));
  const QString d = survey(31);
  const QString hand = handMade();
  page->setFileList({d + "/L101_01.SRS", hand});

  page->setCurrentFile(d + "/L101_01.SRS");
  ASSERT_TRUE(page->isLoaded());
  const int survey_rows = model->rowCount();
  auto* view = page->resTable()->findChild<QTableView*>("tbRes");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->verticalHeader()->count(), survey_rows);

  ui->cmbCalType->setCurrentIndex(1);
  cmbFreq->setCurrentIndex(1);
  ui->cmbShowType->setCurrentIndex(1);
  prompts->intAnswers.enqueue(2);
  click(ui->btnRecal);
  ui->cmbCalType->setCurrentIndex(0);
  EXPECT_EQ(cmbFreq->count(), 8);

  // Fewer channels: the view follows the model.
  page->setCurrentFile(hand);
  EXPECT_EQ(model->rowCount(), 4);
  EXPECT_EQ(view->verticalHeader()->count(), 4);
  page->setCurrentFile(dir + "/missing.SRS");
  page->setCurrentFile(QString());
  EXPECT_EQ(view->verticalHeader()->count(), model->rowCount());
  page->hide();
  EXPECT_TRUE(ModelCheck::failures().isEmpty()) << ModelCheck::failures().join("\n").toStdString();
}

TEST_F(PageFixture, WritingOverTheImportedFilesAsksFirstAndKeepsTheOriginals) {
  const QString d = survey(41);
  const QStringList files = {d + "/L101_01.SRS", d + "/L101_02.SRS"};
  QList<QByteArray> before;
  for (const QString& f : files) before << contents(f);
  page->setFileList(files);
  ui->edtFileSmt->setText(d + "/smt");

  struct Run {
    QPushButton* button;
    bool needs_count;
    const char* report;
  };
  for (const Run& run : {Run{ui->btnRecalAll, true, "reCalResult.txt"}, Run{ui->btnOutSrsAll, false,
                                                                           "recalTsToSrsResult.txt"}}) {
    SCOPED_TRACE(run.report);
    // No: nothing written, not even the report.
    prompts->messages.clear();
    if (run.needs_count) prompts->intAnswers.enqueue(4);
    prompts->fileAnswers.enqueue({d});
    prompts->questionAnswers.enqueue(false);
    click(run.button);
    ExpectOnlyMessage(*prompts, "question", u8("提示"), u8("输出目录包含原始SRS文件，是否覆盖？"));
    for (int i = 0; i < files.size(); ++i) EXPECT_EQ(contents(files[i]), before[i]) << i;
    EXPECT_FALSE(QFileInfo::exists(d + "/" + run.report));
    EXPECT_FALSE(QFileInfo::exists(files[0] + ".orig"));
  }

  // Yes: written, each original kept once beside it.
  prompts->messages.clear();
  prompts->intAnswers.enqueue(4);
  prompts->fileAnswers.enqueue({d});
  prompts->questionAnswers.enqueue(true);
  click(ui->btnRecalAll);
  ASSERT_EQ(prompts->messages.size(), 2);
  EXPECT_EQ(prompts->messages[1].text, u8("重计算已完成！"));
  for (int i = 0; i < files.size(); ++i) {
    EXPECT_EQ(contents(files[i] + ".orig"), before[i]) << i;
    EXPECT_NE(contents(files[i]), before[i]) << i;
    CFormatSRS srs;
    ASSERT_TRUE(srs.Read(path8(files[i])));
    EXPECT_EQ(srs.m_res_composed.GetHarmNum(), 4);
  }
  // A second overwrite never replaces the acquisition original.
  prompts->intAnswers.enqueue(2);
  prompts->fileAnswers.enqueue({d});
  prompts->questionAnswers.enqueue(true);
  click(ui->btnRecalAll);
  for (int i = 0; i < files.size(); ++i) EXPECT_EQ(contents(files[i] + ".orig"), before[i]) << i;

  // Another folder asks nothing.
  const QString out = dir + "/elsewhere";
  ASSERT_TRUE(QDir().mkpath(out));
  prompts->messages.clear();
  prompts->intAnswers.enqueue(4);
  prompts->fileAnswers.enqueue({out});
  click(ui->btnRecalAll);
  ASSERT_EQ(prompts->messages.size(), 1);
  EXPECT_EQ(prompts->messages[0].kind, "information");
}

TEST_F(PageFixture, ExportAllResultsNamesTheDumpsItReplaced) {
  const QString d = survey(42);
  page->setFileList({d + "/L101_01.SRS", d + "/L101_02.SRS"});
  QFile old(d + "/L101_02.txt");
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("an older dump");
  old.close();
  click(ui->btnOutToTxtAll);
  ASSERT_EQ(prompts->messages.size(), 1);
  EXPECT_EQ(prompts->messages[0].kind, "information");
  EXPECT_EQ(prompts->messages[0].text, u8("导出完成！\n已替换的文件：\n%1").arg(d + "/L101_02.txt"));
  EXPECT_NE(contents(d + "/L101_02.txt"), QByteArray("an older dump"));

  // Both exist now: both are named.
  prompts->messages.clear();
  click(ui->btnOutToTxtAll);
  ASSERT_EQ(prompts->messages.size(), 1);
  EXPECT_EQ(prompts->messages[0].text,
            u8("导出完成！\n已替换的文件：\n%1\n%2").arg(d + "/L101_01.txt", d + "/L101_02.txt"));
}

TEST_F(PageFixture, ColumnsAreWideEnoughForTheirContentsAtTheDefaultSize) {
  const QString d = survey(43);
  page->resize(page->size().width() - 300, page->size().height());  // narrower than the form
  page->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(page.get()));
  page->setCurrentFile(d + "/L101_01.SRS");
  ASSERT_TRUE(page->isLoaded());
  QApplication::processEvents();
  auto* view = page->resTable()->findChild<QTableView*>("tbRes");
  ASSERT_NE(view, nullptr);
  expectNothingCut(view);
  // The columns do not fit the narrow page: the user scrolls instead.
  QHeaderView* header = view->horizontalHeader();
  EXPECT_TRUE(view->horizontalScrollBar()->isVisible() ||
              header->length() <= view->viewport()->width());
  page->hide();
}

// A 1600 px wide window shows every column of the table without scrolling,
// in English (the longest labels) as in Chinese, nothing cut.
TEST_F(PageFixture, TableFitsA1600PxWindowInBothLanguages) {
  const QString d = survey(43);
  const QString shots = qEnvironmentVariable("VARNEX_SCREENSHOT_DIR");
  for (const char* locale : {"zh_CN", "en_US"}) {
    QTranslator translator;
    const bool english = installTranslation(*qApp, translator, locale);
    {
      CWdtMain w;
      w.resize(1600, 1000);
      w.importFiles({d + "/L101_01.SRS"});
      w.show();
      ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
      w.form()->tabRight->setCurrentWidget(w.resultsPage());
      w.onListClicked(w.form()->listOpenFiles->model()->index(0, 0));
      ASSERT_TRUE(w.resultsPage()->isLoaded());
      QApplication::processEvents();
      ASSERT_EQ(w.width(), 1600);
      auto* view = w.resultsPage()->resTable()->findChild<QTableView*>("tbRes");
      ASSERT_NE(view, nullptr);
      EXPECT_FALSE(view->horizontalScrollBar()->isVisible()) << locale;
      EXPECT_LE(view->horizontalHeader()->length(), view->viewport()->width()) << locale;
      expectNothingCut(view);
      if (!shots.isEmpty()) {
        EXPECT_TRUE(w.grab().save(QDir(shots).filePath(QString("results_1600%1.png").arg(english ? "_en" : ""))));
      }
    }
    if (english) QApplication::removeTranslator(&translator);
  }
}

TEST_F(PageFixture, AFileCutShortAtItsEndIsShownWithAWarning) {
  const QString d = survey(44);
  QByteArray bytes = contents(d + "/L101_01.SRS");
  bytes.chop(150);
  const QString cut = dir + "/CUT.SRS";
  QFile f(cut);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
  f.close();
  page->setCurrentFile(cut);
  EXPECT_TRUE(page->isLoaded());
  ExpectOnlyMessage(*prompts, "warning", u8("提示"), u8("文件“%1”不完整：第%2字节后的数据缺失").arg(cut).arg(bytes.size()));
  EXPECT_EQ(model->rowCount(), 24);

  prompts->messages.clear();
  page->setCurrentFile(d + "/L101_01.SRS");
  EXPECT_TRUE(prompts->messages.isEmpty());
}
