#include "ui/ModuleDialog.h"

// Makes the module's resources current for one create or run call and puts
// back whatever was current before, however the call ends.
class ModuleDialog::ModuleResources {
 public:
  explicit ModuleResources(ModuleDialog& dialog) : dialog_(dialog) {
    dialog_.savedResources_ = currentResourceModule();
    setCurrentResourceModule(moduleResourceModule());
  }
  ~ModuleResources() { setCurrentResourceModule(dialog_.savedResources_); }
  ModuleResources(const ModuleResources&) = delete;
  ModuleResources& operator=(const ModuleResources&) = delete;

 private:
  ModuleDialog& dialog_;
};

ModuleDialog::~ModuleDialog() { destroyWindow(); }

bool ModuleDialog::createModeless(VpiWindow owner) {
  if (window_ != nullptr) return true;
  ModuleResources resources(*this);
  modal_ = false;
  window_ = createDialogWindow(*this, owner);
  return window_ != nullptr;
}

void ModuleDialog::destroyWindow() {
  if (window_ == nullptr || modal_) return;
  DialogWindow* window = window_;
  window_ = nullptr;
  destroyDialogWindow(window);
}

int32_t ModuleDialog::runModal(VpiWindow owner) {
  if (window_ != nullptr) return -1;
  ModuleResources resources(*this);
  modal_ = true;
  int32_t result = runDialogWindow(*this, owner);
  window_ = nullptr;
  modal_ = false;
  return result;
}

void ModuleDialog::initialise(DialogWindow* window) {
  window_ = window;
  exchangeData(true);
  dispatch(kMessageInitDialog, 0, 0);
}

bool ModuleDialog::dispatch(uint32_t message, int32_t controlId,
                            int32_t notification, MessageArgs* args) {
  const MessageTable table = messageTable();
  for (size_t i = 0; i < table.count; ++i) {
    const MessageEntry& e = table.entries[i];
    if (e.message != message) continue;
    if (message == kMessageCommand &&
        (e.controlId != controlId || e.notification != notification)) {
      continue;
    }
    if (message == kMessageDrawItem && e.controlId != controlId) continue;
    // A handler may run a modal loop (the colour dialog) in which messages
    // for this dialog arrive again: keep the outer message's payload.
    MessageArgs none;
    MessageArgs* outer = currentMessage_;
    currentMessage_ = args != nullptr ? args : &none;
    (this->*e.handler)();
    currentMessage_ = outer;
    return true;
  }
  // What the default dialog procedure does with OK and Cancel.
  if (message == kMessageCommand && notification == kNotifyClicked &&
      (controlId == kDialogOk || controlId == kDialogCancel) &&
      window_ != nullptr) {
    if (controlId == kDialogOk) exchangeData(false);
    window_->endDialog(controlId);
  }
  return false;
}
