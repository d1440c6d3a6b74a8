// The message pump of tests on real windows that wait for what the system
// posts (a drag's end, for one), keeping chosen messages from their window.
// Header-only.

#ifndef MORVANE_TESTS_UI_WIN32_MOUSEROBOT_H_
#define MORVANE_TESTS_UI_WIN32_MOUSEROBOT_H_

#include <windows.h>

#include <functional>

namespace mouse_robot {

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

}  // namespace mouse_robot

#endif  // MORVANE_TESTS_UI_WIN32_MOUSEROBOT_H_
