// Grouping of the export's files into measurements, and the merging of a
// group's results into one.
#pragma once

#include <string>
#include <vector>

#include "core/sip/result_sip.h"

// Groups of paths that form one measurement (same A, B, line origin and
// offset from AB); with free_or_3d every file is a group of its own.
// Files that cannot be read or have no channel are skipped; unreadable
// (optional) receives the paths of the unreadable ones.
// Returns 0, or the 1-based index of the first readable file whose layout
// differs from layout (groups then emptied: nothing is to be written).
int GroupFiles(const std::vector<std::string>& paths, int layout, bool free_or_3d,
               std::vector<std::vector<std::string>>* groups, std::vector<std::string>* unreadable = nullptr);

// One result of the results of one group and one combination order: one
// channel per distinct m_pos, per harmonic the item with the most data and
// the smaller relative error (earlier results win ties); items stacked from
// fewer than two values are dropped. Results whose harmonic count or A (B
// when has_b) differ from the first one's are left out.
CResultSip MergeResults(std::vector<CResultSip>& results, int count, bool has_b);

// Sorted distinct m_pos of the channel entries of the results; a position
// that is not a number has no place in it.
std::vector<float> MeasuringPositions(const std::vector<CResultSip*>& results);
// Index of x in positions, -1 when absent.
int PositionIndex(const std::vector<float>& positions, float x);

// Threads that read and calculate files ahead of an export's loop.
unsigned ExportPrefetchWorkers();
