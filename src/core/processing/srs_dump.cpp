#include "core/processing/srs_dump.h"


#include <cctype>

#include "core/base/atomic_file.h"
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

bool DumpSrsText(CFormatSRS& srs, Reason* reason) {
  srs.m_dump_res = false;
  return ex_write_atomic(DumpPathFor(srs.GetPath()), [&srs](FILE* fp) { return srs.PrintFile(fp); }, nullptr, reason);
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
  ExFileIndex written;
  run.cancelled = !RunOverPaths(paths, progress, [&](int, const std::string& path) {
    const std::string name = ex_ansi_to_utf8(SrsBaseName(path));
    // Two inputs whose dumps are one file (L01.SRS and L01.srs): the later
    // one would replace the dump of the earlier.
    if (const std::string* from = written.Find(DumpPathFor(path))) {
      run.entries.push_back(RecalcArg(texts.failed, name));
      run.failed_paths.push_back(path);
      run.failed_why.push_back("would replace " + ex_ansi_to_utf8(DumpPathFor(path)) + ", written from " +
                               ex_ansi_to_utf8(*from) + " in this run");
      Reason taken;
      taken.code = ReasonCode::NameTaken;
      taken.file = DumpPathFor(path);
      taken.other = *from;
      taken.text = run.failed_why.back();
      run.failed_reason.push_back(taken);
      return;
    }
    CFormatSRS srs;
    if (!srs.Read(path)) {
      run.entries.push_back(RecalcArg(texts.open_failed, name));
      run.failed_paths.push_back(path);
      run.failed_why.push_back(srs.GetError());
      run.failed_reason.push_back(srs.GetReason());
      return;
    }
    const std::string out = DumpPathFor(srs.GetPath());
    const bool existed = Exists(out);
    std::string why;
    Reason reason;
    srs.m_dump_res = false;
    if (ex_write_atomic(out, [&srs](FILE* fp) { return srs.PrintFile(fp); }, &why, &reason)) {
      written.Add(out, path);
      run.entries.push_back(RecalcArg(texts.ok, name));
      if (existed) run.replaced.push_back(out);
    } else {
      run.entries.push_back(RecalcArg(texts.failed, name));
      run.failed_paths.push_back(path);
      run.failed_why.push_back("cannot write " + ex_ansi_to_utf8(out) + (why.empty() ? "" : ": " + why));
      reason.text = run.failed_why.back();
      run.failed_reason.push_back(reason);
    }
  });
  return run;
}
