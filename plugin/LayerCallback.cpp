#include "plugin/LayerCallback.h"

#include "base/HostBoundary.h"
#include "draw/Draw2d.h"
#include "draw/Draw3d.h"
#include "module/PluginModule.h"
#include "plugin/DepotFolders.h"
#include "plugin/ReopenList.h"

namespace {

constexpr char kProfileLoad[] = "Load";
// The 3D record's mode in which nothing is drawn.
constexpr int32_t kDraw3dModeNothing = 2;

void draw2dPass(uintptr_t view, const tagDRAW2DEVENT* record) {
  findDepotFolder();
  if (record == nullptr) return;
  // The record gives the north-west and south-east corners; the data sets
  // take the south-west and north-east ones.
  const tagGEOPOS southWest = {record->southEast.latitude,
                               record->northWest.longitude};
  const tagGEOPOS northEast = {record->northWest.latitude,
                               record->southEast.longitude};
  DataSetRegistry& registry = pluginModule().registry;
  for (int32_t i = 0; i < registry.count(); ++i) {
    draw2d(*registry.at(i), static_cast<uint32_t>(view), southWest, northEast);
  }
}

void draw3dPass(uintptr_t view, const tagDRAW3DEVENT* record) {
  if (record == nullptr || record->mode == kDraw3dModeNothing) return;
  findDepotFolder();
  DataSetRegistry& registry = pluginModule().registry;
  for (int32_t i = 0; i < registry.count(); ++i) {
    if (draw3d(*registry.at(i), static_cast<uint32_t>(view), record->blockCodes,
               record->blockCount, i, registry.count()) == 0) {
      break;  // the host aborted the rendering
    }
  }
}

int32_t handleLayerEvent(int32_t event, uintptr_t wParam, intptr_t lParam) {
  PluginModule& module = pluginModule();
  if (event == kLayerEventDraw2d) {
    if (module.restorePending) {
      // Cleared before the restore rather than after it, so that even a
      // restore cut short by an exception is never tried again.
      module.restorePending = 0;
      if (VPI_GetProfileInt(module.pluginHandle, kProfileLoad, 0) != 0 &&
          findDepotFolder() != 0 && directoryExists(module.depotFolderPath)) {
        restoreReopenList();
      }
    }
    draw2dPass(wParam, reinterpret_cast<const tagDRAW2DEVENT*>(lParam));
  } else if (event == kLayerEventDraw3d) {
    draw3dPass(wParam, reinterpret_cast<const tagDRAW3DEVENT*>(lParam));
  }
  return 0;
}

}  // namespace

void addLayers() {
  PluginModule& module = pluginModule();
  module.layer2d = VPI_AddLayer(module.pluginHandle, layerCallback, kLayerId2d);
  module.layer3d =
      VPI_AddLayer3d(module.pluginHandle, layerCallback, kLayerId3d);
  module.layersActive = 1;
}

void removeLayers() {
  PluginModule& module = pluginModule();
  VPI_DeleteLayer(module.layer2d);
  VPI_DeleteLayer3d(module.layer3d);
  module.layersActive = 0;
}

int32_t layerCallback(int32_t event, uintptr_t wParam, intptr_t lParam) {
  return guardHostCall(0, [&] { return handleLayerEvent(event, wParam, lParam); });
}
