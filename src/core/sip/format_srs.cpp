#include "core/sip/format_srs.h"


#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include "core/base/clog.h"
#include "core/base/ex_file.h"
#include "core/base/ex_string.h"
#include "core/base/num_text.h"
#include "core/base/platform.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kHalfPi = kPi / 2.0;
// Smallest possible device record: version, empty name (count 0), ch_num, vd2ab.
constexpr long kMinDevBytes = 16;

// CP and impedance phases are shown folded into +-pi/2; the flag tells that
// a fold happened.
double fold_half(double ph, int* flag) {
  if (ph > kHalfPi) {
    if (flag) *flag = 1;
    return ph - kPi;
  }
  if (ph < -kHalfPi) {
    if (flag) *flag = 1;
    return ph + kPi;
  }
  if (flag) *flag = 0;
  return ph;
}

// Products of stored floats and plain constants stay in single precision, as
// the acquisition stations print them; only the folds use double pi.
float rel_percent(const ResBlock& b) { return b.err / b.value * 100.0f; }

const char* name_or_unknown(const char* name) { return name ? name : "unknown"; }

// Site numbers are printed 1-based; a stored INT_MAX must not overflow.
std::string SiteNoText(int32_t site_no) { return std::to_string(int64_t(site_no) + 1); }

}  // namespace

void CFormatSRS::SetPrmDev(int idx_dev, const PrmDev& dev) {
  if (idx_dev >= 0 && idx_dev < int(m_vt_prm_dev.size())) m_vt_prm_dev[size_t(idx_dev)] = dev;
}

void CFormatSRS::CopySpectU(const CFormatSRS& other) {
  if (&other != this) m_spect_u = other.m_spect_u;
}

void CFormatSRS::CopySpectI(const CFormatSRS& other) {
  if (&other != this) m_spect_i = other.m_spect_i;
}

bool CFormatSRS::ReadWithoutSpectra(const std::string& path) {
  const bool skip = m_skip_spectra;
  m_skip_spectra = true;
  const bool ok = Read(path);
  m_skip_spectra = skip;
  return ok;
}

CFormatSRS::Stamp CFormatSRS::StampOf(FILE* fp) {
  Stamp s;
  PlatformFileStamp st;
  if (!platform_fstamp(fp, &st)) return s;
  s.size = st.size;
  s.mtime_s = st.mtime_s;
  s.mtime_ns = st.mtime_ns;
  s.id = st.id;
  return s;
}

bool CFormatSRS::ReadSpectra() {
  if (HasSpectra()) return true;
  m_error.clear();
  m_reason.clear();
  NoteRead(m_path);
  std::string why;
  std::unique_ptr<FILE, ExFileCloser> fp(ex_fopen_regular(m_path, &why));
  if (!fp) {
    const int err = errno;
    m_error = "cannot open the file: " + why;
    m_reason = Reason::System(ReasonCode::CannotOpen, m_path, err, m_error);
    return false;
  }
  auto fail = [this](const std::string& text) {
    CLOG_ERR("SRS file %s: %s", m_path.c_str(), text.c_str());
    m_error = text;
    m_reason = Reason::Of(ReasonCode::Other, text);
    m_reason.file = m_path;
    return false;
  };
  // The results shown came from the file as it was; spectra of another
  // version of it would not belong to them.
  if (!(StampOf(fp.get()) == m_stamp)) return fail("the file has changed since it was read");
  if (ex_fseek_set(fp.get(), m_spect_at) != 0) return fail("spectra at byte " + std::to_string(m_spect_at) + " missing");
  CSpectArray spect_i, spect_u;
  std::string detail;
  if (!spect_i.DoRead(fp.get(), &detail)) return fail("current spectrum array at byte " + std::to_string(m_spect_at) + ": " + detail);
  if (!spect_u.DoRead(fp.get(), &detail)) return fail("voltage spectrum array: " + detail);
  m_spect_i.Swap(spect_i);
  m_spect_u.Swap(spect_u);
  m_spect_at = -1;
  return true;
}

bool CFormatSRS::ReadFile(FILE* fp) {
  CFormatSRS fresh;
  fresh.SetSkipItems(m_skip_spectra, m_skip_results);
  fresh.m_stamp = StampOf(fp);
  std::string why;
  if (!fresh.ReadBody(fp, &why)) {
    CLOG_ERR("SRS file: %s", why.c_str());
    m_error = why;
    m_reason = fresh.m_reason;
    return false;
  }
  TakeContents(fresh);
  m_error.clear();
  return true;
}

void CFormatSRS::TakeContents(CFormatSRS& from) {
  m_prm_meas = from.m_prm_meas;
  m_res.Swap(from.m_res);
  m_res_composed.Swap(from.m_res_composed);
  m_spect_u.Swap(from.m_spect_u);
  m_spect_i.Swap(from.m_spect_i);
  m_valid_sp.swap(from.m_valid_sp);
  m_sp_ac.swap(from.m_sp_ac);
  m_sp_dc.swap(from.m_sp_dc);
  m_valid_groud_r.swap(from.m_valid_groud_r);
  m_groud_r.swap(from.m_groud_r);
  m_vt_prm_dev.swap(from.m_vt_prm_dev);
  m_gps_lon.swap(from.m_gps_lon);
  m_gps_lat.swap(from.m_gps_lat);
  m_gps_alti.swap(from.m_gps_alti);
  m_vt_pole.swap(from.m_vt_pole);
  m_ver = from.m_ver;
  m_missing_after = from.m_missing_after;
  m_warning.swap(from.m_warning);
  m_spect_at = from.m_spect_at;
  m_stamp = from.m_stamp;
}

bool CFormatSRS::ReadBody(FILE* fp, std::string* why) {
  long at = 0;
  std::string detail;
  auto fail = [&](const char* what) {
    *why = std::string(what) + " at byte " + std::to_string(at) + (detail.empty() ? "" : ": " + detail);
    m_reason = Reason::Damaged(what, at, *why);
    return false;
  };
  int32_t ver = 0;
  if (!ex_fread_i32_ok(fp, &ver)) {
    detail = "file is empty";
    return fail("version");
  }
  if (ver >= 6 || ver < 0) {
    detail = "version " + std::to_string(ver) + " not supported";
    return fail("version");
  }
  uint32_t dev_num = ex_fread_u32(fp, 0);
  at = ex_ftell(fp);
  if (!SipPubReadMeas(fp, &m_prm_meas, &detail)) return fail("measurement record");
  at = ex_ftell(fp);
  const long remain = ex_fremain(fp);
  if (double(dev_num) * kMinDevBytes > double(remain)) {
    detail = std::to_string(dev_num) + " devices, " + std::to_string(remain) + " bytes left";
    return fail("device records");
  }

  for (uint32_t i = 0; i < dev_num; ++i) {
    at = ex_ftell(fp);
    PrmDev dev;
    if (!SipPubReadDev(fp, &dev, &detail)) {
      detail = "device " + std::to_string(i + 1) + " of " + std::to_string(dev_num) + ": " + detail;
      return fail("device record");
    }
    double lon = 0.0, lat = 0.0;
    float alti = 0.0f;
    if (ver > 1) {
      lon = ex_fread_double(fp, 0.0);
      lat = ex_fread_double(fp, 0.0);
      alti = ex_fread_float(fp, 0.0f);
    }
    if (!dev.pos_valid) SipFillDevPos(m_prm_meas, &dev);
    m_vt_prm_dev.push_back(dev);
    m_gps_lon.push_back(lon);
    m_gps_lat.push_back(lat);
    m_gps_alti.push_back(alti);
  }

  at = ex_ftell(fp);
  if (ver > 3 && !SipPubReadPoles(fp, &m_vt_pole, 4, &detail)) return fail("electrode list");

  at = ex_ftell(fp);
  m_spect_at = m_skip_spectra ? at : -1;
  if (!m_spect_i.DoRead(fp, &detail, m_skip_spectra)) return fail("current spectrum array");
  at = ex_ftell(fp);
  if (!m_spect_u.DoRead(fp, &detail, m_skip_spectra)) return fail("voltage spectrum array");
  at = ex_ftell(fp);
  const long res_at = at;
  if (!m_res.DoRead(fp, &detail, nullptr, m_skip_results)) return fail("single-frequency result");
  // A file cut short at its end keeps what was written before the cut: the
  // composed result may lose its last items, the self-potential block any
  // part.
  at = ex_ftell(fp);
  const long composed_at = at;
  bool short_tail = false;
  if (!m_res_composed.DoRead(fp, &detail, &short_tail, m_skip_results)) return fail("composed-frequency result");

  const size_t ch_num = size_t(m_res.GetChNum());
  m_valid_sp.assign(ch_num, false);
  m_sp_ac.assign(ch_num, 0.0f);
  m_sp_dc.assign(ch_num, 0.0f);
  m_valid_groud_r.assign(ch_num, false);
  m_groud_r.assign(ch_num, 0.0f);
  if (ver >= 2) {
    at = ex_ftell(fp);
    uint32_t c = 0;
    if (short_tail || !ex_fread_u32_ok(fp, &c)) {
      short_tail = true;
    } else if (c != ch_num) {
      detail = std::to_string(c) + " channels, the result has " + std::to_string(ch_num);
      return fail("self-potential block");
    }
    unsigned char rec[14];
    for (size_t i = 0; i < ch_num && !short_tail; ++i) {
      if (ex_fread(fp, rec, sizeof(rec)) != sizeof(rec)) {
        short_tail = true;
        break;
      }
      m_valid_sp[i] = rec[0] != 0;
      m_sp_ac[i] = ex_le_float(rec + 1);
      m_sp_dc[i] = ex_le_float(rec + 5);
      m_valid_groud_r[i] = rec[9] != 0;
      m_groud_r[i] = ex_le_float(rec + 10);
    }
  }

  CResultSip* results[2] = {&m_res, &m_res_composed};
  for (CResultSip* r : results) {
    r->SetPos(m_prm_meas.ax, m_prm_meas.ay, m_prm_meas.bx, m_prm_meas.by);
    const int n = r->GetChNum();
    for (int i = 0; i < n; ++i) {
      ChInfo info = r->GetChInfo(i);
      if (info.idx_dev < 0 || info.idx_dev >= int(m_vt_prm_dev.size())) {
        at = r == &m_res ? res_at : composed_at;
        detail = "channel " + std::to_string(i) + " names device " + std::to_string(info.idx_dev) + " of " +
                 std::to_string(m_vt_prm_dev.size());
        return fail(r == &m_res ? "single-frequency result" : "composed-frequency result");
      }
      const PrmDev& dev = m_vt_prm_dev[size_t(info.idx_dev)];
      // A channel the device record does not hold has no type, site or
      // electrode positions: every later use would read past them.
      if (info.idx_dev_ch < 0 || info.idx_dev_ch >= dev.ch_num) {
        at = r == &m_res ? res_at : composed_at;
        detail = "channel " + std::to_string(i) + " names channel " + std::to_string(info.idx_dev_ch) +
                 " of device " + std::to_string(info.idx_dev) + ", which has " + std::to_string(dev.ch_num);
        return fail(r == &m_res ? "single-frequency result" : "composed-frequency result");
      }
      info.dev_name = m_vt_prm_dev[size_t(info.idx_dev)].dev_name;
      info.line_no = m_prm_meas.line_no;
      r->SetChInfo(i, info);
    }
  }
  m_ver = ver;
  m_missing_after = -1;
  m_warning.clear();
  if (short_tail) {
    m_missing_after = ex_fsize(fp);
    m_warning = "data after byte " + std::to_string(m_missing_after) + " are missing";
    CLOG_WARN("SRS file: %s", m_warning.c_str());
  }
  return true;
}

bool CFormatSRS::WriteFile(FILE* fp) {
  if (!ReadSpectra()) return false;
  const size_t dev_num = m_vt_prm_dev.size();
  ex_fwrite_i32(fp, SRS_FILE_VER);
  ex_fwrite_u32(fp, uint32_t(dev_num));
  SipPubWriteMeas(fp, m_prm_meas);
  for (size_t i = 0; i < dev_num; ++i) {
    SipPubWriteDev(fp, m_vt_prm_dev[i]);
    ex_fwrite_double(fp, i < m_gps_lon.size() ? m_gps_lon[i] : 0.0);
    ex_fwrite_double(fp, i < m_gps_lat.size() ? m_gps_lat[i] : 0.0);
    ex_fwrite_float(fp, i < m_gps_alti.size() ? m_gps_alti[i] : 0.0f);
  }
  SipPubWritePoles(fp, m_vt_pole, 4);
  bool ok = m_spect_i.DoWrite(fp);
  ok = m_spect_u.DoWrite(fp) && ok;
  ok = m_res.DoWrite(fp) && ok;
  ok = m_res_composed.DoWrite(fp) && ok;

  const size_t ch_num = size_t(m_res.GetChNum());
  ex_fwrite_u32(fp, uint32_t(ch_num));
  for (size_t i = 0; i < ch_num; ++i) {
    ex_fwrite_u8(fp, i < m_valid_sp.size() && m_valid_sp[i] ? 1 : 0);
    ex_fwrite_float(fp, i < m_sp_ac.size() ? m_sp_ac[i] : 0.0f);
    ex_fwrite_float(fp, i < m_sp_dc.size() ? m_sp_dc[i] : 0.0f);
    ex_fwrite_u8(fp, i < m_valid_groud_r.size() && m_valid_groud_r[i] ? 1 : 0);
    ex_fwrite_float(fp, i < m_groud_r.size() ? m_groud_r[i] : 0.0f);
  }
  return ok && std::ferror(fp) == 0;
}

CFormatSRS::SpTexts CFormatSRS::SpTextsOf(int ch) const {
  SpTexts t;
  const size_t k = size_t(ch);
  if (k < m_valid_sp.size() && m_valid_sp[k] && k < m_sp_ac.size() && k < m_sp_dc.size()) {
    std::snprintf(t.ac, sizeof(t.ac), "%.2f", double(m_sp_ac[k] * 1000.0f));
    std::snprintf(t.dc, sizeof(t.dc), "%.2f", double(m_sp_dc[k] * 1000.0f));
  }
  if (k < m_valid_groud_r.size() && m_valid_groud_r[k] && k < m_groud_r.size())
    std::snprintf(t.gr, sizeof(t.gr), "%.2f", double(m_groud_r[k] / 1000.0f));
  return t;
}

void CFormatSRS::PrintFreqTable(FILE* fp, CResultSip& r) {
  const int ch_num = r.GetChNum();
  const int harm_num = r.GetHarmNum();
  for (int j = 0; j < harm_num; ++j) {
    std::fprintf(fp, "%dth frequency: %fHz\n", j + 1, r.GetFreq(0, j));
    std::fprintf(fp, "%10s%14s%14s%16s%14s%14s%11s%11s%10s%10s%6s%6s%14s%14s%14s\n", "site_no", "m_pos(m)",
                 "VD2AB(m)", "App(Ω·m)", "Err(%)", "CP(mrad)", "Err(mrad)", "FS(%)", "Err(%)", "Dev_ch", "R_PH",
                 "IsBad", "sp_ac(mV)", "sp_dc(mV)", "GroudR(KΩ)");
    for (int i = 0; i < ch_num; ++i) {
      ResItem item = r.GetItem(i, 0, j);
      if (item.blk[RES_APP].count == 0) continue;
      ChInfo info = r.GetChInfo(i);
      int fold = 0;
      double cp = fold_half(item.blk[RES_CP].value, &fold);
      SpTexts sp = SpTextsOf(i);
      std::fprintf(fp, "%10s%14.3f%14.3f%14.3E%14.2f%14.1f%11.1f%11.1f%10.2f%10s%6d%6d%14s%14s%14s\n",
                   SiteNoText(info.site_no).c_str(), info.m_pos, info.vd2ab, item.blk[RES_APP].value, double(rel_percent(item.blk[RES_APP])),
                   cp * 1000.0, double(item.blk[RES_CP].err * 1000.0f), double(item.blk[RES_FS].value * 100.0f),
                   double(item.blk[RES_FS].err * 100.0f), SipChLabel(info).c_str(), fold, item.bad ? 1 : 0, sp.ac,
                   sp.dc, sp.gr);
    }
    std::fputs("\n", fp);
  }
}

void CFormatSRS::PrintChannelTable(FILE* fp, CResultSip& r) {
  std::fprintf(fp, "%10s%14s%10s%14s%16s%14s%14s%11s%14s%11s%11s%10s%10s%6s%14s%14s%14s\n", "iFreq", "freq(Hz)",
               "iSeq", "m_pos(m)", "App(Ω·m)", "Err(%)", "PH(mrad)", "Err(mrad)", "CP(mrad)", "Err(mrad)", "FS(%)",
               "Err(%)", "Dev_ch", "R_PH", "sp_ac(mV)", "sp_dc(mV)", "GroudR(KΩ)");
  const int ch_num = r.GetChNum();
  const int harm_num = r.GetHarmNum();
  std::string rows;
  for (int i = 0; i < ch_num; ++i) {
    ChInfo info = r.GetChInfo(i);
    SpTexts sp = SpTextsOf(i);
    const std::string site = SiteNoText(info.site_no);
    const std::string label = SipChLabel(info);
    // The rows of "%10d%14.3f%10s%14.3f%14.3E%14.2f%14.1f%11.1f%14.1f%11.1f
    // %11.1f%10.2f%10s%6d%14s%14s%14s\n", built without printf: a large
    // file has tens of thousands of them.
    rows.clear();
    for (int j = 0; j < harm_num; ++j) {
      ResItem item = r.GetItem(i, 0, j);
      if (item.blk[RES_APP].count == 0) continue;
      int fold = 0;
      double zph = fold_half(item.blk[RES_Z_PH].value, nullptr);
      double cp = fold_half(item.blk[RES_CP].value, &fold);
      AppendInt(rows, j, 10);
      AppendFixed(rows, double(r.GetFreq(0, j)), 3, 14);
      AppendStr(rows, site.c_str(), 10);
      AppendFixed(rows, double(info.m_pos), 3, 14);
      AppendSciUpper(rows, double(item.blk[RES_APP].value), 3, 14);
      AppendFixed(rows, double(rel_percent(item.blk[RES_APP])), 2, 14);
      AppendFixed(rows, zph * 1000.0, 1, 14);
      AppendFixed(rows, double(item.blk[RES_Z_PH].err * 1000.0f), 1, 11);
      AppendFixed(rows, cp * 1000.0, 1, 14);
      AppendFixed(rows, double(item.blk[RES_CP].err * 1000.0f), 1, 11);
      AppendFixed(rows, double(item.blk[RES_FS].value * 100.0f), 1, 11);
      AppendFixed(rows, double(item.blk[RES_FS].err * 100.0f), 2, 10);
      AppendStr(rows, label.c_str(), 10);
      AppendInt(rows, fold, 6);
      AppendStr(rows, sp.ac, 14);
      AppendStr(rows, sp.dc, 14);
      AppendStr(rows, sp.gr, 14);
      rows += '\n';
    }
    std::fwrite(rows.data(), 1, rows.size(), fp);
  }
}

bool CFormatSRS::PrintFile(FILE* fp) {
  if (m_dump_res) {
    std::fputs("\nresult for composed frequency\n", fp);
    PrintChannelTable(fp, m_res_composed);
    std::fputs("\nresult for signal frequency\n", fp);
    PrintChannelTable(fp, m_res);
    return std::ferror(fp) == 0;
  }

  if (!ReadSpectra()) return false;
  const PrmMeas& m = m_prm_meas;
  char time_buf[EX_TIME_STR_LEN];
  ex_time_str(time_t(m.start_time), time_buf);
  std::fprintf(fp, "file name: %s\n", m.file_name);
  std::fprintf(fp, "project name: %s\n", m.prj_name);
  std::fprintf(fp, "line no: %d\n", m.line_no);
  std::fprintf(fp, "power A position: %f\n", m.ax);
  std::fprintf(fp, "power B position: %f\n", m.bx);
  std::fprintf(fp, "layout type: %s\n", name_or_unknown(SipLayoutName(m.layout)));
  std::fprintf(fp, "MN(m): %f\n", m.mn);
  std::fprintf(fp, "first pole position: %f\n", m.first_pole_pos);
  std::fprintf(fp, "start time: %s\n", time_buf);
  std::fprintf(fp, "harmonic number: %d\n", m.harm_num);
  std::fprintf(fp, "waveform: %s\n", name_or_unknown(SipWaveName(m.wave)));
  std::fprintf(fp, "base frequency: %f\n", m.freq_base);
  std::fprintf(fp, "start time: %s\n", time_buf);
  std::fprintf(fp, "samplerate:%d\n", m.sample_rate);
  if (m.curr_station_used) {
    std::fprintf(fp, "electric current station: %s\n", m.cur_station);
    std::fprintf(fp, "voltage to electric current：%fmV/A\n", double(m.v2i * 1000.0f));
  } else {
    std::fprintf(fp, "electric current value: %fA\n", m.cur_value);
  }

  if (m.wave == SIP_WAVE_SPREAD_SPECTRUM) {
    std::fputs("\nresult for composed frequency\n", fp);
    PrintFreqTable(fp, m_res_composed);
  }
  std::fputs("\nresult for signal frequency\n", fp);
  PrintFreqTable(fp, m_res);

  char buf[SIP_STR_LEN + 128];
  std::fputs("\ncurrent spectrum\n", fp);
  std::fputs("amp unit: A\n", fp);
  std::fputs("ph unit: mrad\n", fp);
  std::snprintf(buf, sizeof(buf), "dev_ch=%s_%d", m.cur_station, 4);
  std::vector<std::string> comment_i(size_t(std::max(0, m_spect_i.DoGetBuffChNum())), std::string(buf));
  m_spect_i.DoDump(fp, &comment_i);

  std::fputs("\nvoltage spectrum\n", fp);
  std::fputs("amp unit: V\n", fp);
  std::fputs("ph unit: mrad\n", fp);
  const int ch_u = m_spect_u.DoGetBuffChNum();
  std::vector<std::string> comment_u;
  for (int i = 0; i < ch_u; ++i) {
    if (i < m_res.GetChNum()) {
      ChInfo info = m_res.GetChInfo(i);
      std::snprintf(buf, sizeof(buf), "dev_ch=%s_%lld, site_no=%s, m_pos=%f", info.dev_name.c_str(),
                    (long long)info.idx_dev_ch + 1, SiteNoText(info.site_no).c_str(), info.m_pos);
      comment_u.emplace_back(buf);
    } else {
      comment_u.emplace_back();
    }
  }
  m_spect_u.DoDump(fp, &comment_u);
  return std::ferror(fp) == 0;
}
