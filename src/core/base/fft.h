// Forward, unnormalised DFT of real sequences:
// X[k] = sum_t x[t] * exp(-2*pi*i*k*t/n), k = 0..n-1.
#pragma once

#include <memory>

#include "base/algo.h"

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
