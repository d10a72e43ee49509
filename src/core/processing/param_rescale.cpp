#include "core/processing/param_rescale.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/base/algo.h"
#include "core/base/atomic_file.h"
#include "core/base/clog.h"
#include "core/base/ex_string.h"
#include "core/processing/spm.h"

namespace {

constexpr double kEqualTol = 0.00001;

bool equals_one(double f) { return algo_is_equal_cp(1.0, f, kEqualTol); }

bool usable_factor(double f) { return std::isfinite(f) && f != 0.0; }

bool valid_channel(const ChInfo& info, size_t dev_count) {
  return info.idx_dev >= 0 && size_t(info.idx_dev) < dev_count && info.idx_dev_ch >= 0 &&
         info.idx_dev_ch < MAX_CH_NUM;
}

std::string trimmed(const char* s) {
  const char* ws = " \t\n\v\f\r";
  std::string t(s);
  const size_t b = t.find_first_not_of(ws);
  if (b == std::string::npos) return std::string();
  return t.substr(b, t.find_last_not_of(ws) - b + 1);
}

bool same_devices(const std::vector<PrmDev>& a, const std::vector<PrmDev>& b, size_t d) {
  return trimmed(a[d].dev_name) == trimmed(b[d].dev_name) && a[d].ch_num == b[d].ch_num;
}

// The channel entry the edited device record N gives to entry old, with the
// line settings first / mn for a device without coordinates.
ChInfo rescaled_info(const ChInfo& old, const PrmDev& n, float first, float mn, int32_t line_no) {
  const int c = old.idx_dev_ch;
  const float p = n.pos_valid ? n.mx[c] : SipSitePos(first, mn, n.site_no[c]);
  const float q = n.pos_valid ? n.nx[c] : p + mn;
  ChInfo info = old;
  info.dev_name = n.dev_name;
  info.site_no = n.site_no[c];
  info.line_no = line_no;
  info.mn = std::fabs(q - p);
  info.m_pos = p;
  info.vd2ab = n.vd2ab;
  info.ch_type = n.ch_type[c];
  return info;
}

struct EntryPlan {
  int idx = 0;
  ChInfo info;
  double f = 1.0;
};

struct Plan {
  std::vector<EntryPlan> entries;
  int skipped = 0;
  int unusable = 0;  // entries whose factor is not a finite nonzero number
};

Plan plan_displayed(CResult* r, const CFormatSRS& srs, const PrmMeas& meas, const std::vector<PrmDev>& devs,
                    double ratio) {
  Plan plan;
  const bool three = srs.GetFileVer() <= 4;
  const int count = r->GetChNum();
  for (int i = 0; i < count; ++i) {
    const ChInfo old = r->GetChInfo(i);
    if (!valid_channel(old, devs.size()) || size_t(old.idx_dev) >= srs.m_vt_prm_dev.size()) {
      ++plan.skipped;
      continue;
    }
    const PrmDev& n = devs[size_t(old.idx_dev)];
    const PrmDev& o = srs.m_vt_prm_dev[size_t(old.idx_dev)];
    EntryPlan e;
    e.idx = i;
    e.info = rescaled_info(old, n, meas.first_pole_pos, meas.mn, meas.line_no);
    const double k_old = CalcChannelK(srs.m_prm_meas, o, old, three);
    const double k_new = CalcChannelK(meas, n, e.info, three);
    e.f = k_new / k_old / ratio;
    if (!usable_factor(e.f)) {
      CLOG_WARN("channel %s: factor %g from K %g -> %g and current ratio %g not applied", SipChLabel(old).c_str(),
                e.f, k_old, k_new, ratio);
      ++plan.unusable;
      continue;
    }
    plan.entries.push_back(e);
  }
  return plan;
}

void apply_plan(CResult* r, const Plan& plan) {
  for (const EntryPlan& e : plan.entries) {
    if (!equals_one(e.f)) r->ScaleApp(e.idx, float(e.f));
    r->SetChInfo(e.idx, e.info);
  }
}

void invalidate_entry(CFormatSRS* srs, int i) {
  srs->m_res.InvalidateCh(i);
  if (i < srs->m_res_composed.GetChNum()) srs->m_res_composed.InvalidateCh(i);
  srs->m_spect_u.DoInvalidateCh(i);
}

void set_result_pos(CFormatSRS* srs) {
  const PrmMeas& m = srs->m_prm_meas;
  srs->m_res.SetPos(m.ax, m.ay, m.bx, m.by);
  srs->m_res_composed.SetPos(m.ax, m.ay, m.bx, m.by);
}

}  // namespace

double ParamCurrentRatio(const PrmMeas& new_meas, const PrmMeas& old_meas) {
  if ((new_meas.curr_station_used != 0) != (old_meas.curr_station_used != 0)) return 0.0;
  const double r = new_meas.curr_station_used ? double(old_meas.v2i) / double(new_meas.v2i)
                                              : double(new_meas.cur_value) / double(old_meas.cur_value);
  return std::isfinite(r) && r > 0.0 ? r : 0.0;
}

int ParamRescaleResults(CResult* r, const CFormatSRS& srs, const PrmMeas& meas, const std::vector<PrmDev>& devs,
                        double ratio) {
  const Plan plan = plan_displayed(r, srs, meas, devs, ratio);
  apply_plan(r, plan);
  return plan.skipped + plan.unusable;
}

ParamApplyResult ParamApplyToSrs(CFormatSRS* srs, const PrmMeas& meas, const std::vector<PrmDev>& devs) {
  ParamApplyResult res;
  if (devs.size() != srs->m_vt_prm_dev.size()) {
    res.why = "the edited records hold " + std::to_string(devs.size()) + " stations, the file " +
              std::to_string(srs->m_vt_prm_dev.size());
    res.reason = Reason::Of(ReasonCode::StationCount, res.why);
    res.reason.count = long(devs.size());
    res.reason.other_count = long(srs->m_vt_prm_dev.size());
    return res;
  }
  res.why = SpmDevicesFitResults(devs, *srs);
  if (!res.why.empty()) return res;
  const double ratio = ParamCurrentRatio(meas, srs->m_prm_meas);
  if (ratio == 0.0) {
    res.why = (meas.curr_station_used != 0) != (srs->m_prm_meas.curr_station_used != 0)
                  ? "the current mode differs from the file's"
                  : "the current or the current-sensor factor is not a positive number";
    res.reason = Reason::Of(ReasonCode::Other, res.why);
    return res;
  }
  const Plan single = plan_displayed(&srs->m_res, *srs, meas, devs, ratio);
  const Plan composed = plan_displayed(&srs->m_res_composed, *srs, meas, devs, ratio);
  if (single.unusable || composed.unusable) {
    res.why = "the new geometry gives a channel no usable geometric factor (for example M equal to N)";
    res.reason = Reason::Of(ReasonCode::Other, res.why);
    return res;
  }
  apply_plan(&srs->m_res, single);
  apply_plan(&srs->m_res_composed, composed);
  res.skipped = single.skipped + composed.skipped;

  const int count = srs->m_res.GetChNum();
  for (int i = 0; i < count; ++i) {
    const ChInfo info = srs->m_res.GetChInfo(i);
    if (!valid_channel(info, devs.size())) continue;
    if (devs[size_t(info.idx_dev)].ch_type[info.idx_dev_ch] == SIP_CH_INVALID) {
      invalidate_entry(srs, i);
      ++res.invalidated;
    }
  }
  if (!equals_one(ratio)) srs->m_spect_i.DoScale(ratio);

  srs->m_prm_meas = meas;
  for (size_t i = 0; i < devs.size(); ++i) srs->SetPrmDev(int(i), devs[i]);
  // The results carry the transmitter positions too; keep them the record's.
  set_result_pos(srs);
  res.ok = true;
  return res;
}

bool ParamRescaleFileResults(CResult* r, CFormatSRS* t, const CFormatSRS& src) {
  if (t->m_vt_prm_dev.size() != src.m_vt_prm_dev.size()) return false;
  t->m_prm_meas.first_pole_pos = src.m_prm_meas.first_pole_pos;
  t->m_prm_meas.mn = src.m_prm_meas.mn;
  const bool three = t->GetFileVer() <= 4;
  const size_t dev_count = src.m_vt_prm_dev.size();
  const int count = r->GetChNum();
  for (int i = 0; i < count; ++i) {
    const ChInfo old = r->GetChInfo(i);
    if (!valid_channel(old, dev_count)) return false;
    const size_t d = size_t(old.idx_dev);
    if (!same_devices(src.m_vt_prm_dev, t->m_vt_prm_dev, d)) return false;
    const PrmDev& s = src.m_vt_prm_dev[d];
    const PrmDev& o = t->m_vt_prm_dev[d];
    const ChInfo info = rescaled_info(old, s, t->m_prm_meas.first_pole_pos, t->m_prm_meas.mn, t->m_prm_meas.line_no);
    const double k_old = CalcChannelK(t->m_prm_meas, o, old, three);
    const double k_new = CalcChannelK(t->m_prm_meas, s, info, three);
    const double f = k_new / k_old;
    if (!usable_factor(f)) return false;
    if (!equals_one(f)) r->ScaleApp(i, float(f));
    r->SetChInfo(i, info);
  }
  return true;
}

bool ParamCopyLineSettings(CFormatSRS* t, const CFormatSRS& src) {
  if (t->m_vt_prm_dev.size() != src.m_vt_prm_dev.size()) return false;
  t->m_prm_meas.first_pole_pos = src.m_prm_meas.first_pole_pos;
  t->m_prm_meas.mn = src.m_prm_meas.mn;
  for (size_t d = 0; d < src.m_vt_prm_dev.size(); ++d) {
    if (!same_devices(src.m_vt_prm_dev, t->m_vt_prm_dev, d)) return false;
    const PrmDev& s = src.m_vt_prm_dev[d];
    PrmDev& o = t->m_vt_prm_dev[d];
    o.vd2ab = s.vd2ab;
    o.pos_valid = s.pos_valid;
    for (int c = 0; c < s.ch_num && c < MAX_CH_NUM; ++c) {
      o.ch_type[c] = s.ch_type[c];
      o.site_no[c] = s.site_no[c];
      o.mx[c] = s.mx[c];
      o.my[c] = s.my[c];
      o.nx[c] = s.nx[c];
      o.ny[c] = s.ny[c];
    }
  }
  return true;
}

bool ParamTransferToFile(CFormatSRS* t, const CFormatSRS& src, std::string* why, Reason* reason) {
  auto fail = [why, reason](const std::string& text) {
    if (why) *why = text;
    if (reason && reason->empty()) *reason = Reason::Of(ReasonCode::Other, text);
    if (reason) reason->text = text;
    return false;
  };
  if (t->m_vt_prm_dev.size() != src.m_vt_prm_dev.size()) {
    if (reason) {
      reason->code = ReasonCode::StationCount;
      reason->count = long(src.m_vt_prm_dev.size());
      reason->other_count = long(t->m_vt_prm_dev.size());
    }
    return fail("the file has " + std::to_string(t->m_vt_prm_dev.size()) + " stations, the edited file " +
                std::to_string(src.m_vt_prm_dev.size()));
  }
  for (size_t d = 0; d < src.m_vt_prm_dev.size(); ++d) {
    if (!same_devices(src.m_vt_prm_dev, t->m_vt_prm_dev, d)) {
      if (reason) {
        reason->code = ReasonCode::StationDiffers;
        reason->count = long(d + 1);
      }
      return fail("station " + std::to_string(d + 1) + " is " + trimmed(t->m_vt_prm_dev[d].dev_name) + " with " +
                  std::to_string(t->m_vt_prm_dev[d].ch_num) + " channels, in the edited file " +
                  trimmed(src.m_vt_prm_dev[d].dev_name) + " with " + std::to_string(src.m_vt_prm_dev[d].ch_num));
    }
  }
  // A partly rescaled result must never be written: unlike a plain transfer,
  // a failed rescale fails the file.
  if (!ParamRescaleFileResults(&t->m_res, t, src) || !ParamRescaleFileResults(&t->m_res_composed, t, src))
    return fail("a result entry names a channel outside the stations, or the new geometry gives it no usable "
                "geometric factor");
  const int count = t->m_res.GetChNum();
  for (int i = 0; i < count; ++i) {
    const ChInfo info = t->m_res.GetChInfo(i);
    if (!valid_channel(info, src.m_vt_prm_dev.size()))
      return fail("result entry " + std::to_string(i + 1) + " names a channel outside the stations");
    if (src.m_vt_prm_dev[size_t(info.idx_dev)].ch_type[info.idx_dev_ch] == SIP_CH_INVALID) invalidate_entry(t, i);
  }
  if (!ParamCopyLineSettings(t, src)) return fail("the station lists differ");
  return true;
}

ParamSaveResult ParamSaveSrs(CFormatSRS& srs, const std::string& path) {
  ParamSaveResult res;
  res.backup_path = ex_backup_path(path);
  if (!ex_backup_once(path, &res.backup_made, &res.why, &res.reason)) return res;
  if (!ex_write_atomic(path, [&srs](FILE* fp) { return srs.WriteFile(fp); }, &res.why, &res.reason)) {
    CLOG_ERR("saving %s failed: %s", path.c_str(), res.why.c_str());
    // The file stays unchanged: a backup made for this save would stand for
    // a change that never happened.
    if (res.backup_made) std::remove(res.backup_path.c_str());
    res.backup_made = false;
    return res;
  }
  res.ok = true;
  return res;
}

ParamSaveAllResult ParamSaveAll(CFormatSRS& srs, const std::vector<std::string>& paths, RunProgress* progress) {
  ParamSaveAllResult res;
  const std::string edited = srs.GetPath();
  auto failed = [&res](const std::string& path, const std::string& why, Reason reason) {
    res.failed.push_back(path);
    res.failed_why.push_back(why);
    reason.text = why;
    res.failed_reason.push_back(std::move(reason));
  };
  const bool done = RunOverPaths(paths, progress, [&](int, const std::string& path) {
    ParamSaveResult saved;
    if (path == edited || ex_same_file(path, edited)) {
      saved = ParamSaveSrs(srs, path);
    } else {
      CFormatSRS t;
      if (!t.Read(path)) return failed(path, "cannot be read: " + t.GetError(), t.GetReason());
      std::string why;
      Reason reason;
      if (!ParamTransferToFile(&t, srs, &why, &reason)) return failed(path, why, reason);
      saved = ParamSaveSrs(t, path);
    }
    if (!saved.ok) return failed(path, saved.why, saved.reason);
    if (saved.backup_made) res.backups.push_back(saved.backup_path);
  });
  res.cancelled = !done;
  return res;
}

void ParamSetLineLayout(std::vector<PrmDev>* devs, float first, float mn, float vd2ab) {
  for (PrmDev& dev : *devs) {
    dev.vd2ab = vd2ab;
    if (!dev.pos_valid) continue;
    for (int i = 0; i < MAX_CH_NUM; ++i) {
      dev.mx[i] = SipSitePos(first, mn, dev.site_no[i]);
      dev.nx[i] = mn + dev.mx[i];
    }
  }
}
