// The 3D view layer: draw3d draws a
// visible data set marked for the 3D view at most once per rendering pass,
// when its box touches one of the blocks the host renders, and keeps the
// host's rendering progress up to date. The host pulls the vertices through
// pointCallback3d; vertices farther from the eye than the view's drawing
// distance are dropped. Positions go out in datum 0, unconverted.
//
// Drawing is not re-entrant: one data set is drawn at a time, on the host's
// user-interface thread.

#ifndef MORVANE_DRAW_DRAW3D_H_
#define MORVANE_DRAW_DRAW3D_H_

#include <cstdint>

#include "dataset/LineDataSet.h"
#include "draw/Draw2d.h"
#include "host/PluginIf.h"

// The pen width value the 3D view takes for a line width of 1 to 9: 0, 50,
// ... 400. A width outside 1 to 9 is drawn as the nearest of them.
inline int32_t penWidth3d(int32_t lineWidth) {
  return 50 * clampedLineWidth(lineWidth) - 50;
}

// State shared by draw3d and pointCallback3d while one data set is drawn.
struct DrawState3d {
  const LineDataSet* dataSet = nullptr;
  int32_t pointCount = 0;
  tagGEOPOS eyePosition = {0.0, 0.0};
  double maxDistance = 0.0;  // in VPI_GetDistance's unit
  DrawPhase phase = DrawPhase::kFinished;
  // The last handled point was farther than maxDistance from the eye.
  int32_t outOfRange = 0;
};

// The module-wide instance.
DrawState3d& drawState3d();

// Draws dataSet in the host's 3D view for one rendering pass (event 653):
// blockCodes holds the blockCount blocks being rendered; position of total
// is this data set's place among those drawn in the pass, for the host's
// rendering progress. Returns 1 when drawn or skipped (hidden, not marked
// for 3D, or touching no block), 0 when the host aborted the rendering: the
// caller then stops the pass. The data set is not changed.
int32_t draw3d(const LineDataSet& dataSet, uint32_t view,
               const int32_t* blockCodes, int32_t blockCount,
               int32_t position, int32_t total);

// The point callback handed to VPI_Draw3dLines. index: 0, 1, 2, ... in
// increasing order; lParam: the Point3dRecord the host reads (not written
// for a separator or past the end). Returns kPointSkip, kPointBeginLine,
// kPointContinue or kPointEnd. A distance that is not a number counts as
// within range.
int32_t pointCallback3d(int32_t index, uintptr_t wParam, intptr_t lParam);

#endif  // MORVANE_DRAW_DRAW3D_H_
