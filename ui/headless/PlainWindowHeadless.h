// The headless plain window (the panel's row list): geometry and scroll bar
// kept in memory the way Windows keeps them, and a robot that scrolls and
// paints it. Its outer rectangle is in its parent's client coordinates, the
// parent's client area taken to start at the screen's origin; the sunken
// edge (WS_EX_CLIENTEDGE) takes 2 pixels on each side. The scroll bar takes
// no room.

#ifndef MORVANE_UI_HEADLESS_PLAINWINDOWHEADLESS_H_
#define MORVANE_UI_HEADLESS_PLAINWINDOWHEADLESS_H_

#include <cstdint>
#include <vector>

#include "ui/PlainWindow.h"
#include "ui/headless/DrawingHeadless.h"

namespace headless {

class PlainWindowHeadless : public PlainWindow {
 public:
  static constexpr int32_t kEdge = 2;

  PlainWindowHeadless(PlainWindowHandler& handler, VpiWindow parent,
                      int32_t childId, const WindowRect& rect);

  VpiWindow handle() const override {
    return const_cast<PlainWindowHeadless*>(this);
  }
  WindowRect clientRect() const override;
  WindowRect outerRect() const override { return rect_; }
  void setBounds(int32_t x, int32_t y, int32_t width, int32_t height) override;
  void resize(int32_t width, int32_t height) override;
  ScrollState verticalScroll() const override { return scroll_; }
  void setVerticalScroll(const ScrollState& state) override;

  VpiWindow parent() const { return parent_; }
  int32_t childId() const { return childId_; }
  // Whether the bar shows: Windows hides it when the page covers the range.
  bool scrollBarVisible() const {
    return scroll_.page <= scroll_.maximum - scroll_.minimum;
  }
  // Every resize, as new outer widths, in order.
  std::vector<int32_t> widths;

  // Robot: a WM_VSCROLL with the request code; for a thumb track or
  // position the thumb is at trackPosition first. paint returns what
  // WM_PAINT drew.
  void scroll(int32_t request, int32_t trackPosition = 0);
  std::vector<DrawOp> paint();

 private:
  PlainWindowHandler& handler_;
  VpiWindow parent_;
  int32_t childId_;
  WindowRect rect_;
  ScrollState scroll_ = {0, 0, 0, 0, 0};
};

// The newest live plain window with that child id, or null.
PlainWindowHeadless* findPlainWindow(int32_t childId);

}  // namespace headless

#endif  // MORVANE_UI_HEADLESS_PLAINWINDOWHEADLESS_H_
