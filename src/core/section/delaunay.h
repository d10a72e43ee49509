// Delaunay triangulation of scattered points (Qhull) and the linear
// interpolation of values on its triangles, for the surface drawn under the
// points of a pseudo-section or plan map.
#pragma once

#include <array>
#include <vector>

struct Triangulation {
  std::vector<double> x, y;                  // the points, as given
  std::vector<std::array<int, 3>> triangles;  // indices into x and y
};

// Triangles of the points (x[i], y[i]). Fewer than three distinct points,
// or points on one line, give no triangle (and no error); repeated points
// are used once.
Triangulation DelaunayTriangulate(const std::vector<double>& x, const std::vector<double>& y);

// A regular grid of cells: cell (i, j) has its centre at
// (x0 + (i + 0.5) * dx, y0 + (j + 0.5) * dy), i < nx, j < ny.
struct SurfaceGrid {
  int nx = 0, ny = 0;
  double x0 = 0.0, y0 = 0.0, dx = 1.0, dy = 1.0;
  std::vector<double> cells;  // row by row: cells[j * nx + i]; NaN outside every triangle
};

// The grid over the bounding box of the points, nx by ny cells, filled with
// the values (one per point of tri) interpolated linearly on the triangle
// that holds each cell centre.
SurfaceGrid InterpolateGrid(const Triangulation& tri, const std::vector<double>& values, int nx, int ny);

// The value at (px, py) linearly interpolated on the triangle that holds
// it; false outside every triangle.
bool InterpolateAt(const Triangulation& tri, const std::vector<double>& values, double px, double py, double* out);
