// Each verb of varnex-cli registers its subcommand on the application and
// returns a function that runs it after parsing.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

struct NumRange;
class CFormatSRS;

using CliRun = std::function<int()>;

struct CliVerb {
  CLI::App* cmd;
  CliRun run;
};

// The report language of the desktop program: a locale name with "CN" is
// Chinese.
bool SystemLocaleIsChinese();

// --lang en|zh of the verbs that write reports; lang stays empty without it.
void AddLangOption(CLI::App* cmd, std::string* lang);
// Chinese report texts: --lang zh, or no --lang on a Chinese system.
bool ReportInChinese(const std::string& lang);

// The range check of a numeric option (core's NumCheckText): a value that
// is not a finite number inside range ends the run with exit status 2 and
// a line naming the option.
CLI::Validator CliNumber(const NumRange& range);

// The end of a verb that prints to standard output: flushes it and, when it
// cannot be written (a full disk, a closed pipe), says so on standard error.
// Returns ok && the output was written.
bool CliStdoutWritten(bool ok = true);

// Refuses, before anything is written, two inputs that would write the same
// output file: one line naming both on standard error. True when the run may
// go on.
bool CliNoOutputCollision(const std::vector<std::string>& paths,
                          const std::function<std::string(const std::string&)>& out_of);

// Reads file (UTF-8) into srs for a verb that goes on over its other files:
// false after naming the reason on standard error; a file that reads but is
// incomplete is named with its warning.
bool CliReadSrs(const std::string& file, CFormatSRS* srs);
