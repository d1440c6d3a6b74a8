// What the module draws with, as the backend provides it: the system
// colours (read at the moment of drawing), solid brushes for the colour
// requests of child controls, and two drawing surfaces handed to the
// dialogs' handlers: the drawing context of an owner-drawn control or of a
// paint, and the context a child control is about to paint itself with.
//
// Colours are 0x00BBGGRR (red in the low byte). System colours are named by
// their Win32 indexes, so the Win32 backend passes them to GetSysColor as
// they are.

#ifndef MORVANE_UI_DRAWING_H_
#define MORVANE_UI_DRAWING_H_

#include <cstdint>

#include "ui/DialogWindow.h"

enum SystemColour : int32_t {
  kColourWindowFrame = 6,    // COLOR_WINDOWFRAME
  kColourAppWorkspace = 12,  // COLOR_APPWORKSPACE
  kColourButtonFace = 15,    // COLOR_BTNFACE
  kColourButtonShadow = 16,  // COLOR_BTNSHADOW
  kColourButtonHighlight = 20,  // COLOR_BTNHIGHLIGHT
};

// The current value of a system colour.
uint32_t systemColour(int32_t index);

// A GDI brush on Windows. createSolidBrush returns null when none can be
// made; deleteBrush(nullptr) does nothing.
using BrushHandle = void*;
BrushHandle createSolidBrush(uint32_t colour);
void deleteBrush(BrushHandle brush);

// A drawing context lent for one request; its owner keeps it (a wrapper
// never closes it). Rectangles are half-open, in the context's pixels.
class DrawTarget {
 public:
  virtual ~DrawTarget() = default;
  virtual void fillRect(const WindowRect& rect, uint32_t colour) = 0;
  virtual void fillRectSystem(const WindowRect& rect, int32_t systemIndex) = 0;
  // A one-pixel three-dimensional rectangle: the top and left edges in one
  // system colour, the bottom and right edges in the other.
  virtual void frame3d(const WindowRect& rect, int32_t topLeftSystemIndex,
                       int32_t bottomRightSystemIndex) = 0;
};

// The context of a colour request (WM_CTLCOLOR*): the colours the child
// control will paint its text with.
class ColourContext {
 public:
  virtual ~ColourContext() = default;
  virtual void setTextColour(uint32_t colour) = 0;
  virtual void setBackgroundColour(uint32_t colour) = 0;
};

#endif  // MORVANE_UI_DRAWING_H_
