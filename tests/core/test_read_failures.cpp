// A failed read changes nothing and says why: every reader is given a valid
// file, then a damaged one into the same object, and must keep the first
// file's contents and name the byte offset or line where the second went
// wrong.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "core/base/ex_file.h"
#include "core/sip/format_smt.h"
#include "core/sip/format_srs.h"
#include "core/sip/format_txt.h"
#include "core/sip/sip_pub.h"
#include "test_files.h"

namespace {

const std::string kTiny = std::string(TEST_DATA_DIR) + "/srs/tiny_square/";
const std::string kSpread = std::string(TEST_DATA_DIR) + "/srs/spread_mid/";

std::string Spill(const std::string& name, const std::string& bytes) {
  const std::string path = testing::TempDir() + "varnex_readfail_" + name;
  std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
  return path;
}

void PutI32(std::string* bytes, long off, int32_t v) { std::memcpy(&(*bytes)[size_t(off)], &v, 4); }

// Offset of the current spectrum array in an SRS file of version 4 or 5.
long CurrentSpectrumOffset(const std::string& path) {
  std::unique_ptr<FILE, ExFileCloser> fp(std::fopen(path.c_str(), "rb"));
  if (!fp) return -1;
  const int32_t ver = ex_fread_i32(fp.get(), 0);
  const uint32_t dev_num = ex_fread_u32(fp.get(), 0);
  PrmMeas meas;
  if (ver < 4 || !SipPubReadMeas(fp.get(), &meas)) return -1;
  for (uint32_t i = 0; i < dev_num; ++i) {
    PrmDev dev;
    if (!SipPubReadDev(fp.get(), &dev)) return -1;
    ex_fseek(fp.get(), 20, SEEK_CUR);
  }
  std::vector<PrmPole> poles;
  if (!SipPubReadPoles(fp.get(), &poles, 4)) return -1;
  return ex_ftell(fp.get());
}

}  // namespace

TEST(ReadFailures, SrsKeepsTheFirstFileAndNamesTheOffset) {
  const std::string good = kSpread + "L101_01.SRS";
  CFormatSRS srs;
  ASSERT_TRUE(srs.Read(good)) << srs.GetError();
  const std::string before = DumpOf(srs);
  const int ver = srs.GetFileVer();

  std::string bytes = Slurp(kTiny + "L101_01.SRS");
  const long at = CurrentSpectrumOffset(kTiny + "L101_01.SRS");
  ASSERT_GT(at, 0);
  // Item count of the current spectrum (one channel, three harmonics): a
  // whole number of calculations that the file cannot hold.
  PutI32(&bytes, at + 24, 2147483646);
  const std::string bad = Spill("count.SRS", bytes);
  EXPECT_FALSE(srs.Read(bad));
  const std::string left = std::to_string(bytes.size() - size_t(at) - 28);
  EXPECT_EQ(srs.GetError(),
            "current spectrum array at byte " + std::to_string(at) + ": 2147483646 items, " + left + " bytes left");
  EXPECT_EQ(DumpOf(srs), before);
  EXPECT_EQ(srs.GetPath(), good);
  EXPECT_EQ(srs.GetFileVer(), ver);

  // A damaged device record is named with its offset too; right after the
  // measurement record of a file whose strings are known.
  std::string dev_bytes = Slurp(kTiny + "L101_01.SRS");
  std::unique_ptr<FILE, ExFileCloser> fp(std::fopen((kTiny + "L101_01.SRS").c_str(), "rb"));
  ASSERT_TRUE(fp);
  ex_fseek(fp.get(), 8, SEEK_SET);
  PrmMeas meas;
  ASSERT_TRUE(SipPubReadMeas(fp.get(), &meas));
  const long dev_at = ex_ftell(fp.get());
  PutI32(&dev_bytes, dev_at, 9);  // record version
  EXPECT_FALSE(srs.Read(Spill("dev.SRS", dev_bytes)));
  EXPECT_EQ(srs.GetError(), "device record at byte " + std::to_string(dev_at) + ": device 1 of 1: version 9 above 4");
  EXPECT_EQ(DumpOf(srs), before);
  // The same as a code with its arguments, for an interface that words it
  // in its own language.
  EXPECT_EQ(srs.GetReason().code, ReasonCode::DamagedPart);
  EXPECT_EQ(srs.GetReason().part, ReasonPart::DeviceRecord);
  EXPECT_EQ(srs.GetReason().offset, dev_at);
  EXPECT_EQ(srs.GetReason().text, srs.GetError());

  EXPECT_FALSE(srs.Read(testing::TempDir() + "varnex_readfail_missing.SRS"));
  EXPECT_EQ(srs.GetReason().code, ReasonCode::CannotOpen);
  EXPECT_EQ(srs.GetReason().sys_error, ENOENT);
  EXPECT_EQ(srs.GetReason().text, srs.GetError());

  ASSERT_TRUE(srs.Read(kTiny + "L101_01.SRS"));
  EXPECT_TRUE(srs.GetError().empty());
  EXPECT_TRUE(srs.GetReason().empty());
  EXPECT_NE(DumpOf(srs), before);
}

TEST(ReadFailures, SmtKeepsTheFirstFileAndItsSamples) {
  const std::string good = kTiny + "smt/ST01/L101_01.smt";
  CFormatSmt smt;
  ASSERT_TRUE(smt.Read(good)) << smt.GetError();
  const std::string before = DumpOf(smt);
  const std::vector<float> ch0 = smt.GetRawData(0);
  ASSERT_FALSE(ch0.empty());
  const float* data_before = smt.GetRawData(0).data();

  std::string bytes = Slurp(good);
  ASSERT_EQ(bytes.compare(0, 2, "##"), 0);
  PutI32(&bytes, 10, 300);  // length of the project name
  EXPECT_FALSE(smt.Read(Spill("name.smt", bytes)));
  EXPECT_EQ(smt.GetError(), "measurement record at byte 6: project name: string length missing or outside 0..255");
  EXPECT_EQ(DumpOf(smt), before);
  EXPECT_EQ(smt.GetRawData(0), ch0);
  EXPECT_EQ(smt.GetRawData(0).data(), data_before);  // the very buffers, not a copy
  EXPECT_EQ(smt.GetPath(), good);

  // A successful read of an older file replaces the buffers and drops the
  // newer file's header blocks.
  ASSERT_TRUE(smt.Read(kTiny + "old/smt/ST01/L101_01_v1.smt")) << smt.GetError();
  EXPECT_EQ(smt.GetFileVer(), 1);
  EXPECT_EQ(smt.m_start_time, 0);
  EXPECT_EQ(smt.GetDataRows(), int(smt.GetRawData(5).size()));
  // Reading again reuses the memory of earlier reads, never their values.
  ASSERT_TRUE(smt.Read(good));
  EXPECT_EQ(smt.GetRawData(0), ch0);
  EXPECT_EQ(DumpOf(smt), before);
}

TEST(ReadFailures, TextTablesKeepTheFirstTableAndNameTheLine) {
  struct Case {
    const char* name;
    std::unique_ptr<CFormatTxt> table;
    const char* good;
    const char* bad;
    const char* why;
  };
  Case cases[] = {
      {"site", std::make_unique<CFormatTxtSiteCoord>(), "h\nS1 3 100 1 2\n", "h\nS2 3 100 1 2\nS3 3 120\n",
       "line 3: 3 fields, 5 expected"},
      {"elev", std::make_unique<CFormatTxtElev>(), "0 0 10\n", "0 0 1\n\n", "line 2: 0 fields, 3 expected"},
      {"shift", std::make_unique<CFormatTxtShifting>(), "h\nA1,A,0.5,1\n", "h\nP1,1,0,0\nP2,2,0,0,\n",
       "line 3: 5 fields, 4 expected"},
      {"coord", std::make_unique<CFormatTxtCoord>(), "h\nL1 100 10 20 45\n", "h\nL2 1 2 3\n",
       "line 2: 4 fields, 5 expected"},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string good = Spill(std::string(c.name) + "_good.txt", c.good);
    ASSERT_TRUE(c.table->Read(good)) << c.table->GetError();
    std::unique_ptr<FILE, ExFileCloser> fp(std::tmpfile());
    c.table->WriteFile(fp.get());
    const long size_before = ex_ftell(fp.get());
    EXPECT_FALSE(c.table->Read(Spill(std::string(c.name) + "_bad.txt", c.bad)));
    EXPECT_EQ(c.table->GetError(), c.why);
    EXPECT_EQ(c.table->GetPath(), good);
    std::unique_ptr<FILE, ExFileCloser> fp2(std::tmpfile());
    c.table->WriteFile(fp2.get());
    EXPECT_EQ(ex_ftell(fp2.get()), size_before);
  }
  CFormatTxtSiteCoord site;
  ASSERT_TRUE(site.Read(Spill("site_keep.txt", "h\nS1 3 100 1 2\n")));
  EXPECT_FALSE(site.Read(Spill("site_bad.txt", "h\nS9 3 100 1 2\nS10 3\n")));
  ASSERT_EQ(site.m_vt_item.size(), 1u);
  EXPECT_EQ(site.m_vt_item[0].name, "S1");
}

TEST(ReadFailures, TextTableNamesWithANulByteAreRefused) {
  // Such a name was accepted and then written as an empty field that the
  // reader itself rejects.
  CFormatTxtSiteCoord site;
  EXPECT_FALSE(site.Read(Spill("nul_site.txt", std::string("h\nS1\0x 3 100 1 2\n", 18))));
  EXPECT_EQ(site.GetError(), "line 2: NUL byte in the text");
  CFormatTxtShifting shift;
  EXPECT_FALSE(shift.Read(Spill("nul_shift.txt", std::string("h\nA\0001,A,0,0\n", 13))));
  EXPECT_EQ(shift.GetError(), "line 2: NUL byte in the text");
  CFormatTxtCoord coord;
  EXPECT_FALSE(coord.Read(Spill("nul_coord.txt", std::string("h\n\0 1 2 3 4\n", 12))));
  CFormatTxtElev elev;
  EXPECT_FALSE(elev.Read(Spill("nul_elev.txt", std::string("1 2 3\0\n", 7))));
  EXPECT_EQ(elev.GetError(), "line 1: NUL byte in the text");
}

TEST(ReadFailures, SrsCutShortAtItsEndReadsWhatIsThereAndWarns) {
  const std::string good = kSpread + "L101_01.SRS";
  CFormatSRS full;
  ASSERT_TRUE(full.Read(good));
  EXPECT_EQ(full.GetMissingAfter(), -1);
  EXPECT_TRUE(full.GetWarning().empty());
  const std::string bytes = Slurp(good);
  const size_t ch_num = size_t(full.m_res.GetChNum());
  const size_t sp_block = 4 + 14 * ch_num;
  // Cuts inside the self-potential block and, past it, into the last items
  // of the composed result.
  for (size_t cut : {size_t(1), size_t(14), size_t(100), sp_block, sp_block + 1, size_t(200), size_t(400)}) {
    SCOPED_TRACE(cut);
    const std::string shorter = bytes.substr(0, bytes.size() - cut);
    CFormatSRS srs;
    ASSERT_TRUE(srs.Read(Spill("short.SRS", shorter))) << srs.GetError();
    EXPECT_EQ(srs.GetMissingAfter(), long(shorter.size()));
    EXPECT_EQ(srs.GetWarning(), "data after byte " + std::to_string(shorter.size()) + " are missing");
    // Channels whose record is complete keep their values; the rest are missing.
    const size_t whole = cut >= sp_block ? 0 : (sp_block - 4 - cut) / 14;
    for (size_t i = 0; i < ch_num; ++i) {
      if (i < whole) {
        EXPECT_EQ(srs.m_valid_sp[i], full.m_valid_sp[i]) << i;
        EXPECT_EQ(srs.m_sp_ac[i], full.m_sp_ac[i]) << i;
        EXPECT_EQ(srs.m_groud_r[i], full.m_groud_r[i]) << i;
      } else {
        EXPECT_FALSE(srs.m_valid_sp[i]) << i;
        EXPECT_FALSE(srs.m_valid_groud_r[i]) << i;
      }
    }
    EXPECT_EQ(srs.m_spect_u.DoGetItemNum(), full.m_spect_u.DoGetItemNum());
    EXPECT_EQ(srs.m_res.GetItem(0, 0, 0).blk[RES_APP].value, full.m_res.GetItem(0, 0, 0).blk[RES_APP].value);
  }
  // A complete file read afterwards has no warning left.
  CFormatSRS srs;
  ASSERT_TRUE(srs.Read(Spill("short2.SRS", bytes.substr(0, bytes.size() - 50))));
  ASSERT_TRUE(srs.Read(good));
  EXPECT_TRUE(srs.GetWarning().empty());
  EXPECT_EQ(srs.GetMissingAfter(), -1);
  // A cut deeper than the last block is a failed read, not a warning.
  EXPECT_FALSE(srs.Read(Spill("short3.SRS", bytes.substr(0, bytes.size() / 2))));
  EXPECT_EQ(srs.GetPath(), good);
}

// Grouping reads files with the items passed over, an export without the
// stored results' items: they must see the same layout, channel entries and
// spectra as a full read, and must refuse exactly the files that a full read
// refuses, whole or cut short anywhere.
TEST(ReadFailures, SrsReadWithoutItemsChecksWhatAFullReadChecks) {
  int compared = 0, refused = 0;
  for (const std::string& dir : {kTiny, kSpread}) {
    const std::string path = dir + "L101_01.SRS";
    const std::string bytes = Slurp(path);
    ASSERT_FALSE(bytes.empty()) << path;
    std::string counted = bytes;
    PutI32(&counted, CurrentSpectrumOffset(path) + 24, 2147483646);
    std::vector<std::string> variants = {bytes, counted};
    for (size_t cut = 1; cut < 40; ++cut) variants.push_back(bytes.substr(0, bytes.size() * cut / 40));
    for (size_t tail = 1; tail < 80; tail += 7) variants.push_back(bytes.substr(0, bytes.size() - tail));
    for (size_t v = 0; v < variants.size(); ++v) {
      SCOPED_TRACE(path + " variant " + std::to_string(v));
      const std::string file = Spill("skim.SRS", variants[v]);
      CFormatSRS full, skim, spectra;
      skim.SetSkipItems(true, true);
      spectra.SetSkipItems(false, true);
      const bool ok = full.Read(file);
      ASSERT_EQ(skim.Read(file), ok) << full.GetError() << " / " << skim.GetError();
      ASSERT_EQ(spectra.Read(file), ok) << spectra.GetError();
      if (!ok) {
        EXPECT_EQ(skim.GetError(), full.GetError());
        ++refused;
        continue;
      }
      ++compared;
      EXPECT_EQ(skim.m_prm_meas.layout, full.m_prm_meas.layout);
      EXPECT_EQ(skim.m_prm_meas.ax, full.m_prm_meas.ax);
      EXPECT_EQ(skim.m_prm_meas.bx, full.m_prm_meas.bx);
      EXPECT_EQ(skim.m_vt_prm_dev.size(), full.m_vt_prm_dev.size());
      EXPECT_EQ(skim.GetMissingAfter(), full.GetMissingAfter());
      EXPECT_EQ(spectra.GetMissingAfter(), full.GetMissingAfter());
      EXPECT_EQ(spectra.m_spect_u.DoGetCalNum(), full.m_spect_u.DoGetCalNum());
      EXPECT_EQ(spectra.m_sp_ac, full.m_sp_ac);
      ASSERT_EQ(skim.m_res.GetChNum(), full.m_res.GetChNum());
      for (int c = 0; c < full.m_res.GetChNum(); ++c) {
        const ChInfo a = skim.m_res.GetChInfo(c), b = full.m_res.GetChInfo(c);
        EXPECT_EQ(a.m_pos, b.m_pos);
        EXPECT_EQ(a.site_no, b.site_no);
        EXPECT_EQ(a.mn, b.mn);
        EXPECT_EQ(a.vd2ab, b.vd2ab);
        EXPECT_EQ(a.idx_dev, b.idx_dev);
      }
    }
  }
  // Both kinds of outcome were seen, so neither path is vacuous.
  EXPECT_GT(compared, 2);
  EXPECT_GT(refused, 20);
}
