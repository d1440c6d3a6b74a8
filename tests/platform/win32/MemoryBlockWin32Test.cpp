// How the Win32 backend places large blocks: growth by small steps happens
// inside a reservation and moves the block only when the reservation is
// used up, into one at least twice as large.

#include "platform/MemoryBlock.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(MemoryBlockWin32Test, GrowthBySmallStepsRarelyMoves) {
  MemoryBlock block;
  size_t size = 8;
  ASSERT_TRUE(resizeMemoryBlock(block, size));
  int moves = 0;
  int steps = 0;
  int shortMoves = 0;  // moves into less than twice the old reservation
  size_t lastReserved = block.reserved;
  void* lastBase = block.base;
  while (size < (size_t{256} << 20)) {  // 32768 steps of 8000 bytes
    size += 8000;
    ++steps;
    ASSERT_TRUE(resizeMemoryBlock(block, size));
    ASSERT_GE(block.reserved == 0 ? size : block.reserved, size);
    if (block.base != lastBase) {
      ++moves;
      if (lastReserved != 0 && block.reserved < 2 * lastReserved) {
        ++shortMoves;
      }
      lastBase = block.base;
    }
    lastReserved = block.reserved;
  }
  // Small blocks live on the heap, which may move them; from 256 KiB on, a
  // move at most doubles the room: about log2(256 MiB / 256 KiB) moves.
  EXPECT_LT(moves, 40) << "in " << steps << " steps";
  EXPECT_EQ(shortMoves, 0);
  EXPECT_NE(block.reserved, 0u);
  releaseMemoryBlock(block);
}

// After an import the point list is trimmed to its size. A block trimmed to
// well under half of its reservation gives the address space back (a 32-bit
// process has little of it).
TEST(MemoryBlockWin32Test, TrimmingReturnsUnusedAddressSpace) {
  MemoryBlock block;
  ASSERT_TRUE(resizeMemoryBlock(block, size_t{1} << 20));
  for (size_t size = size_t{1} << 20; size < (size_t{48} << 20); size += 8000) {
    ASSERT_TRUE(resizeMemoryBlock(block, size));
  }
  ASSERT_GE(block.reserved, size_t{48} << 20);
  ASSERT_TRUE(resizeMemoryBlock(block, size_t{5} << 20));
  EXPECT_LE(block.reserved, (size_t{5} << 20) + 65536);
  // A small trim stays where it is.
  void* base = block.base;
  ASSERT_TRUE(resizeMemoryBlock(block, (size_t{5} << 20) - 8000));
  EXPECT_EQ(block.base, base);
  releaseMemoryBlock(block);
}

TEST(MemoryBlockWin32Test, ImpossibleSizesAreRefused) {
  MemoryBlock block;
  ASSERT_TRUE(resizeMemoryBlock(block, size_t{1} << 20));
  void* base = block.base;
  EXPECT_FALSE(resizeMemoryBlock(block, SIZE_MAX - 100));
  EXPECT_FALSE(resizeMemoryBlock(block, SIZE_MAX / 2));
  EXPECT_EQ(block.base, base);
  EXPECT_EQ(block.bytes, size_t{1} << 20);
  releaseMemoryBlock(block);
}

}  // namespace
