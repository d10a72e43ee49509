// A station shown on the station map: a name and a checked flag.
#pragma once

#include <QObject>
#include <QString>

class CItem : public QObject {
  Q_OBJECT
public:
  explicit CItem(QObject* parent = nullptr);
  CItem(const QString& name, QObject* parent = nullptr);
  ~CItem() override;

  QString m_name;
  bool m_checked = true;
};
