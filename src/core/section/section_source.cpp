#include "core/section/section_source.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <thread>

#include "core/base/ordered_prefetch.h"
#include "core/export/export_smt.h"
#include "core/processing/sip_spect2res.h"
#include "core/processing/spect_algo.h"

namespace {

// One file of the group, read and calculated as the export prepares it.
struct Prepared {
  std::unique_ptr<CFormatSRS> srs;
  CResultSip first;
};

Prepared Prepare(const std::string& path, const ExportSettings& s, bool three_d, SmtLookup* smt) {
  Prepared p;
  auto srs = std::make_unique<CFormatSRS>();
  srs->SetSkipItems(false, true);
  if (!srs->Read(path)) return p;
  if (s.input_ts) {
    ConvertFromSmt(*srs, s.smt_dir, smt);
  } else {
    const int n = CalcCohSp(srs->m_spect_u, srs->m_spect_i, 0, 0);
    if (n > 0) SetWeights(srs->m_spect_u, 0, n - 1, 1);
  }
  srs->m_spect_u.DoMarkZeroBad();
  srs->m_spect_i.DoMarkZeroBad();
  CSipSpect2Res engine;
  engine.Init(srs.get());
  // Sections never combine poles: the first order with no shift.
  if (three_d)
    engine.CalcResComposed(p.first);
  else
    engine.CalcResCompositeCh(1, 0.0f, p.first);
  p.srs = std::move(srs);
  return p;
}

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

// The writer's settings, so that its channel tests are the table's.
void SetUpTests(CSipExport& ex, const ExportSettings& s, const ExportCollected& c) {
  ex.m_site_coord = s.site_coord;
  ex.m_elev = s.elev;
  ex.SetLimits(&s.limits);
  ex.m_array_code = c.array_code;
  ex.m_layout = s.layout;
  ex.m_three_d = s.target == TARGET_3D_SOUNDING;
}

// Measuring electrodes by the section table's rule.
void MeasuringX(const ChInfo& info, CFormatSRS& srs, bool free, float* mx, float* nx) {
  const int d = info.idx_dev, ch = info.idx_dev_ch;
  if (free && d >= 0 && size_t(d) < srs.m_vt_prm_dev.size() && ch >= 0 && ch < MAX_CH_NUM) {
    *mx = srs.m_vt_prm_dev[size_t(d)].mx[ch];
    *nx = srs.m_vt_prm_dev[size_t(d)].nx[ch];
  } else {
    *mx = info.m_pos;
    *nx = info.m_pos + info.mn;
  }
}

void SectionColumns(SectionRow& row, const ChInfo& info, CResultSip& result, CFormatSRS& srs, const CSipExport& ex) {
  float mx = 0.0f, nx = 0.0f;
  MeasuringX(info, srs, ex.m_layout == SIP_ALL_GRADIENT, &mx, &nx);
  const float ax = result.GetPosAx(), bx = result.GetPosBx();
  const float p = (mx + nx) / 2.0f, o = (ax + bx) / 2.0f;
  const bool three = ex.ElectrodeCount() == 3;
  row.x = p;
  row.y = ex.m_elev ? ex.m_elev->GetElev(p, 0.0f) : 0.0f;
  if (three) {
    row.depth_ab = row.depth_pc = -(-std::fabs(ax - p) / 3.0f);
  } else {
    row.depth_ab = -(-std::fabs(ax - bx) / 5.0f);
    row.depth_pc = -(o > p ? (ax - mx) / 2.5f : (nx - bx) / 2.5f);
  }
  float gap = std::min(std::fabs(mx - ax), std::fabs(nx - ax));
  if (!three) gap = std::min({gap, std::fabs(mx - bx), std::fabs(nx - bx)});
  const float mn = std::fabs(nx - mx);
  row.n_level = mn > 0.0f ? gap / mn : 0.0f;
}

// The plane table's site lookup: M at its position, N at the next entry's.
void PlaneColumns(SectionRow& row, int i, CResultSip& result, const CSipExport& ex) {
  const ChInfo info = result.GetChInfo(i);
  const int ch_num = result.GetChNum();
  CFormatTxtSiteCoord::Item site_m, site_n;
  bool found = false;
  if (ex.m_site_coord) {
    const double tol = 0.05 * info.mn;
    found = ex.m_site_coord->Find(info.line_no, info.m_pos, tol, &site_m);
    if (found) {
      const float next_pos = i + 1 < ch_num ? result.GetChInfo(i + 1).m_pos : info.m_pos;
      found = ch_num > 1 && ex.m_site_coord->Find(info.line_no, next_pos, tol, &site_n);
    }
  }
  row.x = found ? float((site_m.x + site_n.x) / 2.0) : 0.0f;
  row.y = found ? float((site_m.y + site_n.y) / 2.0) : 0.0f;
  if (found) row.site = site_m.name;
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

unsigned Workers() { return std::min(4u, std::max(1u, std::thread::hardware_concurrency())); }

}  // namespace

SectionSource CollectSection(const ExportSettings& s, RunProgress* progress) {
  SectionSource out;
  const bool three_d = s.target == TARGET_3D_SOUNDING;
  out.plane = s.target == TARGET_MID_GRADIENT;
  std::vector<std::vector<std::string>> groups;
  std::vector<std::string> unreadable;
  const int k = GroupFiles(s.paths, s.layout, three_d, &groups, &unreadable);
  if (s.stop_on_unreadable && !unreadable.empty()) {
    out.status = SECTION_READ_FAILED;
    out.arg_path = unreadable[0];
    return out;
  }
  if (k >= 1) {
    out.status = SECTION_DEVICE_ERROR;
    out.arg = k;
    return out;
  }
  if (groups.empty()) {
    out.status = SECTION_NO_FILES;
    return out;
  }
  ExportSettings plan = s;
  plan.inversion = false;
  const ExportCollected c = CollectSettings(plan);
  CSipExport ex;
  SetUpTests(ex, plan, c);
  out.three_poles = !out.plane && ex.ElectrodeCount() == 3;

  SmtLookup smt;
  std::vector<const std::string*> order;
  for (const auto& g : groups)
    for (const std::string& p : g) order.push_back(&p);
  const unsigned workers = s.input_ts ? 0u : Workers();
  OrderedPrefetch<Prepared> prefetch(
      order.size(), [&](size_t i) { return Prepare(*order[i], s, three_d, &smt); }, workers, 2 * size_t(workers));
  for (size_t g = 0; g < groups.size(); ++g) {
    const std::vector<std::string>& group = groups[g];
    if (progress && !progress->OnFile(int(g), int(groups.size()), group[0])) {
      out.status = SECTION_CANCELLED;
      return out;
    }
    std::vector<std::unique_ptr<CFormatSRS>> files;
    std::vector<CResultSip> results(group.size());
    for (size_t f = 0; f < group.size(); ++f) {
      Prepared p = prefetch.Take();
      if (!p.srs) {
        out.status = SECTION_READ_FAILED;
        out.arg_path = group[f];
        return out;
      }
      results[f].Swap(p.first);
      files.push_back(std::move(p.srs));
    }
    CResultSip merged =
        three_d ? results[0] : MergeResults(results, int(results.size()), c.array_code != SIP_POLE3_SOUNDING);
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
