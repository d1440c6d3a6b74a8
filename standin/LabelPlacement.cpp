#include "standin/LabelPlacement.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "platform/SjisLeadByte.h"

namespace standin {
namespace {

// The face's extent about the baseline, in font sizes (IPA Gothic's ascent
// is 0.88 and its descent 0.12; Latin descenders of a fallback face reach a
// little lower).
constexpr double kAscent = 0.9;
constexpr double kDescent = 0.2;
// Space between a dot's edge and its name, and kept free around each name.
constexpr double kDotGap = 1.5;
constexpr double kPadding = 1.0;

bool overlaps(const LabelBox& a, const LabelBox& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom &&
         b.top < a.bottom;
}

LabelBox padded(const LabelBox& box) {
  return {box.left - kPadding, box.top - kPadding, box.right + kPadding,
          box.bottom + kPadding};
}

// The boxes placed so far, each listed in every cell of a square grid that
// it touches. Boxes beyond the picture fall into its edge cells.
class BoxGrid {
 public:
  BoxGrid(double width, double height) {
    // Cells about the height of two lines of text; no more than 512 a side,
    // so that a huge picture does not make a huge grid.
    cell_ = std::max({32.0, width / 512.0, height / 512.0});
    columns_ = static_cast<int32_t>(std::ceil(width / cell_)) + 1;
    rows_ = static_cast<int32_t>(std::ceil(height / cell_)) + 1;
    cells_.resize(static_cast<size_t>(columns_) * static_cast<size_t>(rows_));
  }

  void add(const LabelBox& box) {
    uint32_t index = static_cast<uint32_t>(boxes_.size());
    boxes_.push_back(box);
    Span s = span(box);
    for (int32_t row = s.top; row <= s.bottom; ++row) {
      for (int32_t column = s.left; column <= s.right; ++column) {
        cells_[static_cast<size_t>(row) * columns_ + column].push_back(index);
      }
    }
  }

  // Whether box overlaps any box added. Stops at the first found: in a
  // crowded picture most tries end at the first box looked at.
  bool hits(const LabelBox& box) const {
    Span s = span(box);
    for (int32_t row = s.top; row <= s.bottom; ++row) {
      for (int32_t column = s.left; column <= s.right; ++column) {
        for (uint32_t index :
             cells_[static_cast<size_t>(row) * columns_ + column]) {
          if (overlaps(box, boxes_[index])) return true;
        }
      }
    }
    return false;
  }

 private:
  struct Span {
    int32_t left, top, right, bottom;
  };

  int32_t clamped(double at, int32_t count) const {
    double c = std::floor(at / cell_);
    if (!(c > 0.0)) return 0;
    if (c >= count - 1) return count - 1;
    return static_cast<int32_t>(c);
  }

  Span span(const LabelBox& box) const {
    return {clamped(box.left, columns_), clamped(box.top, rows_),
            clamped(box.right, columns_), clamped(box.bottom, rows_)};
  }

  double cell_;
  int32_t columns_;
  int32_t rows_;
  std::vector<LabelBox> boxes_;
  std::vector<std::vector<uint32_t>> cells_;
};

enum class Side { kRight, kLeft, kCentre };
enum class Level { kUpper, kMiddle, kLower, kAbove, kBelow };

struct Position {
  Side side;
  Level level;
};

// In the order tried.
constexpr Position kPositions[] = {
    {Side::kRight, Level::kUpper},  {Side::kRight, Level::kLower},
    {Side::kRight, Level::kMiddle}, {Side::kLeft, Level::kUpper},
    {Side::kLeft, Level::kLower},   {Side::kLeft, Level::kMiddle},
    {Side::kCentre, Level::kAbove}, {Side::kCentre, Level::kBelow},
};

LabelPlacement placedAt(const LabelRequest& r, const Position& p) {
  const double size = kLabelFontSize;
  const double gap = kLabelDotRadius + kDotGap;
  LabelPlacement out;
  out.shown = false;
  switch (p.side) {
    case Side::kRight:
      out.x = r.x + gap;
      out.anchor = LabelAnchor::kStart;
      out.box.left = out.x;
      out.box.right = out.x + r.textWidth;
      break;
    case Side::kLeft:
      out.x = r.x - gap;
      out.anchor = LabelAnchor::kEnd;
      out.box.left = out.x - r.textWidth;
      out.box.right = out.x;
      break;
    case Side::kCentre:
      out.x = r.x;
      out.anchor = LabelAnchor::kMiddle;
      out.box.left = out.x - r.textWidth / 2.0;
      out.box.right = out.x + r.textWidth / 2.0;
      break;
  }
  // The baseline. Beside the dot, the upper and lower positions stand as
  // far from its centre as the upper right one always has (4 pixels);
  // above and below, the text clears the dot by the gap.
  switch (p.level) {
    case Level::kUpper: out.y = r.y - gap; break;
    case Level::kLower: out.y = r.y + gap + (kAscent - kDescent) * size; break;
    case Level::kMiddle: out.y = r.y + (kAscent - kDescent) / 2.0 * size; break;
    case Level::kAbove: out.y = r.y - gap - kDescent * size; break;
    case Level::kBelow: out.y = r.y + gap + kAscent * size; break;
  }
  out.box.top = out.y - kAscent * size;
  out.box.bottom = out.y + kDescent * size;
  return out;
}

bool inside(const LabelBox& box, double width, double height) {
  return box.left >= 0.0 && box.top >= 0.0 && box.right <= width &&
         box.bottom <= height;
}

}  // namespace

double estimateTextWidth(const std::string& sjisName, double fontSize) {
  double ems = 0.0;
  for (size_t i = 0; i < sjisName.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(sjisName[i]);
    if (isCodePage932LeadByte(c) && i + 1 < sjisName.size()) {
      ems += 1.0;
      ++i;
    } else {
      ems += 0.6;
    }
  }
  return ems * fontSize;
}

std::vector<LabelPlacement> placeLabels(
    const std::vector<LabelRequest>& requests, double width, double height) {
  std::vector<LabelPlacement> placements;
  placements.reserve(requests.size());
  width = std::fmax(width, 0.0);
  height = std::fmax(height, 0.0);
  BoxGrid names(width, height);
  BoxGrid allDots(width, height);
  BoxGrid earlierDots(width, height);
  auto dotOf = [](const LabelRequest& r) -> LabelBox {
    return {r.x - kLabelDotRadius, r.y - kLabelDotRadius, r.x + kLabelDotRadius,
            r.y + kLabelDotRadius};
  };
  auto finite = [](const LabelRequest& r) {
    return std::isfinite(r.x) && std::isfinite(r.y) &&
           std::isfinite(r.textWidth);
  };
  for (const LabelRequest& r : requests) {
    if (finite(r)) allDots.add(dotOf(r));
  }
  // A name may stand where it covers no dot at all; failing that, where it
  // covers only dots of names that come after it (those names then give
  // way), so that the first names of a crowded city are still shown.
  auto firstFree = [&](const LabelRequest& r, const BoxGrid& dots,
                       LabelPlacement* chosen) {
    for (const Position& p : kPositions) {
      LabelPlacement tried = placedAt(r, p);
      if (!inside(tried.box, width, height)) continue;
      LabelBox around = padded(tried.box);
      if (names.hits(around) || dots.hits(around)) continue;
      *chosen = tried;
      chosen->shown = true;
      return true;
    }
    return false;
  };
  for (const LabelRequest& r : requests) {
    LabelPlacement chosen = placedAt(r, kPositions[0]);
    if (finite(r)) {
      LabelBox dot = dotOf(r);
      // A name whose dot an earlier name covers would seem to belong to the
      // wrong dot.
      if (!names.hits(dot) && (firstFree(r, allDots, &chosen) ||
                               firstFree(r, earlierDots, &chosen))) {
        // Padded in the grid too, so names keep two pixels apart and dots
        // (kept as they are) one.
        names.add(padded(chosen.box));
      }
      earlierDots.add(dot);
    }
    placements.push_back(chosen);
  }
  return placements;
}

}  // namespace standin
