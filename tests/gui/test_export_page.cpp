// The export page driven as a user drives it: options shown for each survey
// type and output, the limit edits, the side-table imports, and whole runs
// with scripted dialog answers.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFont>
#include <QPixmap>
#include <QTranslator>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <functional>
#include <map>
#include <string>

#include "core/sip/format_srs.h"
#include "gui/export/wdt_output.h"
#include "gui/main/app_init.h"
#include "gui/limits/shared_data.h"
#include "expect_message.h"
#include "scripted_prompts.h"

namespace {

const QString kIn = QString(TEST_DATA_DIR) + "/export/in";
const QString kGolden = QString(TEST_DATA_DIR) + "/export/golden";

QByteArray Slurp(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A copy of the SRS file src keeping the first harmonic of its spectra and
// results only: a run of one frequency point.
bool OneFrequencyCopy(const QString& src, const QString& dst) {
  CFormatSRS srs;
  if (!srs.Read(src.toStdString())) return false;
  for (CSpectArray* a : {&srs.m_spect_u, &srs.m_spect_i}) {
    const int chs = a->DoGetBuffChNum(), freqs = a->DoGetBuffFreqNum(), cals = a->DoGetCalNum();
    CSpectArray one;
    one.DoInit(chs, freqs, 1, cals, a->GetChValidMask(), a->GetGeoType());
    for (int c = 0; c < chs; ++c)
      for (int f = 0; f < freqs; ++f)
        for (int k = 0; k < cals; ++k) one.DoSetItemOf(c, f, 0, k, a->DoGetItemOf(c, f, 0, k));
    a->Swap(one);
  }
  srs.m_prm_meas.harm_num = 1;
  srs.m_res.SetHarmNum(1);
  srs.m_res_composed.SetHarmNum(1);
  return srs.Write(dst.toStdString());
}

class ExportPage : public ::testing::Test {
protected:
  void SetUp() override { page = std::make_unique<CWdtOutput>(&files); }

  template <typename T>
  T* w(const char* name) {
    T* p = page->findChild<T*>(name);
    EXPECT_NE(p, nullptr) << name;
    return p;
  }
  QAbstractButton* b(const char* name) { return w<QAbstractButton>(name); }
  bool shown(const char* name) { return !w<QWidget>(name)->isHidden(); }
  void setFiles(const QStringList& l) {
    files = l;
    page->refreshFileList();
  }

  QStringList files;
  std::unique_ptr<CWdtOutput> page;
};

TEST_F(ExportPage, StartsWithTwoDimensionalSectionOutput) {
  EXPECT_TRUE(b("rd2DSounding")->isChecked());
  EXPECT_FALSE(b("rd3DSounding")->isChecked());
  EXPECT_TRUE(b("rdOutSection")->isChecked());
  EXPECT_TRUE(b("rdInputSrs")->isChecked());
  EXPECT_TRUE(b("rdType4")->isChecked());
  for (const char* name : {"chkExportOhm", "chkExportFdip", "chkExportCrtomo", "chkExportProtocol"})
    EXPECT_FALSE(b(name)->isChecked()) << name;
  EXPECT_EQ(w<QLineEdit>("edtOutFileName")->text(), "TEST");
  EXPECT_EQ(w<QLineEdit>("edtMinDist")->text(), "10");
  EXPECT_EQ(w<QLineEdit>("edtShiftPercent")->text(), "1");
  EXPECT_EQ(w<QLineEdit>("edtSystemErrAppPer")->text(), "2");
  EXPECT_EQ(w<QLineEdit>("edtSystemErrCp")->text(), "0");
  EXPECT_TRUE(shown("rdOutSection"));
  EXPECT_FALSE(shown("rdOutSipPrmCp"));
  EXPECT_FALSE(shown("rdType3"));
  EXPECT_FALSE(shown("rdOutRes2dinv"));
  EXPECT_FALSE(shown("rdOutZondres2d"));
  EXPECT_NE(w<QTableView>("tbRangeLimit")->model(), nullptr);
}

TEST_F(ExportPage, OptionsShownForEverySurveyTypeAndOutput) {
  struct Case {
    const char* target;
    const char* output;
    const char* input;
    std::map<std::string, bool> visible;
  };
  const std::vector<Case> cases = {
      {"rd2DSounding", "rdInvData", "rdInputSrs",
       {{"rdOutSipPrmCp", true}, {"rdPoleCmpYes", true}, {"chkXCoordMove", true}, {"btnImportFileElev", true},
        {"chkExportOhm", true}, {"btnImportFileShifting", false}, {"rdType3", false}, {"btnImportFileCoord", false},
        {"edtDirSmt", false}, {"rdOutRes2dinv", false}}},
      {"rd2DSounding", "rdOutSection", "rdInputTs",
       {{"rdOutSipPrmCp", false}, {"rdPoleCmpYes", false}, {"chkAddSystemErr", false}, {"rdType4", false},
        {"edtDirSmt", true}, {"btnSelDirSmt", true}, {"rdInvData", true}}},
      {"rd3DSounding", "rdInvData", "rdInputSrs",
       {{"rdOutSipPrmCp", true}, {"rdPoleCmpYes", false}, {"chkXCoordMove", false}, {"btnImportFileShifting", true},
        {"rdType3", false}, {"edtMinDist", true}, {"chkExportOhm", true}}},
      {"rd3DSounding", "rdOutSection", "rdInputSrs",
       {{"rdType3", true}, {"rdType4", true}, {"btnImportFileShifting", true}, {"rdOutSipPrmCp", false},
        {"btnImportFileElev", false}}},
      {"rdMidGradient", "rdInvData", "rdInputSrs",
       {{"btnImportFileCoord", true}, {"edtInputFileCoord", true}, {"rdOutSection", false}, {"rdInvData", false},
        {"rdOutSipPrmCp", false}, {"btnImportFileShifting", false}, {"rdType3", false}}},
      {"rdCheckErr", "rdOutSection", "rdInputSrs",
       {{"btnImportFileCoord", true}, {"rdOutSection", false}, {"chkAddSystemErr", false}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.target) + " " + c.output + " " + c.input);
    // The output radio buttons are hidden for some targets: choose them first.
    b("rd2DSounding")->click();
    b(c.output)->click();
    b(c.input)->click();
    b(c.target)->click();
    for (const auto& [name, visible] : c.visible) EXPECT_EQ(shown(name.c_str()), visible) << name;
  }
}

TEST_F(ExportPage, EveryOptionFollowsTheVisibilityTable) {
  struct State {
    bool ts, mid, chk, s2, s3, inv;
  };
  struct Rule {
    std::vector<const char*> widgets;
    std::function<bool(const State&)> visible;
  };
  const std::vector<Rule> rules = {
      {{"edtDirSmt", "btnSelDirSmt"}, [](const State& s) { return s.ts; }},
      {{"btnImportFileCoord", "edtInputFileCoord"}, [](const State& s) { return s.mid || s.chk; }},
      {{"rdOutSection", "rdInvData", "lb2DSouding3"}, [](const State& s) { return s.s2 || s.s3; }},
      {{"rdOutRes2dinv", "rdOutZondres2d", "lbInvV1"}, [](const State&) { return false; }},
      {{"rdOutSipPrmCp", "rdOutSipPrmFs", "rdOutSipPrmPh", "rdInvAppResistance", "rdInvAppResistivity",
        "lbMinPoleLen", "edtMinDist", "chkAddSystemErr", "lbSystemErrApp", "edtSystemErrAppPer", "lbSystemErrCp",
        "edtSystemErrCp", "btnImportFileElev", "edtInputFileElev", "lbInvH1", "lbInvH2", "lbInvV2", "lbInvV3",
        "chkExportOhm", "chkExportFdip", "chkExportCrtomo", "chkExportProtocol"},
       [](const State& s) { return (s.s2 || s.s3) && s.inv; }},
      {{"rdPoleCmpYes", "rdPoleCmpNo", "lbCmpShiftPer", "edtShiftPercent", "chkXCoordMove", "edtXCoordMoveValue"},
       [](const State& s) { return s.s2 && s.inv; }},
      {{"btnImportFileShifting", "edtInputFileShifting"}, [](const State& s) { return s.s3; }},
      {{"rdType3", "rdType4"}, [](const State& s) { return s.s3 && !s.inv; }},
  };
  // Always shown, whatever the choice.
  const std::vector<const char*> fixed = {"rdInputSrs", "rdInputTs",  "rdCheckErr",  "rdMidGradient",
                                          "rd2DSounding", "rd3DSounding", "tbRangeLimit", "edtMaxErrApp",
                                          "edtMaxErrCp", "edtOutFileName", "btnOutData", "btnOutPassRate"};
  for (const char* input : {"rdInputSrs", "rdInputTs"}) {
    for (const char* target : {"rdCheckErr", "rdMidGradient", "rd2DSounding", "rd3DSounding"}) {
      for (const char* output : {"rdOutSection", "rdInvData"}) {
        SCOPED_TRACE(std::string(input) + " " + target + " " + output);
        // The output buttons are shown for soundings only: chosen there first.
        b("rd2DSounding")->click();
        b(output)->click();
        b(input)->click();
        b(target)->click();
        const std::string t = target;
        const State st{std::string(input) == "rdInputTs", t == "rdMidGradient", t == "rdCheckErr",
                       t == "rd2DSounding", t == "rd3DSounding", std::string(output) == "rdInvData"};
        for (const Rule& r : rules)
          for (const char* name : r.widgets) EXPECT_EQ(shown(name), r.visible(st)) << name;
        for (const char* name : fixed) EXPECT_TRUE(shown(name)) << name;

        // The enabling rules hold in every state, both ways.
        for (int round = 0; round < 2; ++round) {
          b("chkAddSystemErr")->click();
          b("chkXCoordMove")->click();
          b(round == 0 ? "rdPoleCmpNo" : "rdPoleCmpYes")->click();
          const bool sys = b("chkAddSystemErr")->isChecked(), xs = b("chkXCoordMove")->isChecked();
          EXPECT_EQ(w<QWidget>("edtSystemErrAppPer")->isEnabled(), sys);
          EXPECT_EQ(w<QWidget>("edtSystemErrCp")->isEnabled(), sys);
          EXPECT_EQ(w<QWidget>("edtXCoordMoveValue")->isEnabled(), xs);
          EXPECT_EQ(w<QWidget>("edtShiftPercent")->isEnabled(), b("rdPoleCmpYes")->isChecked());
        }
      }
    }
  }
}

TEST_F(ExportPage, CheckBoxesEnableTheirEdits) {
  b("rdInvData")->click();
  EXPECT_TRUE(w<QWidget>("edtSystemErrAppPer")->isEnabled());
  b("chkAddSystemErr")->click();
  EXPECT_FALSE(w<QWidget>("edtSystemErrAppPer")->isEnabled());
  EXPECT_FALSE(w<QWidget>("edtSystemErrCp")->isEnabled());
  EXPECT_FALSE(w<QWidget>("edtXCoordMoveValue")->isEnabled());
  b("chkXCoordMove")->click();
  EXPECT_TRUE(w<QWidget>("edtXCoordMoveValue")->isEnabled());
  EXPECT_TRUE(w<QWidget>("edtShiftPercent")->isEnabled());
  b("rdPoleCmpNo")->click();
  EXPECT_FALSE(w<QWidget>("edtShiftPercent")->isEnabled());
}

TEST_F(ExportPage, AFreeLayoutFileTurnsTheCombinationOff) {
  setFiles({kIn + "/free/L101_01.SRS"});
  EXPECT_EQ(page->layoutType(), SIP_ALL_GRADIENT);
  EXPECT_TRUE(b("rdPoleCmpNo")->isChecked());
  EXPECT_FALSE(b("rdPoleCmpYes")->isEnabled());
  EXPECT_FALSE(w<QWidget>("edtShiftPercent")->isEnabled());
  EXPECT_FALSE(b("rdPoleCmpYes")->isChecked());
  EXPECT_FALSE(b("rdPoleCmpNo")->isEnabled());
  EXPECT_FALSE(w<QWidget>("lbCmpShiftPer")->isEnabled());
  // The settings of an export started now: no combination.
  b("rdInvData")->click();
  EXPECT_FALSE(page->CollectSettings().combine);
  setFiles({kIn + "/pole4/L101_01.SRS"});
  EXPECT_EQ(page->layoutType(), SIP_POLE4_SOUNDING);
  EXPECT_TRUE(b("rdPoleCmpYes")->isEnabled());
  setFiles({});
  EXPECT_EQ(page->layoutType(), SIP_POLE4_SOUNDING);
}

TEST_F(ExportPage, LimitEditsShowAndSetTheSharedTable) {
  EXPECT_EQ(w<QLineEdit>("edtMaxErrApp")->text(), "100");
  EXPECT_EQ(w<QLineEdit>("edtMaxErrCp")->text(), "3141.59");
  w<QLineEdit>("edtMaxErrApp")->setText("0.5");
  w<QLineEdit>("edtMaxErrCp")->setText("abc");
  std::vector<LimitItem>* shared = SharedData::instance()->limitTable();
  ASSERT_EQ(shared, &page->limits());
  EXPECT_FLOAT_EQ((*shared)[1].rel_max, 0.005f);
  EXPECT_TRUE((*shared)[1].rel_on);
  EXPECT_EQ((*shared)[2].std_max, 0.0f);
}

TEST_F(ExportPage, AFailedImportWarnsAndEmptiesTheEdit) {
  QTemporaryDir tmp;
  const QString bad = tmp.filePath("coords.txt");
  QFile f(bad);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("name line_no pos x y\nS1 101 0\n");
  f.close();
  ScopedPrompts prompts;
  b("rdMidGradient")->click();
  prompts->fileAnswers.enqueue({kIn + "/mid/site_coord.txt"});
  b("btnImportFileCoord")->click();
  EXPECT_EQ(w<QLineEdit>("edtInputFileCoord")->text(), kIn + "/mid/site_coord.txt");
  prompts->fileAnswers.enqueue({bad});
  b("btnImportFileCoord")->click();
  ASSERT_EQ(prompts->messages.size(), 1);
  EXPECT_EQ(prompts->messages[0].kind, "warning");
  EXPECT_EQ(prompts->messages[0].title, "提示");
  EXPECT_EQ(prompts->messages[0].text, "导入坐标失败！\n第2行有3个字段，应为5个");
  EXPECT_TRUE(w<QLineEdit>("edtInputFileCoord")->text().isEmpty());
  // The next dialog starts where the last file was chosen.
  prompts->fileAnswers.enqueue({});
  b("btnImportFileCoord")->click();
  EXPECT_EQ(prompts->dialogs.last().dir, tmp.path());
  EXPECT_EQ(prompts->dialogs.last().caption, "打开坐标文件");
  EXPECT_EQ(prompts->dialogs.last().filter, "txt Files (*.txt)");
  EXPECT_EQ(prompts->messages.size(), 1);
}

TEST_F(ExportPage, ExportWritesWhatTheCommandLineWrites) {
  setFiles({kIn + "/pole4/L101_01.SRS", kIn + "/pole4/L101_02.SRS"});
  QTemporaryDir out;
  ScopedPrompts prompts;
  b("rdInvData")->click();
  prompts->fileAnswers.enqueue({out.path()});
  b("btnOutData")->click();
  ASSERT_EQ(prompts->dialogs.size(), 1);
  EXPECT_EQ(prompts->dialogs[0].caption, "保存目录选择");
  EXPECT_EQ(prompts->dialogs[0].dir, kIn + "/pole4");
  ASSERT_EQ(prompts->messages.size(), 1);
  EXPECT_EQ(prompts->messages[0].kind, "information");
  EXPECT_EQ(prompts->messages[0].title, "提示");
  EXPECT_EQ(prompts->messages[0].text, "数据转换完成");
  for (int h = 1; h <= 3; ++h) {
    const QString suffix = QString("_Res2dinv_F%1.dat").arg(h);
    const QByteArray want = Slurp(kGolden + "/p4comb" + suffix);
    ASSERT_FALSE(want.isEmpty());
    EXPECT_TRUE(Slurp(out.filePath("TEST" + suffix)) == want) << h;
  }
  // The directory is remembered for the next export.
  prompts->fileAnswers.enqueue({});
  b("btnOutData")->click();
  EXPECT_EQ(prompts->dialogs.last().dir, out.path());
  EXPECT_EQ(prompts->messages.size(), 1);
}

TEST_F(ExportPage, AlsoTheUnifiedDataFormatWhenAsked) {
  setFiles({kIn + "/pole4/L101_01.SRS", kIn + "/pole4/L101_02.SRS"});
  QTemporaryDir out;
  ScopedPrompts prompts;
  b("rdInvData")->click();
  b("rdPoleCmpNo")->click();
  b("chkExportOhm")->click();
  prompts->fileAnswers.enqueue({out.path()});
  b("btnOutData")->click();
  EXPECT_TRUE(QFile::exists(out.filePath("TEST_Res2dinv_F1.dat")));
  EXPECT_TRUE(QFile::exists(out.filePath("TEST_F3.ohm")));
  EXPECT_EQ(prompts->messages.last().text, "数据转换完成");
}

TEST_F(ExportPage, TypedNumbersOutsideTheirRangeAreRefusedNamingTheField) {
  struct Case {
    const char* edit;
    QString text;
    QString message;
  };
  const std::vector<Case> cases = {
      {"edtMinDist", "nan", "最小电极距(m)的值“nan”无效：须为有限的数"},
      {"edtMinDist", "0", "最小电极距(m)的值“0”无效：须大于0且不大于1000000"},
      {"edtMinDist", "", "最小电极距(m)的值“”无效：不是数字"},
      {"edtMinDist", "1e308", "最小电极距(m)的值“1e308”无效：须大于0且不大于1000000"},
      {"edtShiftPercent", "-1", "平移(%)的值“-1”无效：须在0与100之间"},
      {"edtSystemErrAppPer", "inf", "加入系统误差 视电阻率(%)的值“inf”无效：须为有限的数"},
      {"edtSystemErrCp", "-0.5", "加入系统误差 相对相位(mrad)的值“-0.5”无效：须在0与1000之间"},
      {"edtXCoordMoveValue", "", "偏移X坐标(m)的值“”无效：不是数字"},
      {"edtXCoordMoveValue", "5 m", "偏移X坐标(m)的值“5 m”无效：不是数字"},
      {"edtMaxErrApp", "-1", "视电阻率最大误差(%)的值“-1”无效：须在0与1000之间"},
      {"edtMaxErrCp", "NaN", "相对相位最大误差(mrad)的值“NaN”无效：须为有限的数"},
  };
  setFiles({kIn + "/pole4/L101_01.SRS", kIn + "/pole4/L101_02.SRS"});
  QTemporaryDir out;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.edit + (" " + c.text).toStdString());
    page = std::make_unique<CWdtOutput>(&files);
    page->refreshFileList();
    ScopedPrompts prompts;
    b("rdInvData")->click();
    b("chkXCoordMove")->click();
    w<QLineEdit>("edtXCoordMoveValue")->setText("0");
    w<QLineEdit>(c.edit)->setText(c.text);
    prompts->fileAnswers.enqueue({out.path()});
    b("btnOutData")->click();
    ExpectOnlyMessage(*prompts, "warning", "提示", c.message);
    // Refused before the directory is asked for: nothing can be written.
    EXPECT_TRUE(prompts->dialogs.isEmpty());
    EXPECT_TRUE(QDir(out.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
  }
}

TEST_F(ExportPage, OnlyTheNumbersARunReadsAreChecked) {
  setFiles({kIn + "/pole4/L101_01.SRS", kIn + "/pole4/L101_02.SRS"});
  QTemporaryDir out;
  ScopedPrompts prompts;
  // Switched off or hidden: the x shift (unchecked), the system errors
  // (unchecked), the shift (no combination), the spacing (a section).
  b("rdInvData")->click();
  b("chkAddSystemErr")->click();
  b("rdPoleCmpNo")->click();
  for (const char* edit : {"edtXCoordMoveValue", "edtSystemErrAppPer", "edtSystemErrCp", "edtShiftPercent"})
    w<QLineEdit>(edit)->setText("nan");
  b("rdOutSection")->click();
  w<QLineEdit>("edtMinDist")->setText("-1");
  prompts->fileAnswers.enqueue({out.path()});
  b("btnOutData")->click();
  ASSERT_EQ(prompts->messages.size(), 1);
  EXPECT_EQ(prompts->messages[0].text, "数据转换完成");
  EXPECT_TRUE(QFile::exists(out.filePath("TEST_sect.dat")));

  // The pass rate reads the limits and the spacing where it is shown.
  b("rdInvData")->click();
  b("btnOutPassRate")->click();
  ASSERT_EQ(prompts->messages.size(), 2);
  EXPECT_EQ(prompts->messages[1].text, "最小电极距(m)的值“-1”无效：须大于0且不大于1000000");
  EXPECT_FALSE(QFile::exists(out.filePath("TEST_passRate.txt")));
  w<QLineEdit>("edtMinDist")->setText("10");
  w<QLineEdit>("edtMaxErrCp")->setText("inf");
  b("btnOutPassRate")->click();
  ASSERT_EQ(prompts->messages.size(), 3);
  EXPECT_EQ(prompts->messages[2].text, "相对相位最大误差(mrad)的值“inf”无效：须为有限的数");
  EXPECT_FALSE(QFile::exists(out.filePath("TEST_passRate.txt")));
  EXPECT_EQ(prompts->dialogs.size(), 1);
  // The shared table never takes the infinity.
  EXPECT_EQ(page->limits()[LIMIT_ROW_CP].std_max, 0.0f);
}

TEST_F(ExportPage, MultiFrequencyFormatsBesideTheInversionFiles) {
  setFiles({kIn + "/pole4/L101_01.SRS", kIn + "/pole4/L101_02.SRS"});
  QTemporaryDir out;
  ScopedPrompts prompts;
  b("rdInvData")->click();
  for (const char* name : {"chkExportFdip", "chkExportCrtomo", "chkExportProtocol"}) b(name)->click();
  prompts->fileAnswers.enqueue({out.path()});
  b("btnOutData")->click();
  ExpectOnlyMessage(*prompts, "information", "提示", "数据转换完成");
  for (const char* f : {"TEST_Res2dinv_F3.dat", "TEST.shm", "TEST.phiaE", "TEST_crtomo/frequencies.dat",
                        "TEST_protocol/protocol_03_1.25Hz.dat", "TEST_protocol_electrodes.csv"})
    EXPECT_TRUE(QFile::exists(out.filePath(f))) << f;
  EXPECT_FALSE(QFile::exists(out.filePath("TEST_F1.ohm")));
}

// One frequency point cannot make the datasets of a spectrum: the page says
// so, and writes nothing, not even the Res2dinv files asked for with them.
TEST_F(ExportPage, OneFrequencyPointIsRefusedWithAMessageAndNoFile) {
  QTemporaryDir tmp;
  const QStringList one = {tmp.filePath("L101_01.SRS"), tmp.filePath("L101_02.SRS")};
  ASSERT_TRUE(OneFrequencyCopy(kIn + "/pole4/L101_01.SRS", one[0]));
  ASSERT_TRUE(OneFrequencyCopy(kIn + "/pole4/L101_02.SRS", one[1]));
  setFiles(one);
  const QString out = tmp.filePath("out");
  ASSERT_TRUE(QDir().mkpath(out));
  b("rdInvData")->click();
  for (const char* name : {"chkExportFdip", "chkExportCrtomo", "chkExportProtocol"}) {
    SCOPED_TRACE(name);
    ScopedPrompts prompts;
    b(name)->click();
    prompts->fileAnswers.enqueue({out});
    b("btnOutData")->click();
    ExpectOnlyMessage(*prompts, "warning", "警告", one[0] + "的频点少于两个，未导出任何数据!");
    EXPECT_TRUE(QDir(out).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
    b(name)->click();
  }
  // Without them the run goes on.
  ScopedPrompts prompts;
  prompts->fileAnswers.enqueue({out});
  b("btnOutData")->click();
  ExpectOnlyMessage(*prompts, "information", "提示", "数据转换完成");
  EXPECT_TRUE(QFile::exists(out + "/TEST_Res2dinv_F1.dat"));
}

// Whatever the input, survey type and output, an option shown stays where
// it was, and the input box keeps its height.
TEST_F(ExportPage, OptionRowsKeepTheirPlacesWhateverIsChosen) {
  page->resize(1100, 700);
  page->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(page.get()));
  QWidget* input = w<QWidget>("groupBox_4");
  QList<QWidget*> options = w<QWidget>("grpOutPrmSip")->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
  options += input->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
  std::map<QString, int> first_y;
  int input_height = -1;
  for (const char* in : {"rdInputSrs", "rdInputTs"})
    for (const char* kind : {"rdCheckErr", "rdMidGradient", "rd2DSounding", "rd3DSounding"})
      for (const char* output : {"rdOutSection", "rdInvData"}) {
        const std::string what = std::string(in) + " " + kind + " " + output;
        b("rd2DSounding")->click();
        b(output)->click();
        b(in)->click();
        b(kind)->click();
        QApplication::processEvents();
        if (input_height < 0) input_height = input->height();
        EXPECT_EQ(input->height(), input_height) << what;
        for (QWidget* o : options) {
          if (!o->isVisible()) continue;
          const int y = o->mapTo(page.get(), QPoint(0, 0)).y();
          const auto seen = first_y.emplace(o->objectName(), y).first;
          EXPECT_EQ(y, seen->second) << o->objectName().toStdString() << " in " << what;
        }
      }
  EXPECT_GT(first_y.size(), size_t(40));
  // The time-series folder is on the line of the input choice.
  const QRect dir = w<QWidget>("edtDirSmt")->geometry(), choice = w<QWidget>("rdInputTs")->geometry();
  EXPECT_LT(std::abs(dir.center().y() - choice.center().y()), choice.height() / 2);
}

// The page gets about 1050 px of a 1366 px wide window: every option, shown
// or keeping its place, fits that width in both languages.
TEST(ExportPageWidth, OptionsFitALaptopWindowInBothLanguages) {
  for (const char* locale : {"zh_CN", "en_US"}) {
    QTranslator translator;
    const bool english = installTranslation(*qApp, translator, locale);
    {
      QStringList files;
      CWdtOutput page(&files);
      page.resize(1050, 680);
      page.show();
      ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
      auto* scroll = page.findChild<QScrollArea*>("scrollOptions");
      ASSERT_NE(scroll, nullptr);
      for (const char* kind : {"rdCheckErr", "rdMidGradient", "rd2DSounding", "rd3DSounding"})
        for (const char* output : {"rdOutSection", "rdInvData"}) {
          page.findChild<QAbstractButton*>("rd2DSounding")->click();
          page.findChild<QAbstractButton*>(output)->click();
          page.findChild<QAbstractButton*>(kind)->click();
          QApplication::processEvents();
          EXPECT_LE(scroll->widget()->minimumSizeHint().width(), scroll->viewport()->width())
              << locale << " " << kind << " " << output;
        }
    }
    if (english) QApplication::removeTranslator(&translator);
  }
}

TEST_F(ExportPage, RunsThatEndWithAMessageAndNoFile) {
  QTemporaryDir out;
  ScopedPrompts prompts;
  b("btnOutData")->click();
  ASSERT_EQ(prompts->messages.size(), 1);
  EXPECT_EQ(prompts->messages[0].title, "文件警告");
  EXPECT_EQ(prompts->messages[0].text, "没有找到符合要求的SRS数据文件!");

  setFiles({kIn + "/pole4/L101_01.SRS", kIn + "/pole4/L101_02.SRS", kIn + "/pole3/L101_01.SRS"});
  b("btnOutData")->click();
  ASSERT_EQ(prompts->messages.size(), 2);
  EXPECT_EQ(prompts->messages[1].text, "第3个SRS数据文件装置错误!\n" + kIn + "/pole3/L101_01.SRS");
  EXPECT_TRUE(prompts->dialogs.isEmpty());

  setFiles({kIn + "/pole4/L101_01.SRS"});
  prompts->fileAnswers.enqueue({});  // the directory dialog cancelled
  b("btnOutData")->click();
  EXPECT_EQ(prompts->messages.size(), 2);
  EXPECT_EQ(prompts->dialogs.size(), 1);
  EXPECT_TRUE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(ExportPage, PassRateRun) {
  QTemporaryDir out;
  ScopedPrompts prompts;
  b("btnOutPassRate")->click();
  ASSERT_EQ(prompts->messages.size(), 1);
  EXPECT_EQ(prompts->messages[0].text, "没有找到符合要求的SRS数据文件!");

  setFiles({kIn + "/pole4/L101_01.SRS", kIn + "/pole4/L101_02.SRS"});
  w<QLineEdit>("edtOutFileName")->clear();
  b("btnOutPassRate")->click();
  ASSERT_EQ(prompts->messages.size(), 2);
  EXPECT_EQ(prompts->messages[1].text, "导出的文件名为空!");

  w<QLineEdit>("edtOutFileName")->setText("QC");
  prompts->fileAnswers.enqueue({out.path()});
  b("btnOutPassRate")->click();
  ASSERT_EQ(prompts->messages.size(), 3);
  EXPECT_EQ(prompts->messages[2].kind, "information");
  EXPECT_EQ(prompts->messages[2].text, "数据导出完成");
  const QByteArray table = Slurp(out.filePath("QC_passRate.txt"));
  EXPECT_TRUE(table.startsWith("file_name "));
  EXPECT_TRUE(table.contains((kIn + "/pole4/L101_02.SRS").toUtf8()));
  EXPECT_TRUE(table.contains("pos_m(x)"));
}

// The page with the English texts and the inversion options shown. With
// VARNEX_SCREENSHOT_EXPORT set to a file name the picture is saved there.
TEST(ExportPicture, EnglishPageShowsItsTextsUnclipped) {
  QTranslator translator;
  ASSERT_TRUE(installTranslation(*qApp, translator, "en_US"));
  const QFont app_font = QApplication::font();
  QFont font = app_font;
  font.setPointSize(9);
  QApplication::setFont(font);
  {
    QStringList files = {kIn + "/pole4/L101_01.SRS"};
    CWdtOutput page(&files);
    page.refreshFileList();
    page.findChild<QAbstractButton*>("rdInvData")->click();
    page.show();
    QApplication::processEvents();
    EXPECT_EQ(page.findChild<QPushButton*>("btnOutData")->text(), "Output data");
    EXPECT_EQ(page.findChild<QAbstractButton*>("chkExportOhm")->text(), "Also write pyGIMLi/BERT format (.ohm)");
    for (QAbstractButton* btn : page.findChildren<QAbstractButton*>()) {
      if (btn->isHidden()) continue;
      EXPECT_GE(btn->width(), btn->sizeHint().width() - 2) << btn->objectName().toStdString();
    }
    const QPixmap picture = page.grab();
    const QString out = QString::fromLocal8Bit(qgetenv("VARNEX_SCREENSHOT_EXPORT"));
    if (!out.isEmpty()) {
      EXPECT_TRUE(picture.save(out, "PNG"));
    }
  }
  QApplication::setFont(app_font);
  QApplication::removeTranslator(&translator);
}

}  // namespace
