#include "standin/ModuleLoader.h"

namespace standin {
namespace {

template <typename Fn>
bool find(void* library, const char* name, Fn* fn, std::string* missing) {
  *fn = reinterpret_cast<Fn>(findModuleSymbol(library, name));
  if (*fn == nullptr && missing->empty()) *missing = name;
  return *fn != nullptr;
}

}  // namespace

bool LoadedModule::load(const std::string& path, std::string* error) {
  unload();
  void* library = openModuleLibrary(path, error);
  if (library == nullptr) return false;
  ModuleEntryPoints e;
  std::string missing;
  find(library, "Init", &e.init, &missing);
  find(library, "Load", &e.load, &missing);
  find(library, "Close", &e.close, &missing);
  find(library, "Release", &e.release, &missing);
  find(library, "About", &e.about, &missing);
  if (!missing.empty()) {
    closeModuleLibrary(library);
    *error = path + " is not a plug-in module: it has no entry point " +
             missing;
    return false;
  }
  library_ = library;
  entries_ = e;
  return true;
}

void LoadedModule::unload() {
  if (library_ == nullptr) return;
  closeModuleLibrary(library_);
  library_ = nullptr;
  entries_ = ModuleEntryPoints();
}

}  // namespace standin
