// A robot for tests on real windows (under Wine): it finds the dialogs of
// this thread, the module's and the system's (class "#32770": the file and
// colour dialogs), and works their controls as a user would, only through
// window messages to the controls and their dialog, never by calling into
// the objects behind them.
//
// Modeless dialogs are found at once (findDialog). A modal dialog runs its
// own message loop until it ends, so the robot reaches it from inside that
// loop: whenDialogShown arms a thread timer that looks for the new dialog at
// each tick and runs a script on it once.

#ifndef MORVANE_TESTS_WIN32_DIALOGROBOT_H_
#define MORVANE_TESTS_WIN32_DIALOGROBOT_H_

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace robot {

// The dialogs (class "#32770") of this thread, top-level ones and the ones
// inside other windows (panels), in the order the system enumerates them.
std::vector<HWND> dialogs();

// The first dialog of this thread with a control of this id whose class is
// controlClass (case-insensitive), or null.
HWND findDialog(int controlId, const char* controlClass);

// The text of a window or of a dialog's control (Shift-JIS).
std::string windowText(HWND window);
std::string controlText(HWND dialog, int controlId);

// A click on a button: BM_CLICK, sent (handled before the call returns) or
// posted (handled when the thread's queue is next pumped).
void click(HWND dialog, int controlId);
void postClick(HWND dialog, int controlId);
// Selects the items of a list box (LB_SETSEL for a multiple-selection one,
// LB_SETCURSEL otherwise) and tells the dialog (LBN_SELCHANGE), as a click
// in the list does.
void selectListItems(HWND dialog, int controlId, const std::vector<int>& items);
// Selects a combo box's item and tells the dialog (CBN_SELCHANGE).
void selectComboItem(HWND dialog, int controlId, int index);
// Types into an edit control (WM_SETTEXT).
void typeText(HWND dialog, int controlId, const std::string& text);

// The system's open-file dialog: types the name into its file name field
// and presses Open (IDOK). False when the dialog has no such field.
bool answerFileDialog(HWND dialog, const std::string& name);

// Runs script once on the first dialog that is shown after this call and
// that matches (every dialog when matches is null), from inside the modal
// loop that shows it. Gives up after timeoutMs: then the newest dialog is
// cancelled (IDCANCEL), so that a test fails instead of hanging.
void whenDialogShown(std::function<bool(HWND)> matches,
                     std::function<void(HWND)> script, int timeoutMs = 5000);
// Whether the last script armed has run, and whether the robot gave up.
bool scriptRan();
bool gaveUp();

}  // namespace robot

#endif  // MORVANE_TESTS_WIN32_DIALOGROBOT_H_
