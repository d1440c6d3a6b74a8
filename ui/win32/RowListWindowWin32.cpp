// The row list's plain window on Win32: a window class of our own whose
// procedure forwards creation, vertical scrolling and painting to the
// handler (RowListWindow), which holds the behaviour.

#include "ui/PlainWindow.h"

#include <windows.h>

#include "ui/ResourceModule.h"
#include "ui/win32/GdiDrawing.h"

namespace {

const char kClassName[] = "MorvaneRowList";

class Win32PlainWindow : public PlainWindow {
 public:
  explicit Win32PlainWindow(PlainWindowHandler& handler) : handler(handler) {}

  VpiWindow handle() const override { return hwnd; }
  WindowRect clientRect() const override {
    RECT r = {0, 0, 0, 0};
    GetClientRect(hwnd, &r);
    return {r.left, r.top, r.right, r.bottom};
  }
  WindowRect outerRect() const override {
    RECT r = {0, 0, 0, 0};
    GetWindowRect(hwnd, &r);
    return {r.left, r.top, r.right, r.bottom};
  }
  void setBounds(int32_t x, int32_t y, int32_t width, int32_t height) override {
    SetWindowPos(hwnd, nullptr, x, y, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  void resize(int32_t width, int32_t height) override {
    SetWindowPos(hwnd, nullptr, 0, 0, width, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ScrollState verticalScroll() const override {
    SCROLLINFO si = {};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    GetScrollInfo(hwnd, SB_VERT, &si);
    return {si.nMin, si.nMax, static_cast<int32_t>(si.nPage), si.nPos,
            si.nTrackPos};
  }
  void setVerticalScroll(const ScrollState& s) override {
    // No SIF_DISABLENOSCROLL: the bar is hidden when the page covers the
    // range.
    SCROLLINFO si = {};
    si.cbSize = sizeof(si);
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = s.minimum;
    si.nMax = s.maximum;
    si.nPage = static_cast<UINT>(s.page < 0 ? 0 : s.page);
    si.nPos = s.position;
    SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
  }

  PlainWindowHandler& handler;
  HWND hwnd = nullptr;
};

LRESULT CALLBACK rowListProc(HWND hwnd, UINT message, WPARAM wParam,
                             LPARAM lParam) {
  auto* window = reinterpret_cast<Win32PlainWindow*>(
      GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  switch (message) {
    case WM_NCCREATE: {
      // The object rides in on CreateWindowExA's last argument.
      auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
      window = static_cast<Win32PlainWindow*>(cs->lpCreateParams);
      window->hwnd = hwnd;
      SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(window));
      break;
    }
    case WM_CREATE: {
      const LRESULT result = DefWindowProcA(hwnd, message, wParam, lParam);
      if (result == -1) return -1;
      window->handler.onCreate(*window);
      return result;
    }
    case WM_VSCROLL:
      if (window != nullptr) {
        window->handler.onVerticalScroll(*window, LOWORD(wParam));
      }
      break;
    case WM_PAINT:
      if (window != nullptr) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        GdiDrawTarget target(dc);
        window->handler.onPaint(*window, target);
        EndPaint(hwnd, &ps);
        return 0;
      }
      break;
    case WM_NCDESTROY:
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      if (window != nullptr) window->hwnd = nullptr;
      break;
    default:
      break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

HINSTANCE moduleInstance() {
  return static_cast<HINSTANCE>(const_cast<void*>(moduleResourceModule()));
}

bool registerRowListClass() {
  WNDCLASSA existing;
  if (GetClassInfoA(moduleInstance(), kClassName, &existing)) return true;
  WNDCLASSA wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = rowListProc;
  wc.hInstance = moduleInstance();
  wc.hCursor = nullptr;
  wc.hIcon = nullptr;
  // A class brush given as a system colour index plus one.
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
  wc.lpszClassName = kClassName;
  return RegisterClassA(&wc) != 0;
}

}  // namespace

PlainWindow* createRowListWindow(PlainWindowHandler& handler, VpiWindow parent,
                                 int32_t childId, const WindowRect& rect) {
  if (!registerRowListClass()) return nullptr;
  auto* window = new Win32PlainWindow(handler);
  HWND hwnd = CreateWindowExA(
      WS_EX_CLIENTEDGE, kClassName, "Dialog",
      WS_CHILD | WS_VISIBLE | WS_VSCROLL, rect.left, rect.top,
      rect.right - rect.left, rect.bottom - rect.top,
      static_cast<HWND>(parent),
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(childId)), moduleInstance(),
      window);
  if (hwnd == nullptr) {
    delete window;
    return nullptr;
  }
  return window;
}

void destroyPlainWindow(PlainWindow* window) {
  auto* w = static_cast<Win32PlainWindow*>(window);
  if (w->hwnd != nullptr) DestroyWindow(w->hwnd);
  delete w;
}
