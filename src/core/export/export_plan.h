// The step before an export writes anything, shared by the export page, the
// command line and the pages that show the same tables: the files grouped
// into measurements, checked, and the layout the rows are written for.
#pragma once

#include <string>
#include <vector>

#include "core/export/export_message.h"
#include "core/export/export_options.h"

struct ExportPlan {
  // Groups of paths that form one measurement, in list order.
  std::vector<std::vector<std::string>> groups;
  // The electrode layout the format writes the rows for (SIP_*).
  int array_code = SIP_POLE4_SOUNDING;
  // Why nothing is to be written; empty when the run can go on.
  std::vector<ExportMessage> refusal;

  bool ok() const { return refusal.empty(); }
};

// Layout type of the first file of paths; SIP_POLE4_SOUNDING for an empty
// list or a first file that cannot be read (a sounding is the most common
// export).
int ExportFirstLayout(const std::vector<std::string>& paths);

// The layout the format writes its rows for: the mid-gradient layout for
// the plane, three or four electrodes for a 3-D section, the caller's layout
// for 3-D inversion data, else the first file's layout read now (a
// mid-gradient file written as a four-electrode sounding).
int ExportArrayCode(const ExportOptions& o);

// Groups o.paths (every file its own group in 3-D) and checks them: two
// files of the same base name refuse a run that tells files apart by it
// (the time series of o.from_smt, the check-point table), with
// o.stop_on_unreadable a file that cannot be read refuses the run, a file of
// another layout than o.layout refuses it, and so does a list without any
// file to export.
ExportPlan PlanExport(const ExportOptions& o);
