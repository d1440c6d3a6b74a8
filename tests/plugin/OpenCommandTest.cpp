#include "plugin/OpenCommand.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "dataset/CacheFile.h"
#include "module/PluginModule.h"
#include "platform/FileSystem.h"
#include "platform/MemoryFileSystem.h"
#include "plugin/CloseCommand.h"
#include "plugin/DepotFolders.h"
#include "plugin/PanelAccess.h"
#include "plugin/PluginEntry.h"
#include "plugin/ReopenList.h"
#include "resources/DialogIds.h"
#include "resources/Texts.h"
#include "standin/StandinLayers.h"
#include "tests/plugin/CommandScenarioChecks.h"
#include "tests/plugin/HeadlessAnswers.h"
#include "tests/plugin/ModuleFixture.h"

namespace {

std::vector<int32_t> gRows;
void addRow(int32_t rowId) { gRows.push_back(rowId); }
void removeRow(int32_t rowId) { gRows.push_back(-rowId); }

class OpenCommandTest : public ModuleFixture {
 protected:
  void SetUp() override {
    ModuleFixture::SetUp();
    std::filesystem::create_directories(home_);
    gRows.clear();
    PanelHooks hooks;
    hooks.addRow = addRow;
    hooks.removeRow = removeRow;
    setPanelHooks(hooks);
  }
  void TearDown() override {
    setPanelHooks(PanelHooks());
    ModuleFixture::TearDown();
  }

  static std::string sample(const char* name) {
    return modulePath(std::string(MORVANE_TEST_DATA) + "/" + name);
  }
  // A copy of a sample under another name, in the test's home folder.
  std::string copyOf(const char* sampleName, const char* name) {
    std::filesystem::path to = home_ / name;
    std::filesystem::copy_file(
        std::filesystem::u8path(std::string(MORVANE_TEST_DATA) + "/" +
                                sampleName),
        to, std::filesystem::copy_options::overwrite_existing);
    return modulePath(to.u8string());
  }
  static void run() { EXPECT_EQ(openCommand(kMenuRunCommand, 0, 0), 0); }

  // The reopen dialog answered with the list entries at these positions.
  static void openPrevious(std::vector<size_t> rows,
                           std::vector<std::string>* listed = nullptr) {
    headless::onModalDialog([rows, listed](headless::Window& w) {
      auto& items = w.control(reopen_dialog::kListBox).items;
      if (listed != nullptr) {
        for (const auto& item : items) listed->push_back(item.text);
      }
      for (size_t r : rows) items.at(r).selected = true;
      w.click(reopen_dialog::kOk);
    });
  }
  void import(const std::string& path) {
    answerReopenWithReadNew();
    headless::answerFileDialog(path);
    run();
  }
  static std::vector<std::string> depotTitles() {
    std::vector<std::string> titles;
    const uint32_t folder = depotSubFolderId(DepotLookup::kRootWithoutTop);
    for (uint32_t id = VPI_DD_EnumFirstID(folder); id != 0;
         id = VPI_DD_EnumNextID(folder, id)) {
      titles.push_back(VPI_DD_GetTitle(id));
    }
    return titles;
  }
  static PluginModule& module() { return pluginModule(); }
};

TEST_F(OpenCommandTest, NamesAreTheFileNameWithoutTheLastExtension) {
  struct Case {
    const char* path;
    const char* name;
  } cases[] = {
      {"D:\\gm\\roadl_jpn.e00", "roadl_jpn"},
      {"D:\\gm\\roads.old.e00", "roads.old"},
      {"D:roads.e00", "roads"},
      {"D:\\gm\\noext", "noext"},
      {"D:\\a.b\\c", "c"},
      {"D:\\gm\\\x95\x5C.e00", "\x95\x5C"},
  };
  for (const Case& c : cases) EXPECT_EQ(dataSetNameOf(c.path), c.name) << c.path;
}

// What the shared scenarios see of the headless user interface.
class HeadlessSide : public CommandSide {
 public:
  explicit HeadlessSide(std::filesystem::path home) : home_(std::move(home)) {}
  void openFirst(const std::string& path) override {
    headless::answerFileDialog(path);
    run(openCommand);
  }
  void openCancelled() override {
    headless::cancelFileDialog();
    run(openCommand);
  }
  void reopenCancelled() override {
    headless::onModalDialog(nullptr);  // no hook: the dialog ends as cancelled
    run(openCommand);
  }
  void reopenEntry(int entry) override {
    headless::onModalDialog([entry](headless::Window& w) {
      w.control(reopen_dialog::kListBox)
          .items.at(static_cast<size_t>(entry))
          .selected = true;
      w.click(reopen_dialog::kOk);
    });
    run(openCommand);
  }
  void openNew(const std::string& path) override {
    answerReopenWithReadNew();
    headless::answerFileDialog(path);
    run(openCommand);
  }
  void closeEntries(std::vector<int> entries, bool remove,
                    std::vector<std::string>* listed) override {
    headless::onModalDialog([entries, remove, listed](headless::Window& w) {
      auto& items = w.control(close_data_dialog::kListBox).items;
      if (listed != nullptr) {
        for (const auto& item : items) listed->push_back(item.text);
      }
      for (int i : entries) items.at(static_cast<size_t>(i)).selected = true;
      w.click(remove ? close_data_dialog::kDeleteButton
                     : close_data_dialog::kOk);
    });
    run(closeCommand);
  }
  std::string sampleCopy(const char* name) override {
    std::filesystem::path to = home_ / name;
    std::filesystem::copy_file(
        std::filesystem::u8path(std::string(MORVANE_TEST_DATA) +
                                "/japan_coast_50m.e00"),
        to, std::filesystem::copy_options::overwrite_existing);
    return modulePath(to.u8string());
  }
  std::string missingInput() override {
    return modulePath((home_ / "missing.e00").u8string());
  }
  std::vector<std::string> dialogTitles() override {
    std::vector<std::string> titles;
    const auto& shown = headless::fileDialogsShown();
    for (size_t i = dialogsBefore_; i < shown.size(); ++i) {
      titles.push_back(shown[i].title);
    }
    return titles;
  }
  std::vector<std::string> messages() override {
    std::vector<std::string> texts;
    const auto& shown = headless::messages();
    for (size_t i = messagesBefore_; i < shown.size(); ++i) {
      texts.push_back(shown[i].text);
    }
    return texts;
  }
  // The rows the panel hooks were told of and not told gone.
  std::vector<int32_t> rowIds() override {
    std::vector<int32_t> live;
    for (int32_t event : gRows) {
      if (event > 0) {
        live.push_back(event);
      } else {
        live.erase(std::remove(live.begin(), live.end(), -event), live.end());
      }
    }
    return live;
  }
  bool closeEnabled() override {
    int32_t enabled = 0;
    closeCommand(kMenuQueryEnabled, 0, reinterpret_cast<intptr_t>(&enabled));
    return enabled != 0;
  }
  // The host's shutdown and its next start in the same process: the
  // module's state as a fresh load finds it, the panel made by Load.
  void restartWithoutDrawing() override {
    Close();
    Release();
    gRows.clear();
    resetTestHost();
    pluginModule().reset(1);
    PluginInfo info;
    ASSERT_EQ(Init(&info, 1), 1);
    ASSERT_EQ(Load(), 1);
    loaded_ = true;
    dialogsBefore_ = 0;
    messagesBefore_ = 0;
  }
  ~HeadlessSide() override {
    if (loaded_) Release();
  }

 private:
  // What the command shows is told apart from what came before it.
  void run(VpiCallback command) {
    dialogsBefore_ = headless::fileDialogsShown().size();
    messagesBefore_ = headless::messages().size();
    EXPECT_EQ(command(kMenuRunCommand, 0, 0), 0);
    headless::onModalDialog(nullptr);
  }

  std::filesystem::path home_;
  size_t dialogsBefore_ = 0;
  size_t messagesBefore_ = 0;
  bool loaded_ = false;
};

TEST_F(OpenCommandTest, FirstUseImportsAtOnceIntoNewDepotFolders) {
  HeadlessSide side(home_);
  checkFirstUseImportsAtOnce(side);
  // What only the headless interface shows: the file dialog's filter and
  // extension, every row event, the one redraw, the depot's one item.
  ASSERT_EQ(headless::fileDialogsShown().size(), 1u);
  const headless::ShownFileDialog& shown = headless::fileDialogsShown()[0];
  EXPECT_EQ(shown.filter, kTextE00FileFilter);
  EXPECT_EQ(shown.defaultExtension, "e00");
  EXPECT_EQ(gRows, (std::vector<int32_t>{1}));
  EXPECT_EQ(standin::viewsUpdated(), 1);
  EXPECT_EQ(depotTitles(), (std::vector<std::string>{"roads.old"}));
}

// The depot's disk fills while the cache file of an import is written, at
// its first byte, inside it and at its last: the import is not kept (no
// data set, no row, no item, no file, the earlier data set untouched), and
// the user is told.
TEST_F(OpenCommandTest, DiskFullWhileTheCacheIsWrittenKeepsNothing) {
  import(sample("japan_coast_50m.e00"));  // makes the depot folders
  ASSERT_EQ(module().registry.count(), 1);
  const std::string folder = module().depotFolderPath;
  const std::filesystem::path first =
      native(folder.c_str()) / "japan_coast_50m.bin";
  const std::string firstBytes = readAll(first);
  const int64_t size = static_cast<int64_t>(firstBytes.size());
  for (int64_t k : {int64_t{0}, int64_t{4096}, size - 1}) {
    const std::string name = "full" + std::to_string(k);
    const std::string e00 =
        copyOf("japan_coast_50m.e00", (name + ".e00").c_str());
    // The depot folder's files now live on a disk that holds k bytes.
    MemoryFileSystem disk(folder + "\\");
    disk.failWritesAt(k);
    headless::resetUi();
    headless::setEcho(false);
    gRows.clear();
    import(e00);

    ASSERT_EQ(module().registry.count(), 1) << k;
    EXPECT_EQ(module().registry.at(0)->name, "japan_coast_50m");
    EXPECT_EQ(module().layersActive, 1);
    EXPECT_EQ(depotTitles(), (std::vector<std::string>{"japan_coast_50m"}));
    ASSERT_FALSE(headless::messages().empty()) << k;
    EXPECT_EQ(headless::messages().back().text, kTextCannotMakeWorkingMap);
    EXPECT_TRUE(disk.paths().empty()) << k;  // not even a temporary file
    EXPECT_FALSE(std::filesystem::exists(native(folder.c_str()) /
                                         (name + ".bin")));
  }
  EXPECT_EQ(readAll(first), firstBytes);
}

// No import writes over another data set's cache file: a name already in
// the depot, in any letter case or from another folder, gets the first free
// number, and an item the depot refuses leaves nothing behind.
TEST_F(OpenCommandTest, ImportsNeverShareOrReplaceAnotherCacheFile) {
  import(sample("japan_coast_50m.e00"));
  ASSERT_EQ(module().registry.count(), 1);
  const std::filesystem::path folder = native(module().depotFolderPath);
  const std::string firstBytes = readAll(folder / "japan_coast_50m.bin");

  std::filesystem::create_directories(home_ / "other");
  std::filesystem::copy_file(
      std::string(MORVANE_TEST_DATA) + "/japan_coast_50m_partial.e00",
      home_ / "other" / "japan_coast_50m.e00");
  import(copyOf("japan_coast_50m_partial.e00", "Japan_Coast_50m.e00"));
  import(modulePath((home_ / "other" / "japan_coast_50m.e00").u8string()));
  ASSERT_EQ(module().registry.count(), 3);
  EXPECT_EQ(module().registry.at(1)->name, "Japan_Coast_50m (2)");
  EXPECT_EQ(module().registry.at(2)->name, "japan_coast_50m (3)");
  EXPECT_EQ(depotTitles(),
            (std::vector<std::string>{"japan_coast_50m", "Japan_Coast_50m (2)",
                                      "japan_coast_50m (3)"}));
  EXPECT_EQ(readAll(folder / "japan_coast_50m.bin"), firstBytes);
  EXPECT_TRUE(std::filesystem::is_regular_file(folder /
                                               "Japan_Coast_50m (2).bin"));

  // An item of another title holds the file name already: the depot
  // refuses the new item, and no cache file is written for it.
  ASSERT_NE(VPI_DD_AddItem(findDepotFolder(), "someone else's", "roads.bin"),
            0u);
  headless::resetUi();
  import(copyOf("japan_coast_50m.e00", "roads.e00"));
  EXPECT_EQ(module().registry.count(), 3);
  ASSERT_EQ(headless::messages().size(), 1u);
  EXPECT_EQ(headless::messages()[0].text, kTextCannotMakeWorkingMap);
  EXPECT_FALSE(std::filesystem::exists(folder / "roads.bin"));
}

// Names Windows keeps for devices ("NUL.bin" swallows what is written) or
// changes (a trailing dot or blank) are refused before anything is read.
TEST_F(OpenCommandTest, FileNamesThatCannotNameADataSetAreRefused) {
  import(sample("japan_coast_50m.e00"));
  // Refused by name alone: no such file needs to exist (on Windows none
  // can).
  for (const char* file : {"CON.e00", "nul.bin.e00", "Lpt1.e00", "roads..e00",
                           "...e00", " .e00"}) {
    headless::resetUi();
    import(modulePath((home_ / file).u8string()));
    EXPECT_EQ(module().registry.count(), 1) << file;
    ASSERT_EQ(headless::messages().size(), 1u) << file;
    EXPECT_EQ(headless::messages()[0].text, kTextUnusableDataSetName);
  }
  EXPECT_EQ(depotTitles(), (std::vector<std::string>{"japan_coast_50m"}));
}

TEST_F(OpenCommandTest, ReopeningAnItemTwiceGivesTwoIndependentRows) {
  import(sample("japan_coast_50m.e00"));
  ASSERT_EQ(module().registry.count(), 1);
  const int32_t points = module().registry.at(0)->points.size();
  module().registry.at(0)->showIn3d = 0;

  // The cache says hidden; reopening shows it all the same.
  LineDataSet hidden(99);
  hidden.name = "japan_coast_50m";
  hidden.depotPath = module().depotFolderPath;
  ASSERT_EQ(loadCache(hidden), 1);
  hidden.visible = 0;
  hidden.showIn3d = 1;
  saveCache(hidden);

  openPrevious({0});
  run();
  openPrevious({0});
  run();
  EXPECT_TRUE(headless::messages().empty());
  ASSERT_EQ(module().registry.count(), 3);
  for (int32_t i = 1; i < 3; ++i) {
    const LineDataSet& d = *module().registry.at(i);
    EXPECT_EQ(d.rowId, i + 1);
    EXPECT_EQ(d.name, "japan_coast_50m");
    EXPECT_EQ(d.points.size(), points);
    EXPECT_EQ(d.visible, 1);
    EXPECT_EQ(d.showIn3d, 0);  // from the first open data set
  }
  EXPECT_NE(module().registry.at(1), module().registry.at(2));
  EXPECT_EQ(gRows, (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(depotTitles().size(), 1u);  // reopening adds nothing
}

TEST_F(OpenCommandTest, ReopenListIsSortedAndIdsComeInListOrder) {
  import(copyOf("japan_coast_50m.e00", "rivers.e00"));
  import(copyOf("japan_coast_50m.e00", "Coast.e00"));
  import(copyOf("japan_coast_50m.e00", "bays.e00"));
  std::vector<std::string> listed;
  openPrevious({0, 2}, &listed);
  run();
  EXPECT_EQ(listed, (std::vector<std::string>{"bays", "Coast", "rivers"}));
  ASSERT_EQ(module().registry.count(), 5);
  EXPECT_EQ(module().registry.at(3)->name, "bays");
  EXPECT_EQ(module().registry.at(4)->name, "rivers");
}

TEST_F(OpenCommandTest, OpenPreviousWithoutSelectionKeepsTheDialog) {
  import(sample("japan_coast_50m.e00"));
  bool stillOpen = false;
  bool listEnabledByReadNew = true;
  headless::onModalDialog([&](headless::Window& w) {
    w.click(reopen_dialog::kOk);
    stillOpen = !w.ended();
    w.click(reopen_dialog::kReadNewRadio);
    listEnabledByReadNew = w.control(reopen_dialog::kListBox).enabled;
    w.click(reopen_dialog::kCancel);
  });
  run();
  EXPECT_TRUE(stillOpen);
  EXPECT_FALSE(listEnabledByReadNew);
  ASSERT_EQ(headless::messages().size(), 1u);
  EXPECT_EQ(headless::messages()[0].text, kTextChooseFromList);
  EXPECT_EQ(module().registry.count(), 1);
}

TEST_F(OpenCommandTest, CancelPaths) {
  HeadlessSide side(home_);
  checkCancelPaths(side);
}

TEST_F(OpenCommandTest, FailedFirstImportRemovesLayersAndDepotFolder) {
  HeadlessSide side(home_);
  checkFailedFirstImportRemovesTheDepotFolder(side);
  EXPECT_TRUE(gRows.empty());  // no row shown even for a moment
}

TEST_F(OpenCommandTest, FileThatIsNoE00FileGivesAnEmptyDataSet) {
  writeAll(home_ / "notes.e00", "just some text\nnot an export file\n");
  headless::answerFileDialog(modulePath((home_ / "notes.e00").u8string()));
  run();
  ASSERT_EQ(module().registry.count(), 1);
  EXPECT_EQ(module().registry.at(0)->points.size(), 0);
  EXPECT_TRUE(std::filesystem::is_regular_file(
      native(module().depotFolderPath) / "notes.bin"));
}

TEST_F(OpenCommandTest, CloseTwoOfThreeThenDeleteTheLast) {
  HeadlessSide side(home_);
  checkCloseTwoOfThreeThenDeleteTheLast(side);
}

TEST_F(OpenCommandTest, ReopenTwiceThenTheDirectoryIsDeleted) {
  HeadlessSide side(home_);
  checkReopenTwiceThenTheDirectoryIsDeleted(side);
}

TEST_F(OpenCommandTest, ThreeOpenAtShutdownComeBackAtTheFirstDraw) {
  HeadlessSide side(home_);
  checkThreeOpenAtShutdownComeBackAtTheFirstDraw(side);
}

TEST_F(OpenCommandTest, DamagedCachesAreReopenedAllTheSame) {
  import(copyOf("japan_coast_50m.e00", "cut.e00"));
  import(copyOf("japan_coast_50m.e00", "gone.e00"));
  import(copyOf("japan_coast_50m.e00", "junk.e00"));
  module().registry.empty();
  std::filesystem::path folder = native(module().depotFolderPath);
  std::string cut = readAll(folder / "cut.bin");
  writeAll(folder / "cut.bin", cut.substr(0, cut.size() / 2));
  std::filesystem::remove(folder / "gone.bin");
  writeAll(folder / "junk.bin", std::string(64, '\xFF'));
  const std::string junkBytes = readAll(folder / "junk.bin");
  openPrevious({0, 1, 2});
  run();
  ASSERT_EQ(module().registry.count(), 3);
  EXPECT_GT(module().registry.at(0)->points.size(), 0);  // what arrived
  EXPECT_EQ(module().registry.at(1)->points.size(), 0);
  // Told once, naming each; none is ever written over its file.
  ASSERT_EQ(headless::messages().size(), 1u);
  EXPECT_EQ(headless::messages()[0].text,
            std::string(kTextCannotRestoreWorkingMaps) + "\ncut\ngone\njunk");
  for (int32_t i = 0; i < 3; ++i) {
    EXPECT_TRUE(module().registry.at(i)->cacheNotWhole);
  }
  // Each can be closed like any other.
  headless::onModalDialog([](headless::Window& w) {
    for (auto& item : w.control(close_data_dialog::kListBox).items) {
      item.selected = true;
    }
    w.click(close_data_dialog::kOk);
  });
  closeCommand(kMenuRunCommand, 0, 0);
  EXPECT_EQ(module().registry.count(), 0);
  EXPECT_EQ(module().layersActive, 0);
  EXPECT_EQ(readAll(folder / "cut.bin"), cut.substr(0, cut.size() / 2));
  EXPECT_EQ(readAll(folder / "junk.bin"), junkBytes);
  EXPECT_FALSE(std::filesystem::exists(folder / "gone.bin"));
}

TEST_F(OpenCommandTest, ItemTitlesThatLeaveTheDepotFolderReadAndWriteNothing) {
  import(sample("japan_coast_50m.e00"));
  module().registry.empty();
  const uint32_t folder = findDepotFolder();
  // Items another program put in the depot: the titles are the host's, the
  // files plain names.
  const char* titles[] = {"..\\..\\x", "a/b", "C:x"};
  const char* files[] = {"x1.bin", "x2.bin", "x3.bin"};
  for (int i = 0; i < 3; ++i) {
    ASSERT_NE(VPI_DD_AddItem(folder, titles[i], files[i]), 0u) << titles[i];
  }
  const std::filesystem::path outside =
      native(module().depotFolderPath).parent_path().parent_path();
  writeAll(outside / "x.bin", "kept");
  openPrevious({0, 1, 2, 3});
  run();
  ASSERT_EQ(module().registry.count(), 4);
  headless::onModalDialog([](headless::Window& w) {
    for (auto& item : w.control(close_data_dialog::kListBox).items) {
      item.selected = true;
    }
    w.click(close_data_dialog::kOk);
  });
  closeCommand(kMenuRunCommand, 0, 0);
  EXPECT_EQ(readAll(outside / "x.bin"), "kept");
  EXPECT_FALSE(std::filesystem::exists(outside / "x"));
  EXPECT_FALSE(
      std::filesystem::exists(native(module().depotFolderPath) / "a"));
}

}  // namespace
