// File-level recalculations of SRS files: composed-frequency results with
// another harmonic grouping, and spectra and results rebuilt from the SMT
// time series. The results page and varnex-cli share these flows; the page
// adds its dialogs and messages around them.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <functional>

#include "core/base/reason.h"
#include "core/base/run_loop.h"
#include "core/processing/sip_ts2spect.h"
#include "core/sip/format_srs.h"

// Entries of the run reports; %1 is the base name of the SRS file or the
// list of devices. The defaults are the texts of a Chinese-language system;
// the results page passes its translated texts.
struct RecalcTexts {
  std::string recal_ok = "%1 重计算成功!\n";
  std::string open_failed = "%1 打开失败!\n\n";
  std::string write_failed = "%1 写入失败!\n\n";
  std::string open_ok = "%1 打开成功!\n";
  std::string recal_failed = "%1 重计算失败!\n";
  std::string devices_done = "重计算仪器: %1\n";
  std::string devices_done_none = "重计算仪器: 无\n";
  std::string devices_miss = "未计算仪器: %1\n\n";
  std::string devices_miss_none = "未计算仪器: 无\n\n";
};

// The entries as the English interface writes them (the translations of the
// results page).
RecalcTexts RecalcTextsEnglish();

// Combined harmonics per composed frequency: 1..RECAL_HARM_MAX, over the
// RECAL_HARM_MAX harmonics of a composed-frequency result.
constexpr int RECAL_HARM_MAX = 16;

// Report file names in the output folder of the two all-files runs.
inline constexpr const char* RECAL_REPORT_NAME = "reCalResult.txt";
inline constexpr const char* RECAL_SMT_REPORT_NAME = "recalTsToSrsResult.txt";

// Base name as the file dialogs show it: the file name up to its first dot.
std::string SrsBaseName(const std::string& path);

// The folder part of a path as the file dialogs give it: "." for a bare
// name, "/" for a file in the root.
std::string DirPartOf(const std::string& path);

// text with every "%1" replaced by arg.
std::string RecalcArg(const std::string& text, const std::string& arg);

// Rebuilds the composed-frequency result with a combined harmonics per
// composed frequency (1..16): 16 / a points labelled with the centres of
// their harmonics, computed from the stored spectra without bad values. The
// channel entries stay in the order of the single-frequency result (the
// order of the voltage spectra). Returns false, leaving the file unchanged,
// for a count outside 1..16.
bool RecomputeComposed(CFormatSRS& srs, int a);

// Whether a device name read from a file can be a folder under the SMT
// directory: not empty, not ".", and without "/", "\\" or "..".
bool SmtDeviceNameUsable(const std::string& dev_name);
// "<smt_dir>/<dev_name>/<base name of srs_path>.smt", or an empty path (no
// time series: the device is not calculated) when the device name is not
// usable as a folder name. Every SMT lookup goes through here, so that no
// name from a file leads outside the SMT folder. The file is not checked.
std::string SmtPathFor(const std::string& smt_dir, const std::string& srs_path, const std::string& dev_name);
// The same path as text whatever the device name, for a message that names
// what was looked for; never to be opened.
std::string SmtPathLookedFor(const std::string& smt_dir, const std::string& srs_path, const std::string& dev_name);
// The SMT file of the current station of srs (its channel 3).
SmtChRef SmtCurrentRef(CFormatSRS& srs, const std::string& smt_dir);
// Its path as SmtPathLookedFor gives it, for messages.
std::string SmtCurrentLookedFor(CFormatSRS& srs, const std::string& smt_dir);
// Per channel entry of srs's single-frequency result: the channel's index in
// its device, and its device's SMT file where usable(path) accepts it (none
// for a channel without a device record). A device name that cannot be a
// folder is never asked about: refused (optional) receives the path looked
// for instead.
std::vector<SmtChRef> SmtChannelRefs(CFormatSRS& srs, const std::string& smt_dir,
                                     const std::function<bool(const std::string&)>& usable,
                                     const std::function<void(const std::string&)>& refused = nullptr);

// Rebuilds both spectrum arrays of srs from the SMT files under smt_dir.
// done / miss receive the names of the devices recomputed and of those
// without a usable time series (a device may be in both), trimmed, each name
// once. Returns false, leaving srs unchanged, when the file was measured with
// a current station whose time series is missing; cur_path then holds the
// path looked for. Also false, unchanged, with an empty cur_path, when the
// file's harmonic count is outside 1..SIP_MAX_HARM_NUM or, with a current station, its v2i is
// not a positive number (the recorded voltage cannot become a current).
bool RecalcFromSmt(CFormatSRS& srs, const std::string& smt_dir, std::vector<std::string>* done,
                   std::vector<std::string>* miss, std::string* cur_path);

// After RecalcFromSmt: zero items become bad, then the composed result is
// recomputed (composed mode forced on when force_composed, else as the file's
// waveform says) and the single-frequency result. A composed result that
// cannot be composed (no points, or more points than single frequencies) is
// left as it is when force_composed.
void RecomputeResultsAfterSmt(CFormatSRS& srs, bool force_composed);

enum class SmtRebuildStatus { Ok, ReadFailed, NoCurrent, CannotRebuild, WriteFailed };

struct SmtRebuild {
  SmtRebuildStatus status = SmtRebuildStatus::Ok;
  std::vector<std::string> done;  // devices recomputed (RecalcFromSmt)
  std::vector<std::string> miss;  // devices without a usable time series
  std::string cur_path;           // NoCurrent: the current-station path looked for
  std::string why;                // ReadFailed, WriteFailed: one line, English
  Reason reason;                  // ReadFailed, WriteFailed: the same as a code
};

// Writes srs to out (8-bit) through the atomic writer. When out is the file
// srs was read from or one of inputs (raw acquisition data), its untouched
// original is kept once as <out>.orig first; a backup that cannot be made
// stops the write. False with the reason in why.
bool WriteKeepingOriginal(CFormatSRS& srs, const std::string& out, const std::vector<std::string>& inputs,
                          std::string* why, Reason* reason = nullptr);

// out_dir/<base name of path>.SRS, the output of path in the all-files runs.
std::string RecalcOutPath(const std::string& out_dir, const std::string& path);

// Two inputs of one run whose outputs are the same file.
struct OutputCollision {
  std::string first;   // the earlier input
  std::string second;  // the later one
  std::string output;  // the output of both (the later input's text)
};
// Whether two paths give the same output file (out_of(path); an empty
// output is skipped). One identity lookup per path, so a survey of any size
// is checked before anything is written. hit (optional) receives the first
// pair.
bool FindOutputCollision(const std::vector<std::string>& paths,
                         const std::function<std::string(const std::string&)>& out_of, OutputCollision* hit);
// "<first> and <second> would both be written as <output>; nothing was
// written" (UTF-8).
std::string OutputCollisionText(const OutputCollision& c);

// The inputs among paths that a run into out_dir would write over: those
// that are the same file as out_dir/<base>.SRS of some path of the list.
// One identity lookup per path.
std::vector<std::string> InputsOverwrittenBy(const std::vector<std::string>& paths, const std::string& out_dir);

// The rebuild of one file that was read already: RecalcFromSmt, then
// RecomputeResultsAfterSmt, then the file written to out_path (8-bit) by
// WriteKeepingOriginal. When the rebuild fails, srs is unchanged and
// nothing is written; when the write fails, srs holds the rebuilt data and
// the old out_path is untouched.
SmtRebuild RebuildSrsFromSmt(CFormatSRS& srs, const std::string& smt_dir, bool force_composed,
                             const std::string& out_path, const std::vector<std::string>& inputs = {});
// The same after reading path into srs (ReadFailed with the reader's reason).
SmtRebuild RebuildSrsFileFromSmt(CFormatSRS& srs, const std::string& path, const std::string& smt_dir,
                                 bool force_composed, const std::string& out_path,
                                 const std::vector<std::string>& inputs = {});

struct RecalcRun {
  std::vector<std::string> entries;       // one report entry per file, in order
  std::vector<std::string> failed_paths;  // files that were not written
  std::vector<std::string> failed_why;    // for each failed path, a short English reason
  std::vector<Reason> failed_reason;      // the same reasons as codes
  std::vector<std::string> written;       // output files written, in order
  std::vector<std::string> written_from;  // the input of each output
  bool cancelled = false;
};

// Every file's composed result recomputed with a, written as
// out_dir/<base>.SRS (replacing an existing file atomically; an input file
// is kept once as .orig before it is replaced, and callers ask before a run
// that InputsOverwrittenBy says would replace inputs). An input whose
// output name another input of the run has written already, or that has no
// base name, is not written (its entry is the write failure). Paths are
// 8-bit strings. An empty list, or a count outside 1..16, gives an empty run
// and writes nothing; the caller writes the report (RECAL_REPORT_NAME) from
// the entries of a run that has any.
RecalcRun RecalcAllComposed(const std::vector<std::string>& paths, int a, const std::string& out_dir,
                            const RecalcTexts& texts, RunProgress* progress);
// Every file rebuilt from the time series under smt_dir, written as
// out_dir/<base>.SRS; the report is RECAL_SMT_REPORT_NAME. Outputs that
// another input of the run has written, and names without base, are refused
// as in RecalcAllComposed. An empty list gives an empty run.
RecalcRun RecalcAllFromSmt(const std::vector<std::string>& paths, const std::string& smt_dir,
                           const std::string& out_dir, const RecalcTexts& texts, RunProgress* progress);

// Writes the entries one after another to path ("wb"); false when the file
// cannot be created.
bool WriteReport(const std::string& path, const std::vector<std::string>& entries);
