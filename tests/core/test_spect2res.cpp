#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/base/algo.h"
#include "core/processing/sip_spect2res.h"

namespace {

// One device, channels at the given site numbers (mn 20 m, m_pos 20 m per
// site), harmonic frequencies freqs, cal_num calculations. Voltage items are
// polar(amp_u[ch][h], ph_u[h]); the current is 1 A at phase 0.
struct SrsBuilder {
  int wave = SIP_WAVE_SQUARE;
  std::vector<int> sites{1};
  std::vector<float> freqs{0.25f, 0.75f, 1.25f};
  std::vector<float> composed_freqs;
  int cal_num = 2;

  void Build(CFormatSRS& srs) const {
    const int ch_num = int(sites.size());
    const int harm_num = int(freqs.size());
    srs.m_prm_meas.wave = wave;
    srs.m_prm_meas.freq_base = freqs[0];
    srs.m_prm_meas.harm_num = harm_num;
    srs.m_prm_meas.layout = SIP_MID_GRADIENT;
    srs.m_prm_meas.ax = -1000.0f;
    srs.m_prm_meas.ay = 0.0f;
    srs.m_prm_meas.bx = 1000.0f;
    srs.m_prm_meas.by = 0.0f;
    PrmDev dev;
    dev.ch_num = ch_num;
    srs.m_vt_prm_dev.assign(1, dev);
    srs.m_res.DoInit(ch_num, 1, harm_num);
    for (int i = 0; i < ch_num; ++i) {
      ChInfo info;
      info.idx_dev_ch = i;
      info.site_no = sites[size_t(i)];
      info.mn = 20.0f;
      info.m_pos = 20.0f * float(sites[size_t(i)]);
      srs.m_res.SetChInfo(i, info);
    }
    for (int h = 0; h < harm_num; ++h) srs.m_res.SetFreq(0, h, freqs[size_t(h)]);
    const int comp_num = int(composed_freqs.size());
    srs.m_res_composed.DoInit(ch_num, 1, comp_num);
    for (int i = 0; i < ch_num; ++i) srs.m_res_composed.SetChInfo(i, srs.m_res.GetChInfo(i));
    for (int p = 0; p < comp_num; ++p) srs.m_res_composed.SetFreq(0, p, composed_freqs[size_t(p)]);

    srs.m_spect_u.DoInit(ch_num, 1, harm_num, cal_num, -1, 2);
    srs.m_spect_i.DoInit(1, 1, harm_num, cal_num, -1, 2);
    for (int c = 0; c < cal_num; ++c)
      for (int h = 0; h < harm_num; ++h) {
        srs.m_spect_i.DoSetValueOf(0, 0, h, c, 1.0, 0.0, 0);
        for (int i = 0; i < ch_num; ++i) srs.m_spect_u.DoSetValueOf(i, 0, h, c, 1.0, 0.0, 0);
      }
  }
};

void SetU(CFormatSRS& srs, int ch, int h, int c, double amp, double ph) {
  const cpx_t v = cpx_polar(amp, ph);
  srs.m_spect_u.DoSetValueOf(ch, 0, h, c, v.re, v.im, 0);
}

float K(CFormatSRS& srs, CResultSip& r, int e) {
  const ChInfo info = r.GetChInfo(e);
  return CalcChannelK(srs.m_prm_meas, srs.m_vt_prm_dev[size_t(info.idx_dev)], info, srs.GetFileVer() <= 4);
}

}  // namespace

TEST(Spect2Res, CohWeightCurve) {
  struct Case {
    float x, w, tol;
  } cases[] = {
      {0.95f, 0.0031623f, 1e-6f}, {0.3f, 6e-9f, 1e-14f}, {0.005f, 2e-10f, 0.0f},  {0.01f, 2e-10f, 0.0f},
      {-1.0f, 2e-10f, 0.0f},      {0.5f, 1e-8f, 1e-14f}, {0.7f, 3.1623e-7f, 1e-10f}, {0.9f, 1e-5f, 1e-9f},
      {1.0f, 1.0f, 1e-6f},
  };
  for (const Case& c : cases) EXPECT_NEAR(CohWeight(c.x), c.w, c.tol) << c.x;
  EXPECT_EQ(CohWeight(NAN), 1e-8f);
}

TEST(Spect2Res, InitChoosesTheHarmonicGroupByWaveform) {
  CFormatSRS sq;
  SrsBuilder b;
  b.composed_freqs = {0.25f};
  b.Build(sq);
  CSipSpect2Res e;
  e.Init(&sq);
  EXPECT_FALSE(e.IsComposed());
  EXPECT_EQ(e.GetHarmGroup(), 1);

  CFormatSRS sp;
  b.wave = SIP_WAVE_SPREAD_SPECTRUM;
  b.freqs.clear();
  for (int h = 0; h < 12; ++h) b.freqs.push_back(0.25f * float(h + 1));
  b.composed_freqs = {0.5f, 1.25f, 2.0f, 2.75f};
  b.Build(sp);
  e.Init(&sp);
  EXPECT_TRUE(e.IsComposed());
  EXPECT_EQ(e.GetHarmGroup(), 3);
  EXPECT_TRUE(e.SetComposed(false));
  EXPECT_EQ(e.GetHarmGroup(), 1);
  EXPECT_TRUE(e.SetComposed(true));
  EXPECT_EQ(e.GetHarmGroup(), 3);
}

TEST(Spect2Res, ComposedModeIsRefusedWithoutAWholeGroup) {
  SrsBuilder b;
  b.wave = SIP_WAVE_SPREAD_SPECTRUM;
  struct Case {
    std::vector<float> composed;
  } cases[] = {{{}}, {{0.1f, 0.2f, 0.3f, 0.4f}}};
  for (const Case& c : cases) {
    CFormatSRS srs;
    b.composed_freqs = c.composed;
    b.Build(srs);
    CSipSpect2Res e;
    e.Init(&srs);
    EXPECT_FALSE(e.IsComposed());
    EXPECT_EQ(e.GetHarmGroup(), 1);
    EXPECT_FALSE(e.SetComposed(true));
    EXPECT_FALSE(e.IsComposed());
    EXPECT_EQ(e.GetHarmGroup(), 1);
    // Recalculating the composed result then still terminates with data.
    e.CalcRes(srs.m_res_composed);
  }
  CSipSpect2Res unbound;
  EXPECT_FALSE(unbound.SetComposed(true));
}

TEST(Spect2Res, SiteOrderPutsRepeatedSitesLast) {
  CFormatSRS srs;
  SrsBuilder b;
  b.sites = {3, 1, 3, 2};
  b.Build(srs);
  CSipSpect2Res e;
  e.Init(&srs);
  EXPECT_EQ(e.GetChOrder(), (std::vector<int>{1, 3, 0, 2}));
}

TEST(Spect2Res, SquareWavePointsAgainstTheirNeighbours) {
  CFormatSRS srs;
  SrsBuilder b;
  b.Build(srs);
  const double amp[] = {2.0, 1.5, 1.2};
  const double ph[] = {-0.01, -0.02, -0.025};
  for (int c = 0; c < 2; ++c)
    for (int h = 0; h < 3; ++h) SetU(srs, 0, h, c, amp[h], ph[h]);

  CSipSpect2Res e;
  e.Init(&srs);
  e.CalcRes(srs.m_res);
  const float k = K(srs, srs.m_res, 0);
  // CP by hand: (ph_hi - r * ph_lo) / (r - 1) with r = 3, 5/3 and (last
  // point against point 0) 5.
  const float cp[] = {(-0.02f + 3.0f * 0.01f) / 2.0f, (-0.025f + 5.0f / 3.0f * 0.02f) / (2.0f / 3.0f),
                      (-0.025f + 5.0f * 0.01f) / 4.0f};
  const float fs[] = {0.25f, 0.2f, 0.4f};
  for (int p = 0; p < 3; ++p) {
    const ResItem it = srs.m_res.GetItem(0, 0, p);
    EXPECT_EQ(it.bad, 0);
    EXPECT_NEAR(it.blk[RES_U_AMP].value, amp[p], 1e-6) << p;
    EXPECT_NEAR(it.blk[RES_U_PH].value, ph[p], 1e-6) << p;
    EXPECT_NEAR(it.blk[RES_I_AMP].value, 1.0f, 1e-6f);
    EXPECT_NEAR(it.blk[RES_APP].value, k * float(amp[p]), 1e-3f) << p;
    EXPECT_NEAR(it.blk[RES_Z_PH].value, ph[p], 1e-6) << p;
    EXPECT_NEAR(it.blk[RES_CP].value, cp[p], 1e-5f) << p;
    EXPECT_NEAR(it.blk[RES_FS].value, fs[p], 1e-5f) << p;
    for (int t : {RES_U_AMP, RES_U_PH, RES_APP, RES_Z_PH, RES_I_AMP, RES_I_PH, RES_CP, RES_FS})
      EXPECT_EQ(it.blk[t].count, 2u) << p << " " << t;
  }
}

TEST(Spect2Res, PointsKeepTheMagneticBlocks) {
  CFormatSRS srs;
  SrsBuilder b;
  b.Build(srs);
  ResItem it;
  it.blk[RES_H_AMP].value = 42.0f;
  it.blk[RES_H_AMP].count = 3;
  it.blk[RES_H_PH].value = 0.5f;
  srs.m_res.SetItem(0, 0, 1, it);
  CSipSpect2Res e;
  e.Init(&srs);
  e.CalcRes(srs.m_res);
  const ResItem out = srs.m_res.GetItem(0, 0, 1);
  EXPECT_EQ(out.blk[RES_H_AMP].value, 42.0f);
  EXPECT_EQ(out.blk[RES_H_AMP].count, 3u);
  EXPECT_EQ(out.blk[RES_H_PH].value, 0.5f);
}

TEST(Spect2Res, FrequenciesNotAscendingGiveNoCpOrFs) {
  struct Case {
    std::vector<float> freqs;
  } cases[] = {{{1.25f, 0.75f, 0.25f}}, {{0.25f, 0.25f, 0.25f}}, {{0.25f}}, {{0.0f, 0.75f, 1.25f}}};
  for (const Case& c : cases) {
    CFormatSRS srs;
    SrsBuilder b;
    b.freqs = c.freqs;
    b.Build(srs);
    CSipSpect2Res e;
    e.Init(&srs);
    e.CalcRes(srs.m_res);
    const ResItem last = srs.m_res.GetItem(0, 0, int(c.freqs.size()) - 1);
    EXPECT_EQ(last.blk[RES_APP].count, 2u);
    for (int p = 0; p < int(c.freqs.size()); ++p) {
      const ResItem it = srs.m_res.GetItem(0, 0, p);
      const bool ascending = p + 1 < int(c.freqs.size()) && c.freqs[size_t(p + 1)] > c.freqs[size_t(p)] &&
                             c.freqs[size_t(p)] > 0.0f;
      if (ascending) continue;
      EXPECT_EQ(it.blk[RES_CP].count, 0u) << p;
      EXPECT_EQ(it.blk[RES_FS].count, 0u) << p;
      EXPECT_FALSE(std::isnan(it.blk[RES_CP].value));
    }
  }
}

TEST(Spect2Res, AnInvalidHarmonicStopsTheCopy) {
  CFormatSRS srs;
  SrsBuilder b;
  b.cal_num = 4;
  b.Build(srs);
  SpectItem inv = srs.m_spect_u.DoGetItemOf(0, 0, 1, 2);
  inv.m_valid = 0;
  srs.m_spect_u.DoSetItemOf(0, 0, 1, 2, inv);

  CSipSpect2Res e;
  e.Init(&srs);
  e.CalcRes(srs.m_res);
  // Harmonic 0 of the third calculation was copied before the stop; the
  // fourth calculation never is.
  EXPECT_EQ(srs.m_res.GetItem(0, 0, 0).blk[RES_U_AMP].count, 3u);
  EXPECT_EQ(srs.m_res.GetItem(0, 0, 1).blk[RES_U_AMP].count, 2u);
  EXPECT_EQ(srs.m_res.GetItem(0, 0, 2).blk[RES_U_AMP].count, 2u);
  // Neighbour lists of different length pair up to the shorter one.
  EXPECT_EQ(srs.m_res.GetItem(0, 0, 0).blk[RES_CP].count, 2u);
  EXPECT_EQ(srs.m_res.GetItem(0, 0, 2).blk[RES_CP].count, 2u);
  EXPECT_EQ(srs.m_res.GetItem(0, 0, 2).blk[RES_FS].count, 2u);
}

TEST(Spect2Res, BadCalculationsInSingleAndComposedResults) {
  CFormatSRS srs;
  SrsBuilder b;
  b.cal_num = 3;
  b.composed_freqs = {0.25f, 0.75f, 1.25f};
  b.Build(srs);
  for (int h = 0; h < 3; ++h) {
    SpectItem it = srs.m_spect_u.DoGetItemOf(0, 0, h, 2);
    it.bad = 1;
    srs.m_spect_u.DoSetItemOf(0, 0, h, 2, it);
  }
  CSipSpect2Res e;
  e.Init(&srs);
  e.CalcRes(srs.m_res);
  EXPECT_EQ(srs.m_res.GetItem(0, 0, 0).blk[RES_U_AMP].count, 3u);
  EXPECT_EQ(srs.m_res.GetItem(0, 0, 0).bad, 1);

  CResultSip composed;
  e.CalcResComposed(composed);
  ASSERT_EQ(composed.GetChNum(), 1);
  ASSERT_EQ(composed.GetHarmNum(), 3);
  EXPECT_EQ(composed.GetFreq(0, 1), 0.75f);
  EXPECT_EQ(composed.GetPosAx(), -1000.0f);
  EXPECT_EQ(composed.GetPosBx(), 1000.0f);
  EXPECT_EQ(composed.GetItem(0, 0, 0).blk[RES_U_AMP].count, 2u);
  EXPECT_EQ(composed.GetItem(0, 0, 0).bad, 0);

  // A bad calculation in the middle ends the stack there.
  for (int h = 0; h < 3; ++h) {
    SpectItem it = srs.m_spect_u.DoGetItemOf(0, 0, h, 0);
    it.bad = 1;
    srs.m_spect_u.DoSetItemOf(0, 0, h, 0, it);
  }
  e.CalcResComposed(composed);
  EXPECT_EQ(composed.GetItem(0, 0, 0).blk[RES_U_AMP].count, 0u);
}

TEST(Spect2Res, ComposedPointAveragesItsHarmonics) {
  CFormatSRS srs;
  SrsBuilder b;
  b.wave = SIP_WAVE_SPREAD_SPECTRUM;
  b.freqs.clear();
  for (int h = 0; h < 12; ++h) b.freqs.push_back(0.25f * float(h + 1));
  b.composed_freqs = {0.5f, 1.25f, 2.0f, 2.75f};
  b.Build(srs);
  for (int c = 0; c < 2; ++c) {
    SetU(srs, 0, 3, c, 1.0, 0.1);
    SetU(srs, 0, 4, c, 2.0, 0.2);
    SetU(srs, 0, 5, c, 3.0, 0.3);
  }
  CSipSpect2Res e;
  e.Init(&srs);
  ASSERT_TRUE(e.SetComposed(true));
  e.CalcRes(srs.m_res_composed);
  const ResItem it = srs.m_res_composed.GetItem(0, 0, 1);
  EXPECT_NEAR(it.blk[RES_U_AMP].value, 2.0f, 1e-6f);
  EXPECT_NEAR(it.blk[RES_U_PH].value, 0.2f, 1e-6f);
  EXPECT_NEAR(it.blk[RES_APP].value, K(srs, srs.m_res_composed, 0) * 2.0f, 1e-3f);
  EXPECT_NEAR(srs.m_res_composed.GetItem(0, 0, 0).blk[RES_U_AMP].value, 1.0f, 1e-6f);
  EXPECT_EQ(it.blk[RES_U_AMP].count, 2u);
}

TEST(Spect2Res, CoherenceWeightsSteerTheStack) {
  CFormatSRS srs;
  SrsBuilder b;
  b.freqs = {0.25f, 0.75f};
  b.Build(srs);
  const float coh[] = {0.95f, 0.3f};
  const double amp[] = {1.0, 3.0};
  for (int c = 0; c < 2; ++c)
    for (int h = 0; h < 2; ++h) {
      SpectItem it = srs.m_spect_u.DoGetItemOf(0, 0, h, c);
      it.re = amp[c];
      it.coh_ts = coh[c];
      it.weight = 1.0f;
      srs.m_spect_u.DoSetItemOf(0, 0, h, c, it);
    }
  CSipSpect2Res e;
  e.Init(&srs);
  e.CalcRes(srs.m_res);
  const float w0 = CohWeight(0.95f), w1 = CohWeight(0.3f);
  const ResItem it = srs.m_res.GetItem(0, 0, 0);
  EXPECT_NEAR(it.blk[RES_U_AMP].value, (w0 * 1.0f + w1 * 3.0f) / (w0 + w1), 1e-6f);
  // The current is never weighted.
  EXPECT_NEAR(it.blk[RES_I_AMP].value, 1.0f, 1e-6f);
}

TEST(Spect2Res, EntriesBeyondTheVoltageChannelsGetNoData) {
  CFormatSRS srs;
  SrsBuilder b;
  b.sites = {1, 2};
  b.Build(srs);
  CResultSip r;
  r.DoInit(3, 1, 3);
  for (int i = 0; i < 3; ++i) r.SetChInfo(i, srs.m_res.GetChInfo(i < 2 ? i : 1));
  for (int p = 0; p < 3; ++p) r.SetFreq(0, p, srs.m_res.GetFreq(0, p));
  CSipSpect2Res e;
  e.Init(&srs);
  e.CalcRes(r);
  EXPECT_EQ(r.GetItem(1, 0, 0).blk[RES_APP].count, 2u);
  for (int p = 0; p < 3; ++p) {
    const ResItem it = r.GetItem(2, 0, p);
    EXPECT_EQ(it.blk[RES_U_AMP].count, 0u);
    EXPECT_EQ(it.blk[RES_APP].count, 0u);
    EXPECT_EQ(it.blk[RES_CP].count, 0u);
  }
}

TEST(Spect2Res, ResultWithMoreHarmonicsThanTheSpectraHasNoDataThere) {
  CFormatSRS srs;
  SrsBuilder b;
  b.freqs = {0.25f, 0.75f};
  b.Build(srs);
  CResultSip r;
  r.DoInit(1, 1, 4);
  r.SetChInfo(0, srs.m_res.GetChInfo(0));
  for (int p = 0; p < 4; ++p) r.SetFreq(0, p, 0.25f * float(2 * p + 1));
  CSipSpect2Res e;
  e.Init(&srs);
  e.CalcRes(r);
  EXPECT_EQ(r.GetItem(0, 0, 1).blk[RES_APP].count, 2u);
  EXPECT_EQ(r.GetItem(0, 0, 1).blk[RES_CP].count, 0u);
  EXPECT_EQ(r.GetItem(0, 0, 3).blk[RES_APP].count, 0u);
  EXPECT_EQ(r.GetItem(0, 0, 3).blk[RES_CP].count, 0u);
}

TEST(Spect2Res, CompositeChannelsOfAdjacentSites) {
  CFormatSRS srs;
  SrsBuilder b;
  b.sites = {1, 2, 3, 5};
  b.Build(srs);
  const double u[] = {1.0, 2.0, 3.0, 5.0};
  for (int c = 0; c < 2; ++c)
    for (int h = 0; h < 3; ++h)
      for (int i = 0; i < 4; ++i) SetU(srs, i, h, c, u[i], 0.0);
  CSipSpect2Res e;
  e.Init(&srs);

  struct Case {
    float step_ratio;
    bool second_calculated;
  } cases[] = {{1.0f, false}, {0.2f, true}};
  for (const Case& c : cases) {
    CResultSip r;
    e.CalcResCompositeCh(2, c.step_ratio, r);
    ASSERT_EQ(r.GetChNum(), 2);
    ASSERT_EQ(r.GetHarmNum(), 3);
    EXPECT_EQ(r.GetFreq(0, 2), 1.25f);
    EXPECT_EQ(r.GetPosAx(), -1000.0f);
    EXPECT_EQ(r.GetChInfo(0).site_no, 1);
    EXPECT_EQ(r.GetChInfo(1).site_no, 2);
    EXPECT_EQ(r.GetChInfo(0).mn, 40.0f);
    EXPECT_EQ(r.GetChInfo(1).mn, 40.0f);
    EXPECT_NEAR(r.GetItem(0, 0, 0).blk[RES_U_AMP].value, 3.0f, 1e-6f);
    EXPECT_NEAR(r.GetItem(0, 0, 0).blk[RES_APP].value, K(srs, r, 0) * 3.0f, 1e-3f);
    EXPECT_EQ(r.GetItem(0, 0, 0).blk[RES_APP].count, 2u);
    if (c.second_calculated) {
      EXPECT_NEAR(r.GetItem(1, 0, 0).blk[RES_U_AMP].value, 5.0f, 1e-6f);
      EXPECT_EQ(r.GetItem(1, 0, 0).blk[RES_APP].count, 2u);
    } else {
      for (int p = 0; p < 3; ++p)
        for (int t = 0; t < TYPE_CNT; ++t) EXPECT_EQ(r.GetItem(1, 0, p).blk[t].count, 0u);
    }
  }
}

TEST(Spect2Res, CompositeOfOneDipoleIsTheSiteOrderedResult) {
  CFormatSRS srs;
  SrsBuilder b;
  b.sites = {3, 1, 3, 2};
  b.Build(srs);
  for (int c = 0; c < 2; ++c)
    for (int h = 0; h < 3; ++h)
      for (int i = 0; i < 4; ++i) SetU(srs, i, h, c, 1.0 + i, 0.0);
  CSipSpect2Res e;
  e.Init(&srs);
  CResultSip r;
  e.CalcResCompositeCh(1, 1.0f, r);
  ASSERT_EQ(r.GetChNum(), 4);
  const int order[] = {1, 3, 0, 2};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(r.GetChInfo(i).site_no, srs.m_res.GetChInfo(order[i]).site_no);
    EXPECT_NEAR(r.GetItem(i, 0, 0).blk[RES_U_AMP].value, 1.0f + float(order[i]), 1e-6f);
  }
}

TEST(Spect2Res, CompositeJoinStopsAtABadItem) {
  CFormatSRS srs;
  SrsBuilder b;
  b.sites = {1, 2};
  b.cal_num = 3;
  b.Build(srs);
  SpectItem it = srs.m_spect_u.DoGetItemOf(1, 0, 0, 1);
  it.bad = 1;
  srs.m_spect_u.DoSetItemOf(1, 0, 0, 1, it);
  CSipSpect2Res e;
  e.Init(&srs);
  CResultSip r;
  e.CalcResCompositeCh(2, 1.0f, r);
  ASSERT_EQ(r.GetChNum(), 1);
  EXPECT_EQ(r.GetItem(0, 0, 0).blk[RES_U_AMP].count, 1u);

  for (int n : {0, -1, 3}) {
    e.CalcResCompositeCh(n, 1.0f, r);
    EXPECT_EQ(r.GetChNum(), 0) << n;
  }
}

TEST(Spect2Res, CompositeIntoTheResultItReadsItsShapeFrom) {
  SrsBuilder b;
  b.wave = SIP_WAVE_SPREAD_SPECTRUM;
  b.sites = {3, 1, 3, 2};
  b.freqs = {0.25f, 0.5f, 0.75f, 1.0f};
  b.composed_freqs = {0.375f, 0.875f};
  CFormatSRS srs;
  b.Build(srs);
  for (int c = 0; c < 2; ++c)
    for (int h = 0; h < 4; ++h)
      for (int i = 0; i < 4; ++i) SetU(srs, i, h, c, 1.0 + i + 0.1 * h, 0.01 * h);
  CSipSpect2Res e;
  e.Init(&srs);
  ASSERT_TRUE(e.IsComposed());
  CResultSip apart;
  e.CalcResCompositeCh(1, 1.0f, apart);
  e.CalcResCompositeCh(1, 1.0f, srs.m_res_composed);
  CResultSip& same = srs.m_res_composed;
  ASSERT_EQ(same.GetChNum(), 4);
  ASSERT_EQ(same.GetHarmNum(), 2);
  for (int p = 0; p < 2; ++p) EXPECT_EQ(same.GetFreq(0, p), b.composed_freqs[size_t(p)]);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(same.GetChInfo(i).site_no, apart.GetChInfo(i).site_no);
    for (int p = 0; p < 2; ++p)
      for (int t = 0; t < TYPE_CNT; ++t) {
        EXPECT_EQ(same.GetItem(i, 0, p).blk[t].value, apart.GetItem(i, 0, p).blk[t].value);
        EXPECT_EQ(same.GetItem(i, 0, p).blk[t].count, apart.GetItem(i, 0, p).blk[t].count);
      }
  }
  EXPECT_EQ(same.GetItem(0, 0, 1).blk[RES_U_AMP].count, 2u);
}
