// The data points of a pseudo-section or plan map on a QCustomPlot: each a
// circle filled with the colour of its value on a colour scale; points that
// fail the limits hollow with a cross.
#pragma once

#include <QVector>

#include <qcustomplot.h>

struct SectionMarker {
  double x = 0.0;
  double y = 0.0;
  double value = 0.0;
  bool passed = true;
};

class PlotSectionMarkers : public QCPAbstractPlottable {
  Q_OBJECT
public:
  // scale: the colour scale whose gradient and range colour the points; not owned.
  PlotSectionMarkers(QCPAxis* key_axis, QCPAxis* value_axis, QCPColorScale* scale);

  void setMarkers(const QVector<SectionMarker>& markers) { m_markers = markers; }
  const QVector<SectionMarker>& markers() const { return m_markers; }
  // Index of the marker nearest to the pixel position within radius pixels; -1 for none.
  int markerAt(const QPointF& pixel, double radius) const;

  double selectTest(const QPointF& pos, bool only_selectable, QVariant* details = nullptr) const override;
  QCPRange getKeyRange(bool& found_range, QCP::SignDomain in_sign_domain = QCP::sdBoth) const override;
  QCPRange getValueRange(bool& found_range, QCP::SignDomain in_sign_domain = QCP::sdBoth,
                         const QCPRange& in_key_range = QCPRange()) const override;

  static constexpr double kSize = 8.0;  // marker diameter, pixels

protected:
  void draw(QCPPainter* painter) override;
  void drawLegendIcon(QCPPainter* painter, const QRectF& rect) const override;

private:
  QCPColorScale* m_scale;
  QVector<SectionMarker> m_markers;
};
