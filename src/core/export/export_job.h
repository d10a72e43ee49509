// The export runs behind "导出数据" and "导出合格率": grouping of the input
// files, merging of their results, the station data, the writing of every
// group and the messages for the caller to show. The export page fills an
// ExportSettings from its widgets; varnex-cli fills it from its options.
#pragma once

#include <string>
#include <vector>

#include "core/base/run_loop.h"
#include "core/export/sip_export.h"
#include "core/sip/format_srs.h"
#include "core/sip/format_txt.h"
#include "core/sip/limits.h"

// The output choice of the page ("检查点", "中梯扫面", "二维测深", "三维测深").
enum ExportTarget {
  TARGET_CHECK_ERR = 0,
  TARGET_MID_GRADIENT = 1,
  TARGET_2D_SOUNDING = 2,
  TARGET_3D_SOUNDING = 3,
};

// What the export page holds when an export starts: its radio buttons,
// check boxes and edits (numbers as typed, a text that is not a number
// being 0), its side tables and its limit table. Paths are 8-bit.
struct ExportSettings {
  std::vector<std::string> paths;  // the imported SRS files, in list order
  std::string path_base;           // output directory + "/" + file name
  bool input_ts = false;           // "时序数据(SMT)"
  std::string smt_dir;
  ExportTarget target = TARGET_2D_SOUNDING;
  bool inversion = false;   // "反演数据" (else "拟断面数据")
  bool zond = false;        // Zondres2d instead of Res2dinv
  bool ohm = false;         // the unified data format instead of Res2dinv / Res3dinv
  bool also_ohm = false;    // the unified data format beside the Res2dinv / Res3dinv / Zondres2d files
  int ip_kind = 2;          // 1 phase, 2 relative phase ("相对相位"), 3 frequency effect
  bool combine = true;      // "极距组合"
  float shift_percent = 1.0f;
  bool resistivity = true;  // "视电阻率" (else "视电阻")
  float unit_spacing = 10.0f;
  bool add_sys_err = true;
  float sys_err_app_percent = 2.0f;
  float sys_err_cp_mrad = 0.0f;
  bool x_shift_on = false;
  float x_shift = 0.0f;
  bool four_poles = true;  // "四极装置" (else "三极装置"), 3-D sections
  // Layout type of the first imported file as the page knows it.
  int layout = SIP_POLE4_SOUNDING;
  std::vector<LimitItem> limits = limit_default_export();
  const CFormatTxtSiteCoord* site_coord = nullptr;
  const CFormatTxtElev* elev = nullptr;
  const CFormatTxtShifting* shifting = nullptr;
  // A named file that cannot be read stops the run before anything is
  // written (the command line); the page skips such files.
  bool stop_on_unreadable = false;
};

// The writer's settings derived from the page when an export starts.
struct ExportCollected {
  int array_code = SIP_POLE4_SOUNDING;
  bool combine = false;
  int ip_kind = 2;
  float unit_spacing = 10.0f;
  bool resistivity = true;
  bool add_sys_err = true;
  float sys_err_app = 0.02f;  // fraction
  float sys_err_cp = 0.0f;    // rad
  bool x_shift_on = false;
  float x_shift = 0.0f;
};

// Layout type of the first file of paths; 2 for an empty list or a first
// file that cannot be read (a sounding is the most common export).
int ExportFirstLayout(const std::vector<std::string>& paths);
ExportCollected CollectSettings(const ExportSettings& s);

// Groups of paths that form one measurement (same A, B, line origin and
// offset from AB); with free_or_3d every file is a group of its own.
// Files that cannot be read or have no channel are skipped; unreadable
// (optional) receives the paths of the unreadable ones.
// Returns 0, or the 1-based index of the first readable file whose layout
// differs from layout (groups then emptied: nothing is to be written).
int GroupFiles(const std::vector<std::string>& paths, int layout, bool free_or_3d,
               std::vector<std::vector<std::string>>* groups, std::vector<std::string>* unreadable = nullptr);

// One result of the results of one group and one combination order: one
// channel per distinct m_pos, per harmonic the item with the most data and
// the smaller relative error (earlier results win ties); items stacked from
// fewer than two values are dropped. Results whose harmonic count or A (B
// when has_b) differ from the first one's are left out.
CResultSip MergeResults(std::vector<CResultSip>& results, int count, bool has_b);

// Station data of a group's files, indexed like MergeResults of their
// single-frequency results (later files win).
StationData BuildStationData(std::vector<CFormatSRS*>& files);
StationData StationDataOf(const CFormatSRS& srs);

// Message texts; %1 and %2 are replaced. The defaults are the page's
// Chinese texts; ExportTextsEnglish gives those of the command line.
struct ExportTexts {
  std::string title_file_warning = "文件警告";
  std::string title_tips = "提示";
  std::string title_warning = "警告";
  std::string device_error = "第%1个SRS数据文件装置错误!";
  std::string no_files = "没有找到符合要求的SRS数据文件!";
  std::string read_failed = "读取文件%1失败!";
  std::string smt_missing = "以下%1个时序文件缺失或无数据:";
  std::string converted = "数据转换完成";
  std::string exported = "数据导出完成";
  std::string no_valid = "导出完成，无有效数据!";
  std::string name_empty = "导出的文件名为空!";
  std::string create_failed = "无法创建文件%1: %2";
  std::string not_completed = "文件%1未能完整写入: %2";
  std::string harm_mismatch = "%1所在组的谐波数与第一组不同，该组数据未导出!";
  std::string no_fs = "%1文件不支持频散率!";
  std::string no_harmonics = "%1没有可导出的谐波，该组数据未导出!";
  std::string cancelled = "导出已取消，文件中为取消前导出的数据。";
};
ExportTexts ExportTextsEnglish();

struct ExportMessage {
  std::string title;
  std::string text;
  bool warning = false;  // a warning box, else an information box
};

struct ExportRun {
  bool completed = false;  // the run went through; false: stopped or cancelled
  bool cancelled = false;
  std::vector<ExportMessage> messages;  // in the order to show them
  std::vector<std::string> written;     // files put in place, in creation order
  std::vector<std::string> smt_missing; // SMT paths (UTF-8) missing or unusable
  std::vector<std::string> skipped;     // first files of groups left out for their harmonic count
};

// The whole "导出数据" run: grouping, then every group written; progress is
// asked before each group; a cancel finishes the files with the groups
// written so far, like a run that stops on an unreadable file.
ExportRun RunExport(const ExportSettings& s, const ExportTexts& texts, RunProgress* progress);
// The same after the caller's own GroupFiles (the page asks for the
// directory in between).
ExportRun RunExportGroups(const ExportSettings& s, const std::vector<std::vector<std::string>>& groups,
                          const ExportTexts& texts, RunProgress* progress);

// "导出合格率": one line per file with channels and the per-position
// summary, BASE_passRate.txt with BASE = s.path_base. Uses the paths,
// layout, limits, elevation table, unit spacing and system errors of s.
ExportRun RunPassRate(const ExportSettings& s, const ExportTexts& texts, RunProgress* progress);

// text with "%1" (and "%2") replaced.
std::string ExportArg(const std::string& text, const std::string& a1, const std::string& a2 = std::string());
