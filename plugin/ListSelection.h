// What OK does in a dialog whose list box the user picks entries from: the
// entries' item data become the dialog's result, or the user is asked to
// pick first.

#ifndef MORVANE_PLUGIN_LISTSELECTION_H_
#define MORVANE_PLUGIN_LISTSELECTION_H_

#include <cstdint>
#include <new>
#include <vector>

#include "platform/MessageBox.h"
#include "resources/Texts.h"
#include "ui/DialogWindow.h"
#include "ui/ModuleDialog.h"

// Clears ids, then stores in it the item data of the entries selected in
// the list box listBox, in list order, and ends the dialog with result.
// With no entry selected the user is told to choose from the list and the
// dialog stays open, ids empty; when memory for ids runs out the dialog
// ends with kDialogCancel, ids empty, so nothing half chosen is acted on.
template <typename Id>
void endWithListSelection(DialogWindow& w, int32_t listBox, int32_t result,
                          std::vector<Id>* ids) {
  ids->clear();
  const std::vector<int32_t> rows = w.selectedItems(listBox);
  if (rows.empty()) {
    showMessageBox(kTextChooseFromList, MessageIcon::kExclamation);
    return;
  }
  try {
    ids->reserve(rows.size());
  } catch (const std::bad_alloc&) {
    w.endDialog(kDialogCancel);
    return;
  }
  for (int32_t row : rows) {
    ids->push_back(static_cast<Id>(w.itemData(listBox, row)));
  }
  w.endDialog(result);
}

#endif  // MORVANE_PLUGIN_LISTSELECTION_H_
