// Inversion inputs: Res2dinv and Res3dinv general-array files, the
// Zondres2d SIP file and the unified data format.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/export/export_locale.h"
#include "core/export/sip_export.h"

void CSipExport::WriteHeader(Kind kind, size_t idx, CResultSip& result) {
  FILE* fp = Fp(idx);
  switch (kind) {
    case KIND_RES2DINV:
      std::fputs("General array with IP\n", fp);
      std::fprintf(fp, "%f\n", double(m_opt->unit_spacing));
      std::fputs("11\n0\nType of measurement (0=app. resistivity,1=resistance)\n", fp);
      WriteInversionHeaderTail(fp, idx, result, false);
      break;
    case KIND_RES3DINV: {
      std::fputs("Mixed dipole-dipole and pole-dipole data\n", fp);
      const int ch_num = result.GetChNum();
      std::fprintf(fp, "%d\n", ch_num);
      std::fputs("0\n", fp);
      std::fprintf(fp, "%d\n", ch_num > 0 ? int(result.GetChInfo(0).mn) : 0);
      std::fputs("0\n11\n0\nType of data (0=apparent resistivity,1=resistance)\n", fp);
      WriteInversionHeaderTail(fp, idx, result, true);
      break;
    }
    case KIND_ZOND2D: WriteZondHeader(fp, idx, result); break;
    default: WriteTableHeader(kind, fp); break;
  }
}

void CSipExport::WriteInversionHeaderTail(FILE* fp, size_t idx, CResultSip& result, bool ip_present) {
  std::fprintf(fp, "%d\n", m_opt->resistivity ? 0 : 1);
  m_count_pos[idx] = std::ftell(fp);
  std::fprintf(fp, "%-20d\n", 0);
  std::fputs("1\n", fp);
  std::fprintf(fp, "%d\n", 1);
  if (ip_present) std::fputs("IP present\n", fp);
  WriteIpHeader(fp, result, int(idx) + 1);
  std::fputs(ErrorEstimateLine().c_str(), fp);
  std::fputs("Type of error estimate (0=same unit as data)\n0\n", fp);
}

void CSipExport::WriteZondHeader(FILE* fp, size_t idx, CResultSip& result) {
  std::fputs("SIP data\nNumber of frequency\n", fp);
  std::fprintf(fp, "%d\n", m_harm_num);
  std::fputs("Frequencies in Hz\n", fp);
  for (int k = 0; k < m_harm_num; ++k) std::fprintf(fp, "%f ", double(result.GetFreq(0, k)));
  std::fputs("\n", fp);
  std::fputs("Array type (0 = wenner apha, 5 = dipole-dipole, 8 = pole-dipole, 9 = pole-pole, 11 = "
             "non-conventional array)\n",
             fp);
  std::fputs("11\nArray unit(1 = meter, 2 = feet)\n1\n", fp);
  std::fputs("Amplitude unit (1 = ohm [appareent resistance], 2 = ohm.m [apparent resistivity])\n", fp);
  std::fprintf(fp, "%d\n", m_opt->resistivity ? 2 : 1);
  std::fputs("Phase unit (1 = mrad, 2 = degree, 3 = rad)\n1\nNumber of data point\n", fp);
  m_count_pos[idx] = std::ftell(fp);
  std::fprintf(fp, "%-20d\n", 0);
  std::fprintf(fp, "%-3s", "n");
  const char* pos4[] = {"c1_x", "c1_z", "c2_x", "c2_z", "p1_x", "p1_z", "p2_x", "p2_z"};
  for (int k = 0; k < 8; ++k) {
    if (ElectrodeCount() != 4 && (k == 2 || k == 3)) continue;
    std::fprintf(fp, "%-14s", pos4[k]);
  }
  char title[64];
  for (int k = 1; k <= m_harm_num; ++k) {
    const char* pats[] = {"f%d_res", "f%d_res_err", "f%d_ph", "f%d_ph_err"};
    for (const char* p : pats) {
      std::snprintf(title, sizeof(title), p, k);
      std::fprintf(fp, "%-14s", title);
    }
  }
  std::fputs("\n", fp);
}

bool CSipExport::WriteRes2dinv(CResultSip& result, CFormatSRS& srs) {
  ExportLocaleScope c_numbers;
  if (!Prepare(KIND_RES2DINV, result)) return false;
  const float dx = m_opt->x_shift_on ? m_opt->x_shift : 0.0f;
  Electrodes shift;
  shift.a.x = shift.b.x = shift.m.x = shift.n.x = dx;
  WriteInversionRows(result, srs, true, [&shift](int) { return shift; });
  return true;
}

void CSipExport::WriteInversionRows(CResultSip& result, CFormatSRS& srs, bool elev,
                                    const std::function<Electrodes(int)>& shift_of) {
  const std::vector<int> usable = UsableChannels(result, srs);
  ExportLine line;
  for (size_t f = 0; f < m_vt_files.size(); ++f) {
    FILE* fp = Fp(f);
    for (int i : usable) {
      const ChInfo info = result.GetChInfo(i);
      const Electrodes e = RowElectrodes(info, result, srs);
      const Electrodes d = shift_of(i);
      ElectrodeColumns(e, &d, elev, line);
      ResColumns(result.GetItem(i, 0, int(f)), GeoK(e, srs, false), line);
      line.Text("\n");
      line.WriteTo(fp);
      ++m_counts[f];
    }
  }
}

void CSipExport::ShiftOffsets(int i, Electrodes* d) const {
  *d = Electrodes();
  for (const CFormatTxtShifting::Item& s : m_shift_sel) {
    const float sx = float(s.dx), sy = float(s.dy);
    if (s.pole_no < 0) {
      d->m.x += sx, d->m.y += sy;
      d->n.x += sx, d->n.y += sy;
    } else if (s.pole_no > 0) {
      if (s.pole_no == i + 1) d->m.x += sx, d->m.y += sy;
      if (s.pole_no == i + 2) d->n.x += sx, d->n.y += sy;
    } else if (m_group_name.find(s.name) != std::string::npos) {
      if (s.is_a) d->a = {sx, sy};
      if (s.is_b) d->b = {sx, sy};
    }
  }
}

bool CSipExport::WriteRes3dinv(CResultSip& result, CFormatSRS& srs) {
  ExportLocaleScope c_numbers;
  if (!Prepare(KIND_RES3DINV, result)) return false;
  WriteInversionRows(result, srs, false, [this](int i) {
    Electrodes d;
    ShiftOffsets(i, &d);
    return d;
  });
  return true;
}

bool CSipExport::WriteZond2d(CResultSip& result, CFormatSRS& srs) {
  ExportLocaleScope c_numbers;
  if (!Prepare(KIND_ZOND2D, result)) return false;
  if (m_vt_files.size() != 1) return false;
  FILE* fp = Fp(0);
  ExportLine line;
  for (int i = 0; i < result.GetChNum(); ++i) {
    if (!IsUsable(i, result, srs, true)) continue;
    const ChInfo info = result.GetChInfo(i);
    const Electrodes e = RowElectrodes(info, result, srs);
    const float k = GeoK(e, srs, true);
    ElectrodeColumns(e, nullptr, true, line);
    for (int h = 0; h < m_harm_num; ++h) {
      const ResItem item = result.GetItem(i, 0, h);
      AmpColumns(item, k, line);
      line.Fixed(double(-IpValue(item)), 14);
      line.Fixed(double(IpError(item)), 14);
      // A line of many frequencies is written as it grows.
      line.WriteTo(fp);
    }
    line.Text("\n");
    line.WriteTo(fp);
    ++m_counts[0];
  }
  return true;
}

MultiFreqPositions CSipExport::OhmPositions(int i, const Electrodes& e) const {
  MultiFreqPositions row;
  row.has_b = ElectrodeCount() == 4;
  const float dx = m_opt->x_shift_on && !m_three_d ? m_opt->x_shift : 0.0f;
  const Pt* pts[4] = {&e.a, &e.b, &e.m, &e.n};
  Electrodes d;
  if (m_three_d) ShiftOffsets(i, &d);
  const Pt* offs[4] = {&d.a, &d.b, &d.m, &d.n};
  for (int p = 0; p < 4; ++p) {
    if (m_three_d) {
      row.x[p] = pts[p]->x + offs[p]->x;
      row.y[p] = pts[p]->y + offs[p]->y;
      row.z[p] = Elev(row.x[p], row.y[p]);
    } else {
      row.x[p] = pts[p]->x + dx;
      row.y[p] = 0.0f;
      row.z[p] = Elev(pts[p]->x, 0.0f);
    }
  }
  return row;
}

bool CSipExport::WriteOhm(CResultSip& result, CFormatSRS& srs) {
  if (!Prepare(KIND_OHM, result)) return false;
  for (int i = 0; i < result.GetChNum(); ++i) {
    if (!UsableForInversion(i, result, srs)) continue;
    const ChInfo info = result.GetChInfo(i);
    const Electrodes e = RowElectrodes(info, result, srs);
    const float k = GeoK(e, srs, false);
    const MultiFreqPositions pos = OhmPositions(i, e);
    OhmRow row;
    row.has_b = pos.has_b;
    for (int p = 0; p < 4; ++p) row.x[p] = pos.x[p], row.y[p] = pos.y[p], row.z[p] = pos.z[p];
    for (int h = 0; h < m_harm_num; ++h) {
      const ResItem item = result.GetItem(i, 0, h);
      const float r = item.blk[RES_APP].value;
      row.rho = m_opt->resistivity ? r : r / k;
      row.err = r != 0.0f ? AppError(item) / std::fabs(r) : 0.0f;
      row.ip = IpValue(item);
      row.iperr = IpError(item);
      m_ohm_rows[size_t(h)].push_back(row);
      ++m_counts[size_t(h)];
    }
  }
  return true;
}

namespace {

std::vector<float> FreqsOf(CResultSip& result) {
  std::vector<float> f;
  for (int h = 0; h < result.GetHarmNum(); ++h) f.push_back(result.GetFreq(0, h));
  return f;
}

}  // namespace

bool CSipExport::WriteMultiFreq(ExportFormat format, CResultSip& result, const std::vector<CResultSip>& files,
                                CFormatSRS& srs) {
  m_last_error = EXPORT_OK;
  if (!m_vt_limit || int(m_vt_limit->size()) != LIMIT_TYPE_CNT || result.GetHarmNum() < 1 ||
      result.GetFreqNum() < 1) {
    Refuse(EXPORT_BAD_INPUT);
    return false;
  }
  const std::vector<float> freqs = FreqsOf(result);
  if (m_header_pending) {
    if (freqs.size() < 2) {
      Refuse(EXPORT_FEW_FREQS);
      return false;
    }
    m_header_pending = false;
    m_kind = KIND_MULTI_FREQ;
    m_mf_format = format;
    m_harm_num = int(freqs.size());
    m_mf_freqs = freqs;
    // The readers take the frequencies ascending; a run recorded from the
    // top down is turned round.
    m_mf_order.resize(freqs.size());
    for (size_t h = 0; h < freqs.size(); ++h) m_mf_order[h] = int(h);
    std::stable_sort(m_mf_order.begin(), m_mf_order.end(),
                     [&](int a, int b) { return freqs[size_t(a)] < freqs[size_t(b)]; });
    m_mf = MultiFreqData();
    for (int h : m_mf_order) m_mf.freqs.push_back(freqs[size_t(h)]);
    m_mf.values.assign(freqs.size(), {});
    m_mf_pos.clear();
    m_counts.assign(1, 0);
  } else if (m_kind != KIND_MULTI_FREQ) {
    Refuse(EXPORT_BAD_INPUT);
    return false;
  }
  // Every dataset is one column of a matrix: a file with other frequency
  // points cannot join it, nor be left out silently.
  if (freqs != m_mf_freqs) {
    Refuse(EXPORT_FREQ_MISMATCH);
    return false;
  }
  for (const CResultSip& f : files) {
    if (FreqsOf(const_cast<CResultSip&>(f)) != m_mf_freqs) {
      Refuse(EXPORT_FREQ_MISMATCH);
      return false;
    }
  }
  for (int i = 0; i < result.GetChNum(); ++i) {
    if (!UsableForInversion(i, result, srs)) continue;
    const ChInfo info = result.GetChInfo(i);
    const Electrodes e = RowElectrodes(info, result, srs);
    MultiFreqPoint pt;
    pt.k = GeoK(e, srs, false);
    m_mf.points.push_back(pt);
    m_mf_pos.push_back(OhmPositions(i, e));
    for (size_t d = 0; d < m_mf_order.size(); ++d) {
      const ResItem item = result.GetItem(i, 0, m_mf_order[d]);
      MultiFreqValue v;
      // The apparent resistivity and the impedance phase whatever the
      // page's choices: the readers know these quantities only.
      v.rho = item.blk[RES_APP].value;
      v.rho_err = v.rho != 0.0f ? AppError(item) / std::fabs(v.rho) : 0.0f;
      v.phase = ExportPhase(item.blk[RES_Z_PH].value) * 1000.0f;
      v.phase_err = PhaseError(item);
      m_mf.values[d].push_back(v);
    }
    ++m_counts[0];
  }
  return true;
}

bool CSipExport::WriteMultiFreqFiles() {
  MultiFreqNumberElectrodes(m_mf_pos, m_three_d, &m_mf);
  MultiFreqStatus st;
  std::vector<std::string> written;
  const std::string& base = m_opt->path_base;
  switch (m_mf_format) {
    case ExportFormat::Crtomo: st = MultiFreqWriteCrtomo(m_mf, base, &written); break;
    case ExportFormat::Protocol: st = MultiFreqWriteProtocol(m_mf, base, &written); break;
    default: st = MultiFreqWriteFdip(m_mf, base, &written); break;
  }
  m_file_names = written;
  m_counts.assign(written.size(), int(m_mf.points.size()));
  m_mf = MultiFreqData();
  m_mf_pos.clear();
  if (st.ok()) return true;
  m_error_file = st.file.empty() ? base : st.file;
  m_error_why = MultiFreqStatusText(st);
  return false;
}

void CSipExport::WriteOhmFiles() {
  for (size_t f = 0; f < m_vt_files.size() && f < m_ohm_rows.size(); ++f) {
    FILE* fp = Fp(f);
    const std::vector<OhmRow>& rows = m_ohm_rows[f];
    struct El {
      float x, y, z;
    };
    std::vector<El> els;
    for (const OhmRow& r : rows)
      for (int p = 0; p < 4; ++p)
        if (p != 1 || r.has_b) els.push_back({r.x[p], r.y[p], r.z[p]});
    auto less = [](const El& a, const El& b) { return a.x < b.x || (a.x == b.x && a.y < b.y); };
    auto same = [](const El& a, const El& b) { return a.x == b.x && a.y == b.y; };
    std::sort(els.begin(), els.end(), less);
    els.erase(std::unique(els.begin(), els.end(), same), els.end());
    auto number = [&](float x, float y) {
      const El key{x, y, 0.0f};
      auto it = std::lower_bound(els.begin(), els.end(), key, less);
      return int(it - els.begin()) + 1;
    };
    std::fprintf(fp, "%d\n", int(els.size()));
    std::fputs(m_three_d ? "# x y z\n" : "# x z\n", fp);
    for (const El& el : els) {
      if (m_three_d)
        std::fprintf(fp, "%.6f %.6f %.6f\n", double(el.x), double(el.y), double(el.z));
      else
        std::fprintf(fp, "%.6f %.6f\n", double(el.x), double(el.z));
    }
    std::fprintf(fp, "%d\n", int(rows.size()));
    std::fputs(m_opt->resistivity ? "# a b m n rhoa err ip iperr\n" : "# a b m n r err ip iperr\n", fp);
    for (const OhmRow& r : rows) {
      const int b = r.has_b ? number(r.x[1], r.y[1]) : 0;
      std::fprintf(fp, "%d %d %d %d %.8g %.8g %.8g %.8g\n", number(r.x[0], r.y[0]), b, number(r.x[2], r.y[2]),
                   number(r.x[3], r.y[3]), double(r.rho), double(r.err), double(r.ip), double(r.iperr));
    }
    std::fputs("0\n", fp);
  }
}
