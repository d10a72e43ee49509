// Tab "数据导出": exports the results of all imported SRS files.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <vector>

#include "core/sip/limits.h"

class CWdtOutput : public QWidget {
  Q_OBJECT
public:
  // list: the main window's imported paths, read whenever the page needs them.
  // Builds the default limit table and publishes it through SharedData.
  CWdtOutput(QStringList* list, QWidget* parent = nullptr);
  ~CWdtOutput() override;

  void refreshFileList();
  void setCurrentFile(const QString& path);
  void clearInputs();

  const QString& currentFile() const { return m_cur_file; }

private:
  QStringList* m_list;
  QString m_cur_file;
  // Rows 0 amplitude, 1 apparent resistivity, 2 CP (LIMIT_TYPE_CNT rows).
  std::vector<LimitItem> m_limits;
};
