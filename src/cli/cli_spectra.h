#pragma once

#include "cli_verbs.h"

// varnex-cli spectra FILE.SRS... [--fit colecole]
CliVerb addSpectraVerb(CLI::App& app);
