// The reopen list "morvane.ini" in the depot sub-folder's directory: the
// names of the data sets open at shutdown, one a line in registry order,
// read back at the first 2D draw of the next run. And registerDataSet, by
// which every new data set joins the registry and the side panel.

#ifndef MORVANE_PLUGIN_REOPENLIST_H_
#define MORVANE_PLUGIN_REOPENLIST_H_

#include <cstdint>
#include <memory>
#include <string>

#include "dataset/LineDataSet.h"

constexpr char kReopenListFile[] = "morvane.ini";

// Appends dataSet to the registry (which takes it over), adds its panel row
// with nextRowId and refreshes the panel's "show in 3D" switch
// (plugin/PanelAccess.h), then increments nextRowId. Returns false when the
// registry cannot grow; the caller then still owns the data set and nothing
// changed. When making the row throws (memory), the data set is taken out of
// the registry again before the exception goes on: the caller still owns it.
bool registerDataSet(LineDataSet* dataSet);

// How a reopened data set's row starts: visible as its cache file keeps it
// (the reopen list, at the next start), or shown whatever the file says (a
// data set the user chose in the reopen dialog).
enum class ReopenVisibility { kAsCached, kShown };

// Reopens one data set: registers a data set called name with the contents
// and attributes of its cache file in the depot folder, showIn3d taken from
// the first registered data set. One whose file does not read back whole
// (cut, refused, missing, held by another program) is registered all the
// same, with what arrived, so that it can be closed or deleted and its name
// stays in the reopen list; it is marked so that its file is never written
// over, and "\n" + name is appended to unreadable for the message that
// tells the user. Returns false when memory for the data set or the
// registry ran out: nothing is then registered (the name may already stand
// in unreadable). A row that cannot be made throws, as registerDataSet
// does, the data set freed.
bool reopenDataSet(const std::string& name, ReopenVisibility visibility,
                   std::string* unreadable);

// Takes the data set with this row id out of the registry and the panel and
// hands it back (null when none has it).
std::unique_ptr<LineDataSet> unregisterDataSet(int32_t rowId);

// Whether the data set's name is an item of the depot sub-folder: only such
// a data set has a cache file the module may write and list.
bool isKeptInDepot(const LineDataSet& dataSet);

// Whether the data set's cache file is to be written when it is closed or
// at shutdown: it is kept in the depot, its file read back whole (one that
// did not is never written over), and its points, attributes or file on
// disk changed since it was last read or written.
bool needsSaving(const LineDataSet& dataSet);

// Writes the reopen list: the name and the text line end of every
// registered data set kept in the depot, in registry order, replacing the
// earlier file. The list is written beside the old one and renamed over it
// once complete. Returns false, the earlier list left as it was, when the
// path does not fit or the file cannot be written whole (a full disk, a
// read-only folder); the caller tells the user.
bool writeReopenList();

// Reads the reopen list and registers a data set for each name that is
// still an item of the depot sub-folder (a name without one was deleted),
// with its cache file's contents and attributes, showIn3d taken from the
// first registered data set. A data set whose cache file does not read back
// whole (cut, refused, missing, held by another program) is registered all
// the same, with what arrived, so that it can be closed or deleted and
// stays in the list; it is marked so that its file is never written over,
// and the user is told once, in one message naming every such data set.
// Stops silently when there is no list.
//
// Lines are read as a 260-byte line buffer reads them: at most 259 bytes at
// a time, so a longer line arrives in pieces; a carriage return before the
// line feed is dropped. A piece is taken as a name only when it is a whole
// line and a name the module can have written: not empty, no NUL byte, no
// control byte, no "\" outside a two-byte character, "/" or ":", not
// ending inside a two-byte character, not a name Windows keeps for a device
// or changes (isReservedWindowsName: "CON", "nul.x", " ", "..", "a."), and
// its cache file path fits. Every
// other piece (the pieces of an over-long line included) is skipped, so a
// list never makes the module read or write outside the depot folder.
//
// When memory for a data set runs out reading stops; with no data set open
// the layers and the depot folder are then removed.
void restoreReopenList();

#endif  // MORVANE_PLUGIN_REOPENLIST_H_
