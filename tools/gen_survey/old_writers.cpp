#include "old_writers.h"

#include <cstring>
#include <memory>

#include "core/base/ex_file.h"

namespace {
using FilePtr = std::unique_ptr<FILE, ExFileCloser>;
}

void GenWriteMeas(FILE* fp, const PrmMeas& m, int ver) {
  ex_fwrite_i32(fp, ver);
  ex_fwrite_str(fp, m.prj_name);
  ex_fwrite_i32(fp, m.line_no);
  ex_fwrite_float(fp, m.ax);
  ex_fwrite_float(fp, m.ay);
  ex_fwrite_float(fp, m.bx);
  ex_fwrite_float(fp, m.by);
  ex_fwrite_i32(fp, m.layout);
  ex_fwrite_i32(fp, m.wave);
  ex_fwrite_float(fp, m.freq_base);
  ex_fwrite_i32(fp, m.harm_num);
  ex_fwrite_i32(fp, m.start_time);
  ex_fwrite_str(fp, m.file_name);
  ex_fwrite_i32(fp, m.sample_rate);
  ex_fwrite_i32(fp, m.reserved);
  ex_fwrite_float(fp, m.mn);
  ex_fwrite_float(fp, m.first_pole_pos);
  ex_fwrite_u8(fp, m.curr_station_used);
  ex_fwrite_str(fp, m.cur_station);
  if (ver > 2) ex_fwrite_float(fp, m.v2i);
  ex_fwrite_float(fp, m.cur_value);
}

void GenWriteDev(FILE* fp, const PrmDev& d, int ver) {
  ex_fwrite_i32(fp, ver);
  ex_fwrite_str(fp, d.dev_name);
  ex_fwrite_i32(fp, d.ch_num);
  ex_fwrite_float(fp, d.vd2ab);
  for (int i = 0; i < d.ch_num; ++i) {
    ex_fwrite_i32(fp, d.ch_type[i]);
    ex_fwrite_u16(fp, d.site_no[i]);
  }
  if (ver > 3) {
    ex_fwrite_u8(fp, d.pos_valid);
    for (int i = 0; i < d.ch_num; ++i) {
      ex_fwrite_float(fp, d.mx[i]);
      ex_fwrite_float(fp, d.my[i]);
      ex_fwrite_float(fp, d.nx[i]);
      ex_fwrite_float(fp, d.ny[i]);
    }
  }
}

void GenWriteSpect(FILE* fp, CSpectArray& arr, int ver) {
  const int n = arr.DoGetItemNum();
  ex_fwrite_i32(fp, ver);
  ex_fwrite_i32(fp, arr.DoGetBuffChNum());
  ex_fwrite_i32(fp, arr.DoGetBuffFreqNum());
  ex_fwrite_i32(fp, arr.DoGetBuffHarmNum());
  ex_fwrite_i32(fp, arr.GetChValidMask());
  ex_fwrite_u32(fp, uint32_t(arr.GetGeoType()));
  ex_fwrite_u32(fp, uint32_t(n));
  for (int i = 0; i < n; ++i) {
    SpectItem it = arr.DoGetItem(i);
    ex_fwrite_u8(fp, it.m_valid);
    if (ver >= 2) ex_fwrite_u8(fp, it.bad);
    ex_fwrite_double(fp, it.re);
    ex_fwrite_double(fp, it.im);
    if (ver >= 3) {
      ex_fwrite_float(fp, it.weight);
      ex_fwrite_float(fp, it.coh_ts);
      ex_fwrite_float(fp, it.coh_sp);
    }
  }
}

void GenWriteResult(FILE* fp, CResult& res, int ver) {
  const int ch = res.GetChNum(), fr = res.GetFreqNum(), hm = res.GetHarmNum();
  ex_fwrite_i32(fp, ver);
  ex_fwrite_i32(fp, ch);
  ex_fwrite_i32(fp, fr);
  ex_fwrite_i32(fp, hm);
  ex_fwrite_float(fp, res.GetPosAx());
  ex_fwrite_float(fp, res.GetPosAy());
  ex_fwrite_float(fp, res.GetPosBx());
  ex_fwrite_float(fp, res.GetPosBy());
  ex_fwrite_i32(fp, ch);
  for (int i = 0; i < ch; ++i) {
    ChInfo info = res.GetChInfo(i);
    ex_fwrite_i32(fp, info.idx_dev);
    ex_fwrite_i32(fp, info.idx_dev_ch);
    ex_fwrite_i32(fp, info.site_no);
    if (ver > 4) ex_fwrite_i32(fp, info.line_no);
    ex_fwrite_float(fp, info.mn);
    ex_fwrite_float(fp, info.m_pos);
    ex_fwrite_float(fp, info.vd2ab);
    ex_fwrite_i32(fp, info.ch_type);
  }
  for (int f = 0; f < fr; ++f)
    for (int h = 0; h < hm; ++h) ex_fwrite_float(fp, res.GetFreq(f, h));
  ex_fwrite_i32(fp, ch * fr * hm);
  ex_fwrite_i32(fp, TYPE_CNT);
  for (int i = 0; i < ch; ++i)
    for (int f = 0; f < fr; ++f)
      for (int h = 0; h < hm; ++h) {
        ResItem item = res.GetItem(i, f, h);
        if (ver > 3) ex_fwrite_u8(fp, item.bad);
        for (const ResBlock& b : item.blk) {
          ex_fwrite_float(fp, b.value);
          ex_fwrite_float(fp, b.std);
          ex_fwrite_u32(fp, b.count);
          if (ver > 2) ex_fwrite_float(fp, b.err);
        }
      }
}

bool GenWriteSrs(const std::string& path, CFormatSRS& srs, int srs_ver, int spect_ver, int res_ver) {
  FilePtr fp(ex_fopen(path.c_str(), "wb"));
  if (!fp) return false;
  FILE* f = fp.get();
  const size_t n = srs.m_vt_prm_dev.size();
  ex_fwrite_i32(f, srs_ver);
  ex_fwrite_u32(f, uint32_t(n));
  GenWriteMeas(f, srs.m_prm_meas, srs_ver == 1 ? 2 : (srs_ver < 5 ? 3 : 4));
  for (size_t i = 0; i < n; ++i) {
    GenWriteDev(f, srs.m_vt_prm_dev[i], srs_ver <= 3 ? 3 : 4);
    if (srs_ver > 1) {
      ex_fwrite_double(f, srs.m_gps_lon[i]);
      ex_fwrite_double(f, srs.m_gps_lat[i]);
      ex_fwrite_float(f, srs.m_gps_alti[i]);
    }
  }
  if (srs_ver > 3) SipPubWritePoles(f, srs.m_vt_pole, 4);
  GenWriteSpect(f, srs.m_spect_i, spect_ver);
  GenWriteSpect(f, srs.m_spect_u, spect_ver);
  GenWriteResult(f, srs.m_res, res_ver);
  GenWriteResult(f, srs.m_res_composed, res_ver);
  if (srs_ver >= 2) {
    const int c = srs.m_res.GetChNum();
    ex_fwrite_u32(f, uint32_t(c));
    for (int i = 0; i < c; ++i) {
      ex_fwrite_u8(f, srs.m_valid_sp[size_t(i)] ? 1 : 0);
      ex_fwrite_float(f, srs.m_sp_ac[size_t(i)]);
      ex_fwrite_float(f, srs.m_sp_dc[size_t(i)]);
      ex_fwrite_u8(f, srs.m_valid_groud_r[size_t(i)] ? 1 : 0);
      ex_fwrite_float(f, srs.m_groud_r[size_t(i)]);
    }
  }
  return std::ferror(f) == 0;
}

bool GenWriteSmt(const std::string& path, const SmtContent& s, int ver) {
  FilePtr fp(ex_fopen(path.c_str(), "wb"));
  if (!fp) return false;
  FILE* f = fp.get();
  if (ver > 1) {
    ex_fwrite_u8(f, 0x23);
    ex_fwrite_u8(f, 0x23);
    ex_fwrite_i32(f, ver);
  }
  GenWriteMeas(f, s.meas, ver > 1 ? 4 : 3);
  GenWriteDev(f, s.dev, ver > 1 ? 4 : 3);
  if (ver > 1)
    for (float g : s.gain) ex_fwrite_float(f, g);
  if (ver > 2) {
    ex_fwrite_double(f, s.gps_lon);
    ex_fwrite_double(f, s.gps_lat);
    ex_fwrite_float(f, s.gps_alti);
    ex_fwrite_i32(f, s.mask_sp);
    ex_fwrite_i32(f, s.mask_groud_r);
    for (int i = 0; i < MAX_CH_NUM; ++i) {
      ex_fwrite_float(f, s.sp_ac[i]);
      ex_fwrite_float(f, s.sp_dc[i]);
      ex_fwrite_float(f, s.groud_r[i]);
    }
    ex_fwrite_i32(f, s.start_time);
  }
  // Samples are written in one block: a 2-hour recording has millions.
  std::vector<unsigned char> buf(s.samples.size() * 4);
  for (size_t i = 0; i < s.samples.size(); ++i) {
    uint32_t v;
    std::memcpy(&v, &s.samples[i], 4);
    buf[4 * i] = (unsigned char)v;
    buf[4 * i + 1] = (unsigned char)(v >> 8);
    buf[4 * i + 2] = (unsigned char)(v >> 16);
    buf[4 * i + 3] = (unsigned char)(v >> 24);
  }
  ex_fwrite(f, buf.data(), buf.size());
  return std::ferror(f) == 0;
}
