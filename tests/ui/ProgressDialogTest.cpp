// The progress dialog on the headless backend: the checks every backend
// passes (ProgressDialogChecks.h), with screens and windows of odd sizes.

#include "ui/ProgressDialog.h"

#include <gtest/gtest.h>

#include "standin/StandinHost.h"
#include "tests/TestHost.h"
#include "tests/ui/ProgressDialogChecks.h"
#include "ui/headless/HeadlessUi.h"

namespace {

class HeadlessProgressRobot : public ProgressDialogRobot {
 public:
  bool shown() override {
    headless::Window* w = window();
    return w != nullptr && w->shown;
  }
  WindowRect rect() override { return window()->outerRect(); }
  void screenSize(int32_t* width, int32_t* height) override {
    window()->screenSize(width, height);
  }
  std::string label() override {
    return window()->text(kProgressLabelControl);
  }
  void range(int32_t* minimum, int32_t* maximum) override {
    headless::Control& bar = window()->control(kProgressBarControl);
    *minimum = bar.rangeMinimum;
    *maximum = bar.rangeMaximum;
  }
  int32_t position() override {
    return window()->control(kProgressBarControl).position;
  }
  void clickCancel() override {
    headless::scheduleClick(standin::pumpCount() + 1, kProgressDialogTemplate,
                            kProgressCancelButton);
  }

 private:
  headless::Window* window() {
    return headless::findDialog(kProgressDialogTemplate);
  }
};

class ProgressDialogTest : public TestHost {
 protected:
  HeadlessProgressRobot robot_;
};

TEST_F(ProgressDialogTest, CentredWithEachHalfTruncatedOnItsOwn) {
  struct Case {
    int32_t screenWidth, screenHeight, width, height;
    int32_t left, top;
  };
  const Case cases[] = {
      {801, 601, 301, 101, 250, 250},  // both odd
      {800, 600, 301, 101, 250, 250},  // (800 - 301) / 2 would be 249
      {1024, 768, 214, 97, 405, 336},
      {640, 480, 701, 481, -30, 0},    // larger than the screen
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    resetTestHost();
    headless::setScreenSize(c.screenWidth, c.screenHeight);
    headless::setWindowSize(c.width, c.height);
    ProgressDialog progress;
    ASSERT_TRUE(progress.create(nullptr));
    checkCreatedProgressDialog(robot_, "");
    EXPECT_EQ(robot_.rect().left, c.left);
    EXPECT_EQ(robot_.rect().top, c.top);
    EXPECT_EQ(robot_.rect().right - robot_.rect().left, c.width);
  }
}

TEST_F(ProgressDialogTest, LabelSetBeforeOrAfterCreationShows) {
  ProgressDialog progress;
  progress.setLabel("coast");
  ASSERT_TRUE(progress.create(nullptr));
  checkCreatedProgressDialog(robot_, "coast");
  checkLabelShowsAtOnce(robot_, progress);
}

TEST_F(ProgressDialogTest, CancelOnlyRaisesTheFlag) {
  ProgressDialog progress;
  ASSERT_TRUE(progress.create(nullptr));
  checkCancelOnlyRaisesTheFlag(robot_, progress);
}

TEST_F(ProgressDialogTest, CancelStopsTheReadAtTheNextStep) {
  ProgressDialog progress;
  ASSERT_TRUE(progress.create(nullptr));
  checkCancelStopsTheReadAtTheNextStep(robot_, progress);
}

}  // namespace
