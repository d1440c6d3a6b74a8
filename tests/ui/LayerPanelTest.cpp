// The side panel on the headless backend: the list over its placeholder,
// the 3D switch, the move-end notification and the shared brush.

#include "ui/LayerPanel.h"

#include <gtest/gtest.h>

#include "resources/DialogIds.h"
#include "tests/ui/PanelTestSupport.h"
#include "ui/headless/PlainWindowHeadless.h"

namespace {

using headless::Window;

class LayerPanelTest : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    panel = new LayerPanel;
    ASSERT_TRUE(panel->createModeless(hostPanelParent()));
    w = headless::windowOf(*panel);
  }
  void TearDown() override {
    delete panel;
    PanelTest::TearDown();
  }
  void clickShowIn3d(bool checked) {
    w->setChecked(layer_panel::kShowIn3dCheck, checked);
    w->click(layer_panel::kShowIn3dCheck);
  }

  LayerPanel* panel = nullptr;
  Window* w = nullptr;
};

TEST_F(LayerPanelTest, ListLiesOverThePlaceholder) {
  EXPECT_FALSE(panel->initialising());
  auto* list = headless::findPlainWindow(kRowListChildId);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->parent(), w->handle());
  const WindowRect r = list->outerRect();  // 73 x 107 dialog units
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 109);
  EXPECT_EQ(r.bottom, 160);
}

TEST_F(LayerPanelTest, SwitchWithNothingOpenChangesOnlyTheCheckBox) {
  clickShowIn3d(true);
  EXPECT_EQ(panel->showIn3dCheck(), 1);
  clickShowIn3d(false);
  openDataSet(1, "roads");  // shown in 3D when created
  panel->refreshShowIn3d();
  EXPECT_TRUE(w->checked(layer_panel::kShowIn3dCheck));
  EXPECT_EQ(standin::viewsUpdated(), 0);
}

TEST_F(LayerPanelTest, SwitchSetsEveryDataSetAndNewOneShowsItsOwnFlag) {
  LineDataSet* a = openDataSet(1, "roads");
  LineDataSet* b = openDataSet(2, "rivers");
  clickShowIn3d(false);
  EXPECT_EQ(a->showIn3d, 0);
  EXPECT_EQ(b->showIn3d, 0);
  LineDataSet* c = openDataSet(3, "coast");
  panel->refreshShowIn3d();
  EXPECT_TRUE(w->checked(layer_panel::kShowIn3dCheck));
  EXPECT_EQ(a->showIn3d, 0);
  EXPECT_EQ(c->showIn3d, 1);
  EXPECT_EQ(standin::viewsUpdated(), 0);
}

TEST_F(LayerPanelTest, DragPostsOneMoveEndWithTwosComplementCoordinates) {
  pluginModule().panelId = 7;
  headless::setClientOrigin(hostPanelParent(), {100, 50});
  w->send(kMessageEnterSizeMove);
  EXPECT_EQ(w->broughtToTop, 1);
  EXPECT_TRUE(panel->moving());
  headless::setCursorPosition({90, 80});  // (-10, 30) in the parent
  w->send(kMessageExitSizeMove);
  w->send(kMessageExitSizeMove);  // no loop running: nothing more
  EXPECT_FALSE(panel->moving());
  const auto& posted = headless::postedMessages();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].window, hostPanelParent());
  EXPECT_EQ(posted[0].message, 0x495u);
  EXPECT_EQ(posted[0].wParam, 7u);
  EXPECT_EQ(posted[0].lParam, static_cast<intptr_t>(0x001EFFF6));
}

TEST_F(LayerPanelTest, MoveEndCutsEachCoordinateTo16Bits) {
  const struct {
    int32_t x, y;
    intptr_t lParam;
  } cases[] = {
      {0, 0, 0},
      {-1, -1, static_cast<intptr_t>(0xFFFFFFFFu)},
      {-32768, 32767, static_cast<intptr_t>(0x7FFF8000)},
      {65537, -2, static_cast<intptr_t>(0xFFFE0001u)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(panelMovedLParam(c.x, c.y), c.lParam) << c.x << "," << c.y;
  }
}

TEST_F(LayerPanelTest, EditAndListBoxShareOneBrushFreedAtUnload) {
  const int32_t before = headless::liveBrushes();
  headless::setSystemColour(kColourButtonHighlight, 0x00E0F0FF);
  intptr_t brushes[2];
  const uint32_t kinds[2] = {kMessageColourEdit, kMessageColourListBox};
  for (int i = 0; i < 2; ++i) {
    headless::RecordingColourContext dc;
    MessageArgs args;
    args.colours = &dc;
    EXPECT_TRUE(w->send(kinds[i], 0, &args));
    EXPECT_EQ(dc.text, 0);
    EXPECT_EQ(dc.background, 0x00E0F0FF);
    brushes[i] = args.result;
  }
  EXPECT_NE(brushes[0], 0);
  EXPECT_EQ(brushes[0], brushes[1]);
  EXPECT_EQ(headless::brushesCreated(), 1);
  for (uint32_t other : {kMessageColourButton, kMessageColourStatic,
                         kMessageColourDialog, kMessageColourScrollBar,
                         kMessageColourMessageBox}) {
    MessageArgs args;
    EXPECT_FALSE(w->send(other, 0, &args)) << other;
    EXPECT_EQ(args.result, 0);
  }
  releasePanelBrush();
  EXPECT_EQ(headless::liveBrushes(), before);
}

TEST_F(LayerPanelTest, DestroyingThePanelDestroysRowsAndList) {
  openDataSet(1, "roads");
  openDataSet(2, "rivers");
  ASSERT_TRUE(panel->list->addRow(1));
  ASSERT_TRUE(panel->list->addRow(2));
  panel->destroyWindow();
  EXPECT_EQ(panel->list->count(), 0);
  EXPECT_EQ(headless::findDialog(kLayerRowTemplate), nullptr);
  EXPECT_EQ(headless::findPlainWindow(kRowListChildId), nullptr);
  EXPECT_FALSE(panel->list->addRow(1));  // no window to put it in
}

}  // namespace
