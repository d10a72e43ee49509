// Recomputes spectra from raw time series: one calculation per segment of
// whole periods of the base frequency, the harmonic bins of the waveform
// picked from the segment's FFT.
#pragma once

#include <string>
#include <vector>

#include "base/fft.h"
#include "sip/format_smt.h"
#include "sip/result_sip.h"
#include "sip/spect_array.h"

// One channel of one SMT file; an empty path means no usable time series.
struct SmtChRef {
  std::string path;
  int idx_ch = 0;
};

class CSipTs2Spect {
public:
  CSipTs2Spect();
  virtual ~CSipTs2Spect();

  void SetParams(int sample_rate, float freq, int harm_num, int wave);
  void SetAmpCoef(double coef);
  void ClearDevLists();
  std::vector<int> GetDevList(bool done) const;

  // True when the path names an existing SMT file recorded with this
  // configuration.
  bool CheckSmt(const std::string& path);
  bool IsSmtMatch(const CFormatSmt& smt) const;
  int GetSamplesPerCycle() const;

  // Items of one channel, one calculation per segment; returns the number of
  // segments. cur_ref may be null (no current).
  int CalcCh(const SmtChRef& ref, const SmtChRef* cur_ref, std::vector<SpectItem>* out);
  void CalcArray(const std::vector<SmtChRef>& refs, const SmtChRef* cur_ref, CSpectArray& array);
  // Rebuilds a voltage array for the channel entries of result; channels
  // without a usable time series keep the items of old_array.
  void CalcArrayForRes(const std::vector<SmtChRef>& refs, const SmtChRef* cur_ref, CResultSip& result,
                       CSpectArray& old_array, CSpectArray& new_array, bool track);

private:
  double m_amp_coef = 1.0;
  int m_sample_rate = 15;
  float m_freq_value = 0.25f;
  int m_harm_num = 16;
  int m_wave = 2;
  fft_cfg_ptr m_fft_coeff;
  int m_fft_len = 0;
  int m_cycle_num = 1;
  std::vector<int> m_vt_dev_done;
  std::vector<int> m_vt_dev_miss;
};
