// The multi-frequency formats read back by readers of their own (as FDIP,
// CRTomo/REDA and ResIPy read them: whitespace or tab columns, matrices by
// row, volt files paired by name order) and compared point by point and
// frequency by frequency with the dataset written; golden files of one small
// survey; refusals and failed writes that leave nothing behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <array>
#include <cmath>
#include <cstdlib>
#include <dirent.h>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "core/export/multi_freq.h"
#include "test_files.h"

namespace {

const std::string kGolden = std::string(TEST_DATA_DIR) + "/export/multi_freq";

std::string FreshDir(const std::string& name) {
  const std::string dir = testing::TempDir() + "varnex_multi_freq_" + name;
  EXPECT_EQ(std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "'").c_str()), 0);
  return dir;
}

std::vector<std::string> ListDir(const std::string& dir) {
  std::vector<std::string> out;
  DIR* d = ::opendir(dir.c_str());
  if (!d) return out;
  while (dirent* e = ::readdir(d)) {
    const std::string n = e->d_name;
    if (n != "." && n != "..") out.push_back(n);
  }
  ::closedir(d);
  std::sort(out.begin(), out.end());
  return out;
}

// Lines of a text file that must end in "\n" and hold no "\r".
std::vector<std::string> Lines(const std::string& path) {
  const std::string text = Slurp(path);
  EXPECT_FALSE(text.empty()) << path;
  EXPECT_EQ(text.back(), '\n') << path;
  EXPECT_EQ(text.find('\r'), std::string::npos) << path;
  std::vector<std::string> out;
  size_t from = 0;
  for (size_t nl; (nl = text.find('\n', from)) != std::string::npos; from = nl + 1)
    out.push_back(text.substr(from, nl - from));
  return out;
}

// Fields between single separators (a doubled separator gives an empty field).
std::vector<std::string> Split(const std::string& line, char sep) {
  std::vector<std::string> out(1);
  for (char c : line) {
    if (c == sep)
      out.emplace_back();
    else
      out.back() += c;
  }
  return out;
}

double Real(const std::string& tok) {
  char* end = nullptr;
  const double v = std::strtod(tok.c_str(), &end);
  EXPECT_TRUE(!tok.empty() && *end == '\0') << "not a number: '" << tok << "'";
  return v;
}

int Whole(const std::string& tok) {
  char* end = nullptr;
  const long v = std::strtol(tok.c_str(), &end, 10);
  EXPECT_TRUE(!tok.empty() && *end == '\0') << "not an integer: '" << tok << "'";
  return int(v);
}

std::vector<double> Reals(const std::string& line, char sep) {
  std::vector<double> out;
  for (const std::string& t : Split(line, sep)) out.push_back(Real(t));
  return out;
}

enum Format { FDIP, CRTOMO, PROTOCOL };

MultiFreqStatus Write(Format f, const MultiFreqData& d, const std::string& base,
                      std::vector<std::string>* written = nullptr) {
  switch (f) {
    case FDIP:
      return MultiFreqWriteFdip(d, base, written);
    case CRTOMO:
      return MultiFreqWriteCrtomo(d, base, written);
    case PROTOCOL:
      return MultiFreqWriteProtocol(d, base, written);
  }
  return MultiFreqStatus();
}

const char* FormatName(Format f) { return f == FDIP ? "fdip" : f == CRTOMO ? "crtomo" : "protocol"; }

// A dataset as one format carries it: the survey electrodes (x, y, z), the
// points (0 for a remote electrode), k where the format has it, and per
// frequency and point the four columns in the format's own units and signs.
struct Table {
  std::vector<double> freqs;
  std::vector<std::array<double, 3>> electrodes;
  std::vector<std::array<int, 4>> points;
  std::vector<double> k;
  std::vector<std::vector<std::array<double, 4>>> v;
};

// What the format must hold for d, worked out from the definitions.
Table Expected(const MultiFreqData& d, Format fmt) {
  Table t;
  t.freqs.assign(d.freqs.begin(), d.freqs.end());
  for (const MultiFreqElectrode& e : d.electrodes) t.electrodes.push_back({e.x, e.y, e.z});
  for (const MultiFreqPoint& p : d.points) {
    t.points.push_back({p.a, p.b, p.m, p.n});
    if (fmt == FDIP) t.k.push_back(p.k);
  }
  for (size_t f = 0; f < d.freqs.size(); ++f) {
    t.v.emplace_back();
    for (size_t p = 0; p < d.points.size(); ++p) {
      const MultiFreqValue& x = d.values[f][p];
      const double r = double(x.rho) / double(d.points[p].k);
      if (fmt == FDIP)
        t.v.back().push_back({x.rho, -double(x.phase) / 1000, x.rho_err, double(x.phase_err) / 1000});
      else if (fmt == CRTOMO)
        t.v.back().push_back({r, x.phase, x.rho_err, x.phase_err});
      else
        t.v.back().push_back({r, x.phase, x.rho_err * std::fabs(r), x.phase_err});
    }
  }
  return t;
}

Table ReadFdip(const std::string& base) {
  Table t;
  const std::vector<std::string> shm = Lines(base + ".shm");
  size_t i = 0;
  auto line = [&]() { return i < shm.size() ? shm[i++] : std::string("<end>"); };
  const int n_el = Whole(line());
  EXPECT_EQ(line(), "# x y z");
  for (int e = 0; e < n_el; ++e) {
    const std::vector<double> xyz = Reals(line(), ' ');
    EXPECT_EQ(xyz.size(), 3u);
    if (xyz.size() == 3) t.electrodes.push_back({xyz[0], xyz[1], xyz[2]});
  }
  const int n_data = Whole(line());
  EXPECT_EQ(line(), "# a b m n k");
  for (int p = 0; p < n_data; ++p) {
    const std::vector<std::string> tok = Split(line(), ' ');
    EXPECT_EQ(tok.size(), 5u);
    if (tok.size() != 5) continue;
    t.points.push_back({Whole(tok[0]), Whole(tok[1]), Whole(tok[2]), Whole(tok[3])});
    t.k.push_back(Real(tok[4]));
  }
  EXPECT_EQ(line(), "0");
  EXPECT_EQ(i, shm.size()) << "lines after the end";

  const char* ext[4] = {".rhoa", ".phia", ".rhoaE", ".phiaE"};
  for (int c = 0; c < 4; ++c) {
    const std::vector<std::string> rows = Lines(base + ext[c]);
    EXPECT_EQ(rows.size(), size_t(n_data) + 1) << ext[c];
    if (rows.empty()) continue;
    const std::vector<double> freqs = Reals(rows[0], ' ');
    if (c == 0) {
      t.freqs = freqs;
      t.v.assign(freqs.size(), std::vector<std::array<double, 4>>(size_t(n_data)));
    }
    EXPECT_EQ(freqs, t.freqs) << ext[c];
    for (size_t p = 0; p + 1 < rows.size() && p < size_t(n_data); ++p) {
      const std::vector<double> row = Reals(rows[p + 1], ' ');
      EXPECT_EQ(row.size(), t.freqs.size()) << ext[c] << " row " << p + 2;
      for (size_t f = 0; f < row.size() && f < t.v.size(); ++f) t.v[f][p][size_t(c)] = row[f];
    }
  }
  return t;
}

// The frequency in a name "<prefix>NN_<freq>Hz<suffix>"; NN must be want_nn.
double FreqOfName(const std::string& name, const std::string& prefix, int want_nn) {
  EXPECT_EQ(name.compare(0, prefix.size(), prefix), 0) << name;
  EXPECT_EQ(Whole(name.substr(prefix.size(), 2)), want_nn) << name;
  const size_t from = prefix.size() + 3, hz = name.rfind("Hz");
  return Real(name.substr(from, hz - from));
}

Table ReadCrtomo(const std::string& base) {
  Table t;
  const std::string dir = base + "_crtomo";
  std::vector<std::string> volts, errors;
  for (const std::string& n : ListDir(dir)) {
    if (n.compare(0, 5, "volt_") == 0)
      volts.push_back(n);
    else if (n.compare(0, 7, "errors_") == 0)
      errors.push_back(n);
    else
      EXPECT_TRUE(n == "frequencies.dat" || n == "electrodes.dat") << "unexpected file " << n;
  }
  for (const std::string& l : Lines(dir + "/frequencies.dat")) t.freqs.push_back(Real(l));
  EXPECT_EQ(volts.size(), t.freqs.size());
  EXPECT_EQ(errors.size(), t.freqs.size());
  for (const std::string& l : Lines(dir + "/electrodes.dat")) {
    const std::vector<double> xyz = Reals(l, ' ');
    EXPECT_EQ(xyz.size(), 3u);
    if (xyz.size() == 3) t.electrodes.push_back({xyz[0], xyz[1], xyz[2]});
  }
  // The reader pairs the files with the frequencies by name order.
  for (size_t f = 0; f < volts.size() && f < errors.size() && f < t.freqs.size(); ++f) {
    EXPECT_NEAR(FreqOfName(volts[f], "volt_", int(f) + 1), t.freqs[f], 1e-5 * t.freqs[f]);
    EXPECT_EQ(errors[f].substr(7, errors[f].size() - 7 - 4), volts[f].substr(5, volts[f].size() - 5 - 4));
    const std::vector<std::string> volt = Lines(dir + "/" + volts[f]);
    const std::vector<std::string> err = Lines(dir + "/" + errors[f]);
    const int n = Whole(volt.at(0));
    EXPECT_EQ(volt.size(), size_t(n) + 1);
    EXPECT_EQ(err.size(), size_t(n) + 1);
    EXPECT_EQ(err.at(0), volt.at(0));
    t.v.emplace_back();
    for (int p = 0; p < n && size_t(p) + 1 < volt.size() && size_t(p) + 1 < err.size(); ++p) {
      const std::vector<std::string> tok = Split(volt[size_t(p) + 1], ' ');
      const std::vector<double> e = Reals(err[size_t(p) + 1], ' ');
      EXPECT_EQ(tok.size(), 4u) << volts[f] << " line " << p + 2;
      EXPECT_EQ(e.size(), 2u) << errors[f] << " line " << p + 2;
      if (tok.size() != 4 || e.size() != 2) continue;
      const int ab = Whole(tok[0]), mn = Whole(tok[1]);
      const std::array<int, 4> pt = {ab / 10000, ab % 10000, mn / 10000, mn % 10000};
      if (f == 0)
        t.points.push_back(pt);
      else
        EXPECT_EQ(pt, t.points.at(size_t(p))) << volts[f] << ": other points than the first frequency";
      t.v.back().push_back({Real(tok[2]), Real(tok[3]), e[0], e[1]});
    }
  }
  return t;
}

Table ReadProtocol(const std::string& base) {
  Table t;
  const std::vector<std::string> csv = Lines(base + "_protocol_electrodes.csv");
  EXPECT_EQ(csv.at(0), "label,x,y,z,buried,remote");
  std::vector<int> remote_labels;
  for (size_t i = 1; i < csv.size(); ++i) {
    const std::vector<std::string> tok = Split(csv[i], ',');
    EXPECT_EQ(tok.size(), 6u) << csv[i];
    if (tok.size() != 6) continue;
    EXPECT_EQ(Whole(tok[0]), int(i));
    EXPECT_EQ(tok[4], "False");
    EXPECT_TRUE(tok[5] == "True" || tok[5] == "False") << tok[5];
    if (tok[5] == "True") {
      remote_labels.push_back(int(i));
      EXPECT_LE(Real(tok[1]), -99999.0) << "a remote electrode lies far outside";
    } else {
      EXPECT_TRUE(remote_labels.empty()) << "survey electrodes come first";
      t.electrodes.push_back({Real(tok[1]), Real(tok[2]), Real(tok[3])});
    }
  }
  auto number = [&](const std::string& tok) {
    const int n = Whole(tok);
    EXPECT_TRUE(n >= 1 && n < int(csv.size())) << "label " << n << " not in the electrode table";
    return std::find(remote_labels.begin(), remote_labels.end(), n) != remote_labels.end() ? 0 : n;
  };
  // The batch import takes every file of the folder, in name order.
  const std::vector<std::string> files = ListDir(base + "_protocol");
  for (size_t f = 0; f < files.size(); ++f) {
    t.freqs.push_back(FreqOfName(files[f], "protocol_", int(f) + 1));
    EXPECT_EQ(files[f].substr(files[f].size() - 6), "Hz.dat");
    const std::vector<std::string> lines = Lines(base + "_protocol/" + files[f]);
    const int n = Whole(lines.at(0));
    EXPECT_EQ(lines.size(), size_t(n) + 1);
    t.v.emplace_back();
    for (size_t p = 0; p < size_t(n) && p + 1 < lines.size(); ++p) {
      const std::vector<std::string> tok = Split(lines[p + 1], '\t');
      EXPECT_EQ(tok.size(), 9u) << files[f] << " line " << p + 2;
      if (tok.size() != 9) continue;
      EXPECT_EQ(Whole(tok[0]), int(p) + 1);
      const std::array<int, 4> pt = {number(tok[1]), number(tok[2]), number(tok[3]), number(tok[4])};
      if (f == 0)
        t.points.push_back(pt);
      else
        EXPECT_EQ(pt, t.points.at(p)) << files[f] << ": other points than the first frequency";
      t.v.back().push_back({Real(tok[5]), Real(tok[6]), Real(tok[7]), Real(tok[8])});
    }
  }
  return t;
}

Table Read(Format f, const std::string& base) {
  return f == FDIP ? ReadFdip(base) : f == CRTOMO ? ReadCrtomo(base) : ReadProtocol(base);
}

// The same float: the files keep every digit of the data. ResIPy's
// frequencies exist only in the file names ("%.6g").
void ExpectSameFloat(double got, double want, const std::string& what, double rel = 0.0) {
  if (rel > 0.0)
    EXPECT_NEAR(got, want, rel * std::fabs(want)) << what;
  else
    EXPECT_EQ(float(got), float(want)) << what << ": " << got << " vs " << want;
}

void ExpectSame(const Table& got, const Table& want, Format fmt) {
  ASSERT_EQ(got.freqs.size(), want.freqs.size());
  for (size_t f = 0; f < want.freqs.size(); ++f)
    ExpectSameFloat(got.freqs[f], want.freqs[f], "frequency", fmt == PROTOCOL ? 5e-6 : 0.0);
  ASSERT_EQ(got.electrodes.size(), want.electrodes.size());
  for (size_t e = 0; e < want.electrodes.size(); ++e)
    for (int c = 0; c < 3; ++c)
      ExpectSameFloat(got.electrodes[e][size_t(c)], want.electrodes[e][size_t(c)],
                      "electrode " + std::to_string(e + 1) + " coordinate " + "xyz"[c]);
  ASSERT_EQ(got.points, want.points);
  ASSERT_EQ(got.k.size(), want.k.size());
  for (size_t p = 0; p < want.k.size(); ++p) ExpectSameFloat(got.k[p], want.k[p], "k");
  ASSERT_EQ(got.v.size(), want.v.size());
  const char* col[4] = {"resistivity or resistance", "phase", "resistivity error", "phase error"};
  for (size_t f = 0; f < want.v.size(); ++f) {
    ASSERT_EQ(got.v[f].size(), want.v[f].size()) << "frequency " << f + 1;
    for (size_t p = 0; p < want.v[f].size(); ++p)
      for (size_t c = 0; c < 4; ++c)
        ExpectSameFloat(
            got.v[f][p][c], want.v[f][p][c],
            std::string(col[c]) + ", frequency " + std::to_string(f + 1) + ", point " + std::to_string(p + 1));
  }
}

// Electrode positions at x (m) along a line at y, with ground level z(x).
struct Spot {
  float x, y, z;
};

MultiFreqPositions Pos(Spot a, Spot b, Spot m, Spot n, bool has_b = true) {
  MultiFreqPositions p;
  const Spot s[4] = {a, b, m, n};
  for (int e = 0; e < 4; ++e) {
    p.x[e] = s[e].x;
    p.y[e] = s[e].y;
    p.z[e] = s[e].z;
  }
  p.has_b = has_b;
  return p;
}

// Values that differ per frequency and point, each the float nearest to its
// decimal value.
void FillValues(MultiFreqData* d, const std::vector<float>& k) {
  for (size_t p = 0; p < d->points.size(); ++p) d->points[p].k = k[p];
  d->values.assign(d->freqs.size(), std::vector<MultiFreqValue>(d->points.size()));
  for (size_t f = 0; f < d->freqs.size(); ++f)
    for (size_t p = 0; p < d->points.size(); ++p) {
      MultiFreqValue& v = d->values[f][p];
      v.rho = float(105.37 + 11.0 * double(p) - 1.5 * double(f));
      v.rho_err = float(0.02 + 0.0025 * double(f));
      v.phase = float(-(12.5 + 2.25 * double(f) + double(p)));
      v.phase_err = float(0.35 + 0.05 * double(p));
    }
}

// 2-D line with topography; the first point's electrodes in reverse order,
// the last one pole-dipole.
MultiFreqData SmallSurvey() {
  const Spot e0{0, 0, 100}, e5{5, 0, 100.5f}, e10{10, 0, 101.25f}, e15{15, 0, 101.5f}, e20{20, 0, 101};
  MultiFreqData d;
  d.freqs = {0.125f, 1.0f, 16.0f};
  MultiFreqNumberElectrodes({Pos(e20, e15, e10, e5), Pos(e0, e5, e10, e15), Pos(e0, {}, e5, e10, false)}, false, &d);
  FillValues(&d, {94.2477796f, 94.2477796f, 62.8318531f});
  return d;
}

// Pole-dipole only (B remote everywhere), four frequencies.
MultiFreqData PoleDipole() {
  MultiFreqData d;
  d.freqs = {0.0390625f, 0.3125f, 2.5f, 1024.0f};
  std::vector<MultiFreqPositions> pos;
  std::vector<float> k;
  for (int a = 0; a < 4; ++a)
    for (int n = 1; n <= 2; ++n) {
      const float x = 2.5f * float(a), m = x + 2.5f * float(n);
      pos.push_back(Pos({x, 0, 0}, {}, {m, 0, 0}, {m + 2.5f, 0, 0}, false));
      k.push_back(2.0f * 3.14159265f * 2.5f * float(n * (n + 1)));
    }
  MultiFreqNumberElectrodes(pos, false, &d);
  FillValues(&d, k);
  return d;
}

// 3-D grid with topography (z varies with x and y), negative coordinates.
MultiFreqData Topography3d() {
  MultiFreqData d;
  d.freqs = {1.0f, 4.0f, 64.0f};
  auto at = [](float x, float y) { return Spot{x, y, 1250.0f + 0.1f * x - 0.35f * y}; };
  std::vector<MultiFreqPositions> pos;
  for (int row = 0; row < 3; ++row) {
    const float y = -10.0f + 7.5f * float(row);
    pos.push_back(Pos(at(-20, y), at(20, y), at(-5, y + 2), at(5, y + 2)));
    pos.push_back(Pos(at(-20, y), at(30, y), at(5, y), at(15, y), row != 1));
  }
  MultiFreqNumberElectrodes(pos, true, &d);
  FillValues(&d, {-31.5f, 88.25f, 47.0f, 120.5f, 1530.0f, 76.125f});
  return d;
}

}  // namespace

TEST(MultiFreq, ElectrodesAreNumberedByPositionAsInTheUnifiedFormat) {
  MultiFreqData d;
  d.points.resize(1);
  d.points[0].k = 7.0f;
  // Given out of order; (10, 0) twice; two positions share x = 10 and differ in y.
  MultiFreqNumberElectrodes(
      {Pos({30, 0, 3}, {10, 0, 1}, {20, 0, 2}, {10, 4, 9}), Pos({10, 0, 5}, {}, {0, 0, 0}, {20, 0, 2}, false)}, false,
      &d);
  ASSERT_EQ(d.electrodes.size(), 5u);
  const float xs[5] = {0, 10, 10, 20, 30}, zs[5] = {0, 1, 9, 2, 3};
  for (int e = 0; e < 5; ++e) {
    EXPECT_EQ(d.electrodes[size_t(e)].x, xs[e]);
    EXPECT_EQ(d.electrodes[size_t(e)].y, 0.0f) << "2-D tables carry y = 0";
    EXPECT_EQ(d.electrodes[size_t(e)].z, zs[e]) << "z of the first point naming the electrode";
    EXPECT_FALSE(d.electrodes[size_t(e)].remote);
  }
  ASSERT_EQ(d.points.size(), 2u);
  EXPECT_EQ((std::array<int, 4>{d.points[0].a, d.points[0].b, d.points[0].m, d.points[0].n}),
            (std::array<int, 4>{5, 2, 4, 3}));
  EXPECT_EQ((std::array<int, 4>{d.points[1].a, d.points[1].b, d.points[1].m, d.points[1].n}),
            (std::array<int, 4>{2, 0, 1, 4}));
  EXPECT_EQ(d.points[0].k, 7.0f);

  MultiFreqNumberElectrodes({Pos({10, 4, 9}, {10, 0, 1}, {0, 0, 0}, {20, 0, 2})}, true, &d);
  ASSERT_EQ(d.electrodes.size(), 4u);
  EXPECT_EQ(d.electrodes[2].y, 4.0f);
  EXPECT_EQ(d.points.size(), 1u);
}

TEST(MultiFreq, GoldenFilesOfASmallSurvey) {
  const MultiFreqData d = SmallSurvey();
  const struct {
    Format format;
    std::vector<std::string> files;
  } cases[] = {
      {FDIP, {"small.shm", "small.rhoa", "small.phia", "small.rhoaE", "small.phiaE"}},
      {CRTOMO,
       {"small_crtomo/frequencies.dat", "small_crtomo/volt_01_0.125Hz.crt", "small_crtomo/errors_01_0.125Hz.dat",
        "small_crtomo/volt_02_1Hz.crt", "small_crtomo/errors_02_1Hz.dat", "small_crtomo/volt_03_16Hz.crt",
        "small_crtomo/errors_03_16Hz.dat", "small_crtomo/electrodes.dat"}},
      {PROTOCOL,
       {"small_protocol/protocol_01_0.125Hz.dat", "small_protocol/protocol_02_1Hz.dat",
        "small_protocol/protocol_03_16Hz.dat", "small_protocol_electrodes.csv"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(FormatName(c.format));
    const std::string dir = FreshDir(std::string("golden_") + FormatName(c.format));
    std::vector<std::string> written;
    ASSERT_TRUE(Write(c.format, d, dir + "/small", &written).ok());
    std::vector<std::string> want;
    for (const std::string& f : c.files) want.push_back(dir + "/" + f);
    ASSERT_EQ(written, want);
    for (const std::string& f : c.files) EXPECT_TRUE(Slurp(dir + "/" + f) == Slurp(kGolden + "/" + f)) << f;
  }
}

TEST(MultiFreq, EveryFormatReadsBackAsWritten) {
  const struct {
    const char* name;
    MultiFreqData data;
  } surveys[] = {{"small", SmallSurvey()}, {"pole_dipole", PoleDipole()}, {"topography_3d", Topography3d()}};
  for (const auto& s : surveys) {
    for (Format fmt : {FDIP, CRTOMO, PROTOCOL}) {
      SCOPED_TRACE(std::string(s.name) + " as " + FormatName(fmt));
      const std::string base = FreshDir(std::string(s.name) + "_" + FormatName(fmt)) + "/" + s.name;
      const MultiFreqStatus st = Write(fmt, s.data, base);
      ASSERT_TRUE(st.ok()) << MultiFreqStatusText(st);
      ExpectSame(Read(fmt, base), Expected(s.data, fmt), fmt);
    }
  }
}

TEST(MultiFreq, PoleDipoleInResIPyHasOneRemoteElectrodeFarOutside) {
  const MultiFreqData d = PoleDipole();
  const std::string base = FreshDir("remote") + "/pd";
  ASSERT_TRUE(MultiFreqWriteProtocol(d, base).ok());
  const std::vector<std::string> csv = Lines(base + "_protocol_electrodes.csv");
  ASSERT_EQ(csv.size(), d.electrodes.size() + 2);
  const std::string remote = std::to_string(d.electrodes.size() + 1);
  EXPECT_EQ(csv.back(), remote + ",-99999,0,0,False,True");
  for (const std::string& l : Lines(base + "_protocol/protocol_03_2.5Hz.dat"))
    if (l.find('\t') != std::string::npos) {
      EXPECT_EQ(Split(l, '\t').at(2), remote) << l;
    }
}

TEST(MultiFreq, RefusedDatasetsWriteNothing) {
  const struct {
    const char* name;
    std::function<void(MultiFreqData*)> change;
    MultiFreqProblem problem;
    int freq, point;
  } cases[] = {
      {"one frequency",
       [](MultiFreqData* d) {
         d->freqs.resize(1);
         d->values.resize(1);
       },
       MultiFreqProblem::kFewFrequencies, -1, -1},
      {"no frequency",
       [](MultiFreqData* d) {
         d->freqs.clear();
         d->values.clear();
       },
       MultiFreqProblem::kFewFrequencies, -1, -1},
      {"same frequency twice", [](MultiFreqData* d) { d->freqs[2] = d->freqs[1]; }, MultiFreqProblem::kFrequencyOrder,
       2, -1},
      {"descending", [](MultiFreqData* d) { std::swap(d->freqs[0], d->freqs[1]); }, MultiFreqProblem::kFrequencyOrder,
       1, -1},
      {"zero Hz", [](MultiFreqData* d) { d->freqs[0] = 0.0f; }, MultiFreqProblem::kFrequencyOrder, 0, -1},
      {"NaN Hz", [](MultiFreqData* d) { d->freqs[1] = NAN; }, MultiFreqProblem::kFrequencyOrder, 1, -1},
      {"a point missing at one frequency", [](MultiFreqData* d) { d->values[1].pop_back(); },
       MultiFreqProblem::kPointCount, 1, -1},
      {"no dataset for the last frequency", [](MultiFreqData* d) { d->values.pop_back(); },
       MultiFreqProblem::kPointCount, 2, -1},
      {"a dataset without a frequency", [](MultiFreqData* d) { d->values.push_back(d->values[0]); },
       MultiFreqProblem::kPointCount, 3, -1},
      {"electrode beyond the table", [](MultiFreqData* d) { d->points[1].n = 6; }, MultiFreqProblem::kElectrodeNumber,
       -1, 1},
      {"remote A", [](MultiFreqData* d) { d->points[0].a = 0; }, MultiFreqProblem::kElectrodeNumber, -1, 0},
      {"remote M", [](MultiFreqData* d) { d->points[2].m = 0; }, MultiFreqProblem::kElectrodeNumber, -1, 2},
      {"negative B", [](MultiFreqData* d) { d->points[2].b = -1; }, MultiFreqProblem::kElectrodeNumber, -1, 2},
      {"k = 0", [](MultiFreqData* d) { d->points[1].k = 0.0f; }, MultiFreqProblem::kBadValue, -1, 1},
      {"R beyond float", [](MultiFreqData* d) { d->points[1].k = 1e-38f; }, MultiFreqProblem::kBadValue, 0, 1},
      {"NaN resistivity", [](MultiFreqData* d) { d->values[2][0].rho = NAN; }, MultiFreqProblem::kBadValue, 2, 0},
      {"infinite phase error", [](MultiFreqData* d) { d->values[1][2].phase_err = INFINITY; },
       MultiFreqProblem::kBadValue, 1, 2},
      {"NaN coordinate", [](MultiFreqData* d) { d->electrodes[3].z = NAN; }, MultiFreqProblem::kBadElectrode, -1, -1},
  };
  const std::string dir = FreshDir("refused");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MultiFreqData d = SmallSurvey();
    c.change(&d);
    const MultiFreqStatus st = MultiFreqValidate(d);
    EXPECT_EQ(st.problem, c.problem) << MultiFreqStatusText(st);
    EXPECT_EQ(st.freq, c.freq);
    EXPECT_EQ(st.point, c.point);
    EXPECT_FALSE(MultiFreqStatusText(st).empty());
    for (Format fmt : {FDIP, CRTOMO, PROTOCOL}) {
      EXPECT_EQ(Write(fmt, d, dir + "/r").problem, c.problem) << FormatName(fmt);
      EXPECT_TRUE(ListDir(dir).empty()) << FormatName(fmt);
    }
  }
  EXPECT_EQ(MultiFreqValidate(SmallSurvey()).problem, MultiFreqProblem::kNone);
}

TEST(MultiFreq, NumberedNamesRefuseMoreThanTheyCanOrder) {
  MultiFreqData many = SmallSurvey();
  many.freqs.clear();
  for (int f = 0; f < 100; ++f) many.freqs.push_back(0.5f * float(f + 1));
  many.values.assign(100, many.values[0]);
  ASSERT_TRUE(MultiFreqValidate(many).ok());
  const std::string dir = FreshDir("many");
  EXPECT_EQ(MultiFreqWriteCrtomo(many, dir + "/m").problem, MultiFreqProblem::kTooManyFrequencies);
  EXPECT_EQ(MultiFreqWriteProtocol(many, dir + "/m").problem, MultiFreqProblem::kTooManyFrequencies);
  EXPECT_TRUE(ListDir(dir).empty());
  EXPECT_TRUE(MultiFreqWriteFdip(many, dir + "/m").ok()) << "FDIP has no numbered names";

  MultiFreqData wide = SmallSurvey();
  wide.electrodes.resize(10000);
  EXPECT_EQ(MultiFreqWriteCrtomo(wide, dir + "/w").problem, MultiFreqProblem::kTooManyElectrodes)
      << "A * 10000 + B holds electrode numbers below 10000";
  EXPECT_TRUE(MultiFreqWriteProtocol(wide, dir + "/w").ok());
}

TEST(MultiFreq, AFolderThatCannotBeWrittenLeavesNothing) {
  const std::string dir = FreshDir("unwritable");
  // A regular file where the output folder should be.
  ASSERT_EQ(std::system(("printf x > '" + dir + "/not_a_folder'").c_str()), 0);
  for (Format fmt : {FDIP, CRTOMO, PROTOCOL}) {
    SCOPED_TRACE(FormatName(fmt));
    const MultiFreqStatus st = Write(fmt, SmallSurvey(), dir + "/not_a_folder/s");
    EXPECT_EQ(st.problem, MultiFreqProblem::kWriteFailed);
    EXPECT_EQ(st.file.compare(0, dir.size() + 13, dir + "/not_a_folder"), 0) << st.file;
    EXPECT_NE(MultiFreqStatusText(st).find("Not a directory"), std::string::npos) << MultiFreqStatusText(st);
    EXPECT_EQ(ListDir(dir), std::vector<std::string>{"not_a_folder"});
  }
  if (::geteuid() == 0) return;  // root writes into read-only folders
  const std::string ro = FreshDir("read_only");
  ::chmod(ro.c_str(), 0555);
  for (Format fmt : {FDIP, CRTOMO, PROTOCOL}) {
    const MultiFreqStatus st = Write(fmt, SmallSurvey(), ro + "/s");
    EXPECT_EQ(st.problem, MultiFreqProblem::kWriteFailed) << FormatName(fmt);
    EXPECT_NE(st.reason.find("Permission denied"), std::string::npos) << st.reason;
    EXPECT_TRUE(ListDir(ro).empty()) << FormatName(fmt);
  }
  ::chmod(ro.c_str(), 0755);
}

// A write that fails on its third file (a full disk): the two before it and
// the files of an earlier run stay as they were, and no temporary is left.
TEST(MultiFreq, AFailedWriteInTheMiddleLeavesNoFileOfTheRun) {
  const struct {
    Format format;
    const char* full;                 // the file that meets the full disk
    std::vector<std::string> before;  // what the folder holds before (and must hold after)
  } cases[] = {
      {FDIP, "s.phia", {"s.phia", "s.shm"}},
      {CRTOMO, "s_crtomo/errors_01_0.125Hz.dat", {"s_crtomo"}},
      {PROTOCOL, "s_protocol_electrodes.csv", {"s_protocol_electrodes.csv"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(FormatName(c.format));
    const std::string dir = FreshDir(std::string("full_") + FormatName(c.format));
    ASSERT_EQ(std::system(("mkdir -p \"$(dirname '" + dir + "/" + c.full + "')\"").c_str()), 0);
    ASSERT_EQ(::symlink("/dev/full", (dir + "/" + c.full).c_str()), 0);
    if (c.format == FDIP) {
      ASSERT_EQ(std::system(("printf old > '" + dir + "/s.shm'").c_str()), 0);
    }
    const MultiFreqStatus st = Write(c.format, SmallSurvey(), dir + "/s");
    EXPECT_EQ(st.problem, MultiFreqProblem::kWriteFailed);
    EXPECT_EQ(st.file, dir + "/" + c.full);
    EXPECT_NE(st.reason.find("No space left on device"), std::string::npos) << st.reason;
    EXPECT_EQ(ListDir(dir), c.before);
    if (c.format == FDIP) {
      EXPECT_EQ(Slurp(dir + "/s.shm"), "old");
    }
    if (c.format == CRTOMO) {
      EXPECT_EQ(ListDir(dir + "/s_crtomo"), std::vector<std::string>{"errors_01_0.125Hz.dat"});
    }
  }
}

TEST(MultiFreq, ARunReplacesTheNumberedFilesOfAnEarlierRun) {
  const std::string dir = FreshDir("rerun");
  MultiFreqData d = SmallSurvey();
  ASSERT_TRUE(MultiFreqWriteCrtomo(d, dir + "/s").ok());
  ASSERT_TRUE(MultiFreqWriteProtocol(d, dir + "/s").ok());
  ASSERT_EQ(std::system(("printf keep > '" + dir + "/s_crtomo/notes.txt'").c_str()), 0);
  d.freqs = {2.0f, 4.0f};
  d.values.resize(2);
  ASSERT_TRUE(MultiFreqWriteCrtomo(d, dir + "/s").ok());
  ASSERT_TRUE(MultiFreqWriteProtocol(d, dir + "/s").ok());
  EXPECT_EQ(ListDir(dir + "/s_crtomo"),
            (std::vector<std::string>{"electrodes.dat", "errors_01_2Hz.dat", "errors_02_4Hz.dat", "frequencies.dat",
                                      "notes.txt", "volt_01_2Hz.crt", "volt_02_4Hz.crt"}));
  EXPECT_EQ(ListDir(dir + "/s_protocol"), (std::vector<std::string>{"protocol_01_2Hz.dat", "protocol_02_4Hz.dat"}));
  ExpectSame(ReadProtocol(dir + "/s"), Expected(d, PROTOCOL), PROTOCOL);
}

TEST(MultiFreq, NumbersAndNamesCarryADotWhateverTheLocale) {
  const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"};
  const char* set = nullptr;
  for (const char* n : names)
    if ((set = std::setlocale(LC_NUMERIC, n))) break;
  if (!set) GTEST_SKIP() << "no locale with a decimal comma installed";
  const std::string dir = FreshDir("locale");
  const bool ok = MultiFreqWriteFdip(SmallSurvey(), dir + "/small").ok() &&
                  MultiFreqWriteCrtomo(SmallSurvey(), dir + "/small").ok() &&
                  MultiFreqWriteProtocol(SmallSurvey(), dir + "/small").ok();
  std::setlocale(LC_NUMERIC, "C");
  ASSERT_TRUE(ok);
  for (const char* f : {"small.phia", "small_crtomo/volt_01_0.125Hz.crt", "small_protocol/protocol_01_0.125Hz.dat",
                        "small_protocol_electrodes.csv"})
    EXPECT_TRUE(Slurp(dir + "/" + f) == Slurp(kGolden + "/" + f)) << f;
}
