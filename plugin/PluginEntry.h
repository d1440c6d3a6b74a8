// The module's five entry points, exported by their plain names. The host
// calls Init first, then Load; at shutdown Close, then Release; About at any
// time. Every one runs on the host's user-interface thread and lets no
// exception out: whatever goes wrong inside ends that call with the result
// below and nothing more.

#ifndef MORVANE_PLUGIN_PLUGINENTRY_H_
#define MORVANE_PLUGIN_PLUGINENTRY_H_

#include <cstdint>

#include "host/PluginIf.h"

// The version of the oldest host the module works with.
constexpr int32_t kOldestHostVersion = 604;
// The host profile value telling the next start whether data was open.
constexpr char kProfileKeyLoad[] = "Load";
// The host's position codes of the two popups and their flag.
constexpr int32_t kPopupImportPosition = 16;
constexpr int32_t kPopupClosePosition = 48;
constexpr int32_t kPopupFlag = 1;

extern "C" {

// Keeps plugin as pluginHandle. A host older than kOldestHostVersion is
// told so (information icon) and refused with 0, the record untouched.
// Otherwise fills the record's size (280), final flag (1), name, version
// and empty third text, each text with its zero and no byte beyond, and
// returns 1. A fault inside refuses (0).
int32_t Init(PluginInfo* info, uint32_t plugin);

// Adds the two "Morvane" popups with the three commands, empties the
// registry, creates the side panel in the host's panel area and registers
// it, and registers the layers when data was open at the last shutdown
// (the profile value "Load"). Returns 1.
int32_t Load(void);

// Saves every open data set's cache file and the reopen list when the
// module's depot folder exists, then stores layersActive as "Load".
// Returns 1.
int32_t Close(void);

// Destroys the panel (and its rows), unregisters it, and destroys every
// open data set. The layers stay; the host discards them with the module.
void Release(void);

// Shows the module's name and version (information icon) and returns the
// message box's result (0 after a fault inside).
int32_t About(void);

}  // extern "C"

#endif  // MORVANE_PLUGIN_PLUGINENTRY_H_
