// The open command's first question, once the module's depot folder exists
// (dialog template 103): reopen data sets an earlier import left in the
// depot, chosen from a sorted list of the depot items, or read a new .e00
// file.

#ifndef MORVANE_PLUGIN_REOPENDIALOG_H_
#define MORVANE_PLUGIN_REOPENDIALOG_H_

#include <cstdint>
#include <vector>

#include "ui/ModuleDialog.h"

class ReopenDialog : public ModuleDialog {
 public:
  enum : int32_t { kOpenPrevious = 0, kReadNew = 1 };

  ReopenDialog();

  // The checked radio button: kOpenPrevious (2002) or kReadNew (2003). Set
  // before the run (the command presets kOpenPrevious), read after it.
  int32_t choice = kOpenPrevious;

  // After OK with kOpenPrevious: the depot item ids of the selected list
  // entries in list order (the list is sorted by title). Empty otherwise.
  const std::vector<uint32_t>& selectedItemIds() const { return selected_; }

 protected:
  void exchangeData(bool toControls) override;
  MessageTable messageTable() const override;

 private:
  void onInitDialog();
  void onOpenPrevious();
  void onReadNew();
  void onOk();

  std::vector<uint32_t> selected_;
};

#endif  // MORVANE_PLUGIN_REOPENDIALOG_H_
