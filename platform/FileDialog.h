// The system's open-file dialog, as the module's commands use it: one file,
// the read-only check box hidden, an empty initial file name.
//
// The Win32 backend is GetOpenFileNameA (OFN_HIDEREADONLY, the filter's "|"
// turned into the zeros it wants); the headless backend answers from a
// script (ui/headless/FileDialogHeadless.h).

#ifndef MORVANE_PLATFORM_FILEDIALOG_H_
#define MORVANE_PLATFORM_FILEDIALOG_H_

#include "host/PluginIf.h"

struct OpenFileDialogRequest {
  VpiWindow owner;               // the dialog's owner window
  const char* title;             // Shift-JIS
  // Pairs of description and pattern, each followed by "|", the list ended
  // by one more "|": "Text [*.txt]|*.txt|All [*.*]|*.*||".
  const char* filter;
  const char* defaultExtension;  // without the dot, e.g. "e00"
};

// Shows the dialog modally. When the user chooses a file, writes its path
// (Shift-JIS, zero-terminated) into path, which holds kVpiPathSize bytes,
// and returns true. Returns false, leaving path empty, when the user
// cancels, and also when the chosen path does not fit in kVpiPathSize bytes
// with its terminating zero: such a path is refused, never cut.
bool showOpenFileDialog(const OpenFileDialogRequest& request, char* path);

#endif  // MORVANE_PLATFORM_FILEDIALOG_H_
