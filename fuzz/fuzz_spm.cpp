// The SPM parameter file: the first byte picks the import mode and the
// number of devices of the displayed file, the rest is the file. Any input
// imports or fails without touching the records; an import that succeeds
// writes a file that imports again to the same bytes.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/processing/spm.h"
#include "fuzz_common.h"

namespace {

std::string Written(const PrmMeas& meas, const std::vector<PrmDev>& devs, const std::vector<PrmPole>& poles) {
  char* buf = nullptr;
  size_t len = 0;
  FILE* fp = open_memstream(&buf, &len);
  if (!fp) std::abort();
  const bool ok = SpmWrite(fp, meas, devs, poles);
  std::fclose(fp);
  std::string out(buf, len);
  std::free(buf);
  if (!ok) std::abort();
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const SpmImportMode mode = (data[0] & 1) ? SPM_IMPORT_LINE : SPM_IMPORT_COMPLETE;
  const size_t dev_num = (data[0] >> 1) % 9;
  std::string keep;
  FuzzFile fp = FuzzStream(data + 1, size - 1, &keep);
  if (!fp) return 0;

  PrmMeas meas;
  std::vector<PrmDev> devs(dev_num);
  std::vector<PrmPole> poles;
  const std::string before = Written(meas, devs, poles);
  const SpmReadResult r = SpmRead(fp.get(), mode, &meas, &devs, &poles);
  if (r.status != SPM_READ_OK) {
    if (r.why.empty() || devs.size() != dev_num || Written(meas, devs, poles) != before) std::abort();
    return 0;
  }
  if (devs.size() != dev_num) std::abort();

  const std::string once = Written(meas, devs, poles);
  std::string keep2;
  FuzzFile fp2 = FuzzStream(reinterpret_cast<const uint8_t*>(once.data()), once.size(), &keep2);
  PrmMeas meas2 = meas;
  std::vector<PrmDev> devs2(dev_num);
  std::vector<PrmPole> poles2;
  if (SpmRead(fp2.get(), SPM_IMPORT_COMPLETE, &meas2, &devs2, &poles2).status != SPM_READ_OK) std::abort();
  return 0;
}
