#include "core/processing/pass_rate.h"

#include <cstdio>

#include "core/sip/format_srs.h"
#include "core/sip/result_sip.h"

PassRate PassRateOf(CResultSip& res, const std::vector<LimitItem>& limits, int idx_freq, int idx_harm) {
  PassRate out;
  out.channels = res.GetChNum() > 0 ? res.GetChNum() : 0;
  if (out.channels == 0) return out;
  const bool inside = idx_freq >= 0 && idx_harm >= 0 && idx_freq < res.GetFreqNum() && idx_harm < res.GetHarmNum();
  if (inside && limits.size() > size_t(LIMIT_ROW_FS)) {
    for (int c = 0; c < out.channels; ++c) {
      const ResItem item = res.GetItem(c, idx_freq, idx_harm);
      const ResBlock& app = item.blk[RES_APP];
      const ResBlock& cp = item.blk[RES_CP];
      const ResBlock& fs = item.blk[RES_FS];
      if (PassLimit(app.value, app.err, limits[LIMIT_ROW_APP]) && PassLimit(cp.value, cp.err, limits[LIMIT_ROW_CP]) &&
          PassLimit(fs.value, fs.err, limits[LIMIT_ROW_FS]))
        ++out.qualified;
    }
  }
  out.rate = double(out.qualified) / double(out.channels) * 100.0;
  return out;
}

CResultSip& PassRateResult(CFormatSRS& srs, bool single_freq) {
  return single_freq ? srs.m_res : srs.m_res_composed;
}

void FreqPointToIndex(const CFormatSRS& srs, int point, int* idx_freq, int* idx_harm) {
  const int harm = srs.m_prm_meas.harm_num > 0 ? srs.m_prm_meas.harm_num : 1;
  *idx_freq = point / harm;
  *idx_harm = point % harm;
}

int FreqPointCount(CFormatSRS& srs, bool single_freq) {
  CResultSip& res = PassRateResult(srs, single_freq);
  return res.GetFreqNum() > 0 ? res.GetHarmNum() : 0;
}

PassRate PassRateAtPoint(CFormatSRS& srs, const std::vector<LimitItem>& limits, bool single_freq, int point) {
  int f = 0, h = 0;
  FreqPointToIndex(srs, point, &f, &h);
  return PassRateOf(PassRateResult(srs, single_freq), limits, f, h);
}

std::string PassRateFigure(double rate) {
  char buf[64];
  std::snprintf(buf, sizeof(buf), "%.1f", rate);
  return buf;
}

void LimitsFromShared(std::vector<LimitItem>* page, const std::vector<LimitItem>& shared) {
  if (!page || shared.size() < size_t(LIMIT_TYPE_CNT) || page->size() <= size_t(LIMIT_ROW_FS)) return;
  const LimitItem& app = shared[LIMIT_ROW_APP];
  if (app.rel_on)
    limit_set_pair(&(*page)[LIMIT_ROW_APP], LIMIT_REL, app.rel_max);
  else
    limit_clear_pair(&(*page)[LIMIT_ROW_APP], LIMIT_REL);
  const LimitItem& cp = shared[LIMIT_ROW_CP];
  if (cp.std_on)
    limit_set_pair(&(*page)[LIMIT_ROW_CP], LIMIT_STD, cp.std_max);
  else
    limit_clear_pair(&(*page)[LIMIT_ROW_CP], LIMIT_STD);
  limit_clear_pair(&(*page)[LIMIT_ROW_FS], LIMIT_STD);
}

std::vector<LimitItem> limit_default_results_page() {
  std::vector<LimitItem> page = limit_default_results();
  LimitsFromShared(&page, limit_default_export());
  return page;
}
