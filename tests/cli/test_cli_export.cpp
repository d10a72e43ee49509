// varnex-cli export and passrate: golden files byte for byte, the paths on
// standard output, the messages and exit codes of runs that stop.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli_run.h"

namespace {

const std::string kCli = CLI_EXE;
const std::string kGen = GEN_SURVEY_EXE;
const std::string kData = std::string(TEST_DATA_DIR) + "/export";

std::string FreshDir(const std::string& name) {
  const std::string dir = testing::TempDir() + "varnex_cli_export_" + name;
  EXPECT_EQ(run_cmd("rm -rf " + quoted(dir) + " && mkdir -p " + quoted(dir)).code, 0);
  return dir;
}

// Runs the CLI from the fixture folder, so that the relative input paths
// are those the goldens were made with.
RunResult Cli(const std::string& args) { return run_cmd("cd " + quoted(kData) + " && " + quoted(kCli) + " " + args); }

bool Exists(const std::string& path) {
  FILE* fp = std::fopen(path.c_str(), "rb");
  if (fp) std::fclose(fp);
  return fp != nullptr;
}

std::string Lines(const std::vector<std::string>& v) {
  std::string s;
  for (const std::string& x : v) s += x + "\n";
  return s;
}

const std::string kP4 = "in/pole4/L101_01.SRS in/pole4/L101_02.SRS";

struct GoldenCase {
  const char* name;
  std::string args;  // without --out
  std::vector<std::string> suffixes;
};

std::vector<std::string> Harm3(const char* pattern) {
  std::vector<std::string> v;
  for (int h = 1; h <= 3; ++h) {
    char buf[64];
    std::snprintf(buf, sizeof(buf), pattern, h);
    v.push_back(buf);
  }
  return v;
}

TEST(CliExport, GoldenFilesByteForByte) {
  const std::vector<GoldenCase> cases = {
      {"p4comb", "export " + kP4 + " --format res2dinv", Harm3("_Res2dinv_F%d.dat")},
      {"p4plain", "export " + kP4 + " --format res2dinv --no-combine --x-shift 5 --elev in/pole4/elevation.txt",
       Harm3("_Res2dinv_F%d.dat")},
      {"p4zond", "export " + kP4 + " --format zond2d --elev in/pole4/elevation.txt", {"_Zond2d.dat"}},
      {"p4sect", "export " + kP4 + " --format section --elev in/pole4/elevation.txt", {"_sect.dat"}},
      {"p4sect3d4", "export " + kP4 + " --format section3d --poles 4", {"_sect.dat"}},
      {"p4sect3d3", "export " + kP4 + " --format section3d --poles 3", {"_sect.dat"}},
      {"p4fs", "export " + kP4 + " --format res2dinv --no-combine --ip fs --resistance", Harm3("_Res2dinv_F%d.dat")},
      {"p3plain", "export in/pole3/L101_01.SRS in/pole3/L101_02.SRS --format res2dinv --no-combine --ip phase",
       Harm3("_Res2dinv_F%d.dat")},
      {"free3d",
       "export in/free/L101_01.SRS in/free/L101_02.SRS --format res3dinv --shifts in/free/shift_groups.csv "
       "--elev in/free/elevation.txt",
       Harm3("_Res3dinv_F%d.dat")},
      {"midplane", "export in/mid/L101_01.SRS in/mid/L101_02.SRS --format plane --coords in/mid/site_coord.txt",
       {"_plane.dat"}},
      {"check",
       "export in/check/L101_01.SRS in/check/L101_01R.SRS --format checkerr --coords in/pole4/site_coord.txt",
       Harm3("_Err_F%d.dat")},
      {"pass", "passrate " + kP4 + " in/check/L101_01.SRS in/check/L101_01R.SRS", {"_passRate.txt"}},
      {"p4fdip", "export " + kP4 + " --format fdip --elev in/pole4/elevation.txt",
       {".shm", ".rhoa", ".phia", ".rhoaE", ".phiaE"}},
      {"p3crtomo", "export in/pole3/L101_01.SRS in/pole3/L101_02.SRS --format crtomo --no-combine",
       {"_crtomo/frequencies.dat", "_crtomo/volt_01_0.25Hz.crt", "_crtomo/errors_01_0.25Hz.dat",
        "_crtomo/volt_02_0.75Hz.crt", "_crtomo/errors_02_0.75Hz.dat", "_crtomo/volt_03_1.25Hz.crt",
        "_crtomo/errors_03_1.25Hz.dat", "_crtomo/electrodes.dat"}},
      {"p3protocol", "export in/pole3/L101_01.SRS in/pole3/L101_02.SRS --format protocol --no-combine",
       {"_protocol/protocol_01_0.25Hz.dat", "_protocol/protocol_02_0.75Hz.dat", "_protocol/protocol_03_1.25Hz.dat",
        "_protocol_electrodes.csv"}},
      {"free3dprotocol",
       "export in/free/L101_01.SRS in/free/L101_02.SRS --format protocol --shifts in/free/shift_groups.csv "
       "--elev in/free/elevation.txt",
       {"_protocol/protocol_01_0.25Hz.dat", "_protocol/protocol_02_0.75Hz.dat", "_protocol/protocol_03_1.25Hz.dat",
        "_protocol_electrodes.csv"}},
  };
  const std::string out = FreshDir("golden");
  for (const GoldenCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string base = out + "/" + c.name;
    const RunResult r = Cli(c.args + " --out " + quoted(base));
    EXPECT_EQ(r.code, 0) << r.err;
    std::vector<std::string> expected_out;
    for (const std::string& suffix : c.suffixes) {
      expected_out.push_back(base + suffix);
      const std::string got = cli_slurp(base + suffix);
      const std::string want = cli_slurp(kData + "/golden/" + c.name + suffix);
      ASSERT_FALSE(want.empty()) << c.name << suffix;
      EXPECT_TRUE(got == want) << base + suffix << " differs from the golden file";
    }
    EXPECT_EQ(r.out, Lines(expected_out));
  }
}

TEST(CliExport, GoldenHeadersShowTheDocumentedLines) {
  const std::string f1 = cli_slurp(kData + "/golden/p4fs_Res2dinv_F1.dat");
  const std::string f3 = cli_slurp(kData + "/golden/p4fs_Res2dinv_F3.dat");
  EXPECT_NE(f1.find("Percent Frequency Effect\n0.01 FE\n0.25,0.75\n"), std::string::npos);
  // The last harmonic pairs the first frequency with its own.
  EXPECT_NE(f3.find("Percent Frequency Effect\n0.01 FE\n0.25,1.25\n"), std::string::npos);
  EXPECT_NE(f1.find("Error estimate for data present(Limit: AppErr=100.00%, CpErr=3141.59mard, "
                    "Amp=0.00~2500.00, App=0~1e+06, Cp=-3141.59~3141.59)\n"),
            std::string::npos);
  const std::string free3d = cli_slurp(kData + "/golden/free3d_Res3dinv_F2.dat");
  EXPECT_NE(free3d.find("\n\nTopography\n1\nTopography in unstructured list\nNumber of topography data points\n"),
            std::string::npos);
}

TEST(CliExport, LayoutMismatchStopsWithItsIndexAndFile) {
  const std::string out = FreshDir("mismatch");
  const RunResult r = Cli("export " + kP4 + " in/pole3/L101_01.SRS --format res2dinv --out " + quoted(out + "/T"));
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("The 3 SRS data file device error!\nin/pole3/L101_01.SRS\n"), std::string::npos) << r.err;
  EXPECT_FALSE(Exists(out + "/T_Res2dinv_F1.dat"));
  // The pass-rate table keeps the lines before the mismatch, with their
  // summary.
  const RunResult p = Cli("passrate " + kP4 + " in/pole3/L101_01.SRS in/check/L101_01.SRS --out " + quoted(out + "/P"));
  EXPECT_EQ(p.code, 1);
  EXPECT_EQ(p.out, out + "/P_passRate.txt\n");
  EXPECT_NE(p.err.find("The 3 SRS data file device error!\nin/pole3/L101_01.SRS\n"), std::string::npos) << p.err;
  const std::string want = cli_slurp(kData + "/golden/passstop_passRate.txt");
  ASSERT_FALSE(want.empty());
  EXPECT_TRUE(cli_slurp(out + "/P_passRate.txt") == want);
}

TEST(CliExport, UnreadableFileAndUncreatableOutputStop) {
  const std::string out = FreshDir("stops");
  {
    FILE* fp = std::fopen((out + "/broken.SRS").c_str(), "wb");
    ASSERT_TRUE(fp);
    std::fputs("not an SRS file", fp);
    std::fclose(fp);
  }
  RunResult r = Cli("export " + kP4 + " " + quoted(out + "/broken.SRS") + " --format res2dinv --out " +
                    quoted(out + "/T"));
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("Failed to read " + out + "/broken.SRS!"), std::string::npos) << r.err;
  EXPECT_FALSE(Exists(out + "/T_Res2dinv_F1.dat"));

  r = Cli("export " + kP4 + " --format res2dinv --out " + quoted(out + "/no/such/dir/T"));
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("Cannot create " + out + "/no/such/dir/T_Res2dinv_F1.dat: "), std::string::npos) << r.err;

  r = Cli("passrate " + kP4 + " --out " + quoted(out + "/no/such/dir/P"));
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("Cannot create " + out + "/no/such/dir/P_passRate.txt: "), std::string::npos) << r.err;

  // A folder that takes no files: the file and the reason, no completion.
  for (const char* verb : {"export --format section", "passrate"}) {
    r = Cli(std::string(verb) + " " + kP4 + " --out /proc/T");
    EXPECT_EQ(r.code, 1) << verb;
    EXPECT_EQ(r.out, "") << verb;
    EXPECT_NE(r.err.find("Cannot create /proc/T_"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("completed"), std::string::npos) << r.err;
  }

  r = Cli("export " + kP4 + " --format zond2d --ip fs --out " + quoted(out + "/Z"));
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("Zondres2d files cannot carry the frequency effect!"), std::string::npos) << r.err;

  r = Cli("export " + kP4 + " --format res2dinv --elev " + quoted(out + "/broken.SRS") + " --out " +
          quoted(out + "/E"));
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("Failed to import elevation!"), std::string::npos) << r.err;
}

TEST(CliExport, MultiFrequencyRunOfMixedFrequencyPointsWritesNothing) {
  const std::string dir = FreshDir("mixed");
  // The double-frequency wave has as many frequency points as the square
  // wave, at other frequencies.
  ASSERT_EQ(run_cmd(quoted(kGen) + " " + quoted(dir + "/d") +
                    " --seed 5 --files 1 --devices 2 --cals 3 --wave double --layout pole4 --no-smt")
                .code,
            0);
  for (const char* format : {"fdip", "crtomo", "protocol"}) {
    SCOPED_TRACE(format);
    const RunResult r = Cli("export " + kP4 + " " + quoted(dir + "/d/L101_01.SRS") + " --format " + format +
                            " --no-combine --out " + quoted(dir + "/T"));
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("holds files with other frequency points than the first file; nothing was exported!"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(run_cmd("ls -A " + quoted(dir) + " | grep -v '^d$'").out, "");
  }
}

TEST(CliExport, ErrorEditsReachTheLimitLineAndTheRows) {
  const std::string out = FreshDir("limits");
  const RunResult r =
      Cli("export " + kP4 + " --format res2dinv --no-combine --max-err-app 0.1 --max-err-cp 2 --out " +
          quoted(out + "/T"));
  ASSERT_EQ(r.code, 0) << r.err;
  const std::string f = cli_slurp(out + "/T_Res2dinv_F1.dat");
  EXPECT_NE(f.find("(Limit: AppErr=0.10%, CpErr=2.00mard,"), std::string::npos);
  const std::string all = cli_slurp(kData + "/golden/p4plain_Res2dinv_F1.dat");
  // Stricter limits keep fewer rows.
  EXPECT_LT(f.size(), all.size());
}

TEST(CliExport, MissingTimeSeriesAreListedOnStderrAndTheRunCompletes) {
  const std::string dir = FreshDir("smt");
  ASSERT_EQ(run_cmd(quoted(kGen) + " " + quoted(dir + "/s") + " --seed 4 --files 2 --devices 2 --cals 3 --wave square "
                                                               "--layout pole4")
                .code,
            0);
  const std::string gone = dir + "/s/smt/ST01/L101_02.smt";
  ASSERT_EQ(std::remove(gone.c_str()), 0);
  const RunResult r = run_cmd(quoted(kCli) + " export " + quoted(dir + "/s/L101_01.SRS") + " " +
                              quoted(dir + "/s/L101_02.SRS") + " --format res2dinv --from-smt " +
                              quoted(dir + "/s/smt") + " --out " + quoted(dir + "/T"));
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, Lines({dir + "/T_Res2dinv_F1.dat", dir + "/T_Res2dinv_F2.dat", dir + "/T_Res2dinv_F3.dat"}));
  EXPECT_EQ(r.err, "varnex-cli: The following 1 files are misssing or have no data:\n" + gone + "\n");
}

}  // namespace
