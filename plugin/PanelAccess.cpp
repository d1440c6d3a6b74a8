#include "plugin/PanelAccess.h"

namespace {

PanelHooks gHooks;

}  // namespace

void setPanelHooks(const PanelHooks& hooks) { gHooks = hooks; }

void panelAddRow(int32_t rowId) {
  if (gHooks.addRow != nullptr) gHooks.addRow(rowId);
}

void panelRemoveRow(int32_t rowId) {
  if (gHooks.removeRow != nullptr) gHooks.removeRow(rowId);
}

void panelRefreshShowIn3d() {
  if (gHooks.refreshShowIn3d != nullptr) gHooks.refreshShowIn3d();
}
