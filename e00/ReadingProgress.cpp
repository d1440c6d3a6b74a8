#include "e00/ReadingProgress.h"

#include <cstdint>

#include "host/PluginIf.h"

bool ReadingProgress::update(int64_t position) {
  // A file that grew while being read must not push the bar past its end,
  // nor may an empty one divide by zero.
  const int64_t span = length_ - from_;
  const int32_t range = end_ - base_;
  int64_t percent =
      span > 0 ? base_ + range * (position - from_) / span : end_;
  if (percent > end_) percent = end_;
  if (percent >= end_ || range <= 0) {
    nextPercentAt_ = INT64_MAX;
  } else {
    nextPercentAt_ = from_ + ((percent + 1 - base_) * span + range - 1) / range;
  }
  if (percent % 5 != 0 || percent <= lastShown_) return true;
  VPI_Pump();  // its result is not used
  if (target_.cancelRequested()) return false;
  target_.setPosition(static_cast<int32_t>(percent));
  lastShown_ = static_cast<int32_t>(percent);
  return true;
}

void ReadingProgress::narrow(int64_t position, int32_t endPercent) {
  from_ = position;
  base_ = lastShown_ > 0 ? lastShown_ : 0;
  end_ = endPercent > base_ ? endPercent : base_;
  nextPercentAt_ = position;
}
