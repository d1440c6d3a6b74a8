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
#include "ui/win32/GdiDrawing.h"

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

  VpiWindow parent() const override {
    return window_ != nullptr ? GetParent(window_) : nullptr;
  }
  WindowRect clientRect() const override {
    RECT r = {0, 0, 0, 0};
    if (window_ != nullptr) GetClientRect(window_, &r);
    return {r.left, r.top, r.right, r.bottom};
  }
  WindowRect controlScreenRect(int32_t control) const override {
    RECT r = {0, 0, 0, 0};
    if (HWND c = item(control)) GetWindowRect(c, &r);
    return {r.left, r.top, r.right, r.bottom};
  }
  WindowRect screenToClient(const WindowRect& rect) const override {
    if (window_ == nullptr) return rect;
    POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
    MapWindowPoints(nullptr, window_, corners, 2);
    return {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
  }
  WindowPoint screenToClientOf(VpiWindow window,
                               WindowPoint point) const override {
    POINT p = {point.x, point.y};
    if (window != nullptr) ScreenToClient(static_cast<HWND>(window), &p);
    return {p.x, p.y};
  }
  void placeAt(int32_t x, int32_t y) override {
    if (window_ == nullptr) return;
    SetWindowPos(window_, nullptr, x, y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  void bringToTop() override {
    if (window_ != nullptr) BringWindowToTop(window_);
  }
  WindowPoint cursorPosition() const override {
    POINT p = {0, 0};
    GetCursorPos(&p);
    return {p.x, p.y};
  }
  void postMessage(VpiWindow window, uint32_t message, uintptr_t wParam,
                   intptr_t lParam) override {
    if (window == nullptr) return;
    PostMessageA(static_cast<HWND>(window), message,
                 static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
  }
  void redrawControl(int32_t control) override {
    HWND c = item(control);
    if (c == nullptr) return;
    InvalidateRect(c, nullptr, TRUE);
    UpdateWindow(c);
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

// WM_DRAWITEM: the control's DRAWITEMSTRUCT, its device context lent for
// the request. TRUE tells the control it was drawn.
bool forwardDrawItem(DialogWindowWin32& window, WPARAM /*w*/, LPARAM l,
                     INT_PTR* result) {
  const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
  if (item == nullptr) return false;
  GdiDrawTarget target(item->hDC);
  DrawItemRequest request = {
      static_cast<int32_t>(item->CtlID),
      item->itemAction,
      item->itemState,
      {item->rcItem.left, item->rcItem.top, item->rcItem.right,
       item->rcItem.bottom},
      &target};
  MessageArgs args;
  args.drawItem = &request;
  if (!window.dialog().dispatch(kMessageDrawItem, request.controlId, 0,
                                &args)) {
    return false;
  }
  *result = TRUE;
  return true;
}

// WM_CTLCOLOR*: the child's device context in wParam, the child in lParam.
// The brush the handler answers is what the dialog procedure returns; no
// brush leaves the control its default colours.
template <UINT message>
bool forwardColour(DialogWindowWin32& window, WPARAM w, LPARAM l,
                   INT_PTR* result) {
  GdiColourContext colours(reinterpret_cast<HDC>(w));
  MessageArgs args;
  args.colours = &colours;
  const int32_t control =
      l != 0 ? GetDlgCtrlID(reinterpret_cast<HWND>(l)) : 0;
  if (!window.dialog().dispatch(message, control, 0, &args) ||
      args.result == 0) {
    return false;
  }
  *result = static_cast<INT_PTR>(args.result);
  return true;
}

// The move loop and WM_DESTROY are notifications: the dialog hears of
// them, and the default processing runs whatever it did.
template <UINT message>
bool forwardNotification(DialogWindowWin32& window, WPARAM /*w*/,
                         LPARAM /*l*/, INT_PTR* /*result*/) {
  window.dialog().dispatch(message, 0, 0);
  return false;
}

const Route kRoutes[] = {
    {WM_COMMAND, forwardCommand},
    {WM_DRAWITEM, forwardDrawItem},
    {WM_CTLCOLORMSGBOX, forwardColour<WM_CTLCOLORMSGBOX>},
    {WM_CTLCOLOREDIT, forwardColour<WM_CTLCOLOREDIT>},
    {WM_CTLCOLORLISTBOX, forwardColour<WM_CTLCOLORLISTBOX>},
    {WM_CTLCOLORBTN, forwardColour<WM_CTLCOLORBTN>},
    {WM_CTLCOLORDLG, forwardColour<WM_CTLCOLORDLG>},
    {WM_CTLCOLORSCROLLBAR, forwardColour<WM_CTLCOLORSCROLLBAR>},
    {WM_CTLCOLORSTATIC, forwardColour<WM_CTLCOLORSTATIC>},
    {WM_ENTERSIZEMOVE, forwardNotification<WM_ENTERSIZEMOVE>},
    {WM_EXITSIZEMOVE, forwardNotification<WM_EXITSIZEMOVE>},
    {WM_DESTROY, forwardNotification<WM_DESTROY>},
};

HINSTANCE templateModule() {
  return static_cast<HINSTANCE>(const_cast<void*>(currentResourceModule()));
}

// The initialisation data of a dialog's controls (resource type 240, named
// like its template), which CreateDialog and DialogBox leave alone: records
// of a control id (WORD), a message (WORD), a byte count (DWORD) and that
// many bytes, ended by a zero control id. The messages are the 16-bit
// LB_ADDSTRING and CB_ADDSTRING with a zero-terminated string. A record
// running past the resource ends the walk.
void applyInitialisationData(HWND hwnd, int32_t templateId) {
  HMODULE module = templateModule();
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(templateId),
                              MAKEINTRESOURCEA(240));
  if (found == nullptr) return;
  HGLOBAL loaded = LoadResource(module, found);
  const auto* data =
      static_cast<const unsigned char*>(loaded ? LockResource(loaded) : nullptr);
  const DWORD size = SizeofResource(module, found);
  if (data == nullptr) return;
  constexpr WORD kListAddString16 = 0x0401;
  constexpr WORD kComboAddString16 = 0x0403;
  DWORD at = 0;
  while (at + 2 <= size) {
    const WORD control = static_cast<WORD>(data[at] | (data[at + 1] << 8));
    if (control == 0 || at + 8 > size) break;
    const WORD message = static_cast<WORD>(data[at + 2] | (data[at + 3] << 8));
    const DWORD length = static_cast<DWORD>(data[at + 4]) |
                         static_cast<DWORD>(data[at + 5]) << 8 |
                         static_cast<DWORD>(data[at + 6]) << 16 |
                         static_cast<DWORD>(data[at + 7]) << 24;
    at += 8;
    if (length > size - at) break;
    // The text without trusting its terminator.
    std::string text(reinterpret_cast<const char*>(data + at), length);
    text.resize(text.find('\0') == std::string::npos ? text.size()
                                                      : text.find('\0'));
    at += length;
    HWND c = GetDlgItem(hwnd, control);
    if (c == nullptr) continue;
    if (message == kComboAddString16) {
      SendMessageA(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    } else if (message == kListAddString16) {
      SendMessageA(c, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
  }
}

INT_PTR CALLBACK dialogProcedure(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_INITDIALOG) {
    // The creation parameter is our window object: from here on it is
    // found from the handle.
    auto* window = reinterpret_cast<DialogWindowWin32*>(l);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    window->attach(hwnd);
    applyInitialisationData(hwnd, window->dialog().templateId());
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
    // WM_DESTROY reaches the dialog while its window still exists, as on
    // the headless backend and as when the window goes with its parent.
    // Sent here, not from DestroyWindow: from here on nothing reaches the
    // dialog, which may be half destroyed while its window goes away (the
    // children's notifications, focus changes).
    w->dialog().dispatch(kMessageDestroy, 0, 0);
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
