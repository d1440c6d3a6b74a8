#include "plugin/ReopenList.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "base/PathHelpers.h"
#include "dataset/CacheFile.h"
#include "module/PluginModule.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "platform/ReplacingFile.h"
#include "plugin/DepotFolders.h"
#include "plugin/LayerCallback.h"
#include "plugin/PanelAccess.h"
#include "resources/Texts.h"

namespace {

// Bytes a 260-byte line buffer takes at a time, the terminating zero aside.
constexpr size_t kPieceBytes = kVpiPathSize - 1;

bool buildListPath(char (&path)[kVpiPathSize]) {
  const char* folder = pluginModule().depotFolderPath;
  // No folder: the list must never land in the root of the current drive.
  if (folder[0] == '\0') return false;
  std::memcpy(path, folder, kVpiPathSize);
  path[kVpiPathSize - 1] = '\0';
  return appendPathComponent(path, kReopenListFile);
}

// Hands out the file's text the way a line buffer of 260 bytes reads it in
// text mode: up to and including the next line feed, at most 259 bytes.
class PieceReader {
 public:
  explicit PieceReader(PlatformFile& file) : file_(file) {}

  // False at the end of the file (or on a read error, taken as the end).
  // wholeLine: the piece ended with a line feed, which is dropped.
  bool next(std::string* piece, bool* wholeLine) {
    piece->clear();
    *wholeLine = false;
    while (piece->size() < kPieceBytes) {
      int c = get();
      if (c < 0) break;
      // Text mode drops the carriage return of a CR LF line end.
      if (c == '\r' && peek() == '\n') continue;
      if (c == '\n') {
        *wholeLine = true;
        return true;
      }
      *piece += static_cast<char>(c);
    }
    return !piece->empty();
  }

 private:
  int peek() {
    if (position_ == size_ && !fill()) return -1;
    return static_cast<unsigned char>(buffer_[position_]);
  }
  int get() {
    int c = peek();
    if (c >= 0) ++position_;
    return c;
  }
  bool fill() {
    int64_t n = file_.read(buffer_, sizeof buffer_);
    position_ = 0;
    size_ = n > 0 ? static_cast<size_t>(n) : 0;
    return size_ > 0;
  }

  PlatformFile& file_;
  char buffer_[16384];
  size_t position_ = 0;
  size_t size_ = 0;
};

}  // namespace

bool registerDataSet(LineDataSet* dataSet) {
  PluginModule& module = pluginModule();
  // In the registry first: the new row reads its data set there.
  if (!module.registry.append(dataSet)) return false;
  try {
    panelAddRow(module.nextRowId);
    panelRefreshShowIn3d();
  } catch (...) {
    // The caller still owns the data set: neither the registry nor a row
    // may keep it.
    module.registry.remove(module.registry.count() - 1).release();
    try {
      panelRemoveRow(module.nextRowId);
    } catch (...) {
    }
    throw;
  }
  ++module.nextRowId;
  return true;
}

bool reopenDataSet(const std::string& name, ReopenVisibility visibility,
                   std::string* unreadable) {
  PluginModule& module = pluginModule();
  std::unique_ptr<LineDataSet> dataSet(new (std::nothrow)
                                           LineDataSet(module.nextRowId));
  if (!dataSet) return false;
  dataSet->clear();
  dataSet->name = name;
  dataSet->depotPath = module.depotFolderPath;
  if (readCache(*dataSet) != CacheLoad::kWhole) *unreadable += "\n" + name;
  if (visibility == ReopenVisibility::kShown) dataSet->visible = 1;
  if (module.registry.count() > 0) {
    dataSet->showIn3d = module.registry.at(0)->showIn3d;
  }
  if (!registerDataSet(dataSet.get())) return false;
  dataSet.release();
  return true;
}

std::unique_ptr<LineDataSet> unregisterDataSet(int32_t rowId) {
  DataSetRegistry& registry = pluginModule().registry;
  const int32_t index = registry.indexOf(rowId);
  if (index < 0) return nullptr;
  panelRemoveRow(rowId);
  return registry.remove(index);
}

bool isKeptInDepot(const LineDataSet& dataSet) {
  const uint32_t folder = depotSubFolderId(DepotLookup::kTopFirst);
  return folder != 0 && VPI_DD_GetID(folder, dataSet.name.c_str()) != 0;
}

bool needsSaving(const LineDataSet& dataSet) {
  return !dataSet.cacheNotWhole && isKeptInDepot(dataSet) &&
         !cacheUpToDate(dataSet);
}

bool writeReopenList() {
  char path[kVpiPathSize];
  if (!buildListPath(path)) return false;
  ReplacingFile file(path);
  if (!file.opened()) return false;
  const DataSetRegistry& registry = pluginModule().registry;
  const std::string lineEnd = textLineEnd();
  for (int32_t i = 0; i < registry.count(); ++i) {
    const LineDataSet& dataSet = *registry.at(i);
    // A data set without its item (deleted by another copy, or never kept)
    // has no cache file to come back from.
    if (!isKeptInDepot(dataSet)) continue;
    if (!file.write(dataSet.name) || !file.write(lineEnd)) return false;
  }
  return file.commit();
}

void restoreReopenList() {
  char path[kVpiPathSize];
  if (!buildListPath(path)) return;
  std::unique_ptr<PlatformFile> file =
      openFileForReading(path, FileShare::kReadShared);
  if (!file) return;
  PluginModule& module = pluginModule();
  const uint32_t folder = depotSubFolderId(DepotLookup::kTopFirst);
  std::string unreadable;  // the names that did not come back whole
  PieceReader reader(*file);
  std::string piece;
  bool wholeLine = false;
  bool insideLongLine = false;
  bool outOfMemory = false;
  while (reader.next(&piece, &wholeLine)) {
    // The pieces of a line longer than the buffer are no name at all: the
    // one that filled it and every one after it up to the line end.
    bool filled = !wholeLine && piece.size() == kPieceBytes;
    bool fragment = insideLongLine || filled;
    insideLongLine = fragment && !wholeLine;
    if (fragment || !isUsableDataSetName(piece)) continue;
    // No item: deleted (a delete cut short before the list was rewritten),
    // so there is nothing of the user's to bring back.
    if (VPI_DD_GetID(folder, piece.c_str()) == 0) continue;
    if (!reopenDataSet(piece, ReopenVisibility::kAsCached, &unreadable)) {
      outOfMemory = true;
      break;
    }
  }
  file.reset();
  if (!unreadable.empty()) {
    showMessageBox((kTextCannotRestoreWorkingMaps + unreadable).c_str(),
                   MessageIcon::kExclamation);
  }
  if (outOfMemory && module.registry.count() == 0) {
    removeLayers();
    removeDepotFolder();
  }
}
