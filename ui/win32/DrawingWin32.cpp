#include "ui/win32/GdiDrawing.h"

namespace {

// A solid fill the way the class framework's FillSolidRect does it: an
// opaque ExtTextOut with no text, which needs no brush. The background
// colour is put back afterwards.
void fillSolid(HDC dc, int x, int y, int cx, int cy, COLORREF colour) {
  const COLORREF previous = SetBkColor(dc, colour);
  RECT r = {x, y, x + cx, y + cy};
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
  SetBkColor(dc, previous);
}

}  // namespace

uint32_t systemColour(int32_t index) { return GetSysColor(index); }

BrushHandle createSolidBrush(uint32_t colour) {
  return CreateSolidBrush(colour);
}

void deleteBrush(BrushHandle brush) {
  if (brush != nullptr) DeleteObject(static_cast<HBRUSH>(brush));
}

void GdiDrawTarget::fillRect(const WindowRect& r, uint32_t colour) {
  fillSolid(dc_, r.left, r.top, r.right - r.left, r.bottom - r.top, colour);
}

void GdiDrawTarget::fillRectSystem(const WindowRect& r, int32_t index) {
  fillRect(r, GetSysColor(index));
}

void GdiDrawTarget::frame3d(const WindowRect& r, int32_t topLeftIndex,
                            int32_t bottomRightIndex) {
  const COLORREF topLeft = GetSysColor(topLeftIndex);
  const COLORREF bottomRight = GetSysColor(bottomRightIndex);
  const int x = r.left, y = r.top;
  const int cx = r.right - r.left, cy = r.bottom - r.top;
  // Top and left edges one colour, bottom and right the other; the corners
  // go to the edge drawn last, as Draw3dRect has them.
  fillSolid(dc_, x, y, cx - 1, 1, topLeft);
  fillSolid(dc_, x, y, 1, cy - 1, topLeft);
  fillSolid(dc_, x + cx - 1, y, 1, cy, bottomRight);
  fillSolid(dc_, x, y + cy - 1, cx, 1, bottomRight);
}
