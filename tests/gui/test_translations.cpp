// Every user-interface text of the sources must have its English translation:
// lupdate extracts the texts with their contexts, the .ts file must answer
// each one.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>

namespace {

// (context, source) -> translation
QHash<QPair<QString, QString>, QString> readTs(const QString& path) {
  QHash<QPair<QString, QString>, QString> out;
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return out;
  QXmlStreamReader xml(&f);
  QString context, source, translation;
  while (!xml.atEnd()) {
    xml.readNext();
    if (!xml.isStartElement()) continue;
    if (xml.name() == QLatin1String("name")) {
      context = xml.readElementText();
    } else if (xml.name() == QLatin1String("source")) {
      source = xml.readElementText();
    } else if (xml.name() == QLatin1String("translation")) {
      translation = xml.readElementText();
      out.insert(qMakePair(context, source), translation);
    }
  }
  return out;
}

}  // namespace

TEST(Translations, EverySourceTextHasAnEnglishTranslation) {
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  const QString extracted = tmp.filePath("extracted.ts");
  QProcess lupdate;
  lupdate.start(LUPDATE_EXE, {"-silent", "-locations", "none", QString(GUI_SOURCE_DIR) + "/gui",
                              QString(GUI_SOURCE_DIR) + "/app", "-ts", extracted});
  ASSERT_TRUE(lupdate.waitForFinished(120000));
  ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();

  const auto sources = readTs(extracted);
  const auto ours = readTs(TS_FILE);
  ASSERT_FALSE(sources.isEmpty());
  QStringList missing;
  for (auto it = sources.begin(); it != sources.end(); ++it) {
    const QString tr = ours.value(it.key());
    if (tr.trimmed().isEmpty()) missing << it.key().first + ": " + it.key().second;
  }
  EXPECT_TRUE(missing.isEmpty()) << "untranslated:\n" << missing.join("\n").toStdString();
}
