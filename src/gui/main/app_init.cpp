#include "gui/main/app_init.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

void initVarnexResources() { Q_INIT_RESOURCE(translations); }

bool wantsEnglish(const QString& localeName) { return !localeName.contains("CN", Qt::CaseSensitive); }

bool installQtTranslation(QApplication& app, QTranslator& translator, const QString& localeName) {
  if (wantsEnglish(localeName)) return false;
  if (!translator.load("qtbase_zh_CN", QLibraryInfo::location(QLibraryInfo::TranslationsPath))) return false;
  return app.installTranslator(&translator);
}

bool installTranslation(QApplication& app, QTranslator& translator, const QString& localeName) {
  if (!wantsEnglish(localeName)) return false;
  if (!translator.load(":/language_zh_EN.qm", QString(), QString(), QString())) return false;
  return app.installTranslator(&translator);
}
