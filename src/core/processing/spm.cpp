#include "core/processing/spm.h"

#include <algorithm>
#include <cstring>

#include "core/base/ex_file.h"
#include "core/sip/format_srs.h"

namespace {

// Smallest stored electrode: an empty name (count 0) and two floats.
constexpr long kMinPoleBytes = 4 + 4 + 4;

}  // namespace

bool SpmWrite(FILE* fp, const PrmMeas& meas, const std::vector<PrmDev>& devs, const std::vector<PrmPole>& poles) {
  if (!fp) return false;
  ex_fwrite_i32(fp, FILE_SPM_VER);
  SipPubWriteMeas(fp, meas);
  ex_fwrite_i32(fp, int32_t(devs.size()));
  for (const PrmDev& dev : devs) SipPubWriteDev(fp, dev);
  SpmWritePoleList(fp, poles);
  return std::ferror(fp) == 0;
}

size_t SpmWritePoleList(FILE* fp, const std::vector<PrmPole>& poles) {
  return SipPubWritePoles(fp, poles, FILE_SPM_VER);
}

SpmPoleListRead SpmReadPoleList(FILE* fp, std::vector<PrmPole>* poles) {
  int32_t ver = 0;
  if (!ex_fread_i32_ok(fp, &ver)) {
    poles->clear();
    return SPM_POLES_MISSING;
  }
  if (ver > FILE_SPM_VER) return SPM_POLES_NEWER;
  poles->clear();
  int32_t count = 0;
  if (!ex_fread_i32_ok(fp, &count) || count <= 0) return SPM_POLES_READ;
  poles->reserve(size_t(std::min<long>(count, ex_fremain(fp) / kMinPoleBytes)));
  for (int32_t i = 0; i < count; ++i) {
    PrmPole pole;
    if (ex_fread_str(fp, pole.name, SIP_STR_LEN) < 0) break;
    if (!ex_fread_float_ok(fp, &pole.x) || !ex_fread_float_ok(fp, &pole.y)) break;
    poles->push_back(pole);
  }
  return SPM_POLES_READ;
}

SpmReadResult SpmRead(FILE* fp, SpmImportMode mode, PrmMeas* meas, std::vector<PrmDev>* devs,
                      std::vector<PrmPole>* poles) {
  SpmReadResult res;
  const size_t n = devs->size();
  res.file_ver = ex_fread_i32(fp, 0);

  PrmMeas read_meas;
  if (!SipPubReadMeas(fp, &read_meas)) {
    res.why = "the measurement record of the SPM file cannot be read";
    return res;
  }
  const int32_t dev_num = ex_fread_i32(fp, 0);
  if (dev_num < 0 || size_t(dev_num) != n) {
    res.why = "the SPM file holds " + std::to_string(dev_num) + " station records, the SRS file " +
              std::to_string(n);
    return res;
  }
  // Device records go into copies first: a file cut inside a record must not
  // leave the edited records half overwritten.
  std::vector<PrmDev> read_devs(n);
  for (size_t i = 0; i < n; ++i) {
    if (!SipPubReadDev(fp, &read_devs[i])) {
      res.why = "station record " + std::to_string(i + 1) + " of the SPM file cannot be read";
      return res;
    }
    std::memcpy(read_devs[i].dev_name, (*devs)[i].dev_name, sizeof(read_devs[i].dev_name));
  }
  if (mode == SPM_IMPORT_COMPLETE && read_meas.curr_station_used != meas->curr_station_used) {
    res.status = SPM_READ_CURRENT_MODE;
    res.why = read_meas.curr_station_used
                  ? "the SPM file takes the current from a current station, the SRS file from a hand-entered value"
                  : "the SPM file takes a hand-entered current, the SRS file the current of a current station";
    return res;
  }

  res.poles_present = res.file_ver > 1;
  std::vector<PrmPole> read_poles = *poles;
  if (res.poles_present) res.poles = SpmReadPoleList(fp, &read_poles);

  if (mode == SPM_IMPORT_COMPLETE) {
    char file_name[SIP_STR_LEN];
    std::memcpy(file_name, meas->file_name, sizeof(file_name));
    *meas = read_meas;
    std::memcpy(meas->file_name, file_name, sizeof(file_name));
  } else {
    meas->mn = read_meas.mn;
    meas->first_pole_pos = read_meas.first_pole_pos;
  }
  // Records without coordinates get them from the line settings now, as
  // the SRS reader would: a saved file then reads back to the same records.
  for (PrmDev& dev : read_devs) SipFillDevPos(*meas, &dev);
  devs->swap(read_devs);
  if (res.poles_present) poles->swap(read_poles);
  res.status = SPM_READ_OK;
  return res;
}

std::string SpmDevicesFitResults(const std::vector<PrmDev>& devs, CFormatSRS& srs) {
  CResult* results[2] = {&srs.m_res, &srs.m_res_composed};
  for (CResult* r : results) {
    const int n = r->GetChNum();
    for (int i = 0; i < n; ++i) {
      const ChInfo info = r->GetChInfo(i);
      // Entries outside every device or channel a station can have are left
      // alone by the apply; those of a channel the record does not hold are
      // not.
      if (info.idx_dev < 0 || size_t(info.idx_dev) >= devs.size()) continue;
      if (info.idx_dev_ch < 0 || info.idx_dev_ch >= MAX_CH_NUM) continue;
      const PrmDev& dev = devs[size_t(info.idx_dev)];
      if (info.idx_dev_ch < dev.ch_num) continue;
      return "station record " + std::to_string(info.idx_dev + 1) + " (" +
             std::string(dev.dev_name, strnlen(dev.dev_name, sizeof(dev.dev_name))) + ") has " +
             std::to_string(dev.ch_num) + " channels, the " +
             (r == &srs.m_res ? "single-frequency" : "composed-frequency") + " result uses its channel " +
             std::to_string(int64_t(info.idx_dev_ch) + 1);
    }
  }
  return std::string();
}
