// The SIP spectrum of every channel of a result: its apparent resistivity
// and impedance phase against frequency, as stored.
#pragma once

#include <vector>

#include "core/sip/result_sip.h"
#include "core/sip/sip_pub.h"

// One frequency point with data. Units as stored: ohm.m and rad; rho_err is
// the absolute error of rho (ohm.m), phase_err that of the phase (rad). The
// phase is negative for a polarizable ground and is not folded.
struct SpectrumPoint {
  float freq_hz = 0.0f;
  float rho = 0.0f;
  float rho_err = 0.0f;
  float phase = 0.0f;
  float phase_err = 0.0f;
};

struct ChannelSpectrum {
  int idx_ch = 0;  // entry of the result
  ChInfo info;
  std::vector<SpectrumPoint> points;  // in point order: base frequency outer, harmonic inner
};

// Every channel of the result, in entry order; a point enters when its
// apparent-resistivity block holds data (count not 0). A channel without
// any such point is listed with no points.
std::vector<ChannelSpectrum> SpectraOf(CResultSip& res);
