// Result container: for every channel, base frequency and harmonic, the ten
// SIP quantities as statistics over the stacked calculations.
//   item index = ((idx_ch * freq_num) + idx_freq) * harm_num + idx_harm
//   frequency index = idx_freq * harm_num + idx_harm
#pragma once

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "core/sip/sip_pub.h"

enum ResType {
  RES_U_AMP = 0,  // electric field amplitude, V
  RES_U_PH = 1,   // electric field phase, rad
  RES_APP = 2,    // apparent resistivity, ohm.m
  RES_Z_PH = 3,   // impedance phase, rad
  RES_H_AMP = 4,  // magnetic field amplitude, V
  RES_H_PH = 5,   // magnetic field phase, rad
  RES_I_AMP = 6,  // current amplitude, A
  RES_I_PH = 7,   // current phase, rad
  RES_CP = 8,     // relative phase CP, rad
  RES_FS = 9,     // frequency dispersion FS, fraction
};
constexpr int TYPE_CNT = 10;
constexpr int RESULT_VER = 5;
// Bytes of items that a reader of the last block of a file accepts as cut off.
constexpr int64_t RES_TAIL_SLACK = 64 * 1024;

struct ResBlock {
  float value = 1.0f;
  float std = 0.0f;
  float err = 0.0f;
  uint32_t count = 0;  // stacked values; 0 = no data
};

struct ResItem {
  uint8_t bad = 0;
  ResBlock blk[TYPE_CNT];
};

// x times the display factor of quantity index (mV, degrees, mrad, %); CP is
// first folded into +-pi/2; an index above 9 returns x.
float ResDisplayScale(float x, int index);

// One channel of one container inside a position group.
struct ChRef {
  std::string label;  // "%s_%d" of dev_name and idx_dev_ch + 1
  int idx_result = 0;
  int idx_ch = 0;
};

struct ChGroup {
  float m_pos = 0.0f;
  std::vector<ChRef> refs;
};

class CResult {
public:
  CResult();
  CResult(const CResult& other);
  CResult& operator=(const CResult& other);
  virtual ~CResult() = default;
  // Exchanges the contents (not the mutexes), holding both, this first.
  void Swap(CResult& other);

  // Negative counts or counts whose product overflows are a caller error and
  // leave an empty container. Without items (a read that passes over them)
  // every item reads as reset and setting one does nothing.
  void DoInit(int ch_num, int freq_num, int harm_num, bool with_items = true);
  void SetHarmNum(int harm_num);

  int GetChNum();
  int GetFreqNum() const { return m_freq_num; }
  int GetHarmNum() const { return m_harm_num; }

  // Indices outside the counts are caller errors: getters answer with a
  // default value (frequency 0), setters ignore the call; both are logged.
  ChInfo GetChInfo(int idx_ch);
  void SetChInfo(int idx_ch, const ChInfo& info);
  float GetFreq(int idx_freq, int idx_harm);
  void SetFreq(int idx_freq, int idx_harm, float hz);
  // A position outside the items yields a reset item.
  ResItem GetItem(int idx_ch, int idx_freq, int idx_harm);
  void SetItem(int idx_ch, int idx_freq, int idx_harm, const ResItem& item);
  void InvalidateCh(int idx_ch);
  void ScaleApp(int idx_ch, float f);
  uint32_t GetCalTimes(int idx_ch);

  float GetPosAx() const { return ax; }
  float GetPosAy() const { return ay; }
  float GetPosBx() const { return bx; }
  float GetPosBy() const { return by; }
  void SetPos(float ax_, float ay_, float bx_, float by_);

  // Binary form: writes version 5, reads any version above 0.
  // DoWrite fails, writing nothing, when the channel entries, frequencies or
  // items do not match the counts. DoRead fails on a short header, negative
  // counts or counts whose product overflows, and on counts that need more
  // bytes than remain in the file; the container is then unchanged. A later
  // failure (entry, item or block count different from the counts) leaves
  // the counts read and reset items. Counts without frequency points must be
  // at most 1 each. why (optional) gets the reason of a failure. With
  // short_items given, items cut off by the end of the file (at most
  // RES_TAIL_SLACK bytes of them) are accepted: those read keep their values,
  // the rest stay reset, and *short_items tells that it happened.
  bool DoWrite(FILE* fp);
  // With skip_items, every check is made but the items are passed over and
  // read as reset (DoInit without items).
  bool DoRead(FILE* fp, std::string* why = nullptr, bool* short_items = nullptr, bool skip_items = false);

  // Statistic of stacked values (weights optional, same length as values).
  static ResBlock ResStat(const std::vector<float>& values, bool is_phase, const std::vector<float>* weights);
  // The same over n values (weights null or n long).
  static ResBlock ResStat(const float* values, size_t n, bool is_phase, const float* weights);
  // Channel groups of n containers sorted by m_pos. Containers that differ in
  // harmonics or transmitter position are a caller error: logged, no groups.
  static void GroupByPos(CResult* const* results, int n, std::vector<ChGroup>* out, bool check_b);
  static void CollectBlock(CResult* const* results, const ChGroup& group, int idx_freq, int idx_harm, int index,
                           std::vector<float>* out);

protected:
  // Copies everything but the mutex; the caller holds the locks.
  void CopyFrom(const CResult& other);
  // Called by SetItem with the mutex held; must not call back into the container.
  virtual void OnItemSet(int idx_ch, int idx_freq, int idx_harm);

  // -1 when a part of the position lies outside the counts.
  int ItemIndex(int idx_ch, int idx_freq, int idx_harm) const;
  int FreqIndex(int idx_freq, int idx_harm) const;

  std::vector<ChInfo> m_VtChInfo;
  std::vector<ResItem> m_VtResItem;
  std::vector<float> m_VtFreq;
  int32_t m_ch_num = 0;
  int32_t m_freq_num = 0;
  int32_t m_harm_num = 0;
  float ax = 0.0f, ay = 0.0f, bx = 0.0f, by = 0.0f;
  mutable std::mutex m_mutex;
};
