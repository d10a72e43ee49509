// The one check every typed number goes through, on the pages' edits and on
// varnex-cli's options alike: a finite number inside the range the setting
// allows. A NaN, an infinity or a value past the range never reaches a
// computation or a file.
#pragma once

#include <string>

struct NumRange {
  double lo;
  double hi;
  bool lo_open;  // lo itself is not allowed (a spacing, a length: above 0)
};

// Empty when v is finite and inside r; otherwise the reason, one English
// phrase such as "must be greater than 0" or "must be between 0 and 100".
std::string NumCheck(double v, const NumRange& r);
// The same for typed text: the whole text must be one decimal number
// (surrounding blanks allowed). value (optional) receives it when it passes.
std::string NumCheckText(const std::string& text, const NumRange& r, double* value = nullptr);
// The same check as a code, for a caller that words the reason itself (the
// pages, in the interface language).
enum class NumFault { None, NotNumber, NotFinite, OutOfRange };
NumFault NumCheckFault(const std::string& text, const NumRange& r, double* value = nullptr);

// The ranges of the export and pass-rate settings.
// Unit electrode spacing, m.
inline constexpr NumRange NUM_UNIT_SPACING{0.0, 1.0e6, true};
// Pole combination shift, percent.
inline constexpr NumRange NUM_SHIFT_PERCENT{0.0, 100.0, false};
// System error of the apparent resistivity, percent.
inline constexpr NumRange NUM_SYS_ERR_APP_PERCENT{0.0, 100.0, false};
// System error of the phases, mrad.
inline constexpr NumRange NUM_SYS_ERR_CP_MRAD{0.0, 1000.0, false};
// Offset added to every x, m.
inline constexpr NumRange NUM_X_SHIFT{-1.0e7, 1.0e7, false};
// Maximum relative error of the apparent resistivity, percent.
inline constexpr NumRange NUM_MAX_ERR_APP_PERCENT{0.0, 1000.0, false};
// Maximum error of the relative phase, mrad (pi rad, the export page's
// default, is the largest an error can be).
inline constexpr NumRange NUM_MAX_ERR_CP_MRAD{0.0, 3141.6, false};
// A sample index of a time series, and a segment length in samples.
inline constexpr NumRange NUM_SAMPLE_INDEX{0.0, 2147483647.0, false};
inline constexpr NumRange NUM_SAMPLE_COUNT{0.0, 2147483647.0, true};
