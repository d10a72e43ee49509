// What the pseudo-section view takes from the export: the groups, the merged
// results and the channel tests of an "拟断面数据" (2-D or 3-D sounding) or
// "中梯扫面" run, computed as the export computes them but without writing
// a file. This file is the view's only door into the export code.
#pragma once

#include <string>
#include <vector>

#include "core/base/run_loop.h"
#include "core/export/export_job.h"
#include "core/export/export_message.h"
#include "core/sip/result.h"

// Where the item kept for one harmonic came from.
struct SectionOrigin {
  std::string file;     // 8-bit path
  std::string station;  // device name of the channel
  int channel = 0;      // 1-based channel of the device
};

// One row of the section or plane table, kept whether it passes the limits
// or not. Positions and depths in metres; depths positive downwards.
struct SectionRow {
  int group = 0;  // index of the group (3-D sounding: of the file)
  int line_no = 0;
  float x = 0.0f;  // section: midpoint P; plane: Coord_X as the table prints it
  float y = 0.0f;  // section: Alt at P (0 without elevation table); plane: Coord_Y
  float depth_ab = 0.0f;  // -(-AB/5) column, three electrodes: eq_depth
  float depth_pc = 0.0f;  // -(-PC/2d5) column, three electrodes: eq_depth
  float n_level = 0.0f;   // nearest current-to-potential electrode distance / MN
  bool passed = false;    // the row is in the written table (the limits hold)
  std::string site;       // plane: the M site of the coordinate table, else empty
  std::vector<ResItem> items;         // per harmonic, frequency row 0
  std::vector<SectionOrigin> origin;  // per harmonic
};

enum SectionStatus {
  SECTION_OK = 0,
  SECTION_DEVICE_ERROR,  // arg: 1-based index of the file of another layout
  SECTION_NO_FILES,      // no readable file with channels
  SECTION_READ_FAILED,   // arg_path: the file that could not be read
  SECTION_CANCELLED,
  SECTION_SAME_NAME,     // refusal.args: two files of one base name (time series from SMT)
};

struct SectionSource {
  SectionStatus status = SECTION_OK;
  int arg = 0;
  std::string arg_path;  // UTF-8
  ExportMessage refusal;  // the export's message for a status other than OK and CANCELLED
  bool plane = false;        // mid-gradient plane table
  bool three_poles = false;  // three-electrode section columns
  int harm_num = 0;          // of the first group
  std::vector<float> freqs;  // Hz, per harmonic
  std::vector<SectionRow> rows;
  std::vector<int> lines;    // distinct line numbers, ascending
};

// o as the export page fills it, with o.format ExportFormat::Section,
// Section3d or Plane; the files are planned (PlanExport) and read as the
// export reads them; with o.stop_on_unreadable a file that cannot be read
// stops the collection (SECTION_READ_FAILED, arg_path in UTF-8). Groups
// whose harmonic count differs from the first one's are left out, as the
// export leaves them out.
SectionSource CollectSection(const ExportOptions& o, RunProgress* progress);
