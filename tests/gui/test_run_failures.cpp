// The all-files runs of the results and parameter pages when files cannot
// be written: the closing message names each failed file with its reason in
// the interface language, and "done" is said only when every file was
// written. Reader failures are worded in Chinese or English as the
// interface is.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

#include <sys/stat.h>
#include <unistd.h>

#include "core/sip/format_srs.h"
#include "gui/limits/shared_data.h"
#include "gui/main/app_init.h"
#include "gui/params/wdt_param_srs.h"
#include "gui/results/wdt_sip_res.h"
#include "gui/toolkit/reason_text.h"
#include "scripted_prompts.h"
#include "survey_fixture.h"
#include "ui_wdt_sip_res.h"

namespace {

QString u8(const char* s) { return QString::fromUtf8(s); }

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

// The same damaged file read on a Chinese and on an English interface.
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
  struct Case {
    const char* locale;
    const char* opened;
    const char* part;
  };
  const Case cases[] = {
      {"zh_CN", "打开文件“%1”失败！\n%2（第8字节起）已损坏", "测量参数"},
      {"en_US", "Failed to open \"%1\"!\n%2 at byte 8 is damaged", "measurement record"},
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
    if (english) QApplication::removeTranslator(&translator);
  }
}
