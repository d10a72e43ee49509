#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QHeaderView>
#include <QTableView>
#include <QTest>
#include <QTranslator>

#include <cmath>
#include <memory>

#include "gui/main/app_init.h"
#include "gui/results/model_plot_sel_freq.h"
#include "gui/results/wdt_res_plot_space_sip.h"
#include "scripted_prompts.h"
#include "core/sip/format_srs.h"
#include "gui/toolkit/custom_plot.h"
#include "gui/toolkit/item_delegates.h"

namespace {

QVector<double> keysOf(const QCPGraph* g) {
  QVector<double> out;
  for (auto it = g->data()->constBegin(); it != g->data()->constEnd(); ++it) out << it->key;
  return out;
}

QVector<double> valuesOf(const QCPGraph* g) {
  QVector<double> out;
  for (auto it = g->data()->constBegin(); it != g->data()->constEnd(); ++it) out << it->value;
  return out;
}

QVector<double> errorsOf(QCPErrorBars* bars) {
  QVector<double> out;
  for (const QCPErrorBarsData& e : *bars->data()) out << e.errorPlus;
  return out;
}

void expectNear(const QVector<double>& got, const QVector<double>& want, double tol) {
  ASSERT_EQ(got.size(), want.size());
  for (int i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], want[i], tol) << "at " << i;
}

int graphsIn(CCustomPlot* plot) { return plot->graphCount(); }

// Warnings of the model tester, collected while a test runs.
QStringList g_model_warnings;

void recordModelWarnings(QtMsgType type, const QMessageLogContext& ctx, const QString& msg) {
  if (type != QtDebugMsg && ctx.category && QByteArray(ctx.category).startsWith("qt.modeltest"))
    g_model_warnings << msg;
}

class ModelWarnings {
public:
  ModelWarnings() {
    g_model_warnings.clear();
    m_old = qInstallMessageHandler(recordModelWarnings);
  }
  ~ModelWarnings() { qInstallMessageHandler(m_old); }

private:
  QtMessageHandler m_old;
};

ResBlock block(float value, float err, uint32_t count = 5) {
  ResBlock b;
  b.value = value;
  b.err = err;
  b.count = count;
  return b;
}

constexpr float kFirstPole = 100.0f;
constexpr float kMn = 20.0f;
// Channels in file order sit at sites 3, 0, 5, 1: x = 160, 100, 200, 120.
const int kSites[4] = {3, 0, 5, 1};

// A survey line of four channels listed out of position order. Composed
// result: 1 base frequency, 3 harmonics; channel 2 has no data at harmonic 1
// and channel 0 has a CP of 2.0 rad at harmonic 2. Single result: 1 x 1.
void fillSrs(CFormatSRS& srs) {
  srs.m_prm_meas.first_pole_pos = kFirstPole;
  srs.m_prm_meas.mn = kMn;
  CResultSip& r = srs.m_res_composed;
  r.DoInit(4, 1, 3);
  const float freqs[3] = {1.0f, 3.0f, 5.0f};
  for (int h = 0; h < 3; ++h) r.SetFreq(0, h, freqs[h]);
  for (int c = 0; c < 4; ++c) {
    ChInfo info;
    info.site_no = kSites[c];
    r.SetChInfo(c, info);
    for (int h = 0; h < 3; ++h) {
      ResItem item;
      item.blk[RES_APP] = block(100.0f + 10.0f * c + h, 1.0f + c);
      item.blk[RES_CP] = block(0.01f * (c + 1) + 0.001f * h, 0.001f);
      item.blk[RES_FS] = block(0.02f * (c + 1), 0.002f);
      item.blk[RES_U_AMP] = block(0.001f * (c + 1), 0.0001f);
      item.blk[RES_U_PH] = block(0.1f * (c + 1), 0.01f);
      if (c == 2 && h == 1)
        for (ResBlock& b : item.blk) b.count = 0;
      if (c == 0 && h == 2) item.blk[RES_CP] = block(2.0f, 0.001f);
      r.SetItem(c, 0, h, item);
    }
  }

  CResultSip& s = srs.m_res;
  s.DoInit(4, 1, 1);
  s.SetFreq(0, 0, 2.0f);
  for (int c = 0; c < 4; ++c) {
    ChInfo info;
    info.site_no = kSites[c];
    s.SetChInfo(c, info);
    ResItem item;
    item.blk[RES_APP] = block(500.0f + c, 2.0f);
    item.blk[RES_CP] = block(0.05f, 0.001f);
    s.SetItem(c, 0, 0, item);
  }
}

class SpaceView : public ::testing::Test {
protected:
  void SetUp() override {
    fillSrs(srs);
    view.initPlots();
    view.resize(1342, 778);
    ui = view.form();
  }

  // What the results page does after loading a file.
  void load(bool single = false) {
    view.setSrs(&srs);
    view.setSingleFreq(single);
    view.updateSelList();
    view.onUpdateResPlot();
  }

  void show() {
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  }

  void clickHeader(int section) {
    QHeaderView* hh = ui->tbFreqSel->horizontalHeader();
    const QPoint p(hh->sectionViewportPosition(section) + hh->sectionSize(section) / 2, hh->height() / 2);
    QTest::mouseClick(hh->viewport(), Qt::LeftButton, Qt::NoModifier, p);
  }

  bool shown(CCustomPlot* plot, QCPGraph* g) {
    QCPErrorBars* bars = plot->ErrorBarsOf(g);
    // Bars must follow their graph, or hidden series would leave whiskers.
    if (bars) {
      EXPECT_EQ(bars->visible(), g->visible());
    }
    return g->visible();
  }

  ScopedPrompts prompts;
  CFormatSRS srs;
  CWdtResPlotSpaceSip view;
  Ui::CWdtResPlot* ui = nullptr;
};

}  // namespace

TEST_F(SpaceView, FormStartsEmptyWithBothSwitchesOn) {
  EXPECT_EQ(view.windowTitle(), "Form");
  EXPECT_TRUE(ui->chkShowErrBar->isChecked());
  EXPECT_TRUE(ui->chkLine->isChecked());
  EXPECT_EQ(ui->chkShowErrBar->text(), QString::fromUtf8("误差棒"));
  EXPECT_EQ(ui->chkLine->text(), QString::fromUtf8("连线"));
  EXPECT_EQ(ui->label_7->text(), QString::fromUtf8("数据类型"));
  ASSERT_EQ(ui->cmbDataType->count(), 3);
  EXPECT_EQ(ui->cmbDataType->itemText(0), QString::fromUtf8("视电阻率+相对相位"));
  EXPECT_EQ(ui->cmbDataType->itemText(1), QString::fromUtf8("视电阻率+频散率"));
  EXPECT_EQ(ui->cmbDataType->itemText(2), QString::fromUtf8("电场振幅+电场相位"));
  EXPECT_EQ(ui->tbFreqSel->model(), view.model());
  EXPECT_NE(qobject_cast<CItemColor*>(ui->tbFreqSel->itemDelegateForColumn(3)), nullptr);

  // No file yet: no rows, and redrawing makes no graphs.
  EXPECT_EQ(view.model()->rowCount(), 0);
  view.updateSelList();
  view.onUpdateResPlot();
  view.onShowGraph();
  view.onTbHeaderClicked(0);
  EXPECT_TRUE(view.graphs1().isEmpty());
  EXPECT_EQ(graphsIn(ui->wdtPlotAmp), 0);
  EXPECT_EQ(graphsIn(ui->wdtPlotPh), 0);
  EXPECT_TRUE(prompts->messages.isEmpty());
}

TEST_F(SpaceView, OneGraphPerRowInEachPlotSortedByPosition) {
  load();
  ASSERT_EQ(view.model()->rowCount(), 3);
  ASSERT_EQ(view.graphs1().size(), 3);
  ASSERT_EQ(view.graphs2().size(), 3);
  EXPECT_EQ(graphsIn(ui->wdtPlotAmp), 3);
  EXPECT_EQ(graphsIn(ui->wdtPlotPh), 3);

  // Sorted positions 100, 120, 160, 200 are channels 1, 3, 0, 2.
  const QVector<double> all_x = {100, 120, 160, 200};
  expectNear(keysOf(view.graphs1()[0]), all_x, 1e-9);
  expectNear(valuesOf(view.graphs1()[0]), {110, 130, 100, 120}, 1e-4);
  expectNear(valuesOf(view.graphs2()[0]), {20, 40, 10, 30}, 1e-3);
  // Channel 2 (x = 200) has no data at harmonic 1.
  expectNear(keysOf(view.graphs1()[1]), {100, 120, 160}, 1e-9);
  expectNear(valuesOf(view.graphs1()[1]), {111, 131, 101}, 1e-4);
  // Channel 0 at harmonic 2 has CP = 2.0 rad, folded to 2.0 - pi.
  expectNear(keysOf(view.graphs2()[2]), all_x, 1e-9);
  EXPECT_NEAR(valuesOf(view.graphs2()[2])[2], -1141.59, 0.01);
  EXPECT_NEAR(valuesOf(view.graphs2()[2])[2], (2.0 - M_PI) * 1000.0, 0.05);

  for (QCPGraph* g : view.graphs1() + view.graphs2()) {
    EXPECT_EQ(g->lineStyle(), QCPGraph::lsLine);
    EXPECT_EQ(g->scatterStyle().shape(), QCPScatterStyle::ssDisc);
    EXPECT_EQ(g->scatterStyle().size(), 6);
    EXPECT_TRUE(g->name().isEmpty());
    EXPECT_TRUE(g->visible());
  }
  EXPECT_TRUE(prompts->messages.isEmpty());
}

TEST_F(SpaceView, RedrawingReplacesTheGraphs) {
  load();
  load();
  view.onUpdateResPlot();
  EXPECT_EQ(graphsIn(ui->wdtPlotAmp), 3);
  // Three graphs and their three error bars, nothing left over.
  EXPECT_EQ(ui->wdtPlotAmp->plottableCount(), 6);
  EXPECT_EQ(ui->wdtPlotPh->plottableCount(), 6);

  // Fewer rows: the surplus graphs go away.
  load(true);
  EXPECT_EQ(view.model()->rowCount(), 1);
  ASSERT_EQ(view.graphs1().size(), 1);
  EXPECT_EQ(ui->wdtPlotAmp->plottableCount(), 2);
  expectNear(valuesOf(view.graphs1()[0]), {501, 503, 500, 502}, 1e-4);
}

TEST_F(SpaceView, ErrorBarsFollowTheSwitch) {
  show();
  load();
  for (int i = 0; i < 3; ++i) {
    ASSERT_NE(ui->wdtPlotAmp->ErrorBarsOf(view.graphs1()[i]), nullptr);
    ASSERT_NE(ui->wdtPlotPh->ErrorBarsOf(view.graphs2()[i]), nullptr);
  }
  // Errors move with their points and are scaled like them (CP: mrad).
  expectNear(errorsOf(ui->wdtPlotAmp->ErrorBarsOf(view.graphs1()[0])), {2, 4, 1, 3}, 1e-5);
  expectNear(errorsOf(ui->wdtPlotPh->ErrorBarsOf(view.graphs2()[0])), {1, 1, 1, 1}, 1e-4);
  const QVector<double> keys = keysOf(view.graphs1()[0]);
  const QVector<double> values = valuesOf(view.graphs1()[0]);

  QTest::mouseClick(ui->chkShowErrBar, Qt::LeftButton);
  ASSERT_FALSE(ui->chkShowErrBar->isChecked());
  ASSERT_EQ(view.graphs1().size(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(ui->wdtPlotAmp->ErrorBarsOf(view.graphs1()[i]), nullptr);
    EXPECT_EQ(ui->wdtPlotPh->ErrorBarsOf(view.graphs2()[i]), nullptr);
  }
  EXPECT_EQ(ui->wdtPlotAmp->plottableCount(), 3);
  EXPECT_EQ(keysOf(view.graphs1()[0]), keys);
  EXPECT_EQ(valuesOf(view.graphs1()[0]), values);

  QTest::mouseClick(ui->chkShowErrBar, Qt::LeftButton);
  EXPECT_NE(ui->wdtPlotAmp->ErrorBarsOf(view.graphs1()[0]), nullptr);
}

TEST_F(SpaceView, ConnectorSwitchSetsTheLineStyle) {
  show();
  load();
  QTest::mouseClick(ui->chkLine, Qt::LeftButton);
  for (QCPGraph* g : view.graphs1() + view.graphs2()) EXPECT_EQ(g->lineStyle(), QCPGraph::lsNone);
  QTest::mouseClick(ui->chkLine, Qt::LeftButton);
  for (QCPGraph* g : view.graphs1() + view.graphs2()) EXPECT_EQ(g->lineStyle(), QCPGraph::lsLine);
}

TEST_F(SpaceView, HeaderClickTogglesAllRows) {
  show();
  load();
  for (int section : {0, 2, 3, 1}) {
    SCOPED_TRACE(section);
    const bool was_on = view.model()->isChecked(0);
    clickHeader(section);
    for (int r = 0; r < 3; ++r) {
      EXPECT_EQ(view.model()->isChecked(r), !was_on);
      EXPECT_EQ(shown(ui->wdtPlotAmp, view.graphs1()[r]), !was_on);
      EXPECT_EQ(shown(ui->wdtPlotPh, view.graphs2()[r]), !was_on);
    }
  }
  // Mixed states follow the first row: it is on, so all go off.
  view.model()->setData(view.model()->index(1, 0), Qt::Unchecked, Qt::CheckStateRole);
  ASSERT_TRUE(view.model()->isChecked(0));
  clickHeader(1);
  for (int r = 0; r < 3; ++r) EXPECT_FALSE(view.graphs1()[r]->visible());
}

TEST_F(SpaceView, CheckingARowShowsOrHidesItsGraphsWithoutRebuilding) {
  show();
  load();
  const QVector<QCPGraph*> before1 = view.graphs1();
  QTableView* tb = ui->tbFreqSel;
  tb->setFocus();
  tb->setCurrentIndex(view.model()->index(1, 0));
  QTest::keyClick(tb, Qt::Key_Space);
  EXPECT_FALSE(view.model()->isChecked(1));
  EXPECT_EQ(view.graphs1(), before1);
  EXPECT_TRUE(shown(ui->wdtPlotAmp, view.graphs1()[0]));
  EXPECT_FALSE(shown(ui->wdtPlotAmp, view.graphs1()[1]));
  EXPECT_FALSE(shown(ui->wdtPlotPh, view.graphs2()[1]));
  EXPECT_TRUE(shown(ui->wdtPlotAmp, view.graphs1()[2]));

  // A hidden row stays hidden when the graphs are rebuilt.
  QTest::mouseClick(ui->chkShowErrBar, Qt::LeftButton);
  EXPECT_FALSE(view.graphs1()[1]->visible());
  EXPECT_TRUE(view.graphs1()[0]->visible());
}

TEST_F(SpaceView, ColourChosenInTheTableRebuildsWithTheNewPen) {
  show();
  load();
  const QModelIndex idx = view.model()->index(2, 3);
  EXPECT_EQ(view.graphs1()[2]->pen().color(), view.model()->color(2));
  ui->tbFreqSel->edit(idx);
  auto* dlg = ui->tbFreqSel->viewport()->findChild<QColorDialog*>();
  ASSERT_NE(dlg, nullptr);
  dlg->setCurrentColor(QColor(10, 200, 30));
  dlg->accept();

  EXPECT_EQ(view.model()->color(2), QColor(10, 200, 30));
  EXPECT_EQ(view.model()->data(idx, Qt::DecorationRole).value<QColor>(), QColor(10, 200, 30));
  ASSERT_EQ(view.graphs1().size(), 3);
  EXPECT_EQ(view.graphs1()[2]->pen().color(), QColor(10, 200, 30));
  EXPECT_EQ(view.graphs2()[2]->pen().color(), QColor(10, 200, 30));
  EXPECT_EQ(ui->wdtPlotAmp->ErrorBarsOf(view.graphs1()[2])->pen().color(), QColor(10, 200, 30));
  EXPECT_NE(view.graphs1()[1]->pen().color(), QColor(10, 200, 30));

  // A new load brings the default colours and checks back.
  view.model()->setData(view.model()->index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
  load();
  EXPECT_EQ(view.model()->color(2), ModelPlotSelFreq::DefaultColor(2, 3));
  EXPECT_TRUE(view.model()->isChecked(0));
}

TEST_F(SpaceView, DataTypeChoosesTheQuantitiesAndAxes) {
  load();
  CCustomPlot* amp = ui->wdtPlotAmp;
  CCustomPlot* ph = ui->wdtPlotPh;
  struct Case {
    int index;
    QString amp_label, ph_label;
    QVector<double> amp_values, ph_values;  // row 0, sorted by position
    double amp_lo, amp_hi;  // the decades around the data of every row
    bool ph_fixed;
  };
  const Case cases[] = {
      {0, QString::fromUtf8("视电阻率(Ω·m)"), QString::fromUtf8("相对相位(mrad)"), {110, 130, 100, 120},
       {20, 40, 10, 30}, 100, 1000, false},
      {1, QString::fromUtf8("视电阻率(Ω·m)"), QString::fromUtf8("频散率(%)"), {110, 130, 100, 120},
       {4, 8, 2, 6}, 100, 1000, false},
      {2, QString::fromUtf8("电场幅值(mV)"), QString::fromUtf8("电场相位(°)"), {2, 4, 1, 3},
       {0.2 * 57.29578, 0.4 * 57.29578, 0.1 * 57.29578, 0.3 * 57.29578}, 1, 10, true},
      {0, QString::fromUtf8("视电阻率(Ω·m)"), QString::fromUtf8("相对相位(mrad)"), {110, 130, 100, 120},
       {20, 40, 10, 30}, 100, 1000, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    ui->cmbDataType->setCurrentIndex(c.index);
    ASSERT_EQ(view.graphs1().size(), 3);
    EXPECT_EQ(amp->yAxis->label(), c.amp_label);
    EXPECT_EQ(ph->yAxis->label(), c.ph_label);
    EXPECT_EQ(amp->xAxis->label(), QString::fromUtf8("M位置(m)"));
    EXPECT_EQ(ph->xAxis->label(), QString::fromUtf8("M位置(m)"));
    expectNear(valuesOf(view.graphs1()[0]), c.amp_values, 1e-3);
    expectNear(valuesOf(view.graphs2()[0]), c.ph_values, 1e-3);

    EXPECT_EQ(amp->yAxis->scaleType(), QCPAxis::stLogarithmic);
    EXPECT_EQ(amp->m_y_fixed, 1);
    EXPECT_DOUBLE_EQ(amp->yAxis->range().lower, c.amp_lo);
    EXPECT_DOUBLE_EQ(amp->yAxis->range().upper, c.amp_hi);
    EXPECT_EQ(ph->yAxis->scaleType(), QCPAxis::stLinear);
    EXPECT_EQ(ph->m_y_fixed, c.ph_fixed ? 1 : 0);
    if (c.ph_fixed) {
      EXPECT_DOUBLE_EQ(ph->yAxis->range().lower, -184.0);
      EXPECT_DOUBLE_EQ(ph->yAxis->range().upper, 184.0);
    } else {
      // Automatic: every point of every row inside the range.
      for (QCPGraph* g : view.graphs2())
        for (double v : valuesOf(g)) EXPECT_TRUE(ph->yAxis->range().contains(v)) << v;
    }
  }
}

TEST_F(SpaceView, LogarithmicRangeFollowsTheDataUnlessTheUserFixedOne) {
  load();
  CCustomPlot* amp = ui->wdtPlotAmp;
  ASSERT_EQ(amp->yAxis->scaleType(), QCPAxis::stLogarithmic);
  EXPECT_DOUBLE_EQ(amp->yAxis->range().lower, 100.0);
  EXPECT_DOUBLE_EQ(amp->yAxis->range().upper, 1000.0);
  // A range of the user's own survives a redraw.
  amp->m_y_min = 50.0;
  amp->m_y_max = 500.0;
  view.onUpdateResPlot();
  EXPECT_DOUBLE_EQ(amp->yAxis->range().lower, 50.0);
  EXPECT_DOUBLE_EQ(amp->yAxis->range().upper, 500.0);
  // Without data the quantity's default range is shown.
  CFormatSRS empty;
  view.setSrs(&empty);
  view.updateSelList();
  view.onUpdateResPlot();
  amp->m_y_min = 1.0;
  amp->m_y_max = 100000.0;
  view.onUpdateResPlot();
  EXPECT_DOUBLE_EQ(amp->yAxis->range().lower, 1.0);
  EXPECT_DOUBLE_EQ(amp->yAxis->range().upper, 100000.0);
}

TEST_F(SpaceView, TickCountFollowsTheAxisLength) {
  show();
  load();
  view.resize(1342, 778);
  QApplication::processEvents();
  const int wide = ui->wdtPlotAmp->xAxis->ticker()->tickCount();
  view.resize(500, 778);
  QApplication::processEvents();
  const int narrow = ui->wdtPlotAmp->xAxis->ticker()->tickCount();
  EXPECT_LT(narrow, wide);
  EXPECT_GE(narrow, 2);
}

TEST_F(SpaceView, EveryQuantityHasItsAxis) {
  CCustomPlot plot;
  struct Case {
    int quantity;
    const char* label;
    bool log;
    bool fixed;
    double lo, hi;
  };
  const Case cases[] = {
      {0, "电场幅值(mV)", true, true, 0.01, 1000},   {1, "电场相位(°)", false, true, -184, 184},
      {2, "视电阻率(Ω·m)", true, true, 1, 100000},  {3, "阻抗相位(°)", false, true, -184, 184},
      {4, "磁场幅值(mV)", true, true, 0.01, 1000},   {5, "磁场相位(°)", false, true, -184, 184},
      {6, "电流振幅(A)", true, true, 0.01, 1000},    {7, "电流相位(°)", false, true, -184, 184},
      {8, "相对相位(mrad)", false, false, 0, 0},     {9, "频散率(%)", false, false, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.quantity);
    CCustomPlot p;
    view.setYAxisForType(&p, c.quantity);
    EXPECT_EQ(p.yAxis->label(), QString::fromUtf8(c.label));
    EXPECT_EQ(p.yAxis->scaleType(), c.log ? QCPAxis::stLogarithmic : QCPAxis::stLinear);
    EXPECT_EQ(p.m_y_fixed, c.fixed ? 1 : 0);
    if (c.fixed) {
      EXPECT_DOUBLE_EQ(p.m_y_min, c.lo);
      EXPECT_DOUBLE_EQ(p.m_y_max, c.hi);
    }
  }
  // A linear quantity after a logarithmic one keeps the logarithmic scale.
  view.setYAxisForType(&plot, 2);
  view.setYAxisForType(&plot, 8);
  EXPECT_EQ(plot.yAxis->scaleType(), QCPAxis::stLogarithmic);
  // Not a quantity: nothing changes.
  const QString label = plot.yAxis->label();
  view.setYAxisForType(&plot, 10);
  view.setYAxisForType(&plot, -1);
  EXPECT_EQ(plot.yAxis->label(), label);
  EXPECT_EQ(plot.m_y_fixed, 0);
}

TEST_F(SpaceView, SingleOrComposedResult) {
  load(true);
  ASSERT_EQ(view.model()->rowCount(), 1);
  EXPECT_EQ(view.model()->data(view.model()->index(0, 2)).toFloat(), 2.0f);
  load(false);
  ASSERT_EQ(view.model()->rowCount(), 3);
  EXPECT_EQ(view.model()->data(view.model()->index(2, 2)).toFloat(), 5.0f);

  // Site numbers are 16-bit: -1 in the channel entry is site 65535.
  ChInfo info = srs.m_res_composed.GetChInfo(1);
  info.site_no = -1;
  srs.m_res_composed.SetChInfo(1, info);
  QVector<double> xs, ys, errs;
  view.fillSeries(0, RES_APP, xs, ys, errs);
  ASSERT_EQ(xs.size(), 4);
  EXPECT_DOUBLE_EQ(xs[1], double(kFirstPole + 65535.0f * kMn));

  // Rows outside the result give nothing; the vectors are emptied first.
  view.fillSeries(7, RES_APP, xs, ys, errs);
  EXPECT_TRUE(xs.isEmpty());
  EXPECT_TRUE(ys.isEmpty());
  EXPECT_TRUE(errs.isEmpty());
}

TEST_F(SpaceView, SelectionModelPassesTheTester) {
  ModelWarnings warnings;
  QAbstractItemModelTester tester(view.model(), QAbstractItemModelTester::FailureReportingMode::Warning);
  show();
  load();
  clickHeader(0);
  clickHeader(0);
  load(true);
  view.model()->setData(view.model()->index(0, 3), QColor(Qt::blue), Qt::EditRole);
  view.model()->setData(view.model()->index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
  view.setSrs(nullptr);
  view.updateSelList();
  EXPECT_EQ(view.model()->rowCount(), 0);
  EXPECT_TRUE(g_model_warnings.isEmpty()) << g_model_warnings.join("\n").toStdString();
}

TEST(ResultPlotsEnglish, TextsAreTranslated) {
  QTranslator translator;
  ASSERT_TRUE(installTranslation(*qApp, translator, "en_US"));
  {
    CWdtResPlotSpaceSip view;
    view.initPlots();
    Ui::CWdtResPlot* ui = view.form();
    EXPECT_EQ(ui->label_7->text(), "Data type");
    EXPECT_EQ(ui->chkShowErrBar->text(), "Error bar");
    EXPECT_EQ(ui->chkLine->text(), "connector");
    EXPECT_EQ(ui->cmbDataType->itemText(0), "Apparent resistivity + relative phase");
    EXPECT_EQ(ui->cmbDataType->itemText(1), "Apparent resistivity + dispersion ratio");
    EXPECT_EQ(ui->cmbDataType->itemText(2), "Electric field amplitude + electric field phase");
    EXPECT_EQ(ui->wdtPlotAmp->xAxis->label(), "M(m)");
    EXPECT_EQ(ui->wdtPlotAmp->yAxis->label(), QString::fromUtf8("App(Ω·m)"));
    EXPECT_EQ(ui->wdtPlotPh->yAxis->label(), "CP(mrad)");
    ui->cmbDataType->setCurrentIndex(2);
    EXPECT_EQ(ui->wdtPlotAmp->yAxis->label(), "Electric field amplitude(mV)");
    EXPECT_EQ(ui->wdtPlotPh->yAxis->label(), QString::fromUtf8("Electric field phase(°)"));
    const QAbstractItemModel* m = view.model();
    EXPECT_EQ(m->headerData(1, Qt::Horizontal).toString(), "Frequency point-harmonic");
    EXPECT_EQ(m->headerData(2, Qt::Horizontal).toString(), "Frequency(Hz)");
    EXPECT_EQ(m->headerData(3, Qt::Horizontal).toString(), "Color");
  }
  QApplication::removeTranslator(&translator);
}

TEST(ModelPlotSelFreq, RowsLabelsAndDefaultColours) {
  struct Case {
    int freq_num, harm_num;
    QStringList labels;
    QVector<int> hues;
  };
  QStringList labels16;
  QVector<int> hues16;
  for (int h = 0; h < 16; ++h) {
    labels16 << QString("1-%1").arg(h + 1);
    hues16 << h * 16;
  }
  const Case cases[] = {
      {1, 16, labels16, hues16},
      {1, 1, {"1-1"}, {0}},
      {2, 2, {"1-1", "1-2", "2-1", "2-2"}, {0, 80, 160, 240}},
      {3, 1, {"1-1", "2-1", "3-1"}, {0, 120, 240}},
      {0, 5, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.freq_num << "x" << c.harm_num);
    ModelPlotSelFreq model;
    QVector<float> freqs;
    for (int g = 0; g < c.freq_num * c.harm_num; ++g) freqs << 0.5f * (g + 1);
    model.setFreqs(c.freq_num, c.harm_num, freqs);
    ASSERT_EQ(model.rowCount(), c.labels.size());
    EXPECT_EQ(model.columnCount(), 4);
    for (int r = 0; r < model.rowCount(); ++r) {
      EXPECT_EQ(model.data(model.index(r, 1)).toString(), c.labels[r]);
      EXPECT_EQ(model.data(model.index(r, 1), Qt::EditRole).toString(), c.labels[r]);
      EXPECT_EQ(model.data(model.index(r, 2)).toFloat(), 0.5f * (r + 1));
      EXPECT_EQ(model.data(model.index(r, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
      const QColor col = model.data(model.index(r, 3), Qt::DecorationRole).value<QColor>();
      EXPECT_EQ(col, model.color(r));
      EXPECT_EQ(col.hslHue(), c.hues[r]);
      EXPECT_EQ(col.hslSaturation(), 255);
      EXPECT_EQ(col.lightness(), 120);
      EXPECT_EQ(col.alpha(), 255);
      const QPair<int, int> fh = model.rowToFreqHarm(r);
      EXPECT_EQ(fh.first * c.harm_num + fh.second, r);
    }
  }
}

TEST(ModelPlotSelFreq, RolesHeadersAndFlags) {
  ModelPlotSelFreq model;
  model.setFreqs(1, 2, {1.0f, 3.0f});
  const QModelIndex check = model.index(0, 0), colour = model.index(0, 3);

  EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QString(""));
  EXPECT_TRUE(model.headerData(0, Qt::Horizontal).isValid());
  EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QString::fromUtf8("频点-谐波"));
  EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), QString::fromUtf8("频率(Hz)"));
  EXPECT_EQ(model.headerData(3, Qt::Horizontal).toString(), QString::fromUtf8("颜色"));
  EXPECT_FALSE(model.headerData(4, Qt::Horizontal).isValid());
  EXPECT_FALSE(model.headerData(1, Qt::Vertical).isValid());
  EXPECT_FALSE(model.headerData(1, Qt::Horizontal, Qt::ToolTipRole).isValid());

  EXPECT_TRUE(model.flags(check) & Qt::ItemIsUserCheckable);
  EXPECT_FALSE(model.flags(check) & Qt::ItemIsEditable);
  EXPECT_TRUE(model.flags(colour) & Qt::ItemIsEditable);
  EXPECT_FALSE(model.flags(model.index(0, 1)) & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable));
  EXPECT_TRUE(model.flags(model.index(0, 2)) & Qt::ItemIsEnabled);

  EXPECT_FALSE(model.data(model.index(0, 0)).isValid());
  EXPECT_FALSE(model.data(model.index(0, 3)).isValid());
  EXPECT_FALSE(model.data(model.index(0, 1), Qt::CheckStateRole).isValid());
  EXPECT_FALSE(model.data(QModelIndex()).isValid());

  int colour_signals = 0, check_signals = 0, std_signals = 0;
  QObject::connect(&model, &ModelPlotSel::dataChanged, [&] { ++colour_signals; });
  QObject::connect(&model, &ModelPlotSel::checkChanged, [&] { ++check_signals; });
  QObject::connect(&model, &QAbstractItemModel::dataChanged, [&] { ++std_signals; });

  EXPECT_TRUE(model.setData(colour, QColor(1, 2, 3)));
  EXPECT_EQ(model.color(0), QColor(1, 2, 3));
  EXPECT_TRUE(model.setData(colour, QString("#ff8000")));
  EXPECT_EQ(model.color(0), QColor(255, 128, 0));
  EXPECT_EQ(colour_signals, 2);

  EXPECT_TRUE(model.setData(check, int(Qt::Unchecked), Qt::CheckStateRole));
  EXPECT_FALSE(model.isChecked(0));
  EXPECT_TRUE(model.isChecked(1));
  EXPECT_TRUE(model.setData(check, int(Qt::Checked), Qt::CheckStateRole));
  EXPECT_TRUE(model.isChecked(0));
  // Partially checked is not checked.
  EXPECT_TRUE(model.setData(check, int(Qt::PartiallyChecked), Qt::CheckStateRole));
  EXPECT_FALSE(model.isChecked(0));
  EXPECT_EQ(check_signals, 3);

  // Everything else is refused and changes nothing.
  EXPECT_FALSE(model.setData(model.index(0, 1), "x"));
  EXPECT_FALSE(model.setData(colour, int(Qt::Checked), Qt::CheckStateRole));
  EXPECT_FALSE(model.setData(check, QColor(Qt::red)));
  EXPECT_FALSE(model.setData(QModelIndex(), QColor(Qt::red)));
  EXPECT_EQ(colour_signals, 2);
  EXPECT_EQ(check_signals, 3);
  EXPECT_EQ(std_signals, 0);

  model.setAllChecked(true);
  EXPECT_TRUE(model.isChecked(0) && model.isChecked(1));
  model.setAllChecked(false);
  EXPECT_FALSE(model.isChecked(0) || model.isChecked(1));
  EXPECT_FALSE(model.isChecked(2));
  EXPECT_FALSE(model.color(2).isValid());
}

TEST(ModelPlotSelFreq, ShortOrBadInputGivesSafeRows) {
  ModelPlotSelFreq model;
  model.setFreqs(2, 2, {7.0f});
  ASSERT_EQ(model.rowCount(), 4);
  EXPECT_EQ(model.data(model.index(0, 2)).toFloat(), 7.0f);
  EXPECT_EQ(model.data(model.index(3, 2)).toFloat(), 0.0f);
  model.setFreqs(-1, 3, {});
  EXPECT_EQ(model.rowCount(), 0);
  model.setFreqs(2, 0, {});
  EXPECT_EQ(model.rowCount(), 0);
  EXPECT_EQ(model.rowToFreqHarm(0), qMakePair(-1, -1));
}

TEST(ResPlotSort, BubbleSortByXKeepsPairsAndTies) {
  struct Case {
    const char* what;
    QVector<double> xs, ys, want_xs, want_ys;
  };
  const Case cases[] = {
      {"reversed", {3, 2, 1}, {30, 20, 10}, {1, 2, 3}, {10, 20, 30}},
      {"sorted", {1, 2, 3}, {10, 20, 30}, {1, 2, 3}, {10, 20, 30}},
      {"ties keep their order", {2, 1, 2, 1}, {1, 2, 3, 4}, {1, 1, 2, 2}, {2, 4, 1, 3}},
      {"one", {5}, {50}, {5}, {50}},
      {"none", {}, {}, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QVector<double> xs = c.xs, ys = c.ys, errs;
    for (double y : c.ys) errs << -y;
    CWdtResPlot::sortByX(xs, ys, errs);
    EXPECT_EQ(xs, c.want_xs);
    EXPECT_EQ(ys, c.want_ys);
    for (int i = 0; i < ys.size(); ++i) EXPECT_EQ(errs[i], -ys[i]);
  }
  // Shorter companions are sorted as far as they go, never overrun.
  QVector<double> xs = {3, 1, 2}, ys = {30}, errs;
  CWdtResPlot::sortByX(xs, ys, errs);
  EXPECT_EQ(xs, QVector<double>({1, 2, 3}));
}
