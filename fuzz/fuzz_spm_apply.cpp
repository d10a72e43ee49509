// An SPM file applied to an SRS file and saved, as "params apply" does. The
// input is one selector byte (bit 0: line-only import), a 4-byte little-
// endian length n, n bytes of SRS file, and the SPM file. Whatever the SPM
// holds, an apply either refuses with a reason, leaving the SRS records as
// they were, or gives a file that reads back, is a fixed point of reading
// and writing, and takes its own exported parameters again.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/processing/param_rescale.h"
#include "core/processing/spm.h"
#include "core/sip/format_srs.h"
#include "fuzz_common.h"

namespace {

template <typename Fn>
std::string Written(Fn write) {
  char* buf = nullptr;
  size_t len = 0;
  FILE* fp = open_memstream(&buf, &len);
  if (!fp) std::abort();
  write(fp);
  std::fclose(fp);
  std::string out(buf, len);
  std::free(buf);
  return out;
}

std::string SrsBytes(CFormatSRS& srs) {
  return Written([&srs](FILE* fp) { srs.WriteFile(fp); });
}

bool ReadSrs(const std::string& bytes, CFormatSRS* srs) {
  std::string keep;
  FuzzFile fp = FuzzStream(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &keep);
  return fp && srs->ReadFile(fp.get());
}

// SpmRead and ParamApplyToSrs as the command line runs them; false with a
// reason when either refuses.
bool Apply(CFormatSRS* srs, const std::string& spm, SpmImportMode mode, std::string* why) {
  PrmMeas meas = srs->m_prm_meas;
  std::vector<PrmDev> devs = srs->m_vt_prm_dev;
  std::vector<PrmPole> poles = srs->m_vt_pole;
  std::string keep;
  FuzzFile fp = FuzzStream(reinterpret_cast<const uint8_t*>(spm.data()), spm.size(), &keep);
  if (!fp) std::abort();
  const SpmReadResult r = SpmRead(fp.get(), mode, &meas, &devs, &poles);
  if (r.status != SPM_READ_OK) {
    *why = r.why;
    return false;
  }
  const ParamApplyResult applied = ParamApplyToSrs(srs, meas, devs);
  *why = applied.why;
  if (applied.ok && meas.layout == SIP_ALL_GRADIENT) srs->m_vt_pole = poles;
  return applied.ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 5) return 0;
  const SpmImportMode mode = (data[0] & 1) ? SPM_IMPORT_LINE : SPM_IMPORT_COMPLETE;
  uint32_t n = 0;
  std::memcpy(&n, data + 1, 4);
  if (n > size - 5) return 0;
  const std::string srs_bytes(reinterpret_cast<const char*>(data + 5), n);
  const std::string spm(reinterpret_cast<const char*>(data + 5 + n), size - 5 - n);

  CFormatSRS srs;
  if (!ReadSrs(srs_bytes, &srs)) return 0;
  const std::string before = SrsBytes(srs);
  std::string why;
  if (!Apply(&srs, spm, mode, &why)) {
    if (why.empty()) std::abort();
    // The records stay as they were; the results are only rescaled by an
    // apply that goes through.
    if (SrsBytes(srs) != before) std::abort();
    return 0;
  }

  // The saved file reads back, and reading and writing change nothing more.
  const std::string saved = SrsBytes(srs);
  CFormatSRS back;
  if (!ReadSrs(saved, &back)) std::abort();
  if (SrsBytes(back) != saved) std::abort();

  // Its own parameters apply to it again.
  const std::string own =
      Written([&back](FILE* fp) { SpmWrite(fp, back.m_prm_meas, back.m_vt_prm_dev, back.m_vt_pole); });
  if (!Apply(&back, own, SPM_IMPORT_COMPLETE, &why)) {
    // Only a factor that cannot be formed from what the file itself holds
    // may refuse (a zero current): never the records.
    if (why.find("station record") != std::string::npos) std::abort();
  }
  return 0;
}
