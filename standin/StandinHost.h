// The stand-in host: our own implementation of PluginIf, written from what
// the module expects of the host. This header covers the general services
// (version, main window, message pump, the home folder where the host keeps
// its files); each other area of the host has its own header in standin/.
//
// Natively the stand-in host is a library linked into the host programs,
// which load the module (Morvane.so) and export the VPI_ functions to it;
// the unit tests of the module's inner pieces link it beside them. On
// Windows it is built as PluginIf.dll. Everything runs on one thread.

#ifndef MORVANE_STANDIN_STANDINHOST_H_
#define MORVANE_STANDIN_STANDINHOST_H_

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host/PluginIf.h"

namespace standin {

// Host version reported by VPI_GetVersion (default 700).
void setVersion(int32_t version);

// Folder in which the host keeps its files (place-name database, depot,
// profile). Native form, created on demand by whoever writes there.
void setHome(const std::string& folder);
const std::string& home();

// What VPI_Pump dispatches: the user interface's pending messages (the
// headless robot's clicks), installed by the program that runs the host;
// called with the pump's number before the onPump hook. Not reset.
void setMessageDispatcher(std::function<void(int32_t)> dispatcher);

// Number of VPI_Pump calls since the last resetPump().
int32_t pumpCount();
// Called at every pump with the pump's number (1 for the first), after the
// robot's clicks for that pump were delivered.
void onPump(std::function<void(int32_t)> hook);
void resetPump();

// Number of VPI_UpdateAllViews calls since the last resetViewsUpdated().
int32_t viewsUpdated();
void resetViewsUpdated();

// A panel the module registered with VPI_AddDialogPanel: ids from 1, in
// order of registration; VPI_RemoveDialogPanel takes it out of the list.
struct StandinPanel {
  uint32_t id;
  VpiWindow window;
  std::string title;
};
const std::vector<StandinPanel>& panels();
void resetPanels();

}  // namespace standin

#endif  // MORVANE_STANDIN_STANDINHOST_H_
