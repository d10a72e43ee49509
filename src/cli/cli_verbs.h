// Each verb of varnex-cli registers its subcommand on the application and
// returns a function that runs it after parsing.
#pragma once

#include <functional>
#include <string>

#include <CLI/CLI.hpp>

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
