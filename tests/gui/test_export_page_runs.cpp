// Whole export and pass-rate runs of the export page on generated surveys,
// driven through its widgets and scripted dialogs, against what varnex-cli
// writes with the same settings; the Cancel of the progress dialog.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QDirIterator>
#include <QRegularExpression>
#include <QFile>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/export/wdt_output.h"
#include "expect_message.h"
#include "scripted_prompts.h"

namespace {

QByteArray Slurp(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString Quoted(const QString& s) { return "'" + s + "'"; }

bool Shell(const QString& cmd) { return std::system((cmd + " >/dev/null 2>&1").toUtf8().constData()) == 0; }

int RunCli(const QString& args) {
  const int status = std::system((Quoted(CLI_EXE) + " " + args + " >/dev/null 2>&1").toUtf8().constData());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Files under dir with their paths inside it, sorted; hidden temporaries
// are listed too, so that one left behind is seen.
QStringList Files(const QString& dir) {
  QStringList l;
  QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) l << QDir(dir).relativeFilePath(it.next());
  l.sort();
  return l;
}

class ExportPageRuns : public ::testing::Test {
public:
  static void SetUpTestSuite() {
    s_dir = new QTemporaryDir;
    const QString gen = Quoted(GEN_SURVEY_EXE);
    ASSERT_TRUE(Shell(gen + " " + Quoted(s_dir->filePath("p4")) +
                    " --seed 4 --files 3 --devices 2 --cals 3 --wave square --layout pole4"));
    ASSERT_TRUE(Shell(gen + " " + Quoted(s_dir->filePath("mid")) + " --seed 6 --files 2 --devices 2 --layout mid --no-smt"));
    ASSERT_TRUE(Shell(gen + " " + Quoted(s_dir->filePath("free")) + " --seed 5 --files 2 --devices 2 --layout free --no-smt"));
    ASSERT_TRUE(Shell(gen + " " + Quoted(s_dir->filePath("many")) + " --seed 8 --files 4 --devices 2 --layout pole4 --no-smt"));
  }
  static void TearDownTestSuite() {
    delete s_dir;
    s_dir = nullptr;
  }

  // Shown, so that hidden options cannot be clicked, as for a user.
  void SetUp() override { newPage(); }
  void newPage() {
    page = std::make_unique<CWdtOutput>(&files);
    page->show();
  }

  static QString survey(const QString& name) { return s_dir->filePath(name); }
  static QStringList srs(const QString& name) {
    QStringList l;
    for (const QString& f : QDir(survey(name)).entryList({"*.SRS"}, QDir::Files, QDir::Name))
      l << survey(name) + "/" + f;
    return l;
  }
  template <typename T>
  T* w(const char* name) {
    T* p = page->findChild<T*>(name);
    EXPECT_NE(p, nullptr) << name;
    return p;
  }
  // Radio buttons and check boxes take a click on their indicator or text
  // only, not anywhere in the cell the layout gives them.
  void click(const char* name) {
    QAbstractButton* b = w<QAbstractButton>(name);
    const bool push = qobject_cast<QPushButton*>(b) != nullptr;
    QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, push ? QPoint() : QPoint(6, b->height() / 2));
  }
  void type(const char* name, const QString& text) {
    QLineEdit* e = w<QLineEdit>(name);
    e->selectAll();
    QTest::keyClicks(e, text);
  }
  void setFiles(const QStringList& l) {
    files = l;
    page->refreshFileList();
  }
  // Chooses a side table through its button and the scripted file dialog.
  void import(ScopedPrompts& prompts, const char* button, const QString& path) {
    prompts->fileAnswers.enqueue({path});
    click(button);
  }

  static QTemporaryDir* s_dir;
  QStringList files;
  std::unique_ptr<CWdtOutput> page;
};

QTemporaryDir* ExportPageRuns::s_dir = nullptr;

TEST_F(ExportPageRuns, EveryOutputWritesWhatTheCommandLineWrites) {
  struct Case {
    const char* name;
    QString survey;
    // Widgets set by the user, with the scripted answers their dialogs need.
    std::function<void(ExportPageRuns&, ScopedPrompts&)> choose;
    QString cli;  // options besides the files and --out
  };
  const QString p4 = survey("p4"), mid = survey("mid"), free = survey("free");
  const std::vector<Case> cases = {
      {"section, as the page starts", "p4", [](ExportPageRuns&, ScopedPrompts&) {}, "--format section"},
      {"Res2dinv, combined, elevation", "p4",
       [&](ExportPageRuns& t, ScopedPrompts& p) {
         t.click("rdInvData");
         t.import(p, "btnImportFileElev", p4 + "/elevation.txt");
       },
       "--format res2dinv --elev " + Quoted(p4 + "/elevation.txt")},
      {"Res2dinv, phase, resistance, no system error, x shift, spacing", "p4",
       [](ExportPageRuns& t, ScopedPrompts&) {
         t.click("rdInvData");
         t.click("rdPoleCmpNo");
         t.click("rdOutSipPrmPh");
         t.click("rdInvAppResistance");
         t.click("chkAddSystemErr");
         t.click("chkXCoordMove");
         t.type("edtXCoordMoveValue", "5");
         t.type("edtMinDist", "5");
       },
       "--format res2dinv --no-combine --ip phase --resistance --no-sys-err --x-shift 5 --unit-spacing 5"},
      {"Res2dinv, frequency effect, other system errors and shift", "p4",
       [](ExportPageRuns& t, ScopedPrompts&) {
         t.click("rdInvData");
         t.click("rdOutSipPrmFs");
         t.type("edtShiftPercent", "3");
         t.type("edtSystemErrAppPer", "4");
         t.type("edtSystemErrCp", "1.5");
       },
       "--format res2dinv --ip fs --shift-percent 3 --sys-err-app 4 --sys-err-cp 1.5"},
      {"Res2dinv from the time series", "p4",
       [&](ExportPageRuns& t, ScopedPrompts& p) {
         t.click("rdInputTs");
         p->fileAnswers.enqueue({p4 + "/smt"});
         t.click("btnSelDirSmt");
         t.click("rdInvData");
       },
       "--format res2dinv --from-smt " + Quoted(p4 + "/smt")},
      {"typed limits", "p4",
       [](ExportPageRuns& t, ScopedPrompts&) {
         t.click("rdInvData");
         t.type("edtMaxErrApp", "7.5");
         t.type("edtMaxErrCp", "4");
       },
       "--format res2dinv"},
      {"Res2dinv and the unified data format", "p4",
       [](ExportPageRuns& t, ScopedPrompts&) {
         t.click("rdInvData");
         t.click("chkExportOhm");
       },
       "--format res2dinv"},
      {"Res2dinv with the multi-frequency formats", "p4",
       [&](ExportPageRuns& t, ScopedPrompts& p) {
         t.click("rdInvData");
         t.import(p, "btnImportFileElev", p4 + "/elevation.txt");
         t.click("chkExportFdip");
         t.click("chkExportCrtomo");
         t.click("chkExportProtocol");
       },
       "--format res2dinv --elev " + Quoted(p4 + "/elevation.txt")},
      {"Res2dinv, frequency effect, no combination, CRTomo beside it", "p4",
       [](ExportPageRuns& t, ScopedPrompts&) {
         t.click("rdInvData");
         t.click("rdPoleCmpNo");
         t.click("rdOutSipPrmFs");
         t.click("chkExportCrtomo");
       },
       "--format res2dinv --no-combine --ip fs"},
      {"Res3dinv of the free layout, the unified and multi-frequency formats", "free",
       [&](ExportPageRuns& t, ScopedPrompts& p) {
         t.click("rd3DSounding");
         t.click("rdInvData");
         t.import(p, "btnImportFileShifting", free + "/shift.txt");
         t.import(p, "btnImportFileElev", free + "/elevation.txt");
         t.click("chkExportOhm");
         t.click("chkExportFdip");
         t.click("chkExportProtocol");
       },
       "--format res3dinv --shifts " + Quoted(free + "/shift.txt") + " --elev " + Quoted(free + "/elevation.txt")},
      {"3-D section, three poles", "p4",
       [](ExportPageRuns& t, ScopedPrompts&) {
         t.click("rd3DSounding");
         t.click("rdType3");
       },
       "--format section3d --poles 3"},
      {"Res3dinv of the free layout, shifts and elevation", "free",
       [&](ExportPageRuns& t, ScopedPrompts& p) {
         t.click("rd3DSounding");
         t.click("rdInvData");
         t.import(p, "btnImportFileShifting", free + "/shift.txt");
         t.import(p, "btnImportFileElev", free + "/elevation.txt");
       },
       "--format res3dinv --shifts " + Quoted(free + "/shift.txt") + " --elev " + Quoted(free + "/elevation.txt")},
      {"mid-gradient plane with site coordinates", "mid",
       [&](ExportPageRuns& t, ScopedPrompts& p) {
         t.click("rdMidGradient");
         t.import(p, "btnImportFileCoord", mid + "/site_coord.txt");
       },
       "--format plane --coords " + Quoted(mid + "/site_coord.txt")},
      {"check points", "p4", [](ExportPageRuns& t, ScopedPrompts&) { t.click("rdCheckErr"); }, "--format checkerr"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    newPage();
    setFiles(srs(c.survey));
    QTemporaryDir out;
    ScopedPrompts prompts;
    c.choose(*this, prompts);
    ASSERT_TRUE(prompts->messages.isEmpty());
    prompts->fileAnswers.enqueue({out.filePath("page")});
    ASSERT_TRUE(QDir().mkpath(out.filePath("page")));
    click("btnOutData");
    ASSERT_FALSE(prompts->messages.isEmpty());
    EXPECT_EQ(prompts->messages.last().kind, "information");
    EXPECT_EQ(prompts->messages.last().title, "提示");
    EXPECT_EQ(prompts->messages.last().text, "数据转换完成");
    EXPECT_EQ(prompts->dialogs.last().caption, "保存目录选择");
    EXPECT_EQ(w<QLineEdit>("edtOutFileName")->text(), "TEST");

    // The page shows and reads its limit edits; the command line gets them
    // as the page shows them.
    const QString limits = QString(" --max-err-app %1 --max-err-cp %2")
                               .arg(w<QLineEdit>("edtMaxErrApp")->text(), w<QLineEdit>("edtMaxErrCp")->text());
    QString cli = "export " + Quoted(srs(c.survey).join("' '")) + " " + c.cli + limits + " --out " +
                  Quoted(out.filePath("cli/TEST"));
    ASSERT_TRUE(QDir().mkpath(out.filePath("cli")));
    ASSERT_EQ(RunCli(cli), 0) << cli.toStdString();
    // What the page writes beside the inversion files, the command line
    // writes as formats of their own.
    const std::pair<const char*, const char*> beside[] = {
        {"chkExportOhm", "ohm"}, {"chkExportFdip", "fdip"}, {"chkExportCrtomo", "crtomo"}, {"chkExportProtocol", "protocol"}};
    for (const auto& [box, format] : beside) {
      if (!w<QCheckBox>(box)->isChecked()) continue;
      QString side = cli;
      side.replace(QRegularExpression("--format \\S+"), QString("--format ") + format);
      ASSERT_EQ(RunCli(side), 0) << side.toStdString();
    }
    const QStringList want = Files(out.filePath("cli"));
    ASSERT_FALSE(want.isEmpty());
    EXPECT_EQ(Files(out.filePath("page")), want);
    for (const QString& f : want)
      EXPECT_TRUE(Slurp(out.filePath("page/" + f)) == Slurp(out.filePath("cli/" + f))) << f.toStdString();
  }
}

TEST_F(ExportPageRuns, ATypedLimitReachesTheWrittenHeader) {
  setFiles(srs("p4"));
  QTemporaryDir out;
  ScopedPrompts prompts;
  click("rdInvData");
  type("edtMaxErrApp", "12.5");
  type("edtMaxErrCp", "20");
  prompts->fileAnswers.enqueue({out.path()});
  click("btnOutData");
  const QByteArray f = Slurp(out.filePath("TEST_Res2dinv_F1.dat"));
  EXPECT_TRUE(f.contains("(Limit: AppErr=12.50%, CpErr=20.00mard,")) << f.left(600).toStdString();
}

TEST_F(ExportPageRuns, MissingTimeSeriesAreListedBeforeTheCompletion) {
  QTemporaryDir tmp;
  ASSERT_TRUE(Shell("cp -r " + Quoted(survey("p4")) + " " + Quoted(tmp.filePath("s"))));
  const QString gone = tmp.filePath("s/smt/ST02/L101_03.smt");
  ASSERT_TRUE(QFile::remove(gone));
  setFiles(srs("p4"));
  ScopedPrompts prompts;
  click("rdInputTs");
  prompts->fileAnswers.enqueue({tmp.filePath("s/smt")});
  click("btnSelDirSmt");
  EXPECT_EQ(w<QLineEdit>("edtDirSmt")->text(), tmp.filePath("s/smt"));
  EXPECT_EQ(prompts->dialogs.last().caption, "选择SMT目录");
  EXPECT_EQ(prompts->dialogs.last().dir, survey("p4"));
  prompts->fileAnswers.enqueue({tmp.path()});
  click("btnOutData");
  ASSERT_EQ(prompts->messages.size(), 2);
  EXPECT_EQ(prompts->messages[0].kind, "information");
  EXPECT_EQ(prompts->messages[0].title, "警告");
  EXPECT_EQ(prompts->messages[0].text, "以下1个时序文件缺失或无数据:\n" + gone);
  EXPECT_EQ(prompts->messages[1].text, "数据转换完成");
  EXPECT_TRUE(QFile::exists(tmp.filePath("TEST_sect.dat")));

  // A cancelled directory dialog stores the empty directory.
  prompts->fileAnswers.enqueue({});
  click("btnSelDirSmt");
  EXPECT_TRUE(w<QLineEdit>("edtDirSmt")->text().isEmpty());
}

TEST_F(ExportPageRuns, CancelKeepsTheGroupsWrittenBefore) {
  // Every file of a 3-D sounding is a group of its own: four groups.
  const QStringList all = srs("many");
  ASSERT_EQ(all.size(), 4);
  setFiles(all);
  page->setProgressDelay(0);
  QTemporaryDir out;
  ScopedPrompts prompts;
  click("rd3DSounding");
  prompts->fileAnswers.enqueue({out.filePath("page")});
  ASSERT_TRUE(QDir().mkpath(out.filePath("page")));
  // The dialog shows itself on the second group and takes events from the
  // third on: the press on Cancel is seen before the third group.
  QString label;
  QTimer::singleShot(0, page.get(), [&]() {
    QProgressDialog* dlg = page->findChild<QProgressDialog*>();
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(dlg->isVisible());
    label = dlg->labelText();
    QPushButton* cancel = dlg->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    QTest::mouseClick(cancel, Qt::LeftButton);
  });
  click("btnOutData");
  EXPECT_EQ(label, "L101_03.SRS");
  ASSERT_EQ(prompts->messages.size(), 1);
  EXPECT_EQ(prompts->messages[0].kind, "information");
  EXPECT_EQ(prompts->messages[0].title, "提示");
  EXPECT_EQ(prompts->messages[0].text, "导出已取消，文件中为取消前导出的数据。");
  EXPECT_EQ(page->findChild<QProgressDialog*>(), nullptr);

  // What stays is a complete export of the first two files.
  ASSERT_TRUE(QDir().mkpath(out.filePath("cli")));
  ASSERT_EQ(RunCli("export " + Quoted(all[0]) + " " + Quoted(all[1]) +
                   " --format section3d --max-err-app 100 --max-err-cp 3141.59 --out " + Quoted(out.filePath("cli/TEST"))),
            0);
  EXPECT_EQ(Files(out.filePath("page")), QStringList{"TEST_sect.dat"});
  EXPECT_TRUE(Slurp(out.filePath("page/TEST_sect.dat")) == Slurp(out.filePath("cli/TEST_sect.dat")));
}

TEST_F(ExportPageRuns, CancelOfThePassRateKeepsTheFilesWalked) {
  const QStringList all = srs("many");
  setFiles(all);
  page->setProgressDelay(0);
  QTemporaryDir out;
  ScopedPrompts prompts;
  prompts->fileAnswers.enqueue({out.filePath("page")});
  ASSERT_TRUE(QDir().mkpath(out.filePath("page")));
  QTimer::singleShot(0, page.get(), [&]() {
    QProgressDialog* dlg = page->findChild<QProgressDialog*>();
    ASSERT_NE(dlg, nullptr);
    QTest::mouseClick(dlg->findChild<QPushButton*>(), Qt::LeftButton);
  });
  click("btnOutPassRate");
  ASSERT_EQ(prompts->messages.size(), 1);
  EXPECT_EQ(prompts->messages[0].text, "导出已取消，文件中为取消前导出的数据。");
  ASSERT_TRUE(QDir().mkpath(out.filePath("cli")));
  ASSERT_EQ(RunCli("passrate " + Quoted(all[0]) + " " + Quoted(all[1]) +
                   " --max-err-app 100 --max-err-cp 3141.59 --out " + Quoted(out.filePath("cli/TEST"))),
            0);
  EXPECT_EQ(Files(out.filePath("page")), QStringList{"TEST_passRate.txt"});
  EXPECT_TRUE(Slurp(out.filePath("page/TEST_passRate.txt")) == Slurp(out.filePath("cli/TEST_passRate.txt")));
}

TEST_F(ExportPageRuns, ALayoutMismatchStopsTheExportAndThePassRateWalk) {
  setFiles(srs("p4") + srs("mid"));
  QTemporaryDir out;
  ScopedPrompts prompts;
  click("rdInvData");
  prompts->fileAnswers.enqueue({out.filePath("page")});
  ASSERT_TRUE(QDir().mkpath(out.filePath("page")));
  click("btnOutData");
  const QString mismatch = "第4个SRS数据文件装置错误!\n" + srs("mid")[0];
  ExpectOnlyMessage(*prompts, "warning", "文件警告", mismatch);
  EXPECT_TRUE(prompts->dialogs.isEmpty());
  EXPECT_TRUE(Files(out.filePath("page")).isEmpty());

  // The pass-rate walk stops there too; its table keeps the lines before
  // the mismatch and their summary, as the command line writes them.
  click("btnOutPassRate");
  ASSERT_EQ(prompts->messages.size(), 2);
  EXPECT_EQ(prompts->messages[1].kind, "warning");
  EXPECT_EQ(prompts->messages[1].text, mismatch);
  ASSERT_TRUE(QDir().mkpath(out.filePath("cli")));
  EXPECT_EQ(RunCli("passrate " + Quoted((srs("p4") + srs("mid")).join("' '")) +
                   " --max-err-app 100 --max-err-cp 3141.59 --out " + Quoted(out.filePath("cli/TEST"))),
            1);
  EXPECT_EQ(Files(out.filePath("page")), QStringList{"TEST_passRate.txt"});
  const QByteArray table = Slurp(out.filePath("page/TEST_passRate.txt"));
  EXPECT_TRUE(table == Slurp(out.filePath("cli/TEST_passRate.txt")));
  EXPECT_TRUE(table.contains(srs("p4").last().toUtf8()));
  EXPECT_FALSE(table.contains(srs("mid")[0].toUtf8()));
  EXPECT_TRUE(table.contains("pos_m(x)"));
}

// A folder that cannot take files: the message names the file and the
// reason, and nothing says the run completed.
TEST_F(ExportPageRuns, AnUnwritableFolderIsReportedWithTheFileAndTheReason) {
  setFiles(srs("p4"));
  ScopedPrompts prompts;
  const QString folder = "/proc";
  prompts->fileAnswers.enqueue({folder});
  click("btnOutData");
  ASSERT_EQ(prompts->messages.size(), 1);
  EXPECT_EQ(prompts->messages[0].kind, "warning");
  EXPECT_EQ(prompts->messages[0].title, "文件警告");
  const QString export_failed = "无法创建文件" + folder + "/TEST_sect.dat: ";
  EXPECT_TRUE(prompts->messages[0].text.startsWith(export_failed)) << prompts->messages[0].text.toStdString();
  EXPECT_GT(prompts->messages[0].text.size(), export_failed.size());

  prompts->messages.clear();
  prompts->fileAnswers.enqueue({folder});
  click("btnOutPassRate");
  ASSERT_EQ(prompts->messages.size(), 1);
  EXPECT_EQ(prompts->messages[0].kind, "warning");
  const QString pass_failed = "无法创建文件" + folder + "/TEST_passRate.txt: ";
  EXPECT_TRUE(prompts->messages[0].text.startsWith(pass_failed)) << prompts->messages[0].text.toStdString();
  EXPECT_GT(prompts->messages[0].text.size(), pass_failed.size());
}

TEST_F(ExportPageRuns, PassRateWritesWhatTheCommandLineWrites) {
  setFiles(srs("p4"));
  QTemporaryDir out;
  ScopedPrompts prompts;
  click("rdInvData");
  import(prompts, "btnImportFileElev", survey("p4") + "/elevation.txt");
  type("edtMinDist", "20");
  type("edtMaxErrApp", "3");
  type("edtOutFileName", "QC");
  prompts->fileAnswers.enqueue({out.filePath("page")});
  ASSERT_TRUE(QDir().mkpath(out.filePath("page")));
  click("btnOutPassRate");
  EXPECT_EQ(prompts->dialogs.last().caption, "保存目录选择");
  EXPECT_EQ(prompts->dialogs.last().dir, survey("p4"));
  ASSERT_EQ(prompts->messages.size(), 1);
  EXPECT_EQ(prompts->messages[0].kind, "information");
  EXPECT_EQ(prompts->messages[0].title, "提示");
  EXPECT_EQ(prompts->messages[0].text, "数据导出完成");

  ASSERT_TRUE(QDir().mkpath(out.filePath("cli")));
  ASSERT_EQ(RunCli("passrate " + Quoted(srs("p4").join("' '")) + " --unit-spacing 20 --elev " +
                   Quoted(survey("p4") + "/elevation.txt") + " --max-err-app 3 --max-err-cp 3141.59 --out " +
                   Quoted(out.filePath("cli/QC"))),
            0);
  EXPECT_EQ(Files(out.filePath("page")), QStringList{"QC_passRate.txt"});
  EXPECT_TRUE(Slurp(out.filePath("page/QC_passRate.txt")) == Slurp(out.filePath("cli/QC_passRate.txt")));

  // The pass-rate directory is remembered apart from the export's.
  prompts->fileAnswers.enqueue({});
  click("btnOutPassRate");
  EXPECT_EQ(prompts->dialogs.last().dir, out.filePath("page"));
  prompts->fileAnswers.enqueue({});
  click("btnOutData");
  EXPECT_EQ(prompts->dialogs.last().dir, survey("p4"));
  EXPECT_EQ(prompts->messages.size(), 1);
}

TEST_F(ExportPageRuns, AFailedImportLeavesNoTableBehind) {
  setFiles(srs("p4"));
  QTemporaryDir out;
  const QString bad = out.filePath("elev.txt");
  {
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("0 0 900\n\n10 0 950\n");
  }
  ScopedPrompts prompts;
  click("rdInvData");
  import(prompts, "btnImportFileElev", survey("p4") + "/elevation.txt");
  import(prompts, "btnImportFileElev", bad);
  ASSERT_EQ(prompts->messages.size(), 1);
  EXPECT_EQ(prompts->messages[0].text, "导入高程失败！\n第2行有0个字段，应为3个");
  EXPECT_TRUE(w<QLineEdit>("edtInputFileElev")->text().isEmpty());
  // The export then goes without elevations, as the empty edit says.
  prompts->fileAnswers.enqueue({out.filePath("page")});
  ASSERT_TRUE(QDir().mkpath(out.filePath("page")));
  click("btnOutData");
  ASSERT_TRUE(QDir().mkpath(out.filePath("cli")));
  ASSERT_EQ(RunCli("export " + Quoted(srs("p4").join("' '")) +
                   " --format res2dinv --max-err-app 100 --max-err-cp 3141.59 --out " + Quoted(out.filePath("cli/TEST"))),
            0);
  const QStringList want = Files(out.filePath("cli"));
  ASSERT_FALSE(want.isEmpty());
  for (const QString& f : want)
    EXPECT_TRUE(Slurp(out.filePath("page/" + f)) == Slurp(out.filePath("cli/" + f))) << f.toStdString();
}

}  // namespace
