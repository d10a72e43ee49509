// varnex-cli: the Varnex core without a display, for scripts and tests.
// Standard output carries only what a verb produces; diagnostics go to stderr.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/base/platform.h"
#include "core/base/version.h"

#include "cli_check.h"
#include "cli_dump.h"
#include "cli_dumpall.h"
#include "cli_export.h"
#include "cli_passrate.h"
#include "cli_params.h"
#include "cli_pseudosection.h"
#include "cli_recalc.h"
#include "cli_spectra.h"
#include "cli_stations.h"
#include "cli_ts.h"
#include "cli_verbs.h"

namespace {

// The first line of the help of cmd ("Usage: ...").
std::string usageLine(const CLI::App& cmd) {
  const std::string help = cmd.help();
  const size_t at = help.find("Usage:");
  if (at == std::string::npos) return "Run with --help for more information.";
  std::string line = help.substr(at, help.find('\n', at) - at);
  if (cmd.get_parent()) line.insert(std::strlen("Usage: "), "varnex-cli ");
  return line;
}

}  // namespace

static const char* kVersion = "varnex-cli " VARNEX_VERSION_STRING;

int main(int argc, char** argv) {
  platform_utf8_args(&argc, &argv);
  CLI::App app{"Varnex command-line tools: SIP survey files without the desktop window.", "varnex-cli"};
  // Options start with "-" on every system: "/data/L1.SRS" is a path on Windows too.
  app.allow_windows_style_options(false);
  app.set_version_flag("--version", kVersion);
  app.footer(
      "Exit status: 0 success; 1 some file could not be read or written (one line each on standard error);\n"
      "2 usage error (one line naming the problem, then the usage line).");
  app.require_subcommand(0, 1);

  std::vector<CliVerb> verbs;
  verbs.push_back(addDumpVerb(app));
  verbs.push_back(addDumpAllVerb(app));
  verbs.push_back(addRecalcVerb(app));
  verbs.push_back(addCheckVerb(app));
  verbs.push_back(addExportVerb(app));
  verbs.push_back(addPassRateVerb(app));
  verbs.push_back(addParamsVerb(app));
  verbs.push_back(addTsVerb(app));
  verbs.push_back(addStationsVerb(app));
  verbs.push_back(addSpectraVerb(app));
  verbs.push_back(addPseudoSectionVerb(app));

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // Help and version end the run with their own code (0).
    if (e.get_exit_code() == 0) return app.exit(e);
    const CLI::App* where = &app;
    for (const CliVerb& verb : verbs)
      if (verb.cmd->parsed()) where = verb.cmd;
    std::fprintf(stderr, "varnex-cli: %s\n%s\n", e.what(), usageLine(*where).c_str());
    return 2;
  }
  for (const CliVerb& verb : verbs)
    if (verb.cmd->parsed()) return verb.run();
  std::fputs(app.help().c_str(), stdout);
  return 0;
}
