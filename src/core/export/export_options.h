// What an export run is asked to write: one record, filled by the export
// page from its widgets and by varnex-cli from its flags, read by the plan,
// the run and the writers as it is.
#pragma once

#include <string>
#include <vector>

#include "core/sip/format_txt.h"
#include "core/sip/limits.h"
#include "core/sip/sip_pub.h"

// The files an export writes. The page's output choice ("检查点", "中梯扫面",
// "二维测深", "三维测深", "拟断面数据" / "反演数据") names one of them.
enum class ExportFormat {
  Res2dinv,   // 2-D sounding, inversion data
  Zond2d,     // 2-D sounding, inversion data for Zondres2d
  Res3dinv,   // 3-D sounding, inversion data, topography at the end
  Ohm,        // the Res2dinv data points (Res3dinv for the free layout) in the unified data format
  Section,    // 2-D sounding, pseudo-section
  Section3d,  // 3-D sounding, pseudo-section of three or four electrodes
  Plane,      // mid-gradient scan
  CheckErr,   // check points
  // The .ohm data points with every frequency point in one dataset:
  Fdip,       // FDIP: BASE.shm and its matrices
  Crtomo,     // CRTomo / REDA: folder BASE_crtomo/
  Protocol,   // ResIPy: folder BASE_protocol/ and its electrode table
};

// The IP columns of the inversion files.
enum class IpQuantity {
  Phase,            // "相位"
  RelativePhase,    // "相对相位"
  FrequencyEffect,  // "频散率"
};

// Numbers are as typed (a text that is not a number being 0), in the units
// of the page's edits. Paths are 8-bit.
struct ExportOptions {
  std::vector<std::string> paths;  // the SRS files, in list order
  std::string path_base;           // output directory + "/" + file name
  ExportFormat format = ExportFormat::Section;
  // The unified data format beside the Res2dinv, Zondres2d or Res3dinv files.
  bool also_ohm = false;
  // Multi-frequency formats (Fdip, Crtomo, Protocol) beside them too, from
  // the same data points; a run whose files cannot fill them writes nothing.
  std::vector<ExportFormat> also_multi_freq;
  IpQuantity ip = IpQuantity::RelativePhase;
  bool from_smt = false;  // "时序数据(SMT)": spectra rebuilt from the time series under smt_dir
  std::string smt_dir;
  bool combine = true;  // "极距组合", 2-D inversion data only
  float shift_percent = 1.0f;
  bool resistivity = true;  // "视电阻率" (else "视电阻")
  float unit_spacing = 10.0f;
  bool add_sys_err = true;
  float sys_err_app_percent = 2.0f;
  float sys_err_cp_mrad = 0.0f;
  bool x_shift_on = false;
  float x_shift = 0.0f;    // m, 2-D only
  bool four_poles = true;  // "四极装置" (else "三极装置"), 3-D sections
  // Layout type of the first file as the caller knows it.
  int layout = SIP_POLE4_SOUNDING;
  std::vector<LimitItem> limits = limit_default_export();
  const CFormatTxtSiteCoord* site_coord = nullptr;
  const CFormatTxtElev* elev = nullptr;
  const CFormatTxtShifting* shifting = nullptr;
  // A named file that cannot be read stops the run before anything is
  // written (the command line); the page skips such files.
  bool stop_on_unreadable = false;
};

// Whether the run writes one file's rows at a time with the free-electrode
// positions (3-D), rather than the merged rows of a group.
bool ExportIsThreeD(const ExportOptions& o);
// Whether the format writes inversion data (the IP and error options apply).
bool ExportIsInversion(ExportFormat f);
// Whether the format holds every frequency point in one dataset.
bool ExportIsMultiFreq(ExportFormat f);
// Whether the pole combination applies: 2-D inversion data with "极距组合".
bool ExportCombines(const ExportOptions& o);
