// The close command: closes open data sets (their cache files written once
// more with the current display attributes) or deletes them (their depot
// items removed, with their files).

#ifndef MORVANE_PLUGIN_CLOSECOMMAND_H_
#define MORVANE_PLUGIN_CLOSECOMMAND_H_

#include <cstdint>

#include "host/PluginIf.h"

// Menu callback. kMenuQueryEnabled stores layersActive: the command is
// enabled exactly while the module's layers are registered.
// kMenuRunCommand shows the close dialog; each chosen data set loses its
// panel row, then has its cache file written when it changed (Close) or its
// depot item removed (Delete), and is destroyed. A file that cannot be
// written stays as it was, and the user is told: a full disk at once, any
// other reason in one message naming those data sets after the last. Whatever the result, Cancel
// included: with nothing left open the layers are removed and the
// registry's storage released; then the views are redrawn. Returns 0; no
// exception reaches the host.
int32_t closeCommand(int32_t message, uintptr_t wParam, intptr_t lParam);

#endif  // MORVANE_PLUGIN_CLOSECOMMAND_H_
