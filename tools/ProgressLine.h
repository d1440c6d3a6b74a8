// morvane-host's progress bar: while a progress dialog is open, one stderr
// line shows its label, a bar and the percentage, rewritten in place as the
// bar moves,
//
//   japan_coast_50m [############            ]  50%
//
// and ended before a message is shown, when the bar reaches 100 and when
// the dialog goes away. morvane-host installs it only when stderr is a
// terminal: a script or a log gets no carriage returns.

#ifndef MORVANE_TOOLS_PROGRESSLINE_H_
#define MORVANE_TOOLS_PROGRESSLINE_H_

#include <cstdio>
#include <string>

#include "ui/headless/HeadlessUi.h"

class ProgressLine : public headless::Observer {
 public:
  // The line goes to out (stderr when null).
  explicit ProgressLine(std::FILE* out = nullptr) : out_(out) {}

  void windowShown(headless::Window& window) override;
  void positionSet(headless::Window& window, int32_t control,
                   int32_t previous) override;
  void windowDestroyed(headless::Window& window) override;
  void messageShown(const headless::RecordedMessage& message) override;

  // The line for a label and a percentage (clamped to 0..100 for the bar),
  // without the carriage return.
  static std::string format(const std::string& labelUtf8, int32_t percent);

 private:
  std::FILE* out() const { return out_ != nullptr ? out_ : stderr; }
  void show(headless::Window& window);
  void end();

  std::FILE* out_;
  bool open_ = false;
};

#endif  // MORVANE_TOOLS_PROGRESSLINE_H_
