#include "tools/ProgressLine.h"

#include "platform/Sjis.h"
#include "ui/ProgressDialog.h"

namespace {

const int kBarWidth = 24;

bool isProgressDialog(const headless::Window& window) {
  return window.templateId() == kProgressDialogTemplate;
}

}  // namespace

std::string ProgressLine::format(const std::string& labelUtf8,
                                 int32_t percent) {
  const int32_t shown = percent < 0 ? 0 : percent > 100 ? 100 : percent;
  const int filled = static_cast<int>(shown * kBarWidth / 100);
  char figure[8];
  std::snprintf(figure, sizeof figure, "%3d%%", static_cast<int>(shown));
  return labelUtf8 + " [" + std::string(filled, '#') +
         std::string(kBarWidth - filled, ' ') + "] " + figure;
}

void ProgressLine::show(headless::Window& window) {
  const std::string line =
      format(sjisToUtf8(window.text(kProgressLabelControl)),
             window.control(kProgressBarControl).position);
  std::fprintf(out(), "\r%s", line.c_str());
  std::fflush(out());
  open_ = true;
}

void ProgressLine::windowShown(headless::Window& window) {
  if (isProgressDialog(window)) show(window);
}

void ProgressLine::positionSet(headless::Window& window, int32_t control,
                               int32_t previous) {
  if (!isProgressDialog(window) || control != kProgressBarControl) return;
  // A bar set where it already stands does not move on the screen either.
  const int32_t percent = window.control(control).position;
  if (percent == previous) return;
  show(window);
  if (percent >= 100) end();
}

void ProgressLine::windowDestroyed(headless::Window& window) {
  if (isProgressDialog(window)) end();
}

void ProgressLine::messageShown(const headless::RecordedMessage& /*message*/) {
  end();
}

void ProgressLine::end() {
  if (!open_) return;
  std::fputc('\n', out());
  std::fflush(out());
  open_ = false;
}
