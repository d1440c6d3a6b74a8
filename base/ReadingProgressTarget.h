// What a long read drives while it runs: a bar from 0 to 100 and a cancel
// flag. The user interface's ProgressDialog implements it; the readers and
// the tests see only this, so that nothing of the reading layers needs a
// window.

#ifndef MORVANE_BASE_READINGPROGRESSTARGET_H_
#define MORVANE_BASE_READINGPROGRESSTARGET_H_

#include <cstdint>

class ReadingProgressTarget {
 public:
  virtual void setPosition(int32_t percent) = 0;
  virtual int32_t cancelRequested() const = 0;

 protected:
  virtual ~ReadingProgressTarget() = default;
};

#endif  // MORVANE_BASE_READINGPROGRESSTARGET_H_
