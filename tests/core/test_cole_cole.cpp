// Cole-Cole fits of channel spectra: known models recovered from exact
// points and from generated surveys, and the status of every kind of
// channel that cannot be fitted.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/processing/cole_cole.h"
#include "core/processing/spectra.h"
#include "core/sip/format_srs.h"

namespace {

// The pseudo-random wave's harmonics 1 ... 8192 of 0.125 Hz.
std::vector<double> Band() {
  std::vector<double> f;
  for (int k = 0; k < 14; ++k) f.push_back(0.125 * std::pow(2.0, k));
  return f;
}

std::vector<SpectrumPoint> ExactPoints(const ColeColeParams& p, const std::vector<double>& freqs) {
  std::vector<SpectrumPoint> pts;
  for (double f : freqs) {
    const std::complex<double> rho = ColeColeRho(p, f);
    SpectrumPoint pt;
    pt.freq_hz = float(f);
    pt.rho = float(std::abs(rho));
    pt.phase = float(std::arg(rho));
    pts.push_back(pt);
  }
  return pts;
}

struct Tolerance {
  double rho0_rel, m, tau_decades, c;
};
const Tolerance kClean = {0.005, 0.01, 0.05, 0.02};
const Tolerance kNoisy = {0.02, 0.03, 0.2, 0.05};

void ExpectRecovered(const ColeColeFit& fit, const ColeColeParams& want, const Tolerance& tol) {
  ASSERT_EQ(fit.status, ColeColeStatus::Ok);
  EXPECT_NEAR(fit.p.rho0 / want.rho0, 1.0, tol.rho0_rel);
  EXPECT_NEAR(fit.p.m, want.m, tol.m);
  EXPECT_NEAR(std::log10(fit.p.tau / want.tau), 0.0, tol.tau_decades);
  EXPECT_NEAR(fit.p.c, want.c, tol.c);
}

}  // namespace

// Exact spectra, with the time constant at and beyond both ends of the band
// (0.125 Hz to 1024 Hz: 1 / (2 pi f) runs from 1.3 s down to 0.16 ms).
TEST(ColeCole, RecoversExactModels) {
  const ColeColeParams cases[] = {
      {100.0, 0.3, 0.01, 0.5},  {1500.0, 0.1, 1.3e-4, 0.3}, {20.0, 0.6, 1.5, 0.7},
      {250.0, 0.8, 1e-3, 1.0},  {80.0, 0.05, 0.2, 0.25},    {400.0, 0.45, 5.0, 0.6},
      {60.0, 0.35, 5e-5, 0.8},  {3.0, 0.95, 0.03, 0.4},
  };
  for (const ColeColeParams& p : cases) {
    SCOPED_TRACE(::testing::Message() << "rho0 " << p.rho0 << " m " << p.m << " tau " << p.tau << " c " << p.c);
    const std::vector<SpectrumPoint> pts = ExactPoints(p, Band());
    const ColeColeFit fit = FitColeCole(pts);
    ExpectRecovered(fit, p, kClean);
    EXPECT_LT(fit.rms_pct, 0.01);
  }
}

// A flat spectrum is fitted as well by any m with tau beyond the band's
// high edge; it is reported without polarization.
TEST(ColeCole, FlatSpectrumHasNoPolarization) {
  const ColeColeFit fit = FitColeCole(ExactPoints({250.0, 0.0, 1.0, 0.5}, Band()));
  ASSERT_EQ(fit.status, ColeColeStatus::Ok);
  EXPECT_EQ(fit.p.m, 0.0);
  EXPECT_NEAR(fit.p.rho0, 250.0, 1e-3);
  EXPECT_LT(fit.rms_pct, 1e-4);
  // A little polarization is still found.
  const ColeColeFit weak = FitColeCole(ExactPoints({250.0, 0.01, 0.01, 0.5}, Band()));
  EXPECT_NEAR(weak.p.m, 0.01, 1e-3);
}

TEST(ColeCole, RmsIsTheRelativeComplexMisfit) {
  const ColeColeParams p{100.0, 0.3, 0.01, 0.5};
  std::vector<SpectrumPoint> pts = ExactPoints(p, {1.0, 10.0});
  EXPECT_NEAR(ColeColeRmsPct(p, pts), 0.0, 1e-4);
  // Off by 2 % in amplitude at one point and exact at the other:
  // 100 sqrt((0.02^2 + 0) / 2).
  pts[0].rho *= 1.02f;
  EXPECT_NEAR(ColeColeRmsPct(p, pts), 100.0 * std::sqrt(0.02 * 0.02 / 1.02 / 1.02 / 2.0), 1e-3);
}

TEST(ColeCole, Statuses) {
  const std::vector<SpectrumPoint> good = ExactPoints({100.0, 0.3, 0.01, 0.5}, Band());
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  struct Case {
    const char* what;
    int points;  // first points of the good spectrum
    int spoil;   // point to spoil, -1 none
    int field;   // 0 rho, 1 rho_err, 2 phase, 3 phase_err, 4 freq
    float value;
    ColeColeStatus want;
  };
  const Case cases[] = {
      {"no point", 0, -1, 0, 0.0f, ColeColeStatus::TooFewPoints},
      {"three points", 3, -1, 0, 0.0f, ColeColeStatus::TooFewPoints},
      {"three points, one bad", 3, 1, 0, 0.0f, ColeColeStatus::TooFewPoints},
      {"four points", 4, -1, 0, 0.0f, ColeColeStatus::Ok},
      {"whole band", 14, -1, 0, 0.0f, ColeColeStatus::Ok},
      {"rho 0", 14, 5, 0, 0.0f, ColeColeStatus::Failed},
      {"rho negative", 14, 0, 0, -3.0f, ColeColeStatus::Failed},
      {"rho NaN", 14, 13, 0, nan, ColeColeStatus::Failed},
      {"rho infinite", 14, 2, 0, inf, ColeColeStatus::Failed},
      {"error infinite", 14, 3, 1, inf, ColeColeStatus::Failed},
      {"phase NaN", 14, 4, 2, nan, ColeColeStatus::Failed},
      {"phase error NaN", 14, 6, 3, nan, ColeColeStatus::Failed},
      {"frequency 0", 14, 0, 4, 0.0f, ColeColeStatus::Failed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<SpectrumPoint> pts(good.begin(), good.begin() + c.points);
    if (c.spoil >= 0) {
      float* fields[] = {&pts[size_t(c.spoil)].rho, &pts[size_t(c.spoil)].rho_err, &pts[size_t(c.spoil)].phase,
                         &pts[size_t(c.spoil)].phase_err, &pts[size_t(c.spoil)].freq_hz};
      *fields[c.field] = c.value;
    }
    const ColeColeFit fit = FitColeCole(pts);
    EXPECT_EQ(fit.status, c.want);
  }
  EXPECT_STREQ(ColeColeStatusName(ColeColeStatus::Ok), "ok");
  EXPECT_STREQ(ColeColeStatusName(ColeColeStatus::TooFewPoints), "too-few-points");
  EXPECT_STREQ(ColeColeStatusName(ColeColeStatus::Failed), "failed");
}

// Generated surveys carry the model of every channel in cole_cole_truth.csv.
TEST(ColeCole, RecoversGeneratedSurveys) {
  const std::string dir = ::testing::TempDir() + "varnex_cole_cole_core";
  const std::string cmd = "rm -rf '" + dir + "' && '" + std::string(GEN_SURVEY_EXE) + "' '" + dir +
                          "' --cole-cole --seed 5 --files 2 --devices 4 --cals 6";
  ASSERT_EQ(std::system(cmd.c_str()), 0);

  std::ifstream truth(dir + "/cole_cole_truth.csv");
  std::string line;
  ASSERT_TRUE(std::getline(truth, line));
  EXPECT_EQ(line, "file,device,channel,kind,rho0_ohmm,m,tau_s,c");
  std::map<std::string, std::vector<ColeColeFit>> fits;
  std::map<std::string, std::vector<ChannelSpectrum>> spectra;
  std::map<std::string, int> kinds;
  int lines = 0;
  while (std::getline(truth, line)) {
    std::stringstream ss(line);
    std::string file, dev, ch, kind, rho0, m, tau, c;
    std::getline(ss, file, ',');
    std::getline(ss, dev, ',');
    std::getline(ss, ch, ',');
    std::getline(ss, kind, ',');
    std::getline(ss, rho0, ',');
    std::getline(ss, m, ',');
    std::getline(ss, tau, ',');
    std::getline(ss, c, ',');
    if (!fits.count(file)) {
      CFormatSRS srs;
      ASSERT_TRUE(srs.Read(dir + "/" + file + ".SRS")) << file;
      spectra[file] = SpectraOf(srs.m_res);
      fits[file] = FitColeColeAll(spectra[file]);
    }
    // Channel entries run device by device, channel by channel.
    const std::vector<ChannelSpectrum>& sp = spectra[file];
    int e = -1;
    for (size_t i = 0; i < sp.size(); ++i)
      if (sp[i].info.dev_name == dev && sp[i].info.idx_dev_ch + 1 == std::stoi(ch)) e = int(i);
    ASSERT_GE(e, 0) << line;
    const ColeColeFit& fit = fits[file][size_t(e)];
    const ColeColeParams want{std::stod(rho0), std::stod(m), std::stod(tau), std::stod(c)};
    SCOPED_TRACE(line);
    ++lines;
    if (sp[size_t(e)].points.size() == 2) {
      EXPECT_EQ(fit.status, ColeColeStatus::TooFewPoints);
      ++kinds["two points"];
      continue;
    }
    ASSERT_EQ(sp[size_t(e)].points.size(), 14u);
    ++kinds[kind];
    if (kind == "clean") ExpectRecovered(fit, want, kClean);
    if (kind == "noisy") ExpectRecovered(fit, want, kNoisy);
    if (kind == "flat") {
      ASSERT_EQ(fit.status, ColeColeStatus::Ok);
      EXPECT_LE(fit.p.m, 0.01);
      EXPECT_NEAR(fit.p.rho0 / want.rho0, 1.0, kClean.rho0_rel);
    }
    if (kind == "dead") {
      EXPECT_EQ(fit.status, ColeColeStatus::Failed);
    }
  }
  // Two full files of 24 channels and the short file.
  EXPECT_EQ(lines, 72);
  EXPECT_EQ(kinds["clean"], 24);
  EXPECT_EQ(kinds["noisy"], 20);
  EXPECT_EQ(kinds["flat"], 2);
  EXPECT_EQ(kinds["dead"], 2);
  EXPECT_EQ(kinds["two points"], 24);
}

TEST(Spectra, PointsWithDataInPointOrder) {
  CResultSip r;
  r.DoInit(2, 2, 3);
  for (int f = 0; f < 2; ++f)
    for (int h = 0; h < 3; ++h) r.SetFreq(f, h, float(10 * f + h + 1));
  ChInfo info;
  info.dev_name = "ST07";
  info.idx_dev_ch = 2;
  info.m_pos = 40.0f;
  r.SetChInfo(1, info);
  ResItem item;
  item.blk[RES_APP] = {120.0f, 0.0f, 1.2f, 3};
  item.blk[RES_Z_PH] = {-0.02f, 0.0f, 0.001f, 3};
  r.SetItem(1, 1, 0, item);
  item.blk[RES_APP].value = 130.0f;
  r.SetItem(1, 0, 2, item);
  item.blk[RES_APP].count = 0;  // no data whatever the value
  r.SetItem(1, 0, 0, item);

  const std::vector<ChannelSpectrum> s = SpectraOf(r);
  ASSERT_EQ(s.size(), 2u);
  EXPECT_TRUE(s[0].points.empty());
  ASSERT_EQ(s[1].points.size(), 2u);
  EXPECT_EQ(s[1].idx_ch, 1);
  EXPECT_EQ(s[1].info.dev_name, "ST07");
  EXPECT_EQ(s[1].points[0].freq_hz, 3.0f);
  EXPECT_EQ(s[1].points[0].rho, 130.0f);
  EXPECT_EQ(s[1].points[1].freq_hz, 11.0f);
  EXPECT_EQ(s[1].points[1].rho, 120.0f);
  EXPECT_EQ(s[1].points[1].rho_err, 1.2f);
  EXPECT_EQ(s[1].points[1].phase, -0.02f);
  EXPECT_EQ(s[1].points[1].phase_err, 0.001f);
}
