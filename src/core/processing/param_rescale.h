// Corrected measurement parameters carried into SRS files. The stored
// apparent resistivities are not recomputed from the spectra but rescaled by
// the ratio of each channel's new and old geometric factor and, for the file
// the parameters were edited on, by the inverse ratio of the new and old
// current. Channels set to invalid are invalidated in both results and in
// the voltage spectra; their entries stay.
//
// Every save keeps the untouched original once beside the file
// (<name>.SRS.orig) and writes through the atomic writer, so no save loses
// the acquisition data.
#pragma once

#include <string>
#include <vector>

#include "core/base/run_loop.h"
#include "core/sip/format_srs.h"
#include "core/sip/result.h"
#include "core/sip/sip_pub.h"

// Factor of the current: old v2i / new v2i when a current station recorded
// the current, new / old hand-entered current otherwise. Defined only for
// records of the same current mode; other pairs, and factors that are not a
// finite positive number (a zero sensor factor or current), give 0.
double ParamCurrentRatio(const PrmMeas& new_meas, const PrmMeas& old_meas);

// Rescales the entries of r, a result of srs, from srs's records to the
// edited records meas and devs (one per device of srs) with the current
// factor ratio, and replaces their channel entries. Entries naming a device
// or channel outside devs are left alone; returns how many there were.
int ParamRescaleResults(CResult* r, const CFormatSRS& srs, const PrmMeas& meas, const std::vector<PrmDev>& devs,
                        double ratio);

struct ParamApplyResult {
  bool ok = false;
  int skipped = 0;      // result entries naming a device or channel outside the records
  int invalidated = 0;  // entries of m_res whose channel is set to invalid
  std::string why;      // when !ok, in English
  Reason reason;        // when !ok, the same as a code
};

// Carries the edited records into srs in memory: rescales both results,
// invalidates the channels set to invalid, scales the current spectrum by
// the current factor, and takes over the records. A second call rescales
// only by what changed since the first. Fails, changing nothing, when devs
// does not hold one record per device of srs, the current modes differ, or
// a factor would not be a finite nonzero number (a zero current, a
// collapsed dipole): scaling by it would destroy the stored values.
ParamApplyResult ParamApplyToSrs(CFormatSRS* srs, const PrmMeas& meas, const std::vector<PrmDev>& devs);

// Rescales the entries of r, a result of t, to the line settings of src
// (first electrode, MN and the device records); no current factor. False
// when t lists other devices than src (count, names after trimming, channel
// counts) or an entry names a device or channel outside them; entries
// handled before stay changed.
bool ParamRescaleFileResults(CResult* r, CFormatSRS* t, const CFormatSRS& src);

// Copies the line settings of src into t: first electrode and MN, and per
// device vd2ab, pos_valid and the channels' types, site numbers and
// coordinates. False when the device lists differ (devices before the
// mismatch stay changed).
bool ParamCopyLineSettings(CFormatSRS* t, const CFormatSRS& src);

// Carries the line and electrode settings of src (the edited file, after
// ParamApplyToSrs) into another file t in memory. False, with the reason,
// when the files do not match; t is then to be discarded.
bool ParamTransferToFile(CFormatSRS* t, const CFormatSRS& src, std::string* why = nullptr, Reason* reason = nullptr);

struct ParamSaveResult {
  bool ok = false;
  bool backup_made = false;  // this save kept the original as backup_path
  std::string backup_path;
  std::string why;
  Reason reason;
};

// Writes srs over path (8-bit): keeps the untouched original once as
// path + ".orig", then writes through the atomic writer. A failed backup
// writes nothing.
ParamSaveResult ParamSaveSrs(CFormatSRS& srs, const std::string& path);

struct ParamSaveAllResult {
  std::vector<std::string> failed;       // paths not saved, in list order
  std::vector<std::string> failed_why;   // one reason per failed path
  std::vector<Reason> failed_reason;     // the same reasons as codes
  std::vector<std::string> backups;      // backups made by this run
  bool cancelled = false;
};

// Saves the edited file srs (ParamApplyToSrs done) and carries its line
// settings into every other file of paths, in order. A path naming the
// edited file is written from memory, once per listing; any other file is
// read, transferred and written only when the transfer succeeded.
ParamSaveAllResult ParamSaveAll(CFormatSRS& srs, const std::vector<std::string>& paths, RunProgress* progress);

// The line settings typed on the page: every device gets the distance vd2ab
// from AB, and a device with coordinates gets M and N of all six channels
// from its site numbers (M = first + site x mn, N = M + mn).
void ParamSetLineLayout(std::vector<PrmDev>* devs, float first, float mn, float vd2ab);
