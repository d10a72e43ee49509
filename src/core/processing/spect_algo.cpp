#include "core/processing/spect_algo.h"

#include <algorithm>

#include "core/base/clog.h"
#include "core/processing/sip_spect2res.h"

float CohSp(const std::vector<SpectItem>& vt_cal, const std::vector<SpectItem>& vt_ref) {
  // Lists of different length cannot be paired beyond the shorter one.
  const size_t n = std::min(vt_cal.size(), vt_ref.size());
  if (n == 0) return 0.0f;
  long double cross_re = 0.0L, cross_im = 0.0L, pow_cal = 0.0L, pow_ref = 0.0L;
  for (size_t k = 0; k < n; ++k) {
    const long double a_re = float(vt_cal[k].re), a_im = float(vt_cal[k].im);
    const long double b_re = float(vt_ref[k].re), b_im = float(vt_ref[k].im);
    cross_re += a_re * b_re + a_im * b_im;
    cross_im += a_im * b_re - a_re * b_im;
    pow_cal += a_re * a_re + a_im * a_im;
    pow_ref += b_re * b_re + b_im * b_im;
  }
  return float((cross_re * cross_re + cross_im * cross_im) / (pow_cal * pow_ref));
}

int CalcCohSp(CSpectArray& spect_cal, CSpectArray& spect_ref, int ref_ch, int idx_cal_begin) {
  // The locks are not re-entrant: one array given twice would wait on itself.
  if (&spect_cal == &spect_ref) {
    CLOG_ERR("coherence of a spectrum array against itself");
    return 0;
  }
  spect_cal.DoLock();
  spect_ref.DoLock();
  int n = 0;
  if (ref_ch < 0 || ref_ch >= spect_ref.DoGetBuffChNum()) {
    CLOG_ERR("coherence reference channel %d outside %d channels", ref_ch, spect_ref.DoGetBuffChNum());
  } else {
    n = std::min(spect_cal.DoGetCalNumNoLock(), spect_ref.DoGetCalNumNoLock());
    const int ch_num = spect_cal.DoGetBuffChNum();
    const int freq_num = std::min(spect_cal.DoGetBuffFreqNum(), spect_ref.DoGetBuffFreqNum());
    const int harm_cal = spect_cal.DoGetBuffHarmNum();
    const int harm_ref = spect_ref.DoGetBuffHarmNum();
    std::vector<SpectItem> cal(size_t(std::max(harm_cal, 0)));
    std::vector<SpectItem> ref(size_t(std::max(harm_ref, 0)));
    for (int i = 0; i < ch_num; ++i) {
      for (int f = 0; f < freq_num; ++f) {
        for (int c = std::max(idx_cal_begin, 0); c < n; ++c) {
          for (int h = 0; h < harm_cal; ++h) cal[size_t(h)] = spect_cal.DoGetItemOfNoLock(i, f, h, c);
          for (int h = 0; h < harm_ref; ++h) ref[size_t(h)] = spect_ref.DoGetItemOfNoLock(ref_ch, f, h, c);
          const float coh = CohSp(cal, ref);
          for (int h = 0; h < harm_cal; ++h) {
            SpectItem item = cal[size_t(h)];
            item.coh_sp = coh;
            spect_cal.DoSetItemOfNoLock(i, f, h, c, item);
          }
        }
      }
    }
  }
  spect_ref.DoUnlock();
  spect_cal.DoUnlock();
  return n;
}

int SetWeights(CSpectArray& spect_cal, int idx_cal_begin, int idx_cal_end, int type) {
  if (type < 0 || type > 2) {
    CLOG_ERR("unknown weight type %d", type);
    return idx_cal_begin;
  }
  spect_cal.DoLock();
  const int cal_num = spect_cal.DoGetCalNumNoLock();
  if (idx_cal_begin < 0 || idx_cal_end >= cal_num) {
    spect_cal.DoUnlock();
    CLOG_ERR("weights for calculations %d..%d of %d", idx_cal_begin, idx_cal_end, cal_num);
    return idx_cal_begin;
  }
  const int ch_num = spect_cal.DoGetBuffChNum();
  const int freq_num = spect_cal.DoGetBuffFreqNum();
  const int harm_num = spect_cal.DoGetBuffHarmNum();
  for (int i = 0; i < ch_num; ++i) {
    for (int f = 0; f < freq_num; ++f) {
      for (int c = idx_cal_begin; c <= idx_cal_end; ++c) {
        for (int h = 0; h < harm_num; ++h) {
          SpectItem item = spect_cal.DoGetItemOfNoLock(i, f, h, c);
          if (type == 0)
            item.weight = 1.0f;
          else if (type == 1)
            item.weight = CohWeight(item.coh_sp);
          else
            item.weight = CohWeight(item.coh_ts);
          spect_cal.DoSetItemOfNoLock(i, f, h, c, item);
        }
      }
    }
  }
  spect_cal.DoUnlock();
  return idx_cal_end + 1;
}
