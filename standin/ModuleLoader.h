// How the stand-in host loads a plug-in module: by path, as a dynamic
// library (LoadLibrary on Windows, dlopen of the module built as a shared
// object natively), its five entry points found by their plain names. A
// module is refused, with a message saying why, when the file does not
// exist, is not a loadable library, or lacks any one of the entry points;
// nothing stays loaded then.
//
// Natively the module finds the host's VPI_ functions, the headless
// windows and the file operations in the program that loads it (which
// exports exactly those, standin/HostExports.list), as the Windows module
// finds them in PluginIf.dll and the system. Unloading unmaps it: the next
// load starts from a fresh module state.

#ifndef MORVANE_STANDIN_MODULELOADER_H_
#define MORVANE_STANDIN_MODULELOADER_H_

#include <cstdint>
#include <string>

#include "host/PluginIf.h"

namespace standin {

struct ModuleEntryPoints {
  int32_t (*init)(PluginInfo* info, uint32_t plugin) = nullptr;
  int32_t (*load)() = nullptr;
  int32_t (*close)() = nullptr;
  void (*release)() = nullptr;
  int32_t (*about)() = nullptr;
};

class LoadedModule {
 public:
  LoadedModule() = default;
  ~LoadedModule() { unload(); }
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;

  // Loads the module at path (a native path natively, a Windows path on
  // Windows). False with *error set when it is refused; a module loaded
  // before is unloaded first.
  bool load(const std::string& path, std::string* error);
  // Unloads the library; its entry points must not be called afterwards.
  void unload();

  bool loaded() const { return library_ != nullptr; }
  const ModuleEntryPoints& entryPoints() const { return entries_; }

 private:
  void* library_ = nullptr;
  ModuleEntryPoints entries_;
};

// The backend (posix/, win32/): the library at path or null with *error
// set; a symbol of it or null; unloading.
void* openModuleLibrary(const std::string& path, std::string* error);
void* findModuleSymbol(void* library, const char* name);
void closeModuleLibrary(void* library);

}  // namespace standin

#endif  // MORVANE_STANDIN_MODULELOADER_H_
