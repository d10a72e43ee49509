// The writers of the export formats, one per ExportFormat, in one table.
// Adding a format: a value in ExportFormat, a write function here and its
// row in the table (export_writers.cpp).
#pragma once

#include <string>
#include <vector>

#include "core/export/export_options.h"
#include "core/export/sip_export.h"

// What a writer gets of one group and one combination order.
struct GroupRows {
  std::vector<CResultSip>& results;        // per file of the group
  CResultSip& rows;                        // the merged result (2-D) or the first file's (3-D)
  const std::vector<std::string>& names;   // base names of the group's files (8-bit)
  const std::string& first_name;           // base name of the first file (UTF-8)
  const StationData& station;
  CFormatSRS& first;                       // the group's first file
};

struct ExportWriter {
  ExportFormat format;
  // Appends the group's rows to the run's files; false as CSipExport's
  // write calls (LastError tells why).
  bool (*write)(CSipExport& ex, GroupRows& g);
  // Rows from every file's result (check points) rather than from g.rows.
  bool per_file;
  // Name in the refusal of the frequency effect; null when the format can
  // carry it.
  const char* no_fs_name;
  // Res3dinv's topography block after the last group.
  bool topography;
  // Whether the unified data format can be written beside it.
  bool with_ohm;
};

const ExportWriter& ExportWriterOf(ExportFormat format);
