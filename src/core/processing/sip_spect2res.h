// Turns the stored spectra of an SRS file into result items: apparent
// resistivity, phases, relative phase CP and frequency dispersion FS, each
// stacked over the calculations with a spread and an error estimate.
#pragma once

#include <vector>

#include "core/sip/format_srs.h"
#include "core/sip/spect_array.h"

// Weight of a coherence figure: 2e-10 up to 0.01, rising to 1 at 1; 1e-8 for NaN.
float CohWeight(float x);

class CSipSpect2Res {
public:
  // Binds the engine to a file it does not own. Composed mode is on exactly
  // for the spread-spectrum wave.
  void Init(CFormatSRS* srs);
  // Returns false (and leaves the mode as it was) when composed mode is
  // asked for a composed result without harmonics or with more harmonics
  // than the single-frequency result (a group of 0 harmonics). Init treats
  // such a file as not composed.
  bool SetComposed(bool on);
  bool IsComposed() const { return m_composed; }
  int GetHarmGroup() const { return m_harm_group; }
  const std::vector<int>& GetChOrder() const { return m_vt_ch_order; }

  // Recalculates every channel entry of result in place; bad values are used.
  // Entries without a voltage channel get no voltage data (count 0). A point
  // whose frequency ratio to its neighbour is not above 1 gets no CP and FS
  // data.
  void CalcRes(CResultSip& result);
  // Gives result the shape of the composed result and recalculates it;
  // bad values are not used.
  void CalcResComposed(CResultSip& result);
  // Composite channels of n adjacent dipoles (site order), every step-th
  // group calculated.
  void CalcResCompositeCh(int n, float step_ratio, CResultSip& result);

private:
  CFormatSRS* m_srs = nullptr;
  bool m_composed = false;
  int m_harm_group = 1;
  std::vector<int> m_vt_ch_order;
};
