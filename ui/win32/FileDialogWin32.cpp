// The system's open-file dialog (GetOpenFileNameA) for the module's
// commands: one file, the read-only check box hidden, an empty initial name,
// the path in a buffer of kVpiPathSize bytes.

#include "platform/FileDialog.h"

#include <windows.h>
#include <commdlg.h>

#include <string>

#include "ui/FileDialogFilter.h"

bool showOpenFileDialog(const OpenFileDialogRequest& request, char* path) {
  path[0] = '\0';
  const std::string filter = fileDialogFilter(request.filter);
  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = static_cast<HWND>(request.owner);
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path;
  dialog.nMaxFile = kVpiPathSize;
  dialog.lpstrTitle = request.title;
  dialog.lpstrDefExt = request.defaultExtension;
  dialog.Flags = OFN_HIDEREADONLY;
  if (GetOpenFileNameA(&dialog)) return true;
  // A name longer than the buffer fails with FNERR_BUFFERTOOSMALL and
  // leaves the size it would need in the buffer's first two bytes: the
  // caller gets an empty path, never those bytes.
  path[0] = '\0';
  return false;
}
