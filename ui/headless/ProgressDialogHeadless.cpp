#include <cstdio>

#include "platform/Sjis.h"
#include "ui/ProgressDialog.h"
#include "ui/headless/ProgressWindow.h"

ProgressDialog::ProgressDialog() = default;

ProgressDialog::~ProgressDialog() { destroyWindow(); }

bool ProgressDialog::create(VpiWindow /*owner*/) {
  if (window_ != nullptr) return true;
  window_ = new Window(this);
  // Dialog initialisation: the label replaces the template's "Static", the
  // bar gets its range and position 0.
  window_->label = label_;
  window_->positions.push_back(0);
  position_ = 0;
  headless::registerDialog(window_);
  if (headless::progressEcho()) {
    std::fprintf(stderr, "%s %3d%%", sjisToUtf8(label_).c_str(), 0);
    headless::setProgressLineOpen(true);
  }
  return true;
}

void ProgressDialog::destroyWindow() {
  if (window_ == nullptr) return;
  headless::unregisterDialog(window_);
  headless::endProgressLine();
  delete window_;
  window_ = nullptr;
}

void ProgressDialog::setLabel(const char* text) {
  label_ = text;
  if (window_ != nullptr) window_->label = label_;
}

void ProgressDialog::setPosition(int32_t percent) {
  position_ = percent;
  if (window_ == nullptr) return;
  // A bar set where it already stands does not move on the screen either.
  const bool moved = window_->positions.back() != percent;
  window_->positions.push_back(percent);
  if (headless::progressEcho() && moved) {
    std::fprintf(stderr, "\r%s %3d%%", sjisToUtf8(label_).c_str(), percent);
    headless::setProgressLineOpen(true);
    if (percent >= 100) headless::endProgressLine();
  }
}
