#pragma once

#include "cli_verbs.h"

// varnex-cli passrate FILE.SRS... --out BASE [options]
CliVerb addPassRateVerb(CLI::App& app);
