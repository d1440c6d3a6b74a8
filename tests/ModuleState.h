// The module's state record as the host finds it when it loads the module,
// for tests that run the module several times in one process: natively the
// module shares the program's copy, which outlives one run of the host.

#ifndef MORVANE_TESTS_MODULESTATE_H_
#define MORVANE_TESTS_MODULESTATE_H_

#include <cstdint>

#include "module/PluginModule.h"

// Empty registry, no layers, the restore still pending, row ids from 1, no
// depot folder; pluginHandle as Init would receive it.
inline void resetPluginModule(uint32_t pluginHandle) {
  PluginModule& m = pluginModule();
  m.registry.empty();
  m.pluginHandle = pluginHandle;
  m.restorePending = 1;
  m.layersActive = 0;
  m.layer2d = 0;
  m.layer3d = 0;
  m.nextRowId = 1;
  m.depotFolderPath[0] = '\0';
}

#endif  // MORVANE_TESTS_MODULESTATE_H_
