// On Windows a module is a DLL, loaded by its (Windows, ANSI) path. The
// system's own error box for a DLL that cannot be loaded is switched off:
// the host reports the refusal itself.

#include <windows.h>

#include "standin/ModuleLoader.h"

namespace standin {

void* openModuleLibrary(const std::string& path, std::string* error) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    *error = "no module at " + path;
    return nullptr;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    *error = path + " is not a plug-in module: it is a folder";
    return nullptr;
  }
  UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE library = LoadLibraryA(path.c_str());
  DWORD code = GetLastError();
  SetErrorMode(oldMode);
  if (library == nullptr) {
    *error = path + " is not a plug-in module (LoadLibrary error " +
             std::to_string(code) + ")";
  }
  return library;
}

void* findModuleSymbol(void* library, const char* name) {
  return reinterpret_cast<void*>(
      GetProcAddress(static_cast<HMODULE>(library), name));
}

void closeModuleLibrary(void* library) {
  FreeLibrary(static_cast<HMODULE>(library));
}

}  // namespace standin
