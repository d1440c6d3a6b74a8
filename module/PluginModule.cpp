#include "module/PluginModule.h"

PluginModule& pluginModule() {
  // Built on first use, so it exists before any entry point or the attach
  // notification reaches the module, whatever the order of static set-up.
  static PluginModule module;
  return module;
}

void PluginModule::reset(uint32_t handle) {
  registry.empty();
  pluginHandle = handle;
  restorePending = 1;
  layersActive = 0;
  layer2d = 0;
  layer3d = 0;
  panel = nullptr;
  panelId = 0;
  nextRowId = 1;
  depotFolderPath[0] = '\0';
}
