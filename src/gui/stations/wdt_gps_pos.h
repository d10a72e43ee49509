// Tab "采集站分布": the stations of the selected file in a table with check
// boxes, at their GPS positions (east and north metres from a reference
// point one arc-second south-west of the checked stations) and at their
// design positions, where the free layout also shows each channel's
// electrodes joined to the station by dashed lines in the channel colours.
#pragma once

#include <QList>
#include <QVector>
#include <QWidget>

#include "gui/stations/item_gps_pos.h"
#include "gui/stations/model_st_pos.h"

class QAction;
class QCPItemText;
class QGroupBox;
class QShowEvent;
class QTableView;
class CCustomPlot;

class CWdtGpsPos : public QWidget {
  Q_OBJECT
public:
  explicit CWdtGpsPos(QWidget* parent = nullptr);
  ~CWdtGpsPos() override;

  // items belong to the main window; the window only changes their checked flag.
  void setStationItems(QVector<CItem*>* items);
  void refresh(bool rescale);

  QVector<CItem*>* stationItems() const { return m_items; }
  // Colour of channel k (0..5) on the design plot and in the legend; black otherwise.
  static QColor channelColor(int k);

  // Read by the tests and the screenshots.
  QList<QCPItemText*> m_vt_label[2];
  CItemGpsPos m_origin;
  CCustomPlot* m_plot[2] = {nullptr, nullptr};
  CModelStPos m_model;
  QTableView* m_view = nullptr;
  QAction* m_act_hide[2] = {nullptr, nullptr};
  QAction* m_act_rotate[2] = {nullptr, nullptr};

public slots:
  void onBtnClose();
  void onItemChecked(QVector<CItem*> VtItem);
  void onUpdatePlotGps(bool rescale);
  void onUpdatePlotUser(bool rescale);
  void onShowHideName();
  void onRotateName();

protected:
  void showEvent(QShowEvent* event) override;

private:
  void computeOrigin();
  void addPoint(int plot, const CItemGpsPos& item, int style);
  void addPolePoint(int plot, int k, const PrmPole& pole, double sx, double sy);
  void applyHide(int plot);
  void applyRotation(int plot);
  void clearPoleItems();
  void fitTableWidth();

  QVector<CItem*>* m_items = nullptr;
  QGroupBox* m_grpTable = nullptr;
  QList<CItemGpsPos*> m_vt_pole_item;
};
