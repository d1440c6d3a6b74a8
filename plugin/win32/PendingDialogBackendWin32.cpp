// Stand-ins for the Win32 dialog windows and the open-file dialog until
// their backend joins the module: no window can be made, and the file
// dialog is always cancelled, so the commands that need one end there.

#include "platform/FileDialog.h"
#include "ui/DialogWindow.h"

DialogWindow* createDialogWindow(ModuleDialog& /*dialog*/, VpiWindow /*owner*/) {
  return nullptr;
}

void destroyDialogWindow(DialogWindow* /*window*/) {}

int32_t runDialogWindow(ModuleDialog& /*dialog*/, VpiWindow /*owner*/) {
  return -1;
}

bool showOpenFileDialog(const OpenFileDialogRequest& /*request*/,
                        char* /*path*/) {
  return false;
}
