#include "draw/Draw3d.h"

#include "base/HostBoundary.h"
#include "resources/Texts.h"

namespace {

DrawState3d gState;

// Share of the rendering progress reached after `done` of `total` data sets.
// 64-bit, and nothing at all for a total the layer callback never passes.
bool progressPercent(int64_t done, int64_t total, int32_t* percent) {
  if (total <= 0) return false;
  *percent = static_cast<int32_t>(100 * done / total);
  return true;
}

}  // namespace

DrawState3d& drawState3d() { return gState; }

int32_t draw3d(const LineDataSet& dataSet, uint32_t view,
               const int32_t* blockCodes, int32_t blockCount,
               int32_t position, int32_t total) {
  if (dataSet.visible == 0 || dataSet.showIn3d == 0) return 1;
  uint32_t map3d = VPI_GetMap3d(view);
  VPI_Get3dPen(view, dataSet.lineColour, penWidth3d(dataSet.lineWidth));
  tagGEOPOS blockSize = VPI_GetBlockSize(map3d);

  tagEYEPOS3D eye = {};
  VPI_GetPosition3d(view, &eye);
  gState.eyePosition = {eye.latitude, eye.longitude};

  tagVIEW3DOPTIONS options = {};
  options.size = 64;
  VPI_GetView3dOptions(view, &options);
  gState.maxDistance = options.drawDistance;

  int32_t percent = 0;
  if (progressPercent(position, total, &percent)) {
    VPI_SetRenderingProgressPos(view, percent);
  }
  VPI_SetRenderingProgressMessage(view, kTextRenderingMessage);

  if (!dataSet.points.empty() && blockCodes != nullptr) {
    for (int32_t i = 0; i < blockCount; ++i) {
      tagGEOPOS corner = VPI_CodeToPos(map3d, blockCodes[i]);
      // The far edges are summed in degrees before the conversion.
      UnitRect block;
      block.left = nearEdgeUnits(corner.longitude);
      block.top = nearEdgeUnits(corner.latitude);
      block.right = farEdgeUnits(corner.longitude + blockSize.longitude);
      block.bottom = farEdgeUnits(corner.latitude + blockSize.latitude);
      if (!boundsOverlap(dataSet.bounds, block)) continue;
      // Drawn once per pass, however many blocks the box touches.
      gState.dataSet = &dataSet;
      gState.pointCount = dataSet.points.size();
      gState.phase = DrawPhase::kStartOfRun;
      gState.outOfRange = 0;
      VPI_Draw3dLines(view, pointCallback3d);
      break;
    }
  }

  if (VPI_IsAbortRendering(view) != 0) return 0;
  if (progressPercent(int64_t{position} + 1, total, &percent) &&
      percent % 5 == 0) {
    VPI_SetRenderingProgressPos(view, percent);
  }
  return 1;
}

static int32_t nextPoint3d(int32_t index, intptr_t lParam) {
  DrawState3d& s = gState;
  if (index >= s.pointCount || index < 0) {
    s.phase = DrawPhase::kFinished;
    return kPointEnd;
  }
  const LinePoint& point = s.dataSet->points.data()[index];
  if (isSeparator(point)) {
    s.outOfRange = 0;
    s.phase = DrawPhase::kStartOfRun;
    return kPointSkip;
  }

  Point3dRecord* record = reinterpret_cast<Point3dRecord*>(lParam);
  record->latitude = point.latitude * kDegreesPerUnit;
  record->longitude = point.longitude * kDegreesPerUnit;
  record->height = -9999.0;  // no height of our own
  record->flags = 0;

  tagGEOPOS here = {record->latitude, record->longitude};
  double d = VPI_GetDistance(&here, &s.eyePosition);
  bool beyond = d > s.maxDistance;  // false for NaN: counts as within range

  if (s.phase == DrawPhase::kStartOfRun) {
    s.phase = DrawPhase::kInRun;
    s.outOfRange = beyond ? 1 : 0;
    return beyond ? kPointSkip : kPointBeginLine;
  }
  int32_t result;
  if (beyond) {
    // The segment leaving the range is drawn to this point.
    result = s.outOfRange ? kPointSkip : kPointContinue;
    s.outOfRange = 1;
  } else {
    // Back within range: a new line, the segment coming in is not drawn.
    result = s.outOfRange ? kPointBeginLine : kPointContinue;
    s.outOfRange = 0;
  }
  return result;
}

// The host pulls points through here; whatever goes wrong, it gets "end".
int32_t pointCallback3d(int32_t index, uintptr_t /*wParam*/, intptr_t lParam) {
  return guardHostCall(kPointEnd, [&] { return nextPoint3d(index, lParam); });
}
