#include "plugin/PluginEntry.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "dataset/CacheFile.h"
#include "platform/MemoryFileSystem.h"
#include "plugin/DepotFolders.h"
#include "plugin/LayerCallback.h"
#include "plugin/ReopenList.h"
#include "resources/Texts.h"
#include "tests/plugin/ModuleFixture.h"

namespace {

class PluginEntryTest : public ModuleFixture {
 protected:
  void TearDown() override {
    Release();
    ModuleFixture::TearDown();
  }
  static int32_t profileLoad() {
    return VPI_GetProfileInt(pluginModule().pluginHandle, kProfileKeyLoad, -1);
  }
  static bool closeEnabled() {
    return standin::menuCommandEnabled(standin::findMenuCommand(
        kTextMenuTitle, kTextMenuE00File, kPopupClosePosition));
  }
};

TEST_F(PluginEntryTest, OldHostIsRefusedAndTheRecordLeftAsPassed) {
  const struct {
    int32_t version;
    int32_t accepted;
  } cases[] = {{603, 0}, {-1, 0}, {604, 1}, {700, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.version);
    resetTestHost();
    standin::setVersion(c.version);
    unsigned char bytes[sizeof(PluginInfo)];
    std::memset(bytes, 0xAB, sizeof bytes);
    PluginInfo* info = reinterpret_cast<PluginInfo*>(bytes);
    EXPECT_EQ(Init(info, 7), c.accepted);
    EXPECT_EQ(pluginModule().pluginHandle, 7u);
    if (c.accepted == 0) {
      ASSERT_EQ(headless::messages().size(), 1u);
      EXPECT_EQ(headless::messages()[0].text, kTextHostTooOld);
      EXPECT_EQ(headless::messages()[0].icon, MessageIcon::kInformation);
      for (unsigned char b : bytes) ASSERT_EQ(b, 0xAB);
    } else {
      EXPECT_TRUE(headless::messages().empty());
      EXPECT_EQ(info->size, 280);
    }
  }
  standin::setVersion(700);
}

TEST_F(PluginEntryTest, InitWritesOnlyTheFieldsAndTheirZeros) {
  unsigned char bytes[280];
  std::memset(bytes, 0xCD, sizeof bytes);
  ASSERT_EQ(Init(reinterpret_cast<PluginInfo*>(bytes), 1), 1);
  int32_t size = 0;
  int32_t flag = 0;
  std::memcpy(&size, bytes + 0, 4);
  std::memcpy(&flag, bytes + 276, 4);
  EXPECT_EQ(size, 280);
  EXPECT_EQ(flag, 1);
  const size_t nameEnd = 4 + sizeof kTextPluginName;
  EXPECT_EQ(std::memcmp(bytes + 4, kTextPluginName, sizeof kTextPluginName), 0);
  EXPECT_EQ(std::memcmp(bytes + 84, "0.4.0", 6), 0);
  EXPECT_EQ(bytes[114], 0);
  // Everything else is the host's.
  for (size_t i = 0; i < sizeof bytes; ++i) {
    bool ours = i < 4 || (i >= 4 && i < nameEnd) || (i >= 84 && i < 90) ||
                i == 114 || i >= 276;
    if (!ours) {
      ASSERT_EQ(bytes[i], 0xCD) << "offset " << i;
    }
  }
}

TEST_F(PluginEntryTest, LoadAddsTheMenusInOrderAndRegistersThePanel) {
  ASSERT_EQ(Load(), 1);
  const auto& menus = standin::menus();
  ASSERT_EQ(menus.size(), 2u);
  EXPECT_EQ(menus[0].position, kPopupImportPosition);
  EXPECT_EQ(menus[1].position, kPopupClosePosition);
  for (const auto& popup : menus) {
    EXPECT_EQ(popup.title, kTextMenuTitle);
    EXPECT_EQ(popup.flag, 1);
  }
  ASSERT_EQ(menus[0].commands.size(), 2u);
  EXPECT_EQ(menus[0].commands[0].title, kTextMenuE00File);
  EXPECT_EQ(menus[0].commands[1].title, kTextMenuE00PlaceNames);
  ASSERT_EQ(menus[1].commands.size(), 1u);
  EXPECT_EQ(menus[1].commands[0].title, kTextMenuE00File);

  ASSERT_EQ(standin::panels().size(), 1u);
  EXPECT_EQ(standin::panels()[0].title, kTextMenuTitle);
  EXPECT_NE(standin::panels()[0].window, nullptr);
  EXPECT_EQ(pluginModule().panelId, standin::panels()[0].id);

  Release();
  EXPECT_TRUE(standin::panels().empty());
  EXPECT_EQ(pluginModule().panel, nullptr);
}

TEST_F(PluginEntryTest, LayersComeWithLoadOnlyWhenDataWasOpenAtShutdown) {
  const struct {
    const char* name;
    int32_t stored;  // -1: never written
    size_t layers;
  } cases[] = {{"absent", -1, 0}, {"zero", 0, 0}, {"one", 1, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Release();
    resetModule();
    resetHost();
    std::filesystem::remove(home_ / "profile.tsv");
    if (c.stored >= 0) VPI_WriteProfileInt(1, kProfileKeyLoad, c.stored);
    resetHost();
    ASSERT_EQ(Load(), 1);
    std::vector<standin::LayerEntry> layers = standin::layers();
    ASSERT_EQ(layers.size(), c.layers);
    EXPECT_EQ(pluginModule().layersActive, c.layers != 0 ? 1 : 0);
    if (c.layers == 2) {
      EXPECT_EQ(layers[0].id, kLayerId2d);
      EXPECT_FALSE(layers[0].is3d);
      EXPECT_EQ(layers[1].id, kLayerId3d);
      EXPECT_TRUE(layers[1].is3d);
      EXPECT_EQ(layers[0].callback, layers[1].callback);
    }
    // Nothing is opened before the first draw.
    EXPECT_EQ(pluginModule().registry.count(), 0);
  }
}

TEST_F(PluginEntryTest, CloseCommandIsEnabledOnlyOnceTheLayersExist) {
  ASSERT_EQ(Load(), 1);
  EXPECT_FALSE(closeEnabled());
  EXPECT_TRUE(standin::menuCommandEnabled(standin::findMenuCommand(
      kTextMenuTitle, kTextMenuE00File, kPopupImportPosition)));
  EXPECT_TRUE(standin::menuCommandEnabled(
      standin::findMenuCommand(kTextMenuTitle, kTextMenuE00PlaceNames)));
  addLayers();
  EXPECT_TRUE(closeEnabled());
  removeLayers();
  EXPECT_FALSE(closeEnabled());
}

TEST_F(PluginEntryTest, CloseStoresLoadFromTheLayersWithOrWithoutDepot) {
  ASSERT_EQ(Load(), 1);
  addLayers();
  ASSERT_EQ(Close(), 1);
  EXPECT_EQ(profileLoad(), 1);
  // The last data set closed: the layers went with it.
  removeLayers();
  ASSERT_EQ(Close(), 1);
  EXPECT_EQ(profileLoad(), 0);
  EXPECT_FALSE(std::filesystem::exists(home_ / "depot"));
}

TEST_F(PluginEntryTest, CloseKeepsEveryCacheAndTheReopenList) {
  ASSERT_EQ(Load(), 1);
  addLayers();
  ASSERT_EQ(createDepotFolder(), 1);
  for (const char* name : {"roads", "rivers"}) {
    auto* d = new LineDataSet(pluginModule().nextRowId);
    d->name = name;
    d->depotPath = pluginModule().depotFolderPath;
    d->addPoint(35.0, 135.0);
    d->addPoint(35.1, 135.1);
    d->endArc();
    d->lineWidth = 4;
    ASSERT_NE(VPI_DD_AddItem(findDepotFolder(), name,
                             (std::string(name) + ".bin").c_str()),
              0u);
    ASSERT_TRUE(registerDataSet(d));
  }
  ASSERT_EQ(Close(), 1);
  std::filesystem::path folder = native(pluginModule().depotFolderPath);
  std::string list = readAll(folder / kReopenListFile);
  list.erase(std::remove(list.begin(), list.end(), '\r'), list.end());
  EXPECT_EQ(list, "roads\nrivers\n");  // in text mode: CR LF on Windows
  LineDataSet back(9);
  back.depotPath = pluginModule().depotFolderPath;
  back.name = "rivers";
  ASSERT_TRUE(loadCache(back));
  EXPECT_EQ(back.lineWidth, 4);
  EXPECT_EQ(profileLoad(), 1);

  Release();
  EXPECT_EQ(pluginModule().registry.count(), 0);
  EXPECT_EQ(pluginModule().registry.capacity(), 0);
}

// Shutdown writes a cache file only when its data set changed since it was
// read or written, or the file on disk is no longer the one it wrote, and
// tells what it could not write; the files are left as they were.
TEST_F(PluginEntryTest, CloseWritesOnlyWhatChangedAndTellsWhatFailed) {
  ASSERT_EQ(Load(), 1);
  addLayers();
  ASSERT_EQ(createDepotFolder(), 1);
  // The depot folder's files in memory, where every write shows in the
  // file's stamp.
  const std::string folder = pluginModule().depotFolderPath;
  auto disk = std::make_unique<MemoryFileSystem>(folder + "\\");
  const std::vector<std::string> names = {"roads", "rivers", "coast"};
  for (const std::string& name : names) {
    auto* d = new LineDataSet(pluginModule().nextRowId);
    d->name = name;
    d->depotPath = pluginModule().depotFolderPath;
    d->addPoint(35.0, 135.0);
    d->endArc();
    ASSERT_NE(VPI_DD_AddItem(findDepotFolder(), name.c_str(),
                             (name + ".bin").c_str()),
              0u);
    ASSERT_TRUE(registerDataSet(d));
  }
  ASSERT_EQ(Close(), 1);  // new: all three written
  auto stamps = [&] {
    std::vector<int64_t> out;
    for (const std::string& name : names) {
      FileStamp stamp = {-1, -1};
      EXPECT_TRUE(fileStamp((folder + "\\" + name + ".bin").c_str(), &stamp));
      out.push_back(stamp.modified);
    }
    return out;
  };
  const std::vector<int64_t> written = stamps();
  ASSERT_EQ(Close(), 1);
  EXPECT_EQ(stamps(), written);  // nothing changed, nothing written

  pluginModule().registry.at(1)->lineColour = 0x00123456;  // rivers
  ASSERT_EQ(Close(), 1);
  const std::vector<int64_t> after = stamps();
  EXPECT_EQ(after[0], written[0]);
  EXPECT_NE(after[1], written[1]);
  EXPECT_EQ(after[2], written[2]);
  EXPECT_TRUE(headless::messages().empty());

  // On a disk that takes nothing: every changed file and the reopen list
  // fail, told in one message each, and the files there stay as they were.
  disk.reset();
  MemoryFileSystem full(folder + "\\");
  full.putFile(folder + "\\roads.bin", "old roads");
  full.putFile(folder + "\\" + kReopenListFile, "old list\n");
  full.failWritesAt(0);
  ASSERT_EQ(Close(), 1);
  std::vector<std::string> shown;
  for (const auto& m : headless::messages()) shown.push_back(m.text);
  ASSERT_EQ(shown.size(), 2u);  // one for the caches, one for the list
  EXPECT_EQ(shown[0], std::string(kTextDepotDiskFull) + "\n" +
                          kTextCannotSaveWorkingMaps + "\nroads\nrivers\ncoast");
  EXPECT_EQ(shown[1], kTextCannotSaveReopenList);
  std::string bytes;
  ASSERT_TRUE(full.fileBytes(folder + "\\roads.bin", &bytes));
  EXPECT_EQ(bytes, "old roads");
  ASSERT_TRUE(full.fileBytes(folder + "\\" + kReopenListFile, &bytes));
  EXPECT_EQ(bytes, "old list\n");
}

TEST_F(PluginEntryTest, AboutShowsNameAndVersion) {
  EXPECT_EQ(About(), 1);
  ASSERT_EQ(headless::messages().size(), 1u);
  EXPECT_NE(headless::messages()[0].text.find(kTextPluginName),
            std::string::npos);
  EXPECT_NE(headless::messages()[0].text.find("0.4.0"), std::string::npos);
  EXPECT_EQ(headless::messages()[0].icon, MessageIcon::kInformation);
}

}  // namespace
