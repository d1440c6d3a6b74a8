// The module's attach and detach notifications. There is no class framework
// to register with here: attaching keeps the module's instance handle, whose
// resources hold the dialog templates, and detaching frees the brush the
// panels share (a GDI object outlives a DLL that forgets it).

#include <windows.h>

#include "module/PluginModule.h"
#include "ui/LayerPanel.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason,
                               LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) {
    // No thread notifications: the module runs on the host's one thread.
    DisableThreadLibraryCalls(instance);
    pluginModule().resourceHandle = instance;
  } else if (reason == DLL_PROCESS_DETACH) {
    releasePanelBrush();
  }
  return TRUE;
}
