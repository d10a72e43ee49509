#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "core/base/ordered_prefetch.h"

namespace {

// Items come out in order however long each takes, and no more than `ahead`
// are made but not taken.
TEST(OrderedPrefetch, HandsOutInOrderWithBoundedLookahead) {
  for (unsigned workers : {0u, 1u, 3u}) {
    SCOPED_TRACE(workers);
    std::atomic<int> made{0}, taken{0}, worst{0};
    const size_t ahead = 4;
    OrderedPrefetch<int> pf(
        50,
        [&](size_t i) {
          const int pending = ++made - taken;
          int w = worst;
          while (pending > w && !worst.compare_exchange_weak(w, pending)) {
          }
          std::this_thread::sleep_for(std::chrono::microseconds((i * 7919) % 300));
          return int(i) * 3;
        },
        workers, ahead);
    for (int i = 0; i < 50; ++i) {
      ASSERT_EQ(pf.Take(), i * 3);
      ++taken;
    }
    EXPECT_EQ(made, 50);
    EXPECT_LE(worst, int(ahead) + 1);
  }
}

// A failure to make an item reaches the taker at that item, after the items
// before it; the run can stop there and the object goes away cleanly while
// workers are still busy.
TEST(OrderedPrefetch, AFailureIsRethrownInOrderAndStoppingEarlyIsClean) {
  std::atomic<int> made{0};
  {
    OrderedPrefetch<std::string> pf(
        1000,
        [&](size_t i) -> std::string {
          ++made;
          if (i == 5) throw std::runtime_error("item 5");
          return std::to_string(i);
        },
        2, 4);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(pf.Take(), std::to_string(i));
    EXPECT_THROW(
        {
          try {
            pf.Take();
          } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "item 5");
            throw;
          }
        },
        std::runtime_error);
  }
  EXPECT_LT(made, 20);
}

}  // namespace
