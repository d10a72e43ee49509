#pragma once

#include "cli_verbs.h"

// varnex-cli pseudosection FILE.SRS... --out POINTS.csv [options]
CliVerb addPseudoSectionVerb(CLI::App& app);
