#include "gui/toolkit/paths.h"

#include "core/base/ex_string.h"

std::string toFilePath(const QString& path) { return ex_utf8_to_ansi(path.toUtf8().toStdString()); }

std::vector<std::string> toFilePaths(const QStringList& paths) {
  std::vector<std::string> out;
  out.reserve(size_t(paths.size()));
  for (const QString& p : paths) out.push_back(toFilePath(p));
  return out;
}

QString fromFilePath(const std::string& path) { return QString::fromUtf8(ex_ansi_to_utf8(path).c_str()); }

QStringList fromFilePaths(const std::vector<std::string>& paths) {
  QStringList out;
  for (const std::string& p : paths) out << fromFilePath(p);
  return out;
}

QString fromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), int(text.size())); }

QStringList fromUtf8(const std::vector<std::string>& texts) {
  QStringList out;
  for (const std::string& t : texts) out << fromUtf8(t);
  return out;
}
