#include "cli_export.h"

#include <cstdio>
#include <map>
#include <memory>

#include "core/base/ex_string.h"
#include "core/base/num_check.h"

namespace {

const char* const kExportFooter =
    "Formats (the export page's choices):\n"
    "  res2dinv   2-D sounding, inversion data, Res2dinv: BASE_Res2dinv_F<h>.dat per harmonic\n"
    "  zond2d     2-D sounding, inversion data, Zondres2d: BASE_Zond2d.dat (not with --ip fs)\n"
    "  res3dinv   3-D sounding, inversion data: BASE_Res3dinv_F<h>.dat, topography block at the end\n"
    "  ohm        the res2dinv data points (res3dinv for the free layout) in the unified data format of\n"
    "             pyGIMLi, BERT and ResIPy: BASE_F<h>.ohm (not with --ip fs)\n"
    "  section    2-D sounding, pseudo-section: BASE_sect.dat\n"
    "  section3d  3-D sounding, pseudo-section with --poles 3 or 4: BASE_sect.dat\n"
    "  plane      mid-gradient scan: BASE_plane.dat\n"
    "  checkerr   check points: BASE_Err_F<h>.dat per harmonic\n"
    "  fdip       the ohm data points, every frequency point in one dataset (impedance phase whatever\n"
    "             --ip), FDIP: BASE.shm, BASE.rhoa, BASE.phia, BASE.rhoaE, BASE.phiaE\n"
    "  crtomo     the same for CRTomo and REDA: folder BASE_crtomo/ (volt, error, frequency and\n"
    "             electrode files)\n"
    "  protocol   the same for ResIPy: folder BASE_protocol/ (a protocol file per frequency) and\n"
    "             BASE_protocol_electrodes.csv\n"
    "             fdip, crtomo and protocol need files with the same two or more frequency points\n"
    "Files are written beside their final names and put in place only when complete; an earlier export\n"
    "of the same name stays as it is until then.\n"
    "Standard output: the paths written, one a line. Standard error: every message of the run, among\n"
    "them the SMT files that are missing or have no data.\n"
    "Exit status: 0 the run completed; 1 it stopped (a file that cannot be read, a layout mismatch, no\n"
    "matching file, a file that cannot be created) or an option file cannot be read; 2 usage error, or two\n"
    "files of the same base name with --from-smt or checkerr (nothing written).";

// The English of every message of the export runs; the export page has the
// Chinese ones through tr().
std::string English(ExportCode code) {
  switch (code) {
    case ExportCode::DeviceError: return "The %1 SRS data file device error!";
    case ExportCode::NoFiles: return "No matching SRS data file found !";
    case ExportCode::ReadFailed: return "Failed to read %1!";
    case ExportCode::SmtMissing: return "The following %1 files are misssing or have no data:";
    case ExportCode::Converted: return "Data conversion completed";
    case ExportCode::Exported: return "Data export completed!";
    case ExportCode::NoValid: return "Export completed, no valid data!";
    case ExportCode::NameEmpty: return "The exported file name is empty !";
    case ExportCode::CreateFailed: return "Cannot create %1: %2";
    case ExportCode::NotCompleted: return "%1 could not be completed: %2";
    case ExportCode::HarmMismatch:
      return "The group of %1 has another harmonic count than the first group; its data were not exported!";
    case ExportCode::NoFs: return "%1 files cannot carry the frequency effect!";
    case ExportCode::NoHarmonics: return "%1 has no harmonics to export; its group was not exported!";
    case ExportCode::Cancelled: return "Export cancelled; the files hold the data exported before the cancel.";
    case ExportCode::FreqMismatch:
      return "The group of %1 holds files with other frequency points than the first file; nothing was "
             "exported!";
    case ExportCode::FewFrequencies: return "%1 has fewer than two frequency points; nothing was exported!";
    case ExportCode::SameBaseName:
      return "%1 and %2 have the same base name: their time series and check points cannot be told apart; nothing "
             "was exported!";
  }
  return std::string();
}

// The exit status tells that a run completed; its confirmation is not
// repeated on stderr.
bool IsConfirmation(ExportCode code) {
  return code == ExportCode::Converted || code == ExportCode::Exported || code == ExportCode::NoValid;
}

// The names of --format and --ip, in the order --help shows them.
const std::vector<std::pair<std::string, ExportFormat>> kFormats = {
    {"res2dinv", ExportFormat::Res2dinv}, {"res3dinv", ExportFormat::Res3dinv},
    {"zond2d", ExportFormat::Zond2d},     {"ohm", ExportFormat::Ohm},
    {"section", ExportFormat::Section},   {"section3d", ExportFormat::Section3d},
    {"plane", ExportFormat::Plane},       {"checkerr", ExportFormat::CheckErr},
    {"fdip", ExportFormat::Fdip},         {"crtomo", ExportFormat::Crtomo},
    {"protocol", ExportFormat::Protocol},
};
const std::vector<std::pair<std::string, IpQuantity>> kIp = {
    {"cp", IpQuantity::RelativePhase}, {"fs", IpQuantity::FrequencyEffect}, {"phase", IpQuantity::Phase}};

template <class T>
T Named(const std::vector<std::pair<std::string, T>>& names, const std::string& name) {
  for (const auto& n : names)
    if (n.first == name) return n.second;
  return names.front().second;
}

}  // namespace

std::string ExportMessageEnglish(const ExportMessage& m) {
  // The missing time series and the file of another layout follow the
  // text, one a line.
  const bool listed = m.code == ExportCode::SmtMissing || m.code == ExportCode::DeviceError;
  const std::string a1 = m.args.size() > 0 ? m.args[0] : std::string();
  const std::string a2 = m.args.size() > 1 && !listed ? m.args[1] : std::string();
  std::string text = ExportArg(English(m.code), a1, a2);
  for (size_t i = 1; listed && i < m.args.size(); ++i) text += "\n" + m.args[i];
  return text;
}

bool CliLoadTable(const std::string& path, CFormatTxt* table, const char* failure) {
  if (path.empty()) return true;
  if (table->Read(ex_utf8_to_ansi(path))) return true;
  std::fprintf(stderr, "varnex-cli: %s %s: %s\n", failure, path.c_str(),
               table->GetError().empty() ? "cannot be opened" : table->GetError().c_str());
  return false;
}

void CliSetMaxErrors(std::vector<LimitItem>* limits, float app_percent, float cp_mrad) {
  if (limits->size() != size_t(LIMIT_TYPE_CNT)) return;
  if (app_percent >= 0.0f) limit_store_value(&(*limits)[LIMIT_ROW_APP], LIMIT_REL, app_percent / 100.0f);
  if (cp_mrad >= 0.0f) limit_store_value(&(*limits)[LIMIT_ROW_CP], LIMIT_STD, cp_mrad / 1000.0f);
}

int CliReportRun(const ExportRun& run) {
  for (const std::string& p : run.written) std::printf("%s\n", ex_ansi_to_utf8(p).c_str());
  for (const ExportMessage& m : run.messages)
    if (!IsConfirmation(m.code)) std::fprintf(stderr, "varnex-cli: %s\n", ExportMessageEnglish(m).c_str());
  if (run.cancelled) std::fprintf(stderr, "varnex-cli: cancelled\n");
  // Two inputs of one base name are a usage error: nothing was looked at.
  for (const ExportMessage& m : run.messages)
    if (m.code == ExportCode::SameBaseName) return 2;
  return run.completed ? 0 : 1;
}

CliVerb addExportVerb(CLI::App& app) {
  struct Opts {
    std::vector<std::string> files;
    std::string out;
    std::string format;
    int poles = 4;
    std::string ip = "cp";
    bool resistance = false;
    bool no_combine = false;
    float shift_percent = 1.0f;
    float unit_spacing = 10.0f;
    bool no_sys_err = false;
    float sys_err_app = 2.0f;
    float sys_err_cp = 0.0f;
    float x_shift = 0.0f;
    std::string elev, coords, shifts, smt_dir;
    float max_err_app = -1.0f;
    float max_err_cp = -1.0f;
  };
  auto o = std::make_shared<Opts>();
  CLI::App* cmd = app.add_subcommand("export", "Export SRS files as inversion inputs or QC tables");
  cmd->footer(kExportFooter);
  cmd->add_option("FILE", o->files, "SRS files, in this order")->required()->type_name("SRS");
  cmd->add_option("--out", o->out, "output base: directory and file name, the suffixes are appended")
      ->required()
      ->type_name("BASE");
  cmd->add_option("--format", o->format, "what to write")
      ->required()
      ->check(CLI::IsMember(kFormats));
  cmd->add_option("--poles", o->poles, "section3d: three- or four-electrode section (default 4)")
      ->check(CLI::IsMember({3, 4}));
  cmd->add_option("--ip", o->ip, "IP quantity: relative phase (default), frequency effect or phase")
      ->check(CLI::IsMember(kIp));
  cmd->add_flag("--resistance", o->resistance, "apparent resistance instead of apparent resistivity");
  cmd->add_flag("--no-combine", o->no_combine, "res2dinv, zond2d, ohm, fdip, crtomo, protocol: no pole combination");
  cmd->add_option("--shift-percent", o->shift_percent, "pole combination shift in percent (default 1)")
      ->check(CliNumber(NUM_SHIFT_PERCENT))
      ->type_name("P");
  cmd->add_option("--unit-spacing", o->unit_spacing, "unit electrode spacing in metres (default 10)")
      ->check(CliNumber(NUM_UNIT_SPACING))
      ->type_name("M");
  cmd->add_flag("--no-sys-err", o->no_sys_err, "add no system error to the written errors");
  cmd->add_option("--sys-err-app", o->sys_err_app, "system error of the apparent resistivity, percent (default 2)")
      ->check(CliNumber(NUM_SYS_ERR_APP_PERCENT))
      ->type_name("PCT");
  cmd->add_option("--sys-err-cp", o->sys_err_cp, "system error of the phases, mrad (default 0)")
      ->check(CliNumber(NUM_SYS_ERR_CP_MRAD))
      ->type_name("MRAD");
  CLI::Option* xs = cmd->add_option("--x-shift", o->x_shift, "2-D: add this offset to every x (m)")
                        ->check(CliNumber(NUM_X_SHIFT))
                        ->type_name("M");
  cmd->add_option("--elev", o->elev, "elevation table (x y z per line)")->type_name("FILE");
  cmd->add_option("--coords", o->coords, "site coordinate table (header, then name line_no pos x y)")
      ->type_name("FILE");
  cmd->add_option("--shifts", o->shifts, "electrode shift table, 3-D (header, then name,pole,dx,dy)")
      ->type_name("FILE");
  cmd->add_option("--from-smt", o->smt_dir, "recompute the spectra from the SMT time series under DIR")
      ->type_name("DIR");
  cmd->add_option("--max-err-app", o->max_err_app, "maximum relative error of the apparent resistivity, percent")
      ->check(CliNumber(NUM_MAX_ERR_APP_PERCENT))
      ->type_name("PCT");
  cmd->add_option("--max-err-cp", o->max_err_cp, "maximum error of the relative phase, mrad")
      ->check(CliNumber(NUM_MAX_ERR_CP_MRAD))
      ->type_name("MRAD");

  return CliVerb{cmd, [o, xs]() -> int {
                   auto tables = std::make_unique<CliExportTables>();
                   if (!CliLoadTable(o->elev, &tables->elev, "Failed to import elevation!") ||
                       !CliLoadTable(o->coords, &tables->coords, "Failed to import coordinate!") ||
                       !CliLoadTable(o->shifts, &tables->shifts, "Failed to import relative coordinates!"))
                     return 1;
                   ExportOptions s;
                   for (const std::string& f : o->files) s.paths.push_back(ex_utf8_to_ansi(f));
                   s.path_base = ex_utf8_to_ansi(o->out);
                   s.layout = ExportFirstLayout(s.paths);
                   s.format = Named(kFormats, o->format);
                   s.four_poles = o->poles == 4;
                   s.from_smt = !o->smt_dir.empty();
                   s.smt_dir = ex_utf8_to_ansi(o->smt_dir);
                   s.ip = Named(kIp, o->ip);
                   // The page unchecks the combination for the free layout.
                   s.combine = !o->no_combine && s.layout != SIP_ALL_GRADIENT;
                   s.shift_percent = o->shift_percent;
                   s.resistivity = !o->resistance;
                   s.unit_spacing = o->unit_spacing;
                   s.add_sys_err = !o->no_sys_err;
                   s.sys_err_app_percent = o->sys_err_app;
                   s.sys_err_cp_mrad = o->sys_err_cp;
                   s.x_shift_on = xs->count() > 0;
                   s.x_shift = o->x_shift;
                   CliSetMaxErrors(&s.limits, o->max_err_app, o->max_err_cp);
                   s.stop_on_unreadable = true;
                   s.elev = &tables->elev;
                   s.site_coord = &tables->coords;
                   s.shifting = &tables->shifts;
                   return CliReportRun(RunExport(s, nullptr));
                 }};
}
