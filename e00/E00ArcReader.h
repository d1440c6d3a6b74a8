// The arc reader: the line features of an Arc/Info Export file (.e00) into
// one line data set.

#ifndef MORVANE_E00_E00ARCREADER_H_
#define MORVANE_E00_E00ARCREADER_H_

#include "base/Result.h"
#include "dataset/LineDataSet.h"
#include "e00/ReadingProgress.h"

// Fills dataSet from the first ARC section of the .e00 file at path (module
// path, Shift-JIS): every arc's points, a separator between arcs, bounds
// kept up to date. The data set is cleared once the file has opened, so a
// second call leaves only the second file's arcs. Progress moves as
// ReadingProgress says; the bar ends at 100 on success.
//
// Succeeds at the end of the section or of the file (also when the file
// holds no ARC section: the data set is then empty), with the storage
// compacted. Shows nothing; otherwise the caller discards the data set and
// tells the user why (failureText), which is:
// - kCannotReadGisFile: the file cannot be opened (the data set is left as
//   it was), or a read fails part way;
// - kOutOfMemory: memory ran out;
// - kNotGeographicDegrees, kCannotConvertToDegrees or
//   kCoordinateSystemRefused (its text naming what): the coordinates are not
//   geographic degrees, and the PRJ section gives no conversion for them;
// - kCancelled: the user cancelled; the bar is not moved to 100 and the
//   storage is not compacted.
// The file is closed whatever happens; nothing else is kept.
Result readE00Arcs(LineDataSet& dataSet, const char* path,
                   ReadingProgressTarget& progress);

#endif  // MORVANE_E00_E00ARCREADER_H_
