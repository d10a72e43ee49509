// SPM parameter file: the parameter set of one measurement, that is the
// measurement record, one device record per acquisition station and the
// electrode list of the free layout. Little-endian:
//   int32 file version (FILE_SPM_VER)
//   PrmMeas stream, int32 device count n, n PrmDev streams (SRS device order)
//   from file version 2: int32 list version (2), int32 count m,
//                        m x (length-prefixed name, float x, float y)
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "core/sip/sip_pub.h"

class CFormatSRS;

constexpr int FILE_SPM_VER = 2;

// Writes a whole SPM file; false when the stream saw a write error.
bool SpmWrite(FILE* fp, const PrmMeas& meas, const std::vector<PrmDev>& devs, const std::vector<PrmPole>& poles);
// The electrode list part; returns the bytes written.
size_t SpmWritePoleList(FILE* fp, const std::vector<PrmPole>& poles);

enum SpmPoleListRead {
  SPM_POLES_READ = 0,     // poles holds the list, or what of it the file held
  SPM_POLES_MISSING = 1,  // no list version in the file: poles emptied
  SPM_POLES_NEWER = 2,    // a list version this program does not know: poles untouched
};

// Reads an electrode list into poles. A list cut short keeps the electrodes
// that were complete; a count the file cannot hold never allocates more than
// the remaining bytes allow.
SpmPoleListRead SpmReadPoleList(FILE* fp, std::vector<PrmPole>* poles);

enum SpmImportMode {
  SPM_IMPORT_COMPLETE = 0,  // everything but the device names and the file name
  SPM_IMPORT_LINE = 1,      // only MN, the first electrode, the device records and the electrodes
};

enum SpmReadStatus {
  SPM_READ_OK = 0,
  // The measurement record or a device record cannot be read, or the file
  // holds another number of devices than the displayed file.
  SPM_READ_MISMATCH = 1,
  // A complete import would switch between a current station and a
  // hand-entered current: the stored results cannot follow that.
  SPM_READ_CURRENT_MODE = 2,
};

struct SpmReadResult {
  SpmReadStatus status = SPM_READ_MISMATCH;
  int file_ver = 0;
  SpmPoleListRead poles = SPM_POLES_MISSING;
  bool poles_present = false;  // the file version carries an electrode list
  std::string why;             // one line, English, when status is not OK
};

// Imports an SPM file into the edited records of the displayed file: meas,
// devs (one per device, matched by position; their names are kept) and the
// electrode list poles. A failure changes nothing. With the complete import
// the measurement record is replaced except its file_name; with the line
// import only mn and first_pole_pos are taken. An electrode list of a newer
// version is refused and poles kept; the rest is imported.
SpmReadResult SpmRead(FILE* fp, SpmImportMode mode, PrmMeas* meas, std::vector<PrmDev>* devs,
                      std::vector<PrmPole>* poles);

// Whether device records can stand over the stored results of srs: every
// result entry that names one of the devices and a channel a station can
// have (0..MAX_CH_NUM-1) must name a channel below the record's channel
// count (a record with no channels under results that use them
// would be saved into a file no reader accepts). Empty when they fit,
// otherwise the reason, one English line naming the first entry that does
// not.
std::string SpmDevicesFitResults(const std::vector<PrmDev>& devs, CFormatSRS& srs);
