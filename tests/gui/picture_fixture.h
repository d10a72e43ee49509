// The main window on a generated survey for the picture tests: the English
// texts and a desktop's 9-point font while a test runs, scripted dialogs.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QListView>
#include <QProcess>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTranslator>

#include "gui/main/app_init.h"
#include "gui/main/wdt_main.h"
#include "scripted_prompts.h"
#include "ui_wdt_main.h"

class MainWindowPicture : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(tmp.isValid());
    ASSERT_TRUE(installTranslation(*qApp, m_translator, "en_US"));
    // The offscreen platform's 12-point default would widen every form beyond
    // the window; a desktop's usual 9 points is what the layouts are made for.
    m_app_font = QApplication::font();
    QFont font = m_app_font;
    font.setPointSize(9);
    QApplication::setFont(font);
  }
  void TearDown() override {
    QApplication::setFont(m_app_font);
    QApplication::removeTranslator(&m_translator);
  }

  // varnex-gen-survey into dir.
  static ::testing::AssertionResult Generate(const QString& dir, const QStringList& options) {
    QProcess gen;
    gen.start(GEN_SURVEY_EXE, QStringList{dir} + options);
    if (!gen.waitForFinished(120000) || gen.exitCode() != 0)
      return ::testing::AssertionFailure() << "varnex-gen-survey " << options.join(' ').toStdString();
    return ::testing::AssertionSuccess();
  }

  // The survey's first three files imported, the first selected, tab shown.
  void Open(CWdtMain& w, int tab) {
    w.importFiles({tmp.filePath("L101_01.SRS"), tmp.filePath("L101_02.SRS"), tmp.filePath("L101_03.SRS")});
    const QModelIndex first = w.form()->listOpenFiles->model()->index(0, 0);
    w.form()->listOpenFiles->setCurrentIndex(first);
    w.onListClicked(first);
    w.form()->tabRight->setCurrentIndex(tab);
    w.show();
    QApplication::processEvents();
  }

  ScopedPrompts prompts;
  QTemporaryDir tmp;

private:
  QTranslator m_translator;
  QFont m_app_font;
};
