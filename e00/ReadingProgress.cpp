#include "e00/ReadingProgress.h"

#include <cstdint>

#include "host/PluginIf.h"

bool ReadingProgress::update(int64_t position) {
  // A file that grew while being read must not push the bar past 100, nor
  // may an empty one divide by zero.
  int64_t percent = length_ > 0 ? position * 100 / length_ : 100;
  if (percent > 100) percent = 100;
  nextPercentAt_ =
      percent >= 100 ? INT64_MAX : ((percent + 1) * length_ + 99) / 100;
  if (percent % 5 != 0 || percent == lastShown_) return true;
  VPI_Pump();  // its result is not used
  if (target_.cancelRequested()) return false;
  target_.setPosition(static_cast<int32_t>(percent));
  lastShown_ = static_cast<int32_t>(percent);
  return true;
}
