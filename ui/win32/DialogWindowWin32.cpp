// The Win32 backend of DialogWindow: the module's dialogs on real windows,
// made from the templates in the current resource module (ModuleDialog
// makes it ours for the call), modeless with CreateDialogParamA and modal
// with DialogBoxParamA. One dialog procedure serves every dialog: it finds
// the window's DialogWindowWin32 (GWLP_USERDATA) and forwards the messages
// of its routing table to the ModuleDialog.

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "ui/DialogWindow.h"
#include "ui/ModuleDialog.h"
#include "ui/ResourceModule.h"

namespace {

class DialogWindowWin32 : public DialogWindow {
 public:
  DialogWindowWin32(ModuleDialog& dialog, bool modal)
      : dialog_(dialog), modal_(modal) {}

  ModuleDialog& dialog() const { return dialog_; }
  HWND hwnd() const { return window_; }
  VpiWindow handle() const override { return window_; }
  void attach(HWND window) { window_ = window; }
  void detach() { window_ = nullptr; }

  void setText(int32_t control, const std::string& text) override {
    if (HWND c = item(control)) SetWindowTextA(c, text.c_str());
  }
  std::string text(int32_t control) const override {
    HWND c = item(control);
    if (c == nullptr) return std::string();
    int length = GetWindowTextLengthA(c);
    if (length <= 0) return std::string();
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    int copied = GetWindowTextA(c, buffer.data(), length + 1);
    return std::string(buffer.data(), copied > 0 ? copied : 0);
  }

  void setChecked(int32_t control, bool checked) override {
    send(control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  bool checked(int32_t control) const override {
    return send(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
  }

  void setEnabled(int32_t control, bool enabled) override {
    if (HWND c = item(control)) EnableWindow(c, enabled ? TRUE : FALSE);
  }

  // PBM_SETRANGE: the minimum in the low word, the maximum in the high one.
  void setRange(int32_t control, int32_t minimum, int32_t maximum) override {
    send(control, PBM_SETRANGE, 0, MAKELPARAM(minimum, maximum));
  }
  void setPosition(int32_t control, int32_t position) override {
    send(control, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  }

  void clearItems(int32_t control) override {
    send(control, isCombo(control) ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
  }
  int32_t addItem(int32_t control, const std::string& text,
                  uintptr_t data) override {
    const bool combo = isCombo(control);
    LRESULT index = send(control, combo ? CB_ADDSTRING : LB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(text.c_str()));
    if (index < 0) return -1;  // LB_ERR, LB_ERRSPACE and their CB_ twins
    send(control, combo ? CB_SETITEMDATA : LB_SETITEMDATA,
         static_cast<WPARAM>(index), static_cast<LPARAM>(data));
    return static_cast<int32_t>(index);
  }
  uintptr_t itemData(int32_t control, int32_t index) const override {
    if (index < 0) return 0;
    LRESULT data = send(control, isCombo(control) ? CB_GETITEMDATA
                                                  : LB_GETITEMDATA,
                        static_cast<WPARAM>(index), 0);
    return data == LB_ERR ? 0 : static_cast<uintptr_t>(data);
  }
  std::vector<int32_t> selectedItems(int32_t control) const override {
    std::vector<int32_t> selected;
    if (item(control) == nullptr) return selected;
    if (isCombo(control) || !isMultipleSelection(control)) {
      LRESULT index = send(control, isCombo(control) ? CB_GETCURSEL
                                                     : LB_GETCURSEL, 0, 0);
      if (index >= 0) selected.push_back(static_cast<int32_t>(index));
      return selected;
    }
    LRESULT count = send(control, LB_GETSELCOUNT, 0, 0);
    if (count <= 0) return selected;
    std::vector<int> indexes(static_cast<size_t>(count));
    LRESULT got = send(control, LB_GETSELITEMS, static_cast<WPARAM>(count),
                       reinterpret_cast<LPARAM>(indexes.data()));
    for (LRESULT i = 0; i < got && i < count; ++i) {
      selected.push_back(indexes[static_cast<size_t>(i)]);  // ascending
    }
    return selected;
  }
  void setSelection(int32_t control, int32_t index) override {
    if (isCombo(control)) {
      send(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    } else if (isMultipleSelection(control)) {
      // LB_SETSEL with index -1 applies to every item.
      send(control, LB_SETSEL, FALSE, -1);
      if (index >= 0) send(control, LB_SETSEL, TRUE, index);
    } else {
      send(control, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
  }

  WindowRect outerRect() const override {
    RECT r = {0, 0, 0, 0};
    if (window_ != nullptr) GetWindowRect(window_, &r);
    return {r.left, r.top, r.right, r.bottom};
  }
  void screenSize(int32_t* width, int32_t* height) const override {
    *width = GetSystemMetrics(SM_CXSCREEN);
    *height = GetSystemMetrics(SM_CYSCREEN);
  }
  // A top-level window moves in screen coordinates, a child (a panel) in
  // its parent's client coordinates, as MoveWindow takes them.
  void moveTo(int32_t left, int32_t top) override {
    if (window_ == nullptr) return;
    RECT r;
    GetWindowRect(window_, &r);
    MoveWindow(window_, left, top, r.right - r.left, r.bottom - r.top, TRUE);
  }

  void endDialog(int32_t result) override {
    if (modal_ && window_ != nullptr) EndDialog(window_, result);
  }

 private:
  HWND item(int32_t control) const {
    return window_ != nullptr ? GetDlgItem(window_, control) : nullptr;
  }
  LRESULT send(int32_t control, UINT message, WPARAM w, LPARAM l) const {
    HWND c = item(control);
    return c != nullptr ? SendMessageA(c, message, w, l) : 0;
  }
  bool isCombo(int32_t control) const {
    char name[16];
    HWND c = item(control);
    return c != nullptr && GetClassNameA(c, name, sizeof name) > 0 &&
           lstrcmpiA(name, "ComboBox") == 0;
  }
  // Whether the template made the list box with LBS_EXTENDEDSEL or
  // LBS_MULTIPLESEL: those answer LB_GETCURSEL with the caret, not the
  // selection, and take LB_SETSEL instead of LB_SETCURSEL.
  bool isMultipleSelection(int32_t control) const {
    HWND c = item(control);
    LONG style = c != nullptr ? GetWindowLongA(c, GWL_STYLE) : 0;
    return (style & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL)) != 0;
  }

  ModuleDialog& dialog_;
  const bool modal_;
  HWND window_ = nullptr;
};

DialogWindowWin32* windowOf(HWND window) {
  return reinterpret_cast<DialogWindowWin32*>(
      GetWindowLongPtrA(window, GWLP_USERDATA));
}

// The messages a dialog's table may handle, each with the one function that
// turns its parameters into ModuleDialog::dispatch's. A new message the
// dialogs handle is one more entry here (and its constant in ModuleDialog.h).
// A forwarder returns whether the dialog handled the message and, when it
// did, what the dialog procedure returns for it.
struct Route {
  UINT message;
  bool (*forward)(DialogWindowWin32& window, WPARAM w, LPARAM l,
                  INT_PTR* result);
};

// WM_COMMAND: the control id in the low word, the notification in the high.
bool forwardCommand(DialogWindowWin32& window, WPARAM w, LPARAM /*l*/,
                    INT_PTR* result) {
  *result = TRUE;
  return window.dialog().dispatch(kMessageCommand, LOWORD(w), HIWORD(w));
}

const Route kRoutes[] = {
    {WM_COMMAND, forwardCommand},
};

INT_PTR CALLBACK dialogProcedure(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_INITDIALOG) {
    // The creation parameter is our window object: from here on it is
    // found from the handle.
    auto* window = reinterpret_cast<DialogWindowWin32*>(l);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    window->attach(hwnd);
    window->dialog().initialise(window);
    return TRUE;  // the default keyboard focus
  }
  DialogWindowWin32* window = windowOf(hwnd);
  if (window == nullptr) return FALSE;
  if (message == WM_NCDESTROY) {
    // Destroyed with its owner or parent, or by destroyDialogWindow: the
    // object outlives the handle and its calls do nothing from now on.
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    window->detach();
    return FALSE;
  }
  for (const Route& route : kRoutes) {
    if (route.message != message) continue;
    INT_PTR result = FALSE;
    if (route.forward(*window, w, l, &result)) return result;
    break;
  }
  return FALSE;
}

// The progress bar (msctls_progress32) of template 102 is a common control:
// its class exists once the common controls are initialised.
void initialiseCommonControls() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    return InitCommonControlsEx(&controls) != FALSE;
  }();
  (void)done;
}

HINSTANCE templateModule() {
  return static_cast<HINSTANCE>(const_cast<void*>(currentResourceModule()));
}

}  // namespace

DialogWindow* createDialogWindow(ModuleDialog& dialog, VpiWindow owner) {
  initialiseCommonControls();
  auto* window = new DialogWindowWin32(dialog, false);
  HWND hwnd = CreateDialogParamA(
      templateModule(), MAKEINTRESOURCEA(dialog.templateId()),
      static_cast<HWND>(owner), dialogProcedure,
      reinterpret_cast<LPARAM>(window));
  if (hwnd == nullptr) {
    delete window;
    return nullptr;
  }
  return window;
}

void destroyDialogWindow(DialogWindow* window) {
  auto* w = static_cast<DialogWindowWin32*>(window);
  if (HWND hwnd = w->hwnd()) {
    // Nothing reaches the dialog while its window goes away.
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    w->detach();
    DestroyWindow(hwnd);
  }
  delete w;
}

int32_t runDialogWindow(ModuleDialog& dialog, VpiWindow owner) {
  initialiseCommonControls();
  DialogWindowWin32 window(dialog, true);
  INT_PTR result = DialogBoxParamA(
      templateModule(), MAKEINTRESOURCEA(dialog.templateId()),
      static_cast<HWND>(owner), dialogProcedure,
      reinterpret_cast<LPARAM>(&window));
  return result == -1 ? -1 : static_cast<int32_t>(result);
}
