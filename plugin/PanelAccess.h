// The side panel as the commands and the reopen-list restore reach it: add
// a data set's row, remove it, refresh the panel's "show in 3D" switch.
//
// Each call goes to pluginModule().panel, and does nothing while there is
// no panel, so a data set is registered, closed or deleted the same with or
// without one. A test may install its own functions instead (a function
// left null goes to the panel); setPanelHooks(PanelHooks()) removes them.

#ifndef MORVANE_PLUGIN_PANELACCESS_H_
#define MORVANE_PLUGIN_PANELACCESS_H_

#include <cstdint>

struct PanelHooks {
  void (*addRow)(int32_t rowId) = nullptr;
  void (*removeRow)(int32_t rowId) = nullptr;
  void (*refreshShowIn3d)() = nullptr;
};
void setPanelHooks(const PanelHooks& hooks);

// Adds the row of the registered data set with this row id (the row reads
// its data set from the registry, so the data set must be there first).
void panelAddRow(int32_t rowId);
// Removes the row with this row id, if the panel has one.
void panelRemoveRow(int32_t rowId);
// Sets the panel's "show in 3D" check box from the first data set.
void panelRefreshShowIn3d();

#endif  // MORVANE_PLUGIN_PANELACCESS_H_
