// The panel's row list on the headless backend: rows stacked edge to edge,
// every scroll request code, the hidden bar, widening once, removals.

#include "ui/RowListWindow.h"

#include <gtest/gtest.h>

#include "resources/DialogIds.h"
#include "tests/ui/PanelTestSupport.h"
#include "ui/LayerRow.h"
#include "ui/headless/HeadlessPlainWindow.h"

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

class RowListWindowTest : public PanelTest {
 protected:
  void TearDown() override {
    headless::setObserver(nullptr);
    delete panel;
    PanelTest::TearDown();
  }

  // A panel whose list holds rows 1..n, each of the given size.
  void openPanel(int32_t n, int32_t rowWidth, int32_t rowHeight) {
    RowSizer sizer(rowWidth, rowHeight);
    headless::setObserver(&sizer);
    panel = new LayerPanel;
    ASSERT_TRUE(panel->createModeless(hostPanelParent()));
    for (int32_t id = 1; id <= n; ++id) {
      openDataSet(id, "set" + std::to_string(id));
      ASSERT_TRUE(panel->list->addRow(id));
    }
    headless::setObserver(nullptr);
    bar = headless::findPlainWindow(kRowListChildId);
    ASSERT_NE(bar, nullptr);
  }

  std::vector<int32_t> rowTops() const {
    std::vector<int32_t> tops;
    for (int32_t i = 0; i < panel->list->count(); ++i) {
      tops.push_back(panel->list->entry(i).row->window()->outerRect().top);
    }
    return tops;
  }

  LayerPanel* panel = nullptr;
  PlainWindowHeadless* bar = nullptr;
};

// The list lies over the placeholder: 109 x 160 pixels outside, a client
// area of 105 x 156.
TEST_F(RowListWindowTest, EveryRequestCodeMovesRowsToTheirPlace) {
  struct Case {
    const char* what;
    int32_t from;
    int32_t request;
    int32_t track;
    int32_t to;
  };
  // Three rows of 100 pixels: range 300, page 156, limit 144.
  const Case cases[] = {
      {"line up", 5, kScrollLineUp, 0, 4},
      {"line up at top", 0, kScrollLineUp, 0, 0},
      {"line down", 5, kScrollLineDown, 0, 6},
      {"line down at limit", 144, kScrollLineDown, 0, 144},
      {"page up", 25, kScrollPageUp, 0, 15},
      {"page up near top", 4, kScrollPageUp, 0, 0},
      {"page down", 25, kScrollPageDown, 0, 35},
      {"page down near limit", 140, kScrollPageDown, 0, 144},
      {"thumb track", 0, kScrollThumbTrack, 77, 77},
      {"thumb position", 77, kScrollThumbPosition, 30, 77},
      {"top", 60, kScrollTop, 0, 0},
      {"bottom", 0, kScrollBottom, 0, 144},
      {"end scroll", 60, kScrollEnd, 0, 60},
      {"unknown code", 60, 99, 0, 60},
  };
  openPanel(3, 88, 100);
  EXPECT_EQ(bar->clientRect().bottom, 156);
  EXPECT_TRUE(bar->scrollBarVisible());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    bar->scroll(kScrollThumbTrack, c.from);
    ASSERT_EQ(panel->list->scrollPos(), c.from);
    bar->scroll(c.request, c.track);
    EXPECT_EQ(panel->list->scrollPos(), c.to);
    EXPECT_EQ(bar->verticalScroll().position, c.to);
    EXPECT_EQ(rowTops(), (std::vector<int32_t>{-c.to, 100 - c.to, 200 - c.to}));
  }
  // "bottom" shows the last row's bottom edge at the client area's bottom.
  bar->scroll(kScrollBottom);
  EXPECT_EQ(panel->list->entry(2).row->window()->outerRect().bottom, 156);
}

TEST_F(RowListWindowTest, RowsThatFitHideTheBarAndDoNotScroll) {
  openPanel(3, 88, 42);  // the template's own size
  EXPECT_EQ(panel->list->totalHeight(), 126);
  EXPECT_FALSE(bar->scrollBarVisible());
  EXPECT_EQ(rowTops(), (std::vector<int32_t>{0, 42, 84}));
  for (int32_t request : {kScrollLineDown, kScrollPageDown, kScrollBottom}) {
    bar->scroll(request);
    EXPECT_EQ(panel->list->scrollPos(), 0) << request;
  }
  EXPECT_TRUE(bar->widths.empty());  // narrower rows leave the width
}

TEST_F(RowListWindowTest, WiderRowWidensTheListOnce) {
  openPanel(3, 150, 42);
  // Outer width = 109 - 105 + 150: the client area as wide as the row.
  EXPECT_EQ(bar->widths, std::vector<int32_t>{154});
  EXPECT_EQ(bar->clientRect().right, 150);
}

TEST_F(RowListWindowTest, RemovingARowOrAnAbsentIdReturnsToTheTop) {
  const struct {
    int32_t rowId;
    std::vector<int32_t> ids;
    std::vector<int32_t> tops;
  } cases[] = {
      {2, {1, 3}, {0, 100}},
      {9, {1, 2, 3}, {0, 100, 200}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rowId);
    delete panel;
    panel = nullptr;
    pluginModule().registry.empty();
    openPanel(3, 88, 100);
    bar->scroll(kScrollThumbTrack, 50);
    panel->list->removeRow(c.rowId);
    EXPECT_EQ(panel->list->scrollPos(), 0);
    EXPECT_EQ(bar->verticalScroll().position, 0);
    std::vector<int32_t> ids;
    for (int32_t i = 0; i < panel->list->count(); ++i) {
      ids.push_back(panel->list->entry(i).rowId);
    }
    EXPECT_EQ(ids, c.ids);
    EXPECT_EQ(rowTops(), c.tops);
  }
}

TEST_F(RowListWindowTest, RowAddedWhileScrolledGoesBelowAtItsScrolledPlace) {
  openPanel(3, 88, 100);
  bar->scroll(kScrollThumbTrack, 50);
  openDataSet(4, "set4");
  ASSERT_TRUE(panel->list->addRow(4));  // the template's 42 pixels
  EXPECT_EQ(panel->list->scrollPos(), 50);
  EXPECT_EQ(rowTops(), (std::vector<int32_t>{-50, 50, 150, 250}));
  EXPECT_EQ(bar->verticalScroll().maximum, 342);
}

TEST_F(RowListWindowTest, PaintFillsTheClientAreaWithTheHighlightColour) {
  openPanel(0, 88, 42);
  const auto ops = bar->paint();
  ASSERT_EQ(ops.size(), 1u);
  EXPECT_EQ(ops[0].kind, headless::DrawOp::kFillSystem);
  EXPECT_EQ(ops[0].first, kColourButtonHighlight);
  EXPECT_EQ(ops[0].rect.right, 105);
  EXPECT_EQ(ops[0].rect.bottom, 156);
}

}  // namespace
