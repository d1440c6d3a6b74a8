// Mouse drags for tests on real windows: the button pressed at one screen
// point, the mouse moved to another and released there, as hardware input
// (SendInput), so that the system's own move and scroll loops run as they
// do for a user. Header-only: the tests that drag include it.

#ifndef MORVANE_TESTS_UI_WIN32_MOUSEROBOT_H_
#define MORVANE_TESTS_UI_WIN32_MOUSEROBOT_H_

#include <windows.h>

#include <functional>

namespace mouse_robot {

// SendInput's absolute coordinates run from 0 to 65535 over the screen;
// rounded up, so that the system's scaling back lands on the pixel.
inline LONG normalised(int pixel, int extent) {
  return static_cast<LONG>((static_cast<long long>(pixel) * 65536 + extent - 1) /
                           extent);
}

inline INPUT mouseInput(POINT at, DWORD flags) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dx = normalised(at.x, GetSystemMetrics(SM_CXSCREEN));
  in.mi.dy = normalised(at.y, GetSystemMetrics(SM_CYSCREEN));
  in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  return in;
}

// Dispatches the thread's messages for about ms milliseconds; a message
// for which take returns true is kept from its window.
inline void pump(int ms, const std::function<bool(const MSG&)>& take) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  while (static_cast<LONG>(GetTickCount() - end) < 0) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (take && take(msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(10);
  }
}

// Presses the left button at from, moves in steps to to and releases it
// there; the messages are dispatched (take sees each one first).
inline void drag(POINT from, POINT to,
                 const std::function<bool(const MSG&)>& take = nullptr) {
  INPUT down[2] = {mouseInput(from, 0), mouseInput(from, MOUSEEVENTF_LEFTDOWN)};
  SendInput(2, down, sizeof(INPUT));
  pump(100, take);
  const int steps = 4;
  for (int i = 1; i <= steps; ++i) {
    POINT p = {from.x + (to.x - from.x) * i / steps,
               from.y + (to.y - from.y) * i / steps};
    INPUT move = mouseInput(p, 0);
    SendInput(1, &move, sizeof(INPUT));
    pump(50, take);
  }
  INPUT up = mouseInput(to, MOUSEEVENTF_LEFTUP);
  SendInput(1, &up, sizeof(INPUT));
  pump(200, take);
}

}  // namespace mouse_robot

#endif  // MORVANE_TESTS_UI_WIN32_MOUSEROBOT_H_
