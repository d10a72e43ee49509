// Measurement records shared by SRS, SMT and SPM files: the measurement
// record, the device records, named electrodes and the channel entry of a
// result, with their binary streams and the small rules derived from them.
//
// Strings are NUL-terminated bytes in fixed 256-byte buffers; streams store
// them length-prefixed (int32 count including the NUL, at most 255).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

constexpr int MAX_CH_NUM = 6;
constexpr int SIP_TS_FILE_VER = 4;
// Most harmonics per base frequency that spectra are computed for. The
// waveforms' harmonic multiples grow at least linearly (k + 1 for the spread
// spectrum, faster for the others), so a segment carries fewer harmonics than
// it has samples; a file that claims more is damaged.
constexpr int SIP_MAX_HARM_NUM = 1024;
constexpr int SIP_STR_LEN = 256;

enum SipLayout {
  SIP_MID_GRADIENT = 0,
  SIP_POLE3_SOUNDING = 1,
  SIP_POLE4_SOUNDING = 2,
  SIP_ALL_GRADIENT = 3,
};

enum SipWave {
  SIP_WAVE_SQUARE = 0,
  SIP_WAVE_PSEUDO_RANDOM = 1,
  SIP_WAVE_SPREAD_SPECTRUM = 2,
  SIP_WAVE_DOUBLE_FREQ = 3,
};

enum SipChType {
  SIP_CH_INVALID = 0,
  SIP_CH_ELECTRIC = 1,
  SIP_CH_MAGNETIC = 2,
  SIP_CH_CURRENT = 3,
};

// Measurement record; a new record holds the defaults (start_time = now - 8 h).
struct PrmMeas {
  char prj_name[SIP_STR_LEN];
  int32_t line_no;
  float ax, ay, bx, by;
  int32_t layout;
  int32_t wave;
  float freq_base;
  int32_t harm_num;
  int32_t start_time;
  char file_name[SIP_STR_LEN];
  int32_t sample_rate;
  int32_t reserved;
  float mn;
  float first_pole_pos;
  uint8_t curr_station_used;
  char cur_station[SIP_STR_LEN];
  float v2i;
  float cur_value;

  PrmMeas();
};

// Device (acquisition station) record with up to MAX_CH_NUM channels.
struct PrmDev {
  char dev_name[SIP_STR_LEN];
  int32_t ch_num;
  float vd2ab;
  int32_t ch_type[MAX_CH_NUM];
  uint16_t site_no[MAX_CH_NUM];
  uint8_t pos_valid;
  float mx[MAX_CH_NUM];
  float my[MAX_CH_NUM];
  float nx[MAX_CH_NUM];
  float ny[MAX_CH_NUM];

  PrmDev();
};

// Named electrode of the free-electrode layout.
struct PrmPole {
  char name[SIP_STR_LEN];
  float x;
  float y;

  PrmPole();
};

// Channel entry of a result container. dev_name and line_no are not stored
// in files; SRS reading rebuilds them.
struct ChInfo {
  std::string dev_name;
  int32_t idx_dev = 0;
  int32_t idx_dev_ch = 0;
  int32_t site_no = 0;
  int32_t line_no = 0;
  float mn = 0.0f;
  float m_pos = 0.0f;
  float vd2ab = 0.0f;
  int32_t ch_type = SIP_CH_ELECTRIC;
};

// Copies src into a record buffer, cut so that it can be stored (at most
// 254 bytes) and NUL-terminated.
void SipSetStr(char* dst, const char* src);

// Record streams. Writers return the bytes written (version SIP_TS_FILE_VER),
// readers return success; a reader first applies the record's defaults.
// why (optional) receives a short reason of a failed read, without offset:
// the caller knows where the record started.
size_t SipPubWriteMeas(FILE* fp, const PrmMeas& meas);
bool SipPubReadMeas(FILE* fp, PrmMeas* meas);
bool SipPubReadMeas(FILE* fp, PrmMeas* meas, std::string* why);
size_t SipPubWriteDev(FILE* fp, const PrmDev& dev);
bool SipPubReadDev(FILE* fp, PrmDev* dev);
bool SipPubReadDev(FILE* fp, PrmDev* dev, std::string* why);
// Electrode list: int32 version, int32 count, count x (name, float x, float y).
size_t SipPubWritePoles(FILE* fp, const std::vector<PrmPole>& poles, int32_t version);
// Fails on a missing version, a version above max_version, a negative count,
// a count the remaining bytes cannot hold, or a bad name.
bool SipPubReadPoles(FILE* fp, std::vector<PrmPole>* poles, int32_t max_version);
bool SipPubReadPoles(FILE* fp, std::vector<PrmPole>* poles, int32_t max_version, std::string* why);

// "无效", "电道", "磁道", "电流" (UTF-8); empty text for other values.
const char* SipChTypeName(int type);
// 1, 2 or 3 for the names above (exact bytes), 0 otherwise.
int SipChTypeFromName(const char* text);
// Letter of the SMT text dump: "NUHI"[type], '?' outside 0..3.
char SipChTypeLetter(int type);
// Layout and waveform names of the text dumps; null outside their tables.
const char* SipLayoutName(int layout);
const char* SipWaveName(int wave);

float SipSitePos(float first, float spacing, int site_no);
// Multiple of the base frequency of harmonic index k (0-based).
int SipHarmMultiple(int wave, int k);
// Fills mx..ny of channels below ch_num from the site numbers when pos_valid
// is 0, then sets pos_valid.
void SipFillDevPos(const PrmMeas& meas, PrmDev* dev);
// Label "%s_%d" of dev_name and idx_dev_ch + 1.
std::string SipChLabel(const ChInfo& info);
// Geometric factor of one channel; three_electrode is true for files of
// version 4 or lower. NaN when the free layout names a channel index outside
// the device record.
float CalcChannelK(const PrmMeas& meas, const PrmDev& dev, const ChInfo& ch_info, bool three_electrode);
