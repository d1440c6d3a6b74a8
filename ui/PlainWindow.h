// A plain child window without a dialog template (the panel's row list), as
// a backend provides it. The behaviour lives in a PlainWindowHandler above
// the backends; the window only forwards its messages to the handler and
// carries out the handler's calls.

#ifndef MORVANE_UI_PLAINWINDOW_H_
#define MORVANE_UI_PLAINWINDOW_H_

#include <cstdint>

#include "host/PluginIf.h"
#include "ui/DialogWindow.h"
#include "ui/Drawing.h"

// Vertical scroll bar state (SCROLLINFO). trackPosition is read only: the
// thumb's position while the user drags it.
struct ScrollState {
  int32_t minimum;
  int32_t maximum;
  int32_t page;
  int32_t position;
  int32_t trackPosition;
};

// Scroll request codes of WM_VSCROLL, with their Win32 values.
enum : int32_t {
  kScrollLineUp = 0,         // SB_LINEUP
  kScrollLineDown = 1,       // SB_LINEDOWN
  kScrollPageUp = 2,         // SB_PAGEUP
  kScrollPageDown = 3,       // SB_PAGEDOWN
  kScrollThumbPosition = 4,  // SB_THUMBPOSITION
  kScrollThumbTrack = 5,     // SB_THUMBTRACK
  kScrollTop = 6,            // SB_TOP
  kScrollBottom = 7,         // SB_BOTTOM
  kScrollEnd = 8,            // SB_ENDSCROLL
};

class PlainWindow {
 public:
  virtual ~PlainWindow() = default;
  virtual VpiWindow handle() const = 0;
  virtual WindowRect clientRect() const = 0;  // left and top 0
  virtual WindowRect outerRect() const = 0;   // screen coordinates
  // In the parent's client coordinates, Z order unchanged.
  virtual void setBounds(int32_t x, int32_t y, int32_t width,
                         int32_t height) = 0;
  // Resizes without moving, Z order unchanged.
  virtual void resize(int32_t width, int32_t height) = 0;
  virtual ScrollState verticalScroll() const = 0;
  // Sets minimum, maximum, page and position, and redraws the bar. Without
  // SIF_DISABLENOSCROLL: the bar is hidden when the page covers the range.
  virtual void setVerticalScroll(const ScrollState& state) = 0;
};

class PlainWindowHandler {
 public:
  virtual ~PlainWindowHandler() = default;
  // The window exists (WM_CREATE after the default creation).
  virtual void onCreate(PlainWindow& window) = 0;
  // WM_VSCROLL with its request code; the default handling follows.
  virtual void onVerticalScroll(PlainWindow& window, int32_t request) = 0;
  // WM_PAINT, between BeginPaint and EndPaint.
  virtual void onPaint(PlainWindow& window, DrawTarget& target) = 0;
};

// The row list's window: class registered on first use (redraw on resizing
// in both directions, no cursor, no icon, COLOR_APPWORKSPACE background),
// WS_EX_CLIENTEDGE, text "Dialog", child, visible, vertical scroll bar, at
// rect in the parent's client coordinates, with the child id. The handler
// outlives the window. Null when the window cannot be made.
PlainWindow* createRowListWindow(PlainWindowHandler& handler, VpiWindow parent,
                                 int32_t childId, const WindowRect& rect);
void destroyPlainWindow(PlainWindow* window);

#endif  // MORVANE_UI_PLAINWINDOW_H_
