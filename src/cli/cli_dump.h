#pragma once

#include "cli_verbs.h"

// varnex-cli dump FILE [-o OUT] [--results]
CliVerb addDumpVerb(CLI::App& app);
