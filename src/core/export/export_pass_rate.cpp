// "导出合格率": the pass-rate table of the files, one run of the writer.
#include "core/base/ex_string.h"
#include "core/export/export_job.h"
#include "core/export/sip_export.h"
#include "core/processing/srs_recalc.h"

namespace {

// How the walk over the files ended.
struct PassWalk {
  int mismatch = 0;  // 1-based index of a file of another layout
  std::string mismatch_path;
  std::string unread;  // a file that could not be read, with stop_on_unreadable
  bool failed = false; // the table could not be created
  int written = 0;
};

void PassRateStep(const ExportOptions& o, CSipExport& ex, PassWalk& w, int k, const std::string& path) {
  if (w.mismatch || w.failed || !w.unread.empty()) return;
  ex.m_qualified = 0;
  ex.m_total = 0;
  CFormatSRS srs;
  if (!srs.Read(path)) {
    if (o.stop_on_unreadable) w.unread = path;
    return;
  }
  if (srs.m_res.GetChNum() < 1 || srs.m_res_composed.GetChNum() < 1) return;
  if (srs.m_prm_meas.layout != o.layout) {
    w.mismatch = k + 1;
    w.mismatch_path = path;
    return;
  }
  if (!ex.WritePassRate(path, srs)) {
    w.failed = true;
    return;
  }
  ++w.written;
}

// The summary after the rows, and the table put in place.
bool FinishPassRate(CSipExport& ex, ExportRun& run) {
  ex.WritePassRateSummary();
  const bool ok = ex.Finish();
  run.written = ex.FileNames();
  if (!ok) run.messages.push_back({ExportCode::NotCompleted, {ex_ansi_to_utf8(ex.ErrorFile()), ex.ErrorWhy()}});
  return ok;
}

// A refusal before the walk: no file, or no file name.
bool PassRateRefused(const ExportOptions& o, ExportRun& run) {
  if (o.paths.empty()) {
    run.messages.push_back({ExportCode::NoFiles, {}});
    return true;
  }
  const std::string file_name = SrsBaseName(o.path_base + ".x");
  if (o.path_base.empty() || o.path_base.back() == '/' || file_name.empty()) {
    run.messages.push_back({ExportCode::NameEmpty, {}});
    return true;
  }
  return false;
}

}  // namespace

ExportRun RunPassRate(const ExportOptions& o, RunProgress* progress) {
  ExportRun run;
  if (PassRateRefused(o, run)) return run;
  CSipExport ex(o, o.layout);
  ex.Reset();
  PassWalk w;
  const bool walked = RunOverPaths(o.paths, progress, [&](int k, const std::string& path) {
    PassRateStep(o, ex, w, k, path);
  });
  if (walked && w.failed) {
    run.messages.push_back({ExportCode::CreateFailed, {ex_ansi_to_utf8(ex.ErrorFile()), ex.ErrorWhy()}});
    return run;
  }
  if (walked && !w.unread.empty()) {
    ex.Discard();
    run.messages.push_back({ExportCode::ReadFailed, {ex_ansi_to_utf8(w.unread)}});
    return run;
  }
  // A walk stopped by a cancel or by a file of another layout keeps the
  // lines written before it, with their summary.
  const bool finished = FinishPassRate(ex, run);
  if (!walked) {
    run.cancelled = true;
    run.messages.push_back({ExportCode::Cancelled, {}});
  } else if (finished && w.mismatch) {
    run.messages.push_back({ExportCode::DeviceError, {std::to_string(w.mismatch), ex_ansi_to_utf8(w.mismatch_path)}});
  } else if (finished) {
    run.messages.push_back({w.written > 0 ? ExportCode::Exported : ExportCode::NoValid, {}});
    run.completed = true;
  }
  return run;
}
