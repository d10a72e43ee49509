// The delayed progress dialog of a run over files: it appears only when the
// run lasts, shows the file being worked on and, where the run can stop
// between files, offers Cancel.
#pragma once

#include <QProgressDialog>
#include <QString>

#include "core/base/run_loop.h"
#include "gui/toolkit/wait_cursor.h"

class ProgressDialogRun : public RunProgress {
public:
  // cancellable: show a Cancel button; OnFile then returns false once it
  // was pressed.
  ProgressDialogRun(QWidget* parent, int count, bool cancellable, int delay_ms = 1000);
  ~ProgressDialogRun() override;

  bool OnFile(int index, int count, const std::string& path) override;
  bool wasCancelled() const { return m_cancelled; }
  QProgressDialog& dialog() { return m_dlg; }

private:
  QProgressDialog m_dlg;
  bool m_cancellable;
  bool m_cancelled = false;
};

// run(&progress) under the wait cursor and the delayed progress dialog over
// count files; returns what run returns, after both are gone.
template <typename Run>
auto RunWithProgress(QWidget* parent, int count, bool cancellable, Run run) {
  WaitCursor wait;
  ProgressDialogRun progress(parent, count, cancellable);
  return run(&progress);
}
