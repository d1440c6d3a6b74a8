// The row list's plain window on real windows, under Wine: its class and
// creation parameters, the scroll bar hidden when the page covers the range,
// and creation, scrolling and painting reaching the handler.

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "ui/PlainWindow.h"

namespace {

class RecordingHandler : public PlainWindowHandler {
 public:
  void onCreate(PlainWindow& window) override {
    createdHeight = window.outerRect().bottom - window.outerRect().top;
    window.setVerticalScroll({0, 0, createdHeight, 0, 0});
  }
  void onVerticalScroll(PlainWindow&, int32_t request) override {
    requests.push_back(request);
  }
  void onPaint(PlainWindow& window, DrawTarget& target) override {
    target.fillRectSystem(window.clientRect(), kColourButtonHighlight);
    ++paints;
  }
  int32_t createdHeight = -1;
  std::vector<int32_t> requests;
  int paints = 0;
};

// One parent for the suite: showing a window costs Wine about two seconds
// without a window manager.
class RowListWindowWin32Test : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    parent = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0,
                             300, 300, nullptr, nullptr, nullptr, nullptr);
  }
  static void TearDownTestSuite() { DestroyWindow(parent); }
  void SetUp() override {
    ASSERT_NE(parent, nullptr);
    window = createRowListWindow(handler, parent, 100, {0, 0, 100, 100});
    ASSERT_NE(window, nullptr);
    hwnd = static_cast<HWND>(window->handle());
  }
  void TearDown() override {
    if (window) destroyPlainWindow(window);
  }
  bool barShown() const {
    return (GetWindowLongA(hwnd, GWL_STYLE) & WS_VSCROLL) != 0;
  }

  static HWND parent;
  RecordingHandler handler;
  PlainWindow* window = nullptr;
  HWND hwnd = nullptr;
};

TEST_F(RowListWindowWin32Test, ClassAndCreationAreTheListsOwn) {
  EXPECT_EQ(GetClassLongPtrA(hwnd, GCL_STYLE) & (CS_HREDRAW | CS_VREDRAW),
            static_cast<ULONG_PTR>(CS_HREDRAW | CS_VREDRAW));
  EXPECT_EQ(GetClassLongPtrA(hwnd, GCLP_HBRBACKGROUND),
            static_cast<ULONG_PTR>(COLOR_APPWORKSPACE + 1));
  EXPECT_NE(GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
  EXPECT_NE(GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD, 0);
  char text[16] = {};
  GetWindowTextA(hwnd, text, sizeof(text));
  EXPECT_STREQ(text, "Dialog");
  EXPECT_EQ(GetDlgCtrlID(hwnd), 100);
  EXPECT_EQ(GetParent(hwnd), parent);
  EXPECT_EQ(handler.createdHeight, 100);
}

TEST_F(RowListWindowWin32Test, BarHidesWhenThePageCoversTheRange) {
  window->setBounds(0, 0, 109, 160);
  const int32_t page = window->clientRect().bottom;
  window->setVerticalScroll({0, 300, page, 40, 0});
  EXPECT_TRUE(barShown());
  const ScrollState s = window->verticalScroll();
  EXPECT_EQ(s.maximum, 300);
  EXPECT_EQ(s.page, page);
  EXPECT_EQ(s.position, 40);
  window->setVerticalScroll({0, 126, page, 0, 0});
  EXPECT_FALSE(barShown());
}

TEST_F(RowListWindowWin32Test, ResizeKeepsThePlace) {
  window->setBounds(5, 7, 109, 160);
  window->resize(154, 160);
  RECT r;
  GetWindowRect(hwnd, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 5);
  EXPECT_EQ(r.top, 7);
  EXPECT_EQ(r.right - r.left, 154);
}

TEST_F(RowListWindowWin32Test, ScrollAndPaintReachTheHandler) {
  SendMessageA(hwnd, WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);
  SendMessageA(hwnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 33), 0);
  EXPECT_EQ(handler.requests,
            (std::vector<int32_t>{kScrollPageDown, kScrollThumbTrack}));
  InvalidateRect(hwnd, nullptr, TRUE);
  UpdateWindow(hwnd);
  EXPECT_GE(handler.paints, 1);
}

HWND RowListWindowWin32Test::parent = nullptr;

}  // namespace
