#include "plugin/DepotFolders.h"

#include <cstring>

#include "base/PathHelpers.h"
#include "host/PluginIf.h"
#include "module/PluginModule.h"
#include "platform/FileSystem.h"

namespace {

// Fills depotFolderPath from the host; empty when the path does not come
// back terminated within the buffer.
void takeFolderPath(uint32_t id) {
  char* path = pluginModule().depotFolderPath;
  path[0] = '\0';
  if (id == 0) return;
  char buffer[kVpiPathSize];
  buffer[0] = '\0';
  VPI_DD_GetPath(id, buffer);
  if (std::memchr(buffer, '\0', sizeof buffer) == nullptr) return;
  std::memcpy(path, buffer, sizeof buffer);
}

}  // namespace

uint32_t findDepotFolder() {
  // The first id is deliberately not tested: the host searches its root for
  // parent 0, as it always has.
  uint32_t top = VPI_DD_GetID(0, kDepotTopTitle);
  uint32_t sub = VPI_DD_GetID(top, kDepotSubTitle);
  takeFolderPath(sub);
  return sub;
}

int32_t createDepotFolder() {
  uint32_t top = VPI_DD_AddFolder(0, kDepotTopTitle, kDepotTopFolder);
  if (top == 0) {
    pluginModule().depotFolderPath[0] = '\0';
    return 0;
  }
  uint32_t sub = VPI_DD_AddFolder(top, kDepotSubTitle, kDepotSubFolder);
  if (sub == 0) {
    pluginModule().depotFolderPath[0] = '\0';
    return 0;
  }
  takeFolderPath(sub);
  return 1;
}

void removeDepotFolder() {
  uint32_t top = VPI_DD_GetID(0, kDepotTopTitle);
  if (top == 0) return;
  // The folder goes with the cache files of every item in it: never while
  // they are still there to be reopened.
  uint32_t folder = VPI_DD_GetID(top, kDepotSubTitle);
  char directory[kVpiPathSize] = {};
  if (folder != 0 && VPI_DD_EnumFirstID(folder) != 0 &&
      VPI_DD_GetPath(folder, directory) != 0 && directoryExists(directory)) {
    return;
  }
  VPI_DD_RemoveFolder(top);
}

bool directoryExists(const char* directory) {
  char pattern[kVpiPathSize];
  // An empty directory would make the pattern "\*.*", the root of the
  // current drive, which always exists.
  if (directory == nullptr || directory[0] == '\0' ||
      std::strlen(directory) >= sizeof pattern) {
    return false;
  }
  std::strcpy(pattern, directory);
  if (!appendPathComponent(pattern, "*.*")) return false;
  return findFirstFile(pattern);
}
