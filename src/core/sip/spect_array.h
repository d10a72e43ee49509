// Complex spectra of one acquisition: one value with flags for every
// channel, base frequency, harmonic and calculation (one calculation per
// evaluated time window), stored densely with channels varying fastest:
//   idx = ((idx_cal * freq_num + idx_freq) * harm_num + idx_harm) * ch_num + idx_ch
//
// Every public operation that touches items takes the array's lock (not
// re-entrant). Callers that need several consistent accesses take it once with
// DoLock and use the ...NoLock forms until DoUnlock. The dimension getters and
// DoGetIndexOf never lock, so they may be used between DoLock and DoUnlock.
//
// Item accessors are safe for any index: a read outside the items (or with a
// channel, frequency or harmonic outside its dimension) gives a default item,
// a write there is ignored; both are logged as caller errors.
#pragma once

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

struct SpectItem {
  double re = 1.0;
  double im = 0.0;
  uint8_t m_valid = 0;
  uint8_t bad = 0;
  float weight = 1.0f;
  float coh_ts = 0.0f;
  float coh_sp = 0.0f;
};

constexpr int SPECT_ARRAY_VER = 3;
// Largest channels x frequencies x harmonics a stored array without items may
// claim (6000 channels of 16 harmonics fit).
constexpr int64_t SPECT_MAX_EMPTY_BLOCK = int64_t(1) << 17;

class CSpectArray {
public:
  CSpectArray();
  CSpectArray(const CSpectArray& other);
  CSpectArray& operator=(const CSpectArray& other);
  virtual ~CSpectArray();
  // Exchanges the contents (not the locks), holding both locks, this first.
  void Swap(CSpectArray& other);

  // mask -1 keeps every channel; otherwise only the lowest ch_num bits of
  // mask are kept (ch_num < 32).
  void DoInit(int ch_num, int freq_num, int harm_num, int cal_num, int mask, int geo_type);
  void DoAppendCal(int n);

  int DoGetBuffChNum();
  int DoGetBuffFreqNum();
  int DoGetBuffHarmNum();
  int DoGetValidChNum();
  int DoGetItemNumEachBlock();
  int DoGetCalNum();
  int DoGetCalNumNoLock() const;
  int DoGetItemNum();
  int GetChValidMask();
  int GetGeoType();

  // Index of an item; an index at or beyond the item count is logged and is
  // a caller error.
  int DoGetIndexOf(int idx_ch_dev, int idx_freq, int idx_harm, int idx_cal) const;

  SpectItem DoGetItem(int idx);
  SpectItem DoGetItemOf(int ch, int freq, int harm, int cal);
  SpectItem DoGetItemOfNoLock(int ch, int freq, int harm, int cal) const;
  void DoSetItemOf(int ch, int freq, int harm, int cal, const SpectItem& item);
  void DoSetItemOfNoLock(int ch, int freq, int harm, int cal, const SpectItem& item);
  // items[c * harm_num + h] to (ch, freq, h, c) for every calculation c below
  // cal_num and harmonic h below harm_num, in one pass. False, and nothing
  // stored, where they do not all lie inside the array.
  bool DoSetItemsOf(int ch, int freq, int harm_num, int cal_num, const SpectItem* items);
  // Stores re, im with m_valid 1, the given bad flag, weight 1 and zero coherences.
  void DoSetValueOf(int ch, int freq, int harm, int cal, double re, double im, uint8_t bad);
  // Clears out, then appends the valid items of (ch, freq, harm) in calculation order.
  void DoGetValidItemsOf(int ch, int freq, int harm, std::vector<SpectItem>* out);
  void DoInvalidateCh(int ch);
  void DoScale(double x);
  void DoMarkZeroBad();

  void DoLock();
  void DoUnlock();

  // Binary form (writes version 3; reads 1..3). A read fails on an
  // unsupported version, a short header, dimensions that are not positive or
  // whose product overflows, an item count that is not a whole number of
  // calculations or that the remaining bytes cannot hold, and on no items
  // with dimensions above SPECT_MAX_EMPTY_BLOCK; the array is then left as
  // it was and why (optional) gets the reason ("12 items, 40 bytes left").
  bool DoWrite(FILE* fp);
  // With skip_items, every check is made but the items are passed over: the
  // array keeps its dimensions and no items.
  bool DoRead(FILE* fp, std::string* why = nullptr, bool skip_items = false);
  // Text form: the header, then per channel its label line, the column
  // header and one row per calculation. comment, when given, holds one label
  // per channel (missing labels print empty).
  bool DoDump(FILE* fp, const std::vector<std::string>* comment);

private:
  // Copies everything but the lock; the caller holds the locks.
  void CopyFrom(const CSpectArray& other);
  bool InRange(int idx) const { return idx >= 0 && idx < int(m_vt_spect.size()); }
  // Index for the item accessors: -1 (logged) when a part lies outside its
  // dimension or the item does not exist.
  int ItemIndex(int ch, int freq, int harm, int cal) const;
  int64_t BlockSize() const;

  std::vector<SpectItem> m_vt_spect;
  int32_t m_buff_ch_num = 0;
  int32_t m_buff_freq_num = 0;
  int32_t m_buff_harm_num = 0;
  int32_t ch_valid_mask = -1;
  int32_t geo_type = 0;
  mutable std::mutex m_lock;
};
