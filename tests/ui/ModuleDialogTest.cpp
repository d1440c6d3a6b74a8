// The dialog framework on the headless backend: the resource switch around
// window creation, the message table, and a modal dialog answered by the
// robot's hook through the controls' state.

#include "ui/ModuleDialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "ui/ProgressDialog.h"
#include "ui/headless/HeadlessUi.h"
#include "tests/TestHost.h"

namespace {

using headless::Window;

// A modal dialog of the shape the commands use: a radio pair that enables a
// multi-selection list, a check box, and an OK that refuses no selection.
enum : int32_t {
  kPickTemplate = 900,
  kPickList = 3000,
  kPickFromList = 2002,
  kPickNew = 2003,
  kPickRemember = 2028,
};

class PickDialog : public ModuleDialog {
 public:
  PickDialog() : ModuleDialog(kPickTemplate) {}
  int32_t choice = 0;
  bool remember = false;
  std::vector<uintptr_t> selected;

 protected:
  void exchangeData(bool toControls) override {
    DialogWindow& w = *window();
    if (toControls) {
      w.setChecked(kPickFromList, choice == 0);
      w.setChecked(kPickNew, choice == 1);
      w.setChecked(kPickRemember, remember);
    } else {
      choice = w.checked(kPickNew) ? 1 : 0;
      remember = w.checked(kPickRemember);
    }
  }
  MessageTable messageTable() const override {
    static const MessageEntry kEntries[] = {
        {kMessageInitDialog, 0, 0, handler(&PickDialog::onInit)},
        {kMessageCommand, kPickFromList, kNotifyClicked,
         handler(&PickDialog::onFromList)},
        {kMessageCommand, kPickNew, kNotifyClicked, handler(&PickDialog::onNew)},
        {kMessageCommand, kDialogOk, kNotifyClicked, handler(&PickDialog::onOk)},
    };
    return {kEntries, 4};
  }

 private:
  void onInit() {
    window()->addItem(kPickList, "coast", 7);
    window()->addItem(kPickList, "rivers", 3);
    window()->addItem(kPickList, "roads", 9);
  }
  void onFromList() { window()->setEnabled(kPickList, true); }
  void onNew() { window()->setEnabled(kPickList, false); }
  void onOk() {
    exchangeData(false);
    std::vector<int32_t> items = window()->selectedItems(kPickList);
    if (choice == 0 && items.empty()) {
      showMessageBox("none", MessageIcon::kExclamation);
      return;
    }
    for (int32_t i : items) selected.push_back(window()->itemData(kPickList, i));
    window()->endDialog(kDialogOk);
  }
};

class ModuleDialogTest : public TestHost {};

TEST_F(ModuleDialogTest, ProgressWindowIsMadeFromModuleResourcesAndInitialised) {
  ProgressDialog progress;
  progress.setLabel("roads");
  ASSERT_TRUE(progress.create(nullptr));
  EXPECT_EQ(currentResourceModule(), headless::kHostResources);
  Window* w = headless::findDialog(kProgressDialogTemplate);
  ASSERT_EQ(w, headless::windowOf(progress));
  EXPECT_EQ(w->resources(), headless::kModuleResources);
  EXPECT_EQ(w->text(kProgressLabelControl), "roads");
  EXPECT_EQ(w->control(kProgressBarControl).rangeMaximum, 100);
  EXPECT_EQ(w->control(kProgressBarControl).positions, std::vector<int32_t>{0});
  EXPECT_EQ(w->outerRect().left, 512);  // centred on the 1024 x 768 screen
  EXPECT_EQ(w->outerRect().top, 384);
  w->click(kProgressCancelButton);
  EXPECT_EQ(progress.cancelRequested(), 1);
  EXPECT_EQ(headless::findDialog(kProgressDialogTemplate), w);  // stays
  progress.destroyWindow();
  EXPECT_EQ(headless::findDialog(kProgressDialogTemplate), nullptr);
}

struct ModalCase {
  const char* name;
  std::function<void(Window&)> hook;
  int32_t result;
  int32_t choice;
  bool remember;
  std::vector<uintptr_t> selected;
  size_t messages;
};

TEST_F(ModuleDialogTest, ModalDialogAnsweredThroughItsControls) {
  auto select = [](Window& w, std::vector<size_t> items) {
    for (size_t i : items) w.control(kPickList).items[i].selected = true;
  };
  const ModalCase cases[] = {
      {"no hook is a cancel", nullptr, kDialogCancel, 0, false, {}, 0},
      {"OK without a selection stays open",
       [](Window& w) { w.click(kDialogOk); }, kDialogCancel, 0, false, {}, 1},
      {"two selected, in list order",
       [&](Window& w) {
         select(w, {2, 0});
         w.control(kPickRemember).checked = true;
         w.click(kDialogOk);
       },
       kDialogOk, 0, true, {7, 9}, 0},
      {"the other radio disables the list",
       [&](Window& w) {
         w.control(kPickFromList).checked = false;
         w.control(kPickNew).checked = true;
         w.click(kPickNew);
         EXPECT_FALSE(w.control(kPickList).enabled);
         w.click(kDialogOk);
       },
       kDialogOk, 1, false, {}, 0},
      {"Cancel without a handler ends the dialog",
       [&](Window& w) {
         select(w, {1});
         w.click(kDialogCancel);
       },
       kDialogCancel, 0, false, {}, 0},
  };
  for (const ModalCase& c : cases) {
    SCOPED_TRACE(c.name);
    resetTestHost();
    bool sawInitialState = false;
    headless::onModalDialog([&](Window& w) {
      sawInitialState = w.modal() && w.checked(kPickFromList) &&
                        w.control(kPickList).items.size() == 3 &&
                        w.itemData(kPickList, 1) == 3 &&
                        w.resources() == headless::kModuleResources;
      if (c.hook) c.hook(w);
    });
    PickDialog dialog;
    EXPECT_EQ(dialog.runModal(nullptr), c.result);
    EXPECT_TRUE(sawInitialState);
    EXPECT_EQ(dialog.window(), nullptr);
    EXPECT_EQ(headless::findDialog(kPickTemplate), nullptr);
    EXPECT_EQ(currentResourceModule(), headless::kHostResources);
    EXPECT_EQ(dialog.choice, c.choice);
    EXPECT_EQ(dialog.remember, c.remember);
    EXPECT_EQ(dialog.selected, c.selected);
    EXPECT_EQ(headless::messages().size(), c.messages);
  }
}

}  // namespace
