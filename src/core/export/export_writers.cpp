#include "core/export/export_writers.h"

namespace {

bool Res2dinv(CSipExport& ex, GroupRows& g) { return ex.WriteRes2dinv(g.rows, g.first); }
bool Zond2d(CSipExport& ex, GroupRows& g) { return ex.WriteZond2d(g.rows, g.first); }
bool Res3dinv(CSipExport& ex, GroupRows& g) { return ex.WriteRes3dinv(g.rows, g.first); }
bool Ohm(CSipExport& ex, GroupRows& g) { return ex.WriteOhm(g.rows, g.first); }
bool Section(CSipExport& ex, GroupRows& g) { return ex.WriteSection(g.rows, g.station, g.first); }
bool Plane(CSipExport& ex, GroupRows& g) { return ex.WritePlane(g.rows, g.station, g.first_name, g.first); }
bool Fdip(CSipExport& ex, GroupRows& g) { return ex.WriteMultiFreq(ExportFormat::Fdip, g.rows, g.results, g.first); }
bool Crtomo(CSipExport& ex, GroupRows& g) {
  return ex.WriteMultiFreq(ExportFormat::Crtomo, g.rows, g.results, g.first);
}
bool Protocol(CSipExport& ex, GroupRows& g) {
  return ex.WriteMultiFreq(ExportFormat::Protocol, g.rows, g.results, g.first);
}
bool CheckErr(CSipExport& ex, GroupRows& g) {
  return ex.WriteCheckErr(g.results, g.names, int(g.results.size()), g.first);
}

const ExportWriter kWriters[] = {
    // format, write, per_file, no_fs_name, topography, with_ohm
    {ExportFormat::Res2dinv, Res2dinv, false, nullptr, false, true},
    {ExportFormat::Zond2d, Zond2d, false, "Zondres2d", false, true},
    {ExportFormat::Res3dinv, Res3dinv, false, nullptr, true, true},
    {ExportFormat::Ohm, Ohm, false, ".ohm", false, false},
    {ExportFormat::Section, Section, false, nullptr, false, false},
    {ExportFormat::Section3d, Section, false, nullptr, false, false},
    {ExportFormat::Plane, Plane, false, nullptr, false, false},
    {ExportFormat::CheckErr, CheckErr, true, nullptr, false, false},
    // Always the impedance phase, whatever the IP choice: the frequency
    // effect is no reason to refuse them.
    {ExportFormat::Fdip, Fdip, false, nullptr, false, false},
    {ExportFormat::Crtomo, Crtomo, false, nullptr, false, false},
    {ExportFormat::Protocol, Protocol, false, nullptr, false, false},
};

}  // namespace

const ExportWriter& ExportWriterOf(ExportFormat format) {
  for (const ExportWriter& w : kWriters)
    if (w.format == format) return w;
  return kWriters[0];
}
