// morvane-host open, reopen, close, delete, set and list: whole sessions,
// each command one run of the host in the same home folder. The scenarios
// both host programs share are in DepotCommandChecks.h; here they run over
// the headless robot, beside what only morvane-host does (draw, and the
// profile value it leaves).

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
#include "tests/tools/DepotCommandChecks.h"
#include "tests/tools/MorvaneHostSupport.h"
#include "ui/headless/FileDialogHeadless.h"

namespace {

namespace fs = std::filesystem;
using namespace host_test;

// One run of the host: it reads what the last one kept on disk, and
// nothing of the stand-in host's state in memory.
HostRun runAfresh(const std::string& home, const Arguments& command) {
  standin::resetDepot();
  standin::resetProfile();
  standin::resetLayers();
  headless::resetFileDialogs();
  return runHost(home, command);
}

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

  HostRun run(const Arguments& command) {
    return runAfresh((folder_ / "home").string(), command);
  }
  std::string in(const char* name) const {
    return (folder_ / "in" / name).string();
  }
  fs::path folder_;
};

// morvane-host over the headless robot, in a home of its own.
class HeadlessHost : public DepotHost {
 public:
  using DepotHost::DepotHost;
  DepotRun run(const std::vector<std::string>& command) override {
    HostRun r = runAfresh(home().string(), command);
    return {r.exit, r.out, r.err};
  }
  std::string input(const std::string& name,
                    const std::string& content) override {
    fs::path path = folder() / "in" / name;
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
  }
};

// The scenarios both host programs pass (DepotCommandChecks.h).
TEST_F(DepotCommandsTest, OpenListCloseReopenDelete) {
  HeadlessHost host(folder_ / "scenario");
  checkOpenListCloseReopenDelete(host);
}
TEST_F(DepotCommandsTest, FailuresChangeNothing) {
  HeadlessHost host(folder_ / "scenario");
  checkFailuresChangeNothing(host);
}
TEST_F(DepotCommandsTest, SetWorksTheRowAndSurvivesTheNextStart) {
  HeadlessHost host(folder_ / "scenario");
  checkSetWorksTheRowAndSurvivesTheNextStart(host);
}
TEST_F(DepotCommandsTest, JapaneseNamesAndASampleCoverage) {
  HeadlessHost host(folder_ / "scenario");
  checkJapaneseNamesAndASampleCoverage(host);
}
TEST_F(DepotCommandsTest, PlaceNames) {
  HeadlessHost host(folder_ / "scenario");
  checkPlaceNames(host);
}
TEST_F(DepotCommandsTest, RelativeNamesAreTheCurrentFolders) {
  HeadlessHost host(folder_ / "scenario");
  checkRelativeNamesAreTheCurrentFolders(host);
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
  EXPECT_EQ(depot_checks::openRows(run({"list"}).out),
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
