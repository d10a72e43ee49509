#include "gui/section/plot_section_markers.h"

#include <cmath>

PlotSectionMarkers::PlotSectionMarkers(QCPAxis* key_axis, QCPAxis* value_axis, QCPColorScale* scale)
    : QCPAbstractPlottable(key_axis, value_axis), m_scale(scale) {
  setSelectable(QCP::stNone);
}

int PlotSectionMarkers::markerAt(const QPointF& pixel, double radius) const {
  int best = -1;
  double best_d = radius * radius;
  for (int i = 0; i < m_markers.size(); ++i) {
    const QPointF p = coordsToPixels(m_markers[i].x, m_markers[i].y);
    const double dx = p.x() - pixel.x(), dy = p.y() - pixel.y();
    const double d = dx * dx + dy * dy;
    if (d <= best_d) {
      best_d = d;
      best = i;
    }
  }
  return best;
}

double PlotSectionMarkers::selectTest(const QPointF&, bool, QVariant*) const { return -1.0; }

namespace {

QCPRange RangeOf(const QVector<SectionMarker>& markers, double SectionMarker::*coord, bool& found_range) {
  QCPRange r;
  found_range = !markers.isEmpty();
  if (found_range) r = QCPRange(markers.front().*coord, markers.front().*coord);
  for (const SectionMarker& m : markers) r.expand(m.*coord);
  return r;
}

}  // namespace

QCPRange PlotSectionMarkers::getKeyRange(bool& found_range, QCP::SignDomain) const {
  return RangeOf(m_markers, &SectionMarker::x, found_range);
}

QCPRange PlotSectionMarkers::getValueRange(bool& found_range, QCP::SignDomain, const QCPRange&) const {
  return RangeOf(m_markers, &SectionMarker::y, found_range);
}

void PlotSectionMarkers::draw(QCPPainter* painter) {
  QCPColorGradient gradient = m_scale->gradient();
  const QCPRange range = m_scale->dataRange();
  const bool log = m_scale->dataScaleType() == QCPAxis::stLogarithmic;
  const double r = kSize / 2.0;
  // The colour of values outside the limits elsewhere in the program.
  const QPen cross(QColor(176, 23, 31), 1.6);
  painter->setRenderHint(QPainter::Antialiasing, true);
  for (const SectionMarker& m : m_markers) {
    const QPointF p = coordsToPixels(m.x, m.y);
    const QColor c = QColor::fromRgb(gradient.color(m.value, range, log));
    if (m.passed) {
      painter->setPen(QPen(Qt::black, 0.8));
      painter->setBrush(c);
      painter->drawEllipse(p, r, r);
    } else {
      painter->setPen(QPen(c.darker(130), 1.6));
      painter->setBrush(Qt::white);
      painter->drawEllipse(p, r, r);
      painter->setPen(cross);
      painter->drawLine(p + QPointF(-r, -r), p + QPointF(r, r));
      painter->drawLine(p + QPointF(-r, r), p + QPointF(r, -r));
    }
  }
}

void PlotSectionMarkers::drawLegendIcon(QCPPainter*, const QRectF&) const {}
