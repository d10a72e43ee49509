// Start-up pieces shared by the application and the GUI tests.
#pragma once

#include <QString>

class QApplication;
class QTranslator;

// Registers the embedded resources (the translation) of the static GUI library.
void initVarnexResources();
// The English translation is used unless the locale name contains "CN".
bool wantsEnglish(const QString& localeName);
// Loads ":/language_zh_EN.qm" into translator and installs it when the locale
// asks for English and the load succeeds; a failed load is silent.
bool installTranslation(QApplication& app, QTranslator& translator, const QString& localeName);
// On a Chinese system, Qt's own texts (file and input dialogs, standard
// buttons) in Chinese: qtbase_zh_CN.qm from Qt's translations folder
// (Debian package qttranslations5-l10n). False, silently, elsewhere or when
// the file is missing.
bool installQtTranslation(QApplication& app, QTranslator& translator, const QString& localeName);
