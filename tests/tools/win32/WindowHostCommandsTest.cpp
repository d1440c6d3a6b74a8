// morvane-window-host's commands under Wine: whole host runs in one
// process, each loading the built Morvane.vpl through PluginIf.dll, the
// commands chosen from the real menu bar and every dialog (the file dialog,
// the reopen and close dialogs, the colour dialog, message boxes) answered
// by the window robot. The runs of a test share its home folder, so each
// starts where the last one ended.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/tools/DepotCommandChecks.h"
#include "tools/win32/WindowHostCommands.h"

namespace {

namespace fs = std::filesystem;

std::string readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in),
                     std::istreambuf_iterator<char>());
}

// morvane-window-host in one process, over the real windows, in a home of
// its own.
class WindowHost : public DepotHost {
 public:
  using DepotHost::DepotHost;

  // The program's arguments before the command: the home and the module.
  DepotRun runWith(const std::vector<std::string>& options,
                   const std::vector<std::string>& command) {
    std::vector<std::string> args = {
        "--home", home().string(), "--module",
        std::string("Z:") + MORVANE_MODULE_PATH};
    args.insert(args.end(), options.begin(), options.end());
    args.insert(args.end(), command.begin(), command.end());
    fs::path out = folder() / "out.txt";
    fs::path err = folder() / "err.txt";
    FILE* o = _wfopen(out.c_str(), L"wb");
    FILE* e = _wfopen(err.c_str(), L"wb");
    WindowHostOptions parsed;
    DepotRun r{2, "", ""};
    if (parseWindowHostArguments(args, &parsed, e)) {
      r.exit = runWindowHost(parsed, o, e);
    }
    std::fclose(o);
    std::fclose(e);
    r.out = readAll(out);
    r.err = readAll(err);
    return r;
  }
  DepotRun run(const std::vector<std::string>& command) override {
    return runWith({}, command);
  }
  std::string input(const std::string& name,
                    const std::string& content) override {
    std::ofstream(folder() / "in" / fs::u8path(name), std::ios::binary)
        << content;
    // The folder is ASCII; the name stays UTF-8, as the command line has it.
    return (folder() / "in").string() + "\\" + name;
  }
};

class WindowHostCommandsTest : public ::testing::Test {
 protected:
  // A folder of its own for each test, under the system's temporary folder.
  static fs::path testFolder() {
    char temp[MAX_PATH];
    EXPECT_GT(GetTempPathA(sizeof temp, temp), 0u);
    const ::testing::TestInfo* test =
        ::testing::UnitTest::GetInstance()->current_test_info();
    return fs::path(temp) / ("morvane-window-host-test-" +
                             std::to_string(GetCurrentProcessId()) + "-" +
                             test->name());
  }
};

TEST_F(WindowHostCommandsTest, WrongCommandLinesAreRefused) {
  const std::vector<std::vector<std::string>> wrong = {
      {"open"},
      {"list", "x"},
      {"names"},
      {"close", "-v"},
      {"set", "a", "--width", "0"},
      {"set", "a", "--colour", "12345G"},
      {"--screenshot"},
      {"--size", "1", "list"},
      {"open", "a.e00", "--screenshot", "x.png"},  // options come first
  };
  WindowHost host(testFolder());
  FILE* err = _wfopen((host.folder() / "usage.txt").c_str(), L"wb");
  for (const std::vector<std::string>& args : wrong) {
    WindowHostOptions options;
    EXPECT_FALSE(parseWindowHostArguments(args, &options, err))
        << args[0] << " " << (args.size() > 1 ? args[1] : "");
  }
  std::fclose(err);
}

// The scenarios both host programs pass (DepotCommandChecks.h), through the
// real menus and dialogs.
TEST_F(WindowHostCommandsTest, OpenListCloseReopenDelete) {
  WindowHost host(testFolder());
  checkOpenListCloseReopenDelete(host);
}
TEST_F(WindowHostCommandsTest, FailuresChangeNothing) {
  WindowHost host(testFolder());
  checkFailuresChangeNothing(host);
}
TEST_F(WindowHostCommandsTest, SetWorksTheRowAndSurvivesTheNextStart) {
  WindowHost host(testFolder());
  checkSetWorksTheRowAndSurvivesTheNextStart(host);
}
TEST_F(WindowHostCommandsTest, JapaneseNamesAndASampleCoverage) {
  WindowHost host(testFolder());
  checkJapaneseNamesAndASampleCoverage(host);
}
TEST_F(WindowHostCommandsTest, PlaceNames) {
  WindowHost host(testFolder());
  checkPlaceNames(host);
}
TEST_F(WindowHostCommandsTest, RelativeNamesAreTheCurrentFolders) {
  WindowHost host(testFolder());
  checkRelativeNamesAreTheCurrentFolders(host);
}

// A relative name that the current folder makes too long for the module's
// path is refused: its file dialog is cancelled and nothing opens.
TEST_F(WindowHostCommandsTest, RelativeNameTooLongAsAFullPathIsRefused) {
  WindowHost host(testFolder());
  fs::path deep = host.folder() / "in";
  while (deep.string().size() < 240) deep /= std::string(20, 'd');
  fs::create_directories(deep);
  std::ofstream(deep / "roads.e00", std::ios::binary) << host_test::smallArcs();
  const fs::path was = fs::current_path();
  fs::current_path(deep);
  DepotRun r = host.run({"open", "roads.e00"});
  fs::current_path(was);
  EXPECT_EQ(r.exit, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("roads.e00 is too long for the module as a full path"),
            std::string::npos)
      << r.err;
  EXPECT_FALSE(host.depotExists());
}

// What only this program does: the picture taken while the first dialog
// holds its typed answer (here the colour dialog).
TEST_F(WindowHostCommandsTest, DialogPicture) {
  WindowHost host(testFolder());
  ASSERT_EQ(host.run({"open", host.sample("japan_coast_50m.e00")}).exit, 0);
  const fs::path shot = host.folder() / "colour.png";
  DepotRun r = host.runWith({"--dialog-screenshot", shot.string()},
                            {"set", "japan_coast_50m", "--colour", "1E90FF"});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(readAll(shot).compare(0, 4, "\x89PNG"), 0);
  EXPECT_EQ(r.out,
            "open\t1\tjapan_coast_50m\tvisible=1\tcolour=1E90FF\twidth=1"
            "\tshowIn3d=1\n");
}

}  // namespace
