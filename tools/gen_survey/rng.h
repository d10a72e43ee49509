// Deterministic random numbers for the survey generator. mt19937_64 is fully
// specified by the C++ standard; the distributions are written out here
// because the standard library's are not, so a seed gives the same survey
// with every compiler.
#pragma once

#include <cmath>
#include <cstdint>
#include <random>

#include "core/base/algo.h"

class GenRng {
public:
  explicit GenRng(uint64_t seed) : m_eng(seed) {}

  // Uniform in [0, 1).
  double uniform() { return double(m_eng() >> 11) * (1.0 / 9007199254740992.0); }

  // Standard normal (Box-Muller).
  double normal() {
    if (m_has_spare) {
      m_has_spare = false;
      return m_spare;
    }
    double u1 = uniform();
    double u2 = uniform();
    if (u1 < 1e-300) u1 = 1e-300;
    double r = std::sqrt(-2.0 * std::log(u1));
    double a = 2.0 * ALGO_PI * u2;
    m_spare = r * std::sin(a);
    m_has_spare = true;
    return r * std::cos(a);
  }

private:
  std::mt19937_64 m_eng;
  double m_spare = 0.0;
  bool m_has_spare = false;
};
