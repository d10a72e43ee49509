#pragma once

#include "cli_verbs.h"

// varnex-cli recalc FILE.SRS... --out DIR (--harmonics A | --from-smt SMTDIR)
CliVerb addRecalcVerb(CLI::App& app);
