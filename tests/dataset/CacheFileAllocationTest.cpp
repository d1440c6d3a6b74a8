// Memory that runs out at every allocation a read or a write of a cache
// file makes: operator new throws std::bad_alloc at the k-th call, for
// every k of one whole read or write, and the point storage is refused. No
// exception leaves readCache or saveCache, the progress bar is gone, and
// the file on disk is byte for byte what it was (or, for a write that got
// past its rename, the new file).

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "dataset/CacheFile.h"
#include "dataset/LineDataSet.h"
#include "platform/MemoryBlock.h"
#include "tests/dataset/CacheFileTestSupport.h"

namespace {

bool gArmed = false;
int64_t gAllocations = 0;  // counted while armed
int64_t gFailAt = -1;      // the counted allocation that throws

// Runs fn with the failAt-th allocation failing (-1: none); returns the
// number of allocations fn made.
template <typename Fn>
int64_t withFailingAllocation(int64_t failAt, Fn fn) {
  gAllocations = 0;
  gFailAt = failAt;
  gArmed = true;
  fn();
  gArmed = false;
  return gAllocations;
}

}  // namespace

// The replacements below pair malloc with free themselves; GCC, seeing
// through the inlined new and delete of a caller, would call that a mismatch.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(size_t size) {
  if (gArmed && ++gAllocations == gFailAt) throw std::bad_alloc();
  void* p = std::malloc(size != 0 ? size : 1);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace {

using namespace cache_test;

class CacheFileAllocationTest : public DepotFixture {
 protected:
  fs::path file() { return folder_ / "m.bin"; }
};

std::vector<LinePoint> somePoints(int32_t n) {
  std::vector<LinePoint> points;
  for (int32_t i = 0; i < n; ++i) points.push_back({i, 2 * i});
  return points;
}

TEST_F(CacheFileAllocationTest, ReadRunningOutAtEveryAllocation) {
  const std::vector<unsigned char> bytes =
      documentedBytes(0x00445566, 4, 1, 0, somePoints(3000));
  writeBytes(file(), bytes);
  // One whole read first leaves the stand-in progress bar's event list with
  // room (a reset keeps it), so that the host's side allocates nothing; a
  // second one counts the allocations of the read alone.
  auto warm = makeDataSet("m");
  ASSERT_EQ(readCache(*warm), CacheLoad::kWhole);
  standin::resetProgressBar();
  auto counted = makeDataSet("m");
  const int64_t total = withFailingAllocation(-1, [&] {
    EXPECT_EQ(readCache(*counted), CacheLoad::kWhole);
  });
  ASSERT_GT(total, 0);
  int64_t outOfMemory = 0;
  for (int64_t k = 1; k <= total; ++k) {
    standin::resetProgressBar();
    auto d = makeDataSet("m");
    CacheLoad result = CacheLoad::kWhole;
    withFailingAllocation(k, [&] { result = readCache(*d); });
    EXPECT_FALSE(standin::progressBarShown()) << k;
    if (result == CacheLoad::kWhole) {
      // Only the file's stamp could not be taken after the points were
      // read: the data set is whole, and will be written at the next save.
      EXPECT_EQ(d->points.size(), 3000) << k;
      EXPECT_FALSE(d->cacheNotWhole) << k;
      EXPECT_FALSE(cacheUpToDate(*d)) << k;
    } else {
      EXPECT_EQ(result, CacheLoad::kOutOfMemory) << k;
      EXPECT_TRUE(d->cacheNotWhole) << k;
      EXPECT_FALSE(saveCache(*d)) << k;
      ++outOfMemory;
    }
  }
  EXPECT_GT(outOfMemory, 0);
  // The point storage itself refused, at its first block and at a later one.
  for (size_t limit : {size_t{1}, sizeof(LinePoint) * 1001}) {
    standin::resetProgressBar();
    auto d = makeDataSet("m");
    setMemoryBlockLimitForTesting(limit);
    const CacheLoad result = readCache(*d);
    setMemoryBlockLimitForTesting(0);
    EXPECT_EQ(result, CacheLoad::kOutOfMemory) << limit;
    EXPECT_TRUE(d->cacheNotWhole);
    EXPECT_FALSE(standin::progressBarShown());
  }
  EXPECT_EQ(readBytes(file()), bytes);
  EXPECT_TRUE(headless::messages().empty());
}

TEST_F(CacheFileAllocationTest, WriteRunningOutAtEveryAllocation) {
  const std::vector<unsigned char> earlier =
      documentedBytes(0x00445566, 4, 1, 0, somePoints(10));
  auto d = makeDataSet("m");
  for (const LinePoint& p : somePoints(3000)) d->points.append(p);
  const std::vector<unsigned char> written =
      documentedBytes(0x0000FFFF, 1, 1, 1, somePoints(3000));
  writeBytes(file(), earlier);
  const int64_t total = withFailingAllocation(-1, [&] {
    EXPECT_TRUE(saveCache(*d));
  });
  ASSERT_GT(total, 0);
  int64_t refused = 0;
  for (int64_t k = 1; k <= total; ++k) {
    writeBytes(file(), earlier);
    bool saved = true;
    withFailingAllocation(k, [&] { saved = static_cast<bool>(saveCache(*d)); });
    EXPECT_EQ(readBytes(file()), saved ? written : earlier) << k;
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_),
                            fs::directory_iterator()),
              1)
        << k;  // no temporary file left
    if (!saved) ++refused;
  }
  EXPECT_GT(refused, 0);
  EXPECT_TRUE(headless::messages().empty());
}

}  // namespace
