// The stand-in host's 3D view: one view (handle kView3d) with an eye, a
// drawing distance, and a landscape rendered in map blocks. The VPI_
// functions of the 3D view are defined in StandinView3d.cpp.
//
// Block codes: the map is cut into 1-degree blocks; the block whose
// south-west corner is (latitude r - 90, longitude c - 180) has the code
// r * 360 + c, for rows r 0..179 and columns c 0..359 (0 is the block at
// 90 S, 180 W; 64799 the one at 89 N, 179 E). VPI_CodeToPos returns that
// corner (NaN for a code outside 0..64799), VPI_GetBlockSize 1 x 1 degree.
//
// Distances (VPI_GetDistance, the drawing distance) are in kilometres,
// geodesic on WGS 84 (Geodesy.h). Positions are WGS 84 (datum 0).
//
// VPI_Draw3dLines calls the callback with index 0, 1, 2, ... and a
// Point3dRecord until it returns 3: 1 begins a line at the record's
// position, 2 continues the line from the previous point drawn, 0 draws
// nothing; there is no move-to in this view.

#ifndef MORVANE_STANDIN_STANDINVIEW3D_H_
#define MORVANE_STANDIN_STANDINVIEW3D_H_

#include <cstdint>
#include <string>
#include <vector>

#include "host/PluginIf.h"
#include "standin/Scene.h"
#include "standin/StandinView2d.h"

namespace standin {

constexpr uint32_t kView3d = 3001;
constexpr uint32_t kMap3d = 3002;
constexpr int32_t kBlockRows = 180;
constexpr int32_t kBlockColumns = 360;

// The code of the block holding a position (latitude 90 falls in the top
// row, longitude 180 wraps to -180). -1 for NaN.
int32_t blockCodeAt(double latitude, double longitude);

// The codes of every block that has a point within distanceKm of the eye
// (a generous superset: whole latitude bands near the poles), ascending.
std::vector<int32_t> blocksAround(const tagGEOPOS& eye, double distanceKm);

void setEye3d(const tagGEOPOS& eye);
void setDrawDistance3d(double kilometres);

// Makes VPI_IsAbortRendering report an abort (as a user's Escape would).
void setAbortRendering(bool abort);

// The record the host hands the layer callback with event 653. The codes
// must outlive the record.
tagDRAW3DEVENT draw3dEvent(const std::vector<int32_t>& blockCodes,
                           int32_t mode = 0);

Scene& scene3d();

// Every callback result and the record it came with, for tests (off by
// default).
void setTrace3d(bool on);
const std::vector<DrawTraceEntry>& trace3d();

struct View3dCalls {
  int32_t getMap3d = 0;
  int32_t get3dPen = 0;
  int32_t getBlockSize = 0;
  int32_t getPosition3d = 0;
  int32_t getView3dOptions = 0;
  int32_t codeToPos = 0;
  int32_t draw3dLines = 0;
  int32_t getDistance = 0;
  int32_t isAbortRendering = 0;
  int32_t badResults = 0;
  int32_t badOptionsSize = 0;  // options asked with a size other than 64
  std::vector<int32_t> penWidths;         // width values, in call order
  std::vector<int32_t> progressPositions;  // in call order
  std::vector<std::string> progressMessages;
};
const View3dCalls& view3dCalls();

// Eye at 0,0, drawing distance 100 km, no abort, empty recording scene, no
// trace, no calls counted.
void resetView3d();

}  // namespace standin

#endif  // MORVANE_STANDIN_STANDINVIEW3D_H_
