#include "tests/win32/DialogRobot.h"

#include <algorithm>

namespace robot {
namespace {

bool isDialog(HWND window) {
  char name[16];
  return GetClassNameA(window, name, sizeof name) > 0 &&
         lstrcmpA(name, "#32770") == 0;
}

BOOL CALLBACK collectChild(HWND window, LPARAM found) {
  if (isDialog(window)) reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
  return TRUE;
}

BOOL CALLBACK collectTopLevel(HWND window, LPARAM found) {
  collectChild(window, found);
  EnumChildWindows(window, collectChild, found);  // every level below
  return TRUE;
}

struct Watch {
  UINT_PTR timer = 0;
  std::vector<HWND> before;
  std::function<bool(HWND)> matches;
  std::function<void(HWND)> script;
  DWORD deadline = 0;
  bool ran = false;
  bool gaveUp = false;
};

Watch& watch() {
  static Watch w;
  return w;
}

void CALLBACK onTick(HWND, UINT, UINT_PTR, DWORD now) {
  Watch& w = watch();
  for (HWND dialog : dialogs()) {
    if (std::find(w.before.begin(), w.before.end(), dialog) != w.before.end())
      continue;
    if (!IsWindowVisible(dialog) || !IsWindowEnabled(dialog)) continue;
    if (w.matches && !w.matches(dialog)) continue;
    // Once: the script may pump messages (a click that opens another
    // dialog) and must not meet this timer again.
    KillTimer(nullptr, w.timer);
    w.timer = 0;
    w.ran = true;
    std::function<void(HWND)> script = std::move(w.script);
    script(dialog);
    return;
  }
  if (static_cast<LONG>(now - w.deadline) >= 0) {
    KillTimer(nullptr, w.timer);
    w.timer = 0;
    w.gaveUp = true;
    std::vector<HWND> all = dialogs();
    if (!all.empty()) PostMessageA(all.back(), WM_COMMAND, IDCANCEL, 0);
  }
}

}  // namespace

std::vector<HWND> dialogs() {
  std::vector<HWND> found;
  EnumThreadWindows(GetCurrentThreadId(), collectTopLevel,
                    reinterpret_cast<LPARAM>(&found));
  return found;
}

HWND findDialog(int controlId, const char* controlClass) {
  for (HWND dialog : dialogs()) {
    HWND control = GetDlgItem(dialog, controlId);
    char name[64];
    if (control != nullptr && GetClassNameA(control, name, sizeof name) > 0 &&
        lstrcmpiA(name, controlClass) == 0) {
      return dialog;
    }
  }
  return nullptr;
}

std::string windowText(HWND window) {
  int length = GetWindowTextLengthA(window);
  if (length <= 0) return std::string();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  int copied = GetWindowTextA(window, &text[0], length + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

std::string controlText(HWND dialog, int controlId) {
  HWND control = GetDlgItem(dialog, controlId);
  return control != nullptr ? windowText(control) : std::string();
}

void click(HWND dialog, int controlId) {
  SendDlgItemMessageA(dialog, controlId, BM_CLICK, 0, 0);
}

void postClick(HWND dialog, int controlId) {
  PostMessageA(GetDlgItem(dialog, controlId), BM_CLICK, 0, 0);
}

void selectListItems(HWND dialog, int controlId, const std::vector<int>& items) {
  HWND list = GetDlgItem(dialog, controlId);
  LONG style = GetWindowLongA(list, GWL_STYLE);
  if (style & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL)) {
    SendMessageA(list, LB_SETSEL, FALSE, -1);
    for (int i : items) SendMessageA(list, LB_SETSEL, TRUE, i);
  } else {
    SendMessageA(list, LB_SETCURSEL, items.empty() ? -1 : items.front(), 0);
  }
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(controlId, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list));
}

void selectComboItem(HWND dialog, int controlId, int index) {
  HWND combo = GetDlgItem(dialog, controlId);
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(controlId, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
}

void typeText(HWND dialog, int controlId, const std::string& text) {
  SendDlgItemMessageA(dialog, controlId, WM_SETTEXT, 0,
                      reinterpret_cast<LPARAM>(text.c_str()));
}

bool answerFileDialog(HWND dialog, const std::string& name) {
  // The name field: a combo box (cmb13) in the newer layouts, an edit
  // (edt1) in the older; both take WM_SETTEXT.
  const int kNameCombo = 0x047C;
  const int kNameEdit = 0x0480;
  int field = GetDlgItem(dialog, kNameCombo) != nullptr ? kNameCombo
              : GetDlgItem(dialog, kNameEdit) != nullptr ? kNameEdit
                                                          : 0;
  if (field == 0) return false;
  typeText(dialog, field, name);
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  return true;
}

void whenDialogShown(std::function<bool(HWND)> matches,
                     std::function<void(HWND)> script, int timeoutMs) {
  Watch& w = watch();
  if (w.timer != 0) KillTimer(nullptr, w.timer);
  w.before = dialogs();
  w.matches = std::move(matches);
  w.script = std::move(script);
  w.ran = false;
  w.gaveUp = false;
  w.deadline = GetTickCount() + static_cast<DWORD>(timeoutMs);
  w.timer = SetTimer(nullptr, 0, 20, onTick);
}

bool scriptRan() { return watch().ran; }
bool gaveUp() { return watch().gaveUp; }

}  // namespace robot
