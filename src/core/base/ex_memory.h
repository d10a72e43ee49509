#pragma once

#include <cstddef>

// Zeroed allocation (release with free). Running out of memory stops the
// process with a message: no caller of this program can continue without it.
void* ex_malloc(size_t size);
