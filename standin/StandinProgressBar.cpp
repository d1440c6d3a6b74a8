#include "standin/StandinProgressBar.h"

#include "base/HostBoundary.h"
#include "host/PluginIf.h"

namespace standin {
namespace {

struct ProgressBar {
  std::vector<ProgressBarEvent> events;
  bool shown = false;
};

ProgressBar& bar() {
  static ProgressBar b;
  return b;
}

}  // namespace

const std::vector<ProgressBarEvent>& progressBarEvents() {
  return bar().events;
}

bool progressBarShown() { return bar().shown; }

void resetProgressBar() {
  bar().events.clear();
  bar().shown = false;
}

}  // namespace standin

extern "C" {

// Out of memory forgets the event record, never throws into the module.
int32_t VPI_CreateProgressBar(void) {
  standin::ProgressBar& b = standin::bar();
  guardHostCall(0, [&] {
    b.events.push_back({standin::ProgressBarEvent::kCreate, 0});
    return 0;
  });
  b.shown = true;
  return 1;
}

void VPI_SetPosProgressBar(int32_t percent) {
  guardHostCall(0, [&] {
    standin::bar().events.push_back(
        {standin::ProgressBarEvent::kSetPos, percent});
    return 0;
  });
}

void VPI_DeleteProgressBar(void) {
  standin::ProgressBar& b = standin::bar();
  guardHostCall(0, [&] {
    b.events.push_back({standin::ProgressBarEvent::kDelete, 0});
    return 0;
  });
  b.shown = false;
}

}  // extern "C"
