#include "ui/ProgressDialog.h"

ModuleDialog::MessageTable ProgressDialog::messageTable() const {
  static const MessageEntry kEntries[] = {
      {kMessageInitDialog, 0, 0, handler(&ProgressDialog::onInitDialog)},
      {kMessageCommand, progress_dialog::kCancelButton, kNotifyClicked,
       handler(&ProgressDialog::onCancelClicked)},
  };
  return {kEntries, sizeof kEntries / sizeof kEntries[0]};
}

// The label replaces the template's "Static" before the window shows.
void ProgressDialog::exchangeData(bool toControls) {
  if (toControls) window()->setText(progress_dialog::kLabel, label_);
}

void ProgressDialog::onInitDialog() {
  DialogWindow& w = *window();
  const WindowRect r = w.outerRect();
  int32_t screenWidth = 0;
  int32_t screenHeight = 0;
  w.screenSize(&screenWidth, &screenHeight);
  const WindowOrigin origin = centredOrigin(screenWidth, screenHeight,
                                            r.right - r.left, r.bottom - r.top);
  w.moveTo(origin.left, origin.top);
  w.setRange(progress_dialog::kProgressBar, 0, 100);
  w.setPosition(progress_dialog::kProgressBar, 0);
  position_ = 0;
}

void ProgressDialog::setLabel(const char* text) {
  label_ = text;
  if (window() != nullptr) window()->setText(progress_dialog::kLabel, label_);
}

void ProgressDialog::setPosition(int32_t percent) {
  position_ = percent;
  if (window() != nullptr) {
    window()->setPosition(progress_dialog::kProgressBar, percent);
  }
}

WindowOrigin centredOrigin(int32_t screenWidth, int32_t screenHeight,
                           int32_t width, int32_t height) {
  return {screenWidth / 2 - width / 2, screenHeight / 2 - height / 2};
}
