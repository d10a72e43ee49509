#include "core/sip/sip_pub.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <ctime>
#include <limits>
#include <string>

#include "core/base/algo.h"
#include "core/base/ex_file.h"

namespace {

constexpr int32_t kStartTimeShift = 8 * 3600;

// v2i of the current sensor used before the factor was stored in the stream.
constexpr float kV2iBeforeVer3 = 0.125f;

// Smallest stored electrode: an empty name (count 0) and two floats.
constexpr long kMinPoleBytes = 4 + 4 + 4;

int clamp_ch_num(int32_t ch_num) {
  if (ch_num < 0) return 0;
  return ch_num > MAX_CH_NUM ? MAX_CH_NUM : ch_num;
}

bool read_str(FILE* fp, char* buf) { return ex_fread_str(fp, buf, SIP_STR_LEN) >= 0; }

bool fail(std::string* why, const std::string& text) {
  if (why) *why = text;
  return false;
}

bool read_version(FILE* fp, int32_t max_version, int32_t* ver, std::string* why) {
  if (!ex_fread_i32_ok(fp, ver)) return fail(why, "version missing");
  if (*ver > max_version)
    return fail(why, "version " + std::to_string(*ver) + " above " + std::to_string(max_version));
  return true;
}

bool read_name(FILE* fp, char* buf, const char* what, std::string* why) {
  if (read_str(fp, buf)) return true;
  return fail(why, std::string(what) + ": string length missing or outside 0..255");
}

int saturate_int(double v) {
  if (!(v < double(INT_MAX))) return INT_MAX;
  if (!(v > double(INT_MIN))) return INT_MIN;
  return int(v);
}

}  // namespace

PrmMeas::PrmMeas() {
  std::memset(static_cast<void*>(this), 0, sizeof(*this));
  line_no = 101;
  ax = -1000.0f;
  ay = 0.0f;
  bx = 1000.0f;
  by = 0.0f;
  layout = SIP_MID_GRADIENT;
  wave = SIP_WAVE_SPREAD_SPECTRUM;
  freq_base = 0.25f;
  harm_num = 3;
  start_time = int32_t(std::time(nullptr) - kStartTimeShift);
  std::strcpy(file_name, "test");
  sample_rate = 15;
  reserved = 8;
  mn = 20.0f;
  first_pole_pos = 0.0f;
  curr_station_used = 0;
  v2i = 0.1f;
  cur_value = 5.0f;
}

PrmDev::PrmDev() {
  std::memset(static_cast<void*>(this), 0, sizeof(*this));
  ch_num = MAX_CH_NUM;
  for (int i = 0; i < MAX_CH_NUM; ++i) ch_type[i] = SIP_CH_ELECTRIC;
}

PrmPole::PrmPole() {
  std::memset(static_cast<void*>(this), 0, sizeof(*this));
}

void SipSetStr(char* dst, const char* src) {
  if (!dst) return;
  size_t len = src ? std::strlen(src) : 0;
  if (len > size_t(EX_STR_MAX_WRITE)) {
    len = EX_STR_MAX_WRITE;
    // Texts are UTF-8: never leave half a character behind the cut.
    while (len > 0 && (static_cast<unsigned char>(src[len]) & 0xC0) == 0x80) --len;
  }
  if (len) std::memcpy(dst, src, len);
  dst[len] = '\0';
}

size_t SipPubWriteMeas(FILE* fp, const PrmMeas& meas) {
  size_t n = ex_fwrite_i32(fp, SIP_TS_FILE_VER);
  n += ex_fwrite_str(fp, meas.prj_name);
  n += ex_fwrite_i32(fp, meas.line_no);
  n += ex_fwrite_float(fp, meas.ax);
  n += ex_fwrite_float(fp, meas.ay);
  n += ex_fwrite_float(fp, meas.bx);
  n += ex_fwrite_float(fp, meas.by);
  n += ex_fwrite_i32(fp, meas.layout);
  n += ex_fwrite_i32(fp, meas.wave);
  n += ex_fwrite_float(fp, meas.freq_base);
  n += ex_fwrite_i32(fp, meas.harm_num);
  n += ex_fwrite_i32(fp, meas.start_time);
  n += ex_fwrite_str(fp, meas.file_name);
  n += ex_fwrite_i32(fp, meas.sample_rate);
  n += ex_fwrite_i32(fp, meas.reserved);
  n += ex_fwrite_float(fp, meas.mn);
  n += ex_fwrite_float(fp, meas.first_pole_pos);
  n += ex_fwrite_u8(fp, meas.curr_station_used);
  n += ex_fwrite_str(fp, meas.cur_station);
  n += ex_fwrite_float(fp, meas.v2i);
  n += ex_fwrite_float(fp, meas.cur_value);
  return n;
}

bool SipPubReadMeas(FILE* fp, PrmMeas* meas) { return SipPubReadMeas(fp, meas, nullptr); }

bool SipPubReadMeas(FILE* fp, PrmMeas* meas, std::string* why) {
  *meas = PrmMeas();
  int32_t ver = 0;
  if (!read_version(fp, SIP_TS_FILE_VER, &ver, why)) return false;
  if (!read_name(fp, meas->prj_name, "project name", why)) return false;
  meas->line_no = ex_fread_i32(fp, meas->line_no);
  meas->ax = ex_fread_float(fp, meas->ax);
  meas->ay = ex_fread_float(fp, meas->ay);
  meas->bx = ex_fread_float(fp, meas->bx);
  meas->by = ex_fread_float(fp, meas->by);
  meas->layout = ex_fread_i32(fp, meas->layout);
  meas->wave = ex_fread_i32(fp, meas->wave);
  meas->freq_base = ex_fread_float(fp, meas->freq_base);
  meas->harm_num = ex_fread_i32(fp, meas->harm_num);
  meas->start_time = ex_fread_i32(fp, meas->start_time);
  if (!read_name(fp, meas->file_name, "file name", why)) return false;
  meas->sample_rate = ex_fread_i32(fp, meas->sample_rate);
  meas->reserved = ex_fread_i32(fp, meas->reserved);
  meas->mn = ex_fread_float(fp, meas->mn);
  meas->first_pole_pos = ex_fread_float(fp, meas->first_pole_pos);
  meas->curr_station_used = ex_fread_u8(fp, meas->curr_station_used);
  if (!read_name(fp, meas->cur_station, "current station", why)) return false;
  if (ver > 2)
    meas->v2i = ex_fread_float(fp, meas->v2i);
  else
    meas->v2i = kV2iBeforeVer3;
  if (!ex_fread_float_ok(fp, &meas->cur_value)) return fail(why, "current value missing");
  return true;
}

size_t SipPubWriteDev(FILE* fp, const PrmDev& dev) {
  // A record whose ch_num went out of range is written with the channels it
  // can hold, so that the stream stays readable.
  const int ch_num = clamp_ch_num(dev.ch_num);
  size_t n = ex_fwrite_i32(fp, SIP_TS_FILE_VER);
  n += ex_fwrite_str(fp, dev.dev_name);
  n += ex_fwrite_i32(fp, ch_num);
  n += ex_fwrite_float(fp, dev.vd2ab);
  for (int i = 0; i < ch_num; ++i) {
    n += ex_fwrite_i32(fp, dev.ch_type[i]);
    n += ex_fwrite_u16(fp, dev.site_no[i]);
  }
  n += ex_fwrite_u8(fp, dev.pos_valid);
  for (int i = 0; i < ch_num; ++i) {
    n += ex_fwrite_float(fp, dev.mx[i]);
    n += ex_fwrite_float(fp, dev.my[i]);
    n += ex_fwrite_float(fp, dev.nx[i]);
    n += ex_fwrite_float(fp, dev.ny[i]);
  }
  return n;
}

bool SipPubReadDev(FILE* fp, PrmDev* dev) { return SipPubReadDev(fp, dev, nullptr); }

bool SipPubReadDev(FILE* fp, PrmDev* dev, std::string* why) {
  *dev = PrmDev();
  int32_t ver = 0;
  if (!read_version(fp, SIP_TS_FILE_VER, &ver, why)) return false;
  if (!read_name(fp, dev->dev_name, "device name", why)) return false;
  dev->ch_num = ex_fread_i32(fp, dev->ch_num);
  if (dev->ch_num < 0 || dev->ch_num > MAX_CH_NUM)
    return fail(why, std::to_string(dev->ch_num) + " channels, at most " + std::to_string(MAX_CH_NUM));
  if (!ex_fread_float_ok(fp, &dev->vd2ab)) return fail(why, "distance from AB missing");
  for (int i = 0; i < dev->ch_num; ++i) {
    dev->ch_type[i] = ex_fread_i32(fp, dev->ch_type[i]);
    if (!ex_fread_u16_ok(fp, &dev->site_no[i])) return fail(why, "site numbers incomplete");
  }
  if (ver > 3) {
    dev->pos_valid = ex_fread_u8(fp, dev->pos_valid);
    for (int i = 0; i < dev->ch_num; ++i) {
      dev->mx[i] = ex_fread_float(fp, dev->mx[i]);
      dev->my[i] = ex_fread_float(fp, dev->my[i]);
      dev->nx[i] = ex_fread_float(fp, dev->nx[i]);
      dev->ny[i] = ex_fread_float(fp, dev->ny[i]);
    }
  }
  return true;
}

size_t SipPubWritePoles(FILE* fp, const std::vector<PrmPole>& poles, int32_t version) {
  size_t n = ex_fwrite_i32(fp, version);
  n += ex_fwrite_i32(fp, int32_t(poles.size()));
  for (const PrmPole& pole : poles) {
    n += ex_fwrite_str(fp, pole.name);
    n += ex_fwrite_float(fp, pole.x);
    n += ex_fwrite_float(fp, pole.y);
  }
  return n;
}

bool SipPubReadPoles(FILE* fp, std::vector<PrmPole>* poles, int32_t max_version) {
  return SipPubReadPoles(fp, poles, max_version, nullptr);
}

bool SipPubReadPoles(FILE* fp, std::vector<PrmPole>* poles, int32_t max_version, std::string* why) {
  int32_t ver = 0;
  int32_t count = 0;
  if (!read_version(fp, max_version, &ver, why)) return false;
  if (!ex_fread_i32_ok(fp, &count)) return fail(why, "electrode count missing");
  const long remain = ex_fremain(fp);
  if (count < 0 || long(count) > remain / kMinPoleBytes)
    return fail(why, std::to_string(count) + " electrodes, " + std::to_string(remain) + " bytes left");
  std::vector<PrmPole> list(static_cast<size_t>(count));
  for (PrmPole& pole : list) {
    if (!read_name(fp, pole.name, "electrode name", why)) return false;
    if (!ex_fread_float_ok(fp, &pole.x) || !ex_fread_float_ok(fp, &pole.y))
      return fail(why, "electrode coordinates incomplete");
  }
  poles->swap(list);
  return true;
}

const char* SipChTypeName(int type) {
  switch (type) {
    case SIP_CH_INVALID:
      return "无效";
    case SIP_CH_ELECTRIC:
      return "电道";
    case SIP_CH_MAGNETIC:
      return "磁道";
    case SIP_CH_CURRENT:
      return "电流";
    default:
      return "";
  }
}

int SipChTypeFromName(const char* text) {
  if (!text) return SIP_CH_INVALID;
  for (int type : {SIP_CH_ELECTRIC, SIP_CH_MAGNETIC, SIP_CH_CURRENT}) {
    if (std::strcmp(text, SipChTypeName(type)) == 0) return type;
  }
  return SIP_CH_INVALID;
}

char SipChTypeLetter(int type) { return type >= 0 && type <= 3 ? "NUHI"[type] : '?'; }

const char* SipLayoutName(int layout) {
  switch (layout) {
    case SIP_MID_GRADIENT:
      return "SIP_MID_GRADIENT";
    case SIP_POLE3_SOUNDING:
      return "SIP_POLE3_SOUNDING";
    case SIP_POLE4_SOUNDING:
      return "SIP_POLE4_SOUNDING";
    case SIP_ALL_GRADIENT:
      return "SIP_ALL_GRADIENT";
    default:
      return nullptr;
  }
}

const char* SipWaveName(int wave) {
  switch (wave) {
    case SIP_WAVE_SQUARE:
      return "square wave";
    case SIP_WAVE_PSEUDO_RANDOM:
      return "pseudo random wave";
    case SIP_WAVE_SPREAD_SPECTRUM:
      return "spread spectrum wave";
    case SIP_WAVE_DOUBLE_FREQ:
      return "double frequency wave";
    default:
      return nullptr;
  }
}

float SipSitePos(float first, float spacing, int site_no) { return first + float(site_no) * spacing; }

int SipHarmMultiple(int wave, int k) {
  switch (wave) {
    case SIP_WAVE_SQUARE:
      return saturate_int(2.0 * k + 1.0);
    case SIP_WAVE_PSEUDO_RANDOM:
      return saturate_int(std::pow(2.0, k) + 0.5);
    case SIP_WAVE_DOUBLE_FREQ:
      return saturate_int(std::pow(9.0, k) + 0.5);
    default:
      return saturate_int(double(k) + 1.0);
  }
}

void SipFillDevPos(const PrmMeas& meas, PrmDev* dev) {
  if (dev->pos_valid) return;
  const int ch_num = clamp_ch_num(dev->ch_num);
  for (int i = 0; i < ch_num; ++i) {
    dev->mx[i] = SipSitePos(meas.first_pole_pos, meas.mn, dev->site_no[i]);
    dev->nx[i] = dev->mx[i] + meas.mn;
    dev->my[i] = 0.0f;
    dev->ny[i] = 0.0f;
  }
  dev->pos_valid = 1;
}

std::string SipChLabel(const ChInfo& info) {
  return std::string(info.dev_name.c_str()) + "_" + std::to_string(int64_t(info.idx_dev_ch) + 1);
}

float CalcChannelK(const PrmMeas& meas, const PrmDev& dev, const ChInfo& ch_info, bool three_electrode) {
  float mx, my, nx, ny;
  if (meas.layout == SIP_ALL_GRADIENT) {
    const int c = ch_info.idx_dev_ch;
    if (c < 0 || c >= MAX_CH_NUM) return std::numeric_limits<float>::quiet_NaN();
    mx = dev.mx[c];
    my = dev.my[c];
    nx = dev.nx[c];
    ny = dev.ny[c];
  } else {
    mx = ch_info.m_pos;
    my = meas.ay + ch_info.vd2ab;
    nx = ch_info.m_pos + ch_info.mn;
    ny = my;
  }
  if (three_electrode && meas.layout == SIP_POLE3_SOUNDING) return algo_geo_k3(meas.ax, meas.ay, mx, my, nx, ny);
  return algo_geo_k4(meas.ax, meas.ay, meas.bx, meas.by, mx, my, nx, ny);
}
