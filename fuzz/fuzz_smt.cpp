// SMT reader and the rebuild of spectra from it: any input must read or fail
// cleanly; one that reads is dumped within bounds and transformed with the
// parameters it claims, for a channel alone and against the current channel.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "core/processing/sip_ts2spect.h"
#include "core/sip/format_smt.h"
#include "fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The rebuild opens files by path.
  static const std::string path = FuzzScratchPath("smt");
  {
    FuzzFile out(std::fopen(path.c_str(), "wb"));
    if (!out) return 0;
    if (size) std::fwrite(data, 1, size, out.get());
  }
  CFormatSmt smt;
  if (!smt.Read(path)) {
    if (smt.GetError().empty()) std::abort();
    return 0;
  }
  {
    size_t n = 0;
    FuzzFile out = FuzzCountingStream(&n);
    smt.PrintFile(out.get());
    std::fflush(out.get());
    if (n > FuzzDumpLimit(size)) std::abort();
  }
  const PrmMeas& m = smt.m_prm_meas;
  CSipTs2Spect ts;
  ts.SetParams(m.sample_rate, m.freq_base, m.harm_num, m.wave);
  if (!ts.CheckSmt(path)) return 0;
  std::vector<SpectItem> items;
  const int ch = data[0] % MAX_CH_NUM;
  ts.CalcCh(SmtChRef{path, ch}, nullptr, &items);
  if (items.size() > size_t(smt.GetDataRows())) std::abort();
  const SmtChRef cur{path, 3};
  ts.CalcCh(SmtChRef{path, ch}, &cur, &items);
  CSpectArray array;
  ts.CalcArray({SmtChRef{path, 0}, SmtChRef{path, 1}}, &cur, array);
  return 0;
}
