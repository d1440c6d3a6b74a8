#include "plugin/DepotFolders.h"

#include <cstring>
#include <string>

#include "host/PluginIf.h"
#include "tests/plugin/ModuleFixture.h"

namespace {

namespace fs = std::filesystem;

class DepotFoldersTest : public ModuleFixture {
 protected:
  static std::string folderPath() { return pluginModule().depotFolderPath; }
  static std::string pathOf(uint32_t id) {
    char buffer[kVpiPathSize] = "";
    VPI_DD_GetPath(id, buffer);
    return buffer;
  }
};

TEST_F(DepotFoldersTest, CreatedFoldersAreFoundInTheNextRun) {
  std::strcpy(pluginModule().depotFolderPath, "stale");
  EXPECT_EQ(findDepotFolder(), 0u);
  EXPECT_EQ(folderPath(), "");

  ASSERT_EQ(createDepotFolder(), 1);
  const std::string created = folderPath();
  uint32_t top = VPI_DD_GetID(0, "Morvane");
  uint32_t sub = VPI_DD_GetID(top, "Arc/Info Export");
  ASSERT_NE(sub, 0u);
  EXPECT_EQ(created, pathOf(sub));
  EXPECT_EQ(created.substr(created.size() - 22), "\\Morvane\\ArcInfoExport");
  EXPECT_TRUE(directoryExists(created.c_str()));

  resetHost();
  pluginModule().depotFolderPath[0] = '\0';
  EXPECT_EQ(findDepotFolder(), sub);
  EXPECT_EQ(folderPath(), created);
}

TEST_F(DepotFoldersTest, SubFolderIsLookedUpInTheRootWithoutTopFolder) {
  // The top folder's lookup gives 0, which is passed on as the root.
  uint32_t stray = VPI_DD_AddFolder(0, "Arc/Info Export", "Stray");
  ASSERT_NE(stray, 0u);
  EXPECT_EQ(findDepotFolder(), stray);
  EXPECT_EQ(folderPath(), pathOf(stray));
}

// The two lookups part only where the top folder is missing: the one
// findDepotFolder makes then takes a sub-folder from the depot root, the
// other finds nothing. Neither touches depotFolderPath.
TEST_F(DepotFoldersTest, TheTwoLookupsPartOnlyWithoutTopFolder) {
  enum Other { kNone, kStray, kSub };
  struct Case {
    const char* name;
    bool top;        // the top folder is there
    bool sub;        // with the sub-folder in it
    bool stray;      // a sub-folder of the same title in the depot root
    Other rootWithoutTop;
    Other topFirst;
  };
  const Case cases[] = {
      {"empty depot", false, false, false, kNone, kNone},
      {"stray only", false, false, true, kStray, kNone},
      {"top without sub", true, false, true, kNone, kNone},
      {"both folders", true, true, false, kSub, kSub},
      {"both folders and a stray", true, true, true, kSub, kSub},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    resetHost();
    fs::remove_all(home_);
    uint32_t ids[3] = {0, 0, 0};
    if (c.stray) {
      ids[kStray] = VPI_DD_AddFolder(0, kDepotSubTitle, "Stray");
      ASSERT_NE(ids[kStray], 0u);
    }
    if (c.top) {
      const uint32_t top = VPI_DD_AddFolder(0, kDepotTopTitle, kDepotTopFolder);
      ASSERT_NE(top, 0u);
      if (c.sub) {
        ids[kSub] = VPI_DD_AddFolder(top, kDepotSubTitle, kDepotSubFolder);
        ASSERT_NE(ids[kSub], 0u);
      }
    }
    std::strcpy(pluginModule().depotFolderPath, "kept");
    EXPECT_EQ(depotSubFolderId(DepotLookup::kRootWithoutTop),
              ids[c.rootWithoutTop]);
    EXPECT_EQ(depotSubFolderId(DepotLookup::kTopFirst), ids[c.topFirst]);
    EXPECT_EQ(folderPath(), "kept");
  }
}

TEST_F(DepotFoldersTest, RefusedFolderLeavesNoPath) {
  // A file where a folder's directory must go makes the host refuse it.
  const char* blocked[] = {"depot/Morvane", "depot/Morvane/ArcInfoExport"};
  for (const char* file : blocked) {
    SCOPED_TRACE(file);
    resetHost();
    fs::remove_all(home_);
    fs::create_directories((home_ / file).parent_path());
    writeAll(home_ / file, "x");
    std::strcpy(pluginModule().depotFolderPath, "stale");
    EXPECT_EQ(createDepotFolder(), 0);
    EXPECT_EQ(folderPath(), "");
    EXPECT_EQ(readAll(home_ / file), "x");
  }
}

// The top folder goes whole, other folders stay; but never while an item's
// cache file is there to be reopened.
TEST_F(DepotFoldersTest, RemovalTakesTheWholeTopFolderOnlyWhenNothingIsKept) {
  struct Case {
    const char* what;
    bool item;
    bool removeDirectory;
    bool removed;
  } cases[] = {
      {"no item", false, false, true},
      {"an item with its file", true, false, false},
      {"directory gone on disk", true, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(home_);
    resetHost();
    resetModule();
    removeDepotFolder();  // nothing there: nothing happens
    ASSERT_EQ(createDepotFolder(), 1);
    uint32_t sub = findDepotFolder();
    const fs::path dir = native(pluginModule().depotFolderPath);
    if (c.item) {
      ASSERT_NE(VPI_DD_AddItem(sub, "roads", "roads.bin"), 0u);
      writeAll(dir / "roads.bin", "cache");
    }
    writeAll(dir / "morvane.ini", "roads\n");
    uint32_t other = VPI_DD_AddFolder(0, "Other", "Other");
    const fs::path otherDir = native(pathOf(other).c_str());
    writeAll(otherDir / "keep.bin", "keep");
    if (c.removeDirectory) fs::remove_all(dir);

    removeDepotFolder();
    EXPECT_EQ(VPI_DD_GetID(0, "Morvane") == 0u, c.removed);
    EXPECT_EQ(fs::exists(dir.parent_path()), !c.removed);
    EXPECT_EQ(readAll(otherDir / "keep.bin"), "keep");
    EXPECT_EQ(findDepotFolder() == 0u, c.removed);
    if (!c.removed) {
      EXPECT_EQ(readAll(dir / "roads.bin"), "cache");
    }
  }
}

// What a run stopped midway leaves in the folder: a whole cache file
// without its item gets it back, a temporary file is deleted, the rest
// stays as it is.
TEST_F(DepotFoldersTest, ReconcilingGivesOrphansTheirItemsAndDropsTemporaries) {
  ASSERT_EQ(createDepotFolder(), 1);
  const uint32_t sub = findDepotFolder();
  ASSERT_NE(VPI_DD_AddItem(sub, "roads", "roads.bin"), 0u);
  const fs::path dir = native(pluginModule().depotFolderPath);
  struct File {
    const char* name;
    bool kept;
  } files[] = {
      {"roads.bin", true},           // an item's file
      {"rivers.bin", true},          // an import stopped before its item
      {"roads~0123ABCD.bin", false},  // a rewrite stopped before its rename
      {"coast~89EF0123.bin", false},
      {"x~0123abcd.bin", true},  // not this module's temporary name
      {"notes.txt", true},
  };
  for (const File& f : files) writeAll(dir / f.name, "cache");
  EXPECT_EQ(reconcileDepotFolder(), 2);  // rivers and x~0123abcd
  for (const File& f : files) {
    EXPECT_EQ(fs::exists(dir / f.name), f.kept) << f.name;
  }
  EXPECT_NE(VPI_DD_GetID(sub, "rivers"), 0u);
  EXPECT_NE(VPI_DD_GetID(sub, "x~0123abcd"), 0u);
  EXPECT_EQ(reconcileDepotFolder(), 0);  // nothing left to do
}

TEST_F(DepotFoldersTest, DirectoryTest) {
  fs::create_directories(home_ / "empty");
  writeAll(home_ / "file", "x");
  const std::string base = modulePath(home_.u8string());
  // A directory whose pattern "\*.*" no longer fits the buffer.
  const std::string deep =
      base + "\\" + std::string(kVpiPathSize - 4 - base.size() - 1, 'd');
  fs::create_directories(native(deep.c_str()));
  ASSERT_TRUE(fs::is_directory(native(deep.c_str())));
  struct Case {
    std::string directory;
    bool exists;
  } cases[] = {
      {base + "\\empty", true},
      {base + "\\empty\\", true},
      {base + "\\missing", false},
      {base + "\\file", false},
      {"", false},
      {deep, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.directory);
    EXPECT_EQ(directoryExists(c.directory.c_str()), c.exists);
  }
}

}  // namespace
