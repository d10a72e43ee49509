// Tab "SRS参数编辑": measurement parameters and electrode layout of the
// selected SRS file.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

class CWdtParamSrs : public QWidget {
  Q_OBJECT
public:
  explicit CWdtParamSrs(QWidget* parent = nullptr);
  ~CWdtParamSrs() override;

  void setFileList(const QStringList& list);
  void setCurrentFile(const QString& path);

  const QString& currentFile() const { return m_cur_file; }
  const QStringList& fileList() const { return m_list_file; }

private:
  QStringList m_list_file;
  QString m_cur_file;
};
