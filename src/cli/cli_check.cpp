#include "cli_check.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/base/ex_string.h"
#include "core/processing/pass_rate.h"
#include "core/sip/format_srs.h"

namespace {

const char* const kCheckFooter =
    "One line per file on standard output:\n"
    "  FILE: C channels, Q qualified, pass rate R%\n"
    "with the figures of the results page (composed-frequency result unless --single) for frequency point N of\n"
    "its frequency list, against the results page's default limits (apparent-resistivity relative error 100 %,\n"
    "CP error 3141.6 mrad, FS off).\n"
    "Exit status: 0 every file checked; 1 some file unreadable or without frequency point N (one line each on\n"
    "standard error, naming the file and the reason); 2 usage error.";

}  // namespace

CliVerb addCheckVerb(CLI::App& app) {
  struct Opts {
    std::vector<std::string> files;
    int freq = 1;
    bool single = false;
  };
  auto opts = std::make_shared<Opts>();
  CLI::App* cmd = app.add_subcommand("check", "Pass rate of SRS files as the results page shows it");
  cmd->footer(kCheckFooter);
  cmd->add_option("FILE", opts->files, "SRS files, in this order")->required()->type_name("SRS");
  cmd->add_option("--freq", opts->freq, "frequency point of the list, 1 = the first (default)")
      ->check(CLI::Range(1, 1000000))
      ->type_name("N");
  cmd->add_flag("--single", opts->single, "the single-frequency result instead of the composed-frequency one");

  return CliVerb{cmd, [opts]() -> int {
                   const std::vector<LimitItem> limits = limit_default_results_page();
                   bool ok = true;
                   for (const std::string& file : opts->files) {
                     CFormatSRS srs;
                     // A pass rate is taken from the results alone.
                     srs.SetSkipItems(true, false);
                     if (!CliReadSrs(file, &srs)) {
                       ok = false;
                       continue;
                     }
                     const int points = FreqPointCount(srs, opts->single);
                     if (opts->freq > points) {
                       std::fprintf(stderr, "varnex-cli: %s: no frequency point %d (the file has %d)\n", file.c_str(),
                                    opts->freq, points);
                       ok = false;
                       continue;
                     }
                     const PassRate pr = PassRateAtPoint(srs, limits, opts->single, opts->freq - 1);
                     std::printf("%s: %d channels, %d qualified, pass rate %s%%\n", file.c_str(), pr.channels,
                                 pr.qualified, PassRateFigure(pr.rate).c_str());
                   }
                   return CliStdoutWritten(ok) ? 0 : 1;
                 }};
}
