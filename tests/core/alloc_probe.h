// The core tests replace the global operator new (test_damaged_files.cpp) to
// record the largest single allocation, so that a test can prove that a
// damaged or hostile file never made a reader or a flow ask for gigabytes.
#pragma once

#include <cstddef>

// Forgets the allocations seen so far.
void AllocProbeReset();
// Largest single allocation since the last reset, in bytes.
size_t AllocProbeLargest();
