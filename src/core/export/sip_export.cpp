#include "core/export/sip_export.h"

#include <cmath>
#include <cstring>

#include "core/base/algo.h"
#include "core/base/clog.h"
#include "core/export/export_locale.h"

namespace {

bool Between(float lo, float v, float hi) { return lo <= v && v <= hi; }

}  // namespace

const ExportOptions& CSipExport::DefaultOptions() {
  static const ExportOptions defaults;
  return defaults;
}

CSipExport::CSipExport() : CSipExport(DefaultOptions(), SIP_POLE4_SOUNDING) {}

CSipExport::CSipExport(const ExportOptions& opt, int array_code, bool three_d)
    : m_array_code(array_code), m_three_d(three_d), m_vt_limit(&opt.limits), m_opt(&opt) {}

CSipExport::~CSipExport() { Discard(); }

void CSipExport::Reset() {
  Discard();
  m_header_pending = true;
  m_harm_num = 0;
  m_kind = KIND_NONE;
  m_qualified = 0;
  m_total = 0;
  m_pass_pos.clear();
  m_last_error = EXPORT_OK;
  m_error_file.clear();
  m_error_why.clear();
}

void CSipExport::SelectShifts() {
  m_shift_sel.clear();
  if (!m_opt->shifting) return;
  for (const CFormatTxtShifting::Item& it : m_opt->shifting->m_vt_item)
    if (m_group_name.find(it.name) != std::string::npos) m_shift_sel.push_back(it);
}

const LimitItem& CSipExport::NoLimit() {
  static const LimitItem none;
  return none;
}

const LimitItem& CSipExport::Row(int r) const {
  if (!m_vt_limit || int(m_vt_limit->size()) != LIMIT_TYPE_CNT) return NoLimit();
  return (*m_vt_limit)[size_t(r)];
}

CSipExport::Electrodes CSipExport::ElectrodesOf(const ChInfo& info, CResultSip& result, CFormatSRS& srs, bool free) {
  Electrodes e;
  e.a = {result.GetPosAx(), result.GetPosAy()};
  e.b = {result.GetPosBx(), result.GetPosBy()};
  const int d = info.idx_dev, c = info.idx_dev_ch;
  if (free && d >= 0 && size_t(d) < srs.m_vt_prm_dev.size() && c >= 0 && c < MAX_CH_NUM) {
    const PrmDev& dev = srs.m_vt_prm_dev[size_t(d)];
    e.m = {dev.mx[c], dev.my[c]};
    e.n = {dev.nx[c], dev.ny[c]};
  } else if (free) {
    // A channel that names no device record has no electrodes; NaN keeps
    // it out of every test that would let it through.
    e.m = e.n = {NAN, NAN};
  } else {
    const float y = e.a.y + info.vd2ab;
    e.m = {info.m_pos, y};
    e.n = {info.m_pos + info.mn, y};
  }
  return e;
}

bool CSipExport::IsUsable(int ch, CResultSip& result, CFormatSRS& srs, bool with_limits) const {
  if (ch < 0 || ch >= result.GetChNum() || result.GetHarmNum() < 1 || result.GetFreqNum() < 1) return false;
  const ChInfo info = result.GetChInfo(ch);
  if (info.ch_type != SIP_CH_ELECTRIC) return false;
  const bool free = m_array_code == SIP_ALL_GRADIENT;
  const Electrodes e = ElectrodesOf(info, result, srs, free);
  // Electrodes without finite coordinates (a damaged file) would put "nan"
  // into the inversion files.
  for (const Pt* p : {&e.a, &e.b, &e.m, &e.n}) {
    if (p == &e.b && ElectrodeCount() == 3) continue;
    if (!std::isfinite(p->x) || !std::isfinite(p->y)) return false;
  }
  if (Between(e.m.x, e.a.x, e.n.x)) return false;
  if (free) {
    if (Between(e.m.x, e.b.x, e.n.x) && Between(e.m.y, e.b.y, e.n.y)) return false;
  } else if (m_array_code != SIP_POLE3_SOUNDING) {
    if (Between(e.m.x, e.b.x, e.n.x)) return false;
  }
  const ResItem item = result.GetItem(ch, 0, 0);
  if (item.blk[RES_APP].count == 0) return false;
  return !with_limits || PassLimits(item);
}

bool CSipExport::PassLimits(const ResItem& item) const {
  if (!PassLimit(item.blk[RES_U_AMP].value, item.blk[RES_U_AMP].err, Row(LIMIT_ROW_AMP))) return false;
  if (!PassLimit(item.blk[RES_APP].value, item.blk[RES_APP].err, Row(LIMIT_ROW_APP))) return false;
  return PassLimit(ExportPhase(item.blk[RES_CP].value), item.blk[RES_CP].err, Row(LIMIT_ROW_CP));
}

bool CSipExport::PassLimitsHarm(CResultSip& result, int ch, int j) const {
  const int harm = result.GetHarmNum();
  if (harm < 1 || j < 0 || j >= harm) return false;
  struct Checked {
    int row, block;
  };
  static const Checked kChecked[] = {{LIMIT_ROW_AMP, RES_U_AMP}, {LIMIT_ROW_APP, RES_APP}, {LIMIT_ROW_CP, RES_CP}};
  std::vector<ResItem> items(static_cast<size_t>(harm));
  for (int h = 0; h < harm; ++h) items[size_t(h)] = result.GetItem(ch, 0, h);
  for (const Checked& c : kChecked) {
    const int b = c.block;
    const LimitItem& row = Row(c.row);
    auto value_of = [&](int h) {
      const float v = items[size_t(h)].blk[b].value;
      return b == RES_CP ? ExportPhase(v) : v;
    };
    const float v = value_of(j);
    if (row.min_on && row.min > v) return false;
    if (row.max_on && v > row.max) return false;
    if (row.std_on) {
      double sum = 0.0;
      for (int h = 0; h < harm; ++h) sum += items[size_t(h)].blk[b].err;
      if (sum / harm > row.std_max) return false;
    }
    if (row.rel_on) {
      if (v == 0.0f) return false;
      double sum = 0.0;
      for (int h = 0; h < harm; ++h) {
        const float vh = value_of(h);
        if (vh != 0.0f) sum += double(items[size_t(h)].blk[b].err) / double(vh);
      }
      if (sum / harm > row.rel_max) return false;
    }
  }
  return true;
}

std::vector<int> CSipExport::UsableChannels(CResultSip& result, CFormatSRS& srs) const {
  std::vector<int> usable;
  const int ch_num = result.GetChNum();
  for (int i = 0; i < ch_num; ++i)
    if (UsableForInversion(i, result, srs)) usable.push_back(i);
  return usable;
}

bool CSipExport::UsableForInversion(int ch, CResultSip& result, CFormatSRS& srs) const {
  if (!IsUsable(ch, result, srs, false)) return false;
  for (int j = 0; j < result.GetHarmNum(); ++j)
    if (!PassLimitsHarm(result, ch, j)) return false;
  return true;
}

float CSipExport::GeoK(const Electrodes& e, CFormatSRS& srs, bool zero_mn_y) const {
  const float my = zero_mn_y ? 0.0f : e.m.y, ny = zero_mn_y ? 0.0f : e.n.y;
  if (ElectrodeCount() == 3 && srs.GetFileVer() <= 4) return algo_geo_k3(e.a.x, e.a.y, e.m.x, my, e.n.x, ny);
  return algo_geo_k4(e.a.x, e.a.y, e.b.x, e.b.y, e.m.x, my, e.n.x, ny);
}

float CSipExport::AppError(const ResItem& item) const {
  const float r = item.blk[RES_APP].value, e = item.blk[RES_APP].err;
  const float s = m_opt->add_sys_err ? SysErrApp() : 0.0f;
  return std::sqrt(e * e + (r * s) * (r * s));
}

float CSipExport::IpValue(const ResItem& item) const {
  switch (m_opt->ip) {
    case IpQuantity::Phase: return ExportPhase(-item.blk[RES_Z_PH].value) * 1000.0f;
    case IpQuantity::FrequencyEffect: return item.blk[RES_FS].value * 100.0f;
    default: return ExportPhase(item.blk[RES_CP].value) * 1000.0f;
  }
}

float CSipExport::IpError(const ResItem& item) const {
  const float sys = m_opt->add_sys_err ? SysErrCp() * 1000.0f : 0.0f;
  switch (m_opt->ip) {
    case IpQuantity::Phase: return PhaseError(item);
    case IpQuantity::FrequencyEffect: return item.blk[RES_FS].err * 100.0f;
    default: return item.blk[RES_CP].err * 1000.0f + sys;
  }
}

float CSipExport::PhaseError(const ResItem& item) const {
  const float sys = m_opt->add_sys_err ? SysErrCp() * 1000.0f : 0.0f;
  return item.blk[RES_Z_PH].err * 1000.0f + sys;
}

void CSipExport::AmpColumns(const ResItem& item, float k, ExportLine& line) const {
  const float r = item.blk[RES_APP].value, e = AppError(item);
  if (m_opt->resistivity) {
    line.Fixed(double(r), 14);
    line.Fixed(double(e), 14);
  } else {
    line.Sci(double(r / k), 14, 4);
    line.Sci(double(e / k), 14, 4);
  }
}

void CSipExport::ResColumns(const ResItem& item, float k, ExportLine& line) const {
  AmpColumns(item, k, line);
  line.Fixed(double(IpValue(item)), 14);
  line.Fixed(double(IpError(item)), 14);
}

void CSipExport::ElectrodeColumns(const Electrodes& e, const Electrodes* d, bool elev, ExportLine& line) const {
  line.Int(ElectrodeCount(), 3);
  auto pole = [&](const Pt& p, const Pt* q) {
    line.Fixed(double(q ? p.x + q->x : p.x), 14);
    line.Fixed(double(elev ? Elev(p.x, 0.0f) : q ? p.y + q->y : p.y), 14);
  };
  pole(e.a, d ? &d->a : nullptr);
  if (ElectrodeCount() == 4) pole(e.b, d ? &d->b : nullptr);
  pole(e.m, d ? &d->m : nullptr);
  pole(e.n, d ? &d->n : nullptr);
}

void CSipExport::StationColumns(const StationData& st, int i, std::string out[3]) {
  out[0] = out[1] = out[2] = "*";
  if (i < 0) return;
  const size_t k = size_t(i);
  char buf[64];
  if (k < st.sp_valid.size() && st.sp_valid[k] && k < st.sp_ac.size() && k < st.sp_dc.size()) {
    std::snprintf(buf, sizeof(buf), "%.2f", double(st.sp_ac[k] * 1000.0f));
    out[0] = buf;
    std::snprintf(buf, sizeof(buf), "%.2f", double(st.sp_dc[k] * 1000.0f));
    out[1] = buf;
  }
  if (k < st.gr_valid.size() && st.gr_valid[k] && k < st.gr.size()) {
    std::snprintf(buf, sizeof(buf), "%.2f", double(st.gr[k] / 1000.0f));
    out[2] = buf;
  }
}

std::string CSipExport::ErrorEstimateLine() const {
  // The line holds a literal "%, " after the first value, so it is put
  // together from its parts instead of going through one printf format.
  auto num = [](const char* fmt, float v) {
    char buf[64];
    std::snprintf(buf, sizeof(buf), fmt, double(v));
    return std::string(buf);
  };
  const LimitItem &amp = Row(LIMIT_ROW_AMP), &app = Row(LIMIT_ROW_APP), &cp = Row(LIMIT_ROW_CP);
  std::string s = "Error estimate for data present(Limit: AppErr=";
  s += num("%.2f", app.rel_max * 100.0f);
  s += "%, CpErr=";
  s += num("%.2f", cp.std_max * 1000.0f);
  s += "mard, Amp=";
  s += num("%.2f", amp.min * 1000.0f);
  s += "~";
  s += num("%.2f", amp.max * 1000.0f);
  s += ", App=";
  s += num("%g", app.min);
  s += "~";
  s += num("%g", app.max);
  s += ", Cp=";
  s += num("%.2f", cp.min * 1000.0f);
  s += "~";
  s += num("%.2f", cp.max * 1000.0f);
  s += ")\n";
  return s;
}

bool CSipExport::CreateFile(const std::string& name, bool with_count) {
  auto f = std::make_unique<AtomicFile>();
  if (!f->Open(name)) {
    CLOG_ERR("file %s(mode: %s) open failed: %s", name.c_str(), "wb", f->Error().c_str());
    m_error_file = name;
    m_error_why = f->Error();
    return false;
  }
  m_vt_files.push_back(std::move(f));
  m_file_names.push_back(name);
  m_count_pos.push_back(with_count ? 0 : -1);
  m_counts.push_back(0);
  return true;
}

std::vector<std::string> CSipExport::FileNamesOf(Kind kind, int harm) const {
  std::vector<std::string> names;
  char suffix[64];
  switch (kind) {
    case KIND_RES2DINV:
    case KIND_RES3DINV:
    case KIND_CHECK_ERR:
      for (int h = 1; h <= harm; ++h) {
        const char* fmt = kind == KIND_RES2DINV   ? "_Res2dinv_F%d.dat"
                          : kind == KIND_RES3DINV ? "_Res3dinv_F%d.dat"
                                                  : "_Err_F%d.dat";
        std::snprintf(suffix, sizeof(suffix), fmt, h);
        names.push_back(m_opt->path_base + suffix);
      }
      break;
    case KIND_OHM:
      for (int h = 1; h <= harm; ++h) {
        std::snprintf(suffix, sizeof(suffix), "_F%d.ohm", h);
        names.push_back(m_opt->path_base + suffix);
      }
      break;
    case KIND_ZOND2D: names.push_back(m_opt->path_base + "_Zond2d.dat"); break;
    case KIND_PLANE: names.push_back(m_opt->path_base + "_plane.dat"); break;
    case KIND_SECTION: names.push_back(m_opt->path_base + "_sect.dat"); break;
    case KIND_PASS_RATE: names.push_back(m_opt->path_base + "_passRate.txt"); break;
    default: break;
  }
  return names;
}

bool CSipExport::Prepare(Kind kind, CResultSip& result) {
  m_last_error = EXPORT_OK;
  if (!m_vt_limit || int(m_vt_limit->size()) != LIMIT_TYPE_CNT) {
    Refuse(EXPORT_BAD_INPUT);
    return false;
  }
  if (!m_header_pending) {
    if (kind != m_kind || (m_vt_files.empty() && kind != KIND_OHM)) {
      Refuse(m_vt_files.empty() ? EXPORT_CREATE_FAILED : EXPORT_BAD_INPUT);
      return false;
    }
    if (kind != KIND_PASS_RATE && result.GetHarmNum() != m_harm_num) {
      Refuse(EXPORT_HARM_MISMATCH);
      return false;
    }
    return true;
  }
  const int harm = result.GetHarmNum();
  if (kind != KIND_PASS_RATE && harm < 1) {
    Refuse(EXPORT_BAD_INPUT);
    return false;
  }
  if ((kind == KIND_ZOND2D || kind == KIND_OHM) && m_opt->ip == IpQuantity::FrequencyEffect) {
    Refuse(EXPORT_BAD_INPUT);
    return false;
  }
  m_header_pending = false;
  m_harm_num = harm;
  m_kind = kind;
  if (kind == KIND_OHM) m_ohm_rows.assign(size_t(harm), {});
  const std::vector<std::string> names = FileNamesOf(kind, harm);
  const bool with_count = kind == KIND_RES2DINV || kind == KIND_RES3DINV || kind == KIND_ZOND2D;
  for (size_t i = 0; i < names.size(); ++i) {
    if (!CreateFile(names[i], with_count)) {
      // A set without all its files is no export: none of it replaces
      // what an earlier run left.
      Discard();
      Refuse(EXPORT_CREATE_FAILED);
      return false;
    }
    if (kind != KIND_CHECK_ERR && kind != KIND_OHM) WriteHeader(kind, i, result);
  }
  return true;
}

void CSipExport::WriteIpHeader(FILE* fp, CResultSip& result, int h) const {
  if (m_opt->ip == IpQuantity::FrequencyEffect) {
    std::fputs("Percent Frequency Effect\n", fp);
    std::fputs("0.01 FE\n", fp);
    const bool last = h == m_harm_num;
    const float lo = last ? result.GetFreq(0, 0) : result.GetFreq(0, h - 1);
    const float hi = last ? result.GetFreq(0, h - 1) : result.GetFreq(0, h);
    std::fprintf(fp, "%g,%g\n", double(lo), double(hi));
  } else {
    std::fputs("Phase Angle\n", fp);
    std::fputs("mrad\n", fp);
    std::fprintf(fp, "0,%g\n", double(result.GetFreq(0, h - 1)));
  }
}

void CSipExport::AppendTopography() {
  ExportLocaleScope c_numbers;
  const size_t n = m_opt->elev ? m_opt->elev->m_vt_item.size() : 0;
  for (size_t f = 0; f < m_vt_files.size(); ++f) {
    FILE* fp = Fp(f);
    std::fputs("\nTopography\n1\nTopography in unstructured list\nNumber of topography data points\n", fp);
    std::fprintf(fp, "%d\n", int(n));
    for (size_t k = 0; k < n; ++k) {
      const CFormatTxtElev::Item& it = m_opt->elev->m_vt_item[k];
      std::fprintf(fp, "%-6d%-14f%-14f%-14f\n", int(k + 1), it.x, it.y, it.z);
    }
  }
}

bool CSipExport::Seal() {
  if (m_kind == KIND_MULTI_FREQ || m_sealed) return true;
  ExportLocaleScope c_numbers;
  if (m_kind == KIND_OHM) WriteOhmFiles();
  for (size_t i = 0; i < m_vt_files.size(); ++i) {
    FILE* fp = m_vt_files[i]->Stream();
    if (m_count_pos[i] >= 0 && fp) {
      std::fseek(fp, m_count_pos[i], SEEK_SET);
      std::fprintf(fp, "%d", m_counts[i]);
    }
  }
  m_sealed = true;
  for (size_t i = 0; i < m_vt_files.size(); ++i) {
    if (m_vt_files[i]->Seal()) continue;
    NotCompleted(i);
    Discard();
    return false;
  }
  return true;
}

void CSipExport::NotCompleted(size_t i) {
  const AtomicFile& f = *m_vt_files[i];
  CLOG_ERR("export file %s not completed: %s", m_file_names[i].c_str(), f.Error().c_str());
  m_error_file = m_file_names[i];
  m_error_why = f.Error();
}

bool CSipExport::Finish() {
  if (m_kind == KIND_MULTI_FREQ) {
    ExportLocaleScope c_numbers;
    return WriteMultiFreqFiles();
  }
  if (!Seal()) return false;
  std::vector<AtomicFile*> set;
  for (auto& f : m_vt_files) set.push_back(f.get());
  size_t failed = set.size();
  const bool ok = AtomicFile::CommitSet(set, &failed);
  if (!ok) {
    NotCompleted(failed);
    // What was put in place before the failed rename stays listed for the
    // caller's report.
    m_file_names.resize(failed);
    m_counts.resize(failed);
  }
  m_vt_files.clear();
  m_count_pos.clear();
  m_ohm_rows.clear();
  m_sealed = false;
  return ok;
}

void CSipExport::Discard() {
  m_sealed = false;
  for (auto& f : m_vt_files) f->Abort();
  m_vt_files.clear();
  m_file_names.clear();
  m_count_pos.clear();
  m_counts.clear();
  m_ohm_rows.clear();
  m_mf = MultiFreqData();
  m_mf_pos.clear();
}
