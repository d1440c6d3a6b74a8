// The close command: closes open data sets or deletes cached ones.

#ifndef MORVANE_PLUGIN_CLOSECOMMAND_H_
#define MORVANE_PLUGIN_CLOSECOMMAND_H_

#include <cstdint>

#include "host/PluginIf.h"

// Menu callback. kMenuQueryEnabled stores layersActive: there is something
// to close only while the layers are registered; kMenuRunCommand runs the
// command. Returns 0; no exception reaches the host.
int32_t closeCommand(int32_t message, uintptr_t wParam, intptr_t lParam);

#endif  // MORVANE_PLUGIN_CLOSECOMMAND_H_
