// The one seam through which pages ask the user something or tell them
// something. Pages never call QMessageBox, QFileDialog or QInputDialog
// directly: the application installs QtPrompts, tests install a scripted
// implementation that returns queued answers and records every message.
#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <string>

class QWidget;

class Prompts {
public:
  virtual ~Prompts();

  // Message boxes with the single button OK.
  virtual void warning(QWidget* parent, const QString& title, const QString& text) = 0;
  virtual void information(QWidget* parent, const QString& title, const QString& text) = 0;
  // Error box with the single button OK; shown as a warning unless the
  // implementation knows better.
  virtual void critical(QWidget* parent, const QString& title, const QString& text);
  // Yes/No; true for Yes.
  virtual bool question(QWidget* parent, const QString& title, const QString& text) = 0;

  // Modal file dialogs; an empty answer means cancelled.
  virtual QStringList openFileNames(QWidget* parent, const QString& caption, const QString& dir,
                                    const QString& filter) = 0;
  virtual QString openFileName(QWidget* parent, const QString& caption, const QString& dir,
                               const QString& filter) = 0;
  virtual QString saveFileName(QWidget* parent, const QString& caption, const QString& dir,
                               const QString& filter) = 0;
  // Directory chooser with QFileDialog::ShowDirsOnly.
  virtual QString existingDirectory(QWidget* parent, const QString& caption, const QString& dir) = 0;
  // Integer input; returns false when cancelled (value untouched).
  virtual bool getInt(QWidget* parent, const QString& title, const QString& label, int value, int min, int max,
                      int step, int* result) = 0;

  // The installed implementation (QtPrompts until something else is installed).
  static Prompts& instance();
  // Takes ownership; returns the previous implementation.
  static std::unique_ptr<Prompts> install(std::unique_ptr<Prompts> prompts);
};

// text, then the reason of a failure (one line from the core, shown as it
// is) on a second line; text alone when there is no reason.
QString withReason(const QString& text, const std::string& why);

// While one exists, a page told about a file it cannot read stays silent:
// the main window reports the failure of a list click once, with the
// reader's reason, instead of one box per page.
class QuietLoadFailures {
public:
  QuietLoadFailures();
  ~QuietLoadFailures();
  QuietLoadFailures(const QuietLoadFailures&) = delete;
  QuietLoadFailures& operator=(const QuietLoadFailures&) = delete;
  static bool active();
};

// The real dialogs.
class QtPrompts : public Prompts {
public:
  void warning(QWidget* parent, const QString& title, const QString& text) override;
  void information(QWidget* parent, const QString& title, const QString& text) override;
  void critical(QWidget* parent, const QString& title, const QString& text) override;
  bool question(QWidget* parent, const QString& title, const QString& text) override;
  QStringList openFileNames(QWidget* parent, const QString& caption, const QString& dir,
                            const QString& filter) override;
  QString openFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter) override;
  QString saveFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter) override;
  QString existingDirectory(QWidget* parent, const QString& caption, const QString& dir) override;
  bool getInt(QWidget* parent, const QString& title, const QString& label, int value, int min, int max, int step,
              int* result) override;
};
