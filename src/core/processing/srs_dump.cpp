#include "core/processing/srs_dump.h"


#include <cctype>

#include "core/base/ex_string.h"
#include "core/base/platform.h"
#include "core/processing/srs_recalc.h"
#include "core/sip/format_srs.h"

namespace {

// Byte length of the last n UTF-8 characters of s (all of s when shorter).
size_t TailBytes(const std::string& s, int n) {
  size_t pos = s.size();
  for (int k = 0; k < n && pos > 0; ++k) {
    --pos;
    while (pos > 0 && (static_cast<unsigned char>(s[pos]) & 0xC0) == 0x80) --pos;
  }
  return s.size() - pos;
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

bool Exists(const std::string& path) {
  PlatformStat st;
  return platform_stat(path, &st);
}

}  // namespace

std::string DumpPathFor(const std::string& srs_path) {
  std::string out = srs_path.substr(0, srs_path.size() - TailBytes(srs_path, 3)) + "txt";
  if (SameIgnoringCase(out, srs_path)) out = srs_path + ".txt";
  return out;
}

std::string DumpReportPathFor(const std::string& first) { return DirPartOf(first) + "/" + DUMP_REPORT_NAME; }

bool DumpSrsText(CFormatSRS& srs) {
  srs.m_dump_res = false;
  return srs.Print(DumpPathFor(srs.GetPath()));
}

DumpTexts DumpTextsEnglish() {
  DumpTexts t;
  t.ok = "%1 Export successful!\n\n";
  t.failed = "%1 Export failed!\n\n";
  t.open_failed = "%1 open failed!\n";
  return t;
}

DumpRun DumpAllSrs(const std::vector<std::string>& paths, const DumpTexts& texts, RunProgress* progress) {
  DumpRun run;
  run.cancelled = !RunOverPaths(paths, progress, [&](int, const std::string& path) {
    const std::string name = ex_ansi_to_utf8(SrsBaseName(path));
    CFormatSRS srs;
    if (!srs.Read(path)) {
      run.entries.push_back(RecalcArg(texts.open_failed, name));
      run.failed_paths.push_back(path);
      run.failed_why.push_back(srs.GetError());
      return;
    }
    const std::string out = DumpPathFor(srs.GetPath());
    const bool existed = Exists(out);
    if (DumpSrsText(srs)) {
      run.entries.push_back(RecalcArg(texts.ok, name));
      if (existed) run.replaced.push_back(out);
    } else {
      run.entries.push_back(RecalcArg(texts.failed, name));
      run.failed_paths.push_back(path);
      run.failed_why.push_back("cannot write " + ex_ansi_to_utf8(out));
    }
  });
  return run;
}
