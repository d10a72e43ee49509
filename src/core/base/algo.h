// Numeric toolbox of the processing code: complex numbers, statistics on
// float arrays, phase arithmetic (radians, compared modulo 2*pi), relative
// comparisons, a stable bubble sort and geometric factors of electrode arrays.
//
// Single-precision inputs and results are the rule; sums are accumulated in
// long double / double and rounded to float where a result is a float.
#pragma once

#include <cfloat>

// The one pi of the program; float users take float(ALGO_PI).
constexpr double ALGO_PI = 3.14159265358979323846;

struct cpx_t {
  double re;
  double im;
};

// out += a
void cpx_add(cpx_t a, cpx_t* out);
// out = a / b
void cpx_div(cpx_t a, cpx_t b, cpx_t* out);
double cpx_abs(cpx_t a);
// Argument in (-pi, pi]; 0 for 0 + 0i.
double cpx_arg(cpx_t a);
cpx_t cpx_polar(double amp, double ph);

// Statistics; callers pass num > 0 and, for weighted forms, a nonzero sum of
// weights.
float algo_mean(const float* data, int num);
float algo_mean_w(const float* data, const float* weights, int num);
float algo_rms_about(const float* data, int num, float x);
// Population standard deviation (divisor num).
float algo_std(const float* data, int num);
// Pearson correlation; NaN when either array is constant.
float algo_corrcoef(const float* a, const float* b, int num);

// ph shifted by whole turns into (refer - pi, refer + pi]. Terminates on any
// input: arguments that are not finite or beyond +-10000 rad (a caller
// error) come back unchanged.
float algo_phase_wrap(float refer, float ph);
float algo_phase_mean(const float* data, int num);
float algo_phase_mean_w(const float* data, const float* weights, int num);
float algo_phase_std(const float* data, int num);
// One step into [-pi/2, pi/2]: x - pi above pi/2, x + pi below -pi/2.
float algo_phase_half_wrap(float x);
float algo_deg2rad(float x);
float algo_rad2deg(float x);
// Phase of the high frequency from two phases and the frequency ratio;
// requires ratio_H2L > 1.
float algo_geo_phase_h2l(float ph_a, float ph_b, float ratio_H2L);

// b equals a within the relative tolerance tol: |a*tol| >= |a-b|.
bool algo_is_equal_cp(double a, double b, double tol);
// Index of the first value equal to x within tol, -1 when none.
int algo_find_near_cp(float x, const float* values, int count, float tol);
// The largest float stands for a missing value.
constexpr float ALGO_MISSING = FLT_MAX;
// (a - b) / a, or ALGO_MISSING when a or b is ALGO_MISSING.
float algo_rel_diff(float a, float b);

// Stable bubble sort in place; index (optional) receives the permutation.
void algo_sort_bubble(float* values, int count, bool descending, int* index);

// Geometric factors in metres: 2*pi / |1/AM - 1/AN - 1/BM + 1/BN|; infinite
// when an electrode coincides with another or the terms cancel.
float algo_geo_k4(float ax, float ay, float bx, float by, float mx, float my, float nx, float ny);
// B at infinity (ax + 1e6, ay + 1e6).
float algo_geo_k3(float ax, float ay, float mx, float my, float nx, float ny);
