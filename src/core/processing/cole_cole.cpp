#include "core/processing/cole_cole.h"

#include <algorithm>
#include <cmath>
#include <limits>

#ifndef VARNEX_NO_GSL
#include <gsl/gsl_errno.h>
#include <gsl/gsl_multifit_nlinear.h>
#include <gsl/gsl_vector.h>
#endif

namespace {

using cplx = std::complex<double>;

constexpr double kPi = 3.14159265358979323846;
constexpr double kRelErrFloor = 1e-3;    // of rho_a
constexpr double kPhaseErrFloor = 1e-4;  // rad
// c = C_MIN + (1 - C_MIN) sin^2(y): c stays above 0, where the model loses
// its frequency dependence and tau its meaning.
constexpr double kCMin = 1e-3;
constexpr int kMaxIter = 200;
constexpr int kStarts = 3;  // grid points the solver starts from
// A spectrum without polarization is fitted as well by any m with a tau
// beyond the band's high edge (rho0 (1 - m) throughout): unless the model
// lowers the misfit by more than this (the 95 % point of chi-square with
// three degrees of freedom, for the three extra parameters), m is 0.
constexpr double kNullMargin = 7.81;

// The fit works in unbounded parameters: x = (ln rho0, xm, ln tau, yc) with
// m = sin^2(xm) and c as above, so that the bounds hold whatever step the
// solver takes.
double MOf(double xm) { return std::sin(xm) * std::sin(xm); }
double COf(double yc) { return kCMin + (1.0 - kCMin) * std::sin(yc) * std::sin(yc); }
double XmOf(double m) { return std::asin(std::sqrt(std::clamp(m, 0.0, 1.0))); }
double YcOf(double c) { return std::asin(std::sqrt(std::clamp((c - kCMin) / (1.0 - kCMin), 0.0, 1.0))); }

struct FitPoint {
  double ln_w;    // ln(2 pi f)
  double ln_rho;  // ln rho_a
  double phase;   // rad
  double w_amp;   // 1 / sigma of ln rho_a
  double w_ph;    // 1 / sigma of the phase
};

struct Shape {
  cplx z;  // (i w tau)^c
  cplx g;  // 1 / (1 + z)
};

// i^c, the same for every point of one c.
cplx IPow(double c) { return cplx(std::cos(0.5 * kPi * c), std::sin(0.5 * kPi * c)); }

Shape ShapeAt(double ln_w, double ln_tau, double c, cplx i_c) {
  const double mag = std::exp(c * (ln_w + ln_tau));
  Shape s;
  s.z = mag * i_c;
  const cplx d = 1.0 + s.z;
  s.g = std::conj(d) / std::norm(d);
  return s;
}

// ln rho / rho0 = ln(1 - m + m g).
cplx LnShape(double m, const Shape& s) {
  const cplx h = 1.0 - m + m * s.g;
  return cplx(0.5 * std::log(std::norm(h)), std::atan2(h.imag(), h.real()));
}

#ifndef VARNEX_NO_GSL
int Residuals(const gsl_vector* x, void* data, gsl_vector* f) {
  const auto& pts = *static_cast<const std::vector<FitPoint>*>(data);
  const double ln_rho0 = gsl_vector_get(x, 0);
  const double m = MOf(gsl_vector_get(x, 1));
  const double ln_tau = gsl_vector_get(x, 2);
  const double c = COf(gsl_vector_get(x, 3));
  const cplx i_c = IPow(c);
  const size_t n = pts.size();
  for (size_t i = 0; i < n; ++i) {
    const FitPoint& p = pts[i];
    const cplx l = LnShape(m, ShapeAt(p.ln_w, ln_tau, c, i_c));
    gsl_vector_set(f, i, (ln_rho0 + l.real() - p.ln_rho) * p.w_amp);
    gsl_vector_set(f, n + i, (l.imag() - p.phase) * p.w_ph);
  }
  return GSL_SUCCESS;
}

// d ln rho with respect to each fit parameter is holomorphic, so one
// complex derivative gives both the amplitude row (real part) and the
// phase row (imaginary part).
int Jacobian(const gsl_vector* x, void* data, gsl_matrix* J) {
  const auto& pts = *static_cast<const std::vector<FitPoint>*>(data);
  const double xm = gsl_vector_get(x, 1);
  const double m = MOf(xm);
  const double ln_tau = gsl_vector_get(x, 2);
  const double yc = gsl_vector_get(x, 3);
  const double c = COf(yc);
  const double dm_dx = std::sin(2.0 * xm);
  const double dc_dy = (1.0 - kCMin) * std::sin(2.0 * yc);
  const cplx i_c = IPow(c);
  const size_t n = pts.size();
  for (size_t i = 0; i < n; ++i) {
    const FitPoint& p = pts[i];
    const Shape s = ShapeAt(p.ln_w, ln_tau, c, i_c);
    const cplx h = 1.0 - m + m * s.g;
    const cplx inv_h = std::conj(h) / std::norm(h);
    const cplx d_m = (s.g - 1.0) * inv_h * dm_dx;
    const cplx common = -m * s.g * s.g * s.z * inv_h;  // d ln h / d ln z
    const cplx d_tau = common * c;
    const cplx d_c = common * cplx(p.ln_w + ln_tau, 0.5 * kPi) * dc_dy;
    const cplx d[4] = {cplx(1.0, 0.0), d_m, d_tau, d_c};
    for (size_t k = 0; k < 4; ++k) {
      gsl_matrix_set(J, i, k, d[k].real() * p.w_amp);
      gsl_matrix_set(J, n + i, k, d[k].imag() * p.w_ph);
    }
  }
  return GSL_SUCCESS;
}

struct Start {
  double cost = std::numeric_limits<double>::infinity();
  double ln_rho0 = 0.0, m = 0.0, ln_tau = 0.0, c = 0.0;
};

// Weighted misfit of a grid point with the best ln rho0 for it, which is
// the weighted mean of the amplitude differences.
Start GridPoint(const std::vector<FitPoint>& pts, const std::vector<Shape>& shapes, double m, double ln_tau,
                double c) {
  double sw = 0.0, swa = 0.0, swaa = 0.0, ph = 0.0;
  for (size_t i = 0; i < pts.size(); ++i) {
    const cplx l = LnShape(m, shapes[i]);
    const double a = pts[i].ln_rho - l.real();
    const double w = pts[i].w_amp * pts[i].w_amp;
    sw += w;
    swa += w * a;
    swaa += w * a * a;
    const double r = (l.imag() - pts[i].phase) * pts[i].w_ph;
    ph += r * r;
  }
  Start s;
  s.ln_rho0 = swa / sw;
  s.cost = swaa - swa * swa / sw + ph;
  s.m = m;
  s.ln_tau = ln_tau;
  s.c = c;
  return s;
}

// The best grid points, at most one per tau and c, best first.
std::vector<Start> GridStarts(const std::vector<FitPoint>& pts) {
  double lw_lo = pts.front().ln_w, lw_hi = lw_lo;
  for (const FitPoint& p : pts) {
    lw_lo = std::min(lw_lo, p.ln_w);
    lw_hi = std::max(lw_hi, p.ln_w);
  }
  // tau from two decades above the band's 1/w to two below, half a decade
  // apart: a phase peak at the band's edge can need a tau well beyond it.
  const double step = 0.5 * std::log(10.0);
  const double t_lo = -lw_hi - 2.0 * std::log(10.0);
  const double t_hi = -lw_lo + 2.0 * std::log(10.0);
  static const double kM[] = {0.02, 0.1, 0.25, 0.45, 0.7, 0.9};
  static const double kC[] = {0.2, 0.4, 0.6, 0.8, 1.0};

  std::vector<Start> best;
  std::vector<Shape> shapes(pts.size());
  for (double lt = t_lo; lt <= t_hi + 1e-9; lt += step) {
    for (double c : kC) {
      const cplx i_c = IPow(c);
      for (size_t i = 0; i < pts.size(); ++i) shapes[i] = ShapeAt(pts[i].ln_w, lt, c, i_c);
      Start top;
      for (double m : kM) {
        const Start s = GridPoint(pts, shapes, m, lt, c);
        if (s.cost < top.cost) top = s;
      }
      best.push_back(top);
    }
  }
  std::sort(best.begin(), best.end(), [](const Start& a, const Start& b) { return a.cost < b.cost; });
  if (best.size() > size_t(kStarts)) best.resize(size_t(kStarts));
  return best;
}

// The model without polarization: rho0 the weighted geometric mean, m 0.
Start NullModel(const std::vector<FitPoint>& pts) {
  double sw = 0.0, swa = 0.0, swaa = 0.0, ph = 0.0;
  for (const FitPoint& p : pts) {
    const double w = p.w_amp * p.w_amp;
    sw += w;
    swa += w * p.ln_rho;
    swaa += w * p.ln_rho * p.ln_rho;
    ph += p.phase * p.w_ph * p.phase * p.w_ph;
  }
  Start s;
  s.ln_rho0 = swa / sw;
  s.cost = std::max(0.0, swaa - swa * swa / sw) + ph;
  return s;
}

bool Finite(float v) { return std::isfinite(v); }

// The points as the solver sees them; false when one cannot be fitted.
bool ToFitPoints(const std::vector<SpectrumPoint>& points, std::vector<FitPoint>* out) {
  out->clear();
  for (const SpectrumPoint& p : points) {
    if (!Finite(p.freq_hz) || !Finite(p.rho) || !Finite(p.rho_err) || !Finite(p.phase) || !Finite(p.phase_err))
      return false;
    if (!(p.rho > 0.0f) || !(p.freq_hz > 0.0f)) return false;
    const double rel = std::max(std::fabs(double(p.rho_err)) / double(p.rho), kRelErrFloor);
    const double dph = std::max(std::fabs(double(p.phase_err)), kPhaseErrFloor);
    out->push_back({std::log(2.0 * kPi * double(p.freq_hz)), std::log(double(p.rho)), double(p.phase), 1.0 / rel,
                    1.0 / dph});
  }
  return true;
}

void SilenceGsl() {
  // GSL's default handler aborts the process; the solver's return codes
  // are all we need.
  static const bool once = (gsl_set_error_handler_off(), true);
  (void)once;
}

// One solver run from a start; the cost is the final sum of squares, +inf
// when the run gives nothing finite.
Start Solve(std::vector<FitPoint>& pts, const Start& from, gsl_multifit_nlinear_workspace* w) {
  gsl_multifit_nlinear_fdf fdf;
  fdf.f = Residuals;
  fdf.df = Jacobian;
  fdf.fvv = nullptr;
  fdf.n = 2 * pts.size();
  fdf.p = 4;
  fdf.params = &pts;

  double x0[4] = {from.ln_rho0, XmOf(from.m), from.ln_tau, YcOf(from.c)};
  gsl_vector_view xv = gsl_vector_view_array(x0, 4);
  Start out;
  if (gsl_multifit_nlinear_init(&xv.vector, &fdf, w) != GSL_SUCCESS) return out;
  int info = 0;
  // Running out of iterations or progress still leaves the best point so
  // far, which the cost below judges.
  gsl_multifit_nlinear_driver(kMaxIter, 1e-10, 1e-10, 1e-12, nullptr, nullptr, &info, w);
  const gsl_vector* x = gsl_multifit_nlinear_position(w);
  const gsl_vector* f = gsl_multifit_nlinear_residual(w);
  double cost = 0.0;
  for (size_t i = 0; i < f->size; ++i) cost += gsl_vector_get(f, i) * gsl_vector_get(f, i);
  out.ln_rho0 = gsl_vector_get(x, 0);
  out.m = MOf(gsl_vector_get(x, 1));
  out.ln_tau = gsl_vector_get(x, 2);
  out.c = COf(gsl_vector_get(x, 3));
  const bool finite = std::isfinite(cost) && std::isfinite(out.ln_rho0) && std::isfinite(out.ln_tau) &&
                      std::isfinite(out.m) && std::isfinite(out.c);
  out.cost = finite ? cost : std::numeric_limits<double>::infinity();
  return out;
}

#endif

}  // namespace

const char* ColeColeStatusName(ColeColeStatus status) {
  switch (status) {
    case ColeColeStatus::Ok: return "ok";
    case ColeColeStatus::TooFewPoints: return "too-few-points";
    default: return "failed";
  }
}

cplx ColeColeRho(const ColeColeParams& p, double freq_hz) {
  const cplx iwt(0.0, 2.0 * kPi * freq_hz * p.tau);
  return p.rho0 * (1.0 - p.m * (1.0 - 1.0 / (1.0 + std::pow(iwt, p.c))));
}

double ColeColeRmsPct(const ColeColeParams& p, const std::vector<SpectrumPoint>& points) {
  if (points.empty()) return 0.0;
  double sum = 0.0;
  for (const SpectrumPoint& pt : points) {
    const cplx obs = std::polar(double(pt.rho), double(pt.phase));
    sum += std::norm(ColeColeRho(p, pt.freq_hz) - obs) / std::norm(obs);
  }
  return 100.0 * std::sqrt(sum / double(points.size()));
}

bool ColeColeFitAvailable() {
#ifdef VARNEX_NO_GSL
  return false;
#else
  return true;
#endif
}

ColeColeFit FitColeCole(const std::vector<SpectrumPoint>& points) {
  ColeColeFit fit;
#ifdef VARNEX_NO_GSL
  static_cast<void>(points);
  return fit;
#else
  if (points.size() < size_t(COLE_COLE_MIN_POINTS)) {
    fit.status = ColeColeStatus::TooFewPoints;
    return fit;
  }
  std::vector<FitPoint> pts;
  if (!ToFitPoints(points, &pts)) return fit;

  SilenceGsl();
  gsl_multifit_nlinear_parameters params = gsl_multifit_nlinear_default_parameters();
  gsl_multifit_nlinear_workspace* w =
      gsl_multifit_nlinear_alloc(gsl_multifit_nlinear_trust, &params, 2 * pts.size(), 4);
  if (!w) return fit;
  Start best;
  for (const Start& s : GridStarts(pts)) {
    const Start r = Solve(pts, s, w);
    if (r.cost < best.cost) best = r;
  }
  gsl_multifit_nlinear_free(w);
  if (!std::isfinite(best.cost)) return fit;
  const Start null = NullModel(pts);
  if (null.cost <= best.cost + kNullMargin) {
    // tau and c have no meaning then; they stay as fitted.
    best.ln_rho0 = null.ln_rho0;
    best.m = 0.0;
  }

  fit.p.rho0 = std::exp(best.ln_rho0);
  fit.p.m = best.m;
  fit.p.tau = std::exp(best.ln_tau);
  fit.p.c = best.c;
  fit.rms_pct = ColeColeRmsPct(fit.p, points);
  if (!(fit.p.rho0 > 0.0) || !std::isfinite(fit.p.rho0) || !(fit.p.tau > 0.0) || !std::isfinite(fit.p.tau) ||
      !std::isfinite(fit.rms_pct))
    return fit;
  fit.status = ColeColeStatus::Ok;
  return fit;
#endif
}

std::vector<ColeColeFit> FitColeColeAll(const std::vector<ChannelSpectrum>& spectra) {
  std::vector<ColeColeFit> out;
  out.reserve(spectra.size());
  for (const ChannelSpectrum& s : spectra) out.push_back(FitColeCole(s.points));
  return out;
}
