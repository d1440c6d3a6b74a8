#include "draw/Draw2d.h"

#include <algorithm>
#include <cmath>

#include "base/HostBoundary.h"

namespace {

DrawState2d gState;

constexpr int32_t kMaxUnits = 2147483647;
constexpr int32_t kMinUnits = -2147483647 - 1;

// Degrees times 36000, truncated toward zero and clamped to 32 bits, as a
// 64-bit value so that a far edge can add its 1 without wrapping.
int64_t clampedUnits(double degrees) {
  double product = degrees * 36000.0;
  if (product >= 2147483647.0) return kMaxUnits;
  if (product <= -2147483648.0) return kMinUnits;
  return static_cast<int64_t>(product);  // truncates toward zero
}

inline bool insideRect(const UnitRect& r, int32_t x, int32_t y) {
  return r.left <= x && x < r.right && r.top <= y && y < r.bottom;
}

// A segment crosses a line when exactly one of its ends lies below it.
inline bool crosses(int32_t a, int32_t b, int32_t line) {
  return (a < line) != (b < line);
}

inline tagGEOPOS toDegrees(const LinePoint& p) {
  return {p.latitude * kDegreesPerUnit, p.longitude * kDegreesPerUnit};
}

}  // namespace

int32_t nearEdgeUnits(double degrees) {
  if (std::isnan(degrees)) return kMaxUnits;
  return static_cast<int32_t>(clampedUnits(degrees));
}

int32_t farEdgeUnits(double degrees) {
  if (std::isnan(degrees)) return kMinUnits;
  return static_cast<int32_t>(
      std::min<int64_t>(clampedUnits(degrees) + 1, kMaxUnits));
}

bool boundsOverlap(const UnitBounds& bounds, const UnitRect& rect) {
  int64_t left = std::max<int64_t>(bounds.left, rect.left);
  int64_t right = std::min<int64_t>(int64_t{bounds.right} + 1, rect.right);
  if (left >= right) return false;
  int64_t top = std::max<int64_t>(bounds.top, rect.top);
  int64_t bottom = std::min<int64_t>(int64_t{bounds.bottom} + 1, rect.bottom);
  return top < bottom;
}

void draw2d(const LineDataSet& dataSet, uint32_t view,
            const tagGEOPOS& southWest, const tagGEOPOS& northEast) {
  if (dataSet.visible == 0) return;
  int32_t mapDatum = VPI_GetDatum(VPI_GetMap(view));

  // The corners come in the map's datum; the points are in datum 0.
  UnitRect rect;
  tagGEOPOS corner = {0.0, 0.0};
  VPI_ConvertDatum(&southWest, &corner, mapDatum, 0);
  rect.left = nearEdgeUnits(corner.longitude);
  rect.top = nearEdgeUnits(corner.latitude);
  corner = {0.0, 0.0};
  VPI_ConvertDatum(&northEast, &corner, mapDatum, 0);
  rect.right = farEdgeUnits(corner.longitude);
  rect.bottom = farEdgeUnits(corner.latitude);

  VPI_GetVideoPen(view, dataSet.lineColour, clampedLineWidth(dataSet.lineWidth));
  if (!boundsOverlap(dataSet.bounds, rect)) return;

  DrawState2d& s = gState;
  s.dataSet = &dataSet;
  s.pointCount = dataSet.points.size();
  s.viewRect = rect;
  s.mapDatum = mapDatum;
  s.view = view;
  s.phase = DrawPhase::kStartOfRun;
  s.penLifted = 0;
  s.lookaheadValid = 0;
  VPI_DrawVideoLines(view, pointCallback2d);
}

static int32_t nextPoint2d(int32_t index, intptr_t lParam) {
  DrawState2d& s = gState;
  if (index >= s.pointCount || index < 0) {
    s.phase = DrawPhase::kFinished;
    return kPointEnd;
  }
  const LinePoint* points = s.dataSet->points.data();
  const LinePoint& point = points[index];
  if (isSeparator(point)) {
    s.penLifted = 0;
    s.lookaheadValid = 0;
    s.phase = DrawPhase::kStartOfRun;
    return kPointSkip;
  }

  // The current point, from the previous call's lookahead when there is one,
  // so that each point is tested against the area once.
  tagGEOPOS position;
  int32_t inside;
  if (s.lookaheadValid == 0) {
    position = toDegrees(point);
    inside = insideRect(s.viewRect, point.longitude, point.latitude);
  } else {
    position = s.lookahead.position;
    inside = s.lookahead.inside;
  }

  bool nextExists = false;
  if (index + 1 < s.pointCount && !isSeparator(points[index + 1])) {
    const LinePoint& next = points[index + 1];
    s.lookahead.units = next;
    s.lookahead.position = toDegrees(next);
    s.lookahead.inside = insideRect(s.viewRect, next.longitude, next.latitude);
    nextExists = true;
  }

  // An outside point still starts or continues the line when its segment to
  // the next point crosses one of the area's lines, even beyond the area's
  // extent: the host clips what lies outside the map.
  if (!inside && nextExists) {
    const UnitRect& r = s.viewRect;
    const LinePoint& next = s.lookahead.units;
    if (crosses(point.longitude, next.longitude, r.left) ||
        crosses(point.longitude, next.longitude, r.right) ||
        crosses(point.latitude, next.latitude, r.top) ||
        crosses(point.latitude, next.latitude, r.bottom)) {
      inside = 1;
    }
  }

  tagGEOPOS* output = reinterpret_cast<tagGEOPOS*>(lParam);
  int32_t result;
  if (s.phase == DrawPhase::kStartOfRun) {
    s.phase = DrawPhase::kInRun;
    if (inside) {
      VPI_ConvertDatum(&position, output, 0, s.mapDatum);
      s.penLifted = 0;
      result = kPointBeginLine;
    } else {
      s.penLifted = 1;
      result = kPointSkip;
    }
  } else if (inside) {
    if (s.penLifted) {
      // Resume from the skipped point before, so that the segment coming in
      // from outside is drawn whole.
      tagGEOPOS from = {0.0, 0.0};
      VPI_ConvertDatum(&s.previous, &from, 0, s.mapDatum);
      VPI_DrawVideoMoveTo(s.view, &from);
    }
    VPI_ConvertDatum(&position, output, 0, s.mapDatum);
    s.penLifted = 0;
    result = kPointContinue;
  } else {
    if (s.penLifted == 0) {
      // The line leaves the area: draw the leaving segment to its end.
      VPI_ConvertDatum(&position, output, 0, s.mapDatum);
      result = kPointContinue;
    } else {
      result = kPointSkip;
    }
    s.penLifted = 1;
  }

  s.lookaheadValid = 1;
  s.previous = position;
  return result;
}

// The host pulls points through here; whatever goes wrong, it gets "end".
int32_t pointCallback2d(int32_t index, uintptr_t /*wParam*/, intptr_t lParam) {
  return guardHostCall(kPointEnd, [&] { return nextPoint2d(index, lParam); });
}
