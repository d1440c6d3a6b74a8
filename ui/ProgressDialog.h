// The small modeless window shown while one .e00 file is read: a label, a
// bar from 0 to 100 and a Cancel button. The button only raises a flag; the
// reader polls it after each message pump and gives up. One dialog serves one
// read; the creator destroys the window and then deletes the object.
//
// The behaviour lives here; the window itself (dialog template 102) comes
// from the backend the build selects: Win32 on Windows, headless natively.

#ifndef MORVANE_UI_PROGRESSDIALOG_H_
#define MORVANE_UI_PROGRESSDIALOG_H_

#include <cstdint>
#include <string>

#include "base/ReadingProgressTarget.h"
#include "host/PluginIf.h"
#include "resources/DialogIds.h"
#include "ui/ModuleDialog.h"

// The controls of template 102 (kProgressDialogTemplate), by the names the
// readers' tests and the command-line host's progress line know them by.
enum : int32_t {
  kProgressBarControl = progress_dialog::kProgressBar,
  kProgressLabelControl = progress_dialog::kLabel,
  kProgressCancelButton = progress_dialog::kCancelButton,
};

class ProgressDialog : public ModuleDialog, public ReadingProgressTarget {
 public:
  ProgressDialog() : ModuleDialog(kProgressDialogTemplate) {}

  // Creates the modeless window, visible, centred on the screen, bar at 0.
  bool create(VpiWindow owner) { return createModeless(owner); }

  // Stores the label and shows it at once.
  void setLabel(const char* text);
  // Moves the bar; not clamped (readers pass 0 to 100).
  void setPosition(int32_t percent) override;

  // Set by the Cancel button, never cleared.
  int32_t cancelRequested() const override { return cancelRequested_; }

  const std::string& label() const { return label_; }
  int32_t position() const { return position_; }

 protected:
  void exchangeData(bool toControls) override;
  MessageTable messageTable() const override;

 private:
  void onInitDialog();
  void onCancelClicked() { cancelRequested_ = 1; }

  std::string label_;
  int32_t position_ = 0;
  int32_t cancelRequested_ = 0;
};

// Where a window of size w x h goes to be centred on a screen of sw x sh:
// each half truncated on its own (sw 801, w 301 give 400 - 150 = 250).
struct WindowOrigin {
  int32_t left;
  int32_t top;
};
WindowOrigin centredOrigin(int32_t screenWidth, int32_t screenHeight,
                           int32_t width, int32_t height);

#endif  // MORVANE_UI_PROGRESSDIALOG_H_
