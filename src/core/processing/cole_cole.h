// Cole-Cole (Pelton) model of a channel's SIP spectrum and its fit:
//   rho(w) = rho0 (1 - m (1 - 1 / (1 + (i w tau)^c))),  w = 2 pi f,
// fitted to ln rho_a and the impedance phase together, each point weighted
// by its stored error. GSL's trust-region least squares does the fit; it
// starts from the best points of a coarse grid over m, tau and c, since the
// misfit has local minima in tau.
#pragma once

#include <complex>
#include <vector>

#include "core/processing/spectra.h"

enum class ColeColeStatus {
  Ok,
  TooFewPoints,  // fewer than COLE_COLE_MIN_POINTS points with data
  Failed,        // a point with rho_a <= 0, a value that is not finite, or no finite fit
};

constexpr int COLE_COLE_MIN_POINTS = 4;

// "ok", "too-few-points", "failed".
const char* ColeColeStatusName(ColeColeStatus status);

struct ColeColeParams {
  double rho0 = 0.0;  // ohm.m, > 0
  double m = 0.0;     // chargeability, 0 ... 1
  double tau = 0.0;   // s, > 0; not limited to the measured band
  double c = 0.0;     // frequency exponent, 0 < c <= 1
};

struct ColeColeFit {
  ColeColeStatus status = ColeColeStatus::Failed;
  ColeColeParams p;  // meaningful only when status is Ok
  // 100 sqrt(mean |rho_fit - rho_obs|^2 / |rho_obs|^2), rho_obs = rho_a e^(i phase).
  double rms_pct = 0.0;
};

// Complex resistivity of the model at f Hz.
std::complex<double> ColeColeRho(const ColeColeParams& p, double freq_hz);

// The relative misfit above of the parameters over the points.
double ColeColeRmsPct(const ColeColeParams& p, const std::vector<SpectrumPoint>& points);

// Whether this build has the fit (a build without GSL has not: every fit
// fails there).
bool ColeColeFitAvailable();

// Fits one channel. Errors below a floor (0.1 % of rho_a, 0.1 mrad) count
// as the floor, so that noise-free data do not weigh without bound.
ColeColeFit FitColeCole(const std::vector<SpectrumPoint>& points);

// One fit per channel, in channel order.
std::vector<ColeColeFit> FitColeColeAll(const std::vector<ChannelSpectrum>& spectra);
