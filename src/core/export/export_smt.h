// Spectra of an SRS file rebuilt from its SMT time series before an export.
#pragma once

#include <string>
#include <vector>

#include "core/sip/format_srs.h"

// SMT paths (UTF-8) already checked during one export, shared by all its
// files, so that every SMT file is checked at most once per export.
struct SmtLookup {
  std::vector<std::string> found;
  std::vector<std::string> missing;
};

// Recomputes the voltage spectra of srs from the SMT files under smt_dir
// (<smt_dir>/<device>/<base name of the SRS path>.smt) and its current
// spectrum from the current station's file, or synthesizes the current from
// the hand-entered value. A measuring channel without a usable time series
// is left without data. Returns false, srs unchanged, when the current
// station's file is unusable (or its v2i cannot turn a voltage into a
// current) or the file has no harmonics.
bool ConvertFromSmt(CFormatSRS& srs, const std::string& smt_dir, SmtLookup* lookup);
