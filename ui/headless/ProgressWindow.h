// The headless window of a ProgressDialog: it remembers what a person would
// have seen (label, every bar position in order) and answers the robot's
// click on Cancel.

#ifndef MORVANE_UI_HEADLESS_PROGRESSWINDOW_H_
#define MORVANE_UI_HEADLESS_PROGRESSWINDOW_H_

#include <string>
#include <vector>

#include "ui/ProgressDialog.h"
#include "ui/headless/HeadlessUi.h"

class ProgressDialog::Window : public headless::Dialog {
 public:
  explicit Window(ProgressDialog* owner) : owner_(owner) {}
  int32_t templateId() const override { return kProgressDialogTemplate; }
  void click(int32_t controlId) override {
    if (controlId == kProgressCancelButton) owner_->onCancelClicked();
  }

  std::string label;                 // text of control 2000
  std::vector<int32_t> positions;    // every position set on control 1004

 private:
  ProgressDialog* owner_;
};

#endif  // MORVANE_UI_HEADLESS_PROGRESSWINDOW_H_
