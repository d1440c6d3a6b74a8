#include "dataset/LineDataSet.h"

#include <gtest/gtest.h>

#include <limits>

#include "platform/MemoryBlock.h"
#include "resources/Texts.h"
#include "ui/headless/HeadlessUi.h"
#include "tests/TestHost.h"

namespace {

class LineDataSetTest : public TestHost {
 protected:
  void SetUp() override {
    TestHost::SetUp();
    data.clear();
  }
  void TearDown() override {
    setMemoryBlockLimitForTesting(0);
    TestHost::TearDown();
  }

  LineDataSet data{7};
};

TEST_F(LineDataSetTest, ConversionTruncatesTowardZero) {
  ASSERT_EQ(data.addPoint(-0.0001, 0.0001), 1);
  EXPECT_EQ(data.points[0].latitude, -3);
  EXPECT_EQ(data.points[0].longitude, 3);
  // Latitude first; one point makes a box of one unit.
  EXPECT_EQ(data.bounds.left, 3);
  EXPECT_EQ(data.bounds.right, 3);
  EXPECT_EQ(data.bounds.top, -3);
  EXPECT_EQ(data.bounds.bottom, -3);
}

TEST_F(LineDataSetTest, EndArcAddsOneSeparatorOnlyAfterAPoint) {
  ASSERT_EQ(data.endArc(), 1);
  EXPECT_EQ(data.points.size(), 0);
  data.addPoint(1.0, 2.0);
  data.addPoint(3.0, -4.0);
  ASSERT_EQ(data.endArc(), 1);
  ASSERT_EQ(data.endArc(), 1);
  ASSERT_EQ(data.points.size(), 3);
  EXPECT_TRUE(isSeparator(data.points[2]));
  EXPECT_EQ(data.points[2].longitude, 2147483647);
  // The separator never widens the box.
  EXPECT_EQ(data.bounds.right, 72000);
  EXPECT_EQ(data.bounds.bottom, 108000);
  EXPECT_EQ(data.bounds.left, -144000);
  EXPECT_EQ(data.bounds.top, 36000);
}

TEST_F(LineDataSetTest, SeparatorIsJudgedByLatitudeAlone) {
  EXPECT_TRUE(isSeparator({2147483647, 5}));
  EXPECT_FALSE(isSeparator({5, 2147483647}));
  data.points.append({2147483647, 5});
  ASSERT_EQ(data.endArc(), 1);
  EXPECT_EQ(data.points.size(), 1);
}

TEST_F(LineDataSetTest, PointStorageGrowsByThousandAndCompacts) {
  data.addPoint(0, 0);
  EXPECT_EQ(data.points.capacity(), 1);
  data.addPoint(0, 0);
  EXPECT_EQ(data.points.capacity(), 1001);
  data.compact();
  EXPECT_EQ(data.points.capacity(), 2);
}

TEST_F(LineDataSetTest, ClearKeepsIdentityAndAttributes) {
  const char folder[] = "C:\\depot";
  data.name = "roads";
  data.depotPath = folder;
  data.lineColour = 0x00FF0000;
  data.lineWidth = 4;
  data.visible = 0;
  data.showIn3d = 0;
  data.addPoint(1, 1);
  data.points.setGrowthStep(3);
  data.clear();
  EXPECT_EQ(data.points.size(), 0);
  EXPECT_EQ(data.points.capacity(), 0);
  EXPECT_EQ(data.points.growthStep(), 1000);
  EXPECT_EQ(data.bounds.left, kEmptyBounds.left);
  EXPECT_EQ(data.bounds.bottom, kEmptyBounds.bottom);
  EXPECT_EQ(data.name, "roads");
  EXPECT_EQ(data.depotPath, folder);
  EXPECT_EQ(data.lineColour, 0x00FF0000u);
  EXPECT_EQ(data.lineWidth, 4);
  EXPECT_EQ(data.visible, 0);
  EXPECT_EQ(data.showIn3d, 0);
  EXPECT_EQ(data.rowId, 7);
}

TEST_F(LineDataSetTest, OutOfMemoryIsReportedAndKeepsWhatWasStored) {
  data.addPoint(1, 1);
  setMemoryBlockLimitForTesting(8);
  EXPECT_EQ(data.addPoint(2, 2), 0);
  EXPECT_EQ(data.endArc(), 0);
  // Told by the reader that called, not by the data set.
  EXPECT_TRUE(headless::messages().empty());
  EXPECT_EQ(data.points.size(), 1);
  EXPECT_EQ(data.bounds.bottom, 36000);
  setMemoryBlockLimitForTesting(0);
  EXPECT_EQ(data.addPoint(2, 2), 1);  // still usable
}

TEST(DegreesToUnitsTest, RefusesWhatCannotBeAVertex) {
  int32_t u = 0;
  EXPECT_TRUE(degreesToUnits(59652.3, &u));
  EXPECT_EQ(u, 2147482800);
  EXPECT_FALSE(degreesToUnits(59652.3236, &u));   // would be the separator
  EXPECT_FALSE(degreesToUnits(340099.88, &u));    // UTM metres
  EXPECT_FALSE(degreesToUnits(-59652.3236, &u));
  EXPECT_FALSE(degreesToUnits(std::numeric_limits<double>::quiet_NaN(), &u));
  EXPECT_FALSE(degreesToUnits(std::numeric_limits<double>::infinity(), &u));
  EXPECT_TRUE(degreesToUnits(-180.0, &u));
  EXPECT_EQ(u, -6480000);
}

}  // namespace
