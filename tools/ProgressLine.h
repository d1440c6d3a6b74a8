// morvane-host's progress line: while a progress dialog is open its label
// and percentage are shown on one stderr line, rewritten in place, which is
// ended before a message is echoed, when the bar reaches 100 and when the
// dialog goes away. Quiet while the headless messages are (headless::echo).

#ifndef MORVANE_TOOLS_PROGRESSLINE_H_
#define MORVANE_TOOLS_PROGRESSLINE_H_

#include "ui/headless/HeadlessUi.h"

class ProgressLine : public headless::Observer {
 public:
  void windowShown(headless::Window& window) override;
  void positionSet(headless::Window& window, int32_t control,
                   int32_t previous) override;
  void windowDestroyed(headless::Window& window) override;
  void messageShown(const headless::RecordedMessage& message) override;

 private:
  void end();
  bool open_ = false;
};

#endif  // MORVANE_TOOLS_PROGRESSLINE_H_
