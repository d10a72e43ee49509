#pragma once

#include "cli_verbs.h"

// varnex-cli dumpall FILE.SRS... [--lang en|zh]
CliVerb addDumpAllVerb(CLI::App& app);
