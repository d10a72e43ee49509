#pragma once

#include "cli_verbs.h"

// varnex-cli params export FILE.SRS OUT.SPM
// varnex-cli params apply FILE.SRS IN.SPM [--line-only] [--out OUT.SRS]
CliVerb addParamsVerb(CLI::App& app);
