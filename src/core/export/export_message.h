// What an export or pass-rate run tells its caller: codes with their
// arguments. The export page words them through tr(), varnex-cli in English;
// the core holds no message text.
#pragma once

#include <string>
#include <vector>

enum class ExportCode {
  DeviceError,   // args: 1-based index of the file, its path (UTF-8)
  NoFiles,       // no file to export
  ReadFailed,    // args: path
  SmtMissing,    // args: count, then every missing SMT path
  Converted,     // an export completed
  Exported,      // a pass-rate run completed with rows
  NoValid,       // a pass-rate run completed without rows
  NameEmpty,     // no output file name
  CreateFailed,  // args: path, reason
  NotCompleted,  // args: path, reason
  HarmMismatch,  // args: first path of the group left out
  NoFs,          // args: "Zondres2d" or ".ohm"
  NoHarmonics,   // args: first path of the group left out
  Cancelled,
  FreqMismatch,    // args: first path of the group holding a file with other frequency points
  FewFrequencies,  // args: first path of the first group
  SameBaseName,    // args: the two paths (time series or check points by base name)
};

// The titles of the message boxes ("文件警告", "提示", "警告").
enum class ExportTitle { FileWarning, Tips, Warning };

struct ExportMessage {
  ExportCode code;
  std::vector<std::string> args;

  bool operator==(const ExportMessage& o) const { return code == o.code && args == o.args; }
};

// The title a code is shown with, and whether in a warning box (else an
// information box).
ExportTitle ExportTitleOf(ExportCode code);
bool ExportIsWarning(ExportCode code);

struct ExportRun {
  bool completed = false;  // the run went through; false: stopped or cancelled
  bool cancelled = false;
  std::vector<ExportMessage> messages;  // in the order to show them
  std::vector<std::string> written;     // files put in place, in creation order
  std::vector<std::string> smt_missing; // SMT paths (UTF-8) missing or unusable
  std::vector<std::string> skipped;     // first files of groups left out for their harmonic count
};

// text with "%1" (and "%2") replaced in one pass: a path put in for %1 that
// holds "%2" stays as it is.
std::string ExportArg(const std::string& text, const std::string& a1, const std::string& a2 = std::string());
