#include "cli_dump.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>

#include "core/base/atomic_file.h"
#include "core/base/ex_string.h"
#include "core/sip/format_smt.h"
#include "core/sip/format_srs.h"

namespace {

std::string lower_ext(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::string();
  std::string ext = path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return ext;
}

int dump_with(CFormat& file, const std::string& in, const std::string& out, const std::string* warning) {
  const std::string path = ex_utf8_to_ansi(in);
  if (!file.Read(path)) {
    std::fprintf(stderr, "varnex-cli: cannot read %s: %s\n", in.c_str(), file.GetError().c_str());
    return 1;
  }
  // A damaged tail is worth knowing, yet the dump shows what is there.
  if (warning && !warning->empty())
    std::fprintf(stderr, "varnex-cli: File \"%s\" is incomplete: %s\n", in.c_str(), warning->c_str());
  if (out.empty()) {
    if (CliStdoutWritten(file.PrintFile(stdout))) return 0;
    std::fprintf(stderr, "varnex-cli: cannot write the dump of %s to standard output\n", in.c_str());
    return 1;
  }
  std::string why;
  if (!ex_write_atomic(ex_utf8_to_ansi(out), [&file](FILE* fp) { return file.PrintFile(fp); }, &why)) {
    std::fprintf(stderr, "varnex-cli: cannot write the dump of %s to %s: %s\n", in.c_str(), out.c_str(),
                 why.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

CliVerb addDumpVerb(CLI::App& app) {
  struct Opts {
    std::string file;
    std::string out;
    bool results = false;
  };
  auto opts = std::make_shared<Opts>();
  CLI::App* cmd = app.add_subcommand("dump", "Print an SRS or SMT file as text (kind chosen by the extension)");
  cmd->add_option("FILE", opts->file, "SRS or SMT file")->required();
  cmd->add_option("-o,--output", opts->out, "write the dump to this file instead of standard output");
  cmd->add_flag("--results", opts->results, "SRS only: the result tables instead of the full dump");

  return CliVerb{cmd, [opts]() -> int {
                   const std::string ext = lower_ext(opts->file);
                   if (ext == "srs") {
                     CFormatSRS srs;
                     srs.m_dump_res = opts->results;
                     // The result tables show no spectrum item, which are
                     // nearly all of a file's bytes.
                     srs.SetSkipItems(opts->results, false);
                     return dump_with(srs, opts->file, opts->out, &srs.GetWarning());
                   }
                   if (ext == "smt") {
                     if (opts->results) {
                       std::fprintf(stderr, "varnex-cli: --results is for SRS files; %s is an SMT time series\n",
                                    opts->file.c_str());
                       return 2;
                     }
                     CFormatSmt smt;
                     return dump_with(smt, opts->file, opts->out, nullptr);
                   }
                   std::fprintf(stderr, "varnex-cli: %s is neither an .SRS nor an .smt file\n", opts->file.c_str());
                   return 1;
                 }};
}
