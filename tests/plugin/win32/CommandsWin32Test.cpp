// Whole sessions of the module on real windows, under Wine: the module's
// entry points run as the host runs them (Init and Load at the start, Close
// and Release at the shutdown), its side panel sits in the host program's
// panel area, and every dialog the commands show (the open-file dialog, the
// reopen and close dialogs, message boxes) is answered by the window robot
// through its controls. A restart keeps the home folder, so the next run
// finds what the last one left on disk. One program, so that Wine starts
// once.

#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "module/PluginModule.h"
#include "plugin/CloseCommand.h"
#include "plugin/DepotFolders.h"
#include "plugin/OpenCommand.h"
#include "plugin/PluginEntry.h"
#include "resources/DialogIds.h"
#include "resources/Texts.h"
#include "standin/StandinFiles.h"
#include "standin/win32/StandinHostWindow.h"
#include "tests/plugin/CommandScenarioChecks.h"
#include "tests/plugin/ModuleFixture.h"
#include "tools/win32/DialogRobot.h"
#include "ui/LayerPanel.h"
#include "ui/LayerRow.h"
#include "ui/RowListWindow.h"

namespace {

namespace fs = std::filesystem;

bool hasControl(HWND d, int id) { return GetDlgItem(d, id) != nullptr; }
bool isReopenDialog(HWND d) { return hasControl(d, reopen_dialog::kReadNewRadio); }
bool isCloseDialog(HWND d) { return hasControl(d, close_data_dialog::kDeleteButton); }

// What the robot does with the next dialog the command shows. Message boxes
// are not scripted: each is read and answered with OK.
struct Answer {
  std::function<bool(HWND)> is;
  std::function<void(HWND)> act;
};

struct Session {
  std::deque<Answer> script;
  std::vector<std::string> messages;
  std::vector<std::string> titles;      // of every dialog answered
  std::vector<std::string> unexpected;  // dialogs nobody scripted: cancelled
} gSession;

bool answer(HWND d) {
  if ((GetWindowLongA(d, GWL_STYLE) & WS_CHILD) != 0 ||
      hasControl(d, progress_dialog::kProgressBar)) {
    return false;  // the panel, its rows, the progress dialog
  }
  gSession.titles.push_back(robot::windowText(d));
  // Scripted first: the close dialog's static text has the id of a
  // message box's.
  if (!gSession.script.empty() && gSession.script.front().is(d)) {
    Answer a = gSession.script.front();
    gSession.script.pop_front();
    a.act(d);
  } else if (robot::isMessageBox(d)) {
    gSession.messages.push_back(robot::messageBoxText(d));
    robot::postClick(d, IDOK);
  } else {
    gSession.unexpected.push_back(robot::windowText(d));
    robot::postClick(d, IDCANCEL);
  }
  return true;
}

// --- The answers -------------------------------------------------------------

Answer file(const std::string& path) {
  return {robot::isFileDialog,
          [path](HWND d) { robot::answerFileDialog(d, path); }};
}
Answer cancelFile() {
  return {robot::isFileDialog, [](HWND d) { robot::postClick(d, IDCANCEL); }};
}
Answer readNew() {
  return {isReopenDialog, [](HWND d) {
            robot::click(d, reopen_dialog::kReadNewRadio);
            robot::postClick(d, reopen_dialog::kOk);
          }};
}
// The list entries at these positions, then OK.
Answer reopen(std::vector<int> entries) {
  return {isReopenDialog, [entries](HWND d) {
            robot::selectListItems(d, reopen_dialog::kListBox, entries);
            robot::postClick(d, reopen_dialog::kOk);
          }};
}
Answer cancelReopen() {
  return {isReopenDialog,
          [](HWND d) { robot::postClick(d, reopen_dialog::kCancel); }};
}
// The list entries at these positions, then the button; what the list
// showed goes to listed.
Answer closeData(std::vector<int> entries, int button,
                 std::vector<std::string>* listed = nullptr) {
  return {isCloseDialog, [=](HWND d) {
            HWND list = GetDlgItem(d, close_data_dialog::kListBox);
            const int n = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
            for (int i = 0; listed != nullptr && i < n; ++i) {
              std::string text(SendMessageA(list, LB_GETTEXTLEN, i, 0) + 1, '\0');
              SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
              listed->push_back(text.c_str());
            }
            robot::selectListItems(d, close_data_dialog::kListBox, entries);
            robot::postClick(d, button);
          }};
}

// Runs a command with the robot answering its dialogs from the script;
// every scripted answer must be used, and no other dialog shown.
void runCommand(VpiCallback command, std::vector<Answer> script) {
  gSession = Session();
  gSession.script.assign(script.begin(), script.end());
  robot::answerDialogs(answer);
  EXPECT_EQ(command(kMenuRunCommand, 0, 0), 0);
  robot::stopAnswering();
  EXPECT_FALSE(robot::answerNotTaken());
  EXPECT_TRUE(gSession.script.empty()) << "answers left unused";
  EXPECT_TRUE(gSession.unexpected.empty()) << gSession.unexpected[0];
}

// A run of the host with the module: Init and Load, and the first draw of
// the map.
void startHost(bool draw = true) {
  resetStandinHost();
  pluginModule().reset(1);
  PluginInfo info;
  ASSERT_EQ(Init(&info, 1), 1);
  ASSERT_EQ(Load(), 1);
  if (draw) standin::drawAll2d();
}
void stopHost() {
  Close();
  Release();
}

// The rows of the panel: row id and the title shown.
struct RowView {
  int32_t rowId;
  std::string title;
  bool operator==(const RowView& o) const {
    return rowId == o.rowId && title == o.title;
  }
};
std::vector<RowView> rows() {
  std::vector<RowView> out;
  const RowListWindow& list = *pluginModule().panel->list;
  for (int32_t i = 0; i < list.count(); ++i) {
    HWND row = static_cast<HWND>(list.entry(i).row->window()->handle());
    out.push_back({list.entry(i).rowId,
                   robot::controlText(row, layer_row::kTitle)});
  }
  return out;
}

class CommandsWin32Test : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { standin::createHostWindow(800, 500); }
  static void TearDownTestSuite() { standin::destroyHostWindow(); }
  void SetUp() override {
    home_ = fs::u8path(uniqueTempPath("morvane-commands-win32-"));
    fs::create_directories(home_ / "in");
    standin::setHome(home_.string());
    standin::setMessageDispatcher(nullptr);
    startHost();
  }
  void TearDown() override {
    stopHost();
    std::error_code ec;
    fs::remove_all(home_, ec);
  }

  fs::path home_;
};

// What the shared scenarios see of the real windows.
class WindowSide : public CommandSide {
 public:
  explicit WindowSide(fs::path home) : home_(std::move(home)) {}
  void openFirst(const std::string& path) override {
    runCommand(openCommand, {file(path)});
  }
  void openCancelled() override { runCommand(openCommand, {cancelFile()}); }
  void reopenCancelled() override {
    runCommand(openCommand, {cancelReopen()});
  }
  void reopenEntry(int entry) override {
    runCommand(openCommand, {reopen({entry})});
  }
  void openNew(const std::string& path) override {
    runCommand(openCommand, {readNew(), file(path)});
  }
  void closeEntries(std::vector<int> entries, bool remove,
                    std::vector<std::string>* listed) override {
    runCommand(closeCommand,
               {closeData(entries,
                          remove ? close_data_dialog::kDeleteButton
                                 : close_data_dialog::kOk,
                          listed)});
  }
  std::string sampleCopy(const char* name) override {
    const fs::path to = home_ / "in" / name;
    fs::copy_file(fs::path(MORVANE_TEST_DATA) / "japan_coast_50m_partial.e00",
                  to, fs::copy_options::overwrite_existing);
    return to.string();
  }
  std::string missingInput() override {
    return (home_ / "in" / "missing.e00").string();
  }
  std::vector<std::string> dialogTitles() override { return gSession.titles; }
  std::vector<std::string> messages() override { return gSession.messages; }
  std::vector<int32_t> rowIds() override {
    std::vector<int32_t> ids;
    for (const RowView& row : rows()) ids.push_back(row.rowId);
    return ids;
  }
  bool closeEnabled() override {
    return standin::menuCommandEnabled(standin::findMenuCommand(
        kTextMenuTitle, kTextMenuE00File, kPopupClosePosition));
  }
  void restartWithoutDrawing() override {
    stopHost();
    startHost(false);
  }

 private:
  fs::path home_;
};

TEST_F(CommandsWin32Test, FirstUseImportsAtOnce) {
  WindowSide side(home_);
  checkFirstUseImportsAtOnce(side);
  // The title the row shows.
  EXPECT_EQ(rows(), (std::vector<RowView>{{1, "roads.old"}}));
}

TEST_F(CommandsWin32Test, FailedFirstImportRemovesTheDepotFolder) {
  WindowSide side(home_);
  checkFailedFirstImportRemovesTheDepotFolder(side);
}

TEST_F(CommandsWin32Test, CancelPaths) {
  WindowSide side(home_);
  checkCancelPaths(side);
}

TEST_F(CommandsWin32Test, ReopenTwiceThenTheDirectoryIsDeleted) {
  WindowSide side(home_);
  checkReopenTwiceThenTheDirectoryIsDeleted(side);
}

TEST_F(CommandsWin32Test, CloseTwoOfThreeThenDeleteTheLast) {
  WindowSide side(home_);
  checkCloseTwoOfThreeThenDeleteTheLast(side);
}

TEST_F(CommandsWin32Test, ThreeOpenAtShutdownComeBackAtTheFirstDraw) {
  WindowSide side(home_);
  checkThreeOpenAtShutdownComeBackAtTheFirstDraw(side);
  EXPECT_EQ(rows(), (std::vector<RowView>{{1, "rivers"}, {2, "coast"},
                                          {3, "roads"}}));
}

}  // namespace
