#include "e00/E00PlaceNameReader.h"

#include <cstring>

#include "base/GrowableArray.h"
#include "base/Result.h"
#include "e00/E00Fields.h"
#include "e00/E00LineReader.h"
#include "e00/E00Projection.h"
#include "e00/E00TableLayout.h"
#include "e00/ReadingProgress.h"
#include "host/PluginIf.h"
#include "platform/MemoryBlock.h"
#include "platform/SjisLeadByte.h"

namespace {

constexpr int32_t kLabelGrowthStep = 1024;
// Records are written as 80-column lines; the first line of a record is
// brought back to that width before the second is appended.
constexpr int32_t kRecordLineWidth = 80;
constexpr int32_t kNameWidth = 40;

// Column layout (0-based offsets) of the fields the reader uses in a table
// whose item definitions are not known.
struct RecordColumns {
  int32_t number;
  int32_t id;
  int32_t name;
};
constexpr RecordColumns kSingleRecord = {28, 39, 52};
constexpr RecordColumns kDoubleRecord = {48, 59, 72};
constexpr int32_t kKeyWidth = 11;

// Where a record's keys and name stand, and how wide they are; a name width
// of 0 when the table has no name.
struct RecordFields {
  int32_t number;
  int32_t numberWidth;
  int32_t id;
  int32_t idWidth;
  int32_t name;
  int32_t nameWidth;
};

// Physical lines of a record kept for reading its fields; the lines of
// longer records are counted but not kept.
constexpr int32_t kMaxRecordLines = 32;
constexpr int32_t kRecordBufferSize =
    kMaxRecordLines * kRecordLineWidth > E00LineReader::kMaxPiece * 2
        ? kMaxRecordLines * kRecordLineWidth + 1
        : E00LineReader::kMaxPiece * 2 + 1;

// White space as the C runtime's isspace sees it in the "C" locale. Bytes
// of 0x80 and above are never white space here: they belong to Shift-JIS
// characters (0x85 is the second byte of one).
inline bool isBlank(char c) { return isE00Space(c); }

// The characters [begin, begin + width) of a text of size characters, cut
// at its end. A field that starts past the end is empty.
struct Field {
  const char* text;
  int32_t size;
};

Field field(const char* text, int32_t size, int32_t begin, int32_t width) {
  if (begin >= size) return {text + size, 0};
  int32_t n = size - begin < width ? size - begin : width;
  return {text + begin, n};
}

// atoi and atof on the characters of a field.
int32_t readInteger(Field f) {
  return parseE00Integer(f.text, f.text + f.size);
}
double readDouble(Field f) { return parseE00Number(f.text, f.text + f.size); }

// The place name in the name columns of a record: at most 40 bytes, cut at
// the end of the record, trimmed of white space on both sides. A two-byte
// character whose second byte lies beyond the cut is dropped, so that the
// host never reads a lead byte paired with the terminating zero. Returns
// the length written to name (which holds kNameWidth + 1 bytes).
int32_t extractName(Field f, char* name) {
  int32_t begin = 0;
  int32_t end = f.size;
  while (begin < end && isBlank(f.text[begin])) ++begin;
  for (;;) {
    while (end > begin && isBlank(f.text[end - 1])) --end;
    // Walk whole characters; a lead byte at the very end has lost its pair.
    int32_t i = begin;
    while (i < end) {
      if (isCodePage932LeadByte(static_cast<unsigned char>(f.text[i]))) {
        if (i + 1 >= end) break;
        i += 2;
      } else {
        ++i;
      }
    }
    if (i == end) break;
    end = i;  // drops the lone lead byte, then trims again
  }
  int32_t n = end - begin;
  std::memcpy(name, f.text + begin, static_cast<size_t>(n));
  name[n] = '\0';
  return n;
}

// Finds the first label with a given (number, id) without searching the
// whole table: an open-addressing hash of label indices, filled as labels
// are appended, keeping the earliest index of each key. Storage comes from
// MemoryBlock like the label table's, so both run out the same way.
class LabelIndex {
 public:
  explicit LabelIndex(const GrowableArray<LabelRecord>& labels)
      : labels_(labels) {}
  ~LabelIndex() { releaseMemoryBlock(block_); }
  LabelIndex(const LabelIndex&) = delete;
  LabelIndex& operator=(const LabelIndex&) = delete;

  // Records labels[index]; false when storage runs out.
  bool add(int32_t index) {
    if ((count_ + 1) * 2 > slots_ && !grow()) return false;
    const LabelRecord& label = labels_[index];
    if (place(label.number, label.id, index)) ++count_;
    return true;
  }

  // Index of the first label with this key, or -1.
  int32_t find(int32_t number, int32_t id) const {
    if (slots_ == 0) return -1;
    const int32_t* slot = table();
    uint32_t mask = static_cast<uint32_t>(slots_) - 1;
    for (uint32_t s = hash(number, id) & mask;; s = (s + 1) & mask) {
      int32_t index = slot[s];
      if (index < 0) return -1;
      const LabelRecord& label = labels_[index];
      if (label.number == number && label.id == id) return index;
    }
  }

 private:
  static uint32_t hash(int32_t number, int32_t id) {
    uint64_t k = (static_cast<uint64_t>(static_cast<uint32_t>(number)) << 32) |
                 static_cast<uint32_t>(id);
    k ^= k >> 33;
    k *= 0xFF51AFD7ED558CCDULL;
    k ^= k >> 33;
    k *= 0xC4CEB9FE1A85EC53ULL;
    k ^= k >> 33;
    return static_cast<uint32_t>(k);
  }

  int32_t* table() const { return static_cast<int32_t*>(block_.base); }

  // Puts index in its key's slot unless the key is there already (an
  // earlier label keeps it). True when a slot was taken.
  bool place(int32_t number, int32_t id, int32_t index) {
    int32_t* slot = table();
    uint32_t mask = static_cast<uint32_t>(slots_) - 1;
    for (uint32_t s = hash(number, id) & mask;; s = (s + 1) & mask) {
      if (slot[s] < 0) {
        slot[s] = index;
        return true;
      }
      const LabelRecord& label = labels_[slot[s]];
      if (label.number == number && label.id == id) return false;
    }
  }

  bool grow() {
    int64_t slots = slots_ == 0 ? 1024 : static_cast<int64_t>(slots_) * 2;
    if (slots > (int64_t{1} << 30)) return false;
    MemoryBlock fresh;
    if (!resizeMemoryBlock(fresh,
                           static_cast<size_t>(slots) * sizeof(int32_t))) {
      return false;
    }
    std::memset(fresh.base, 0xFF, fresh.bytes);  // every slot -1
    MemoryBlock old = block_;
    int32_t oldSlots = slots_;
    block_ = fresh;
    slots_ = static_cast<int32_t>(slots);
    const int32_t* previous = static_cast<const int32_t*>(old.base);
    for (int32_t s = 0; s < oldSlots; ++s) {
      if (previous[s] >= 0) {
        const LabelRecord& label = labels_[previous[s]];
        place(label.number, label.id, previous[s]);
      }
    }
    releaseMemoryBlock(old);
    return true;
  }

  const GrowableArray<LabelRecord>& labels_;
  MemoryBlock block_;
  int32_t slots_ = 0;
  int32_t count_ = 0;
};

class PlaceNameReader {
 public:
  PlaceNameReader(ReadingProgressTarget& progress)
      : progress_(progress), labels_(kLabelGrowthStep), index_(labels_) {}

  PlaceNameRead run(const char* path);

 private:
  // Each returns false when reading must stop, with failure_ saying why.
  bool onLine(const char* text, int32_t size);
  bool readLabel(const char* text, int32_t size);
  bool readRecord(const char* text, int32_t size);
  void startItemRecords();
  bool readItemRecordLine(const char* text, int32_t size);
  bool joinRecord(const char* record, int32_t size, const RecordFields& f);
  bool addName(const LabelRecord& label, const char* name);
  bool stop(Result why);
  bool refused();
  // Makes the labels read so far degrees, once the file has told how: at the
  // end of the first PRJ section, else before the first name is taken.
  bool settleLabels();

  // How the current table's records are read: by the fixed columns until
  // its item definitions are known, by the items once they are, and by the
  // fixed columns again for good when the definitions do not make sense.
  enum class TableMode { kFixed, kDefinitions, kItems };

  ReadingProgressTarget& progress_;
  E00LineReader file_;
  GrowableArray<LabelRecord> labels_;
  LabelIndex index_;
  // Where the reading stands: outside the sections it reads (headers, the
  // PRJ section), in the LAB section, or in an attribute table, before or
  // from its first record (after which a line that is no record ends it).
  enum class Section { kNone, kLabels, kTableHead, kTableRecords };
  bool inTable() const {
    return section_ == Section::kTableHead ||
           section_ == Section::kTableRecords;
  }

  Section section_ = Section::kNone;
  bool doublePrecision_ = false;
  TableMode tableMode_ = TableMode::kFixed;
  E00TableLayout layout_;
  RecordFields itemFields_ = {};
  // Lines of the current record read so far, and records still to come, in
  // a table read by its items.
  int32_t recordLine_ = 0;
  int32_t recordsLeft_ = 0;
  E00Projection projection_;
  // The labels held so far are in degrees (checked or converted); until
  // then they are as the file gives them, and some may not be degrees.
  bool labelsSettled_ = false;
  bool labelsNotDegrees_ = false;
  // Lines of the current label or record still to come: a label line is
  // followed by its box lines, a record's first line by its second.
  int32_t linesLeft_ = 0;
  // The current record's text. Read by the fixed columns: its first line,
  // at most one 254-character piece, padded to 80 columns, then its second
  // line. Read by the items: its physical lines, each padded to 80.
  char record_[kRecordBufferSize];
  int32_t recordSize_ = 0;
  int32_t namesAdded_ = 0;
  Result failure_;
};

PlaceNameRead PlaceNameReader::run(const char* path) {
  if (!file_.open(path)) return {FailureReason::kCannotReadGisFile, 0};
  ReadingProgress bar(progress_, file_.length());
  progress_.setPosition(0);

  const char* text;
  int32_t size;
  while (file_.next(&text, &size)) {
    if (!bar.atPosition(file_.position())) {
      file_.close();
      return {FailureReason::kCancelled, namesAdded_};
    }
    // The text ends at a zero byte, as the runtime's string functions see it.
    size = static_cast<int32_t>(strnlen(text, static_cast<size_t>(size)));
    if (!onLine(text, size)) {
      file_.close();
      return {failure_, namesAdded_};
    }
  }
  if (file_.failed()) {
    // Only part of the file was seen; end as a cancelled read does (the
    // names added so far stay in the host's database).
    file_.close();
    return {FailureReason::kCannotReadGisFile, namesAdded_};
  }
  projection_.endOfFile();
  if (projection_.refuses() || !settleLabels()) {
    file_.close();
    if (projection_.refuses()) refused();
    return {failure_, namesAdded_};
  }

  file_.close();
  if (namesAdded_ > 0) VPI_RemoveNameDBBlock(-1, -2);
  return {Result(), namesAdded_};
}

bool PlaceNameReader::onLine(const char* text, int32_t size) {
  int32_t first = 0;
  while (first < size && isBlank(text[first])) ++first;
  if (first == size) {
    // Within a record of known layout a blank line is one of its lines
    // (items of blanks, stripped); anywhere else it is not a line of
    // anything.
    if (inTable() && tableMode_ == TableMode::kItems && recordLine_ > 0) {
      return readItemRecordLine(text, size);
    }
    return true;
  }

  if (section_ == Section::kLabels) {
    if (linesLeft_ > 0) {
      --linesLeft_;
      return true;
    }
    return readLabel(text, size);
  }
  if (inTable() && tableMode_ == TableMode::kDefinitions) {
    if (text[0] != ' ') {
      switch (layout_.addDefinition(text, size)) {
        case E00TableLayout::Step::kMore:
          return true;
        case E00TableLayout::Step::kComplete:
          startItemRecords();
          return true;
        case E00TableLayout::Step::kInvalid:
          tableMode_ = TableMode::kFixed;
          return true;
      }
    }
    // A record before the definitions said it would come: they do not
    // describe this table.
    tableMode_ = TableMode::kFixed;
  }
  if (inTable() && tableMode_ == TableMode::kItems) {
    // Records of a table that begins with a number start with a blank or a
    // sign; a word there means the table held fewer records than it said,
    // and the line is read as what follows the table.
    const char c = static_cast<char>(text[0] | 0x20);
    if (recordLine_ > 0 || isWrittenAsStored(layout_.item(0).type) ||
        c < 'a' || c > 'z') {
      return readItemRecordLine(text, size);
    }
    section_ = Section::kNone;
  }
  if (inTable()) {
    if (linesLeft_ > 0) {
      linesLeft_ = 0;
      return readRecord(text, size);
    }
    if (text[0] == ' ') {
      // The record's first line, without its line break, back to the width
      // it was written with.
      int32_t n = size;
      if (n > 0 && text[n - 1] == '\n') --n;
      std::memcpy(record_, text, static_cast<size_t>(n));
      while (n < kRecordLineWidth) record_[n++] = ' ';
      recordSize_ = n;
      linesLeft_ = 1;
    } else if (section_ == Section::kTableRecords) {
      section_ = Section::kNone;
    }
    return true;
  }

  if (projection_.onLine(text, size)) {
    if (projection_.refuses()) return refused();
    return projection_.seen() ? settleLabels() : true;
  }
  // A section ended by the next one's header.
  if (projection_.refuses()) return refused();
  int32_t end = first;
  while (end < size && !isBlank(text[end])) ++end;
  const int32_t fieldSize = end - first;
  if (fieldSize == 3 && std::memcmp(text + first, "LAB", 3) == 0) {
    section_ = Section::kLabels;
    linesLeft_ = 0;
    return true;
  }
  for (int32_t i = first; i + 4 <= end; ++i) {
    if (text[i] == '.' && (text[i + 1] | 0x20) == 'p' &&
        (text[i + 2] | 0x20) == 'a' && (text[i + 3] | 0x20) == 't') {
      section_ = Section::kTableHead;
      linesLeft_ = 0;
      recordLine_ = 0;
      tableMode_ = layout_.start(text, size) ? TableMode::kDefinitions
                                             : TableMode::kFixed;
      break;
    }
  }
  return true;
}

bool PlaceNameReader::readLabel(const char* text, int32_t size) {
  LabelRecord label;
  label.id = readInteger(field(text, size, 0, 10));
  if (label.id == -1) {
    // The terminator's coordinates mean nothing; its x field does not get to
    // decide the precision of the file.
    section_ = Section::kNone;
    return true;
  }
  label.number = readInteger(field(text, size, 10, 10));
  Field x = field(text, size, 20, 14);
  bool wide = x.size < 11 || (x.text[10] != 'E' && x.text[10] != 'e');
  if (wide) {
    x = field(text, size, 20, 21);
    doublePrecision_ = true;
  }
  Field y = field(text, size, 34, 14);
  int32_t yWidth = 14;
  if (y.size < 11 || (y.text[10] != 'E' && y.text[10] != 'e')) {
    y = field(text, size, 41, 21);
    yWidth = 21;
  }
  // A label whose y lies past the end of its line's text, or which the end
  // of the file cuts short inside its y (no line break), has no position:
  // the section ends there, as at the end of a cut file.
  const bool lineBreak = size > 0 && text[size - 1] == '\n';
  const int32_t content = lineBreak ? size - 1 : size;
  const int32_t yBegin = static_cast<int32_t>(y.text - text);
  if (yBegin >= content || (!lineBreak && yBegin + yWidth > content)) {
    section_ = Section::kNone;
    return true;
  }
  label.x = readDouble(x);
  label.y = readDouble(y);
  if (labelsSettled_) {
    if (projection_.projected()) {
      double latitude, longitude;
      if (!projection_.toDegrees(label.x, label.y, &latitude, &longitude)) {
        return stop(FailureReason::kCannotConvertToDegrees);
      }
      label.y = latitude;
      label.x = longitude;
    } else if (!isGeographicPosition(label.y, label.x)) {
      return stop(FailureReason::kNotGeographicDegrees);
    }
  } else if (!isGeographicPosition(label.y, label.x)) {
    // Writers put the PRJ section after the labels: it may yet say how
    // to convert them.
    labelsNotDegrees_ = true;
  }
  if (!labels_.append(label) || !index_.add(labels_.size() - 1)) {
    return stop(FailureReason::kOutOfMemory);
  }
  // A double-precision label carries its box on two lines, a single one on
  // one line.
  linesLeft_ = wide ? 2 : 1;
  return true;
}

bool PlaceNameReader::readRecord(const char* text, int32_t size) {
  std::memcpy(record_ + recordSize_, text, static_cast<size_t>(size));
  const int32_t recordSize = recordSize_ + size;
  record_[recordSize] = '\0';
  section_ = Section::kTableRecords;

  const RecordColumns& c = doublePrecision_ ? kDoubleRecord : kSingleRecord;
  return joinRecord(record_, recordSize,
                    {c.number, kKeyWidth, c.id, kKeyWidth, c.name, kNameWidth});
}

void PlaceNameReader::startItemRecords() {
  tableMode_ = TableMode::kItems;
  recordLine_ = 0;
  recordsLeft_ = layout_.records();
  if (recordsLeft_ == 0) section_ = Section::kNone;

  const RecordColumns& c = doublePrecision_ ? kDoubleRecord : kSingleRecord;
  RecordFields& f = itemFields_;
  int32_t number;
  int32_t id;
  if (layout_.keyItems(&number, &id)) {
    f.number = layout_.item(number).column;
    f.numberWidth = layout_.item(number).chars;
    f.id = layout_.item(id).column;
    f.idWidth = layout_.item(id).chars;
  } else {
    f.number = c.number;
    f.numberWidth = kKeyWidth;
    f.id = c.id;
    f.idWidth = kKeyWidth;
  }
  // The name item: the one at the usual name columns, then one called NAME,
  // then the first character item; never a number. A table without any
  // character item gives no names.
  const int32_t name = layout_.nameItem(c.name);
  if (name < 0) {
    f.name = 0;
    f.nameWidth = 0;
  } else {
    f.name = layout_.item(name).column;
    f.nameWidth = layout_.item(name).chars < kNameWidth
                      ? layout_.item(name).chars
                      : kNameWidth;
  }
}

bool PlaceNameReader::readItemRecordLine(const char* text, int32_t size) {
  // Each physical line holds 80 characters of the record; writers may strip
  // the blanks at its end.
  int32_t n = size;
  if (n > 0 && text[n - 1] == '\n') --n;
  if (n > kRecordLineWidth) n = kRecordLineWidth;
  if (recordLine_ < kMaxRecordLines) {
    char* line = record_ + recordLine_ * kRecordLineWidth;
    std::memcpy(line, text, static_cast<size_t>(n));
    std::memset(line + n, ' ', static_cast<size_t>(kRecordLineWidth - n));
  }
  ++recordLine_;
  const int32_t lines = layout_.linesPerRecord();
  if (recordLine_ < lines) return true;
  recordLine_ = 0;
  section_ = Section::kTableRecords;
  if (--recordsLeft_ <= 0) section_ = Section::kNone;
  const int32_t kept = lines < kMaxRecordLines ? lines : kMaxRecordLines;
  int32_t recordSize = kept * kRecordLineWidth;
  if (recordSize > layout_.recordChars()) recordSize = layout_.recordChars();
  record_[recordSize] = '\0';
  return joinRecord(record_, recordSize, itemFields_);
}

bool PlaceNameReader::joinRecord(const char* record, int32_t size,
                                 const RecordFields& f) {
  if (!labelsSettled_ && !settleLabels()) return false;
  int32_t number = readInteger(field(record, size, f.number, f.numberWidth));
  int32_t id = readInteger(field(record, size, f.id, f.idWidth));
  int32_t found = index_.find(number, id);
  // Point coverages: the labels carry number 0 and the record's id.
  if (found < 0) found = index_.find(0, id);
  if (found < 0 || f.nameWidth == 0) return true;
  char name[kNameWidth + 1];
  if (extractName(field(record, size, f.name, f.nameWidth), name) == 0) {
    return true;
  }
  return addName(labels_[found], name);
}

bool PlaceNameReader::addName(const LabelRecord& label, const char* name) {
  tagNAMEDBITEM item;
  std::memset(&item, 0, sizeof item);
  item.size = 56;
  item.name = name;
  item.name2 = name;
  item.latitude = label.y;
  item.longitude = label.x;
  item.value32a = 0;
  item.value32b = 0;
  item.value8 = 0;
  item.value16a = 1;
  item.value16b = 80;
  item.value32c = 1;
  // Until the first name is in, make sure the host has a database to put it
  // in; a host that refused the previous names is asked again.
  if (namesAdded_ == 0 && VPI_IsOpenName() == 0 && VPI_NewNameDB() == 0) {
    return stop(FailureReason::kCannotCreateNameDb);
  }
  if (VPI_AddNameDBItem(&item) >= 0 && namesAdded_ < INT32_MAX) ++namesAdded_;
  return true;
}

// Ends the reading; whatever the reason, the names added so far stay in
// the host's database.
bool PlaceNameReader::stop(Result why) {
  failure_ = why;
  return false;
}

bool PlaceNameReader::settleLabels() {
  if (labelsSettled_) return true;
  labelsSettled_ = true;
  if (projection_.projected()) {
    for (int32_t i = 0; i < labels_.size(); ++i) {
      LabelRecord& label = labels_[i];
      double latitude, longitude;
      // A point the projection cannot take: nothing of the file is taken,
      // rather than names in the wrong place or missing.
      if (!projection_.toDegrees(label.x, label.y, &latitude, &longitude)) {
        return stop(FailureReason::kCannotConvertToDegrees);
      }
      label.y = latitude;
      label.x = longitude;
    }
    return true;
  }
  // Positions that cannot be degrees, or a PRJ section that says they are
  // not: nothing of the file is taken (the labels come before the tables
  // that give the names, and the PRJ section before them too, as writers
  // order a file).
  return labelsNotDegrees_ ? stop(FailureReason::kNotGeographicDegrees)
                           : true;
}

// The PRJ section refused the file, with its own message.
bool PlaceNameReader::refused() {
  char message[Result::kMaxText + 1];
  projection_.refusal(message, sizeof message);
  return stop(Result::refused(message));
}

}  // namespace

PlaceNameRead readE00PlaceNames(const char* path,
                                ReadingProgressTarget& progress) {
  PlaceNameReader reader(progress);
  return reader.run(path);
}
