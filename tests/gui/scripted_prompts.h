// Prompts for tests: answers come from queues filled by the test, and every
// message shown is recorded. An unexpected question answered from an empty
// queue counts as "cancelled", so a test never blocks on a dialog.
#pragma once

#include <QQueue>
#include <QString>
#include <QStringList>
#include <QVector>

#include "gui/toolkit/prompts.h"

struct RecordedMessage {
  QString kind;  // "warning", "information", "critical" or "question"
  QString title;
  QString text;
};

struct RecordedDialog {
  QString kind;  // "open", "openMany", "save", "dir", "int"
  QString caption;
  QString dir;
  QString filter;
};

class ScriptedPrompts : public Prompts {
public:
  QVector<RecordedMessage> messages;
  QVector<RecordedDialog> dialogs;
  QQueue<QStringList> fileAnswers;  // for openFileNames/openFileName/saveFileName/existingDirectory
  QQueue<bool> questionAnswers;
  QQueue<int> intAnswers;  // a queued value is "OK"; an empty queue is "Cancel"
  QString lastIntLabel;

  void warning(QWidget*, const QString& title, const QString& text) override {
    messages.push_back({"warning", title, text});
  }
  void information(QWidget*, const QString& title, const QString& text) override {
    messages.push_back({"information", title, text});
  }
  void critical(QWidget*, const QString& title, const QString& text) override {
    messages.push_back({"critical", title, text});
  }
  bool question(QWidget*, const QString& title, const QString& text) override {
    messages.push_back({"question", title, text});
    return questionAnswers.isEmpty() ? false : questionAnswers.dequeue();
  }
  QStringList openFileNames(QWidget*, const QString& caption, const QString& dir, const QString& filter) override {
    dialogs.push_back({"openMany", caption, dir, filter});
    return fileAnswers.isEmpty() ? QStringList() : fileAnswers.dequeue();
  }
  QString openFileName(QWidget*, const QString& caption, const QString& dir, const QString& filter) override {
    dialogs.push_back({"open", caption, dir, filter});
    return first();
  }
  QString saveFileName(QWidget*, const QString& caption, const QString& dir, const QString& filter) override {
    dialogs.push_back({"save", caption, dir, filter});
    return first();
  }
  QString existingDirectory(QWidget*, const QString& caption, const QString& dir) override {
    dialogs.push_back({"dir", caption, dir, QString()});
    return first();
  }
  bool getInt(QWidget*, const QString& title, const QString& label, int, int, int, int, int* result) override {
    dialogs.push_back({"int", title, QString(), QString()});
    lastIntLabel = label;
    if (intAnswers.isEmpty()) return false;
    *result = intAnswers.dequeue();
    return true;
  }

private:
  QString first() {
    if (fileAnswers.isEmpty()) return QString();
    QStringList l = fileAnswers.dequeue();
    return l.isEmpty() ? QString() : l.first();
  }
};

// Installs a ScriptedPrompts for the lifetime of the guard.
class ScopedPrompts {
public:
  ScopedPrompts() : m_prompts(new ScriptedPrompts) {
    m_old = Prompts::install(std::unique_ptr<Prompts>(m_prompts));
  }
  ~ScopedPrompts() { Prompts::install(std::move(m_old)); }
  ScriptedPrompts* operator->() { return m_prompts; }
  ScriptedPrompts& operator*() { return *m_prompts; }

private:
  ScriptedPrompts* m_prompts;
  std::unique_ptr<Prompts> m_old;
};
