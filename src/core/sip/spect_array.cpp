#include "core/sip/spect_array.h"

#include <climits>
#include <string>
#include <utility>

#include "core/base/algo.h"
#include "core/base/clog.h"
#include "core/base/ex_file.h"

namespace {

// Bytes of one item in the binary form of each version.
int64_t item_bytes(int32_t version) {
  switch (version) {
    case 1:
      return 1 + 8 + 8;
    case 2:
      return 1 + 1 + 8 + 8;
    default:
      return 1 + 1 + 8 + 8 + 4 + 4 + 4;
  }
}

// Keeps an intermediate index within a range where the next multiplication
// by a dimension (at most INT_MAX) cannot overflow; anything clamped is out
// of range anyway.
int64_t clamp_index(int64_t v) {
  if (v > int64_t(INT_MAX) + 1) return int64_t(INT_MAX) + 1;
  if (v < int64_t(INT_MIN) - 1) return int64_t(INT_MIN) - 1;
  return v;
}

// *out = a * b for non-negative a and b; false when the product exceeds
// INT_MAX, the largest item index the array can address.
bool mul_int(int64_t a, int64_t b, int64_t* out) {
  if (a < 0 || b < 0) return false;
  if (a != 0 && b > INT_MAX / a) return false;
  *out = a * b;
  return true;
}

void log_index_error(int ch, int freq, int harm, int cal, int idx, int num) {
  CLOG_ERR("fatal error in DoGetIndexOf()! idx_ch_dev=%d,idx_freq=%d,idx_harm=%d,idx_cal=%d,idx_spect=%d,spect_num=%d",
           ch, freq, harm, cal, idx, num);
}

}  // namespace

CSpectArray::CSpectArray() = default;

CSpectArray::CSpectArray(const CSpectArray& other) {
  std::lock_guard<std::mutex> lk(other.m_lock);
  CopyFrom(other);
}

void CSpectArray::Swap(CSpectArray& other) {
  if (this == &other) return;
  std::lock_guard<std::mutex> lk_dst(m_lock);
  std::lock_guard<std::mutex> lk_src(other.m_lock);
  m_vt_spect.swap(other.m_vt_spect);
  std::swap(m_buff_ch_num, other.m_buff_ch_num);
  std::swap(m_buff_freq_num, other.m_buff_freq_num);
  std::swap(m_buff_harm_num, other.m_buff_harm_num);
  std::swap(ch_valid_mask, other.ch_valid_mask);
  std::swap(geo_type, other.geo_type);
}

CSpectArray& CSpectArray::operator=(const CSpectArray& other) {
  if (this == &other) return *this;
  std::lock_guard<std::mutex> lk_dst(m_lock);
  std::lock_guard<std::mutex> lk_src(other.m_lock);
  CopyFrom(other);
  return *this;
}

void CSpectArray::CopyFrom(const CSpectArray& other) {
  m_vt_spect = other.m_vt_spect;
  m_buff_ch_num = other.m_buff_ch_num;
  m_buff_freq_num = other.m_buff_freq_num;
  m_buff_harm_num = other.m_buff_harm_num;
  ch_valid_mask = other.ch_valid_mask;
  geo_type = other.geo_type;
}

CSpectArray::~CSpectArray() = default;

int64_t CSpectArray::BlockSize() const {
  return int64_t(m_buff_ch_num) * int64_t(m_buff_freq_num) * int64_t(m_buff_harm_num);
}

void CSpectArray::DoInit(int ch_num, int freq_num, int harm_num, int cal_num, int mask, int geo_type_) {
  std::lock_guard<std::mutex> lk(m_lock);
  geo_type = geo_type_;
  int64_t ch_freq = 0, block = 0, items = 0;
  if (!mul_int(ch_num, freq_num, &ch_freq) || !mul_int(ch_freq, harm_num, &block) || !mul_int(block, cal_num, &items)) {
    CLOG_ERR("invalid spectrum array shape: ch_num=%d,freq_num=%d,harm_num=%d,cal_num=%d", ch_num, freq_num,
             harm_num, cal_num);
    ch_num = freq_num = harm_num = 0;
    items = 0;
  }
  m_buff_ch_num = ch_num;
  m_buff_freq_num = freq_num;
  m_buff_harm_num = harm_num;
  if (mask == -1 || ch_num >= 32)
    ch_valid_mask = mask;
  else
    ch_valid_mask = int32_t(uint32_t(mask) & ((uint32_t(1) << ch_num) - 1u));
  m_vt_spect.assign(size_t(items), SpectItem());
}

void CSpectArray::DoAppendCal(int n) {
  std::lock_guard<std::mutex> lk(m_lock);
  if (n <= 0) return;
  int64_t add = 0;
  if (!mul_int(BlockSize(), n, &add) || int64_t(m_vt_spect.size()) + add > INT_MAX) {
    CLOG_ERR("spectrum array cannot grow by %d calculations", n);
    return;
  }
  m_vt_spect.resize(m_vt_spect.size() + size_t(add), SpectItem());
}

int CSpectArray::DoGetBuffChNum() { return m_buff_ch_num; }
int CSpectArray::DoGetBuffFreqNum() { return m_buff_freq_num; }
int CSpectArray::DoGetBuffHarmNum() { return m_buff_harm_num; }

int CSpectArray::DoGetValidChNum() {
  if (ch_valid_mask < 0) return m_buff_ch_num;
  int n = 0;
  for (uint32_t m = uint32_t(ch_valid_mask); m; m &= m - 1) ++n;
  return n;
}

int CSpectArray::DoGetItemNumEachBlock() { return DoGetValidChNum() * m_buff_harm_num; }

int CSpectArray::DoGetCalNum() {
  std::lock_guard<std::mutex> lk(m_lock);
  return DoGetCalNumNoLock();
}

int CSpectArray::DoGetCalNumNoLock() const {
  int64_t block = BlockSize();
  if (block <= 0) return 0;
  int64_t n = 0;
  for (int64_t i = int64_t(m_vt_spect.size()) - 1; i >= 0; --i) {
    if (m_vt_spect[size_t(i)].m_valid) {
      n = i + 1;
      break;
    }
  }
  return int((n + block - 1) / block);
}

int CSpectArray::DoGetItemNum() { return int(m_vt_spect.size()); }
int CSpectArray::GetChValidMask() { return ch_valid_mask; }
int CSpectArray::GetGeoType() { return geo_type; }

int CSpectArray::DoGetIndexOf(int idx_ch_dev, int idx_freq, int idx_harm, int idx_cal) const {
  int64_t idx = idx_cal;
  idx = clamp_index(idx * m_buff_freq_num + idx_freq);
  idx = clamp_index(idx * m_buff_harm_num + idx_harm);
  idx = clamp_index(idx * m_buff_ch_num + idx_ch_dev);
  int spect_num = int(m_vt_spect.size());
  bool fits = idx >= INT_MIN && idx <= INT_MAX;
  if (idx < 0 || idx >= spect_num)
    log_index_error(idx_ch_dev, idx_freq, idx_harm, idx_cal, fits ? int(idx) : -1, spect_num);
  return fits ? int(idx) : -1;
}

int CSpectArray::ItemIndex(int ch, int freq, int harm, int cal) const {
  if (ch < 0 || ch >= m_buff_ch_num || freq < 0 || freq >= m_buff_freq_num || harm < 0 ||
      harm >= m_buff_harm_num || cal < 0) {
    log_index_error(ch, freq, harm, cal, -1, int(m_vt_spect.size()));
    return -1;
  }
  int idx = DoGetIndexOf(ch, freq, harm, cal);
  return InRange(idx) ? idx : -1;
}

SpectItem CSpectArray::DoGetItem(int idx) {
  std::lock_guard<std::mutex> lk(m_lock);
  if (!InRange(idx)) {
    CLOG_ERR("spectrum item %d outside %d items", idx, int(m_vt_spect.size()));
    return SpectItem();
  }
  return m_vt_spect[size_t(idx)];
}

SpectItem CSpectArray::DoGetItemOf(int ch, int freq, int harm, int cal) {
  std::lock_guard<std::mutex> lk(m_lock);
  return DoGetItemOfNoLock(ch, freq, harm, cal);
}

SpectItem CSpectArray::DoGetItemOfNoLock(int ch, int freq, int harm, int cal) const {
  int idx = ItemIndex(ch, freq, harm, cal);
  return idx < 0 ? SpectItem() : m_vt_spect[size_t(idx)];
}

void CSpectArray::DoSetItemOf(int ch, int freq, int harm, int cal, const SpectItem& item) {
  std::lock_guard<std::mutex> lk(m_lock);
  DoSetItemOfNoLock(ch, freq, harm, cal, item);
}

void CSpectArray::DoSetItemOfNoLock(int ch, int freq, int harm, int cal, const SpectItem& item) {
  int idx = ItemIndex(ch, freq, harm, cal);
  if (idx >= 0) m_vt_spect[size_t(idx)] = item;
}

bool CSpectArray::DoSetItemsOf(int ch, int freq, int harm_num, int cal_num, const SpectItem* items) {
  std::lock_guard<std::mutex> lk(m_lock);
  if (ch < 0 || ch >= m_buff_ch_num || freq < 0 || freq >= m_buff_freq_num || harm_num < 0 ||
      harm_num > m_buff_harm_num || cal_num < 0)
    return false;
  if (harm_num == 0 || cal_num == 0) return true;
  if (!items || int64_t(cal_num) * BlockSize() > int64_t(m_vt_spect.size())) return false;
  // Channels vary fastest, then harmonics, frequencies and calculations.
  const size_t step = size_t(m_buff_ch_num);
  for (int c = 0; c < cal_num; ++c) {
    size_t idx = ((size_t(c) * size_t(m_buff_freq_num) + size_t(freq)) * size_t(m_buff_harm_num)) * step + size_t(ch);
    const SpectItem* src = items + size_t(c) * size_t(harm_num);
    for (int h = 0; h < harm_num; ++h, idx += step) m_vt_spect[idx] = src[h];
  }
  return true;
}

void CSpectArray::DoSetValueOf(int ch, int freq, int harm, int cal, double re, double im, uint8_t bad) {
  std::lock_guard<std::mutex> lk(m_lock);
  int idx = ItemIndex(ch, freq, harm, cal);
  if (idx < 0) return;
  SpectItem& it = m_vt_spect[size_t(idx)];
  it.re = re;
  it.im = im;
  it.m_valid = 1;
  it.bad = bad;
  it.weight = 1.0f;
  it.coh_ts = 0.0f;
  it.coh_sp = 0.0f;
}

void CSpectArray::DoGetValidItemsOf(int ch, int freq, int harm, std::vector<SpectItem>* out) {
  std::lock_guard<std::mutex> lk(m_lock);
  if (!out) return;
  out->clear();
  if (ch < 0 || ch >= m_buff_ch_num || freq < 0 || freq >= m_buff_freq_num || harm < 0 || harm >= m_buff_harm_num)
    return;
  int64_t block = BlockSize();
  int64_t cal_num = int64_t(m_vt_spect.size()) / block;
  out->reserve(size_t(cal_num));
  for (int64_t c = 0; c < cal_num; ++c) {
    int64_t idx = ((c * m_buff_freq_num + freq) * m_buff_harm_num + harm) * m_buff_ch_num + ch;
    const SpectItem& it = m_vt_spect[size_t(idx)];
    if (it.m_valid) out->push_back(it);
  }
}

void CSpectArray::DoInvalidateCh(int ch) {
  std::lock_guard<std::mutex> lk(m_lock);
  if (ch < 0 || ch >= m_buff_ch_num) return;
  for (size_t i = size_t(ch); i < m_vt_spect.size(); i += size_t(m_buff_ch_num)) m_vt_spect[i].m_valid = 0;
}

void CSpectArray::DoScale(double x) {
  std::lock_guard<std::mutex> lk(m_lock);
  for (SpectItem& it : m_vt_spect) {
    it.re *= x;
    it.im *= x;
  }
}

void CSpectArray::DoMarkZeroBad() {
  std::lock_guard<std::mutex> lk(m_lock);
  for (SpectItem& it : m_vt_spect) {
    if (it.re == 0.0 && it.im == 0.0) it.bad = 1;
  }
}

void CSpectArray::DoLock() { m_lock.lock(); }
void CSpectArray::DoUnlock() { m_lock.unlock(); }

bool CSpectArray::DoWrite(FILE* fp) {
  if (!fp) return false;
  std::lock_guard<std::mutex> lk(m_lock);
  size_t n = 0;
  size_t expected = 4 * 7 + m_vt_spect.size() * size_t(item_bytes(SPECT_ARRAY_VER));
  n += ex_fwrite_i32(fp, SPECT_ARRAY_VER);
  n += ex_fwrite_i32(fp, m_buff_ch_num);
  n += ex_fwrite_i32(fp, m_buff_freq_num);
  n += ex_fwrite_i32(fp, m_buff_harm_num);
  n += ex_fwrite_i32(fp, ch_valid_mask);
  n += ex_fwrite_u32(fp, uint32_t(geo_type));
  n += ex_fwrite_u32(fp, uint32_t(m_vt_spect.size()));
  ExBlockWriter wr(fp, size_t(item_bytes(SPECT_ARRAY_VER)));
  for (const SpectItem& it : m_vt_spect) {
    unsigned char* p = wr.next();
    p[0] = it.m_valid;
    p[1] = it.bad;
    ex_put_le_double(p + 2, it.re);
    ex_put_le_double(p + 10, it.im);
    ex_put_le_float(p + 18, it.weight);
    ex_put_le_float(p + 22, it.coh_ts);
    ex_put_le_float(p + 26, it.coh_sp);
  }
  n += wr.flush();
  return n == expected;
}

bool CSpectArray::DoRead(FILE* fp, std::string* why, bool skip_items) {
  if (!fp) return false;
  std::lock_guard<std::mutex> lk(m_lock);
  auto fail = [why](const std::string& text) {
    CLOG_ERR("spectrum array: %s", text.c_str());
    if (why) *why = text;
    return false;
  };
  int32_t version = 0;
  if (!ex_fread_i32_ok(fp, &version)) return fail("version missing");
  if (version < 1 || version > SPECT_ARRAY_VER) return fail("unsupported version " + std::to_string(version));
  int32_t ch = 0, freq = 0, harm = 0, mask = 0;
  uint32_t geo = 0, count = 0;
  if (!ex_fread_i32_ok(fp, &ch) || !ex_fread_i32_ok(fp, &freq) || !ex_fread_i32_ok(fp, &harm) ||
      !ex_fread_i32_ok(fp, &mask) || !ex_fread_u32_ok(fp, &geo) || !ex_fread_u32_ok(fp, &count))
    return fail("header truncated");
  const std::string dims = std::to_string(ch) + " x " + std::to_string(freq) + " x " + std::to_string(harm);
  int64_t ch_freq = 0, block = 0;
  if (!mul_int(ch, freq, &ch_freq) || !mul_int(ch_freq, harm, &block) || block <= 0)
    return fail("invalid dimensions " + dims);
  // An empty array has no items to vouch for its dimensions, yet every dump
  // and every copy loops over them: only the shapes this program makes are
  // taken.
  if (count == 0 && block > SPECT_MAX_EMPTY_BLOCK)
    return fail("no items but dimensions " + dims);
  // A partial calculation would put items where no index of the array can
  // reach them, so only whole calculations are accepted.
  if (count > uint32_t(INT_MAX) || int64_t(count) % block != 0)
    return fail(std::to_string(count) + " items are not whole calculations of " + dims);
  const int64_t need = int64_t(count) * item_bytes(version);
  const long remain = ex_fremain(fp);
  if (need > remain) return fail(std::to_string(count) + " items, " + std::to_string(remain) + " bytes left");

  m_buff_ch_num = ch;
  m_buff_freq_num = freq;
  m_buff_harm_num = harm;
  ch_valid_mask = mask;
  geo_type = int32_t(geo);
  // Items are built in one pass as they are decoded (in the memory of the
  // previous contents when the array is read again and that is large
  // enough); a missing tail (a stream error after the size check) keeps the
  // defaults.
  std::vector<SpectItem>& items = m_vt_spect;
  items.clear();
  if (skip_items) return std::fseek(fp, long(need), SEEK_CUR) == 0;
  items.reserve(count);
  ExBlockReader rd(fp, size_t(item_bytes(version)), count);
  for (uint32_t i = 0; i < count; ++i) {
    SpectItem it;
    if (const unsigned char* p = rd.next()) {
      it.m_valid = *p++;
      if (version >= 2) it.bad = *p++;
      it.re = ex_le_double(p);
      it.im = ex_le_double(p + 8);
      if (version >= 3) {
        it.weight = ex_le_float(p + 16);
        it.coh_ts = ex_le_float(p + 20);
        it.coh_sp = ex_le_float(p + 24);
      }
    }
    items.push_back(it);
  }
  return true;
}

bool CSpectArray::DoDump(FILE* fp, const std::vector<std::string>* comment) {
  if (!fp) return false;
  std::lock_guard<std::mutex> lk(m_lock);
  int cal_num = DoGetCalNumNoLock();
  std::fprintf(fp, "ch_num: %d\n", m_buff_ch_num);
  std::fprintf(fp, "freq_num: %d\n", m_buff_freq_num);
  std::fprintf(fp, "harm_num: %d\n", m_buff_harm_num);
  std::fprintf(fp, "max_cal_num:%d\n", cal_num);
  std::fprintf(fp, "valid_mask: %d\n", ch_valid_mask);
  std::fprintf(fp, "geo_type: %d\n", geo_type);
  std::fprintf(fp, "item_num:%d\n", int(m_vt_spect.size()));

  char name[32];
  for (int ch = 0; ch < m_buff_ch_num; ++ch) {
    std::fprintf(fp, "ch_idx=%d,  ", ch);
    if (comment && size_t(ch) < comment->size()) std::fprintf(fp, "%s", (*comment)[size_t(ch)].c_str());
    std::fprintf(fp, "\n");

    std::fprintf(fp, "%10s", "idx_cal");
    std::fprintf(fp, "%10s", "judge");
    std::fprintf(fp, "%8s", "coh_ts");
    std::fprintf(fp, "%8s", "coh_sp");
    for (int f = 0; f < m_buff_freq_num; ++f) {
      for (int h = 0; h < m_buff_harm_num; ++h) {
        std::snprintf(name, sizeof(name), "Amp-F%02dH%02d", f, h);
        std::fprintf(fp, "%14s", name);
        std::snprintf(name, sizeof(name), "Ph-F%02dH%02d", f, h);
        std::fprintf(fp, "%10s", name);
      }
    }
    std::fprintf(fp, "\n");

    for (int c = 0; c < cal_num; ++c) {
      std::fprintf(fp, "%10d", c);
      for (int f = 0; f < m_buff_freq_num; ++f) {
        for (int h = 0; h < m_buff_harm_num; ++h) {
          SpectItem it = DoGetItemOfNoLock(ch, f, h, c);
          if (f == 0 && h == 0) {
            std::fprintf(fp, "%10s", it.bad ? "bad" : "good");
            std::fprintf(fp, "%8.3f", it.coh_ts);
            std::fprintf(fp, "%8.3f", it.coh_sp);
          }
          if (it.m_valid) {
            cpx_t v{it.re, it.im};
            float amp = float(cpx_abs(v));
            float ph = float(cpx_arg(v));
            std::fprintf(fp, "%14.3E", amp);
            std::fprintf(fp, "%10.2f", ph * 1000.0f);
          } else {
            std::fprintf(fp, "%14s", "*");
            std::fprintf(fp, "%10s", "*");
          }
        }
      }
      std::fprintf(fp, "\n");
    }
  }
  return true;
}
