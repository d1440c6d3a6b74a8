#include "plugin/LayerCallback.h"

#include <string>
#include <vector>

#include "dataset/CacheFile.h"
#include "host/PluginIf.h"
#include "plugin/DepotFolders.h"
#include "plugin/ReopenList.h"
#include "standin/StandinView2d.h"
#include "standin/StandinView3d.h"
#include "tests/plugin/ModuleFixture.h"

namespace {

namespace fs = std::filesystem;

class LayerCallbackTest : public ModuleFixture {
 protected:
  // A data set with one short arc around (latitude, longitude).
  static LineDataSet* open(double latitude, double longitude) {
    PluginModule& m = pluginModule();
    auto* d = new LineDataSet(m.nextRowId);
    d->name = "set" + std::to_string(m.nextRowId);
    d->depotPath = m.depotFolderPath;
    d->addPoint(latitude, longitude);
    d->addPoint(latitude + 0.1, longitude + 0.1);
    d->endArc();
    EXPECT_TRUE(registerDataSet(d));
    return d;
  }

  // Three data sets kept in the depot with a reopen list, as a run that
  // ended with them open leaves them.
  void leaveThreeOpen() {
    ASSERT_EQ(createDepotFolder(), 1);
    for (int i = 0; i < 3; ++i) {
      LineDataSet& d = *open(35.0, 135.0);
      ASSERT_NE(VPI_DD_AddItem(findDepotFolder(), d.name.c_str(),
                               (d.name + ".bin").c_str()),
                0u);
      saveCache(d);
    }
    writeReopenList();
    resetModule();
    resetHost();
  }
};

TEST_F(LayerCallbackTest, BothLayersShareTheCallback) {
  addLayers();
  EXPECT_EQ(pluginModule().layersActive, 1);
  const std::vector<standin::LayerEntry> layers = standin::layers();
  ASSERT_EQ(layers.size(), 2u);
  EXPECT_FALSE(layers[0].is3d);
  EXPECT_EQ(layers[0].id, kLayerId2d);
  EXPECT_EQ(layers[0].handle, pluginModule().layer2d);
  EXPECT_TRUE(layers[1].is3d);
  EXPECT_EQ(layers[1].id, kLayerId3d);
  EXPECT_EQ(layers[1].handle, pluginModule().layer3d);
  EXPECT_EQ(layers[0].callback, layerCallback);
  EXPECT_EQ(layers[1].callback, layerCallback);
  removeLayers();
  EXPECT_EQ(pluginModule().layersActive, 0);
  EXPECT_TRUE(standin::layers().empty());
}

TEST_F(LayerCallbackTest, FirstDrawRestoresOnlyWhenEveryTestHolds) {
  struct Case {
    const char* what;
    int32_t load;
    bool removeFolder;
    bool removeDirectory;
    int32_t restored;
  } cases[] = {
      {"all hold", 1, false, false, 3},
      {"Load 0", 0, false, false, 0},
      {"no depot folder", 1, true, false, 0},
      {"directory removed on disk", 1, false, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(home_);
    resetHost();
    resetModule();
    leaveThreeOpen();
    VPI_WriteProfileInt(1, "Load", c.load);
    ASSERT_NE(findDepotFolder(), 0u);
    const fs::path dir = native(pluginModule().depotFolderPath);
    if (c.removeFolder) VPI_DD_RemoveFolder(VPI_DD_GetID(0, "Morvane"));
    if (c.removeDirectory) fs::remove_all(dir);
    pluginModule().depotFolderPath[0] = '\0';

    addLayers();
    EXPECT_EQ(standin::drawAll2d(), 1);
    EXPECT_EQ(pluginModule().restorePending, 0);
    ASSERT_EQ(pluginModule().registry.count(), c.restored);
    for (int32_t i = 0; i < c.restored; ++i) {
      EXPECT_EQ(pluginModule().registry.at(i)->rowId, i + 1);
    }
    // Restored data sets are drawn in the same pass.
    EXPECT_EQ(standin::view2dCalls().drawVideoLines, c.restored);

    // Never again in this run, even once everything holds.
    VPI_WriteProfileInt(1, "Load", 1);
    if (c.removeDirectory) fs::create_directories(dir);
    standin::drawAll2d();
    EXPECT_EQ(pluginModule().registry.count(), c.restored);
    removeLayers();
    standin::resetView2d();
  }
}

TEST_F(LayerCallbackTest, DrawPassRefreshesTheDepotFolder) {
  ASSERT_EQ(createDepotFolder(), 1);
  const std::string folder = pluginModule().depotFolderPath;
  addLayers();
  pluginModule().restorePending = 0;
  pluginModule().depotFolderPath[0] = '\0';
  standin::drawAll2d();
  EXPECT_EQ(std::string(pluginModule().depotFolderPath), folder);
  removeDepotFolder();
  standin::drawAll3d({0});
  EXPECT_EQ(std::string(pluginModule().depotFolderPath), "");
}

TEST_F(LayerCallbackTest, Draw2dTakesTheViewCorners) {
  pluginModule().restorePending = 0;
  open(35.0, 135.0);
  open(50.0, 135.0);  // north of the view
  open(31.0, 131.0);
  addLayers();
  // West 130, south 30, east 140, north 40: mixing up the corners of the
  // record would give an empty or a wrong area.
  standin::setView2d({130.0, 30.0, 140.0, 40.0}, 0);
  standin::drawAll2d();
  EXPECT_EQ(standin::view2dCalls().drawVideoLines, 2);
}

TEST_F(LayerCallbackTest, Draw3dStopsAtTheFirstAbortAndNothingInMode2) {
  pluginModule().restorePending = 0;
  for (int i = 0; i < 3; ++i) open(35.0, 135.0);
  addLayers();
  standin::setEye3d({35.0, 135.0});
  const std::vector<int32_t> blocks = {standin::blockCodeAt(35.05, 135.05)};

  standin::drawAll3d(blocks, 2);
  EXPECT_EQ(standin::view3dCalls().getMap3d, 0);

  standin::drawAll3d(blocks, 0);
  EXPECT_EQ(standin::view3dCalls().draw3dLines, 3);

  standin::resetView3d();
  standin::setEye3d({35.0, 135.0});
  standin::setAbortRendering(true);
  standin::drawAll3d(blocks, 0);
  EXPECT_EQ(standin::view3dCalls().draw3dLines, 1);
}

TEST_F(LayerCallbackTest, OtherEventsDoNothing) {
  open(35.0, 135.0);
  tagDRAW2DEVENT record = standin::draw2dEvent();
  EXPECT_EQ(layerCallback(601, standin::kView2d,
                          reinterpret_cast<intptr_t>(&record)),
            0);
  EXPECT_EQ(pluginModule().restorePending, 1);
  EXPECT_EQ(standin::view2dCalls().drawVideoLines, 0);
}

}  // namespace
