// One channel of the time-series page: the segment plot and, beside it, the
// title and the segment's standard deviation, minimum and maximum in mV.
#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class PlotMonitor;

class WdtMonitorCh : public QWidget {
  Q_OBJECT
public:
  explicit WdtMonitorCh(QWidget* parent = nullptr);

  // Smallest plot height at which its tick labels do not overlap.
  static constexpr int kMinPlotHeight = 110;

  void setTitle(const QString& title);
  // The page configures the plot directly.
  PlotMonitor* plot() const { return m_plot; }

  QString titleText() const;
  QString stdText() const;
  QString minText() const;
  QString maxText() const;

public slots:
  // idxCh is not used: a monitor shows one channel.
  void onChUpdated(int idxCh, double dMinMv, double dMaxMv, double dStdMv);

private:
  PlotMonitor* m_plot = nullptr;
  QLabel* m_lbTitle = nullptr;
  QLabel* m_lbStd = nullptr;
  QLabel* m_lbMin = nullptr;
  QLabel* m_lbMax = nullptr;
};
