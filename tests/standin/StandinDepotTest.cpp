#include "standin/StandinDepot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/PluginIf.h"
#include "platform/FileSystem.h"
#include "standin/StandinFiles.h"
#include "standin/StandinHost.h"
#include "tests/TempName.h"

namespace {

namespace fs = std::filesystem;

class StandinDepotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = fs::u8path(uniqueTempPath("morvane-depot-test-"));
    fs::remove_all(home_);
    fs::create_directories(home_);
    standin::setHome(home_.string());
    standin::resetDepot();
  }
  void TearDown() override {
    standin::resetDepot();
    fs::remove_all(home_);
  }

  static std::string pathOf(uint32_t id) {
    char buffer[kVpiPathSize];
    if (VPI_DD_GetPath(id, buffer) == 0) return "<none>";
    return buffer;
  }
  fs::path native(uint32_t id) const { return standin::fileSystemPath(pathOf(id)); }
  static void touch(const fs::path& path, const char* text = "x") {
    std::ofstream(path, std::ios::binary) << text;
  }
  // Every file and folder under the home folder, relative to it.
  std::vector<std::string> everything() const {
    std::vector<std::string> found;
    for (const auto& e : fs::recursive_directory_iterator(home_)) {
      found.push_back(fs::relative(e.path(), home_).generic_u8string());
    }
    std::sort(found.begin(), found.end());
    return found;
  }

  fs::path home_;
};

TEST_F(StandinDepotTest, TreeAndItsPathsSurviveTheNextRun) {
  uint32_t top = VPI_DD_AddFolder(0, "Top", "TopDir");
  uint32_t sub = VPI_DD_AddFolder(top, "Sub folder", "SubDir");
  uint32_t a = VPI_DD_AddItem(sub, "roads\told%", "roads.bin");
  uint32_t b = VPI_DD_AddItem(sub, "rivers", "rivers.bin");
  ASSERT_NE(top, 0u);
  ASSERT_NE(sub, 0u);
  ASSERT_NE(a, 0u);
  ASSERT_NE(b, 0u);
  EXPECT_TRUE(fs::is_directory(native(sub)));
  const std::string subPath = pathOf(sub);
  EXPECT_EQ(subPath, modulePath((fs::absolute(home_) / "depot" / "TopDir" / "SubDir")
                                    .lexically_normal()
                                    .u8string()));
  EXPECT_EQ(pathOf(a), subPath + "\\roads.bin");

  standin::resetDepot();  // the next run of the host
  EXPECT_EQ(VPI_DD_GetID(0, "Top"), top);
  EXPECT_EQ(VPI_DD_GetID(top, "Sub folder"), sub);
  EXPECT_EQ(VPI_DD_GetID(sub, "roads\told%"), a);
  EXPECT_EQ(VPI_DD_GetID(0, "Sub folder"), 0u);
  EXPECT_EQ(std::string(VPI_DD_GetTitle(b)), "rivers");
  EXPECT_EQ(pathOf(a), subPath + "\\roads.bin");
  EXPECT_EQ(VPI_DD_EnumFirstID(sub), a);
  EXPECT_EQ(VPI_DD_EnumNextID(sub, a), b);
  EXPECT_EQ(VPI_DD_EnumNextID(sub, b), 0u);
  EXPECT_EQ(VPI_DD_EnumFirstID(0), top);

  // Ids are not given out again, in this run or the next.
  ASSERT_EQ(VPI_DD_RemoveItem(b), 1);
  standin::resetDepot();
  uint32_t c = VPI_DD_AddItem(sub, "lakes", "lakes.bin");
  EXPECT_GT(c, b);
  EXPECT_EQ(VPI_DD_GetID(sub, "rivers"), 0u);
}

TEST_F(StandinDepotTest, UnknownIdsGiveNothing) {
  char buffer[kVpiPathSize] = "unchanged";
  EXPECT_EQ(VPI_DD_GetPath(77, buffer), 0);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(std::string(VPI_DD_GetTitle(77)), "");
  EXPECT_EQ(VPI_DD_GetID(77, "x"), 0u);
  EXPECT_EQ(VPI_DD_EnumFirstID(77), 0u);
  EXPECT_EQ(VPI_DD_AddItem(77, "x", "x.bin"), 0u);
  EXPECT_EQ(VPI_DD_RemoveFolder(0), 0);
  EXPECT_EQ(VPI_DD_RemoveItem(77), 0);
}

TEST_F(StandinDepotTest, NamesOnDiskAreUniqueWithinAFolder) {
  uint32_t f = VPI_DD_AddFolder(0, "F", "F");
  uint32_t a = VPI_DD_AddItem(f, "a", "a.bin");
  EXPECT_EQ(VPI_DD_AddItem(f, "a", "a.bin"), a);  // the same item again
  EXPECT_EQ(VPI_DD_AddItem(f, "other", "A.BIN"), 0u);
  EXPECT_EQ(VPI_DD_AddFolder(f, "a", "a.bin"), 0u);
  EXPECT_EQ(VPI_DD_AddFolder(0, "F", "F"), f);
}

TEST_F(StandinDepotTest, HostileNamesAreRefusedAndMakeNothing) {
  uint32_t folder = VPI_DD_AddFolder(0, "F", "F");
  ASSERT_NE(folder, 0u);
  const std::vector<std::string> before = everything();
  const std::string longName(300, 'a');
  const std::string absolute = modulePath(home_.u8string()) + "\\x";
  const char* names[] = {
      "..\\..\\x", "..", ".", "", "a\\b", "a/b", "/tmp/x", "C:x",
      "\\x",       "a:b", "x\x01", "tab\t", "ends\x95", "\x95", "q?",
      "a.",        "a ",  "x\x95\x0a",
  };
  for (const char* name : names) {
    SCOPED_TRACE(testing::PrintToString(name));
    EXPECT_EQ(VPI_DD_AddFolder(folder, "t", name), 0u);
    EXPECT_EQ(VPI_DD_AddItem(folder, "t", name), 0u);
  }
  EXPECT_EQ(VPI_DD_AddFolder(folder, "t", longName.c_str()), 0u);
  EXPECT_EQ(VPI_DD_AddItem(folder, "t", absolute.c_str()), 0u);
  EXPECT_EQ(VPI_DD_AddItem(folder, nullptr, "x.bin"), 0u);
  EXPECT_EQ(VPI_DD_AddItem(folder, "t", nullptr), 0u);
  EXPECT_EQ(VPI_DD_EnumFirstID(folder), 0u);
  EXPECT_EQ(everything(), before);
}

TEST_F(StandinDepotTest, TrailByte5CIsPartOfTheName) {
  // 0x95 0x5C is one character; its second byte is no separator.
  uint32_t folder = VPI_DD_AddFolder(0, "\x95\x5C", "\x95\x5C");
  ASSERT_NE(folder, 0u);
  uint32_t item = VPI_DD_AddItem(folder, "\x95\x5C", "\x95\x5C.bin");
  ASSERT_NE(item, 0u);
  EXPECT_EQ(pathOf(item), pathOf(folder) + "\\\x95\x5C.bin");
  EXPECT_TRUE(fs::is_directory(home_ / "depot" / fs::u8path("\xE8\xA1\xA8")));
}

TEST_F(StandinDepotTest, RemovalDeletesOnlyInsideItsFolder) {
  uint32_t top = VPI_DD_AddFolder(0, "Top", "Top");
  uint32_t sub = VPI_DD_AddFolder(top, "Sub", "Sub");
  uint32_t other = VPI_DD_AddFolder(0, "Other", "Other");
  uint32_t a = VPI_DD_AddItem(sub, "a", "a.bin");
  uint32_t b = VPI_DD_AddItem(sub, "b", "b.bin");
  uint32_t o = VPI_DD_AddItem(other, "a", "a.bin");
  touch(native(a));
  touch(native(b));
  touch(native(o));
  touch(home_ / "depot" / "a.bin");
  touch(home_ / "outside.bin");
  touch(native(sub) / "unlisted.txt");

  EXPECT_EQ(VPI_DD_RemoveItem(a), 1);
  EXPECT_FALSE(fs::exists(native(sub) / "a.bin"));
  EXPECT_TRUE(fs::exists(native(b)));
  EXPECT_EQ(VPI_DD_RemoveItem(a), 0);

  // An item whose file was never written is removed all the same.
  uint32_t c = VPI_DD_AddItem(sub, "c", "c.bin");
  EXPECT_EQ(VPI_DD_RemoveItem(c), 1);

  const fs::path topDir = native(top);
  EXPECT_EQ(VPI_DD_RemoveFolder(top), 1);
  EXPECT_FALSE(fs::exists(topDir));
  EXPECT_EQ(VPI_DD_GetID(0, "Top"), 0u);
  EXPECT_STREQ(VPI_DD_GetTitle(b), "");
  EXPECT_EQ(VPI_DD_GetID(sub, "b"), 0u);
  EXPECT_TRUE(fs::exists(native(o)));
  EXPECT_TRUE(fs::exists(home_ / "depot" / "a.bin"));
  EXPECT_TRUE(fs::exists(home_ / "outside.bin"));

  standin::resetDepot();
  EXPECT_EQ(VPI_DD_GetID(0, "Top"), 0u);
  EXPECT_EQ(VPI_DD_GetID(0, "Other"), other);
}

TEST_F(StandinDepotTest, UnreadableIndexIsKeptAndTheDepotStartsEmpty) {
  uint32_t f = VPI_DD_AddFolder(0, "F", "F");
  uint32_t item = VPI_DD_AddItem(f, "a", "a.bin");
  touch(native(item));
  const fs::path file = native(item);
  std::string good;
  ASSERT_TRUE(standin::readWholeFile(standin::depotIndexPath(), &good));
  const std::string header = "#morvane-depot 1\nnext 9\n";
  const std::string cases[] = {
      "garbage",
      header + "1\t0\tF\tF\n",                 // a field short
      header + "1\t5\tF\tF\tF\n",              // unknown parent
      header + "1\t0\tF\tF\t..\n",             // climbs out
      header + "1\t0\tF\tF\tF\n1\t0\tF\tG\tG\n",  // id twice
      header + "0\t0\tF\tF\tF\n",              // id 0
      header + "12\t0\tF\tF\tF\n",             // id beyond next
      header + "1\t0\tI\tF\tF\n2\t1\tI\ta\ta\n",  // item as parent
      header + "1\t0\tX\tF\tF\n",
      header + "1\t0\tF\tF\t%G0\n",
  };
  for (const std::string& content : cases) {
    SCOPED_TRACE(content);
    standin::resetDepot();
    fs::remove(standin::depotIndexPath() + ".bad");
    ASSERT_TRUE(standin::writeFileAtomically(standin::depotIndexPath(), content));
    EXPECT_EQ(VPI_DD_GetID(0, "F"), 0u);
    EXPECT_EQ(VPI_DD_EnumFirstID(0), 0u);
    std::string kept;
    EXPECT_TRUE(standin::readWholeFile(standin::depotIndexPath() + ".bad", &kept));
    EXPECT_EQ(kept, content);
    EXPECT_TRUE(fs::exists(file));
  }
  // The good index still reads.
  standin::resetDepot();
  ASSERT_TRUE(standin::writeFileAtomically(standin::depotIndexPath(), good));
  EXPECT_EQ(VPI_DD_GetID(f, "a"), item);
}

}  // namespace
