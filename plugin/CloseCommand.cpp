#include "plugin/CloseCommand.h"

#include <algorithm>
#include <memory>
#include <string>

#include "base/HostBoundary.h"
#include "dataset/CacheFile.h"
#include "module/PluginModule.h"
#include "platform/MessageBox.h"
#include "plugin/CloseDataDialog.h"
#include "plugin/DepotFolders.h"
#include "plugin/LayerCallback.h"
#include "plugin/PanelAccess.h"
#include "plugin/ReopenList.h"
#include "resources/Texts.h"
#include "ui/FailureMessage.h"

namespace {

void runCloseCommand() {
  PluginModule& module = pluginModule();
  // Without the folder the item lookups search the depot root.
  const uint32_t folderId = findDepotFolder();
  CloseDataDialog dialog;
  const int32_t result = dialog.runModal(VPI_GetMainWnd());
  if (result == CloseDataDialog::kResultClose ||
      result == CloseDataDialog::kResultDelete) {
    const std::vector<int32_t>& chosen = dialog.selectedItemIds();
    // Data sets whose changes could not be written for a reason that was
    // not told on the spot (a full disk is), named in one message.
    std::string unsaved;
    // From the last index down, so that removing a slot never moves one
    // still to be visited.
    for (int32_t i = module.registry.count() - 1; i >= 0; --i) {
      const int32_t rowId = module.registry.at(i)->rowId;
      if (std::find(chosen.begin(), chosen.end(), rowId) == chosen.end()) {
        continue;
      }
      panelRemoveRow(rowId);
      std::unique_ptr<LineDataSet> dataSet = module.registry.remove(i);
      if (result == CloseDataDialog::kResultClose) {
        // Closed all the same when the write fails: the file keeps what it
        // held, whole, and the user is told.
        if (needsSaving(*dataSet)) {
          const Result saved = saveCache(*dataSet);
          if (!saved && !showFailure(saved)) unsaved += "\n" + dataSet->name;
        }
      } else {
        // The depot owns the item's file: removing the item removes it.
        uint32_t item = VPI_DD_GetID(folderId, dataSet->name.c_str());
        if (item != 0) VPI_DD_RemoveItem(item);
      }
      dataSet->clear();
    }
    if (!unsaved.empty()) {
      showMessageBox((kTextCannotSaveWorkingMaps + unsaved).c_str(),
                     MessageIcon::kExclamation);
    }
  }
  if (module.registry.count() == 0) {
    removeLayers();
    module.registry.empty();
  }
  VPI_UpdateAllViews(1);
}

}  // namespace

int32_t closeCommand(int32_t message, uintptr_t /*wParam*/, intptr_t lParam) {
  return guardHostCall(
      0,
      [&] {
        if (message == kMenuQueryEnabled) {
          *reinterpret_cast<int32_t*>(lParam) = pluginModule().layersActive;
        } else if (message == kMenuRunCommand) {
          runCloseCommand();
        }
        return 0;
      },
      [] { showMessageBox(kTextOutOfMemory, MessageIcon::kExclamation); });
}
