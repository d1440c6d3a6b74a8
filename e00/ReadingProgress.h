// How both E00 readers move their progress dialog while they read: the bar
// follows the file position in whole percent, and at every multiple of 5 %
// (each shown once, in order, never past 100) the host pumps its messages,
// after which a cancel raised by the dialog's button ends the read.
//
// The readers see the dialog only through ReadingProgressTarget
// (base/ReadingProgressTarget.h), which the user interface's ProgressDialog
// implements; tests give their own.

#ifndef MORVANE_E00_READINGPROGRESS_H_
#define MORVANE_E00_READINGPROGRESS_H_

#include <cstdint>

#include "base/ReadingProgressTarget.h"

class ReadingProgress {
 public:
  // length: the file's length in bytes, as stored. A file that reports no
  // length (a device, a pipe) shows its last percentage at its first line.
  // The bar goes from 0 at position 0 to 100 at the end; a second reading
  // of a file carries on from where the first left it, given the first's
  // shown().
  ReadingProgress(ReadingProgressTarget& target, int64_t length,
                  int32_t shownBefore = -1)
      : target_(target),
        length_(length),
        base_(shownBefore > 0 ? shownBefore : 0),
        lastShown_(shownBefore) {}

  // Called for every line read, with the file position after it, before the
  // line is looked at. At a new multiple of 5 %: VPI_Pump, then the cancel
  // test, then setPosition. Returns false when the user cancelled.
  bool atPosition(int64_t position) {
    if (position < nextPercentAt_) return true;
    return update(position);
  }

  // From position on, the rest of the file brings the bar to endPercent
  // (at least where it stands) instead of 100, leaving the rest for a
  // reading that follows.
  void narrow(int64_t position, int32_t endPercent);

  // The last percentage shown, -1 before the first.
  int32_t shown() const { return lastShown_; }

 private:
  bool update(int64_t position);

  ReadingProgressTarget& target_;
  const int64_t length_;
  // The bar goes linearly from base_ at position from_ to end_ at length_.
  int64_t from_ = 0;
  int32_t base_;
  int32_t end_ = 100;
  int32_t lastShown_;
  // Position from which the percentage can next change: the division is
  // made only where its result can differ from the last one.
  int64_t nextPercentAt_ = 0;
};

#endif  // MORVANE_E00_READINGPROGRESS_H_
