// Tab "采集结果": results of the selected SRS file as a table or plots.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

class WdtSipRes : public QWidget {
  Q_OBJECT
public:
  explicit WdtSipRes(QWidget* parent = nullptr);
  ~WdtSipRes() override;

  void setFileList(const QStringList& list);
  void setCurrentFile(const QString& path);

  const QString& currentFile() const { return m_cur_file; }
  const QStringList& fileList() const { return m_list_file; }

private:
  QStringList m_list_file;
  QString m_cur_file;
};
