// The station map driven as a user would: the table with its check boxes,
// the GPS and design plots, their context-menu actions and the legend.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPolygonF>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <cmath>

#include "core/sip/stations.h"
#include "gui/main/wdt_main.h"
#include "gui/stations/item_gps_pos.h"
#include "gui/stations/model_st_pos.h"
#include "gui/stations/wdt_gps_pos.h"
#include "gui/toolkit/custom_plot.h"
#include "model_check.h"
#include "scripted_prompts.h"
#include "survey_fixture.h"
#include "ui_wdt_main.h"

namespace {

const double kR = 6371004.0;
const double kRad = 0.017453292519888888;
const double kLat = 30.5, kLon = 114.25;

// degrees of latitude / longitude for metres north / east at kLat
double dLat(double north) { return north / kR / kRad; }
double dLon(double east) { return east / (kR * kRad * std::cos(kLat * kRad)); }

struct Stations {
  QVector<CItem*> items;
  ~Stations() { qDeleteAll(items); }
  CItemGpsPos* add(const QString& name, double east, double north, double x = 0.0, double y = 0.0) {
    auto* it = new CItemGpsPos(name);
    it->m_lat = DegreesToGps(kLat + dLat(north));
    it->m_lon = DegreesToGps(kLon + dLon(east));
    it->m_alti = 100.0 + east / 100.0;
    it->m_x = x;
    it->m_y = y;
    items.append(it);
    return it;
  }
};

QStringList labelTexts(const CWdtGpsPos& w, int plot) {
  QStringList out;
  for (QCPItemText* t : w.m_vt_label[plot]) out << t->text();
  return out;
}

QPointF pointOf(QCPGraph* g) { return QPointF(g->data()->constBegin()->key, g->data()->constBegin()->value); }

void expectRange(const QCPRange& r, double centre, double half, double tol) {
  EXPECT_NEAR(r.center(), centre, tol);
  EXPECT_NEAR(r.size() / 2.0, half, tol);
}

void toggleRow(CWdtGpsPos& w, int row) {
  w.m_view->setCurrentIndex(w.m_model.index(row, 0));
  QTest::keyClick(w.m_view, Qt::Key_Space);
}

QAction* menuAction(CWdtGpsPos& w, int plot, const QString& text) {
  for (QAction* a : w.m_plot[plot]->m_menu->actions())
    if (a->text() == text) return a;
  return nullptr;
}

}  // namespace

TEST(StationMap, WideSpreadGivesWideRangeAndVerticalLabels) {
  ScopedPrompts prompts;
  Stations st;
  st.add("A", 0.0, 0.0);
  st.add("B", 1000.0, 100.0);
  CWdtGpsPos w;
  w.setStationItems(&st.items);
  w.refresh(true);

  CCustomPlot* gps = w.m_plot[0];
  ASSERT_EQ(gps->graphCount(), 2);
  const QPointF a = pointOf(gps->graph(0)), b = pointOf(gps->graph(1));
  EXPECT_NEAR(b.x() - a.x(), 1000.0, 1.0);
  EXPECT_NEAR(b.y() - a.y(), 100.0, 1.0);
  // The reference point lies one arc-second south-west of A.
  EXPECT_NEAR(a.y(), kR * kRad / 3600.0, 0.1);
  EXPECT_NEAR(a.x(), kR * kRad / 3600.0 * std::cos(kLat * kRad), 0.1);
  expectRange(gps->xAxis->range(), (a.x() + b.x()) / 2.0, (b.x() - a.x()) / 2.0 * 1.05, 1e-6);
  EXPECT_NEAR(gps->xAxis->range().size() / 2.0, 525.0, 1.0);
  expectRange(gps->yAxis->range(), (a.y() + b.y()) / 2.0, 105.0, 1e-6);

  EXPECT_TRUE(w.m_act_rotate[0]->isChecked());
  EXPECT_EQ(labelTexts(w, 0), QStringList({"A", "B"}));
  for (QCPItemText* t : w.m_vt_label[0]) {
    EXPECT_EQ(t->rotation(), -90.0);
    EXPECT_TRUE(t->visible());
    EXPECT_EQ(t->positionAlignment(), Qt::AlignHCenter | Qt::AlignBottom);
  }
  QCPGraph* g = gps->graph(0);
  EXPECT_EQ(g->lineStyle(), QCPGraph::lsNone);
  EXPECT_EQ(g->scatterStyle().shape(), QCPScatterStyle::ssTriangle);
  EXPECT_EQ(g->scatterStyle().size(), 6.0);
  EXPECT_EQ(g->pen().color(), QColor(0, 0, 255));
  EXPECT_TRUE(prompts->messages.isEmpty());
}

TEST(StationMap, SingleStationLiesOneArcSecondFromTheReferencePoint) {
  ScopedPrompts prompts;
  Stations st;
  st.add("ST01", 0.0, 0.0);
  CWdtGpsPos w;
  w.setStationItems(&st.items);
  w.refresh(true);
  EXPECT_NEAR(GpsToDegrees(w.m_origin.m_lat), kLat - 1.0 / 3600.0, 1e-9);
  EXPECT_NEAR(GpsToDegrees(w.m_origin.m_lon), kLon - 1.0 / 3600.0, 1e-9);
  ASSERT_EQ(w.m_plot[0]->graphCount(), 1);
  const QPointF p = pointOf(w.m_plot[0]->graph(0));
  EXPECT_NEAR(p.y(), 30.9, 0.1);
  EXPECT_NEAR(p.x(), 26.6, 0.1);
  expectRange(w.m_plot[0]->xAxis->range(), p.x(), 105.0, 1e-6);
  expectRange(w.m_plot[0]->yAxis->range(), p.y(), 105.0, 1e-6);
  EXPECT_FALSE(w.m_act_rotate[0]->isChecked());
  EXPECT_EQ(w.m_vt_label[0].at(0)->rotation(), 0.0);
}

TEST(StationMap, TableShowsNameLongitudeLatitudeElevationOnGrey) {
  ScopedPrompts prompts;
  Stations st;
  CItemGpsPos* a = st.add("A", 0.0, 0.0);
  st.add("B", 300.0, 20.0);
  CWdtGpsPos w;
  ModelCheck check(&w.m_model);
  w.setStationItems(&st.items);
  w.refresh(true);
  QAbstractItemModel* m = w.m_view->model();
  ASSERT_EQ(m, &w.m_model);
  ASSERT_EQ(m->rowCount(), 2);
  ASSERT_EQ(m->columnCount(), 4);
  EXPECT_FALSE(m->headerData(0, Qt::Horizontal).isValid());
  EXPECT_EQ(m->headerData(1, Qt::Horizontal).toString(), "经度°");
  EXPECT_EQ(m->headerData(2, Qt::Horizontal).toString(), "纬度°");
  EXPECT_EQ(m->headerData(3, Qt::Horizontal).toString(), "高程m");
  EXPECT_EQ(m->data(m->index(0, 0)).toString(), "A");
  EXPECT_EQ(m->data(m->index(0, 0), Qt::CheckStateRole).toInt(), Qt::Checked);
  EXPECT_FALSE(m->data(m->index(0, 1), Qt::CheckStateRole).isValid());
  EXPECT_DOUBLE_EQ(m->data(m->index(0, 1)).toDouble(), GpsToDegrees(a->m_lon));
  EXPECT_NEAR(m->data(m->index(0, 1)).toDouble(), kLon, 1e-9);
  EXPECT_NEAR(m->data(m->index(0, 2)).toDouble(), kLat, 1e-9);
  EXPECT_DOUBLE_EQ(m->data(m->index(1, 3)).toDouble(), 103.0);
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 4; ++c) {
      EXPECT_EQ(m->data(m->index(r, c), Qt::BackgroundRole).value<QColor>(), QColor(240, 240, 240));
      EXPECT_EQ(m->data(m->index(r, c), Qt::TextAlignmentRole).toInt(), 129);
      EXPECT_EQ(bool(m->flags(m->index(r, c)) & Qt::ItemIsUserCheckable), c == 0);
    }

  // The main window replaces its items and refreshes, on clear without
  // telling the map first.
  qDeleteAll(st.items);
  st.items.clear();
  w.refresh(true);
  EXPECT_EQ(m->rowCount(), 0);
  EXPECT_EQ(w.m_plot[0]->graphCount(), 0);
  EXPECT_EQ(w.m_plot[1]->graphCount(), 0);
  EXPECT_TRUE(ModelCheck::failures().isEmpty()) << ModelCheck::failures().join("\n").toStdString();
  EXPECT_TRUE(prompts->messages.isEmpty());
}

TEST(StationMap, UncheckingAStationRedrawsBothPlotsAroundTheRest) {
  ScopedPrompts prompts;
  Stations st;
  st.add("SW", 0.0, 0.0, 0.0, 0.0);
  st.add("N", 200.0, 400.0, 40.0, 0.0);
  st.add("E", 600.0, 300.0, 80.0, 0.0);
  CWdtGpsPos w;
  ModelCheck check(&w.m_model);
  w.resize(1100, 800);
  w.show();
  w.setStationItems(&st.items);
  w.refresh(true);
  QSignalSpy spy(&w.m_model, &CModelStPos::checkChanged);
  const double lat0 = w.m_origin.m_lat, lon0 = w.m_origin.m_lon;
  ASSERT_EQ(w.m_plot[0]->graphCount(), 3);
  ASSERT_EQ(w.m_plot[1]->graphCount(), 3);

  toggleRow(w, 0);
  EXPECT_FALSE(st.items[0]->m_checked);
  EXPECT_EQ(spy.count(), 1);
  EXPECT_EQ(w.m_model.data(w.m_model.index(0, 0), Qt::CheckStateRole).toInt(), Qt::Unchecked);
  EXPECT_EQ(labelTexts(w, 0), QStringList({"N", "E"}));
  EXPECT_EQ(labelTexts(w, 1), QStringList({"N", "E"}));
  EXPECT_GT(w.m_origin.m_lat, lat0);
  EXPECT_GT(w.m_origin.m_lon, lon0);
  // N is now the westmost, E the southmost station: both one arc-second off the axes.
  const QPointF n = pointOf(w.m_plot[0]->graph(0)), e = pointOf(w.m_plot[0]->graph(1));
  EXPECT_NEAR(n.x(), 26.6, 0.2);
  EXPECT_NEAR(e.y(), 30.9, 0.2);
  expectRange(w.m_plot[0]->xAxis->range(), (n.x() + e.x()) / 2.0, (e.x() - n.x()) / 2.0 * 1.05, 1e-6);
  // The design plot rescaled to the two remaining stations with its 5 %
  // margin and room for their names.
  EXPECT_NEAR(w.m_plot[1]->xAxis->range().center(), 60.0, 1e-6);
  EXPECT_GE(w.m_plot[1]->xAxis->range().size() / 2.0, 20.0 * 1.05);
  EXPECT_LT(w.m_plot[1]->xAxis->range().size() / 2.0, 30.0);

  toggleRow(w, 0);
  EXPECT_TRUE(st.items[0]->m_checked);
  EXPECT_EQ(labelTexts(w, 0), QStringList({"SW", "N", "E"}));
  EXPECT_DOUBLE_EQ(w.m_origin.m_lat, lat0);
  EXPECT_DOUBLE_EQ(w.m_origin.m_lon, lon0);

  // With no station checked nothing is drawn.
  for (int r = 0; r < 3; ++r) toggleRow(w, r);
  EXPECT_EQ(w.m_plot[0]->graphCount(), 0);
  EXPECT_EQ(w.m_plot[1]->graphCount(), 0);
  EXPECT_TRUE(ModelCheck::failures().isEmpty()) << ModelCheck::failures().join("\n").toStdString();
  EXPECT_TRUE(prompts->messages.isEmpty());
}

TEST(StationMap, CurrentStationStartsUncheckedAndIsNotDrawn) {
  ScopedPrompts prompts;
  QTemporaryDir tmp;
  const QString dir = generateSurvey(tmp, {"--seed", "4", "--files", "1", "--devices", "4", "--cals", "2"});
  CWdtMain w;
  w.importFiles({dir + "/L101_01.SRS"});
  w.onListClicked(w.form()->listOpenFiles->model()->index(0, 0));
  CWdtGpsPos* map = w.stationPage();
  ASSERT_EQ(map->m_model.rowCount(), 5);
  EXPECT_EQ(map->m_model.data(map->m_model.index(1, 0)).toString(), "CS01");
  EXPECT_EQ(map->m_model.data(map->m_model.index(1, 0), Qt::CheckStateRole).toInt(), Qt::Unchecked);
  EXPECT_EQ(labelTexts(*map, 0), QStringList({"ST01", "ST02", "ST03", "ST04"}));
  EXPECT_EQ(labelTexts(*map, 1), QStringList({"ST01", "ST02", "ST03", "ST04"}));
  // Not the free layout: only the stations on the design plot.
  EXPECT_EQ(map->m_plot[1]->graphCount(), 4);
  EXPECT_TRUE(prompts->messages.isEmpty());

  w.onBtnClearData();
  EXPECT_EQ(map->m_model.rowCount(), 0);
  EXPECT_EQ(map->m_plot[0]->graphCount(), 0);
}

TEST(StationMap, FreeLayoutJoinsElectrodesWithDashedLinesInChannelColours) {
  ScopedPrompts prompts;
  QTemporaryDir tmp;
  const QString dir =
      generateSurvey(tmp, {"--seed", "4", "--files", "1", "--devices", "2", "--cals", "2", "--layout", "free"});
  CWdtMain w;
  w.importFiles({dir + "/L101_01.SRS"});
  w.onListClicked(w.form()->listOpenFiles->model()->index(0, 0));
  CWdtGpsPos* map = w.stationPage();
  int checked = 0;
  for (CItem* it : w.stationItems()) checked += it->m_checked ? 1 : 0;
  ASSERT_GT(checked, 0);
  CCustomPlot* design = map->m_plot[1];
  // Per station: its point, then per channel M and N, each a star and a dashed line.
  ASSERT_EQ(design->graphCount(), checked * (1 + 6 * 4));
  int g = 0;
  for (CItem* base : w.stationItems()) {
    auto* item = static_cast<CItemGpsPos*>(base);
    if (!item->m_checked) continue;
    EXPECT_EQ(design->graph(g)->scatterStyle().shape(), QCPScatterStyle::ssTriangle);
    ++g;
    for (int k = 0; k < 6; ++k) {
      for (const char* pole : {item->m_vt_pole_label[size_t(k)].m_name, item->m_vt_pole_label[size_t(k)].n_name}) {
        const PrmPole e = FindPole(pole, item->m_vt_pole);
        QCPGraph* star = design->graph(g++);
        QCPGraph* line = design->graph(g++);
        EXPECT_EQ(star->scatterStyle().shape(), QCPScatterStyle::ssStar);
        EXPECT_EQ(star->pen().color(), QColor(255, 0, 0));
        EXPECT_EQ(pointOf(star), QPointF(double(e.x), double(e.y)));
        EXPECT_EQ(line->pen().style(), Qt::DashLine) << k;
        EXPECT_EQ(line->pen().color(), CWdtGpsPos::channelColor(k)) << k;
        EXPECT_EQ(line->lineStyle(), QCPGraph::lsLine);
        ASSERT_EQ(line->data()->size(), 2);
        QVector<QPointF> ends;
        for (auto it = line->data()->constBegin(); it != line->data()->constEnd(); ++it)
          ends << QPointF(it->key, it->value);
        EXPECT_TRUE(ends.contains(QPointF(item->m_x, item->m_y)));
        EXPECT_TRUE(ends.contains(QPointF(double(e.x), double(e.y))));
      }
    }
  }
  EXPECT_EQ(CWdtGpsPos::channelColor(0), QColor(252, 10, 87));
  EXPECT_EQ(CWdtGpsPos::channelColor(5), QColor(6, 255, 64));
  EXPECT_EQ(CWdtGpsPos::channelColor(6), QColor(0, 0, 0));
  EXPECT_TRUE(labelTexts(*map, 1).contains("P1"));
  EXPECT_TRUE(prompts->messages.isEmpty());
}

TEST(StationMap, ContextMenusHideAndRotateTheNamesOfTheirPlot) {
  ScopedPrompts prompts;
  Stations st;
  st.add("A", 0.0, 0.0, 0.0, 0.0);
  st.add("B", 50.0, 300.0, 10.0, 5.0);  // taller than wide: GPS names upright
  CWdtGpsPos w;
  w.setStationItems(&st.items);
  w.refresh(true);
  for (int p = 0; p < 2; ++p) {
    const QList<QAction*> acts = w.m_plot[p]->m_menu->actions();
    ASSERT_GE(acts.size(), 2);
    EXPECT_EQ(acts.at(acts.size() - 2)->text(), "隐藏点号");
    EXPECT_EQ(acts.last()->text(), "旋转点号");
    EXPECT_TRUE(acts.last()->isCheckable());
    EXPECT_TRUE(acts.last()->shortcut().isEmpty());
  }
  EXPECT_FALSE(w.m_act_rotate[0]->isChecked());

  menuAction(w, 1, "隐藏点号")->trigger();
  for (QCPItemText* t : w.m_vt_label[1]) EXPECT_FALSE(t->visible());
  for (QCPItemText* t : w.m_vt_label[0]) EXPECT_TRUE(t->visible());
  menuAction(w, 1, "旋转点号")->trigger();
  for (QCPItemText* t : w.m_vt_label[1]) EXPECT_EQ(t->rotation(), -90.0);
  for (QCPItemText* t : w.m_vt_label[0]) EXPECT_EQ(t->rotation(), 0.0);

  // A redraw keeps the choices, except the GPS rotation, which follows the extents.
  menuAction(w, 0, "旋转点号")->trigger();
  EXPECT_EQ(w.m_vt_label[0].at(0)->rotation(), -90.0);
  w.refresh(true);
  EXPECT_FALSE(w.m_act_rotate[0]->isChecked());
  EXPECT_EQ(w.m_vt_label[0].at(0)->rotation(), 0.0);
  for (QCPItemText* t : w.m_vt_label[1]) {
    EXPECT_FALSE(t->visible());
    EXPECT_EQ(t->rotation(), -90.0);
  }
}

TEST(StationMap, LegendRowAndShowingTheTabRedraws) {
  ScopedPrompts prompts;
  Stations st;
  st.add("A", 0.0, 0.0);
  CWdtGpsPos w;
  w.setStationItems(&st.items);
  EXPECT_EQ(w.m_plot[0]->graphCount(), 0);  // nothing drawn before a refresh or a show
  w.show();
  EXPECT_EQ(w.m_plot[0]->graphCount(), 1);
  EXPECT_EQ(w.m_plot[0]->m_title->text(), "GPS位置分布图");
  EXPECT_EQ(w.m_plot[1]->m_title->text(), "设计点位分布图");
  EXPECT_EQ(w.m_plot[0]->xAxis->label(), "东相对坐标(m)");
  EXPECT_EQ(w.m_plot[0]->yAxis->label(), "北相对坐标(m)");
  EXPECT_EQ(w.m_plot[1]->xAxis->label(), "X坐标(m)");
  EXPECT_EQ(w.m_plot[1]->yAxis->label(), "Y坐标(m)");

  const char* sheets[6] = {"color: rgb(252, 10, 87);", "color: rgb(0, 0, 0);",     "color: rgb(163, 5, 255);",
                           "color: rgb(5, 38, 255);",  "color: rgb(6, 243, 255);", "color: rgb(6, 255, 64);"};
  for (int k = 0; k < 6; ++k) {
    auto* label = w.findChild<QLabel*>(QString("lbLegend%1").arg(k + 1));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QString("----%1通道 ").arg(k + 1));
    EXPECT_EQ(label->styleSheet(), sheets[k]);
    EXPECT_TRUE(label->isVisible());
  }
  auto* close = w.findChild<QPushButton*>("btnClose");
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(close->text(), "关 闭");
  QTest::mouseClick(close, Qt::LeftButton);
  EXPECT_FALSE(w.isVisible());
}

// In the free layout a station stands on its first electrode, and at the
// default zoom of a laptop window neighbouring names come close: no name
// may cover another (an electrode two channels share is named twice at the
// same place, alike), and a station keeps its name above its point.
TEST(StationMap, NamesDoNotCoverEachOtherAtTheDefaultZoom) {
  ScopedPrompts prompts;
  QTemporaryDir tmp;
  const QString dir = generateSurvey(
      tmp, {"--seed", "7", "--files", "2", "--devices", "3", "--cals", "2", "--layout", "free"});
  CWdtMain w;
  w.resize(1366, 720);
  w.importFiles({dir + "/L101_01.SRS"});
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  w.form()->tabRight->setCurrentWidget(w.stationPage());
  w.onListClicked(w.form()->listOpenFiles->model()->index(0, 0));
  QApplication::processEvents();
  CWdtGpsPos* map = w.stationPage();
  auto box = [](const QCPItemText* t) {
    QPolygonF corners;
    for (QCPItemAnchor* a : {t->topLeft, t->topRight, t->bottomRight, t->bottomLeft}) corners << a->pixelPosition();
    return corners.boundingRect();
  };
  for (int p = 0; p < 2; ++p) {
    map->m_plot[p]->replot();
    const QList<QCPItemText*>& names = map->m_vt_label[p];
    ASSERT_GT(names.size(), 2) << p;
    for (int i = 0; i < names.size(); ++i)
      for (int j = i + 1; j < names.size(); ++j) {
        const QCPItemText* a = names[i];
        const QCPItemText* b = names[j];
        if (a->text() == b->text() && a->position->coords() == b->position->coords()) continue;
        EXPECT_FALSE(box(a).adjusted(1, 1, -1, -1).intersects(box(b)))
            << "plot " << p << ": " << a->text().toStdString() << " covers " << b->text().toStdString();
      }
  }
  const QCPItemText* station = map->m_vt_label[1].first();
  EXPECT_TRUE(station->text().startsWith("ST")) << station->text().toStdString();
  EXPECT_EQ(station->positionAlignment(), Qt::AlignHCenter | Qt::AlignBottom);
}
