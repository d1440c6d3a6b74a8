// Scenarios of the open command written once and run over both user
// interfaces: the headless one natively (OpenCommandTest) and real windows
// under Wine (CommandsWin32Test). Each side answers the dialogs its own way
// and adds the checks only it can make.

#ifndef MORVANE_TESTS_PLUGIN_COMMANDSCENARIOCHECKS_H_
#define MORVANE_TESTS_PLUGIN_COMMANDSCENARIOCHECKS_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "host/PluginIf.h"
#include "module/PluginModule.h"
#include "plugin/DepotFolders.h"
#include "resources/Texts.h"
#include "standin/StandinDepot.h"
#include "standin/StandinHost.h"
#include "standin/StandinLayers.h"
#include "standin/StandinFiles.h"
#include "standin/StandinView3d.h"
#include "ui/LayerPanel.h"

class CommandSide {
 public:
  virtual ~CommandSide() = default;
  // The open command run with nothing in the depot yet: its file dialog
  // answered with path (a module path).
  virtual void openFirst(const std::string& path) = 0;
  // The open command with nothing in the depot yet, its file dialog
  // cancelled.
  virtual void openCancelled() = 0;
  // The open command with the depot there, its reopen dialog cancelled.
  virtual void reopenCancelled() = 0;
  // The open command with the depot there, its reopen dialog answered with
  // the list entry at this position and OK.
  virtual void reopenEntry(int entry) = 0;
  void reopenFirstEntry() { reopenEntry(0); }
  // The open command with the depot there: its reopen dialog answered
  // with "read new", then the file dialog with path.
  virtual void openNew(const std::string& path) = 0;
  // The close command with these list entries chosen, then OK or Delete;
  // what the list showed goes to listed when given.
  virtual void closeEntries(std::vector<int> entries, bool remove,
                            std::vector<std::string>* listed) = 0;
  // The close command with its first count entries chosen and OK.
  void closeFirst(int count) {
    std::vector<int> entries;
    for (int i = 0; i < count; ++i) entries.push_back(i);
    closeEntries(entries, false, nullptr);
  }
  // A sample copied under another name; its module path.
  virtual std::string sampleCopy(const char* name) = 0;
  // A module path where no file is.
  virtual std::string missingInput() = 0;
  // The titles of the dialogs the last command showed (on real windows its
  // message boxes' too), and the texts of the message boxes it showed.
  virtual std::vector<std::string> dialogTitles() = 0;
  virtual std::vector<std::string> messages() = 0;
  // The panel's row ids, top to bottom.
  virtual std::vector<int32_t> rowIds() = 0;
  virtual bool closeEnabled() = 0;
  // The host shut down (Close, Release) and started again (Init, Load)
  // over the same home folder, its map not drawn yet.
  virtual void restartWithoutDrawing() = 0;
};

namespace command_checks {

inline std::filesystem::path depotFolderOnDisk() {
  return standin::fileSystemPath(pluginModule().depotFolderPath);
}

}  // namespace command_checks

// No depot yet: the file dialog comes at once, with its title; the
// folders, the item titled with the name and its cache file are made; the
// name keeps every dot but the last.
inline void checkFirstUseImportsAtOnce(CommandSide& side) {
  side.openFirst(side.sampleCopy("roads.old.e00"));
  EXPECT_EQ(side.dialogTitles(),
            (std::vector<std::string>{kTextOpenFileDialogTitle}));
  EXPECT_TRUE(side.messages().empty());
  PluginModule& module = pluginModule();
  ASSERT_EQ(module.registry.count(), 1);
  const LineDataSet& d = *module.registry.at(0);
  EXPECT_EQ(d.name, "roads.old");
  EXPECT_EQ(d.rowId, 1);
  EXPECT_GT(d.points.size(), 0);
  EXPECT_EQ(side.rowIds(), (std::vector<int32_t>{1}));
  EXPECT_EQ(module.layersActive, 1);
  EXPECT_TRUE(side.closeEnabled());
  const uint32_t folder = findDepotFolder();
  ASSERT_NE(folder, 0u);
  EXPECT_NE(VPI_DD_GetID(folder, "roads.old"), 0u);
  EXPECT_TRUE(std::filesystem::is_regular_file(
      command_checks::depotFolderOnDisk() / "roads.old.bin"));
}

// A first import that fails takes the layers and the whole depot folder it
// made with it, and says why.
inline void checkFailedFirstImportRemovesTheDepotFolder(CommandSide& side) {
  side.openFirst(side.missingInput());
  EXPECT_EQ(side.messages(),
            (std::vector<std::string>{kTextCannotReadGisFile}));
  PluginModule& module = pluginModule();
  EXPECT_EQ(module.registry.count(), 0);
  EXPECT_EQ(module.layersActive, 0);
  EXPECT_FALSE(side.closeEnabled());
  EXPECT_EQ(VPI_DD_GetID(0, kDepotTopTitle), 0u);
  EXPECT_FALSE(std::filesystem::exists(
      std::filesystem::u8path(standin::depotRoot()) / "Morvane"));
  EXPECT_TRUE(side.rowIds().empty());
}

// Cancelling: the file dialog with nothing open keeps the layers (the
// close command stays enabled) and asks for no redraw; the reopen dialog
// with data open changes nothing but redraws; with nothing open it removes
// the layers the command registered.
inline void checkCancelPaths(CommandSide& side) {
  PluginModule& module = pluginModule();
  const int32_t updates = standin::viewsUpdated();
  side.openCancelled();
  EXPECT_EQ(module.layersActive, 1);
  EXPECT_TRUE(side.closeEnabled());
  EXPECT_EQ(standin::viewsUpdated(), updates);
  EXPECT_EQ(standin::layers().size(), 2u);

  side.openFirst(side.sampleCopy("coast.e00"));
  ASSERT_EQ(module.registry.count(), 1);
  const int32_t imported = standin::viewsUpdated();
  side.reopenCancelled();
  EXPECT_EQ(side.rowIds(), (std::vector<int32_t>{1}));
  EXPECT_EQ(module.registry.count(), 1);
  EXPECT_EQ(module.layersActive, 1);
  EXPECT_EQ(standin::viewsUpdated(), imported + 1);
  EXPECT_EQ(standin::layers().size(), 2u);  // registered anew, not twice

  side.closeFirst(1);
  ASSERT_EQ(module.registry.count(), 0);
  side.reopenCancelled();
  EXPECT_EQ(module.layersActive, 0);
  EXPECT_TRUE(standin::layers().empty());
  EXPECT_FALSE(side.closeEnabled());
}

// One item reopened twice gives two rows of their own; with the depot's
// directory gone from the disk, reopening says so and leaves nothing.
inline void checkReopenTwiceThenTheDirectoryIsDeleted(CommandSide& side) {
  PluginModule& module = pluginModule();
  side.openFirst(side.sampleCopy("coast.e00"));
  ASSERT_EQ(module.registry.count(), 1);
  const int32_t points = module.registry.at(0)->points.size();
  side.reopenFirstEntry();
  side.reopenFirstEntry();
  EXPECT_TRUE(side.messages().empty());
  EXPECT_EQ(side.rowIds(), (std::vector<int32_t>{1, 2, 3}));
  ASSERT_EQ(module.registry.count(), 3);
  for (int32_t i = 1; i < 3; ++i) {
    const LineDataSet& d = *module.registry.at(i);
    EXPECT_EQ(d.rowId, i + 1);
    EXPECT_EQ(d.name, "coast");
    EXPECT_EQ(d.points.size(), points);
  }
  module.registry.at(1)->lineWidth = 5;
  EXPECT_EQ(module.registry.at(2)->lineWidth, 1);

  side.closeFirst(3);
  EXPECT_TRUE(side.rowIds().empty());
  std::filesystem::remove_all(command_checks::depotFolderOnDisk());
  side.reopenFirstEntry();
  EXPECT_EQ(side.messages(),
            (std::vector<std::string>{kTextWorkingMapDeleted}));
  EXPECT_EQ(module.registry.count(), 0);
  EXPECT_EQ(module.layersActive, 0);
  EXPECT_EQ(VPI_DD_GetID(0, kDepotTopTitle), 0u);
}

// Closing two of three, from the list in registry order, keeps the third
// at index 0 with its row and the others' items and files; deleting the
// last takes its item, its file and the layers.
inline void checkCloseTwoOfThreeThenDeleteTheLast(CommandSide& side) {
  PluginModule& module = pluginModule();
  side.openFirst(side.sampleCopy("roads.e00"));
  side.openNew(side.sampleCopy("rivers.e00"));
  side.openNew(side.sampleCopy("coast.e00"));
  std::vector<std::string> listed;
  side.closeEntries({0, 1}, false, &listed);
  EXPECT_EQ(listed, (std::vector<std::string>{"roads", "rivers", "coast"}));
  ASSERT_EQ(module.registry.count(), 1);
  EXPECT_EQ(module.registry.at(0)->name, "coast");
  EXPECT_EQ(side.rowIds(), (std::vector<int32_t>{3}));
  EXPECT_TRUE(std::filesystem::exists(command_checks::depotFolderOnDisk() /
                                      "roads.bin"));
  EXPECT_NE(VPI_DD_GetID(findDepotFolder(), "rivers"), 0u);

  const std::filesystem::path folder = command_checks::depotFolderOnDisk();
  side.closeEntries({0}, true, nullptr);
  EXPECT_TRUE(side.rowIds().empty());
  EXPECT_EQ(module.registry.count(), 0);
  EXPECT_EQ(VPI_DD_GetID(findDepotFolder(), "coast"), 0u);
  EXPECT_FALSE(std::filesystem::exists(folder / "coast.bin"));
  EXPECT_NE(VPI_DD_GetID(findDepotFolder(), "roads"), 0u);
  EXPECT_EQ(module.layersActive, 0);
  EXPECT_FALSE(side.closeEnabled());
}

// Three data sets open at the shutdown come back at the next start's first
// 2D draw, not before, with row ids 1, 2, 3 in the order of the reopen
// list and their attributes; the 3D view then draws them until the host
// aborts its rendering.
inline void checkThreeOpenAtShutdownComeBackAtTheFirstDraw(CommandSide& side) {
  PluginModule& module = pluginModule();
  side.openFirst(side.sampleCopy("roads.e00"));
  side.openNew(side.sampleCopy("rivers.e00"));
  side.openNew(side.sampleCopy("coast.e00"));
  side.closeFirst(1);    // roads: row 1 goes
  side.reopenEntry(2);   // coast, rivers, roads: roads again, row 4
  ASSERT_EQ(module.registry.count(), 3);
  for (int32_t i = 0; i < 3; ++i) {
    LineDataSet& d = *module.registry.at(i);
    d.lineColour = 0x00102030u + static_cast<uint32_t>(i);
    d.lineWidth = 2 + i;
    d.visible = i % 2;
    d.showIn3d = 0;
  }

  side.restartWithoutDrawing();
  EXPECT_TRUE(side.rowIds().empty());
  EXPECT_EQ(module.registry.count(), 0);
  standin::drawAll2d();
  EXPECT_EQ(side.rowIds(), (std::vector<int32_t>{1, 2, 3}));
  ASSERT_EQ(module.registry.count(), 3);
  const char* names[] = {"rivers", "coast", "roads"};
  for (int32_t i = 0; i < 3; ++i) {
    const LineDataSet& d = *module.registry.at(i);
    EXPECT_EQ(d.name, names[i]);
    EXPECT_EQ(d.rowId, i + 1);
    EXPECT_EQ(d.lineColour, 0x00102030u + static_cast<uint32_t>(i));
    EXPECT_EQ(d.lineWidth, 2 + i);
    EXPECT_EQ(d.visible, i % 2);
    EXPECT_EQ(d.showIn3d, 0);
  }
  ASSERT_NE(module.panel, nullptr);
  EXPECT_EQ(module.panel->showIn3dCheck(), 0);

  for (int32_t i = 0; i < 3; ++i) {
    module.registry.at(i)->visible = 1;
    module.registry.at(i)->showIn3d = 1;
  }
  const LineDataSet& first = *module.registry.at(0);
  int32_t at = 0;
  while (isSeparator(first.points[at])) ++at;
  const double latitude = first.points[at].latitude * kDegreesPerUnit;
  const double longitude = first.points[at].longitude * kDegreesPerUnit;
  standin::setEye3d({latitude, longitude});
  const std::vector<int32_t> blocks = {
      standin::blockCodeAt(latitude, longitude)};
  standin::drawAll3d(blocks);
  EXPECT_EQ(standin::view3dCalls().draw3dLines, 3);
  standin::resetView3d();
  standin::setEye3d({latitude, longitude});
  standin::setAbortRendering(true);
  standin::drawAll3d(blocks);
  EXPECT_EQ(standin::view3dCalls().draw3dLines, 1);
  standin::setAbortRendering(false);
}

#endif  // MORVANE_TESTS_PLUGIN_COMMANDSCENARIOCHECKS_H_
