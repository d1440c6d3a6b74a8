// The panel's row list on the headless backend: the checks every backend
// passes (RowListChecks.h), exact thumb positions, a row added while
// scrolled, and the paint.

#include "ui/RowListWindow.h"

#include <gtest/gtest.h>

#include "resources/DialogIds.h"
#include "tests/ui/PanelTestSupport.h"
#include "tests/ui/RowListChecks.h"
#include "ui/LayerRow.h"
#include "ui/headless/PlainWindowHeadless.h"

namespace {

using headless::PlainWindowHeadless;
using headless::Window;

// Resizes each row window as it is shown (before the list measures it).
class RowSizer : public headless::Observer {
 public:
  RowSizer(int32_t width, int32_t height) : width(width), height(height) {}
  void windowShown(Window& w) override {
    if (w.templateId() == kLayerRowTemplate) w.setOuterSize(width, height);
  }
  int32_t width;
  int32_t height;
};

// Works the list through its headless scroll bar; rows are sized as they
// are shown.
class HeadlessRowListRobot : public RowListRobot {
 public:
  ~HeadlessRowListRobot() override { close(); }
  void close() {
    headless::setObserver(nullptr);
    delete panel;
    panel = nullptr;
    list = nullptr;
    pluginModule().registry.empty();
  }
  LayerPanel& openPanel(int32_t n, int32_t rowWidth,
                        int32_t rowHeight) override {
    close();
    RowSizer sizer(rowWidth, rowHeight);
    if (rowWidth > 0) headless::setObserver(&sizer);
    panel = new LayerPanel;
    EXPECT_TRUE(panel->createModeless(hostPanelParent()));
    list = headless::findPlainWindow(kRowListChildId);
    for (int32_t id = 1; id <= n; ++id) {
      openDataSet(id, "set" + std::to_string(id));
      EXPECT_TRUE(panel->list->addRow(id));
    }
    headless::setObserver(nullptr);
    return *panel;
  }
  void scroll(int32_t request) override { list->scroll(request); }
  int32_t dragThumb(int32_t towards) override {
    list->scroll(kScrollThumbTrack, towards);
    list->scroll(kScrollThumbPosition, towards);
    return towards;
  }
  bool barShown() override { return list->scrollBarVisible(); }
  ScrollState bar() override { return list->verticalScroll(); }
  WindowRect listClient() override { return list->clientRect(); }
  std::vector<int32_t> listWidthsSet() override { return list->widths; }
  std::vector<WindowRect> rowRects() override {
    std::vector<WindowRect> rects;
    for (int32_t i = 0; i < panel->list->count(); ++i) {
      rects.push_back(panel->list->entry(i).row->window()->outerRect());
    }
    return rects;
  }
  int32_t rowClientWidth(int32_t index) override {
    return panel->list->entry(index).row->window()->clientRect().right;
  }

  LayerPanel* panel = nullptr;
  PlainWindowHeadless* list = nullptr;
};

class RowListWindowTest : public PanelTest {
 protected:
  void TearDown() override {
    robot_.close();
    PanelTest::TearDown();
  }
  std::vector<int32_t> rowTops() { return row_list_checks::tops(robot_); }

  HeadlessRowListRobot robot_;
};

// The list lies over the placeholder: 109 x 160 pixels outside, a client
// area of 105 x 156.
TEST_F(RowListWindowTest, EveryRequestCodeMovesRowsToTheirPlace) {
  checkEveryRequestCodeMovesTheRows(robot_);
  EXPECT_EQ(robot_.listClient().bottom, 156);
  checkThumbDragMovesTheRowsLive(robot_);
  // A thumb dragged to a position puts the rows exactly there; letting go
  // (thumb position) moves nothing further.
  robot_.list->scroll(kScrollThumbTrack, 77);
  EXPECT_EQ(rowTops(), (std::vector<int32_t>{-77, 23, 123}));
  robot_.list->scroll(kScrollThumbPosition, 30);
  EXPECT_EQ(robot_.panel->list->scrollPos(), 77);
}

TEST_F(RowListWindowTest, RowsThatFitHideTheBarAndDoNotScroll) {
  checkRowsThatFitHideTheBar(robot_);
  EXPECT_EQ(robot_.panel->list->totalHeight(), 126);  // the template's size
}

TEST_F(RowListWindowTest, WiderRowWidensTheListOnce) {
  checkWiderRowWidensTheListOnce(robot_);
  // Outer width = 109 - 105 + 150: the client area as wide as the row.
  EXPECT_EQ(robot_.listWidthsSet(), std::vector<int32_t>{154});
  EXPECT_EQ(robot_.listClient().right, 150);
}

TEST_F(RowListWindowTest, RemovingARowOrAnAbsentIdReturnsToTheTop) {
  checkRemovingARowReturnsToTheTop(robot_);
}

TEST_F(RowListWindowTest, RowAddedWhileScrolledGoesBelowAtItsScrolledPlace) {
  LayerPanel& panel = robot_.openPanel(3, 88, 100);
  robot_.list->scroll(kScrollThumbTrack, 50);
  openDataSet(4, "set4");
  ASSERT_TRUE(panel.list->addRow(4));  // the template's 42 pixels
  EXPECT_EQ(panel.list->scrollPos(), 50);
  EXPECT_EQ(rowTops(), (std::vector<int32_t>{-50, 50, 150, 250}));
  EXPECT_EQ(robot_.bar().maximum, 342);
}

TEST_F(RowListWindowTest, PaintFillsTheClientAreaWithTheHighlightColour) {
  robot_.openPanel(0, 88, 42);
  const auto ops = robot_.list->paint();
  ASSERT_EQ(ops.size(), 1u);
  EXPECT_EQ(ops[0].kind, headless::DrawOp::kFillSystem);
  EXPECT_EQ(ops[0].first, kColourButtonHighlight);
  EXPECT_EQ(ops[0].rect.right, 105);
  EXPECT_EQ(ops[0].rect.bottom, 156);
}

}  // namespace
