#include "core/processing/sip_ts2spect.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/base/algo.h"
#include "core/base/clog.h"
#include "core/base/ex_file.h"
#include "core/processing/sip_spect2res.h"

namespace {

// GCC 12 at -O2 vectorizes the paired stores of a real and an imaginary part
// and drops their rounding to float on the way; a volatile float keeps it.
double RoundToFloat(double x) {
  volatile float f = float(x);
  return f;
}

}  // namespace

CSipTs2Spect::CSipTs2Spect() = default;
CSipTs2Spect::~CSipTs2Spect() = default;

void CSipTs2Spect::SetParams(int sample_rate, float freq, int harm_num, int wave) {
  m_sample_rate = sample_rate;
  m_freq_value = freq;
  m_harm_num = harm_num;
  m_wave = wave;
}

void CSipTs2Spect::SetAmpCoef(double coef) { m_amp_coef = coef; }

void CSipTs2Spect::ClearDevLists() {
  m_vt_dev_done.clear();
  m_vt_dev_miss.clear();
}

std::vector<int> CSipTs2Spect::GetDevList(bool done) const { return done ? m_vt_dev_done : m_vt_dev_miss; }

bool CSipTs2Spect::CheckSmt(const std::string& path) {
  if (path.empty() || !ex_access(path.c_str())) return false;
  // The samples are read once, when they are transformed.
  m_slot_check.smt.SetSkipSamples(true);
  return LoadSmt(m_slot_check, path) != nullptr;
}

bool CSipTs2Spect::IsSmtMatch(const CFormatSmt& smt) const {
  return smt.m_prm_meas.sample_rate == m_sample_rate && smt.m_prm_meas.harm_num == m_harm_num &&
         algo_is_equal_cp(smt.m_prm_meas.freq_base, m_freq_value, 1e-4);
}

int CSipTs2Spect::GetSamplesPerCycle() const {
  if (!(m_freq_value > 0.0f) || !std::isfinite(m_freq_value) || m_sample_rate <= 0) return 0;
  const double v = double(m_sample_rate) / double(m_freq_value) + 0.5;
  if (v >= double(INT_MAX)) return 0;
  const int n = int(v);
  if (n < 1 || !algo_is_equal_cp(double(n) * double(m_freq_value), double(m_sample_rate), 1e-3)) return 0;
  return n;
}

const CFormatSmt* CSipTs2Spect::LoadSmt(SmtSlot& slot, const std::string& path) {
  std::error_code ec;
  const std::filesystem::path fs_path = std::filesystem::u8path(path);
  const uintmax_t size = std::filesystem::file_size(fs_path, ec);
  if (ec) {
    CLOG_ERR("smt file %s cannot be opened", path.c_str());
    return nullptr;
  }
  const auto time = std::filesystem::last_write_time(fs_path, ec);
  if (ec) return nullptr;
  const int64_t mtime = int64_t(time.time_since_epoch().count());

  auto holds = [&](const SmtSlot& s) { return s.path == path && s.size == size && s.mtime == mtime; };
  SmtSlot* const data_slots[2] = {&m_slot_u, &m_slot_i};
  if (&slot == &m_slot_check) {
    // A file whose samples are held answers the check itself.
    for (SmtSlot* held : data_slots)
      if (holds(*held) && held->read_ok) return IsSmtMatch(held->smt) ? &held->smt : nullptr;
  } else if (!holds(slot)) {
    SmtSlot& other = &slot == &m_slot_u ? m_slot_i : m_slot_u;
    if (holds(other)) {
      std::swap(slot, other);
      ++m_slot_gen;
    }
  }
  if (!holds(slot)) {
    slot.path = path;
    slot.size = size;
    slot.mtime = mtime;
    slot.read_ok = slot.smt.Read(path);
    // A failed read leaves partial samples that nobody may use.
    if (!slot.read_ok) slot.smt.Clear();
    ++m_slot_gen;
  }
  if (!slot.read_ok) return nullptr;
  if (!IsSmtMatch(slot.smt)) {
    CLOG_WARN("smt file %s was not recorded with %d Hz, %g Hz, %d harmonics", path.c_str(), m_sample_rate,
              double(m_freq_value), m_harm_num);
    return nullptr;
  }
  return &slot.smt;
}

bool CSipTs2Spect::PrepareFft(int len) {
  const int spc = GetSamplesPerCycle();
  if (len < 1 || spc < 1 || m_harm_num < 0 || m_harm_num > SIP_MAX_HARM_NUM) return false;
  bool rebuilt = false;
  if (len != m_fft_len || !m_fft_coeff) {
    m_fft_coeff = fft_alloc(len);
    m_fft_len = m_fft_coeff ? len : 0;
    if (!m_fft_coeff) return false;
    rebuilt = true;
  }
  const int key[4] = {len, spc, m_harm_num, m_wave};
  if (rebuilt || !std::equal(key, key + 4, m_bins_key) || int(m_bins.size()) != m_harm_num) {
    std::copy(key, key + 4, m_bins_key);
    m_bins.assign(size_t(m_harm_num), -1);
    const int64_t periods = len / spc;
    std::vector<int> picked;
    for (int k = 0; k < m_harm_num; ++k) {
      const int64_t bin = periods * int64_t(SipHarmMultiple(m_wave, k));
      // A harmonic above the segment's last bin has no value; reading it
      // would fall outside the transform.
      if (bin > 0 && bin < len) {
        m_bins[size_t(k)] = int(picked.size());
        picked.push_back(int(bin));
      }
    }
    // Only the harmonics' bins are transformed.
    if (!fft_set_bins(m_fft_coeff.get(), picked.data(), int(picked.size()))) return false;
    m_bin_out.assign(picked.size(), cpx_t{0.0, 0.0});
  }
  return true;
}

bool CSipTs2Spect::CalcSpect(const float* samples, int len, std::vector<SpectItem>* out) {
  if (!samples || !out || !PrepareFft(len)) return false;
  cpx_t* bins = m_bin_out.data();
  if (!fft_real_bins_lanes(m_fft_coeff.get(), &samples, 1, &bins)) return false;
  out->resize(static_cast<size_t>(m_harm_num));
  ItemsOf(bins, len, out->data());
  return true;
}

void CSipTs2Spect::ItemsOf(const cpx_t* bins, int len, SpectItem* out) const {
  const double c = float(m_amp_coef * 2.0 / double(len));
  for (int k = 0; k < m_harm_num; ++k) {
    SpectItem& it = out[k];
    it = SpectItem();
    const int slot = m_bins[size_t(k)];
    if (slot < 0) continue;
    it.re = RoundToFloat(c * bins[slot].re);
    it.im = RoundToFloat(c * bins[slot].im);
    it.m_valid = 1;
  }
}

int CSipTs2Spect::CalcCh(const SmtChRef& ref, const SmtChRef* cur_ref, std::vector<SpectItem>* out) {
  if (!out) return 0;
  out->clear();
  if (ref.path.empty()) return 0;
  if (ref.idx_ch < 0 || ref.idx_ch >= MAX_CH_NUM || (cur_ref && (cur_ref->idx_ch < 0 || cur_ref->idx_ch >= MAX_CH_NUM))) {
    CLOG_ERR("smt channel %d (current %d) outside the six channels", ref.idx_ch, cur_ref ? cur_ref->idx_ch : 0);
    return 0;
  }
  const CFormatSmt* smt_u = LoadSmt(m_slot_u, ref.path);
  if (!smt_u) return 0;
  if (!(smt_u->m_gain[ref.idx_ch] > 0.0f)) {
    CLOG_ERR("smt file %s: channel %d has gain %g", ref.path.c_str(), ref.idx_ch, double(smt_u->m_gain[ref.idx_ch]));
    return 0;
  }
  const CFormatSmt* smt_i = nullptr;
  if (cur_ref) {
    // The same file may carry the current: then it is the one already read.
    smt_i = cur_ref->path == ref.path ? smt_u : LoadSmt(m_slot_i, cur_ref->path);
    if (!smt_i) return 0;
    if (smt_i->m_data_rows < 1) smt_i = nullptr;
    if (smt_i && !(smt_i->m_gain[cur_ref->idx_ch] > 0.0f)) {
      CLOG_ERR("smt file %s: channel %d has gain %g", cur_ref->path.c_str(), cur_ref->idx_ch,
               double(smt_i->m_gain[cur_ref->idx_ch]));
      return 0;
    }
  }

  int rows = smt_u->m_data_rows;
  if (smt_i && smt_i->m_data_rows < rows) rows = smt_i->m_data_rows;
  if (rows < 1) return 0;
  const int spc = GetSamplesPerCycle();
  if (spc < 1) {
    CLOG_ERR("sample rate %d is not a whole multiple of %g Hz", m_sample_rate, double(m_freq_value));
    return 0;
  }
  const int64_t len64 = int64_t(spc) * int64_t(std::max(m_cycle_num, 1));
  if (len64 > rows) return 0;
  const int len = int(len64);
  const int seg_num = rows / len;
  const int harm_num = m_harm_num;
  // More harmonics than samples per segment cannot all have a bin; such a
  // count comes from a damaged file and would allocate and loop for nothing.
  if (harm_num < 1 || harm_num > SIP_MAX_HARM_NUM || harm_num > len) {
    CLOG_ERR("smt file %s: %d harmonics for segments of %d samples", ref.path.c_str(), harm_num, len);
    return 0;
  }
  if (int64_t(seg_num) * harm_num > INT_MAX || !PrepareFft(len)) return 0;

  const SpectItem* cur_items = nullptr;
  if (smt_i) {
    cur_items = CurrentItems(*smt_i, cur_ref->idx_ch, len);
    if (!cur_items) return 0;
  }
  out->assign(size_t(seg_num) * size_t(harm_num), SpectItem());
  // Segments go through the transform FFT_LANES at a time, each in a lane of
  // its own.
  const size_t lanes_len = size_t(len) * FFT_LANES;
  const size_t bin_num = m_bin_out.size();
  m_buf_u.resize(lanes_len);
  m_bin_u.resize(bin_num * FFT_LANES);
  m_spect_u.resize(size_t(harm_num) * FFT_LANES);
  if (smt_i) m_buf_i.resize(lanes_len);
  const float* in_u[FFT_LANES];
  const float* in_i[FFT_LANES];
  cpx_t* bin_u[FFT_LANES];
  for (int l = 0; l < FFT_LANES; ++l) {
    in_u[l] = m_buf_u.data() + size_t(l) * size_t(len);
    bin_u[l] = m_bin_u.data() + size_t(l) * bin_num;
    in_i[l] = smt_i ? m_buf_i.data() + size_t(l) * size_t(len) : nullptr;
  }

  for (int first = 0; first < seg_num; first += FFT_LANES) {
    const int lanes = std::min(FFT_LANES, seg_num - first);
    uint8_t bad[FFT_LANES];
    for (int l = 0; l < lanes; ++l) {
      const int begin = (first + l) * len;
      // The voltage samples and their over-range test in one pass.
      const int over = smt_u->GetDataOverRange(ref.idx_ch, begin, len, m_buf_u.data() + size_t(l) * size_t(len));
      const bool cur_ok =
          !smt_i || smt_i->GetData(cur_ref->idx_ch, begin, len, m_buf_i.data() + size_t(l) * size_t(len));
      if (over < 0 || !cur_ok) {
        out->clear();
        return 0;
      }
      bad[l] = uint8_t(over);
    }
    fft_real_bins_lanes(m_fft_coeff.get(), in_u, lanes, bin_u);

    for (int l = 0; l < lanes; ++l) {
      SpectItem* spect_u = m_spect_u.data() + size_t(l) * size_t(harm_num);
      ItemsOf(bin_u[l], len, spect_u);
      float weight = 1.0f, coh_ts = 0.0f, coh_sp = 0.0f;
      if (smt_i) {
        const SpectItem* spect_i = cur_items + size_t(first + l) * size_t(harm_num);
        coh_ts = std::fabs(algo_corrcoef(in_u[l], in_i[l], len));
        long double cross_re = 0.0L, cross_im = 0.0L, pow_u = 0.0L, pow_i = 0.0L;
        for (int k = 0; k < harm_num; ++k) {
          const SpectItem& a = spect_u[k];
          const SpectItem& b = spect_i[k];
          if (!a.m_valid) continue;
          cross_re += (long double)a.re * b.re + (long double)a.im * b.im;
          cross_im += (long double)a.im * b.re - (long double)a.re * b.im;
          pow_u += (long double)a.re * a.re + (long double)a.im * a.im;
          pow_i += (long double)b.re * b.re + (long double)b.im * b.im;
        }
        coh_sp = std::fabs(float((cross_re * cross_re + cross_im * cross_im) / (pow_u * pow_i)));
        weight = CohWeight(coh_ts);
      }

      SpectItem* dst = out->data() + size_t(first + l) * size_t(harm_num);
      for (int k = 0; k < harm_num; ++k) {
        const SpectItem& src = spect_u[k];
        if (!src.m_valid) continue;
        SpectItem& it = dst[k];
        it.re = src.re;
        it.im = src.im;
        it.m_valid = 1;
        it.bad = bad[l];
        it.weight = weight;
        it.coh_ts = coh_ts;
        it.coh_sp = coh_sp;
      }
    }
  }
  return seg_num;
}

const SpectItem* CSipTs2Spect::CurrentItems(const CFormatSmt& smt, int ch, int len) {
  CurrentKey key;
  key.smt = &smt;
  key.gen = m_slot_gen;
  key.ch = ch;
  key.len = len;
  key.harm_num = m_harm_num;
  key.wave = m_wave;
  key.spc = GetSamplesPerCycle();
  key.amp_coef = m_amp_coef;
  if (key == m_cur_key) return m_cur_items.data();
  m_cur_key = CurrentKey();
  if (len < 1 || !PrepareFft(len)) return nullptr;
  const int seg_num = smt.m_data_rows / len;
  const size_t bin_num = m_bin_out.size();
  m_cur_items.assign(size_t(seg_num) * size_t(m_harm_num), SpectItem());
  m_buf_i.resize(size_t(len) * FFT_LANES);
  m_bin_i.resize(bin_num * FFT_LANES);
  const float* in[FFT_LANES];
  cpx_t* bins[FFT_LANES];
  for (int l = 0; l < FFT_LANES; ++l) {
    in[l] = m_buf_i.data() + size_t(l) * size_t(len);
    bins[l] = m_bin_i.data() + size_t(l) * bin_num;
  }
  for (int first = 0; first < seg_num; first += FFT_LANES) {
    const int lanes = std::min(FFT_LANES, seg_num - first);
    for (int l = 0; l < lanes; ++l)
      if (!smt.GetData(ch, (first + l) * len, len, m_buf_i.data() + size_t(l) * size_t(len))) return nullptr;
    fft_real_bins_lanes(m_fft_coeff.get(), in, lanes, bins);
    for (int l = 0; l < lanes; ++l)
      ItemsOf(bins[l], len, m_cur_items.data() + size_t(first + l) * size_t(m_harm_num));
  }
  m_cur_key = key;
  return m_cur_items.data();
}

namespace {

int AllocatedCals(CSpectArray& array) {
  const int64_t block =
      int64_t(array.DoGetBuffChNum()) * int64_t(array.DoGetBuffFreqNum()) * int64_t(array.DoGetBuffHarmNum());
  return block > 0 ? int(array.DoGetItemNum() / block) : 0;
}

// Items of CalcCh into channel ch of array, growing it to seg_num calculations.
void StoreItems(CSpectArray& array, int ch, int harm_num, int seg_num, const std::vector<SpectItem>& items) {
  const int have = AllocatedCals(array);
  if (have < seg_num) array.DoAppendCal(seg_num - have);
  if (AllocatedCals(array) < seg_num) return;
  const int cal_num = int(std::min(size_t(seg_num), items.size() / size_t(harm_num)));
  array.DoSetItemsOf(ch, 0, harm_num, cal_num, items.data());
}

void AddUnique(std::vector<int>& list, int v) {
  if (std::find(list.begin(), list.end(), v) == list.end()) list.push_back(v);
}

}  // namespace

void CSipTs2Spect::CalcArray(const std::vector<SmtChRef>& refs, const SmtChRef* cur_ref, CSpectArray& array) {
  array.DoInit(int(refs.size()), 1, m_harm_num, 0, -1, 2);
  std::vector<SpectItem> items;
  for (size_t i = 0; i < refs.size(); ++i) {
    const int seg_num = CalcCh(refs[i], cur_ref, &items);
    if (seg_num > 0) StoreItems(array, int(i), m_harm_num, seg_num, items);
  }
}

void CSipTs2Spect::CalcArrayForRes(const std::vector<SmtChRef>& refs, const SmtChRef* cur_ref, CResultSip& result,
                                   CSpectArray& old_array, CSpectArray& new_array, bool track) {
  ClearDevLists();
  const int ref_num = int(refs.size());
  new_array.DoInit(ref_num, 1, m_harm_num, 0, -1, 2);
  const int ch_num = std::min(result.GetChNum(), ref_num);
  std::vector<SpectItem> items;
  for (int i = 0; i < ch_num; ++i) {
    const ChInfo info = result.GetChInfo(i);
    if (info.ch_type != SIP_CH_ELECTRIC) continue;
    const int seg_num = CalcCh(refs[size_t(i)], cur_ref, &items);
    if (track) AddUnique(seg_num == 0 ? m_vt_dev_miss : m_vt_dev_done, info.idx_dev);
    if (seg_num > 0) {
      StoreItems(new_array, i, m_harm_num, seg_num, items);
      continue;
    }
    // No time series: the channel keeps the spectra stored in the file, as
    // far as the old array has this channel and these harmonics.
    if (i >= old_array.DoGetBuffChNum() || old_array.DoGetBuffFreqNum() < 1) continue;
    const int old_cals = old_array.DoGetCalNum();
    // The kept spectra take the new array's shape; a stored array much smaller
    // than that shape (a damaged file) must not make it grow without bound.
    const int64_t grow = int64_t(ref_num) * m_harm_num * old_cals;
    if (grow > std::max<int64_t>(int64_t(old_array.DoGetItemNum()) * 16, int64_t(1) << 20)) {
      CLOG_ERR("stored spectra of %d calculations cannot be kept in %d channels of %d harmonics", old_cals,
               ref_num, m_harm_num);
      continue;
    }
    const int have = AllocatedCals(new_array);
    if (have < old_cals) new_array.DoAppendCal(old_cals - have);
    if (AllocatedCals(new_array) < old_cals) continue;
    const int harm_num = std::min(old_array.DoGetBuffHarmNum(), m_harm_num);
    for (int c = 0; c < old_cals; ++c)
      for (int h = 0; h < harm_num; ++h) new_array.DoSetItemOf(i, 0, h, c, old_array.DoGetItemOf(i, 0, h, c));
  }
}
