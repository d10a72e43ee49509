#include "core/section/delaunay.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

extern "C" {
#include <libqhull_r/qhull_ra.h>
}

namespace {

// Barycentric weights of (px, py) in triangle t; false when the triangle is
// degenerate or the point lies outside (with a small tolerance for edges).
bool Weights(const Triangulation& tri, const std::array<int, 3>& t, double px, double py, double w[3]) {
  const double x1 = tri.x[size_t(t[0])], y1 = tri.y[size_t(t[0])];
  const double x2 = tri.x[size_t(t[1])], y2 = tri.y[size_t(t[1])];
  const double x3 = tri.x[size_t(t[2])], y3 = tri.y[size_t(t[2])];
  const double det = (y2 - y3) * (x1 - x3) + (x3 - x2) * (y1 - y3);
  if (det == 0.0) return false;
  w[0] = ((y2 - y3) * (px - x3) + (x3 - x2) * (py - y3)) / det;
  w[1] = ((y3 - y1) * (px - x3) + (x1 - x3) * (py - y3)) / det;
  w[2] = 1.0 - w[0] - w[1];
  const double eps = -1e-9;
  return w[0] >= eps && w[1] >= eps && w[2] >= eps;
}

double Blend(const std::vector<double>& v, const std::array<int, 3>& t, const double w[3]) {
  return w[0] * v[size_t(t[0])] + w[1] * v[size_t(t[1])] + w[2] * v[size_t(t[2])];
}

}  // namespace

Triangulation DelaunayTriangulate(const std::vector<double>& x, const std::vector<double>& y) {
  Triangulation tri;
  tri.x = x;
  tri.y = y;
  const size_t n = std::min(x.size(), y.size());
  tri.x.resize(n);
  tri.y.resize(n);
  std::vector<coordT> pts;
  pts.reserve(2 * n);
  for (size_t i = 0; i < n; ++i) {
    if (!std::isfinite(x[i]) || !std::isfinite(y[i])) return tri;
    pts.push_back(x[i]);
    pts.push_back(y[i]);
  }
  if (n < 3) return tri;
  // Qhull reports why a flat input has no triangles on its error stream;
  // that is an ordinary case here, not a message for the user.
  FILE* quiet = std::fopen("/dev/null", "w");
  qhT qh_qh;
  qhT* qh = &qh_qh;
  qh_zero(qh, quiet);
  char options[] = "qhull d Qt Qbb Qc Qz";
  const int code = qh_new_qhull(qh, 2, int(n), pts.data(), False, options, nullptr, quiet);
  if (code == 0) {
    facetT* facet;
    FORALLfacets {
      if (facet->upperdelaunay) continue;
      std::array<int, 3> t{};
      int k = 0;
      vertexT *vertex, **vertexp;
      FOREACHvertex_(facet->vertices) {
        if (k < 3) t[size_t(k)] = qh_pointid(qh, vertex->point);
        ++k;
      }
      if (k == 3) tri.triangles.push_back(t);
    }
  }
  qh_freeqhull(qh, !qh_ALL);
  int curlong = 0, totlong = 0;
  qh_memfreeshort(qh, &curlong, &totlong);
  if (quiet) std::fclose(quiet);
  return tri;
}

SurfaceGrid InterpolateGrid(const Triangulation& tri, const std::vector<double>& values, int nx, int ny) {
  SurfaceGrid g;
  if (tri.x.empty() || nx < 1 || ny < 1 || values.size() < tri.x.size()) return g;
  const auto [xmin, xmax] = std::minmax_element(tri.x.begin(), tri.x.end());
  const auto [ymin, ymax] = std::minmax_element(tri.y.begin(), tri.y.end());
  g.nx = nx;
  g.ny = ny;
  g.x0 = *xmin;
  g.y0 = *ymin;
  g.dx = (*xmax - *xmin) / nx;
  g.dy = (*ymax - *ymin) / ny;
  if (g.dx <= 0.0) g.dx = 1.0;
  if (g.dy <= 0.0) g.dy = 1.0;
  g.cells.assign(size_t(nx) * size_t(ny), std::numeric_limits<double>::quiet_NaN());
  // Each triangle fills the cells whose centres it holds: the work grows
  // with the grid, not with grid times triangles.
  for (const std::array<int, 3>& t : tri.triangles) {
    double lo_x = tri.x[size_t(t[0])], hi_x = lo_x, lo_y = tri.y[size_t(t[0])], hi_y = lo_y;
    for (int k = 1; k < 3; ++k) {
      lo_x = std::min(lo_x, tri.x[size_t(t[size_t(k)])]);
      hi_x = std::max(hi_x, tri.x[size_t(t[size_t(k)])]);
      lo_y = std::min(lo_y, tri.y[size_t(t[size_t(k)])]);
      hi_y = std::max(hi_y, tri.y[size_t(t[size_t(k)])]);
    }
    const int i0 = std::max(0, int(std::ceil((lo_x - g.x0) / g.dx - 0.5)));
    const int i1 = std::min(nx - 1, int(std::floor((hi_x - g.x0) / g.dx - 0.5)));
    const int j0 = std::max(0, int(std::ceil((lo_y - g.y0) / g.dy - 0.5)));
    const int j1 = std::min(ny - 1, int(std::floor((hi_y - g.y0) / g.dy - 0.5)));
    for (int j = j0; j <= j1; ++j) {
      const double py = g.y0 + (j + 0.5) * g.dy;
      for (int i = i0; i <= i1; ++i) {
        double w[3];
        double& cell = g.cells[size_t(j) * size_t(nx) + size_t(i)];
        if (!std::isnan(cell)) continue;
        if (Weights(tri, t, g.x0 + (i + 0.5) * g.dx, py, w)) cell = Blend(values, t, w);
      }
    }
  }
  return g;
}

bool InterpolateAt(const Triangulation& tri, const std::vector<double>& values, double px, double py, double* out) {
  if (values.size() < tri.x.size()) return false;
  for (const std::array<int, 3>& t : tri.triangles) {
    double w[3];
    if (!Weights(tri, t, px, py, w)) continue;
    *out = Blend(values, t, w);
    return true;
  }
  return false;
}
