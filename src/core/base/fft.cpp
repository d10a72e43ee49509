#include "core/base/fft.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>
#include <utility>
#include <vector>

#include <kissfft/kissfft.hh>

#include "core/base/algo.h"
#include "core/base/platform.h"

// Sequences transformed side by side, one per lane of a vector register.
// Every lane runs the very operations of the one-sequence transform in the
// same order, so each lane's result is that transform's bit for bit (the file
// is built without contraction, so no product and sum fuse into one
// rounding). Eight lanes where the processor has AVX-512, four where it has
// AVX, else two SSE2 lanes at a time.
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define FFT_HAVE_AVX_LANES 1
#endif

namespace {

typedef double lanes2_t __attribute__((vector_size(sizeof(double) * 2)));
typedef double lanes4_t __attribute__((vector_size(sizeof(double) * 4)));
typedef double lanes8_t __attribute__((vector_size(sizeof(double) * 8)));
static_assert(FFT_LANES == 8, "eight lanes: one AVX-512 register, two AVX or four SSE2 ones");

// Aligned to the size of its parts: the compiler's default target aligns four
// doubles to 16 bytes only, the AVX code expects 32.
template <typename T>
struct alignas(sizeof(T)) Cx {
  T re, im;
};
static_assert(alignof(Cx<lanes4_t>) == 32, "AVX operands");
static_assert(alignof(Cx<lanes8_t>) == 64, "AVX-512 operands");

}  // namespace

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

  // The complex transform of length lc in kissfft's factors, order of
  // operations and twiddles, for one sequence or for several at once. order:
  // the input index each output starts from (kissfft's leaves); stride:
  // kissfft's fstride of each stage.
  std::vector<std::complex<double>> tw;
  std::vector<int> radix, remain, stride, order;
  // The twiddles as operands (tw, top_tw and BinSel::tw in the same order);
  // every lane multiplies by the same double, so one table serves them all
  // and stays small enough to keep in the first-level cache beside the lanes.
  std::vector<Cx<double>> tw_op, top_tw_op, bin_tw_op;
  // Buffers of the lanes.
  template <typename T>
  struct Work {
    const FftCfg* cfg = nullptr;
    std::vector<Cx<T>> out, z, scratch;
  };
  Work<double> one;
  Work<lanes2_t> lanes2;
  Work<lanes4_t> lanes4;
  Work<lanes8_t> lanes8;
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

// kissfft's twiddles and stages for a forward transform of length lc,
// computed by the same expressions, and the order in which its recursion
// gathers the input.
void plan_stages(FftCfg* cfg, int lc) {
  const double phinc = -2 * std::acos(double(-1)) / size_t(lc);
  cfg->tw.resize(size_t(lc));
  for (size_t i = 0; i < size_t(lc); ++i) cfg->tw[i] = std::exp(std::complex<double>(0, i * phinc));
  int n = lc, fstride = 1;
  do {
    const int p = first_radix(n);
    n /= p;
    cfg->radix.push_back(p);
    cfg->remain.push_back(n);
    cfg->stride.push_back(fstride);
    fstride *= p;
  } while (n > 1);
  cfg->order.resize(size_t(lc));
  struct Leaves {
    FftCfg* cfg;
    void fill(int in, int out, size_t stage, int fstride) {
      const int p = cfg->radix[stage], m = cfg->remain[stage];
      for (int q = 0; q < p; ++q) {
        if (m == 1)
          cfg->order[size_t(out + q)] = in + q * fstride;
        else
          fill(in + q * fstride, out + q * m, stage + 1, fstride * p);
      }
    }
  };
  Leaves{cfg}.fill(0, 0, 0, 1);
}

template <typename T>
Cx<T> mul(const Cx<T>& a, const Cx<double>& w) {
  return Cx<T>{a.re * w.re - a.im * w.im, a.re * w.im + a.im * w.re};
}

template <typename T>
Cx<T> add(const Cx<T>& a, const Cx<T>& b) {
  return Cx<T>{a.re + b.re, a.im + b.im};
}

template <typename T>
Cx<T> sub(const Cx<T>& a, const Cx<T>& b) {
  return Cx<T>{a.re - b.re, a.im - b.im};
}

// kissfft's butterflies of one stage over one block of p x m outputs,
// operation for operation, so that the results do not move by a bit.
template <typename T>
void butterfly(FftCfg::Work<T>& w, Cx<T>* out, size_t p, size_t m, size_t fstride) {
  const Cx<double>* tw = w.cfg->tw_op.data();
  const size_t nfft = w.cfg->tw_op.size();
  switch (p) {
    case 2:
      for (size_t k = 0; k < m; ++k) {
        const Cx<T> t = mul(out[m + k], tw[k * fstride]);
        out[m + k] = sub(out[k], t);
        out[k] = add(out[k], t);
      }
      break;
    case 3: {
      const size_t m2 = 2 * m;
      const double epi3 = tw[fstride * m].im;
      for (size_t k = 0; k < m; ++k) {
        Cx<T>* f = out + k;
        const Cx<T> s1 = mul(f[m], tw[k * fstride]);
        const Cx<T> s2 = mul(f[m2], tw[k * fstride * 2]);
        const Cx<T> s3 = add(s1, s2);
        Cx<T> s0 = sub(s1, s2);
        f[m] = Cx<T>{f[0].re - s3.re * 0.5, f[0].im - s3.im * 0.5};
        s0 = Cx<T>{s0.re * epi3, s0.im * epi3};
        f[0] = add(f[0], s3);
        f[m2] = Cx<T>{f[m].re + s0.im, f[m].im - s0.re};
        f[m] = Cx<T>{f[m].re + -s0.im, f[m].im + s0.re};
      }
      break;
    }
    case 4:
      for (size_t k = 0; k < m; ++k) {
        const Cx<T> s0 = mul(out[k + m], tw[k * fstride]);
        const Cx<T> s1 = mul(out[k + 2 * m], tw[k * fstride * 2]);
        const Cx<T> s2 = mul(out[k + 3 * m], tw[k * fstride * 3]);
        const Cx<T> s5 = sub(out[k], s1);
        out[k] = add(out[k], s1);
        const Cx<T> s3 = add(s0, s2);
        Cx<T> s4 = sub(s0, s2);
        s4 = Cx<T>{s4.im * 1.0, -s4.re * 1.0};
        out[k + 2 * m] = sub(out[k], s3);
        out[k] = add(out[k], s3);
        out[k + m] = add(s5, s4);
        out[k + 3 * m] = sub(s5, s4);
      }
      break;
    case 5: {
      const Cx<double> ya = tw[fstride * m];
      const Cx<double> yb = tw[fstride * 2 * m];
      for (size_t u = 0; u < m; ++u) {
        Cx<T>* f0 = out + u;
        Cx<T>* f1 = f0 + m;
        Cx<T>* f2 = f0 + 2 * m;
        Cx<T>* f3 = f0 + 3 * m;
        Cx<T>* f4 = f0 + 4 * m;
        const Cx<T> s0 = *f0;
        const Cx<T> s1 = mul(*f1, tw[u * fstride]);
        const Cx<T> s2 = mul(*f2, tw[2 * u * fstride]);
        const Cx<T> s3 = mul(*f3, tw[3 * u * fstride]);
        const Cx<T> s4 = mul(*f4, tw[4 * u * fstride]);
        const Cx<T> s7 = add(s1, s4);
        const Cx<T> s10 = sub(s1, s4);
        const Cx<T> s8 = add(s2, s3);
        const Cx<T> s9 = sub(s2, s3);
        *f0 = add(*f0, s7);
        *f0 = add(*f0, s8);
        const Cx<T> s5 = add(s0, Cx<T>{s7.re * ya.re + s8.re * yb.re, s7.im * ya.re + s8.im * yb.re});
        const Cx<T> s6{s10.im * ya.im + s9.im * yb.im, -s10.re * ya.im - s9.re * yb.im};
        *f1 = sub(s5, s6);
        *f4 = add(s5, s6);
        const Cx<T> s11 = add(s0, Cx<T>{s7.re * yb.re + s8.re * ya.re, s7.im * yb.re + s8.im * ya.re});
        const Cx<T> s12{-s10.im * yb.im + s9.im * ya.im, s10.re * yb.im - s9.re * ya.im};
        *f2 = add(s11, s12);
        *f3 = sub(s11, s12);
      }
      break;
    }
    default: {
      Cx<T>* scratch = w.scratch.data();
      for (size_t u = 0; u < m; ++u) {
        for (size_t q1 = 0, k = u; q1 < p; ++q1, k += m) scratch[q1] = out[k];
        for (size_t q1 = 0, k = u; q1 < p; ++q1, k += m) {
          size_t twidx = 0;
          out[k] = scratch[0];
          for (size_t q = 1; q < p; ++q) {
            twidx += fstride * k;
            if (twidx >= nfft) twidx -= nfft;
            out[k] = add(out[k], mul(scratch[q], tw[twidx]));
          }
        }
      }
      break;
    }
  }
}

// Element e of the complex input of every sequence, lane by lane: the
// samples taken pairwise for even n (kissfft's real path), else the sample
// with imaginary part 0.
template <typename S>
void load(const S* const* x, bool even, size_t e, Cx<double>* v) {
  v->re = double(x[0][even ? 2 * e : e]);
  v->im = even ? double(x[0][2 * e + 1]) : 0.0;
}

// Two neighbouring floats as doubles, in one conversion.
lanes2_t pair(const float* p) {
  typedef float float2_t __attribute__((vector_size(sizeof(float) * 2)));
  float2_t f;
  std::memcpy(&f, p, sizeof(f));
  return __builtin_convertvector(f, lanes2_t);
}

template <typename V, size_t... L>
void load_lanes(const float* const* x, bool even, size_t e, Cx<V>* v, std::index_sequence<L...>) {
  if (even) {
    const lanes2_t p[] = {pair(x[L] + 2 * e)...};
    v->re = V{p[L][0]...};
    v->im = V{p[L][1]...};
  } else {
    v->re = V{double(x[L][e])...};
    v->im = V{};
  }
}

void load(const float* const* x, bool even, size_t e, Cx<lanes2_t>* v) {
  load_lanes(x, even, e, v, std::make_index_sequence<2>());
}

void load(const float* const* x, bool even, size_t e, Cx<lanes4_t>* v) {
  load_lanes(x, even, e, v, std::make_index_sequence<4>());
}

void load(const float* const* x, bool even, size_t e, Cx<lanes8_t>* v) {
  load_lanes(x, even, e, v, std::make_index_sequence<8>());
}

Cx<double> operand(const std::complex<double>& v) { return Cx<double>{v.real(), v.imag()}; }

// The twiddles of cfg (after fft_set_bins) as operands.
void twiddle_operands(FftCfg& cfg) {
  cfg.tw_op.clear();
  for (const std::complex<double>& t : cfg.tw) cfg.tw_op.push_back(operand(t));
  cfg.top_tw_op.clear();
  for (const std::complex<double>& t : cfg.top_tw) cfg.top_tw_op.push_back(operand(t));
  cfg.bin_tw_op.clear();
  for (const FftCfg::BinSel& b : cfg.sel) cfg.bin_tw_op.push_back(operand(b.tw));
}

// The buffers of the lanes of T.
template <typename T>
void tables(const FftCfg& cfg, FftCfg::Work<T>& w) {
  w.cfg = &cfg;
  w.out.resize(cfg.order.size());
  w.z.resize(cfg.need.size());
  w.scratch.resize(size_t(*std::max_element(cfg.radix.begin(), cfg.radix.end())));
}

double lane(double v, int) { return v; }
template <typename V>
double lane(const V& v, int l) {
  return v[l];
}

// The chosen bins of the sequences x[0..lanes-1] (one for double, one per
// lane of a vector type) into out[l][j]. kissfft's recursion without the
// recursion: its leaves gather the input in cfg.order, then the butterflies
// run stage by stage from the deepest, each over all blocks of its stage;
// every butterfly sees the values it sees in the recursion.
template <typename T, typename S>
void bins(const FftCfg& cfg, FftCfg::Work<T>& w, const S* const* x, int lanes, cpx_t* const* out) {
  Cx<T>* f = w.out.data();
  const size_t lc = cfg.order.size();
  for (size_t j = 0; j < lc; ++j) load(x, cfg.even, size_t(cfg.order[j]), &f[j]);
  // The pruned last stage joins only the outputs in need.
  const size_t last = cfg.pruned ? 1 : 0;
  for (size_t st = cfg.radix.size(); st-- > last;) {
    const size_t p = size_t(cfg.radix[st]), m = size_t(cfg.remain[st]), fstride = size_t(cfg.stride[st]);
    for (size_t b = 0; b < fstride; ++b) butterfly(w, f + b * p * m, p, m, fstride);
  }

  Cx<T>* z = w.z.data();
  const size_t need_num = cfg.need.size();
  if (cfg.pruned) {
    const int p = cfg.top_p, m = cfg.top_m;
    for (size_t i = 0; i < need_num; ++i) {
      const int u = cfg.need_sub[i];
      const Cx<double>* tw = cfg.top_tw_op.data() + i * size_t(p);
      T re{}, im{};
      for (int q = 0; q < p; ++q) {
        const Cx<T> v = f[size_t(q) * size_t(m) + size_t(u)];
        re += v.re * tw[q].re - v.im * tw[q].im;
        im += v.re * tw[q].im + v.im * tw[q].re;
      }
      z[i] = Cx<T>{re, im};
    }
  } else {
    for (size_t i = 0; i < need_num; ++i) z[i] = f[size_t(cfg.need[i])];
  }

  for (size_t j = 0; j < cfg.sel.size(); ++j) {
    const FftCfg::BinSel& b = cfg.sel[j];
    Cx<T> v;
    if (!cfg.even) {
      v = z[b.z];
    } else if (b.z_mirror < 0) {
      const Cx<T> z0 = z[b.z];
      v = Cx<T>{b.bin == 0 ? z0.re + z0.im : z0.re - z0.im, T{}};
    } else {
      // Spectrum of the even and of the odd samples, joined.
      const Cx<T> zk = z[b.z], zm = z[b.z_mirror];
      const Cx<T> wv{0.5 * (zk.re + zm.re), 0.5 * (zk.im - zm.im)};
      const Cx<T> h{0.5 * (zk.im + zm.im), 0.5 * (zm.re - zk.re)};
      const Cx<double> tw = cfg.bin_tw_op[j];
      v = Cx<T>{wv.re + tw.re * h.re - tw.im * h.im, wv.im + tw.re * h.im + tw.im * h.re};
    }
    if (b.conj) v.im = -v.im;
    for (int l = 0; l < lanes; ++l) out[l][j] = cpx_t{lane(v.re, l), lane(v.im, l)};
  }
}

#ifdef FFT_HAVE_AVX_LANES
// The four-lane transform compiled for AVX as a whole (flatten inlines every
// step into this one function).
__attribute__((target("avx"), flatten)) void bins_avx(const FftCfg& cfg, FftCfg::Work<lanes4_t>& w,
                                                       const float* const* x, int lanes, cpx_t* const* out) {
  bins(cfg, w, x, lanes, out);
}

// The eight-lane transform compiled for AVX-512 as a whole.
__attribute__((target("avx512f"), flatten)) void bins_avx512(const FftCfg& cfg, FftCfg::Work<lanes8_t>& w,
                                                              const float* const* x, int lanes,
                                                              cpx_t* const* out) {
  bins(cfg, w, x, lanes, out);
}

bool has_avx() { return platform_cpu_has_avx(); }
bool has_avx512() { return platform_cpu_has_avx512f(); }
#endif

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
  if (cfg->radix.empty()) plan_stages(cfg, lc);

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
    cfg->need_sub.resize(cfg->need.size());
    for (size_t i = 0; i < cfg->need.size(); ++i) cfg->need_sub[i] = cfg->need[i] % cfg->top_m;
  }
  twiddle_operands(*cfg);
  tables(*cfg, cfg->one);
  tables(*cfg, cfg->lanes2);
  tables(*cfg, cfg->lanes4);
  tables(*cfg, cfg->lanes8);
  return true;
}

bool fft_real_bins(FftCfg* cfg, const double* x, cpx_t* out) {
  if (!cfg || !x || (!cfg->sel.empty() && !out)) return false;
  if (cfg->sel.empty()) return true;
  bins(*cfg, cfg->one, &x, 1, &out);
  return true;
}

bool fft_real_bins_lanes(FftCfg* cfg, const float* const* x, int lanes, cpx_t* const* out) {
  if (!cfg || !x || !out || lanes < 1 || lanes > FFT_LANES) return false;
  if (cfg->sel.empty()) return true;
  // Lanes without a sequence of their own repeat the first one.
  const float* in[FFT_LANES];
  for (int l = 0; l < FFT_LANES; ++l) {
    in[l] = x[l < lanes ? l : 0];
    if (!in[l] || (l < lanes && !out[l])) return false;
  }
  // Lanes beyond the count repeat the first sequence and are not written.
#ifdef FFT_HAVE_AVX_LANES
  if (lanes > 4 && has_avx512()) {
    bins_avx512(*cfg, cfg->lanes8, in, lanes, out);
    return true;
  }
  if (has_avx()) {
    for (int first = 0; first < lanes; first += 4) bins_avx(*cfg, cfg->lanes4, in + first, std::min(lanes - first, 4), out + first);
    return true;
  }
#endif
  for (int first = 0; first < lanes; first += 2) bins(*cfg, cfg->lanes2, in + first, std::min(lanes - first, 2), out + first);
  return true;
}
