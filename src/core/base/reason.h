// Why a read or a write failed, as a code with its arguments, so that each
// interface words it in its own language: the GUI through its translator,
// varnex-cli and the log in English (text, the one line they always had).
#pragma once

#include <string>

enum class ReasonCode {
  None,
  Other,          // only the English text says what happened
  CannotOpen,     // file could not be opened for reading: sys_error
  NotValid,       // the file is not one of its format
  DamagedPart,    // part at byte offset does not read
  DamagedLine,    // line of a text table does not read
  CannotCreate,   // no new file can be made in folder file: sys_error
  CannotWrite,    // writing file failed: sys_error
  CannotReplace,  // the new file could not take the place of file: sys_error
  IsFolder,       // file names a folder
  NoFileName,     // an empty file name
  BackupFailed,   // the original file could not be kept as its backup: sys_error
  NameTaken,      // file was written from other (another input) in this run
  NoBaseName,     // the input has no base name to write the output under
  StationCount,   // the edited records hold count stations, the file other_count
  StationDiffers,  // station count (1-based) has another name or channel count than in the edited file
  CannotRebuild,  // harmonic count or current factor unusable for a rebuild
  NoCurrentSeries,  // the current station's time series file is missing
  FieldCount,     // line of a text table has count fields, other_count expected
  NulByte,        // line of a text table holds a NUL byte
};

// The parts of the binary files a reader names when it stops.
enum class ReasonPart {
  None,
  StartOfFile,
  Version,
  Measurement,
  DeviceRecords,
  DeviceRecord,
  Electrodes,
  SelfPotential,
  VoltageSpectra,
  CurrentSpectra,
  SingleResult,
  ComposedResult,
  Gps,
  Gains,
  Samples,
};

struct Reason {
  ReasonCode code = ReasonCode::None;
  ReasonPart part = ReasonPart::None;
  long offset = -1;      // DamagedPart: byte offset where the part starts
  long line = -1;        // DamagedLine, FieldCount, NulByte: 1-based
  std::string file;      // 8-bit path the reason is about
  std::string other;     // NameTaken: the input written first
  int sys_error = 0;     // errno
  long count = 0;        // StationCount, FieldCount
  long other_count = 0;  // StationCount, FieldCount
  std::string text;      // the English line

  bool empty() const { return code == ReasonCode::None; }
  void clear() { *this = Reason(); }

  static Reason Of(ReasonCode code, std::string text);
  static Reason System(ReasonCode code, const std::string& file, int err, std::string text);
  // A reader's part, named as the readers name it in their English text
  // ("device record", "voltage spectrum array"); an unknown name gives
  // ReasonPart::None.
  static Reason Damaged(const std::string& part_name, long offset, std::string text);
  static Reason Line(long line, std::string text);
  static Reason FieldCount(long line, long count, long expected, std::string text);
};

ReasonPart ReasonPartOf(const std::string& part_name);
