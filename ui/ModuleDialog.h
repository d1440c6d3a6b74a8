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
#include "ui/Drawing.h"
#include "ui/ResourceModule.h"

// Messages and notifications, with their Win32 values so that the Win32
// backend passes them through unchanged.
enum : uint32_t {
  kMessageDestroy = 0x0002,     // WM_DESTROY
  kMessageDrawItem = 0x002B,    // WM_DRAWITEM: control id, DrawItemRequest
  kMessageInitDialog = 0x0110,  // WM_INITDIALOG
  kMessageCommand = 0x0111,     // WM_COMMAND: control id and notification
  kMessageVerticalScroll = 0x0115,  // WM_VSCROLL: request code
  // WM_CTLCOLOR*: a child control of the kind asks for its colours; the
  // handler may set them on the ColourContext and answer a brush.
  kMessageColourMessageBox = 0x0132,  // WM_CTLCOLORMSGBOX
  kMessageColourEdit = 0x0133,        // WM_CTLCOLOREDIT
  kMessageColourListBox = 0x0134,     // WM_CTLCOLORLISTBOX
  kMessageColourButton = 0x0135,      // WM_CTLCOLORBTN
  kMessageColourDialog = 0x0136,      // WM_CTLCOLORDLG
  kMessageColourScrollBar = 0x0137,   // WM_CTLCOLORSCROLLBAR
  kMessageColourStatic = 0x0138,      // WM_CTLCOLORSTATIC
  kMessageEnterSizeMove = 0x0231,  // WM_ENTERSIZEMOVE
  kMessageExitSizeMove = 0x0232,   // WM_EXITSIZEMOVE
};
// An owner-draw request's action and item state (DRAWITEMSTRUCT).
enum : uint32_t {
  kDrawActionEntire = 0x1,  // ODA_DRAWENTIRE
  kDrawActionSelect = 0x2,  // ODA_SELECT
  kDrawActionFocus = 0x4,   // ODA_FOCUS
  kItemStateSelected = 0x1,  // ODS_SELECTED
  kItemStateDisabled = 0x4,  // ODS_DISABLED
};
enum : int32_t {
  kNotifyClicked = 0,        // BN_CLICKED
  kNotifySelectionChange = 1,  // LBN_SELCHANGE, CBN_SELCHANGE
  kDialogOk = 1,             // IDOK
  kDialogCancel = 2,         // IDCANCEL
};

// WM_DRAWITEM for one control: what to draw, where, on what. The target is
// lent for the request.
struct DrawItemRequest {
  int32_t controlId;
  uint32_t action;
  uint32_t state;
  WindowRect rect;
  DrawTarget* target;
};

// What a message carries besides its control id and notification, and what
// the handler answers: for a colour request the brush (0 for the default
// colours), for an owner-draw request nonzero when it drew.
struct MessageArgs {
  DrawItemRequest* drawItem = nullptr;  // kMessageDrawItem
  ColourContext* colours = nullptr;     // kMessageColour*
  intptr_t result = 0;
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
  // notification; for kMessageDrawItem, the one for that control) and
  // returns whether there was one. Unhandled OK and Cancel end the dialog
  // with their own id. args, when given, carries the message's payload and
  // takes the handler's answer; the handler reads it through
  // currentMessage().
  //
  // Move loop messages and kMessageDestroy are notifications: the backend
  // runs the default processing as well, whether handled or not.
  //
  // Both are virtual, like a window procedure the module hands the system:
  // a backend that lives outside the module (natively the headless one, in
  // the program that loads the module) reaches the dialog's own code
  // through them and needs none of its own.
  virtual void initialise(DialogWindow* window);
  virtual bool dispatch(uint32_t message, int32_t controlId,
                        int32_t notification, MessageArgs* args = nullptr);

 protected:
  // Copies the dialog's data into its controls (toControls) or back. The
  // initialisation copies in before the table's kMessageInitDialog handler.
  virtual void exchangeData(bool toControls) { (void)toControls; }
  virtual MessageTable messageTable() const { return {nullptr, 0}; }

  // The payload of the message being handled (never null inside a
  // handler; empty when the backend gave none).
  MessageArgs& currentMessage() { return *currentMessage_; }

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
  MessageArgs* currentMessage_ = nullptr;
};

#endif  // MORVANE_UI_MODULEDIALOG_H_
