#include "plugin/CloseCommand.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "dataset/CacheFile.h"
#include "module/PluginModule.h"
#include "platform/FileSystem.h"
#include "platform/MemoryFileSystem.h"
#include "plugin/DepotFolders.h"
#include "plugin/LayerCallback.h"
#include "plugin/PanelAccess.h"
#include "plugin/ReopenList.h"
#include "resources/DialogIds.h"
#include "resources/Texts.h"
#include "standin/StandinWindows.h"
#include "ui/LayerPanel.h"
#include "ui/RowListWindow.h"
#include "tests/plugin/ModuleFixture.h"

namespace {

std::vector<int32_t> gRemoved;
void removeRow(int32_t rowId) {
  // The row goes while its data set is still known.
  gRemoved.push_back(rowId);
}

class CloseCommandTest : public ModuleFixture {
 protected:
  void SetUp() override {
    ModuleFixture::SetUp();
    gRemoved.clear();
    PanelHooks hooks;
    hooks.removeRow = removeRow;
    setPanelHooks(hooks);
    ASSERT_EQ(createDepotFolder(), 1);
    folder_ = native(pluginModule().depotFolderPath);
    addLayers();
  }
  void TearDown() override {
    setPanelHooks(PanelHooks());
    ModuleFixture::TearDown();
  }

  // An imported data set: registered, with its depot item and cache file.
  static void open(const std::string& name) {
    PluginModule& m = pluginModule();
    auto* d = new LineDataSet(m.nextRowId);
    d->name = name;
    d->depotPath = m.depotFolderPath;
    d->addPoint(35.0, 139.0);
    d->addPoint(35.5, 139.5);
    ASSERT_TRUE(registerDataSet(d));
    VPI_DD_AddItem(findDepotFolder(), name.c_str(), (name + ".bin").c_str());
    saveCache(*d);
  }
  // Runs the command with the list entries at these positions selected and
  // the button clicked; returns what the list showed.
  static std::vector<std::string> run(std::vector<size_t> rows, int32_t button) {
    std::vector<std::string> listed;
    headless::onModalDialog([&](headless::Window& w) {
      auto& items = w.control(close_data_dialog::kListBox).items;
      for (const auto& item : items) listed.push_back(item.text);
      for (size_t r : rows) items.at(r).selected = true;
      w.click(button);
      if (!w.ended()) w.click(close_data_dialog::kCancel);
    });
    EXPECT_EQ(closeCommand(kMenuRunCommand, 0, 0), 0);
    return listed;
  }
  static std::vector<std::string> names() {
    std::vector<std::string> out;
    const DataSetRegistry& r = pluginModule().registry;
    for (int32_t i = 0; i < r.count(); ++i) out.push_back(r.at(i)->name);
    return out;
  }

  std::filesystem::path folder_;
};

TEST_F(CloseCommandTest, EnabledExactlyWhileLayersAreRegistered) {
  int32_t enabled = 0;
  closeCommand(kMenuQueryEnabled, 0, reinterpret_cast<intptr_t>(&enabled));
  EXPECT_EQ(enabled, 1);
  removeLayers();
  closeCommand(kMenuQueryEnabled, 0, reinterpret_cast<intptr_t>(&enabled));
  EXPECT_EQ(enabled, 0);
}

TEST_F(CloseCommandTest, ClosingTwoOfThreeKeepsTheThirdAtIndexZero) {
  open("roads");
  open("rivers");
  open("coast");
  // The cache is written again with the current attributes.
  pluginModule().registry.at(2)->lineColour = 0x00123456;
  std::vector<std::string> listed =
      run({1, 2}, close_data_dialog::kOk);
  EXPECT_EQ(listed, (std::vector<std::string>{"roads", "rivers", "coast"}));
  EXPECT_EQ(names(), (std::vector<std::string>{"roads"}));
  EXPECT_EQ(pluginModule().registry.at(0)->rowId, 1);
  EXPECT_EQ(gRemoved, (std::vector<int32_t>{3, 2}));  // last index first
  EXPECT_EQ(pluginModule().layersActive, 1);
  EXPECT_EQ(standin::viewsUpdated(), 1);
  LineDataSet coast(9);
  coast.name = "coast";
  coast.depotPath = pluginModule().depotFolderPath;
  ASSERT_EQ(loadCache(coast), 1);
  EXPECT_EQ(coast.lineColour, 0x00123456u);
  EXPECT_TRUE(std::filesystem::exists(folder_ / "rivers.bin"));
  EXPECT_NE(VPI_DD_GetID(findDepotFolder(), "rivers"), 0u);
  // The next data set still gets a new row id.
  open("bays");
  EXPECT_EQ(pluginModule().registry.at(1)->rowId, 4);
}

TEST_F(CloseCommandTest, DeletingTheLastRemovesItemFileAndLayers) {
  open("roads");
  run({0}, close_data_dialog::kDeleteButton);
  EXPECT_EQ(pluginModule().registry.count(), 0);
  EXPECT_EQ(pluginModule().registry.capacity(), 0);
  EXPECT_EQ(VPI_DD_GetID(findDepotFolder(), "roads"), 0u);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "roads.bin"));
  EXPECT_EQ(pluginModule().layersActive, 0);
  EXPECT_TRUE(standin::layers().empty());
  EXPECT_EQ(gRemoved, (std::vector<int32_t>{1}));
}

// Closing writes only what changed, and never a file for a data set whose
// item is gone: deleting one copy of an item reopened twice leaves the other
// copy nothing to write, so no file is left that no command can reach.
TEST_F(CloseCommandTest, ClosingWritesOnlyWhatChangedAndNoOrphan) {
  {
    // The depot folder's files in memory, where every write shows in the
    // file's stamp.
    const std::string folder = pluginModule().depotFolderPath;
    MemoryFileSystem disk(folder + "\\");
    open("roads");
    FileStamp before = {-1, -1};
    FileStamp after = {-2, -2};
    const std::string path = folder + "\\roads.bin";
    ASSERT_TRUE(fileStamp(path.c_str(), &before));
    run({0}, close_data_dialog::kOk);
    ASSERT_TRUE(fileStamp(path.c_str(), &after));
    EXPECT_EQ(after.modified, before.modified);  // not written again
  }

  open("coast");
  auto* copy = new LineDataSet(pluginModule().nextRowId);
  copy->name = "coast";
  copy->depotPath = pluginModule().depotFolderPath;
  ASSERT_EQ(loadCache(*copy), 1);
  ASSERT_TRUE(registerDataSet(copy));
  copy->lineColour = 0x00123456;
  run({0}, close_data_dialog::kDeleteButton);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "coast.bin"));
  run({0}, close_data_dialog::kOk);
  EXPECT_EQ(pluginModule().registry.count(), 0);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "coast.bin"));
}

// A change that cannot be written at close is told, once for all such data
// sets, and the file in the way is left alone; unchanged ones say nothing.
TEST_F(CloseCommandTest, ChangesThatCannotBeWrittenAreToldOnce) {
  open("roads");
  open("rivers");
  open("coast");
  for (const char* name : {"roads", "rivers"}) {
    LineDataSet* d = pluginModule().registry.at(name == std::string("roads") ? 0 : 1);
    d->lineColour = 0x00112233;
    // Something other than a cache file in its place: nothing is written.
    std::filesystem::remove(folder_ / (std::string(name) + ".bin"));
    std::filesystem::create_directory(folder_ / (std::string(name) + ".bin"));
  }
  headless::resetUi();
  run({0, 1, 2}, close_data_dialog::kOk);
  EXPECT_EQ(pluginModule().registry.count(), 0);
  ASSERT_EQ(headless::messages().size(), 1u);
  // From the last chosen down, as the data sets are closed.
  EXPECT_EQ(headless::messages()[0].text,
            std::string(kTextCannotSaveWorkingMaps) + "\nrivers\nroads");
  EXPECT_EQ(headless::messages()[0].icon, MessageIcon::kExclamation);
  EXPECT_TRUE(std::filesystem::is_directory(folder_ / "roads.bin"));
  EXPECT_TRUE(std::filesystem::is_regular_file(folder_ / "coast.bin"));
}

TEST_F(CloseCommandTest, DeleteWithoutItemClosesAllTheSame) {
  open("roads");
  VPI_DD_RemoveItem(VPI_DD_GetID(findDepotFolder(), "roads"));
  run({0}, close_data_dialog::kDeleteButton);
  EXPECT_EQ(pluginModule().registry.count(), 0);
}

TEST_F(CloseCommandTest, BothButtonsNeedASelection) {
  open("roads");
  for (int32_t button : {close_data_dialog::kOk + 0,
                         close_data_dialog::kDeleteButton + 0}) {
    headless::resetUi();
    run({}, button);
    ASSERT_EQ(headless::messages().size(), 1u);
    EXPECT_EQ(headless::messages()[0].text, kTextChooseFromList);
    EXPECT_EQ(names(), (std::vector<std::string>{"roads"}));
  }
}

TEST_F(CloseCommandTest, CancelChangesNothingButRedraws) {
  open("roads");
  run({0}, close_data_dialog::kCancel);
  EXPECT_EQ(names(), (std::vector<std::string>{"roads"}));
  EXPECT_EQ(standin::viewsUpdated(), 1);
  // With nothing open (layers from an open command that opened nothing)
  // cancelling removes the layers.
  pluginModule().registry.empty();
  run({}, close_data_dialog::kCancel);
  EXPECT_EQ(pluginModule().layersActive, 0);
  EXPECT_EQ(standin::viewsUpdated(), 2);
}

TEST_F(CloseCommandTest, RowsComeAndGoInTheModulesPanel) {
  setPanelHooks(PanelHooks());
  LayerPanel panel;
  ASSERT_TRUE(panel.createModeless(standin::hostPanelParent()));
  pluginModule().panel = &panel;
  open("roads");
  open("rivers");
  EXPECT_EQ(panel.list->count(), 2);
  run({0}, close_data_dialog::kOk);
  ASSERT_EQ(panel.list->count(), 1);
  EXPECT_EQ(panel.list->entry(0).rowId, 2);
  pluginModule().panel = nullptr;
}

}  // namespace
