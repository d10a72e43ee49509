// Numbers in export files always carry a dot: the GUI runs with the user's
// locale (Qt sets it from the environment), and a decimal comma would make
// every file unreadable for the inversion programs.
#pragma once

#include "core/base/platform.h"

// For its lifetime, this thread formats numbers in the C locale.
using ExportLocaleScope = PlatformCNumericScope;
