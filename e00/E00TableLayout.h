// The layout of an INFO table (.PAT and the like) as an .e00 file carries
// it: a header line, one definition line per item, then the records.
//
//   WELLS.PAT                       XX   5   5  46        80    header
//   AREA              4-1   14-1  12 3 60-1  -1  -1-1        1-  item
//
// Header, columns from 1: 35-38 items in use, 39-42 definition lines
// (deleted items included), 43-46 bytes of a stored record, 47-56 records.
// Definition line: 1-16 name, 17-19 stored width, 22-25 position in the
// stored record (from 1), 35-37 type x 10 + decimal places, 66-69 index
// (0 or less: a deleted item, which the records do not hold).
//
// In the records each item takes a fixed number of characters, by type:
// date (1), character (2) and digits (3) their stored width; a number with
// a decimal point (4) 14; a binary integer (5) of 2 or 4 bytes 6 or 11; a
// binary float (6) of 4 or 8 bytes 14 or 24. A record is these characters
// in item order, written in physical lines of 80 characters (the last one
// shorter; writers may strip trailing blanks from any of them).

#ifndef MORVANE_E00_E00TABLELAYOUT_H_
#define MORVANE_E00_E00TABLELAYOUT_H_

#include <cstdint>

// The item types, by the numbers a definition line gives them.
enum E00ItemType : int32_t {
  kItemDate = 1,
  kItemCharacter = 2,
  kItemDigits = 3,         // an integer written as its digits
  kItemDecimal = 4,        // a number with a decimal point
  kItemBinaryInteger = 5,
  kItemBinaryFloat = 6,
};

// Whether the item's characters in a record are its stored bytes as they
// are (a date, characters, digits), so that a record beginning with it may
// begin with any character; the other types are numbers, written after
// blanks or a sign.
inline bool isWrittenAsStored(int32_t type) {
  return type == kItemDate || type == kItemCharacter || type == kItemDigits;
}

struct E00Item {
  char name[17];   // trimmed, zero-terminated
  int32_t type;    // an E00ItemType, 1 to 6
  int32_t width;   // stored bytes
  int32_t column;  // first character in the record text, from 0
  int32_t chars;   // characters in the record text
};

class E00TableLayout {
 public:
  static constexpr int32_t kMaxItems = 500;
  static constexpr int32_t kLineWidth = 80;

  enum class Step { kMore, kComplete, kInvalid };

  // Starts a table from its header line (text of size characters, the line
  // break included or not). False when the header gives no usable counts;
  // the table's layout is then unknown.
  bool start(const char* text, int32_t size);

  // The next definition line. kMore while definition lines are still to
  // come, kComplete after the last one, kInvalid when the line (or the set
  // of definitions) does not describe records that can be read; the layout
  // is then unknown and further calls give kInvalid.
  Step addDefinition(const char* text, int32_t size);

  int32_t itemCount() const { return items_; }
  const E00Item& item(int32_t i) const { return item_[i]; }
  int32_t records() const { return records_; }
  // Characters of one record and the physical lines it takes (at least 1).
  int32_t recordChars() const { return recordChars_; }
  int32_t linesPerRecord() const {
    return recordChars_ <= 0 ? 1 : (recordChars_ + kLineWidth - 1) / kLineWidth;
  }

  // The character item that holds the place name: one named NAME, else the
  // one starting at fixedColumn (where names stand in the usual layout),
  // else the first character item. -1 when the table has none.
  int32_t nameItem(int32_t fixedColumn) const;

  // The record's label keys, the third and fourth items of an attribute
  // table (cover number and cover id), when both are integers. False when
  // the table does not have them so.
  bool keyItems(int32_t* number, int32_t* id) const;

 private:
  int32_t items_ = 0;          // items in use read so far
  int32_t itemsDeclared_ = 0;  // items in use, as the header says
  int32_t linesLeft_ = 0;      // definition lines still to come
  int32_t storedSize_ = 0;
  int32_t records_ = 0;
  int32_t recordChars_ = 0;
  bool valid_ = false;
  E00Item item_[kMaxItems];
};

#endif  // MORVANE_E00_E00TABLELAYOUT_H_
