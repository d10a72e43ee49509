// Writers of every stream version the readers accept, written here field by
// field and independently of the readers, so that the readers are tested
// against bytes they did not produce themselves.
#pragma once

#include <cstdio>
#include <vector>

#include "core/sip/format_srs.h"
#include "core/sip/sip_pub.h"

// SMT sample file contents; samples are the stored values (volts x gain).
struct SmtContent {
  PrmMeas meas;
  PrmDev dev;
  float gain[MAX_CH_NUM] = {1, 1, 1, 1, 1, 1};
  double gps_lon = 0.0;
  double gps_lat = 0.0;
  float gps_alti = 0.0f;
  int32_t mask_sp = 0;
  int32_t mask_groud_r = 0;
  float sp_ac[MAX_CH_NUM] = {};
  float sp_dc[MAX_CH_NUM] = {};
  float groud_r[MAX_CH_NUM] = {};
  int32_t start_time = 0;
  int rows = 0;
  std::vector<float> samples;  // rows x 6, row by row
};

constexpr int GEN_SMT_VER = 3;

void GenWriteMeas(FILE* fp, const PrmMeas& meas, int ver);
void GenWriteDev(FILE* fp, const PrmDev& dev, int ver);
void GenWriteSpect(FILE* fp, CSpectArray& arr, int ver);
void GenWriteResult(FILE* fp, CResult& res, int ver);
// An SRS file of version srs_ver (1..5) with the spectrum and result stream
// versions given.
bool GenWriteSrs(const std::string& path, CFormatSRS& srs, int srs_ver, int spect_ver, int res_ver);
// An SMT file of version 1 (no magic, no gains), 2 (gains) or 3 (GPS block).
bool GenWriteSmt(const std::string& path, const SmtContent& smt, int ver);
