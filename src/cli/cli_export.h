#pragma once

#include <string>
#include <vector>

#include "cli_verbs.h"
#include "core/export/export_job.h"

// varnex-cli export FILE.SRS... --out BASE --format KIND [options]
CliVerb addExportVerb(CLI::App& app);

// Shared by export and passrate.
struct CliExportTables {
  CFormatTxtSiteCoord coords;
  CFormatTxtElev elev;
  CFormatTxtShifting shifts;
};
// Reads the side table at path (empty: none) into table; false after a
// message on stderr naming the file.
bool CliLoadTable(const std::string& path, CFormatTxt* table, const char* failure);
// The two error edits of the page: maximum relative error of the apparent
// resistivity (percent) and maximum STD of the relative phase (mrad); a
// negative value keeps the default.
void CliSetMaxErrors(std::vector<LimitItem>* limits, float app_percent, float cp_mrad);
// Paths written on stdout, messages on stderr in English (the confirmation
// of a completed run left out: the exit status tells it); returns the exit
// status.
int CliReportRun(const ExportRun& run);
// The English text of a message of the export runs.
std::string ExportMessageEnglish(const ExportMessage& m);
