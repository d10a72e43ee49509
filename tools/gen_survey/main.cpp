// varnex-gen-survey OUTDIR [--seed N] [--layout mid|pole3|pole4|free]
//   [--wave square|pseudo|spread|double] [--files N] [--old-versions]
//   [--devices N] [--cals N] [--sample-rate N] [--no-smt] [--cole-cole] [--lines N]
#include <cstdio>
#include <map>
#include <string>

#include <CLI/CLI.hpp>

#include "core/base/platform.h"
#include "core/sip/sip_pub.h"
#include "survey.h"

int main(int argc, char** argv) {
  platform_utf8_args(&argc, &argv);
  CLI::App app{"Writes a synthetic SIP survey: SRS files, SMT time series and side tables."};
  // Options start with "-" on every system: "/data/L1.SRS" is a path on Windows too.
  app.allow_windows_style_options(false);
  SurveyOptions opt;
  std::string layout = "mid", wave = "spread";
  bool no_smt = false;
  app.add_option("OUTDIR", opt.out_dir, "output directory (created when missing)")->required();
  app.add_option("--seed", opt.seed, "random seed; the same seed gives the same survey");
  app.add_option("--layout", layout, "electrode layout")->check(CLI::IsMember({"mid", "pole3", "pole4", "free"}));
  app.add_option("--wave", wave, "transmitter waveform")->check(CLI::IsMember({"square", "pseudo", "spread", "double"}));
  app.add_option("--files", opt.files, "number of SRS files")->check(CLI::Range(1, 1000));
  app.add_flag("--old-versions", opt.old_versions, "also write files in every older stream version");
  app.add_option("--devices", opt.devices, "receiver devices per file")->check(CLI::Range(1, 1000));
  app.add_option("--cals", opt.cals, "calculations (time-series segments) per file")->check(CLI::Range(1, 100000));
  app.add_option("--sample-rate", opt.sample_rate, "samples per second (default: chosen for the waveform)")
      ->check(CLI::Range(1, 100000));
  app.add_option("--lines", opt.lines,
                 "lines the files are spread over, file k on line 101 + k mod N (not the free layout); "
                 "the site coordinates cover every line, 50 m apart")
      ->check(CLI::Range(1, 100));
  app.add_flag("--no-smt", no_smt, "write no SMT time series");
  app.add_flag("--cole-cole", opt.cole_cole,
               "channels follow Cole-Cole models (pseudo-random wave, harmonics 1 ... 8192, no SMT); "
               "the parameters go to cole_cole_truth.csv");
  CLI11_PARSE(app, argc, argv);

  const std::map<std::string, int> layouts = {{"mid", SIP_MID_GRADIENT},
                                              {"pole3", SIP_POLE3_SOUNDING},
                                              {"pole4", SIP_POLE4_SOUNDING},
                                              {"free", SIP_ALL_GRADIENT}};
  const std::map<std::string, int> waves = {{"square", SIP_WAVE_SQUARE},
                                            {"pseudo", SIP_WAVE_PSEUDO_RANDOM},
                                            {"spread", SIP_WAVE_SPREAD_SPECTRUM},
                                            {"double", SIP_WAVE_DOUBLE_FREQ}};
  opt.layout = layouts.at(layout);
  opt.wave = waves.at(wave);
  opt.write_smt = !no_smt;

  std::string err;
  if (!GenerateSurvey(opt, &err)) {
    std::fprintf(stderr, "varnex-gen-survey: %s\n", err.c_str());
    return 1;
  }
  return 0;
}
