// The stand-in host's data depot (the VPI_DD_ functions): a tree of folders
// and items, each with an id, a title and a name on disk, kept under the
// depot root "<home>/depot" and remembered from one run of the host to the
// next in the index file "<home>/depot.idx".
//
// - A folder is a directory: its parent's directory plus its folder name
//   (the depot root for parent 0). VPI_DD_AddFolder creates it.
// - An item is a file in its folder's directory, named by its file name.
//   VPI_DD_AddItem only records it; whoever the item belongs to writes the
//   file. VPI_DD_RemoveItem deletes the file, VPI_DD_RemoveFolder the
//   folder's directory with everything in it.
// - VPI_DD_GetPath gives module paths (Shift-JIS, backslashes): a folder's
//   directory without a trailing backslash, an item's file path.
// - Ids are never 0 and never given out twice, across runs too. Children
//   are enumerated in the order added. Titles are compared byte for byte.
//
// Names on disk are single path components and are checked before anything
// is made: not empty, no separator ("\" outside a two-byte character, "/",
// ":"), no control byte or character Windows refuses in a file name
// (<>"|?*), not "." or "..", no trailing dot or blank, not ending inside a
// two-byte character, and the module path of the result within 259 bytes.
// A name that fails is refused (the Add call gives 0), so nothing outside
// the depot root is ever made, written or deleted. Within one folder two
// entries never share a name on disk (compared without case, as Windows
// does): adding one that is already there with the same title gives the
// existing id, with another title 0.
//
// Index file: the first line "#morvane-depot 1", the second "next N" (the
// next id to give out), then one line per entry, parents before children:
//
//   ID <TAB> PARENT <TAB> F|I <TAB> TITLE <TAB> NAME <LF>
//
// TITLE and NAME escaped as standin/StandinFiles.h describes. It is
// rewritten after every change, atomically. An index that cannot be
// understood (wrong header, a malformed line, an unknown parent, an unsafe
// name) is renamed to "depot.idx.bad" and reported on stderr; the depot
// then starts empty and no file under the depot root is touched.

#ifndef MORVANE_STANDIN_STANDINDEPOT_H_
#define MORVANE_STANDIN_STANDINDEPOT_H_

#include <cstdint>
#include <string>

namespace standin {

// Native paths of the depot root and its index file.
std::string depotRoot();
std::string depotIndexPath();

// Forgets what is held in memory; the next call reads the index again (a
// new run of the host, for tests).
void resetDepot();

}  // namespace standin

#endif  // MORVANE_STANDIN_STANDINDEPOT_H_
