// SMT file: the raw time series of one acquisition device for one
// acquisition, six channels sampled together behind the measurement record,
// the device record, the channel gains and (version 3 and later) the GPS
// position, self-potential, grounding resistance and start time.
//
// Binary layout (little-endian):
//   "##" int32 version        absent in version 1 files (reading restarts at 0)
//   PrmMeas stream, PrmDev stream
//   float gain[6]             version > 1
//   double lon, double lat, float alti, int32 mask_sp, int32 mask_groud_r,
//   6 x (float sp_ac, float sp_dc, float groud_r), int32 start_time
//                             version > 2
//   rows x 6 float            samples to the end of the file, row by row;
//                             rows = remaining bytes / 24, rounded down
//
// Stored samples are volts x gain of their channel.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/sip/format.h"
#include "core/sip/sip_pub.h"

// Version written by WriteFile; every version from 1 up is read.
constexpr int32_t SMT_FILE_VER = SIP_TS_FILE_VER;

class CFormatSmt : public CFormat {
public:
  CFormatSmt();
  CFormatSmt(const CFormatSmt&) = default;
  CFormatSmt(CFormatSmt&&) = default;
  CFormatSmt& operator=(const CFormatSmt&) = default;
  CFormatSmt& operator=(CFormatSmt&&) = default;
  // Leaves the sample buffers to the next object of this thread that reads a
  // file.
  ~CFormatSmt() override;

  const char* GetExt() const override { return "SMT"; }
  // Replaces the whole object on success: the header fields a file lacks
  // have their defaults, and the previous samples are freed. A failed read
  // changes nothing and GetError() tells why, with the byte offset.
  bool ReadFile(FILE* fp) override;
  // Writes version SMT_FILE_VER with every header block and all samples.
  bool WriteFile(FILE* fp) override;
  bool PrintFile(FILE* fp) override;

  // out[i] = stored sample (idx_ch, idx_begin_rows + i) / m_gain[idx_ch], in
  // volts, for i < rows_num; out must hold rows_num values (the vector form
  // is resized to it). False (out untouched) unless 0 <= idx_ch < MAX_CH_NUM, the rows lie inside the data
  // and the gain is positive.
  bool GetData(int idx_ch, int idx_begin_rows, int rows_num, float* out) const;
  bool GetData(int idx_ch, int idx_begin_rows, int rows_num, std::vector<float>* out) const;
  // 1 when any of the rows is over range for channel idx_ch, else 0 (also
  // for arguments outside the data). The test is on the stored values: a
  // channel is over range at |s| >= 1.2, and channels 0, 1, 4, 5 also when
  // the partial sums of their amplifier chain reach it (s0+s1+s2, s1+s2,
  // s3+s4, s3+s4+s5).
  int IsOverRange(int idx_ch, int idx_begin_rows, int rows_num) const;
  // GetData and IsOverRange of the same rows in one pass over them: the
  // over-range flag (0 or 1), or -1 (out untouched) where GetData fails.
  int GetDataOverRange(int idx_ch, int idx_begin_rows, int rows_num, float* out) const;
  // Drops the samples; m_data_rows becomes 0. The header fields stay.
  void Clear();
  // Reads after this call take the header only: the samples are measured
  // (a count that cannot be held still fails the file) but not read, and
  // m_data_rows stays 0. For checks that need the acquisition parameters.
  void SetSkipSamples(bool skip) { m_skip_samples = skip; }

  // Replaces the samples with stored values (volts x gain), one vector per
  // channel. False, and nothing changed, unless all six have the same size
  // and that size fits an int32.
  bool SetData(const std::vector<float> (&data)[MAX_CH_NUM]);
  // Stored samples of one channel (m_data_rows values); empty outside 0..5.
  const std::vector<float>& GetRawData(int idx_ch) const;
  int GetDataRows() const { return m_data_rows; }
  // Version of the file last read; SMT_FILE_VER for a new object.
  int GetFileVer() const { return m_ver; }

  PrmDev m_prm_dev;
  PrmMeas m_prm_meas;
  float m_gain[MAX_CH_NUM];
  // Samples per channel. Read-only for users of the class: Read, SetData and
  // Clear keep it equal to the size of every sample buffer.
  int32_t m_data_rows = 0;
  double m_gps_lon = 0.0;  // ddmm.mmmm
  double m_gps_lat = 0.0;  // ddmm.mmmm
  float m_gps_alti = 0.0f; // m
  int32_t m_mask_sp = 0;   // bit i: self-potential of channel i valid
  float m_sp_ac[MAX_CH_NUM];  // V
  float m_sp_dc[MAX_CH_NUM];  // V
  int32_t m_mask_groud_r = 0; // bit i: grounding resistance of channel i valid
  float m_groud_r[MAX_CH_NUM]; // ohm
  int32_t m_start_time = 0;    // seconds since 1970

private:
  void ResetHeader();
  // Rows that every buffer really holds; guards against a caller that wrote
  // m_data_rows.
  int ValidRows() const;
  bool CanGetData(int idx_ch, int idx_begin_rows, int rows_num) const;
  bool ReadBody(FILE* fp, std::string* why);
  bool ReadSamples(FILE* fp, std::string* why);
  void TakeContents(CFormatSmt& from);

  std::vector<float> m_data[MAX_CH_NUM];
  // Buffers of the previous contents, reused by the next read (or, in a new
  // object, those a destroyed one left behind).
  std::vector<float> m_spare[MAX_CH_NUM];
  int32_t m_ver = SMT_FILE_VER;
  bool m_skip_samples = false;
};
