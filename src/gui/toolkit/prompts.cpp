#include "gui/toolkit/prompts.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace {
std::unique_ptr<Prompts>& current() {
  static std::unique_ptr<Prompts> s_prompts(new QtPrompts);
  return s_prompts;
}
}  // namespace

Prompts::~Prompts() = default;

void Prompts::critical(QWidget* parent, const QString& title, const QString& text) { warning(parent, title, text); }

Prompts& Prompts::instance() { return *current(); }

namespace {
int s_quiet_load_failures = 0;
}

QuietLoadFailures::QuietLoadFailures() { ++s_quiet_load_failures; }
QuietLoadFailures::~QuietLoadFailures() { --s_quiet_load_failures; }
bool QuietLoadFailures::active() { return s_quiet_load_failures > 0; }

std::unique_ptr<Prompts> Prompts::install(std::unique_ptr<Prompts> prompts) {
  std::unique_ptr<Prompts> old = std::move(current());
  current() = prompts ? std::move(prompts) : std::unique_ptr<Prompts>(new QtPrompts);
  return old;
}

void QtPrompts::warning(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox::warning(parent, title, text, QMessageBox::Ok);
}

void QtPrompts::information(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox::information(parent, title, text, QMessageBox::Ok);
}

void QtPrompts::critical(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox::critical(parent, title, text, QMessageBox::Ok);
}

bool QtPrompts::question(QWidget* parent, const QString& title, const QString& text) {
  return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

QStringList QtPrompts::openFileNames(QWidget* parent, const QString& caption, const QString& dir,
                                     const QString& filter) {
  QFileDialog dlg(parent, caption, dir, filter);
  dlg.setFileMode(QFileDialog::ExistingFiles);
  dlg.setModal(true);
  if (dlg.exec() != QDialog::Accepted) return QStringList();
  return dlg.selectedFiles();
}

QString QtPrompts::openFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter) {
  return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString QtPrompts::saveFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter) {
  return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}

QString QtPrompts::existingDirectory(QWidget* parent, const QString& caption, const QString& dir) {
  return QFileDialog::getExistingDirectory(parent, caption, dir, QFileDialog::ShowDirsOnly);
}

bool QtPrompts::getInt(QWidget* parent, const QString& title, const QString& label, int value, int min, int max,
                       int step, int* result) {
  bool ok = false;
  int v = QInputDialog::getInt(parent, title, label, value, min, max, step, &ok);
  if (ok && result) *result = v;
  return ok;
}

QString withReason(const QString& text, const std::string& why) {
  if (why.empty()) return text;
  return text + "\n" + QString::fromUtf8(why.c_str());
}
