// SRS reader: any input must read or fail cleanly; a file that reads must
// dump in both text forms within bounds, and what it writes must read back
// and write the same bytes again.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "core/sip/format_srs.h"
#include "fuzz_common.h"

namespace {

std::string Written(CFormatSRS& srs) {
  char* buf = nullptr;
  size_t len = 0;
  FILE* fp = open_memstream(&buf, &len);
  if (!fp) std::abort();
  srs.WriteFile(fp);
  std::fclose(fp);
  std::string out(buf, len);
  std::free(buf);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string keep;
  FuzzFile fp = FuzzStream(data, size, &keep);
  if (!fp) return 0;
  CFormatSRS srs;
  if (!srs.ReadFile(fp.get())) {
    if (srs.GetError().empty()) std::abort();
    return 0;
  }
  for (bool results : {false, true}) {
    size_t n = 0;
    FuzzFile out = FuzzCountingStream(&n);
    srs.m_dump_res = results;
    srs.PrintFile(out.get());
    std::fflush(out.get());
    if (n > FuzzDumpLimit(size)) std::abort();
  }

  const std::string once = Written(srs);
  std::string keep2;
  FuzzFile back_fp = FuzzStream(reinterpret_cast<const uint8_t*>(once.data()), once.size(), &keep2);
  CFormatSRS back;
  if (!back.ReadFile(back_fp.get())) std::abort();
  if (Written(back) != once) std::abort();
  return 0;
}
