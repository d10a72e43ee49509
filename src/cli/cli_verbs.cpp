#include "cli_verbs.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/base/ex_string.h"
#include "core/base/num_check.h"
#include "core/processing/srs_recalc.h"
#include "core/sip/format_srs.h"

CLI::Validator CliNumber(const NumRange& range) {
  return CLI::Validator([range](std::string& text) { return NumCheckText(text, range); }, "", "number");
}

bool CliStdoutWritten(bool ok) {
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return ok;
  const int err = errno;
  std::fprintf(stderr, "varnex-cli: cannot write to standard output: %s\n", std::strerror(err ? err : EIO));
  return false;
}

bool CliNoOutputCollision(const std::vector<std::string>& paths,
                          const std::function<std::string(const std::string&)>& out_of) {
  OutputCollision hit;
  if (!FindOutputCollision(paths, out_of, &hit)) return true;
  std::fprintf(stderr, "varnex-cli: %s\n", OutputCollisionText(hit).c_str());
  return false;
}

bool CliReadSrs(const std::string& file, CFormatSRS* srs) {
  if (!srs->Read(ex_utf8_to_ansi(file))) {
    std::fprintf(stderr, "varnex-cli: %s: %s\n", file.c_str(), srs->GetError().c_str());
    return false;
  }
  if (!srs->GetWarning().empty())
    std::fprintf(stderr, "varnex-cli: File \"%s\" is incomplete: %s\n", file.c_str(), srs->GetWarning().c_str());
  return true;
}
