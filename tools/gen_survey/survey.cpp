#include "survey.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "core/base/algo.h"
#include "core/base/ex_file.h"
#include "core/base/ex_string.h"
#include "old_writers.h"
#include "core/processing/sip_spect2res.h"
#include "core/processing/synth_current.h"
#include "rng.h"
#include "core/sip/format_srs.h"

namespace {

using cplx = std::complex<double>;
constexpr double kPi = ALGO_PI;

struct WaveSetup {
  float freq_base;
  int harm_num;
  int sample_rate;
};

WaveSetup setup_for(int wave) {
  switch (wave) {
    case SIP_WAVE_SQUARE: return {0.25f, 3, 15};
    case SIP_WAVE_PSEUDO_RANDOM: return {0.25f, 5, 150};
    case SIP_WAVE_DOUBLE_FREQ: return {0.25f, 3, 150};
    default: return {0.25f, 16, 15};
  }
}

// Composed points of a spread-spectrum file: 16 harmonics in 4 points.
constexpr int kComposedGroup = 4;

// Where the generated flaws sit, so that tests can find them.
struct Flaws {
  int spike_entry = -1;  // channel entry whose segment holds an over-range sample
  int spike_cal = -1;
  int spike_t0 = 0;
  int invalid_entry = -1;  // last calculation invalid from the middle harmonic on
  int empty_entry = -1;    // no valid item at all
};

struct FileModel {
  CFormatSRS srs;
  std::string base;
  std::vector<int> receivers;  // device indices of the receiver devices
  int cur_dev = -1;            // device index of the current station
  int L = 0;                   // samples per segment
  std::vector<int> bins;       // FFT bin of each harmonic
  std::vector<cplx> u;         // [entry][cal][harm], clean signal of each segment
  std::vector<cplx> cur;       // [cal][harm], amperes
  std::vector<float> gain;     // [dev][ch]
  Flaws flaws;
  std::string truth;  // lines of cole_cole_truth.csv
  int n_entries = 0;
  int cals = 0;
  int harm = 0;

  cplx& U(int e, int c, int k) { return u[(size_t(e) * cals + size_t(c)) * harm + size_t(k)]; }
  cplx& I(int c, int k) { return cur[size_t(c) * harm + size_t(k)]; }
};

// Cole-Cole apparent resistivity: rho0 (1 - m (1 - 1 / (1 + (i w tau)^c))).
cplx cole_cole(double rho0, double m, double tau, double c, double f) {
  cplx iwt = cplx(0.0, 2.0 * kPi * f * tau);
  return rho0 * (1.0 - m * (1.0 - 1.0 / (1.0 + std::pow(iwt, c))));
}

// Cole-Cole surveys: harmonics 1 ... 8192 of 0.125 Hz (0.125 Hz to 1024 Hz),
// one file of only two points after the others.
constexpr float kCcFreqBase = 0.125f;
constexpr int kCcHarmNum = 14;
constexpr int kCcShortHarmNum = 2;
constexpr int kCcSampleRate = 4096;

// The model of a Cole-Cole survey's entry e of ne: entry 0 without
// polarization, the last one dead (no voltage), the others cycling through
// tau from the band's high edge (1 / (2 pi 1024 Hz)) to its low edge
// (1 / (2 pi 0.125 Hz)), in blocks of six noise-free then six noisy ones.
struct CcTruth {
  const char* kind;  // clean, noisy, flat, dead
  double rho0, m, tau, c;
};

CcTruth cc_truth(int e, int ne, double pos) {
  static const double kTau[] = {1.6e-4, 1e-3, 1e-2, 0.1, 1.0, 1.25};
  static const double kM[] = {0.1, 0.3, 0.5, 0.2, 0.6};
  static const double kC[] = {0.3, 0.5, 0.7, 0.9};
  const double rho0 = 100.0 * (1.0 + 0.6 * std::sin(pos / 70.0));
  if (e == 0) return {"flat", rho0, 0.0, 0.01, 0.5};
  if (ne > 2 && e == ne - 1) return {"dead", rho0, 0.0, 0.01, 0.5};
  const int j = e - 1;
  return {(j / 6) % 2 == 0 ? "clean" : "noisy", rho0, kM[j % 5], kTau[j % 6], kC[j % 4]};
}

void set_pos_line(const PrmMeas& meas, PrmDev* dev) {
  for (int c = 0; c < MAX_CH_NUM; ++c) {
    dev->mx[c] = SipSitePos(meas.first_pole_pos, meas.mn, dev->site_no[c]);
    dev->nx[c] = dev->mx[c] + meas.mn;
    dev->my[c] = dev->ny[c] = 0.0f;
  }
  dev->pos_valid = 1;
}

// Site block of receiver r: the third device is laid out reversed, the
// fourth repeats the sites of the second.
int site_block(int r) {
  if (r == 3) return 1;
  return r < 3 ? r : r - 1;
}

void to_gps(double x, double y, double* lon, double* lat) {
  const double lat_deg = 30.5 + y / 110574.0;
  const double lon_deg = 114.3333333 + x / (111320.0 * std::cos(30.5 * kPi / 180.0));
  auto ddmm = [](double deg) {
    double d = std::trunc(deg);
    return 100.0 * d + (deg - d) * 60.0;
  };
  *lon = ddmm(lon_deg);
  *lat = ddmm(lat_deg);
}

// Metres between the lines of a survey of several lines.
constexpr double kLineSpacing = 50.0;

bool build_file(const SurveyOptions& opt, int index, GenRng& rng, FileModel* fm, std::string* err) {
  WaveSetup ws = setup_for(opt.wave);
  if (opt.cole_cole) ws = {kCcFreqBase, index < opt.files ? kCcHarmNum : kCcShortHarmNum, kCcSampleRate};
  if (opt.sample_rate > 0) ws.sample_rate = opt.sample_rate;
  const int lines = opt.layout == SIP_ALL_GRADIENT ? 1 : opt.lines;
  const int line = index % lines;
  char name[64];
  std::snprintf(name, sizeof(name), "L%d_%02d", 101 + line, index / lines + 1);
  fm->base = name;

  CFormatSRS& srs = fm->srs;
  PrmMeas& m = srs.m_prm_meas;
  SipSetStr(m.prj_name, "varnex-demo");
  SipSetStr(m.file_name, name);
  m.line_no = opt.layout == SIP_ALL_GRADIENT ? 1 : 101 + line;
  m.layout = opt.layout;
  m.wave = opt.wave;
  m.freq_base = ws.freq_base;
  m.harm_num = ws.harm_num;
  m.start_time = 1767225600 + index * 900;
  m.sample_rate = ws.sample_rate;
  m.reserved = 8;
  m.mn = 20.0f;
  m.first_pole_pos = 0.0f;
  m.curr_station_used = (index % 2 == 0) ? 1 : 0;
  SipSetStr(m.cur_station, m.curr_station_used ? "CS01" : "");
  m.v2i = 0.1f;
  m.cur_value = 5.0f + 0.5f * float(index);
  switch (opt.layout) {
    case SIP_POLE3_SOUNDING:
      m.ax = -100.0f - 60.0f * float(index);
      m.bx = -100000.0f;
      m.ay = m.by = 0.0f;
      break;
    case SIP_POLE4_SOUNDING:
      m.ax = -100.0f - 60.0f * float(index);
      m.bx = 20.0f * float(6 * (opt.devices + 1)) + 100.0f + 60.0f * float(index);
      m.ay = m.by = 0.0f;
      break;
    case SIP_ALL_GRADIENT:
      m.ax = -300.0f - 50.0f * float(index);
      m.ay = -200.0f;
      m.bx = 700.0f + 50.0f * float(index);
      m.by = 300.0f;
      break;
    default:
      m.ax = -1000.0f - 100.0f * float(index);
      m.bx = 1000.0f + 100.0f * float(index) + 20.0f * float(6 * opt.devices);
      m.ay = m.by = 0.0f;
      break;
  }

  const float fb = ws.freq_base;
  const int samples_per_cycle = int(float(ws.sample_rate) / fb + 0.5f);
  fm->L = samples_per_cycle;
  fm->harm = ws.harm_num;
  fm->cals = opt.cals;
  for (int k = 0; k < ws.harm_num; ++k) {
    int b = SipHarmMultiple(opt.wave, k);
    if (2 * b >= fm->L) {
      *err = "sample rate too low for the waveform's harmonics";
      return false;
    }
    fm->bins.push_back(b);
  }

  // Devices: receivers ST01.., the current station CS01 second when used.
  std::vector<PrmDev>& devs = srs.m_vt_prm_dev;
  for (int r = 0; r < opt.devices; ++r) {
    if (r == 1 && m.curr_station_used) {
      PrmDev cs;
      SipSetStr(cs.dev_name, "CS01");
      for (int c = 0; c < MAX_CH_NUM; ++c) cs.ch_type[c] = c == 3 ? SIP_CH_CURRENT : SIP_CH_INVALID;
      set_pos_line(m, &cs);
      for (int c = 0; c < MAX_CH_NUM; ++c) {
        cs.mx[c] = cs.nx[c] = m.ax;
        cs.my[c] = cs.ny[c] = m.ay;
      }
      fm->cur_dev = int(devs.size());
      devs.push_back(cs);
    }
    PrmDev d;
    std::snprintf(name, sizeof(name), "ST%02d", r + 1);
    SipSetStr(d.dev_name, name);
    const int blk = site_block(r);
    for (int c = 0; c < MAX_CH_NUM; ++c) {
      d.ch_type[c] = SIP_CH_ELECTRIC;
      d.site_no[c] = uint16_t(r == 2 ? 6 * blk + (MAX_CH_NUM - 1 - c) : 6 * blk + c);
    }
    if (opt.layout == SIP_ALL_GRADIENT) {
      // Free layout: each device lays a row of 7 electrodes; channel c runs
      // from electrode c to c + 1 of its row.
      for (int c = 0; c < MAX_CH_NUM; ++c) {
        d.mx[c] = 20.0f * float(c) + 5.0f * float(blk);
        d.nx[c] = d.mx[c] + 20.0f;
        d.my[c] = d.ny[c] = 40.0f * float(blk);
      }
      d.pos_valid = 1;
      if (r == 2)
        for (int c = 0; c < MAX_CH_NUM; ++c) std::swap(d.mx[c], d.nx[c]);
    } else {
      set_pos_line(m, &d);
    }
    fm->receivers.push_back(int(devs.size()));
    devs.push_back(d);
  }
  if (opt.layout == SIP_ALL_GRADIENT) {
    int blocks = 0;
    for (int r = 0; r < opt.devices; ++r) blocks = std::max(blocks, site_block(r) + 1);
    for (int blk = 0; blk < blocks; ++blk)
      for (int p = 0; p <= MAX_CH_NUM; ++p) {
        PrmPole pole;
        std::snprintf(pole.name, sizeof(pole.name), "P%d", blk * (MAX_CH_NUM + 1) + p + 1);
        pole.x = 20.0f * float(p) + 5.0f * float(blk);
        pole.y = 40.0f * float(blk);
        srs.m_vt_pole.push_back(pole);
      }
  }

  for (const PrmDev& d : devs) {
    double lon, lat;
    to_gps(double(d.mx[0]), double(d.my[0]) + 30.0 + kLineSpacing * line, &lon, &lat);
    srs.m_gps_lon.push_back(lon);
    srs.m_gps_lat.push_back(lat);
    srs.m_gps_alti.push_back(float(120.0 + 5.0 * std::sin(double(d.mx[0]) / 50.0) + rng.normal()));
  }

  // Channel entries: every electric channel of the receivers, device order.
  std::vector<ChInfo> entries;
  for (int di : fm->receivers) {
    const PrmDev& d = devs[size_t(di)];
    for (int c = 0; c < MAX_CH_NUM; ++c) {
      ChInfo info;
      info.dev_name = d.dev_name;
      info.idx_dev = di;
      info.idx_dev_ch = c;
      info.site_no = d.site_no[c];
      info.line_no = m.line_no;
      info.mn = opt.layout == SIP_ALL_GRADIENT ? std::fabs(d.nx[c] - d.mx[c]) : m.mn;
      info.m_pos = d.mx[c];
      info.vd2ab = d.vd2ab;
      info.ch_type = SIP_CH_ELECTRIC;
      entries.push_back(info);
    }
  }
  const int ne = int(entries.size());
  fm->n_entries = ne;
  const int H = ws.harm_num;
  const int C = opt.cals;

  srs.m_res.DoInit(ne, 1, H);
  srs.m_res.SetPos(m.ax, m.ay, m.bx, m.by);
  for (int k = 0; k < H; ++k) srs.m_res.SetFreq(0, k, fb * float(SipHarmMultiple(opt.wave, k)));
  for (int e = 0; e < ne; ++e) srs.m_res.SetChInfo(e, entries[size_t(e)]);

  // Current: the waveform's harmonics of the transmitted current.
  CSpectArray synth = synthCurrentSpect(m, 1, H, 1, m.cur_value, baseFreqIndex(fb));
  fm->cur.assign(size_t(C) * size_t(H), cplx());
  for (int c = 0; c < C; ++c)
    for (int k = 0; k < H; ++k) {
      SpectItem it = synth.DoGetItemOf(0, 0, k, 0);
      cplx base = cplx(it.re, it.im) / double(m.v2i);
      // The noise-free channels of a Cole-Cole survey need an exact current.
      if (m.curr_station_used && !opt.cole_cole)
        base *= (1.0 + 0.001 * rng.normal()) * std::polar(1.0, 0.001 * rng.normal());
      fm->I(c, k) = base;
    }

  // Voltages: the current through the ground's impedance, with a little
  // scatter between calculations.
  fm->u.assign(size_t(ne) * size_t(C) * size_t(H), cplx());
  for (int e = 0; e < ne; ++e) {
    const ChInfo& info = entries[size_t(e)];
    const PrmDev& d = devs[size_t(info.idx_dev)];
    const double K = CalcChannelK(m, d, info, false);
    const double pos = info.m_pos;
    if (opt.cole_cole) {
      const CcTruth t = cc_truth(e, ne, pos);
      char line[256];
      std::snprintf(line, sizeof(line), "%s,%s,%d,%s,%.9g,%.9g,%.9g,%.9g\n", fm->base.c_str(), info.dev_name.c_str(),
                    info.idx_dev_ch + 1, t.kind, t.rho0, t.m, t.tau, t.c);
      fm->truth += line;
      const bool dead = std::strcmp(t.kind, "dead") == 0;
      const bool noisy = std::strcmp(t.kind, "noisy") == 0;
      for (int c = 0; c < C; ++c)
        for (int k = 0; k < H; ++k) {
          const double f = double(fb) * SipHarmMultiple(opt.wave, k);
          cplx z = dead ? cplx() : cole_cole(t.rho0, t.m, t.tau, t.c, f) / K;
          if (noisy) z *= (1.0 + 0.002 * rng.normal()) * std::polar(1.0, 0.001 * rng.normal());
          fm->U(e, c, k) = fm->I(c, k) * z;
        }
      continue;
    }
    const double rho0 = 100.0 * (1.0 + 0.4 * std::sin(pos / 80.0 + 0.3 * index));
    const double charge = 0.1 + 0.05 * std::sin(pos / 130.0);
    for (int c = 0; c < C; ++c)
      for (int k = 0; k < H; ++k) {
        const double f = double(fb) * SipHarmMultiple(opt.wave, k);
        cplx z = cole_cole(rho0, charge, 0.5, 0.4, f) / K;
        cplx jitter = (1.0 + 0.004 * rng.normal()) * std::polar(1.0, 0.003 * rng.normal());
        fm->U(e, c, k) = fm->I(c, k) * z * jitter;
      }
  }

  fm->gain.assign(devs.size() * MAX_CH_NUM, 1.0f);
  for (size_t di = 0; di < devs.size(); ++di)
    for (int c = 0; c < 3; ++c)
      if (int(di) != fm->cur_dev) fm->gain[di * MAX_CH_NUM + size_t(c)] = 10.0f;

  // Flaws: an over-range sample in one segment of the first device's third
  // channel (its calculation is bad), an invalid tail in one channel of the
  // second device and a channel of the last device without any valid item.
  Flaws& fl = fm->flaws;
  if (ne > 2 && C > 1 && !opt.cole_cole) {
    fl.spike_entry = 2;
    fl.spike_cal = 1;
    fl.spike_t0 = fm->L / 3;
    const int t0 = fl.spike_t0;
    double clean = 0.0;
    for (int k = 0; k < H; ++k) {
      cplx v = fm->U(fl.spike_entry, fl.spike_cal, k);
      clean += v.real() * std::cos(2.0 * kPi * fm->bins[size_t(k)] * t0 / fm->L) -
               v.imag() * std::sin(2.0 * kPi * fm->bins[size_t(k)] * t0 / fm->L);
    }
    const int di = entries[size_t(fl.spike_entry)].idx_dev;
    const double g = fm->gain[size_t(di) * MAX_CH_NUM + size_t(entries[size_t(fl.spike_entry)].idx_dev_ch)];
    const double delta = 1.25 / g - clean;
    for (int k = 0; k < H; ++k)
      fm->U(fl.spike_entry, fl.spike_cal, k) +=
          (2.0 / fm->L) * delta * std::polar(1.0, -2.0 * kPi * fm->bins[size_t(k)] * t0 / fm->L);
  }
  if (ne > 10 && !opt.cole_cole) fl.invalid_entry = 10;
  if (ne > 12 && !opt.cole_cole) fl.empty_entry = ne - 1;

  srs.m_spect_i.DoInit(1, 1, H, C, -1, 2);
  for (int c = 0; c < C; ++c)
    for (int k = 0; k < H; ++k) srs.m_spect_i.DoSetValueOf(0, 0, k, c, fm->I(c, k).real(), fm->I(c, k).imag(), 0);
  srs.m_spect_u.DoInit(ne, 1, H, C, -1, 2);
  for (int e = 0; e < ne; ++e) {
    if (e == fl.empty_entry) continue;
    for (int c = 0; c < C; ++c)
      for (int k = 0; k < H; ++k) {
        if (e == fl.invalid_entry && c == C - 1 && k >= H / 2) continue;
        const uint8_t bad = (e == fl.spike_entry && c == fl.spike_cal) ? 1 : 0;
        srs.m_spect_u.DoSetValueOf(e, 0, k, c, fm->U(e, c, k).real(), fm->U(e, c, k).imag(), bad);
      }
  }

  for (int e = 0; e < ne; ++e) {
    srs.m_valid_sp.push_back(e % 5 != 3);
    srs.m_sp_ac.push_back(float(0.5e-3 + 0.1e-3 * rng.normal()));
    srs.m_sp_dc.push_back(float(15e-3 * (1.0 + 0.2 * rng.normal())));
    srs.m_valid_groud_r.push_back(e % 7 != 5);
    srs.m_groud_r.push_back(float(1500.0 + 300.0 * std::fabs(rng.normal())));
  }

  // Stored results come from the stored spectra, as an acquisition station
  // computes them.
  CSipSpect2Res engine;
  if (opt.wave == SIP_WAVE_SPREAD_SPECTRUM && H % kComposedGroup == 0) {
    const int P = H / kComposedGroup;
    srs.m_res_composed.DoInit(ne, 1, P);
    srs.m_res_composed.SetPos(m.ax, m.ay, m.bx, m.by);
    for (int e = 0; e < ne; ++e) srs.m_res_composed.SetChInfo(e, entries[size_t(e)]);
    for (int p = 0; p < P; ++p)
      srs.m_res_composed.SetFreq(0, p, float((p * kComposedGroup + (kComposedGroup + 1) * 0.5) * double(fb)));
    engine.Init(&srs);
    engine.SetComposed(false);
    engine.CalcRes(srs.m_res);
    engine.SetComposed(true);
    engine.CalcRes(srs.m_res_composed);
  } else {
    engine.Init(&srs);
    engine.SetComposed(false);
    engine.CalcRes(srs.m_res);
    srs.m_res_composed = srs.m_res;
  }
  return true;
}

// Samples of one device for one file: the clean harmonics of every segment,
// the last (partial) segment repeating the last calculation, plus noise.
bool write_smt_files(const SurveyOptions& opt, FileModel& fm, GenRng& rng, const std::string& smt_root,
                     const std::string& base, int smt_ver, std::string* err) {
  CFormatSRS& srs = fm.srs;
  const int L = fm.L, H = fm.harm, C = fm.cals;
  const int rows = C * L + L / 2;
  std::vector<double> cos_t(size_t(H) * size_t(L)), sin_t(size_t(H) * size_t(L));
  for (int k = 0; k < H; ++k)
    for (int t = 0; t < L; ++t) {
      const double a = 2.0 * kPi * fm.bins[size_t(k)] * t / L;
      cos_t[size_t(k) * size_t(L) + size_t(t)] = std::cos(a);
      sin_t[size_t(k) * size_t(L) + size_t(t)] = std::sin(a);
    }
  const double noise = 2e-6;

  for (size_t di = 0; di < srs.m_vt_prm_dev.size(); ++di) {
    const PrmDev& dev = srs.m_vt_prm_dev[di];
    SmtContent s;
    s.meas = srs.m_prm_meas;
    s.dev = dev;
    for (int c = 0; c < MAX_CH_NUM; ++c) s.gain[c] = fm.gain[di * MAX_CH_NUM + size_t(c)];
    s.gps_lon = srs.m_gps_lon[di];
    s.gps_lat = srs.m_gps_lat[di];
    s.gps_alti = srs.m_gps_alti[di];
    s.start_time = srs.m_prm_meas.start_time;
    s.rows = rows;
    s.samples.assign(size_t(rows) * MAX_CH_NUM, 0.0f);

    // Which entry (or the current) feeds each channel.
    int feed[MAX_CH_NUM];
    for (int c = 0; c < MAX_CH_NUM; ++c) feed[c] = -1;
    for (int e = 0; e < fm.n_entries; ++e) {
      ChInfo info = srs.m_res.GetChInfo(e);
      if (info.idx_dev == int(di)) {
        feed[info.idx_dev_ch] = e;
        if (srs.m_valid_sp[size_t(e)]) s.mask_sp |= 1 << info.idx_dev_ch;
        if (srs.m_valid_groud_r[size_t(e)]) s.mask_groud_r |= 1 << info.idx_dev_ch;
        s.sp_ac[info.idx_dev_ch] = srs.m_sp_ac[size_t(e)];
        s.sp_dc[info.idx_dev_ch] = srs.m_sp_dc[size_t(e)];
        s.groud_r[info.idx_dev_ch] = srs.m_groud_r[size_t(e)];
      }
    }
    const bool is_cur = int(di) == fm.cur_dev;
    for (int c = 0; c < MAX_CH_NUM; ++c) {
      const double g = s.gain[c];
      const bool current_ch = is_cur && c == 3;
      for (int r = 0; r < rows; ++r) {
        const int seg = std::min(r / L, C - 1);
        const int t = r % L;
        double v = 0.0;
        if (feed[c] >= 0 || current_ch) {
          for (int k = 0; k < H; ++k) {
            cplx val = current_ch ? fm.I(seg, k) * double(srs.m_prm_meas.v2i) : fm.U(feed[c], seg, k);
            v += val.real() * cos_t[size_t(k) * size_t(L) + size_t(t)] -
                 val.imag() * sin_t[size_t(k) * size_t(L) + size_t(t)];
          }
        }
        v += noise * rng.normal();
        s.samples[size_t(r) * MAX_CH_NUM + size_t(c)] = float(v * g);
      }
    }
    if (fm.flaws.spike_entry >= 0) {
      ChInfo info = srs.m_res.GetChInfo(fm.flaws.spike_entry);
      if (info.idx_dev == int(di)) {
        const int r = fm.flaws.spike_cal * L + fm.flaws.spike_t0;
        s.samples[size_t(r) * MAX_CH_NUM + size_t(info.idx_dev_ch)] = 1.25f;
      }
    }

    const std::string dir = smt_root + "/" + dev.dev_name;
    if (!ex_mkdirs(dir.c_str())) {
      *err = "cannot create " + dir;
      return false;
    }
    const std::string path = dir + "/" + base + ".smt";
    if (!GenWriteSmt(path, s, smt_ver)) {
      *err = "cannot write " + path;
      return false;
    }
  }
  (void)opt;
  return true;
}

bool write_tables(const SurveyOptions& opt, const FileModel& fm, std::string* err) {
  const PrmMeas& m = fm.srs.m_prm_meas;
  int max_site = 0;
  for (const PrmDev& d : fm.srs.m_vt_prm_dev)
    for (int c = 0; c < MAX_CH_NUM; ++c)
      if (d.ch_type[c] == SIP_CH_ELECTRIC) max_site = std::max(max_site, int(d.site_no[c]));

  auto open = [&](const char* name) {
    std::string path = opt.out_dir + "/" + name;
    FILE* fp = ex_fopen(path.c_str(), "wb");
    if (!fp) *err = "cannot write " + path;
    return std::unique_ptr<FILE, ExFileCloser>(fp);
  };
  {
    auto fp = open("site_coord.txt");
    if (!fp) return false;
    std::fprintf(fp.get(), "name line_no pos x y\n");
    const int lines = opt.layout == SIP_ALL_GRADIENT ? 1 : std::min(opt.lines, opt.files);
    for (int l = 0; l < lines; ++l)
      for (int s = 0; s <= max_site + 1; ++s) {
        const float pos = SipSitePos(m.first_pole_pos, m.mn, s);
        std::fprintf(fp.get(), "S%d %d %.2f %.3f %.3f\n", s + 1, m.line_no + l, double(pos), 512000.0 + pos,
                     3375000.0 + 0.05 * pos + kLineSpacing * l);
      }
  }
  {
    auto fp = open("elevation.txt");
    if (!fp) return false;
    const int x_end = int(SipSitePos(m.first_pole_pos, m.mn, max_site + 2)) + 100;
    for (int y = -40; y <= 40; y += 40)
      for (int x = -100; x <= x_end; x += 20)
        std::fprintf(fp.get(), "%.2f %.2f %.2f\n", double(x), double(y), 120.0 + 5.0 * std::sin(x / 50.0) + 0.02 * y);
  }
  {
    auto fp = open("shift.txt");
    if (!fp) return false;
    std::fprintf(fp.get(), "name,pole,dx,dy\n");
    std::fprintf(fp.get(), "A1, A ,0.5,-1.25\n");
    std::fprintf(fp.get(), "B1,B,-0.30,0.10\n");
    std::fprintf(fp.get(), "S3,3,1.20,0.00\n");
    std::fprintf(fp.get(), "S 8,8, -0.75 , 0.40\n");
  }
  return true;
}

bool verify(const std::string& path, std::string* err) {
  CFormatSRS check;
  if (check.Read(path)) return true;
  *err = "written file does not read back: " + path;
  return false;
}

}  // namespace

bool GenerateSurvey(const SurveyOptions& options, std::string* err) {
  SurveyOptions opt = options;
  if (opt.cole_cole) {
    // The harmonics 1 ... 8192 need the pseudo-random wave; their time
    // series would take gigabytes.
    opt.wave = SIP_WAVE_PSEUDO_RANDOM;
    opt.write_smt = false;
  }
  if (opt.files < 1 || opt.devices < 1 || opt.cals < 1 || opt.lines < 1) {
    *err = "files, devices, calculations and lines must be at least 1";
    return false;
  }
  if (!ex_mkdirs(opt.out_dir.c_str())) {
    *err = "cannot create " + opt.out_dir;
    return false;
  }
  GenRng rng(opt.seed);
  std::unique_ptr<FileModel> first;
  std::string truth = "file,device,channel,kind,rho0_ohmm,m,tau_s,c\n";
  const int files = opt.files + (opt.cole_cole ? 1 : 0);
  for (int i = 0; i < files; ++i) {
    auto fm = std::make_unique<FileModel>();
    if (!build_file(opt, i, rng, fm.get(), err)) return false;
    const std::string path = opt.out_dir + "/" + fm->base + ".SRS";
    if (!fm->srs.Write(path)) {
      *err = "cannot write " + path;
      return false;
    }
    if (!verify(path, err)) return false;
    if (opt.write_smt && !write_smt_files(opt, *fm, rng, opt.out_dir + "/smt", fm->base, GEN_SMT_VER, err))
      return false;
    truth += fm->truth;
    if (i == 0) first = std::move(fm);
  }
  if (!write_tables(opt, *first, err)) return false;
  if (opt.cole_cole) {
    const std::string path = opt.out_dir + "/cole_cole_truth.csv";
    std::unique_ptr<FILE, ExFileCloser> fp(ex_fopen(path.c_str(), "wb"));
    if (!fp || std::fwrite(truth.data(), 1, truth.size(), fp.get()) != truth.size()) {
      *err = "cannot write " + path;
      return false;
    }
  }

  if (opt.old_versions) {
    // Every older stream version, one file each: SRS 1..4 with spectrum
    // versions 1, 2, 3, 3 and result versions 1..4; SMT versions 1 and 2.
    const std::string old_dir = opt.out_dir + "/old";
    if (!ex_mkdirs(old_dir.c_str())) {
      *err = "cannot create " + old_dir;
      return false;
    }
    const int spect_ver[5] = {0, 1, 2, 3, 3};
    for (int v = 1; v <= 4; ++v) {
      GenRng old_rng(opt.seed * 31 + uint64_t(v));
      FileModel fm;
      SurveyOptions o = opt;
      o.old_versions = false;
      if (!build_file(o, 0, old_rng, &fm, err)) return false;
      // A version 1 file stores its measurement record without v2i, which
      // then reads as 0.125: the recorded current must be scaled the same way.
      if (v == 1) fm.srs.m_prm_meas.v2i = 0.125f;
      const std::string base = fm.base + "_v" + std::to_string(v);
      const std::string path = old_dir + "/" + base + ".SRS";
      if (!GenWriteSrs(path, fm.srs, v, spect_ver[v], v)) {
        *err = "cannot write " + path;
        return false;
      }
      if (!verify(path, err)) return false;
      if (opt.write_smt && !write_smt_files(o, fm, old_rng, old_dir + "/smt", base, v <= 2 ? 1 : 2, err))
        return false;
    }
  }
  return true;
}
