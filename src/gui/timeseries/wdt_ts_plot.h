// Tab "时序显示": time series of a station of the selected file.
#pragma once

#include <QString>
#include <QWidget>

class CWdtTsPlot : public QWidget {
  Q_OBJECT
public:
  explicit CWdtTsPlot(QWidget* parent = nullptr);
  ~CWdtTsPlot() override;

  void setCurrentFile(const QString& path);

  const QString& currentFile() const { return m_cur_file; }

private:
  QString m_cur_file;
};
