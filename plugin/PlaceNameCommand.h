// The place-name command: asks for one .e00 file and adds its labelled
// points to the host's place-name database. It touches neither the open
// data sets, nor the layers, nor the depot.

#ifndef MORVANE_PLUGIN_PLACENAMECOMMAND_H_
#define MORVANE_PLUGIN_PLACENAMECOMMAND_H_

#include <cstdint>

#include "host/PluginIf.h"

// Menu callback. kMenuQueryEnabled stores 1 (always enabled);
// kMenuRunCommand shows the open-file dialog and, when a file was chosen,
// imports it and asks the host to redraw all views (whatever the import's
// outcome). A cancelled dialog does nothing more. Returns 0, also when
// something inside failed unexpectedly: out of memory shows the memory
// message and ends the command there; no exception reaches the host.
int32_t placeNameCommand(int32_t message, uintptr_t wParam, intptr_t lParam);

// Reads the file's place names with a progress window (no label) owned by
// the host's main window, which goes away when reading ends. Tells the
// user, over the progress window, the count of names added or why reading
// stopped. Returns 1 when the file was read to its end or the host could
// make no place-name database, 0 otherwise.
int32_t importPlaceNamesFile(const char* path);

#endif  // MORVANE_PLUGIN_PLACENAMECOMMAND_H_
