#include "module/PluginModule.h"

PluginModule& pluginModule() {
  // Built on first use, so it exists before any entry point or the attach
  // notification reaches the module, whatever the order of static set-up.
  static PluginModule module;
  return module;
}
