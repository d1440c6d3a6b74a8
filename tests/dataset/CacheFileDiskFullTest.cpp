// A cache file that does not fit on the disk, on every backend: the depot
// is a tree in memory whose disk fills at byte k, or loses what is written
// past byte k and says so only at close, for every k of a small file, with
// and without an earlier cache file there, which must stay as it was.

#include <gtest/gtest.h>

#include "dataset/CacheFile.h"
#include "dataset/CacheFormat.h"
#include "dataset/LineDataSet.h"
#include "platform/MemoryFileSystem.h"
#include "resources/Texts.h"
#include "tests/dataset/CacheFileTestSupport.h"

namespace {

using namespace cache_test;

TEST(CacheFileMemoryDiskFullTest, FailureAtEveryByteLeavesNoFileAndSaysSo) {
  // 600 points: 4828 bytes, more than one 4096-byte buffer, so both a
  // write during the data and the flush at close fail somewhere.
  const int32_t n = 600;
  const int64_t size = cache_format::fileSize(n);
  char depot[] = "M:\\depot";
  LineDataSet d(1);
  d.clear();
  d.name = "full";
  d.depotPath = depot;
  std::vector<LinePoint> points;
  for (int32_t i = 0; i < n; ++i) points.push_back({i, -i});
  for (const LinePoint& p : points) d.points.append(p);
  const std::vector<unsigned char> documented =
      documentedBytes(0x0000FFFF, 1, 1, 1, points);
  const std::string expected(documented.begin(), documented.end());

  // The cache file that was there before, from an earlier save: a full
  // disk during the new write must leave it byte for byte.
  const std::vector<unsigned char> earlier =
      documentedBytes(0x00102030, 3, 0, 1, {{5, 6}, {7, 8}});
  const std::string earlierBytes(earlier.begin(), earlier.end());

  for (bool hadFile : {false, true}) {
    for (int fault = 0; fault < 2; ++fault) {
      for (int64_t k = 0; k <= size; ++k) {
        MemoryFileSystem memory("M:\\");
        if (hadFile) memory.putFile("M:\\depot\\full.bin", earlierBytes);
        if (fault == 0) memory.failWritesAt(k);
        if (fault == 1) memory.shortWritesAt(k);
        headless::resetUi();
        headless::setEcho(false);
        const Result result = saveCache(d);
        const bool saved = static_cast<bool>(result);
        std::string bytes;
        bool there = memory.fileBytes("M:\\depot\\full.bin", &bytes);
        if (k < size) {
          ASSERT_FALSE(saved) << fault << " " << k;
          ASSERT_EQ(there, hadFile) << fault << " " << k;
          if (hadFile) {
            ASSERT_EQ(bytes, earlierBytes) << fault << " " << k;
          }
          EXPECT_EQ(result.reason(), FailureReason::kDepotDiskFull) << k;
          EXPECT_FALSE(cacheUpToDate(d));
        } else {
          EXPECT_TRUE(saved);
          EXPECT_EQ(bytes, expected);
          EXPECT_TRUE(cacheUpToDate(d));
        }
        // No temporary file stays: the folder holds the cache file or
        // nothing.
        const std::vector<std::string> left = memory.paths();
        ASSERT_EQ(left.size(), there ? 2u : 1u) << fault << " " << k;
        ASSERT_EQ(d.points.size(), n);  // the data set is not touched
      }
    }
  }
}

}  // namespace
