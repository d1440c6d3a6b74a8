// Data sets in the module's registry for the panel's tests, and the clean
// state they leave behind.

#ifndef MORVANE_TESTS_UI_PANELTESTSUPPORT_H_
#define MORVANE_TESTS_UI_PANELTESTSUPPORT_H_

#include <string>

#include "dataset/LineDataSet.h"
#include "module/PluginModule.h"
#include "tests/TestHost.h"
#include "ui/LayerPanel.h"

// Registers a data set as the open command does, with its creation
// attributes (visible, yellow, width 1, shown in 3D).
inline LineDataSet* openDataSet(int32_t rowId, const std::string& name) {
  auto* ds = new LineDataSet(rowId);
  ds->name = name;
  pluginModule().registry.append(ds);
  return ds;
}

// A stand-in for the host's panel parent window.
inline VpiWindow hostPanelParent() {
  static int parent;
  return &parent;
}

class PanelTest : public TestHost {
 protected:
  void TearDown() override {
    pluginModule().registry.empty();
    pluginModule().panelId = 0;
    releasePanelBrush();
    TestHost::TearDown();
  }
};

#endif  // MORVANE_TESTS_UI_PANELTESTSUPPORT_H_
