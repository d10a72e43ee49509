#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

#include <memory>

#include "core/processing/spm.h"
#include "core/sip/format_srs.h"
#include "gui/main/app_init.h"
#include "gui/params/model_sip_dev_lay.h"
#include "gui/params/table_dev_pole_model.h"
#include "gui/params/table_pole_model.h"
#include "gui/params/wdt_param_srs.h"
#include "model_check.h"
#include "scripted_prompts.h"

namespace {

const QColor kDarkRed(176, 23, 31);

QString u8(const char* s) { return QString::fromUtf8(s); }
std::string path8(const QString& p) { return p.toUtf8().toStdString(); }

// varnex-gen-survey DIR --seed 4 --no-smt [extra]. Odd files (L101_01, ...)
// use the current station CS01 as their second device, even ones a
// hand-entered current; four receivers ST01..ST04 (ST04 repeats the sites of
// ST02), MN 20 m from 0 m.
bool generate(const QString& dir, const QStringList& extra) {
  QProcess gen;
  gen.start(GEN_SURVEY_EXE, QStringList{dir, "--seed", "4", "--no-smt"} + extra);
  if (!gen.waitForFinished(120000)) return false;
  return gen.exitStatus() == QProcess::NormalExit && gen.exitCode() == 0;
}

QByteArray contents(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return QByteArray();
  return f.readAll();
}

CFormatSRS readSrs(const QString& path) {
  CFormatSRS srs;
  EXPECT_TRUE(srs.Read(path8(path))) << path.toStdString();
  return srs;
}

template <typename Edit>
void rewrite(const QString& path, Edit edit) {
  CFormatSRS srs = readSrs(path);
  edit(srs);
  ASSERT_TRUE(srs.Write(path8(path)));
}

class ParamPage : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(m_tmp.isValid());
    CWdtParamSrs::forgetSpmFolders();
    page = std::make_unique<CWdtParamSrs>();
    page->resize(1280, 800);
    page->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(page.get()));
  }

  QString survey(const QString& name, const QStringList& extra) {
    const QString dir = m_tmp.filePath(name);
    EXPECT_TRUE(generate(dir, extra));
    return dir;
  }

  template <typename T>
  T* w(const char* name) {
    T* c = page->findChild<T*>(name);
    EXPECT_NE(c, nullptr) << name;
    return c;
  }

  void type(const char* edit, const QString& text) {
    QLineEdit* e = w<QLineEdit>(edit);
    e->selectAll();
    QTest::keyClicks(e, text);
    EXPECT_EQ(e->text(), text);
  }

  void click(const char* button) { QTest::mouseClick(w<QPushButton>(button), Qt::LeftButton); }

  QString modelText(QAbstractItemModel* m, int row, int col) { return m->index(row, col).data().toString(); }

  ScopedPrompts prompts;
  std::unique_ptr<CWdtParamSrs> page;

  QTemporaryDir m_tmp;
};

TEST_F(ParamPage, StartsEmptyWithTheSpecifiedChoices) {
  EXPECT_FALSE(page->isFileLoaded());
  for (const char* b : {"btnSaveChange", "btnOutputResToTxt", "btnImportPrm", "btnOutputPrm", "btnSaveChangeAll",
                        "btnSaveChangeThis"})
    EXPECT_FALSE(w<QPushButton>(b)->isEnabled()) << b;
  EXPECT_TRUE(w<QPushButton>("btnOutputResToTxt")->isHidden());
  for (const char* c : {"cmbSigType", "cmbSigBaseFreq", "cmbCurrStationName"})
    EXPECT_FALSE(w<QComboBox>(c)->isEnabled()) << c;
  EXPECT_FALSE(w<QLineEdit>("edtFileName")->isEnabled());
  EXPECT_FALSE(w<QRadioButton>("rdCurrStationName")->isEnabled());
  EXPECT_FALSE(w<QRadioButton>("rdCurrValue")->isEnabled());
  EXPECT_EQ(w<QComboBox>("cmbSigBaseFreq")->count(), 16);
  EXPECT_EQ(w<QComboBox>("cmbSigBaseFreq")->currentText(), "1/16");
  EXPECT_EQ(w<QComboBox>("cmbCurrResist")->currentText(), "25mV/A");
  EXPECT_EQ(w<QComboBox>("cmbSigType")->currentText(), u8("五阶扩频波"));
  EXPECT_EQ(w<QComboBox>("cmbSipLayout")->count(), 4);
  EXPECT_EQ(w<QComboBox>("cmbSipLayout")->itemText(3), u8("任意装置"));
  EXPECT_EQ(page->devLayModel()->rowCount(), 0);
  EXPECT_EQ(page->devLayModel()->headerData(6, Qt::Horizontal).toString(), u8("A点垂距"));
  EXPECT_EQ(page->devPoleModel()->headerData(2, Qt::Horizontal).toString(), u8("M电极"));
  EXPECT_EQ(page->poleModel()->headerData(0, Qt::Horizontal).toString(), u8("电极"));
}

// Every layout: what shows, what is enabled, and the model passes the tester
// while files of each layout are shown.
TEST_F(ParamPage, LayoutDecidesWhatShows) {
  struct Case {
    const char* layout;
    int index;
  };
  const Case cases[] = {{"mid", 0}, {"pole3", 1}, {"pole4", 2}, {"free", 3}};
  for (const Case& c : cases) survey(c.layout, {"--files", "2", "--layout", c.layout});
  for (QAbstractItemModel* model : {static_cast<QAbstractItemModel*>(page->devLayModel()),
                                    static_cast<QAbstractItemModel*>(page->devPoleModel()),
                                    static_cast<QAbstractItemModel*>(page->poleModel())}) {
  ModelCheck check(model);
  for (const Case& c : cases) {
    page->setCurrentFile(m_tmp.filePath(c.layout) + "/L101_02.SRS");
    ASSERT_TRUE(page->isFileLoaded()) << c.layout;
    const bool free = c.index == 3, pole3 = c.index == 1;
    EXPECT_EQ(w<QComboBox>("cmbSipLayout")->currentIndex(), c.index);
    EXPECT_EQ(w<QLabel>("lbLineName")->text(), free ? u8("区块号:") : u8("测线:")) << c.layout;
    for (const char* name : {"label_11", "edtMN", "label_12", "edtPosFirstPole", "label_13", "edtDistLine2AB", "tbDevLay"})
      EXPECT_EQ(page->findChild<QWidget*>(name)->isHidden(), free) << c.layout << " " << name;
    for (const char* name : {"lbAy", "edtPosAy", "lbDevChannel", "tbDevChannelLay", "lbChannelPole", "tbDevPolePointLay"})
      EXPECT_EQ(page->findChild<QWidget*>(name)->isHidden(), !free) << c.layout << " " << name;
    EXPECT_EQ(w<QLineEdit>("edtPosBy")->isHidden(), !(free || pole3)) << c.layout;
    EXPECT_EQ(w<QCheckBox>("cb_posB")->isHidden(), !pole3) << c.layout;
    if (free) {
      EXPECT_TRUE(w<QCheckBox>("cb_posB")->isChecked());
    }
    if (pole3) {
      // The switch keeps its state across files: a free-layout file ticks it.
      if (w<QCheckBox>("cb_posB")->isChecked()) QTest::mouseClick(w<QCheckBox>("cb_posB"), Qt::LeftButton);
      EXPECT_FALSE(w<QLineEdit>("edtPosBx")->isEnabled());
      EXPECT_FALSE(w<QLineEdit>("edtPosBy")->isEnabled());
      QTest::mouseClick(w<QCheckBox>("cb_posB"), Qt::LeftButton);
      EXPECT_TRUE(w<QCheckBox>("cb_posB")->isChecked());
      EXPECT_TRUE(w<QLineEdit>("edtPosBx")->isEnabled());
      EXPECT_TRUE(w<QLineEdit>("edtPosBy")->isEnabled());
    } else {
      EXPECT_TRUE(w<QLineEdit>("edtPosBx")->isEnabled()) << c.layout;
    }
    if (free) {
      EXPECT_EQ(page->poleModel()->rowCount(), int(page->srs().m_vt_pole.size()));
      EXPECT_EQ(page->devPoleModel()->rowCount(), 6 * int(page->prmDevs().size()));
      EXPECT_EQ(modelText(page->devPoleModel(), 7, 1), "CH2");
      EXPECT_EQ(modelText(page->devPoleModel(), 7, 0), "ST02");
    } else {
      EXPECT_EQ(page->devLayModel()->rowCount(), 24);
    }
  }
  EXPECT_TRUE(ModelCheck::failures().isEmpty()) << ModelCheck::failures().join("\n").toStdString();
  }
  page->setCurrentFile(QString());
}

TEST_F(ParamPage, LineSettingsRecomputeTheElectrodePositions) {
  ModelCheck check(page->devLayModel());
  const QString dir = survey("line", {"--files", "2"});
  page->setCurrentFile(dir + "/L101_02.SRS");
  ASSERT_EQ(page->prmDevs()[0].site_no[3], 3);
  type("edtPosFirstPole", "5");
  type("edtMN", "10");
  EXPECT_EQ(page->prmDevs()[0].mx[3], 35.0f);
  EXPECT_EQ(page->prmDevs()[0].nx[3], 45.0f);
  EXPECT_EQ(page->devLayModel()->index(3, 4).data().toDouble(), 35.0);
  EXPECT_EQ(page->devLayModel()->index(3, 5).data().toDouble(), 45.0);
  EXPECT_EQ(page->devLayModel()->index(3, 3).data().toInt(), 4);
  type("edtDistLine2AB", "7.5");
  for (const PrmDev& d : page->prmDevs()) EXPECT_EQ(d.vd2ab, 7.5f);
  EXPECT_EQ(modelText(page->devLayModel(), 20, 6), "7.5");

  // Typing an electrode number: site 3 at MN 10 from 5 m.
  QAbstractItemModel* m = page->devLayModel();
  EXPECT_TRUE(m->setData(m->index(0, 3), 4));
  EXPECT_EQ(page->prmDevs()[0].site_no[0], 3);
  EXPECT_EQ(page->prmDevs()[0].mx[0], 35.0f);
  EXPECT_EQ(page->prmDevs()[0].nx[0], 45.0f);
  EXPECT_FALSE(m->setData(m->index(0, 3), 0)) << "electrode numbers start at 1";
  EXPECT_EQ(page->prmDevs()[0].site_no[0], 3);
  EXPECT_TRUE(ModelCheck::failures().isEmpty()) << ModelCheck::failures().join("\n").toStdString();
}

TEST_F(ParamPage, CurrentStationIsHiddenAndChoosesTheCurrentInput) {
  const QString dir = survey("cs", {"--files", "2"});
  page->setCurrentFile(dir + "/L101_01.SRS");
  ASSERT_EQ(page->prmDevs().size(), 5u);
  ASSERT_STREQ(page->prmDevs()[1].dev_name, "CS01");
  QAbstractItemModel* m = page->devLayModel();
  EXPECT_EQ(m->rowCount(), 24);
  for (int r = 0; r < m->rowCount(); ++r) EXPECT_NE(modelText(m, r, 0), "CS01") << r;
  EXPECT_EQ(modelText(m, 6, 0), "ST02");
  EXPECT_TRUE(w<QRadioButton>("rdCurrStationName")->isChecked());
  EXPECT_EQ(w<QComboBox>("cmbCurrStationName")->currentText(), "CS01");
  EXPECT_TRUE(w<QComboBox>("cmbCurrResist")->isEnabled());
  EXPECT_FALSE(w<QLineEdit>("edtCurrValue")->isEnabled());

  page->setCurrentFile(dir + "/L101_02.SRS");
  EXPECT_EQ(m->rowCount(), 24);
  EXPECT_TRUE(w<QRadioButton>("rdCurrValue")->isChecked());
  EXPECT_TRUE(w<QLineEdit>("edtCurrValue")->isEnabled());
  EXPECT_FALSE(w<QComboBox>("cmbCurrResist")->isEnabled());
  EXPECT_EQ(w<QLineEdit>("edtCurrValue")->text(), "5.5");
}

TEST_F(ParamPage, StoredValuesOutsideTheListsLeaveNoSelectionAndAreKept) {
  const QString dir = survey("lists", {"--files", "2"});
  const QString p = dir + "/L101_02.SRS";
  rewrite(p, [](CFormatSRS& s) { s.m_prm_meas.freq_base = 0.0625f; });
  page->setCurrentFile(p);
  EXPECT_EQ(w<QComboBox>("cmbSigBaseFreq")->currentText(), "1/16");

  rewrite(p, [](CFormatSRS& s) {
    s.m_prm_meas.freq_base = 0.3f;
    s.m_prm_meas.v2i = 0.3f;
    s.m_prm_meas.harm_num = 7;
  });
  page->setCurrentFile(p);
  EXPECT_EQ(w<QComboBox>("cmbSigBaseFreq")->currentIndex(), -1);
  EXPECT_EQ(w<QComboBox>("cmbCurrResist")->currentIndex(), -1);
  EXPECT_EQ(w<QComboBox>("cmbSigType")->currentIndex(), -1);
  EXPECT_EQ(w<QComboBox>("cmbCurrStationName")->currentIndex(), -1) << "no current station named";

  // Saving the untouched form keeps every record value and writes the file
  // byte for byte as it was.
  const QByteArray before = contents(p);
  prompts->questionAnswers.enqueue(true);
  click("btnSaveChange");
  ASSERT_EQ(prompts->messages.size(), 2);
  EXPECT_EQ(prompts->messages[1].kind, "information") << prompts->messages[1].text.toStdString();
  EXPECT_EQ(contents(p), before);
  EXPECT_EQ(page->prmMeas().freq_base, 0.3f);
  EXPECT_EQ(page->prmMeas().harm_num, 7);
}

TEST_F(ParamPage, DuplicateElectrodeNumbersAreDarkRedAndInvalidChannelsGrey) {
  ModelCheck check(page->devLayModel());
  const QString dir = survey("dup", {"--files", "2"});
  const QString p = dir + "/L101_02.SRS";
  rewrite(p, [](CFormatSRS& s) { s.m_vt_prm_dev[0].ch_type[5] = SIP_CH_INVALID; });
  page->setCurrentFile(p);
  QAbstractItemModel* m = page->devLayModel();
  // ST02 (rows 6..11) and ST04 (rows 18..23) share their sites; ST01 does not.
  for (int col = 3; col <= 5; ++col) {
    EXPECT_EQ(m->index(6, col).data(Qt::ForegroundRole).value<QColor>(), kDarkRed);
    EXPECT_EQ(m->index(18, col).data(Qt::ForegroundRole).value<QColor>(), kDarkRed);
    EXPECT_FALSE(m->index(0, col).data(Qt::ForegroundRole).isValid());
  }
  // ST01 channel 6 set to invalid: empty cells, only the type editable.
  EXPECT_EQ(modelText(m, 5, 2), u8("无效"));
  for (int col = 3; col <= 5; ++col) EXPECT_TRUE(modelText(m, 5, col).isEmpty());
  EXPECT_TRUE(m->flags(m->index(5, 2)) & Qt::ItemIsEditable);
  EXPECT_FALSE(m->flags(m->index(5, 6)) & Qt::ItemIsEditable);
  EXPECT_EQ(m->index(5, 6).data(Qt::BackgroundRole).value<QColor>(), QColor(240, 240, 240));
  EXPECT_FALSE(m->index(4, 6).data(Qt::BackgroundRole).isValid());
  EXPECT_EQ(m->index(4, 2).data(Qt::UserRole).toStringList(), (QStringList{u8("电道"), u8("电道"), u8("无效")}));
  // Back to electric through the editor's text.
  EXPECT_TRUE(m->setData(m->index(5, 2), u8("电道")));
  EXPECT_EQ(page->prmDevs()[0].ch_type[5], SIP_CH_ELECTRIC);
  EXPECT_TRUE(ModelCheck::failures().isEmpty()) << ModelCheck::failures().join("\n").toStdString();
}

// Free layout: a channel whose M coordinates match no electrode shows an
// empty M name and is saved with M = (0, 0); the other channels keep theirs.
TEST_F(ParamPage, FreeLayoutChannelWithoutElectrodeSavesOrigin) {
  ModelCheck check(page->devPoleModel());
  const QString dir = survey("free", {"--files", "2", "--layout", "free"});
  const QString p = dir + "/L101_02.SRS";
  rewrite(p, [](CFormatSRS& s) { s.m_vt_prm_dev[1].my[0] += 1.0f; });
  page->setCurrentFile(p);
  const CFormatSRS orig = readSrs(p);
  const PrmDev st02 = orig.m_vt_prm_dev[1];
  ASSERT_STREQ(st02.dev_name, "ST02");
  EXPECT_TRUE(modelText(page->devPoleModel(), 6, 2).isEmpty());
  EXPECT_FALSE(modelText(page->devPoleModel(), 6, 3).isEmpty());
  EXPECT_EQ(modelText(page->devPoleModel(), 7, 2), page->poleNameAt(st02.mx[1], st02.my[1]));

  prompts->questionAnswers.enqueue(true);
  click("btnSaveChangeThis");
  const CFormatSRS back = readSrs(p);
  EXPECT_EQ(back.m_vt_prm_dev[1].mx[0], 0.0f);
  EXPECT_EQ(back.m_vt_prm_dev[1].my[0], 0.0f);
  EXPECT_EQ(back.m_vt_prm_dev[1].nx[0], st02.nx[0]);
  EXPECT_EQ(back.m_vt_prm_dev[1].mx[1], st02.mx[1]);
  EXPECT_EQ(back.m_vt_prm_dev[1].my[1], st02.my[1]);
  EXPECT_EQ(back.m_vt_pole.size(), orig.m_vt_pole.size());
  EXPECT_TRUE(ModelCheck::failures().isEmpty()) << ModelCheck::failures().join("\n").toStdString();
}

TEST_F(ParamPage, SaveCurrentAsksKeepsTheOriginalAndNamesIt) {
  const QString dir = survey("save", {"--files", "2"});
  const QString p = dir + "/L101_02.SRS";
  const QByteArray before = contents(p);
  page->setCurrentFile(p);
  type("edtMN", "10");

  prompts->questionAnswers.enqueue(false);
  click("btnSaveChangeThis");
  ASSERT_EQ(prompts->messages.size(), 1);
  EXPECT_EQ(prompts->messages[0].text,
            u8("确认修改并覆盖文件“%1”？\n注意：在修改覆盖前，建议备份原始采集数据文件！").arg(p));
  EXPECT_EQ(contents(p), before);
  EXPECT_EQ(w<QLineEdit>("edtMN")->text(), "10") << "a No keeps the edits";

  prompts->questionAnswers.enqueue(true);
  click("btnSaveChange");
  ASSERT_EQ(prompts->messages.size(), 3);
  EXPECT_EQ(prompts->messages[2].kind, "information");
  EXPECT_EQ(prompts->messages[2].title, u8("提示"));
  EXPECT_EQ(prompts->messages[2].text,
            u8("文件“%1”已保存!").arg(p) + "\n" + u8("原始文件已备份为“%1”。").arg(p + ".orig"));
  EXPECT_EQ(contents(p + ".orig"), before);
  EXPECT_EQ(readSrs(p).m_prm_meas.mn, 10.0f);
  EXPECT_EQ(readSrs(p).m_res.GetChInfo(3).m_pos, 30.0f);

  // The second save names no backup and keeps the first original.
  type("edtMN", "15");
  prompts->questionAnswers.enqueue(true);
  click("btnSaveChangeThis");
  EXPECT_EQ(prompts->messages.last().text, u8("文件“%1”已保存!").arg(p));
  EXPECT_EQ(contents(p + ".orig"), before);
  EXPECT_EQ(readSrs(p).m_prm_meas.mn, 15.0f);
}

// The file was replaced by a folder after it was shown: the save fails with
// the warning, and nothing is left behind.
TEST_F(ParamPage, SaveFailureIsReported) {
  const QString dir = survey("fail", {"--files", "2"});
  const QString p = dir + "/L101_02.SRS";
  page->setCurrentFile(p);
  ASSERT_TRUE(QFile::remove(p));
  ASSERT_TRUE(QDir().mkdir(p));
  prompts->questionAnswers.enqueue(true);
  click("btnSaveChange");
  ASSERT_EQ(prompts->messages.size(), 2);
  EXPECT_EQ(prompts->messages.last().kind, "warning");
  EXPECT_EQ(prompts->messages.last().text, u8("文件“%1”保存失败!\n“%1”是文件夹").arg(p));
  EXPECT_TRUE(QFileInfo(p).isDir());
  EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden).filter(".vxtmp").size(), 0);
}

// Save all from L101_01: L101_03 takes the line settings, L101_05 (second
// device renamed) is named in the warning and left byte-identical, and
// L101_01 listed twice is written twice from memory.
TEST_F(ParamPage, SaveAllNamesTheFilesThatDoNotMatch) {
  const QString dir = survey("all", {"--files", "5"});
  const QString p1 = dir + "/L101_01.SRS", p3 = dir + "/L101_03.SRS", p5 = dir + "/L101_05.SRS";
  rewrite(p5, [](CFormatSRS& s) { SipSetStr(s.m_vt_prm_dev[1].dev_name, "CS09"); });
  const QByteArray before5 = contents(p5);
  page->setFileList({p1, p3, p5, p1});
  page->setCurrentFile(p1);
  type("edtMN", "10");
  prompts->questionAnswers.enqueue(true);
  click("btnSaveChangeAll");
  ASSERT_EQ(prompts->messages.size(), 2);
  EXPECT_EQ(prompts->messages[0].text, u8("确认修改并覆盖所有文件？\n注意：在修改覆盖前，建议备份原始采集数据文件！"));
  EXPECT_EQ(prompts->messages[1].kind, "warning");
  EXPECT_EQ(prompts->messages[1].text, u8("文件“L101_05”保存失败!") + "\n" + p5 + u8("：") +
                                           u8("第2个采集站的名称或通道数与编辑的文件不同") + "\n" +
                                           u8("原始文件已备份为“%1”。").arg(p1 + ".orig") + "\n" +
                                           u8("原始文件已备份为“%1”。").arg(p3 + ".orig"));
  EXPECT_EQ(contents(p5), before5);
  EXPECT_FALSE(QFile::exists(p5 + ".orig"));
  EXPECT_EQ(readSrs(p1).m_prm_meas.mn, 10.0f);
  EXPECT_EQ(readSrs(p3).m_prm_meas.mn, 10.0f);

  // Without the mismatched file: the information box.
  page->setFileList({p1, p3});
  prompts->questionAnswers.enqueue(true);
  click("btnSaveChangeAll");
  EXPECT_EQ(prompts->messages.last().kind, "information");
  EXPECT_EQ(prompts->messages.last().text, u8("所有文件已保存!"));
}

TEST_F(ParamPage, TextExportWritesTheResultTables) {
  const QString dir = survey("txt", {"--files", "2"});
  const QString p = dir + "/L101_02.SRS";
  page->setCurrentFile(p);
  w<QPushButton>("btnOutputResToTxt")->click();
  const QByteArray txt = contents(dir + "/L101_02_.txt");
  EXPECT_TRUE(txt.startsWith("\nresult for composed frequency\n")) << txt.left(80).toStdString();
  EXPECT_EQ(prompts->messages.last().text, u8("文件“%1”已导出到TXT文件中!").arg(p));
}

// SPM: export from a three-device file, complete import into another: the
// device and file names stay the displayed file's, the rest is the SPM's.
TEST_F(ParamPage, SpmExportAndCompleteImport) {
  const QString dir = survey("spm", {"--files", "4", "--devices", "3"});
  const QString p2 = dir + "/L101_02.SRS", p4 = dir + "/L101_04.SRS", spm = dir + "/out/p.SPM";
  QDir().mkpath(dir + "/out");
  page->setCurrentFile(p2);
  type("edtProjName", "moved");
  prompts->fileAnswers.enqueue({spm});
  click("btnOutputPrm");
  ASSERT_EQ(prompts->dialogs.size(), 1);
  EXPECT_EQ(prompts->dialogs[0].caption, "Save sip param");
  EXPECT_EQ(prompts->dialogs[0].dir, dir + "/L101_02.SPM") << "first export: the SRS path with .SPM";
  EXPECT_EQ(prompts->dialogs[0].filter, "SPM Files (*.SPM)");
  EXPECT_EQ(prompts->messages.last().text, u8("参数导出成功！"));
  ASSERT_TRUE(QFile::exists(spm));

  page->setCurrentFile(p4);
  const QByteArray before4 = contents(p4);
  prompts->questionAnswers.enqueue(false);  // complete import
  prompts->fileAnswers.enqueue({spm});
  click("btnImportPrm");
  ASSERT_EQ(prompts->dialogs.size(), 2);
  EXPECT_EQ(prompts->dialogs[1].caption, "Open sip param");
  EXPECT_EQ(prompts->messages[prompts->messages.size() - 2].text, u8("是否仅导入测线电极相关设置?"));
  EXPECT_EQ(prompts->messages[prompts->messages.size() - 2].title, u8("参数覆盖"));
  EXPECT_EQ(prompts->messages.last().text, u8("参数导入成功！"));
  EXPECT_EQ(w<QLineEdit>("edtProjName")->text(), "moved");
  EXPECT_EQ(w<QLineEdit>("edtFileName")->text(), "L101_04");
  EXPECT_EQ(w<QLineEdit>("edtPosAx")->text(), "-1100");
  EXPECT_EQ(w<QLineEdit>("edtCurrValue")->text(), "5.5");
  EXPECT_STREQ(page->prmDevs()[2].dev_name, "ST03");
  EXPECT_EQ(contents(p4), before4) << "an import changes the file only on saving";
  EXPECT_EQ(page->srs().m_prm_meas.ax, -1100.0f) << "applied to the held file";

  // Later exports propose the last export folder with the base name.
  prompts->fileAnswers.enqueue({});
  click("btnOutputPrm");
  EXPECT_EQ(prompts->dialogs.last().dir, dir + "/out/L101_04");
}

TEST_F(ParamPage, SpmOfAnotherStationCountChangesNothing) {
  const QString dir = survey("spm4", {"--files", "4", "--devices", "3"});
  const QString spm = dir + "/p.SPM";
  page->setCurrentFile(dir + "/L101_02.SRS");
  prompts->fileAnswers.enqueue({spm});
  click("btnOutputPrm");
  page->setCurrentFile(dir + "/L101_01.SRS");
  ASSERT_EQ(page->prmDevs().size(), 4u);
  const PrmMeas before = page->prmMeas();
  const std::vector<PrmDev> devs = page->prmDevs();
  for (bool lineOnly : {false, true}) {
    prompts->questionAnswers.enqueue(lineOnly);
    prompts->fileAnswers.enqueue({spm});
    click("btnImportPrm");
    EXPECT_EQ(prompts->messages.last().kind, "warning");
    EXPECT_EQ(prompts->messages.last().text, u8("参数导入失败！请检查采集站数量是否匹配！"));
    EXPECT_EQ(page->prmMeas().ax, before.ax);
    EXPECT_EQ(page->prmMeas().cur_value, before.cur_value);
    EXPECT_EQ(page->prmDevs()[3].mx[0], devs[3].mx[0]);
    EXPECT_EQ(w<QLineEdit>("edtPosAx")->text(), "-1000");
  }
}

// A version-1 SPM carries no electrode list: the page's list stays; a line
// import takes MN and the first electrode only.
TEST_F(ParamPage, SpmVersionOneKeepsTheElectrodeListAndLineImport) {
  const QString dir = survey("spm1", {"--files", "2", "--layout", "free"});
  page->setCurrentFile(dir + "/L101_02.SRS");
  const QString spm = dir + "/free.SPM";
  prompts->fileAnswers.enqueue({spm});
  click("btnOutputPrm");
  const std::vector<PrmPole> list = page->pageElectrodes();
  ASSERT_FALSE(list.empty());

  // Version 1: the same records without the list, MN 12.5.
  PrmMeas meas = page->prmMeas();
  meas.mn = 12.5f;
  meas.ax = 1.0f;
  {
    QFile f(dir + "/v1.SPM");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    FILE* fp = std::tmpfile();
    SpmWrite(fp, meas, page->prmDevs(), {});
    std::rewind(fp);
    QByteArray bytes;
    for (int c; (c = std::fgetc(fp)) != EOF;) bytes.append(char(c));
    std::fclose(fp);
    bytes[0] = 1;
    f.write(bytes.left(bytes.size() - 8));
  }
  page->setCurrentFile(dir + "/L101_02.SRS");
  prompts->questionAnswers.enqueue(true);  // line settings only
  prompts->fileAnswers.enqueue({dir + "/v1.SPM"});
  click("btnImportPrm");
  EXPECT_EQ(prompts->messages.last().text, u8("参数导入成功！"));
  ASSERT_EQ(page->pageElectrodes().size(), list.size());
  EXPECT_STREQ(page->pageElectrodes().back().name, list.back().name);
  EXPECT_EQ(page->prmMeas().mn, 12.5f);
  EXPECT_NE(page->prmMeas().ax, 1.0f) << "a line import keeps the transmitter";
  EXPECT_EQ(prompts->dialogs.last().dir, dir + "/L101_02.SPM") << "the import keeps its own folder";

  // Yes and then a cancelled dialog: the next file fills the whole form.
  prompts->questionAnswers.enqueue(true);
  prompts->fileAnswers.enqueue({});
  click("btnImportPrm");
  page->setCurrentFile(dir + "/L101_01.SRS");
  EXPECT_EQ(w<QLineEdit>("edtFileName")->text(), "L101_01");
}

TEST_F(ParamPage, UnreadableFileWarnsAndEmptiesThePage) {
  const QString dir = survey("bad", {"--files", "2"});
  page->setCurrentFile(dir + "/L101_02.SRS");
  ASSERT_TRUE(page->isFileLoaded());
  const QString bad = dir + "/site_coord.txt";
  page->setCurrentFile(bad);
  EXPECT_FALSE(page->isFileLoaded());
  ASSERT_FALSE(prompts->messages.isEmpty());
  // The message, then the reader's reason on a second line.
  EXPECT_EQ(prompts->messages.last().text.section('\n', 0, 0), u8("打开文件“%1”失败！").arg(bad));
  EXPECT_FALSE(prompts->messages.last().text.section('\n', 1).isEmpty());
  EXPECT_TRUE(w<QLineEdit>("edtMN")->text().isEmpty());
  EXPECT_EQ(page->devLayModel()->rowCount(), 0);
  EXPECT_FALSE(w<QPushButton>("btnSaveChange")->isEnabled());
  EXPECT_TRUE(page->poles().empty());
}

}  // namespace

namespace {

// The layout model on records of its own: rows, the current station, the
// electrode-number edit and the type names of the active language.
TEST(ModelSipDevLayTest, EditsTheRecordsInPlace) {
  std::vector<PrmDev> devs(2);
  SipSetStr(devs[0].dev_name, "ST01");
  SipSetStr(devs[1].dev_name, "CS01");
  for (PrmDev& d : devs) d.pos_valid = 1;
  ModelSipDevLay model(&devs);
  ModelCheck check(&model);
  model.setMN(10.0f);
  model.setFirstPos(0.0f);
  model.setCurStation(1);
  model.refresh();
  EXPECT_EQ(model.rowCount(), 6);
  EXPECT_EQ(model.index(5, 0).data().toString(), "ST01");
  EXPECT_EQ(model.rowCount(model.index(0, 0)), 0) << "a table has no children";

  QSignalSpy edited(&model, &ModelSipDevLay::dataEdited);
  EXPECT_TRUE(model.setData(model.index(2, 3), 4));
  EXPECT_EQ(devs[0].site_no[2], 3);
  EXPECT_EQ(devs[0].mx[2], 30.0f);
  EXPECT_EQ(devs[0].nx[2], 40.0f);
  devs[0].mx[2] = 31.0f;
  EXPECT_TRUE(model.setData(model.index(2, 3), 4)) << "the shown number changes nothing";
  EXPECT_EQ(devs[0].mx[2], 31.0f);
  EXPECT_EQ(edited.count(), 2);
  EXPECT_FALSE(model.setData(model.index(2, 0), "X"));
  EXPECT_FALSE(model.setData(model.index(2, 6), "wide"));
  EXPECT_TRUE(model.setData(model.index(2, 6), "2.5"));
  EXPECT_EQ(devs[0].vd2ab, 2.5f);

  model.setCurStation(-1);
  model.refresh();
  EXPECT_EQ(model.rowCount(), 12);

  QTranslator translator;
  ASSERT_TRUE(installTranslation(*qApp, translator, "en_US"));
  EXPECT_EQ(model.index(0, 2).data().toString(), "Electrical");
  EXPECT_TRUE(model.setData(model.index(0, 2), "invalid"));
  EXPECT_EQ(devs[0].ch_type[0], SIP_CH_INVALID);
  EXPECT_TRUE(model.setData(model.index(0, 2), "Electrical"));
  EXPECT_EQ(devs[0].ch_type[0], SIP_CH_ELECTRIC);
  EXPECT_TRUE(model.setData(model.index(0, 2), u8("电道")));
  EXPECT_EQ(devs[0].ch_type[0], SIP_CH_INVALID) << "the Chinese name is not the active language's";
  QApplication::removeTranslator(&translator);
  EXPECT_TRUE(model.setData(model.index(0, 2), u8("电道")));
  EXPECT_EQ(devs[0].ch_type[0], SIP_CH_ELECTRIC);
  EXPECT_TRUE(ModelCheck::failures().isEmpty()) << ModelCheck::failures().join("\n").toStdString();
}

}  // namespace

// Texts longer than a record holds are cut on a character boundary.
TEST_F(ParamPage, LongTextsAreCutOnACharacterBoundary) {
  const QString dir = survey("long", {"--files", "2"});
  const QString p = dir + "/L101_02.SRS";
  page->setCurrentFile(p);
  const QString name = QString(100, QChar(0x5DE5));  // 300 bytes of UTF-8
  w<QLineEdit>("edtProjName")->setText(name);
  prompts->questionAnswers.enqueue(true);
  click("btnSaveChange");
  const std::string stored = readSrs(p).m_prm_meas.prj_name;
  EXPECT_EQ(stored.size(), 252u);
  EXPECT_EQ(QString::fromUtf8(stored.c_str()), name.left(84));
}
