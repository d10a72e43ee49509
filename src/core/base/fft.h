// Forward, unnormalised DFT of real sequences:
// X[k] = sum_t x[t] * exp(-2*pi*i*k*t/n), k = 0..n-1.
#pragma once

#include <memory>

#include "core/base/algo.h"

struct FftCfg;
struct FftCfgDeleter {
  void operator()(FftCfg* cfg) const;
};
using fft_cfg_ptr = std::unique_ptr<FftCfg, FftCfgDeleter>;

// Configuration for one transform length n >= 1; null for n < 1. It owns the
// scratch buffer of its transforms, so one configuration serves one thread at
// a time.
fft_cfg_ptr fft_alloc(int n);
int fft_len(const FftCfg* cfg);
// out receives n complex values; returns false (out untouched) when cfg is null.
bool fft_real(FftCfg* cfg, const float* x, cpx_t* out);
bool fft_real(FftCfg* cfg, const double* x, cpx_t* out);

// Chooses the bins that fft_real_bins computes (each 0 <= bin < n, repeats
// allowed). False, and no bins chosen, for a null cfg or a bin outside.
bool fft_set_bins(FftCfg* cfg, const int* bins, int count);
// out[j] = X[bins[j]] for the bins chosen last. Only the butterflies of the
// last stage that lead to those bins are computed, so a few low bins of a
// long segment cost clearly less than the whole transform. x may be the
// configuration's own input buffer (fft_input), which saves a copy. False
// (out untouched) when cfg or x is null.
bool fft_real_bins(FftCfg* cfg, const double* x, cpx_t* out);
// Sequences that fft_real_bins_lanes transforms side by side.
constexpr int FFT_LANES = 8;
// fft_real_bins of lanes (1 to FFT_LANES) sequences of n floats at once:
// out[l][j] = X_l[bins[j]] of x[l]. Each result equals that of fft_real_bins
// on the same values as double bit for bit; the sequences run side by side
// in vector registers and share the twiddles, so several cost little more
// than one. False (out untouched) for a null cfg, x or out or a lane count
// outside.
bool fft_real_bins_lanes(FftCfg* cfg, const float* const* x, int lanes, cpx_t* const* out);
// The configuration's input buffer of n values, for callers that write their
// samples straight into it.
double* fft_input(FftCfg* cfg);
