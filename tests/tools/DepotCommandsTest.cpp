// morvane-host open, reopen, close, delete and list: whole sessions, each
// command one run of the host in the same home folder.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "standin/StandinDepot.h"
#include "standin/StandinLayers.h"
#include "host/PluginIf.h"
#include "standin/StandinProfile.h"
#include "tests/TempName.h"
#include "tests/tools/MorvaneHostSupport.h"
#include "ui/headless/FileDialogHeadless.h"

namespace {

namespace fs = std::filesystem;
using namespace host_test;

class DepotCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::path(uniqueTempPath("morvane-depot-cmd-test-"));
    fs::create_directories(folder_ / "in");
    for (const char* name : {"roads", "rivers", "coast"}) {
      std::ofstream(folder_ / "in" / (std::string(name) + ".e00"),
                    std::ios::binary)
          << smallArcs();
    }
  }
  void TearDown() override { fs::remove_all(folder_); }

  // One run of the host: it reads what the last one kept on disk.
  HostRun run(const Arguments& command) {
    standin::resetDepot();
    standin::resetProfile();
    standin::resetLayers();
    headless::resetFileDialogs();
    return runHost((folder_ / "home").string(), command);
  }
  std::string in(const char* name) const {
    return (folder_ / "in" / name).string();
  }
  fs::path depotFolder() const {
    return folder_ / "home" / "depot" / "Morvane" / "ArcInfoExport";
  }
  // The "open" lines of list: row id and name.
  std::vector<std::string> openLines(const std::string& out) const {
    std::vector<std::string> lines;
    size_t at = 0;
    while ((at = out.find("open\t", at)) != std::string::npos) {
      size_t end = out.find('\t', out.find('\t', at + 5) + 1);
      lines.push_back(out.substr(at + 5, end - at - 5));
      at = end;
    }
    return lines;
  }

  fs::path folder_;
};

TEST_F(DepotCommandsTest, SessionOfOpenListCloseReopenDelete) {
  HostRun r = run({"open", in("roads.e00"), in("rivers.e00"), in("coast.e00")});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.out, "opened\t1\troads\nopened\t2\trivers\nopened\t3\tcoast\n");
  for (const char* f : {"roads.bin", "rivers.bin", "coast.bin"}) {
    EXPECT_TRUE(fs::is_regular_file(depotFolder() / f)) << f;
  }

  // The three open at the end of the run come back at the next one with
  // row ids 1, 2, 3 and their attributes.
  r = run({"list"});
  EXPECT_EQ(r.exit, 0);
  EXPECT_EQ(openLines(r.out),
            (std::vector<std::string>{"1\troads", "2\trivers", "3\tcoast"}));
  EXPECT_NE(r.out.find("\tvisible=1\tcolour=FFFF00\twidth=1\tshowIn3d=1\n"),
            std::string::npos);
  EXPECT_NE(r.out.find("\troads\t" + (depotFolder() / "roads.bin").string()),
            std::string::npos);

  r = run({"close", "roads", "rivers"});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.out, "closed\troads\nclosed\trivers\n");
  r = run({"list"});
  EXPECT_EQ(openLines(r.out), (std::vector<std::string>{"1\tcoast"}));
  EXPECT_TRUE(fs::is_regular_file(depotFolder() / "roads.bin"));

  r = run({"reopen", "roads", "roads"});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.out, "reopened\t2\troads\nreopened\t3\troads\n");

  r = run({"delete", "coast", "roads", "roads"});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_FALSE(fs::exists(depotFolder() / "coast.bin"));
  EXPECT_FALSE(fs::exists(depotFolder() / "roads.bin"));
  EXPECT_TRUE(fs::exists(depotFolder() / "rivers.bin"));
  // Nothing open: the layers went, and the next run starts without them.
  r = run({"list"});
  EXPECT_TRUE(openLines(r.out).empty());
  EXPECT_EQ(r.out.find("\troads\t"), std::string::npos);
  r = run({"close", "rivers"});
  EXPECT_EQ(r.exit, 1);
}

TEST_F(DepotCommandsTest, FailuresAndWrongUsage) {
  struct Case {
    Arguments command;
    int exit;
  } cases[] = {
      {{"open"}, 2},
      {{"list", "x"}, 2},
      {{"close"}, 2},
      {{"reopen", "-v"}, 2},
      {{"open", (fs::path("/nonexistent") / "x.e00").string()}, 1},
      {{"reopen", "roads"}, 1},  // no depot yet
      {{"close", "roads"}, 1},   // nothing open
  };
  for (const Case& c : cases) {
    HostRun r = run(c.command);
    EXPECT_EQ(r.exit, c.exit) << c.command[0] << " " << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;
  }
  EXPECT_FALSE(fs::exists(folder_ / "home" / "depot" / "Morvane"));

  ASSERT_EQ(run({"open", in("roads.e00")}).exit, 0);
  HostRun r = run({"reopen", "roads", "lakes"});
  EXPECT_EQ(r.exit, 1);
  EXPECT_TRUE(r.out.empty());
  r = run({"close", "lakes"});
  EXPECT_EQ(r.exit, 1);
  EXPECT_EQ(openLines(run({"list"}).out),
            (std::vector<std::string>{"1\troads"}));
}

TEST_F(DepotCommandsTest, SetWorksTheRowAndSurvivesTheNextStart) {
  ASSERT_EQ(run({"open", in("roads.e00"), in("rivers.e00")}).exit, 0);
  HostRun r = run({"set", "rivers", "--colour", "FF8000", "--width", "3",
                   "--visible", "0"});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.out,
            "open\t2\trivers\tvisible=0\tcolour=FF8000\twidth=3\t"
            "showIn3d=1\n");
  // The same row id and attributes come back at the next start; the other
  // data set is untouched.
  r = run({"list"});
  EXPECT_NE(r.out.find("open\t1\troads\tvisible=1\tcolour=FFFF00\twidth=1\t"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("open\t2\trivers\tvisible=0\tcolour=FF8000\twidth=3\t"),
            std::string::npos)
      << r.out;

  struct Case {
    Arguments command;
    int exit;
  } cases[] = {
      {{"set", "lakes", "--width", "2"}, 1},  // not open
      {{"set", "rivers"}, 2},                 // nothing to change
      {{"set", "rivers", "--width"}, 2},
      {{"set", "rivers", "--width", "0"}, 2},
      {{"set", "rivers", "--width", "10"}, 2},
      {{"set", "rivers", "--visible", "2"}, 2},
      {{"set", "rivers", "--colour", "FF80"}, 2},
      {{"set", "rivers", "--colour", "GG8000"}, 2},
      {{"set", "rivers", "--color", "FF8000"}, 2},
      {{"set", "--width", "2", "rivers"}, 2},
  };
  for (const Case& c : cases) {
    r = run(c.command);
    EXPECT_EQ(r.exit, c.exit) << c.command[1] << " " << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;
    EXPECT_FALSE(r.err.empty());
  }
  r = run({"list"});
  EXPECT_NE(r.out.find("open\t2\trivers\tvisible=0\tcolour=FF8000\twidth=3\t"),
            std::string::npos)
      << r.out;
}

// A run that only imports place names still brings back what was open (the
// host's first map draw) and so keeps it for the next; a draw without a file
// draws the restored data sets through the module's layers.
TEST_F(DepotCommandsTest, EveryRunKeepsWhatWasOpenAndDrawShowsIt) {
  ASSERT_EQ(run({"open", in("roads.e00"), in("rivers.e00"), in("coast.e00")})
                .exit,
            0);
  std::ofstream(folder_ / "in" / "names.e00", std::ios::binary) << smallNames();
  HostRun r = run({"names", in("names.e00")});
  ASSERT_EQ(r.exit, 0) << r.err;
  std::string svg = (folder_ / "map.svg").string();
  r = run({"draw", "--svg", svg, "--extent", "138,34,141,37"});
  EXPECT_EQ(r.exit, 0) << r.err;
  // Three data sets of two arcs of three and two vertices each.
  EXPECT_EQ(r.out, "lines=6 points=15\n");
  std::ifstream picture(svg);
  std::string text((std::istreambuf_iterator<char>(picture)),
                   std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("\xE6\x9D\xB1\xE4\xBA\xAC"), std::string::npos);  // 東京
  EXPECT_EQ(openLines(run({"list"}).out),
            (std::vector<std::string>{"1\troads", "2\trivers", "3\tcoast"}));
}

// Without --extent the picture covers the data sets the map shows, their
// bounds as the module's layers drew them; a hidden one is not drawn and
// does not stretch the picture.
TEST_F(DepotCommandsTest, DrawWithoutExtentCoversWhatTheMapShows) {
  // The small arcs moved from 140 to 14 degrees east.
  std::string far = smallArcs();
  for (size_t at = 0; (at = far.find("E+02", at)) != std::string::npos;) {
    far.replace(at, 4, "E+01");
  }
  std::ofstream(folder_ / "in" / "far.e00", std::ios::binary) << far;
  ASSERT_EQ(run({"open", in("roads.e00"), in("far.e00")}).exit, 0);
  // The picture's width and height in pixels, from its first element.
  auto size = [this](const Arguments& command) {
    HostRun r = run(command);
    EXPECT_EQ(r.exit, 0) << r.err;
    std::ifstream picture(folder_ / "map.svg");
    std::string text((std::istreambuf_iterator<char>(picture)),
                     std::istreambuf_iterator<char>());
    double width = 0;
    double height = 0;
    size_t at = text.find("<svg ");
    EXPECT_NE(at, std::string::npos);
    std::sscanf(text.c_str() + at, "<svg xmlns=\"%*[^\"]\" width=\"%lf\" "
                "height=\"%lf\"", &width, &height);
    return std::make_pair(r.out, width / std::max(height, 1.0));
  };
  const std::string svg = (folder_ / "map.svg").string();
  // Both shown: 126 degrees wide, under half a degree high (and the
  // margin of 5 % of the width above and below).
  auto both = size({"draw", "--svg", svg});
  EXPECT_EQ(both.first, "lines=4 points=10\n");
  EXPECT_GT(both.second, 4.0);
  ASSERT_EQ(run({"set", "far", "--visible", "0"}).exit, 0);
  // Tokyo's arcs alone, about as wide as high.
  auto shown = size({"draw", "--svg", svg});
  EXPECT_EQ(shown.first, "lines=2 points=5\n");
  EXPECT_GT(shown.second, 0.5);
  EXPECT_LT(shown.second, 2.0);
}

// The profile value Load says whether the next start registers the layers:
// 1 while data is open, 0 once the last data set is closed; the close
// command stays greyed until the layers exist.
TEST_F(DepotCommandsTest, LoadAndTheCloseCommandFollowTheLayers) {
  auto storedLoad = [this] {
    standin::setHome((folder_ / "home").string());
    standin::resetProfile();
    return VPI_GetProfileInt(1, "Load", -1);
  };
  HostRun r = run({"close", "roads"});
  EXPECT_EQ(r.exit, 1);
  EXPECT_NE(r.err.find("close: nothing is open"), std::string::npos) << r.err;
  EXPECT_EQ(storedLoad(), 0);

  ASSERT_EQ(run({"open", in("roads.e00"), in("coast.e00")}).exit, 0);
  EXPECT_EQ(storedLoad(), 1);
  ASSERT_EQ(run({"close", "roads"}).exit, 0);
  EXPECT_EQ(storedLoad(), 1);
  ASSERT_EQ(run({"close", "coast"}).exit, 0);
  EXPECT_EQ(storedLoad(), 0);
  r = run({"delete", "coast"});
  EXPECT_EQ(r.exit, 1);
  EXPECT_NE(r.err.find("delete: nothing is open"), std::string::npos);
  // Reopened, the layers are back and so is the close command.
  ASSERT_EQ(run({"reopen", "coast"}).exit, 0);
  EXPECT_EQ(storedLoad(), 1);
  EXPECT_EQ(run({"close", "coast"}).exit, 0);
}

}  // namespace
