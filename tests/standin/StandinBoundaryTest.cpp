// No C++ exception crosses the plug-in interface, in either direction: out
// of memory at every allocation inside a host function gives the call's
// failure result (and what the host keeps on disk agrees with the answer),
// and whatever a module's callback throws stays in the host.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <new>
#include <string>

#include "host/PluginIf.h"
#include "platform/FileSystem.h"
#include "platform/MemoryFileSystem.h"
#include "standin/StandinDepot.h"
#include "standin/StandinFiles.h"
#include "standin/StandinHost.h"
#include "standin/StandinLayers.h"
#include "standin/StandinMenus.h"
#include "standin/StandinProfile.h"
#include "standin/StandinView2d.h"
#include "tests/TempName.h"

// The replacements below pair malloc with free; GCC, seeing the default
// operator new inlined into a delete of ours, would call them mismatched.
#pragma GCC diagnostic ignored "-Wpragmas"
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {

// The allocation with this number fails once (0: none).
int64_t gFailAt = 0;
int64_t gAllocations = 0;

}  // namespace

void* operator new(std::size_t size) {
  if (gFailAt > 0 && ++gAllocations == gFailAt) throw std::bad_alloc();
  if (void* p = std::malloc(size != 0 ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

namespace fs = std::filesystem;

// Runs call with allocation k failing, for k = 1, 2, ... until a run meets
// no failure; call returns whether its answer is a success, then check sees
// the host as the next start sees it.
void atEveryAllocation(const std::function<void()>& setUp,
                       const std::function<bool()>& call,
                       const std::function<void(bool)>& check) {
  for (int64_t k = 1;; ++k) {
    SCOPED_TRACE(k);
    setUp();
    gAllocations = 0;
    gFailAt = k;
    bool succeeded = false;
    bool threw = false;
    try {
      succeeded = call();
    } catch (...) {
      threw = true;
    }
    const bool reached = gAllocations >= k;
    gFailAt = 0;
    EXPECT_FALSE(threw);
    check(succeeded);
    if (!reached) {
      EXPECT_TRUE(succeeded);
      return;
    }
  }
}

class StandinBoundaryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = uniqueTempPath("morvane-boundary-test-");
    standin::setHome(home_);
  }
  void TearDown() override {
    standin::resetDepot();
    standin::resetProfile();
    standin::resetMenus();
    standin::resetLayers();
    standin::resetPanels();
    fs::remove_all(home_);
  }
  void freshHome() {
    fs::remove_all(home_);
    fs::create_directories(home_);
    standin::resetDepot();
    standin::resetProfile();
  }
  std::string home_;
};

TEST_F(StandinBoundaryTest, OutOfMemoryInAHostFunctionIsItsFailure) {
  uint32_t folder = 0;
  // Depot changes: the answer is what the index on disk holds. Adding in
  // an in-memory home (quicker: nothing is flushed to a real disk),
  // removing on the disk, through the system's backend.
  {
    MemoryFileSystem memory("Z:\\morvane-boundary-memory\\");
    standin::setHome("/morvane-boundary-memory/home");
    atEveryAllocation(
        [&] {
          standin::resetDepot();
          deleteFile(modulePath(standin::depotIndexPath()).c_str());
          folder = VPI_DD_AddFolder(0, "F", "F");
        },
        [&] { return VPI_DD_AddItem(folder, "a", "a.bin") != 0; },
        [&](bool added) {
          standin::resetDepot();
          EXPECT_EQ(VPI_DD_GetID(folder, "a") != 0, added);
        });
    atEveryAllocation(
        [&] {
          standin::resetProfile();
          deleteFile(modulePath(standin::profilePath()).c_str());
        },
        [&] { return VPI_WriteProfileInt(1, "k", 7) == 1; },
        [&](bool written) {
          standin::resetProfile();
          EXPECT_EQ(VPI_GetProfileInt(1, "k", 0), written ? 7 : 0);
        });
    standin::resetDepot();
    standin::resetProfile();
    standin::setHome(home_);
  }
  uint32_t item = 0;
  atEveryAllocation(
      [&] {
        freshHome();
        folder = VPI_DD_AddFolder(0, "F", "F");
        item = VPI_DD_AddItem(folder, "a", "a.bin");
      },
      [&] { return VPI_DD_RemoveItem(item) == 1; },
      [&](bool removed) {
        standin::resetDepot();
        EXPECT_EQ(VPI_DD_GetID(folder, "a") == 0, removed);
      });
  // The host's registries: nothing half-added.
  atEveryAllocation(
      [&] { standin::resetMenus(); },
      [&] {
        uint32_t popup = VPI_AddPopupMenu(1, 16, "a popup with a long title", 0);
        return popup != 0 &&
               VPI_AddChildMenu(1, popup, "a command with a long title",
                                [](int32_t, uintptr_t, intptr_t) -> int32_t {
                                  return 0;
                                }) != 0;
      },
      [&](bool) {});
  atEveryAllocation(
      [&] { standin::resetPanels(); },
      [&] {
        return VPI_AddDialogPanel(nullptr, "a panel with a long title") != 0;
      },
      [&](bool added) { EXPECT_EQ(standin::panels().size(), added ? 1u : 0u); });
}

int32_t throwingCallback(int32_t, uintptr_t, intptr_t) {
  throw std::runtime_error("the module's own");
}

TEST_F(StandinBoundaryTest, WhatAModuleCallbackThrowsStaysInTheHost) {
  uint32_t popup = VPI_AddPopupMenu(1, 16, "p", 0);
  uint32_t command = VPI_AddChildMenu(1, popup, "c", throwingCallback);
  ASSERT_NE(command, 0u);
  EXPECT_FALSE(standin::menuCommandEnabled(command));
  EXPECT_EQ(standin::invokeMenuCommand(command),
            standin::MenuResult::kDisabled);
  ASSERT_NE(VPI_AddLayer(1, throwingCallback, 1), 0u);
  EXPECT_EQ(standin::drawAll2d(), 1);
  standin::resetView2d();
  EXPECT_EQ(VPI_DrawVideoLines(standin::kView2d, throwingCallback), 0);
}

}  // namespace
