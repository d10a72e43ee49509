// Text dumps of SRS files as the results page writes them: the full dump of
// one file beside it, and the run over all imported files with its report.
#pragma once

#include <string>
#include <vector>

#include "core/base/reason.h"
#include "core/base/run_loop.h"

class CFormatSRS;

// Report entries; %1 is the base name of the SRS file. The defaults are the
// texts of a Chinese-language system; the page passes its translated texts.
struct DumpTexts {
  std::string ok = "%1 导出成功!\n\n";
  std::string failed = "%1 导出失败!\n\n";
  std::string open_failed = "%1 打开失败!\n\n";
};

// The entries of an English-language system.
DumpTexts DumpTextsEnglish();

inline constexpr const char* DUMP_REPORT_NAME = "outTxtResult.txt";

// The dump lies beside the SRS file, its last three characters replaced by
// "txt" (D:/x/L01.SRS gives D:/x/L01.txt). A source whose name already ends
// in "txt" gets ".txt" appended instead, so that a dump never replaces the
// file it was made from. Paths are 8-bit (UTF-8 on this system); characters,
// not bytes, are replaced.
std::string DumpPathFor(const std::string& srs_path);
// "<folder of first>/outTxtResult.txt".
std::string DumpReportPathFor(const std::string& first);

// The full text dump of srs (switched to the full-dump mode) at
// DumpPathFor of its path; false, with the reason (optional), when it
// cannot be written.
bool DumpSrsText(CFormatSRS& srs, Reason* reason = nullptr);

struct DumpRun {
  std::vector<std::string> entries;       // one per file, in order
  std::vector<std::string> failed_paths;  // files not read or not dumped
  std::vector<std::string> failed_why;    // one short English reason each
  std::vector<Reason> failed_reason;      // the same reasons as codes
  std::vector<std::string> replaced;      // dumps that replaced an existing file
  bool cancelled = false;
};

// Every path (8-bit) read with a fresh file object and dumped; the caller
// writes the report (DumpReportPathFor of the first path) from the entries.
DumpRun DumpAllSrs(const std::vector<std::string>& paths, const DumpTexts& texts, RunProgress* progress);
