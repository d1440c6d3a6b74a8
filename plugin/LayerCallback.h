// The module's two map layers: registered with the host while data sets
// may be open (addLayers, removeLayers), both served by layerCallback,
// which restores the reopen list at the first 2D draw and hands every draw
// event to the open data sets.

#ifndef MORVANE_PLUGIN_LAYERCALLBACK_H_
#define MORVANE_PLUGIN_LAYERCALLBACK_H_

#include <cstdint>

#include "host/PluginIf.h"

// The module's own numbers for its 2D and 3D layers.
constexpr int32_t kLayerId2d = 1;
constexpr int32_t kLayerId3d = 101;

// Registers the 2D layer, then the 3D layer, both with layerCallback, and
// sets layersActive.
void addLayers();

// Deletes the 2D layer, then the 3D layer, and clears layersActive.
void removeLayers();

// The layers' callback. Returns 0 for every event.
// - kLayerEventDraw2d (wParam: the view, lParam: tagDRAW2DEVENT*): at the
//   first one after Init, the reopen list is restored when the profile
//   value "Load" is non-zero, the depot folder is found and its directory
//   exists (asked in that order, each only when the one before held); the
//   restore is then never tried again, whatever happened. Then the depot
//   folder is looked up again and every data set drawn with the view's
//   south-west and north-east corners.
// - kLayerEventDraw3d (wParam: the 3D view, lParam: tagDRAW3DEVENT*):
//   nothing in mode 2; otherwise the depot folder is looked up and the data
//   sets drawn in registry order until one reports the rendering aborted.
// - Anything else: nothing.
int32_t layerCallback(int32_t event, uintptr_t wParam, intptr_t lParam);

#endif  // MORVANE_PLUGIN_LAYERCALLBACK_H_
