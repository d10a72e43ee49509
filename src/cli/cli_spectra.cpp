#include "cli_spectra.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/base/ex_string.h"
#include "core/processing/cole_cole.h"
#include "core/processing/spectra.h"
#include "core/sip/format_srs.h"

namespace {

const char* const kSpectraFooter =
    "CSV on standard output, one header line, fields never quoted. Every channel of the single-frequency\n"
    "result, every frequency point whose apparent resistivity has data:\n"
    "  file,device,channel,position_m,freq_hz,rho_ohmm,rho_err_pct,phase_mrad,phase_err_mrad\n"
    "With --fit colecole one line per channel with its Cole-Cole (Pelton) model\n"
    "rho(w) = rho0 (1 - m (1 - 1 / (1 + (i w tau)^c))):\n"
    "  file,device,channel,position_m,rho0_ohmm,m,tau_s,c,rms_pct,status\n"
    "status: ok, too-few-points (under 4 points) or failed (rho <= 0, a value not finite, no finite fit); the\n"
    "number columns are empty unless ok.\n"
    "Exit status: 0 every file read; 1 some file unreadable (one line each on standard error); 2 usage error.";

// The file name without folder and extension.
std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

void PrintPoints(const std::string& base, const ChannelSpectrum& s) {
  for (const SpectrumPoint& p : s.points) {
    char err_pct[32];
    // The relative error of a zero resistivity has no value.
    if (p.rho == 0.0f)
      std::snprintf(err_pct, sizeof(err_pct), "nan");
    else
      std::snprintf(err_pct, sizeof(err_pct), "%.4g", double(p.rho_err) / double(p.rho) * 100.0);
    std::printf("%s,%s,%d,%.3f,%.6g,%.6g,%s,%.4f,%.4f\n", base.c_str(), s.info.dev_name.c_str(),
                s.info.idx_dev_ch + 1, double(s.info.m_pos), double(p.freq_hz), double(p.rho), err_pct,
                double(p.phase) * 1000.0, double(p.phase_err) * 1000.0);
  }
}

void PrintFit(const std::string& base, const ChannelSpectrum& s, const ColeColeFit& fit) {
  std::printf("%s,%s,%d,%.3f,", base.c_str(), s.info.dev_name.c_str(), s.info.idx_dev_ch + 1, double(s.info.m_pos));
  if (fit.status == ColeColeStatus::Ok)
    std::printf("%.6g,%.5f,%.6g,%.5f,%.4f,", fit.p.rho0, fit.p.m, fit.p.tau, fit.p.c, fit.rms_pct);
  else
    std::printf(",,,,,");
  std::printf("%s\n", ColeColeStatusName(fit.status));
}

}  // namespace

CliVerb addSpectraVerb(CLI::App& app) {
  struct Opts {
    std::vector<std::string> files;
    std::string fit;
  };
  auto opts = std::make_shared<Opts>();
  CLI::App* cmd = app.add_subcommand("spectra", "SIP spectra of every channel, or their Cole-Cole fit, as CSV");
  cmd->footer(kSpectraFooter);
  cmd->add_option("FILE", opts->files, "SRS files, in this order")->required()->type_name("SRS");
  cmd->add_option("--fit", opts->fit, "fit a model to every channel: colecole")
      ->check(CLI::IsMember({"colecole"}))
      ->type_name("MODEL");

  return CliVerb{cmd, [opts]() -> int {
                   const bool fit = !opts->fit.empty();
                   if (fit && !ColeColeFitAvailable()) {
                     std::fprintf(stderr, "varnex-cli: this build has no Cole-Cole fit (it is built without GSL)\n");
                     return 2;
                   }
                   if (fit)
                     std::printf("file,device,channel,position_m,rho0_ohmm,m,tau_s,c,rms_pct,status\n");
                   else
                     std::printf(
                         "file,device,channel,position_m,freq_hz,rho_ohmm,rho_err_pct,phase_mrad,phase_err_mrad\n");
                   bool ok = true;
                   for (const std::string& file : opts->files) {
                     CFormatSRS srs;
                     if (!CliReadSrs(file, &srs)) {
                       ok = false;
                       continue;
                     }
                     const std::string base = BaseName(file);
                     const std::vector<ChannelSpectrum> spectra = SpectraOf(srs.m_res);
                     if (!fit) {
                       for (const ChannelSpectrum& s : spectra) PrintPoints(base, s);
                       continue;
                     }
                     const std::vector<ColeColeFit> fits = FitColeColeAll(spectra);
                     for (size_t i = 0; i < spectra.size(); ++i) PrintFit(base, spectra[i], fits[i]);
                   }
                   return std::fflush(stdout) == 0 && ok ? 0 : 1;
                 }};
}
