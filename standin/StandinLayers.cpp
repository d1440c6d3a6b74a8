#include "standin/StandinLayers.h"

#include <algorithm>

#include "base/HostBoundary.h"
#include "standin/StandinHost.h"
#include "standin/StandinView2d.h"
#include "standin/StandinView3d.h"

namespace standin {
namespace {

struct Layers {
  uint32_t nextHandle = 1;
  std::vector<LayerEntry> entries;
};

Layers& registry() {
  static Layers l;
  return l;
}

uint32_t add(uint32_t plugin, VpiCallback callback, int32_t id, bool is3d) {
  Layers& l = registry();
  if (callback == nullptr || l.nextHandle == 0) return 0;
  l.entries.push_back({l.nextHandle, plugin, callback, id, is3d});
  return l.nextHandle++;
}

int32_t remove(uint32_t handle, bool is3d) {
  auto& entries = registry().entries;
  auto it = std::find_if(entries.begin(), entries.end(), [&](const LayerEntry& e) {
    return e.handle == handle && e.is3d == is3d;
  });
  if (it == entries.end()) return 0;
  entries.erase(it);
  return 1;
}

bool stillRegistered(uint32_t handle) {
  for (const LayerEntry& e : registry().entries) {
    if (e.handle == handle) return true;
  }
  return false;
}

// A callback may add or delete layers while it draws (a module restoring
// its data, or removing its layers when nothing is left): the pass goes over
// the layers registered when it began and skips those deleted meanwhile.
int32_t drawAll(bool is3d, int32_t event, uintptr_t view, intptr_t record) {
  std::vector<LayerEntry> pass = registry().entries;
  int32_t drawn = 0;
  for (const LayerEntry& e : pass) {
    if (e.is3d != is3d || !stillRegistered(e.handle)) continue;
    // No exception of the module's crosses into the host.
    guardHostCall(0, [&] { return e.callback(event, view, record); });
    ++drawn;
  }
  return drawn;
}

}  // namespace

std::vector<LayerEntry> layers() { return registry().entries; }

int32_t drawAll2d() {
  tagDRAW2DEVENT record = draw2dEvent();
  return drawAll(false, kLayerEventDraw2d, kView2d,
                 reinterpret_cast<intptr_t>(&record));
}

int32_t drawAll3d(const std::vector<int32_t>& blockCodes, int32_t mode) {
  tagDRAW3DEVENT record = draw3dEvent(blockCodes, mode);
  return drawAll(true, kLayerEventDraw3d, kView3d,
                 reinterpret_cast<intptr_t>(&record));
}

void resetLayers() {
  registry().entries.clear();
  registry().nextHandle = 1;
}

}  // namespace standin

extern "C" {

// No exception crosses into the module: out of memory adds no layer.
uint32_t VPI_AddLayer(uint32_t plugin, VpiCallback callback, int32_t id) {
  return guardHostCall(0u, [&] {
    return standin::add(plugin, callback, id, false);
  });
}

uint32_t VPI_AddLayer3d(uint32_t plugin, VpiCallback callback, int32_t id) {
  return guardHostCall(0u, [&] {
    return standin::add(plugin, callback, id, true);
  });
}

int32_t VPI_DeleteLayer(uint32_t layer) { return standin::remove(layer, false); }

int32_t VPI_DeleteLayer3d(uint32_t layer) {
  return standin::remove(layer, true);
}

}  // extern "C"
