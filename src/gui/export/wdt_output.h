// Tab "数据导出": exports the results of all imported SRS files.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

class CWdtOutput : public QWidget {
  Q_OBJECT
public:
  // list: the main window's imported paths, read whenever the page needs them.
  CWdtOutput(QStringList* list, QWidget* parent = nullptr);
  ~CWdtOutput() override;

  void refreshFileList();
  void setCurrentFile(const QString& path);
  void clearInputs();

  const QString& currentFile() const { return m_cur_file; }

private:
  QStringList* m_list;
  QString m_cur_file;
};
