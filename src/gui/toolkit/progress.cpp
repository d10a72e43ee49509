#include "gui/toolkit/progress.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "gui/toolkit/paths.h"

ProgressDialogRun::ProgressDialogRun(QWidget* parent, int count, bool cancellable, int delay_ms)
    : m_dlg(parent), m_cancellable(cancellable) {
  m_dlg.setWindowModality(Qt::WindowModal);
  m_dlg.setAutoReset(false);
  m_dlg.setAutoClose(false);
  if (!cancellable) m_dlg.setCancelButton(nullptr);
  m_dlg.setMinimumDuration(delay_ms);
  m_dlg.setRange(0, count);
  m_dlg.setValue(0);
}

ProgressDialogRun::~ProgressDialogRun() { m_dlg.close(); }

bool ProgressDialogRun::OnFile(int index, int count, const std::string& path) {
  if (m_dlg.maximum() != count) m_dlg.setMaximum(count);
  m_dlg.setLabelText(QFileInfo(fromFilePath(path)).fileName());
  // setValue lets the modal dialog process its events, so a press on
  // Cancel is seen here, between files.
  m_dlg.setValue(index);
  if (m_cancellable && m_dlg.wasCanceled()) m_cancelled = true;
  return !m_cancelled;
}
