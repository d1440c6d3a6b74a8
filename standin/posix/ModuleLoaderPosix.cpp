// Natively a module is a shared object. RTLD_NOW: a module that names a
// function nobody provides is refused at load, not when the call comes.

#include <dlfcn.h>
#include <sys/stat.h>

#include "standin/ModuleLoader.h"

namespace standin {

void* openModuleLibrary(const std::string& path, std::string* error) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) {
    *error = "no module at " + path;
    return nullptr;
  }
  if (!S_ISREG(info.st_mode)) {
    *error = path + " is not a plug-in module: not a regular file";
    return nullptr;
  }
  // Without a slash dlopen would search the library path instead.
  std::string name = path.find('/') == std::string::npos ? "./" + path : path;
  void* library = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* why = dlerror();
    *error = path + " is not a plug-in module: " +
             (why != nullptr ? why : "it cannot be loaded");
  }
  return library;
}

void* findModuleSymbol(void* library, const char* name) {
  return dlsym(library, name);
}

void closeModuleLibrary(void* library) { dlclose(library); }

}  // namespace standin
