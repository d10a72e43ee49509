#include "core/export/export_job.h"

#include <algorithm>
#include <memory>

#include "core/base/ex_string.h"
#include "core/base/ordered_prefetch.h"
#include "core/export/export_smt.h"
#include "core/export/export_writers.h"
#include "core/processing/sip_spect2res.h"
#include "core/processing/spect_algo.h"
#include "core/processing/srs_recalc.h"

namespace {

void Message(ExportRun& run, ExportCode code, std::vector<std::string> args = {}) {
  run.messages.push_back({code, std::move(args)});
}

// The run's files, put in place; a failure to complete one is reported.
bool FinishRun(CSipExport& ex, ExportRun& run) {
  const bool ok = ex.Finish();
  run.written = ex.FileNames();
  if (!ok) Message(run, ExportCode::NotCompleted, {ex_ansi_to_utf8(ex.ErrorFile()), ex.ErrorWhy()});
  return ok;
}

// Stored spectra weighted by their coherence with the current, as the
// acquisition judged them.
void WeightStoredSpectra(CFormatSRS& srs) {
  const int n = CalcCohSp(srs.m_spect_u, srs.m_spect_i, 0, 0);
  if (n > 0) SetWeights(srs.m_spect_u, 0, n - 1, 1);
}

// The files of one group, read and calculated, with their first results.
struct GroupInput {
  std::vector<std::unique_ptr<CFormatSRS>> files;
  std::vector<std::string> names;  // base names (8-bit)
  std::vector<CResultSip> results;
  int n_max = 1;  // combination orders to write
};

// Why a group's write stopped: nothing, the group is left out, or the run ends.
enum class GroupEnd { Written, LeftOut, Stop };

class ExportRunner {
public:
  ExportRunner(const ExportOptions& o, const ExportPlan& plan, RunProgress* progress)
      : o_(o), plan_(plan), progress_(progress), writer_(ExportWriterOf(o.format)), three_d_(ExportIsThreeD(o)),
        combine_(ExportCombines(o)), shift_(combine_ ? o.shift_percent / 100.0f : 0.0f),
        ex_(o, plan.array_code, three_d_) {}

  ExportRun Run();

private:
  bool RefusesFs();
  bool TakeGroup(const std::vector<std::string>& group, OrderedPrefetch<PreparedFile>& prefetch, GroupInput& in);
  GroupEnd WriteGroup(const std::vector<std::string>& group, GroupInput& in);
  CSipExport* WriteRows(std::vector<CResultSip>& results, GroupInput& in, const StationData& station);
  GroupEnd Failed(CSipExport& failed, const std::string& group_first);
  bool FinishAll();
  std::vector<CSipExport*> Writers() {
    std::vector<CSipExport*> all = {&ex_};
    for (SideWriter& s : side_) all.push_back(s.ex.get());
    return all;
  }

  const ExportOptions& o_;
  const ExportPlan& plan_;
  RunProgress* progress_;
  const ExportWriter& writer_;
  const bool three_d_;
  const bool combine_;
  const float shift_;
  CSipExport ex_;
  // The unified data format and the multi-frequency formats beside the
  // inversion files, from the same rows.
  struct SideWriter {
    const ExportWriter& writer;
    std::unique_ptr<CSipExport> ex;
  };
  std::vector<SideWriter> side_;
  bool topography_due_ = false;
  SmtLookup smt_;
  ExportRun run_;
};

bool ExportRunner::RefusesFs() {
  if (o_.ip != IpQuantity::FrequencyEffect) return false;
  const char* name = writer_.no_fs_name ? writer_.no_fs_name : o_.also_ohm && writer_.with_ohm ? ".ohm" : nullptr;
  if (name) Message(run_, ExportCode::NoFs, {name});
  return name != nullptr;
}

bool ExportRunner::FinishAll() {
  if (topography_due_) ex_.AppendTopography();
  // Every file of the run, the unified data format's too, is complete on
  // the disk before the first one replaces an earlier export.
  for (CSipExport* w : Writers()) {
    if (w->Seal()) continue;
    Message(run_, ExportCode::NotCompleted, {ex_ansi_to_utf8(w->ErrorFile()), w->ErrorWhy()});
    for (CSipExport* other : Writers()) other->Discard();
    return false;
  }
  bool ok = FinishRun(ex_, run_);
  std::vector<std::string> written = run_.written;
  for (SideWriter& s : side_) {
    ok = FinishRun(*s.ex, run_) && ok;
    written.insert(written.end(), run_.written.begin(), run_.written.end());
  }
  run_.written = written;
  return ok;
}

ExportRun ExportRunner::Run() {
  if (!plan_.ok()) {
    run_.messages = plan_.refusal;
    return run_;
  }
  if (RefusesFs()) return run_;
  if (writer_.with_ohm) {
    std::vector<ExportFormat> side = o_.also_multi_freq;
    if (o_.also_ohm) side.insert(side.begin(), ExportFormat::Ohm);
    for (ExportFormat f : side)
      side_.push_back({ExportWriterOf(f), std::make_unique<CSipExport>(o_, plan_.array_code, three_d_)});
  }
  for (CSipExport* w : Writers()) w->Reset();
  // Every file of every group in the run's order, read and calculated ahead
  // of the writer on the other cores; from time series, on every core (the
  // lookup of checked SMT files is shared and lists them in the run's order).
  std::vector<const std::string*> order;
  for (const std::vector<std::string>& group : plan_.groups)
    for (const std::string& path : group) order.push_back(&path);
  const unsigned workers = o_.from_smt ? RunPrefetchWorkers() : ExportPrefetchWorkers();
  OrderedPrefetch<PreparedFile> prefetch(
      order.size(), [&](size_t k) { return ExportPrepareFile(*order[k], o_, three_d_, shift_, &smt_); }, workers,
      2 * size_t(workers));
  const std::vector<std::vector<std::string>>& groups = plan_.groups;
  for (size_t g = 0; g < groups.size(); ++g) {
    if (groups[g].empty()) continue;
    if (progress_ && !progress_->OnFile(int(g), int(groups.size()), groups[g][0])) {
      // The groups done so far are whole rows: they stay, with their counts.
      FinishAll();
      run_.cancelled = true;
      Message(run_, ExportCode::Cancelled);
      return run_;
    }
    GroupInput in;
    if (!TakeGroup(groups[g], prefetch, in)) return run_;
    if (WriteGroup(groups[g], in) == GroupEnd::Stop) return run_;
  }
  if (!FinishAll()) return run_;
  smt_.Settle(order);
  run_.smt_missing = smt_.missing;
  if (!smt_.missing.empty()) {
    std::vector<std::string> args = {std::to_string(smt_.missing.size())};
    args.insert(args.end(), smt_.missing.begin(), smt_.missing.end());
    Message(run_, ExportCode::SmtMissing, std::move(args));
  }
  Message(run_, ExportCode::Converted);
  run_.completed = true;
  return run_;
}

bool ExportRunner::TakeGroup(const std::vector<std::string>& group, OrderedPrefetch<PreparedFile>& prefetch,
                             GroupInput& in) {
  for (CSipExport* w : Writers()) {
    w->SetGroupName(SrsBaseName(group[0]));
    w->SelectShifts();
  }
  in.results.resize(group.size());
  for (size_t f = 0; f < group.size(); ++f) {
    PreparedFile prepared = prefetch.Take();
    in.names.push_back(SrsBaseName(group[f]));
    if (!prepared.srs) {
      // What the run wrote so far stays, complete and with its counts.
      FinishAll();
      Message(run_, ExportCode::ReadFailed, {ex_ansi_to_utf8(group[f])});
      return false;
    }
    in.results[f].Swap(prepared.first);
    if (combine_) in.n_max = std::max(in.n_max, prepared.srs->m_res.GetChNum());
    in.files.push_back(std::move(prepared.srs));
  }
  return true;
}

GroupEnd ExportRunner::WriteGroup(const std::vector<std::string>& group, GroupInput& in) {
  std::vector<CFormatSRS*> file_ptrs;
  for (auto& f : in.files) file_ptrs.push_back(f.get());
  const StationData station = three_d_ ? StationDataOf(*in.files[0]) : BuildStationData(file_ptrs);
  // The first order was calculated when the file was prepared; the others
  // (pole combination) are calculated ahead of the writer on the other
  // cores. Each order works on its own copy of the files: the spectrum
  // arrays lock every access, and threads sharing them would wait on each
  // other for most of the time.
  OrderedPrefetch<std::vector<CResultSip>> orders(
      size_t(in.n_max - 1),
      [&](size_t k) {
        std::vector<CResultSip> rs(in.files.size());
        for (size_t f = 0; f < in.files.size(); ++f) {
          CFormatSRS own(*in.files[f]);
          CSipSpect2Res engine;
          engine.Init(&own);
          engine.CalcResCompositeCh(int(k) + 2, shift_, rs[f]);
        }
        return rs;
      },
      ExportPrefetchWorkers(), 2 * size_t(ExportPrefetchWorkers()));
  for (int order = 1; order <= in.n_max; ++order) {
    if (order > 1) {
      std::vector<CResultSip> rs = orders.Take();
      for (size_t f = 0; f < in.files.size(); ++f) in.results[f].Swap(rs[f]);
    }
    CSipExport* failed = WriteRows(in.results, in, station);
    if (failed) return Failed(*failed, ex_ansi_to_utf8(group[0]));
  }
  return GroupEnd::Written;
}

// One combination order of a group, through the format's writer and the
// unified data format beside it; the writer that failed, if one did.
CSipExport* ExportRunner::WriteRows(std::vector<CResultSip>& results, GroupInput& in, const StationData& station) {
  CResultSip merged;
  if (!writer_.per_file && !three_d_)
    merged = MergeResults(results, int(results.size()), plan_.array_code != SIP_POLE3_SOUNDING);
  CResultSip& rows = writer_.per_file || three_d_ ? results[0] : merged;
  const std::string first_name = ex_ansi_to_utf8(in.names[0]);
  GroupRows g{results, rows, in.names, first_name, station, *in.files[0]};
  if (writer_.topography) topography_due_ = true;
  if (!writer_.write(ex_, g)) return &ex_;
  for (SideWriter& s : side_)
    if (!s.writer.write(*s.ex, g)) return s.ex.get();
  return nullptr;
}

GroupEnd ExportRunner::Failed(CSipExport& failed, const std::string& group_first) {
  const ExportError e = failed.LastError();
  if (e == EXPORT_HARM_MISMATCH || e == EXPORT_BAD_INPUT) {
    // Rows of another shape (or none) cannot join the run's files.
    run_.skipped.push_back(group_first);
    Message(run_, e == EXPORT_HARM_MISMATCH ? ExportCode::HarmMismatch : ExportCode::NoHarmonics, {group_first});
    return GroupEnd::LeftOut;
  }
  if (e == EXPORT_FREQ_MISMATCH || e == EXPORT_FEW_FREQS) {
    // One dataset per frequency point holds every data point: a run whose
    // files disagree writes nothing rather than a part of the survey.
    Message(run_, e == EXPORT_FREQ_MISMATCH ? ExportCode::FreqMismatch : ExportCode::FewFrequencies, {group_first});
    for (CSipExport* w : Writers()) w->Discard();
    return GroupEnd::Stop;
  }
  Message(run_, ExportCode::CreateFailed, {ex_ansi_to_utf8(failed.ErrorFile()), failed.ErrorWhy()});
  for (CSipExport* w : Writers()) w->Discard();
  return GroupEnd::Stop;
}

}  // namespace

PreparedFile ExportPrepareFile(const std::string& path, const ExportOptions& o, bool three_d, float shift,
                         SmtLookup* smt) {
  PreparedFile p;
  auto srs = std::make_unique<CFormatSRS>();
  // The results are calculated anew from the spectra; the stored ones give
  // only their channel entries and frequencies.
  srs->SetSkipItems(false, true);
  if (!srs->Read(path)) return p;
  if (o.from_smt)
    ConvertFromSmt(*srs, o.smt_dir, smt);
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

ExportRun RunExport(const ExportOptions& o, const ExportPlan& plan, RunProgress* progress) {
  return ExportRunner(o, plan, progress).Run();
}

ExportRun RunExport(const ExportOptions& o, RunProgress* progress) { return RunExport(o, PlanExport(o), progress); }
