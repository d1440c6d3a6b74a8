#include "standin/StandinProfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "host/PluginIf.h"
#include "standin/StandinFiles.h"
#include "standin/StandinHost.h"
#include "tests/TempName.h"

namespace {

namespace fs = std::filesystem;

class StandinProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = uniqueTempPath("morvane-profile-test-");
    fs::remove_all(home_);
    standin::setHome(home_);
    standin::resetProfile();
  }
  void TearDown() override {
    standin::resetProfile();
    fs::remove_all(home_);
  }
  std::string home_;
};

TEST_F(StandinProfileTest, ValuesSurviveTheNextRunPerPlugin) {
  EXPECT_EQ(VPI_GetProfileInt(1, "Load", 0), 0);
  EXPECT_EQ(VPI_WriteProfileInt(1, "Load", 1), 1);
  EXPECT_EQ(VPI_WriteProfileInt(2, "Load", -7), 1);
  EXPECT_EQ(VPI_WriteProfileInt(1, "odd\tkey%", 2147483647), 1);
  standin::resetProfile();
  EXPECT_EQ(VPI_GetProfileInt(1, "Load", 0), 1);
  EXPECT_EQ(VPI_GetProfileInt(2, "Load", 0), -7);
  EXPECT_EQ(VPI_GetProfileInt(1, "odd\tkey%", 0), 2147483647);
  EXPECT_EQ(VPI_GetProfileInt(3, "Load", 42), 42);
  EXPECT_FALSE(fs::exists(standin::profilePath() + ".tmp"));
}

TEST_F(StandinProfileTest, UnreadableFileGivesDefaultsAndIsKept) {
  const std::string header = "#morvane-profile 1\n";
  const std::string cases[] = {
      "#other\n1\tLoad\t1\n",
      header + "1\tLoad\n",
      header + "1\tLoad\tone\n",
      header + "1\tLoad\t99999999999\n",
      header + "-1\tLoad\t1\n",
      header + "1\tLo%4\t1\n",
  };
  for (const std::string& content : cases) {
    SCOPED_TRACE(content);
    standin::resetProfile();
    fs::remove(standin::profilePath() + ".bad");
    ASSERT_TRUE(standin::writeFileAtomically(standin::profilePath(), content));
    EXPECT_EQ(VPI_GetProfileInt(1, "Load", 5), 5);
    std::string kept;
    EXPECT_TRUE(standin::readWholeFile(standin::profilePath() + ".bad", &kept));
    EXPECT_EQ(kept, content);
    // Writing starts a new file; the unreadable one stays aside.
    EXPECT_EQ(VPI_WriteProfileInt(1, "Load", 1), 1);
    standin::resetProfile();
    EXPECT_EQ(VPI_GetProfileInt(1, "Load", 5), 1);
    EXPECT_TRUE(fs::exists(standin::profilePath() + ".bad"));
  }
}

}  // namespace
