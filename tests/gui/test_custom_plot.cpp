#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTranslator>

#include <cmath>
#include <limits>

#include "gui/main/app_init.h"
#include "scripted_prompts.h"
#include "gui/toolkit/custom_plot.h"
#include "gui/toolkit/dlg_plot_range.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

QVector<double> keysOf(QCPGraph* g) {
  QVector<double> out;
  for (auto it = g->data()->constBegin(); it != g->data()->constEnd(); ++it) out << it->key;
  return out;
}

QVector<double> valuesOf(QCPGraph* g) {
  QVector<double> out;
  for (auto it = g->data()->constBegin(); it != g->data()->constEnd(); ++it) out << it->value;
  return out;
}

void expectRange(const QCPRange& r, double lo, double hi) {
  const double tol = 1e-9 * std::max(1.0, std::abs(hi - lo));
  EXPECT_NEAR(r.lower, lo, tol);
  EXPECT_NEAR(r.upper, hi, tol);
}

// A shown plot of fixed size, so that pixels and plot coordinates convert.
class PlotFixture : public ::testing::Test {
protected:
  void SetUp() override {
    plot.resize(600, 400);
    plot.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&plot));
    plot.xAxis->setRange(0, 10);
    plot.yAxis->setRange(0, 10);
    plot.replot();
  }
  void TearDown() override { plot.m_menu->hide(); }

  QPoint px(double x, double y) const {
    return QPoint(qRound(plot.xAxis->coordToPixel(x)), qRound(plot.yAxis->coordToPixel(y)));
  }
  void mouse(QEvent::Type type, Qt::MouseButton button, const QPoint& pos) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent ev(type, pos, plot.mapToGlobal(pos), type == QEvent::MouseMove ? Qt::NoButton : button, held,
                   Qt::NoModifier);
    QApplication::sendEvent(&plot, &ev);
  }
  void rightDrag(const QPoint& from, const QPoint& to) {
    mouse(QEvent::MouseButtonPress, Qt::RightButton, from);
    mouse(QEvent::MouseMove, Qt::RightButton, to);
    mouse(QEvent::MouseButtonRelease, Qt::RightButton, to);
  }

  ScopedPrompts prompts;
  CCustomPlot plot;
};

}  // namespace

TEST(CustomPlot, Defaults) {
  CCustomPlot plot;
  EXPECT_EQ(int(plot.interactions()), 0x2b);
  EXPECT_EQ(plot.yAxis->label(), QString::fromUtf8("y轴"));
  EXPECT_FALSE(plot.legend->visible());
  EXPECT_EQ(plot.legend->font().pointSize(), 8);
  EXPECT_EQ(plot.legend->selectedFont().pointSize(), 8);
  EXPECT_EQ(int(plot.legend->selectableParts()), int(QCPLegend::spItems));
  EXPECT_EQ(int(plot.m_cursor_text->positionAlignment()), 0x41);
  EXPECT_FALSE(plot.m_tracer->visible());
  EXPECT_FALSE(plot.m_zoom_rect->visible());
  EXPECT_FALSE(plot.m_zoom_out->visible());
  EXPECT_EQ(plot.m_title, nullptr);

  const QList<QAction*> acts = plot.m_menu->actions();
  ASSERT_EQ(acts.size(), 4);
  EXPECT_EQ(acts[0]->text(), QString::fromUtf8("范围设置"));
  EXPECT_TRUE(acts[1]->isSeparator());
  EXPECT_EQ(acts[2], plot.m_act_x_log);
  EXPECT_EQ(acts[2]->text(), QString::fromUtf8("X轴对数"));
  EXPECT_TRUE(acts[2]->isCheckable());
  EXPECT_EQ(acts[3], plot.m_act_y_log);
  EXPECT_EQ(acts[3]->text(), QString::fromUtf8("Y轴对数"));
  EXPECT_TRUE(acts[3]->isCheckable());
}

TEST(CustomPlot, AddGraphStopsAtTheFirstInvalidValue) {
  struct Case {
    const char* what;
    QVector<double> keys, values;
    int kept;
    int reported;  // 1-based position in the message, 0: no message
  };
  const Case cases[] = {
      {"NaN value at the third point", {1, 2, 3, 4}, {10, 20, kNaN, 40}, 2, 3},
      {"NaN key", {1, kNaN, 3}, {10, 20, 30}, 1, 2},
      {"infinite value first", {1, 2}, {-kInf, 20}, 0, 1},
      {"float maximum is out", {1, 2, 3}, {1, 2, 3.4028235e38}, 2, 3},
      {"just below float maximum is in", {1, 2}, {1, -3.4e38}, 2, 0},
      {"longer values than keys", {1, 2}, {1, 2, kNaN}, 2, 0},
      {"empty", {}, {}, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScopedPrompts prompts;
    CCustomPlot plot;
    QCPGraph* g = plot.AddGraph(c.keys, c.values, "ch1", QPen(Qt::blue));
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->dataCount(), c.kept);
    EXPECT_EQ(g->name(), "ch1");
    if (c.reported == 0) {
      EXPECT_TRUE(prompts->messages.isEmpty());
      continue;
    }
    ASSERT_EQ(prompts->messages.size(), 1);
    EXPECT_EQ(prompts->messages[0].kind, "critical");
    EXPECT_EQ(prompts->messages[0].title, QString::fromUtf8("绘图错误"));
    EXPECT_EQ(prompts->messages[0].text, QString::fromUtf8("“ch1”中第%1个值为NAN！").arg(c.reported));
  }
}

TEST(CustomPlot, AddGraphKeepsTheTwoValidPointsBeforeANaN) {
  ScopedPrompts prompts;
  CCustomPlot plot;
  QCPGraph* g = plot.AddGraph({1, 2, 3, 4}, {10, 20, kNaN, 40}, "ch1", QPen(Qt::blue));
  EXPECT_EQ(keysOf(g), QVector<double>({1, 2}));
  EXPECT_EQ(valuesOf(g), QVector<double>({10, 20}));
}

TEST(CustomPlot, AddGraphMessageIsTranslated) {
  ScopedPrompts prompts;
  QTranslator translator;
  ASSERT_TRUE(installTranslation(*qApp, translator, "en_US"));
  {
    CCustomPlot plot;
    plot.AddGraph({1, 2, 3}, {1, 2, kNaN}, "A%2", QPen());
    EXPECT_EQ(plot.m_menu->actions().at(0)->text(), "Range Set");
  }
  QApplication::removeTranslator(&translator);
  ASSERT_EQ(prompts->messages.size(), 1);
  EXPECT_EQ(prompts->messages[0].title, "Plot Error");
  // A name containing a place marker must not swallow the position.
  EXPECT_EQ(prompts->messages[0].text, "The 3th value in \"A%2\" is NAN!");
}

TEST(CustomPlot, AddGraphWithLogXStartsAtTheFirstPositiveKey) {
  ScopedPrompts prompts;
  CCustomPlot plot;
  plot.SetXLog(true);
  QCPGraph* g = plot.AddGraph({-1, 0, 2, -3, 4}, {1, 2, 3, 4, 5}, "f", QPen());
  EXPECT_EQ(keysOf(g), QVector<double>({-3, 2, 4}));
  EXPECT_TRUE(prompts->messages.isEmpty());

  QCPGraph* h = plot.AddGraph({0, 1, kNaN}, {1, 2, 3}, "g", QPen());
  EXPECT_EQ(h->dataCount(), 1);
  ASSERT_EQ(prompts->messages.size(), 1);
  EXPECT_EQ(prompts->messages[0].text, QString::fromUtf8("“g”中第3个值为NAN！"));
}

TEST(CustomPlot, AddGraphStyleAndSelection) {
  ScopedPrompts prompts;
  CCustomPlot plot;
  plot.m_selected = true;
  QCPGraph* g = plot.AddGraph({1, 2}, {3, 4}, "n", QPen(QColor(1, 2, 3), 3), false,
                              QCPScatterStyle(QCPScatterStyle::ssDisc, 6));
  EXPECT_FALSE(plot.m_selected);
  EXPECT_EQ(g->pen().color(), QColor(1, 2, 3));
  EXPECT_EQ(g->lineStyle(), QCPGraph::lsNone);
  EXPECT_EQ(g->scatterStyle().shape(), QCPScatterStyle::ssDisc);
  EXPECT_EQ(g->selectionDecorator()->pen().color(), QColor(255, 0, 0));
  EXPECT_EQ(g->selectionDecorator()->pen().width(), 2);
  EXPECT_EQ(plot.ErrorBarsOf(g), nullptr);

  QCPGraph* e = plot.AddGraph("empty", QPen(Qt::red));
  EXPECT_EQ(e->dataCount(), 0);
  EXPECT_EQ(e->lineStyle(), QCPGraph::lsLine);
  EXPECT_EQ(plot.graphCount(), 2);
}

TEST(CustomPlot, ErrorBarsFollowTheirPointsAndTheirGraph) {
  ScopedPrompts prompts;
  CCustomPlot plot;
  const QVector<double> errs = {0.3, 0.1, 0.2};
  QCPGraph* g = plot.AddGraph({3, 1, 2, 4}, {30, 10, 20, 40}, "", QPen(Qt::red), true, QCPScatterStyle(), &errs);
  EXPECT_EQ(keysOf(g), QVector<double>({1, 2, 3, 4}));
  EXPECT_EQ(valuesOf(g), QVector<double>({10, 20, 30, 40}));
  QCPErrorBars* bars = plot.ErrorBarsOf(g);
  ASSERT_NE(bars, nullptr);
  ASSERT_EQ(bars->data()->size(), 4);
  EXPECT_DOUBLE_EQ(bars->data()->at(0).errorMinus, 0.1);
  EXPECT_DOUBLE_EQ(bars->data()->at(1).errorPlus, 0.2);
  EXPECT_DOUBLE_EQ(bars->data()->at(2).errorMinus, 0.3);
  // The fourth point has no error: no bar, and no influence on the range.
  EXPECT_TRUE(std::isnan(bars->data()->at(3).errorPlus));
  plot.Rescale(1.0);
  expectRange(plot.yAxis->range(), 9.9, 40);
  EXPECT_EQ(plot.legend->itemCount(), 1);

  plot.removeGraph(g);
  EXPECT_EQ(plot.plottableCount(), 0);

  plot.AddGraph({1}, {1}, "", QPen(), true, QCPScatterStyle(), &errs);
  plot.AddGraph({1}, {1}, "", QPen(), true, QCPScatterStyle(), &errs);
  plot.clearGraphs();
  EXPECT_EQ(plot.plottableCount(), 0);
}

TEST(CustomPlot, RescaleKeepsAFixedXRange) {
  ScopedPrompts prompts;
  CCustomPlot plot;
  plot.AddGraph({1, 2, 3, 4, 5}, {10, 12, 20, 15, 11}, "", QPen());
  plot.m_x_fixed = 1;
  plot.m_x_min = 0;
  plot.m_x_max = 100;
  plot.Rescale(1.05);
  expectRange(plot.xAxis->range(), 0, 100);
  expectRange(plot.yAxis->range(), 15 - 5 * 1.05, 15 + 5 * 1.05);
  plot.Rescale(1.05);
  expectRange(plot.xAxis->range(), 0, 100);

  plot.m_x_fixed = 0;
  plot.m_y_fixed = 1;
  plot.m_y_min = -1;
  plot.m_y_max = 1;
  plot.Rescale(1.05);
  expectRange(plot.xAxis->range(), 3 - 2 * 1.05, 3 + 2 * 1.05);
  expectRange(plot.yAxis->range(), -1, 1);
}

TEST(CustomPlot, RescaleWithoutGraphsLeavesFixedRangesAlone) {
  CCustomPlot plot;
  plot.xAxis->setRange(3, 4);
  plot.m_x_fixed = 1;
  plot.m_x_min = 0;
  plot.m_x_max = 100;
  plot.Rescale(1.05);
  expectRange(plot.xAxis->range(), 3, 4);
}

TEST(CustomPlot, RescaleGivesLogarithmicAxesAGeometricMargin) {
  ScopedPrompts prompts;
  CCustomPlot plot;
  plot.SetXLog(true);
  plot.SetYMode(1, 0.0001, 0.1);
  plot.AddGraph({1, 10, 100}, {1000, 1, 10}, "", QPen());
  plot.Rescale(1.05);
  const double kx = std::pow(10.0, 2 * 0.05 / 2);
  const double ky = std::pow(10.0, 3 * 0.05 / 2);
  expectRange(plot.xAxis->range(), 1 / kx, 100 * kx);
  expectRange(plot.yAxis->range(), 1 / ky, 1000 * ky);
  EXPECT_EQ(plot.xAxis->scaleType(), QCPAxis::stLogarithmic);
  EXPECT_TRUE(plot.xAxis->ticker().dynamicCast<QCPAxisTickerLog>());
  EXPECT_TRUE(plot.yAxis->ticker().dynamicCast<QCPAxisTickerLog>());

  plot.SetXLog(false);
  plot.SetYMode(0, 0.0001, 0.1);
  EXPECT_EQ(plot.xAxis->scaleType(), QCPAxis::stLinear);
  EXPECT_FALSE(plot.xAxis->ticker().dynamicCast<QCPAxisTickerLog>());
  EXPECT_FALSE(plot.yAxis->ticker().dynamicCast<QCPAxisTickerLog>());
}

TEST(CustomPlot, LogMargin) {
  struct Case {
    double lo, hi, margin;
    bool ok;
    double want_lo, want_hi;
  };
  const double k = std::pow(10.0, 0.025);
  const Case cases[] = {
      {1, 10, 1.05, true, 1 / k, 10 * k},
      {0.01, 1000, 1.05, true, 0.01 / std::pow(10.0, 0.125), 1000 * std::pow(10.0, 0.125)},
      {-10, -1, 1.05, true, -10 * k, -1 / k},
      {2, 2, 1.05, false, 2, 2},
      {-1, 10, 1.05, false, -1, 10},
      {0, 10, 1.05, false, 0, 10},
      {1, kInf, 1.05, false, 1, kInf},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.lo << " .. " << c.hi);
    double lo = c.lo, hi = c.hi;
    EXPECT_EQ(CCustomPlot::LogMargin(lo, hi, c.margin), c.ok);
    EXPECT_DOUBLE_EQ(lo, c.want_lo);
    EXPECT_DOUBLE_EQ(hi, c.want_hi);
  }
}

TEST(CustomPlot, SymmetricLogarithmRoundTrip) {
  const double values[] = {0.0,     1e-4,     -1e-4,   1.2589254117941673e-4, -1.2589254117941673e-4,
                           5e-5,    -3,       1e-300,  -1e-300,               4.9e-324,
                           123.456, -98765.4, 1e30,    -3.4e38,               1e300,
                           -1e308};
  const double lins[] = {1e-4, 1.0, 1e-10, 1e-300};
  for (double lin : lins) {
    for (double v : values) {
      SCOPED_TRACE(testing::Message() << "v=" << v << " lin=" << lin);
      const double u = CCustomPlot::SymLog(v, lin);
      ASSERT_TRUE(std::isfinite(u));
      const double back = CCustomPlot::SymLogInv(u, lin);
      // Subnormal inputs carry fewer digits than the tolerance asks for.
      EXPECT_NEAR(back, v, std::abs(v) * 1e-12 + 1e-320);
      EXPECT_EQ(CCustomPlot::SymLog(-v, lin), -u);
      // A negative threshold is taken by its magnitude.
      EXPECT_EQ(CCustomPlot::SymLog(v, -lin), u);
    }
  }
  EXPECT_NEAR(CCustomPlot::SymLog(1e-3, 1e-4), 1.1, 1e-12);
  EXPECT_NEAR(CCustomPlot::SymLog(-1, 1e-4), -4.1, 1e-12);
  EXPECT_NEAR(CCustomPlot::SymLog(5e-5, 1e-4), 0.05, 1e-12);
  EXPECT_NEAR(CCustomPlot::SymLogInv(2.1, 1e-4), 1e-2, 1e-15);
  // Continuous and increasing across the linear threshold.
  double last = CCustomPlot::SymLog(-2e-4, 1e-4);
  for (double v = -2e-4 + 1e-6; v <= 2e-4; v += 1e-6) {
    const double u = CCustomPlot::SymLog(v, 1e-4);
    EXPECT_GT(u, last) << v;
    EXPECT_LT(u - last, 0.01) << v;
    last = u;
  }
}

TEST(CustomPlot, SymmetricLogarithmModeConvertsGraphsAndRange) {
  ScopedPrompts prompts;
  CCustomPlot plot;
  const QVector<double> errs = {1, 0.5, 0.001, 10};
  QCPGraph* g = plot.AddGraph({1, 2, 3, 4}, {-100, 0, 0.001, 100}, "", QPen(), true, QCPScatterStyle(), &errs);
  plot.yAxis->setRange(-100, 100);

  plot.SetYMode(2, -1e-3, -0.5);
  EXPECT_EQ(plot.m_y_mode, 2);
  EXPECT_DOUBLE_EQ(plot.m_sym_lin, 1e-3);
  EXPECT_DOUBLE_EQ(plot.m_sym_b, 0.5);
  EXPECT_EQ(plot.yAxis->scaleType(), QCPAxis::stLinear);
  const QVector<double> u = valuesOf(g);
  ASSERT_EQ(u.size(), 4);
  EXPECT_DOUBLE_EQ(u[0], CCustomPlot::SymLog(-100, 1e-3));
  EXPECT_DOUBLE_EQ(u[1], 0.0);
  EXPECT_DOUBLE_EQ(u[3], CCustomPlot::SymLog(100, 1e-3));
  expectRange(plot.yAxis->range(), CCustomPlot::SymLog(-100, 1e-3), CCustomPlot::SymLog(100, 1e-3));
  const QCPErrorBarsData e3 = plot.ErrorBarsOf(g)->data()->at(3);
  EXPECT_NEAR(e3.errorPlus, CCustomPlot::SymLog(110, 1e-3) - u[3], 1e-12);
  EXPECT_NEAR(e3.errorMinus, u[3] - CCustomPlot::SymLog(90, 1e-3), 1e-12);

  // New points are transformed as they are added.
  QCPGraph* h = plot.AddGraph({1}, {100}, "", QPen());
  EXPECT_DOUBLE_EQ(valuesOf(h)[0], u[3]);

  // A zero threshold cannot be used: the last one stays.
  plot.SetYMode(2, 0.0, 0.1);
  EXPECT_DOUBLE_EQ(plot.m_sym_lin, 1e-3);
  EXPECT_NEAR(valuesOf(g)[3], u[3], 1e-12);

  plot.SetYMode(0, 1e-4, 0.1);
  const QVector<double> back = valuesOf(g);
  const double want[] = {-100, 0, 0.001, 100};
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(back[i], want[i], 1e-12 * std::abs(want[i]));
  expectRange(plot.yAxis->range(), -100, 100);
  const QCPErrorBarsData e0 = plot.ErrorBarsOf(g)->data()->at(0);
  EXPECT_NEAR(e0.errorPlus, 1, 1e-9);
  EXPECT_NEAR(e0.errorMinus, 1, 1e-9);

  // Linear and logarithmic only switch the scale.
  plot.yAxis->setRange(1, 1000);
  plot.SetYMode(1, 1e-4, 0.1);
  EXPECT_EQ(plot.yAxis->scaleType(), QCPAxis::stLogarithmic);
  expectRange(plot.yAxis->range(), 1, 1000);
  EXPECT_NEAR(valuesOf(g)[3], 100, 1e-10);
}

TEST(CustomPlot, StatText) {
  EXPECT_EQ(CCustomPlot::StatText({1, 2, 3, 4}), "R:2.80E-01  A:2.50E+00");
  EXPECT_EQ(CCustomPlot::StatText({5}), "R:0.00E+00  A:5.00E+00");
  const QString empty = CCustomPlot::StatText({});
  EXPECT_TRUE(empty.startsWith("R:0.00E+00  A:")) << empty.toStdString();
  EXPECT_TRUE(empty.endsWith("nan", Qt::CaseInsensitive)) << empty.toStdString();
}

TEST(CustomPlot, SeriesColours) {
  struct Case {
    int index, group, hue;
  };
  const Case cases[] = {{0, 0, 0}, {1, 0, 60}, {5, 0, 300}, {1, 2, 72}, {5, 10, 0},
                        {6, 3, 18}, {-1, 0, 0}, {2, -1, 114}, {0, -70, 300}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.index << "/" << c.group);
    const QColor col = CCustomPlot::SeriesColor(c.index, c.group, 128);
    EXPECT_EQ(col.hslHue(), c.hue);
    EXPECT_EQ(col.hslSaturation(), 255);
    EXPECT_EQ(col.lightness(), 120);
    EXPECT_EQ(col.alpha(), 128);
    EXPECT_EQ(CCustomPlot::SeriesPen(c.index, c.group, 128).color(), col);
  }
  EXPECT_EQ(CCustomPlot::HueColor(400).hslHue(), 40);
  EXPECT_EQ(CCustomPlot::HueColor(-30).hslHue(), 330);
  EXPECT_EQ(CCustomPlot::HueColor(240).alpha(), 255);
}

TEST(CustomPlot, TitleRowIsCreatedOnce) {
  CCustomPlot plot;
  const int rows = plot.plotLayout()->rowCount();
  plot.SetTitle("first");
  plot.SetTitle("second");
  EXPECT_EQ(plot.plotLayout()->rowCount(), rows + 1);
  ASSERT_NE(plot.m_title, nullptr);
  EXPECT_EQ(plot.m_title->text(), "second");
  EXPECT_EQ(plot.plotLayout()->element(0, 0), plot.m_title);
}

TEST(CustomPlot, SelectionNameStopsAtTheSeparator) {
  ScopedPrompts prompts;
  CCustomPlot plot;
  plot.AddGraph({1}, {1}, "a", QPen());
  QCPGraph* g = plot.AddGraph({1, 2}, {1, 2}, QString("CH2") + QChar(13) + "extra", QPen());
  plot.SelectionChangedByUser();
  EXPECT_FALSE(plot.m_selected);
  g->setSelection(QCPDataSelection(g->data()->dataRange()));
  plot.SelectionChangedByUser();
  EXPECT_TRUE(plot.m_selected);
  EXPECT_EQ(plot.m_selected_name, "CH2");
}

TEST_F(PlotFixture, RangeDialogOkAppliesTheRanges) {
  plot.AddGraph({1, 2, 3}, {5, 6, 7}, "", QPen());
  CDlgPlotRange dlg(&plot);
  plot.InitRangeDialog(dlg);
  dlg.show();
  EXPECT_EQ(dlg.m_edt_x_min->text(), "0");
  EXPECT_EQ(dlg.m_edt_x_max->text(), "10");
  EXPECT_TRUE(dlg.m_rd_x_auto->isChecked());
  EXPECT_FALSE(dlg.m_edt_def_x_min->isEnabled());

  QTest::mouseClick(dlg.m_rd_x_custom, Qt::LeftButton);
  EXPECT_TRUE(dlg.m_edt_def_x_min->isEnabled());
  dlg.m_edt_def_x_min->setText("0");
  dlg.m_edt_def_x_max->setText("100");
  dlg.m_edt_x_min->setText("2");
  dlg.m_edt_x_max->setText("4.5");
  dlg.m_edt_y_min->setText("abc");
  dlg.m_edt_y_max->setText("8");
  QTest::mouseClick(dlg.m_btn_ok, Qt::LeftButton);
  ASSERT_EQ(dlg.result(), QDialog::Accepted);
  plot.ApplyRangeDialog(dlg);

  expectRange(plot.xAxis->range(), 2, 4.5);
  expectRange(plot.yAxis->range(), 0, 8);
  EXPECT_EQ(plot.m_x_fixed, 1);
  EXPECT_EQ(plot.m_x_min, 0);
  EXPECT_EQ(plot.m_x_max, 100);
  EXPECT_EQ(plot.m_y_fixed, 0);

  plot.Rescale(1.05);
  expectRange(plot.xAxis->range(), 0, 100);
  plot.AddGraph({-5, 500}, {1, 2}, "", QPen());
  plot.Rescale(1.05);
  expectRange(plot.xAxis->range(), 0, 100);
}

TEST_F(PlotFixture, RangeDialogCancelChangesNothing) {
  plot.m_y_fixed = 1;
  plot.m_y_min = -3;
  plot.m_y_max = 3;
  CDlgPlotRange dlg(&plot);
  plot.InitRangeDialog(dlg);
  dlg.show();
  EXPECT_TRUE(dlg.m_rd_y_custom->isChecked());
  EXPECT_TRUE(dlg.m_edt_def_y_min->isEnabled());
  EXPECT_EQ(dlg.m_edt_def_y_min->text(), "-3");
  EXPECT_EQ(dlg.m_edt_def_y_max->text(), "3");

  QTest::mouseClick(dlg.m_rd_y_auto, Qt::LeftButton);
  QTest::mouseClick(dlg.m_rd_x_custom, Qt::LeftButton);
  dlg.m_edt_def_x_min->setText("7");
  dlg.m_edt_x_min->setText("5");
  QTest::mouseClick(dlg.m_btn_cancel, Qt::LeftButton);
  EXPECT_EQ(dlg.result(), QDialog::Rejected);
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(plot.m_x_fixed, 0);
  EXPECT_EQ(plot.m_x_min, 1.0);
  EXPECT_EQ(plot.m_y_fixed, 1);
  EXPECT_EQ(plot.m_y_min, -3);
  EXPECT_EQ(plot.m_y_max, 3);
  expectRange(plot.xAxis->range(), 0, 10);
}

TEST_F(PlotFixture, RightClickOpensTheMenuWithTheCurrentScales) {
  plot.SetXLog(true);
  plot.xAxis->setRange(1, 100);
  plot.replot();
  const QPoint p = px(10, 5);
  mouse(QEvent::MouseButtonPress, Qt::RightButton, p);
  mouse(QEvent::MouseButtonRelease, Qt::RightButton, p);
  EXPECT_TRUE(plot.m_menu->isVisible());
  EXPECT_TRUE(plot.m_act_x_log->isChecked());
  EXPECT_FALSE(plot.m_act_y_log->isChecked());
  plot.m_menu->hide();

  plot.SetXLog(false);
  plot.SetYMode(1, 1e-4, 0.1);
  plot.yAxis->setRange(1, 100);
  plot.replot();
  mouse(QEvent::MouseButtonPress, Qt::RightButton, p);
  mouse(QEvent::MouseButtonRelease, Qt::RightButton, p);
  EXPECT_TRUE(plot.m_menu->isVisible());
  EXPECT_FALSE(plot.m_act_x_log->isChecked());
  EXPECT_TRUE(plot.m_act_y_log->isChecked());
}

TEST_F(PlotFixture, LogMenuActionsSwitchTheScalesAndRescale) {
  plot.AddGraph({1, 10, 100}, {2, 20, 200}, "", QPen());
  plot.m_act_x_log->trigger();
  EXPECT_TRUE(plot.m_x_log);
  EXPECT_EQ(plot.xAxis->scaleType(), QCPAxis::stLogarithmic);
  const double k = std::pow(10.0, 0.05);
  expectRange(plot.xAxis->range(), 1 / k, 100 * k);

  plot.m_act_y_log->trigger();
  EXPECT_EQ(plot.m_y_mode, 1);
  EXPECT_EQ(plot.yAxis->scaleType(), QCPAxis::stLogarithmic);
  expectRange(plot.yAxis->range(), 2 / k, 200 * k);

  plot.m_act_y_log->trigger();
  EXPECT_EQ(plot.m_y_mode, 0);
  EXPECT_EQ(plot.yAxis->scaleType(), QCPAxis::stLinear);
}

TEST_F(PlotFixture, RightDragToTheLowerRightZoomsIn) {
  const QPoint from = px(2, 8);
  const QPoint to = px(6, 3);
  mouse(QEvent::MouseButtonPress, Qt::RightButton, from);
  mouse(QEvent::MouseMove, Qt::RightButton, to);
  EXPECT_TRUE(plot.m_zoom_rect->visible());
  EXPECT_FALSE(plot.m_zoom_out->visible());
  mouse(QEvent::MouseButtonRelease, Qt::RightButton, to);
  EXPECT_FALSE(plot.m_zoom_rect->visible());
  EXPECT_FALSE(plot.m_menu->isVisible());
  EXPECT_NEAR(plot.xAxis->range().lower, 2, 0.05);
  EXPECT_NEAR(plot.xAxis->range().upper, 6, 0.05);
  EXPECT_NEAR(plot.yAxis->range().lower, 3, 0.05);
  EXPECT_NEAR(plot.yAxis->range().upper, 8, 0.05);
}

TEST_F(PlotFixture, RightDragToTheUpperLeftShowsEverything) {
  plot.AddGraph({1, 3}, {2, 4}, "", QPen());
  plot.replot();
  const QPoint from = px(6, 3);
  const QPoint to = px(2, 8);
  mouse(QEvent::MouseButtonPress, Qt::RightButton, from);
  mouse(QEvent::MouseMove, Qt::RightButton, to);
  EXPECT_TRUE(plot.m_zoom_out->visible());
  EXPECT_FALSE(plot.m_zoom_rect->visible());
  mouse(QEvent::MouseButtonRelease, Qt::RightButton, to);
  EXPECT_FALSE(plot.m_zoom_out->visible());
  EXPECT_FALSE(plot.m_menu->isVisible());
  expectRange(plot.xAxis->range(), 2 - 1.05, 2 + 1.05);
  expectRange(plot.yAxis->range(), 3 - 1.05, 3 + 1.05);
}

TEST_F(PlotFixture, RightDragRespectsReversedAxes) {
  plot.xAxis->setRangeReversed(true);
  plot.replot();
  rightDrag(px(2, 8), px(6, 3));
  EXPECT_NEAR(plot.xAxis->range().lower, 2, 0.05);
  EXPECT_NEAR(plot.xAxis->range().upper, 6, 0.05);
}

TEST_F(PlotFixture, OtherDragsAndDragsFromOutsideDoNothing) {
  rightDrag(px(2, 3), px(6, 8));
  expectRange(plot.xAxis->range(), 0, 10);
  expectRange(plot.yAxis->range(), 0, 10);
  EXPECT_FALSE(plot.m_menu->isVisible());

  // The drag must start inside both ranges: here it starts left of the axis.
  rightDrag(px(-0.5, 8), px(6, 3));
  expectRange(plot.xAxis->range(), 0, 10);
  EXPECT_FALSE(plot.m_menu->isVisible());

  // A tiny movement is still a click.
  const QPoint p = px(5, 5);
  rightDrag(p, p + QPoint(1, 0));
  expectRange(plot.xAxis->range(), 0, 10);
  EXPECT_TRUE(plot.m_menu->isVisible());
}

TEST_F(PlotFixture, CursorReadOutFollowsTheSelectedGraph) {
  plot.AddGraph({1, 2, 3}, {4, 5, 6}, "a", QPen());
  QCPGraph* g = plot.AddGraph({1, 2, 3}, {7, 8, 9}, "b", QPen());
  plot.replot();
  EXPECT_FALSE(plot.m_tracer->visible());

  g->setSelection(QCPDataSelection(g->data()->dataRange()));
  plot.replot();
  EXPECT_EQ(plot.m_tracer->graph(), g);
  EXPECT_TRUE(plot.m_tracer->visible());
  EXPECT_TRUE(plot.m_cursor_text->visible());

  mouse(QEvent::MouseMove, Qt::NoButton, px(2.1, 1));
  EXPECT_EQ(plot.m_cursor_text->text(), "2  8");
  EXPECT_EQ(plot.m_cursor_text->position->coords(), QPointF(2, 8));

  plot.m_tracer_on = false;
  plot.replot();
  EXPECT_FALSE(plot.m_tracer->visible());
  EXPECT_FALSE(plot.m_cursor_text->visible());
}

TEST_F(PlotFixture, CursorReadOutShowsDataValuesUnderTheSymmetricLogarithm) {
  plot.SetYMode(2, 1e-4, 0.1);
  QCPGraph* g = plot.AddGraph({1, 2}, {-250, 0.5}, "a", QPen());
  g->setSelection(QCPDataSelection(g->data()->dataRange()));
  plot.replot();
  mouse(QEvent::MouseMove, Qt::NoButton, px(1, 1));
  EXPECT_EQ(plot.m_cursor_text->text(), "1  -250");
}

TEST_F(PlotFixture, OwnItemsSurviveClearingAllItems) {
  QCPGraph* g = plot.AddGraph({1, 2}, {1, 2}, "", QPen());
  g->setSelection(QCPDataSelection(g->data()->dataRange()));
  plot.clearItems();
  plot.clearGraphs();
  mouse(QEvent::MouseMove, Qt::NoButton, px(1, 1));
  plot.replot();
  EXPECT_EQ(plot.itemCount(), 4);
  ASSERT_TRUE(plot.m_tracer);
  EXPECT_FALSE(plot.m_tracer->visible());
  rightDrag(px(2, 8), px(6, 3));
  EXPECT_NEAR(plot.xAxis->range().upper, 6, 0.05);
}
