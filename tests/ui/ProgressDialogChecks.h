// What a user sees of the progress dialog, checked the same way on every
// backend: each backend's test gives a robot that reads the dialog's window
// and clicks its Cancel button as a person would (the headless robot from
// the controls' state, the Win32 one from the real controls), and runs
// these checks with a dialog it created.

#ifndef MORVANE_TESTS_UI_PROGRESSDIALOGCHECKS_H_
#define MORVANE_TESTS_UI_PROGRESSDIALOGCHECKS_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "dataset/LineDataSet.h"
#include "e00/E00ArcReader.h"
#include "host/PluginIf.h"
#include "platform/FileSystem.h"
#include "standin/StandinHost.h"
#include "ui/DialogWindow.h"
#include "ui/ProgressDialog.h"

class ProgressDialogRobot {
 public:
  virtual ~ProgressDialogRobot() = default;
  // Whether the progress dialog's window exists and is visible.
  virtual bool shown() = 0;
  virtual WindowRect rect() = 0;
  virtual void screenSize(int32_t* width, int32_t* height) = 0;
  virtual std::string label() = 0;
  virtual void range(int32_t* minimum, int32_t* maximum) = 0;
  virtual int32_t position() = 0;
  // A click on Cancel, which the dialog receives at the next VPI_Pump.
  virtual void clickCancel() = 0;
};

// Freshly created: visible, centred with each half truncated on its own,
// the bar from 0 to 100 at 0, and the label as set before creation (the
// template's "Static" never shows, also when no label was set).
inline void checkCreatedProgressDialog(ProgressDialogRobot& robot,
                                       const std::string& label) {
  ASSERT_TRUE(robot.shown());
  const WindowRect r = robot.rect();
  int32_t sw = 0;
  int32_t sh = 0;
  robot.screenSize(&sw, &sh);
  const int32_t w = r.right - r.left;
  const int32_t h = r.bottom - r.top;
  EXPECT_EQ(r.left, sw / 2 - w / 2) << "screen " << sw << ", window " << w;
  EXPECT_EQ(r.top, sh / 2 - h / 2) << "screen " << sh << ", window " << h;
  int32_t minimum = -1;
  int32_t maximum = -1;
  robot.range(&minimum, &maximum);
  EXPECT_EQ(minimum, 0);
  EXPECT_EQ(maximum, 100);
  EXPECT_EQ(robot.position(), 0);
  EXPECT_EQ(robot.label(), label);
}

// A label set while the window is open shows at once.
inline void checkLabelShowsAtOnce(ProgressDialogRobot& robot,
                                  ProgressDialog& progress) {
  const std::string text = "\x93\xfa\x96\x7b\x82\xcc\x8a\x43\x8a\xdd";  // 日本の海岸
  progress.setLabel(text.c_str());
  EXPECT_EQ(robot.label(), text);
  EXPECT_EQ(progress.label(), text);
}

// Cancel raises the flag and nothing else: the window stays, with its bar
// and label; the click arrives only through the host's pump.
inline void checkCancelOnlyRaisesTheFlag(ProgressDialogRobot& robot,
                                         ProgressDialog& progress) {
  progress.setPosition(35);
  const std::string label = robot.label();
  robot.clickCancel();
  EXPECT_EQ(progress.cancelRequested(), 0);  // not before the pump
  VPI_Pump();
  EXPECT_EQ(progress.cancelRequested(), 1);
  EXPECT_TRUE(robot.shown());
  EXPECT_EQ(robot.position(), 35);
  EXPECT_EQ(robot.label(), label);
  VPI_Pump();
  EXPECT_EQ(progress.cancelRequested(), 1);  // never cleared
}

// A click between two 5 % steps stops the read at the next step: clicked
// during the second pump, seen at the third, whose 10 % is not shown.
inline void checkCancelStopsTheReadAtTheNextStep(ProgressDialogRobot& robot,
                                                 ProgressDialog& progress) {
  standin::resetPump();
  standin::onPump([&](int32_t number) {
    if (number == 2) robot.clickCancel();
  });
  LineDataSet data(1);
  const std::string path =
      modulePath(std::string(MORVANE_TEST_DATA) + "/japan_coast_50m.e00");
  EXPECT_FALSE(readE00Arcs(data, path.c_str(), progress));
  standin::onPump(nullptr);
  EXPECT_EQ(standin::pumpCount(), 3);
  EXPECT_EQ(robot.position(), 5);
  EXPECT_EQ(progress.cancelRequested(), 1);
  EXPECT_TRUE(robot.shown());
  EXPECT_GT(data.points.size(), 0);
}

#endif  // MORVANE_TESTS_UI_PROGRESSDIALOGCHECKS_H_
