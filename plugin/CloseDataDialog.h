// The close command's dialog (template 105): the open data sets in registry
// order, of which the user closes or deletes any number.

#ifndef MORVANE_PLUGIN_CLOSEDATADIALOG_H_
#define MORVANE_PLUGIN_CLOSEDATADIALOG_H_

#include <cstdint>
#include <vector>

#include "ui/ModuleDialog.h"

class CloseDataDialog : public ModuleDialog {
 public:
  // What the dialog ends with: runModal's result.
  enum : int32_t {
    kResultClose = 1,    // "閉じる" (OK)
    kResultDelete = 3004,
    kResultCancel = kDialogCancel,
  };

  CloseDataDialog();

  // After Close or Delete: the row ids of the selected entries, in list
  // (registry) order. Empty otherwise.
  const std::vector<int32_t>& selectedItemIds() const { return selected_; }

 protected:
  MessageTable messageTable() const override;

 private:
  void onInitDialog();
  void onClose() { accept(kResultClose); }
  void onDelete() { accept(kResultDelete); }
  // Both buttons need a selection; without one the dialog stays open.
  void accept(int32_t result);

  std::vector<int32_t> selected_;
};

#endif  // MORVANE_PLUGIN_CLOSEDATADIALOG_H_
