// Feeds arbitrary lines to E00TableLayout, the first as a table header and
// the rest as item definitions, and checks what must hold whatever the
// bytes: a complete layout has the items the header announced, each in the
// record text right after the one before, a record of at least one line
// that holds them all, and a name item (if any) that is a character item,
// and keys that are integer items. Lines are cut as E00LineReader cuts
// them (at a line break, or after 254 characters).

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "e00/E00TableLayout.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* at = reinterpret_cast<const char*>(data);
  const char* end = at + size;
  const char* text;
  int32_t n;
  if (!nextLine(&at, end, &text, &n)) return 0;
  static E00TableLayout layout;  // large: kept out of the fuzzer's stack
  if (!layout.start(text, n)) return 0;

  E00TableLayout::Step step = E00TableLayout::Step::kMore;
  while (step == E00TableLayout::Step::kMore && nextLine(&at, end, &text, &n)) {
    step = layout.addDefinition(text, n);
  }
  if (step == E00TableLayout::Step::kInvalid) {
    check(layout.addDefinition("X", 1) == E00TableLayout::Step::kInvalid);
    return 0;
  }
  if (step != E00TableLayout::Step::kComplete) return 0;

  check(layout.itemCount() >= 1 &&
        layout.itemCount() <= E00TableLayout::kMaxItems);
  int32_t column = 0;
  for (int32_t i = 0; i < layout.itemCount(); ++i) {
    const E00Item& item = layout.item(i);
    check(item.type >= 1 && item.type <= 6);
    check(item.width >= 1 && item.chars >= 1);
    check(item.column == column);
    check(std::memchr(item.name, '\0', sizeof item.name) != nullptr);
    column += item.chars;
  }
  check(column == layout.recordChars());
  const int32_t lines = layout.linesPerRecord();
  check(lines >= 1);
  check(lines * E00TableLayout::kLineWidth >= layout.recordChars());
  check((lines - 1) * E00TableLayout::kLineWidth < layout.recordChars());
  check(layout.records() >= 0);
  for (int32_t fixed : {52, 72, 0, -1}) {
    const int32_t name = layout.nameItem(fixed);
    check(name >= -1 && name < layout.itemCount());
    if (name >= 0) check(layout.item(name).type == 2);
  }
  int32_t number = -1;
  int32_t id = -1;
  if (layout.keyItems(&number, &id)) {
    check(number == 2 && id == 3);
    check(layout.item(number).type == 5 || layout.item(number).type == 3);
    check(layout.item(id).type == 5 || layout.item(id).type == 3);
  }
  return 0;
}
