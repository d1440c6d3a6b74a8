// Where the place names go on a picture: each name beside its dot, inside
// the picture, covering no name placed before it and no dot, or where every
// place beside it covers some dot, none but dots of names that come after
// it. A name whose dot an earlier name covers gives way, and so does a name
// that fits nowhere; every dot is drawn all the same.
//
// Names are placed one by one in the order given (for the map, the order of
// the host's name database, which is the order of the file they were
// imported from), so the first names win the crowded places and the same
// names always give the same picture. Each name tries these positions, the
// first that is free winning:
//
//   upper right, lower right, right, upper left, lower left, left,
//   above, below
//
// Upper right is where a name stood before names were placed, so a sparse
// picture keeps its look. A name's extent is estimated from its characters
// (see estimateTextWidth) and the face's ascent and descent; boxes keep a
// pixel of space around them. Placed names and dots are kept in a grid of
// cells, so a name is tested only against what lies near it.

#ifndef MORVANE_STANDIN_LABELPLACEMENT_H_
#define MORVANE_STANDIN_LABELPLACEMENT_H_

#include <string>
#include <vector>

namespace standin {

// The labels' face size and dot radius, pixels, as the SVG draws them.
constexpr double kLabelFontSize = 12.0;
constexpr double kLabelDotRadius = 2.5;

// The width a Shift-JIS name takes at fontSize, pixels: a two-byte
// character (a code page 932 lead byte and the byte after it) is full
// width, one font size; any other byte (ASCII, half-width katakana) counts
// 0.6 of it. The Japanese face the pictures ask for draws half-width
// characters at 0.5; the rest is room for a fallback face.
double estimateTextWidth(const std::string& sjisName, double fontSize);

// A rectangle in picture pixels, y growing downwards.
struct LabelBox {
  double left, top, right, bottom;
};

// A name to place: its dot's centre in picture pixels and its text's width.
struct LabelRequest {
  double x, y;
  double textWidth;
};

// How the text is aligned on its anchor point (SVG text-anchor).
enum class LabelAnchor { kStart, kMiddle, kEnd };

// Where a name's text goes: the anchor point (x, baseline y) and alignment,
// and the box the text is taken to fill. A name left out keeps the first
// position (upper right), where it would have stood alone.
struct LabelPlacement {
  bool shown;
  double x, y;
  LabelAnchor anchor;
  LabelBox box;
};

// Places the names on a picture of width x height pixels, one result per
// request in the same order. A request with a coordinate or width that is
// not finite is left out and blocks nothing.
std::vector<LabelPlacement> placeLabels(
    const std::vector<LabelRequest>& requests, double width, double height);

}  // namespace standin

#endif  // MORVANE_STANDIN_LABELPLACEMENT_H_
