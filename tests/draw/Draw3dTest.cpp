#include "draw/Draw3d.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "dataset/LineDataSet.h"
#include "resources/Texts.h"
#include "standin/StandinView3d.h"
#include "ui/headless/HeadlessUi.h"
#include "tests/TestHost.h"

namespace {

struct Vertex {
  double latitude;
  double longitude;
};
using Arc = std::vector<Vertex>;

// Eye over Tokyo Bay, drawing distance 50 km.
constexpr tagGEOPOS kEye = {35.5, 139.8};
constexpr double kRange = 50.0;
// Points well within (about 10 km) and well beyond (about 150 km) range.
constexpr Vertex kNear1 = {35.55, 139.85}, kNear2 = {35.45, 139.75},
                 kNear3 = {35.5, 139.9};
constexpr Vertex kFar1 = {36.8, 139.8}, kFar2 = {36.9, 139.9};

class Draw3dTest : public TestHost {
 protected:
  void SetUp() override {
    TestHost::SetUp();
    standin::setTrace3d(true);
    standin::setEye3d(kEye);
    standin::setDrawDistance3d(kRange);
    blocks = standin::blocksAround(kEye, kRange);
  }

  static void build(LineDataSet& data, const std::vector<Arc>& arcs,
                    bool closeLast = true) {
    data.clear();
    for (const Arc& arc : arcs) {
      for (const Vertex& v : arc) {
        ASSERT_EQ(data.addPoint(v.latitude, v.longitude), 1);
      }
      if (closeLast || &arc != &arcs.back()) {
        ASSERT_EQ(data.endArc(), 1);
      }
    }
  }

  int32_t draw(LineDataSet& data, int32_t position = 0, int32_t total = 1) {
    return draw3d(data, standin::kView3d, blocks.data(),
                       static_cast<int32_t>(blocks.size()), position, total);
  }

  static std::string sequence() {
    std::string out;
    for (const standin::DrawTraceEntry& t : standin::trace3d()) {
      if (!out.empty()) out += ',';
      out += std::to_string(t.result);
    }
    return out;
  }

  std::vector<int32_t> blocks;
  LineDataSet data{1};
};

TEST_F(Draw3dTest, HiddenDataSetReturnsOneWithoutAnyHostCall) {
  build(data, {{kNear1, kNear2}});
  for (int hidden = 0; hidden < 2; ++hidden) {
    standin::resetView3d();
    data.visible = hidden == 0 ? 0 : 1;
    data.showIn3d = hidden == 0 ? 1 : 0;
    EXPECT_EQ(draw(data), 1);
    const standin::View3dCalls& c = standin::view3dCalls();
    EXPECT_EQ(c.getMap3d + c.get3dPen + c.getBlockSize + c.getPosition3d +
                  c.getView3dOptions + c.codeToPos + c.draw3dLines +
                  c.getDistance + c.isAbortRendering,
              0);
    EXPECT_TRUE(c.progressPositions.empty());
    EXPECT_TRUE(c.progressMessages.empty());
  }
}

TEST_F(Draw3dTest, EmptyDataSetAsksTheHostButLooksAtNoBlock) {
  EXPECT_EQ(draw(data), 1);
  const standin::View3dCalls& c = standin::view3dCalls();
  EXPECT_EQ(c.get3dPen, 1);
  EXPECT_EQ(c.getBlockSize, 1);
  EXPECT_EQ(c.getPosition3d, 1);
  EXPECT_EQ(c.getView3dOptions, 1);
  EXPECT_EQ(c.badOptionsSize, 0);  // the record's size was set to 64
  EXPECT_EQ(c.codeToPos, 0);
  EXPECT_EQ(c.draw3dLines, 0);
  EXPECT_EQ(c.progressPositions, (std::vector<int32_t>{0, 100}));
  ASSERT_EQ(c.progressMessages.size(), 1u);
  EXPECT_EQ(c.progressMessages[0], kTextRenderingMessage);
}

TEST_F(Draw3dTest, ThreeDataSetsShowTheirShareStartsAndOnlyTheFinalHundred) {
  std::unique_ptr<LineDataSet> sets[3];
  const int32_t widths[3] = {1, 2, 9};
  for (int i = 0; i < 3; ++i) {
    sets[i] = std::make_unique<LineDataSet>(i + 1);
    build(*sets[i], {{kNear1, kNear2}});
    sets[i]->lineWidth = widths[i];
  }
  for (int i = 0; i < 3; ++i) EXPECT_EQ(draw(*sets[i], i, 3), 1);
  EXPECT_EQ(standin::view3dCalls().progressPositions,
            (std::vector<int32_t>{0, 33, 66, 100}));
  // The 3D pen's width value: 50 per pixel above the first.
  EXPECT_EQ(standin::view3dCalls().penWidths,
            (std::vector<int32_t>{0, 50, 400}));
  EXPECT_EQ(standin::view3dCalls().progressMessages.size(), 3u);
  EXPECT_EQ(standin::view3dCalls().draw3dLines, 3);
}

// Widths a cache file may hold beyond 1 to 9 take the pen of the nearest,
// without overflow.
TEST_F(Draw3dTest, WidthsOutsideOneToNineTakeTheNearestPen) {
  const struct {
    int32_t width, pen;
  } cases[] = {{INT32_MIN, 0}, {-1, 0}, {0, 0}, {1, 0}, {5, 200}, {9, 400},
               {10, 400}, {1000000, 400}, {INT32_MAX, 400}};
  for (const auto& c : cases) {
    standin::resetView3d();
    build(data, {{kNear1, kNear2}});
    data.lineWidth = c.width;
    EXPECT_EQ(draw(data), 1);
    EXPECT_EQ(standin::view3dCalls().penWidths, (std::vector<int32_t>{c.pen}))
        << c.width;
  }
}

TEST_F(Draw3dTest, AbortReturnsZeroWithoutTheFinalProgress) {
  build(data, {{kNear1, kNear2}});
  standin::setAbortRendering(true);
  // As the layer callback does: stop at the first data set reporting 0.
  LineDataSet second(2);
  build(second, {{kNear1, kNear3}});
  int drawn = 0;
  for (LineDataSet* d : {&data, &second}) {
    ++drawn;
    if (draw(*d, drawn - 1, 1) == 0) break;
  }
  EXPECT_EQ(drawn, 1);
  EXPECT_EQ(standin::view3dCalls().progressPositions,
            (std::vector<int32_t>{0}));
  EXPECT_EQ(standin::view3dCalls().draw3dLines, 1);
}

TEST_F(Draw3dTest, BlockLoopStopsAtTheFirstTouchingBlock) {
  build(data, {{kNear1, kNear2}});
  // A block far away, the eye's block, then the eye's block again.
  int32_t eyeBlock = standin::blockCodeAt(kEye.latitude, kEye.longitude);
  std::vector<int32_t> codes = {standin::blockCodeAt(-40.0, 20.0), eyeBlock,
                                eyeBlock};
  EXPECT_EQ(draw3d(data, standin::kView3d, codes.data(), 3, 0, 1), 1);
  EXPECT_EQ(standin::view3dCalls().codeToPos, 2);
  EXPECT_EQ(standin::view3dCalls().draw3dLines, 1);
}

TEST_F(Draw3dTest, DataSetTouchingNoBlockIsNotDrawn) {
  build(data, {{kNear1, kNear2}});
  std::vector<int32_t> codes = {standin::blockCodeAt(-40.0, 20.0),
                                standin::blockCodeAt(0.0, 0.0), 99999};
  EXPECT_EQ(draw3d(data, standin::kView3d, codes.data(), 3, 0, 1), 1);
  EXPECT_EQ(standin::view3dCalls().codeToPos, 3);
  EXPECT_EQ(standin::view3dCalls().draw3dLines, 0);
}

TEST_F(Draw3dTest, BlockIncludesItsNorthAndEastEdgeUnits) {
  // The block 35..36 N, 139..140 E.
  std::vector<int32_t> codes = {standin::blockCodeAt(35.5, 139.5)};
  struct Case {
    Vertex point;
    bool drawn;
  };
  const Case cases[] = {
      {{36.0, 139.5}, true},        // on the north edge
      {{35.5, 140.0}, true},        // on the east edge
      {{35.0, 139.0}, true},        // the south-west corner
      {{35.5, 140.0 + 1.0 / 36000 + 1e-9}, false},  // one unit east
      {{35.0 - 1.0 / 36000 - 1e-9, 139.5}, false},  // one unit south
  };
  for (const Case& c : cases) {
    standin::resetView3d();
    build(data, {{c.point}});
    draw3d(data, standin::kView3d, codes.data(), 1, 0, 1);
    EXPECT_EQ(standin::view3dCalls().draw3dLines, c.drawn ? 1 : 0)
        << c.point.latitude << "," << c.point.longitude;
  }
}

struct RangeCase {
  const char* name;
  std::vector<Arc> arcs;
  const char* expected;
};

class Draw3dRangeTest : public Draw3dTest,
                        public ::testing::WithParamInterface<RangeCase> {};

TEST_P(Draw3dRangeTest, ResultsFollowTheDrawingDistance) {
  build(data, GetParam().arcs, /*closeLast=*/false);
  draw(data);
  EXPECT_EQ(sequence(), GetParam().expected);
  EXPECT_EQ(standin::view3dCalls().badResults, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Arcs, Draw3dRangeTest,
    ::testing::Values(
        RangeCase{"AllWithin", {{kNear1, kNear2, kNear3}, {kNear2, kNear1}},
                  "1,2,2,0,1,2,3"},
        // Out: 2 for the first point beyond, 0 after; back: a new line.
        RangeCase{"LeavesAndComesBack",
                  {{kNear1, kNear2, kFar1, kFar2, kNear3, kNear1}},
                  "1,2,2,0,1,2,3"},
        RangeCase{"StartsBeyond", {{kFar1, kNear1, kNear2}}, "0,1,2,3"},
        // A separator resets the range state: the next arc starts afresh.
        RangeCase{"SeparatorResets", {{kNear1, kFar1}, {kNear2, kNear3}},
                  "1,2,0,1,2,3"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Draw3dTest, SeparatorLeavesTheRecordUnwrittenAndPointsCarryNoHeight) {
  build(data, {{kNear1, kNear2}});
  draw(data);
  const auto& trace = standin::trace3d();
  ASSERT_EQ(trace.size(), 4u);
  EXPECT_EQ(trace[2].position.latitude, 0.0);  // the separator
  EXPECT_DOUBLE_EQ(trace[1].position.latitude,
                   data.points[1].latitude * kDegreesPerUnit);
  // The state stays set after the pass: ask for one record directly.
  drawState3d().phase = DrawPhase::kStartOfRun;
  Point3dRecord record = {1.0, 2.0, 3.0, 4};
  EXPECT_EQ(pointCallback3d(0, 0, reinterpret_cast<intptr_t>(&record)),
            kPointBeginLine);
  EXPECT_EQ(record.height, -9999.0);
  EXPECT_EQ(record.flags, 0);
  EXPECT_DOUBLE_EQ(record.longitude, data.points[0].longitude * kDegreesPerUnit);
}

TEST_F(Draw3dTest, UnknownDistanceCountsAsWithinRange) {
  // An eye the host cannot place gives NaN distances.
  standin::setEye3d({NAN, NAN});
  build(data, {{kFar1, kFar2, kNear1}}, /*closeLast=*/false);
  std::vector<int32_t> codes = {standin::blockCodeAt(36.8, 139.8)};
  draw3d(data, standin::kView3d, codes.data(), 1, 0, 1);
  EXPECT_EQ(sequence(), "1,2,2,3");
}

}  // namespace
