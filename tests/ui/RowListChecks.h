// What a user sees of the panel's row list, checked the same way on every
// backend: each backend's test gives a robot that makes the panel with its
// rows, scrolls it as the scroll bar would and reads where the rows are
// (the headless robot from the windows' state, the Win32 one from the real
// windows), and runs these checks with it.

#ifndef MORVANE_TESTS_UI_ROWLISTCHECKS_H_
#define MORVANE_TESTS_UI_ROWLISTCHECKS_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "dataset/LineDataSet.h"
#include "module/PluginModule.h"
#include "ui/LayerPanel.h"
#include "ui/LayerRow.h"
#include "ui/PlainWindow.h"
#include "ui/RowListWindow.h"

class RowListRobot {
 public:
  virtual ~RowListRobot() = default;
  // A new panel (the previous one and every data set gone) whose list holds
  // the rows of data sets 1..rows, each row resized to width x height
  // pixels as it is made (0 x 0: the template's own size).
  virtual LayerPanel& openPanel(int32_t rows, int32_t width,
                                int32_t height) = 0;
  // A scroll request as the scroll bar sends it (WM_VSCROLL).
  virtual void scroll(int32_t request) = 0;
  // Drags the thumb towards that position and lets go; returns the last
  // position the bar reported while it was dragged.
  virtual int32_t dragThumb(int32_t towards) = 0;
  virtual bool barShown() = 0;
  virtual ScrollState bar() = 0;
  virtual WindowRect listClient() = 0;
  // The list window's outer widths set since openPanel, in order.
  virtual std::vector<int32_t> listWidthsSet() = 0;
  // Each row's outer rectangle in the list's client coordinates, and its
  // client width.
  virtual std::vector<WindowRect> rowRects() = 0;
  virtual int32_t rowClientWidth(int32_t index) = 0;
};

namespace row_list_checks {

inline std::vector<int32_t> tops(RowListRobot& robot) {
  std::vector<int32_t> out;
  for (const WindowRect& r : robot.rowRects()) out.push_back(r.top);
  return out;
}

// Brings the list to a position with the requests a user has: top, then
// pages and lines down.
inline void reach(RowListRobot& robot, int32_t position) {
  robot.scroll(kScrollTop);
  for (int32_t i = 0; i < position / 10; ++i) robot.scroll(kScrollPageDown);
  for (int32_t i = 0; i < position % 10; ++i) robot.scroll(kScrollLineDown);
}

}  // namespace row_list_checks

// Three rows of 100 pixels: every request code moves the rows to the place
// its table row gives (a line is 1 pixel, a page 10), the bar showing the
// same position; "bottom" shows the last
// row's bottom edge at the bottom of the client area.
inline void checkEveryRequestCodeMovesTheRows(RowListRobot& robot) {
  using row_list_checks::reach;
  using row_list_checks::tops;
  LayerPanel& panel = robot.openPanel(3, 88, 100);
  const int32_t page = robot.listClient().bottom;
  const int32_t limit = 300 - page;
  ASSERT_GT(limit, 20) << "page " << page;
  EXPECT_TRUE(robot.barShown());
  EXPECT_EQ(robot.bar().maximum, 300);
  EXPECT_EQ(robot.bar().page, page);
  struct Case {
    const char* what;
    int32_t from;
    int32_t request;
    int32_t to;
  };
  const Case cases[] = {
      {"line up", 5, kScrollLineUp, 4},
      {"line up at top", 0, kScrollLineUp, 0},
      {"line down", 5, kScrollLineDown, 6},
      {"line down at limit", limit, kScrollLineDown, limit},
      {"page up", 25, kScrollPageUp, 15},
      {"page up near top", 4, kScrollPageUp, 0},
      {"page down", 25, kScrollPageDown, 35},
      {"page down near limit", limit - 4, kScrollPageDown, limit},
      {"thumb position", 17, kScrollThumbPosition, 17},
      {"top", 17, kScrollTop, 0},
      {"bottom", 0, kScrollBottom, limit},
      {"end scroll", 17, kScrollEnd, 17},
      {"unknown code", 17, 99, 17},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    reach(robot, c.from);
    ASSERT_EQ(panel.list->scrollPos(), c.from);
    robot.scroll(c.request);
    EXPECT_EQ(panel.list->scrollPos(), c.to);
    EXPECT_EQ(robot.bar().position, c.to);
    EXPECT_EQ(tops(robot), (std::vector<int32_t>{-c.to, 100 - c.to, 200 - c.to}));
  }
  robot.scroll(kScrollBottom);
  EXPECT_EQ(robot.rowRects().at(2).bottom, page);

}

// Dragging the thumb moves the rows live, to where the bar says the thumb
// is; letting go moves nothing further.
inline void checkThumbDragMovesTheRowsLive(RowListRobot& robot) {
  LayerPanel& panel = robot.openPanel(3, 88, 100);
  const int32_t limit = 300 - robot.listClient().bottom;
  const int32_t tracked = robot.dragThumb(limit / 2);
  EXPECT_GT(tracked, 0);
  EXPECT_LE(tracked, limit);
  EXPECT_EQ(panel.list->scrollPos(), tracked);
  EXPECT_EQ(robot.bar().position, tracked);
  EXPECT_EQ(row_list_checks::tops(robot),
            (std::vector<int32_t>{-tracked, 100 - tracked, 200 - tracked}));
}

// Rows of the template's own size fit: stacked edge to edge from the top,
// the bar hidden, nothing scrolls, and the list keeps its width.
inline void checkRowsThatFitHideTheBar(RowListRobot& robot) {
  LayerPanel& panel = robot.openPanel(3, 0, 0);
  const std::vector<WindowRect> rows = robot.rowRects();
  ASSERT_EQ(rows.size(), 3u);
  const int32_t h = rows[0].bottom - rows[0].top;
  ASSERT_LE(3 * h, robot.listClient().bottom);
  EXPECT_EQ(panel.list->totalHeight(), 3 * h);
  EXPECT_EQ(row_list_checks::tops(robot), (std::vector<int32_t>{0, h, 2 * h}));
  EXPECT_FALSE(robot.barShown());
  for (int32_t request : {kScrollLineDown, kScrollPageDown, kScrollBottom}) {
    robot.scroll(request);
    EXPECT_EQ(panel.list->scrollPos(), 0) << request;
    EXPECT_EQ(row_list_checks::tops(robot).at(0), 0);
  }
  EXPECT_TRUE(robot.listWidthsSet().empty());
}

// Rows wider than the list: the first widens it once, so that its client
// area is exactly as wide as a row's; the others find it wide enough.
inline void checkWiderRowWidensTheListOnce(RowListRobot& robot) {
  robot.openPanel(3, 150, 42);
  const std::vector<int32_t> widths = robot.listWidthsSet();
  ASSERT_EQ(widths.size(), 1u);
  EXPECT_EQ(robot.listClient().right, robot.rowClientWidth(0));
}

// Removing a row, or an id no row has, shows the list from the top.
inline void checkRemovingARowReturnsToTheTop(RowListRobot& robot) {
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
    LayerPanel& panel = robot.openPanel(3, 88, 100);
    row_list_checks::reach(robot, 50);
    ASSERT_EQ(panel.list->scrollPos(), 50);
    panel.list->removeRow(c.rowId);
    EXPECT_EQ(panel.list->scrollPos(), 0);
    EXPECT_EQ(robot.bar().position, 0);
    std::vector<int32_t> ids;
    for (int32_t i = 0; i < panel.list->count(); ++i) {
      ids.push_back(panel.list->entry(i).rowId);
    }
    EXPECT_EQ(ids, c.ids);
    EXPECT_EQ(row_list_checks::tops(robot), c.tops);
  }
}

#endif  // MORVANE_TESTS_UI_ROWLISTCHECKS_H_
