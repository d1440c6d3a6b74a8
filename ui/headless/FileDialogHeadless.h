// The open-file dialog of the headless backend: each dialog shown takes the
// next scripted answer (a path, or a cancel) and is recorded with what it
// asked, so that tests and the command-line host can drive the commands that
// ask for a file.

#ifndef MORVANE_UI_HEADLESS_FILEDIALOGHEADLESS_H_
#define MORVANE_UI_HEADLESS_FILEDIALOGHEADLESS_H_

#include <string>
#include <vector>

#include "host/PluginIf.h"

namespace headless {

// The next dialog answers with this path (module form: Shift-JIS, "Z:\...").
void answerFileDialog(const std::string& path);
// The next dialog is cancelled. With no answer scripted, a dialog is
// cancelled too.
void cancelFileDialog();

struct ShownFileDialog {
  VpiWindow owner;
  std::string title;
  std::string filter;
  std::string defaultExtension;
};

// Every open-file dialog shown since the last resetFileDialogs(), in order.
const std::vector<ShownFileDialog>& fileDialogsShown();

// Forgets the script and the dialogs shown.
void resetFileDialogs();

}  // namespace headless

#endif  // MORVANE_UI_HEADLESS_FILEDIALOGHEADLESS_H_
