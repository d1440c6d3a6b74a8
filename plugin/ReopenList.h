// The reopen list "morvane.ini" in the depot sub-folder's directory: the
// names of the data sets open at shutdown, one a line in registry order,
// read back at the first 2D draw of the next run. And registerDataSet, by
// which every new data set joins the registry and the side panel.

#ifndef MORVANE_PLUGIN_REOPENLIST_H_
#define MORVANE_PLUGIN_REOPENLIST_H_

#include <cstdint>

#include "dataset/LineDataSet.h"

constexpr char kReopenListFile[] = "morvane.ini";

// Appends dataSet to the registry (which takes it over), adds its panel row
// with nextRowId and refreshes the panel's "show in 3D" switch
// (plugin/PanelAccess.h), then increments nextRowId. Returns false when the
// registry cannot grow; the caller then still owns the data set and nothing
// changed.
bool registerDataSet(LineDataSet* dataSet);

// Writes the reopen list: every registered data set's name and the text
// line end, in registry order, replacing the earlier file. Stops silently
// when the path does not fit or the file cannot be written; the list is
// written beside the old one and renamed over it once complete, so a failed
// write (a full disk) leaves the earlier list as it was.
void writeReopenList();

// Reads the reopen list and registers a data set for each name, with its
// cache file's contents and attributes when loadCache finds them (and
// registered all the same when it does not), showIn3d taken from the first
// registered data set. Stops silently when there is no list.
//
// Lines are read as a 260-byte line buffer reads them: at most 259 bytes at
// a time, so a longer line arrives in pieces; a carriage return before the
// line feed is dropped. A piece is taken as a name only when it is a whole
// line and a name the module can have written: not empty, no NUL byte, no
// control byte, no "\" outside a two-byte character, "/" or ":", not
// ending inside a two-byte character, and its cache file path fits. Every
// other piece (the pieces of an over-long line included) is skipped, so a
// list never makes the module read or write outside the depot folder.
//
// When memory for a data set runs out reading stops; with no data set open
// the layers and the depot folder are then removed.
void restoreReopenList();

#endif  // MORVANE_PLUGIN_REOPENLIST_H_
