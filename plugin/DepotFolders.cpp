#include "plugin/DepotFolders.h"

#include <cstring>
#include <string>
#include <vector>

#include "base/PathHelpers.h"
#include "host/PluginIf.h"
#include "module/PluginModule.h"
#include "platform/FileSystem.h"
#include "platform/SjisLeadByte.h"

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
  const uint32_t sub = depotSubFolderId(DepotLookup::kRootWithoutTop);
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
  uint32_t folder = depotSubFolderId(DepotLookup::kTopFirst);
  char directory[kVpiPathSize] = {};
  if (folder != 0 && VPI_DD_EnumFirstID(folder) != 0 &&
      VPI_DD_GetPath(folder, directory) != 0 && directoryExists(directory)) {
    return;
  }
  VPI_DD_RemoveFolder(top);
}

namespace {

char foldedLetter(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool endsWithBin(const std::string& name) {
  if (name.size() < 4) return false;
  for (size_t i = 0; i < 4; ++i) {
    if (foldedLetter(name[name.size() - 4 + i]) != ".BIN"[i]) return false;
  }
  return true;
}

// "<name>~" and eight upper-case hex digits: a replacement's temporary.
bool isTemporaryStem(const std::string& stem) {
  if (stem.size() < 10 || stem[stem.size() - 9] != '~') return false;
  for (size_t i = stem.size() - 8; i < stem.size(); ++i) {
    const char c = stem[i];
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
  }
  return true;
}

}  // namespace

bool sameFileName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (isPathLeadByte(static_cast<unsigned char>(a[i]))) {
      if (a[i] != b[i] || (i + 1 < a.size() && a[i + 1] != b[i + 1])) {
        return false;
      }
      ++i;
    } else if (foldedLetter(a[i]) != foldedLetter(b[i])) {
      return false;
    }
  }
  return true;
}

bool isUsableDataSetName(const std::string& name) {
  if (name.empty()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (isPathLeadByte(c)) {
      if (i + 1 >= name.size()) return false;  // cut inside a character
      unsigned char second = static_cast<unsigned char>(name[i + 1]);
      if (second < 0x40) return false;  // no second byte: a broken text
      ++i;
      continue;
    }
    if (c < 0x20 || c == 0x7F || std::strchr("\\/:<>\"|?*", c) != nullptr) {
      return false;
    }
  }
  // "NUL.bin" would swallow the points and "CON.bin" read the console.
  if (isReservedWindowsName(name.c_str())) return false;
  char file[kVpiPathSize];
  std::memcpy(file, pluginModule().depotFolderPath, kVpiPathSize);
  file[kVpiPathSize - 1] = '\0';
  return appendPathComponent(file, (name + ".bin").c_str());
}

int32_t reconcileDepotFolder() {
  const uint32_t folder = findDepotFolder();
  const char* directory = pluginModule().depotFolderPath;
  if (folder == 0 || !directoryExists(directory)) return 0;
  std::vector<std::string> itemFiles;
  for (uint32_t id = VPI_DD_EnumFirstID(folder); id != 0;
       id = VPI_DD_EnumNextID(folder, id)) {
    char path[kVpiPathSize] = {};
    if (VPI_DD_GetPath(id, path) != 0) itemFiles.push_back(splitFileName(path));
  }
  auto isItemFile = [&](const std::string& name) {
    for (const std::string& file : itemFiles) {
      if (sameFileName(file, name)) return true;
    }
    return false;
  };
  int32_t added = 0;
  for (const std::string& name : folderEntries(directory)) {
    if (!endsWithBin(name) || isItemFile(name)) continue;
    char path[kVpiPathSize];
    std::memcpy(path, directory, kVpiPathSize);
    path[kVpiPathSize - 1] = '\0';
    if (!appendPathComponent(path, name.c_str()) ||
        fileKind(path) != FileKind::kFile || isSymbolicLink(path)) {
      continue;
    }
    const std::string stem = name.substr(0, name.size() - 4);
    if (isTemporaryStem(stem)) {
      deleteFile(path);
    } else if (isUsableDataSetName(stem) &&
               VPI_DD_AddItem(folder, stem.c_str(), name.c_str()) != 0) {
      ++added;
    }
  }
  return added;
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
