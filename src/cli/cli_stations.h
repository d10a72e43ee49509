#pragma once

#include "cli_verbs.h"

// varnex-cli stations SRS
CliVerb addStationsVerb(CLI::App& app);
