// The pass rate of one SRS file as the results page shows it, and the limit
// table the page derives from the export page's table. The page, varnex-cli
// check and the tests share these, so that the figures agree everywhere.
#pragma once

#include <string>
#include <vector>

#include "core/sip/limits.h"

class CResultSip;
class CFormatSRS;

struct PassRate {
  int channels = 0;
  int qualified = 0;
  double rate = 0.0;  // percent; 0 without channels
};

// Qualified channels of res at (idx_freq, idx_harm): apparent resistivity
// against limit row 1, CP against row 2 and FS against row 3 must all pass.
// A position outside res, or a table with fewer than four rows, counts every
// channel as not qualified.
PassRate PassRateOf(CResultSip& res, const std::vector<LimitItem>& limits, int idx_freq = 0, int idx_harm = 0);

// The result the page shows for a calculation type (0 composed, 1 single)
// and the position of entry `point` of its frequency list: the list holds the
// harmonics of base frequency 0 and the page splits an entry by the file's
// harmonic number (a number below 1 counts as 1).
CResultSip& PassRateResult(CFormatSRS& srs, bool single_freq);
void FreqPointToIndex(const CFormatSRS& srs, int point, int* idx_freq, int* idx_harm);

// Entries of the page's frequency list for the shown result.
int FreqPointCount(CFormatSRS& srs, bool single_freq);
// The rate of entry point (0-based) of that list.
PassRate PassRateAtPoint(CFormatSRS& srs, const std::vector<LimitItem>& limits, bool single_freq, int point);

// The rate with one decimal, as the page's label shows it ("87.5").
std::string PassRateFigure(double rate);

// The results page's table after it has taken the export page's thresholds:
// page (LIMIT_RESULTS_ROWS rows, its own defaults) gets row 1's maximum
// relative error and row 2's maximum STD from shared (switched on with the
// same value, or off), and row 3's maximum STD switched off. A shared table
// with fewer than LIMIT_TYPE_CNT rows leaves page as it is.
void LimitsFromShared(std::vector<LimitItem>* page, const std::vector<LimitItem>& shared);
// What the results page works with after start-up: its defaults with the
// export page's default thresholds.
std::vector<LimitItem> limit_default_results_page();
