// The "拟断面图" page: the survey at a glance. Over all imported files it
// draws the pseudo-section of a 2-D or 3-D sounding, or the plan map of a
// mid-gradient scan, from the section and plane tables the export would
// write with the export page's settings and limits: apparent resistivity in
// one panel, the IP quantity in the other, every point coloured by its value
// over an interpolated surface, failing points hollow with a cross.
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <utility>
#include <vector>

#include "core/section/delaunay.h"
#include "core/section/pseudo_section.h"
#include "gui/section/plot_section_markers.h"

class CCustomPlot;
class CWdtOutput;
class QAbstractItemModel;
class QCPColorMap;
class QCPColorScale;
class QMouseEvent;
class QPaintDevice;
namespace Ui {
class CWdtPseudoSection;
}

class CWdtPseudoSection : public QWidget {
  Q_OBJECT
public:
  // list: the main window's imported paths; files: the model of its file
  // list, whose resets tell the page that the list changed; output: the
  // export page, whose settings and limits the view uses. None owned.
  CWdtPseudoSection(const QStringList* list, QAbstractItemModel* files, CWdtOutput* output,
                    QWidget* parent = nullptr);
  ~CWdtPseudoSection() override;

  Ui::CWdtPseudoSection* form() const { return ui.get(); }
  const SectionSource& source() const { return m_src; }
  // The points of each panel as drawn (0 resistivity, 1 IP quantity).
  const std::vector<SectionPoint>& points(int panel) const { return m_points[panel]; }
  PlotSectionMarkers* markers(int panel) const { return m_markers[panel]; }
  // Reads the files again and draws when the page is shown (at once when it is).
  void refreshFileList();
  // The view drawn into device at its size in pixels (w by h).
  void paintView(QPaintDevice* device, int w, int h);

signals:
  // A point was double-clicked: its file (path as listed) and its channel
  // label ("<device>_<channel>").
  void pointActivated(const QString& path, const QString& channel);

protected:
  void showEvent(QShowEvent* event) override;

private slots:
  void onKindChanged();
  void onRedraw();
  void onMouseMove(int panel, QMouseEvent* event);
  void onDoubleClick(int panel, QMouseEvent* event);
  void on_btnSavePicture_clicked();

private:
  void collect();
  void fillChoices();
  SectionOptions options(int panel) const;
  void drawPanel(int panel);
  // The triangulation of the current positions, made again only when they change.
  const Triangulation& triangles(const QVector<SectionMarker>& markers);
  QString pointText(int panel, int index) const;
  QString valueName(SectionQuantity q) const;
  bool savePicture(const QString& path, int w, int h, QString* why);

  std::unique_ptr<Ui::CWdtPseudoSection> ui;
  const QStringList* m_list;
  QPointer<CWdtOutput> m_output;
  bool m_stale = true;
  bool m_filling = false;
  bool m_list_changed = true;
  bool m_has_elev = false;
  SectionSource m_src;
  std::vector<LimitItem> m_used_limits;  // the limits of the last collection
  std::pair<size_t, size_t> m_used_tables;  // sizes of its coordinate and elevation tables
  std::vector<SectionPoint> m_points[2];
  CCustomPlot* m_plots[2] = {nullptr, nullptr};
  PlotSectionMarkers* m_markers[2] = {nullptr, nullptr};
  QCPColorMap* m_maps[2] = {nullptr, nullptr};
  QCPColorScale* m_scales[2] = {nullptr, nullptr};
  Triangulation m_tri;
  std::vector<double> m_tri_x, m_tri_y;
  QString m_dir_picture;
};
