// A cache file that does not fit on the disk, on every backend: the depot
// is a tree in memory whose disk fills at byte k, or loses what is written
// past byte k and says so only at close, for every k of a small file.

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

  for (int fault = 0; fault < 2; ++fault) {
    for (int64_t k = 0; k <= size; ++k) {
      MemoryFileSystem memory("M:\\");
      if (fault == 0) memory.failWritesAt(k);
      if (fault == 1) memory.shortWritesAt(k);
      headless::resetUi();
      headless::setEcho(false);
      saveCache(d);
      std::string bytes;
      bool there = memory.fileBytes("M:\\depot\\full.bin", &bytes);
      if (k < size) {
        ASSERT_FALSE(there) << fault << " " << k;
        ASSERT_EQ(headless::messages().size(), 1u) << k;
        EXPECT_EQ(headless::messages()[0].text, kTextDepotDiskFull);
      } else {
        EXPECT_EQ(bytes, expected);
        EXPECT_TRUE(headless::messages().empty());
      }
      ASSERT_EQ(d.points.size(), n);  // the data set is not touched
    }
  }
}

}  // namespace
