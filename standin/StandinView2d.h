// The stand-in host's 2D map view: one view (handle kView2d) showing an
// extent in a datum (Geodesy.h), drawing what the module's point callbacks
// supply into a Scene. The VPI_ functions of the 2D map are defined in
// StandinView2d.cpp.
//
// VPI_DrawVideoLines calls the callback with index 0, 1, 2, ... and a
// tagGEOPOS output until it returns 3: 1 begins a line at the output, 2
// continues it from the pen's position, 0 draws nothing; any other result is
// counted as a fault and draws nothing. Positions are in the map's datum.

#ifndef MORVANE_STANDIN_STANDINVIEW2D_H_
#define MORVANE_STANDIN_STANDINVIEW2D_H_

#include <cstdint>
#include <vector>

#include "host/PluginIf.h"
#include "standin/Scene.h"

namespace standin {

constexpr uint32_t kView2d = 2001;
constexpr uint32_t kMap2d = 2002;

// The visible area (in the view's datum) and the datum code.
void setView2d(const GeoExtent& extent, int32_t datum);
const GeoExtent& view2dExtent();

// The record the host hands the layer callback with event 600 for the view.
tagDRAW2DEVENT draw2dEvent();

// What the view drew since the last reset.
Scene& scene2d();

// One step of a drawing, for tests: a callback result with the position the
// module wrote (zero when it wrote none), or a move-to.
enum : int32_t { kTraceMoveTo = -1 };
struct DrawTraceEntry {
  int32_t index;   // the callback's index (for a move, the index it came in)
  int32_t result;  // 0 to 3 as returned, or kTraceMoveTo
  tagGEOPOS position;
};
// Off by default; tracing keeps one entry per callback call.
void setTrace2d(bool on);
const std::vector<DrawTraceEntry>& trace2d();

// How often each 2D function was called since the last reset.
struct View2dCalls {
  int32_t getMap = 0;
  int32_t getDatum = 0;
  int32_t convertDatum = 0;
  int32_t getVideoPen = 0;
  int32_t drawVideoLines = 0;
  int32_t drawVideoMoveTo = 0;
  int32_t badResults = 0;  // callback results outside 0 to 3
};
const View2dCalls& view2dCalls();

// Back to a WGS 84 view of the whole world, an empty recording scene, no
// trace, no calls counted.
void resetView2d();

}  // namespace standin

#endif  // MORVANE_STANDIN_STANDINVIEW2D_H_
