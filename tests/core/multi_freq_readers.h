// Independent readers of the multi-frequency formats (as FDIP, CRTomo/REDA
// and ResIPy read them) and the comparison of what they read with the
// dataset written, shared by the format tests and the export-run tests.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <dirent.h>
#include <string>
#include <vector>

#include "core/export/multi_freq.h"
#include "test_files.h"

namespace multi_freq_test {

inline std::vector<std::string> ListDir(const std::string& dir) {
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
inline std::vector<std::string> Lines(const std::string& path) {
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
inline std::vector<std::string> Split(const std::string& line, char sep) {
  std::vector<std::string> out(1);
  for (char c : line) {
    if (c == sep)
      out.emplace_back();
    else
      out.back() += c;
  }
  return out;
}

inline double Real(const std::string& tok) {
  char* end = nullptr;
  const double v = std::strtod(tok.c_str(), &end);
  EXPECT_TRUE(!tok.empty() && *end == '\0') << "not a number: '" << tok << "'";
  return v;
}

inline int Whole(const std::string& tok) {
  char* end = nullptr;
  const long v = std::strtol(tok.c_str(), &end, 10);
  EXPECT_TRUE(!tok.empty() && *end == '\0') << "not an integer: '" << tok << "'";
  return int(v);
}

inline std::vector<double> Reals(const std::string& line, char sep) {
  std::vector<double> out;
  for (const std::string& t : Split(line, sep)) out.push_back(Real(t));
  return out;
}

enum Format { FDIP, CRTOMO, PROTOCOL };

inline MultiFreqStatus Write(Format f, const MultiFreqData& d, const std::string& base,
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

inline const char* FormatName(Format f) { return f == FDIP ? "fdip" : f == CRTOMO ? "crtomo" : "protocol"; }

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
inline Table Expected(const MultiFreqData& d, Format fmt) {
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

inline Table ReadFdip(const std::string& base) {
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
inline double FreqOfName(const std::string& name, const std::string& prefix, int want_nn) {
  EXPECT_EQ(name.compare(0, prefix.size(), prefix), 0) << name;
  EXPECT_EQ(Whole(name.substr(prefix.size(), 2)), want_nn) << name;
  const size_t from = prefix.size() + 3, hz = name.rfind("Hz");
  return Real(name.substr(from, hz - from));
}

inline Table ReadCrtomo(const std::string& base) {
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

inline Table ReadProtocol(const std::string& base) {
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

inline Table Read(Format f, const std::string& base) {
  return f == FDIP ? ReadFdip(base) : f == CRTOMO ? ReadCrtomo(base) : ReadProtocol(base);
}

// The same float: the files keep every digit of the data. ResIPy's
// frequencies exist only in the file names ("%.6g").
inline void ExpectSameFloat(double got, double want, const std::string& what, double rel = 0.0) {
  if (rel > 0.0)
    EXPECT_NEAR(got, want, rel * std::fabs(want)) << what;
  else
    EXPECT_EQ(float(got), float(want)) << what << ": " << got << " vs " << want;
}

// rel > 0: values, k and electrodes within rel of the wanted ones (a
// reference file that rounds them).
inline void ExpectSame(const Table& got, const Table& want, Format fmt, double rel = 0.0) {
  ASSERT_EQ(got.freqs.size(), want.freqs.size());
  for (size_t f = 0; f < want.freqs.size(); ++f)
    ExpectSameFloat(got.freqs[f], want.freqs[f], "frequency", fmt == PROTOCOL ? std::max(5e-6, rel) : rel);
  ASSERT_EQ(got.electrodes.size(), want.electrodes.size());
  for (size_t e = 0; e < want.electrodes.size(); ++e)
    for (int c = 0; c < 3; ++c)
      ExpectSameFloat(got.electrodes[e][size_t(c)], want.electrodes[e][size_t(c)],
                      "electrode " + std::to_string(e + 1) + " coordinate " + "xyz"[c], rel);
  ASSERT_EQ(got.points, want.points);
  ASSERT_EQ(got.k.size(), want.k.size());
  for (size_t p = 0; p < want.k.size(); ++p) ExpectSameFloat(got.k[p], want.k[p], "k", rel);
  ASSERT_EQ(got.v.size(), want.v.size());
  const char* col[4] = {"resistivity or resistance", "phase", "resistivity error", "phase error"};
  for (size_t f = 0; f < want.v.size(); ++f) {
    ASSERT_EQ(got.v[f].size(), want.v[f].size()) << "frequency " << f + 1;
    for (size_t p = 0; p < want.v[f].size(); ++p)
      for (size_t c = 0; c < 4; ++c)
        ExpectSameFloat(
            got.v[f][p][c], want.v[f][p][c],
            std::string(col[c]) + ", frequency " + std::to_string(f + 1) + ", point " + std::to_string(p + 1), rel);
  }
}

}  // namespace multi_freq_test
