// Damaged SRS files and side tables through every export format. The input
// is a selector byte, a 2-byte little-endian length t, t bytes of side
// table, and the SRS file. The selector's low four bits pick the export (the
// eight formats of varnex-cli export, then the pass-rate table), bits 4-5
// the side table the t bytes stand for (none, elevation, site coordinates,
// electrode shifts), bit 6 a second copy of the file in the run, bit 7 the
// frequency effect instead of the relative phase.
//
// Any input must run through or stop with a message; every file written
// lies under the output base, is complete (no temporary left), and stays
// within a bound of the input's size.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/export/export_job.h"
#include "fuzz_common.h"

namespace {

std::string ScratchDir() {
  static const std::string dir = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string d = std::string(tmp && *tmp ? tmp : "/tmp") + "/varnex_fuzz_export_" + std::to_string(long(getpid()));
    ::mkdir(d.c_str(), 0700);
    return d;
  }();
  return dir;
}

void Spill(const std::string& path, const char* data, size_t n) {
  FILE* fp = std::fopen(path.c_str(), "wb");
  if (!fp) std::abort();
  if (n && std::fwrite(data, 1, n, fp) != n) std::abort();
  std::fclose(fp);
}

// Empties dir; returns the total size of what was in it and aborts on a
// temporary of the atomic writer left behind.
size_t Sweep(const std::string& dir, const std::vector<std::string>& keep) {
  size_t total = 0;
  DIR* d = ::opendir(dir.c_str());
  if (!d) std::abort();
  while (dirent* e = ::readdir(d)) {
    const std::string f = e->d_name;
    if (f == "." || f == "..") continue;
    bool kept = false;
    for (const std::string& k : keep) kept |= k == f;
    if (kept) continue;
    if (f.size() > 6 && f.compare(f.size() - 6, 6, ".vxtmp") == 0) std::abort();
    const std::string path = dir + "/" + f;
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) total += size_t(st.st_size);
    ::unlink(path.c_str());
  }
  ::closedir(d);
  return total;
}

void Configure(ExportOptions* o, int format) {
  // res2dinv, zond2d, res3dinv, ohm, section, section3d, plane, checkerr
  static const ExportFormat kFormats[] = {ExportFormat::Res2dinv, ExportFormat::Zond2d,  ExportFormat::Res3dinv,
                                          ExportFormat::Ohm,      ExportFormat::Section, ExportFormat::Section3d,
                                          ExportFormat::Plane,    ExportFormat::CheckErr};
  o->format = kFormats[format];
  o->combine = o->layout != SIP_ALL_GRADIENT;
  o->x_shift_on = format == 0;
  o->x_shift = 12.5f;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const int pick = data[0] & 0x0F;
  const int table = (data[0] >> 4) & 3;
  const bool twice = (data[0] & 0x40) != 0;
  const bool fs = (data[0] & 0x80) != 0;
  const size_t t = size_t(data[1]) | (size_t(data[2]) << 8);
  if (t > size - 3 || pick > 8) return 0;
  const char* table_bytes = reinterpret_cast<const char*>(data + 3);
  const char* srs_bytes = table_bytes + t;
  const size_t srs_size = size - 3 - t;

  const std::string dir = ScratchDir();
  const std::string in_dir = dir + "/in";
  const std::string out_dir = dir + "/out";
  ::mkdir(in_dir.c_str(), 0700);
  ::mkdir(out_dir.c_str(), 0700);
  const std::string a = in_dir + "/L101_01.SRS", b = in_dir + "/L101_02.SRS";
  Spill(a, srs_bytes, srs_size);
  if (twice) Spill(b, srs_bytes, srs_size);

  CFormatTxtElev elev;
  CFormatTxtSiteCoord coords;
  CFormatTxtShifting shifts;
  if (table) {
    std::istringstream in(std::string(table_bytes, t));
    CFormatTxt* tables[3] = {&elev, &coords, &shifts};
    tables[table - 1]->ReadFile(in);
  }

  ExportOptions s;
  s.paths = twice ? std::vector<std::string>{a, b} : std::vector<std::string>{a};
  s.path_base = out_dir + "/base";
  s.layout = ExportFirstLayout(s.paths);
  s.stop_on_unreadable = true;
  s.ip = fs ? IpQuantity::FrequencyEffect : IpQuantity::RelativePhase;
  s.elev = &elev;
  s.site_coord = &coords;
  s.shifting = &shifts;
  ExportRun run;
  if (pick == 8) {
    run = RunPassRate(s, nullptr);
  } else {
    Configure(&s, pick);
    run = RunExport(s, nullptr);
  }
  if (!run.completed && run.messages.empty()) std::abort();
  for (const std::string& w : run.written)
    if (w.compare(0, out_dir.size() + 1, out_dir + "/") != 0) std::abort();
  const size_t written = Sweep(out_dir, {});
  if (written > FuzzDumpLimit(size) * 4) std::abort();
  Sweep(in_dir, {});
  return 0;
}
