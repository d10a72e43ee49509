// Coherence of spectra against a reference channel and the weights derived
// from the stored coherence figures.
#pragma once

#include <vector>

#include "core/sip/spect_array.h"

// Magnitude-squared coherence of two equally long lists; 0 for empty lists,
// NaN for two all-zero lists.
float CohSp(const std::vector<SpectItem>& vt_cal, const std::vector<SpectItem>& vt_ref);
// Stores the coherence of every block of spect_cal against channel ref_ch of
// spect_ref in coh_sp; returns the number of calculations considered. The
// two arrays must be different objects (the same one twice, or a reference
// channel outside spect_ref, changes nothing and returns 0).
int CalcCohSp(CSpectArray& spect_cal, CSpectArray& spect_ref, int ref_ch, int idx_cal_begin);
// weight = 1 (type 0), CohWeight(coh_sp) (type 1), CohWeight(coh_ts) (type 2)
// for calculations idx_cal_begin..idx_cal_end; returns idx_cal_end + 1.
// An unknown type or a range outside the calculations changes nothing and
// returns idx_cal_begin.
int SetWeights(CSpectArray& spect_cal, int idx_cal_begin, int idx_cal_end, int type);
