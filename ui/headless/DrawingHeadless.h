// Drawing, brushes and the colour dialog of the headless user interface:
// system colours are the classic Windows defaults, brushes are counted while
// they live, drawing surfaces record their operations for tests to read,
// and the colour dialog is answered by a scripted hook and recorded.

#ifndef MORVANE_UI_HEADLESS_DRAWINGHEADLESS_H_
#define MORVANE_UI_HEADLESS_DRAWINGHEADLESS_H_

#include <cstdint>
#include <functional>
#include <vector>

#include "ui/ColourDialog.h"
#include "ui/Drawing.h"

namespace headless {

// One drawing operation. For kFill, colour is the colour given; for
// kFillSystem, first is the system colour index; for kFrame3d, first and
// second are the top-left and bottom-right system colour indexes.
struct DrawOp {
  enum Kind { kFill, kFillSystem, kFrame3d };
  Kind kind;
  WindowRect rect;
  uint32_t colour;
  int32_t first;
  int32_t second;
};

class RecordingDrawTarget : public DrawTarget {
 public:
  void fillRect(const WindowRect& rect, uint32_t colour) override {
    ops.push_back({DrawOp::kFill, rect, colour, 0, 0});
  }
  void fillRectSystem(const WindowRect& rect, int32_t index) override {
    ops.push_back({DrawOp::kFillSystem, rect, 0, index, 0});
  }
  void frame3d(const WindowRect& rect, int32_t topLeft,
               int32_t bottomRight) override {
    ops.push_back({DrawOp::kFrame3d, rect, 0, topLeft, bottomRight});
  }
  std::vector<DrawOp> ops;
};

class RecordingColourContext : public ColourContext {
 public:
  void setTextColour(uint32_t colour) override { text = colour; }
  void setBackgroundColour(uint32_t colour) override { background = colour; }
  int64_t text = -1;  // -1 until set
  int64_t background = -1;
};

// Brushes made and not yet deleted.
int32_t liveBrushes();
// Brushes made since the last resetDrawing().
int32_t brushesCreated();

// Overrides a system colour until resetDrawing().
void setSystemColour(int32_t index, uint32_t colour);

// One run of the colour dialog, as the module asked for it.
struct ColourDialogCall {
  VpiWindow owner;
  uint32_t initial;
  uint32_t customColours[kCustomColourCount];
  uint32_t flags;
};
const std::vector<ColourDialogCall>& colourDialogCalls();
// Answers each run: returns true for OK with *chosen set, false for Cancel;
// it may change the custom colours as a user would. Without a hook every
// run is cancelled.
void onColourDialog(
    std::function<bool(uint32_t* customColours, uint32_t* chosen)> hook);

// Forgets the calls, the hook and the colour overrides; the count of brushes
// made restarts (live ones stay counted).
void resetDrawing();

}  // namespace headless

#endif  // MORVANE_UI_HEADLESS_DRAWINGHEADLESS_H_
