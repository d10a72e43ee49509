#include "core/export/export_options.h"

bool ExportIsThreeD(const ExportOptions& o) {
  switch (o.format) {
    case ExportFormat::Res3dinv:
    case ExportFormat::Section3d: return true;
    // Free-electrode data points carry their x, y positions only as 3-D rows.
    case ExportFormat::Ohm:
    case ExportFormat::Fdip:
    case ExportFormat::Crtomo:
    case ExportFormat::Protocol: return o.layout == SIP_ALL_GRADIENT;
    default: return false;
  }
}

bool ExportIsInversion(ExportFormat f) {
  return f == ExportFormat::Res2dinv || f == ExportFormat::Zond2d || f == ExportFormat::Res3dinv ||
         f == ExportFormat::Ohm || ExportIsMultiFreq(f);
}

bool ExportIsMultiFreq(ExportFormat f) {
  return f == ExportFormat::Fdip || f == ExportFormat::Crtomo || f == ExportFormat::Protocol;
}

bool ExportCombines(const ExportOptions& o) {
  return o.combine && ExportIsInversion(o.format) && !ExportIsThreeD(o);
}
