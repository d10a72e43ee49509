// Current spectrum synthesized from the hand-entered transmitter current,
// for acquisitions without a current station.
#pragma once

#include "core/sip/sip_pub.h"
#include "core/sip/spect_array.h"

// Phase (mrad) and relative amplitude of harmonic k of the spread-spectrum
// waveform, per base-frequency index (baseFreqIndex); used only with 16
// harmonics.
extern const float SPREAD_PHASE[15][16];
extern const float SPREAD_AMP[15][16];

// k when f equals 2^(k-8) Hz exactly (k = 0..14), otherwise 4.
int baseFreqIndex(float f);

// ch_num channels, 1 frequency row, harm_num harmonics, cal_num calculations
// (mask -1, geo_type 2), every item holding the value of its harmonic for the
// amplitude current * meas.v2i.
CSpectArray synthCurrentSpect(const PrmMeas& meas, int ch_num, int harm_num, int cal_num, float current,
                              int freq_index);
