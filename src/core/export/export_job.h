// The export runs behind "导出数据" and "导出合格率": after the plan (the
// files grouped and checked, export_plan.h), every group is read, its
// results calculated and merged, and written by the format's writer
// (export_writers.h); then the files are put in place and the run says what
// happened as message codes (export_message.h). The export page and
// varnex-cli fill one ExportOptions (export_options.h) and call the same
// functions.
#pragma once

#include <memory>
#include <string>

#include "core/base/run_loop.h"
#include "core/export/export_group.h"
#include "core/export/export_message.h"
#include "core/export/export_options.h"
#include "core/export/export_plan.h"
#include "core/export/export_smt.h"
#include "core/export/export_station.h"

// One file of an export, read, with its spectra as the export takes them and
// its first result calculated (composed in 3-D, else the first combination
// order with the pole shift, a fraction); no file when it cannot be read.
struct PreparedFile {
  std::unique_ptr<CFormatSRS> srs;
  CResultSip first;
};
PreparedFile ExportPrepareFile(const std::string& path, const ExportOptions& o, bool three_d, float shift,
                               SmtLookup* smt);

// Writes every group of plan (a refused plan gives its refusal); progress
// is asked before each group. A cancel finishes the files with the groups
// written so far, like a run that stops on an unreadable file.
ExportRun RunExport(const ExportOptions& o, const ExportPlan& plan, RunProgress* progress);
// The plan, then the run.
ExportRun RunExport(const ExportOptions& o, RunProgress* progress);

// "导出合格率": one line per file with channels and the per-position
// summary, BASE_passRate.txt with BASE = o.path_base. Uses the paths,
// layout, limits and elevation table of o. A walk stopped by a file of
// another layout keeps the lines before it, with their summary.
ExportRun RunPassRate(const ExportOptions& o, RunProgress* progress);
