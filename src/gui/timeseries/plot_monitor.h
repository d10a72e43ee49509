// Plot of one segment of an SMT time series in millivolts. It reads the
// samples itself from the file object it is given and reports the
// statistics of the segment on screen through signalUpdated.
#pragma once

#include <QColor>
#include <QMap>
#include <QVector>

#include <qcustomplot.h>

class CFormatSmt;

class PlotMonitor : public QCustomPlot {
  Q_OBJECT
public:
  explicit PlotMonitor(QWidget* parent = nullptr);

  // Not owned; the file object must outlive the plot or be reset first.
  void setSmt(CFormatSmt* smt) { m_smt = smt; }
  // A graph "CH:<ch>" in the colour, replacing an earlier one for ch.
  void addChannel(int ch, const QColor& color);
  // Draws count samples of every channel from start (start + count must lie
  // inside the file) and emits the statistics of each channel. Nothing
  // happens without a file or with count 0: the curves and labels stay.
  void plotSegment(int start, int count);
  // Empties every graph and the history; the monitor's labels keep their texts.
  void clearPlot();

  CFormatSmt* m_smt = nullptr;
  QMap<int, QCPGraph*> m_mapGraph;
  QMap<int, QVector<double>> m_mapHistory;

signals:
  void signalUpdated(int idx_ch, double dMinMv, double dMaxMv, double dStdMv);
};
