#include "plugin/OpenCommand.h"

#include <cstring>
#include <memory>
#include <new>

#include "base/HostBoundary.h"
#include "base/PathHelpers.h"
#include "dataset/CacheFile.h"
#include "e00/E00ArcReader.h"
#include "module/PluginModule.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "plugin/DepotFolders.h"
#include "plugin/LayerCallback.h"
#include "plugin/ReopenDialog.h"
#include "plugin/ReopenList.h"
#include "resources/Texts.h"
#include "ui/ProgressDialog.h"

std::string dataSetNameOf(const char* path) {
  std::string name = splitFileName(path);
  size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

int32_t importE00File(const char* path) {
  PluginModule& module = pluginModule();
  auto progress = std::make_unique<ProgressDialog>();
  progress->create(VPI_GetMainWnd());
  const std::string name = dataSetNameOf(path);

  std::unique_ptr<LineDataSet> dataSet(new (std::nothrow)
                                           LineDataSet(module.nextRowId));
  if (!dataSet) {
    progress->destroyWindow();
    return 0;
  }
  dataSet->clear();
  dataSet->name = name;
  dataSet->depotPath = module.depotFolderPath;
  progress->setLabel(name.c_str());
  bool read = readE00Arcs(*dataSet, path, *progress);
  progress->destroyWindow();
  progress.reset();
  if (!read) {
    dataSet->clear();
    return 0;
  }
  // A new data set keeps the attributes it was created with; only reopened
  // ones follow the first data set's showIn3d.
  if (!registerDataSet(dataSet.get())) return 0;
  LineDataSet& registered = *dataSet.release();

  uint32_t top = VPI_DD_GetID(0, kDepotTopTitle);
  if (top == 0) return 1;
  uint32_t folder = VPI_DD_GetID(top, kDepotSubTitle);
  if (folder == 0) return 1;
  const std::string file = name + ".bin";
  VPI_DD_AddItem(folder, name.c_str(), file.c_str());
  saveCache(registered);
  return 1;
}

namespace {

void endWithNothingOpen(bool removeFolder) {
  if (pluginModule().registry.count() != 0) return;
  removeLayers();
  if (removeFolder) removeDepotFolder();
}

// Registers one data set per chosen depot item, from its cache file.
// False when memory ran out (the data sets reopened so far stay).
bool reopenItems(const std::vector<uint32_t>& itemIds) {
  PluginModule& module = pluginModule();
  for (uint32_t id : itemIds) {
    std::unique_ptr<LineDataSet> dataSet(new (std::nothrow)
                                             LineDataSet(module.nextRowId));
    if (!dataSet) return false;
    dataSet->clear();
    const char* title = VPI_DD_GetTitle(id);
    dataSet->name = title != nullptr ? title : "";
    dataSet->depotPath = module.depotFolderPath;
    // Registered whatever loadCache reports: one whose cache file is gone
    // or damaged can still be closed or deleted.
    loadCache(*dataSet);
    dataSet->visible = 1;
    if (module.registry.count() > 0) {
      dataSet->showIn3d = module.registry.at(0)->showIn3d;
    }
    if (!registerDataSet(dataSet.get())) return false;
    dataSet.release();
  }
  return true;
}

void chooseAndImport() {
  OpenFileDialogRequest request = {VPI_GetMainWnd(), kTextOpenFileDialogTitle,
                                   kTextE00FileFilter, "e00"};
  char path[kVpiPathSize];
  // Cancelled: the layers stay, even with nothing open.
  if (!showOpenFileDialog(request, path)) return;
  if (findDepotFolder() == 0 && createDepotFolder() == 0) {
    showMessageBox(kTextCannotMakeWorkingMap, MessageIcon::kExclamation);
    endWithNothingOpen(false);
    return;
  }
  if (importE00File(path) == 0) endWithNothingOpen(true);
  VPI_UpdateAllViews(1);
}

void runOpenCommand() {
  PluginModule& module = pluginModule();
  if (module.layersActive == 1) {
    VPI_DeleteLayer(module.layer2d);
    VPI_DeleteLayer3d(module.layer3d);
  }
  addLayers();

  if (findDepotFolder() != 0) {
    ReopenDialog dialog;
    dialog.choice = ReopenDialog::kOpenPrevious;
    if (dialog.runModal(VPI_GetMainWnd()) != kDialogOk) {
      endWithNothingOpen(false);
      VPI_UpdateAllViews(1);
      return;
    }
    if (dialog.choice == ReopenDialog::kOpenPrevious) {
      if (!directoryExists(module.depotFolderPath)) {
        showMessageBox(kTextWorkingMapDeleted, MessageIcon::kExclamation);
        endWithNothingOpen(true);
        VPI_UpdateAllViews(1);
        return;
      }
      if (!reopenItems(dialog.selectedItemIds())) {
        endWithNothingOpen(true);
        return;
      }
      VPI_UpdateAllViews(1);
      return;
    }
  }
  chooseAndImport();
}

}  // namespace

int32_t openCommand(int32_t message, uintptr_t /*wParam*/, intptr_t lParam) {
  return guardHostCall(
      0,
      [&] {
        if (message == kMenuQueryEnabled) {
          *reinterpret_cast<int32_t*>(lParam) = 1;
        } else if (message == kMenuRunCommand) {
          runOpenCommand();
        }
        return 0;
      },
      [] { showMessageBox(kTextOutOfMemory, MessageIcon::kExclamation); });
}
