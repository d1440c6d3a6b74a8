// A line data set's cache file, "<depotPath>\<name>.bin", laid out as
// dataset/CacheFormat.h describes: the display attributes, then every point
// as it is held. Written once after an import and again at shutdown; read
// when a data set is reopened.

#ifndef MORVANE_DATASET_CACHEFILE_H_
#define MORVANE_DATASET_CACHEFILE_H_

#include <cstdint>

#include "dataset/LineDataSet.h"

class ArchiveReader;
class ArchiveWriter;

// Writes the cache file, creating the depot folder's last level when it is
// missing; the data set is not changed.
// - Nothing is written and nothing shown when depotPath is empty, the name
//   leads out of the depot folder ("/", ":", a "\"-separated part of dots
//   only such as "..") or holds a zero byte, the path does not fit
//   kVpiPathSize bytes, or the file cannot be created (a directory in its
//   place, a file held open elsewhere): an existing file there stays as it
//   was.
// - When a write or the close fails (a full disk), the cut-short file is
//   deleted and "the depot disk is full" is shown, once. A cache file is
//   never left half written.
void saveCache(const LineDataSet& dataSet);

// Reads the cache file into dataSet, moving the host's progress bar.
// Returns 1 with attributes, points and bounds from the file. Returns 0,
// showing nothing, when the path cannot be built (as for saveCache), the
// file cannot be opened or its versions are newer than this module writes;
// then also when it is cut short or memory runs out, in which case:
// - a file cut inside the four attributes leaves the data set as it was;
// - a file cut inside the points leaves the attributes read, the points
//   that arrived and their bounds.
// The caller decides what to keep.
int32_t loadCache(LineDataSet& dataSet);

// The point block alone (version, count, points), for the cache file and
// its tests. readPoints clears the data set first; false when the block is
// cut short, newer than this module writes, or memory runs out.
void writePoints(const LineDataSet& dataSet, ArchiveWriter& out);
bool readPoints(LineDataSet& dataSet, ArchiveReader& in);

#endif  // MORVANE_DATASET_CACHEFILE_H_
