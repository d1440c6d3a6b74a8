// Every sample file in geographic degrees, read from its .e00 text, saved as
// a cache file and loaded again: the same points, bounds and attributes, and
// a file byte for byte as the test's own writer of the layout makes it.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dataset/CacheFile.h"
#include "dataset/LineDataSet.h"
#include "e00/E00ArcReader.h"
#include "tests/dataset/CacheFileTestSupport.h"
#include "ui/ProgressDialog.h"

namespace {

using namespace cache_test;

class CacheRoundTripTest : public DepotFixture {};

struct SampleFile {
  const char* name;
  bool read;  // false: the reader refuses it (a compressed file cut short)
  int32_t elements;  // points + separators, -1 when not pinned
};

TEST_F(CacheRoundTripTest, SampleFilesComeBackUnchanged) {
  const SampleFile files[] = {
      {"japan_coast_50m.e00", true, 1216 + 39},
      {"japan_coast_50m_double.e00", true, 1216 + 39},
      {"world_land_110m.e00", true, 5123 + 126},
      {"japan_coast_50m_full.e00", true, 1216 + 39},
      {"japan_coast_50m_partial.e00", true, 1216 + 39},
      {"gdal_compressed.e00", false, 0},
      // UTM zone 13, read into degrees.
      {"derived_gdal_testpoly_full.e00", true, 18 + 7},
      {"derived_gdal_testpoly_partial.e00", true, 18 + 7},
      {"japan_cities.e00", true, -1},
      {"japan_cities_full.e00", true, -1},
      {"japan_cities_partial.e00", true, -1},
      {"japan_cities_double.e00", true, -1},
      {"japan_cities_stripped.e00", true, -1},
      {"gdal_test.e00", true, 18 + 7},
      {"gdal_testpoly.e00", true, 18 + 7},
  };
  for (const SampleFile& f : files) {
    SCOPED_TRACE(f.name);
    fs::path source = fs::path(MORVANE_TEST_DATA) / f.name;
    ASSERT_TRUE(fs::exists(source));
    std::string modulePathOfSource = modulePath(source.string());
    std::string dataSetName = fs::path(f.name).stem().string();

    auto read = makeDataSet(dataSetName);
    ProgressDialog progress;
    progress.create(nullptr);
    const bool ok = static_cast<bool>(
        readE00Arcs(*read, modulePathOfSource.c_str(), progress));
    progress.destroyWindow();
    ASSERT_EQ(ok, f.read);
    if (!ok) continue;
    if (f.elements >= 0) {
      ASSERT_EQ(read->points.size(), f.elements);
    }
    read->lineColour = 0x00336699;
    read->lineWidth = 3;
    read->visible = 0;

    saveCache(*read);
    fs::path bin = folder_ / (dataSetName + ".bin");
    EXPECT_EQ(readBytes(bin),
              documentedBytes(0x00336699, 3, 1, 0, pointsOf(*read)));

    auto loaded = makeDataSet(dataSetName);
    ASSERT_EQ(loadCache(*loaded), 1);
    std::vector<LinePoint> a = pointsOf(*read);
    std::vector<LinePoint> b = pointsOf(*loaded);
    ASSERT_EQ(a.size(), b.size());
    EXPECT_TRUE(std::equal(a.begin(), a.end(), b.begin(),
                           [](const LinePoint& x, const LinePoint& y) {
                             return x.latitude == y.latitude &&
                                    x.longitude == y.longitude;
                           }));
    EXPECT_EQ(loaded->bounds.left, read->bounds.left);
    EXPECT_EQ(loaded->bounds.top, read->bounds.top);
    EXPECT_EQ(loaded->bounds.right, read->bounds.right);
    EXPECT_EQ(loaded->bounds.bottom, read->bounds.bottom);
    EXPECT_EQ(loaded->lineColour, 0x00336699u);
    EXPECT_EQ(loaded->lineWidth, 3);
    EXPECT_EQ(loaded->showIn3d, 1);
    EXPECT_EQ(loaded->visible, 0);
  }
}

}  // namespace
