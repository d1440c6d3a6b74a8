#include "plugin/PluginEntry.h"

#include <cstddef>
#include <cstring>
#include <string>

#include "base/HostBoundary.h"
#include "dataset/CacheFile.h"
#include "module/PluginModule.h"
#include "platform/MessageBox.h"
#include "plugin/CloseCommand.h"
#include "plugin/DepotFolders.h"
#include "plugin/LayerCallback.h"
#include "plugin/OpenCommand.h"
#include "plugin/PlaceNameCommand.h"
#include "plugin/ReopenList.h"
#include "resources/Texts.h"
#include "ui/LayerPanel.h"

namespace {

constexpr int32_t kPluginInfoSize = 280;
constexpr int32_t kPluginInfoFlag = 1;

// The host's record is written field by field at its own offsets: only the
// bytes named are ours, everything else stays as the host passed it (the
// rest of each text field beyond its zero included).
void writeField(PluginInfo* info, size_t offset, const void* bytes,
                size_t size) {
  std::memcpy(reinterpret_cast<unsigned char*>(info) + offset, bytes, size);
}

int32_t runInit(PluginInfo* info, uint32_t plugin) {
  PluginModule& module = pluginModule();
  module.pluginHandle = plugin;
  // Signed: a host reporting a negative version is old, not new.
  if (VPI_GetVersion() < kOldestHostVersion) {
    showMessageBox(kTextHostTooOld, MessageIcon::kInformation);
    return 0;
  }
  writeField(info, offsetof(PluginInfo, size), &kPluginInfoSize,
             sizeof kPluginInfoSize);
  writeField(info, offsetof(PluginInfo, flag), &kPluginInfoFlag,
             sizeof kPluginInfoFlag);
  static_assert(sizeof kTextPluginName <= sizeof info->name, "name field");
  static_assert(sizeof kTextPluginVersion <= sizeof info->version,
                "version field");
  writeField(info, offsetof(PluginInfo, name), kTextPluginName,
             sizeof kTextPluginName);
  writeField(info, offsetof(PluginInfo, version), kTextPluginVersion,
             sizeof kTextPluginVersion);
  writeField(info, offsetof(PluginInfo, text3), "", 1);
  module.restorePending = 1;
  return 1;
}

void addMenus(uint32_t plugin) {
  uint32_t importMenu = VPI_AddPopupMenu(plugin, kPopupImportPosition,
                                         kTextMenuTitle, kPopupFlag);
  VPI_AddChildMenu(plugin, importMenu, kTextMenuE00File, openCommand);
  VPI_AddChildMenu(plugin, importMenu, kTextMenuE00PlaceNames,
                   placeNameCommand);
  uint32_t closeMenu = VPI_AddPopupMenu(plugin, kPopupClosePosition,
                                        kTextMenuTitle, kPopupFlag);
  VPI_AddChildMenu(plugin, closeMenu, kTextMenuE00File, closeCommand);
}

int32_t runLoad() {
  PluginModule& module = pluginModule();
  addMenus(module.pluginHandle);
  module.registry.empty();

  // A panel whose window cannot be made is still registered, with no
  // window, as the host expects one panel per module.
  module.panel = new LayerPanel();
  VpiWindow window = nullptr;
  if (module.panel->createModeless(VPI_GetParentDialogPanel()) &&
      module.panel->window() != nullptr) {
    window = module.panel->window()->handle();
  }
  module.panelId = VPI_AddDialogPanel(window, kTextMenuTitle);

  // A run that stopped midway may have left a cache file without its item.
  reconcileDepotFolder();

  if (module.restorePending != 0 &&
      VPI_GetProfileInt(module.pluginHandle, kProfileKeyLoad, 0) != 0) {
    addLayers();
  }
  return 1;
}

int32_t runClose() {
  PluginModule& module = pluginModule();
  if (findDepotFolder() != 0) {
    // Only what changed is written: each write of a large file is time,
    // and a chance for a failing disk to lose it.
    // What could not be written is told in one message, however many.
    std::string unsaved;
    bool diskFull = false;
    for (int32_t i = 0; i < module.registry.count(); ++i) {
      LineDataSet& dataSet = *module.registry.at(i);
      if (!needsSaving(dataSet)) continue;
      const Result saved = saveCache(dataSet);
      if (!saved) {
        unsaved += "\n" + dataSet.name;
        if (saved.reason() == FailureReason::kDepotDiskFull) diskFull = true;
      }
    }
    if (!unsaved.empty()) {
      const std::string text =
          (diskFull ? std::string(kTextDepotDiskFull) + "\n" : std::string()) +
          kTextCannotSaveWorkingMaps + unsaved;
      showMessageBox(text.c_str(), MessageIcon::kExclamation);
    }
    if (!writeReopenList()) {
      showMessageBox(kTextCannotSaveReopenList, MessageIcon::kExclamation);
    }
  }
  VPI_WriteProfileInt(module.pluginHandle, kProfileKeyLoad,
                      module.layersActive);
  return 1;
}

void runRelease() {
  PluginModule& module = pluginModule();
  if (module.panel != nullptr) {
    module.panel->destroyWindow();
    delete module.panel;
    module.panel = nullptr;
  }
  VPI_RemoveDialogPanel(module.panelId);
  module.panelId = 0;
  module.registry.empty();
}

int32_t runAbout() {
  std::string text = std::string(kTextPluginName) + "\n" + kTextPluginVersion;
  return showMessageBox(text.c_str(), MessageIcon::kInformation);
}

}  // namespace

extern "C" {

int32_t Init(PluginInfo* info, uint32_t plugin) {
  return guardHostCall(0, [&] { return runInit(info, plugin); });
}

int32_t Load(void) {
  return guardHostCall(1, [] { return runLoad(); });
}

int32_t Close(void) {
  return guardHostCall(1, [] { return runClose(); });
}

void Release(void) {
  guardHostCall(0, [] {
    runRelease();
    return 0;
  });
}

int32_t About(void) {
  return guardHostCall(0, [] { return runAbout(); });
}

}  // extern "C"
