// Modal message boxes with an OK button: the one way the module tells the
// user about a failure, a refusal or a result.

#ifndef MORVANE_PLATFORM_MESSAGEBOX_H_
#define MORVANE_PLATFORM_MESSAGEBOX_H_

#include <cstdint>

enum class MessageIcon {
  kExclamation,  // errors
  kInformation,  // the version refusal, About, the place-name count
};

// Shows text (Shift-JIS) modally with the icon and an OK button; returns the
// button pressed (IDOK, 1).
int32_t showMessageBox(const char* text, MessageIcon icon);

#endif  // MORVANE_PLATFORM_MESSAGEBOX_H_
