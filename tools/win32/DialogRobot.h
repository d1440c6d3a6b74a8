// A robot for real windows (under Wine), used by the tests and by the
// Windows host program: it finds the dialogs of this thread, the module's
// and the system's (class "#32770": the file and colour dialogs, message
// boxes), and works their controls as a user would, only through window
// messages to the controls and their dialog, never by calling into the
// objects behind them.
//
// Modeless dialogs are found at once (findDialog). A modal dialog runs its
// own message loop until it ends, so the robot reaches it from inside that
// loop: whenDialogShown arms a thread timer that looks for the new dialog at
// each tick and runs a script on it once; answerDialogs keeps a timer
// answering every dialog that comes up until it is stopped.

#ifndef MORVANE_TOOLS_WIN32_DIALOGROBOT_H_
#define MORVANE_TOOLS_WIN32_DIALOGROBOT_H_

#include <windows.h>

#include <cstdint>
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
// (typeFileName), and then presses Open (IDOK, posted: answerFileDialog).
// False when the dialog has no such field.
bool typeFileName(HWND dialog, const std::string& name);
bool answerFileDialog(HWND dialog, const std::string& name);

// The system's colour dialog (ChooseColor): whether the dialog is one (it
// has the red, green and blue fields), and the colour (0x00BBGGRR) typed
// into them, each field told of its new text (EN_UPDATE) as typing does.
// Confirming is the caller's click on OK.
bool isColourDialog(HWND dialog);
void typeColour(HWND dialog, uint32_t colour);

// Whether the dialog is the system's open-file dialog (it has the file name
// field).
bool isFileDialog(HWND dialog);

// A message box (MessageBox): whether the dialog is one (a top-level dialog
// with the message text field), its text, and whether its icon is the
// exclamation (warning) or the stop (error) sign.
bool isMessageBox(HWND dialog);
std::string messageBoxText(HWND dialog);
bool messageBoxWarns(HWND dialog);

// Runs script once on the first dialog that is shown after this call and
// that matches (every dialog when matches is null), from inside the modal
// loop that shows it. Gives up after timeoutMs: then the newest dialog is
// cancelled (IDCANCEL), so that a test fails instead of hanging.
void whenDialogShown(std::function<bool(HWND)> matches,
                     std::function<void(HWND)> script, int timeoutMs = 5000);
// Whether the last script armed has run, and whether the robot gave up.
bool scriptRan();
bool gaveUp();

// From now until stopAnswering, a thread timer offers every visible,
// enabled dialog of this thread that was not answered yet to answer, at
// each tick, from inside whatever message loop runs (a modal dialog's, a
// message box's, the host's pump). answer returns true when it dealt with
// the dialog, which is then not offered again; it must not block: it posts
// the clicks that end or open dialogs. The timer does not call answer again
// while answer runs, so answer may pump messages itself.
// A dialog still shown ten seconds after its answer is cancelled
// (IDCANCEL), so that a command never waits for ever; answerNotTaken says
// whether that happened since answerDialogs.
void answerDialogs(std::function<bool(HWND)> answer);
void stopAnswering();
bool answerNotTaken();

}  // namespace robot

#endif  // MORVANE_TOOLS_WIN32_DIALOGROBOT_H_
