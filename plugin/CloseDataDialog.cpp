#include "plugin/CloseDataDialog.h"

#include "module/PluginModule.h"
#include "plugin/ListSelection.h"
#include "resources/DialogIds.h"

using namespace close_data_dialog;

CloseDataDialog::CloseDataDialog() : ModuleDialog(kCloseDataDialogTemplate) {}

ModuleDialog::MessageTable CloseDataDialog::messageTable() const {
  static const MessageEntry kEntries[] = {
      {kMessageInitDialog, 0, 0, handler(&CloseDataDialog::onInitDialog)},
      {kMessageCommand, kOk, kNotifyClicked, handler(&CloseDataDialog::onClose)},
      {kMessageCommand, kDeleteButton, kNotifyClicked,
       handler(&CloseDataDialog::onDelete)},
  };
  return {kEntries, sizeof kEntries / sizeof kEntries[0]};
}

void CloseDataDialog::onInitDialog() {
  DialogWindow& w = *window();
  w.clearItems(kListBox);
  const DataSetRegistry& registry = pluginModule().registry;
  for (int32_t i = 0; i < registry.count(); ++i) {
    const LineDataSet& d = *registry.at(i);
    w.addItem(kListBox, d.name, static_cast<uintptr_t>(d.rowId));
  }
}

void CloseDataDialog::accept(int32_t result) {
  endWithListSelection(*window(), kListBox, result, &selected_);
}
