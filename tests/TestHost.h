// A clean host for every test: the stand-in host and the headless user
// interface as a fresh process has them, wired together as morvane-host
// wires them (the host's message pump delivers the robot's clicks).
//
//   class MyTest : public TestHost { ... };   // SetUp and TearDown reset
//   resetTestHost();                          // between the cases of a table
//
// A fixture that overrides SetUp calls TestHost's first; one that overrides
// TearDown calls TestHost's before it removes the stand-in host's home
// folder (which the test chooses, and which the reset may write to).

#ifndef MORVANE_TESTS_TESTHOST_H_
#define MORVANE_TESTS_TESTHOST_H_

#include <gtest/gtest.h>

#include "standin/StandinDepot.h"
#include "standin/StandinHost.h"
#include "standin/StandinLayers.h"
#include "standin/StandinMenus.h"
#include "standin/StandinNameDb.h"
#include "standin/StandinProfile.h"
#include "standin/StandinProgressBar.h"
#include "standin/StandinView2d.h"
#include "standin/StandinView3d.h"
#include "ui/headless/FileDialogHeadless.h"
#include "ui/headless/HeadlessUi.h"

// The stand-in host alone, for tests on real windows: pump and view-update
// counts at 0 without hooks; the place-name database, depot, profile
// values, progress bar, layers, menus and both views as the host starts
// them (what the host keeps in its home folder is read again from there).
inline void resetStandinHost() {
  standin::resetPump();
  standin::resetViewsUpdated();
  standin::resetNameDb();
  standin::resetProgressBar();
  standin::resetView2d();
  standin::resetView3d();
  standin::resetDepot();
  standin::resetProfile();
  standin::resetLayers();
  standin::resetMenus();
}
// That, and the headless user interface: no messages, windows, robot script
// or file-dialog answers, messages not echoed, and the host's pump
// delivering the robot's clicks.
inline void resetTestHost() {
  headless::resetUi();
  headless::setEcho(false);
  headless::resetFileDialogs();
  standin::setMessageDispatcher(headless::dispatchPending);
  resetStandinHost();
}

class TestHost : public ::testing::Test {
 protected:
  void SetUp() override { resetTestHost(); }
  void TearDown() override { resetTestHost(); }
};

#endif  // MORVANE_TESTS_TESTHOST_H_
