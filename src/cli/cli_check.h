#pragma once

#include "cli_verbs.h"

// varnex-cli check FILE.SRS... [--freq N] [--single]
CliVerb addCheckVerb(CLI::App& app);
