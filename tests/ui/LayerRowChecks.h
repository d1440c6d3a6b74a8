// What a user sees of a layer row and what its controls store, checked the
// same way on every backend: each backend's test gives a robot that shows a
// row and works its controls and the colour dialog as a person would (the
// headless robot through the controls' state, the Win32 one through the
// real controls and the system's colour dialog), and runs these checks.

#ifndef MORVANE_TESTS_UI_LAYERROWCHECKS_H_
#define MORVANE_TESTS_UI_LAYERROWCHECKS_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "dataset/LineDataSet.h"
#include "module/PluginModule.h"
#include "standin/StandinHost.h"
#include "ui/LayerRow.h"

class LayerRowRobot {
 public:
  virtual ~LayerRowRobot() = default;
  // The host as it starts (no redraws asked yet); the registry emptied.
  virtual void reset() = 0;
  // Shows the row's window as a child of the host's panel area.
  virtual void open(LayerRow& row) = 0;
  virtual std::string title(LayerRow& row) = 0;
  virtual bool showTicked(LayerRow& row) = 0;
  // The width combo's selected item, -1 for none.
  virtual int32_t widthSelected(LayerRow& row) = 0;
  // A click on the show check box, which toggles it.
  virtual void clickShow(LayerRow& row) = 0;
  virtual void pickWidth(LayerRow& row, int32_t index) = 0;
  // A click on the swatch, the colour dialog answered with OK and the
  // colour, or cancelled.
  virtual void pickColour(LayerRow& row, bool ok, uint32_t colour) = 0;
};

namespace layer_row_checks {

// Registers a data set as the open command does, with its creation
// attributes (visible, yellow, width 1, shown in 3D).
inline LineDataSet* registerDataSet(int32_t rowId, const std::string& name) {
  auto* ds = new LineDataSet(rowId);
  ds->name = name;
  pluginModule().registry.append(ds);
  return ds;
}

}  // namespace layer_row_checks

// A new data set shows its name, a ticked box and width "1".
inline void checkNewDataSetShowsNameTickAndWidthOne(LayerRowRobot& robot) {
  robot.reset();
  layer_row_checks::registerDataSet(1, "roads");
  LayerRow row(1);
  robot.open(row);
  EXPECT_EQ(robot.title(row), "roads");
  EXPECT_TRUE(robot.showTicked(row));
  EXPECT_EQ(robot.widthSelected(row), 0);
  EXPECT_EQ(row.colour(), 0x0000FFFFu);
}

// Each control stores all three attributes (the row's copies, whatever
// else wrote the data set since) and asks for exactly one redraw; a
// cancelled colour dialog too.
inline void checkEachChangeStoresAllThreeAndRedrawsOnce(LayerRowRobot& robot) {
  struct Case {
    const char* what;
    std::function<void(LayerRow&)> act;
    int32_t visible;
    int32_t width;
    uint32_t colour;
  };
  const Case cases[] = {
      {"untick show", [&](LayerRow& r) { robot.clickShow(r); }, 0, 3,
       0x0000FFFF},
      {"width 9", [&](LayerRow& r) { robot.pickWidth(r, 8); }, 1, 9,
       0x0000FFFF},
      {"width 1", [&](LayerRow& r) { robot.pickWidth(r, 0); }, 1, 1,
       0x0000FFFF},
      {"colour OK",
       [&](LayerRow& r) { robot.pickColour(r, true, 0x00123456); }, 1, 3,
       0x00123456},
      {"colour cancelled",
       [&](LayerRow& r) { robot.pickColour(r, false, 0x00123456); }, 1, 3,
       0x0000FFFF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    robot.reset();
    LineDataSet* ds = layer_row_checks::registerDataSet(1, "roads");
    ds->lineWidth = 3;
    LayerRow row(1);
    robot.open(row);
    ds->visible = 5;
    ds->lineColour = 0x00ABCDEF;
    c.act(row);
    EXPECT_EQ(standin::viewsUpdated(), 1);
    EXPECT_EQ(ds->visible, c.visible);
    EXPECT_EQ(ds->lineWidth, c.width);
    EXPECT_EQ(ds->lineColour, c.colour);
    EXPECT_EQ(row.colour(), c.colour);
  }
}

// A width outside the list's 1 to 9 (only a cache file brings one) shows as
// the nearest width and stays in the data set through other changes; a
// width the user picks replaces it.
inline void checkWidthsOutsideTheListShowClamped(LayerRowRobot& robot) {
  const struct {
    int32_t width, shown;
  } cases[] = {{INT32_MIN, 0}, {-1, 0}, {0, 0}, {1, 0}, {9, 8},
               {10, 8}, {1000000, 8}, {INT32_MAX, 8}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.width);
    robot.reset();
    LineDataSet* ds = layer_row_checks::registerDataSet(1, "roads");
    ds->lineWidth = c.width;
    LayerRow row(1);
    robot.open(row);
    EXPECT_EQ(robot.widthSelected(row), c.shown);
    robot.clickShow(row);
    EXPECT_EQ(ds->visible, 0);
    EXPECT_EQ(ds->lineWidth, c.width);
    robot.pickColour(row, true, 0x00102030);
    EXPECT_EQ(ds->lineWidth, c.width);
    robot.pickWidth(row, 3);
    EXPECT_EQ(ds->lineWidth, 4);
  }
}

// Names as titles: whole characters only, nothing read past the name.
inline void checkOddNamesShowAsWholeCharacters(LayerRowRobot& robot) {
  const struct {
    const char* what;
    std::string name;
    std::string title;
  } cases[] = {
      {"259 bytes", std::string(259, 'n'), std::string(259, 'n')},
      {"259 bytes ending in a cut character", std::string(258, 'n') + "\x93",
       std::string(258, 'n')},
      {"two-byte character cut", "\x93\xb9\x98\x48\x93", "\x93\xb9\x98\x48"},
      {"lone lead byte", "\x82", ""},
      {"katakana is one byte", "\xb6\xb7", "\xb6\xb7"},
      {"empty", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    robot.reset();
    layer_row_checks::registerDataSet(1, c.name);
    LayerRow row(1);
    robot.open(row);
    EXPECT_EQ(robot.title(row), c.title);
  }
}

// A row whose data set is gone from the registry shows the initial state
// and stores into no other data set.
inline void checkRowWhoseDataSetIsGoneChangesNothing(LayerRowRobot& robot) {
  robot.reset();
  LineDataSet* other = layer_row_checks::registerDataSet(1, "coast");
  LayerRow orphan(2);
  robot.open(orphan);
  EXPECT_FALSE(robot.showTicked(orphan));
  EXPECT_EQ(robot.widthSelected(orphan), -1);
  EXPECT_EQ(robot.title(orphan), "");
  robot.pickWidth(orphan, 6);
  robot.clickShow(orphan);
  robot.pickColour(orphan, true, 0x00654321);
  EXPECT_EQ(other->lineWidth, 1);
  EXPECT_EQ(other->visible, 1);
  EXPECT_EQ(other->lineColour, 0x0000FFFFu);
}

#endif  // MORVANE_TESTS_UI_LAYERROWCHECKS_H_
