#include "core/processing/sip_spect2res.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "core/base/algo.h"
#include "core/base/clog.h"

namespace {

float CohWeightOf(float x) {
  if (std::isnan(x)) return 1e-8f;
  if (x <= 0.01f) return 2e-10f;
  if (x <= 0.5f) return float(2e-8 * double(x));
  if (x <= 0.9f) return float(std::pow(10.0, 7.5 * double(x) - 11.75));
  return float(std::pow(10.0, 50.0 * double(x) - 50.0));
}

}  // namespace

float CohWeight(float x) {
  // The harmonics of one calculation share their coherence, so the weight
  // (a power) is asked for the same value several times in a row.
  thread_local uint32_t last_bits = 0x7fc00001u;
  thread_local float last_weight = CohWeightOf(std::numeric_limits<float>::quiet_NaN());
  uint32_t bits = 0;
  std::memcpy(&bits, &x, sizeof(bits));
  if (bits != last_bits) {
    last_bits = bits;
    last_weight = CohWeightOf(x);
  }
  return last_weight;
}

namespace {

float ItemAmp(const SpectItem& it) { return float(cpx_abs(cpx_t{it.re, it.im})); }
float ItemPhase(const SpectItem& it) { return float(cpx_arg(cpx_t{it.re, it.im})); }

SpectItem JoinItems(const std::vector<SpectItem>& items) {
  SpectItem out = items.front();
  out.m_valid = 1;
  if (items.size() > 1) {
    cpx_t sum{0.0, 0.0};
    std::vector<float> amp, ts, sp;
    out.bad = 0;
    for (const SpectItem& it : items) {
      cpx_add(cpx_t{it.re, it.im}, &sum);
      if (!out.bad && it.bad) out.bad = it.bad;
      amp.push_back(ItemAmp(it));
      ts.push_back(it.coh_ts);
      sp.push_back(it.coh_sp);
    }
    out.re = sum.re;
    out.im = sum.im;
    const int n = int(items.size());
    double amp_sum = 0.0;
    for (float a : amp) amp_sum += a;
    // Items without amplitude cannot weight anything; their plain mean is
    // the only figure left.
    if (amp_sum > 0.0) {
      out.coh_ts = algo_mean_w(ts.data(), amp.data(), n);
      out.coh_sp = algo_mean_w(sp.data(), amp.data(), n);
    } else {
      out.coh_ts = algo_mean(ts.data(), n);
      out.coh_sp = algo_mean(sp.data(), n);
    }
  }
  bool all_ts = true, all_sp = true;
  for (const SpectItem& it : items) {
    if (it.coh_ts == 0.0f) all_ts = false;
    if (it.coh_sp == 0.0f) all_sp = false;
  }
  if (all_ts)
    out.weight = CohWeight(out.coh_ts);
  else if (all_sp)
    out.weight = CohWeight(out.coh_sp);
  else
    out.weight = 1.0f;
  return out;
}

// Mean amplitude and phase of the k-th entries of g lists, up to the
// shortest list; flags come from the first list.
std::vector<SpectItem> CombineLists(const std::vector<std::vector<SpectItem>>& lists) {
  std::vector<SpectItem> out;
  if (lists.empty()) return out;
  size_t len = lists.front().size();
  for (const auto& l : lists) len = std::min(len, l.size());
  const int g = int(lists.size());
  out.reserve(len);
  if (g == 1) {
    // The mean of one amplitude is the amplitude itself, and the phase mean
    // of one phase is the phase wrapped about zero: the same figures without
    // the sums.
    for (const SpectItem& src : lists.front()) {
      const cpx_t v = cpx_polar(ItemAmp(src), algo_phase_wrap(0.0f, ItemPhase(src)));
      SpectItem it = src;
      it.re = v.re;
      it.im = v.im;
      it.m_valid = 1;
      out.push_back(it);
    }
    return out;
  }
  std::vector<float> amp(static_cast<size_t>(g)), ph(static_cast<size_t>(g));
  for (size_t k = 0; k < len; ++k) {
    for (int j = 0; j < g; ++j) {
      amp[size_t(j)] = ItemAmp(lists[size_t(j)][k]);
      ph[size_t(j)] = ItemPhase(lists[size_t(j)][k]);
    }
    const cpx_t v = cpx_polar(algo_mean(amp.data(), g), algo_phase_mean(ph.data(), g));
    SpectItem it = lists.front()[k];
    it.re = v.re;
    it.im = v.im;
    it.m_valid = 1;
    out.push_back(it);
  }
  return out;
}

bool HarmRangeOk(CSpectArray& spect, int ch, int h0, int g) {
  return g > 0 && h0 >= 0 && ch >= 0 && ch < spect.DoGetBuffChNum() && spect.DoGetBuffFreqNum() > 0 &&
         h0 + g <= spect.DoGetBuffHarmNum();
}

std::vector<SpectItem> ComposeHarm(CSpectArray& spect, int ch, int h0, int g) {
  if (!HarmRangeOk(spect, ch, h0, g)) return {};
  std::vector<std::vector<SpectItem>> lists(static_cast<size_t>(g));
  for (int j = 0; j < g; ++j) spect.DoGetValidItemsOf(ch, 0, h0 + j, &lists[size_t(j)]);
  return CombineLists(lists);
}

std::vector<SpectItem> ComposeHarmZ(CSpectArray& spect_u, CSpectArray& spect_i, int ch_u, int ch_i, int h0, int g) {
  if (!HarmRangeOk(spect_u, ch_u, h0, g) || !HarmRangeOk(spect_i, ch_i, h0, g)) return {};
  std::vector<std::vector<SpectItem>> lists(static_cast<size_t>(g));
  std::vector<SpectItem> u, i;
  for (int j = 0; j < g; ++j) {
    spect_u.DoGetValidItemsOf(ch_u, 0, h0 + j, &u);
    spect_i.DoGetValidItemsOf(ch_i, 0, h0 + j, &i);
    const size_t n = std::min(u.size(), i.size());
    std::vector<SpectItem>& q = lists[size_t(j)];
    q.reserve(n);
    for (size_t k = 0; k < n; ++k) {
      cpx_t z;
      cpx_div(cpx_t{u[k].re, u[k].im}, cpx_t{i[k].re, i[k].im}, &z);
      SpectItem it = u[k];
      it.re = z.re;
      it.im = z.im;
      it.m_valid = 1;
      q.push_back(it);
    }
  }
  return CombineLists(lists);
}

struct ValueLists {
  std::vector<float> amp;
  std::vector<float> ph;
  std::vector<float> w;
};

// Fills v, keeping the room of its lists for the next point.
void ListsInto(const std::vector<SpectItem>& items, ValueLists* v) {
  v->amp.clear();
  v->ph.clear();
  v->w.clear();
  v->amp.reserve(items.size());
  v->ph.reserve(items.size());
  v->w.reserve(items.size());
  for (size_t k = 0; k < items.size(); ++k) {
    v->amp.push_back(ItemAmp(items[k]));
    const float ph = ItemPhase(items[k]);
    v->ph.push_back(k == 0 ? ph : algo_phase_wrap(v->ph.front(), ph));
    v->w.push_back(items[k].weight);
  }
}

ValueLists ListsOf(const std::vector<SpectItem>& items) {
  ValueLists v;
  ListsInto(items, &v);
  return v;
}

// Holds an array's lock for a loop over its items (the NoLock accessors).
class HeldArray {
public:
  explicit HeldArray(CSpectArray& a) : m_a(a) { m_a.DoLock(); }
  ~HeldArray() { m_a.DoUnlock(); }
  HeldArray(const HeldArray&) = delete;
  HeldArray& operator=(const HeldArray&) = delete;

private:
  CSpectArray& m_a;
};

// Calculations of entry e of the voltage spectra into a one-channel array,
// up to the first item that is invalid (or bad, unless accepted).
void CopyCh(CSpectArray& spect_u, int e, bool accept_bad, CSpectArray& v) {
  const int harm_num = spect_u.DoGetBuffHarmNum();
  v.DoInit(1, 1, harm_num, 0, -1, 2);
  if (e < 0 || e >= spect_u.DoGetBuffChNum() || spect_u.DoGetBuffFreqNum() < 1) return;
  const int cal_num = spect_u.DoGetCalNum();
  std::vector<SpectItem> one(1);
  HeldArray held(spect_u);
  for (int c = 0; c < cal_num; ++c) {
    for (int h = 0; h < harm_num; ++h) {
      one[0] = spect_u.DoGetItemOfNoLock(e, 0, h, c);
      if (!one[0].m_valid || (one[0].bad && !accept_bad)) return;
      if (h == 0) v.DoAppendCal(1);
      v.DoSetItemOfNoLock(0, 0, h, c, JoinItems(one));
    }
  }
}

// Sum of the voltages of adjacent dipoles, one calculation at a time, up to
// the first invalid or bad item of any of them.
void JoinCh(CSpectArray& spect_u, const std::vector<int>& chs, CSpectArray& v) {
  const int harm_num = spect_u.DoGetBuffHarmNum();
  v.DoInit(1, 1, harm_num, 0, -1, 2);
  if (spect_u.DoGetBuffFreqNum() < 1) return;
  for (int ch : chs)
    if (ch < 0 || ch >= spect_u.DoGetBuffChNum()) return;
  const int cal_num = spect_u.DoGetCalNum();
  std::vector<SpectItem> items(chs.size());
  HeldArray held(spect_u);
  for (int c = 0; c < cal_num; ++c) {
    for (int h = 0; h < harm_num; ++h) {
      for (size_t j = 0; j < chs.size(); ++j) {
        items[j] = spect_u.DoGetItemOfNoLock(chs[j], 0, h, c);
        if (!items[j].m_valid || items[j].bad) return;
      }
      if (h == 0) v.DoAppendCal(1);
      v.DoSetItemOfNoLock(0, 0, h, c, JoinItems(items));
    }
  }
}

// Amplitudes, phases and weights of the file's current at every frequency
// point, with their statistics: the same for every channel entry of one
// recalculation.
struct CurrentPoint {
  ValueLists lists;
  ResBlock amp, ph;
};

std::vector<CurrentPoint> CurrentLists(CFormatSRS& srs, int g, int points) {
  std::vector<CurrentPoint> out(size_t(std::max(points, 0)));
  for (int p = 0; p < points; ++p) {
    CurrentPoint& c = out[size_t(p)];
    c.lists = ListsOf(ComposeHarm(srs.m_spect_i, 0, p * g, g));
    c.amp = CResult::ResStat(c.lists.amp, false, nullptr);
    c.ph = CResult::ResStat(c.lists.ph, true, nullptr);
  }
  return out;
}

// Every frequency point of entry e of result from the one-channel voltage
// array v, the file's current spectrum and its lists li (CurrentLists).
void CalcPoints(CFormatSRS& srs, int g, CResultSip& result, int e, CSpectArray& v,
                const std::vector<CurrentPoint>& li) {
  const ChInfo info = result.GetChInfo(e);
  const PrmDev dev = info.idx_dev >= 0 && info.idx_dev < int(srs.m_vt_prm_dev.size())
                         ? srs.m_vt_prm_dev[size_t(info.idx_dev)]
                         : PrmDev();
  const float k_geo = CalcChannelK(srs.m_prm_meas, dev, info, srs.GetFileVer() <= 4);
  const int points = std::min(result.GetHarmNum(), int(li.size()));

  std::vector<std::vector<SpectItem>> z(size_t(std::max(points, 0)));
  std::vector<ValueLists> lzs(z.size());
  for (int p = 0; p < points; ++p) {
    z[size_t(p)] = ComposeHarmZ(v, srs.m_spect_i, 0, 0, p * g, g);
    lzs[size_t(p)] = ListsOf(z[size_t(p)]);
  }

  std::vector<float> app, cp, fs;
  ValueLists lu;
  for (int p = 0; p < points; ++p) {
    ResItem item = result.GetItem(e, 0, p);
    const std::vector<SpectItem> u = ComposeHarm(v, 0, p * g, g);

    item.bad = 0;
    for (const SpectItem& it : u) {
      if (it.bad) {
        item.bad = it.bad;
        break;
      }
    }

    ListsInto(u, &lu);
    const CurrentPoint& lp = li[size_t(p)];
    const ValueLists& lz = lzs[size_t(p)];
    app.resize(lz.amp.size());
    for (size_t k = 0; k < app.size(); ++k) app[k] = k_geo * lz.amp[k];
    // Every impedance keeps the weight of its voltage, so the voltage weights
    // are those of the impedance list; voltage weights short of the impedance
    // list cannot be paired with it.
    const float* wz = lu.w.size() >= lz.amp.size() ? lu.w.data() : nullptr;
    item.blk[RES_U_AMP] = CResult::ResStat(lu.amp, false, &lu.w);
    item.blk[RES_U_PH] = CResult::ResStat(lu.ph, true, &lu.w);
    item.blk[RES_I_AMP] = lp.amp;
    item.blk[RES_I_PH] = lp.ph;
    item.blk[RES_APP] = CResult::ResStat(app.data(), app.size(), false, wz);
    item.blk[RES_Z_PH] = CResult::ResStat(lz.ph.data(), lz.ph.size(), true, wz);

    const bool last = p == points - 1;
    const ValueLists& lhi = last ? lz : lzs[size_t(p + 1)];
    const ValueLists& llo = last ? lzs[0] : lz;
    const float r = last ? result.GetFreq(0, p) / result.GetFreq(0, 0)
                         : result.GetFreq(0, p + 1) / result.GetFreq(0, p);
    item.blk[RES_CP] = ResBlock();
    item.blk[RES_FS] = ResBlock();
    // The relative phase extrapolates towards the higher frequency; without
    // one (frequencies not ascending) CP and FS have no data.
    if (r > 1.0f && std::isfinite(r)) {
      const size_t n = std::min(llo.ph.size(), lhi.ph.size());
      cp.resize(n);
      fs.resize(n);
      for (size_t k = 0; k < n; ++k) {
        cp[k] = algo_geo_phase_h2l(llo.ph[k], lhi.ph[k], r);
        fs[k] = algo_rel_diff(llo.amp[k], lhi.amp[k]);
      }
      item.blk[RES_CP] = CResult::ResStat(cp.data(), n, true, llo.w.data());
      item.blk[RES_FS] = CResult::ResStat(fs.data(), n, false, llo.w.data());
    }
    result.SetItem(e, 0, p, item);
  }
}

}  // namespace

void CSipSpect2Res::Init(CFormatSRS* srs) {
  m_srs = srs;
  m_composed = false;
  m_harm_group = 1;
  m_vt_ch_order.clear();
  if (!srs) return;
  if (srs->m_prm_meas.wave == SIP_WAVE_SPREAD_SPECTRUM && !SetComposed(true))
    CLOG_WARN("composed result without harmonics; single frequencies only");

  const int n = srs->m_res.GetChNum();
  if (n <= 0) return;
  std::vector<float> sites(static_cast<size_t>(n));
  std::vector<int> idx(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) sites[size_t(i)] = float(srs->m_res.GetChInfo(i).site_no);
  algo_sort_bubble(sites.data(), n, false, idx.data());
  // Distinct sites fill the list from the front in ascending order; repeated
  // sites are pushed to the back so that adjacent entries are neighbours.
  m_vt_ch_order.assign(size_t(n), 0);
  int front = 0, back = n - 1;
  for (int k = 0; k < n; ++k) {
    if (k == 0 || sites[size_t(k)] != sites[size_t(k - 1)])
      m_vt_ch_order[size_t(front++)] = idx[size_t(k)];
    else
      m_vt_ch_order[size_t(back--)] = idx[size_t(k)];
  }
}

bool CSipSpect2Res::SetComposed(bool on) {
  if (!on) {
    m_composed = false;
    m_harm_group = 1;
    return true;
  }
  if (!m_srs) return false;
  const int composed = m_srs->m_res_composed.GetHarmNum();
  const int group = composed > 0 ? m_srs->m_res.GetHarmNum() / composed : 0;
  if (group < 1) {
    CLOG_ERR("composed mode refused: %d single frequencies for %d composed points", m_srs->m_res.GetHarmNum(),
             composed);
    return false;
  }
  m_composed = true;
  m_harm_group = group;
  return true;
}

void CSipSpect2Res::CalcRes(CResultSip& result) {
  if (!m_srs) {
    CLOG_ERR("no SRS file bound");
    return;
  }
  CSpectArray v;
  const int ch_num = result.GetChNum();
  const std::vector<CurrentPoint> li = CurrentLists(*m_srs, m_harm_group, result.GetHarmNum());
  for (int e = 0; e < ch_num; ++e) {
    CopyCh(m_srs->m_spect_u, e, true, v);
    CalcPoints(*m_srs, m_harm_group, result, e, v, li);
  }
}

void CSipSpect2Res::CalcResComposed(CResultSip& result) {
  if (!m_srs) {
    CLOG_ERR("no SRS file bound");
    return;
  }
  CResultSip& src = m_srs->m_res_composed;
  const int ch_num = src.GetChNum();
  const int harm_num = src.GetHarmNum();
  // Taken before the reshape: result may be the composed result itself.
  std::vector<ChInfo> infos(size_t(std::max(ch_num, 0)));
  for (int e = 0; e < ch_num; ++e) infos[size_t(e)] = src.GetChInfo(e);
  std::vector<float> freq(size_t(std::max(harm_num, 0)));
  for (int p = 0; p < harm_num; ++p) freq[size_t(p)] = src.GetFreq(0, p);
  result.DoInit(ch_num, 1, harm_num);
  for (int e = 0; e < ch_num; ++e) result.SetChInfo(e, infos[size_t(e)]);
  for (int p = 0; p < harm_num; ++p) result.SetFreq(0, p, freq[size_t(p)]);
  const PrmMeas& meas = m_srs->m_prm_meas;
  result.SetPos(meas.ax, meas.ay, meas.bx, meas.by);
  CSpectArray v;
  const std::vector<CurrentPoint> li = CurrentLists(*m_srs, m_harm_group, result.GetHarmNum());
  for (int e = 0; e < ch_num; ++e) {
    CopyCh(m_srs->m_spect_u, e, false, v);
    CalcPoints(*m_srs, m_harm_group, result, e, v, li);
  }
}

void CSipSpect2Res::CalcResCompositeCh(int n, float step_ratio, CResultSip& result) {
  if (!m_srs) {
    CLOG_ERR("no SRS file bound");
    return;
  }
  CResultSip& src = m_composed ? m_srs->m_res_composed : m_srs->m_res;
  const int harm_num = src.GetHarmNum();
  std::vector<float> freq(size_t(std::max(harm_num, 0)));
  for (int p = 0; p < harm_num; ++p) freq[size_t(p)] = src.GetFreq(0, p);

  struct Group {
    size_t start;
    ChInfo info;
  };
  std::vector<Group> groups;
  const size_t order_num = m_vt_ch_order.size();
  const int res_ch = m_srs->m_res.GetChNum();
  if (n >= 1 && size_t(n) <= order_num) {
    std::vector<ChInfo> infos(order_num);
    for (size_t k = 0; k < order_num; ++k) {
      const int e = m_vt_ch_order[k];
      if (e < res_ch) infos[k] = m_srs->m_res.GetChInfo(e);
    }
    for (size_t s = 0; s + size_t(n) <= order_num; ++s) {
      const int m = infos[s].site_no;
      ChInfo info = infos[s];
      bool keep = true;
      for (int j = 1; j < n && keep; ++j) {
        keep = int64_t(infos[s + size_t(j)].site_no) == int64_t(m) + j;
        info.mn += infos[s + size_t(j)].mn;
      }
      if (keep) groups.push_back(Group{s, info});
    }
  }

  const int group_num = int(groups.size());
  result.DoInit(group_num, 1, harm_num);
  const PrmMeas& meas = m_srs->m_prm_meas;
  result.SetPos(meas.ax, meas.ay, meas.bx, meas.by);
  for (int i = 0; i < group_num; ++i) result.SetChInfo(i, groups[size_t(i)].info);
  for (int p = 0; p < harm_num; ++p) result.SetFreq(0, p, freq[size_t(p)]);
  if (group_num == 0) return;

  const double step_v = double(n) * double(step_ratio) + 0.5;
  int step = 1;
  if (step_v >= 1.0) step = step_v < double(group_num) ? int(step_v) : group_num;

  CSpectArray v;
  std::vector<int> chs(static_cast<size_t>(n));
  const std::vector<CurrentPoint> li = CurrentLists(*m_srs, m_harm_group, result.GetHarmNum());
  for (int i = 0; i < group_num; i += step) {
    for (int j = 0; j < n; ++j) chs[size_t(j)] = m_vt_ch_order[groups[size_t(i)].start + size_t(j)];
    JoinCh(m_srs->m_spect_u, chs, v);
    CalcPoints(*m_srs, m_harm_group, result, i, v, li);
  }
}
