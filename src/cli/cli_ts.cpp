#include "cli_ts.h"

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/base/ex_string.h"
#include "core/base/num_check.h"
#include "core/processing/srs_recalc.h"
#include "core/processing/ts_segment.h"
#include "core/sip/format_smt.h"
#include "core/sip/format_srs.h"

CliVerb addTsVerb(CLI::App& app) {
  struct Opts {
    std::string smt, srs, smt_dir, station, step = "none";
    int start = 0;
    int len = 960;
  };
  auto opts = std::make_shared<Opts>();
  CLI::App* cmd = app.add_subcommand(
      "ts", "Statistics of one segment of a station's time series, as the time-series page shows them");
  cmd->add_option("SMT", opts->smt, "SMT file (or give --srs, --smt-dir and --station)");
  cmd->add_option("--srs", opts->srs, "SRS file whose station is shown");
  cmd->add_option("--smt-dir", opts->smt_dir, "directory of the SMT files: <dir>/<station>/<SRS base name>.smt");
  cmd->add_option("--station", opts->station, "device name of the station");
  cmd->add_option("--start", opts->start, "first sample of the segment (default 0)")->check(CliNumber(NUM_SAMPLE_INDEX));
  cmd->add_option("--len", opts->len, "segment length in samples (default 960)")->check(CliNumber(NUM_SAMPLE_COUNT));
  cmd->add_option("--step", opts->step, "step one length back or forward before showing")
      ->check(CLI::IsMember({"none", "prev", "next"}));

  return CliVerb{cmd, [opts]() -> int {
                   std::string path = opts->smt;
                   if (path.empty()) {
                     if (opts->srs.empty() || opts->station.empty()) {
                       std::fprintf(stderr, "varnex-cli: give an SMT file or --srs with --station\n");
                       return 1;
                     }
                     CFormatSRS srs;
                     if (!srs.Read(ex_utf8_to_ansi(opts->srs))) {
                       std::fprintf(stderr, "varnex-cli: cannot read %s: %s\n", opts->srs.c_str(),
                                    srs.GetError().c_str());
                       return 1;
                     }
                     path = SmtPathFor(ex_utf8_to_ansi(opts->smt_dir), srs.GetPath(), ex_utf8_to_ansi(opts->station));
                   } else {
                     path = ex_utf8_to_ansi(path);
                   }
                   CFormatSmt smt;
                   if (path.empty() || !smt.Read(path)) {
                     std::fprintf(stderr, "varnex-cli: cannot read the time series %s%s%s\n", path.c_str(),
                                  smt.GetError().empty() ? "" : ": ", smt.GetError().c_str());
                     return 1;
                   }
                   const std::map<std::string, TsMove> moves = {
                       {"none", TS_MOVE_NONE}, {"prev", TS_MOVE_PREV}, {"next", TS_MOVE_NEXT}};
                   const TsRecordingInfo info = TsInfoOf(smt);
                   const TsSegment seg = TsClampSegment(opts->start, opts->len, moves.at(opts->step), info.rows);
                   std::printf("sample rate: %d Hz\nsamples: %d\nduration: %dm%ds\n", info.sample_rate, info.rows,
                               info.minutes, info.seconds);
                   std::printf("segment start: %d\nsegment length: %d\n", seg.start, seg.len);
                   std::vector<double> mv;
                   for (int ch = 0; ch < MAX_CH_NUM; ++ch) {
                     if (!TsChannelMv(smt, ch, seg.start, seg.len, &mv)) {
                       std::printf("ch%d not convertible (gain %g)\n", ch + 1, double(smt.m_gain[ch]));
                       continue;
                     }
                     const TsStats st = TsSegmentStats(mv);
                     std::printf("ch%d STD:%.4fmV MIN:%.4fmV MAX:%.4fmV\n", ch + 1, st.std, st.min, st.max);
                   }
                   return CliStdoutWritten() ? 0 : 1;
                 }};
}
