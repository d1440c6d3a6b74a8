#include "plugin/ReopenList.h"

#include <string>
#include <vector>

#include "dataset/CacheFile.h"
#include "host/PluginIf.h"
#include "plugin/DepotFolders.h"
#include "plugin/PanelAccess.h"
#include "resources/Texts.h"
#include "tests/plugin/ModuleFixture.h"

namespace {

namespace fs = std::filesystem;

std::vector<int32_t> gRowsAdded;
void recordRow(int32_t rowId) {
  // The row reads its data set from the registry.
  EXPECT_NE(pluginModule().registry.find(rowId), nullptr);
  gRowsAdded.push_back(rowId);
}

class ReopenListTest : public ModuleFixture {
 protected:
  void SetUp() override {
    ModuleFixture::SetUp();
    ASSERT_EQ(createDepotFolder(), 1);
    folder_ = native(pluginModule().depotFolderPath);
    gRowsAdded.clear();
    PanelHooks hooks;
    hooks.addRow = recordRow;
    setPanelHooks(hooks);
  }
  void TearDown() override {
    setPanelHooks(PanelHooks());
    ModuleFixture::TearDown();
  }

  // Only a name that is an item of the depot folder is kept.
  static void addItem(const std::string& name) {
    ASSERT_NE(VPI_DD_AddItem(findDepotFolder(), name.c_str(),
                             (name + ".bin").c_str()),
              0u)
        << name;
  }
  static LineDataSet* open(const std::string& name) {
    addItem(name);
    PluginModule& m = pluginModule();
    auto* d = new LineDataSet(m.nextRowId);
    d->name = name;
    d->depotPath = m.depotFolderPath;
    EXPECT_TRUE(registerDataSet(d));
    return d;
  }
  static std::vector<std::string> names() {
    std::vector<std::string> out;
    const DataSetRegistry& r = pluginModule().registry;
    for (int32_t i = 0; i < r.count(); ++i) out.push_back(r.at(i)->name);
    return out;
  }

  fs::path folder_;
};

TEST_F(ReopenListTest, WritesOneLinePerDataSetInRegistryOrder) {
  writeReopenList();
  EXPECT_TRUE(fs::exists(folder_ / "morvane.ini"));
  EXPECT_EQ(readAll(folder_ / "morvane.ini"), "");

  open("roads");
  open("two words");
  open("\x95\x5C");
  writeReopenList();
  const std::string end = textLineEnd();
#ifdef _WIN32
  EXPECT_EQ(end, "\r\n");
#else
  EXPECT_EQ(end, "\n");
#endif
  EXPECT_EQ(readAll(folder_ / "morvane.ini"),
            "roads" + end + "two words" + end + "\x95\x5C" + end);
  EXPECT_EQ(gRowsAdded, (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(pluginModule().nextRowId, 4);

  // The next run reads them back, in the same order.
  resetModule();
  ASSERT_NE(findDepotFolder(), 0u);
  restoreReopenList();
  EXPECT_EQ(names(), (std::vector<std::string>{"roads", "two words", "\x95\x5C"}));
}

TEST_F(ReopenListTest, NoFolderWritesNothing) {
  open("roads");
  pluginModule().depotFolderPath[0] = '\0';
  EXPECT_FALSE(writeReopenList());
  restoreReopenList();
  EXPECT_FALSE(fs::exists(folder_ / "morvane.ini"));
  EXPECT_EQ(names().size(), 1u);
}

TEST_F(ReopenListTest, ListLinesAreReadAsALineBufferReadsThem) {
  const std::string n259(259, 'a');
  const std::string n258(258, 'b');
  const std::string n300(300, 'c');
  struct Case {
    const char* what;
    std::string content;
    std::vector<std::string> names;
  } cases[] = {
      {"empty line", "a\n\nb\n", {"a", "b"}},
      {"CR LF line ends", "a\r\nb c\r\n", {"a", "b c"}},
      {"last line without end", "a\nb", {"a", "b"}},
      {"259 bytes: no whole line", "a\n" + n259 + "\nb\n", {"a", "b"}},
      {"259 bytes at the end", "a\n" + n259, {"a"}},
      {"258 bytes fit, but not their cache path", n258 + "\nb\n", {"b"}},
      {"300 bytes: no piece is a name", n300 + "\nb\n", {"b"}},
      {"climbs out", "..\\..\\x\nb\n", {"b"}},
      {"absolute", "C:\\x\n/tmp/x\nb\n", {"b"}},
      {"NUL byte", std::string("a\0b\nc\n", 6), {"c"}},
      {"trail byte 5C", "\x95\x5C\n\x95\x5C\\x\n", {"\x95\x5C"}},
      {"cut inside a character", "a\x95\nb\n", {"b"}},
      {"dots and blanks", "..\n.\n \na.\nb \nb\n", {"b"}},
      {"devices", "CON\nnul.bin\nCom1\nLPT9\nAUX\nPRN\nb\n", {"b"}},
      {"no item: deleted", "gone\nb\n", {"b"}},
  };
  for (const char* name : {"a", "b", "c", "b c", "\x95\x5C"}) addItem(name);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    resetModule();
    ASSERT_NE(findDepotFolder(), 0u);
    writeAll(folder_ / "morvane.ini", c.content);
    restoreReopenList();
    EXPECT_EQ(names(), c.names);
  }
}

TEST_F(ReopenListTest, RestoredDataSetsTakeTheirCachesAndTheFirstOnesShowIn3d) {
  LineDataSet a(0);
  a.name = "a";
  a.depotPath = pluginModule().depotFolderPath;
  a.addPoint(35.0, 135.0);
  a.addPoint(36.0, 136.0);
  a.showIn3d = 0;
  a.lineColour = 0x00123456;
  saveCache(a);
  LineDataSet b(0);
  b.name = "b";
  b.depotPath = pluginModule().depotFolderPath;
  b.addPoint(1.0, 2.0);
  b.showIn3d = 1;
  b.lineWidth = 4;
  saveCache(b);
  for (const char* name : {"a", "missing", "b"}) addItem(name);
  writeAll(folder_ / "morvane.ini", "a\nmissing\nb\n");

  pluginModule().nextRowId = 7;
  restoreReopenList();
  const DataSetRegistry& r = pluginModule().registry;
  ASSERT_EQ(r.count(), 3);
  EXPECT_EQ(r.at(0)->rowId, 7);
  EXPECT_EQ(r.at(1)->rowId, 8);
  EXPECT_EQ(r.at(2)->rowId, 9);
  EXPECT_EQ(gRowsAdded, (std::vector<int32_t>{7, 8, 9}));
  EXPECT_EQ(r.at(0)->points.size(), 2);
  EXPECT_EQ(r.at(0)->lineColour, 0x00123456u);
  EXPECT_EQ(r.at(1)->points.size(), 0);  // registered all the same
  EXPECT_EQ(r.at(1)->depotPath, pluginModule().depotFolderPath);
  EXPECT_TRUE(r.at(1)->cacheNotWhole);
  ASSERT_EQ(headless::messages().size(), 1u);
  EXPECT_EQ(headless::messages()[0].text,
            std::string(kTextCannotRestoreWorkingMaps) + "\nmissing");
  EXPECT_EQ(r.at(2)->points.size(), 1);
  EXPECT_EQ(r.at(2)->lineWidth, 4);
  for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(r.at(i)->showIn3d, 0);
}

}  // namespace
