// varnex-cli check and the results page agree on the pass rate of a file.
#include <gtest/gtest.h>

#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <memory>
#include <vector>

#include "core/processing/pass_rate.h"
#include "core/sip/format_srs.h"
#include "core/sip/limits.h"
#include "gui/limits/shared_data.h"
#include "gui/results/wdt_sip_res.h"
#include "scripted_prompts.h"

namespace {

QString runCli(const QStringList& args, int* code) {
  QProcess p;
  p.start(CLI_EXE, args);
  p.waitForFinished(60000);
  *code = p.exitCode();
  return QString::fromUtf8(p.readAllStandardOutput());
}

// Channels 0..n-1 lose their apparent resistivity at composed point 0 and
// their CP error grows beyond pi at point 1.
bool spoil(const QString& path, int n) {
  CFormatSRS srs;
  if (!srs.Read(path.toStdString())) return false;
  for (int c = 0; c < n; ++c) {
    ResItem it = srs.m_res_composed.GetItem(c, 0, 0);
    it.blk[RES_APP].value = 0.0f;
    srs.m_res_composed.SetItem(c, 0, 0, it);
    it = srs.m_res_composed.GetItem(c, 0, 1);
    it.blk[RES_CP].err = 4.0f;
    srs.m_res_composed.SetItem(c, 0, 1, it);
  }
  return srs.Write(path.toStdString());
}

}  // namespace

TEST(CheckVsPage, SamePassRateAsTheResultsPage) {
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  const QString dir = tmp.path() + "/survey";
  ASSERT_EQ(QProcess::execute(GEN_SURVEY_EXE, {dir, "--seed", "11", "--files", "3"}), 0);
  const QStringList files = {dir + "/L101_01.SRS", dir + "/L101_02.SRS", dir + "/L101_03.SRS"};
  ASSERT_TRUE(spoil(files[0], 5));
  ASSERT_TRUE(spoil(files[2], 1));

  // The page as the application builds it: after the export page has
  // published its default table.
  ScopedPrompts prompts;
  std::vector<LimitItem> exported = limit_default_export();
  std::vector<LimitItem>* old = SharedData::instance()->limitTable();
  SharedData::instance()->setLimitTable(&exported);
  auto page = std::make_unique<WdtSipRes>();
  SharedData::instance()->setLimitTable(old);
  page->setFileList(files);

  for (const QString& f : files) {
    page->setCurrentFile(f);
    ASSERT_TRUE(page->isLoaded());
    const QString label = page->form()->lbPassRate->text();
    const QRegularExpressionMatch m = QRegularExpression("([0-9.]+)%$").match(label);
    ASSERT_TRUE(m.hasMatch()) << label.toStdString();

    int code = -1;
    const QString out = runCli({"check", f}, &code);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(out.endsWith(QString(", pass rate %1%\n").arg(m.captured(1)))) << out.toStdString();

    // Other points: the page's own limits and its mapping of list entries.
    for (int point = 1; point <= 2; ++point) {
      const PassRate pr = PassRateAtPoint(page->srsFile(), page->limits(), false, point);
      const QString cli = runCli({"check", "--freq", QString::number(point + 1), f}, &code);
      EXPECT_EQ(cli, QString("%1: %2 channels, %3 qualified, pass rate %4%\n")
                         .arg(f)
                         .arg(pr.channels)
                         .arg(pr.qualified)
                         .arg(QString::fromStdString(PassRateFigure(pr.rate))));
    }
  }
  // The spoiled files really differ from a clean one.
  int code = -1;
  EXPECT_TRUE(runCli({"check", files[0]}, &code).endsWith("pass rate 79.2%\n"));
  EXPECT_TRUE(runCli({"check", "--freq", "2", files[0]}, &code).endsWith("pass rate 79.2%\n"));
}
