#include "plugin/PanelAccess.h"

#include "module/PluginModule.h"
#include "ui/LayerPanel.h"
#include "ui/RowListWindow.h"

namespace {

PanelHooks gHooks;

LayerPanel* panel() { return pluginModule().panel; }

}  // namespace

void setPanelHooks(const PanelHooks& hooks) { gHooks = hooks; }

void panelAddRow(int32_t rowId) {
  if (gHooks.addRow != nullptr) {
    gHooks.addRow(rowId);
  } else if (panel() != nullptr) {
    panel()->list->addRow(rowId);
  }
}

void panelRemoveRow(int32_t rowId) {
  if (gHooks.removeRow != nullptr) {
    gHooks.removeRow(rowId);
  } else if (panel() != nullptr) {
    panel()->list->removeRow(rowId);
  }
}

void panelRefreshShowIn3d() {
  if (gHooks.refreshShowIn3d != nullptr) {
    gHooks.refreshShowIn3d();
  } else if (panel() != nullptr) {
    panel()->refreshShowIn3d();
  }
}
