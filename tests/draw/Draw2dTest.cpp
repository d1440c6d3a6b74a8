#include "draw/Draw2d.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "dataset/LineDataSet.h"
#include "e00/E00ArcReader.h"
#include "platform/FileSystem.h"
#include "standin/Geodesy.h"
#include "standin/StandinView2d.h"
#include "ui/ProgressDialog.h"
#include "ui/headless/HeadlessUi.h"
#include "tests/TestHost.h"

namespace {

using standin::GeoExtent;

struct Vertex {
  double latitude;
  double longitude;
};
using Arc = std::vector<Vertex>;

class Draw2dTest : public TestHost {
 protected:
  void SetUp() override {
    TestHost::SetUp();
    standin::setTrace2d(true);
    data.clear();
  }

  // Arcs are separated; the last one is left without a separator unless
  // closeLast is set.
  void build(const std::vector<Arc>& arcs, bool closeLast = true) {
    data.clear();
    for (const Arc& arc : arcs) {
      for (const Vertex& v : arc) ASSERT_EQ(data.addPoint(v.latitude, v.longitude), 1);
      if (closeLast || &arc != &arcs.back()) {
        ASSERT_EQ(data.endArc(), 1);
      }
    }
  }

  void draw(const GeoExtent& extent, int32_t datum = standin::kDatumWgs84) {
    standin::setView2d(extent, datum);
    tagDRAW2DEVENT e = standin::draw2dEvent();
    // The layer callback recombines the record's corners this way.
    tagGEOPOS southWest = {e.southEast.latitude, e.northWest.longitude};
    tagGEOPOS northEast = {e.northWest.latitude, e.southEast.longitude};
    draw2d(data, standin::kView2d, southWest, northEast);
  }

  // The trace as "1,2,M,2,0,3": callback results in order, M for a move-to.
  static std::string sequence() {
    std::string out;
    for (const standin::DrawTraceEntry& t : standin::trace2d()) {
      if (!out.empty()) out += ',';
      out += t.result == standin::kTraceMoveTo ? std::string("M")
                                                : std::to_string(t.result);
    }
    return out;
  }

  LineDataSet data{1};
};

// The view 35..36 N, 139..140 E.
constexpr GeoExtent kView = {139.0, 35.0, 140.0, 36.0};

TEST_F(Draw2dTest, InvisibleDataSetCallsNoHostFunction) {
  build({{{35.5, 139.5}, {35.6, 139.6}}});
  data.visible = 0;
  draw(kView);
  const standin::View2dCalls& calls = standin::view2dCalls();
  EXPECT_EQ(calls.getMap + calls.getDatum + calls.convertDatum +
                calls.getVideoPen + calls.drawVideoLines + calls.drawVideoMoveTo,
            0);
}

TEST_F(Draw2dTest, BoxOutsideTheViewSelectsThePenButNeverDraws) {
  build({{{10.0, 10.0}, {10.5, 10.5}}});
  draw(kView);
  EXPECT_EQ(standin::view2dCalls().getVideoPen, 1);
  EXPECT_EQ(standin::view2dCalls().drawVideoLines, 0);
  // An empty data set's box overlaps nothing, not even the whole world.
  data.clear();
  draw({-180.0, -90.0, 180.0, 90.0});
  EXPECT_EQ(standin::view2dCalls().drawVideoLines, 0);
}

TEST_F(Draw2dTest, NorthSouthLineInsideIsDrawn) {
  build({{{35.2, 139.5}, {35.4, 139.5}, {35.8, 139.5}}});
  ASSERT_EQ(data.bounds.left, data.bounds.right);
  draw(kView);
  EXPECT_EQ(sequence(), "1,2,2,0,3");
  ASSERT_EQ(standin::scene2d().polylines().size(), 1u);
  EXPECT_EQ(standin::scene2d().polylines()[0].points.size(), 3u);
}

TEST_F(Draw2dTest, ArcsInsideBeginContinueSkipTheSeparatorAndEnd) {
  build({{{35.1, 139.1}, {35.2, 139.2}, {35.3, 139.1}},
         {{35.5, 139.5}, {35.6, 139.7}}},
        /*closeLast=*/false);
  draw(kView);
  EXPECT_EQ(sequence(), "1,2,2,0,1,2,3");
  // The positions handed over are the stored units in degrees.
  const auto& trace = standin::trace2d();
  EXPECT_DOUBLE_EQ(trace[0].position.latitude,
                   data.points[0].latitude * kDegreesPerUnit);
  EXPECT_DOUBLE_EQ(trace[5].position.longitude,
                   data.points[5].longitude * kDegreesPerUnit);
  EXPECT_EQ(standin::scene2d().lineCount(), 2);
  EXPECT_EQ(standin::scene2d().pointCount(), 5);
  EXPECT_EQ(standin::view2dCalls().badResults, 0);
}

TEST_F(Draw2dTest, ArcEnteringAndLeavingResumesWithAMoveToThePointBefore) {
  // West of the view at view latitudes (their segments cross no line), in,
  // then east of it.
  build({{{35.5, 138.0}, {35.5, 138.5}, {35.5, 138.9}, {35.5, 139.2},
          {35.5, 139.8}, {35.5, 140.5}, {35.5, 141.0}}});
  draw(kView);
  EXPECT_EQ(sequence(), "0,0,M,2,2,2,2,0,0,3");
  const auto& trace = standin::trace2d();
  // The move goes to the skipped point before the one whose segment enters.
  EXPECT_DOUBLE_EQ(trace[2].position.longitude,
                   data.points[1].longitude * kDegreesPerUnit);
  // One polyline: from that point in, out to the first point east.
  ASSERT_EQ(standin::scene2d().polylines().size(), 1u);
  const auto& line = standin::scene2d().polylines()[0].points;
  ASSERT_EQ(line.size(), 5u);
  EXPECT_NEAR(line.front().longitude, 138.5, 1e-4);
  EXPECT_NEAR(line.back().longitude, 140.5, 1e-4);
}

// Segments whose ends both lie outside the view.
struct CrossingCase {
  const char* name;
  Vertex from, to;
  const char* expected;
};

class Draw2dCrossingTest : public Draw2dTest,
                           public ::testing::WithParamInterface<CrossingCase> {};

TEST_P(Draw2dCrossingTest, ResultsFollowTheLineCrossings) {
  // A point inside keeps the box overlapping the view.
  build({{{35.5, 139.5}}, {GetParam().from, GetParam().to}},
        /*closeLast=*/false);
  draw(kView);
  EXPECT_EQ(sequence(), std::string("1,0,") + GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Segments, Draw2dCrossingTest,
    ::testing::Values(
        // West to east straight through the view.
        CrossingCase{"WestToEast", {35.5, 138.0}, {35.5, 141.0}, "1,2,3"},
        // South to north straight through.
        CrossingCase{"SouthToNorth", {34.0, 139.5}, {37.0, 139.5}, "1,2,3"},
        // Diagonal through a corner region.
        CrossingCase{"Diagonal", {34.5, 138.5}, {36.5, 140.5}, "1,2,3"},
        // Crossing only the extension of the west line, far north: the host
        // clips it, the module still sends it.
        CrossingCase{"ExtendedLine", {40.0, 138.0}, {40.0, 141.0}, "1,2,3"},
        // Wholly west, no line crossed.
        CrossingCase{"NoCrossing", {35.2, 137.0}, {35.8, 138.0}, "0,0,3"}),
    [](const auto& info) { return std::string(info.param.name); });

// Which single points count as inside: the view's rectangle is half-open,
// with the north and east edge units included by the +1.
struct EdgeCase {
  const char* name;
  int32_t latitudeUnits;
  int32_t longitudeUnits;
  bool drawn;
};

class Draw2dEdgeTest : public Draw2dTest,
                       public ::testing::WithParamInterface<EdgeCase> {};

TEST_P(Draw2dEdgeTest, SinglePointArcIsDrawnOnlyInside) {
  const EdgeCase& c = GetParam();
  // A far point keeps the box overlapping however the probe lies.
  build({{{35.5, 139.5}},
         {{c.latitudeUnits / 36000.0 + (c.latitudeUnits >= 0 ? 1e-9 : -1e-9),
           c.longitudeUnits / 36000.0 + (c.longitudeUnits >= 0 ? 1e-9 : -1e-9)}}},
        /*closeLast=*/false);
  ASSERT_EQ(data.points[2].latitude, c.latitudeUnits);
  ASSERT_EQ(data.points[2].longitude, c.longitudeUnits);
  draw(kView);
  EXPECT_EQ(sequence(), c.drawn ? "1,0,1,3" : "1,0,0,3");
}

INSTANTIATE_TEST_SUITE_P(
    Edges, Draw2dEdgeTest,
    ::testing::Values(EdgeCase{"SouthWestCorner", 35 * 36000, 139 * 36000, true},
                      EdgeCase{"NorthEastCorner", 36 * 36000, 140 * 36000, true},
                      EdgeCase{"WestOfView", 35 * 36000 + 5, 139 * 36000 - 1, false},
                      EdgeCase{"SouthOfView", 35 * 36000 - 1, 139 * 36000 + 5, false},
                      EdgeCase{"EastOfView", 35 * 36000 + 5, 140 * 36000 + 1, false},
                      EdgeCase{"NorthOfView", 36 * 36000 + 1, 139 * 36000 + 5, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Draw2dTest, TokyoDatumViewConvertsCornersAndEveryPositionSent) {
  // Out, in, in: the move-to and both drawn points are converted.
  build({{{35.5, 138.5}, {35.5, 138.8}, {35.5, 139.3}, {35.5, 139.6}}},
        /*closeLast=*/false);
  // The view given in Tokyo datum coordinates.
  draw({139.0, 35.0, 140.0, 36.0}, standin::kDatumTokyo);
  EXPECT_EQ(sequence(), "0,M,2,2,2,3");
  const auto& trace = standin::trace2d();
  // Entry 1 is the move to point 0; entries 2 to 4 are points 1 to 3.
  for (int i : {1, 2, 3, 4}) {
    int32_t point = i - 1;
    tagGEOPOS wgs = {data.points[point].latitude * kDegreesPerUnit,
                     data.points[point].longitude * kDegreesPerUnit};
    tagGEOPOS tokyo;
    ASSERT_TRUE(standin::convertDatum(wgs, 0, standin::kDatumTokyo, &tokyo));
    EXPECT_DOUBLE_EQ(trace[i].position.latitude, tokyo.latitude) << i;
    EXPECT_DOUBLE_EQ(trace[i].position.longitude, tokyo.longitude) << i;
    // The shift in Japan is some 10 arc-seconds: big enough to matter.
    EXPECT_GT(std::fabs(tokyo.longitude - wgs.longitude), 0.002);
  }
}

TEST_F(Draw2dTest, TokyoDatumViewCullsByTheConvertedCorners) {
  // Just inside the view's west edge in Tokyo coordinates is some 250 m
  // outside it in WGS 84 units; the box test must use converted corners.
  tagGEOPOS tokyoEdge = {35.5, 139.0}, wgsEdge;
  ASSERT_TRUE(standin::convertDatum(tokyoEdge, standin::kDatumTokyo, 0, &wgsEdge));
  double inside = wgsEdge.longitude + 0.0005;
  double outside = wgsEdge.longitude - 0.0005;
  build({{{35.5, outside}}});
  draw({139.0, 35.0, 140.0, 36.0}, standin::kDatumTokyo);
  EXPECT_EQ(standin::view2dCalls().drawVideoLines, 0);
  build({{{35.5, inside}}});
  draw({139.0, 35.0, 140.0, 36.0}, standin::kDatumTokyo);
  EXPECT_EQ(sequence(), "1,0,3");
}

TEST_F(Draw2dTest, CornersFarBeyondTheUnitRangeAreClamped) {
  build({{{35.5, 139.5}, {-80.0, -170.0}}}, /*closeLast=*/false);
  draw({-1e12, -1e12, 1e12, 1e12});
  EXPECT_EQ(sequence(), "1,2,3");
}

TEST_F(Draw2dTest, NaNCornerDrawsNothing) {
  build({{{35.5, 139.5}, {35.6, 139.6}}});
  draw({139.0, NAN, 140.0, 36.0});
  EXPECT_EQ(standin::view2dCalls().getVideoPen, 1);
  EXPECT_EQ(standin::view2dCalls().drawVideoLines, 0);
}

TEST(DrawEdgeUnits, TruncateClampAndCloseTheFarEdge) {
  struct Case {
    double degrees;
    int32_t nearEdge;
    int32_t farEdge;
  };
  const Case cases[] = {
      {1.0, 36000, 36001},
      {-0.0001, -3, -2},
      {0.0001, 3, 4},
      {1e9, 2147483647, 2147483647},
      {-1e9, -2147483647 - 1, -2147483647},
      {std::numeric_limits<double>::infinity(), 2147483647, 2147483647},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(nearEdgeUnits(c.degrees), c.nearEdge) << c.degrees;
    EXPECT_EQ(farEdgeUnits(c.degrees), c.farEdge) << c.degrees;
  }
  // A NaN edge leaves an empty rectangle.
  EXPECT_EQ(nearEdgeUnits(NAN), 2147483647);
  EXPECT_EQ(farEdgeUnits(NAN), -2147483647 - 1);
}

TEST(DrawBoundsOverlap, InclusiveBoxAgainstHalfOpenRectangle) {
  const UnitRect rect = {100, 200, 110, 210};
  struct Case {
    UnitBounds bounds;
    bool overlaps;
  };
  const Case cases[] = {
      {{95, 205, 99, 206}, false},   // ends one unit west of the left edge
      {{95, 205, 100, 206}, true},   // its right unit is the left edge
      {{110, 205, 120, 206}, false}, // starts at the (excluded) right edge
      {{105, 210, 106, 220}, false}, // starts at the bottom edge
      {{105, 195, 106, 200}, true},  // its bottom unit is the top edge
      {{105, 205, 105, 205}, true},  // a single point
      {kEmptyBounds, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(boundsOverlap(c.bounds, rect), c.overlaps)
        << c.bounds.left << "," << c.bounds.top;
  }
  const UnitRect all = {-2147483647 - 1, -2147483647 - 1, 2147483647,
                        2147483647};
  EXPECT_FALSE(boundsOverlap(kEmptyBounds, all));
  EXPECT_TRUE(boundsOverlap({2147483646, 2147483646, 2147483646, 2147483646}, all));
}

// Checks a drawing of the current data set in a view: every segment that
// meets the view is drawn, and only segments of the data are: no segment
// joins points that are not neighbours in an arc (a missing move-to would
// make one), none is drawn twice. Meeting is computed here independently, by
// clipping the segment against the open view rectangle.
void expectDrawnSegmentsMatch(const LineDataSet& data, const GeoExtent& view) {
  using UnitPair = std::pair<int64_t, int64_t>;
  using Segment = std::pair<UnitPair, UnitPair>;
  const double left = view.west * 36000, right = view.east * 36000;
  const double top = view.south * 36000, bottom = view.north * 36000;
  auto meets = [&](const LinePoint& a, const LinePoint& b) {
    double t0 = 0.0, t1 = 1.0;
    auto slab = [&](double p0, double d, double lo, double hi) {
      if (d == 0.0) return p0 > lo && p0 < hi;
      double ta = (lo - p0) / d, tb = (hi - p0) / d;
      if (ta > tb) std::swap(ta, tb);
      t0 = std::fmax(t0, ta);
      t1 = std::fmin(t1, tb);
      return t0 < t1;
    };
    return slab(a.longitude, double(b.longitude) - a.longitude, left, right) &&
           slab(a.latitude, double(b.latitude) - a.latitude, top, bottom);
  };

  std::set<Segment> dataSegments, meeting;
  for (int32_t i = 0; i + 1 < data.points.size(); ++i) {
    const LinePoint& a = data.points[i];
    const LinePoint& b = data.points[i + 1];
    if (isSeparator(a) || isSeparator(b)) continue;
    Segment s{{a.latitude, a.longitude}, {b.latitude, b.longitude}};
    dataSegments.insert(s);
    if (meets(a, b)) meeting.insert(s);
  }
  // The view must really cut the data in two.
  ASSERT_GT(meeting.size(), 100u);
  ASSERT_LT(meeting.size(), dataSegments.size() - 100);

  std::set<Segment> drawn;
  size_t drawnCount = 0;
  auto units = [](const tagGEOPOS& p) {
    return UnitPair{std::llround(p.latitude * 36000.0),
                    std::llround(p.longitude * 36000.0)};
  };
  for (const auto& line : standin::scene2d().polylines()) {
    for (size_t i = 0; i + 1 < line.points.size(); ++i) {
      drawn.insert({units(line.points[i]), units(line.points[i + 1])});
      ++drawnCount;
    }
  }
  EXPECT_EQ(drawn.size(), drawnCount) << "a segment was drawn twice";
  size_t phantoms = 0, missed = 0;
  for (const Segment& s : drawn) phantoms += dataSegments.count(s) == 0;
  for (const Segment& s : meeting) missed += drawn.count(s) == 0;
  EXPECT_EQ(phantoms, 0u) << "segments drawn that are not in the data";
  EXPECT_EQ(missed, 0u) << "segments meeting the view not drawn";
  EXPECT_EQ(standin::scene2d().strayContinues(), 0);
}

TEST_F(Draw2dTest, HalfViewOfRandomArcsDrawsEverySegmentMeetingItAndNoOther) {
  uint64_t seed = 12345;
  auto random = [&seed]() {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(seed >> 11) / 9007199254740992.0;
  };
  std::vector<Arc> arcs;
  for (int a = 0; a < 400; ++a) {
    Arc arc;
    double lat = 30.0 + 15.0 * random(), lon = 130.0 + 15.0 * random();
    int n = 1 + static_cast<int>(random() * 40);
    for (int i = 0; i < n; ++i) {
      arc.push_back({lat, lon});
      lat = std::fmin(45.0, std::fmax(30.0, lat + (random() - 0.5) * 3.0));
      lon = std::fmin(145.0, std::fmax(130.0, lon + (random() - 0.5) * 3.0));
    }
    arcs.push_back(arc);
  }
  build(arcs, /*closeLast=*/false);
  const GeoExtent view = {130.0, 30.0, 137.5, 45.0};
  draw(view);
  expectDrawnSegmentsMatch(data, view);
}

TEST_F(Draw2dTest, HalfViewOfSampleCoastlinesDrawsEverySegmentMeetingIt) {
  struct Sample {
    const char* file;
    GeoExtent view;
  };
  const Sample samples[] = {
      {"japan_coast_50m.e00", {128.0, 30.0, 137.5, 46.0}},
      {"world_land_110m.e00", {-180.0, -90.0, 0.0, 90.0}},
  };
  for (const Sample& sample : samples) {
    SCOPED_TRACE(sample.file);
    std::string path =
        modulePath(std::string(MORVANE_TEST_DATA) + "/" + sample.file);
    ProgressDialog progress;
    progress.create(nullptr);
    data.clear();
    ASSERT_TRUE(readE00Arcs(data, path.c_str(), progress));
    progress.destroyWindow();
    standin::resetView2d();
    draw(sample.view);
    expectDrawnSegmentsMatch(data, sample.view);
  }
}

// Widths a cache file may hold beyond the list's 1 to 9 are drawn as the
// nearest of them, and stay in the data set as they are.
TEST_F(Draw2dTest, WidthsOutsideOneToNineAreDrawnClamped) {
  const struct {
    int32_t width, drawn;
  } cases[] = {{INT32_MIN, 1}, {-1, 1}, {0, 1}, {1, 1}, {5, 5}, {9, 9},
               {10, 9}, {1000000, 9}, {INT32_MAX, 9}};
  for (const auto& c : cases) {
    standin::resetView2d();
    build({{{35.5, 139.5}, {35.6, 139.6}}});
    data.lineWidth = c.width;
    draw(kView);
    ASSERT_EQ(standin::scene2d().polylines().size(), 1u) << c.width;
    EXPECT_EQ(standin::scene2d().polylines()[0].width, c.drawn) << c.width;
    EXPECT_EQ(data.lineWidth, c.width);
  }
}

}  // namespace
