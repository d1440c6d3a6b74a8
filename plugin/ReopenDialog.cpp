#include "plugin/ReopenDialog.h"

#include "host/PluginIf.h"
#include "plugin/DepotFolders.h"
#include "plugin/ListSelection.h"
#include "resources/DialogIds.h"

using namespace reopen_dialog;

ReopenDialog::ReopenDialog() : ModuleDialog(kReopenDialogTemplate) {}

ModuleDialog::MessageTable ReopenDialog::messageTable() const {
  static const MessageEntry kEntries[] = {
      {kMessageInitDialog, 0, 0, handler(&ReopenDialog::onInitDialog)},
      {kMessageCommand, kOpenPreviousRadio, kNotifyClicked,
       handler(&ReopenDialog::onOpenPrevious)},
      {kMessageCommand, kReadNewRadio, kNotifyClicked,
       handler(&ReopenDialog::onReadNew)},
      {kMessageCommand, kOk, kNotifyClicked, handler(&ReopenDialog::onOk)},
  };
  return {kEntries, sizeof kEntries / sizeof kEntries[0]};
}

void ReopenDialog::exchangeData(bool toControls) {
  DialogWindow& w = *window();
  if (toControls) {
    w.setChecked(kOpenPreviousRadio, choice == kOpenPrevious);
    w.setChecked(kReadNewRadio, choice == kReadNew);
  } else if (w.checked(kReadNewRadio)) {
    choice = kReadNew;
  } else if (w.checked(kOpenPreviousRadio)) {
    choice = kOpenPrevious;
  }
}

void ReopenDialog::onInitDialog() {
  DialogWindow& w = *window();
  w.clearItems(kListBox);
  w.setEnabled(kListBox, choice == kOpenPrevious);
  // A missing top folder leaves the list empty rather than listing a
  // sub-folder found in the depot root.
  const uint32_t folder = depotSubFolderId(DepotLookup::kTopFirst);
  if (folder == 0) return;
  for (uint32_t id = VPI_DD_EnumFirstID(folder); id != 0;
       id = VPI_DD_EnumNextID(folder, id)) {
    const char* title = VPI_DD_GetTitle(id);
    w.addItem(kListBox, title != nullptr ? title : "", id);
  }
}

void ReopenDialog::onOpenPrevious() { window()->setEnabled(kListBox, true); }

void ReopenDialog::onReadNew() { window()->setEnabled(kListBox, false); }

void ReopenDialog::onOk() {
  DialogWindow& w = *window();
  exchangeData(false);
  selected_.clear();
  if (choice == kReadNew) {
    w.endDialog(kDialogOk);
    return;
  }
  endWithListSelection(w, kListBox, kDialogOk, &selected_);
}
