#include "standin/StandinDepot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "host/PluginIf.h"
#include "platform/FileSystem.h"
#include "platform/MemoryFileSystem.h"
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

// A damaged index is never set aside for an empty depot: that would make
// the module forget every data set. It is refused as it is, byte for byte,
// and nothing in the depot changes until the user repairs or removes it.
TEST_F(StandinDepotTest, DamagedIndexIsLeftAsItIsAndChangesNothing) {
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
      header + "1\t0\tF\tF\tF\n2\t1\tI\ta\ta.b",  // cut inside its last line
      header + "1\t0\tF\tF\tCON\n",            // a device on Windows
      header + "1\t0\tF\tF\tF\n2\t1\tI\tNUL\ta.bin\n",
      "#morvane-depot 1\nnext 0\n",
  };
  for (const std::string& content : cases) {
    SCOPED_TRACE(content);
    standin::resetDepot();
    standin::resetHostFileFailures();
    ASSERT_TRUE(standin::writeFileAtomically(standin::depotIndexPath(), content));
    std::string problem;
    EXPECT_FALSE(standin::depotIndexReadable(&problem));
    EXPECT_NE(problem.find(standin::depotIndexPath()), std::string::npos);
    EXPECT_EQ(VPI_DD_GetID(0, "F"), 0u);
    EXPECT_EQ(VPI_DD_EnumFirstID(0), 0u);
    EXPECT_EQ(VPI_DD_AddFolder(0, "G", "G"), 0u);
    EXPECT_EQ(VPI_DD_RemoveItem(item), 0);
    EXPECT_TRUE(standin::hostFilesFailed());
    std::string kept;
    EXPECT_TRUE(standin::readWholeFile(standin::depotIndexPath(), &kept));
    EXPECT_EQ(kept, content);
    EXPECT_FALSE(fs::exists(standin::depotIndexPath() + ".bad"));
    EXPECT_FALSE(fs::exists(home_ / "depot" / "G"));
    EXPECT_TRUE(fs::exists(file));
  }
  // The good index still reads.
  standin::resetDepot();
  ASSERT_TRUE(standin::writeFileAtomically(standin::depotIndexPath(), good));
  std::string problem;
  EXPECT_TRUE(standin::depotIndexReadable(&problem)) << problem;
  EXPECT_EQ(VPI_DD_GetID(f, "a"), item);
}

// Windows makes devices of these names in every folder, and drops a
// trailing dot or blank: as a file name or an item's title, refused.
TEST_F(StandinDepotTest, DeviceAndDotNamesAreRefused) {
  uint32_t f = VPI_DD_AddFolder(0, "F", "F");
  ASSERT_NE(f, 0u);
  const std::vector<std::string> before = everything();
  const char* refused[] = {"CON", "con.bin", "Nul.bin", "AUX", "PRN.e00",
                           "COM1", "com9.bin", "LPT1", "lpt9.x.y",
                           "Com1 .txt", ".", "..", "...", " ", "  ", "a.",
                           "a "};
  for (const char* name : refused) {
    SCOPED_TRACE(name);
    EXPECT_EQ(VPI_DD_AddItem(f, "t", name), 0u);
    EXPECT_EQ(VPI_DD_AddFolder(f, "t", name), 0u);
    EXPECT_EQ(VPI_DD_AddItem(f, name, "t.bin"), 0u);
  }
  EXPECT_EQ(VPI_DD_EnumFirstID(f), 0u);
  EXPECT_EQ(everything(), before);
  // Names that only begin like one are files like any other.
  for (const char* name : {"CONSOLE.bin", "COM10.bin", "LPT0.bin", "NULL"}) {
    EXPECT_NE(VPI_DD_AddItem(f, name, name), 0u) << name;
  }
}

// The last id is kept as the next one, never wrapped to 0: the index still
// reads at the next start, and adding is refused.
TEST_F(StandinDepotTest, IdsRunOutWithoutWrapping) {
  fs::create_directories(home_ / "depot" / "F");
  const std::string index =
      "#morvane-depot 1\nnext 4294967294\n4294967293\t0\tF\tF\tF\n";
  ASSERT_TRUE(standin::writeFileAtomically(standin::depotIndexPath(), index));
  standin::resetDepot();
  uint32_t f = VPI_DD_GetID(0, "F");
  ASSERT_EQ(f, 4294967293u);
  EXPECT_EQ(VPI_DD_AddItem(f, "a", "a.bin"), 4294967294u);
  EXPECT_EQ(VPI_DD_AddItem(f, "b", "b.bin"), 0u);
  standin::resetDepot();
  std::string problem;
  EXPECT_TRUE(standin::depotIndexReadable(&problem)) << problem;
  EXPECT_EQ(VPI_DD_GetID(f, "a"), 4294967294u);
  EXPECT_EQ(VPI_DD_GetID(f, "b"), 0u);
}

// A depot folder that is a link leads out of the home: no path is given
// through it, and no folder is made through it.
TEST_F(StandinDepotTest, NoPathLeadsThroughALinkedFolder) {
  uint32_t f = VPI_DD_AddFolder(0, "F", "F");
  uint32_t item = VPI_DD_AddItem(f, "a", "a.bin");
  const fs::path outside = home_ / "outside";
  fs::create_directories(outside);
  fs::remove(home_ / "depot" / "F");
  std::error_code ec;
  fs::create_directory_symlink(outside, home_ / "depot" / "F", ec);
  if (ec) GTEST_SKIP() << "no links here: " << ec.message();
  EXPECT_EQ(pathOf(item), "<none>");
  EXPECT_EQ(pathOf(f), "<none>");
  EXPECT_EQ(VPI_DD_AddFolder(f, "S", "S"), 0u);
  EXPECT_TRUE(fs::is_empty(outside));
}

// A home in an in-memory tree, where a test can fill the disk or crash it.
struct MemoryHome {
  explicit MemoryHome(const std::string& name)
      : memory("Z:\\" + name + "\\"), home("/" + name + "/home") {
    standin::setHome(home);
    standin::resetDepot();
    standin::resetHostFileFailures();
  }
  ~MemoryHome() { standin::resetDepot(); }
  std::string index() const {
    std::string bytes;
    memory.fileBytes(modulePath(standin::depotIndexPath()), &bytes);
    return bytes;
  }
  MemoryFileSystem memory;
  std::string home;
};

std::string itemPath(uint32_t id) {
  char buffer[kVpiPathSize];
  return VPI_DD_GetPath(id, buffer) != 0 ? buffer : "";
}

// Nothing counts that the index on disk does not hold: an Add or a Remove
// whose index cannot be written, or a Remove whose file cannot be deleted,
// gives 0 and leaves the entry, its file and the index as they were.
TEST(StandinDepotMemoryTest, ChangesTheIndexCannotHoldDoNotCount) {
  MemoryHome m("morvane-depot-full");
  uint32_t f = VPI_DD_AddFolder(0, "F", "F");
  uint32_t a = VPI_DD_AddItem(f, "a", "a.bin");
  ASSERT_NE(a, 0u);
  const std::string file = itemPath(a);
  m.memory.putFile(file, "data");
  const std::string index = m.index();
  EXPECT_FALSE(standin::hostFilesFailed());
  for (int64_t k : {0, 10, 40}) {
    SCOPED_TRACE(k);
    m.memory.failWritesAt(k);
    EXPECT_EQ(VPI_DD_AddItem(f, "b", "b.bin"), 0u);
    EXPECT_EQ(VPI_DD_AddFolder(0, "G", "G"), 0u);
    EXPECT_EQ(VPI_DD_RemoveItem(a), 0);
    EXPECT_EQ(VPI_DD_GetID(f, "b"), 0u);
    EXPECT_EQ(VPI_DD_GetID(f, "a"), a);
    EXPECT_EQ(m.index(), index);
    EXPECT_TRUE(standin::hostFilesFailed());
  }
  m.memory.failWritesAt(-1);
  {
    // Another program holds the file: the removal is refused.
    auto held = openFileForReading(file.c_str(), FileShare::kExclusive);
    EXPECT_EQ(VPI_DD_RemoveItem(a), 0);
  }
  standin::resetDepot();
  EXPECT_EQ(VPI_DD_GetID(f, "a"), a);
  std::string bytes;
  EXPECT_TRUE(m.memory.fileBytes(file, &bytes));
  EXPECT_EQ(bytes, "data");
  EXPECT_EQ(VPI_DD_RemoveItem(a), 1);
  EXPECT_FALSE(m.memory.fileBytes(file, &bytes));
}

// Power lost at every operation of a removal: the next start finds the
// item with its whole file, or neither (no item, no file), for an item and
// for a folder with items in it.
TEST(StandinDepotMemoryTest, RemovalInterruptedAnywhereLeavesAllOrNothing) {
  for (bool folder : {false, true}) {
    int64_t operations = -1;
    for (int64_t k = 1; operations < 0 || k <= operations + 1; ++k) {
      SCOPED_TRACE(std::string(folder ? "folder" : "item") + " at " +
                   std::to_string(k));
      MemoryHome m("morvane-depot-crash");
      uint32_t f = VPI_DD_AddFolder(0, "F", "F");
      uint32_t a = VPI_DD_AddItem(f, "a", "a.bin");
      const std::string file = itemPath(a);
      m.memory.putFile(file, "data");
      const int64_t before = m.memory.operationCount();
      if (operations >= 0) m.memory.crashAtOperation(before + k);
      folder ? VPI_DD_RemoveFolder(f) : VPI_DD_RemoveItem(a);
      if (operations < 0) {
        operations = m.memory.operationCount() - before;
        continue;
      }
      m.memory.applyCrash();
      standin::resetDepot();  // the next start
      std::string problem;
      ASSERT_TRUE(standin::depotIndexReadable(&problem)) << problem;
      const bool hasItem = VPI_DD_GetID(VPI_DD_GetID(0, "F"), "a") == a;
      std::string bytes;
      const bool hasFile = m.memory.fileBytes(file, &bytes);
      EXPECT_EQ(hasItem, hasFile);
      if (hasFile) {
        EXPECT_EQ(bytes, "data");
      }
      EXPECT_EQ(VPI_DD_GetID(0, "F") != 0, folder ? hasItem : true);
    }
    EXPECT_GT(operations, 3);
  }
}

}  // namespace
