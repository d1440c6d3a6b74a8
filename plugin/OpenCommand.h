// The open command: reopens data sets an earlier import left in the depot
// (their cache files are read) or imports a new .e00 file (its arcs are
// parsed and a cache file is written for next time).

#ifndef MORVANE_PLUGIN_OPENCOMMAND_H_
#define MORVANE_PLUGIN_OPENCOMMAND_H_

#include <cstdint>
#include <string>

#include "host/PluginIf.h"

// Menu callback. kMenuQueryEnabled stores 1 (always enabled).
// kMenuRunCommand registers the layers anew, then:
// - with the depot folder there, asks in the reopen dialog: Cancel ends
//   (the layers removed when nothing is open); "open previous" registers
//   one data set per chosen item from its cache file, visible, showIn3d as
//   the first open data set (or, when the folder's directory is gone on
//   disk, says so and, with nothing open, removes layers and depot
//   folder); "read new" goes on to the file dialog;
// - asks for a .e00 file and imports it, creating the depot folders first
//   when there are none. A failed import with nothing open removes the
//   layers and the module's depot folder.
// The views are redrawn whenever the open data sets may have changed.
// Returns 0, also when something inside failed unexpectedly: out of memory
// shows the memory message and ends the command there; no exception
// reaches the host.
int32_t openCommand(int32_t message, uintptr_t wParam, intptr_t lParam);

// Imports the .e00 file at path (module path) as a new data set named after
// the file without its last extension (roads.old.e00 gives roads.old), with
// a progress window labelled with that name. The depot folders must be
// there. Once registered, the data set gets its depot item (title: the
// name, file: name + ".bin") and its cache file. Returns 1 when the data set
// is registered and kept; 0 when the file name cannot name a data set
// (isReservedWindowsName: told), the reader failed (told, over the progress
// window) or was cancelled, memory ran out, or the item or the whole cache file could not
// be made (told): nothing is then kept, no item, no file, no data set.
//
// A name already taken in the depot (an item, an open data set or a file
// there, letter case aside, as Windows compares file names) is never
// reused: the data set is named with the first free number, "roads (2)",
// "roads (3)" ... up to 99, so that no import ever writes over another
// data set's cache file.
int32_t importE00File(const char* path);

// The name a new data set called name gets: name itself when it is free,
// else the first free "name (N)"; empty when there are no depot folders or
// no number up to 99 is free.
std::string unusedDataSetName(const std::string& name);

// The data set name for the file at path: its file-name part without the
// last "." and what follows; a name without a dot stays whole.
std::string dataSetNameOf(const char* path);

#endif  // MORVANE_PLUGIN_OPENCOMMAND_H_
