// QAbstractItemModelTester over a model for the lifetime of a test, with its
// complaints collected instead of aborting the test program.
#pragma once

#include <QAbstractItemModel>
#include <QAbstractItemModelTester>
#include <QMessageLogContext>
#include <QStringList>

#include <cstring>
#include <memory>

class ModelCheck {
public:
  // Checks alive at the same time share one handler and one list: a second
  // handler installed over the first would pass every other message to
  // itself for ever.
  explicit ModelCheck(QAbstractItemModel* model) {
    if (live()++ == 0) {
      failures().clear();
      previous() = qInstallMessageHandler(&ModelCheck::handler);
    }
    m_tester = std::make_unique<QAbstractItemModelTester>(model,
                                                          QAbstractItemModelTester::FailureReportingMode::Warning);
  }
  ~ModelCheck() {
    m_tester.reset();
    if (--live() == 0) qInstallMessageHandler(previous());
  }
  ModelCheck(const ModelCheck&) = delete;
  ModelCheck& operator=(const ModelCheck&) = delete;

  static QStringList& failures() {
    static QStringList s_failures;
    return s_failures;
  }

private:
  static int& live() {
    static int s_live = 0;
    return s_live;
  }

  static QtMessageHandler& previous() {
    static QtMessageHandler s_previous = nullptr;
    return s_previous;
  }

  static void handler(QtMsgType type, const QMessageLogContext& ctx, const QString& msg) {
    if (type != QtDebugMsg && type != QtInfoMsg && ctx.category && std::strcmp(ctx.category, "qt.modeltest") == 0) {
      failures() << msg;
    } else if (previous()) {
      previous()(type, ctx, msg);
    }
  }

  std::unique_ptr<QAbstractItemModelTester> m_tester;
};
