// The spectrum view of the results page on generated Cole-Cole surveys:
// chosen in the display-mode box, it lists every channel with its fitted
// model, draws points and curves of the checked channels and follows the
// file click. With VARNEX_SCREENSHOT_SPECTRUM_EN / _ZH set to file names the
// main window with the view is saved there (1366 x 768).
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFont>
#include <QHeaderView>
#include <QListView>
#include <QPixmap>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

#include <cmath>
#include <map>

#include "gui/main/app_init.h"
#include "gui/main/wdt_main.h"
#include "gui/results/model_plot_sel_channel.h"
#include "gui/results/wdt_res_plot_space_sip.h"
#include "gui/results/wdt_res_plot_spectrum.h"
#include "gui/results/wdt_sip_res.h"
#include "gui/toolkit/custom_plot.h"
#include "model_check.h"
#include "scripted_prompts.h"
#include "survey_fixture.h"
#include "ui_wdt_res_plot.h"
#include "ui_wdt_res_plot_spectrum.h"

namespace {

QString u8(const char* s) { return QString::fromUtf8(s); }

constexpr int kSpectrumMode = 2;

struct Truth {
  QString kind;
  double rho0, m, tau, c;
};

// Channel label (ST01_2) to its model, for the first file.
std::map<QString, Truth> readTruth(const QString& dir) {
  std::map<QString, Truth> out;
  QFile f(dir + "/cole_cole_truth.csv");
  EXPECT_TRUE(f.open(QIODevice::ReadOnly));
  f.readLine();
  while (!f.atEnd()) {
    const QStringList v = QString::fromUtf8(f.readLine()).trimmed().split(',');
    if (v.size() != 8 || v[0] != "L101_01") continue;
    out[v[1] + "_" + v[2]] = {v[3], v[4].toDouble(), v[5].toDouble(), v[6].toDouble(), v[7].toDouble()};
  }
  return out;
}

QString cell(QAbstractItemModel* model, int row, int col) { return model->index(row, col).data().toString(); }

bool visible(const QCPGraph* g) { return g && g->visible(); }

}  // namespace

TEST(SpectrumView, ListsFitsDrawsCheckedChannelsAndFollowsTheFile) {
  ScopedPrompts prompts;
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  const QString dir = generateSurvey(tmp, {"--cole-cole", "--seed", "4", "--files", "1", "--devices", "1"});
  const std::map<QString, Truth> truth = readTruth(dir);
  ASSERT_EQ(truth.size(), 6u);

  WdtSipRes page;
  page.resize(1366, 768);
  page.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
  CWdtResPlotSpectrum* view = page.spectrumView();
  ModelPlotSelChannel* model = view->channelModel();
  ModelCheck check(model);

  page.setCurrentFile(dir + "/L101_01.SRS");
  // Not chosen yet: nothing is fitted or drawn.
  EXPECT_TRUE(view->isHidden());
  EXPECT_EQ(model->rowCount(), 0);

  page.form()->cmbShowType->setCurrentIndex(kSpectrumMode);
  EXPECT_FALSE(view->isHidden());
  EXPECT_TRUE(page.spaceView()->isHidden());
  ASSERT_EQ(model->rowCount(), 6);
  ASSERT_EQ(view->graphs1().size(), 6);
  ASSERT_EQ(view->curves1().size(), 6);
  EXPECT_EQ(view->form()->wdtPlotAmp->xAxis->scaleType(), QCPAxis::stLogarithmic);
  EXPECT_EQ(view->form()->wdtPlotAmp->yAxis->scaleType(), QCPAxis::stLogarithmic);
  EXPECT_EQ(view->form()->wdtPlotPh->xAxis->scaleType(), QCPAxis::stLogarithmic);
  EXPECT_EQ(view->form()->wdtPlotPh->yAxis->label(), u8("-相位(mrad)"));

  for (int r = 0; r < 6; ++r) {
    const QString label = cell(model, r, ModelPlotSelChannel::COL_CHANNEL);
    SCOPED_TRACE(label.toStdString());
    ASSERT_TRUE(truth.count(label));
    const Truth& t = truth.at(label);
    const QString status = cell(model, r, ModelPlotSelChannel::COL_STATUS);
    // Every channel has its 14 points drawn, the dead one only in the phase
    // plot (a resistivity of 0 has no place on a logarithmic axis).
    EXPECT_EQ(view->graphs2()[r]->data()->size(), 14);
    if (t.kind == "dead") {
      EXPECT_EQ(status, u8("拟合失败"));
      EXPECT_EQ(cell(model, r, ModelPlotSelChannel::COL_M), "");
      EXPECT_EQ(view->curves1()[r], nullptr);
      EXPECT_EQ(view->graphs1()[r]->data()->size(), 0);
      continue;
    }
    EXPECT_EQ(status, u8("成功"));
    EXPECT_EQ(view->graphs1()[r]->data()->size(), 14);
    EXPECT_NEAR(cell(model, r, ModelPlotSelChannel::COL_M).toDouble(), t.m, 0.01);
    EXPECT_NEAR(cell(model, r, ModelPlotSelChannel::COL_RHO0).toDouble() / t.rho0, 1.0, 0.005);
    if (t.kind == "flat") continue;
    EXPECT_NEAR(std::log10(cell(model, r, ModelPlotSelChannel::COL_TAU).toDouble() / t.tau), 0.0, 0.05);
    EXPECT_NEAR(cell(model, r, ModelPlotSelChannel::COL_C).toDouble(), t.c, 0.02);
    EXPECT_TRUE(visible(view->curves1()[r]));
    EXPECT_TRUE(visible(view->curves2()[r]));
  }

  // A header click unchecks every channel, points and curves go.
  QHeaderView* header = view->form()->tbFreqSel->horizontalHeader();
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(1) + 5, 5));
  for (int r = 0; r < 6; ++r) {
    EXPECT_FALSE(model->isChecked(r));
    EXPECT_FALSE(view->graphs1()[r]->visible());
    EXPECT_FALSE(visible(view->curves1()[r]));
    EXPECT_FALSE(visible(view->curves2()[r]));
  }
  // One channel checked again in its check box.
  const QModelIndex box = model->index(1, ModelPlotSelChannel::COL_CHECK);
  ASSERT_TRUE(model->setData(box, Qt::Checked, Qt::CheckStateRole));
  EXPECT_TRUE(view->graphs1()[1]->visible());
  EXPECT_TRUE(visible(view->curves1()[1]));
  EXPECT_FALSE(view->graphs1()[2]->visible());

  // The curve switch hides the curves and keeps the points.
  QCheckBox* fit = view->fitForm()->chkShowFit;
  QTest::mouseClick(fit, Qt::LeftButton);
  EXPECT_FALSE(fit->isChecked());
  EXPECT_TRUE(view->graphs1()[1]->visible());
  EXPECT_FALSE(visible(view->curves1()[1]));
  QTest::mouseClick(fit, Qt::LeftButton);
  EXPECT_TRUE(visible(view->curves1()[1]));

  // A click on the two-point file: every channel listed, none fitted.
  page.setCurrentFile(dir + "/L101_02.SRS");
  ASSERT_EQ(model->rowCount(), 6);
  for (int r = 0; r < 6; ++r) {
    EXPECT_EQ(cell(model, r, ModelPlotSelChannel::COL_STATUS), u8("点数不足"));
    EXPECT_EQ(cell(model, r, ModelPlotSelChannel::COL_RHO0), "");
    EXPECT_EQ(view->curves1()[r], nullptr);
    EXPECT_EQ(view->graphs2()[r]->data()->size(), 2);
  }
  // A file that cannot be read empties the view.
  page.setCurrentFile(dir + "/missing.SRS");
  EXPECT_EQ(model->rowCount(), 0);
  EXPECT_TRUE(view->graphs1().isEmpty());
  EXPECT_TRUE(view->curves1().isEmpty());
  EXPECT_EQ(prompts->messages.size(), 1);
  EXPECT_TRUE(check.failures().isEmpty()) << check.failures().join('\n').toStdString();
}

TEST(SpectrumView, EnglishTexts) {
  QTranslator translator;
  ASSERT_TRUE(installTranslation(*qApp, translator, "en_US"));
  {
    WdtSipRes page;
    EXPECT_EQ(page.form()->cmbShowType->itemText(kSpectrumMode), "Spectrum View");
    CWdtResPlotSpectrum* view = page.spectrumView();
    EXPECT_EQ(view->fitForm()->chkShowFit->text(), "Fitted curves");
    EXPECT_EQ(view->form()->wdtPlotAmp->xAxis->label(), "Frequency(Hz)");
    EXPECT_EQ(view->form()->wdtPlotPh->yAxis->label(), "-Phase(mrad)");
    QAbstractItemModel* m = view->channelModel();
    EXPECT_EQ(m->headerData(ModelPlotSelChannel::COL_CHANNEL, Qt::Horizontal).toString(), "Channel");
    EXPECT_EQ(m->headerData(ModelPlotSelChannel::COL_STATUS, Qt::Horizontal).toString(), "Status");
    EXPECT_EQ(ModelPlotSelChannel::statusText(ColeColeStatus::TooFewPoints), "too few points");
  }
  QApplication::removeTranslator(&translator);
}

TEST(SpectrumView, Picture) {
  ScopedPrompts prompts;
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  const QString dir = generateSurvey(tmp, {"--cole-cole", "--seed", "2", "--files", "1", "--devices", "2"});
  const QFont app_font = QApplication::font();
  QFont font = app_font;
  font.setPointSize(9);
  QApplication::setFont(font);
  for (const char* lang : {"ZH", "EN"}) {
    QTranslator translator;
    if (QByteArray(lang) == "EN") ASSERT_TRUE(installTranslation(*qApp, translator, "en_US"));
    {
      CWdtMain w;
      w.resize(1366, 768);
      w.importFiles({dir + "/L101_01.SRS", dir + "/L101_02.SRS"});
      const QModelIndex first = w.form()->listOpenFiles->model()->index(0, 0);
      w.form()->listOpenFiles->setCurrentIndex(first);
      w.onListClicked(first);
      w.form()->tabRight->setCurrentWidget(w.resultsPage());
      w.resultsPage()->form()->cmbShowType->setCurrentIndex(kSpectrumMode);
      w.show();
      QApplication::processEvents();
      EXPECT_EQ(w.resultsPage()->spectrumView()->channelModel()->rowCount(), 12);
      const QPixmap picture = w.grab();
      const QString out = QString::fromLocal8Bit(qgetenv((QByteArray("VARNEX_SCREENSHOT_SPECTRUM_") + lang).constData()));
      if (!out.isEmpty()) EXPECT_TRUE(picture.save(out, "PNG"));
    }
    QApplication::removeTranslator(&translator);
  }
  QApplication::setFont(app_font);
  EXPECT_TRUE(prompts->messages.isEmpty());
}
