#include "e00/E00TableLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct LayoutCase {
  const char* name;
  std::string header;
  std::vector<std::string> definitions;
  E00TableLayout::Step last;
  int32_t lines;     // per record, when complete
  int32_t nameItem;  // for the usual single-precision name column (52)
};

const char kArea[] =
    "AREA              4-1   14-1  12 3 60-1  -1  -1-1                   1-";
const char kPerimeter[] =
    "PERIMETER         4-1   54-1  12 3 60-1  -1  -1-1                   2-";
const char kNumber[] =
    "CITIES#           4-1   94-1   5-1 50-1  -1  -1-1                   3-";
const char kId[] =
    "CITIES-ID         4-1  134-1   5-1 50-1  -1  -1-1                   4-";
const char kCode[] =
    "CC                2-1  174-1   2-1 20-1  -1  -1-1                   5-";
const char kName[] =
    "NAME             40-1  194-1  40-1 20-1  -1  -1-1                   6-";
const char kDeleted[] =
    "OLD               4-1   14-1  12 3 60-1  -1  -1-1                  -1-";

std::string header(int items, int lines, int bytes, int records) {
  char text[80];
  std::snprintf(text, sizeof text, "%-32sXX%4d%4d%4d%10d", "CITIES.PAT", items,
                lines, bytes, records);
  return text;
}

TEST(E00TableLayoutTest, DefinitionsGiveLinesAndTheNameItem) {
  using Step = E00TableLayout::Step;
  const LayoutCase cases[] = {
      // 14 + 14 + 11 + 11 + 2 + 40 = 92 characters: two lines; CC is the
      // first text item, NAME stands at the name columns.
      {"cities", header(6, 6, 58, 3),
       {kArea, kPerimeter, kNumber, kId, kCode, kName}, Step::kComplete, 2, 5},
      // A census county table: the state and county codes take the usual
      // name columns (CO starts at 52); the name is the item called NAME.
      {"census counties", header(7, 7, 81, 3),
       {kArea, kPerimeter, kNumber, kId,
        "ST                2-1  174-1   2-1 20-1  -1  -1-1                   5-",
        "CO                3-1  194-1   3-1 20-1  -1  -1-1                   6-",
        "NAME             60-1  224-1  60-1 20-1  -1  -1-1                   7-"},
       Step::kComplete, 2, 6},
      {"keys only: one line, no name", header(4, 4, 16, 3),
       {kArea, kPerimeter, kNumber, kId}, Step::kComplete, 1, -1},
      {"deleted item not in the records", header(4, 5, 16, 3),
       {kArea, kDeleted, kPerimeter, kNumber, kId}, Step::kComplete, 1, -1},
      {"fewer definitions than items", header(5, 5, 16, 3),
       {kArea, kPerimeter, kNumber, kId, " 0.0000000E+00"}, Step::kInvalid, 0,
       0},
      {"item past the stored record", header(4, 4, 12, 3),
       {kArea, kPerimeter, kNumber, kId}, Step::kInvalid, 0, 0},
      {"unknown type",
       header(1, 1, 4, 3),
       {"X                 4-1   14-1  12 3 90-1  -1  -1-1                   1-"},
       Step::kInvalid, 0, 0},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.name);
    E00TableLayout layout;
    ASSERT_TRUE(layout.start(c.header.c_str(),
                             static_cast<int32_t>(c.header.size())));
    Step step = Step::kMore;
    for (const std::string& d : c.definitions) {
      ASSERT_EQ(step, Step::kMore);
      step = layout.addDefinition(d.c_str(), static_cast<int32_t>(d.size()));
    }
    ASSERT_EQ(step, c.last);
    if (step != Step::kComplete) continue;
    EXPECT_EQ(layout.linesPerRecord(), c.lines);
    EXPECT_EQ(layout.nameItem(52), c.nameItem);
    int32_t number = -1, id = -1;
    EXPECT_TRUE(layout.keyItems(&number, &id));
    EXPECT_EQ(layout.item(number).column, 28);
    EXPECT_EQ(layout.item(id).column, 39);
  }
}

TEST(E00TableLayoutTest, HeaderWithoutCountsIsNotALayout) {
  E00TableLayout layout;
  for (const std::string& h :
       {std::string("CITIES.PAT"), header(0, 0, 16, 3), header(5, 4, 16, 3),
        header(501, 501, 16, 3), header(4, 4, 0, 3)}) {
    SCOPED_TRACE(h);
    EXPECT_FALSE(layout.start(h.c_str(), static_cast<int32_t>(h.size())));
  }
}

}  // namespace
