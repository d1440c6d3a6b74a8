// The stand-in host's map layers (VPI_AddLayer, VPI_AddLayer3d,
// VPI_DeleteLayer, VPI_DeleteLayer3d) and the drawing passes that hand them
// the host's draw events.
//
// Handles are never 0 and never given out twice in one run; 2D and 3D
// layers share one handle counter, and deleting a handle of the other kind
// (or one already deleted) does nothing and gives 0. Layers are drawn in
// the order added.

#ifndef MORVANE_STANDIN_STANDINLAYERS_H_
#define MORVANE_STANDIN_STANDINLAYERS_H_

#include <cstdint>
#include <vector>

#include "host/PluginIf.h"

namespace standin {

struct LayerEntry {
  uint32_t handle;
  uint32_t plugin;
  VpiCallback callback;
  int32_t id;  // the plug-in's own number for the layer
  bool is3d;
};

// The registered layers, in the order added.
std::vector<LayerEntry> layers();

// One pass of the 2D map (kView2d): every 2D layer's callback receives
// event 600 with wParam kView2d and lParam the view's tagDRAW2DEVENT
// (draw2dEvent()). Returns the number of layers drawn.
int32_t drawAll2d();

// One rendering pass of the 3D view (kView3d) over the given blocks: every
// 3D layer's callback receives event 653 with wParam kView3d and lParam a
// tagDRAW3DEVENT holding the codes and mode. Returns the number of layers
// drawn.
int32_t drawAll3d(const std::vector<int32_t>& blockCodes, int32_t mode = 0);

// No layers, handles from 1 again.
void resetLayers();

}  // namespace standin

#endif  // MORVANE_STANDIN_STANDINLAYERS_H_
