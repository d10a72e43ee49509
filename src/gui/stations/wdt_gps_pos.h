// Tab "采集站分布": the stations of the selected file on maps.
#pragma once

#include <QVector>
#include <QWidget>

class CItem;

class CWdtGpsPos : public QWidget {
  Q_OBJECT
public:
  explicit CWdtGpsPos(QWidget* parent = nullptr);
  ~CWdtGpsPos() override;

  // items belong to the main window.
  void setStationItems(QVector<CItem*>* items);
  void refresh(bool rescale);

  QVector<CItem*>* stationItems() const { return m_items; }

private:
  QVector<CItem*>* m_items = nullptr;
};
