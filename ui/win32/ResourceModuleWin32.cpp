// The current resource module of the Win32 backend: the instance whose
// resources the dialog windows are created from. The host's main program is
// current until a dialog of ours switches to this module.

#include "ui/ResourceModule.h"

#include <windows.h>

namespace {

// The module this code is linked into (the DLL, or the program itself).
HINSTANCE thisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                         GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&thisModule), &module);
  return module;
}

ResourceModule gCurrent = GetModuleHandleA(nullptr);

}  // namespace

ResourceModule currentResourceModule() { return gCurrent; }
void setCurrentResourceModule(ResourceModule module) { gCurrent = module; }
ResourceModule moduleResourceModule() { return thisModule(); }
