// The stand-in host's own progress bar (VPI_CreateProgressBar,
// VPI_SetPosProgressBar, VPI_DeleteProgressBar): every call is recorded in
// order, so that a test or the command-line host can see what the module
// showed.

#ifndef MORVANE_STANDIN_STANDINPROGRESSBAR_H_
#define MORVANE_STANDIN_STANDINPROGRESSBAR_H_

#include <cstdint>
#include <vector>

namespace standin {

struct ProgressBarEvent {
  enum Kind { kCreate, kSetPos, kDelete };
  Kind kind;
  int32_t percent;  // the position for kSetPos, 0 otherwise

  bool operator==(const ProgressBarEvent& o) const {
    return kind == o.kind && percent == o.percent;
  }
};

// Every call since the last resetProgressBar(), in order.
const std::vector<ProgressBarEvent>& progressBarEvents();

// Whether a bar exists now (created and not yet deleted).
bool progressBarShown();

void resetProgressBar();

}  // namespace standin

#endif  // MORVANE_STANDIN_STANDINPROGRESSBAR_H_
