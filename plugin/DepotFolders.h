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

constexpr char kDepotTopTitle[] = "Morvane";
constexpr char kDepotTopFolder[] = "Morvane";
constexpr char kDepotSubTitle[] = "Arc/Info Export";
constexpr char kDepotSubFolder[] = "ArcInfoExport";

// Looks the sub-folder up and refreshes depotFolderPath: the sub-folder's
// directory, or empty when the lookup gives 0 (or the host's path does not
// come back). The top folder's id is passed on to the second lookup as it
// comes, so without a top folder the sub-folder is searched in the depot
// root. Returns the sub-folder's id, 0 when not found.
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

// The sub-folder's id by its two titles, the top folder's tested first (0
// when either is missing); unlike findDepotFolder, depotFolderPath is left
// as it is.
uint32_t depotSubFolderId();

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
