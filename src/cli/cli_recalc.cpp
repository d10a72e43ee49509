#include "cli_recalc.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "core/base/ex_file.h"
#include "core/base/ex_string.h"
#include "core/processing/srs_recalc.h"

namespace {

const char* const kRecalcFooter =
    "Each file is written as DIR/<base name>.SRS (an existing file is replaced) and the run's report goes to\n"
    "DIR: reCalResult.txt for --harmonics, recalTsToSrsResult.txt for --from-smt. With --from-smt the time\n"
    "series are SMTDIR/<device>/<base name>.smt. The output directory is created when missing.\n"
    "An input file is never written over unless --overwrite is given; then its original is kept once as\n"
    "<name>.SRS.orig beside it.\n"
    "Two inputs with the same base name would write the same file: the run is refused before anything is\n"
    "written. Standard output stays empty; every file that was not written gets one line on standard error.\n"
    "Exit status: 0 every file written; 1 some file not written, or the report not written; 2 usage error,\n"
    "or the output directory cannot be used, holds input files without --overwrite, or two inputs share an output\n"
    "(nothing written).";

bool PrepareOutDir(const std::string& dir) {
  std::error_code ec;
  const std::filesystem::path p = std::filesystem::u8path(dir);
  if (std::filesystem::is_directory(p, ec)) return true;
  if (std::filesystem::exists(p, ec)) {
    std::fprintf(stderr, "varnex-cli: %s exists and is not a directory\n", dir.c_str());
    return false;
  }
  if (!ex_mkdirs(ex_utf8_to_ansi(dir).c_str()) || !std::filesystem::is_directory(p, ec)) {
    std::fprintf(stderr, "varnex-cli: cannot create the output directory %s\n", dir.c_str());
    return false;
  }
  return true;
}

}  // namespace

bool SystemLocaleIsChinese() {
  for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* v = std::getenv(var);
    if (v && *v) return std::strstr(v, "CN") != nullptr;
  }
  return false;
}

void AddLangOption(CLI::App* cmd, std::string* lang) {
  cmd->add_option("--lang", *lang,
                  "language of the report texts (default: the system locale, Chinese when it names CN)")
      ->check(CLI::IsMember({"en", "zh"}))
      ->type_name("en|zh");
}

bool ReportInChinese(const std::string& lang) { return lang.empty() ? SystemLocaleIsChinese() : lang == "zh"; }

CliVerb addRecalcVerb(CLI::App& app) {
  struct Opts {
    std::vector<std::string> files;
    std::string out;
    int harmonics = 0;
    std::string smt_dir;
    bool overwrite = false;
    std::string lang;
  };
  auto opts = std::make_shared<Opts>();
  CLI::App* cmd = app.add_subcommand(
      "recalc", "Recalculate SRS files: composed frequencies with another grouping, or everything from the SMT time series");
  cmd->footer(kRecalcFooter);
  cmd->add_option("FILE", opts->files, "SRS files, processed in this order")->required()->type_name("SRS");
  cmd->add_option("--out", opts->out, "output directory")->required()->type_name("DIR");
  CLI::Option* harm =
      cmd->add_option("--harmonics", opts->harmonics,
                      "recompute the composed-frequency results from the stored spectra, A harmonics per composed "
                      "frequency (1.." + std::to_string(RECAL_HARM_MAX) + ")")
          ->check(CLI::Range(1, RECAL_HARM_MAX))
          ->type_name("A");
  CLI::Option* smt = cmd->add_option("--from-smt", opts->smt_dir,
                                     "rebuild spectra and results from the SMT time series under this directory")
                         ->type_name("SMTDIR");
  AddLangOption(cmd, &opts->lang);
  cmd->add_flag("--overwrite", opts->overwrite,
                "allow writing over the input files (each original is kept once as <name>.SRS.orig)");
  harm->excludes(smt);
  smt->excludes(harm);
  cmd->callback([harm, smt]() {
    if (harm->count() == 0 && smt->count() == 0)
      throw CLI::RequiredError("one of --harmonics and --from-smt");
  });

  return CliVerb{cmd, [opts, harm]() -> int {
                   if (!PrepareOutDir(opts->out)) return 2;
                   const std::string out_dir = ex_utf8_to_ansi(opts->out);
                   std::vector<std::string> paths;
                   for (const std::string& f : opts->files) paths.push_back(ex_utf8_to_ansi(f));
                   if (!CliNoOutputCollision(paths, [&out_dir](const std::string& p) {
                         return SrsBaseName(p).empty() ? std::string() : RecalcOutPath(out_dir, p);
                       }))
                     return 2;
                   if (!opts->overwrite) {
                     const std::vector<std::string> hit = InputsOverwrittenBy(paths, out_dir);
                     if (!hit.empty()) {
                       std::string names;
                       for (const std::string& p : hit) names += (names.empty() ? "" : ", ") + ex_ansi_to_utf8(p);
                       std::fprintf(stderr,
                                    "varnex-cli: %s holds input files that would be replaced (%s); give --overwrite "
                                    "to replace them, keeping each original as .orig\n",
                                    opts->out.c_str(), names.c_str());
                       return 2;
                     }
                   }
                   const bool composed = harm->count() > 0;
                   const bool zh = ReportInChinese(opts->lang);
                   const RecalcTexts texts = zh ? RecalcTexts() : RecalcTextsEnglish();
                   const RecalcRun run =
                       composed ? RecalcAllComposed(paths, opts->harmonics, out_dir, texts, nullptr)
                                : RecalcAllFromSmt(paths, ex_utf8_to_ansi(opts->smt_dir), out_dir, texts, nullptr);
                   for (size_t i = 0; i < run.failed_paths.size(); ++i)
                     std::fprintf(stderr, "varnex-cli: %s: %s\n", ex_ansi_to_utf8(run.failed_paths[i]).c_str(),
                                  i < run.failed_why.size() ? run.failed_why[i].c_str() : "failed");
                   const std::string report =
                       out_dir + "/" + (composed ? RECAL_REPORT_NAME : RECAL_SMT_REPORT_NAME);
                   bool ok = run.failed_paths.empty();
                   if (!WriteReport(report, run.entries)) {
                     std::fprintf(stderr, "varnex-cli: cannot write the report %s\n", ex_ansi_to_utf8(report).c_str());
                     ok = false;
                   }
                   return ok ? 0 : 1;
                 }};
}
