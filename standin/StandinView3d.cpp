#include "standin/StandinView3d.h"

#include <algorithm>
#include <cmath>

#include "base/HostBoundary.h"
#include "standin/Geodesy.h"

namespace standin {
namespace {

struct View3d {
  tagGEOPOS eye = {0.0, 0.0};
  double distance = 100.0;
  bool abort = false;
  Scene scene;
  bool tracing = false;
  std::vector<DrawTraceEntry> trace;
  View3dCalls calls;
};

View3d& view() {
  static View3d v;
  return v;
}

// Shortest north-south extent of one degree of latitude on WGS 84 (at the
// equator), a little rounded down so that the block range errs wide.
constexpr double kMinKmPerDegree = 110.5;

}  // namespace

int32_t blockCodeAt(double latitude, double longitude) {
  if (std::isnan(latitude) || std::isnan(longitude)) return -1;
  double lat = std::clamp(latitude, -90.0, 90.0);
  int32_t row = std::min(static_cast<int32_t>(std::floor(lat + 90.0)),
                         kBlockRows - 1);
  double lon = std::fmod(longitude + 180.0, 360.0);
  if (lon < 0.0) lon += 360.0;
  int32_t column = std::min(static_cast<int32_t>(std::floor(lon)),
                            kBlockColumns - 1);
  return row * kBlockColumns + column;
}

std::vector<int32_t> blocksAround(const tagGEOPOS& eye, double distanceKm) {
  std::vector<int32_t> codes;
  if (std::isnan(eye.latitude) || std::isnan(eye.longitude) ||
      std::isnan(distanceKm) || distanceKm < 0.0) {
    return codes;
  }
  double dLat = distanceKm / kMinKmPerDegree;
  double south = std::max(-90.0, eye.latitude - dLat);
  double north = std::min(90.0, eye.latitude + dLat);
  // A degree of longitude is shortest at the band's edge nearest a pole.
  double polar = std::max(std::fabs(south), std::fabs(north));
  double shrink = std::cos(polar * 3.14159265358979323846 / 180.0);
  bool allColumns = shrink < 1e-6;
  double dLon = allColumns ? 360.0 : dLat / shrink;
  if (dLon >= 180.0) allColumns = true;

  int32_t firstRow = blockCodeAt(south, 0.0) / kBlockColumns;
  int32_t lastRow = blockCodeAt(north, 0.0) / kBlockColumns;
  for (int32_t row = firstRow; row <= lastRow; ++row) {
    if (allColumns) {
      for (int32_t c = 0; c < kBlockColumns; ++c) {
        codes.push_back(row * kBlockColumns + c);
      }
      continue;
    }
    int32_t first = static_cast<int32_t>(
        std::floor(eye.longitude - dLon + 180.0));
    int32_t last = static_cast<int32_t>(
        std::floor(eye.longitude + dLon + 180.0));
    for (int32_t c = first; c <= last; ++c) {
      int32_t column = ((c % kBlockColumns) + kBlockColumns) % kBlockColumns;
      codes.push_back(row * kBlockColumns + column);
    }
  }
  std::sort(codes.begin(), codes.end());
  codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
  return codes;
}

void setEye3d(const tagGEOPOS& eye) { view().eye = eye; }
void setDrawDistance3d(double kilometres) { view().distance = kilometres; }
void setAbortRendering(bool abort) { view().abort = abort; }

tagDRAW3DEVENT draw3dEvent(const std::vector<int32_t>& blockCodes,
                           int32_t mode) {
  tagDRAW3DEVENT event = {};
  event.blockCount = static_cast<int32_t>(blockCodes.size());
  event.blockCodes = blockCodes.data();
  event.mode = mode;
  return event;
}

Scene& scene3d() { return view().scene; }
void setTrace3d(bool on) { view().tracing = on; }
const std::vector<DrawTraceEntry>& trace3d() { return view().trace; }
const View3dCalls& view3dCalls() { return view().calls; }

void resetView3d() {
  View3d& v = view();
  v.eye = {0.0, 0.0};
  v.distance = 100.0;
  v.abort = false;
  v.scene.clear();
  v.scene.setCounting(false);
  v.tracing = false;
  v.trace.clear();
  v.calls = View3dCalls();
}

}  // namespace standin

using standin::view;

namespace {
// The lines of one Draw call, the module's point callback asked point by
// point.
int32_t drawLines(standin::View3d& s, VpiCallback callback);
}  // namespace

extern "C" {

uint32_t VPI_GetMap3d(uint32_t v) {
  ++view().calls.getMap3d;
  return v == standin::kView3d ? standin::kMap3d : 0;
}

int32_t VPI_GetPosition3d(uint32_t v, tagEYEPOS3D* eye) {
  ++view().calls.getPosition3d;
  if (v != standin::kView3d || eye == nullptr) return 0;
  *eye = {view().eye.latitude, view().eye.longitude, 1000.0, 0.0, -30.0};
  return 1;
}

int32_t VPI_GetView3dOptions(uint32_t v, tagVIEW3DOPTIONS* options) {
  standin::View3d& s = view();
  ++s.calls.getView3dOptions;
  if (v != standin::kView3d || options == nullptr) return 0;
  // The host fills only as much as the caller says it has room for.
  if (options->size != static_cast<int32_t>(sizeof(tagVIEW3DOPTIONS))) {
    ++s.calls.badOptionsSize;
    return 0;
  }
  options->drawDistance = s.distance;
  return 1;
}

tagGEOPOS VPI_GetBlockSize(uint32_t map3d) {
  ++view().calls.getBlockSize;
  if (map3d != standin::kMap3d) return {0.0, 0.0};
  return {1.0, 1.0};
}

tagGEOPOS VPI_CodeToPos(uint32_t map3d, int32_t blockCode) {
  ++view().calls.codeToPos;
  if (map3d != standin::kMap3d || blockCode < 0 ||
      blockCode >= standin::kBlockRows * standin::kBlockColumns) {
    return {NAN, NAN};
  }
  return {blockCode / standin::kBlockColumns - 90.0,
          blockCode % standin::kBlockColumns - 180.0};
}

int32_t VPI_Get3dPen(uint32_t v, uint32_t colour, int32_t width) {
  standin::View3d& s = view();
  ++s.calls.get3dPen;
  s.calls.penWidths.push_back(width);
  if (v != standin::kView3d) return 0;
  // Width values run 0, 50, ... 400 for lines 1 to 9 pixels wide.
  s.scene.setPen(colour, 1.0 + width / 50.0);
  return 1;
}

int32_t VPI_Draw3dLines(uint32_t v, VpiCallback callback) {
  standin::View3d& s = view();
  ++s.calls.draw3dLines;
  if (v != standin::kView3d || callback == nullptr) return 0;
  // No exception crosses the interface either way (see VPI_DrawVideoLines).
  return guardHostCall(0, [&] { return drawLines(s, callback); });
}

}  // extern "C"

namespace {

int32_t drawLines(standin::View3d& s, VpiCallback callback) {
  for (int32_t index = 0;; ++index) {
    Point3dRecord record = {0.0, 0.0, 0.0, 0};
    int32_t result = callback(index, 0, reinterpret_cast<intptr_t>(&record));
    if (s.tracing) {
      s.trace.push_back({index, result, {record.latitude, record.longitude}});
    }
    if (result == kPointEnd) break;
    tagGEOPOS at = {record.latitude, record.longitude};
    if (result == kPointBeginLine) {
      s.scene.beginLine(at);
    } else if (result == kPointContinue) {
      s.scene.continueLine(at);
    } else if (result != kPointSkip) {
      ++s.calls.badResults;
    }
    if (index == INT32_MAX) break;
  }
  return 1;
}

}  // namespace

extern "C" {

double VPI_GetDistance(const tagGEOPOS* a, const tagGEOPOS* b) {
  ++view().calls.getDistance;
  if (a == nullptr || b == nullptr) return NAN;
  return standin::geodesicDistanceKm(*a, *b);
}

int32_t VPI_IsAbortRendering(uint32_t /*v*/) {
  ++view().calls.isAbortRendering;
  return view().abort ? 1 : 0;
}

// Out of memory forgets the record, never throws into the module.
void VPI_SetRenderingProgressMessage(uint32_t /*v*/, const char* text) {
  guardHostCall(0, [&] {
    view().calls.progressMessages.push_back(text != nullptr ? text : "");
    return 0;
  });
}

void VPI_SetRenderingProgressPos(uint32_t /*v*/, int32_t percent) {
  guardHostCall(0, [&] {
    view().calls.progressPositions.push_back(percent);
    return 0;
  });
}

}  // extern "C"
