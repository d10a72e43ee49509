// Varnex: office processing of spectral induced polarization survey data.
#include <clocale>

#include <QApplication>
#include <QLocale>
#include <QStringList>
#include <QStyleFactory>
#include <QTranslator>

#include "core/base/clog.h"
#include "gui/main/app_init.h"
#include "gui/main/wdt_main.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  // QApplication adopts the user's locale for the C library; every file this
  // program writes uses a decimal point whatever the desktop language is.
  setlocale(LC_NUMERIC, "C");
  initVarnexResources();

  QTranslator translator;
  installTranslation(app, translator, QLocale::system().name());
  QTranslator qt_translator;
  installQtTranslation(app, qt_translator, QLocale::system().name());

  clog_init(true);
  app.setStyle(QStyleFactory::create("Fusion"));

  CWdtMain window;
  // File arguments are imported at start as if chosen in the import dialog.
  QStringList files = app.arguments();
  files.removeFirst();
  window.importFiles(files);
  window.show();
  int ret = app.exec();
  clog_deinit();
  return ret;
}
