#include "cli_dumpall.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/base/ex_string.h"
#include "core/processing/srs_dump.h"
#include "core/processing/srs_recalc.h"

namespace {

const char* const kDumpAllFooter =
    "Each file's full text dump is written beside it, its extension replaced by txt (L101_01.SRS gives\n"
    "L101_01.txt; a dump never replaces an SRS file), and the run's report outTxtResult.txt goes to the folder\n"
    "of the first file, as the results page's button does.\n"
    "Standard output: the dumps written, one a line, then the report. Every file that was not dumped gets one\n"
    "line on standard error.\n"
    "Exit status: 0 every file dumped; 1 some file not read or not dumped, or the report not written; 2 usage\n"
    "error, or two inputs whose dumps would be the same file (nothing written).";

}  // namespace

CliVerb addDumpAllVerb(CLI::App& app) {
  struct Opts {
    std::vector<std::string> files;
    std::string lang;
  };
  auto opts = std::make_shared<Opts>();
  CLI::App* cmd = app.add_subcommand("dumpall", "Write the text dump of every SRS file beside it, with a report");
  cmd->footer(kDumpAllFooter);
  cmd->add_option("FILE", opts->files, "SRS files, processed in this order")->required()->type_name("SRS");
  AddLangOption(cmd, &opts->lang);

  return CliVerb{cmd, [opts]() -> int {
                   std::vector<std::string> paths;
                   for (const std::string& f : opts->files) paths.push_back(ex_utf8_to_ansi(f));
                   if (!CliNoOutputCollision(paths, DumpPathFor)) return 2;
                   const bool zh = ReportInChinese(opts->lang);
                   const DumpRun run = DumpAllSrs(paths, zh ? DumpTexts() : DumpTextsEnglish(), nullptr);
                   bool ok = run.failed_paths.empty();
                   size_t failed = 0;
                   for (const std::string& p : paths) {
                     if (failed < run.failed_paths.size() && run.failed_paths[failed] == p) {
                       std::fprintf(stderr, "varnex-cli: %s: %s\n", ex_ansi_to_utf8(p).c_str(),
                                    failed < run.failed_why.size() ? run.failed_why[failed].c_str() : "failed");
                       ++failed;
                       continue;
                     }
                     std::printf("%s\n", ex_ansi_to_utf8(DumpPathFor(p)).c_str());
                   }
                   const std::string report = DumpReportPathFor(paths.front());
                   if (WriteReport(report, run.entries)) {
                     std::printf("%s\n", ex_ansi_to_utf8(report).c_str());
                   } else {
                     std::fprintf(stderr, "varnex-cli: cannot write the report %s\n", ex_ansi_to_utf8(report).c_str());
                     ok = false;
                   }
                   return CliStdoutWritten(ok) ? 0 : 1;
                 }};
}
