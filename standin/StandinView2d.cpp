#include "standin/StandinView2d.h"

#include "base/HostBoundary.h"
#include "standin/Geodesy.h"

namespace standin {
namespace {

struct View2d {
  GeoExtent extent = {-180.0, -90.0, 180.0, 90.0};
  int32_t datum = kDatumWgs84;
  Scene scene;
  bool tracing = false;
  std::vector<DrawTraceEntry> trace;
  View2dCalls calls;
  int32_t currentIndex = 0;  // the index being drawn, for the trace
};

View2d& view() {
  static View2d v;
  return v;
}

}  // namespace

void setView2d(const GeoExtent& extent, int32_t datum) {
  view().extent = extent;
  view().datum = datum;
}
const GeoExtent& view2dExtent() { return view().extent; }

tagDRAW2DEVENT draw2dEvent() {
  const GeoExtent& e = view().extent;
  tagDRAW2DEVENT event = {};
  event.northWest = {e.north, e.west};
  event.southEast = {e.south, e.east};
  return event;
}

Scene& scene2d() { return view().scene; }
void setTrace2d(bool on) { view().tracing = on; }
const std::vector<DrawTraceEntry>& trace2d() { return view().trace; }
const View2dCalls& view2dCalls() { return view().calls; }

void resetView2d() {
  View2d& v = view();
  v.extent = {-180.0, -90.0, 180.0, 90.0};
  v.datum = kDatumWgs84;
  v.scene.clear();
  v.scene.setCounting(false);
  v.tracing = false;
  v.trace.clear();
  v.calls = View2dCalls();
}

}  // namespace standin

using standin::view;

namespace {
// The lines of one Draw call, the module's point callback asked point by
// point.
int32_t drawLines(standin::View2d& s, VpiCallback callback);
}  // namespace

extern "C" {

uint32_t VPI_GetMap(uint32_t v) {
  ++view().calls.getMap;
  return v == standin::kView2d ? standin::kMap2d : 0;
}

int32_t VPI_GetDatum(uint32_t map) {
  ++view().calls.getDatum;
  return map == standin::kMap2d ? view().datum : standin::kDatumWgs84;
}

int32_t VPI_ConvertDatum(const tagGEOPOS* source, tagGEOPOS* destination,
                         int32_t sourceDatum, int32_t destinationDatum) {
  ++view().calls.convertDatum;
  if (source == nullptr || destination == nullptr) return 0;
  return standin::convertDatum(*source, sourceDatum, destinationDatum,
                               destination)
             ? 1
             : 0;
}

int32_t VPI_GetVideoPen(uint32_t v, uint32_t colour, int32_t width) {
  ++view().calls.getVideoPen;
  if (v != standin::kView2d) return 0;
  view().scene.setPen(colour, width);
  return 1;
}

int32_t VPI_DrawVideoLines(uint32_t v, VpiCallback callback) {
  standin::View2d& s = view();
  ++s.calls.drawVideoLines;
  if (v != standin::kView2d || callback == nullptr) return 0;
  // No exception crosses the interface either way: one from the module's
  // point callback, or out of memory while the scene grows, ends the lines
  // with 0.
  return guardHostCall(0, [&] { return drawLines(s, callback); });
}

}  // extern "C"

namespace {

int32_t drawLines(standin::View2d& s, VpiCallback callback) {
  for (int32_t index = 0;; ++index) {
    tagGEOPOS output = {0.0, 0.0};
    s.currentIndex = index;
    int32_t result =
        callback(index, 0, reinterpret_cast<intptr_t>(&output));
    if (s.tracing) s.trace.push_back({index, result, output});
    if (result == kPointEnd) break;
    if (result == kPointBeginLine) {
      s.scene.beginLine(output);
    } else if (result == kPointContinue) {
      s.scene.continueLine(output);
    } else if (result != kPointSkip) {
      ++s.calls.badResults;
    }
    if (index == INT32_MAX) break;
  }
  return 1;
}

}  // namespace

extern "C" {

int32_t VPI_DrawVideoMoveTo(uint32_t v, const tagGEOPOS* position) {
  standin::View2d& s = view();
  ++s.calls.drawVideoMoveTo;
  if (v != standin::kView2d || position == nullptr) return 0;
  return guardHostCall(0, [&] {
    s.scene.moveTo(*position);
    if (s.tracing) {
      s.trace.push_back({s.currentIndex, standin::kTraceMoveTo, *position});
    }
    return 1;
  });
}

}  // extern "C"
