// The all-files runs of the results and parameter pages when files cannot
// be written: the closing message names each failed file with its reason in
// the interface language, and "done" is said only when every file was
// written. Reader failures, of the binary files and of the text tables, are
// worded in Chinese or English as the interface is.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

#include <sys/stat.h>
#include <unistd.h>

#include "core/sip/format_srs.h"
#include "gui/export/wdt_output.h"
#include "gui/limits/shared_data.h"
#include "gui/main/app_init.h"
#include "gui/params/wdt_param_srs.h"
#include "gui/results/wdt_sip_res.h"
#include "gui/toolkit/reason_text.h"
#include "expect_message.h"
#include "scripted_prompts.h"
#include "survey_fixture.h"
#include "ui_wdt_sip_res.h"

namespace {

QString u8(const char* s) { return QString::fromUtf8(s); }

QByteArray contents(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A folder no new file can be made in. Root writes into read-only folders,
// but sysfs refuses new files to everyone.
class UnwritableFolder {
public:
  explicit UnwritableFolder(const QTemporaryDir& tmp) {
    if (::geteuid() == 0) {
      m_path = "/sys";
      return;
    }
    m_path = tmp.filePath("read-only");
    QDir().mkpath(m_path);
    ::chmod(QFile::encodeName(m_path).constData(), 0555);
  }
  ~UnwritableFolder() {
    if (m_path != "/sys") ::chmod(QFile::encodeName(m_path).constData(), 0755);
  }
  const QString& path() const { return m_path; }

private:
  QString m_path;
};

// The one message shown must be a warning that names every failed file
// with a reason, and it must not claim the run completed.
void expectFailureNamed(const ScriptedPrompts& prompts, const QStringList& failed, const QString& done) {
  ASSERT_EQ(prompts.messages.size(), 1);
  const RecordedMessage& m = prompts.messages[0];
  EXPECT_EQ(m.kind, "warning");
  EXPECT_NE(m.text, done);
  EXPECT_FALSE(m.text.startsWith(done)) << m.text.toStdString();
  for (const QString& f : failed) {
    const int at = m.text.indexOf(f + u8("："));
    ASSERT_GE(at, 0) << f.toStdString() << "\n" << m.text.toStdString();
    const QString rest = m.text.mid(at + f.size() + 1).section('\n', 0, 0);
    EXPECT_FALSE(rest.trimmed().isEmpty()) << "no reason for " << f.toStdString();
  }
}

class RunFailures : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(tmp.isValid());
    m_shared = SharedData::instance()->limitTable();
    SharedData::instance()->setLimitTable(nullptr);
    dir = generateSurvey(tmp, {"--seed", "41", "--files", "2"});
    files = QStringList{dir + "/L101_01.SRS", dir + "/L101_02.SRS"};
  }
  void TearDown() override { SharedData::instance()->setLimitTable(m_shared); }

  ScopedPrompts prompts;
  QTemporaryDir tmp;
  QString dir;
  QStringList files;

private:
  std::vector<LimitItem>* m_shared = nullptr;
};

}  // namespace

TEST_F(RunFailures, RecalculateAllIntoAnUnwritableFolder) {
  UnwritableFolder out(tmp);
  WdtSipRes page;
  page.setFileList(files);
  prompts->intAnswers.enqueue(4);
  prompts->fileAnswers.enqueue({out.path()});
  QTest::mouseClick(page.form()->btnRecalAll, Qt::LeftButton);
  expectFailureNamed(*prompts, files, u8("重计算已完成！"));
  EXPECT_TRUE(prompts->messages[0].text.contains(u8("报告文件“%1/reCalResult.txt”无法写入！").arg(out.path())));
  EXPECT_FALSE(QFileInfo::exists(out.path() + "/L101_01.SRS"));
}

TEST_F(RunFailures, ExportAllSrsIntoAnUnwritableFolder) {
  UnwritableFolder out(tmp);
  WdtSipRes page;
  page.setFileList(files);
  page.form()->edtFileSmt->setText(dir + "/smt");
  prompts->fileAnswers.enqueue({out.path()});
  QTest::mouseClick(page.form()->btnOutSrsAll, Qt::LeftButton);
  expectFailureNamed(*prompts, files, u8("文件保存成功！"));
  EXPECT_FALSE(QFileInfo::exists(out.path() + "/L101_02.SRS"));
}

// The dumps lie beside their files; a folder in the place of the first dump
// keeps it from being written, whoever runs the test.
TEST_F(RunFailures, DumpAllNamesTheDumpThatCannotBeWritten) {
  ASSERT_TRUE(QDir().mkdir(dir + "/L101_01.txt"));
  WdtSipRes page;
  page.setFileList(files);
  QTest::mouseClick(page.form()->btnOutToTxtAll, Qt::LeftButton);
  expectFailureNamed(*prompts, {files[0]}, u8("导出完成！"));
  const QString text = prompts->messages[0].text;
  EXPECT_TRUE(text.contains(u8("“%1”是文件夹").arg(dir + "/L101_01.txt"))) << text.toStdString();
  EXPECT_TRUE(text.startsWith(u8("2个文件中1个已完成，1个失败："))) << text.toStdString();
  EXPECT_FALSE(text.contains(files[1]));
  EXPECT_TRUE(QFileInfo::exists(dir + "/L101_02.txt"));
}

// Two listed files that would write the same output: each all-files run
// refuses before anything is written, naming both, and the files stay as
// they were.
TEST_F(RunFailures, AllFilesRunsRefuseTwoFilesWithTheSameOutput) {
  const QString out = tmp.filePath("out");
  ASSERT_TRUE(QDir().mkpath(out));
  ASSERT_TRUE(QDir().mkpath(dir + "/b"));
  ASSERT_TRUE(QFile::copy(files[0], dir + "/b/L101_01.SRS"));
  ASSERT_TRUE(QFile::copy(files[0], dir + "/L101_01.srs"));
  struct Case {
    const char* button;
    QStringList list;
    QString output;  // written by both
    QStringList written;  // nothing of it may exist after the run
  };
  const QStringList same_base = {files[0], files[1], dir + "/b/L101_01.SRS"};
  const QStringList same_dump = {files[0], dir + "/L101_01.srs"};
  const Case cases[] = {
      {"btnRecalAll", same_base, out + "/L101_01.SRS",
       {out + "/L101_01.SRS", out + "/L101_02.SRS", out + "/reCalResult.txt"}},
      {"btnOutSrsAll", same_base, out + "/L101_01.SRS",
       {out + "/L101_01.SRS", out + "/L101_02.SRS", out + "/recalTsToSrsResult.txt"}},
      {"btnOutToTxtAll", same_dump, dir + "/L101_01.txt", {dir + "/L101_01.txt", dir + "/outTxtResult.txt"}},
  };
  QMap<QString, QByteArray> before;
  for (const QString& f : same_base + same_dump) before[f] = contents(f);
  for (const Case& c : cases) {
    prompts->messages.clear();
    WdtSipRes page;
    page.setFileList(c.list);
    page.form()->edtFileSmt->setText(dir + "/smt");
    prompts->intAnswers.enqueue(4);
    prompts->fileAnswers.enqueue({out});
    QTest::mouseClick(page.findChild<QPushButton*>(c.button), Qt::LeftButton);
    ExpectOnlyMessage(*prompts, "warning", u8("警告"),
                      u8("“%1”和“%2”将写入同一个文件“%3”，未写入任何文件！").arg(files[0], c.list.last(), c.output));
    for (const QString& f : c.written) EXPECT_FALSE(QFileInfo::exists(f)) << c.button << " " << f.toStdString();
    for (auto it = before.cbegin(); it != before.cend(); ++it) EXPECT_EQ(contents(it.key()), it.value()) << c.button;
    prompts->intAnswers.clear();
    prompts->fileAnswers.clear();
  }
}

// Save all writes over the listed files: the edited one, replaced by a
// folder after it was shown, cannot be written; a copy of it is saved.
TEST_F(RunFailures, SaveAllNamesTheFileAndItsReason) {
  files[1] = dir + "/copy.SRS";
  ASSERT_TRUE(QFile::copy(files[0], files[1]));
  CWdtParamSrs page;
  page.show();
  page.setFileList(files);
  page.setCurrentFile(files[0]);
  ASSERT_TRUE(QFile::remove(files[0]));
  ASSERT_TRUE(QDir().mkdir(files[0]));
  prompts->questionAnswers.enqueue(true);
  QTest::mouseClick(page.findChild<QPushButton*>("btnSaveChangeAll"), Qt::LeftButton);
  ASSERT_EQ(prompts->messages.size(), 2);
  prompts->messages.removeFirst();
  expectFailureNamed(*prompts, {files[0]}, u8("所有文件已保存!"));
  EXPECT_TRUE(prompts->messages[0].text.contains(u8("“%1”是文件夹").arg(files[0])));
  EXPECT_FALSE(prompts->messages[0].text.contains(files[1] + u8("："))) << prompts->messages[0].text.toStdString();
}

TEST_F(RunFailures, SaveCurrentGivesTheReason) {
  CWdtParamSrs page;
  page.show();
  page.setCurrentFile(files[1]);
  ASSERT_TRUE(QFile::remove(files[1]));
  ASSERT_TRUE(QDir().mkdir(files[1]));
  prompts->questionAnswers.enqueue(true);
  QTest::mouseClick(page.findChild<QPushButton*>("btnSaveChangeThis"), Qt::LeftButton);
  ASSERT_EQ(prompts->messages.size(), 2);
  EXPECT_EQ(prompts->messages[1].text,
            u8("文件“%1”保存失败!").arg(files[1]) + "\n" + u8("“%1”是文件夹").arg(files[1]));
}

// The same damaged files read on a Chinese and on an English interface: an
// SRS file on the results page, side tables on the export page.
TEST_F(RunFailures, ReaderFailureInTheInterfaceLanguage) {
  QByteArray bytes;
  {
    QFile f(files[0]);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    bytes = f.readAll();
  }
  {
    QFile f(files[0]);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes.left(40));
  }
  const QString shift = tmp.filePath("shift.csv");
  const QString elev = tmp.filePath("elev.txt");
  for (const auto& t : {std::make_pair(shift, QByteArray("name,pole,dx,dy\nE1,1,0.5\n")),
                        std::make_pair(elev, QByteArray("0 0 900\n10 0 9\0" "50\n", 18))}) {
    QFile f(t.first);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(t.second);
  }
  struct Case {
    const char* locale;
    const char* opened;
    const char* part;
    const char* shift;
    const char* elev;
  };
  const Case cases[] = {
      {"zh_CN", "打开文件“%1”失败！\n%2（第8字节起）已损坏", "测量参数", "导入相对坐标失败！\n第2行有3个字段，应为4个",
       "导入高程失败！\n第2行含有NUL字节"},
      {"en_US", "Failed to open \"%1\"!\n%2 at byte 8 is damaged", "measurement record",
       "Failed to import relative coordinates!\nline 2 has 3 fields, 4 expected",
       "Failed to import elevation!\nline 2 holds a NUL byte"},
  };
  for (const Case& c : cases) {
    QTranslator translator;
    const bool english = installTranslation(*qApp, translator, c.locale);
    {
      prompts->messages.clear();
      WdtSipRes page;
      page.setCurrentFile(files[0]);
      ASSERT_EQ(prompts->messages.size(), 1) << c.locale;
      EXPECT_EQ(prompts->messages[0].text, u8(c.opened).arg(files[0], u8(c.part))) << c.locale;
      // A missing file: the system's reason in the same language.
      prompts->messages.clear();
      page.setCurrentFile(dir + "/missing.SRS");
      ASSERT_EQ(prompts->messages.size(), 1);
      EXPECT_TRUE(prompts->messages[0].text.endsWith(english ? "cannot open the file: no such file or folder"
                                                             : u8("无法打开文件：文件或文件夹不存在")))
          << prompts->messages[0].text.toStdString();
    }
    {
      QStringList list = files;
      CWdtOutput page(&list);
      for (const auto& t :
           {std::make_pair("btnImportFileShifting", shift), std::make_pair("btnImportFileElev", elev)}) {
        prompts->messages.clear();
        prompts->fileAnswers.enqueue({t.second});
        page.findChild<QPushButton*>(t.first)->click();
        ASSERT_EQ(prompts->messages.size(), 1) << c.locale << " " << t.first;
        EXPECT_EQ(prompts->messages[0].text, u8(t.second == shift ? c.shift : c.elev)) << c.locale;
      }
    }
    if (english) QApplication::removeTranslator(&translator);
  }
}
