#include "plugin/OpenCommand.h"

#include <cstring>
#include <memory>
#include <new>

#include "base/HostBoundary.h"
#include "base/PathHelpers.h"
#include "dataset/CacheFile.h"
#include "e00/E00ArcReader.h"
#include "module/PluginModule.h"
#include "platform/FileSystem.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "plugin/DepotFolders.h"
#include "plugin/LayerCallback.h"
#include "plugin/ReopenDialog.h"
#include "plugin/ReopenList.h"
#include "resources/Texts.h"
#include "ui/FailureMessage.h"
#include "ui/ProgressDialog.h"

std::string dataSetNameOf(const char* path) {
  std::string name = splitFileName(path);
  size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

namespace {

// Whether name is taken: by an item of the sub-folder, an open data set or
// a file in the depot folder, letter case aside.
bool isNameTaken(uint32_t folder, const std::string& name) {
  for (uint32_t id = VPI_DD_EnumFirstID(folder); id != 0;
       id = VPI_DD_EnumNextID(folder, id)) {
    const char* title = VPI_DD_GetTitle(id);
    if (title != nullptr && sameFileName(title, name)) return true;
  }
  const DataSetRegistry& registry = pluginModule().registry;
  for (int32_t i = 0; i < registry.count(); ++i) {
    if (sameFileName(registry.at(i)->name, name)) return true;
  }
  char file[kVpiPathSize];
  std::memcpy(file, pluginModule().depotFolderPath, kVpiPathSize);
  file[kVpiPathSize - 1] = '\0';
  // The file system finds a name that differs only in case, as Windows
  // does; a path that does not fit is no name the depot can hold.
  return !appendPathComponent(file, (name + ".bin").c_str()) ||
         fileKind(file) != FileKind::kMissing;
}

constexpr int32_t kMaxNameNumber = 99;

}  // namespace

std::string unusedDataSetName(const std::string& name) {
  const uint32_t folder = depotSubFolderId(DepotLookup::kTopFirst);
  if (folder == 0) return std::string();
  if (!isNameTaken(folder, name)) return name;
  for (int32_t n = 2; n <= kMaxNameNumber; ++n) {
    std::string numbered = name + " (" + std::to_string(n) + ")";
    if (!isNameTaken(folder, numbered)) return numbered;
  }
  return std::string();
}

int32_t importE00File(const char* path) {
  PluginModule& module = pluginModule();
  const std::string fileName = dataSetNameOf(path);
  if (!isUsableDataSetName(fileName)) {
    showMessageBox(kTextUnusableDataSetName, MessageIcon::kExclamation);
    return 0;
  }
  // Never another item's file: a name already in the depot (from another
  // folder, or in another letter case) gets the first free number.
  const std::string name = unusedDataSetName(fileName);
  if (name.empty()) {
    showMessageBox(kTextCannotMakeWorkingMap, MessageIcon::kExclamation);
    return 0;
  }
  auto progress = std::make_unique<ProgressDialog>();
  progress->create(VPI_GetMainWnd());

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
  const Result read = readE00Arcs(*dataSet, path, *progress);
  // Told over the progress dialog, before it closes.
  showFailure(read);
  progress->destroyWindow();
  progress.reset();
  if (!read) {
    dataSet->clear();
    return 0;
  }
  // A new data set keeps the attributes it was created with; only reopened
  // ones follow the first data set's showIn3d.
  const int32_t rowId = dataSet->rowId;
  if (!registerDataSet(dataSet.get())) return 0;
  LineDataSet& registered = *dataSet.release();

  // Kept only with its whole cache file and its item, in that order: a run
  // stopped between the two leaves a whole file, which the next start
  // gives its item back (reconcileDepotFolder), never an item without its
  // file. Otherwise the import is undone, so that nothing claims to be
  // kept that is not: also when memory runs out on the way.
  bool written = false;
  auto undo = [&] {
    if (written) deleteCacheFile(registered);
    unregisterDataSet(rowId);
  };
  try {
    const uint32_t folder = depotSubFolderId(DepotLookup::kTopFirst);
    const std::string file = name + ".bin";
    const Result saved =
        folder != 0 ? saveCache(registered) : FailureReason::kNotWritten;
    // A full disk is told before the import is undone.
    showFailure(saved);
    written = static_cast<bool>(saved);
    if (written &&
        VPI_DD_AddItem(folder, name.c_str(), file.c_str()) != 0) {
      return 1;
    }
  } catch (...) {
    undo();
    throw;
  }
  undo();
  showMessageBox(kTextCannotMakeWorkingMap, MessageIcon::kExclamation);
  return 0;
}

namespace {

void endWithNothingOpen(bool removeFolder) {
  if (pluginModule().registry.count() != 0) return;
  removeLayers();
  if (removeFolder) removeDepotFolder();
}

// Registers one data set per chosen depot item, from its cache file, adding
// to unreadable (each after a line break) the names of those whose file did
// not read back whole. False when memory ran out (the data sets reopened so
// far stay).
bool reopenItems(const std::vector<uint32_t>& itemIds,
                 std::string* unreadable) {
  for (uint32_t id : itemIds) {
    const char* title = VPI_DD_GetTitle(id);
    if (!reopenDataSet(title != nullptr ? title : "", ReopenVisibility::kShown,
                       unreadable)) {
      return false;
    }
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
      std::string unreadable;
      const bool reopened = reopenItems(dialog.selectedItemIds(), &unreadable);
      if (!unreadable.empty()) {
        showMessageBox((kTextCannotRestoreWorkingMaps + unreadable).c_str(),
                       MessageIcon::kExclamation);
      }
      if (!reopened) {
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
