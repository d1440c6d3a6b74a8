#include "plugin/PlaceNameCommand.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>

#include "platform/FileSystem.h"
#include "resources/Texts.h"
#include "standin/StandinHost.h"
#include "standin/StandinNameDb.h"
#include "tests/TempName.h"
#include "ui/ProgressDialog.h"
#include "ui/headless/FileDialogHeadless.h"
#include "ui/headless/HeadlessUi.h"
#include "tests/TestHost.h"

namespace {

class PlaceNameCommandTest : public TestHost {
 protected:
  void SetUp() override {
    TestHost::SetUp();
    home_ = uniqueTempPath("morvane-namecmd-test-");
    std::filesystem::remove_all(home_);
    standin::setHome(home_);
  }
  void TearDown() override {
    TestHost::TearDown();
    std::filesystem::remove_all(home_);
  }

  static std::string sample(const char* name) {
    return modulePath(std::string(MORVANE_TEST_DATA) + "/" + name);
  }
  static int32_t run() { return placeNameCommand(kMenuRunCommand, 0, 0); }

  std::string home_;
};

TEST_F(PlaceNameCommandTest, IsAlwaysEnabled) {
  int32_t enabled = 0;
  EXPECT_EQ(placeNameCommand(kMenuQueryEnabled, 0,
                             reinterpret_cast<intptr_t>(&enabled)),
            0);
  EXPECT_EQ(enabled, 1);
  EXPECT_TRUE(headless::fileDialogsShown().empty());
}

TEST_F(PlaceNameCommandTest, CancelledDialogDoesNothingMore) {
  headless::cancelFileDialog();
  EXPECT_EQ(run(), 0);
  ASSERT_EQ(headless::fileDialogsShown().size(), 1u);
  const headless::ShownFileDialog& shown = headless::fileDialogsShown()[0];
  EXPECT_EQ(shown.owner, VPI_GetMainWnd());
  EXPECT_EQ(shown.title, kTextPlaceNameFileDialogTitle);
  EXPECT_EQ(shown.filter, kTextE00FileFilter);
  EXPECT_EQ(shown.defaultExtension, "e00");
  EXPECT_EQ(standin::viewsUpdated(), 0);
  EXPECT_EQ(standin::pumpCount(), 0);
  EXPECT_TRUE(headless::messages().empty());
}

TEST_F(PlaceNameCommandTest, ChosenFileIsImportedAndViewsRedrawn) {
  headless::answerFileDialog(sample("japan_cities.e00"));
  // Watch the progress window while the reader pumps.
  bool sawDialog = false;
  std::string label = "unset";
  standin::onPump([&](int32_t) {
    if (auto* window = headless::findDialog(kProgressDialogTemplate)) {
      sawDialog = true;
      label = window->text(kProgressLabelControl);
    }
  });
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(importPlaceNamesFile(sample("japan_cities.e00").c_str()), 1);
  EXPECT_TRUE(sawDialog);
  EXPECT_EQ(label, "");  // the place-name import sets no label
  EXPECT_EQ(headless::findDialog(kProgressDialogTemplate), nullptr);
  EXPECT_EQ(standin::nameEntries().size(), 400u);
  EXPECT_EQ(standin::viewsUpdated(), 1);  // only the command redraws
  ASSERT_EQ(headless::messages().size(), 2u);
  char expected[128];
  std::snprintf(expected, sizeof expected, kTextNamesAddedFormat, 200);
  EXPECT_EQ(headless::messages()[0].text, expected);
}

TEST_F(PlaceNameCommandTest, FailedReadStillAsksForRedraw) {
  headless::answerFileDialog(modulePath(home_ + "/missing.e00"));
  EXPECT_EQ(run(), 0);
  ASSERT_EQ(headless::messages().size(), 1u);
  EXPECT_EQ(headless::messages()[0].text, kTextCannotReadGisFile);
  EXPECT_EQ(standin::viewsUpdated(), 1);
}

TEST_F(PlaceNameCommandTest, CancelledReadFailsAndStillAsksForRedraw) {
  headless::scheduleClick(1, kProgressDialogTemplate, kProgressCancelButton);
  EXPECT_EQ(importPlaceNamesFile(sample("japan_cities.e00").c_str()), 0);
  EXPECT_EQ(headless::findDialog(kProgressDialogTemplate), nullptr);
  EXPECT_TRUE(headless::messages().empty());

  standin::resetPump();
  headless::scheduleClick(1, kProgressDialogTemplate, kProgressCancelButton);
  headless::answerFileDialog(sample("japan_cities.e00"));
  run();
  EXPECT_EQ(standin::viewsUpdated(), 1);
}

// A path the 260-byte buffer cannot hold is refused like a cancel, never
// cut to a different file.
TEST_F(PlaceNameCommandTest, OverlongChosenPathIsRefused) {
  std::string longest = "Z:\\" + std::string(kVpiPathSize - 4, 'a');
  ASSERT_EQ(longest.size(), static_cast<size_t>(kVpiPathSize - 1));
  headless::answerFileDialog(longest + "b");
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(standin::viewsUpdated(), 0);
  EXPECT_TRUE(headless::messages().empty());

  // One byte less fits; the file does not exist, so the reader says so.
  headless::answerFileDialog(longest);
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(standin::viewsUpdated(), 1);
  ASSERT_EQ(headless::messages().size(), 1u);
  EXPECT_EQ(headless::messages()[0].text, kTextCannotReadGisFile);
}

// Nothing thrown inside the command reaches the host: the callback returns
// 0, out of memory shows the memory message, and the progress window goes.
TEST_F(PlaceNameCommandTest, ExceptionsInsideStopAtTheCallback) {
  struct Case {
    const char* name;
    std::function<void()> thrower;
    const char* message;  // null: none
  };
  const Case cases[] = {
      {"out of memory", [] { throw std::bad_alloc(); }, kTextOutOfMemory},
      {"anything else", [] { throw std::runtime_error("x"); }, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    resetTestHost();
    standin::setNameItemFilter([&](int32_t call, const tagNAMEDBITEM&) {
      if (call == 3) c.thrower();
      return true;
    });
    headless::answerFileDialog(sample("japan_cities.e00"));
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(headless::findDialog(kProgressDialogTemplate), nullptr);
    if (c.message == nullptr) {
      EXPECT_TRUE(headless::messages().empty());
    } else {
      ASSERT_EQ(headless::messages().size(), 1u);
      EXPECT_EQ(headless::messages()[0].text, c.message);
    }
  }
}

}  // namespace
