// The one module-wide state record, alive from the moment the host loads the
// module until it unloads it: the host handles the entry points receive, the
// flags that steer the layers and the first-draw restore, the side panel,
// the depot folder buffer, the row id counter and the registry of open data
// sets. Everything runs on the host's user-interface thread; nothing is
// locked.

#ifndef MORVANE_MODULE_PLUGINMODULE_H_
#define MORVANE_MODULE_PLUGINMODULE_H_

#include <cstdint>

#include "host/PluginIf.h"
#include "module/DataSetRegistry.h"

class LayerPanel;

struct PluginModule {
  PluginModule() { depotFolderPath[0] = '\0'; }
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  // Back to the state a fresh load of the module starts from, with
  // pluginHandle as Init receives it: empty registry (its data sets
  // destroyed), the restore pending, no layers, no panel, row ids from 1,
  // no depot folder. The instance handle stays: it belongs to the loaded
  // image, not to a run. For tests of inner pieces that link the module's
  // libraries; a host gets a fresh state by unloading and loading the
  // module.
  void reset(uint32_t pluginHandle);

  // Init's second argument, passed back to every host call that asks for it.
  uint32_t pluginHandle = 0;
  // The reopen list is still to be restored at the first 2D draw.
  int32_t restorePending = 1;
  // 1 while layer2d and layer3d are registered with the host; stored as the
  // profile value "Load" at shutdown.
  int32_t layersActive = 0;
  uint32_t layer2d = 0;
  uint32_t layer3d = 0;
  // The side panel, created by Load and destroyed by Release.
  LayerPanel* panel = nullptr;
  uint32_t panelId = 0;
  DataSetRegistry registry;
  // Row id of the next data set created; only ever grows while loaded.
  int32_t nextRowId = 1;
  // Directory of the module's depot sub-folder as the host reports it, or
  // empty when the folder was not found. Every data set's depotPath points
  // here, so refreshing it moves every cache file with it.
  char depotFolderPath[kVpiPathSize];
  // The module's instance handle, for taking dialog templates from the
  // module's own resources; set when the module is attached.
  void* resourceHandle = nullptr;
};

// The module's state record.
PluginModule& pluginModule();

#endif  // MORVANE_MODULE_PLUGINMODULE_H_
