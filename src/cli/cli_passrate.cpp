#include "cli_passrate.h"

#include <memory>

#include "cli_export.h"
#include "core/base/ex_string.h"
#include "core/base/num_check.h"

namespace {

const char* const kPassRateFooter =
    "Writes BASE_passRate.txt: one line per file with channels (qualified and usable channels, pass rate,\n"
    "stacked calculations, acquisition time), then the pass rate of every measuring position. The file is\n"
    "put in place only when complete.\n"
    "A file of another layout than the first stops the walk: the table keeps the lines before it and their\n"
    "summary.\n"
    "Standard output: the path written. Exit status: 0 the run completed; 1 it stopped (no file, a layout\n"
    "mismatch, the file cannot be created) or the elevation table cannot be read.";

}  // namespace

CliVerb addPassRateVerb(CLI::App& app) {
  struct Opts {
    std::vector<std::string> files;
    std::string out;
    float unit_spacing = 10.0f;
    std::string elev;
    float max_err_app = -1.0f;
    float max_err_cp = -1.0f;
  };
  auto o = std::make_shared<Opts>();
  CLI::App* cmd = app.add_subcommand("passrate", "Write the pass-rate table of SRS files");
  cmd->footer(kPassRateFooter);
  cmd->add_option("FILE", o->files, "SRS files, in this order")->required()->type_name("SRS");
  cmd->add_option("--out", o->out, "output base: directory and file name")->required()->type_name("BASE");
  cmd->add_option("--unit-spacing", o->unit_spacing, "unit electrode spacing in metres (default 10)")
      ->check(CliNumber(NUM_UNIT_SPACING))
      ->type_name("M");
  cmd->add_option("--elev", o->elev, "elevation table (x y z per line)")->type_name("FILE");
  cmd->add_option("--max-err-app", o->max_err_app, "maximum relative error of the apparent resistivity, percent")
      ->check(CliNumber(NUM_MAX_ERR_APP_PERCENT))
      ->type_name("PCT");
  cmd->add_option("--max-err-cp", o->max_err_cp, "maximum error of the relative phase, mrad")
      ->check(CliNumber(NUM_MAX_ERR_CP_MRAD))
      ->type_name("MRAD");

  return CliVerb{cmd, [o]() -> int {
                   auto tables = std::make_unique<CliExportTables>();
                   if (!CliLoadTable(o->elev, &tables->elev, "Failed to import elevation!")) return 1;
                   ExportOptions s;
                   for (const std::string& f : o->files) s.paths.push_back(ex_utf8_to_ansi(f));
                   s.path_base = ex_utf8_to_ansi(o->out);
                   s.layout = ExportFirstLayout(s.paths);
                   s.unit_spacing = o->unit_spacing;
                   s.stop_on_unreadable = true;
                   s.elev = &tables->elev;
                   CliSetMaxErrors(&s.limits, o->max_err_app, o->max_err_cp);
                   return CliReportRun(RunPassRate(s, nullptr));
                 }};
}
