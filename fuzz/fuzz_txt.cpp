// The four text tables: the first byte picks the table, the rest is the
// file. Any input reads or fails with a line number; a table that reads
// answers its lookups and writes a file that reads back to the same records.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

#include "core/sip/format_txt.h"
#include "fuzz_common.h"

namespace {

std::string Written(CFormatTxt& t, bool* ok) {
  char* buf = nullptr;
  size_t len = 0;
  FILE* fp = open_memstream(&buf, &len);
  if (!fp) std::abort();
  *ok = t.WriteFile(fp);
  std::fclose(fp);
  std::string out(buf, len);
  std::free(buf);
  return out;
}

std::unique_ptr<CFormatTxt> Make(int kind) {
  switch (kind) {
    case 0: return std::make_unique<CFormatTxtSiteCoord>();
    case 1: return std::make_unique<CFormatTxtElev>();
    case 2: return std::make_unique<CFormatTxtShifting>();
    default: return std::make_unique<CFormatTxtCoord>();
  }
}

void Lookups(CFormatTxt& t) {
  if (auto* s = dynamic_cast<CFormatTxtSiteCoord*>(&t)) {
    CFormatTxtSiteCoord::Item it;
    s->Find(3, 100.0, 0.05, &it);
  } else if (auto* e = dynamic_cast<CFormatTxtElev*>(&t)) {
    e->GetElev(5.0, 0.0);
  } else if (auto* c = dynamic_cast<CFormatTxtCoord*>(&t)) {
    CFormatTxtCoord::Item it;
    c->Find("L12_ST01", 100.0f, &it);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const int kind = data[0] % 4;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::unique_ptr<CFormatTxt> t = Make(kind);
  std::istringstream in(text);
  if (!t->ReadFile(in)) {
    if (t->GetError().rfind("line ", 0) != 0) std::abort();
    return 0;
  }
  Lookups(*t);
  bool ok = false;
  const std::string once = Written(*t, &ok);
  if (!ok) return 0;  // names that the writer cannot store
  std::unique_ptr<CFormatTxt> back = Make(kind);
  std::istringstream in2(once);
  if (!back->ReadFile(in2)) std::abort();
  bool ok2 = false;
  if (Written(*back, &ok2) != once || !ok2) std::abort();
  return 0;
}
