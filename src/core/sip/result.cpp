#include "core/sip/result.h"

#include <climits>
#include <cmath>
#include <string>
#include <utility>

#include "core/base/algo.h"
#include "core/base/clog.h"
#include "core/base/ex_file.h"
#include "core/base/platform.h"

namespace {

const float kDisplayFactor[TYPE_CNT] = {1000.0f, 57.29578f, 1.0f, 57.29578f, 1000.0f,
                                        57.29578f, 1000.0f, 57.29578f, 1000.0f, 100.0f};

// *out = a * b for non-negative a and b; false when the product exceeds
// INT_MAX (item indices are ints).
bool mul_int(int64_t a, int64_t b, int64_t* out) {
  if (a < 0 || b < 0) return false;
  if (a != 0 && b > INT_MAX / a) return false;
  *out = a * b;
  return true;
}

int64_t ch_info_bytes(int32_t version) { return version > 4 ? 32 : 28; }

int64_t item_bytes(int32_t version) {
  int64_t block = version > 2 ? 16 : 12;
  return (version > 3 ? 1 : 0) + block * TYPE_CNT;
}

float stat_mean(const float* v, const float* w, int n, bool is_phase) {
  if (w) return is_phase ? algo_phase_mean_w(v, w, n) : algo_mean_w(v, w, n);
  return is_phase ? algo_phase_mean(v, n) : algo_mean(v, n);
}

float stat_spread(const float* v, int n, bool is_phase) { return is_phase ? algo_phase_std(v, n) : algo_std(v, n); }

}  // namespace

float ResDisplayScale(float x, int index) {
  if (index < 0 || index >= TYPE_CNT) return x;
  if (index == RES_CP) x = algo_phase_half_wrap(x);
  return x * kDisplayFactor[index];
}

CResult::CResult() = default;

CResult::CResult(const CResult& other) {
  std::lock_guard<std::mutex> lk(other.m_mutex);
  CopyFrom(other);
}

void CResult::Swap(CResult& other) {
  if (this == &other) return;
  std::lock_guard<std::mutex> lk_dst(m_mutex);
  std::lock_guard<std::mutex> lk_src(other.m_mutex);
  m_VtChInfo.swap(other.m_VtChInfo);
  m_VtResItem.swap(other.m_VtResItem);
  m_VtFreq.swap(other.m_VtFreq);
  std::swap(m_ch_num, other.m_ch_num);
  std::swap(m_freq_num, other.m_freq_num);
  std::swap(m_harm_num, other.m_harm_num);
  std::swap(ax, other.ax);
  std::swap(ay, other.ay);
  std::swap(bx, other.bx);
  std::swap(by, other.by);
}

CResult& CResult::operator=(const CResult& other) {
  if (this == &other) return *this;
  std::lock_guard<std::mutex> lk_dst(m_mutex);
  std::lock_guard<std::mutex> lk_src(other.m_mutex);
  CopyFrom(other);
  return *this;
}

void CResult::CopyFrom(const CResult& other) {
  m_VtChInfo = other.m_VtChInfo;
  m_VtResItem = other.m_VtResItem;
  m_VtFreq = other.m_VtFreq;
  m_ch_num = other.m_ch_num;
  m_freq_num = other.m_freq_num;
  m_harm_num = other.m_harm_num;
  ax = other.ax;
  ay = other.ay;
  bx = other.bx;
  by = other.by;
}

void CResult::DoInit(int ch_num, int freq_num, int harm_num, bool with_items) {
  int64_t points = 0, items = 0;
  if (!mul_int(freq_num, harm_num, &points) || !mul_int(ch_num, points, &items)) {
    CLOG_ERR("invalid result shape: ch_num=%d,freq_num=%d,harm_num=%d", ch_num, freq_num, harm_num);
    ch_num = freq_num = harm_num = 0;
    points = items = 0;
  }
  m_ch_num = ch_num;
  m_freq_num = freq_num;
  m_harm_num = harm_num;
  m_VtChInfo.resize(size_t(ch_num));
  if (with_items)
    m_VtResItem.assign(size_t(items), ResItem());
  else
    m_VtResItem.clear();
  m_VtFreq.resize(size_t(points), 0.0f);
}

void CResult::SetHarmNum(int harm_num) { DoInit(m_ch_num, m_freq_num, harm_num); }

int CResult::GetChNum() {
  std::lock_guard<std::mutex> lk(m_mutex);
  return m_ch_num;
}

ChInfo CResult::GetChInfo(int idx_ch) {
  std::lock_guard<std::mutex> lk(m_mutex);
  if (idx_ch < 0 || size_t(idx_ch) >= m_VtChInfo.size()) {
    CLOG_ERR("channel entry %d outside %d entries", idx_ch, int(m_VtChInfo.size()));
    return ChInfo();
  }
  return m_VtChInfo[size_t(idx_ch)];
}

void CResult::SetChInfo(int idx_ch, const ChInfo& info) {
  std::lock_guard<std::mutex> lk(m_mutex);
  if (idx_ch < 0 || size_t(idx_ch) >= m_VtChInfo.size()) {
    CLOG_ERR("channel entry %d outside %d entries", idx_ch, int(m_VtChInfo.size()));
    return;
  }
  m_VtChInfo[size_t(idx_ch)] = info;
}

int CResult::FreqIndex(int idx_freq, int idx_harm) const {
  if (idx_freq < 0 || idx_freq >= m_freq_num || idx_harm < 0 || idx_harm >= m_harm_num) return -1;
  size_t idx = size_t(idx_freq) * size_t(m_harm_num) + size_t(idx_harm);
  return idx < m_VtFreq.size() ? int(idx) : -1;
}

int CResult::ItemIndex(int idx_ch, int idx_freq, int idx_harm) const {
  if (idx_ch < 0 || idx_ch >= m_ch_num || idx_freq < 0 || idx_freq >= m_freq_num || idx_harm < 0 ||
      idx_harm >= m_harm_num)
    return -1;
  size_t idx = (size_t(idx_ch) * size_t(m_freq_num) + size_t(idx_freq)) * size_t(m_harm_num) + size_t(idx_harm);
  return idx < m_VtResItem.size() ? int(idx) : -1;
}

float CResult::GetFreq(int idx_freq, int idx_harm) {
  std::lock_guard<std::mutex> lk(m_mutex);
  int idx = FreqIndex(idx_freq, idx_harm);
  if (idx < 0) {
    CLOG_ERR("frequency point (%d, %d) outside %d x %d", idx_freq, idx_harm, m_freq_num, m_harm_num);
    return 0.0f;
  }
  return m_VtFreq[size_t(idx)];
}

void CResult::SetFreq(int idx_freq, int idx_harm, float hz) {
  std::lock_guard<std::mutex> lk(m_mutex);
  int idx = FreqIndex(idx_freq, idx_harm);
  if (idx < 0) {
    CLOG_ERR("frequency point (%d, %d) outside %d x %d", idx_freq, idx_harm, m_freq_num, m_harm_num);
    return;
  }
  m_VtFreq[size_t(idx)] = hz;
}

ResItem CResult::GetItem(int idx_ch, int idx_freq, int idx_harm) {
  std::lock_guard<std::mutex> lk(m_mutex);
  int idx = ItemIndex(idx_ch, idx_freq, idx_harm);
  return idx < 0 ? ResItem() : m_VtResItem[size_t(idx)];
}

void CResult::SetItem(int idx_ch, int idx_freq, int idx_harm, const ResItem& item) {
  std::lock_guard<std::mutex> lk(m_mutex);
  int idx = ItemIndex(idx_ch, idx_freq, idx_harm);
  if (idx < 0) {
    CLOG_ERR("result item (%d, %d, %d) outside %d x %d x %d", idx_ch, idx_freq, idx_harm, m_ch_num, m_freq_num,
             m_harm_num);
    return;
  }
  m_VtResItem[size_t(idx)] = item;
  OnItemSet(idx_ch, idx_freq, idx_harm);
}

void CResult::OnItemSet(int, int, int) {}

void CResult::InvalidateCh(int idx_ch) {
  std::lock_guard<std::mutex> lk(m_mutex);
  for (int f = 0; f < m_freq_num; ++f) {
    for (int h = 0; h < m_harm_num; ++h) {
      int idx = ItemIndex(idx_ch, f, h);
      if (idx < 0) return;
      for (ResBlock& b : m_VtResItem[size_t(idx)].blk) b.count = 0;
    }
  }
}

void CResult::ScaleApp(int idx_ch, float f) {
  std::lock_guard<std::mutex> lk(m_mutex);
  for (int fi = 0; fi < m_freq_num; ++fi) {
    for (int h = 0; h < m_harm_num; ++h) {
      int idx = ItemIndex(idx_ch, fi, h);
      if (idx < 0) return;
      ResBlock& b = m_VtResItem[size_t(idx)].blk[RES_APP];
      b.value *= f;
      b.std *= f;
      b.err *= f;
    }
  }
}

uint32_t CResult::GetCalTimes(int idx_ch) {
  int idx = ItemIndex(idx_ch, 0, 0);
  return idx < 0 ? 0u : m_VtResItem[size_t(idx)].blk[RES_APP].count;
}

void CResult::SetPos(float ax_, float ay_, float bx_, float by_) {
  ax = ax_;
  ay = ay_;
  bx = bx_;
  by = by_;
}

bool CResult::DoWrite(FILE* fp) {
  if (!fp) return false;
  int64_t points = int64_t(m_freq_num) * m_harm_num;
  int64_t items = int64_t(m_ch_num) * points;
  // A container whose vectors disagree with its counts would be written as a
  // file that no reader accepts.
  if (m_ch_num < 0 || m_freq_num < 0 || m_harm_num < 0 || int64_t(m_VtFreq.size()) != points ||
      int64_t(m_VtResItem.size()) != items || int64_t(m_VtChInfo.size()) != m_ch_num) {
    CLOG_ERR("result not written: counts %d x %d x %d, %d channel entries, %d frequencies, %d items", m_ch_num,
             m_freq_num, m_harm_num, int(m_VtChInfo.size()), int(m_VtFreq.size()), int(m_VtResItem.size()));
    return false;
  }
  size_t n = 0;
  size_t expected = size_t(4 * 4 + 4 * 4 + 4 + 4 * 2) + m_VtChInfo.size() * size_t(ch_info_bytes(RESULT_VER)) +
                    m_VtFreq.size() * 4 + m_VtResItem.size() * size_t(item_bytes(RESULT_VER));
  n += ex_fwrite_i32(fp, RESULT_VER);
  n += ex_fwrite_i32(fp, m_ch_num);
  n += ex_fwrite_i32(fp, m_freq_num);
  n += ex_fwrite_i32(fp, m_harm_num);
  n += ex_fwrite_float(fp, ax);
  n += ex_fwrite_float(fp, ay);
  n += ex_fwrite_float(fp, bx);
  n += ex_fwrite_float(fp, by);
  n += ex_fwrite_i32(fp, int32_t(m_VtChInfo.size()));
  for (const ChInfo& ci : m_VtChInfo) {
    n += ex_fwrite_i32(fp, ci.idx_dev);
    n += ex_fwrite_i32(fp, ci.idx_dev_ch);
    n += ex_fwrite_i32(fp, ci.site_no);
    n += ex_fwrite_i32(fp, ci.line_no);
    n += ex_fwrite_float(fp, ci.mn);
    n += ex_fwrite_float(fp, ci.m_pos);
    n += ex_fwrite_float(fp, ci.vd2ab);
    n += ex_fwrite_i32(fp, ci.ch_type);
  }
  for (float hz : m_VtFreq) n += ex_fwrite_float(fp, hz);
  n += ex_fwrite_i32(fp, int32_t(m_VtResItem.size()));
  n += ex_fwrite_i32(fp, TYPE_CNT);
  ExBlockWriter wr(fp, size_t(item_bytes(RESULT_VER)));
  for (const ResItem& it : m_VtResItem) {
    unsigned char* p = wr.next();
    *p++ = it.bad;
    for (const ResBlock& b : it.blk) {
      ex_put_le_float(p, b.value);
      ex_put_le_float(p + 4, b.std);
      ex_put_le_u32(p + 8, b.count);
      ex_put_le_float(p + 12, b.err);
      p += 16;
    }
  }
  n += wr.flush();
  return n == expected;
}

bool CResult::DoRead(FILE* fp, std::string* why, bool* short_items, bool skip_items) {
  if (!fp) return false;
  if (short_items) *short_items = false;
  auto fail = [why](const std::string& text) {
    CLOG_ERR("result: %s", text.c_str());
    if (why) *why = text;
    return false;
  };
  int32_t version = 0;
  if (!ex_fread_i32_ok(fp, &version)) return fail("version missing");
  if (version <= 0) return fail("invalid version " + std::to_string(version));
  int32_t ch = 0, freq = 0, harm = 0;
  if (!ex_fread_i32_ok(fp, &ch) || !ex_fread_i32_ok(fp, &freq) || !ex_fread_i32_ok(fp, &harm))
    return fail("counts truncated");
  const std::string counts = std::to_string(ch) + " x " + std::to_string(freq) + " x " + std::to_string(harm);
  int64_t points = 0, items = 0;
  if (!mul_int(freq, harm, &points) || !mul_int(ch, points, &items)) return fail("invalid counts " + counts);
  // Without frequency points nothing vouches for the other count, yet the
  // tables loop over it.
  if (points == 0 && (freq > 1 || harm > 1)) return fail("no frequency points but counts " + counts);
  float pos[4];
  for (float& p : pos) p = ex_fread_float(fp, 0.0f);
  // Everything the counts announce must be in the file before anything is
  // allocated for it; a caller reading the last block of a file may accept
  // items cut short by a few kilobytes.
  const int64_t head = 4 + int64_t(ch) * ch_info_bytes(version) + points * 4 + 8;
  const int64_t need = head + items * item_bytes(version);
  const long remain = ex_fremain(fp);
  if (need > remain && !(short_items && head <= remain && need - remain <= RES_TAIL_SLACK))
    return fail("counts " + counts + " need " + std::to_string(need) + " bytes, " + std::to_string(remain) + " left");
  SetPos(pos[0], pos[1], pos[2], pos[3]);
  DoInit(ch, freq, harm, !skip_items);

  int32_t info_num = ex_fread_i32(fp, -1);
  if (info_num != m_ch_num)
    return fail(std::to_string(info_num) + " channel entries for " + std::to_string(m_ch_num) + " channels");
  for (ChInfo& ci : m_VtChInfo) {
    ci.idx_dev = ex_fread_i32(fp, ci.idx_dev);
    ci.idx_dev_ch = ex_fread_i32(fp, ci.idx_dev_ch);
    ci.site_no = ex_fread_i32(fp, ci.site_no);
    if (version > 4) ci.line_no = ex_fread_i32(fp, ci.line_no);
    ci.mn = ex_fread_float(fp, ci.mn);
    ci.m_pos = ex_fread_float(fp, ci.m_pos);
    ci.vd2ab = ex_fread_float(fp, ci.vd2ab);
    ci.ch_type = ex_fread_i32(fp, ci.ch_type);
  }
  for (float& hz : m_VtFreq) hz = ex_fread_float(fp, 1.0f);

  int32_t item_num = ex_fread_i32(fp, -1);
  int32_t block_num = ex_fread_i32(fp, -1);
  if (item_num != items || block_num != TYPE_CNT)
    return fail(std::to_string(item_num) + " items of " + std::to_string(block_num) + " blocks, expected " +
                std::to_string(items) + " of " + std::to_string(TYPE_CNT));
  if (skip_items) {
    const int64_t bytes = items * item_bytes(version);
    const long left = ex_fremain(fp);
    if (bytes <= left) return std::fseek(fp, long(bytes), SEEK_CUR) == 0;
    if (short_items) *short_items = true;
    return std::fseek(fp, 0, SEEK_END) == 0;
  }
  ExBlockReader rd(fp, size_t(item_bytes(version)), m_VtResItem.size());
  for (ResItem& it : m_VtResItem) {
    const unsigned char* p = rd.next();
    if (!p) {
      if (short_items) *short_items = true;
      break;
    }
    if (version > 3) it.bad = *p++;
    for (ResBlock& b : it.blk) {
      b.value = ex_le_float(p);
      b.std = ex_le_float(p + 4);
      b.count = ex_le_u32(p + 8);
      if (version > 2) {
        b.err = ex_le_float(p + 12);
        p += 16;
      } else {
        b.err = b.std;
        p += 12;
      }
    }
  }
  return true;
}

ResBlock CResult::ResStat(const std::vector<float>& values, bool is_phase, const std::vector<float>* weights) {
  // Weights that do not match the values cannot be paired with them.
  const float* w = weights && weights->size() == values.size() ? weights->data() : nullptr;
  return ResStat(values.data(), values.size(), is_phase, w);
}

ResBlock CResult::ResStat(const float* values, size_t n, bool is_phase, const float* weights) {
  ResBlock out;
  if (n == 0 || !values) return out;
  const int num = int(n);
  if (n == 1) {
    out.value = stat_mean(values, weights, num, is_phase);
    out.std = 0.0f;
    out.err = 0.0f;
    out.count = 1;
    return out;
  }

  // The error compares the means of the even and odd halves and of the first
  // and second halves. The halves are slices of the input; the even and odd
  // values are gathered into a per-thread buffer: this runs for every block
  // of every result, so the buffer grows once instead of on every call.
#if PLATFORM_THREAD_CACHES
  thread_local std::vector<float> scratch;
#else
  std::vector<float> scratch;
#endif
  const size_t n_even = (n + 1) / 2;
  scratch.resize(weights ? 2 * n : n);
  float* par_v = scratch.data();
  float* par_w = weights ? scratch.data() + n : nullptr;
  for (size_t i = 0; i < n; ++i) {
    const size_t k = i % 2 == 0 ? i / 2 : n_even + i / 2;
    par_v[k] = values[i];
    if (weights) par_w[k] = weights[i];
  }
  const size_t n_first = n / 2;
  float means[4];
  means[0] = stat_mean(par_v, par_w, int(n_even), is_phase);
  means[1] = stat_mean(par_v + n_even, par_w ? par_w + n_even : nullptr, int(n - n_even), is_phase);
  means[2] = stat_mean(values, weights, int(n_first), is_phase);
  means[3] = stat_mean(values + n_first, weights ? weights + n_first : nullptr, int(n - n_first), is_phase);

  out.value = stat_mean(values, weights, num, is_phase);
  out.std = stat_spread(values, num, is_phase);
  out.err = float(stat_spread(means, 4, is_phase) / 1.4142135623730951);
  out.count = uint32_t(n);
  return out;
}

void CResult::GroupByPos(CResult* const* results, int n, std::vector<ChGroup>* out, bool check_b) {
  if (!out) return;
  out->clear();
  if (!results || n <= 0) return;
  for (int i = 0; i < n; ++i) {
    const CResult* r = results[i];
    const CResult* r0 = results[0];
    bool same = r && r0 && r->m_harm_num == r0->m_harm_num && r->ax == r0->ax && r->ay == r0->ay &&
                (!check_b || (r->bx == r0->bx && r->by == r0->by));
    if (!same) {
      CLOG_ERR("results to group differ in harmonics or transmitter position (container %d)", i);
      return;
    }
  }

  for (int i = 0; i < n; ++i) {
    CResult* r = results[i];
    int ch_num = r->GetChNum();
    for (int j = 0; j < ch_num; ++j) {
      ChInfo info = r->GetChInfo(j);
      ChRef ref{SipChLabel(info), i, j};
      float key = info.m_pos;
      size_t k = out->size();
      bool placed = false;
      while (k > 0) {
        ChGroup& g = (*out)[k - 1];
        if (g.m_pos == key) {
          g.refs.push_back(ref);
          placed = true;
          break;
        }
        if (g.m_pos < key) break;
        --k;
      }
      if (!placed) {
        ChGroup g;
        g.m_pos = key;
        g.refs.push_back(ref);
        out->insert(out->begin() + std::ptrdiff_t(k), g);
      }
    }
  }
}

void CResult::CollectBlock(CResult* const* results, const ChGroup& group, int idx_freq, int idx_harm, int index,
                           std::vector<float>* out) {
  if (!out) return;
  out->clear();
  if (!results || index < 0 || index >= TYPE_CNT) return;
  for (const ChRef& ref : group.refs) {
    if (ref.idx_result < 0) continue;
    CResult* r = results[ref.idx_result];
    if (!r) continue;
    out->push_back(r->GetItem(ref.idx_ch, idx_freq, idx_harm).blk[index].value);
  }
}
