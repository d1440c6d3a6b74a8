#include "base/SplitWork.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

// Every index of [0, count) in exactly one piece, each piece inside the
// range and not empty, whatever the count: below the split, at its edge,
// at and around whole pieces, and many pieces.
TEST(SplitWorkTest, GivesEveryIndexToExactlyOnePiece) {
  const int32_t kCounts[] = {0, 1, 255, 1023, 1024, 1025, 1536, 4096, 100001};
  for (int32_t count : kCounts) {
    SCOPED_TRACE(count);
    std::vector<std::atomic<int>> seen(static_cast<size_t>(count));
    std::atomic<bool> badPiece{false};
    splitWork(count, [&](int32_t from, int32_t to) {
      if (from < 0 || to > count || from >= to) badPiece = true;
      for (int32_t i = from; i < to && i >= 0 && i < count; ++i) ++seen[i];
    });
    EXPECT_FALSE(badPiece);
    int32_t wrong = 0;
    for (const std::atomic<int>& s : seen) wrong += s != 1;
    EXPECT_EQ(wrong, 0);
  }
}

// A thread that is held up leaves the rest to the other: the thread of the
// first piece waits inside it until every other piece is done, which only
// the other thread can do (were each given a fixed half, the wait would
// run out and the pieces stay undone).
TEST(SplitWorkTest, HeldUpThreadLeavesTheRestToTheOther) {
  constexpr int32_t kPieces = 64;
  constexpr int32_t kCount = kPieces * 512;
  std::atomic<int32_t> done{0};
  std::atomic<bool> heldUp{false};
  std::atomic<bool> gaveUp{false};
  splitWork(kCount, [&](int32_t, int32_t) {
    bool first = false;
    if (heldUp.compare_exchange_strong(first, true)) {
      auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
      while (done < kPieces - 1) {
        if (std::chrono::steady_clock::now() > until) {
          gaveUp = true;
          break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    }
    ++done;
  });
  EXPECT_FALSE(gaveUp);
  EXPECT_EQ(done, kPieces);
}

}  // namespace
