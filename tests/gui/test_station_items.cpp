// The station items the main window builds from the selected SRS file.
#include <gtest/gtest.h>

#include <QDir>
#include <QListView>
#include <QProcess>
#include <QTemporaryDir>

#include "gui/main/wdt_main.h"
#include "scripted_prompts.h"
#include "gui/stations/item_gps_pos.h"

namespace {

QString generate(const QTemporaryDir& dir, const QStringList& args) {
  QProcess gen;
  gen.start(GEN_SURVEY_EXE, QStringList{dir.path()} + args);
  EXPECT_TRUE(gen.waitForFinished(60000));
  EXPECT_EQ(gen.exitCode(), 0) << gen.readAllStandardError().toStdString();
  return dir.path();
}

const CItemGpsPos* item(const CWdtMain& w, int i) { return static_cast<const CItemGpsPos*>(w.stationItems().at(i)); }

void click(CWdtMain& w, int row) { w.onListClicked(w.form()->listOpenFiles->model()->index(row, 0)); }

}  // namespace

TEST(StationItems, OnePerDeviceWithTheCurrentStationUncheckedAndReversedDevicesAtN) {
  ScopedPrompts prompts;
  QTemporaryDir tmp;
  const QString dir = generate(tmp, {"--seed", "4", "--files", "2", "--devices", "4", "--cals", "2"});
  CWdtMain w;
  w.importFiles({dir + "/L101_01.SRS", dir + "/L101_02.SRS"});

  click(w, 0);  // measured with the current station CS01
  ASSERT_EQ(w.stationItems().size(), 5);
  QStringList names;
  for (int i = 0; i < 5; ++i) names << item(w, i)->m_name;
  EXPECT_EQ(names, QStringList({"ST01", "CS01", "ST02", "ST03", "ST04"}));
  EXPECT_FALSE(item(w, 1)->m_checked);
  EXPECT_TRUE(item(w, 0)->m_checked);
  // ST03 runs from site 18 down to site 13: it stands at the N electrode of
  // its first channel (site 17 counted from 0, MN 20 m).
  EXPECT_DOUBLE_EQ(item(w, 3)->m_x, 17 * 20.0 + 20.0);
  EXPECT_DOUBLE_EQ(item(w, 2)->m_x, 6 * 20.0);
  EXPECT_GT(item(w, 0)->m_lat, 3000.0);
  EXPECT_GT(item(w, 0)->m_lon, 11400.0);
  EXPECT_TRUE(item(w, 0)->m_vt_pole_label.empty());
  EXPECT_TRUE(prompts->messages.isEmpty());

  click(w, 1);  // hand-entered current: no current station
  ASSERT_EQ(w.stationItems().size(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(item(w, i)->m_checked);
}

TEST(StationItems, FreeLayoutCarriesElectrodesAndChannelLabels) {
  ScopedPrompts prompts;
  QTemporaryDir tmp;
  const QString dir = generate(tmp, {"--seed", "4", "--files", "1", "--devices", "2", "--cals", "2", "--layout", "free"});
  CWdtMain w;
  w.importFiles({dir + "/L101_01.SRS"});
  click(w, 0);
  ASSERT_EQ(w.stationItems().size(), 3);
  const CItemGpsPos* st01 = item(w, 0);
  EXPECT_EQ(st01->m_vt_pole.size(), 14u);
  ASSERT_EQ(st01->m_vt_pole_label.size(), 6u);
  EXPECT_STREQ(st01->m_vt_pole_label[0].dev_name, "ST01");
  EXPECT_STREQ(st01->m_vt_pole_label[0].ch_label, "CH1");
  EXPECT_STREQ(st01->m_vt_pole_label[0].m_name, "P1");
  EXPECT_STREQ(st01->m_vt_pole_label[0].n_name, "P2");
  EXPECT_STREQ(st01->m_vt_pole_label[5].ch_label, "CH6");
  EXPECT_STREQ(st01->m_vt_pole_label[5].n_name, "P7");
}

TEST(StationItems, UnreadableFileWarnsAndLeavesNoItems) {
  ScopedPrompts prompts;
  QTemporaryDir tmp;
  const QString bad = tmp.filePath("broken.SRS");
  QFile f(bad);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("not an SRS file");
  f.close();
  CWdtMain w;
  w.importFiles({bad});
  click(w, 0);
  EXPECT_TRUE(w.stationItems().isEmpty());
  // The main window does not repeat the results page's box, which carries
  // the reader's reason on its second line.
  const QString with_reason = QString::fromUtf8("打开文件“%1”失败！\n版本号（第0字节起）已损坏").arg(bad);
  int boxes = 0;
  for (const RecordedMessage& m : prompts->messages)
    if (m.kind == "warning" && m.title == QString::fromUtf8("提示") && m.text == with_reason) ++boxes;
  EXPECT_EQ(boxes, 1);
}
