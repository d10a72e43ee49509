#include "core/processing/srs_recalc.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>

#include "core/base/atomic_file.h"
#include "core/base/clog.h"
#include "core/base/ex_file.h"
#include "core/base/ex_string.h"
#include "core/base/ordered_prefetch.h"
#include "core/base/platform.h"
#include "core/processing/sip_spect2res.h"
#include "core/processing/sip_ts2spect.h"
#include "core/processing/synth_current.h"

namespace {

constexpr int kComposedHarmonics = RECAL_HARM_MAX;

std::string RecordStr(const char* buf, size_t cap) { return std::string(buf, strnlen(buf, cap)); }

std::string Trimmed(const std::string& s) {
  const char* ws = " \t\n\v\f\r";
  const size_t b = s.find_first_not_of(ws);
  if (b == std::string::npos) return std::string();
  const size_t e = s.find_last_not_of(ws);
  return s.substr(b, e - b + 1);
}

// Names of the devices idx, as the user reads them, each once.
void AppendDevNames(const CFormatSRS& srs, const std::vector<int>& idx, std::vector<std::string>* names) {
  if (!names) return;
  for (int d : idx) {
    if (d < 0 || size_t(d) >= srs.m_vt_prm_dev.size()) continue;
    const PrmDev& dev = srs.m_vt_prm_dev[size_t(d)];
    const std::string name = Trimmed(ex_ansi_to_utf8(RecordStr(dev.dev_name, sizeof(dev.dev_name))));
    if (std::find(names->begin(), names->end(), name) == names->end()) names->push_back(name);
  }
}

std::string Joined(const std::vector<std::string>& names) {
  std::string out;
  for (size_t i = 0; i < names.size(); ++i) {
    if (i) out += ",";
    out += names[i];
  }
  return out;
}

bool UsableV2i(float v2i) { return std::isfinite(v2i) && v2i > 0.0f; }

void Fail(RecalcRun& run, const std::string& path, const std::string& why, Reason reason) {
  run.failed_paths.push_back(path);
  run.failed_why.push_back(why);
  reason.text = why;
  run.failed_reason.push_back(std::move(reason));
}

std::string OutPath(const std::string& out_dir, const std::string& name) { return out_dir + "/" + name + ".SRS"; }

// out was written from the input from earlier in this run.
Reason NameTaken(const std::string& out, const std::string& from) {
  Reason r;
  r.code = ReasonCode::NameTaken;
  r.file = out;
  r.other = from;
  return r;
}

// WriteKeepingOriginal with the inputs of a run indexed once.
bool WriteKeeping(CFormatSRS& srs, const std::string& out, const ExFileIndex& inputs, std::string* why,
                  Reason* reason) {
  const bool is_input = ex_same_file(out, srs.GetPath()) || inputs.Find(out) != nullptr;
  bool made = false;
  if (is_input && !ex_backup_once(out, &made, why, reason)) return false;
  if (ex_write_atomic(out, [&](FILE* fp) { return srs.WriteFile(fp); }, why, reason)) return true;
  // The input stays as it was: no backup of a change that never happened.
  if (made) std::remove(ex_backup_path(out).c_str());
  return false;
}

// The rebuild of a file that was read, in memory; false with the status set
// when it cannot be rebuilt.
bool RebuildInMemory(CFormatSRS& srs, const std::string& smt_dir, bool force_composed, SmtRebuild& r) {
  if (!RecalcFromSmt(srs, smt_dir, &r.done, &r.miss, &r.cur_path)) {
    r.status = r.cur_path.empty() ? SmtRebuildStatus::CannotRebuild : SmtRebuildStatus::NoCurrent;
    return false;
  }
  RecomputeResultsAfterSmt(srs, force_composed);
  return true;
}

SmtRebuild RebuildIndexed(CFormatSRS& srs, const std::string& smt_dir, bool force_composed,
                          const std::string& out_path, const ExFileIndex& inputs) {
  SmtRebuild r;
  if (!RebuildInMemory(srs, smt_dir, force_composed, r)) return r;
  if (!WriteKeeping(srs, out_path, inputs, &r.why, &r.reason)) r.status = SmtRebuildStatus::WriteFailed;
  return r;
}

// One file of the all-files time-series run, read and rebuilt (not yet
// written). made is false for a file left to the run's own thread.
struct SmtPrepared {
  bool made = false;
  std::unique_ptr<CFormatSRS> srs;
  SmtRebuild r;
};

SmtPrepared PrepareFromSmt(const std::string& path, const std::string& smt_dir) {
  SmtPrepared p;
  p.made = true;
  p.srs = std::make_unique<CFormatSRS>();
  if (!p.srs->Read(path)) {
    p.r.status = SmtRebuildStatus::ReadFailed;
    p.r.why = p.srs->GetError();
    p.r.reason = p.srs->GetReason();
    return p;
  }
  RebuildInMemory(*p.srs, smt_dir, false, p.r);
  return p;
}

}  // namespace

std::string RecalcOutPath(const std::string& out_dir, const std::string& path) {
  return OutPath(out_dir, SrsBaseName(path));
}

bool FindOutputCollision(const std::vector<std::string>& paths,
                         const std::function<std::string(const std::string&)>& out_of, OutputCollision* hit) {
  ExFileIndex outputs;
  for (const std::string& p : paths) {
    const std::string out = out_of(p);
    if (out.empty()) continue;
    if (const std::string* first = outputs.Add(out, p)) {
      if (hit) *hit = OutputCollision{*first, p, out};
      return true;
    }
  }
  return false;
}

std::string OutputCollisionText(const OutputCollision& c) {
  return ex_ansi_to_utf8(c.first) + " and " + ex_ansi_to_utf8(c.second) + " would both be written as " +
         ex_ansi_to_utf8(c.output) + "; nothing was written";
}

RecalcTexts RecalcTextsEnglish() {
  RecalcTexts t;
  t.recal_ok = "%1 Recalculation successful\n";
  t.open_failed = "%1 open failed!\n";
  t.write_failed = "%1 write failed!\n\n";
  t.open_ok = "%1 open successfull!\n";
  t.recal_failed = "%1 recalculation failed!\n";
  t.devices_done = "Recalculation devices: %1\n";
  t.devices_done_none = "Recalculation devices: none\n";
  t.devices_miss = "UnCalculated devices: %1\n\n";
  t.devices_miss_none = "UnCalculated devices: none\n\n";
  return t;
}

std::string SrsBaseName(const std::string& path) {
  const size_t slash = path.find_last_of(kPlatformPathSeparators);
  const std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
  return file.substr(0, file.find('.'));
}

std::string DirPartOf(const std::string& path) {
  const size_t slash = path.find_last_of(kPlatformPathSeparators);
  if (slash == std::string::npos) return ".";
  if (slash == 0) return path.substr(0, 1);
  return path.substr(0, slash);
}

std::string RecalcArg(const std::string& text, const std::string& arg) {
  std::string out;
  size_t pos = 0;
  for (;;) {
    const size_t hit = text.find("%1", pos);
    if (hit == std::string::npos) break;
    out.append(text, pos, hit - pos);
    out += arg;
    pos = hit + 2;
  }
  out.append(text, pos, std::string::npos);
  return out;
}

bool RecomputeComposed(CFormatSRS& srs, int a) {
  if (a < 1 || a > kComposedHarmonics) return false;
  const int b = kComposedHarmonics / a;
  CResultSip& comp = srs.m_res_composed;
  comp.DoInit(comp.GetChNum(), 1, b);
  const double fb = srs.m_prm_meas.freq_base;
  for (int i = 0; i < b; ++i) comp.SetFreq(0, i, float((i * a + (a + 1) * 0.5) * fb));

  CSipSpect2Res engine;
  engine.Init(&srs);
  engine.CalcResCompositeCh(1, 1.0f, comp);

  // Groups of one dipole come out in site order. The file keeps its entries
  // in the order of the voltage spectra, and the per-channel self-potential,
  // the parameter editor and the export pair entry i with spectrum channel i,
  // so the entries go back to that order.
  const std::vector<int>& order = engine.GetChOrder();
  const int n = comp.GetChNum();
  if (n != int(order.size()) || n < 2) return true;
  const int points = comp.GetHarmNum();
  CResultSip sorted(comp);
  for (int k = 0; k < n; ++k) {
    const int e = order[size_t(k)];
    if (e < 0 || e >= n) return true;
  }
  for (int k = 0; k < n; ++k) {
    const int e = order[size_t(k)];
    comp.SetChInfo(e, sorted.GetChInfo(k));
    for (int p = 0; p < points; ++p) comp.SetItem(e, 0, p, sorted.GetItem(k, 0, p));
  }
  return true;
}

bool SmtDeviceNameUsable(const std::string& dev_name) {
  if (dev_name.empty() || dev_name == "." || dev_name.find("..") != std::string::npos) return false;
  return dev_name.find_first_of("/\\") == std::string::npos;
}

std::string SmtPathFor(const std::string& smt_dir, const std::string& srs_path, const std::string& dev_name) {
  // The device name comes from the file: one that is not a plain folder name
  // would lead the time series out of the SMT folder.
  if (!SmtDeviceNameUsable(dev_name)) {
    CLOG_WARN("device name \"%s\" cannot name an SMT folder", dev_name.c_str());
    return std::string();
  }
  return SmtPathLookedFor(smt_dir, srs_path, dev_name);
}

std::string SmtPathLookedFor(const std::string& smt_dir, const std::string& srs_path, const std::string& dev_name) {
  return smt_dir + "/" + dev_name + "/" + SrsBaseName(srs_path) + ".smt";
}

SmtChRef SmtCurrentRef(CFormatSRS& srs, const std::string& smt_dir) {
  const PrmMeas& meas = srs.m_prm_meas;
  return SmtChRef{SmtPathFor(smt_dir, srs.GetPath(), RecordStr(meas.cur_station, sizeof(meas.cur_station))), 3};
}

std::string SmtCurrentLookedFor(CFormatSRS& srs, const std::string& smt_dir) {
  const PrmMeas& meas = srs.m_prm_meas;
  return SmtPathLookedFor(smt_dir, srs.GetPath(), RecordStr(meas.cur_station, sizeof(meas.cur_station)));
}

std::vector<SmtChRef> SmtChannelRefs(CFormatSRS& srs, const std::string& smt_dir,
                                     const std::function<bool(const std::string&)>& usable,
                                     const std::function<void(const std::string&)>& refused) {
  const int ch_num = srs.m_res.GetChNum();
  std::vector<SmtChRef> refs(size_t(std::max(ch_num, 0)));
  for (int c = 0; c < ch_num; ++c) {
    const ChInfo info = srs.m_res.GetChInfo(c);
    refs[size_t(c)].idx_ch = info.idx_dev_ch;
    if (info.idx_dev < 0 || size_t(info.idx_dev) >= srs.m_vt_prm_dev.size()) continue;
    const PrmDev& dev = srs.m_vt_prm_dev[size_t(info.idx_dev)];
    const std::string name = RecordStr(dev.dev_name, sizeof(dev.dev_name));
    const std::string p = SmtPathFor(smt_dir, srs.GetPath(), name);
    if (p.empty()) {
      if (refused) refused(SmtPathLookedFor(smt_dir, srs.GetPath(), name));
    } else if (usable(p)) {
      refs[size_t(c)].path = p;
    }
  }
  return refs;
}

bool RecalcFromSmt(CFormatSRS& srs, const std::string& smt_dir, std::vector<std::string>* done,
                   std::vector<std::string>* miss, std::string* cur_path) {
  if (done) done->clear();
  if (miss) miss->clear();
  if (cur_path) cur_path->clear();
  const PrmMeas meas = srs.m_prm_meas;
  if (meas.harm_num < 1 || meas.harm_num > SIP_MAX_HARM_NUM) {
    CLOG_ERR("%s: %d harmonics, nothing to recalculate", srs.GetPath().c_str(), meas.harm_num);
    return false;
  }
  const bool cur_used = meas.curr_station_used != 0;
  if (cur_used && !UsableV2i(meas.v2i)) {
    CLOG_ERR("%s: current station with v2i %g", srs.GetPath().c_str(), double(meas.v2i));
    return false;
  }

  CSipTs2Spect ts;
  ts.SetParams(meas.sample_rate, meas.freq_base, meas.harm_num, meas.wave);
  const SmtChRef cur_ref = SmtCurrentRef(srs, smt_dir);
  if (cur_used && !ts.CheckSmt(cur_ref.path)) {
    // A current-station name that cannot be a folder still shows what was
    // looked for, though it was never opened.
    const std::string looked_for = SmtCurrentLookedFor(srs, smt_dir);
    CLOG_WARN("%s: current data not found: %s", srs.GetPath().c_str(), looked_for.c_str());
    if (cur_path) *cur_path = looked_for;
    return false;
  }

  const std::vector<SmtChRef> refs =
      SmtChannelRefs(srs, smt_dir, [&ts](const std::string& p) { return ts.CheckSmt(p); });

  ts.SetAmpCoef(1.0);
  CSpectArray new_u;
  ts.CalcArrayForRes(refs, cur_used ? &cur_ref : nullptr, srs.m_res, srs.m_spect_u, new_u, true);
  srs.m_spect_u = new_u;
  AppendDevNames(srs, ts.GetDevList(true), done);
  AppendDevNames(srs, ts.GetDevList(false), miss);

  const int harm_num = meas.harm_num;
  if (cur_used) {
    ts.SetAmpCoef(1.0 / double(meas.v2i));
    // A one-entry electric result stands for the current channel, so that a
    // current that cannot be transformed keeps the stored current spectrum.
    CResultSip one;
    one.DoInit(1, 1, 1);
    ChInfo info;
    info.ch_type = SIP_CH_ELECTRIC;
    one.SetChInfo(0, info);
    CSpectArray new_i;
    ts.CalcArrayForRes({cur_ref}, nullptr, one, srs.m_spect_i, new_i, false);
    srs.m_spect_i = new_i;
    return true;
  }

  // The synthesized current is (current x v2i) per harmonic, stored divided
  // by v2i again; a v2i that cannot divide leaves the current itself.
  PrmMeas synth_meas = meas;
  double s = 1.0 / double(meas.v2i);
  if (!UsableV2i(meas.v2i)) {
    synth_meas.v2i = 1.0f;
    s = 1.0;
  }
  const int n = srs.m_spect_u.DoGetCalNum();
  CSpectArray synth = synthCurrentSpect(synth_meas, MAX_CH_NUM, harm_num, n, meas.cur_value,
                                        baseFreqIndex(meas.freq_base));
  srs.m_spect_i.DoInit(1, 1, harm_num, n, -1, 2);
  for (int c = 0; c < n; ++c)
    for (int h = 0; h < harm_num; ++h) {
      const SpectItem it = synth.DoGetItemOf(3, 0, h, c);
      srs.m_spect_i.DoSetValueOf(0, 0, h, c, it.re * s, it.im * s, it.bad);
    }
  return true;
}

void RecomputeResultsAfterSmt(CFormatSRS& srs, bool force_composed) {
  srs.m_spect_u.DoMarkZeroBad();
  srs.m_spect_i.DoMarkZeroBad();
  CSipSpect2Res engine;
  engine.Init(&srs);
  if (!force_composed || engine.SetComposed(true))
    engine.CalcRes(srs.m_res_composed);
  else
    CLOG_WARN("%s: composed result left as stored", srs.GetPath().c_str());
  engine.SetComposed(false);
  engine.CalcRes(srs.m_res);
}

namespace {

// The loop both runs share: progress, reading, the report entry of a file
// that cannot be read. process() recalculates one file that was read and
// returns its report entry, or an empty text when it recorded a failure.
template <typename Process>
RecalcRun RunOverFiles(const std::vector<std::string>& paths, const RecalcTexts& texts, RunProgress* progress,
                       Process process) {
  RecalcRun run;
  const ExFileIndex inputs(paths);
  ExFileIndex written;
  run.cancelled = !RunOverPaths(paths, progress, [&](int, const std::string& path) {
    const std::string name = ex_ansi_to_utf8(SrsBaseName(path));
    CFormatSRS srs;
    if (!srs.Read(path)) {
      run.entries.push_back(RecalcArg(texts.open_failed, name));
      Fail(run, path, "cannot be read as an SRS file: " + srs.GetError(), srs.GetReason());
      return;
    }
    std::string entry = process(srs, path, name, inputs, written, run);
    if (!entry.empty()) run.entries.push_back(entry);
  });
  return run;
}

// Writes the recalculated file as out_dir/<base>.SRS; false after recording
// the failure. Two inputs of one run that map to the same output name (the
// base name stops at the first dot) would silently replace each other: the
// later one is refused, as is a name without base. written maps each output
// of the run to its input.
bool WriteOut(CFormatSRS& srs, const std::string& out_dir, const std::string& path, const std::string& name,
              const RecalcTexts& texts, const ExFileIndex& inputs, ExFileIndex& written, RecalcRun& run) {
  const std::string base = SrsBaseName(path);
  const std::string out = OutPath(out_dir, base);
  std::string why;
  Reason reason;
  if (base.empty()) {
    why = "has no base name to write under";
    reason.code = ReasonCode::NoBaseName;
  } else if (const std::string* from = written.Find(out)) {
    why = "would replace " + ex_ansi_to_utf8(out) + ", written from " + ex_ansi_to_utf8(*from) + " in this run";
    reason = NameTaken(out, *from);
  }
  if (why.empty()) {
    if (WriteKeeping(srs, out, inputs, &why, &reason)) {
      run.written.push_back(out);
      run.written_from.push_back(path);
      written.Add(out, path);
      return true;
    }
    why = "cannot write " + ex_ansi_to_utf8(out) + (why.empty() ? "" : ": " + why);
  }
  run.entries.push_back(RecalcArg(texts.write_failed, name));
  Fail(run, path, why, reason);
  return false;
}

}  // namespace

RecalcRun RecalcAllComposed(const std::vector<std::string>& paths, int a, const std::string& out_dir,
                            const RecalcTexts& texts, RunProgress* progress) {
  if (a < 1 || a > kComposedHarmonics) return RecalcRun();
  return RunOverFiles(paths, texts, progress,
                      [&](CFormatSRS& srs, const std::string& path, const std::string& name,
                          const ExFileIndex& inputs, ExFileIndex& written, RecalcRun& run) {
                        RecomputeComposed(srs, a);
                        if (!WriteOut(srs, out_dir, path, name, texts, inputs, written, run)) return std::string();
                        return RecalcArg(texts.recal_ok, name);
                      });
}

RecalcRun RecalcAllFromSmt(const std::vector<std::string>& paths, const std::string& smt_dir,
                           const std::string& out_dir, const RecalcTexts& texts, RunProgress* progress) {
  RecalcRun run;
  const ExFileIndex inputs(paths);
  ExFileIndex written;
  // Files are read and rebuilt ahead on every core while this thread writes
  // them in input order. An input that an output of this run may replace is
  // read only at its turn, after the writes before it, as one file after
  // another would read it.
  std::vector<char> at_turn(paths.size(), 0);
  if (paths.size() > 1) {
    const std::vector<std::string> replaced = InputsOverwrittenBy(paths, out_dir);
    if (!replaced.empty()) {
      const ExFileIndex replaced_index(replaced);
      for (size_t i = 0; i < paths.size(); ++i) at_turn[i] = replaced_index.Find(paths[i]) != nullptr;
    }
  }
  const unsigned workers = paths.size() > 1 ? RunPrefetchWorkers() : 0u;
  OrderedPrefetch<SmtPrepared> ahead(
      paths.size(),
      [&](size_t i) { return at_turn[i] ? SmtPrepared() : PrepareFromSmt(paths[i], smt_dir); }, workers,
      size_t(workers));
  run.cancelled = !RunOverPaths(paths, progress, [&](int, const std::string& path) {
    SmtPrepared p = ahead.Take();
    const std::string name = ex_ansi_to_utf8(SrsBaseName(path));
    const std::string out = OutPath(out_dir, SrsBaseName(path));
    // As with the stored spectra: an output another input of this run has
    // written already is not replaced, and a name without base is no name.
    std::string refused;
    Reason reason;
    if (SrsBaseName(path).empty()) {
      refused = "has no base name to write under";
      reason.code = ReasonCode::NoBaseName;
    } else if (const std::string* from = written.Find(out)) {
      refused =
          "would replace " + ex_ansi_to_utf8(out) + ", written from " + ex_ansi_to_utf8(*from) + " in this run";
      reason = NameTaken(out, *from);
    }
    if (!refused.empty()) {
      run.entries.push_back(RecalcArg(texts.write_failed, name));
      Fail(run, path, refused, reason);
      return;
    }
    if (!p.made) p = PrepareFromSmt(path, smt_dir);
    SmtRebuild& r = p.r;
    if (r.status == SmtRebuildStatus::Ok && !WriteKeeping(*p.srs, out, inputs, &r.why, &r.reason))
      r.status = SmtRebuildStatus::WriteFailed;
    if (r.status == SmtRebuildStatus::Ok) {
      run.written.push_back(out);
      run.written_from.push_back(path);
      written.Add(out, path);
    }
    switch (r.status) {
      case SmtRebuildStatus::ReadFailed:
        run.entries.push_back(RecalcArg(texts.open_failed, name));
        Fail(run, path, "cannot be read as an SRS file: " + r.why, r.reason);
        return;
      case SmtRebuildStatus::NoCurrent:
      case SmtRebuildStatus::CannotRebuild:
        run.entries.push_back(RecalcArg(texts.recal_failed, name));
        {
          Reason reason;
          reason.code = r.cur_path.empty() ? ReasonCode::CannotRebuild : ReasonCode::NoCurrentSeries;
          reason.file = r.cur_path;
          Fail(run, path,
               r.cur_path.empty() ? "cannot be recalculated (harmonic count or current factor v2i unusable)"
                                  : "current-station time series not found: " + ex_ansi_to_utf8(r.cur_path),
               reason);
        }
        return;
      case SmtRebuildStatus::WriteFailed:
        run.entries.push_back(RecalcArg(texts.write_failed, name));
        Fail(run, path, "cannot write " + ex_ansi_to_utf8(out) + (r.why.empty() ? "" : ": " + r.why), r.reason);
        return;
      case SmtRebuildStatus::Ok:
        break;
    }
    std::string entry = RecalcArg(texts.open_ok, name);
    entry += r.done.empty() ? texts.devices_done_none : RecalcArg(texts.devices_done, Joined(r.done));
    entry += r.miss.empty() ? texts.devices_miss_none : RecalcArg(texts.devices_miss, Joined(r.miss));
    run.entries.push_back(entry);
  });
  return run;
}

bool WriteKeepingOriginal(CFormatSRS& srs, const std::string& out, const std::vector<std::string>& inputs,
                          std::string* why, Reason* reason) {
  return WriteKeeping(srs, out, ExFileIndex(inputs), why, reason);
}

std::vector<std::string> InputsOverwrittenBy(const std::vector<std::string>& paths, const std::string& out_dir) {
  const ExFileIndex inputs(paths);
  std::vector<std::string> hit;
  std::set<std::string> seen;
  for (const std::string& p : paths) {
    const std::string* q = inputs.Find(OutPath(out_dir, SrsBaseName(p)));
    if (q && seen.insert(*q).second) hit.push_back(*q);
  }
  return hit;
}

SmtRebuild RebuildSrsFromSmt(CFormatSRS& srs, const std::string& smt_dir, bool force_composed,
                             const std::string& out_path, const std::vector<std::string>& inputs) {
  return RebuildIndexed(srs, smt_dir, force_composed, out_path, ExFileIndex(inputs));
}

SmtRebuild RebuildSrsFileFromSmt(CFormatSRS& srs, const std::string& path, const std::string& smt_dir,
                                 bool force_composed, const std::string& out_path,
                                 const std::vector<std::string>& inputs) {
  if (!srs.Read(path)) {
    SmtRebuild r;
    r.status = SmtRebuildStatus::ReadFailed;
    r.why = srs.GetError();
    r.reason = srs.GetReason();
    return r;
  }
  return RebuildSrsFromSmt(srs, smt_dir, force_composed, out_path, inputs);
}

bool WriteReport(const std::string& path, const std::vector<std::string>& entries) {
  return ex_write_atomic(path, [&](FILE* fp) {
    for (const std::string& e : entries)
      if (ex_fwrite(fp, e.data(), e.size()) != e.size()) return false;
    return true;
  });
}
