// varnex-cli: the Varnex core without a display, for scripts and tests.
// Standard output carries only what a verb produces; diagnostics go to stderr.
#include <cstdio>
#include <vector>

#include "cli_dump.h"
#include "cli_export.h"
#include "cli_passrate.h"
#include "cli_recalc.h"
#include "cli_stations.h"
#include "cli_ts.h"
#include "cli_verbs.h"

static const char* kVersion = "varnex-cli 1.5.4";

int main(int argc, char** argv) {
  CLI::App app{"Varnex command-line tools: SIP survey files without the desktop window."};
  app.set_version_flag("--version", kVersion);
  app.require_subcommand(0, 1);

  std::vector<CliVerb> verbs;
  verbs.push_back(addDumpVerb(app));
  verbs.push_back(addRecalcVerb(app));
  verbs.push_back(addExportVerb(app));
  verbs.push_back(addPassRateVerb(app));
  verbs.push_back(addTsVerb(app));
  verbs.push_back(addStationsVerb(app));

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e);
  }
  for (const CliVerb& verb : verbs)
    if (verb.cmd->parsed()) return verb.run();
  std::fputs(app.help().c_str(), stdout);
  return 0;
}
