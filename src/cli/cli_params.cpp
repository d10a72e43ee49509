#include "cli_params.h"

#include <cstdio>
#include <memory>
#include <string>

#include "core/base/atomic_file.h"
#include "core/base/ex_file.h"
#include "core/base/ex_string.h"
#include "core/processing/param_rescale.h"
#include "core/processing/spm.h"
#include "core/sip/format_srs.h"

namespace {

const char* const kParamsFooter =
    "export writes the measurement record, the station records and the electrode list of FILE.SRS as an SPM\n"
    "file. apply imports an SPM file into FILE.SRS: everything but the station names and the file name, or\n"
    "with --line-only MN, the first electrode, the station records and the electrodes; the stored results are\n"
    "rescaled to the new geometry and current and the file is saved in place, its untouched original kept\n"
    "once as FILE.SRS.orig, or written to --out. Exit status: 0 done; 1 nothing written (a file that cannot\n"
    "be read or written, an SPM file that does not fit the SRS file).";

const char* const kImportFailed =
    "Failed to import param!Please check that whether the number of station is matches!";
const char* const kCurrentModeFailed =
    "Failed to import param!The SPM file measures the current in another way than the displayed file!";

bool read_srs(const std::string& in, CFormatSRS* srs) {
  if (srs->Read(ex_utf8_to_ansi(in))) return true;
  std::fprintf(stderr, "varnex-cli: Failed to open \"%s\"! %s\n", in.c_str(), srs->GetError().c_str());
  return false;
}

int run_export(const std::string& in, const std::string& out) {
  CFormatSRS srs;
  if (!read_srs(in, &srs)) return 1;
  std::string why;
  const bool ok = ex_write_atomic(
      ex_utf8_to_ansi(out),
      [&srs](FILE* fp) { return SpmWrite(fp, srs.m_prm_meas, srs.m_vt_prm_dev, srs.m_vt_pole); }, &why);
  if (!ok) {
    std::fprintf(stderr, "varnex-cli: Failed to open file %s! %s\n", out.c_str(), why.c_str());
    return 1;
  }
  return 0;
}

int run_apply(const std::string& in, const std::string& spm, bool line_only, const std::string& out) {
  CFormatSRS srs;
  if (!read_srs(in, &srs)) return 1;
  PrmMeas meas = srs.m_prm_meas;
  std::vector<PrmDev> devs = srs.m_vt_prm_dev;
  std::vector<PrmPole> poles = srs.m_vt_pole;
  {
    std::string why;
    std::unique_ptr<FILE, ExFileCloser> fp(ex_fopen_regular(ex_utf8_to_ansi(spm), &why));
    if (!fp) {
      std::fprintf(stderr, "varnex-cli: Failed to open file %s! %s\n", spm.c_str(), why.c_str());
      return 1;
    }
    const SpmReadResult r = SpmRead(fp.get(), line_only ? SPM_IMPORT_LINE : SPM_IMPORT_COMPLETE, &meas, &devs, &poles);
    if (r.status != SPM_READ_OK) {
      std::fprintf(stderr, "varnex-cli: %s (%s)\n",
                   r.status == SPM_READ_CURRENT_MODE ? kCurrentModeFailed : kImportFailed, r.why.c_str());
      return 1;
    }
    if (r.poles == SPM_POLES_NEWER)
      std::fprintf(stderr, "varnex-cli: the electrode list of %s has a newer version and was not imported\n",
                   spm.c_str());
  }
  if (meas.layout == SIP_ALL_GRADIENT) srs.m_vt_pole = poles;
  const ParamApplyResult applied = ParamApplyToSrs(&srs, meas, devs);
  if (!applied.ok) {
    std::fprintf(stderr, "varnex-cli: %s: %s\n", in.c_str(), applied.why.c_str());
    return 1;
  }
  if (applied.skipped)
    std::fprintf(stderr, "varnex-cli: %d result entries name a channel outside the stations and were left as they are\n",
                 applied.skipped);
  const std::string target = ex_utf8_to_ansi(out.empty() ? in : out);
  const ParamSaveResult saved = ParamSaveSrs(srs, target);
  if (!saved.ok) {
    std::fprintf(stderr, "varnex-cli: Failed to save \"%s\"! %s\n", ex_ansi_to_utf8(target).c_str(),
                 saved.why.c_str());
    return 1;
  }
  if (saved.backup_made)
    std::fprintf(stderr, "varnex-cli: the original is kept as %s\n", ex_ansi_to_utf8(saved.backup_path).c_str());
  return 0;
}

}  // namespace

CliVerb addParamsVerb(CLI::App& app) {
  struct Opts {
    std::string srs;
    std::string spm;
    std::string out;
    bool line_only = false;
  };
  auto opts = std::make_shared<Opts>();
  CLI::App* cmd = app.add_subcommand("params", "Export the parameters of an SRS file as SPM, or apply an SPM file to it");
  cmd->footer(kParamsFooter);
  cmd->require_subcommand(1, 1);
  CLI::App* exp = cmd->add_subcommand("export", "Write the parameters of an SRS file into an SPM file");
  exp->add_option("FILE", opts->srs, "SRS file")->required()->type_name("SRS");
  exp->add_option("OUT", opts->spm, "SPM file to write (replaced when it exists)")->required()->type_name("SPM");
  CLI::App* apply = cmd->add_subcommand("apply", "Import an SPM file into an SRS file, rescale its results and save it");
  apply->add_option("FILE", opts->srs, "SRS file")->required()->type_name("SRS");
  apply->add_option("IN", opts->spm, "SPM file to import")->required()->type_name("SPM");
  apply->add_flag("--line-only", opts->line_only, "import only the line and electrode settings");
  apply->add_option("--out", opts->out, "write the result here instead of over FILE")->type_name("SRS");

  return CliVerb{cmd, [opts, exp]() -> int {
                   if (exp->parsed()) return run_export(opts->srs, opts->spm);
                   return run_apply(opts->srs, opts->spm, opts->line_only, opts->out);
                 }};
}
