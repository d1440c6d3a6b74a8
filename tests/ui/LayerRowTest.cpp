// A layer row on the headless backend: what it shows of its data set, what
// each control stores, one redraw request per change, the colour dialog and
// the swatch drawing.

#include "ui/LayerRow.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "resources/DialogIds.h"
#include "tests/ui/PanelTestSupport.h"

namespace {

using headless::DrawOp;
using headless::Window;

class LayerRowTest : public PanelTest {
 protected:
  Window& open(LayerRow& row) {
    EXPECT_TRUE(row.createModeless(hostPanelParent()));
    return *headless::windowOf(row);
  }
};

TEST_F(LayerRowTest, NewDataSetShowsNameTickYellowAndWidthOne) {
  openDataSet(1, "roads");
  LayerRow row(1);
  Window& w = open(row);
  EXPECT_EQ(w.text(layer_row::kTitle), "roads");
  EXPECT_TRUE(w.checked(layer_row::kShowCheck));
  const auto& items = w.control(layer_row::kWidthCombo).items;
  ASSERT_EQ(items.size(), 9u);
  for (size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(items[i].text, std::to_string(i + 1));
  }
  EXPECT_EQ(w.selectedItems(layer_row::kWidthCombo), std::vector<int32_t>{0});
  EXPECT_EQ(row.colour(), 0x0000FFFFu);
}

TEST_F(LayerRowTest, EachChangeStoresAllThreeAttributesAndRedrawsOnce) {
  struct Case {
    const char* what;
    std::function<void(Window&)> act;
    int32_t visible;
    int32_t width;
    uint32_t colour;
  };
  auto pickWidth = [](int32_t index) {
    return [index](Window& w) {
      w.setSelection(layer_row::kWidthCombo, index);
      w.changeSelection(layer_row::kWidthCombo);
    };
  };
  auto pickColour = [](bool ok) {
    return [ok](Window& w) {
      headless::onColourDialog([ok](uint32_t*, uint32_t* chosen) {
        *chosen = 0x00123456;
        return ok;
      });
      w.click(layer_row::kColourButton);
    };
  };
  const Case cases[] = {
      {"untick show",
       [](Window& w) {
         w.setChecked(layer_row::kShowCheck, false);
         w.click(layer_row::kShowCheck);
       },
       0, 3, 0x0000FFFF},
      {"width 9", pickWidth(8), 1, 9, 0x0000FFFF},
      {"width 1", pickWidth(0), 1, 1, 0x0000FFFF},
      {"colour OK", pickColour(true), 1, 3, 0x00123456},
      {"colour cancelled", pickColour(false), 1, 3, 0x0000FFFF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    resetTestHost();
    pluginModule().registry.empty();
    LineDataSet* ds = openDataSet(1, "roads");
    ds->lineWidth = 3;
    LayerRow row(1);
    Window& w = open(row);
    // Whatever else wrote the data set since, the row's copy is stored.
    ds->visible = 5;
    ds->lineColour = 0x00ABCDEF;
    c.act(w);
    EXPECT_EQ(standin::viewsUpdated(), 1);
    EXPECT_EQ(ds->visible, c.visible);
    EXPECT_EQ(ds->lineWidth, c.width);
    EXPECT_EQ(ds->lineColour, c.colour);
  }
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
  const struct {
    const char* what;
    std::string name;
    std::string title;
  } cases[] = {
      {"259 bytes", std::string(259, 'n'), std::string(259, 'n')},
      {"two-byte character cut", "\x93\xb9\x98\x48\x93", "\x93\xb9\x98\x48"},
      {"lone lead byte", "\x82", ""},
      {"katakana is one byte", "\xb6\xb7", "\xb6\xb7"},
      {"empty", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    pluginModule().registry.empty();
    openDataSet(1, c.name);
    LayerRow row(1);
    Window& w = open(row);
    EXPECT_EQ(w.text(layer_row::kTitle), c.title);
  }
}

TEST_F(LayerRowTest, RowWhoseDataSetIsGoneChangesNothing) {
  LineDataSet* other = openDataSet(1, "coast");
  LayerRow orphan(2);
  Window& w = open(orphan);
  EXPECT_FALSE(w.checked(layer_row::kShowCheck));
  EXPECT_TRUE(w.selectedItems(layer_row::kWidthCombo).empty());
  EXPECT_EQ(w.text(layer_row::kTitle), "");

  w.setSelection(layer_row::kWidthCombo, 6);
  w.changeSelection(layer_row::kWidthCombo);
  w.click(layer_row::kShowCheck);
  EXPECT_EQ(other->lineWidth, 1);
  EXPECT_EQ(other->visible, 1);
  EXPECT_EQ(other->lineColour, 0x0000FFFFu);
}

}  // namespace
