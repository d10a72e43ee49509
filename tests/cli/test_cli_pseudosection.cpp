// varnex-cli pseudosection: the CSV holds the values of the section and plane
// tables of the same run, every point with "passed" as the limits decide,
// and a run that cannot be made says why.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "cli_run.h"

namespace {

const std::string kCli = CLI_EXE;
const std::string kData = std::string(TEST_DATA_DIR) + "/export";

std::string FreshDir(const std::string& name) {
  const std::string dir = testing::TempDir() + "varnex_cli_pseudo_" + name;
  EXPECT_EQ(run_cmd("rm -rf " + quoted(dir) + " && mkdir -p " + quoted(dir)).code, 0);
  return dir;
}

RunResult Cli(const std::string& args) { return run_cmd("cd " + quoted(kData) + " && " + quoted(kCli) + " " + args); }

std::vector<std::string> Split(const std::string& line, char sep) {
  std::vector<std::string> out;
  std::stringstream ss(line);
  std::string c;
  if (sep == ' ') {
    while (ss >> c) out.push_back(c);
  } else {
    while (std::getline(ss, c, sep)) out.push_back(c);
  }
  return out;
}

// Rows after the header line.
std::vector<std::vector<std::string>> Rows(const std::string& path, char sep, std::string* header = nullptr) {
  std::stringstream ss(cli_slurp(path));
  std::string line;
  std::getline(ss, line);
  if (header) *header = line;
  std::vector<std::vector<std::string>> rows;
  while (std::getline(ss, line)) rows.push_back(Split(line, sep));
  return rows;
}

enum CsvCol { X, Y, DEPTH, VALUE, ERROR, PASSED, FILE_, STATION, CHANNEL };

const std::string kP4 = "in/pole4/L101_01.SRS in/pole4/L101_02.SRS";

struct QuantityCase {
  const char* name;
  int value_col, error_col;  // quantity blocks of the tables (R, Err%, PH, ... ), see the header
};
const QuantityCase kQuantities[] = {{"app", 0, 2}, {"phase", 3, 4}, {"cp", 5, 6}, {"fs", 7, 8}};

double TableCol(const std::vector<std::string>& row, int q, int h, int harm) {
  return std::stod(row.at(size_t(5 + q * harm + h)));
}

// Frequency points of a table: its "R<h>(Ω·m)" columns.
int HarmonicsOf(const std::string& table) {
  std::string header;
  Rows(table, ' ', &header);
  int n = 0;
  for (const std::string& t : Split(header, ' ')) n += t.size() > 1 && t[0] == 'R' && t.find("(Ω·m)") != std::string::npos;
  return n;
}

// The passing CSV rows, in order, are the table's rows, value for value, for
// every quantity and frequency point.
void ExpectCsvIsTable(const std::string& table, const std::string& args, const std::string& out, bool plane,
                      int* failing) {
  const auto trows = Rows(table, ' ');
  const int harm = HarmonicsOf(table);
  ASSERT_GE(harm, 2);
  for (const QuantityCase& qc : kQuantities)
    for (int h = 0; h < harm; ++h) {
      const std::string csv = out + "/" + qc.name + std::to_string(h + 1) + ".csv";
      const RunResult r =
          Cli("pseudosection " + args + " --quantity " + qc.name + " --freq " + std::to_string(h + 1) + " --out " + quoted(csv));
      ASSERT_EQ(r.code, 0) << r.err;
      EXPECT_EQ(r.out, "");
      std::string header;
      const auto crows = Rows(csv, ',', &header);
      EXPECT_EQ(header, "x_m,y_m,depth_m,value,error,passed,file,station,channel");
      size_t t = 0;
      *failing = 0;
      for (const auto& c : crows) {
        ASSERT_EQ(c.size(), 9u);
        if (c[PASSED] == "0") {
          ++*failing;
          continue;
        }
        ASSERT_EQ(c[PASSED], "1");
        ASSERT_LT(t, trows.size());
        const auto& row = trows[t++];
        if (plane) {
          EXPECT_EQ(c[X], row[3]);
          EXPECT_EQ(c[Y], row[4]);
        } else {
          EXPECT_EQ(std::stod(c[X]), std::stod(row[0]));
          EXPECT_EQ(-std::stod(c[DEPTH]), std::stod(row[1]));
          EXPECT_EQ(std::stod(c[Y]), std::stod(row[4]));
        }
        EXPECT_EQ(std::stod(c[VALUE]), TableCol(row, qc.value_col, h, harm)) << qc.name << h;
        EXPECT_EQ(std::stod(c[ERROR]), TableCol(row, qc.error_col, h, harm)) << qc.name << h;
        EXPECT_NE(c[FILE_].find(".SRS"), std::string::npos);
        EXPECT_GE(std::stoi(c[CHANNEL]), 1);
      }
      EXPECT_EQ(t, trows.size()) << qc.name << h;
    }
}

TEST(CliPseudoSection, SectionValuesAreTheSectionTableAndOneRowFailsTheCpError) {
  const std::string out = FreshDir("sect");
  const std::string plain = out + "/plain.csv";
  ASSERT_EQ(Cli("pseudosection " + kP4 + " --quantity cp --out " + quoted(plain)).code, 0);
  // The CP error limit is on the mean error over the frequency points: put
  // it between the largest and the second largest row.
  const int harm = 3;
  std::vector<double> mean;
  for (int h = 1; h <= harm; ++h) {
    const std::string csv = out + "/cp" + std::to_string(h) + "_all.csv";
    ASSERT_EQ(Cli("pseudosection " + kP4 + " --quantity cp --freq " + std::to_string(h) + " --out " + quoted(csv)).code, 0);
    const auto rows = Rows(csv, ',');
    mean.resize(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
      EXPECT_EQ(rows[i][PASSED], "1");
      mean[i] += std::stod(rows[i][ERROR]) / harm;
    }
  }
  ASSERT_GE(mean.size(), 3u);
  std::vector<double> sorted = mean;
  std::sort(sorted.begin(), sorted.end());
  char limit[32];
  std::snprintf(limit, sizeof(limit), "%.6f", (sorted[sorted.size() - 1] + sorted[sorted.size() - 2]) / 2.0);
  const std::string args = kP4 + " --elev in/pole4/elevation.txt --max-err-cp " + limit;
  ASSERT_EQ(Cli("export " + args + " --format section --out " + quoted(out + "/t")).code, 0);
  int failing = -1;
  ExpectCsvIsTable(out + "/t_sect.dat", args, out, false, &failing);
  EXPECT_EQ(failing, 1);
}

TEST(CliPseudoSection, PlaneValuesAreThePlaneTable) {
  const std::string out = FreshDir("plane");
  const std::string args = "in/mid/L101_01.SRS in/mid/L101_02.SRS --coords in/mid/site_coord.txt --max-err-app 0.08";
  ASSERT_EQ(Cli("export " + args + " --format plane --out " + quoted(out + "/t")).code, 0);
  int failing = -1;
  ExpectCsvIsTable(out + "/t_plane.dat", args, out, true, &failing);
  EXPECT_GT(failing, 0);
}

TEST(CliPseudoSection, GoldenCsv) {
  const std::string out = FreshDir("golden");
  const RunResult r = Cli("pseudosection " + kP4 + " --elev in/pole4/elevation.txt --depth pc2d5 --freq 2 --out " +
                          quoted(out + "/p.csv"));
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(cli_slurp(out + "/p.csv"), cli_slurp(std::string(TEST_DATA_DIR) + "/section/p4_pc2d5_f2.csv"));
}

TEST(CliPseudoSection, RunsThatStop) {
  const std::string out = FreshDir("stop");
  struct Case {
    const char* name;
    std::string args;
    const char* message;
  };
  const Case cases[] = {
      {"unreadable", "in/pole4/missing.SRS", "Failed to read in/pole4/missing.SRS!"},
      {"layout", kP4 + " in/mid/L101_01.SRS", "The 3 SRS data file device error!"},
      {"frequency", kP4 + " --freq 9", "--freq 9: the files have 3 frequency points"},
      {"elevation", kP4 + " --elev in/pole4/missing.txt", "Failed to import elevation!"},
  };
  for (const Case& c : cases) {
    const std::string csv = out + "/" + c.name + ".csv";
    const RunResult r = Cli("pseudosection " + c.args + " --out " + quoted(csv));
    EXPECT_EQ(r.code, 1) << c.name;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.name << ": " << r.err;
    EXPECT_EQ(cli_slurp(csv), "") << c.name;
  }
  EXPECT_EQ(Cli("pseudosection " + kP4 + " --quantity rho --out x.csv").code, 2);
}

}  // namespace
