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
