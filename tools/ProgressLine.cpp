#include "tools/ProgressLine.h"

#include <cstdio>

#include "platform/Sjis.h"
#include "ui/ProgressDialog.h"

void ProgressLine::windowShown(headless::Window& window) {
  if (window.templateId() != kProgressDialogTemplate || !headless::echo()) {
    return;
  }
  std::fprintf(stderr, "%s %3d%%",
               sjisToUtf8(window.text(kProgressLabelControl)).c_str(),
               window.control(kProgressBarControl).position);
  open_ = true;
}

void ProgressLine::positionSet(headless::Window& window, int32_t control,
                               int32_t previous) {
  if (window.templateId() != kProgressDialogTemplate ||
      control != kProgressBarControl || !headless::echo()) {
    return;
  }
  // A bar set where it already stands does not move on the screen either.
  const int32_t percent = window.control(control).position;
  if (percent == previous) return;
  std::fprintf(stderr, "\r%s %3d%%",
               sjisToUtf8(window.text(kProgressLabelControl)).c_str(), percent);
  open_ = true;
  if (percent >= 100) end();
}

void ProgressLine::windowDestroyed(headless::Window& window) {
  if (window.templateId() == kProgressDialogTemplate) end();
}

void ProgressLine::messageShown(const headless::RecordedMessage& /*message*/) {
  if (headless::echo()) end();
}

void ProgressLine::end() {
  if (!open_) return;
  std::fputc('\n', stderr);
  open_ = false;
}
