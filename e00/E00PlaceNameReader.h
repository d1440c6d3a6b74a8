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

class ReadingProgressTarget;

// One entry of the LAB section, as read.
struct LabelRecord {
  int32_t id;
  int32_t number;
  double y;
  double x;
};

// Reads the file at path (module path, Shift-JIS) and adds its names to the
// host's place-name database, creating the database on the first name if
// none is open. Drives progress as the arc reader does: the bar moves and
// the host pumps messages at each multiple of 5 % of the file, and a cancel
// seen after a pump ends the read.
//
// Shows, through message boxes: the count of names added at the end of the
// file (information icon; the host is then told the block of additions is
// complete when there was at least one); "cannot read the file" when it does
// not open; "cannot create the place-name file" when the host has no
// database and cannot make one (reading then stops, true, no count); the
// memory message when the labels cannot be held (reading stops, false).
//
// Returns false when the file cannot be opened, the user cancelled or memory
// ran out; true otherwise, also when nothing was added. Names added before a
// cancel stay in the host's database.
bool readE00PlaceNames(const char* path, ReadingProgressTarget& progress);

#endif  // MORVANE_E00_E00PLACENAMEREADER_H_
