#include "e00/E00PlaceNameReader.h"

#include <cstdio>
#include <cstring>

#include "base/GrowableArray.h"
#include "base/SjisLeadByte.h"
#include "e00/E00Fields.h"
#include "e00/E00LineReader.h"
#include "e00/ReadingProgress.h"
#include "host/PluginIf.h"
#include "platform/MemoryBlock.h"
#include "platform/MessageBox.h"
#include "resources/Texts.h"

namespace {

constexpr int32_t kLabelGrowthStep = 1024;
// Records are written as 80-column lines; the first line of a record is
// brought back to that width before the second is appended.
constexpr int32_t kRecordLineWidth = 80;
constexpr int32_t kNameWidth = 40;

// Column layout (0-based offsets) of the fields the reader uses.
struct RecordColumns {
  int32_t number;
  int32_t id;
  int32_t name;
};
constexpr RecordColumns kSingleRecord = {28, 39, 52};
constexpr RecordColumns kDoubleRecord = {48, 59, 72};
constexpr int32_t kKeyWidth = 11;

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

enum class Outcome { kContinue, kStop };

class PlaceNameReader {
 public:
  PlaceNameReader(ReadingProgressTarget& progress)
      : progress_(progress), labels_(kLabelGrowthStep), index_(labels_) {}

  bool run(const char* path);

 private:
  // Each returns false when reading must stop with result_.
  bool onLine(const char* text, int32_t size);
  bool readLabel(const char* text, int32_t size);
  bool readRecord(const char* text, int32_t size);
  bool addName(const LabelRecord& label, const char* name);
  bool outOfMemory();

  ReadingProgressTarget& progress_;
  E00LineReader file_;
  GrowableArray<LabelRecord> labels_;
  LabelIndex index_;
  bool inLabels_ = false;
  bool inTable_ = false;
  bool tableStarted_ = false;
  bool doublePrecision_ = false;
  // Lines of the current label or record still to come: a label line is
  // followed by its box lines, a record's first line by its second.
  int32_t linesLeft_ = 0;
  // First line of the current record: at most one 254-character piece,
  // padded to 80 columns, followed by room for the second line.
  char record_[E00LineReader::kMaxPiece * 2 + 1];
  int32_t recordSize_ = 0;
  int32_t namesAdded_ = 0;
  bool result_ = true;
};

bool PlaceNameReader::run(const char* path) {
  if (!file_.open(path)) {
    showMessageBox(kTextCannotReadGisFile, MessageIcon::kExclamation);
    return false;
  }
  ReadingProgress bar(progress_, file_.length());
  progress_.setPosition(0);

  const char* text;
  int32_t size;
  while (file_.next(&text, &size)) {
    if (!bar.atPosition(file_.position())) {
      file_.close();
      return false;
    }
    // The text ends at a zero byte, as the runtime's string functions see it.
    size = static_cast<int32_t>(strnlen(text, static_cast<size_t>(size)));
    if (!onLine(text, size)) {
      file_.close();
      return result_;
    }
  }
  if (file_.failed()) {
    // Only part of the file was seen; end as a cancelled read does (the
    // names added so far stay in the host's database).
    file_.close();
    showMessageBox(kTextCannotReadGisFile, MessageIcon::kExclamation);
    return false;
  }

  char message[128];
  std::snprintf(message, sizeof message, kTextNamesAddedFormat, namesAdded_);
  showMessageBox(message, MessageIcon::kInformation);
  file_.close();
  progress_.setPosition(100);
  if (namesAdded_ > 0) VPI_RemoveNameDBBlock(-1, -2);
  return true;
}

bool PlaceNameReader::onLine(const char* text, int32_t size) {
  int32_t first = 0;
  while (first < size && isBlank(text[first])) ++first;
  if (first == size) return true;  // no field: not a line of anything

  if (inLabels_) {
    if (linesLeft_ > 0) {
      --linesLeft_;
      return true;
    }
    return readLabel(text, size);
  }
  if (inTable_) {
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
    } else if (tableStarted_) {
      inTable_ = false;
      tableStarted_ = false;
    }
    return true;
  }

  int32_t end = first;
  while (end < size && !isBlank(text[end])) ++end;
  const int32_t fieldSize = end - first;
  if (fieldSize == 3 && std::memcmp(text + first, "LAB", 3) == 0) {
    inLabels_ = true;
    linesLeft_ = 0;
    return true;
  }
  for (int32_t i = first; i + 4 <= end; ++i) {
    if (text[i] == '.' && (text[i + 1] | 0x20) == 'p' &&
        (text[i + 2] | 0x20) == 'a' && (text[i + 3] | 0x20) == 't') {
      inTable_ = true;
      tableStarted_ = false;
      linesLeft_ = 0;
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
    inLabels_ = false;
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
  if (y.size < 11 || (y.text[10] != 'E' && y.text[10] != 'e')) {
    y = field(text, size, 41, 21);
  }
  label.x = readDouble(x);
  label.y = readDouble(y);
  if (!labels_.append(label)) return outOfMemory();
  if (!index_.add(labels_.size() - 1)) return outOfMemory();
  // A double-precision label carries its box on two lines, a single one on
  // one line.
  linesLeft_ = wide ? 2 : 1;
  return true;
}

bool PlaceNameReader::readRecord(const char* text, int32_t size) {
  std::memcpy(record_ + recordSize_, text, static_cast<size_t>(size));
  const int32_t recordSize = recordSize_ + size;
  record_[recordSize] = '\0';
  tableStarted_ = true;

  const RecordColumns& c = doublePrecision_ ? kDoubleRecord : kSingleRecord;
  int32_t number = readInteger(field(record_, recordSize, c.number, kKeyWidth));
  int32_t id = readInteger(field(record_, recordSize, c.id, kKeyWidth));
  int32_t found = index_.find(number, id);
  if (found < 0) return true;
  char name[kNameWidth + 1];
  if (extractName(field(record_, recordSize, c.name, kNameWidth), name) == 0) {
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
    showMessageBox(kTextCannotCreateNameDb, MessageIcon::kExclamation);
    progress_.setPosition(100);
    result_ = true;
    return false;
  }
  if (VPI_AddNameDBItem(&item) >= 0 && namesAdded_ < INT32_MAX) ++namesAdded_;
  return true;
}

bool PlaceNameReader::outOfMemory() {
  showMessageBox(kTextOutOfMemory, MessageIcon::kExclamation);
  result_ = false;
  return false;
}

}  // namespace

bool readE00PlaceNames(const char* path, ReadingProgressTarget& progress) {
  PlaceNameReader reader(progress);
  return reader.run(path);
}
