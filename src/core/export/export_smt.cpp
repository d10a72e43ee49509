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

bool Contains(const std::vector<std::string>& v, const std::string& key) {
  return std::find(v.begin(), v.end(), key) != v.end();
}

// Whether the SMT file of path can be used, asking the transformer only the
// first time the export meets the path.
bool Lookup(CSipTs2Spect& ts, const std::string& path, SmtLookup* lookup) {
  const std::string key = ex_ansi_to_utf8(path);
  if (Contains(lookup->found, key)) return true;
  if (Contains(lookup->missing, key)) return false;
  const bool ok = !path.empty() && ts.CheckSmt(path);
  (ok ? lookup->found : lookup->missing).push_back(key);
  return ok;
}

// A path refused before it was looked at (a device name that would lead
// out of the SMT folder) is listed as missing as it reads.
void NoteRefused(const std::string& path, SmtLookup* lookup) {
  const std::string key = ex_ansi_to_utf8(path);
  if (!Contains(lookup->missing, key)) lookup->missing.push_back(key);
}

}  // namespace

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
    NoteRefused(SmtCurrentLookedFor(srs, smt_dir), lookup);
    return false;
  }
  if (cur_used && !Lookup(ts, cur.path, lookup)) return false;
  const std::vector<SmtChRef> refs = SmtChannelRefs(
      srs, smt_dir, [&](const std::string& p) { return Lookup(ts, p, lookup); },
      [&](const std::string& p) { NoteRefused(p, lookup); });

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
