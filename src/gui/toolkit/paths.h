// Path and text conversion between the interface's QString and the 8-bit
// file layer: UTF-8, then the system code page (the identity where file
// names are UTF-8).
#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

std::string toFilePath(const QString& path);
std::vector<std::string> toFilePaths(const QStringList& paths);
QString fromFilePath(const std::string& path);
QStringList fromFilePaths(const std::vector<std::string>& paths);
// UTF-8 texts of the core (messages, names) as QStrings.
QString fromUtf8(const std::string& text);
QStringList fromUtf8(const std::vector<std::string>& texts);
