// The common base of the module's dialogs. A dialog is a plain object: its
// data, its behaviour, and a message table that maps window messages and
// control notifications to its handlers; the backend's window (DialogWindow)
// delivers them through dispatch(). Derived dialogs never see a window
// procedure.
//
// Whenever a dialog's window is created (modeless) or run (modal), the
// module's own resources are made current for the duration of that call, so
// that the template is found in this module and not in the host, and the
// previous resource module is restored right after.

#ifndef MORVANE_UI_MODULEDIALOG_H_
#define MORVANE_UI_MODULEDIALOG_H_

#include <cstddef>
#include <cstdint>

#include "host/PluginIf.h"
#include "ui/DialogWindow.h"
#include "ui/ResourceModule.h"

// Messages and notifications, with their Win32 values so that the Win32
// backend passes them through unchanged.
enum : uint32_t {
  kMessageInitDialog = 0x0110,  // WM_INITDIALOG
  kMessageCommand = 0x0111,     // WM_COMMAND: control id and notification
};
enum : int32_t {
  kNotifyClicked = 0,        // BN_CLICKED
  kNotifySelectionChange = 1,  // LBN_SELCHANGE, CBN_SELCHANGE
  kDialogOk = 1,             // IDOK
  kDialogCancel = 2,         // IDCANCEL
};

class ModuleDialog {
 public:
  using Handler = void (ModuleDialog::*)();
  struct MessageEntry {
    uint32_t message;
    int32_t controlId;     // kMessageCommand only
    int32_t notification;  // kMessageCommand only
    Handler handler;
  };
  struct MessageTable {
    const MessageEntry* entries;
    size_t count;
  };

  explicit ModuleDialog(int32_t templateId) : templateId_(templateId) {}
  virtual ~ModuleDialog();  // destroys a modeless window still open
  ModuleDialog(const ModuleDialog&) = delete;
  ModuleDialog& operator=(const ModuleDialog&) = delete;

  int32_t templateId() const { return templateId_; }
  // The window while it exists (modeless, or during a modal run), or null.
  DialogWindow* window() const { return window_; }

  // Modeless: creates the window (true when it exists afterwards; a second
  // call keeps the first window). destroyWindow may be called at any time.
  bool createModeless(VpiWindow owner);
  void destroyWindow();
  // Modal: runs the dialog and returns the result it ended with.
  int32_t runModal(VpiWindow owner);

  // Called by the backend's window. dispatch runs the table's handler for
  // the message (for kMessageCommand, the one for that control and
  // notification) and returns whether there was one. Unhandled OK and
  // Cancel end the dialog with their own id.
  void initialise(DialogWindow* window);
  bool dispatch(uint32_t message, int32_t controlId, int32_t notification);

 protected:
  // Copies the dialog's data into its controls (toControls) or back. The
  // initialisation copies in before the table's kMessageInitDialog handler.
  virtual void exchangeData(bool toControls) { (void)toControls; }
  virtual MessageTable messageTable() const { return {nullptr, 0}; }

  template <typename Dialog>
  static Handler handler(void (Dialog::*h)()) {
    return static_cast<Handler>(h);
  }

 private:
  class ModuleResources;

  const int32_t templateId_;
  ResourceModule savedResources_ = nullptr;
  DialogWindow* window_ = nullptr;
  bool modal_ = false;
};

#endif  // MORVANE_UI_MODULEDIALOG_H_
