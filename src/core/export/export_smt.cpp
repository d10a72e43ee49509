#include "core/export/export_smt.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/base/clog.h"
#include "core/base/ex_string.h"
#include "core/processing/sip_ts2spect.h"
#include "core/processing/srs_recalc.h"
#include "core/processing/synth_current.h"

namespace {

// Whether the SMT file of path can be used, asking the transformer only the
// first time the export meets the path.
bool Lookup(CSipTs2Spect& ts, const CFormatSRS& srs, const std::string& path, SmtLookup* lookup) {
  return lookup->Lookup(srs.GetPath(), ex_ansi_to_utf8(path), [&] { return !path.empty() && ts.CheckSmt(path); });
}

// A path refused before it was looked at (a device name that would lead
// out of the SMT folder) is listed as missing as it reads.
void NoteRefused(const CFormatSRS& srs, const std::string& path, SmtLookup* lookup) {
  lookup->Lookup(srs.GetPath(), ex_ansi_to_utf8(path), [] { return false; });
}

}  // namespace

bool SmtLookup::Lookup(const std::string& srs_path, const std::string& key, const std::function<bool()>& check) {
  std::unique_lock<std::mutex> lk(m_lock);
  std::vector<std::string>& met = m_met[srs_path];
  if (std::find(met.begin(), met.end(), key) == met.end()) met.push_back(key);
  auto it = m_state.find(key);
  if (it == m_state.end()) {
    m_state[key] = -1;
    lk.unlock();
    const bool ok = check();
    lk.lock();
    m_state[key] = ok ? 1 : 0;
    (ok ? found : missing).push_back(key);
    lk.unlock();
    m_done.notify_all();
    return ok;
  }
  m_done.wait(lk, [&] { return m_state[key] >= 0; });
  return m_state[key] == 1;
}

void SmtLookup::Settle(const std::vector<const std::string*>& run_paths) {
  std::lock_guard<std::mutex> lk(m_lock);
  std::vector<std::string> in_order[2];
  std::map<std::string, bool> listed;
  for (const std::string* path : run_paths) {
    auto met = m_met.find(*path);
    if (met == m_met.end()) continue;
    for (const std::string& key : met->second) {
      auto st = m_state.find(key);
      if (st == m_state.end() || st->second < 0 || !listed.emplace(key, true).second) continue;
      in_order[st->second].push_back(key);
    }
  }
  missing.swap(in_order[0]);
  found.swap(in_order[1]);
}

bool ConvertFromSmt(CFormatSRS& srs, const std::string& smt_dir, SmtLookup* lookup) {
  SmtLookup local;
  if (!lookup) lookup = &local;
  const PrmMeas meas = srs.m_prm_meas;
  if (meas.harm_num < 1) return false;
  const bool cur_used = meas.curr_station_used != 0;
  if (cur_used && !(std::isfinite(meas.v2i) && meas.v2i > 0.0f)) {
    CLOG_ERR("%s: current station with v2i %g", srs.GetPath().c_str(), double(meas.v2i));
    return false;
  }

  CSipTs2Spect ts;
  ts.SetParams(meas.sample_rate, meas.freq_base, meas.harm_num, meas.wave);
  const SmtChRef cur = SmtCurrentRef(srs, smt_dir);
  if (cur_used && cur.path.empty()) {
    NoteRefused(srs, SmtCurrentLookedFor(srs, smt_dir), lookup);
    return false;
  }
  if (cur_used && !Lookup(ts, srs, cur.path, lookup)) return false;
  const std::vector<SmtChRef> refs = SmtChannelRefs(
      srs, smt_dir, [&](const std::string& p) { return Lookup(ts, srs, p, lookup); },
      [&](const std::string& p) { NoteRefused(srs, p, lookup); });

  ts.SetAmpCoef(1.0);
  CSpectArray new_u;
  ts.CalcArray(refs, cur_used ? &cur : nullptr, new_u);
  srs.m_spect_u = new_u;

  if (cur_used) {
    ts.SetAmpCoef(1.0 / double(meas.v2i));
    CSpectArray new_i;
    ts.CalcArray({cur}, nullptr, new_i);
    srs.m_spect_i = new_i;
    return true;
  }
  // The synthesized current is current x v2i per harmonic, stored divided by
  // v2i again; a v2i that cannot divide leaves the current itself.
  PrmMeas synth_meas = meas;
  double s = 1.0 / double(meas.v2i);
  if (!(std::isfinite(meas.v2i) && meas.v2i > 0.0f)) {
    synth_meas.v2i = 1.0f;
    s = 1.0;
  }
  const int n = srs.m_spect_u.DoGetCalNum();
  CSpectArray synth = synthCurrentSpect(synth_meas, MAX_CH_NUM, meas.harm_num, n, meas.cur_value,
                                        baseFreqIndex(meas.freq_base));
  srs.m_spect_i.DoInit(1, 1, meas.harm_num, n, -1, 2);
  for (int c = 0; c < n; ++c)
    for (int h = 0; h < meas.harm_num; ++h) {
      const SpectItem it = synth.DoGetItemOf(0, 0, h, c);
      srs.m_spect_i.DoSetValueOf(0, 0, h, c, it.re * s, it.im * s, it.bad);
    }
  return true;
}
