// Plane, pseudo-section, check-point and pass-rate tables.
#include <algorithm>
#include <climits>
#include <cmath>
#include <map>

#include "core/base/algo.h"
#include "core/base/ex_string.h"
#include "core/base/same_math.h"
#include "core/export/export_locale.h"
#include "core/export/sip_export.h"

namespace {

// Column titles hold "%" as text ("Err1(%)"), so they are joined, never
// formatted.
std::string Title(const char* prefix, int h, const char* suffix) {
  return std::string(prefix) + std::to_string(h) + suffix;
}

constexpr int kQuantities = TABLE_QUANTITY_CNT;
const char* const kTitlePrefix[kQuantities] = {"R", "lg10(R", "Err", "PH", "Err", "CP", "Err", "FS", "Err"};
const char* const kTitleSuffix[kQuantities] = {"(Ω·m)", ")",      "(%)",  "(mrad)", "(mrad)",
                                              "(mrad)", "(mrad)", "(%)", "(%)"};

}  // namespace

float TableQuantity(const ResItem& it, int q) {
  const ResBlock& app = it.blk[RES_APP];
  switch (q) {
    case 0: return app.value;
    case 1: return same_log10f(app.value);
    case 2: return app.err / app.value * 100.0f;
    case 3: return ExportPhase(it.blk[RES_Z_PH].value) * 1000.0f;
    case 4: return it.blk[RES_Z_PH].err * 1000.0f;
    case 5: return ExportPhase(it.blk[RES_CP].value) * 1000.0f;
    case 6: return it.blk[RES_CP].err * 1000.0f;
    case 7: return it.blk[RES_FS].value * 100.0f;
    default: return it.blk[RES_FS].err * 100.0f;
  }
}

namespace {

void HarmonicTitles(FILE* fp, int harm_num, const char* r_fmt, const char* fmt) {
  for (int q = 0; q < kQuantities; ++q)
    for (int h = 1; h <= harm_num; ++h)
      std::fprintf(fp, q == 0 ? r_fmt : fmt, Title(kTitlePrefix[q], h, kTitleSuffix[q]).c_str());
}

void HarmonicValues(FILE* fp, CResultSip& result, int ch, int harm_num, const char* fmt) {
  std::vector<ResItem> items(static_cast<size_t>(harm_num));
  for (int h = 0; h < harm_num; ++h) items[size_t(h)] = result.GetItem(ch, 0, h);
  for (int q = 0; q < kQuantities; ++q)
    for (int h = 0; h < harm_num; ++h) std::fprintf(fp, fmt, double(TableQuantity(items[size_t(h)], q)));
}

void StationTail(FILE* fp, const StationData& st, int i) {
  std::string cols[3];
  CSipExport::StationColumns(st, i, cols);
  std::fprintf(fp, "%14s%14s%14s\n", cols[0].c_str(), cols[1].c_str(), cols[2].c_str());
}

float StdOverMean(const std::vector<float>& v) {
  return algo_std(v.data(), int(v.size())) / algo_mean(v.data(), int(v.size())) * 100.0f;
}

}  // namespace

void CSipExport::WriteTableHeader(Kind kind, FILE* fp) {
  switch (kind) {
    case KIND_PLANE:
      std::fprintf(fp, "%-20s%-10s%-18s%14s%14s", "file_name", "site", "M_N(m)", "Coord_X(m)", "Coord_Y(m)");
      HarmonicTitles(fp, m_harm_num, "%16s", "%14s");
      std::fprintf(fp, "%14s%14s%14s\n", "sp_ac(mV)", "sp_dc(mV)", "GroudR(KΩ)");
      break;
    case KIND_SECTION:
      std::fprintf(fp, "%-14s", "MN/2(m)");
      if (m_array_code == SIP_POLE3_SOUNDING)
        std::fprintf(fp, "%-14s%-14s%-14s%-8s", "AO/10(m)", "eq_pos(m)", "eq_depth(m)", "P_Left");
      else
        std::fprintf(fp, "%-14s%-14s", "-AB/5(m)", "-PC/2d5(m)");
      std::fprintf(fp, "%-14s%-14s", "VD2AB(m)", "Alt(m)");
      HarmonicTitles(fp, m_harm_num, "%-16s", "%-14s");
      std::fprintf(fp, "%14s%14s%14s\n", "sp_ac(mV)", "sp_dc(mV)", "GroudR(KΩ)");
      break;
    case KIND_PASS_RATE:
      std::fprintf(fp, "%-30s%-14s%-14s%-14s%-14s%-14s\n", "file_name", "qualified_num", "total_num", "pass_rate(%)",
                   "caled_num", "acq_time");
      break;
    default: break;
  }
}

bool CSipExport::WritePlane(CResultSip& result, const StationData& station, const std::string& first_name,
                            CFormatSRS& srs) {
  ExportLocaleScope c_numbers;
  if (!Prepare(KIND_PLANE, result)) return false;
  if (m_vt_files.size() != 1) return false;
  FILE* fp = Fp(0);
  const int ch_num = result.GetChNum();
  for (int i = 0; i < ch_num; ++i) {
    if (!IsUsable(i, result, srs, true)) continue;
    const ChInfo info = result.GetChInfo(i);
    std::fprintf(fp, "%-20s", first_name.c_str());
    // N is the next channel's M; a single channel has no N.
    CFormatTxtSiteCoord::Item site_m, site_n;
    const bool found = PlaneSites(result, i, &site_m, &site_n);
    double x = 0.0, y = 0.0;
    if (found) {
      std::fprintf(fp, "%-10s", site_m.name.c_str());
      x = (site_m.x + site_n.x) / 2.0;
      y = (site_m.y + site_n.y) / 2.0;
    } else {
      std::fprintf(fp, "%-10s", "*");
    }
    char mn_text[64];
    std::snprintf(mn_text, sizeof(mn_text), "%.1f_%.1f", double(info.m_pos), double(info.m_pos + info.mn));
    std::fprintf(fp, "%-18s", mn_text);
    std::fprintf(fp, "%14.2lf%14.2lf", x, y);
    HarmonicValues(fp, result, i, m_harm_num, "%14f");
    StationTail(fp, station, i);
    ++m_counts[0];
  }
  return true;
}

CSipExport::SectionPlace CSipExport::SectionPlaceOf(const Electrodes& e) {
  const float ax = e.a.x, bx = e.b.x, mx = e.m.x, nx = e.n.x;
  SectionPlace at;
  at.p = (mx + nx) / 2.0f;
  const float o = (ax + bx) / 2.0f;
  at.ao10 = ax / 10.0f;
  at.eq_pos = ax + (at.p - ax) / 2.0f;
  at.eq_depth = -std::fabs(ax - at.p) / 3.0f;
  at.p_left = at.p > ax;
  at.ab5 = -std::fabs(ax - bx) / 5.0f;
  at.pc2d5 = o > at.p ? (ax - mx) / 2.5f : (nx - bx) / 2.5f;
  return at;
}

bool CSipExport::WriteSection(CResultSip& result, const StationData& station, CFormatSRS& srs) {
  ExportLocaleScope c_numbers;
  if (!Prepare(KIND_SECTION, result)) return false;
  if (m_vt_files.size() != 1) return false;
  FILE* fp = Fp(0);
  for (int i = 0; i < result.GetChNum(); ++i) {
    if (!UsableForInversion(i, result, srs)) continue;
    const ChInfo info = result.GetChInfo(i);
    const SectionPlace at = SectionPlaceOf(RowElectrodes(info, result, srs));
    std::fprintf(fp, "%-14f", double(at.p));
    if (m_array_code == SIP_POLE3_SOUNDING) {
      std::fprintf(fp, "%-14f%-14f%-14f", double(at.ao10), double(at.eq_pos), double(at.eq_depth));
      std::fprintf(fp, "%-8d", at.p_left ? 1 : 0);
    } else {
      std::fprintf(fp, "%-14f", double(at.ab5));
      std::fprintf(fp, "%-14f", double(at.pc2d5));
    }
    std::fprintf(fp, "%-14f%-14f", double(info.vd2ab), double(Elev(at.p, 0.0f)));
    HarmonicValues(fp, result, i, m_harm_num, "%-14f");
    StationTail(fp, station, i);
    ++m_counts[0];
  }
  return true;
}

namespace {

// One measurement of a check point: the channel label and where its item is.
struct CheckMeas {
  std::string label;
  int file;
  int ch;
};
using CheckNodes = std::map<float, std::vector<CheckMeas>>;

// The measurements of the results by their M position; a position that is
// not a number is no node.
CheckNodes CollectCheckNodes(std::vector<CResultSip>& results, int count) {
  CheckNodes nodes;
  for (int f = 0; f < count; ++f) {
    CResultSip& r = results[size_t(f)];
    for (int j = 0; j < r.GetChNum(); ++j) {
      const ChInfo info = r.GetChInfo(j);
      if (std::isnan(info.m_pos)) continue;
      nodes[info.m_pos].push_back({SipChLabel(info), f, j});
    }
  }
  return nodes;
}

void CheckErrHeader(FILE* fp, size_t n, bool four) {
  std::fprintf(fp, "%14s", "a_pos(m)");
  if (four) std::fprintf(fp, "%14s", "b_pos(m)");
  std::fprintf(fp, "%14s%10s%14s%14s", "m_pos(m)", "site", "Coord_X(m)", "Coord_Y(m)");
  if (n < 1) {
    std::fprintf(fp, "%14s%14s%14s", "Err(%)", "Err(mrad)", "Err(%)");
  } else {
    for (size_t i = 1; i <= n; ++i) std::fprintf(fp, "%16s", Title("R", int(i), "(Ω·m)").c_str());
    std::fprintf(fp, "%14s", "Err(%)");
    for (size_t i = 1; i <= n; ++i) std::fprintf(fp, "%14s", Title("CP", int(i), "(mrad)").c_str());
    std::fprintf(fp, "%14s", "Err(mrad)");
    for (size_t i = 1; i <= n; ++i) std::fprintf(fp, "%14s", Title("FS", int(i), "(%)").c_str());
    std::fprintf(fp, "%14s", "Err(%)");
    for (size_t i = 1; i <= n; ++i) std::fprintf(fp, "%9s", Title("Dev", int(i), "").c_str());
    for (size_t i = 1; i <= n; ++i) std::fprintf(fp, "%22s", Title("File", int(i), "").c_str());
  }
  std::fputs("\n", fp);
}

// The n value columns of one quantity ("*" where a node has fewer
// measurements), then its spread.
void CheckColumns(FILE* fp, size_t n, const std::vector<float>& v, float scale, float spread) {
  for (size_t i = 0; i < n; ++i) {
    if (i < v.size())
      std::fprintf(fp, "%14.2f", double(v[i] * scale));
    else
      std::fprintf(fp, "%14s", "*");
  }
  std::fprintf(fp, "%14.2f", double(spread));
}

// The values of harmonic h of a node's measurements: R, CP and FS columns,
// then the channel labels and file names.
void CheckValues(FILE* fp, size_t n, const std::vector<CheckMeas>& ms, std::vector<CResultSip>& results,
                 const std::vector<std::string>& names, int h) {
  std::vector<float> r_v, cp_v, fs_v;
  for (const CheckMeas& m : ms) {
    const ResItem it = results[size_t(m.file)].GetItem(m.ch, 0, h);
    r_v.push_back(it.blk[RES_APP].value);
    cp_v.push_back(ExportPhase(it.blk[RES_CP].value));
    fs_v.push_back(it.blk[RES_FS].value);
  }
  CheckColumns(fp, n, r_v, 1.0f, StdOverMean(r_v));
  CheckColumns(fp, n, cp_v, 1000.0f, algo_std(cp_v.data(), int(cp_v.size())) * 1000.0f);
  CheckColumns(fp, n, fs_v, 100.0f, algo_std(fs_v.data(), int(fs_v.size())) * 100.0f);
  for (size_t i = 0; i < n; ++i) std::fprintf(fp, "%9s", i < ms.size() ? ms[i].label.c_str() : "*");
  for (size_t i = 0; i < n; ++i) {
    const char* name = "*";
    if (i < ms.size() && size_t(ms[i].file) < names.size()) name = names[size_t(ms[i].file)].c_str();
    std::fprintf(fp, "%22s", name);
  }
  std::fputs("\n", fp);
}

}  // namespace

int CSipExport::FindSites(const ChInfo& info, float n_pos, CFormatTxtSiteCoord::Item* m,
                          CFormatTxtSiteCoord::Item* n) const {
  if (!m_opt->site_coord) return 0;
  const double tol = 0.05 * info.mn;
  if (!m_opt->site_coord->Find(info.line_no, info.m_pos, tol, m)) return 0;
  return m_opt->site_coord->Find(info.line_no, n_pos, tol, n) ? 2 : 1;
}

bool CSipExport::PlaneSites(CResultSip& result, int i, CFormatTxtSiteCoord::Item* m,
                            CFormatTxtSiteCoord::Item* n) const {
  const int ch_num = result.GetChNum();
  const ChInfo info = result.GetChInfo(i);
  const float next_pos = i + 1 < ch_num ? result.GetChInfo(i + 1).m_pos : info.m_pos;
  return ch_num > 1 && FindSites(info, next_pos, m, n) == 2;
}

bool CSipExport::CheckPasses(std::vector<CResultSip>& results, int file, int ch) const {
  CResultSip& r = results[size_t(file)];
  const ChInfo info = r.GetChInfo(ch);
  if (info.ch_type != SIP_CH_ELECTRIC) return false;
  const float lo = info.m_pos, hi = info.m_pos + info.mn;
  if (lo <= r.GetPosAx() && r.GetPosAx() <= hi) return false;
  if (m_array_code != SIP_POLE3_SOUNDING && lo <= r.GetPosBx() && r.GetPosBx() <= hi) return false;
  const ResItem item = r.GetItem(ch, 0, 0);
  return PassLimits(item) && item.blk[RES_APP].count != 0;
}

void CSipExport::CheckNodePosition(FILE* fp, float node, const ChInfo& info, CResultSip& first, bool four) const {
  std::fprintf(fp, "%14.2f", double(first.GetPosAx()));
  if (four) std::fprintf(fp, "%14.2f", double(first.GetPosBx()));
  CFormatTxtSiteCoord::Item sm, sn;
  const int sites = FindSites(info, info.m_pos + info.mn, &sm, &sn);
  if (sites == 0) {
    std::fprintf(fp, "%14.2f%10s%14s%14s", double(info.m_pos), "*", "*", "*");
    return;
  }
  std::fprintf(fp, "%14.2f", double(node));
  if (sites == 2)
    std::fprintf(fp, "%10s%14.2lf%14.2lf", sm.name.c_str(), (sm.x + sn.x) / 2.0, (sm.y + sn.y) / 2.0);
  else
    std::fprintf(fp, "%10s%14s%14s", "*", "*", "*");
}

// The check-point rows come from the group's results alone; srs is the
// group's first file, as for the other tables.
bool CSipExport::WriteCheckErr(std::vector<CResultSip>& results, const std::vector<std::string>& names, int count,
                               CFormatSRS& /*srs*/) {
  ExportLocaleScope c_numbers;
  count = std::min(count, int(results.size()));
  if (count < 1) return false;
  for (int f = 1; f < count; ++f)
    if (results[size_t(f)].GetHarmNum() != results[0].GetHarmNum()) {
      Refuse(EXPORT_HARM_MISMATCH);
      return false;
    }
  const bool creating = m_header_pending;
  if (!Prepare(KIND_CHECK_ERR, results[0])) return false;
  const CheckNodes nodes = CollectCheckNodes(results, count);
  size_t n = 0;
  for (const auto& node : nodes) n = std::max(n, node.second.size());
  const bool four = ElectrodeCount() == 4;
  if (creating)
    for (size_t fi = 0; fi < m_vt_files.size(); ++fi) CheckErrHeader(Fp(fi), n, four);
  for (size_t fi = 0; fi < m_vt_files.size(); ++fi) {
    FILE* fp = Fp(fi);
    for (const auto& node : nodes) {
      const std::vector<CheckMeas>& ms = node.second;
      if (ms.size() < 2 || !CheckPasses(results, ms[0].file, ms[0].ch)) continue;
      const ChInfo info = results[size_t(ms[0].file)].GetChInfo(ms[0].ch);
      CheckNodePosition(fp, node.first, info, results[0], four);
      CheckValues(fp, n, ms, results, names, int(fi));
      ++m_counts[fi];
    }
  }
  return true;
}

bool CSipExport::WritePassRate(const std::string& path, CFormatSRS& srs) {
  ExportLocaleScope c_numbers;
  CResultSip& r = srs.m_res_composed;
  if (!Prepare(KIND_PASS_RATE, r)) return false;
  if (m_vt_files.size() != 1) return false;
  const int ch_num = r.GetChNum();
  for (int i = 0; i < ch_num; ++i) {
    if (!IsUsable(i, r, srs, false)) continue;
    ++m_total;
    const ChInfo info = r.GetChInfo(i);
    float x = info.m_pos, y = 0.0f;
    if (m_opt->layout == SIP_ALL_GRADIENT) {
      const Electrodes e = ElectrodesOf(info, r, srs, true);
      x = e.m.x;
      y = e.m.y;
    }
    const int c = PassLimits(r.GetItem(i, 0, 0)) ? 1 : 0;
    m_qualified += c;
    bool found = false;
    for (PassPos& p : m_pass_pos) {
      if (p.x == x && p.y == y) {
        p.qualified += c;
        p.count += 1;
        p.rate = float(p.qualified) / float(p.count) * 100.0f;
        found = true;
        break;
      }
    }
    if (!found) m_pass_pos.push_back({x, y, c, 1, float(c) * 100.0f});
  }
  // A file whose channels are all unusable has nothing qualified: 0 %, as
  // for a file without channels.
  const float rate = m_total > 0 ? float(m_qualified) / float(m_total) * 100.0f : 0.0f;
  const uint32_t stacked = ch_num > 0 ? r.GetItem(0, 0, 0).blk[RES_APP].count : 0u;
  const int caled = stacked > uint32_t(INT_MAX) ? INT_MAX : int(stacked);
  const double fb = srs.m_prm_meas.freq_base;
  double secs = 35.0;
  if (fb > 0.0 && std::isfinite(fb)) secs = double(caled) * 2.0 / fb + 35.0;
  if (!(secs < double(INT_MAX))) secs = double(INT_MAX);
  FILE* fp = Fp(0);
  std::fprintf(fp, "%-30s%-14d%-14d%-14.2f%-14d%-14s\n", path.c_str(), m_qualified, m_total, double(rate), caled,
               ex_secs_str(int(secs)));
  ++m_counts[0];
  return true;
}

void CSipExport::WritePassRateSummary() {
  ExportLocaleScope c_numbers;
  if (m_kind != KIND_PASS_RATE || m_vt_files.size() != 1) return;
  FILE* fp = Fp(0);
  const bool with_y = m_opt->layout != SIP_POLE3_SOUNDING;
  std::fputs("\n", fp);
  std::fprintf(fp, "%-14s", "pos_m(x)");
  if (with_y) std::fprintf(fp, "%-14s", "pos_m(y)");
  std::fprintf(fp, "%-14s%-14s%-14s\n", "qualified_num", "total_num", "pass_rate(%)");
  for (const PassPos& p : m_pass_pos) {
    std::fprintf(fp, "%-14.2f", double(p.x));
    if (with_y) std::fprintf(fp, "%-14.2f", double(p.y));
    std::fprintf(fp, "%-14d%-14d%-14.2f\n", p.qualified, p.count, double(p.rate));
  }
}
