// Reads the labelled points of an .e00 file into the host's place-name
// database: positions from the LAB section, names from the first attribute
// table after it whose name contains ".PAT", joined by the label's two keys
// (label number and label id).
//
// What the reader takes from the text (columns counted from 1; lines read
// as E00LineReader cuts them; a line holding only white space is ignored
// wherever it stands):
//
//   LAB header     first field exactly "LAB" (case matters).
//   label line     id 1-10, number 11-20, x 21-34 and y 35-48 when the
//                  exponent "E" stands in column 31 (for y: 45); otherwise
//                  x 21-41 (y 42-62) and the file is double precision from
//                  then on. A single-precision label is followed by one box
//                  line, a double-precision one by two; both are skipped.
//                  Id -1 ends the section.
//   table header   first field, upper-cased, contains ".PAT".
//   record         two lines, the first beginning with a blank; the first is
//                  padded with blanks to 80 columns (writers strip them)
//                  before the second is appended. Number, id and name:
//                    single precision: 29-39, 40-50, 53-92
//                    double precision: 49-59, 60-70, 73-112
//                  Lines before the first record (item definitions) are
//                  skipped; after it, a line at a record start that does not
//                  begin with a blank ends the table.
//
// A record takes the position of the first label, in file order, with the
// same number and id. Its name is the 40 bytes of the name columns, passed
// to the host as Shift-JIS without conversion, trimmed of white space; a
// two-byte character cut by the 40th byte is dropped whole. Empty names and
// records without a label are skipped.

#ifndef MORVANE_E00_E00PLACENAMEREADER_H_
#define MORVANE_E00_E00PLACENAMEREADER_H_

#include <cstdint>

#include "base/Result.h"

class ReadingProgressTarget;

// One entry of the LAB section, as read.
struct LabelRecord {
  int32_t id;
  int32_t number;
  double y;
  double x;
};

// What a reading of place names came to.
struct PlaceNameRead {
  Result result;
  // Names the host took, also when the reading stopped short: they stay in
  // its database.
  int32_t namesAdded;
};

// Reads the file at path (module path, Shift-JIS) and adds its names to the
// host's place-name database, creating the database on the first name if
// none is open. Drives progress as the arc reader does: the bar moves and
// the host pumps messages at each multiple of 5 % of the file, and a cancel
// seen after a pump ends the read.
//
// Shows nothing. At the end of the file the result succeeds, and when there
// was at least one name the host is told the block of additions is
// complete; the caller tells the user the count (kTextNamesAddedFormat).
// Otherwise the result says why reading stopped:
// - kCannotReadGisFile: the file does not open, or a read fails part way;
// - kCannotCreateNameDb: the host has no database and cannot make one;
// - kOutOfMemory: the labels cannot be held;
// - kNotGeographicDegrees, kCannotConvertToDegrees, kCoordinateSystemRefused:
//   the positions are not degrees and the PRJ section converts none of them;
// - kCancelled: the user cancelled.
// The bar is left where the reading brought it: the caller moves it to 100
// once it has told the user of a complete reading (or of the missing
// database), as the reading shows its end.
PlaceNameRead readE00PlaceNames(const char* path,
                                ReadingProgressTarget& progress);

#endif  // MORVANE_E00_E00PLACENAMEREADER_H_
