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
  return true;
}

void ProgressDialog::destroyWindow() {
  if (window_ == nullptr) return;
  headless::unregisterDialog(window_);
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
  window_->positions.push_back(percent);
  if (headless::echo()) {
    std::fprintf(stderr, "\r%s %3d%%%s", sjisToUtf8(label_).c_str(), percent,
                 percent >= 100 ? "\n" : "");
  }
}
