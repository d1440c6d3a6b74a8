#include "dataset/LineDataSet.h"

#include <cmath>

LineDataSet::LineDataSet(int32_t rowId) : rowId(rowId) {}

LineDataSet::~LineDataSet() {
  name.clear();
  points.release();
}

void LineDataSet::clear() {
  points.release();
  points.setGrowthStep(kPointGrowthStep);
  bounds = kEmptyBounds;
  cacheRecord.known = false;
}

int32_t LineDataSet::addPoint(double latitude, double longitude) {
  LinePoint p = {clampedDegreesToUnits(latitude),
                 clampedDegreesToUnits(longitude)};
  cacheRecord.known = false;
  if (!points.append(p)) return 0;
  widenBounds(p);
  return 1;
}

int32_t LineDataSet::endArc() {
  if (points.empty() || isSeparator(points.back())) return 1;
  cacheRecord.known = false;
  if (!points.append(kSeparatorPoint)) return 0;
  return 1;
}

void LineDataSet::compact() { points.compact(); }
