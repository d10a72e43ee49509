// Synthetic SIP surveys for tests, benchmarks and the demo: SRS files of one
// line (or one block of the free layout), the SMT time series of every
// device whose harmonics are the stored spectra plus noise, and the
// coordinate, elevation and shift tables.
#pragma once

#include <cstdint>
#include <string>

struct SurveyOptions {
  std::string out_dir;
  uint64_t seed = 1;
  int layout = 0;            // SipLayout
  int wave = 2;              // SipWave
  int files = 3;
  bool old_versions = false;
  int devices = 4;           // receiver devices per file
  int cals = 6;              // calculations (time-series segments) per file
  int sample_rate = 0;       // 0: chosen for the waveform
  bool write_smt = true;
  // Lines the files are spread over: file k on line 101 + k % lines, named
  // L<line>_<nn> with nn counting the files of its line (the free layout
  // keeps its one block).
  int lines = 1;
  // Channels that follow a Cole-Cole model with known parameters over the
  // pseudo-random wave's harmonics 1 ... 8192 (no SMT files), plus one more
  // file with two frequency points; the truth goes to cole_cole_truth.csv.
  bool cole_cole = false;
};

// Returns false with a message in err when the survey cannot be written.
bool GenerateSurvey(const SurveyOptions& opt, std::string* err);
