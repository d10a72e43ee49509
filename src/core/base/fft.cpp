#include "core/base/fft.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <vector>

#include <kissfft/kissfft.hh>

#include "core/base/algo.h"

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

  // Selected bins (fft_set_bins). The complex transform of length lc (n/2
  // for even n, else n) is split as kissfft splits it: top_p transforms of
  // length top_m over every top_p-th input, joined by the last stage. Only
  // the outputs in need are joined, each from top_p twiddled terms.
  struct BinSel {
    int bin = 0;
    int z = -1;               // index in need of Z[k]
    int z_mirror = -1;        // index in need of Z[lc - k] (even n)
    bool conj = false;        // bin above n/2: conjugate of its mirror n - bin
    std::complex<double> tw;  // exp(-2 pi i k / n) (even n)
  };
  std::vector<double> input;
  std::vector<BinSel> sel;
  std::vector<int> need;
  std::vector<int> need_sub;  // need[i] mod top_m: the output of each top_p transform it joins
  int top_p = 1;
  int top_m = 1;
  bool pruned = false;
  std::vector<std::complex<double>> top_tw;  // need.size() x top_p
  std::vector<std::complex<double>> sub;     // lc outputs of the top_p transforms
  std::vector<std::complex<double>> z;       // the needed outputs
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

namespace {

constexpr double kTwoPi = 2.0 * ALGO_PI;

// First radix of kissfft's factorisation: 4 first, then 2, then odd numbers.
int first_radix(int n) {
  int p = 4;
  while (n % p) {
    p = p == 4 ? 2 : p == 2 ? 3 : p + 2;
    if (p * p > n) p = n;
  }
  return p;
}

int index_of(const std::vector<int>& need, int t) {
  auto it = std::lower_bound(need.begin(), need.end(), t);
  return int(it - need.begin());
}

}  // namespace

double* fft_input(FftCfg* cfg) {
  if (!cfg) return nullptr;
  if (cfg->input.empty()) cfg->input.assign(size_t(cfg->n), 0.0);
  return cfg->input.data();
}

bool fft_set_bins(FftCfg* cfg, const int* bins, int count) {
  if (!cfg) return false;
  cfg->sel.clear();
  cfg->need.clear();
  if (count < 0 || (count > 0 && !bins)) return false;
  const int n = cfg->n;
  const int lc = cfg->even ? n / 2 : n;
  for (int j = 0; j < count; ++j)
    if (bins[j] < 0 || bins[j] >= n) return false;

  // Outputs of the complex transform each bin is made of.
  std::vector<int> need;
  for (int j = 0; j < count; ++j) {
    int k = bins[j];
    if (cfg->even && k > lc) k = n - k;
    if (!cfg->even) {
      need.push_back(k);
    } else if (k == 0 || k == lc) {
      need.push_back(0);
    } else {
      need.push_back(k);
      need.push_back(lc - k);
    }
  }
  std::sort(need.begin(), need.end());
  need.erase(std::unique(need.begin(), need.end()), need.end());
  cfg->need = need;

  for (int j = 0; j < count; ++j) {
    FftCfg::BinSel b;
    b.bin = bins[j];
    int k = bins[j];
    if (cfg->even && k > lc) {
      k = n - k;
      b.conj = true;
    }
    if (!cfg->even) {
      b.z = index_of(cfg->need, k);
    } else if (k == 0 || k == lc) {
      b.z = index_of(cfg->need, 0);
    } else {
      b.z = index_of(cfg->need, k);
      b.z_mirror = index_of(cfg->need, lc - k);
      b.tw = std::polar(1.0, -kTwoPi * double(k) / double(n));
    }
    cfg->sel.push_back(b);
  }

  // Joining an output costs top_p products; past half the outputs the whole
  // last stage is cheaper.
  cfg->top_p = first_radix(lc);
  cfg->top_m = lc / cfg->top_p;

  cfg->pruned = cfg->top_m > 1 && 2 * cfg->need.size() < size_t(lc);
  cfg->top_tw.clear();
  if (cfg->pruned) {
    const int p = cfg->top_p;
    cfg->top_tw.resize(cfg->need.size() * size_t(p));
    for (size_t i = 0; i < cfg->need.size(); ++i)
      for (int q = 0; q < p; ++q) {
        const long long e = (long long)q * cfg->need[i] % lc;
        cfg->top_tw[i * size_t(p) + size_t(q)] = std::polar(1.0, -kTwoPi * double(e) / double(lc));
      }
    cfg->sub.assign(size_t(lc), std::complex<double>());
    cfg->need_sub.resize(cfg->need.size());
    for (size_t i = 0; i < cfg->need.size(); ++i) cfg->need_sub[i] = cfg->need[i] % cfg->top_m;
  }
  cfg->z.assign(cfg->need.size(), std::complex<double>());
  return true;
}

bool fft_real_bins(FftCfg* cfg, const double* x, cpx_t* out) {
  if (!cfg || !x || (!cfg->sel.empty() && !out)) return false;
  const int n = cfg->n;
  const int lc = cfg->even ? n / 2 : n;
  const std::complex<double>* in;
  if (cfg->even) {
    // The samples taken pairwise are the complex input (kissfft's real path).
    if (x != fft_input(cfg)) std::copy(x, x + n, cfg->input.begin());
    in = reinterpret_cast<const std::complex<double>*>(cfg->input.data());
  } else {
    std::complex<double>* buf = cfg->scratch.data();
    for (int t = 0; t < n; ++t) buf[t] = std::complex<double>(x[t], 0.0);
    in = buf;
  }

  std::complex<double>* z = cfg->z.data();
  const size_t need_num = cfg->need.size();
  if (cfg->pruned) {
    const int p = cfg->top_p, m = cfg->top_m;
    std::complex<double>* sub = cfg->sub.data();
    for (int q = 0; q < p; ++q) cfg->kiss.transform(in + q, sub + size_t(q) * size_t(m), 1, size_t(p), 1);
    for (size_t i = 0; i < need_num; ++i) {
      const int u = cfg->need_sub[i];
      const std::complex<double>* tw = cfg->top_tw.data() + i * size_t(p);
      double re = 0.0, im = 0.0;
      for (int q = 0; q < p; ++q) {
        const std::complex<double> f = sub[size_t(q) * size_t(m) + size_t(u)];
        re += f.real() * tw[q].real() - f.imag() * tw[q].imag();
        im += f.real() * tw[q].imag() + f.imag() * tw[q].real();
      }
      z[i] = std::complex<double>(re, im);
    }
  } else {
    std::complex<double>* spec = cfg->scratch.data() + (cfg->even ? lc : n);
    cfg->kiss.transform(in, spec);
    for (size_t i = 0; i < need_num; ++i) z[i] = spec[cfg->need[i]];
  }

  for (size_t j = 0; j < cfg->sel.size(); ++j) {
    const FftCfg::BinSel& b = cfg->sel[j];
    std::complex<double> v;
    if (!cfg->even) {
      v = z[b.z];
    } else if (b.z_mirror < 0) {
      const std::complex<double> z0 = z[b.z];
      v = std::complex<double>(b.bin == 0 ? z0.real() + z0.imag() : z0.real() - z0.imag(), 0.0);
    } else {
      // Spectrum of the even and of the odd samples, joined.
      const std::complex<double> zk = z[b.z], zm = z[b.z_mirror];
      const std::complex<double> w(0.5 * (zk.real() + zm.real()), 0.5 * (zk.imag() - zm.imag()));
      const std::complex<double> h(0.5 * (zk.imag() + zm.imag()), 0.5 * (zm.real() - zk.real()));
      v = std::complex<double>(w.real() + b.tw.real() * h.real() - b.tw.imag() * h.imag(),
                               w.imag() + b.tw.real() * h.imag() + b.tw.imag() * h.real());
    }
    if (b.conj) v = std::conj(v);
    out[j] = cpx_t{v.real(), v.imag()};
  }
  return true;
}
