// How a command tells the user why a reader, the cache file or a data set
// stopped short: the reason's text in a message box with the exclamation
// icon, or nothing for a reason with nothing to tell (a cancel, or a write
// the caller words itself).

#ifndef MORVANE_UI_FAILUREMESSAGE_H_
#define MORVANE_UI_FAILUREMESSAGE_H_

#include "base/Result.h"
#include "platform/MessageBox.h"

// Shows failureText(result), if any. Returns whether something was shown.
inline bool showFailure(const Result& result) {
  const char* text = failureText(result);
  if (text == nullptr) return false;
  showMessageBox(text, MessageIcon::kExclamation);
  return true;
}

#endif  // MORVANE_UI_FAILUREMESSAGE_H_
