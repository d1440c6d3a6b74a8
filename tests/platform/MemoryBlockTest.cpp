#include "platform/MemoryBlock.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

// Fills bytes [from, to) with a pattern that depends on the position, so that
// a byte moved to the wrong place or lost is noticed.
void fill(MemoryBlock& block, size_t from, size_t to) {
  unsigned char* p = static_cast<unsigned char*>(block.base);
  for (size_t i = from; i < to; ++i) {
    p[i] = static_cast<unsigned char>(i * 7 + (i >> 12));
  }
}

// The first mismatching position, or bytes when all match.
size_t firstMismatch(const MemoryBlock& block, size_t bytes) {
  const unsigned char* p = static_cast<const unsigned char*>(block.base);
  for (size_t i = 0; i < bytes; ++i) {
    if (p[i] != static_cast<unsigned char>(i * 7 + (i >> 12))) return i;
  }
  return bytes;
}

class MemoryBlockTest : public ::testing::Test {
 protected:
  void TearDown() override {
    setMemoryBlockLimitForTesting(0);
    releaseMemoryBlock(block_);
  }
  MemoryBlock block_;
};

// A point list grows 1000 points (8000 bytes) at a time; every byte written
// before a step must still be there after it, across the sizes where a
// backend changes its kind of storage.
TEST_F(MemoryBlockTest, SmallStepsKeepEveryByte) {
  size_t size = 8;
  ASSERT_TRUE(resizeMemoryBlock(block_, size));
  fill(block_, 0, size);
  while (size < (size_t{24} << 20)) {
    size_t next = size + 8000;
    ASSERT_TRUE(resizeMemoryBlock(block_, next)) << next;
    ASSERT_EQ(block_.bytes, next);
    fill(block_, size, next);
    size = next;
  }
  EXPECT_EQ(firstMismatch(block_, size), size);
}

TEST_F(MemoryBlockTest, ShrinkKeepsThePrefixAndGrowsAgain) {
  const size_t sizes[] = {size_t{40} << 20, size_t{12} << 20, 300000, 5000,
                          100, size_t{3} << 20, 1};
  size_t valid = 0;  // bytes known to hold the pattern
  for (size_t size : sizes) {
    ASSERT_TRUE(resizeMemoryBlock(block_, size)) << size;
    EXPECT_EQ(block_.bytes, size);
    size_t kept = valid < size ? valid : size;
    ASSERT_EQ(firstMismatch(block_, kept), kept) << "resized to " << size;
    fill(block_, kept, size);
    valid = size;
  }
}

TEST_F(MemoryBlockTest, ZeroAndReleaseLeaveAnEmptyBlock) {
  ASSERT_TRUE(resizeMemoryBlock(block_, size_t{2} << 20));
  ASSERT_TRUE(resizeMemoryBlock(block_, 0));
  EXPECT_EQ(block_.base, nullptr);
  EXPECT_EQ(block_.bytes, 0u);
  ASSERT_TRUE(resizeMemoryBlock(block_, 16));
  releaseMemoryBlock(block_);
  EXPECT_EQ(block_.base, nullptr);
  EXPECT_EQ(block_.bytes, 0u);
  releaseMemoryBlock(block_);  // twice is harmless
}

// A refused resize changes nothing, from the heap and from large storage.
TEST_F(MemoryBlockTest, RefusedGrowthLeavesTheBlockAsItWas) {
  for (size_t start : {size_t{1000}, size_t{6} << 20}) {
    releaseMemoryBlock(block_);
    ASSERT_TRUE(resizeMemoryBlock(block_, start));
    fill(block_, 0, start);
    setMemoryBlockLimitForTesting(start + 100);
    void* base = block_.base;
    EXPECT_FALSE(resizeMemoryBlock(block_, start + 101));
    EXPECT_EQ(block_.base, base);
    EXPECT_EQ(block_.bytes, start);
    EXPECT_EQ(firstMismatch(block_, start), start);
    EXPECT_TRUE(resizeMemoryBlock(block_, start + 100));
    setMemoryBlockLimitForTesting(0);
    EXPECT_EQ(firstMismatch(block_, start), start);
  }
}

}  // namespace
