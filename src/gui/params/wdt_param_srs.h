// Tab "SRS参数编辑": measurement parameters and electrode layout of the
// selected SRS file.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include "core/sip/format_srs.h"

class CWdtParamSrs : public QWidget {
  Q_OBJECT
public:
  explicit CWdtParamSrs(QWidget* parent = nullptr);
  ~CWdtParamSrs() override;

  void setFileList(const QStringList& list);
  void setCurrentFile(const QString& path);

  // Name of the first electrode of the held file at exactly (x, y), or an
  // empty text.
  QString poleNameAt(float x, float y) const;

  // Electrodes of the held file (free layout).
  const std::vector<PrmPole>& poles() const { return m_srs.m_vt_pole; }
  const QString& currentFile() const { return m_cur_file; }
  const QStringList& fileList() const { return m_list_file; }

private:
  QStringList m_list_file;
  QString m_cur_file;
  CFormatSRS m_srs;
  bool m_srs_inited = false;
};
