// The drawing surfaces of the Win32 backend over a device context that
// someone else owns (the DRAWITEMSTRUCT's, BeginPaint's, a WM_CTLCOLOR*
// message's): the wrappers never release or delete it.

#ifndef MORVANE_UI_WIN32_GDIDRAWING_H_
#define MORVANE_UI_WIN32_GDIDRAWING_H_

#include <windows.h>

#include "ui/Drawing.h"

class GdiDrawTarget : public DrawTarget {
 public:
  explicit GdiDrawTarget(HDC dc) : dc_(dc) {}
  void fillRect(const WindowRect& rect, uint32_t colour) override;
  void fillRectSystem(const WindowRect& rect, int32_t systemIndex) override;
  void frame3d(const WindowRect& rect, int32_t topLeftSystemIndex,
               int32_t bottomRightSystemIndex) override;

 private:
  HDC dc_;
};

class GdiColourContext : public ColourContext {
 public:
  explicit GdiColourContext(HDC dc) : dc_(dc) {}
  void setTextColour(uint32_t colour) override { SetTextColor(dc_, colour); }
  void setBackgroundColour(uint32_t colour) override {
    SetBkColor(dc_, colour);
  }

 private:
  HDC dc_;
};

#endif  // MORVANE_UI_WIN32_GDIDRAWING_H_
