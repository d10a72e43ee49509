// The plot widget of the result views and the station map: QCustomPlot with
// a right-button context menu (range dialog, logarithmic axes), right-button
// zoom gestures, a cursor read-out on the selected graph, a rescale that
// honours fixed ranges and logarithmic axes, a symmetric-logarithm y scale
// and graph creation that refuses invalid values.
#pragma once

#include <QColor>
#include <QPen>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QVector>

#include <qcustomplot.h>

class QAction;
class QMenu;
class CDlgPlotRange;

// Scales of the y axis (the values of SetYMode and m_y_mode).
enum PlotYMode {
  PLOT_Y_LINEAR = 0,
  PLOT_Y_LOG = 1,
  PLOT_Y_SYMLOG = 2,
};

class CCustomPlot : public QCustomPlot {
  Q_OBJECT
public:
  explicit CCustomPlot(QWidget* parent = nullptr);
  ~CCustomPlot() override;

  bool eventFilter(QObject* watched, QEvent* event) override;

  // Creates the title row above the axis rect on first use.
  void SetTitle(const QString& text);
  void SetXLog(bool on);
  // mode: a PlotYMode; PLOT_Y_SYMLOG with the linear threshold |lin| (a
  // zero or non-finite threshold keeps the current one). The y range and
  // the values of every graph (and their error bars) are converted from the
  // current mode to the new one.
  void SetYMode(int mode, double lin, double b);
  // Fits all axes to every plottable (visible or not); fixed ranges win,
  // logarithmic axes get a geometric margin, linear ones grow by margin
  // about their centre. Without graphs neither fixed ranges nor margins apply.
  void Rescale(double margin);

  // Adds a graph of the leading valid points of (keys, values): with a
  // logarithmic x axis the data start at the first positive key, and the
  // first key or value that is NaN or beyond the float range stops the copy
  // and is reported to the user in a modal error box. y values go through
  // the symmetric logarithm in mode 2. Never returns null.
  QCPGraph* AddGraph(const QVector<double>& keys, const QVector<double>& values, const QString& name,
                     const QPen& pen);
  // The same with a line style, a scatter style and optional symmetric
  // errors, drawn as value error bars that live and die with the graph.
  // Missing or non-finite errors draw no bar.
  QCPGraph* AddGraph(const QVector<double>& keys, const QVector<double>& values, const QString& name,
                     const QPen& pen, bool line, const QCPScatterStyle& scatter,
                     const QVector<double>* errors = nullptr);
  QCPGraph* AddGraph(const QString& name, const QPen& pen = QPen());
  QCPGraph* AddGraph();
  // The error bars drawn for a graph by AddGraph, or null.
  QCPErrorBars* ErrorBarsOf(const QCPGraph* graph);

  // "R:<deviation>  A:<mean>": deviation = sqrt(mean squared deviation) / n.
  // An empty vector has deviation 0 and mean NaN.
  static QString StatText(const QVector<double>& values);
  // Hue (group * 6 + 60 * index) mod 360 for index 0..5 (other indices add
  // nothing), saturation 255, lightness 120.
  static QColor SeriesColor(int index, int group, int alpha = 255);
  static QPen SeriesPen(int index, int group, int alpha = 255);
  static QColor HueColor(int hue);

  // The symmetric logarithm with the linear threshold |lin| and its inverse.
  static double SymLog(double v, double lin);
  static double SymLogInv(double u, double lin);
  // The geometric margin of a logarithmic axis range: [lo / k, hi * k] with
  // k = 10^(log10(hi / lo) * (margin - 1) / 2). False (range untouched) when
  // the range is empty or crosses zero.
  static bool LogMargin(double& lo, double& hi, double margin);

  // The range dialog as the context menu runs it: InitRangeDialog fills a
  // dialog with the current ranges and the fixed-range settings, and
  // ApplyRangeDialog sets both axes to the ranges of an accepted dialog.
  void InitRangeDialog(CDlgPlotRange& dlg);
  void ApplyRangeDialog(const CDlgPlotRange& dlg);

  QMenu* m_menu = nullptr;
  // Fixed ranges used by Rescale instead of the data extent. The range
  // dialog and the views write them directly.
  int m_x_fixed = 0;
  double m_x_min = 1.0;
  double m_x_max = 10.0;
  int m_y_fixed = 0;
  double m_y_min = 1.0;
  double m_y_max = 10.0;
  // The plot's own items. They are recreated when someone clears all items
  // of the plot, so the plot always holds these four besides its users' items.
  QPointer<QCPItemRect> m_zoom_rect;
  QPointer<QCPItemEllipse> m_zoom_out;
  QPointer<QCPItemText> m_cursor_text;
  QPointer<QCPItemTracer> m_tracer;
  bool m_x_log = false;
  int m_y_mode = PLOT_Y_LINEAR;
  double m_sym_lin = 0.0001;
  bool m_tracer_on = true;
  double m_sym_b = 0.1;
  bool m_selected = false;
  QString m_selected_name;
  QCPTextElement* m_title = nullptr;
  QAction* m_act_x_log = nullptr;
  QAction* m_act_y_log = nullptr;

public slots:
  void BeforeReplot();
  void SelectionChangedByUser();
  void onMenuSetAxisXLog();
  void onMenuSetAxisYLog();
  void onMenuSetRange();

private:
  void EnsureOwnItems();
  bool TracerHasGraph() const;
  void UpdateCursorText();
  bool MovedBeyondThreshold(const QPoint& pos) const;
  void HandleRightPress(const QPoint& pos);
  void HandleMove(const QPoint& pos);
  void HandleRightRelease(const QPoint& pos);

  bool m_pressed = false;
  bool m_drag = false;
  QPoint m_drag_px;
  double m_drag_x = 0.0;
  double m_drag_y = 0.0;
};
