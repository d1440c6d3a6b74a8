// The open command: imports the arcs of one .e00 file as a new line data
// set, or reopens a cached one.

#ifndef MORVANE_PLUGIN_OPENCOMMAND_H_
#define MORVANE_PLUGIN_OPENCOMMAND_H_

#include <cstdint>

#include "host/PluginIf.h"

// Menu callback. kMenuQueryEnabled stores 1 (always enabled);
// kMenuRunCommand runs the command. Returns 0; no exception reaches the
// host.
int32_t openCommand(int32_t message, uintptr_t wParam, intptr_t lParam);

#endif  // MORVANE_PLUGIN_OPENCOMMAND_H_
