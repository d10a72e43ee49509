#include "core/export/export_plan.h"

#include "core/base/ex_string.h"
#include "core/export/export_group.h"
#include "core/processing/srs_recalc.h"
#include "core/sip/format_srs.h"

int ExportFirstLayout(const std::vector<std::string>& paths) {
  if (paths.empty()) return SIP_POLE4_SOUNDING;
  CFormatSRS srs;
  srs.SetSkipItems(true, true);
  if (!srs.Read(paths[0])) return SIP_POLE4_SOUNDING;
  return srs.m_prm_meas.layout;
}

int ExportArrayCode(const ExportOptions& o) {
  switch (o.format) {
    case ExportFormat::Plane: return SIP_MID_GRADIENT;
    case ExportFormat::CheckErr: return ExportFirstLayout(o.paths);
    case ExportFormat::Section3d: return o.four_poles ? SIP_POLE4_SOUNDING : SIP_POLE3_SOUNDING;
    case ExportFormat::Res3dinv: return o.layout;
    default: break;
  }
  if (ExportIsThreeD(o)) return o.layout;
  const int l = ExportFirstLayout(o.paths);
  return l == SIP_MID_GRADIENT ? SIP_POLE4_SOUNDING : l;
}

ExportPlan PlanExport(const ExportOptions& o) {
  ExportPlan plan;
  // The SMT files of a file are found by its base name, and the check-point
  // table names the files by it: two of one name would be taken for one.
  OutputCollision same;
  if ((o.from_smt || o.format == ExportFormat::CheckErr) && FindOutputCollision(o.paths, SrsBaseName, &same)) {
    plan.refusal.push_back({ExportCode::SameBaseName, {ex_ansi_to_utf8(same.first), ex_ansi_to_utf8(same.second)}});
    return plan;
  }
  std::vector<std::string> unreadable;
  const int k = GroupFiles(o.paths, o.layout, ExportIsThreeD(o), &plan.groups, &unreadable);
  if (o.stop_on_unreadable && !unreadable.empty())
    plan.refusal.push_back({ExportCode::ReadFailed, {ex_ansi_to_utf8(unreadable[0])}});
  else if (k >= 1)
    plan.refusal.push_back({ExportCode::DeviceError, {std::to_string(k), ex_ansi_to_utf8(o.paths[size_t(k - 1)])}});
  else if (plan.groups.empty())
    plan.refusal.push_back({ExportCode::NoFiles, {}});
  if (!plan.ok()) {
    plan.groups.clear();
    return plan;
  }
  plan.array_code = ExportArrayCode(o);
  return plan;
}
