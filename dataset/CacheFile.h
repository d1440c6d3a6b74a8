// A line data set's cache file, "<depotPath>\<name>.bin", laid out as
// dataset/CacheFormat.h describes: the display attributes, then every point
// as it is held. Written after an import, and at close and shutdown when it
// changed; read when a data set is reopened.

#ifndef MORVANE_DATASET_CACHEFILE_H_
#define MORVANE_DATASET_CACHEFILE_H_

#include <cstdint>

#include "base/Result.h"
#include "dataset/LineDataSet.h"

class ArchiveReader;
class ArchiveWriter;

// How far readCache got.
enum class CacheLoad {
  kWhole,        // attributes and every point the file states
  kCannotOpen,   // missing, not a regular file (a link, FIFO, directory or
                 // device: never opened, so never waited on), held open
                 // elsewhere, or its path cannot be built
  kRefused,      // a header or point block newer than this module writes,
                 // or a count whose bytes cannot exist on this target
  kCut,          // the file ends (or a read fails) before the stated points
  kOutOfMemory,  // the point storage could not be had
};

// Writes the cache file whole or not at all, creating the depot folder's
// last level when it is missing: the bytes go to a temporary file beside
// it, which replaces the file in one rename once complete. Succeeds when
// the file now holds the data set, and records its stamp and the
// attributes written (see cacheUpToDate). Shows nothing. Otherwise the
// file, or whatever is in its place, is byte for byte as it was, no
// temporary file stays, and the reason is:
// - kDepotDiskFull: a write, flush or the replacement failed (a full disk);
// - kNotWritten: nothing was written because the data set's cache was not
//   read whole (cacheNotWhole), depotPath is empty, the name leads out of
//   the depot folder ("/", ":", a "\"-separated part of dots only such as
//   "..") or holds a zero byte, the path does not fit kVpiPathSize bytes,
//   a directory, FIFO or device is in the file's place, the file is held
//   open elsewhere, no temporary file can be created there, or memory runs
//   out.
// A symbolic link in the file's place is replaced by the new file; the file
// it leads to is never written.
Result saveCache(LineDataSet& dataSet);

// Deletes the data set's cache file, for a caller that knows it to be the
// data set's own (an import that could not be kept): only a regular file,
// never a link. False when nothing was deleted.
bool deleteCacheFile(const LineDataSet& dataSet);

// Reads the cache file into dataSet, moving the host's progress bar (none
// when the file cannot be opened). Sets dataSet.cacheNotWhole to whether
// the result is anything but kWhole; a whole read records the file's stamp
// and the attributes read. A read that is not whole leaves:
// - kCannotOpen, or a file cut or refused inside its header: the data set
//   as it was;
// - otherwise the attributes read and the points that arrived, with their
//   bounds, for display only: saveCache will not write them back.
// The file itself is never changed. Throws nothing: memory that runs out
// anywhere gives kOutOfMemory.
CacheLoad readCache(LineDataSet& dataSet);

// readCache(dataSet) == CacheLoad::kWhole ? 1 : 0.
int32_t loadCache(LineDataSet& dataSet);

// True only when the cache file still holds exactly the data set: a whole
// read or a successful write recorded its stamp, the display attributes are
// those recorded, and the file at the data set's path has that stamp now
// (the same size and modification time, and still a regular file, not a
// link). The points change only through clear and the appends, which
// forget the record.
bool cacheUpToDate(const LineDataSet& dataSet);

// The point block alone (version, count, points), for the cache file and
// its tests. readPoints clears the data set first; false when the block is
// cut short, newer than this module writes, states a count whose bytes do
// not fit size_t, or memory runs out.
void writePoints(const LineDataSet& dataSet, ArchiveWriter& out);
bool readPoints(LineDataSet& dataSet, ArchiveReader& in);

#endif  // MORVANE_DATASET_CACHEFILE_H_
