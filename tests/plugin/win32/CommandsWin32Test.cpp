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

  // A run of the host with the module: Init and Load, and the first draw
  // of the map.
  static void startHost(bool draw = true) {
    resetStandinHost();
    pluginModule().reset(1);
    PluginInfo info;
    ASSERT_EQ(Init(&info, 1), 1);
    ASSERT_EQ(Load(), 1);
    if (draw) standin::drawAll2d();
  }
  static void stopHost() {
    Close();
    Release();
  }
  static void restartHost(bool draw = true) {
    stopHost();
    startHost(draw);
  }

  static void open(std::vector<Answer> script) { runCommand(openCommand, script); }
  static void close(std::vector<Answer> script) { runCommand(closeCommand, script); }

  // A sample under another name, in the home folder.
  std::string copyOf(const char* sampleName, const char* name) {
    const fs::path to = home_ / "in" / name;
    fs::copy_file(fs::path(MORVANE_TEST_DATA) / sampleName, to,
                  fs::copy_options::overwrite_existing);
    return to.string();
  }
  static PluginModule& module() { return pluginModule(); }
  static fs::path depotFolder() {
    return standin::fileSystemPath(module().depotFolderPath);
  }
  // The rows of the panel: row id and the title shown.
  struct RowView {
    int32_t rowId;
    std::string title;
    bool operator==(const RowView& o) const {
      return rowId == o.rowId && title == o.title;
    }
  };
  static std::vector<RowView> rows() {
    std::vector<RowView> out;
    const RowListWindow& list = *module().panel->list;
    for (int32_t i = 0; i < list.count(); ++i) {
      HWND row = static_cast<HWND>(list.entry(i).row->window()->handle());
      out.push_back({list.entry(i).rowId,
                     robot::controlText(row, layer_row::kTitle)});
    }
    return out;
  }
  static bool closeEnabled() {
    return standin::menuCommandEnabled(standin::findMenuCommand(
        kTextMenuTitle, kTextMenuE00File, kPopupClosePosition));
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
  void reopenFirstEntry() override { runCommand(openCommand, {reopen({0})}); }
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
    const RowListWindow& list = *pluginModule().panel->list;
    for (int32_t i = 0; i < list.count(); ++i) {
      ids.push_back(list.entry(i).rowId);
    }
    return ids;
  }
  bool closeEnabled() override {
    return standin::menuCommandEnabled(standin::findMenuCommand(
        kTextMenuTitle, kTextMenuE00File, kPopupClosePosition));
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

// Three data sets open at the shutdown come back at the next start's first
// 2D draw, not before, with row ids 1, 2, 3 and their attributes; the 3D
// view then draws them until the host aborts its rendering.
TEST_F(CommandsWin32Test, ThreeOpenAtShutdownComeBackAtTheFirstDraw) {
  const char* names[] = {"roads", "rivers", "coast"};
  for (const char* name : names) {
    std::vector<Answer> script;
    if (findDepotFolder() != 0) script.push_back(readNew());
    script.push_back(file(copyOf("japan_coast_50m_partial.e00",
                                 (std::string(name) + ".e00").c_str())));
    open(script);
  }
  close({closeData({0}, close_data_dialog::kOk)});  // roads: row 1 goes
  open({reopen({2})});                              // roads again: row 4
  ASSERT_EQ(module().registry.count(), 3);
  for (int32_t i = 0; i < 3; ++i) {
    LineDataSet& d = *module().registry.at(i);
    d.lineColour = 0x00102030u + i;
    d.lineWidth = 2 + i;
    d.visible = i % 2;
    d.showIn3d = 0;
  }

  restartHost(false);
  EXPECT_TRUE(rows().empty());
  EXPECT_EQ(module().registry.count(), 0);
  standin::drawAll2d();
  EXPECT_EQ(rows(), (std::vector<RowView>{{1, "rivers"}, {2, "coast"},
                                          {3, "roads"}}));
  ASSERT_EQ(module().registry.count(), 3);
  for (int32_t i = 0; i < 3; ++i) {
    const LineDataSet& d = *module().registry.at(i);
    EXPECT_EQ(d.rowId, i + 1);
    EXPECT_EQ(d.lineColour, 0x00102030u + i);
    EXPECT_EQ(d.lineWidth, 2 + i);
    EXPECT_EQ(d.visible, i % 2);
    EXPECT_EQ(d.showIn3d, 0);
  }
  EXPECT_EQ(module().panel->showIn3dCheck(), 0);

  for (int32_t i = 0; i < 3; ++i) {
    module().registry.at(i)->visible = 1;
    module().registry.at(i)->showIn3d = 1;
  }
  const LineDataSet& first = *module().registry.at(0);
  int32_t at = 0;
  while (isSeparator(first.points[at])) ++at;
  const double latitude = first.points[at].latitude * kDegreesPerUnit;
  const double longitude = first.points[at].longitude * kDegreesPerUnit;
  standin::setEye3d({latitude, longitude});
  const std::vector<int32_t> blocks = {standin::blockCodeAt(latitude, longitude)};
  standin::drawAll3d(blocks);
  EXPECT_EQ(standin::view3dCalls().draw3dLines, 3);
  standin::resetView3d();
  standin::setEye3d({latitude, longitude});
  standin::setAbortRendering(true);
  standin::drawAll3d(blocks);
  EXPECT_EQ(standin::view3dCalls().draw3dLines, 1);
  standin::setAbortRendering(false);
}

}  // namespace
