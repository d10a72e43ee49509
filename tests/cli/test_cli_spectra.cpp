// varnex-cli spectra: golden CSV of the spectra and of the Cole-Cole fits,
// the spectra read back against the result dump, usage and read failures.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "cli_run.h"
#include "core/processing/cole_cole.h"

namespace {

const std::string kCli = CLI_EXE;
const std::string kData = std::string(TEST_DATA_DIR) + "/spectra";
const std::string kFiles = quoted(kData + "/L101_01.SRS") + " " + quoted(kData + "/L101_02.SRS");

std::vector<std::string> Split(const std::string& s, char sep) {
  std::vector<std::string> out;
  std::stringstream ss(s);
  std::string f;
  while (std::getline(ss, f, sep)) out.push_back(f);
  return out;
}

std::vector<std::string> Lines(const std::string& text) { return Split(text, '\n'); }

}  // namespace

TEST(CliSpectra, GoldenSpectraAndFits) {
  const struct {
    const char* args;
    const char* golden;
  } cases[] = {{"", "spectra.csv"}, {" --fit colecole", "spectra_fit.csv"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.golden);
    if (*c.args && !ColeColeFitAvailable()) continue;  // see WithoutTheFitTheOptionIsRefused
    const RunResult r = run_cmd(quoted(kCli) + " spectra " + kFiles + c.args);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(r.out == cli_slurp(kData + "/" + c.golden)) << r.out;
  }
}

// Every line of the spectra is the same point of the result dump, which
// prints the same values in its own formats.
TEST(CliSpectra, SpectraEqualTheResultDump) {
  const RunResult csv = run_cmd(quoted(kCli) + " spectra " + quoted(kData + "/L101_01.SRS"));
  const RunResult dump = run_cmd(quoted(kCli) + " dump --results " + quoted(kData + "/L101_01.SRS"));
  ASSERT_EQ(csv.code, 0);
  ASSERT_EQ(dump.code, 0);

  std::vector<std::vector<std::string>> rows;
  bool single = false;
  for (const std::string& line : Lines(dump.out)) {
    if (line == "result for signal frequency") {
      single = true;
      continue;
    }
    std::stringstream ss(line);
    std::vector<std::string> f;
    std::string w;
    while (ss >> w) f.push_back(w);
    if (single && f.size() == 17 && f[0] != "iFreq") rows.push_back(f);
  }
  const std::vector<std::string> lines = Lines(csv.out);
  ASSERT_EQ(lines[0], "file,device,channel,position_m,freq_hz,rho_ohmm,rho_err_pct,phase_mrad,phase_err_mrad");
  ASSERT_EQ(lines.size(), rows.size() + 1);
  ASSERT_EQ(rows.size(), 12u * 14u);
  for (size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(lines[i + 1]);
    const std::vector<std::string> c = Split(lines[i + 1], ',');
    const std::vector<std::string>& d = rows[i];
    ASSERT_EQ(c.size(), 9u);
    EXPECT_EQ(c[0], "L101_01");
    EXPECT_EQ(c[1] + "_" + c[2], d[12]);
    EXPECT_NEAR(std::stod(c[3]), std::stod(d[3]), 5e-4);
    EXPECT_NEAR(std::stod(c[4]), std::stod(d[1]), 5e-4 + 5e-6 * std::stod(d[1]));
    if (std::stod(d[4]) == 0.0) {
      // A dead channel: no relative error of a zero resistivity.
      EXPECT_EQ(c[5], "0");
      EXPECT_EQ(c[6], "nan");
    } else {
      EXPECT_NEAR(std::stod(c[5]) / std::stod(d[4]), 1.0, 6e-4);
      EXPECT_NEAR(std::stod(c[6]), std::stod(d[5]), 0.006 + 5e-4 * std::stod(d[5]));
    }
    // The dump folds the phase into half a circle; these phases are in it.
    EXPECT_NEAR(std::stod(c[7]), std::stod(d[6]), 0.051);
    EXPECT_NEAR(std::stod(c[8]), std::stod(d[7]), 0.051);
  }
}

TEST(CliSpectra, FitColumnsEmptyUnlessOk) {
  if (!ColeColeFitAvailable()) GTEST_SKIP() << "this build has no Cole-Cole fit (no GSL)";
  const RunResult r = run_cmd(quoted(kCli) + " spectra --fit colecole " + kFiles);
  ASSERT_EQ(r.code, 0);
  int ok = 0, other = 0;
  for (const std::string& line : Lines(r.out)) {
    const std::vector<std::string> f = Split(line, ',');
    ASSERT_EQ(f.size(), 10u) << line;
    if (f[9] == "status") continue;
    bool empty = true;
    for (int k = 4; k < 9; ++k) empty = empty && f[size_t(k)].empty();
    if (f[9] == "ok") {
      ++ok;
      EXPECT_FALSE(empty) << line;
    } else {
      ++other;
      EXPECT_TRUE(empty) << line;
      EXPECT_TRUE(f[9] == "failed" || f[9] == "too-few-points") << line;
    }
  }
  // The dead channel fails; the two-point file has too few points.
  EXPECT_EQ(ok, 11);
  EXPECT_EQ(other, 13);
}

TEST(CliSpectra, UsageAndReadFailures) {
  RunResult r = run_cmd(quoted(kCli) + " spectra --fit debye " + kFiles);
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("Usage: varnex-cli spectra"), std::string::npos) << r.err;

  if (!ColeColeFitAvailable()) return;
  // The readable file is still written; the other one is named on stderr.
  const std::string missing = ::testing::TempDir() + "varnex_no_such.SRS";
  r = run_cmd(quoted(kCli) + " spectra --fit colecole " + quoted(missing) + " " + quoted(kData + "/L101_01.SRS"));
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(Lines(r.out).size(), 13u);
  EXPECT_NE(r.err.find(missing), std::string::npos) << r.err;
}

TEST(CliSpectra, WithoutTheFitTheOptionIsRefused) {
  if (ColeColeFitAvailable()) GTEST_SKIP() << "this build has the Cole-Cole fit";
  const RunResult r = run_cmd(quoted(kCli) + " spectra --fit colecole " + kFiles);
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "varnex-cli: this build has no Cole-Cole fit (it is built without GSL)\n");
}
