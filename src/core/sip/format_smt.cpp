#include "core/sip/format_smt.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <string>

#include "core/base/clog.h"
#include "core/base/ex_file.h"
#include "core/base/platform.h"
#include "core/base/ex_string.h"

namespace {

constexpr unsigned char SMT_MAGIC = 0x23;
constexpr long SMT_ROW_BYTES = 4 * MAX_CH_NUM;
constexpr float SMT_OVER_RANGE = 1.2f;
// Rows decoded per fread, so that long recordings are not read value by value.
constexpr long SMT_CHUNK_ROWS = 4096;

float le_float(const unsigned char* b) {
  uint32_t u = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
  float v;
  std::memcpy(&v, &u, 4);
  return v;
}

// Layouts and waveforms beyond the first three have no text in this dump.
const char* smt_name_or_unknown(const char* name, int code) {
  return (code >= 0 && code <= 2 && name) ? name : "unknown";
}

const char* ch_type_text(int type, char* buf) {
  if (type < SIP_CH_INVALID || type > SIP_CH_CURRENT) return "unknown";
  buf[0] = SipChTypeLetter(type);
  buf[1] = '\0';
  return buf;
}

// The sample buffers of the last object destroyed on a thread, for the next
// one that reads: the channels of a recording of a few hours are tens of
// megabytes, whose fresh pages cost more to fault in than the file takes to
// decode, and a survey is read file after file by short-lived objects. One
// set per thread; the flag (trivially destructible, so valid to the end of
// the thread) keeps objects destroyed after the set from touching it.
struct SpareSamples {
  std::vector<float> ch[MAX_CH_NUM];
  ~SpareSamples();
};
thread_local bool t_spare_gone = !PLATFORM_THREAD_CACHES;
thread_local SpareSamples t_spare;
SpareSamples::~SpareSamples() { t_spare_gone = true; }

}  // namespace

CFormatSmt::CFormatSmt() { ResetHeader(); }

CFormatSmt::~CFormatSmt() {
  if (t_spare_gone) return;
  for (int c = 0; c < MAX_CH_NUM; ++c) {
    std::vector<float>& big = m_data[c].capacity() >= m_spare[c].capacity() ? m_data[c] : m_spare[c];
    if (big.capacity() > t_spare.ch[c].capacity()) t_spare.ch[c].swap(big);
  }
}

void CFormatSmt::ResetHeader() {
  m_prm_dev = PrmDev();
  m_prm_meas = PrmMeas();
  for (int i = 0; i < MAX_CH_NUM; ++i) {
    m_gain[i] = 1.0f;
    m_sp_ac[i] = 0.0f;
    m_sp_dc[i] = 0.0f;
    m_groud_r[i] = 0.0f;
  }
  m_gps_lon = 0.0;
  m_gps_lat = 0.0;
  m_gps_alti = 0.0f;
  m_mask_sp = 0;
  m_mask_groud_r = 0;
  m_start_time = 0;
}

bool CFormatSmt::ReadFile(FILE* fp) {
  // The header fields of a fresh object have their defaults, so an older
  // file without gains or GPS block never keeps those of the previous file.
  CFormatSmt fresh;
  fresh.m_skip_samples = m_skip_samples;
  // The samples are decoded into the memory of an earlier read, so that an
  // object reading one file after another neither zero-fills nor faults in
  // new pages for every file.
  for (int c = 0; c < MAX_CH_NUM && !m_skip_samples; ++c) {
    fresh.m_data[c].swap(m_spare[c]);
    if (fresh.m_data[c].capacity() == 0 && !t_spare_gone) fresh.m_data[c].swap(t_spare.ch[c]);
  }
  std::string why;
  const bool ok = fresh.ReadBody(fp, &why);
  if (!ok) {
    for (int c = 0; c < MAX_CH_NUM; ++c) m_spare[c].swap(fresh.m_data[c]);
    CLOG_ERR("smt file: %s", why.c_str());
    m_error = why;
    m_reason = fresh.m_reason;
    return false;
  }
  TakeContents(fresh);
  for (int c = 0; c < MAX_CH_NUM; ++c) m_spare[c].swap(fresh.m_data[c]);
  m_error.clear();
  return true;
}

void CFormatSmt::TakeContents(CFormatSmt& from) {
  m_prm_dev = from.m_prm_dev;
  m_prm_meas = from.m_prm_meas;
  std::memcpy(m_gain, from.m_gain, sizeof(m_gain));
  m_gps_lon = from.m_gps_lon;
  m_gps_lat = from.m_gps_lat;
  m_gps_alti = from.m_gps_alti;
  m_mask_sp = from.m_mask_sp;
  std::memcpy(m_sp_ac, from.m_sp_ac, sizeof(m_sp_ac));
  std::memcpy(m_sp_dc, from.m_sp_dc, sizeof(m_sp_dc));
  m_mask_groud_r = from.m_mask_groud_r;
  std::memcpy(m_groud_r, from.m_groud_r, sizeof(m_groud_r));
  m_start_time = from.m_start_time;
  for (int c = 0; c < MAX_CH_NUM; ++c) m_data[c].swap(from.m_data[c]);
  m_data_rows = from.m_data_rows;
  m_ver = from.m_ver;
}

bool CFormatSmt::ReadBody(FILE* fp, std::string* why) {
  long at = 0;
  std::string detail;
  auto fail = [&](const char* what) {
    *why = std::string(what) + " at byte " + std::to_string(at) + (detail.empty() ? "" : ": " + detail);
    m_reason = Reason::Damaged(what, at, *why);
    return false;
  };
  unsigned char magic[2] = {0, 0};
  int32_t ver = 1;
  if (ex_fread(fp, magic, 2) == 2 && magic[0] == SMT_MAGIC && magic[1] == SMT_MAGIC) {
    at = 2;
    if (!ex_fread_i32_ok(fp, &ver)) return fail("version");
  } else {
    ver = 1;
    if (ex_fseek_set(fp, 0) != 0) return fail("start of file");
  }
  m_ver = ver;

  at = ex_ftell(fp);
  if (!SipPubReadMeas(fp, &m_prm_meas, &detail)) return fail("measurement record");
  at = ex_ftell(fp);
  if (!SipPubReadDev(fp, &m_prm_dev, &detail)) return fail("device record");

  if (ver > 1) {
    at = ex_ftell(fp);
    for (int i = 0; i < MAX_CH_NUM; ++i) {
      if (!ex_fread_float_ok(fp, &m_gain[i])) return fail("channel gains");
    }
  }

  if (ver > 2) {
    at = ex_ftell(fp);
    m_gps_lon = ex_fread_double(fp, m_gps_lon);
    m_gps_lat = ex_fread_double(fp, m_gps_lat);
    m_gps_alti = ex_fread_float(fp, m_gps_alti);
    m_mask_sp = ex_fread_i32(fp, m_mask_sp);
    m_mask_groud_r = ex_fread_i32(fp, m_mask_groud_r);
    for (int i = 0; i < MAX_CH_NUM; ++i) {
      m_sp_ac[i] = ex_fread_float(fp, m_sp_ac[i]);
      m_sp_dc[i] = ex_fread_float(fp, m_sp_dc[i]);
      m_groud_r[i] = ex_fread_float(fp, m_groud_r[i]);
    }
    if (!ex_fread_i32_ok(fp, &m_start_time)) return fail("GPS block");
  }

  at = ex_ftell(fp);
  if (!ReadSamples(fp, &detail)) return fail("samples");
  return true;
}

bool CFormatSmt::ReadSamples(FILE* fp, std::string* why) {
  // The row count is taken from the stream itself rather than from a size
  // measured earlier by path, so it can never exceed the bytes really there.
  long pos = ex_ftell(fp);
  long size = ex_fsize(fp);
  if (pos < 0 || size < 0) {
    *why = "stream cannot be measured";
    return false;
  }
  long rows = size > pos ? (size - pos) / SMT_ROW_BYTES : 0;
  if (rows > INT32_MAX) {
    *why = std::to_string(rows) + " sample rows are too many";
    return false;
  }

  if (m_skip_samples) {
    m_data_rows = 0;
    return true;
  }
  for (auto& ch : m_data) ch.resize(size_t(rows));
  std::vector<unsigned char> buf(size_t(std::min(rows, SMT_CHUNK_ROWS) * SMT_ROW_BYTES));
  long done = 0;
  while (done < rows) {
    long n = std::min(rows - done, SMT_CHUNK_ROWS);
    size_t want = size_t(n * SMT_ROW_BYTES);
    if (ex_fread(fp, buf.data(), want) != want) {
      *why = "row " + std::to_string(done + 1) + " of " + std::to_string(rows) + " incomplete";
      Clear();
      return false;
    }
    const unsigned char* b = buf.data();
    for (long r = 0; r < n; ++r) {
      for (int c = 0; c < MAX_CH_NUM; ++c, b += 4) m_data[c][size_t(done + r)] = le_float(b);
    }
    done += n;
  }
  m_data_rows = int32_t(rows);
  return true;
}

bool CFormatSmt::WriteFile(FILE* fp) {
  bool ok = true;
  auto put = [&ok](size_t written, size_t width) { ok = ok && written == width; };
  const unsigned char magic[2] = {SMT_MAGIC, SMT_MAGIC};
  put(ex_fwrite(fp, magic, 2), 2);
  put(ex_fwrite_i32(fp, SMT_FILE_VER), 4);
  SipPubWriteMeas(fp, m_prm_meas);
  SipPubWriteDev(fp, m_prm_dev);
  for (int i = 0; i < MAX_CH_NUM; ++i) put(ex_fwrite_float(fp, m_gain[i]), 4);
  put(ex_fwrite_double(fp, m_gps_lon), 8);
  put(ex_fwrite_double(fp, m_gps_lat), 8);
  put(ex_fwrite_float(fp, m_gps_alti), 4);
  put(ex_fwrite_i32(fp, m_mask_sp), 4);
  put(ex_fwrite_i32(fp, m_mask_groud_r), 4);
  for (int i = 0; i < MAX_CH_NUM; ++i) {
    put(ex_fwrite_float(fp, m_sp_ac[i]), 4);
    put(ex_fwrite_float(fp, m_sp_dc[i]), 4);
    put(ex_fwrite_float(fp, m_groud_r[i]), 4);
  }
  put(ex_fwrite_i32(fp, m_start_time), 4);

  const int rows = ValidRows();
  for (int r = 0; r < rows && ok; ++r) {
    for (int c = 0; c < MAX_CH_NUM; ++c) put(ex_fwrite_float(fp, m_data[c][size_t(r)]), 4);
  }
  return ok && std::ferror(fp) == 0;
}

bool CFormatSmt::PrintFile(FILE* fp) {
  const PrmMeas& m = m_prm_meas;
  const PrmDev& d = m_prm_dev;
  char time_buf[EX_TIME_STR_LEN];

  std::fprintf(fp, "file name: %s\n", m.file_name);
  std::fprintf(fp, "project name: %s\n", m.prj_name);
  std::fprintf(fp, "line no: %d\n", m.line_no);
  std::fprintf(fp, "power A position: %f\n", m.ax);
  std::fprintf(fp, "power B position: %f\n", m.bx);
  std::fprintf(fp, "layout type: %s\n", smt_name_or_unknown(SipLayoutName(m.layout), m.layout));
  std::fprintf(fp, "MN(m): %f\n", m.mn);
  std::fprintf(fp, "first pole position: %f\n", m.first_pole_pos);
  std::fprintf(fp, "harmonic number: %d\n", m.harm_num);
  std::fprintf(fp, "waveform: %s\n", smt_name_or_unknown(SipWaveName(m.wave), m.wave));
  std::fprintf(fp, "base frequency: %f\n", m.freq_base);
  std::fprintf(fp, "start time: %s\n", ex_time_str(time_t(m_start_time), time_buf));
  std::fprintf(fp, "samplerate:%d\n", m.sample_rate);
  if (m.curr_station_used) {
    std::fprintf(fp, "electric current station: %s\n", m.cur_station);
    std::fprintf(fp, "voltage to electric current\xEF\xBC\x9A%fmV/A\n", m.v2i * 1000.0f);
  } else {
    std::fprintf(fp, "electric current value: %fA\n", m.cur_value);
  }
  std::fprintf(fp, "number of channels:%d\n", MAX_CH_NUM);
  std::fprintf(fp, "vertical distance from AB: %f\n", d.vd2ab);
  std::fprintf(fp, "gps longitude:%lf\n", m_gps_lon);
  std::fprintf(fp, "gps latitude:%lf\n", m_gps_lat);
  std::fprintf(fp, "gps altitude:%f\n", m_gps_alti);
  std::fprintf(fp, "mask_sp:%d\n", m_mask_sp);
  std::fprintf(fp, "mask groud_r:%d\n", m_mask_groud_r);

  if (d.ch_num == MAX_CH_NUM) {
    char letter[2];
    std::fprintf(fp, "station: %s\n", d.dev_name);
    std::fprintf(fp, "%-12s", "ch_no");
    for (int i = 0; i < MAX_CH_NUM; ++i) std::fprintf(fp, "ch%-8d", i + 1);
    std::fprintf(fp, "\n%-12s", "ch_type: ");
    for (int i = 0; i < MAX_CH_NUM; ++i) std::fprintf(fp, "%-10s", ch_type_text(d.ch_type[i], letter));
    std::fprintf(fp, "\n%-12s", "site_no: ");
    for (int i = 0; i < MAX_CH_NUM; ++i) {
      if (d.ch_type[i] == SIP_CH_ELECTRIC)
        std::fprintf(fp, "%-10d", d.site_no[i] + 1);
      else
        std::fprintf(fp, "%-10s", "*");
    }
    std::fprintf(fp, "\n%-12s", "sp_ac(mV):");
    for (int i = 0; i < MAX_CH_NUM; ++i) std::fprintf(fp, "%-10.1E", m_sp_ac[i] * 1000.0f);
    std::fprintf(fp, "\n%-12s", "sp_dc(mV):");
    for (int i = 0; i < MAX_CH_NUM; ++i) std::fprintf(fp, "%-10.1E", m_sp_dc[i] * 1000.0f);
    std::fprintf(fp, "\n%-13s", "groud_r(\xCE\xA9):");
    for (int i = 0; i < MAX_CH_NUM; ++i) std::fprintf(fp, "%-10.1E", m_groud_r[i]);
    std::fprintf(fp, "\n");
  }

  const int rows = ValidRows();
  std::fprintf(fp, "number of samples: %d\n", rows);
  std::fprintf(fp, "%-10s", "data_id");
  for (int i = 0; i < MAX_CH_NUM; ++i) std::fprintf(fp, "ch%d(mV)%-11s", i + 1, "");
  std::fprintf(fp, "\n");
  for (int r = 0; r < rows; ++r) {
    std::fprintf(fp, "%-10d", r + 1);
    for (int c = 0; c < MAX_CH_NUM; ++c) std::fprintf(fp, "%-18.6E", m_data[c][size_t(r)] * 1000.0f);
    std::fprintf(fp, "\n");
  }
  return std::ferror(fp) == 0;
}

int CFormatSmt::ValidRows() const {
  size_t rows = m_data_rows > 0 ? size_t(m_data_rows) : 0;
  for (const auto& ch : m_data) rows = std::min(rows, ch.size());
  return int(rows);
}

bool CFormatSmt::CanGetData(int idx_ch, int idx_begin_rows, int rows_num) const {
  if (idx_ch < 0 || idx_ch >= MAX_CH_NUM || idx_begin_rows < 0 || rows_num < 0) return false;
  const int64_t avail = std::min<int64_t>(m_data_rows, int64_t(m_data[idx_ch].size()));
  return int64_t(idx_begin_rows) + rows_num <= avail && m_gain[idx_ch] > 0.0f;
}

bool CFormatSmt::GetData(int idx_ch, int idx_begin_rows, int rows_num, float* out) const {
  if (!CanGetData(idx_ch, idx_begin_rows, rows_num) || (rows_num > 0 && !out)) return false;
  const std::vector<float>& ch = m_data[idx_ch];
  const float gain = m_gain[idx_ch];
  for (int i = 0; i < rows_num; ++i) out[i] = ch[size_t(idx_begin_rows + i)] / gain;
  return true;
}

bool CFormatSmt::GetData(int idx_ch, int idx_begin_rows, int rows_num, std::vector<float>* out) const {
  if (!out || !CanGetData(idx_ch, idx_begin_rows, rows_num)) return false;
  out->resize(size_t(rows_num));
  return GetData(idx_ch, idx_begin_rows, rows_num, out->data());
}

namespace {

// The over-range rule over rows [0, rows) of channel ch, whose partial sum
// runs over channels A .. A+K-1 (K = 1: the channel alone); with out given,
// also out[r] = stored sample / gain. Without branches, so that it runs on
// whole vectors beside the copy.
template <int A, int K>
int scan_rows(const float* const* d, int ch, int rows, float gain, float* out) {
  const float* c = d[ch];
  const float* s0 = K > 1 ? d[A] : c;
  const float* s1 = d[K > 1 ? A + 1 : A];
  const float* s2 = d[K > 2 ? A + 2 : A];
  int over = 0;
  for (int r = 0; r < rows; ++r) {
    float sum = s0[r];
    if (K > 1) sum += s1[r];
    if (K > 2) sum += s2[r];
    over |= int(std::fabs(c[r]) >= SMT_OVER_RANGE) | int(std::fabs(sum) >= SMT_OVER_RANGE);
    if (out) out[r] = c[r] / gain;
  }
  return over;
}

int scan_channel_any(const float* const* d, int ch, int rows, float gain, float* out) {
  switch (ch) {
    case 0: return scan_rows<0, 3>(d, ch, rows, gain, out);
    case 1: return scan_rows<1, 2>(d, ch, rows, gain, out);
    case 4: return scan_rows<3, 2>(d, ch, rows, gain, out);
    case 5: return scan_rows<3, 3>(d, ch, rows, gain, out);
    default: return scan_rows<0, 1>(d, ch, rows, gain, out);
  }
}

#if defined(__GNUC__) && defined(__x86_64__)
// The same scan on the widest vectors: a division gives the same float on
// any vector width, and the division is most of the scan's time.
__attribute__((target("avx512f"), flatten)) int scan_channel_avx512(const float* const* d, int ch, int rows,
                                                                     float gain, float* out) {
  return scan_channel_any(d, ch, rows, gain, out);
}

bool has_avx512() {
  static const bool avx512 = (__builtin_cpu_init(), __builtin_cpu_supports("avx512f"));
  return avx512;
}
#endif

int scan_channel(const float* const* d, int ch, int rows, float gain, float* out) {
#if defined(__GNUC__) && defined(__x86_64__)
  if (has_avx512()) return scan_channel_avx512(d, ch, rows, gain, out);
#endif
  return scan_channel_any(d, ch, rows, gain, out);
}

}  // namespace

int CFormatSmt::IsOverRange(int idx_ch, int idx_begin_rows, int rows_num) const {
  if (idx_ch < 0 || idx_ch >= MAX_CH_NUM || idx_begin_rows < 0 || rows_num < 0) return 0;
  if (int64_t(idx_begin_rows) + rows_num > ValidRows()) return 0;
  const float* d[MAX_CH_NUM];
  for (int c = 0; c < MAX_CH_NUM; ++c) d[c] = m_data[c].data() + idx_begin_rows;
  return scan_channel(d, idx_ch, rows_num, 1.0f, nullptr);
}

int CFormatSmt::GetDataOverRange(int idx_ch, int idx_begin_rows, int rows_num, float* out) const {
  if (!CanGetData(idx_ch, idx_begin_rows, rows_num) || (rows_num > 0 && !out)) return -1;
  if (int64_t(idx_begin_rows) + rows_num > ValidRows()) return -1;
  const float* d[MAX_CH_NUM];
  for (int c = 0; c < MAX_CH_NUM; ++c) d[c] = m_data[c].data() + idx_begin_rows;
  return scan_channel(d, idx_ch, rows_num, m_gain[idx_ch], out);
}

void CFormatSmt::Clear() {
  for (auto& ch : m_data) std::vector<float>().swap(ch);
  for (auto& ch : m_spare) std::vector<float>().swap(ch);
  m_data_rows = 0;
}

bool CFormatSmt::SetData(const std::vector<float> (&data)[MAX_CH_NUM]) {
  const size_t rows = data[0].size();
  for (const auto& ch : data) {
    if (ch.size() != rows) return false;
  }
  if (rows > size_t(INT32_MAX)) return false;
  for (int c = 0; c < MAX_CH_NUM; ++c) m_data[c] = data[c];
  m_data_rows = int32_t(rows);
  return true;
}

const std::vector<float>& CFormatSmt::GetRawData(int idx_ch) const {
  static const std::vector<float> empty;
  if (idx_ch < 0 || idx_ch >= MAX_CH_NUM) return empty;
  return m_data[idx_ch];
}
