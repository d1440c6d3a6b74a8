// A layer row on the headless backend: the checks every backend passes
// (LayerRowChecks.h), the colour dialog's request and the swatch drawing.

#include "ui/LayerRow.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "resources/DialogIds.h"
#include "tests/ui/LayerRowChecks.h"
#include "tests/ui/PanelTestSupport.h"

namespace {

using headless::DrawOp;
using headless::Window;

// Works the row through its controls' state; the colour dialog answers
// as the robot was told.
class HeadlessRowRobot : public LayerRowRobot {
 public:
  void reset() override {
    resetTestHost();
    pluginModule().registry.empty();
  }
  void open(LayerRow& row) override {
    EXPECT_TRUE(row.createModeless(hostPanelParent()));
  }
  std::string title(LayerRow& row) override {
    return w(row).text(layer_row::kTitle);
  }
  bool showTicked(LayerRow& row) override {
    return w(row).checked(layer_row::kShowCheck);
  }
  int32_t widthSelected(LayerRow& row) override {
    const std::vector<int32_t> s = w(row).selectedItems(layer_row::kWidthCombo);
    return s.empty() ? -1 : s.front();
  }
  void clickShow(LayerRow& row) override {
    Window& window = w(row);
    window.setChecked(layer_row::kShowCheck,
                      !window.checked(layer_row::kShowCheck));
    window.click(layer_row::kShowCheck);
  }
  void pickWidth(LayerRow& row, int32_t index) override {
    w(row).setSelection(layer_row::kWidthCombo, index);
    w(row).changeSelection(layer_row::kWidthCombo);
  }
  void pickColour(LayerRow& row, bool ok, uint32_t colour) override {
    headless::onColourDialog([ok, colour](uint32_t*, uint32_t* chosen) {
      *chosen = colour;
      return ok;
    });
    w(row).click(layer_row::kColourButton);
  }

 private:
  static Window& w(LayerRow& row) { return *headless::windowOf(row); }
};

class LayerRowTest : public PanelTest {
 protected:
  Window& open(LayerRow& row) {
    robot_.open(row);
    return *headless::windowOf(row);
  }
  HeadlessRowRobot robot_;
};

TEST_F(LayerRowTest, NewDataSetShowsNameTickYellowAndWidthOne) {
  checkNewDataSetShowsNameTickAndWidthOne(robot_);
  LayerRow row(1);
  Window& w = open(row);
  const auto& items = w.control(layer_row::kWidthCombo).items;
  ASSERT_EQ(items.size(), 9u);
  for (size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(items[i].text, std::to_string(i + 1));
  }
}

TEST_F(LayerRowTest, EachChangeStoresAllThreeAttributesAndRedrawsOnce) {
  checkEachChangeStoresAllThreeAndRedrawsOnce(robot_);
}

TEST_F(LayerRowTest, WidthsOutsideTheListShowClamped) {
  checkWidthsOutsideTheListShowClamped(robot_);
}

TEST_F(LayerRowTest, ColourDialogStartsFromTheColourAndDropsCustomColours) {
  LineDataSet* ds = openDataSet(1, "roads");
  ds->lineColour = 0x00FF0000;
  LayerRow row(1);
  Window& w = open(row);
  headless::onColourDialog([](uint32_t* custom, uint32_t*) {
    for (int i = 0; i < kCustomColourCount; ++i) custom[i] = 0x00777777;
    return false;
  });
  w.click(layer_row::kColourButton);
  w.click(layer_row::kColourButton);
  const auto& calls = headless::colourDialogCalls();
  ASSERT_EQ(calls.size(), 2u);
  for (const auto& call : calls) {
    EXPECT_EQ(call.owner, w.handle());
    EXPECT_EQ(call.initial, 0x00FF0000u);
    EXPECT_EQ(call.flags, kColourDialogRgbInit | kColourDialogFullOpen);
    EXPECT_EQ(call.customColours[0], 0x00FF0000u);
    for (int i = 1; i < kCustomColourCount; ++i) {
      EXPECT_EQ(call.customColours[i], 0u) << i;
    }
  }
  EXPECT_EQ(w.control(layer_row::kColourButton).redraws, 2);
}

TEST_F(LayerRowTest, SwatchIsRaisedSunkenOrGreyByStateAndAction) {
  constexpr uint32_t kColour = 0x00336699;
  const WindowRect outer = {0, 0, 18, 19};  // 12 x 13 dialog units
  const WindowRect inner = {1, 1, 17, 18};
  const WindowRect fill = {2, 2, 16, 17};
  const std::vector<DrawOp> raised = {
      {DrawOp::kFrame3d, outer, 0, kColourButtonFace, kColourWindowFrame},
      {DrawOp::kFrame3d, inner, 0, kColourButtonHighlight, kColourButtonShadow},
      {DrawOp::kFill, fill, kColour, 0, 0}};
  const std::vector<DrawOp> sunken = {
      {DrawOp::kFrame3d, outer, 0, kColourButtonShadow, kColourButtonHighlight},
      {DrawOp::kFrame3d, inner, 0, kColourWindowFrame, kColourButtonFace},
      {DrawOp::kFill, fill, kColour, 0, 0}};
  std::vector<DrawOp> grey = raised;
  grey[2] = {DrawOp::kFillSystem, fill, 0, kColourButtonShadow, 0};
  struct Case {
    uint32_t action;
    uint32_t state;
    std::vector<DrawOp> ops;
  };
  const Case cases[] = {
      {kDrawActionEntire, 0, raised},
      {kDrawActionEntire, kItemStateSelected, raised},
      {kDrawActionSelect, kItemStateSelected, sunken},
      {kDrawActionSelect, 0, raised},
      {kDrawActionFocus, kItemStateSelected, {}},
      {kDrawActionFocus, kItemStateDisabled, grey},
      {kDrawActionSelect, kItemStateSelected | kItemStateDisabled, grey},
  };
  openDataSet(1, "roads")->lineColour = kColour;
  LayerRow row(1);
  Window& w = open(row);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.action << "/" << c.state);
    const std::vector<DrawOp> ops =
        w.drawItem(layer_row::kColourButton, c.action, c.state);
    ASSERT_EQ(ops.size(), c.ops.size());
    for (size_t i = 0; i < ops.size(); ++i) {
      EXPECT_EQ(ops[i].kind, c.ops[i].kind) << i;
      EXPECT_EQ(ops[i].rect.left, c.ops[i].rect.left) << i;
      EXPECT_EQ(ops[i].rect.top, c.ops[i].rect.top) << i;
      EXPECT_EQ(ops[i].rect.right, c.ops[i].rect.right) << i;
      EXPECT_EQ(ops[i].rect.bottom, c.ops[i].rect.bottom) << i;
      EXPECT_EQ(ops[i].colour, c.ops[i].colour) << i;
      EXPECT_EQ(ops[i].first, c.ops[i].first) << i;
      EXPECT_EQ(ops[i].second, c.ops[i].second) << i;
    }
  }
  // Other controls get the default owner-draw handling.
  EXPECT_TRUE(w.drawItem(layer_row::kShowCheck, kDrawActionEntire, 0).empty());
}

TEST_F(LayerRowTest, OddNamesShowAsWholeCharacters) {
  checkOddNamesShowAsWholeCharacters(robot_);
}

TEST_F(LayerRowTest, RowWhoseDataSetIsGoneChangesNothing) {
  checkRowWhoseDataSetIsGoneChangesNothing(robot_);
}

}  // namespace
