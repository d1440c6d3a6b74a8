// Message boxes of the module inside the host: owned by the active window
// (the host's main window or the module's dialog in front of it), so that
// they are modal to what the user is looking at.

#include "platform/MessageBox.h"

#include <windows.h>

#include "resources/Texts.h"

int32_t showMessageBox(const char* text, MessageIcon icon) {
  UINT style = MB_OK | (icon == MessageIcon::kExclamation ? MB_ICONEXCLAMATION
                                                          : MB_ICONINFORMATION);
  return MessageBoxA(GetActiveWindow(), text, kTextMenuTitle, style);
}
