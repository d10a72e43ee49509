#include <gtest/gtest.h>

#include <QApplication>
#include <QBrush>
#include <QColor>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QTranslator>

#include <vector>

#include "gui/main/app_init.h"
#include "model_check.h"
#include "gui/results/model_res.h"
#include "gui/results/wdt_sip_res_table.h"
#include "core/sip/format_srs.h"
#include "core/sip/limits.h"

namespace {

// Columns of the results page, by display-item code.
enum Col {
  C_LABEL = 0,   // code 0
  C_MPOS = 1,    // code 2
  C_PROG = 2,    // code 3
  C_UAMP = 3,    // code 4
  C_USTD = 4,    // code 5
  C_APP = 5,     // code 8
  C_APPERR = 6,  // code 9
  C_CP = 7,      // code 20
  C_CPSTD = 8,   // code 21
  C_FS = 9,      // code 22
  C_FSSTD = 10,  // code 23
  COL_CNT = 11,
};

const QColor RED(176, 23, 31);
const QColor WHEAT(245, 222, 179);

ChInfo channel(const char* dev, int idx_dev_ch, int site_no, float m_pos, int ch_type) {
  ChInfo ci;
  ci.dev_name = dev;
  ci.idx_dev_ch = idx_dev_ch;
  ci.site_no = site_no;
  ci.m_pos = m_pos;
  ci.ch_type = ch_type;
  return ci;
}

void set_block(ResItem* item, int k, float value, float std, float err, uint32_t count) {
  item->blk[k].value = value;
  item->blk[k].std = std;
  item->blk[k].err = err;
  item->blk[k].count = count;
}

// Composed result: three channels, one base frequency, three harmonics.
// Single result: two channels, one base frequency, two harmonics.
void build_srs(CFormatSRS* srs) {
  srs->m_prm_meas.harm_num = 3;

  CResultSip& c = srs->m_res_composed;
  c.DoInit(3, 1, 3);
  c.SetFreq(0, 0, 0.25f);
  c.SetFreq(0, 1, 0.0625f);
  c.SetFreq(0, 2, 0.015625f);
  c.SetChInfo(0, channel("D07", 2, 4, 30.0f, SIP_CH_ELECTRIC));
  c.SetChInfo(1, channel("D08", 0, 0, -12.5f, SIP_CH_MAGNETIC));
  c.SetChInfo(2, channel("采集站", 5, 1, 1000.0f, 7));

  ResItem a;  // channel 0, harmonic 0: single calculations only
  set_block(&a, RES_APP, 1.5e3f, 0.0f, 12.0f, 1);
  set_block(&a, RES_CP, -0.0123f, 0.0f, 0.001f, 1);
  set_block(&a, RES_U_AMP, 0.5f, 0.0f, 0.0f, 1);
  // No FS was stacked, but its error breaks the FS limit all the same.
  set_block(&a, RES_FS, 0.0f, 0.0f, 0.01f, 0);
  c.SetItem(0, 0, 0, a);

  ResItem a1;  // channel 0, harmonic 1
  set_block(&a1, RES_APP, 2000.0f, 3.0f, 0.0f, 2);
  c.SetItem(0, 0, 1, a1);

  ResItem a2;  // channel 0, harmonic 2
  set_block(&a2, RES_APP, 7.25e-2f, 0.0f, 0.0f, 4);
  c.SetItem(0, 0, 2, a2);

  ResItem b;  // channel 1: every quantity stacked twice, std and err differ
  set_block(&b, RES_U_AMP, 0.0123456f, 0.0005f, 0.0009f, 2);
  set_block(&b, RES_U_PH, 0.5f, 0.01f, 0.03f, 2);
  set_block(&b, RES_APP, 100.0f, 7.0f, 5.0f, 2);
  set_block(&b, RES_Z_PH, -0.25f, 0.07f, 0.02f, 2);
  set_block(&b, RES_H_AMP, 0.002f, 0.0001f, 0.0003f, 2);
  set_block(&b, RES_H_PH, 1.0f, 0.1f, 0.3f, 2);
  set_block(&b, RES_I_AMP, 1.25f, 0.004f, 0.008f, 2);
  set_block(&b, RES_I_PH, -0.1f, 0.2f, 0.4f, 2);
  set_block(&b, RES_CP, 0.004f, 0.009f, 0.006f, 2);
  set_block(&b, RES_FS, 0.031f, 0.005f, 0.0012f, 5);
  c.SetItem(1, 0, 0, b);

  ResItem bad;  // channel 2: flagged bad, nothing stacked
  bad.bad = 1;
  c.SetItem(2, 0, 0, bad);

  CResultSip& s = srs->m_res;
  s.DoInit(2, 1, 2);
  s.SetFreq(0, 0, 4.0f);
  s.SetFreq(0, 1, 12.0f);
  s.SetChInfo(0, channel("S01", 0, 0, 5.0f, SIP_CH_ELECTRIC));
  s.SetChInfo(1, channel("S01", 1, 1, 15.0f, SIP_CH_ELECTRIC));
  ResItem s0;
  set_block(&s0, RES_APP, 42.5f, 0.0f, 0.0f, 1);
  s.SetItem(0, 0, 0, s0);
  ResItem s1;
  set_block(&s1, RES_APP, 43.5f, 0.0f, 0.0f, 1);
  s.SetItem(0, 0, 1, s1);
}

// Results page limits as they stand after start-up with the export page's
// defaults, plus an FS threshold so that the FS column can turn red.
std::vector<LimitItem> page_limits() {
  std::vector<LimitItem> vt = limit_default_results();
  limit_set_pair(&vt[1], LIMIT_REL, 0.01f);
  limit_set_pair(&vt[2], LIMIT_STD, 0.005f);
  limit_set_pair(&vt[3], LIMIT_STD, 0.001f);
  return vt;
}

QString text(const QAbstractItemModel* m, int row, int col) {
  return m->data(m->index(row, col), Qt::DisplayRole).toString();
}

bool shows(const QAbstractItemModel* m, int row, int col) {
  return m->data(m->index(row, col), Qt::DisplayRole).isValid();
}

QColor brush(const QAbstractItemModel* m, int row, int col, int role) {
  const QVariant v = m->data(m->index(row, col), role);
  return v.isValid() ? v.value<QBrush>().color() : QColor();
}

// Counts the notifications by which a model tells its views to repaint
// (changed cells, a new layout or a reset) while it lives.
struct LayoutCounter {
  explicit LayoutCounter(QAbstractItemModel* m) {
    conns << QObject::connect(m, &QAbstractItemModel::layoutChanged, [this] { ++count; });
    conns << QObject::connect(m, &QAbstractItemModel::modelReset, [this] { ++count; });
    conns << QObject::connect(m, &QAbstractItemModel::dataChanged, [this] { ++count; });
  }
  ~LayoutCounter() {
    for (const QMetaObject::Connection& c : conns) QObject::disconnect(c);
  }
  int count = 0;
  QList<QMetaObject::Connection> conns;
};

QStringList combo_texts(const QComboBox* cmb) {
  QStringList out;
  for (int i = 0; i < cmb->count(); ++i) out << cmb->itemText(i);
  return out;
}

QStringList headers(const QAbstractItemModel* m) {
  QStringList out;
  for (int c = 0; c < m->columnCount(); ++c) out << m->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
  return out;
}

// The table as the results page drives it after a successful load.
class ResultTable : public ::testing::Test {
protected:
  void SetUp() override {
    build_srs(&srs);
    limits = page_limits();
    table.initTable(&limits);
    model = table.model();
    cmb = table.findChild<QComboBox*>("cmbFreq");
    view = table.findChild<QTableView*>("tbRes");
    ASSERT_NE(model, nullptr);
    ASSERT_NE(cmb, nullptr);
    ASSERT_NE(view, nullptr);
    check = std::make_unique<ModelCheck>(model);
  }
  void TearDown() override {
    check.reset();
    EXPECT_TRUE(ModelCheck::failures().isEmpty()) << ModelCheck::failures().join("\n").toStdString();
  }

  void load() {
    table.setSrs(&srs);
    table.setSingleFreq(false);
    table.updateFreqList();
    table.onUpdateResList();
  }
  void switch_cal_type(bool single) {
    table.setSingleFreq(single);
    table.updateFreqList();
    table.onUpdateResList();
  }

  CFormatSRS srs;
  std::vector<LimitItem> limits;
  CWdtSipResTable table;
  ModelRes* model = nullptr;
  QComboBox* cmb = nullptr;
  QTableView* view = nullptr;
  std::unique_ptr<ModelCheck> check;
};

}  // namespace

TEST(ResultTableForm, BeforeAnyFile) {
  CWdtSipResTable table;
  EXPECT_EQ(table.windowTitle(), "Form");
  EXPECT_EQ(table.model(), nullptr);
  auto* cmb = table.findChild<QComboBox*>("cmbFreq");
  ASSERT_NE(cmb, nullptr);
  EXPECT_EQ(combo_texts(cmb), QStringList({"0.25Hz", "0.0625Hz"}));
  auto* label = table.findChild<QLabel*>("label_3");
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text(), QString::fromUtf8("频率:"));
  EXPECT_EQ(label->alignment(), Qt::AlignRight | Qt::AlignVCenter);
  auto* box = table.findChild<QGroupBox*>("groupBox");
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(box->title().isEmpty());
  EXPECT_NE(table.findChild<QTableView*>("tbRes"), nullptr);

  // Choosing a frequency before a model or a file exists changes nothing.
  cmb->setCurrentIndex(1);
  table.onUpdateResList();
  EXPECT_EQ(table.model(), nullptr);
}

TEST_F(ResultTable, NewModelShowsNothing) {
  EXPECT_EQ(model->rowCount(), 0);
  EXPECT_EQ(model->columnCount(), COL_CNT);
  EXPECT_EQ(view->model(), model);
  // A file was handed over but no frequency chosen yet: rows, no values.
  table.setSrs(&srs);
  model->resetFreq();
  EXPECT_EQ(model->rowCount(), 3);
  EXPECT_FALSE(shows(model, 0, C_LABEL));
}

TEST_F(ResultTable, HeadersInChineseAndEnglish) {
  load();
  EXPECT_EQ(headers(model), QStringList({QString::fromUtf8("仪器_通道"), QString::fromUtf8("M位置(m)"),
                                         QString::fromUtf8("采集进度"), QString::fromUtf8("电场振幅(mV)"),
                                         QString::fromUtf8("电场振幅均方差(mV)"), QString::fromUtf8("视电阻率(Ω·m)"),
                                         QString::fromUtf8("视电阻率误差(%)"), "     CP(mrad)", "CP_STD(mrad)",
                                         "     FS(%)", "FS_STD(%)"}));
  EXPECT_FALSE(model->headerData(0, Qt::Vertical, Qt::DisplayRole).isValid());
  EXPECT_FALSE(model->headerData(0, Qt::Horizontal, Qt::ToolTipRole).isValid());

  QTranslator translator;
  ASSERT_TRUE(installTranslation(*qApp, translator, "en_US"));
  const QStringList english = headers(model);
  const QString progress = text(model, 1, C_PROG);
  qApp->removeTranslator(&translator);
  EXPECT_EQ(english, QStringList({"Device_Channel", "M(m)", "Collection progress", "Elec-amplitude(mV)",
                                  "Elec-amplitude square err(mV)", QString::fromUtf8("App(Ω·m)"), "App err(%)",
                                  "     CP(mrad)", "CP_STD(mrad)", "     FS(%)", "FS_STD(%)"}));
  EXPECT_EQ(progress, "Calculated 2 times");
}

TEST_F(ResultTable, ComposedResultCells) {
  load();
  EXPECT_EQ(combo_texts(cmb), QStringList({"0.25Hz", "0.0625Hz", "0.015625Hz"}));
  EXPECT_EQ(cmb->currentIndex(), 0);
  ASSERT_EQ(model->rowCount(), 3);

  const QStringList row0 = {"D07_3", "30.0", QString::fromUtf8("已计算1次"), "500.000", "", "1.500E+03", "",
                            "-12.30", "", "", ""};
  const QStringList row1 = {"D08_1", "-12.5", QString::fromUtf8("已计算2次"), "12.346", "0.500", "1.000E+02",
                            "5.00", "4.00", "6.00", "3.10", "0.12"};
  const QStringList row2 = {QString::fromUtf8("采集站_6"), "1000.0", QString::fromUtf8("已计算0次"), "", "", "", "",
                            "", "", "", ""};
  const QStringList* rows[] = {&row0, &row1, &row2};
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < COL_CNT; ++c) {
      EXPECT_EQ(text(model, r, c), (*rows[r])[c]) << "row " << r << " column " << c;
      EXPECT_EQ(model->data(model->index(r, c), Qt::TextAlignmentRole).toInt(), 132);
      EXPECT_FALSE(model->flags(model->index(r, c)) & Qt::ItemIsEditable);
    }
  }
  // Below the minimum count a cell holds no text at all.
  EXPECT_FALSE(shows(model, 0, C_APPERR));
  EXPECT_FALSE(shows(model, 0, C_CPSTD));
}

TEST_F(ResultTable, ChoosingAFrequencyShowsItsHarmonic) {
  load();
  LayoutCounter layout(model);
  cmb->setCurrentIndex(1);
  EXPECT_EQ(layout.count, 1);
  EXPECT_EQ(text(model, 0, C_APP), "2.000E+03");
  EXPECT_EQ(text(model, 0, C_APPERR), "0.00");  // count 2, error 0
  EXPECT_EQ(text(model, 1, C_APP), "");
  // Progress stays at frequency 0, harmonic 0.
  EXPECT_EQ(text(model, 0, C_PROG), QString::fromUtf8("已计算1次"));

  cmb->setCurrentIndex(2);
  EXPECT_EQ(text(model, 0, C_APP), "7.250E-02");
}

TEST_F(ResultTable, ComboIndexSplitsByTheFileHarmonicNumber) {
  load();
  srs.m_prm_meas.harm_num = 2;  // index 2 is frequency 1, harmonic 0: outside the result
  cmb->setCurrentIndex(2);
  EXPECT_EQ(model->freqIdx(), 1);
  EXPECT_EQ(model->harmIdx(), 0);
  EXPECT_EQ(text(model, 0, C_LABEL), "D07_3");
  EXPECT_FALSE(shows(model, 0, C_APP));

  srs.m_prm_meas.harm_num = 3;
  table.onUpdateResList();
  EXPECT_EQ(model->freqIdx(), 0);
  EXPECT_EQ(model->harmIdx(), 2);
  EXPECT_EQ(text(model, 0, C_APP), "7.250E-02");

  // A file without a harmonic number must not bring the table down.
  srs.m_prm_meas.harm_num = 0;
  table.onUpdateResList();
  EXPECT_EQ(model->freqIdx(), 2);
  EXPECT_EQ(model->harmIdx(), 0);
  EXPECT_FALSE(shows(model, 0, C_APP));
  srs.m_prm_meas.harm_num = -4;
  table.onUpdateResList();
  EXPECT_FALSE(shows(model, 0, C_APP));
}

TEST_F(ResultTable, SingleFrequencyResultKeepsTheComposedRows) {
  load();
  cmb->setCurrentIndex(1);
  switch_cal_type(true);
  EXPECT_EQ(combo_texts(cmb), QStringList({"4Hz", "12Hz"}));
  EXPECT_EQ(cmb->currentIndex(), 1);  // the remembered index survives the rebuild
  ASSERT_EQ(model->rowCount(), 3);
  EXPECT_EQ(text(model, 0, C_LABEL), "S01_1");
  EXPECT_EQ(text(model, 0, C_MPOS), "5.0");
  EXPECT_EQ(text(model, 0, C_APP), "4.350E+01");
  EXPECT_EQ(text(model, 1, C_LABEL), "S01_2");
  EXPECT_FALSE(shows(model, 1, C_APP));
  // Row 2 lies beyond the single result: empty, no colour, but the progress
  // of the composed calculation is still shown.
  EXPECT_FALSE(shows(model, 2, C_LABEL));
  EXPECT_FALSE(shows(model, 2, C_MPOS));
  EXPECT_FALSE(shows(model, 2, C_APP));
  EXPECT_FALSE(model->data(model->index(2, C_LABEL), Qt::BackgroundRole).isValid());
  EXPECT_EQ(text(model, 2, C_PROG), QString::fromUtf8("已计算0次"));

  // Back to the composed result; index 1 is still chosen.
  switch_cal_type(false);
  EXPECT_EQ(combo_texts(cmb), QStringList({"0.25Hz", "0.0625Hz", "0.015625Hz"}));
  EXPECT_EQ(text(model, 0, C_APP), "2.000E+03");
}

TEST_F(ResultTable, RememberedIndexBeyondTheNewListSelectsNothing) {
  load();
  cmb->setCurrentIndex(2);
  switch_cal_type(true);  // two entries only
  EXPECT_EQ(cmb->currentIndex(), -1);
  EXPECT_EQ(model->harmIdx(), -1);
  for (int c = 0; c < COL_CNT; ++c) EXPECT_FALSE(shows(model, 0, c)) << c;
}

TEST_F(ResultTable, LimitsColourTheErrorColumns) {
  load();
  // Channel 1 breaks all three limits: 5 % > 1 %, 6 mrad > 5 mrad, 0.12 % > 0.1 %.
  EXPECT_EQ(brush(model, 1, C_APPERR, Qt::ForegroundRole), RED);
  EXPECT_EQ(brush(model, 1, C_CPSTD, Qt::ForegroundRole), RED);
  EXPECT_EQ(brush(model, 1, C_FSSTD, Qt::ForegroundRole), RED);
  // Value columns are never coloured.
  for (int c : {C_LABEL, C_MPOS, C_PROG, C_UAMP, C_USTD, C_APP, C_CP, C_FS}) {
    EXPECT_FALSE(model->data(model->index(1, c), Qt::ForegroundRole).isValid()) << c;
  }
  // Channel 0 passes apparent resistivity and CP; its FS error breaks the
  // limit although no FS was stacked, so the empty cell is red.
  EXPECT_FALSE(model->data(model->index(0, C_APPERR), Qt::ForegroundRole).isValid());
  EXPECT_FALSE(model->data(model->index(0, C_CPSTD), Qt::ForegroundRole).isValid());
  EXPECT_EQ(brush(model, 0, C_FSSTD, Qt::ForegroundRole), RED);
  EXPECT_FALSE(shows(model, 0, C_FSSTD));

  // Raising the thresholds takes effect at the next repaint.
  limit_set_pair(&limits[1], LIMIT_REL, 0.05f);
  limit_clear_pair(&limits[2], LIMIT_STD);
  limit_set_pair(&limits[3], LIMIT_STD, 0.1f);
  table.onUpdateResList();
  for (int c : {C_APPERR, C_CPSTD, C_FSSTD}) {
    EXPECT_FALSE(model->data(model->index(1, c), Qt::ForegroundRole).isValid()) << c;
  }

  // Without a limit table nothing is coloured.
  model->setLimits(nullptr);
  limit_set_pair(&limits[1], LIMIT_REL, 0.0f);
  EXPECT_FALSE(model->data(model->index(1, C_APPERR), Qt::ForegroundRole).isValid());
}

TEST_F(ResultTable, BadRowHasAWheatBackgroundInEveryColumn) {
  load();
  for (int c = 0; c < COL_CNT; ++c) {
    EXPECT_EQ(brush(model, 2, c, Qt::BackgroundRole), WHEAT) << c;
    EXPECT_FALSE(model->data(model->index(0, c), Qt::BackgroundRole).isValid()) << c;
    EXPECT_FALSE(model->data(model->index(1, c), Qt::BackgroundRole).isValid()) << c;
  }
}

TEST_F(ResultTable, ClearTableEmptiesListAndCells) {
  load();
  LayoutCounter layout(model);
  table.clearTable();
  EXPECT_GE(layout.count, 1);
  EXPECT_EQ(cmb->count(), 0);
  EXPECT_EQ(model->columnCount(), COL_CNT);
  EXPECT_EQ(model->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QString::fromUtf8("仪器_通道"));
  for (int r = 0; r < model->rowCount(); ++r) {
    for (int c = 0; c < COL_CNT; ++c) {
      EXPECT_FALSE(shows(model, r, c)) << r << "," << c;
      EXPECT_FALSE(model->data(model->index(r, c), Qt::BackgroundRole).isValid());
    }
  }
  // The page rebuilds the list after a calculation-type change; cells stay
  // empty until the next file.
  switch_cal_type(false);
  EXPECT_EQ(cmb->count(), 3);
  EXPECT_FALSE(shows(model, 0, C_LABEL));
  load();
  EXPECT_EQ(text(model, 0, C_LABEL), "D07_3");
}

TEST_F(ResultTable, AnotherFileWithFewerChannels) {
  load();
  CFormatSRS other;
  other.m_prm_meas.harm_num = 1;
  other.m_res_composed.DoInit(1, 1, 1);
  other.m_res_composed.SetFreq(0, 0, 1.0f / 3.0f);
  other.m_res_composed.SetChInfo(0, channel("X1", 0, 0, 0.0f, SIP_CH_ELECTRIC));
  table.setSrs(&other);
  table.setSingleFreq(false);
  table.updateFreqList();
  table.onUpdateResList();
  EXPECT_EQ(combo_texts(cmb), QStringList({"0.333333Hz"}));
  EXPECT_EQ(model->rowCount(), 1);
  EXPECT_EQ(view->verticalHeader()->count(), 1);
  EXPECT_EQ(text(model, 0, C_LABEL), "X1_1");
}

TEST(ModelRes, EveryDisplayItem) {
  CFormatSRS srs;
  build_srs(&srs);
  ModelRes model;
  ModelCheck check(&model);
  QVector<int> all;
  for (int code = 0; code < ModelRes::ITEM_CNT; ++code) all << code;
  all << 24 << -1;
  model.setDisplayItems(all);
  model.setSrs(&srs);
  model.setFreqIdx(0);
  model.setHarmIdx(0);

  const QStringList want = {
      "D08_1", "hy", "-12.5", QString::fromUtf8("已计算2次"),
      "12.346",     // 4 amplitude, mV
      "0.500",      // 5 its std
      "28.648",     // 6 phase, degrees
      "0.573",      // 7 its std
      "1.000E+02",  // 8 apparent resistivity
      "5.00",       // 9 err / value, %
      "-14.32",     // 10 impedance phase
      "1.15",       // 11 its error
      "2.000",      // 12 magnetic amplitude, mV
      "0.100",      // 13 its std
      "57.30",      // 14 magnetic phase
      "5.73",       // 15 its std
      "1.250",      // 16 current, A
      "0.004",      // 17 its std
      "-5.73",      // 18 current phase
      "11.46",      // 19 its std
      "4.00",       // 20 CP, mrad
      "6.00",       // 21 its error
      "3.10",       // 22 FS, %
      "0.12",       // 23 its error
      "", ""};      // unknown codes
  ASSERT_EQ(model.columnCount(), want.size());
  for (int c = 0; c < want.size(); ++c) EXPECT_EQ(text(&model, 1, c), want[c]) << "code " << all[c];
  EXPECT_FALSE(model.headerData(24, Qt::Horizontal, Qt::DisplayRole).isValid());
  EXPECT_FALSE(model.headerData(25, Qt::Horizontal, Qt::DisplayRole).isValid());
  EXPECT_EQ(model.headerData(6, Qt::Horizontal, Qt::DisplayRole).toString(), QString::fromUtf8("电场相位(°)"));

  EXPECT_EQ(text(&model, 0, 1), "ex5");
  EXPECT_EQ(text(&model, 2, 1), "invalid");
  // A zero apparent resistivity with an error shows 0.00, not a division.
  ResItem zero;
  set_block(&zero, RES_APP, 0.0f, 0.0f, 3.0f, 2);
  srs.m_res_composed.SetItem(1, 0, 0, zero);
  EXPECT_EQ(text(&model, 1, 9), "0.00");
  EXPECT_EQ(text(&model, 1, 8), "0.000E+00");

  EXPECT_TRUE(ModelCheck::failures().isEmpty()) << ModelCheck::failures().join("\n").toStdString();
}

TEST(ModelRes, NoFileOrNoSelectionShowsNothing) {
  CFormatSRS srs;
  build_srs(&srs);
  ModelRes model;
  model.setDisplayItems({0, 3, 8});
  EXPECT_EQ(model.rowCount(), 0);
  EXPECT_EQ(model.freqIdx(), -1);
  EXPECT_EQ(model.harmIdx(), -1);
  model.setSrs(&srs);
  EXPECT_EQ(model.rowCount(), 3);
  EXPECT_FALSE(model.data(model.index(0, 0), Qt::DisplayRole).isValid());
  EXPECT_FALSE(model.data(model.index(0, 0), Qt::TextAlignmentRole).isValid());
  model.setFreqIdx(0);
  EXPECT_FALSE(model.data(model.index(0, 0), Qt::DisplayRole).isValid());  // harmonic still unset
  model.setHarmIdx(0);
  EXPECT_EQ(text(&model, 0, 0), "D07_3");
  EXPECT_FALSE(model.data(QModelIndex(), Qt::DisplayRole).isValid());
  EXPECT_FALSE(model.data(model.index(0, 0), Qt::ToolTipRole).isValid());
  model.setSrs(nullptr);
  EXPECT_EQ(model.rowCount(), 0);
}
