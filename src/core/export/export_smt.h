// Spectra of an SRS file rebuilt from its SMT time series before an export.
#pragma once

#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "core/sip/format_srs.h"

// SMT paths (UTF-8) already checked during one export, shared by all its
// files, so that every SMT file is checked at most once per export. Files of
// the export may be converted on several threads at once: a path being
// checked by one is waited for by the others.
class SmtLookup {
public:
  // Checked paths, usable or not, in the order the conversions met them.
  // Settle puts them in the order of the run.
  std::vector<std::string> found;
  std::vector<std::string> missing;

  // Whether path can be used; check(path) is asked only the first time any
  // file meets the path. Records the answer for the SRS file srs_path.
  bool Lookup(const std::string& srs_path, const std::string& key, const std::function<bool()>& check);
  // found and missing as converting the files of run_paths one after
  // another, in that order, would have listed them.
  void Settle(const std::vector<const std::string*>& run_paths);

private:
  std::mutex m_lock;
  std::condition_variable m_done;
  std::map<std::string, int> m_state;  // key: 1 usable, 0 not, -1 being checked
  // Per SRS file, the keys it met in its order.
  std::map<std::string, std::vector<std::string>> m_met;
};

// Recomputes the voltage spectra of srs from the SMT files under smt_dir
// (<smt_dir>/<device>/<base name of the SRS path>.smt) and its current
// spectrum from the current station's file, or synthesizes the current from
// the hand-entered value. A measuring channel without a usable time series
// is left without data. Returns false, srs unchanged, when the current
// station's file is unusable (or its v2i cannot turn a voltage into a
// current) or the file has no harmonics.
bool ConvertFromSmt(CFormatSRS& srs, const std::string& smt_dir, SmtLookup* lookup);
