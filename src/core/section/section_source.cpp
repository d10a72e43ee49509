#include "core/section/section_source.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "core/base/ex_string.h"
#include "core/base/ordered_prefetch.h"

namespace {

bool SameItem(const ResItem& a, const ResItem& b) {
  for (int k = 0; k < TYPE_CNT; ++k) {
    const ResBlock &x = a.blk[k], &y = b.blk[k];
    if (x.count != y.count || std::memcmp(&x.value, &y.value, sizeof(float)) != 0 ||
        std::memcmp(&x.err, &y.err, sizeof(float)) != 0 || std::memcmp(&x.std, &y.std, sizeof(float)) != 0)
      return false;
  }
  return true;
}

// The file and channel whose item the merge kept at position pos: the first
// one holding an identical item there, else the last one at pos (whose
// channel entry the merge keeps).
SectionOrigin OriginOf(std::vector<CResultSip>& results, const std::vector<std::string>& paths, float pos, int h,
                       const ResItem& kept) {
  SectionOrigin last;
  for (size_t f = 0; f < results.size(); ++f) {
    CResultSip& r = results[f];
    if (h >= r.GetHarmNum()) continue;
    for (int j = 0; j < r.GetChNum(); ++j) {
      const ChInfo info = r.GetChInfo(j);
      if (info.m_pos != pos) continue;
      const SectionOrigin o{paths[f], info.dev_name, info.idx_dev_ch + 1};
      if (SameItem(r.GetItem(j, 0, h), kept)) return o;
      last = o;
    }
  }
  return last;
}

void SectionColumns(SectionRow& row, const ChInfo& info, CResultSip& result, CFormatSRS& srs, const CSipExport& ex) {
  const CSipExport::Electrodes e = ex.RowElectrodes(info, result, srs);
  const float mx = e.m.x, nx = e.n.x, ax = e.a.x, bx = e.b.x;
  const CSipExport::SectionPlace at = CSipExport::SectionPlaceOf(e);
  const bool three = ex.ElectrodeCount() == 3;
  row.x = at.p;
  row.y = ex.ElevAt(at.p);
  // The table's depth columns are negative downwards.
  row.depth_ab = three ? -at.eq_depth : -at.ab5;
  row.depth_pc = three ? -at.eq_depth : -at.pc2d5;
  float gap = std::min(std::fabs(mx - ax), std::fabs(nx - ax));
  if (!three) gap = std::min({gap, std::fabs(mx - bx), std::fabs(nx - bx)});
  const float mn = std::fabs(nx - mx);
  row.n_level = mn > 0.0f ? gap / mn : 0.0f;
}

// The plane table's coordinates: the middle of the M and N sites.
void PlaneColumns(SectionRow& row, int i, CResultSip& result, const CSipExport& ex) {
  CFormatTxtSiteCoord::Item site_m, site_n;
  if (!ex.PlaneSites(result, i, &site_m, &site_n)) return;
  row.x = float((site_m.x + site_n.x) / 2.0);
  row.y = float((site_m.y + site_n.y) / 2.0);
  row.site = site_m.name;
}

void AddRows(SectionSource& out, int group, CResultSip& result, std::vector<CResultSip>& results,
             const std::vector<std::string>& paths, CFormatSRS& first, const CSipExport& ex) {
  const int harm = result.GetHarmNum();
  for (int i = 0; i < result.GetChNum(); ++i) {
    if (!ex.IsUsable(i, result, first, false)) continue;
    const ChInfo info = result.GetChInfo(i);
    SectionRow row;
    row.group = group;
    row.line_no = info.line_no;
    if (out.plane) {
      PlaneColumns(row, i, result, ex);
      row.passed = ex.IsUsable(i, result, first, true);
    } else {
      SectionColumns(row, info, result, first, ex);
      row.passed = true;
      for (int h = 0; h < harm && row.passed; ++h) row.passed = ex.PassLimitsHarm(result, i, h);
    }
    for (int h = 0; h < harm; ++h) {
      row.items.push_back(result.GetItem(i, 0, h));
      row.origin.push_back(OriginOf(results, paths, info.m_pos, h, row.items.back()));
    }
    out.rows.push_back(std::move(row));
  }
}

}  // namespace

SectionSource CollectSection(const ExportOptions& o, RunProgress* progress) {
  SectionSource out;
  const bool three_d = ExportIsThreeD(o);
  out.plane = o.format == ExportFormat::Plane;
  const ExportPlan plan = PlanExport(o);
  if (!plan.ok()) {
    const ExportMessage& m = plan.refusal[0];
    out.refusal = m;
    if (m.code == ExportCode::ReadFailed) {
      out.status = SECTION_READ_FAILED;
      out.arg_path = m.args.empty() ? std::string() : m.args[0];
    } else if (m.code == ExportCode::SameBaseName) {
      out.status = SECTION_SAME_NAME;
    } else if (m.code == ExportCode::DeviceError) {
      out.status = SECTION_DEVICE_ERROR;
      out.arg = std::atoi(m.args.empty() ? "0" : m.args[0].c_str());
    } else {
      out.status = SECTION_NO_FILES;
    }
    return out;
  }
  const std::vector<std::vector<std::string>>& groups = plan.groups;
  // The section writer's channel tests, limits and tables.
  CSipExport ex(o, plan.array_code, three_d);
  out.three_poles = !out.plane && ex.ElectrodeCount() == 3;

  SmtLookup smt;
  std::vector<const std::string*> order;
  for (const auto& g : groups)
    for (const std::string& p : g) order.push_back(&p);
  const unsigned workers = o.from_smt ? 0u : ExportPrefetchWorkers();
  // Sections never combine poles: the first order with no shift.
  OrderedPrefetch<PreparedFile> prefetch(
      order.size(), [&](size_t i) { return ExportPrepareFile(*order[i], o, three_d, 0.0f, &smt); }, workers,
      2 * size_t(workers));
  for (size_t g = 0; g < groups.size(); ++g) {
    const std::vector<std::string>& group = groups[g];
    if (progress && !progress->OnFile(int(g), int(groups.size()), group[0])) {
      out.status = SECTION_CANCELLED;
      return out;
    }
    std::vector<std::unique_ptr<CFormatSRS>> files;
    std::vector<CResultSip> results(group.size());
    for (size_t f = 0; f < group.size(); ++f) {
      PreparedFile p = prefetch.Take();
      if (!p.srs) {
        out.status = SECTION_READ_FAILED;
        out.arg_path = ex_ansi_to_utf8(group[f]);
        out.refusal = {ExportCode::ReadFailed, {out.arg_path}};
        return out;
      }
      results[f].Swap(p.first);
      files.push_back(std::move(p.srs));
    }
    CResultSip merged =
        three_d ? results[0] : MergeResults(results, int(results.size()), plan.array_code != SIP_POLE3_SOUNDING);
    if (out.freqs.empty()) {
      out.harm_num = merged.GetHarmNum();
      for (int h = 0; h < out.harm_num; ++h) out.freqs.push_back(merged.GetFreq(0, h));
    }
    // Rows of another shape cannot join the run, as in the export.
    if (merged.GetHarmNum() != out.harm_num || out.harm_num < 1) continue;
    AddRows(out, int(g), merged, results, group, *files[0], ex);
  }
  for (const SectionRow& r : out.rows) out.lines.push_back(r.line_no);
  std::sort(out.lines.begin(), out.lines.end());
  out.lines.erase(std::unique(out.lines.begin(), out.lines.end()), out.lines.end());
  return out;
}
