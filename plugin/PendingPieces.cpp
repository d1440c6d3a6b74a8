// Stand-ins for the open and close commands until their own sources join
// the module: they give the menu answers the module's menus rely on and do
// nothing when run.

#include "module/PluginModule.h"
#include "plugin/CloseCommand.h"
#include "plugin/OpenCommand.h"

int32_t openCommand(int32_t message, uintptr_t /*wParam*/, intptr_t lParam) {
  if (message == kMenuQueryEnabled) *reinterpret_cast<int32_t*>(lParam) = 1;
  return 0;
}

int32_t closeCommand(int32_t message, uintptr_t /*wParam*/, intptr_t lParam) {
  if (message == kMenuQueryEnabled) {
    *reinterpret_cast<int32_t*>(lParam) = pluginModule().layersActive;
  }
  return 0;
}
