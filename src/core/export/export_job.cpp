#include "core/export/export_job.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <thread>

#include "core/base/algo.h"
#include "core/base/clog.h"
#include "core/base/ex_string.h"
#include "core/base/ordered_prefetch.h"
#include "core/export/export_smt.h"
#include "core/processing/sip_spect2res.h"
#include "core/processing/spect_algo.h"
#include "core/processing/srs_recalc.h"

namespace {

bool Agree(float group, float file) { return algo_is_equal_cp(group, file, 1e-6); }

struct GroupKey {
  float a, b, origin, vd2ab;
};

// Sorted distinct m_pos of the channel entries of the results.
std::vector<float> Positions(std::vector<CResultSip*>& results) {
  std::vector<float> pos;
  for (CResultSip* r : results)
    for (int j = 0; j < r->GetChNum(); ++j) {
      // A position that is not a number (a damaged file) has no place in
      // the order and no data point.
      const float x = r->GetChInfo(j).m_pos;
      if (!std::isnan(x)) pos.push_back(x);
    }
  std::sort(pos.begin(), pos.end());
  pos.erase(std::unique(pos.begin(), pos.end()), pos.end());
  return pos;
}

int IndexOf(const std::vector<float>& pos, float x) {
  auto it = std::lower_bound(pos.begin(), pos.end(), x);
  if (it == pos.end() || *it != x) return -1;
  return int(it - pos.begin());
}

void Message(ExportRun& run, const std::string& title, const std::string& text, bool warning) {
  run.messages.push_back({title, text, warning});
}

// Threads that read and calculate files ahead of a run's loop.
unsigned PrefetchWorkers() { return std::min(4u, std::max(1u, std::thread::hardware_concurrency())); }

}  // namespace

std::string ExportArg(const std::string& text, const std::string& a1, const std::string& a2) {
  // One pass: a path put in for %1 that holds "%2" stays as it is.
  std::string out;
  size_t pos = 0;
  for (;;) {
    const size_t hit = text.find('%', pos);
    if (hit == std::string::npos || hit + 1 >= text.size()) break;
    const char d = text[hit + 1];
    if (d != '1' && d != '2') {
      out.append(text, pos, hit + 1 - pos);
      pos = hit + 1;
      continue;
    }
    out.append(text, pos, hit - pos);
    out += d == '1' ? a1 : a2;
    pos = hit + 2;
  }
  out.append(text, pos, std::string::npos);
  return out;
}

ExportTexts ExportTextsEnglish() {
  ExportTexts t;
  t.title_file_warning = "File warning";
  t.title_tips = "tips";
  t.title_warning = "warning";
  t.device_error = "The %1 SRS data file device error!";
  t.no_files = "No matching SRS data file found !";
  t.read_failed = "Failed to read %1!";
  t.smt_missing = "The following %1 files are misssing or have no data:";
  t.converted = "Data conversion completed";
  t.exported = "Data export completed!";
  t.no_valid = "Export completed, no valid data!";
  t.name_empty = "The exported file name is empty !";
  t.create_failed = "Cannot create %1: %2";
  t.not_completed = "%1 could not be completed: %2";
  t.harm_mismatch = "The group of %1 has another harmonic count than the first group; its data were not exported!";
  t.no_fs = "%1 files cannot carry the frequency effect!";
  t.no_harmonics = "%1 has no harmonics to export; its group was not exported!";
  t.cancelled = "Export cancelled; the files hold the data exported before the cancel.";
  return t;
}

int ExportFirstLayout(const std::vector<std::string>& paths) {
  if (paths.empty()) return SIP_POLE4_SOUNDING;
  CFormatSRS srs;
  srs.SetSkipItems(true, true);
  if (!srs.Read(paths[0])) return SIP_POLE4_SOUNDING;
  return srs.m_prm_meas.layout;
}

ExportCollected CollectSettings(const ExportSettings& s) {
  ExportCollected c;
  switch (s.target) {
    case TARGET_MID_GRADIENT: c.array_code = SIP_MID_GRADIENT; break;
    case TARGET_2D_SOUNDING: {
      const int l = ExportFirstLayout(s.paths);
      c.array_code = l == SIP_MID_GRADIENT ? SIP_POLE4_SOUNDING : l;
      break;
    }
    case TARGET_CHECK_ERR: c.array_code = ExportFirstLayout(s.paths); break;
    case TARGET_3D_SOUNDING:
      c.array_code = s.inversion ? s.layout : (s.four_poles ? SIP_POLE4_SOUNDING : SIP_POLE3_SOUNDING);
      break;
  }
  c.combine = s.target == TARGET_2D_SOUNDING && s.inversion && s.combine;
  c.ip_kind = s.ip_kind == 2 || s.ip_kind == 3 ? s.ip_kind : 1;
  c.unit_spacing = s.unit_spacing;
  c.resistivity = s.resistivity;
  c.add_sys_err = s.add_sys_err;
  c.sys_err_app = s.sys_err_app_percent / 100.0f;
  c.sys_err_cp = s.sys_err_cp_mrad / 1000.0f;
  c.x_shift_on = s.x_shift_on;
  c.x_shift = s.target == TARGET_3D_SOUNDING ? 0.0f : s.x_shift;
  return c;
}

int GroupFiles(const std::vector<std::string>& paths, int layout, bool free_or_3d,
               std::vector<std::vector<std::string>>* groups, std::vector<std::string>* unreadable) {
  groups->clear();
  std::vector<GroupKey> keys;
  // What grouping needs of a file, read on the other cores ahead of the loop.
  struct Head {
    bool read = false;
    int ch_num = 0;
    int layout = 0;
    GroupKey key{};
  };
  OrderedPrefetch<Head> heads(
      paths.size(),
      [&paths](size_t k) {
        Head h;
        CFormatSRS srs;
        srs.SetSkipItems(true, true);
        if (!srs.Read(paths[k])) return h;
        h.read = true;
        h.ch_num = srs.m_res.GetChNum();
        h.layout = srs.m_prm_meas.layout;
        if (h.ch_num < 1) return h;
        const ChInfo info = srs.m_res.GetChInfo(0);
        h.key = GroupKey{srs.m_prm_meas.ax, srs.m_prm_meas.bx, info.m_pos - float(info.site_no) * info.mn, info.vd2ab};
        return h;
      },
      PrefetchWorkers(), 4 * size_t(PrefetchWorkers()));
  for (size_t k = 0; k < paths.size(); ++k) {
    const Head h = heads.Take();
    if (!h.read) {
      if (unreadable) unreadable->push_back(paths[k]);
      continue;
    }
    if (h.ch_num < 1) continue;
    if (h.layout != layout) {
      groups->clear();
      return int(k) + 1;
    }
    const GroupKey key = h.key;
    if (layout == SIP_ALL_GRADIENT || free_or_3d) {
      groups->push_back({paths[k]});
      continue;
    }
    size_t g = 0;
    for (; g < keys.size(); ++g) {
      const GroupKey& gk = keys[g];
      if (Agree(gk.a, key.a) && (layout == SIP_POLE3_SOUNDING || Agree(gk.b, key.b)) &&
          Agree(gk.origin, key.origin) && Agree(gk.vd2ab, key.vd2ab))
        break;
    }
    if (g == keys.size()) {
      keys.push_back(key);
      groups->push_back({});
    }
    (*groups)[g].push_back(paths[k]);
  }
  return 0;
}

CResultSip MergeResults(std::vector<CResultSip>& results, int count, bool has_b) {
  CResultSip merged;
  count = std::min(count, int(results.size()));
  if (count < 1) return merged;
  CResultSip& first = results[0];
  std::vector<CResultSip*> used;
  for (int r = 0; r < count; ++r) {
    CResultSip& res = results[size_t(r)];
    if (res.GetHarmNum() != first.GetHarmNum() || res.GetPosAx() != first.GetPosAx() ||
        (has_b && res.GetPosBx() != first.GetPosBx())) {
      CLOG_WARN("result %d of the group left out: another harmonic count or transmitter position", r);
      continue;
    }
    used.push_back(&res);
  }
  const std::vector<float> pos = Positions(used);
  const int harm = first.GetHarmNum();
  merged.DoInit(int(pos.size()), 1, harm);
  merged.SetPos(first.GetPosAx(), first.GetPosAy(), first.GetPosBx(), first.GetPosBy());
  for (int h = 0; h < harm; ++h) merged.SetFreq(0, h, first.GetFreq(0, h));
  const ResItem empty;
  for (CResultSip* r : used) {
    for (int j = 0; j < r->GetChNum(); ++j) {
      const ChInfo info = r->GetChInfo(j);
      const int idx = IndexOf(pos, info.m_pos);
      if (idx < 0) continue;
      merged.SetChInfo(idx, info);
      for (int h = 0; h < harm; ++h) {
        const ResItem kept = merged.GetItem(idx, 0, h);
        const ResItem item = r->GetItem(j, 0, h);
        const ResBlock &k2 = kept.blk[RES_APP], &n2 = item.blk[RES_APP];
        bool take = k2.count < 2;
        if (!take && n2.count >= 2) take = double(n2.err) / double(n2.value) < double(k2.err) / double(k2.value);
        const ResItem& chosen = take ? item : kept;
        merged.SetItem(idx, 0, h, chosen.blk[RES_APP].count < 2 ? empty : chosen);
      }
    }
  }
  return merged;
}

StationData StationDataOf(const CFormatSRS& srs) {
  StationData st;
  const size_t n = std::min({srs.m_valid_sp.size(), srs.m_sp_ac.size(), srs.m_sp_dc.size(),
                             srs.m_valid_groud_r.size(), srs.m_groud_r.size()});
  st.count = int(n);
  st.sp_valid.assign(srs.m_valid_sp.begin(), srs.m_valid_sp.begin() + long(n));
  st.sp_ac.assign(srs.m_sp_ac.begin(), srs.m_sp_ac.begin() + long(n));
  st.sp_dc.assign(srs.m_sp_dc.begin(), srs.m_sp_dc.begin() + long(n));
  st.gr_valid.assign(srs.m_valid_groud_r.begin(), srs.m_valid_groud_r.begin() + long(n));
  st.gr.assign(srs.m_groud_r.begin(), srs.m_groud_r.begin() + long(n));
  return st;
}

StationData BuildStationData(std::vector<CFormatSRS*>& files) {
  std::vector<CResultSip*> results;
  for (CFormatSRS* f : files) results.push_back(&f->m_res);
  const std::vector<float> pos = Positions(results);
  StationData st;
  st.count = int(pos.size());
  st.sp_valid.assign(pos.size(), false);
  st.sp_ac.assign(pos.size(), 0.0f);
  st.sp_dc.assign(pos.size(), 0.0f);
  st.gr_valid.assign(pos.size(), false);
  st.gr.assign(pos.size(), 0.0f);
  for (CFormatSRS* f : files) {
    const int ch_num = f->m_res.GetChNum();
    for (int i = 0; i < ch_num; ++i) {
      const size_t k = size_t(i);
      if (k >= f->m_valid_sp.size() || k >= f->m_sp_ac.size() || k >= f->m_sp_dc.size() ||
          k >= f->m_valid_groud_r.size() || k >= f->m_groud_r.size())
        break;
      const int idx = IndexOf(pos, f->m_res.GetChInfo(i).m_pos);
      if (idx < 0) continue;
      st.sp_valid[size_t(idx)] = f->m_valid_sp[k];
      st.sp_ac[size_t(idx)] = f->m_sp_ac[k];
      st.sp_dc[size_t(idx)] = f->m_sp_dc[k];
      st.gr_valid[size_t(idx)] = f->m_valid_groud_r[k];
      st.gr[size_t(idx)] = f->m_groud_r[k];
    }
  }
  return st;
}

namespace {

void SetUpWriter(CSipExport& ex, const ExportSettings& s, const ExportCollected& c) {
  ex.m_path_base = s.path_base;
  ex.m_site_coord = s.site_coord;
  ex.m_elev = s.elev;
  ex.m_shifting = s.shifting;
  ex.SetLimits(&s.limits);
  ex.m_unit_spacing = c.unit_spacing;
  ex.m_resistivity = c.resistivity;
  ex.m_ip_kind = c.ip_kind;
  ex.m_array_code = c.array_code;
  ex.m_add_sys_err = c.add_sys_err;
  ex.m_sys_err_app = c.sys_err_app;
  ex.m_sys_err_cp = c.sys_err_cp;
  ex.m_x_shift_on = c.x_shift_on;
  ex.m_x_shift = c.x_shift;
  ex.m_layout = s.layout;
  ex.m_three_d = s.target == TARGET_3D_SOUNDING;
  ex.Reset();
}

// The run's files, put in place; a failure to complete one is reported.
bool FinishRun(CSipExport& ex, const ExportTexts& texts, ExportRun& run) {
  const bool ok = ex.Finish();
  run.written = ex.FileNames();
  if (!ok)
    Message(run, texts.title_warning,
            ExportArg(texts.not_completed, ex_ansi_to_utf8(ex.ErrorFile()), ex.ErrorWhy()), true);
  return ok;
}

// Stored spectra weighted by their coherence with the current, as the
// acquisition judged them.
void WeightStoredSpectra(CFormatSRS& srs) {
  const int n = CalcCohSp(srs.m_spect_u, srs.m_spect_i, 0, 0);
  if (n > 0) SetWeights(srs.m_spect_u, 0, n - 1, 1);
}

// One file of an export, read, with its spectra as the export takes them and
// its first result calculated; no file when it cannot be read.
struct PreparedFile {
  std::unique_ptr<CFormatSRS> srs;
  CResultSip first;
};

PreparedFile PrepareFile(const std::string& path, const ExportSettings& s, bool three_d, float shift,
                         SmtLookup* smt) {
  PreparedFile p;
  auto srs = std::make_unique<CFormatSRS>();
  // The results are calculated anew from the spectra; the stored ones give
  // only their channel entries and frequencies.
  srs->SetSkipItems(false, true);
  if (!srs->Read(path)) return p;
  if (s.input_ts)
    ConvertFromSmt(*srs, s.smt_dir, smt);
  else
    WeightStoredSpectra(*srs);
  srs->m_spect_u.DoMarkZeroBad();
  srs->m_spect_i.DoMarkZeroBad();
  CSipSpect2Res engine;
  engine.Init(srs.get());
  if (three_d)
    engine.CalcResComposed(p.first);
  else
    engine.CalcResCompositeCh(1, shift, p.first);
  p.srs = std::move(srs);
  return p;
}

}  // namespace

ExportRun RunExport(const ExportSettings& s, const ExportTexts& texts, RunProgress* progress) {
  ExportRun run;
  std::vector<std::vector<std::string>> groups;
  std::vector<std::string> unreadable;
  const int k = GroupFiles(s.paths, s.layout, s.target == TARGET_3D_SOUNDING, &groups, &unreadable);
  if (s.stop_on_unreadable && !unreadable.empty()) {
    Message(run, texts.title_tips, ExportArg(texts.read_failed, ex_ansi_to_utf8(unreadable[0])), true);
    return run;
  }
  if (k >= 1) {
    Message(run, texts.title_file_warning, ExportArg(texts.device_error, std::to_string(k)), true);
    return run;
  }
  if (groups.empty()) {
    Message(run, texts.title_file_warning, texts.no_files, true);
    return run;
  }
  return RunExportGroups(s, groups, texts, progress);
}

ExportRun RunExportGroups(const ExportSettings& s, const std::vector<std::vector<std::string>>& groups,
                          const ExportTexts& texts, RunProgress* progress) {
  ExportRun run;
  if (groups.empty()) {
    Message(run, texts.title_file_warning, texts.no_files, true);
    return run;
  }
  const ExportCollected c = CollectSettings(s);
  const bool three_d = s.target == TARGET_3D_SOUNDING;
  const bool zond = s.target == TARGET_2D_SOUNDING && s.inversion && s.zond && !s.ohm;
  const bool ohm = (s.target == TARGET_2D_SOUNDING || three_d) && s.inversion && s.ohm;
  const bool also_ohm = (s.target == TARGET_2D_SOUNDING || three_d) && s.inversion && s.also_ohm && !ohm;
  if ((zond || ohm || also_ohm) && c.ip_kind == 3) {
    Message(run, texts.title_file_warning, ExportArg(texts.no_fs, zond ? "Zondres2d" : ".ohm"), true);
    return run;
  }

  CSipExport ex;
  SetUpWriter(ex, s, c);
  // The unified data format beside the Res2dinv or Res3dinv files, from the
  // same results.
  std::unique_ptr<CSipExport> ex_ohm;
  if (also_ohm) {
    ex_ohm = std::make_unique<CSipExport>();
    SetUpWriter(*ex_ohm, s, c);
  }
  const float shift = c.combine ? s.shift_percent / 100.0f : 0.0f;
  bool topography_due = false;
  SmtLookup smt;
  // Every file of every group in the run's order, read and calculated ahead
  // of the writer on the other cores. The SMT input stays in one thread: its
  // lookup of checked SMT files is shared by the files and lists the missing
  // ones in the order of the run.
  std::vector<const std::string*> order;
  for (const std::vector<std::string>& group : groups)
    for (const std::string& path : group) order.push_back(&path);
  const unsigned workers = s.input_ts ? 0u : PrefetchWorkers();
  OrderedPrefetch<PreparedFile> prefetch(
      order.size(),
      [&](size_t k) {
        return PrepareFile(*order[k], s, three_d, shift, &smt);
      },
      workers, 2 * size_t(workers));
  auto finish_all = [&]() {
    if (topography_due) ex.AppendTopography();
    bool ok = FinishRun(ex, texts, run);
    if (ex_ohm) {
      const std::vector<std::string> first = run.written;
      ok = FinishRun(*ex_ohm, texts, run) && ok;
      run.written.insert(run.written.begin(), first.begin(), first.end());
    }
    return ok;
  };

  for (size_t g = 0; g < groups.size(); ++g) {
    const std::vector<std::string>& group = groups[g];
    if (group.empty()) continue;
    if (progress && !progress->OnFile(int(g), int(groups.size()), group[0])) {
      // The groups done so far are whole rows: they stay, with their counts.
      finish_all();
      run.cancelled = true;
      Message(run, texts.title_tips, texts.cancelled, false);
      return run;
    }
    for (CSipExport* w : {&ex, ex_ohm.get()}) {
      if (!w) continue;
      w->SetGroupName(SrsBaseName(group[0]));
      w->SelectShifts();
    }

    std::vector<std::unique_ptr<CFormatSRS>> files;
    std::vector<std::string> names;
    std::vector<CResultSip> results(group.size());
    int n_max = 1;
    for (size_t f = 0; f < group.size(); ++f) {
      PreparedFile prepared = prefetch.Take();
      names.push_back(SrsBaseName(group[f]));
      if (!prepared.srs) {
        // What the run wrote so far stays, complete and with its counts.
        finish_all();
        Message(run, texts.title_tips, ExportArg(texts.read_failed, ex_ansi_to_utf8(group[f])), true);
        return run;
      }
      results[f].Swap(prepared.first);
      if (c.combine) n_max = std::max(n_max, prepared.srs->m_res.GetChNum());
      files.push_back(std::move(prepared.srs));
    }

    std::vector<CFormatSRS*> file_ptrs;
    for (auto& f : files) file_ptrs.push_back(f.get());
    const StationData station = three_d ? StationDataOf(*files[0]) : BuildStationData(file_ptrs);
    CFormatSRS& first = *files[0];
    const std::string first_name = ex_ansi_to_utf8(names[0]);

    // The first order was calculated when the file was prepared; the others
    // (pole combination) are calculated ahead of the writer on the other
    // cores. Each order works on its own copy of the files: the spectrum
    // arrays lock every access, and threads sharing them would wait on each
    // other for most of the time.
    OrderedPrefetch<std::vector<CResultSip>> orders(
        size_t(n_max - 1),
        [&](size_t k) {
          std::vector<CResultSip> rs(files.size());
          for (size_t f = 0; f < files.size(); ++f) {
            CFormatSRS own(*files[f]);
            CSipSpect2Res engine;
            engine.Init(&own);
            engine.CalcResCompositeCh(int(k) + 2, shift, rs[f]);
          }
          return rs;
        },
        PrefetchWorkers(), 2 * size_t(PrefetchWorkers()));
    for (int order = 1; order <= n_max; ++order) {
      if (order > 1) {
        std::vector<CResultSip> rs = orders.Take();
        for (size_t f = 0; f < files.size(); ++f) results[f].Swap(rs[f]);
      }
      CSipExport* failed = nullptr;
      auto write_ohm = [&](CResultSip& r) {
        if (ex_ohm && !ex_ohm->WriteOhm(r, first)) failed = ex_ohm.get();
      };
      if (s.target == TARGET_CHECK_ERR) {
        if (!ex.WriteCheckErr(results, names, int(results.size()), first)) failed = &ex;
      } else if (three_d) {
        CResultSip& r = results[0];
        if (!s.inversion) {
          if (!ex.WriteSection(r, station, first)) failed = &ex;
        } else if (ohm) {
          if (!ex.WriteOhm(r, first)) failed = &ex;
        } else {
          topography_due = true;
          if (!ex.WriteRes3dinv(r, first)) failed = &ex;
          if (!failed) write_ohm(r);
        }
      } else {
        CResultSip merged = MergeResults(results, int(results.size()), c.array_code != SIP_POLE3_SOUNDING);
        bool ok = true;
        if (s.target == TARGET_MID_GRADIENT)
          ok = ex.WritePlane(merged, station, first_name, first);
        else if (!s.inversion)
          ok = ex.WriteSection(merged, station, first);
        else if (ohm)
          ok = ex.WriteOhm(merged, first);
        else if (zond)
          ok = ex.WriteZond2d(merged, first);
        else
          ok = ex.WriteRes2dinv(merged, first);
        if (!ok) failed = &ex;
        if (!failed && s.inversion) write_ohm(merged);
      }
      if (!failed) continue;
      const std::string name0 = ex_ansi_to_utf8(group[0]);
      if (failed->LastError() == EXPORT_HARM_MISMATCH || failed->LastError() == EXPORT_BAD_INPUT) {
        // Rows of another shape (or none) cannot join the run's files.
        run.skipped.push_back(name0);
        Message(run, texts.title_warning,
                ExportArg(failed->LastError() == EXPORT_HARM_MISMATCH ? texts.harm_mismatch : texts.no_harmonics,
                          name0),
                true);
        break;
      }
      Message(run, texts.title_file_warning,
              ExportArg(texts.create_failed, ex_ansi_to_utf8(failed->ErrorFile()), failed->ErrorWhy()), true);
      ex.Discard();
      if (ex_ohm) ex_ohm->Discard();
      return run;
    }
  }

  if (!finish_all()) return run;
  run.smt_missing = smt.missing;
  if (!smt.missing.empty()) {
    std::string text = ExportArg(texts.smt_missing, std::to_string(smt.missing.size()));
    for (const std::string& p : smt.missing) text += "\n" + p;
    Message(run, texts.title_warning, text, false);
  }
  Message(run, texts.title_tips, texts.converted, false);
  run.completed = true;
  return run;
}

ExportRun RunPassRate(const ExportSettings& s, const ExportTexts& texts, RunProgress* progress) {
  ExportRun run;
  if (s.paths.empty()) {
    Message(run, texts.title_file_warning, texts.no_files, true);
    return run;
  }
  const std::string file_name = SrsBaseName(s.path_base + ".x");
  if (s.path_base.empty() || s.path_base.back() == '/' || file_name.empty()) {
    Message(run, texts.title_file_warning, texts.name_empty, true);
    return run;
  }
  CSipExport ex;
  ex.m_path_base = s.path_base;
  ex.m_elev = s.elev;
  ex.SetLimits(&s.limits);
  ex.m_resistivity = true;
  ex.m_ip_kind = 2;
  ex.m_array_code = s.layout;
  ex.m_layout = s.layout;
  ex.m_unit_spacing = s.unit_spacing;
  ex.m_add_sys_err = false;
  ex.m_sys_err_app = s.sys_err_app_percent / 100.0f;
  ex.m_sys_err_cp = s.sys_err_cp_mrad / 1000.0f;
  ex.m_x_shift_on = false;
  ex.Reset();

  int mismatch = 0, written = 0;
  bool failed = false;
  std::string unread;
  const bool walked = RunOverPaths(s.paths, progress, [&](int k, const std::string& path) {
    if (mismatch || failed || !unread.empty()) return;
    ex.m_qualified = 0;
    ex.m_total = 0;
    CFormatSRS srs;
    if (!srs.Read(path)) {
      if (s.stop_on_unreadable) unread = path;
      return;
    }
    if (srs.m_res.GetChNum() < 1 || srs.m_res_composed.GetChNum() < 1) return;
    if (srs.m_prm_meas.layout != s.layout) {
      mismatch = k + 1;
      return;
    }
    if (!ex.WritePassRate(path, srs)) {
      failed = true;
      return;
    }
    ++written;
  });
  if (!walked) {
    ex.WritePassRateSummary();
    FinishRun(ex, texts, run);
    run.cancelled = true;
    Message(run, texts.title_tips, texts.cancelled, false);
    return run;
  }
  if (failed) {
    Message(run, texts.title_file_warning,
            ExportArg(texts.create_failed, ex_ansi_to_utf8(ex.ErrorFile()), ex.ErrorWhy()), true);
    return run;
  }
  if (!unread.empty()) {
    ex.Discard();
    Message(run, texts.title_tips, ExportArg(texts.read_failed, ex_ansi_to_utf8(unread)), true);
    return run;
  }
  if (mismatch) {
    // A walk stopped by a file of another layout is no pass-rate table:
    // an earlier one of the same name stays.
    ex.Discard();
    Message(run, texts.title_file_warning, ExportArg(texts.device_error, std::to_string(mismatch)), true);
    return run;
  }
  ex.WritePassRateSummary();
  if (!FinishRun(ex, texts, run)) return run;
  Message(run, texts.title_tips, written > 0 ? texts.exported : texts.no_valid, false);
  run.completed = true;
  return run;
}
