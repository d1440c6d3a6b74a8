// The 2D map layer: which vertices of a line data set go to the host's 2D
// map, and in what order. draw2d sets
// up the module-wide DrawState2d and calls VPI_DrawVideoLines, during which
// the host pulls the vertices one at a time through pointCallback2d.
//
// The visible area is a half-open rectangle in units of 1/36000 degree,
// datum 0: a point (longitude x, latitude y) is inside when
// left <= x < right and top <= y < bottom. A vertex is sent when it is
// inside, or when the segment to the next vertex of its arc crosses one of
// the rectangle's four lines; the segment leaving the area is drawn in full,
// and a line resumed after skipped vertices starts with a move to the vertex
// before. Everything outside that is left to the host's clipping.
//
// Drawing is not re-entrant: one data set is drawn at a time, on the host's
// user-interface thread.

#ifndef MORVANE_DRAW_DRAW2D_H_
#define MORVANE_DRAW_DRAW2D_H_

#include <cstdint>

#include "dataset/LineDataSet.h"
#include "host/PluginIf.h"

// A half-open rectangle in units: left <= x < right, top <= y < bottom.
struct UnitRect {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

// An edge of a view or block given in degrees, as units: times 36000,
// truncated toward zero; for a far edge (right, bottom) plus 1, so that the
// last unit of the area belongs to the half-open rectangle. Values beyond
// the 32-bit range are clamped to it rather than converted (which would be
// undefined), and a NaN edge makes the rectangle empty: a near edge becomes
// the largest value, a far edge the smallest.
int32_t nearEdgeUnits(double degrees);
int32_t farEdgeUnits(double degrees);

// Whether an inclusive bounding box, taken as [left, right + 1) by
// [top, bottom + 1), meets the half-open rectangle. Computed in 64 bits, so
// that the empty box (and boxes touching the 32-bit limits) never wrap.
bool boundsOverlap(const UnitBounds& bounds, const UnitRect& rect);

enum class DrawPhase : int32_t {
  kStartOfRun,  // the next point begins an arc
  kInRun,
  kFinished,    // the host asked past the last point
};

// State shared by draw2d and pointCallback2d while one data set is drawn.
struct DrawState2d {
  const LineDataSet* dataSet = nullptr;
  int32_t pointCount = 0;
  UnitRect viewRect = {0, 0, 0, 0};  // datum 0
  int32_t mapDatum = 0;
  uint32_t view = 0;
  DrawPhase phase = DrawPhase::kFinished;
  // The current line has ended: the last point handled was not drawn, or was
  // drawn as the point where the line leaves the area.
  int32_t penLifted = 0;
  // The current point's values were computed as the previous lookahead.
  int32_t lookaheadValid = 0;
  // The next point of the arc: units, degrees (datum 0), inside flag.
  struct {
    LinePoint units;
    tagGEOPOS position;
    int32_t inside;
  } lookahead = {{0, 0}, {0.0, 0.0}, 0};
  tagGEOPOS previous = {0.0, 0.0};  // the last handled point, datum 0
};

// Draws dataSet in the host's 2D view, for the layer callback's event 600.
// southWest and northEast are the view's corners in the map's datum. Does
// nothing when the data set is hidden or its box misses the view; otherwise
// sets the map's pen from the data set's colour and width and hands the
// host the callback that supplies the vertices. Draws only: the data set is
// not changed, nothing is shown, nothing can fail.
void draw2d(const LineDataSet& dataSet, uint32_t view,
            const tagGEOPOS& southWest, const tagGEOPOS& northEast);

// The point callback handed to VPI_DrawVideoLines. index: 0, 1, 2, ... in
// increasing order; lParam: the tagGEOPOS the host reads (in the map's
// datum). Returns kPointSkip (output not written), kPointBeginLine,
// kPointContinue or kPointEnd.
int32_t pointCallback2d(int32_t index, uintptr_t wParam, intptr_t lParam);

#endif  // MORVANE_DRAW_DRAW2D_H_
