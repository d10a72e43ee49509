// The data of the pseudo-section and plan-map view: one point per row of the
// section or plane table, for one frequency point and one quantity, failing
// rows included, and the same points as a CSV file for other tools.
#pragma once

#include <string>
#include <vector>

#include "core/section/section_source.h"

enum class SectionQuantity {
  App,    // apparent resistivity, ohm.m; error in percent
  Cp,     // relative phase, mrad
  Fs,     // frequency effect, percent
  Phase,  // phase, mrad
};

enum class SectionDepth {
  Ab5,    // the -AB/5 column (three electrodes: eq_depth)
  Pc2d5,  // the -PC/2d5 column (three electrodes: eq_depth)
  NLevel, // the n-level, no unit
};

struct SectionOptions {
  int harmonic = 0;  // 0-based frequency point
  SectionQuantity quantity = SectionQuantity::App;
  SectionDepth depth = SectionDepth::Ab5;
  int line = -1;  // only the rows of this line number; -1 every line
};

struct SectionPoint {
  double x = 0.0;      // as the table prints it
  double y = 0.0;      // section: elevation (Alt); plane: Coord_Y
  double depth = 0.0;  // section: positive downwards; plane: 0
  double value = 0.0;  // in the unit of the quantity's table column
  double error = 0.0;
  bool passed = false;
  int row = 0;  // index into SectionSource::rows
  SectionOrigin origin;
};

std::vector<SectionPoint> SectionPoints(const SectionSource& src, const SectionOptions& o);

// Vertical drawing coordinate: the elevation minus the depth (section), y (plane).
inline double SectionPlotY(const SectionPoint& p) { return p.y - p.depth; }

// Unit of the quantity's values and of its errors ("Ω·m" and "%" ...).
const char* SectionValueUnit(SectionQuantity q);
const char* SectionErrorUnit(SectionQuantity q);

// Header "x_m,y_m,depth_m,value,error,passed,file,station,channel", one line
// per point; numbers with a dot whatever the locale; x and y with the
// table's format ("%f" section, "%.2f" plane). Written atomically.
bool WriteSectionCsv(const std::string& path, const SectionSource& src, const std::vector<SectionPoint>& points,
                     std::string* why);
