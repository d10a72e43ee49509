// Every frequency point of a run in one dataset, written in the three
// layouts the open multi-frequency SIP inversions read: FDIP, CRTomo (as
// REDA imports it) and ResIPy's protocol files.
//
// Numbers carry a dot whatever the user's locale; lines end in "\n"; columns
// are separated by one space (ResIPy: one tab, its electrode table: a comma).
// Every real number is rounded to float, the precision of the data, and
// written as the shortest text that reads back as the same float (C++
// to_chars: "105.37", "0.0125", "-99999", "1e+05"), so no digit of the data
// is lost and none is invented. Values derived from two floats (R = rho / k,
// phases in rad, absolute errors) are computed in double first. Electrode
// numbers and counts are plain integers.
//
// A write puts every file of the format into a temporary beside its target
// first (the atomic-file helper) and renames them into place only when all
// of them are complete, so a failed run leaves neither half files nor a
// partial set. Only a failing rename after some files are in place (the
// temporaries are complete and synced by then) can leave a mixed set; the
// files this run had newly created are then removed again.
#pragma once

#include <string>
#include <vector>

struct MultiFreqElectrode {
  float x = 0.0f, y = 0.0f, z = 0.0f;  // m
  // Written only to ResIPy's electrode table: an electrode far outside the
  // survey that stands for one at infinity.
  bool remote = false;
};

// Electrode numbers index MultiFreqData::electrodes from 1; 0 is a remote
// electrode (only B may be remote, as in the unified data format).
struct MultiFreqPoint {
  int a = 0, b = 0, m = 0, n = 0;
  float k = 0.0f;  // geometric factor, m: rho = k * R
};

struct MultiFreqValue {
  float rho = 0.0f;        // apparent resistivity, ohm-m
  float rho_err = 0.0f;    // relative (fraction), system error included
  float phase = 0.0f;      // impedance phase, mrad (negative for normal IP)
  float phase_err = 0.0f;  // absolute, mrad, system error included
};

struct MultiFreqData {
  std::vector<float> freqs;  // Hz, strictly ascending
  std::vector<MultiFreqElectrode> electrodes;
  std::vector<MultiFreqPoint> points;
  std::vector<std::vector<MultiFreqValue>> values;  // [frequency][point]
};

// Electrode positions of one data point: A, B, M, N.
struct MultiFreqPositions {
  float x[4] = {0, 0, 0, 0};
  float y[4] = {0, 0, 0, 0};
  float z[4] = {0, 0, 0, 0};
  bool has_b = true;  // false: B is remote
};

// The electrode table of the points and their electrode numbers, by the rule
// of the unified data format: the distinct (x, y) positions sorted by x, then
// y, numbered from 1; a remote B gets 0. An electrode takes the z of the
// first point that names it. In 2-D (three_d false) the table's y is 0, the
// numbering still tells positions apart by their y. Replaces
// data->electrodes; data->points gets one entry per position (k of existing
// entries kept, new entries 0).
void MultiFreqNumberElectrodes(const std::vector<MultiFreqPositions>& pos, bool three_d, MultiFreqData* data);

enum class MultiFreqProblem {
  kNone,
  kFewFrequencies,      // fewer than two frequency points
  kFrequencyOrder,      // freq: not finite, not above 0 or not above the one before
  kPointCount,          // freq: its dataset has another count than the points
  kElectrodeNumber,     // point: a number outside the table, or A, M or N remote
  kBadElectrode,        // electrode (0-based): a coordinate that is not finite
  kBadValue,            // point, freq (-1 for k): not finite, or k = 0
  kTooManyElectrodes,   // CRTomo: more than 9999 (A * 10000 + B)
  kTooManyFrequencies,  // CRTomo and ResIPy: more than 99 (the two-digit names give the order)
  kWriteFailed,         // file, reason
};

// What a validation or a write returns: a code and its arguments, for the
// caller to word.
struct MultiFreqStatus {
  MultiFreqProblem problem = MultiFreqProblem::kNone;
  int freq = -1;       // 0-based frequency index
  int point = -1;      // 0-based point index
  int electrode = -1;  // 0-based electrode index
  std::string file;    // kWriteFailed: the file or folder
  std::string reason;  // kWriteFailed: what failed, with the system's reason
  bool ok() const { return problem == MultiFreqProblem::kNone; }
};

// The status in English (the command line, the log).
std::string MultiFreqStatusText(const MultiFreqStatus& st);

// Whether data can be written: at least two frequencies, strictly ascending;
// the same number of points in every frequency's dataset; electrode numbers
// inside the table; finite values and a non-zero k. The first problem found.
MultiFreqStatus MultiFreqValidate(const MultiFreqData& data);

// The writers. path_base is the output folder + "/" + the base name (8-bit).
// Each validates first and writes nothing when data is refused. written
// (optional) receives the files written, in the order below.
//
// FDIP: BASE.shm, BASE.rhoa, BASE.phia, BASE.rhoaE, BASE.phiaE.
//   .shm: electrode count; "# x y z"; "x y z" per electrode; data count;
//   "# a b m n k"; "a b m n k" per point (0 for a remote electrode); "0".
//   The four matrices: first row the frequencies, then one row per point in
//   .shm order, one column per frequency, separated by one space: apparent
//   resistivity (ohm-m), -phase (rad), relative resistivity error, phase
//   error (rad).
MultiFreqStatus MultiFreqWriteFdip(const MultiFreqData& data, const std::string& path_base,
                                   std::vector<std::string>* written = nullptr);
// CRTomo / REDA: folder BASE_crtomo/ (created when missing) with
//   frequencies.dat: one frequency per line, ascending;
//   volt_%02d_%.6gHz.crt (numbered from 1 in frequency order): the data
//   count, then "A*10000+B M*10000+N R phase" per point, R = rho / k (ohm),
//   phase in mrad as stored, 0 for a remote electrode;
//   errors_%02d_%.6gHz.dat: the data count, then "relative-R-error
//   phase-error(mrad)" per point, line for line beside the volt file;
//   electrodes.dat: "x y z" per electrode in number order.
// Volt and error files of an earlier run with other frequencies are removed
// from the folder, since the reader pairs whatever it finds by name order.
MultiFreqStatus MultiFreqWriteCrtomo(const MultiFreqData& data, const std::string& path_base,
                                     std::vector<std::string>* written = nullptr);
// ResIPy: folder BASE_protocol/ (created when missing) with one
//   protocol_%02d_%.6gHz.dat per frequency: the data count, then per point
//   "num a b m n R phase magErr phiErr" separated by tabs: num from 1,
//   R = rho / k (ohm), phase in mrad as stored, magErr = rho_err * |R| (ohm),
//   phiErr in mrad. Protocol files of an earlier run are removed.
// BASE_protocol_electrodes.csv beside the folder: "label,x,y,z,buried,remote"
//   with the electrodes in number order, then, when a point has a remote B,
//   one electrode more (the next number) at x = min(-99999, smallest x -
//   99999), y = 0, z = 0, marked remote; buried and remote as True/False.
MultiFreqStatus MultiFreqWriteProtocol(const MultiFreqData& data, const std::string& path_base,
                                       std::vector<std::string>* written = nullptr);
