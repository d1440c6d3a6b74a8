// How both E00 readers move their progress dialog while they read: the bar
// follows the file position in whole percent, and at every multiple of 5 %
// (each shown once, in order, never past 100) the host pumps its messages,
// after which a cancel raised by the dialog's button ends the read.
//
// The readers see the dialog only through ReadingProgressTarget, which the
// user interface's ProgressDialog implements; tests give their own.

#ifndef MORVANE_E00_READINGPROGRESS_H_
#define MORVANE_E00_READINGPROGRESS_H_

#include <cstdint>

// What a reader drives: a bar from 0 to 100 and a cancel flag.
class ReadingProgressTarget {
 public:
  virtual void setPosition(int32_t percent) = 0;
  virtual int32_t cancelRequested() const = 0;

 protected:
  virtual ~ReadingProgressTarget() = default;
};

class ReadingProgress {
 public:
  // length: the file's length in bytes, as stored. A file that reports no
  // length (a device, a pipe) shows 100 at its first line.
  ReadingProgress(ReadingProgressTarget& target, int64_t length)
      : target_(target), length_(length) {}

  // Called for every line read, with the file position after it, before the
  // line is looked at. At a new multiple of 5 %: VPI_Pump, then the cancel
  // test, then setPosition. Returns false when the user cancelled.
  bool atPosition(int64_t position) {
    if (position < nextPercentAt_) return true;
    return update(position);
  }

 private:
  bool update(int64_t position);

  ReadingProgressTarget& target_;
  const int64_t length_;
  int32_t lastShown_ = -1;
  // Position from which the percentage can next change: the division is
  // made only where its result can differ from the last one.
  int64_t nextPercentAt_ = 0;
};

#endif  // MORVANE_E00_READINGPROGRESS_H_
