// Self-potential and grounding resistance of a group's files, for the
// plane and pseudo-section tables.
#pragma once

#include <vector>

#include "core/export/sip_export.h"
#include "core/sip/format_srs.h"

// Station data of a group's files, indexed like MergeResults of their
// single-frequency results (later files win).
StationData BuildStationData(std::vector<CFormatSRS*>& files);
// Station data of one file, indexed like its channel entries.
StationData StationDataOf(const CFormatSRS& srs);
