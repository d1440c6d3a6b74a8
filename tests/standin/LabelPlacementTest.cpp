#include "standin/LabelPlacement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

using standin::LabelAnchor;
using standin::LabelBox;
using standin::LabelPlacement;
using standin::LabelRequest;

// Where a placement stands about its dot, read from its geometry: "UR",
// "LR", "R", "UL", "LL", "L", "A" (above), "B" (below), or "-" left out.
std::string where(const LabelRequest& r, const LabelPlacement& p) {
  if (!p.shown) return "-";
  double middle = (p.box.top + p.box.bottom) / 2.0 - r.y;
  if (p.anchor == LabelAnchor::kMiddle) return middle < 0.0 ? "A" : "B";
  std::string side = p.anchor == LabelAnchor::kStart ? "R" : "L";
  if (middle < -1.0) return "U" + side;
  if (middle > 1.0) return "L" + side;
  return side;
}

bool overlap(const LabelBox& a, const LabelBox& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom &&
         b.top < a.bottom;
}

LabelBox dotBox(const LabelRequest& r) {
  double d = standin::kLabelDotRadius;
  return {r.x - d, r.y - d, r.x + d, r.y + d};
}

TEST(LabelPlacementTest, NamesTakeTheFirstFreePosition) {
  const double kNaN = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* what;
    double width, height;
    std::vector<LabelRequest> requests;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"all fit, each at the upper right", 300, 100,
       {{20, 50, 40}, {120, 50, 40}, {220, 50, 40}},
       {"UR", "UR", "UR"}},
      // Two names on one dot, and a third dot overlapping theirs on the
      // right: the two go left, one above the other.
      {"overlapping dots", 300, 100,
       {{50, 50, 40}, {50, 50, 40}, {53, 50, 40}},
       {"UL", "LL", "UR"}},
      {"at the right edge the name goes left", 300, 100,
       {{290, 50, 40}}, {"UL"}},
      {"at the top edge the name goes lower", 300, 100, {{50, 3, 40}}, {"LR"}},
      {"in a corner only the one side is left", 300, 100,
       {{295, 97, 40}}, {"UL"}},
      {"wider than the picture: none fit", 30, 30,
       {{15, 15, 40}, {10, 10, 40}}, {"-", "-"}},
      // A later dot in the upper right pushes the first name below it.
      {"a name keeps off later dots when it can", 300, 100,
       {{50, 50, 40}, {70, 44, 40}}, {"LR", "UR"}},
      // Boxed in by dots of later names on every side: the first name still
      // takes its place, the later names whose dots it covers give way, and
      // so do those boxed in by the names placed.
      {"a crowd shows its first name", 300, 100,
       {{100, 50, 30}, {110, 44, 30}, {92, 44, 30}, {110, 56, 30},
        {92, 56, 30}, {100, 40, 30}, {100, 60, 30}, {115, 50, 30},
        {85, 50, 30}},
       {"UR", "-", "UL", "LR", "LL", "-", "-", "-", "-"}},
      // Pressed to the left edge, the first name covers the second's dot;
      // the second gives way though there is room beside it.
      {"a dot under an earlier name gives way", 300, 100,
       {{3, 50, 40}, {45, 46, 40}, {20, 58, 40}}, {"UR", "-", "LR"}},
      {"a dot that is no point is left out", 300, 100,
       {{kNaN, 50, 40}, {50, kNaN, 40}, {50, 50, kNaN}, {50, 50, 40}},
       {"-", "-", "-", "UR"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<LabelPlacement> placed =
        standin::placeLabels(c.requests, c.width, c.height);
    ASSERT_EQ(placed.size(), c.requests.size());
    for (size_t i = 0; i < placed.size(); ++i) {
      EXPECT_EQ(where(c.requests[i], placed[i]), c.expected[i]) << "name " << i;
    }
  }
}

// Many names round a few crowded cities, checked pair by pair: the shown
// names stay inside the picture and apart, cover no dot of an earlier name
// and no dot of a shown name.
TEST(LabelPlacementTest, CrowdedNamesNeverOverlap) {
  std::vector<LabelRequest> requests;
  uint32_t seed = 7;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) / 16777216.0;
  };
  const double centres[][2] = {{150, 150}, {400, 300}, {600, 100}};
  for (int i = 0; i < 1500; ++i) {
    const double* c = centres[i % 3];
    double spread = 10.0 + 200.0 * next() * next();
    double angle = 6.283185307179586 * next();
    requests.push_back({c[0] + spread * std::cos(angle),
                        c[1] + spread * std::sin(angle), 12.0 + 60.0 * next()});
  }
  const double width = 700, height = 400;
  std::vector<LabelPlacement> placed =
      standin::placeLabels(requests, width, height);
  size_t shown = 0;
  for (size_t i = 0; i < placed.size(); ++i) {
    if (!placed[i].shown) continue;
    ++shown;
    const LabelBox& a = placed[i].box;
    ASSERT_TRUE(a.left >= 0 && a.top >= 0 && a.right <= width &&
                a.bottom <= height);
    for (size_t j = 0; j < placed.size(); ++j) {
      if (j < i) {
        EXPECT_FALSE(overlap(a, dotBox(requests[j]))) << i << " " << j;
      }
      if (j > i && placed[j].shown) {
        EXPECT_FALSE(overlap(a, dotBox(requests[j]))) << i << " " << j;
      }
      if (j != i && placed[j].shown) {
        EXPECT_FALSE(overlap(a, placed[j].box)) << i << " " << j;
      }
    }
  }
  EXPECT_GT(shown, 50u);
  EXPECT_LT(shown, placed.size());
}

TEST(LabelPlacementTest, TextWidthCountsFullAndHalfWidthCharacters) {
  struct Case {
    const char* name;
    double ems;
  };
  const Case cases[] = {
      {"Tokyo", 3.0},
      {"\x93\x8C\x8B\x9E", 2.0},             // 東京
      {"\x89\xA1\x95\x6C\x8E\x73", 3.0},     // 横浜市: trail byte 0x6C is ASCII
      {"\xB1\xB2", 1.2},                     // half-width katakana
      {"A\x93", 1.2},                        // a lead byte cut off at the end
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(standin::estimateTextWidth(c.name, 10.0), c.ems * 10.0)
        << c.name;
  }
}

}  // namespace
