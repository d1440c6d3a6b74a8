// The module's folders in the host's data depot, where the cache files and
// the reopen list live:
//
//   "Morvane"                 folder "Morvane", in the depot root
//     "Arc/Info Export"       folder "ArcInfoExport" (the sub-folder)
//       <data set name>       item, file <name>.bin
//
// The sub-folder's directory is kept in pluginModule().depotFolderPath,
// which every data set's depotPath points at.

#ifndef MORVANE_PLUGIN_DEPOTFOLDERS_H_
#define MORVANE_PLUGIN_DEPOTFOLDERS_H_

#include <cstdint>
#include <string>

#include "host/PluginIf.h"

constexpr char kDepotTopTitle[] = "Morvane";
constexpr char kDepotTopFolder[] = "Morvane";
constexpr char kDepotSubTitle[] = "Arc/Info Export";
constexpr char kDepotSubFolder[] = "ArcInfoExport";

// The two ways of looking the sub-folder up by its two titles. They differ
// only when there is no top folder (its lookup gives 0):
enum class DepotLookup {
  // The 0 is passed on to the second lookup as it comes, so the host
  // searches its depot root for the sub-folder's title. findDepotFolder
  // has always looked the folder up so (at load, before an import, at the
  // first draw, for the close command); a sub-folder found in the root is
  // the module's folder.
  kRootWithoutTop,
  // The top folder's id is tested first: without it there is no
  // sub-folder. For the reopen dialog's list, the removal test, the naming
  // of a new data set and the reopen list, and for whoever reads the depot
  // from outside the module.
  kTopFirst,
};

// The sub-folder's id, 0 when not found; depotFolderPath is left as it is.
// Only host calls, so that a host program can read the depot as the module
// does.
inline uint32_t depotSubFolderId(DepotLookup lookup) {
  const uint32_t top = VPI_DD_GetID(0, kDepotTopTitle);
  if (top == 0 && lookup == DepotLookup::kTopFirst) return 0;
  return VPI_DD_GetID(top, kDepotSubTitle);
}

// Looks the sub-folder up (DepotLookup::kRootWithoutTop) and refreshes
// depotFolderPath: the sub-folder's directory, or empty when the lookup
// gives 0 (or the host's path does not come back). Returns the sub-folder's
// id, 0 when not found.
uint32_t findDepotFolder();

// Adds the top folder and the sub-folder and sets depotFolderPath to the
// sub-folder's directory. Returns 1, or 0 with depotFolderPath empty when
// the host refused either folder.
int32_t createDepotFolder();

// Removes the top folder, with the sub-folder and its items, when it exists
// and holds nothing to reopen: no item in the sub-folder, or the
// sub-folder's directory gone on disk. Items whose cache files are there
// stay, whatever failed (removing them would delete every closed data set).
void removeDepotFolder();

// Whether a and b name the same file on Windows: equal but for the case of
// their single-byte letters (the bytes of a two-byte character compare as
// they are).
bool sameFileName(const std::string& a, const std::string& b);

// Whether name is one the module could have written for a data set, and so
// one whose cache file lies inside the depot folder: not empty, no NUL or
// control byte, none of \ / : < > " | ? * outside a two-byte character, not
// ending inside a two-byte character, not a name Windows keeps for a device
// or changes (isReservedWindowsName), and name + ".bin" fits the depot
// folder's path buffer.
bool isUsableDataSetName(const std::string& name);

// Brings the sub-folder's items and files into agreement after a run that
// stopped midway (killed, or the power lost): a cache file without its item
// (an import stopped between writing its file and adding its item) gets its
// item back, titled after the file; a temporary file a write left behind
// ("<name>~" and eight hex digits, ".bin") that is no item's file is
// deleted. Nothing is done when the sub-folder or its directory is missing;
// a file whose name the module could not have written stays as it is.
// Items without their file are left to the user, who may have moved the
// file away for a while. Returns the number of items added.
int32_t reconcileDepotFolder();

// Whether directory exists: the file system finds an entry of
// directory\*.* (its "." entry at least). False when the pattern does not fit
// a path buffer, or directory is empty; the bare directory (or the drive's
// root) is then never asked about.
bool directoryExists(const char* directory);

#endif  // MORVANE_PLUGIN_DEPOTFOLDERS_H_
