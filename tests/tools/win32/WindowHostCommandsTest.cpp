// morvane-window-host's commands under Wine: whole host runs in one
// process, each loading the built Morvane.vpl through PluginIf.dll, the
// commands chosen from the real menu bar and every dialog (the file dialog,
// the reopen and close dialogs, the colour dialog, message boxes) answered
// by the window robot. The runs share one home folder, so each starts where
// the last one ended.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tools/win32/WindowHostCommands.h"

namespace {

namespace fs = std::filesystem;

struct HostRun {
  int exit;
  std::string out;
  std::string err;
};

std::string readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in),
                     std::istreambuf_iterator<char>());
}

// The names as the command line gives them (UTF-8).
const char kJapaneseName[] = "\xE6\xB5\xB7\xE5\xB2\xB8\xE7\xB7\x9A";  // 海岸線

class WindowHostCommandsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    char temp[MAX_PATH];
    ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
    folder_ = fs::path(temp) /
              ("morvane-window-host-test-" +
               std::to_string(GetCurrentProcessId()));
    fs::create_directories(folder_ / "in");
    fs::copy_file(fs::path(MORVANE_TEST_DATA) / "japan_coast_50m_partial.e00",
                  folder_ / "in" / fs::u8path(std::string(kJapaneseName) + ".e00"));
  }
  static void TearDownTestSuite() {
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }

  // One run of the host program on the shared home.
  static HostRun run(const std::vector<std::string>& command) {
    std::vector<std::string> args = {
        "--home", (folder_ / "home").string(), "--module",
        std::string("Z:") + MORVANE_MODULE_PATH};
    args.insert(args.end(), command.begin(), command.end());
    WindowHostOptions options;
    if (!parseWindowHostArguments(args, &options, stderr)) return {2, "", ""};
    fs::path out = folder_ / "out.txt";
    fs::path err = folder_ / "err.txt";
    FILE* o = _wfopen(out.c_str(), L"wb");
    FILE* e = _wfopen(err.c_str(), L"wb");
    HostRun r{runWindowHost(options, o, e), "", ""};
    std::fclose(o);
    std::fclose(e);
    r.out = readAll(out);
    r.err = readAll(err);
    return r;
  }
  static std::string sample(const char* name) {
    return (fs::path(MORVANE_TEST_DATA) / name).string();
  }
  static std::string japaneseFile() {
    return (folder_ / "in").string() + "\\" + kJapaneseName + ".e00";
  }
  static fs::path depotFolder() {
    return folder_ / "home" / "depot" / "Morvane" / "ArcInfoExport";
  }
  static int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos;
         at = text.find(what, at + 1)) {
      ++n;
    }
    return n;
  }

  static fs::path folder_;
};

fs::path WindowHostCommandsTest::folder_;

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
  FILE* err = _wfopen((folder_ / "usage.txt").c_str(), L"wb");
  for (const std::vector<std::string>& args : wrong) {
    WindowHostOptions options;
    EXPECT_FALSE(parseWindowHostArguments(args, &options, err))
        << args[0] << " " << (args.size() > 1 ? args[1] : "");
  }
  std::fclose(err);
}

// The runs build on one another: the first use, the next start, changes
// through the row, a second import through the reopen dialog, close,
// reopen and delete, and what each refuses.
TEST_F(WindowHostCommandsTest, SessionsThroughTheRealMenusAndDialogs) {
  // First use: no depot yet, so the file dialog comes at once.
  HostRun r = run({"open", sample("japan_coast_50m.e00")});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.out, "opened\t1\tjapan_coast_50m\n");
  EXPECT_TRUE(fs::is_directory(depotFolder()));
  EXPECT_GT(fs::file_size(depotFolder() / "japan_coast_50m.bin"), 28u);

  // The next start brings it back at the first draw, in its row, with the
  // attributes of a new data set; the depot holds its one item.
  r = run({"list"});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(count(r.out, "open\t"), 1) << r.out;
  EXPECT_NE(r.out.find("open\t1\tjapan_coast_50m\tvisible=1\tcolour=FFFF00"
                       "\twidth=1\tshowIn3d=1\n"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(count(r.out, "item\t"), 1) << r.out;
  EXPECT_NE(r.out.find("\tjapan_coast_50m\t" +
                       (depotFolder() / "japan_coast_50m.bin").string() + "\n"),
            std::string::npos)
      << r.out;

  // The row's check box, width combo box and colour dialog; kept at the
  // shutdown and shown again at the next start.
  // The picture is taken while the colour dialog holds the typed colour.
  const fs::path shot = folder_ / "colour.png";
  r = run({"--dialog-screenshot", shot.string(), "set", "japan_coast_50m",
           "--colour", "1E90FF", "--width", "3", "--visible", "0"});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(readAll(shot).compare(0, 4, "\x89PNG"), 0);
  const std::string changed =
      "open\t1\tjapan_coast_50m\tvisible=0\tcolour=1E90FF\twidth=3"
      "\tshowIn3d=1\n";
  EXPECT_EQ(r.out, changed);

  // A second import: the depot exists, so the reopen dialog comes first and
  // is answered with "read new"; a Japanese file name becomes its title.
  r = run({"open", japaneseFile()});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.out, std::string("opened\t2\t") + kJapaneseName + "\n");
  r = run({"list"});
  EXPECT_EQ(r.out.find(changed), 0u) << r.out;
  EXPECT_NE(r.out.find(std::string("open\t2\t") + kJapaneseName +
                       "\tvisible=1\tcolour=FFFF00\twidth=1"),
            std::string::npos)
      << r.out;

  // Refused, changing nothing: a name that is not open (the close dialog
  // cancelled), a file that is not there (the reader's message box,
  // answered with OK, is the run's error).
  r = run({"close", "rivers"});
  EXPECT_EQ(r.exit, 1);
  EXPECT_NE(r.err.find("not every name is open"), std::string::npos) << r.err;
  r = run({"open", (folder_ / "in" / "missing.e00").string()});
  EXPECT_EQ(r.exit, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("error: GIS \xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4"
                       "\xE3\x83\xAB"),  // GIS ファイル
            std::string::npos)
      << r.err;

  // Close keeps the item; reopen brings it back, after the one restored.
  r = run({"close", kJapaneseName});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.out, std::string("closed\t") + kJapaneseName + "\n");
  r = run({"reopen", kJapaneseName});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.out, std::string("reopened\t2\t") + kJapaneseName + "\n");

  // Deleting both leaves nothing open: the close command is greyed at the
  // next start, and the depot lists no item.
  r = run({"delete", "japan_coast_50m", kJapaneseName});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_FALSE(fs::exists(depotFolder() / "japan_coast_50m.bin"));
  r = run({"close", "japan_coast_50m"});
  EXPECT_EQ(r.exit, 1);
  EXPECT_NE(r.err.find("nothing is open"), std::string::npos) << r.err;
  r = run({"list"});
  EXPECT_EQ(r.out, "");

  // The place-name command: the count it shows is the result.
  r = run({"names", sample("japan_cities.e00")});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.out.compare(0, 4, "200\xE5"), 0) << r.out;  // 200個...
  EXPECT_EQ(count(r.out, "\n"), 1) << r.out;
}

}  // namespace
