#pragma once

#include "cli_verbs.h"

// varnex-cli ts (SMT | --srs SRS --smt-dir DIR --station NAME)
//   [--start N] [--len N] [--step none|prev|next]
CliVerb addTsVerb(CLI::App& app);
