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
// (<>"|?*), not only dots or blanks, no trailing dot or blank, no device
// name Windows reserves in every folder (CON, PRN, AUX, NUL, COM1-9,
// LPT1-9, in any case, with any extension), not ending inside a two-byte
// character, and the module path of the result within 259 bytes. An item's
// title obeys the same device-name rule (the module names its file after
// it).
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
// replaced whole after every change (platform/ReplacingFile.h). An index
// that cannot be understood (wrong header, a malformed line, a last line
// without its line feed, an unknown parent, an unsafe name) or that is no
// regular file (a folder, FIFO, device or link) stops the host's start
// (depotIndexReadable): the index alone knows the titles and ids the files
// on disk do not, and a depot started empty would let the module forget
// every data set it holds. Met outside a start, such an index leaves the
// depot empty and unchangeable (every Add and Remove gives 0), and the
// index file exactly as it is, for the user to repair or remove.

#ifndef MORVANE_STANDIN_STANDINDEPOT_H_
#define MORVANE_STANDIN_STANDINDEPOT_H_

#include <cstdint>
#include <string>

namespace standin {

// Native paths of the depot root and its index file.
std::string depotRoot();
std::string depotIndexPath();

// Whether the index can be read (or does not exist yet), read without
// touching it; false with *problem naming the file and saying why.
bool depotIndexReadable(std::string* problem);

// Forgets what is held in memory; the next call reads the index again (a
// new run of the host, for tests).
void resetDepot();

}  // namespace standin

#endif  // MORVANE_STANDIN_STANDINDEPOT_H_
