#include "base/GrowableArray.h"

#include <gtest/gtest.h>

#include "platform/MemoryBlock.h"

namespace {

TEST(GrowableArrayTest, FixedStepGivesOneThenStepsOfTheStep) {
  GrowableArray<int64_t> a(1000);
  ASSERT_TRUE(a.append(1));
  EXPECT_EQ(a.capacity(), 1);
  ASSERT_TRUE(a.append(2));
  EXPECT_EQ(a.capacity(), 1001);
  for (int i = 2; i < 1001; ++i) ASSERT_TRUE(a.append(i));
  EXPECT_EQ(a.capacity(), 1001);
  ASSERT_TRUE(a.append(1001));
  EXPECT_EQ(a.capacity(), 2001);
  EXPECT_EQ(a.size(), 1002);
  EXPECT_EQ(a[0], 1);
  EXPECT_EQ(a[1001], 1001);
  a.compact();
  EXPECT_EQ(a.capacity(), 1002);
  EXPECT_EQ(a[1001], 1001);
}

TEST(GrowableArrayTest, AutomaticStepIsAnEighthBetweenFourAnd1024) {
  GrowableArray<int32_t> a(0);
  ASSERT_TRUE(a.setSize(1));
  ASSERT_TRUE(a.setSize(2));  // step max(1/8, 4) = 4
  EXPECT_EQ(a.capacity(), 5);
  ASSERT_TRUE(a.setSize(100));  // beyond capacity + step: exactly n
  EXPECT_EQ(a.capacity(), 100);
  ASSERT_TRUE(a.setSize(101));  // step 100 / 8 = 12
  EXPECT_EQ(a.capacity(), 112);
  ASSERT_TRUE(a.setSize(20000));
  ASSERT_TRUE(a.setSize(20001));  // step 20000 / 8 capped at 1024
  EXPECT_EQ(a.capacity(), 21024);
}

TEST(GrowableArrayTest, GrowingFillsWithZeroAndShrinkingKeepsCapacity) {
  GrowableArray<int32_t> a(10);
  ASSERT_TRUE(a.setSize(3));
  a[0] = 7;
  a[2] = 9;
  ASSERT_TRUE(a.setSize(1));
  EXPECT_EQ(a.capacity(), 3);
  ASSERT_TRUE(a.setSize(3));
  EXPECT_EQ(a[0], 7);
  EXPECT_EQ(a[1], 0);
  EXPECT_EQ(a[2], 0);
  ASSERT_TRUE(a.setSize(0));
  EXPECT_EQ(a.capacity(), 0);
  EXPECT_EQ(a.data(), nullptr);
}

TEST(GrowableArrayTest, RemoveAtClosesTheGapInOrder) {
  GrowableArray<int32_t> a(1);
  for (int v : {10, 11, 12}) ASSERT_TRUE(a.append(v));
  a.removeAt(0);
  ASSERT_EQ(a.size(), 2);
  EXPECT_EQ(a[0], 11);
  EXPECT_EQ(a[1], 12);
}

TEST(GrowableArrayTest, FailedGrowthChangesNothing) {
  GrowableArray<int64_t> a(1000);
  ASSERT_TRUE(a.append(5));
  setMemoryBlockLimitForTesting(64);
  EXPECT_FALSE(a.append(6));
  setMemoryBlockLimitForTesting(0);
  EXPECT_EQ(a.size(), 1);
  EXPECT_EQ(a.capacity(), 1);
  EXPECT_EQ(a[0], 5);
}

// Byte sizes computed in the target's size type: on a 32-bit target a count
// whose bytes pass 4 GiB must be refused, not wrapped to a small block.
TEST(GrowableArrayTest, ByteSizesThatDoNotFitTheSizeTypeAreRefused) {
  struct Case {
    int64_t count;
    size_t elementBytes;
    bool fits;
    uint32_t bytes;
  };
  const Case cases[] = {
      {0, 8, true, 0},
      {536870911, 8, true, 4294967288u},  // the largest point count
      {536870912, 8, false, 0},           // exactly 4 GiB
      {536870913, 8, false, 0},           // would wrap to 8 bytes
      {2147483647, 8, false, 0},
      {4294967295, 1, true, 4294967295u},
      {4294967296, 1, false, 0},
      {-1, 8, false, 0},
      {1, 0, false, 0},
  };
  for (const Case& c : cases) {
    uint32_t bytes = 12345;
    EXPECT_EQ(checkedByteSize<uint32_t>(c.count, c.elementBytes, &bytes),
              c.fits)
        << c.count << " x " << c.elementBytes;
    EXPECT_EQ(bytes, c.fits ? c.bytes : 12345u) << c.count;
  }
  uint64_t wide = 0;
  EXPECT_TRUE(checkedByteSize<uint64_t>(536870913, 8, &wide));
  EXPECT_EQ(wide, 4294967304u);
}

// The same arithmetic inside the array, on this build's own size_t: with
// elements of 2^61 bytes, 8 of them wrap a 64-bit size to 0.
TEST(GrowableArrayTest, CapacityWhoseBytesWrapIsRefused) {
  if (sizeof(size_t) != 8) GTEST_SKIP() << "64-bit size_t only";
  struct Huge {
    char bytes[sizeof(void*) == 8 ? (uint64_t{1} << 61) : 1];
  };
  GrowableArray<Huge> a(0);
  EXPECT_FALSE(a.setSize(8));
  EXPECT_FALSE(a.reserve(16));
  EXPECT_EQ(a.size(), 0);
  EXPECT_EQ(a.capacity(), 0);
  EXPECT_EQ(a.data(), nullptr);
}

}  // namespace
