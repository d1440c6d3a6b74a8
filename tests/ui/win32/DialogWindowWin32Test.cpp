// The dialogs on real windows, under Wine: the progress dialog passing the
// same checks as on the headless backend, a modal dialog answered through
// its controls by the window robot, a window that outlives its handle, and
// the system's open-file dialog with a name typed into it.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/FileDialog.h"
#include "resources/DialogIds.h"
#include "resources/DialogTemplates.h"
#include "standin/StandinHost.h"
#include "standin/win32/StandinHostWindow.h"
#include "tests/ui/ProgressDialogChecks.h"
#include "tools/win32/DialogRobot.h"
#include "ui/ModuleDialog.h"
#include "ui/ProgressDialog.h"

namespace {

class WindowProgressRobot : public ProgressDialogRobot {
 public:
  bool shown() override {
    HWND w = dialog();
    return w != nullptr && IsWindowVisible(w);
  }
  WindowRect rect() override {
    RECT r = {0, 0, 0, 0};
    GetWindowRect(dialog(), &r);
    return {r.left, r.top, r.right, r.bottom};
  }
  void screenSize(int32_t* width, int32_t* height) override {
    *width = GetSystemMetrics(SM_CXSCREEN);
    *height = GetSystemMetrics(SM_CYSCREEN);
  }
  std::string label() override {
    return robot::controlText(dialog(), progress_dialog::kLabel);
  }
  void range(int32_t* minimum, int32_t* maximum) override {
    PBRANGE r = {-1, -1};
    SendDlgItemMessageA(dialog(), progress_dialog::kProgressBar, PBM_GETRANGE,
                        TRUE, reinterpret_cast<LPARAM>(&r));
    *minimum = r.iLow;
    *maximum = r.iHigh;
  }
  int32_t position() override {
    return static_cast<int32_t>(SendDlgItemMessageA(
        dialog(), progress_dialog::kProgressBar, PBM_GETPOS, 0, 0));
  }
  // Posted: the button sees it when VPI_Pump empties the queue.
  void clickCancel() override {
    robot::postClick(dialog(), progress_dialog::kCancelButton);
  }

 private:
  HWND dialog() {
    return robot::findDialog(progress_dialog::kProgressBar, PROGRESS_CLASSA);
  }
};

// The open command's choice, on template 103: a radio pair that enables a
// sorted multiple-selection list with item data, and an OK that reads them.
class ChoiceDialog : public ModuleDialog {
 public:
  ChoiceDialog() : ModuleDialog(kReopenDialogTemplate) {}
  bool readNew = false;
  std::vector<uintptr_t> selected;
  int selectionChanges = 0;

 protected:
  void exchangeData(bool toControls) override {
    DialogWindow& w = *window();
    if (toControls) {
      w.setChecked(reopen_dialog::kOpenPreviousRadio, !readNew);
      w.setChecked(reopen_dialog::kReadNewRadio, readNew);
    } else {
      readNew = w.checked(reopen_dialog::kReadNewRadio);
    }
  }
  MessageTable messageTable() const override {
    static const MessageEntry kEntries[] = {
        {kMessageInitDialog, 0, 0, handler(&ChoiceDialog::onInit)},
        {kMessageCommand, reopen_dialog::kReadNewRadio, kNotifyClicked,
         handler(&ChoiceDialog::onReadNew)},
        {kMessageCommand, reopen_dialog::kListBox, kNotifySelectionChange,
         handler(&ChoiceDialog::onSelectionChange)},
        {kMessageCommand, kDialogOk, kNotifyClicked,
         handler(&ChoiceDialog::onOk)},
    };
    return {kEntries, sizeof kEntries / sizeof kEntries[0]};
  }

 private:
  void onInit() {
    window()->addItem(reopen_dialog::kListBox, "roads", 9);
    window()->addItem(reopen_dialog::kListBox, "coast", 7);
    window()->addItem(reopen_dialog::kListBox, "rivers", 3);
  }
  void onReadNew() { window()->setEnabled(reopen_dialog::kListBox, false); }
  void onSelectionChange() { ++selectionChanges; }
  void onOk() {
    exchangeData(false);
    DialogWindow& w = *window();
    for (int32_t i : w.selectedItems(reopen_dialog::kListBox)) {
      selected.push_back(w.itemData(reopen_dialog::kListBox, i));
    }
    w.endDialog(kDialogOk);
  }
};

// The template's text of a control, as the description gives it.
std::string templateText(int templateId, int controlId) {
  const DialogTemplate* t =
      dialog_templates::findTemplate(templateId);
  for (int i = 0; t != nullptr && i < t->controlCount; ++i) {
    if (t->controls[i].id == controlId) return t->controls[i].text;
  }
  return std::string();
}

// One host window for the program: showing a window costs Wine about two
// seconds without a window manager.
class DialogWindowWin32Test : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { standin::createHostWindow(640, 400); }
  static void TearDownTestSuite() { standin::destroyHostWindow(); }
  void SetUp() override {
    standin::setMessageDispatcher(nullptr);
    standin::resetPump();
    ASSERT_TRUE(IsWindow(static_cast<HWND>(VPI_GetMainWnd())));
  }
  void TearDown() override { standin::resetPump(); }

  WindowProgressRobot progressRobot_;
};

TEST_F(DialogWindowWin32Test, ProgressDialogIsCentredWithItsBarAndNoStatic) {
  ProgressDialog progress;
  ASSERT_TRUE(progress.create(VPI_GetMainWnd()));
  EXPECT_EQ(currentResourceModule(), GetModuleHandleA(nullptr));
  checkCreatedProgressDialog(progressRobot_, "");
  WindowRect r = progressRobot_.rect();
  std::printf("screen %dx%d, progress window %ldx%ld at %ld,%ld\n",
              GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
              static_cast<long>(r.right - r.left),
              static_cast<long>(r.bottom - r.top), static_cast<long>(r.left),
              static_cast<long>(r.top));
  // Owned by the host's main window, as the imports create it.
  HWND w = robot::findDialog(progress_dialog::kProgressBar, PROGRESS_CLASSA);
  EXPECT_EQ(GetWindow(w, GW_OWNER), static_cast<HWND>(VPI_GetMainWnd()));
  EXPECT_EQ(robot::windowText(w),
            dialog_templates::findTemplate(kProgressDialogTemplate)->caption);
  checkLabelShowsAtOnce(progressRobot_, progress);
  progress.destroyWindow();
  EXPECT_EQ(robot::findDialog(progress_dialog::kProgressBar, PROGRESS_CLASSA),
            nullptr);
}

TEST_F(DialogWindowWin32Test, ProgressLabelSetBeforeCreationShows) {
  ProgressDialog progress;
  progress.setLabel("coast");
  ASSERT_TRUE(progress.create(VPI_GetMainWnd()));
  checkCreatedProgressDialog(progressRobot_, "coast");
}

TEST_F(DialogWindowWin32Test, ProgressCancelOnlyRaisesTheFlag) {
  ProgressDialog progress;
  ASSERT_TRUE(progress.create(VPI_GetMainWnd()));
  checkCancelOnlyRaisesTheFlag(progressRobot_, progress);
}

TEST_F(DialogWindowWin32Test, ProgressCancelStopsTheReadAtTheNextStep) {
  ProgressDialog progress;
  ASSERT_TRUE(progress.create(VPI_GetMainWnd()));
  checkCancelStopsTheReadAtTheNextStep(progressRobot_, progress);
}

// A window destroyed with its owner leaves the dialog object behind: its
// calls do nothing and its own destruction is safe.
TEST_F(DialogWindowWin32Test, DialogOutlivesAWindowDestroyedWithItsOwner) {
  HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10,
                               nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(owner, nullptr);
  ProgressDialog progress;
  ASSERT_TRUE(progress.create(owner));
  DestroyWindow(owner);
  EXPECT_EQ(robot::findDialog(progress_dialog::kProgressBar, PROGRESS_CLASSA),
            nullptr);
  progress.setPosition(50);
  progress.setLabel("gone");
  EXPECT_EQ(progress.window()->text(progress_dialog::kLabel), "");
  progress.destroyWindow();
  EXPECT_EQ(progress.window(), nullptr);
}

TEST_F(DialogWindowWin32Test, ModalDialogAnsweredThroughItsControls) {
  struct Case {
    const char* name;
    std::vector<int> select;  // list order (sorted: coast, rivers, roads)
    bool clickReadNew;
    int endButton;
    int32_t result;
    std::vector<uintptr_t> selected;
  };
  const Case cases[] = {
      {"two of three, in list order", {2, 0}, false, IDOK, kDialogOk, {7, 9}},
      {"the other radio", {}, true, IDOK, kDialogOk, {}},
      {"cancel", {1}, false, IDCANCEL, kDialogCancel, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ChoiceDialog dialog;
    bool listWasEnabled = false;
    bool listDisabledAfterRadio = false;
    std::string message;
    robot::whenDialogShown(nullptr, [&](HWND w) {
      message = robot::controlText(w, reopen_dialog::kMessage);
      HWND list = GetDlgItem(w, reopen_dialog::kListBox);
      listWasEnabled = IsWindowEnabled(list) != FALSE;
      robot::selectListItems(w, reopen_dialog::kListBox, c.select);
      if (c.clickReadNew) {
        robot::click(w, reopen_dialog::kReadNewRadio);
        listDisabledAfterRadio = IsWindowEnabled(list) == FALSE;
      }
      robot::click(w, c.endButton);
    });
    const int32_t result = dialog.runModal(VPI_GetMainWnd());
    ASSERT_TRUE(robot::scriptRan());
    EXPECT_FALSE(robot::gaveUp());
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(message,
              templateText(kReopenDialogTemplate, reopen_dialog::kMessage));
    EXPECT_TRUE(listWasEnabled);
    EXPECT_EQ(dialog.selectionChanges, 1);
    EXPECT_EQ(dialog.selected, c.selected);
    if (c.result == kDialogOk) {
      EXPECT_EQ(dialog.readNew, c.clickReadNew);
    }
    EXPECT_EQ(listDisabledAfterRadio, c.clickReadNew);
    EXPECT_EQ(dialog.window(), nullptr);
    EXPECT_EQ(currentResourceModule(), GetModuleHandleA(nullptr));
  }
}

// --- The open-file dialog ----------------------------------------------------

bool isFileDialog(HWND w) {
  return GetDlgItem(w, IDOK) != nullptr &&
         (GetDlgItem(w, 0x047C) != nullptr || GetDlgItem(w, 0x0480) != nullptr);
}

// The file type combo (cmb1) of the file dialog: its items' texts.
std::vector<std::string> fileTypes(HWND w) {
  std::vector<std::string> types;
  HWND combo = GetDlgItem(w, 0x0470);
  LRESULT count = combo ? SendMessageA(combo, CB_GETCOUNT, 0, 0) : 0;
  for (LRESULT i = 0; i < count; ++i) {
    char text[256] = {};
    LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, i, 0);
    if (length >= 0 && length < static_cast<LRESULT>(sizeof text)) {
      SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    }
    types.push_back(text);
  }
  return types;
}

TEST_F(DialogWindowWin32Test, OpenFileDialogReturnsTheTypedName) {
  const std::string sample =
      std::string("Z:") + MORVANE_TEST_DATA + "/japan_cities.e00";
  std::string windowsSample = sample;
  for (char& ch : windowsSample) {
    if (ch == '/') ch = '\\';
  }
  // "ファイルを開く" in Shift-JIS.
  const char title[] = "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x8a\x4a\x82\xad";
  struct Case {
    const char* name;
    std::string typed;  // empty: the robot cancels
    bool chosen;
    std::string path;
  };
  // (A typed name longer than the 260-byte buffer is not among the cases:
  // Wine's own dialog faults on it before it returns.)
  const Case cases[] = {
      {"a file", windowsSample, true, windowsSample},
      {"cancelled", "", false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string caption;
    std::vector<std::string> types;
    robot::whenDialogShown(isFileDialog, [&](HWND w) {
      caption = robot::windowText(w);
      types = fileTypes(w);
      if (c.typed.empty()) {
        PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
      } else {
        robot::answerFileDialog(w, c.typed);
      }
    });
    OpenFileDialogRequest request = {
        VPI_GetMainWnd(), title,
        "Arc/Info Export File [*.e00]|*.e00|\x82\xb7\x82\xd7\x82\xc4 [*.*]|*.*||",
        "e00"};
    char path[kVpiPathSize];
    std::memset(path, 'x', sizeof path);
    const bool chosen = showOpenFileDialog(request, path);
    ASSERT_TRUE(robot::scriptRan());
    EXPECT_FALSE(robot::gaveUp());
    EXPECT_EQ(chosen, c.chosen);
    EXPECT_STREQ(path, c.path.c_str());
    EXPECT_EQ(caption, title);
    EXPECT_EQ(types, (std::vector<std::string>{
                         "Arc/Info Export File [*.e00]",
                         "\x82\xb7\x82\xd7\x82\xc4 [*.*]"}));
  }
}

}  // namespace
