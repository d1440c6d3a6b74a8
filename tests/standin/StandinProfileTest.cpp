#include "standin/StandinProfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "host/PluginIf.h"
#include "platform/FileSystem.h"
#include "platform/MemoryFileSystem.h"
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

// A profile write that fails anywhere (a full disk at every byte, bytes
// lost at the flush) gives 0, is remembered for the exit code and leaves
// the file byte for byte as it was; the value held stays what the file
// holds.
TEST(StandinProfileMemoryTest, FailedWriteLeavesTheFileAndTheValue) {
  MemoryFileSystem memory("Z:\\morvane-profile-memory\\");
  standin::setHome("/morvane-profile-memory/home");
  const std::string file = modulePath(standin::profilePath());
  for (int fault = 0; fault < 2; ++fault) {
    for (int64_t k = 0; k < 32; ++k) {
      SCOPED_TRACE(std::to_string(fault) + " at " + std::to_string(k));
      standin::resetProfile();
      standin::resetHostFileFailures();
      memory.failWritesAt(-1);
      memory.shortWritesAt(-1);
      ASSERT_EQ(VPI_WriteProfileInt(1, "Load", 1), 1);
      std::string before;
      ASSERT_TRUE(memory.fileBytes(file, &before));
      ASSERT_EQ(before.size(), 28u);
      if (fault == 0) memory.failWritesAt(k);
      if (fault == 1) memory.shortWritesAt(k);
      const bool written = VPI_WriteProfileInt(1, "Load", 0) == 1;
      EXPECT_EQ(written, k >= 28);
      EXPECT_EQ(standin::hostFilesFailed(), !written);
      EXPECT_EQ(VPI_GetProfileInt(1, "Load", 5), written ? 0 : 1);
      std::string after;
      ASSERT_TRUE(memory.fileBytes(file, &after));
      EXPECT_EQ(after == before, !written);
      EXPECT_EQ(memory.paths().size(), 2u);  // the home and the file: no temporary
    }
  }
  standin::resetProfile();
}

}  // namespace
