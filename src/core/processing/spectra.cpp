#include "core/processing/spectra.h"

std::vector<ChannelSpectrum> SpectraOf(CResultSip& res) {
  const int ch_num = res.GetChNum();
  const int freq_num = res.GetFreqNum();
  const int harm_num = res.GetHarmNum();
  std::vector<ChannelSpectrum> out(size_t(ch_num > 0 ? ch_num : 0));
  for (int c = 0; c < ch_num; ++c) {
    ChannelSpectrum& s = out[size_t(c)];
    s.idx_ch = c;
    s.info = res.GetChInfo(c);
    for (int f = 0; f < freq_num; ++f) {
      for (int h = 0; h < harm_num; ++h) {
        const ResItem item = res.GetItem(c, f, h);
        const ResBlock& app = item.blk[RES_APP];
        if (app.count == 0) continue;
        const ResBlock& ph = item.blk[RES_Z_PH];
        SpectrumPoint p;
        p.freq_hz = res.GetFreq(f, h);
        p.rho = app.value;
        p.rho_err = app.err;
        p.phase = ph.value;
        p.phase_err = ph.err;
        s.points.push_back(p);
      }
    }
  }
  return out;
}
