// The Windows stand-in host's real windows, under Wine: the main window
// with its menu bar, the map area drawn from the 2D scene at each view
// update, the module's panels placed in and removed from the panel area,
// and VPI_Pump dispatching the thread's message queue.
#include "standin/win32/StandinHostWindow.h"

#include <gtest/gtest.h>

#include <string>

#include "host/PluginIf.h"
#include "resources/DialogIds.h"
#include "standin/StandinHost.h"
#include "standin/StandinView2d.h"

namespace {

INT_PTR CALLBACK panelProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

// One host window for the suite: showing a window costs Wine about two
// seconds without a window manager.
class StandinHostWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { standin::createHostWindow(800, 500); }
  static void TearDownTestSuite() { standin::destroyHostWindow(); }
  void SetUp() override {
    standin::resetPanels();
    standin::resetView2d();
    ASSERT_TRUE(IsWindow(static_cast<HWND>(VPI_GetMainWnd())));
    // The path CMake gives is a Unix one: Wine's drive Z: is the root.
    module_ = LoadLibraryA((std::string("Z:") + MORVANE_MODULE_PATH).c_str());
    ASSERT_NE(module_, nullptr);
  }
  void TearDown() override {
    standin::resetPanels();
    if (module_) FreeLibrary(module_);
  }
  HWND makePanel() {
    return CreateDialogParamA(module_, MAKEINTRESOURCEA(kLayerPanelTemplate),
                              static_cast<HWND>(VPI_GetParentDialogPanel()),
                              panelProc, 0);
  }
  static RECT screenRect(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    return r;
  }
  HMODULE module_ = nullptr;
};

TEST_F(StandinHostWindowTest, MainWindowHasMenuMapAndPanelArea) {
  HWND main = static_cast<HWND>(VPI_GetMainWnd());
  HWND area = static_cast<HWND>(VPI_GetParentDialogPanel());
  HWND map = standin::hostMapWindow();
  ASSERT_TRUE(IsWindow(main));
  EXPECT_TRUE(IsWindowVisible(main));
  EXPECT_NE(GetMenu(main), nullptr);
  EXPECT_EQ(GetParent(area), main);
  EXPECT_EQ(GetParent(map), main);
  // The panel area on the right of the map, both as high as the client.
  RECT a = screenRect(area), m = screenRect(map);
  EXPECT_EQ(a.left, m.right);
  EXPECT_EQ(a.right - a.left, standin::kPanelAreaWidth);
  EXPECT_EQ(a.bottom - a.top, m.bottom - m.top);
}

TEST_F(StandinHostWindowTest, PanelsStackInTheAreaAndLeaveIt) {
  HWND area = static_cast<HWND>(VPI_GetParentDialogPanel());
  HWND first = makePanel();
  HWND second = makePanel();
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  // The template's texts came through code page 932.
  char text[64] = {};
  GetDlgItemTextA(first, layer_panel::kShowIn3dCheck, text, sizeof text);
  EXPECT_STREQ(text, "Hillcast\x82\xC5\x82\xE0\x95\x5C\x8E\xA6");

  uint32_t firstId = VPI_AddDialogPanel(first, "Morvane");
  uint32_t secondId = VPI_AddDialogPanel(second, "Second");
  EXPECT_EQ(firstId, 1u);
  EXPECT_EQ(secondId, 2u);
  ASSERT_EQ(standin::panels().size(), 2u);
  EXPECT_EQ(standin::panels()[1].title, "Second");

  RECT a = screenRect(area), f = screenRect(first), s = screenRect(second);
  EXPECT_EQ(f.left, a.left + standin::kPanelGap);
  EXPECT_EQ(f.top, a.top + standin::kPanelGap);
  EXPECT_EQ(s.top, f.bottom + standin::kPanelGap);
  EXPECT_LE(f.right, a.right);
  EXPECT_TRUE(IsWindowVisible(first));

  EXPECT_EQ(VPI_RemoveDialogPanel(firstId), 1);
  EXPECT_EQ(VPI_RemoveDialogPanel(firstId), 0);
  EXPECT_EQ(VPI_RemoveDialogPanel(99), 0);
  EXPECT_FALSE(IsWindowVisible(first));
  EXPECT_EQ(screenRect(second).top, a.top + standin::kPanelGap);
  ASSERT_EQ(standin::panels().size(), 1u);
  EXPECT_EQ(standin::panels()[0].id, secondId);
  DestroyWindow(first);
}

TEST_F(StandinHostWindowTest, ViewUpdateDrawsTheSceneOnTheMap) {
  standin::setView2d({0.0, 0.0, 10.0, 10.0}, 0);
  standin::Scene& scene = standin::scene2d();
  scene.setPen(0x000000FFu, 5.0);  // red
  scene.beginLine({0.0, 5.0});     // latitude, longitude
  scene.continueLine({10.0, 5.0});
  VPI_UpdateAllViews(1);

  HWND map = standin::hostMapWindow();
  RECT client;
  GetClientRect(map, &client);
  HDC dc = GetDC(map);
  COLORREF middle = GetPixel(dc, client.right / 2, client.bottom / 2);
  COLORREF corner = GetPixel(dc, 1, 1);
  ReleaseDC(map, dc);
  EXPECT_EQ(middle, RGB(0xFF, 0, 0));
  EXPECT_EQ(corner, RGB(0x10, 0x24, 0x3A));
}

int gDelivered = 0;
LRESULT CALLBACK countingProc(HWND w, UINT message, WPARAM wp, LPARAM lp) {
  if (message == WM_APP) {
    ++gDelivered;
    return 0;
  }
  return DefWindowProcA(w, message, wp, lp);
}

TEST_F(StandinHostWindowTest, PumpDispatchesPostedMessages) {
  WNDCLASSA c = {};
  c.lpfnWndProc = countingProc;
  c.hInstance = GetModuleHandleA(nullptr);
  c.lpszClassName = "StandinPumpTest";
  RegisterClassA(&c);
  HWND window = CreateWindowExA(0, "StandinPumpTest", "", 0, 0, 0, 1, 1,
                                HWND_MESSAGE, nullptr, c.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  gDelivered = 0;
  PostMessageA(window, WM_APP, 0, 0);
  PostMessageA(window, WM_APP, 0, 0);
  EXPECT_EQ(gDelivered, 0);
  VPI_Pump();
  EXPECT_EQ(gDelivered, 2);
  DestroyWindow(window);
}

TEST(StandinHostWithoutWindowTest, NoWindowsBeforeTheProgramMakesThem) {
  standin::destroyHostWindow();
  EXPECT_EQ(VPI_GetMainWnd(), nullptr);
  EXPECT_EQ(VPI_GetParentDialogPanel(), nullptr);
  VPI_UpdateAllViews(1);  // nothing to repaint, no harm
}

}  // namespace
