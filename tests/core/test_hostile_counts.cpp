// Hostile files made by code: small SRS files of every version and SMT files
// of every version, each count, length and index field of which is set in
// turn to 0, -1, 2^31 - 1 and 2^28. Every such file must fail cleanly or read
// into a sane object whose dumps, rewrite and rebuild stay small, never
// allocating for what a count merely claims.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "alloc_probe.h"
#include "core/base/ex_file.h"
#include "core/processing/sip_ts2spect.h"
#include "core/processing/srs_recalc.h"
#include "core/sip/format_smt.h"
#include "core/sip/format_srs.h"
#include "le_bytes.h"
#include "../windows_skip.h"

namespace {

constexpr size_t kAllocLimit = 64u << 20;
constexpr uint32_t kHostile[] = {0u, 0xFFFFFFFFu, 0x7FFFFFFFu, 0x10000000u};

// A little-endian file with the offsets of its count fields.
struct HostileFile {
  LeBytes le;
  std::vector<std::pair<std::string, size_t>> fields;

  HostileFile& field(const std::string& name) {
    fields.emplace_back(name, le.b.size());
    return *this;
  }
  HostileFile& str(const std::string& name, const char* s) {
    field(name + " length");
    le.i32(int32_t(std::strlen(s) + 1));
    for (const char* p = s; *p; ++p) le.u8(uint8_t(*p));
    le.u8(0);
    return *this;
  }
};

void Meas(HostileFile& f, int rec_ver, int harm_num) {
  f.field("meas version").le.i32(rec_ver);
  f.str("project", "P");
  f.le.i32(101).f32(-1000).f32(0).f32(1000).f32(0).i32(0).i32(SIP_WAVE_SQUARE).f32(0.25f);
  f.field("harm_num").le.i32(harm_num);
  f.le.i32(0);
  f.str("file name", "F");
  f.field("sample_rate").le.i32(15);
  f.le.i32(8).f32(20).f32(0).u8(0);
  f.str("current station", "");
  if (rec_ver > 2) f.le.f32(0.1f);
  f.le.f32(5.0f);
}

void Dev(HostileFile& f, int rec_ver, int ch_num) {
  f.field("dev version").le.i32(rec_ver);
  f.str("device name", "ST01");
  f.field("ch_num").le.i32(ch_num);
  f.le.f32(0);
  for (int c = 0; c < ch_num; ++c) {
    f.le.i32(SIP_CH_ELECTRIC);
    f.le.b.push_back(uint8_t(c));
    f.le.b.push_back(0);
  }
  if (rec_ver > 3) {
    f.le.u8(1);
    for (int c = 0; c < ch_num * 4; ++c) f.le.f32(float(c));
  }
}

void Spect(HostileFile& f, const std::string& name, int ver, int ch, int harm, int cals) {
  f.field(name + " version").le.i32(ver);
  f.field(name + " ch_num").le.i32(ch);
  f.field(name + " freq_num").le.i32(1);
  f.field(name + " harm_num").le.i32(harm);
  f.field(name + " mask").le.i32(-1);
  f.le.u32(2);
  f.field(name + " item count").le.u32(uint32_t(ch * harm * cals));
  for (int i = 0; i < ch * harm * cals; ++i) {
    f.le.u8(1);
    if (ver >= 2) f.le.u8(0);
    f.le.f64(0.5 + i).f64(-0.25);
    if (ver >= 3) f.le.f32(1).f32(0.9f).f32(0.8f);
  }
}

void Result(HostileFile& f, const std::string& name, int ver, int ch, int harm) {
  f.field(name + " version").le.i32(ver);
  f.field(name + " ch_num").le.i32(ch);
  f.field(name + " freq_num").le.i32(1);
  f.field(name + " harm_num").le.i32(harm);
  f.le.f32(-1000).f32(0).f32(1000).f32(0);
  f.field(name + " entry count").le.i32(ch);
  for (int c = 0; c < ch; ++c) {
    f.field(name + " idx_dev").le.i32(0);
    f.field(name + " idx_dev_ch").le.i32(c);
    f.field(name + " site_no").le.i32(c);
    if (ver > 4) f.le.i32(101);
    f.le.f32(20).f32(20.0f * c).f32(0).i32(SIP_CH_ELECTRIC);
  }
  for (int h = 0; h < harm; ++h) f.le.f32(0.25f * (2 * h + 1));
  f.field(name + " item count").le.i32(ch * harm);
  f.field(name + " block count").le.i32(TYPE_CNT);
  for (int i = 0; i < ch * harm; ++i) {
    if (ver > 3) f.le.u8(0);
    for (int b = 0; b < TYPE_CNT; ++b) {
      f.le.f32(1.5f).f32(0.1f);
      f.field(name + " block count of items").le.u32(2);
      if (ver > 2) f.le.f32(0.05f);
    }
  }
}

HostileFile SrsFile(int ver) {
  HostileFile f;
  const int rec_ver = ver == 1 ? 2 : ver <= 3 ? 3 : 4;
  f.field("file version").le.i32(ver);
  f.field("device count").le.u32(1);
  Meas(f, rec_ver, 3);
  Dev(f, rec_ver, 2);
  if (ver > 1) f.le.f64(11630.5).f64(3955.25).f32(40);
  if (ver > 3) {
    f.field("pole list version").le.i32(4);
    f.field("pole count").le.i32(1);
    f.str("pole name", "A1");
    f.le.f32(1).f32(2);
  }
  const int spect_ver = ver >= 3 ? 3 : ver;
  Spect(f, "current spectrum", spect_ver, 1, 3, 2);
  Spect(f, "voltage spectrum", spect_ver, 2, 3, 2);
  Result(f, "result", ver, 2, 3);
  Result(f, "composed result", ver, 2, 1);
  if (ver >= 2) {
    f.field("self-potential count").le.u32(2);
    for (int c = 0; c < 2; ++c) f.le.u8(1).f32(0.01f).f32(0.02f).u8(1).f32(1500);
  }
  return f;
}

HostileFile SmtFile(int ver) {
  HostileFile f;
  if (ver > 1) {
    f.le.u8('#').u8('#');
    f.field("file version").le.i32(ver);
  }
  Meas(f, ver == 1 ? 2 : SIP_TS_FILE_VER, 3);
  Dev(f, ver == 1 ? 3 : SIP_TS_FILE_VER, 6);
  if (ver > 1)
    for (int c = 0; c < MAX_CH_NUM; ++c) f.field("gain").le.f32(1.0f);
  if (ver > 2) {
    f.le.f64(0).f64(0).f32(0);
    f.field("mask_sp").le.i32(0);
    f.field("mask_groud_r").le.i32(0);
    for (int c = 0; c < 3 * MAX_CH_NUM; ++c) f.le.f32(0);
    f.field("start time").le.i32(0);
  }
  for (int r = 0; r < 240; ++r)
    for (int c = 0; c < MAX_CH_NUM; ++c) f.le.f32(0.1f * float(r % 60 < 30 ? 1 : -1));
  return f;
}

#ifdef _WIN32
// No counting streams on Windows: the dump goes to a temporary file.
size_t DumpSize(CFormatSRS& srs, bool results) {
  std::unique_ptr<FILE, ExFileCloser> fp(std::tmpfile());
  srs.m_dump_res = results;
  srs.PrintFile(fp.get());
  std::fflush(fp.get());
  return size_t(std::ftell(fp.get()));
}
#else
// Bytes written to a stream that only counts them.
ssize_t CountWrite(void* cookie, const char*, size_t n) {
  *static_cast<size_t*>(cookie) += n;
  return ssize_t(n);
}

size_t DumpSize(CFormatSRS& srs, bool results) {
  size_t n = 0;
  cookie_io_functions_t io{nullptr, CountWrite, nullptr, nullptr};
  std::unique_ptr<FILE, ExFileCloser> fp(fopencookie(&n, "w", io));
  srs.m_dump_res = results;
  srs.PrintFile(fp.get());
  std::fflush(fp.get());
  return n;
}
#endif

LeFile Patched(const HostileFile& f, size_t off, uint32_t v) {
  std::vector<unsigned char> bytes = f.le.b;
  std::memcpy(&bytes[off], &v, 4);
  return le_stream(bytes);
}

}  // namespace

TEST(HostileCounts, SrsOfEveryVersionWithEveryCountForced) {
  SKIP_ON_WINDOWS("no memory streams: thousands of temporary files take minutes under Wine, and the parsing is the same on every system");
  int read_ok = 0, read_failed = 0;
  for (int ver = 1; ver <= SRS_FILE_VER; ++ver) {
    const HostileFile f = SrsFile(ver);
    {
      LeFile fp = le_stream(f.le.b);
      CFormatSRS srs;
      ASSERT_TRUE(srs.ReadFile(fp.get())) << "version " << ver << ": " << srs.GetError();
      EXPECT_TRUE(srs.GetWarning().empty());
    }
    for (const auto& field : f.fields)
      for (uint32_t v : kHostile) {
        SCOPED_TRACE("version " + std::to_string(ver) + ", " + field.first + " = " + std::to_string(int32_t(v)));
        AllocProbeReset();
        LeFile fp = Patched(f, field.second, v);
        CFormatSRS srs;
        if (!srs.ReadFile(fp.get())) {
          ++read_failed;
          EXPECT_NE(srs.GetError().find(" at byte "), std::string::npos) << srs.GetError();
          EXPECT_LT(AllocProbeLargest(), kAllocLimit);
          continue;
        }
        ++read_ok;
        EXPECT_LT(DumpSize(srs, false), size_t(16) << 20);
        EXPECT_LT(DumpSize(srs, true), size_t(16) << 20);
        LeFile out(std::tmpfile());
        srs.WriteFile(out.get());
        RecomputeComposed(srs, 4);
        EXPECT_LT(AllocProbeLargest(), kAllocLimit);
      }
  }
  EXPECT_GT(read_ok, 0);
  EXPECT_GT(read_failed, 0);
}

TEST(HostileCounts, SmtOfEveryVersionWithEveryCountForcedAndRebuilt) {
  const std::string path = testing::TempDir() + "varnex_hostile_counts.smt";
  for (int ver = 1; ver <= SMT_FILE_VER; ++ver) {
    const HostileFile f = SmtFile(ver);
    {
      std::unique_ptr<FILE, ExFileCloser> out(std::fopen(path.c_str(), "wb"));
      ASSERT_TRUE(out);
      std::fwrite(f.le.b.data(), 1, f.le.b.size(), out.get());
    }
    CFormatSmt good;
    ASSERT_TRUE(good.Read(path)) << "version " << ver << ": " << good.GetError();
    ASSERT_EQ(good.GetDataRows(), 240);
    CSipTs2Spect good_ts;
    good_ts.SetParams(15, 0.25f, 3, SIP_WAVE_SQUARE);
    std::vector<SpectItem> good_items;
    EXPECT_EQ(good_ts.CalcCh(SmtChRef{path, 0}, nullptr, &good_items), 4);
    for (const auto& field : f.fields)
      for (uint32_t v : kHostile) {
        SCOPED_TRACE("version " + std::to_string(ver) + ", " + field.first + " = " + std::to_string(int32_t(v)));
        AllocProbeReset();
        std::vector<unsigned char> bytes = f.le.b;
        std::memcpy(&bytes[field.second], &v, 4);
        {
          std::unique_ptr<FILE, ExFileCloser> out(std::fopen(path.c_str(), "wb"));
          ASSERT_TRUE(out);
          std::fwrite(bytes.data(), 1, bytes.size(), out.get());
        }
        CFormatSmt smt;
        if (!smt.Read(path)) {
          EXPECT_NE(smt.GetError().find(" at byte "), std::string::npos) << smt.GetError();
          EXPECT_LT(AllocProbeLargest(), kAllocLimit);
          continue;
        }
        // The rebuild believes the file's own parameters.
        const PrmMeas& m = smt.m_prm_meas;
        CSipTs2Spect ts;
        ts.SetParams(m.sample_rate, m.freq_base, m.harm_num, m.wave);
        std::vector<SpectItem> items;
        const int seg = ts.CalcCh(SmtChRef{path, 0}, nullptr, &items);
        EXPECT_LE(int64_t(items.size()), int64_t(smt.GetDataRows()));
        EXPECT_GE(seg, 0);
        SmtChRef cur{path, 3};
        ts.CalcCh(SmtChRef{path, 1}, &cur, &items);
        EXPECT_LT(AllocProbeLargest(), kAllocLimit);
      }
  }
}

// Every index and count the readers check, set to the first value past its
// range (both ends where there are two): the read must fail and say why.
// A check made one too loose (>= become >) lets the value at the edge through
// and reads past the list it indexes.
TEST(ReaderIndexChecks, FirstValuePastEachRangeIsRefusedWithItsReason) {
  struct Case {
    const char* field;  // the first field of this name is patched
    int32_t value;
    const char* reason;
  };
  // The file of SrsFile has one device of two channels and two result
  // channels.
  const Case srs_cases[] = {
      {"file version", 6, "version 6 not supported"},
      {"file version", -1, "version -1 not supported"},
      {"ch_num", MAX_CH_NUM + 1, "7 channels, at most 6"},
      {"ch_num", -1, "-1 channels, at most 6"},
      {"result idx_dev", 1, "single-frequency result at byte"},
      {"result idx_dev", 1, "channel 0 names device 1 of 1"},
      {"result idx_dev", -1, "channel 0 names device -1 of 1"},
      {"result idx_dev_ch", 2, "channel 0 names channel 2 of device 0, which has 2"},
      {"result idx_dev_ch", -1, "channel 0 names channel -1 of device 0"},
      {"composed result idx_dev", 1, "composed-frequency result at byte"},
      {"composed result idx_dev", 1, "channel 0 names device 1 of 1"},
      {"composed result idx_dev_ch", 2, "channel 0 names channel 2 of device 0, which has 2"},
      {"self-potential count", 3, "3 channels, the result has 2"},
      {"self-potential count", 1, "1 channels, the result has 2"},
  };
  for (int ver = 1; ver <= SRS_FILE_VER; ++ver) {
    const HostileFile f = SrsFile(ver);
    for (const Case& c : srs_cases) {
      size_t off = 0;
      bool found = false;
      for (const auto& field : f.fields)
        if (!found && field.first == c.field) {
          off = field.second;
          found = true;
        }
      if (!found) continue;  // the version has no such field
      SCOPED_TRACE("version " + std::to_string(ver) + ", " + c.field + " = " + std::to_string(c.value));
      LeFile fp = Patched(f, off, uint32_t(c.value));
      CFormatSRS srs;
      EXPECT_FALSE(srs.ReadFile(fp.get()));
      EXPECT_NE(srs.GetError().find(c.reason), std::string::npos) << srs.GetError();
    }
  }

  // The SMT file's device record: six channels is the most a station has.
  const std::string path = testing::TempDir() + "varnex_index_checks.smt";
  for (int ver = 1; ver <= SMT_FILE_VER; ++ver) {
    const HostileFile f = SmtFile(ver);
    for (const auto& field : f.fields) {
      if (field.first != "ch_num") continue;
      std::vector<unsigned char> bytes = f.le.b;
      const int32_t past = MAX_CH_NUM + 1;
      std::memcpy(&bytes[field.second], &past, 4);
      {
        std::unique_ptr<FILE, ExFileCloser> out(std::fopen(path.c_str(), "wb"));
        ASSERT_TRUE(out);
        std::fwrite(bytes.data(), 1, bytes.size(), out.get());
      }
      CFormatSmt smt;
      EXPECT_FALSE(smt.Read(path)) << "version " << ver;
      EXPECT_NE(smt.GetError().find("7 channels, at most 6"), std::string::npos) << smt.GetError();
    }
  }
}
