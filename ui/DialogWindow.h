// The window of a ModuleDialog, as a backend provides it: the controls of
// the dialog's template, reached by control id. The dialog's behaviour
// (ui/) talks to its window only through this interface; the Win32 backend
// forwards each call to the control's window messages, the headless backend
// keeps the controls' state in memory for the robot to read and change.
//
// Control ids are those of the template; a call on a control the template
// does not have does nothing and reads as empty.

#ifndef MORVANE_UI_DIALOGWINDOW_H_
#define MORVANE_UI_DIALOGWINDOW_H_

#include <cstdint>
#include <string>
#include <vector>

#include "host/PluginIf.h"

class ModuleDialog;

struct WindowRect {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

struct WindowPoint {
  int32_t x;
  int32_t y;
};

class DialogWindow {
 public:
  virtual ~DialogWindow() = default;

  // Static texts, edit fields, button captions.
  virtual void setText(int32_t control, const std::string& text) = 0;
  virtual std::string text(int32_t control) const = 0;

  // Check boxes and radio buttons.
  virtual void setChecked(int32_t control, bool checked) = 0;
  virtual bool checked(int32_t control) const = 0;

  virtual void setEnabled(int32_t control, bool enabled) = 0;

  // Progress bars.
  virtual void setRange(int32_t control, int32_t minimum, int32_t maximum) = 0;
  virtual void setPosition(int32_t control, int32_t position) = 0;

  // List boxes and combo boxes: items with an item data value each.
  // addItem returns the new item's index (a sorted list inserts in order).
  virtual void clearItems(int32_t control) = 0;
  virtual int32_t addItem(int32_t control, const std::string& text,
                          uintptr_t data) = 0;
  virtual uintptr_t itemData(int32_t control, int32_t index) const = 0;
  // The selected items' indexes, ascending (a single-selection control has
  // at most one); setSelection selects the one item (-1: none).
  virtual std::vector<int32_t> selectedItems(int32_t control) const = 0;
  virtual void setSelection(int32_t control, int32_t index) = 0;

  // The window's outer rectangle and the primary screen, in pixels.
  virtual WindowRect outerRect() const = 0;
  virtual void screenSize(int32_t* width, int32_t* height) const = 0;
  // Moves the window, its size unchanged, and repaints it.
  virtual void moveTo(int32_t left, int32_t top) = 0;

  // Ends a modal run with the result (ignored by a modeless window).
  virtual void endDialog(int32_t result) = 0;

  // What the side panel and its rows need of their windows. The defaults do
  // nothing and read as empty, for a backend that has no such windows.
  //
  // The window's own handle (an HWND on Windows): the parent of the child
  // windows made inside it, and the owner of dialogs it opens.
  virtual VpiWindow handle() const { return nullptr; }
  // The window's parent (GetParent), or null.
  virtual VpiWindow parent() const { return nullptr; }
  // The client area's rectangle; left and top are 0 (GetClientRect).
  virtual WindowRect clientRect() const { return {0, 0, 0, 0}; }
  // A control's outer rectangle in screen coordinates (GetWindowRect of the
  // control).
  virtual WindowRect controlScreenRect(int32_t control) const {
    (void)control;
    return {0, 0, 0, 0};
  }
  // Screen coordinates to the client coordinates of this window, or of
  // another window (ScreenToClient, MapWindowPoints).
  virtual WindowRect screenToClient(const WindowRect& rect) const {
    return rect;
  }
  virtual WindowPoint screenToClientOf(VpiWindow window,
                                       WindowPoint point) const {
    (void)window;
    return point;
  }
  // Moves a child window without resizing it and without changing the Z
  // order, to x, y in its parent's client coordinates (SetWindowPos with
  // SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE).
  virtual void placeAt(int32_t x, int32_t y) {
    (void)x;
    (void)y;
  }
  // To the top of the Z order among its siblings (BringWindowToTop).
  virtual void bringToTop() {}
  // The cursor position in screen coordinates (GetCursorPos).
  virtual WindowPoint cursorPosition() const { return {0, 0}; }
  // Posts a message to a window (PostMessageA); does not wait.
  virtual void postMessage(VpiWindow window, uint32_t message,
                           uintptr_t wParam, intptr_t lParam) {
    (void)window;
    (void)message;
    (void)wParam;
    (void)lParam;
  }
  // Invalidates a control with erasing and repaints it at once
  // (InvalidateRect(control, NULL, TRUE), UpdateWindow).
  virtual void redrawControl(int32_t control) { (void)control; }
};

// What the backend does for ModuleDialog (each with the module's resources
// current, see ModuleDialog). The window runs the dialog's initialisation
// before the call returns.
//
// createDialogWindow: a modeless window from the dialog's template, visible;
// a template with the child style makes a child of owner;
// null when it cannot be made. The window lives until destroyDialogWindow.
DialogWindow* createDialogWindow(ModuleDialog& dialog, VpiWindow owner);
void destroyDialogWindow(DialogWindow* window);
// runDialogWindow: a modal run; returns the result the dialog ended with
// (2, Cancel, when it was closed without one), -1 when it could not be made.
int32_t runDialogWindow(ModuleDialog& dialog, VpiWindow owner);

#endif  // MORVANE_UI_DIALOGWINDOW_H_
