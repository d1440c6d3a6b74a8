// The side panel on real windows, under Wine, in the host program's panel
// area: its row list passing the same checks as on the headless backend
// (RowListChecks.h) with the scroll bar's requests and a real thumb drag,
// the rows passing theirs (LayerRowChecks.h) with the system's colour
// dialog answered by the window robot, and a drag of the panel by its
// caption. One program, so that Wine starts once.

#include <windows.h>
#include <colordlg.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "module/PluginModule.h"
#include "resources/DialogIds.h"
#include "standin/StandinHost.h"
#include "standin/win32/StandinHostWindow.h"
#include "tests/ui/LayerRowChecks.h"
#include "tests/ui/RowListChecks.h"
#include "tests/ui/win32/MouseRobot.h"
#include "tools/win32/DialogRobot.h"
#include "ui/LayerPanel.h"
#include "ui/LayerRow.h"

namespace {

HWND hwndOf(const ModuleDialog& dialog) {
  return dialog.window() != nullptr
             ? static_cast<HWND>(dialog.window()->handle())
             : nullptr;
}

HWND panelArea() { return static_cast<HWND>(VPI_GetParentDialogPanel()); }

LineDataSet* registerDataSet(int32_t rowId, const std::string& name) {
  return layer_row_checks::registerDataSet(rowId, name);
}

// --- The row list ------------------------------------------------------------

// What the robot watches of the list window: the widths it is given after
// the panel laid it out, and the thumb's position while it is dragged.
struct ListWatch {
  WNDPROC proc = nullptr;
  std::vector<int32_t> widths;
  int32_t lastTrack = -1;
} gListWatch;

LRESULT CALLBACK watchedListProc(HWND hwnd, UINT message, WPARAM wParam,
                                 LPARAM lParam) {
  if (message == WM_WINDOWPOSCHANGING) {
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
    RECT r;
    GetWindowRect(hwnd, &r);
    if (!(pos->flags & SWP_NOSIZE) && pos->cx != r.right - r.left) {
      gListWatch.widths.push_back(pos->cx);
    }
  } else if (message == WM_VSCROLL && LOWORD(wParam) == SB_THUMBTRACK) {
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_TRACKPOS;
    GetScrollInfo(hwnd, SB_VERT, &si);
    gListWatch.lastTrack = si.nTrackPos;
  }
  return CallWindowProcA(gListWatch.proc, hwnd, message, wParam, lParam);
}

// Rows made inside the list get the robot's size as they initialise,
// before the list measures them.
struct RowSize {
  HWND list = nullptr;
  int cx = 0;
  int cy = 0;
} gRowSize;

LRESULT CALLBACK sizeRows(int code, WPARAM wParam, LPARAM lParam) {
  const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  if (code == HC_ACTION && call->message == WM_INITDIALOG &&
      GetParent(call->hwnd) == gRowSize.list && gRowSize.cx > 0) {
    SetWindowPos(call->hwnd, nullptr, 0, 0, gRowSize.cx, gRowSize.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

class WindowRowListRobot : public RowListRobot {
 public:
  ~WindowRowListRobot() override { close(); }
  void close() {
    delete panel;
    panel = nullptr;
    list = nullptr;
    pluginModule().registry.empty();
  }
  LayerPanel& openPanel(int32_t rows, int32_t width, int32_t height) override {
    close();
    panel = new LayerPanel;
    EXPECT_TRUE(panel->createModeless(panelArea()));
    list = static_cast<HWND>(panel->list->window()->handle());
    gListWatch = ListWatch();
    gListWatch.proc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(watchedListProc)));
    gRowSize = {list, width, height};
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, sizeRows, nullptr,
                                   GetCurrentThreadId());
    for (int32_t id = 1; id <= rows; ++id) {
      registerDataSet(id, "set" + std::to_string(id));
      EXPECT_TRUE(panel->list->addRow(id));
    }
    UnhookWindowsHookEx(hook);
    gRowSize = RowSize();
    return *panel;
  }
  void scroll(int32_t request) override {
    SendMessageA(list, WM_VSCROLL, MAKEWPARAM(request, 0), 0);
  }
  // Wine's own scroll bar tracking loop loses its X connection under Xvfb
  // without a window manager, so the thumb is not dragged here (the
  // headless test drags it).
  int32_t dragThumb(int32_t) override { return -1; }
  bool barShown() override {
    return (GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL) != 0;
  }
  ScrollState bar() override {
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(list, SB_VERT, &si);
    return {si.nMin, si.nMax, static_cast<int32_t>(si.nPage), si.nPos,
            si.nTrackPos};
  }
  WindowRect listClient() override {
    RECT r;
    GetClientRect(list, &r);
    return {r.left, r.top, r.right, r.bottom};
  }
  std::vector<int32_t> listWidthsSet() override { return gListWatch.widths; }
  std::vector<WindowRect> rowRects() override {
    std::vector<WindowRect> rects;
    for (int32_t i = 0; i < panel->list->count(); ++i) {
      RECT r;
      GetWindowRect(hwndOf(*panel->list->entry(i).row), &r);
      MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&r), 2);
      rects.push_back({r.left, r.top, r.right, r.bottom});
    }
    return rects;
  }
  int32_t rowClientWidth(int32_t index) override {
    RECT r;
    GetClientRect(hwndOf(*panel->list->entry(index).row), &r);
    return r.right;
  }

  LayerPanel* panel = nullptr;
  HWND list = nullptr;
};

// --- The rows ----------------------------------------------------------------

bool isColourDialog(HWND w) {
  return GetDlgItem(w, COLOR_RED) != nullptr && GetDlgItem(w, IDOK) != nullptr;
}

uint32_t colourShown(HWND dialog) {
  auto value = [dialog](int id) {
    return static_cast<uint32_t>(
               std::atoi(robot::controlText(dialog, id).c_str())) & 0xFF;
  };
  return value(COLOR_RED) | value(COLOR_GREEN) << 8 | value(COLOR_BLUE) << 16;
}

class WindowRowRobot : public LayerRowRobot {
 public:
  void reset() override {
    standin::resetViewsUpdated();
    pluginModule().registry.empty();
  }
  void open(LayerRow& row) override {
    EXPECT_TRUE(row.createModeless(panelArea()));
  }
  std::string title(LayerRow& row) override {
    return robot::controlText(hwndOf(row), layer_row::kTitle);
  }
  bool showTicked(LayerRow& row) override {
    return IsDlgButtonChecked(hwndOf(row), layer_row::kShowCheck) ==
           BST_CHECKED;
  }
  int32_t widthSelected(LayerRow& row) override {
    return static_cast<int32_t>(SendDlgItemMessageA(
        hwndOf(row), layer_row::kWidthCombo, CB_GETCURSEL, 0, 0));
  }
  void clickShow(LayerRow& row) override {
    robot::click(hwndOf(row), layer_row::kShowCheck);
  }
  void pickWidth(LayerRow& row, int32_t index) override {
    robot::selectComboItem(hwndOf(row), layer_row::kWidthCombo, index);
  }
  // Types the colour into the dialog's red, green and blue fields and
  // presses OK, or presses Cancel.
  void pickColour(LayerRow& row, bool ok, uint32_t colour) override {
    dialogColour = 0xFFFFFFFF;
    customShown = false;
    robot::whenDialogShown(isColourDialog, [=](HWND w) {
      dialogColour = colourShown(w);
      customShown = IsWindowVisible(GetDlgItem(w, COLOR_RED)) != FALSE;
      if (ok) {
        robot::typeText(w, COLOR_RED, std::to_string(colour & 0xFF));
        robot::typeText(w, COLOR_GREEN, std::to_string(colour >> 8 & 0xFF));
        robot::typeText(w, COLOR_BLUE, std::to_string(colour >> 16 & 0xFF));
      }
      robot::click(w, ok ? IDOK : IDCANCEL);
    });
    const uint32_t before = row.colour();
    robot::click(hwndOf(row), layer_row::kColourButton);
    EXPECT_TRUE(robot::scriptRan());
    EXPECT_FALSE(robot::gaveUp());
    // Opened with the row's colour and the custom part shown.
    EXPECT_EQ(dialogColour, before);
    EXPECT_TRUE(customShown);
  }

  uint32_t dialogColour = 0;
  bool customShown = false;
};

// One host window for the program: showing a window costs Wine about two
// seconds without a window manager.
class LayerPanelWin32Test : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { standin::createHostWindow(640, 400); }
  static void TearDownTestSuite() { standin::destroyHostWindow(); }
  void SetUp() override {
    standin::setMessageDispatcher(nullptr);
    standin::resetViewsUpdated();
    ASSERT_TRUE(IsWindow(panelArea()));
  }
  void TearDown() override {
    lists_.close();
    pluginModule().registry.empty();
    pluginModule().panelId = 0;
    releasePanelBrush();
  }

  WindowRowListRobot lists_;
  WindowRowRobot rows_;
};

TEST_F(LayerPanelWin32Test, EveryRequestCodeMovesTheRows) {
  checkEveryRequestCodeMovesTheRows(lists_);
}

TEST_F(LayerPanelWin32Test, RowsThatFitHideTheBar) {
  checkRowsThatFitHideTheBar(lists_);
}

TEST_F(LayerPanelWin32Test, WiderRowWidensTheListOnce) {
  checkWiderRowWidensTheListOnce(lists_);
}

TEST_F(LayerPanelWin32Test, RemovingARowReturnsToTheTop) {
  checkRemovingARowReturnsToTheTop(lists_);
}

TEST_F(LayerPanelWin32Test, RowShowsItsDataSet) {
  checkNewDataSetShowsNameTickAndWidthOne(rows_);
}

TEST_F(LayerPanelWin32Test, EachChangeStoresAllThreeAndRedrawsOnce) {
  checkEachChangeStoresAllThreeAndRedrawsOnce(rows_);
}

TEST_F(LayerPanelWin32Test, WidthsOutsideTheListShowClamped) {
  checkWidthsOutsideTheListShowClamped(rows_);
}

TEST_F(LayerPanelWin32Test, OddNamesShowAsWholeCharacters) {
  checkOddNamesShowAsWholeCharacters(rows_);
}

TEST_F(LayerPanelWin32Test, RowWhoseDataSetIsGoneChangesNothing) {
  checkRowWhoseDataSetIsGoneChangesNothing(rows_);
}

// The rows inside the real panel store what their controls say.
TEST_F(LayerPanelWin32Test, RowsInThePanelStoreIntoTheirOwnDataSet) {
  LayerPanel& panel = lists_.openPanel(3, 0, 0);
  HWND second = hwndOf(*panel.list->entry(1).row);
  EXPECT_EQ(robot::controlText(second, layer_row::kTitle), "set2");
  robot::selectComboItem(second, layer_row::kWidthCombo, 4);
  robot::click(second, layer_row::kShowCheck);
  const DataSetRegistry& registry = pluginModule().registry;
  EXPECT_EQ(registry.at(1)->lineWidth, 5);
  EXPECT_EQ(registry.at(1)->visible, 0);
  EXPECT_EQ(registry.at(0)->lineWidth, 1);
  EXPECT_EQ(registry.at(2)->visible, 1);
  EXPECT_EQ(standin::viewsUpdated(), 2);
}

// The panel's destroy handler runs on real windows too, whether the panel
// destroys its window itself or the window is destroyed from outside (the
// host, its parent): the rows and the list go with it, and destroying the
// panel afterwards does nothing more.
TEST_F(LayerPanelWin32Test, DestroyingThePanelDestroysRowsAndList) {
  for (bool fromOutside : {false, true}) {
    SCOPED_TRACE(fromOutside ? "from outside" : "by the panel");
    LayerPanel& panel = lists_.openPanel(2, 0, 0);
    HWND w = hwndOf(panel);
    HWND list = static_cast<HWND>(panel.list->window()->handle());
    HWND row = hwndOf(*panel.list->entry(1).row);
    if (fromOutside) {
      DestroyWindow(w);
    } else {
      panel.destroyWindow();
    }
    EXPECT_EQ(panel.list->count(), 0);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(IsWindow(list));
    EXPECT_FALSE(IsWindow(row));
    EXPECT_EQ(panel.list->window(), nullptr);
    panel.destroyWindow();
    EXPECT_FALSE(panel.list->addRow(1));  // no window to put it in
  }
}

// A drag of the panel by its caption, let go 10 pixels left of the panel
// area: the move loop's messages as the system sends them, the cursor
// where the user lets go. The panel comes to the top when the drag starts
// and posts one move-end notification, the cursor in the area's client
// coordinates, x negative. (The system's own move loop is not run: under
// Xvfb without a window manager Wine loses its X connection in it.)
TEST_F(LayerPanelWin32Test, DragByTheCaptionPostsOneMoveEnd) {
  LayerPanel& panel = lists_.openPanel(3, 0, 0);
  pluginModule().panelId = 7;
  HWND w = hwndOf(panel);
  // Another child of the area above the panel, so that coming to the top
  // shows.
  HWND other = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 300,
                               20, 20, panelArea(), nullptr, nullptr, nullptr);
  SetWindowPos(other, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ASSERT_NE(GetWindow(panelArea(), GW_CHILD), w);

  POINT origin = {0, 0};
  ClientToScreen(panelArea(), &origin);
  SendMessageA(w, WM_ENTERSIZEMOVE, 0, 0);
  EXPECT_EQ(GetWindow(panelArea(), GW_CHILD), w);
  EXPECT_TRUE(panel.moving());
  SetCursorPos(origin.x - 10, origin.y + 30);
  SendMessageA(w, WM_EXITSIZEMOVE, 0, 0);
  SendMessageA(w, WM_EXITSIZEMOVE, 0, 0);  // no loop running: nothing more
  EXPECT_FALSE(panel.moving());
  DestroyWindow(other);

  std::vector<MSG> posted;
  mouse_robot::pump(50, [&](const MSG& m) {
    if (m.message != kPanelMovedMessage) return false;
    posted.push_back(m);
    return true;
  });
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].hwnd, panelArea());
  EXPECT_EQ(posted[0].wParam, 7u);
  EXPECT_EQ(static_cast<uint32_t>(posted[0].lParam), 0x001EFFF6u);
}

}  // namespace
