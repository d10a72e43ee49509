// SRS file: everything known about one acquisition of one transmitter
// position. Reads versions 1..5, writes version 5.
#pragma once

#include <vector>

#include "core/sip/format.h"
#include "core/sip/result_sip.h"
#include "core/sip/sip_pub.h"
#include "core/sip/spect_array.h"

constexpr int SRS_FILE_VER = 5;

class CFormatSRS : public CFormat {
public:
  CFormatSRS() = default;

  const char* GetExt() const override { return "SRS"; }
  bool ReadFile(FILE* fp) override;
  bool WriteFile(FILE* fp) override;
  bool PrintFile(FILE* fp) override;

  int GetFileVer() const { return m_ver; }
  void SetPrmDev(int idx_dev, const PrmDev& dev);
  void CopySpectU(const CFormatSRS& other);
  void CopySpectI(const CFormatSRS& other);

  PrmMeas m_prm_meas;
  bool m_dump_res = false;  // text form: false full dump, true result tables only
  CResultSip m_res;          // single-frequency result
  CResultSip m_res_composed; // composed-frequency result
  CSpectArray m_spect_u;     // voltage spectra, one channel per entry of m_res
  CSpectArray m_spect_i;     // current spectrum, one channel
  std::vector<bool> m_valid_sp;
  std::vector<float> m_sp_ac;  // V
  std::vector<float> m_sp_dc;  // V
  std::vector<bool> m_valid_groud_r;
  std::vector<float> m_groud_r;  // ohm
  std::vector<PrmDev> m_vt_prm_dev;
  std::vector<double> m_gps_lon;  // ddmm.mmmm
  std::vector<double> m_gps_lat;  // ddmm.mmmm
  std::vector<float> m_gps_alti;  // m
  std::vector<PrmPole> m_vt_pole;
  int32_t m_ver = SRS_FILE_VER;

private:
  // Self-potential AC and DC (mV) and grounding resistance (kOhm) of one
  // channel as printed, "*" where missing.
  struct SpTexts {
    char ac[32] = "*";
    char dc[32] = "*";
    char gr[32] = "*";
  };
  SpTexts SpTextsOf(int ch) const;
  void PrintFreqTable(FILE* fp, CResultSip& r);
  void PrintChannelTable(FILE* fp, CResultSip& r);
};
