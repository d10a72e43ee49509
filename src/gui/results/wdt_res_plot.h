// Two stacked result plots (an amplitude-like quantity above, a phase-like
// one below) with one coloured series per selection row, a data-type
// selector, error-bar and connector switches and the selection table. What
// is plotted against what is left to the derived views.
//
// Use: construct, then call initPlots() once (it needs the derived class's
// virtual operations); the owner sets the file with setSrs/setSingleFreq,
// calls updateSelList() after every load or change of result, then
// onUpdateResPlot().
#pragma once

#include <QHash>
#include <QVector>
#include <QWidget>

class QCPGraph;

class CCustomPlot;
class CFormatSRS;
class QResizeEvent;
class ModelPlotSel;

// The form's widgets, reached through form() by the window's users and tests.
#include "ui_wdt_res_plot.h"

class CWdtResPlot : public QWidget {
  Q_OBJECT
public:
  explicit CWdtResPlot(QWidget* parent = nullptr);
  ~CWdtResPlot() override;

  void initPlots();
  // The file is not owned and must outlive its use by the view.
  void setSrs(CFormatSRS* srs) { m_srs = srs; }
  void setSingleFreq(bool single) { m_single_freq = single; }

  // Rebuilds the selection rows from the file.
  virtual void updateSelList() = 0;
  virtual void setXAxisLabel(CCustomPlot* plot) = 0;
  // Creates the selection model (a child of the view), puts it on tbFreqSel.
  virtual ModelPlotSel* createSelModel() = 0;
  // Fills cmbDataType and the two quantity lists together.
  virtual void fillDataTypes() = 0;
  // x, y and error values of one selection row for one quantity (ResItem
  // block index), in display units and in no particular order.
  virtual void fillSeries(int row, int quantity, QVector<double>& xs, QVector<double>& ys,
                          QVector<double>& errs) = 0;

  // Quantity of the upper / lower plot for the current data type; -1 before
  // the data types are filled.
  int plot1Type() const;
  int plot2Type() const;

  // Sets the y label, scale and range of a plot for a quantity (0..9); other
  // quantities leave the plot alone.
  void setYAxisForType(CCustomPlot* plot, int quantity);

  // Ascending by x, moving ys and errs along; equal x keep their order.
  static void sortByX(QVector<double>& xs, QVector<double>& ys, QVector<double>& errs);

  Ui::CWdtResPlot* form() const { return ui; }
  ModelPlotSel* model() const { return m_model; }
  const QVector<QCPGraph*>& graphs1() const { return m_vt_graph1; }
  const QVector<QCPGraph*>& graphs2() const { return m_vt_graph2; }

public slots:
  void onShowGraph();
  void onUpdateResPlot();
  void onUpdateAxis();
  void onUpdateAllShow();
  void onTbHeaderClicked(int col);

protected:
  void rebuildGraphs(CCustomPlot* plot, int quantity, QVector<QCPGraph*>& graphs);
  QCPGraph* buildGraph(CCustomPlot* plot, int row, int quantity);
  void applyVisibility(CCustomPlot* plot, const QVector<QCPGraph*>& graphs);
  // Logarithmic quantities: the range fitted to the data, from the decade
  // below the smallest value to the decade above the largest, unless the
  // user fixed another range; the quantity's default range without data.
  void fitLogRange(CCustomPlot* plot, int quantity, const QVector<QCPGraph*>& graphs);
  // The x tick count follows the axis length.
  void fitTickCount(CCustomPlot* plot);
  void resizeEvent(QResizeEvent* event) override;

  Ui::CWdtResPlot* ui;
  CFormatSRS* m_srs = nullptr;
  QVector<int> m_vt_plot1_type;
  QVector<int> m_vt_plot2_type;
  ModelPlotSel* m_model = nullptr;
  QVector<QCPGraph*> m_vt_graph1;
  QVector<QCPGraph*> m_vt_graph2;
  bool m_single_freq = false;
  QHash<const CCustomPlot*, QCPRange> m_fitted;  // last range fitted per plot
};
