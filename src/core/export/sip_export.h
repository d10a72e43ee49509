// The writer of one export run: inversion inputs (Res2dinv, Res3dinv,
// Zondres2d, the open unified data format) and the plane, pseudo-section,
// check-point and pass-rate tables, from result containers with one
// frequency row.
//
// Files are created on the first write call of a run, named the options'
// path_base plus a suffix, and written under unique temporaries beside their
// targets. No
// target is touched before Finish, which patches the data-point counts into
// the temporaries, syncs every one of them and only then renames them into
// place; Discard drops them. A kill in the middle of a run therefore leaves
// an earlier export of the same name as it was, all of its files, and a
// kill can mix old and new files of one set only among the renames.
//
// Every number goes through the C printf formats of the file kinds, with a
// dot as decimal separator whatever the process locale. Lines end in "\n".
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/base/algo.h"
#include "core/base/atomic_file.h"
#include "core/export/export_line.h"
#include "core/export/export_options.h"
#include "core/export/multi_freq.h"
#include "core/sip/format_srs.h"
#include "core/sip/format_txt.h"
#include "core/sip/limits.h"
#include "core/sip/result_sip.h"

// Self-potential and grounding resistance per measuring position of a group,
// indexed like the channel entries of the group's merged result.
struct StationData {
  int count = 0;
  std::vector<bool> sp_valid;
  std::vector<float> sp_ac;  // V
  std::vector<float> sp_dc;  // V
  std::vector<bool> gr_valid;
  std::vector<float> gr;  // ohm
};

// A phase as the export files give it: wrapped into half a turn.
inline float ExportPhase(float phi) { return algo_phase_half_wrap(phi); }

// The per-harmonic quantities of the plane and section tables, in their
// column order.
enum TableQuantityCol {
  TABLE_R = 0,      // apparent resistivity, ohm.m
  TABLE_LG10_R,     // its logarithm
  TABLE_R_ERR,      // its relative error, percent
  TABLE_PH,         // phase, mrad
  TABLE_PH_ERR,
  TABLE_CP,         // relative phase, mrad
  TABLE_CP_ERR,
  TABLE_FS,         // frequency effect, percent
  TABLE_FS_ERR,
  TABLE_QUANTITY_CNT,
};
// Quantity q (TableQuantityCol) of an item, as the tables print it.
float TableQuantity(const ResItem& it, int q);

// One position of the pass-rate summary.
struct PassPos {
  float x = 0.0f;
  float y = 0.0f;
  int qualified = 0;
  int count = 0;
  float rate = 0.0f;  // percent
};

// What the last failed write call of a run was refused for.
enum ExportError {
  EXPORT_OK = 0,
  EXPORT_CREATE_FAILED,  // a file of the run could not be created; ErrorFile/ErrorWhy tell which and why
  EXPORT_HARM_MISMATCH,  // the result's harmonic count is not the run's
  EXPORT_BAD_INPUT,      // no harmonics, a limit table without its three rows, an IP kind the format lacks
  EXPORT_FREQ_MISMATCH,  // the multi-frequency formats: a file's frequency points are not the run's
  EXPORT_FEW_FREQS,      // the multi-frequency formats: fewer than two frequency points
};

class CSipExport {
public:
  // Which files the first write call creates.
  enum Kind {
    KIND_NONE = 0,
    KIND_RES2DINV,
    KIND_RES3DINV,
    KIND_ZOND2D,
    KIND_OHM,
    KIND_PLANE,
    KIND_SECTION,
    KIND_CHECK_ERR,
    KIND_PASS_RATE,
    KIND_MULTI_FREQ,
  };

  // A writer with the default options and a four-electrode layout (tests).
  CSipExport();
  // opt outlives the writer; array_code is the layout the rows are written
  // for; three_d: the unified data format gets x, y, z electrodes and 3-D
  // positions. The limits are opt's until SetLimits.
  CSipExport(const ExportOptions& opt, int array_code, bool three_d = false);
  ~CSipExport();  // an unfinished run is discarded
  CSipExport(const CSipExport&) = delete;
  CSipExport& operator=(const CSipExport&) = delete;

  // Before a run: files pending, pass-rate counters and records emptied.
  void Reset();
  void SetLimits(const std::vector<LimitItem>* limits) { m_vt_limit = limits; }
  void SetGroupName(const std::string& name) { m_group_name = name; }
  // The shift records whose name occurs in the group name, in table order.
  void SelectShifts();

  // Each write call appends rows to the run's files; false when it wrote
  // nothing because a file could not be created, the harmonic count is not
  // the run's, or the input is unusable (LastError tells which).
  bool WriteRes2dinv(CResultSip& result, CFormatSRS& srs);
  bool WriteRes3dinv(CResultSip& result, CFormatSRS& srs);
  bool WriteZond2d(CResultSip& result, CFormatSRS& srs);
  // Unified data format (pyGIMLi, BERT, ResIPy): the data points of the
  // Res2dinv export (Res3dinv with m_three_d), one file per harmonic, whole
  // at Finish because the electrode table comes first.
  bool WriteOhm(CResultSip& result, CFormatSRS& srs);
  void AppendTopography();
  // FDIP, CRTomo and ResIPy (format): the data points of WriteOhm with every
  // frequency point in one dataset, written whole at Finish. files: the
  // results of the group's files, whose frequency points must all be the
  // run's (EXPORT_FREQ_MISMATCH otherwise; the run is to stop, since the
  // datasets hold one matrix).
  bool WriteMultiFreq(ExportFormat format, CResultSip& result, const std::vector<CResultSip>& files,
                      CFormatSRS& srs);

  bool WritePlane(CResultSip& result, const StationData& station, const std::string& first_name, CFormatSRS& srs);
  bool WriteSection(CResultSip& result, const StationData& station, CFormatSRS& srs);
  // results: the group's per-file results; names: their base names.
  bool WriteCheckErr(std::vector<CResultSip>& results, const std::vector<std::string>& names, int count,
                     CFormatSRS& srs);
  bool WritePassRate(const std::string& path, CFormatSRS& srs);
  void WritePassRateSummary();

  // Completes every file of the run in its temporary: counts patched,
  // flushed and synced, no target touched. False when a file cannot be
  // completed (the reason in ErrorFile/ErrorWhy); the run is then discarded
  // and every target stays as it was.
  bool Seal();
  // Seals the run when not sealed yet, then renames its files into place
  // one after the other (AtomicFile::CommitSet): the files of one harmonic
  // set replace an earlier export together, and a failure before the
  // renames leaves the earlier set whole. False when a file could not be
  // completed (the reason in ErrorFile/ErrorWhy; FileNames then lists the
  // files put in place before it, none unless a rename failed).
  bool Finish();
  // Drops every file of the run; the targets stay as they were.
  void Discard();

  // Targets of the files created by the run, in creation order.
  const std::vector<std::string>& FileNames() const { return m_file_names; }
  const std::vector<int>& Counts() const { return m_counts; }
  bool HasFiles() const { return !m_vt_files.empty(); }
  ExportError LastError() const { return m_last_error; }
  const std::string& ErrorFile() const { return m_error_file; }
  const std::string& ErrorWhy() const { return m_error_why; }

  struct Pt {
    float x = 0.0f;
    float y = 0.0f;
  };
  struct Electrodes {
    Pt a, b, m, n;
  };
  // Electrode rule: free-electrode coordinates from the device record when
  // free is true, else the line positions of the channel entry.
  static Electrodes ElectrodesOf(const ChInfo& info, CResultSip& result, CFormatSRS& srs, bool free);
  // The electrodes of a row by the run's layout (the pseudo-section view
  // places its points with them).
  Electrodes RowElectrodes(const ChInfo& info, CResultSip& result, CFormatSRS& srs) const {
    return ElectrodesOf(info, result, srs, m_opt->layout == SIP_ALL_GRADIENT);
  }
  // The columns of a section row that place it, from the row's electrodes.
  struct SectionPlace {
    float p = 0.0f;  // MN/2(m): the midpoint of M and N
    // Three electrodes: AO/10(m), eq_pos(m), eq_depth(m) (negative), and
    // P_Left (the midpoint lies at a larger x than A).
    float ao10 = 0.0f, eq_pos = 0.0f, eq_depth = 0.0f;
    bool p_left = false;
    // Four electrodes: -AB/5(m) and -PC/2d5(m).
    float ab5 = 0.0f, pc2d5 = 0.0f;
  };
  static SectionPlace SectionPlaceOf(const Electrodes& e);
  // The plane table's sites of channel i: M at its position, N at the next
  // entry's; false when either is missing or the result has one channel.
  bool PlaneSites(CResultSip& result, int i, CFormatTxtSiteCoord::Item* m, CFormatTxtSiteCoord::Item* n) const;
  float ElevAt(float x) const { return Elev(x, 0.0f); }

  // Channel tests, public for the run and the tests.
  bool IsUsable(int ch, CResultSip& result, CFormatSRS& srs, bool with_limits) const;
  bool PassLimits(const ResItem& item) const;
  bool PassLimitsHarm(CResultSip& result, int ch, int j) const;
  int ElectrodeCount() const { return m_array_code == SIP_POLE3_SOUNDING ? 3 : 4; }
  // Texts of the three station columns of entry i ("*" where missing).
  static void StationColumns(const StationData& st, int i, std::string out[3]);
  // The error-estimate line of the Res2dinv and Res3dinv headers.
  std::string ErrorEstimateLine() const;

  // Inputs, set before the first write call (the group name before each group).
  std::string m_group_name;
  int m_array_code = SIP_POLE4_SOUNDING;
  bool m_three_d = false;

  // Run state.
  bool m_header_pending = true;
  int m_harm_num = 0;
  std::vector<std::unique_ptr<AtomicFile>> m_vt_files;
  std::vector<std::string> m_file_names;
  std::vector<long> m_count_pos;
  std::vector<int> m_counts;
  const std::vector<LimitItem>* m_vt_limit = nullptr;
  std::vector<PassPos> m_pass_pos;
  std::vector<CFormatTxtShifting::Item> m_shift_sel;
  int m_qualified = 0;
  int m_total = 0;

private:
  // One data point of the unified data format, per harmonic.
  struct OhmRow {
    float x[4] = {0, 0, 0, 0};  // A, B, M, N
    float y[4] = {0, 0, 0, 0};
    float z[4] = {0, 0, 0, 0};
    bool has_b = true;
    float rho = 0.0f, err = 0.0f, ip = 0.0f, iperr = 0.0f;
  };

  static const ExportOptions& DefaultOptions();
  // The system errors as fractions of the apparent resistivity and in rad.
  float SysErrApp() const { return m_opt->sys_err_app_percent / 100.0f; }
  float SysErrCp() const { return m_opt->sys_err_cp_mrad / 1000.0f; }
  // Site records of M (at the channel's m_pos) and N (at n_pos) on the
  // channel's line, within 5 % of MN: 0 without M, 1 with M only, 2 both.
  int FindSites(const ChInfo& info, float n_pos, CFormatTxtSiteCoord::Item* m, CFormatTxtSiteCoord::Item* n) const;
  // Whether a check point's first measurement can be shown.
  bool CheckPasses(std::vector<CResultSip>& results, int file, int ch) const;
  // The A, B, M, site and coordinate columns of a check-point row.
  void CheckNodePosition(FILE* fp, float node, const ChInfo& info, CResultSip& first, bool four) const;
  float GeoK(const Electrodes& e, CFormatSRS& srs, bool zero_mn_y) const;
  float Elev(float x, float y) const { return m_opt->elev ? m_opt->elev->GetElev(x, y) : 0.0f; }
  bool UsableForInversion(int ch, CResultSip& result, CFormatSRS& srs) const;
  // The channels of result that UsableForInversion accepts, in order.
  std::vector<int> UsableChannels(CResultSip& result, CFormatSRS& srs) const;
  // Value and error columns of harmonic h (resistivity pair, then IP pair).
  // The apparent resistivity (or resistance) and its error.
  void AmpColumns(const ResItem& item, float k, ExportLine& line) const;
  // Those two, then the IP value and its error.
  void ResColumns(const ResItem& item, float k, ExportLine& line) const;
  // The electrode count and the x and second column of every electrode: the
  // elevation at x when elev is set, y otherwise; d shifts the electrodes.
  void ElectrodeColumns(const Electrodes& e, const Electrodes* d, bool elev, ExportLine& line) const;
  // The data lines of the Res2dinv and Res3dinv files: per file (harmonic)
  // one line per usable channel, its electrodes shifted by shift_of(i).
  void WriteInversionRows(CResultSip& result, CFormatSRS& srs, bool elev,
                          const std::function<Electrodes(int)>& shift_of);
  float IpValue(const ResItem& item) const;
  float IpError(const ResItem& item) const;
  // The impedance phase error in mrad, system error included.
  float PhaseError(const ResItem& item) const;
  // The electrode positions of an .ohm row of channel i.
  MultiFreqPositions OhmPositions(int i, const Electrodes& e) const;
  bool WriteMultiFreqFiles();
  float AppError(const ResItem& item) const;
  void ShiftOffsets(int i, Electrodes* d) const;

  // Creates the files of kind on the first call (header included); false
  // when the run cannot take result.
  bool Prepare(Kind kind, CResultSip& result);
  bool CreateFile(const std::string& name, bool with_count);
  // Targets of the files of kind, one per harmonic where the kind has one.
  std::vector<std::string> FileNamesOf(Kind kind, int harm) const;
  void WriteHeader(Kind kind, size_t idx, CResultSip& result);
  // The data-point count (patched at Finish), the IP block and the error
  // estimate of the Res2dinv and Res3dinv headers.
  void WriteInversionHeaderTail(FILE* fp, size_t idx, CResultSip& result, bool ip_present);
  void WriteZondHeader(FILE* fp, size_t idx, CResultSip& result);
  void WriteIpHeader(FILE* fp, CResultSip& result, int h) const;
  void WriteTableHeader(Kind kind, FILE* fp);
  FILE* Fp(size_t i) const { return m_vt_files[i]->Stream(); }
  void Refuse(ExportError e) { m_last_error = e; }
  // Records file i as the one that could not be completed.
  void NotCompleted(size_t i);
  void WriteOhmFiles();
  static const LimitItem& NoLimit();
  const LimitItem& Row(int r) const;

  Kind m_kind = KIND_NONE;
  bool m_sealed = false;
  ExportError m_last_error = EXPORT_OK;
  std::string m_error_file;
  std::string m_error_why;
  std::vector<std::vector<OhmRow>> m_ohm_rows;  // per harmonic
  // The multi-frequency run: its format, frequency points as the results
  // give them, the harmonic of each dataset (ascending frequencies), the
  // rows so far with their positions.
  ExportFormat m_mf_format = ExportFormat::Fdip;
  std::vector<float> m_mf_freqs;
  std::vector<int> m_mf_order;
  MultiFreqData m_mf;
  std::vector<MultiFreqPositions> m_mf_pos;
  const ExportOptions* m_opt;
};
