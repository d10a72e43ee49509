// SRS file: everything known about one acquisition of one transmitter
// position. Reads versions 1..5, writes version 5.
#pragma once

#include <string>
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
  // A file cut short at its end reads what is there; the last read then
  // gives the byte offset after which data are missing (the bytes present),
  // and GetWarning() says so in one line. -1 and empty for a complete file.
  long GetMissingAfter() const { return m_missing_after; }
  const std::string& GetWarning() const { return m_warning; }
  // Later reads check every part of a file but pass over the items of its
  // spectra and/or results, which then stay empty or reset: the layout,
  // devices and channel entries of a file (to group files before they are
  // read in full), or the spectra without the stored results (which an
  // export calculates anew), for less of the time.
  void SetSkipItems(bool spectra, bool results) {
    m_skip_spectra = spectra;
    m_skip_results = results;
  }
  // One read that checks the whole file but leaves the spectrum items where
  // they are, for a reader that shows results only: by far the larger part
  // of a file, and none of what a result table or plot shows.
  bool ReadWithoutSpectra(const std::string& path);
  // False while the spectrum items of the last read are still in the file.
  bool HasSpectra() const { return m_spect_at < 0; }
  // Takes those items from the file the last read read, if it is still that
  // file (same size, modification time and file id; an atomic save makes a
  // new one). False, with GetError and GetReason, when it cannot be opened,
  // has changed or does not read; the object is then unchanged. Writing the
  // file or its full dump takes them first, so that a lean read is never
  // written out without its spectra.
  bool ReadSpectra();
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
  // Parses into this object, which must be fresh; why gets the reason of a
  // failure with the byte offset of the part that failed.
  bool ReadBody(FILE* fp, std::string* why);
  // Takes every data member of from (a fresh object just read).
  void TakeContents(CFormatSRS& from);

  // Identity of the file a read read: size, modification time, file id.
  struct Stamp {
    int64_t size = -1, mtime_s = 0, mtime_ns = 0, id = 0;
    bool operator==(const Stamp& o) const {
      return size == o.size && mtime_s == o.mtime_s && mtime_ns == o.mtime_ns && id == o.id;
    }
  };
  static Stamp StampOf(FILE* fp);

  long m_missing_after = -1;
  std::string m_warning;
  long m_spect_at = -1;  // offset of the spectra a read passed over, else -1
  Stamp m_stamp;
  bool m_skip_spectra = false;
  bool m_skip_results = false;

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
