// Recomputes spectra from raw time series: one calculation per segment of
// whole periods of the base frequency, the harmonic bins of the waveform
// picked from the segment's FFT.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/base/fft.h"
#include "core/sip/format_smt.h"
#include "core/sip/result_sip.h"
#include "core/sip/spect_array.h"

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
  // Samples of one period; 0 when the sample rate is not a whole multiple of
  // the base frequency within 0.1 %.
  int GetSamplesPerCycle() const;
  // Single-sided spectrum of one segment of len samples at the harmonic
  // bins: out gets m_harm_num items with m_valid 1, or 0 for a harmonic
  // whose bin lies at or beyond len. The FFT configuration is rebuilt only
  // when len changes. False for len < 1 or a period that cannot be cut.
  bool CalcSpect(const float* samples, int len, std::vector<SpectItem>* out);

  // Items of one channel, one calculation per segment; returns the number of
  // segments. cur_ref may be null (no current). A file that cannot be read,
  // does not match or lacks the channel gives 0 segments.
  int CalcCh(const SmtChRef& ref, const SmtChRef* cur_ref, std::vector<SpectItem>* out);
  void CalcArray(const std::vector<SmtChRef>& refs, const SmtChRef* cur_ref, CSpectArray& array);
  // Rebuilds a voltage array for the channel entries of result; channels
  // without a usable time series keep the items of old_array. Entries beyond
  // refs are left without data.
  void CalcArrayForRes(const std::vector<SmtChRef>& refs, const SmtChRef* cur_ref, CResultSip& result,
                       CSpectArray& old_array, CSpectArray& new_array, bool track);

private:
  // A file read once stays here while its size and modification time are
  // unchanged, so that the channels of one device do not read the same
  // samples again. The samples of the last two files stay in memory until the
  // object is destroyed. Checks read the header only, unless the file is
  // held already.
  struct SmtSlot {
    std::string path;
    uintmax_t size = 0;
    int64_t mtime = 0;
    bool read_ok = false;
    CFormatSmt smt;
  };
  // The file of path in slot, read when needed (taken from the other sample
  // slot when that one holds it); null when it cannot be read or does not
  // match the current parameters.
  const CFormatSmt* LoadSmt(SmtSlot& slot, const std::string& path);
  // Items of every segment of len samples of channel ch of the current file
  // smt, transformed once for all the voltage channels that refer to it;
  // null when the samples cannot be taken.
  const SpectItem* CurrentItems(const CFormatSmt& smt, int ch, int len);
  bool PrepareFft(int len);
  // m_harm_num items of a segment of len samples from its transform at the
  // harmonics' bins.
  void ItemsOf(const cpx_t* bins, int len, SpectItem* out) const;

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

  SmtSlot m_slot_u;
  SmtSlot m_slot_i;
  SmtSlot m_slot_check;  // headers only
  // Counts the changes of the sample slots' contents.
  uint64_t m_slot_gen = 0;
  // CurrentItems of the file in a slot: the slot's generation, the channel,
  // the segment length and what the items depend on.
  struct CurrentKey {
    const CFormatSmt* smt = nullptr;
    uint64_t gen = 0;
    int ch = -1, len = 0, harm_num = 0, wave = 0, spc = 0;
    double amp_coef = 0.0;
    bool operator==(const CurrentKey& o) const {
      return smt == o.smt && gen == o.gen && ch == o.ch && len == o.len && harm_num == o.harm_num &&
             wave == o.wave && spc == o.spc && amp_coef == o.amp_coef;
    }
  };
  CurrentKey m_cur_key;
  std::vector<SpectItem> m_cur_items;
  std::vector<int> m_bins;  // per harmonic, its slot in m_bin_out; -1 where the bin is outside the segment
  int m_bins_key[4] = {0, 0, 0, 0};  // len, samples per period, harmonics, waveform
  std::vector<cpx_t> m_bin_out;  // the transform at the harmonics' bins
  // Per lane of the transform: samples, bins and items of a segment.
  std::vector<float> m_buf_u;
  std::vector<float> m_buf_i;
  std::vector<cpx_t> m_bin_u;
  std::vector<cpx_t> m_bin_i;
  std::vector<SpectItem> m_spect_u;
};
