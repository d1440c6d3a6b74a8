#include "e00/E00TableLayout.h"

#include <cstring>

#include "e00/E00Fields.h"

namespace {

// The characters of a line before its line break.
int32_t contentSize(const char* text, int32_t size) {
  while (size > 0 && (text[size - 1] == '\n' || text[size - 1] == '\r')) {
    --size;
  }
  return size;
}

// atoi on the columns [begin, begin + width) of a line of size characters.
int32_t integerAt(const char* text, int32_t size, int32_t begin,
                  int32_t width) {
  if (begin >= size) return 0;
  int32_t end = begin + width < size ? begin + width : size;
  return parseE00Integer(text + begin, text + end);
}

// Characters an item takes in the record text; 0 for a type or width the
// format does not have.
int32_t charsOf(int32_t type, int32_t width) {
  switch (type) {
    case kItemDate:
    case kItemCharacter:
    case kItemDigits:
      return width;
    case kItemDecimal:
      return 14;
    case kItemBinaryInteger:
      return width == 4 ? 11 : width == 2 ? 6 : 0;
    case kItemBinaryFloat:
      return width == 4 ? 14 : width == 8 ? 24 : 0;
    default:
      return 0;
  }
}

bool isCharacter(const E00Item& item) { return item.type == kItemCharacter; }

bool isInteger(const E00Item& item) {
  return item.type == kItemBinaryInteger || item.type == kItemDigits;
}

}  // namespace

bool E00TableLayout::start(const char* text, int32_t size) {
  valid_ = false;
  items_ = 0;
  recordChars_ = 0;
  size = contentSize(text, size);
  // The record count ends in column 56; writers never strip digits.
  if (size < 56) return false;
  itemsDeclared_ = integerAt(text, size, 34, 4);
  linesLeft_ = integerAt(text, size, 38, 4);
  storedSize_ = integerAt(text, size, 42, 4);
  records_ = integerAt(text, size, 46, 10);
  if (itemsDeclared_ < 1 || itemsDeclared_ > kMaxItems ||
      linesLeft_ < itemsDeclared_ || linesLeft_ > 4 * kMaxItems ||
      storedSize_ < 1 || records_ < 0) {
    return false;
  }
  valid_ = true;
  return true;
}

E00TableLayout::Step E00TableLayout::addDefinition(const char* text,
                                                   int32_t size) {
  if (!valid_ || linesLeft_ <= 0) return Step::kInvalid;
  size = contentSize(text, size);
  // A definition line runs at least to its index (column 69); a line that
  // begins with a blank is a record, come before the definitions ended.
  if (size < 69 || isE00Space(text[0])) {
    valid_ = false;
    return Step::kInvalid;
  }
  --linesLeft_;
  const int32_t index = integerAt(text, size, 65, 4);
  if (index > 0) {
    const int32_t width = integerAt(text, size, 16, 3);
    const int32_t position = integerAt(text, size, 21, 4);
    const int32_t type = integerAt(text, size, 34, 3) / 10;
    const int32_t chars = charsOf(type, width);
    if (items_ >= itemsDeclared_ || width < 1 || chars < 1 || position < 1 ||
        position - 1 > storedSize_ - width) {
      valid_ = false;
      return Step::kInvalid;
    }
    E00Item& item = item_[items_++];
    int32_t n = 16;
    while (n > 0 && isE00Space(text[n - 1])) --n;
    std::memcpy(item.name, text, static_cast<size_t>(n));
    item.name[n] = '\0';
    item.type = type;
    item.width = width;
    item.column = recordChars_;
    item.chars = chars;
    recordChars_ += chars;  // at most 500 x 999, no overflow
  }
  if (linesLeft_ > 0) return Step::kMore;
  if (items_ != itemsDeclared_) {
    valid_ = false;
    return Step::kInvalid;
  }
  return Step::kComplete;
}

int32_t E00TableLayout::nameItem(int32_t fixedColumn) const {
  // An item called NAME says what it holds; the usual name columns may
  // hold a short code instead (census tables put a county code there).
  for (int32_t i = 0; i < items_; ++i) {
    const char* n = item_[i].name;
    if (isCharacter(item_[i]) && (n[0] | 0x20) == 'n' &&
        (n[1] | 0x20) == 'a' && (n[2] | 0x20) == 'm' &&
        (n[3] | 0x20) == 'e' && n[4] == '\0') {
      return i;
    }
  }
  for (int32_t i = 0; i < items_; ++i) {
    if (isCharacter(item_[i]) && item_[i].column == fixedColumn) return i;
  }
  for (int32_t i = 0; i < items_; ++i) {
    if (isCharacter(item_[i])) return i;
  }
  return -1;
}

bool E00TableLayout::keyItems(int32_t* number, int32_t* id) const {
  if (items_ < 4 || !isInteger(item_[2]) || !isInteger(item_[3])) {
    return false;
  }
  *number = 2;
  *id = 3;
  return true;
}
