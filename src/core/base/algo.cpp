#include "core/base/algo.h"

#include <cmath>

namespace {

constexpr double kPi = ALGO_PI;
constexpr double kTwoPi = 2.0 * ALGO_PI;
constexpr float kPiF = float(ALGO_PI);
constexpr float kHalfPiF = float(ALGO_PI / 2.0);

// Beyond this magnitude a phase is not a phase any more, and the float grid
// is too coarse for the turn-by-turn loop to be meaningful.
constexpr float kPhaseLimit = 10000.0f;

bool phase_in_domain(float x) { return std::isfinite(x) && std::fabs(x) < kPhaseLimit; }

long double distance(float x1, float y1, float x2, float y2) {
  long double dx = (long double)x1 - (long double)x2;
  long double dy = (long double)y1 - (long double)y2;
  return std::sqrt(dx * dx + dy * dy);
}

}  // namespace

void cpx_add(cpx_t a, cpx_t* out) {
  out->re += a.re;
  out->im += a.im;
}

void cpx_div(cpx_t a, cpx_t b, cpx_t* out) {
  double d = b.re * b.re + b.im * b.im;
  out->re = (a.re * b.re + a.im * b.im) / d;
  out->im = (a.im * b.re - a.re * b.im) / d;
}

double cpx_abs(cpx_t a) { return std::sqrt(a.re * a.re + a.im * a.im); }

double cpx_arg(cpx_t a) {
  if (a.re == 0.0) {
    if (a.im > 0.0) return kPi / 2;
    if (a.im < 0.0) return -kPi / 2;
    return 0.0;
  }
  double ph = std::atan(a.im / a.re);
  if (a.re < 0.0) ph += a.im >= 0.0 ? kPi : -kPi;
  return ph;
}

cpx_t cpx_polar(double amp, double ph) { return cpx_t{amp * std::cos(ph), amp * std::sin(ph)}; }

float algo_mean(const float* data, int num) {
  if (num <= 0) return 0.0f;
  long double sum = 0.0L;
  for (int i = 0; i < num; ++i) sum += data[i];
  return float(sum / num);
}

float algo_mean_w(const float* data, const float* weights, int num) {
  long double sum = 0.0L;
  long double sum_w = 0.0L;
  for (int i = 0; i < num; ++i) {
    sum += (long double)weights[i] * data[i];
    sum_w += weights[i];
  }
  return float(sum / sum_w);
}

float algo_rms_about(const float* data, int num, float x) {
  if (num <= 0) return 0.0f;
  long double sum = 0.0L;
  for (int i = 0; i < num; ++i) {
    long double d = (long double)data[i] - x;
    sum += d * d;
  }
  return float(std::sqrt(sum / num));
}

float algo_std(const float* data, int num) { return algo_rms_about(data, num, algo_mean(data, num)); }

float algo_corrcoef(const float* a, const float* b, int num) {
  float mean_a = algo_mean(a, num);
  float mean_b = algo_mean(b, num);
  long double sab = 0.0L;
  long double saa = 0.0L;
  long double sbb = 0.0L;
  for (int i = 0; i < num; ++i) {
    long double da = (long double)a[i] - mean_a;
    long double db = (long double)b[i] - mean_b;
    sab += da * db;
    saa += da * da;
    sbb += db * db;
  }
  return float(sab / std::sqrt(saa * sbb));
}

float algo_phase_wrap(float refer, float ph) {
  // Nearly every call finds ph within half a turn of refer already. The
  // difference of two floats taken in double is within 1e-11 of the one the
  // extended-precision comparisons see (both are below 2e4 in the domain),
  // so a margin of 1e-9 from the bounds gives the same answer without them;
  // a phase outside the domain is returned unchanged on either path.
  const double near = double(ph) - double(refer);
  if (near < kPi - 1e-9 && near > -kPi + 1e-9) return ph;
  if (!phase_in_domain(refer) || !phase_in_domain(ph)) return ph;
  const long double ref = refer;
  float r = ph;
  while ((long double)r - ref > (long double)kPi) r = float((long double)r - (long double)kTwoPi);
  while ((long double)r - ref <= -(long double)kPi) r = float((long double)r + (long double)kTwoPi);
  return r;
}

float algo_phase_mean(const float* data, int num) {
  if (num <= 0) return 0.0f;
  const float r = data[0];
  long double sum = 0.0L;
  for (int i = 0; i < num; ++i) sum += algo_phase_wrap(r, data[i]);
  return algo_phase_wrap(0.0f, float(sum / num));
}

float algo_phase_mean_w(const float* data, const float* weights, int num) {
  if (num <= 0) return 0.0f;
  const float r = data[0];
  long double sum = 0.0L;
  long double sum_w = 0.0L;
  for (int i = 0; i < num; ++i) {
    sum += (long double)weights[i] * algo_phase_wrap(r, data[i]);
    sum_w += weights[i];
  }
  return algo_phase_wrap(0.0f, float(sum / sum_w));
}

float algo_phase_std(const float* data, int num) {
  if (num <= 0) return 0.0f;
  const float m = algo_phase_mean(data, num);
  long double sum = 0.0L;
  for (int i = 0; i < num; ++i) {
    long double d = (long double)algo_phase_wrap(m, data[i]) - m;
    sum += d * d;
  }
  return float(std::sqrt(sum / num));
}

float algo_phase_half_wrap(float x) {
  if (x > kHalfPiF) return x - kPiF;
  if (x < -kHalfPiF) return x + kPiF;
  return x;
}

float algo_deg2rad(float x) { return float(x * kPi / 180.0); }

float algo_rad2deg(float x) { return float(x * 180.0 / kPi); }

float algo_geo_phase_h2l(float ph_a, float ph_b, float ratio_H2L) {
  float d = algo_phase_wrap(ph_b, ph_a);
  return algo_phase_wrap(0.0f, float((ph_b - (double)ratio_H2L * d) / ((double)ratio_H2L - 1.0)));
}

bool algo_is_equal_cp(double a, double b, double tol) { return std::fabs(a * tol) >= std::fabs(a - b); }

int algo_find_near_cp(float x, const float* values, int count, float tol) {
  for (int i = 0; i < count; ++i) {
    if (algo_is_equal_cp(x, values[i], tol)) return i;
  }
  return -1;
}

float algo_rel_diff(float a, float b) {
  if (a == ALGO_MISSING || b == ALGO_MISSING) return ALGO_MISSING;
  return float(((double)a - b) / a);
}

void algo_sort_bubble(float* values, int count, bool descending, int* index) {
  if (index) {
    for (int i = 0; i < count; ++i) index[i] = i;
  }
  for (int end = count - 1; end > 0; --end) {
    bool swapped = false;
    for (int i = 0; i < end; ++i) {
      bool out_of_order = descending ? values[i] < values[i + 1] : values[i] > values[i + 1];
      if (!out_of_order) continue;
      float v = values[i];
      values[i] = values[i + 1];
      values[i + 1] = v;
      if (index) {
        int k = index[i];
        index[i] = index[i + 1];
        index[i + 1] = k;
      }
      swapped = true;
    }
    if (!swapped) break;
  }
}

float algo_geo_k4(float ax, float ay, float bx, float by, float mx, float my, float nx, float ny) {
  long double am = distance(ax, ay, mx, my);
  long double an = distance(ax, ay, nx, ny);
  long double bm = distance(bx, by, mx, my);
  long double bn = distance(bx, by, nx, ny);
  // A receiver on a current electrode has no finite factor; without this the
  // arithmetic would give 0 or NaN depending on which terms blow up.
  if (am == 0.0L || an == 0.0L || bm == 0.0L || bn == 0.0L) return INFINITY;
  long double g = 1.0L / am - 1.0L / an - 1.0L / bm + 1.0L / bn;
  return float((long double)kTwoPi / std::fabs(g));
}

float algo_geo_k3(float ax, float ay, float mx, float my, float nx, float ny) {
  return algo_geo_k4(ax, ay, ax + 1000000.0f, ay + 1000000.0f, mx, my, nx, ny);
}
