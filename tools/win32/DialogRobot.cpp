#include "tools/win32/DialogRobot.h"

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

// Controls of the system's dialogs (<dlgs.h>): the colour dialog's red,
// green and blue fields, the open-file dialog's name field (a combo box in
// the newer layouts, an edit in the older), and a message box's icon and
// text (0xFFFF on Windows and newer Wine, 100 in older Wine).
const int kColourFields[3] = {0x02C2, 0x02C3, 0x02C4};
const int kFileNameCombo = 0x047C;
const int kFileNameEdit = 0x0480;
const int kMessageBoxIcon = 0x0440;
const int kMessageBoxTexts[2] = {0xFFFF, 100};

bool hasControl(HWND dialog, int id, const char* controlClass) {
  HWND control = GetDlgItem(dialog, id);
  char name[32];
  return control != nullptr && GetClassNameA(control, name, sizeof name) > 0 &&
         lstrcmpiA(name, controlClass) == 0;
}

int fileNameField(HWND dialog) {
  return GetDlgItem(dialog, kFileNameCombo) != nullptr  ? kFileNameCombo
         : GetDlgItem(dialog, kFileNameEdit) != nullptr ? kFileNameEdit
                                                        : 0;
}

// An answered dialog still up after this long did not take its answer (a
// message left it open, say): it is cancelled, so that nothing waits for
// ever.
const DWORD kStuckMs = 10000;

struct Answered {
  HWND dialog;
  DWORD at;
  bool cancelled;
};

struct Answering {
  UINT_PTR timer = 0;
  bool busy = false;
  bool stuck = false;
  std::function<bool(HWND)> answer;
  std::vector<Answered> answered;
};

Answering& answering() {
  static Answering a;
  return a;
}

void CALLBACK onAnswerTick(HWND, UINT, UINT_PTR, DWORD now) {
  Answering& a = answering();
  if (a.busy || !a.answer) return;
  a.busy = true;
  for (Answered& done : a.answered) {
    if (!done.cancelled && now - done.at >= kStuckMs &&
        IsWindow(done.dialog) && IsWindowVisible(done.dialog) &&
        IsWindowEnabled(done.dialog)) {
      done.cancelled = true;
      a.stuck = true;
      PostMessageA(done.dialog, WM_COMMAND, IDCANCEL, 0);
    }
  }
  for (HWND dialog : dialogs()) {
    if (std::any_of(a.answered.begin(), a.answered.end(),
                    [&](const Answered& done) { return done.dialog == dialog; })) {
      continue;
    }
    if (!IsWindowVisible(dialog) || !IsWindowEnabled(dialog)) continue;
    // The answer may end the timer (stopAnswering): keep a copy.
    std::function<bool(HWND)> answer = a.answer;
    if (answer(dialog)) {
      a.answered.push_back({dialog, GetTickCount(), false});
      break;  // one a tick: the answer changes what is shown
    }
  }
  a.busy = false;
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

bool typeFileName(HWND dialog, const std::string& name) {
  // Both forms of the name field take WM_SETTEXT.
  int field = fileNameField(dialog);
  if (field == 0) return false;
  typeText(dialog, field, name);
  return true;
}

bool answerFileDialog(HWND dialog, const std::string& name) {
  if (!typeFileName(dialog, name)) return false;
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  return true;
}

bool isColourDialog(HWND dialog) {
  for (int id : kColourFields) {
    if (!hasControl(dialog, id, "Edit")) return false;
  }
  return true;
}

void typeColour(HWND dialog, uint32_t colour) {
  for (int i = 0; i < 3; ++i) {
    HWND field = GetDlgItem(dialog, kColourFields[i]);
    SetDlgItemInt(dialog, kColourFields[i], (colour >> (8 * i)) & 0xFF, FALSE);
    // The dialog takes a field's value when told that its text changed.
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kColourFields[i], EN_UPDATE),
                 reinterpret_cast<LPARAM>(field));
  }
}

bool isFileDialog(HWND dialog) { return fileNameField(dialog) != 0; }

bool isMessageBox(HWND dialog) {
  if (GetParent(dialog) != nullptr &&
      (GetWindowLongA(dialog, GWL_STYLE) & WS_CHILD) != 0) {
    return false;
  }
  for (int id : kMessageBoxTexts) {
    if (hasControl(dialog, id, "Static")) return true;
  }
  return false;
}

std::string messageBoxText(HWND dialog) {
  for (int id : kMessageBoxTexts) {
    if (hasControl(dialog, id, "Static")) return controlText(dialog, id);
  }
  return std::string();
}

bool messageBoxWarns(HWND dialog) {
  // The system's icons are shared: MessageBox shows the very handles that
  // LoadIcon gives for them.
  HANDLE icon = reinterpret_cast<HANDLE>(
      SendDlgItemMessageA(dialog, kMessageBoxIcon, STM_GETICON, 0, 0));
  return icon != nullptr &&
         (icon == LoadIconA(nullptr, IDI_EXCLAMATION) ||
          icon == LoadIconA(nullptr, IDI_HAND));
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

void answerDialogs(std::function<bool(HWND)> answer) {
  stopAnswering();
  Answering& a = answering();
  a.stuck = false;
  a.answer = std::move(answer);
  a.timer = SetTimer(nullptr, 0, 20, onAnswerTick);
}

void stopAnswering() {
  Answering& a = answering();
  if (a.timer != 0) KillTimer(nullptr, a.timer);
  a.timer = 0;
  a.answer = nullptr;
  a.answered.clear();
}

bool answerNotTaken() { return answering().stuck; }

}  // namespace robot
