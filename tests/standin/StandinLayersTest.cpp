#include "standin/StandinLayers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "host/PluginIf.h"
#include "standin/StandinView2d.h"
#include "standin/StandinView3d.h"

namespace {

struct Seen {
  int which;
  int32_t event;
  uintptr_t view;
  double doubles[4];      // 2D: the record's bytes 8 to 39
  int32_t blockCount;     // 3D
  std::vector<int32_t> codes;
  int32_t mode;
};
std::vector<Seen> gSeen;
uint32_t gDeleteDuringDraw = 0;

template <int kWhich>
int32_t layer(int32_t event, uintptr_t wParam, intptr_t lParam) {
  Seen s{kWhich, event, wParam, {0, 0, 0, 0}, 0, {}, 0};
  if (event == kLayerEventDraw2d) {
    std::memcpy(s.doubles, reinterpret_cast<const char*>(lParam) + 8, 32);
  } else if (event == kLayerEventDraw3d) {
    const auto* r = reinterpret_cast<const tagDRAW3DEVENT*>(lParam);
    s.blockCount = r->blockCount;
    s.codes.assign(r->blockCodes, r->blockCodes + r->blockCount);
    s.mode = r->mode;
  }
  gSeen.push_back(s);
  if (gDeleteDuringDraw != 0) VPI_DeleteLayer(gDeleteDuringDraw);
  return 0;
}

class StandinLayersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    standin::resetLayers();
    standin::resetView2d();
    gSeen.clear();
    gDeleteDuringDraw = 0;
  }
  void TearDown() override { standin::resetLayers(); }
};

TEST_F(StandinLayersTest, PassesHandEveryLayerItsRecord) {
  uint32_t a = VPI_AddLayer(7, layer<1>, 1);
  uint32_t b = VPI_AddLayer3d(7, layer<2>, 101);
  uint32_t c = VPI_AddLayer(7, layer<3>, 2);
  EXPECT_NE(a, 0u);
  EXPECT_NE(b, a);
  EXPECT_NE(c, b);
  standin::setView2d({130.0, 30.0, 140.0, 45.0}, 0);  // W, S, E, N

  EXPECT_EQ(standin::drawAll2d(), 2);
  ASSERT_EQ(gSeen.size(), 2u);
  EXPECT_EQ(gSeen[0].which, 1);
  EXPECT_EQ(gSeen[1].which, 3);
  for (const Seen& s : gSeen) {
    EXPECT_EQ(s.event, kLayerEventDraw2d);
    EXPECT_EQ(s.view, standin::kView2d);
    // North, west, south, east at offsets 8, 16, 24, 32.
    EXPECT_EQ(s.doubles[0], 45.0);
    EXPECT_EQ(s.doubles[1], 130.0);
    EXPECT_EQ(s.doubles[2], 30.0);
    EXPECT_EQ(s.doubles[3], 140.0);
  }

  gSeen.clear();
  EXPECT_EQ(standin::drawAll3d({5, 6, 7}, 2), 1);
  ASSERT_EQ(gSeen.size(), 1u);
  EXPECT_EQ(gSeen[0].which, 2);
  EXPECT_EQ(gSeen[0].event, kLayerEventDraw3d);
  EXPECT_EQ(gSeen[0].view, standin::kView3d);
  EXPECT_EQ(gSeen[0].codes, (std::vector<int32_t>{5, 6, 7}));
  EXPECT_EQ(gSeen[0].mode, 2);
}

TEST_F(StandinLayersTest, DeletedLayersAreNotDrawn) {
  uint32_t a = VPI_AddLayer(7, layer<1>, 1);
  uint32_t b = VPI_AddLayer3d(7, layer<2>, 101);
  uint32_t c = VPI_AddLayer(7, layer<3>, 2);
  EXPECT_EQ(VPI_DeleteLayer(b), 0);  // a 3D handle
  EXPECT_EQ(VPI_DeleteLayer3d(b), 1);
  EXPECT_EQ(VPI_DeleteLayer3d(b), 0);
  EXPECT_EQ(standin::drawAll3d({1}), 0);
  // The first layer deletes the third while the pass runs.
  gDeleteDuringDraw = c;
  EXPECT_EQ(standin::drawAll2d(), 1);
  ASSERT_EQ(gSeen.size(), 1u);
  EXPECT_EQ(gSeen[0].which, 1);
  EXPECT_EQ(standin::layers().size(), 1u);
  EXPECT_EQ(standin::layers()[0].handle, a);
  EXPECT_EQ(VPI_AddLayer(7, nullptr, 1), 0u);
}

}  // namespace
