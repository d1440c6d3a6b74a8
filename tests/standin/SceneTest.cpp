#include "standin/Scene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "standin/Geodesy.h"
#include "standin/StandinView3d.h"

namespace {

using standin::Scene;

// Plays the same drawing into a recording and a counting scene.
void play(Scene& s) {
  s.setPen(0x000000FF, 2);
  s.beginLine({1.0, 1.0});
  s.continueLine({2.0, 2.0});
  s.continueLine({3.0, 2.0});
  s.moveTo({5.0, 5.0});
  s.continueLine({6.0, 6.0});  // a new polyline from the move
  s.setPen(0x00FF0000, 4);
  s.continueLine({7.0, 6.0});  // new pen: a new polyline from the pen
}

TEST(SceneTest, LinesFollowBeginContinueAndMove) {
  Scene s;
  play(s);
  const auto& lines = s.polylines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].points.size(), 3u);
  ASSERT_EQ(lines[1].points.size(), 2u);
  EXPECT_EQ(lines[1].points[0].latitude, 5.0);
  ASSERT_EQ(lines[2].points.size(), 2u);
  EXPECT_EQ(lines[2].points[0].latitude, 6.0);
  EXPECT_EQ(lines[2].colour, 0x00FF0000u);
  EXPECT_EQ(lines[2].width, 4.0);
  EXPECT_EQ(s.lineCount(), 3);
  EXPECT_EQ(s.pointCount(), 7);
  EXPECT_EQ(s.strayContinues(), 0);
}

TEST(SceneTest, CountingGivesTheSameTotalsWithoutStoring) {
  Scene recorded, counted;
  counted.setCounting(true);
  play(recorded);
  play(counted);
  EXPECT_TRUE(counted.polylines().empty());
  EXPECT_EQ(counted.lineCount(), recorded.lineCount());
  EXPECT_EQ(counted.pointCount(), recorded.pointCount());
}

TEST(SceneTest, ContinueWithoutAMoveDrawsFromTheLastPointDrawn) {
  // What a host does when a line resumes after skipped points without a
  // move-to: the segment comes from wherever the pen stood.
  Scene s;
  s.beginLine({1.0, 1.0});
  s.continueLine({9.0, 9.0});
  ASSERT_EQ(s.polylines().size(), 1u);
  EXPECT_EQ(s.polylines()[0].points.size(), 2u);
  Scene fresh;
  fresh.continueLine({9.0, 9.0});
  EXPECT_EQ(fresh.strayContinues(), 1);
}

class SceneSvgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const ::testing::TestInfo* info =
        ::testing::UnitTest::GetInstance()->current_test_info();
    dir = (std::filesystem::path(::testing::TempDir()) /
           (std::string("morvane-scene-") + info->name()))
              .string();
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }
  static std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::string dir;
};

TEST_F(SceneSvgTest, WritesLinesInOrderWithPenAndLabelsInUtf8) {
  Scene s;
  play(s);
  // "Tokyo" in Shift-JIS, and a name that needs escaping.
  std::vector<standin::SceneLabel> labels = {{{3.0, 3.0}, "\x93\x8C\x8B\x9E"},
                                             {{4.0, 4.0}, "A&B<C>"}};
  std::string path = dir + "/a.svg";
  ASSERT_TRUE(standin::writeSceneSvg(s, {0.0, 0.0, 10.0, 10.0}, path, labels));
  std::string svg = slurp(path);
  // 0x000000FF is red, 0x00FF0000 blue: the pens of the first and last line.
  size_t first = svg.find("stroke=\"#FF0000\" stroke-width=\"2\"");
  size_t last = svg.find("stroke=\"#0000FF\" stroke-width=\"4\"");
  ASSERT_NE(first, std::string::npos);
  ASSERT_NE(last, std::string::npos);
  EXPECT_LT(first, last);
  EXPECT_NE(svg.find("\xE6\x9D\xB1\xE4\xBA\xAC"), std::string::npos);  // UTF-8
  EXPECT_NE(svg.find("A&amp;B&lt;C&gt;"), std::string::npos);
  EXPECT_NE(svg.find("extent 0 0 10 10"), std::string::npos);
  // Three polylines, nothing else drawn as one.
  size_t count = 0;
  for (size_t at = svg.find("<polyline"); at != std::string::npos;
       at = svg.find("<polyline", at + 1)) {
    ++count;
  }
  EXPECT_EQ(count, 3u);
}

// Names that find no room are in the file all the same, hidden and marked;
// every dot is drawn, and the first name is shown.
TEST_F(SceneSvgTest, CrowdedNamesAreKeptHidden) {
  Scene s;
  std::vector<standin::SceneLabel> labels(20, {{5.0, 5.0}, "N"});
  labels[0].name = "First";
  std::string path = dir + "/a.svg";
  ASSERT_TRUE(standin::writeSceneSvg(s, {0.0, 0.0, 10.0, 10.0}, path, labels));
  std::string svg = slurp(path);
  auto count = [&svg](const std::string& what) {
    size_t n = 0;
    for (size_t at = svg.find(what); at != std::string::npos;
         at = svg.find(what, at + 1)) {
      ++n;
    }
    return n;
  };
  EXPECT_EQ(count("<circle"), 20u);
  EXPECT_EQ(count(">N</text>"), 19u);
  EXPECT_EQ(count(">First</text>"), 1u);
  // At most eight places round one dot; the first name takes one.
  size_t hidden = count("class=\"unplaced\" visibility=\"hidden\">N<");
  EXPECT_GE(hidden, 12u);
  EXPECT_EQ(count("hidden"), hidden);
}

TEST_F(SceneSvgTest, RefusesAnEmptyExtentAndAnUnwritablePath) {
  Scene s;
  EXPECT_FALSE(standin::writeSceneSvg(s, {10.0, 0.0, 10.0, 10.0}, dir + "/a.svg"));
  EXPECT_FALSE(standin::writeSceneSvg(s, {0.0, 0.0, 1.0, 1.0},
                                      dir + "/missing/a.svg"));
}

TEST(StandinBlocksTest, CodesAndCornersAgree) {
  struct Case {
    double latitude, longitude;
    int32_t code;
  };
  const Case cases[] = {
      {-90.0, -180.0, 0},
      {89.5, 179.5, 64799},
      {90.0, 0.0, 179 * 360 + 180},  // the pole falls in the top row
      {35.5, 139.5, 125 * 360 + 319},
      {-0.5, 180.0, 89 * 360 + 0},   // 180 E wraps to 180 W
  };
  for (const Case& c : cases) {
    EXPECT_EQ(standin::blockCodeAt(c.latitude, c.longitude), c.code);
    tagGEOPOS corner = VPI_CodeToPos(standin::kMap3d, c.code);
    EXPECT_LE(corner.latitude, c.latitude);
    EXPECT_GT(corner.latitude + 1.0, std::fmin(c.latitude, 89.999));
  }
  EXPECT_TRUE(std::isnan(VPI_CodeToPos(standin::kMap3d, 64800).latitude));
  EXPECT_TRUE(std::isnan(VPI_CodeToPos(standin::kMap3d, -1).longitude));
}

TEST(StandinBlocksTest, BlocksAroundCoverEveryPointWithinTheDistance) {
  const tagGEOPOS eyes[] = {{35.5, 139.8}, {0.2, 179.9}, {88.0, 20.0}};
  for (const tagGEOPOS& eye : eyes) {
    std::vector<int32_t> codes = standin::blocksAround(eye, 150.0);
    for (int bearing = 0; bearing < 360; bearing += 5) {
      for (double step = 0.1; step < 2.0; step += 0.1) {
        double b = bearing * 3.14159265358979323846 / 180.0;
        tagGEOPOS p = {eye.latitude + step * std::cos(b),
                       eye.longitude + step * std::sin(b)};
        if (p.latitude > 90.0) continue;
        if (standin::geodesicDistanceKm(eye, p) > 150.0) continue;
        int32_t code = standin::blockCodeAt(p.latitude, p.longitude);
        EXPECT_TRUE(std::binary_search(codes.begin(), codes.end(), code))
            << eye.latitude << "," << eye.longitude << " misses " << code;
      }
    }
  }
}

}  // namespace
