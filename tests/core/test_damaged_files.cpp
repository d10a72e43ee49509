// Damaged and hostile files: every truncation and every count forced to a
// huge value must give a failed read or the documented short-read defaults,
// never a crash and never a large allocation. Run under the sanitizers by
// scripts/test.sh.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <new>
#include <sstream>
#include <string>

#include "core/base/ex_file.h"
#include "core/sip/format_smt.h"
#include "core/sip/format_srs.h"
#include "../windows_skip.h"
#include "alloc_probe.h"

namespace {

std::atomic<size_t> g_largest_alloc{0};

void note_alloc(size_t n) {
  size_t prev = g_largest_alloc.load(std::memory_order_relaxed);
  while (n > prev && !g_largest_alloc.compare_exchange_weak(prev, n, std::memory_order_relaxed)) {
  }
}

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void spill(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

// A reader may allocate for what the file really holds, never for what a
// damaged count claims: 64 MB is far above any fixture here.
constexpr size_t kAllocLimit = 64u << 20;

// Parses from memory: the torture runs tens of thousands of reads.
template <typename Format>
void read_damaged(const std::string& bytes, const std::string& path) {
  if (bytes.empty()) {
    spill(path, bytes);
    Format f;
    f.Read(path);
    return;
  }
  std::string copy = bytes;
  std::unique_ptr<FILE, ExFileCloser> fp(fmemopen(&copy[0], copy.size(), "rb"));
  ASSERT_TRUE(fp);
  Format f;
  f.ReadFile(fp.get());
}

template <typename Format>
void torture(const std::string& source, const char* ext) {
  const std::string good = slurp(source);
  ASSERT_FALSE(good.empty()) << source;
  const std::string path = testing::TempDir() + "varnex_damaged." + ext;
  g_largest_alloc = 0;
  for (size_t cut = 0; cut < good.size(); ++cut) read_damaged<Format>(good.substr(0, cut), path);
  static const uint32_t kHuge[] = {0x7FFFFFFFu, 0xFFFFFFFFu, 0x80000000u, 0x00100000u};
  for (uint32_t huge : kHuge)
    for (size_t off = 0; off + 4 <= good.size() && off < 4096; ++off) {
      std::string bad = good;
      std::memcpy(&bad[off], &huge, 4);
      read_damaged<Format>(bad, path);
    }
  EXPECT_LT(g_largest_alloc.load(), kAllocLimit);
}

}  // namespace

void AllocProbeReset() { g_largest_alloc = 0; }
size_t AllocProbeLargest() { return g_largest_alloc.load(); }

// The counting allocator pairs malloc with free on purpose.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(size_t n) {
  note_alloc(n);
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
// The nothrow form too (std::stable_sort's buffer): otherwise the sanitizer's
// own allocator hands out memory that the delete above returns to malloc.
void* operator new(size_t n, const std::nothrow_t&) noexcept {
  note_alloc(n);
  return std::malloc(n ? n : 1);
}
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }

TEST(DamagedFiles, SrsTruncatedOrWithHugeCounts) {
  SKIP_ON_WINDOWS("no memory streams: tens of thousands of temporary files take minutes under Wine, and the parsing is the same on every system");
  for (const char* f : {"L101_01.SRS", "old/L101_01_v1.SRS", "old/L101_01_v2.SRS", "old/L101_01_v4.SRS"})
    torture<CFormatSRS>(std::string(TEST_DATA_DIR) + "/srs/tiny_square/" + f, "SRS");
}

TEST(DamagedFiles, SmtTruncatedOrWithHugeCounts) {
  SKIP_ON_WINDOWS("no memory streams: tens of thousands of temporary files take minutes under Wine, and the parsing is the same on every system");
  for (const char* f : {"smt/ST01/L101_01.smt", "old/smt/ST01/L101_01_v1.smt", "old/smt/ST01/L101_01_v3.smt"})
    torture<CFormatSmt>(std::string(TEST_DATA_DIR) + "/srs/tiny_square/" + f, "smt");
}
