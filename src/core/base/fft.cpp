#include "base/fft.h"

#include <complex>
#include <vector>

#include <kissfft/kissfft.hh>

// Even lengths run as a complex transform of half the length over the samples
// taken pairwise (kissfft's real-input path), which halves the work of the
// long segments the spectra are built from. Odd lengths use the plain
// complex transform.
struct FftCfg {
  explicit FftCfg(int len)
      : n(len),
        even(len % 2 == 0),
        kiss(size_t(even ? len / 2 : len), false),
        scratch(size_t(even ? len : 2 * len)) {}

  int n;
  bool even;
  kissfft<double> kiss;
  // Even n: the first n/2 elements hold the n input samples viewed as reals,
  // the last n/2 receive the packed half spectrum. Odd n: input in the first
  // n elements, output in the last n.
  std::vector<std::complex<double>> scratch;
};

void FftCfgDeleter::operator()(FftCfg* cfg) const { delete cfg; }

fft_cfg_ptr fft_alloc(int n) {
  if (n < 1) return fft_cfg_ptr();
  return fft_cfg_ptr(new FftCfg(n));
}

int fft_len(const FftCfg* cfg) { return cfg ? cfg->n : 0; }

namespace {

template <typename T>
bool run(FftCfg* cfg, const T* x, cpx_t* out) {
  if (!cfg || !x || !out) return false;
  const int n = cfg->n;
  std::complex<double>* buf = cfg->scratch.data();

  if (!cfg->even) {
    for (int t = 0; t < n; ++t) buf[t] = std::complex<double>(double(x[t]), 0.0);
    std::complex<double>* spec = buf + n;
    cfg->kiss.transform(buf, spec);
    for (int k = 0; k < n; ++k) out[k] = cpx_t{spec[k].real(), spec[k].imag()};
    return true;
  }

  const int half = n / 2;
  // std::complex<double> guarantees the layout double[2], so the first half
  // of the scratch buffer can carry the n real samples.
  double* samples = reinterpret_cast<double*>(buf);
  for (int t = 0; t < n; ++t) samples[t] = double(x[t]);
  std::complex<double>* spec = buf + half;
  cfg->kiss.transform_real(samples, spec);

  // spec[0] packs the two purely real bins: X[0] in the real part and the
  // Nyquist bin X[n/2] in the imaginary part. spec[1..half-1] are X[1..half-1];
  // the upper half follows from X[n-k] = conj(X[k]) for real input.
  out[0] = cpx_t{spec[0].real(), 0.0};
  out[half] = cpx_t{spec[0].imag(), 0.0};
  for (int k = 1; k < half; ++k) {
    out[k] = cpx_t{spec[k].real(), spec[k].imag()};
    out[n - k] = cpx_t{spec[k].real(), -spec[k].imag()};
  }
  return true;
}

}  // namespace

bool fft_real(FftCfg* cfg, const float* x, cpx_t* out) { return run(cfg, x, out); }

bool fft_real(FftCfg* cfg, const double* x, cpx_t* out) { return run(cfg, x, out); }
