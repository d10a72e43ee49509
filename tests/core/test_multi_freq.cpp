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

#include "../windows_skip.h"
#include "core/export/multi_freq.h"
#include "multi_freq_readers.h"
#include "test_files.h"

namespace {

const std::string kGolden = std::string(TEST_DATA_DIR) + "/export/multi_freq";

std::string FreshDir(const std::string& name) {
  const std::string dir = testing::TempDir() + "varnex_multi_freq_" + name;
  EXPECT_EQ(std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "'").c_str()), 0);
  return dir;
}

using namespace multi_freq_test;

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
#ifdef _WIN32
    const char* const kNotAFolder = "No such file or directory";  // Windows names no other reason
#else
    const char* const kNotAFolder = "Not a directory";
#endif
    EXPECT_NE(MultiFreqStatusText(st).find(kNotAFolder), std::string::npos) << MultiFreqStatusText(st);
    EXPECT_EQ(ListDir(dir), std::vector<std::string>{"not_a_folder"});
  }
#ifdef _WIN32
  return;  // folders have no POSIX permission bits there
#endif
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
  SKIP_ON_WINDOWS("no /dev/full, and symbolic links need rights ordinary users lack");
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
