// The headless user interface of the native build: message boxes are
// recorded (and echoed on stderr in UTF-8), dialog windows keep the state of
// their controls in memory and register themselves while they exist, and a
// scripted robot works their controls the way a person would: clicks at
// chosen message pumps for modeless dialogs, a hook that answers each modal
// dialog when it is shown.

#ifndef MORVANE_UI_HEADLESS_HEADLESSUI_H_
#define MORVANE_UI_HEADLESS_HEADLESSUI_H_

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/MessageBox.h"
#include "ui/DialogWindow.h"
#include "ui/ModuleDialog.h"
#include "ui/ResourceModule.h"
#include "ui/headless/DrawingHeadless.h"

class ModuleDialog;

namespace headless {

struct RecordedMessage {
  std::string text;  // Shift-JIS, as the module passed it
  MessageIcon icon;
};

// Every message box shown since the last resetUi(), in order
// (MessageBoxHeadless.cpp, which shows them).
const std::vector<RecordedMessage>& messages();
// Forgets them; resetUi() calls it.
void forgetMessages();

// Whether message boxes are echoed on stderr (default on). Observers (see
// below) read it too, to keep quiet when the messages are.
void setEcho(bool echo);
bool echo();

// What a person would see of one control, and what the robot may change
// before it clicks (texts, check marks, selections).
struct ListItem {
  std::string text;
  uintptr_t data = 0;
  bool selected = false;
};
struct Control {
  std::string text;
  bool checked = false;
  bool enabled = true;
  int32_t rangeMinimum = 0;
  int32_t rangeMaximum = 100;
  int32_t position = 0;
  std::vector<int32_t> positions;  // every position set, in order
  std::vector<ListItem> items;  // in list order
  int32_t redraws = 0;  // invalidated and repainted at once
};

// A message posted to a window (PostMessageA), in order.
struct PostedMessage {
  VpiWindow window;
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
};

// The headless window of a ModuleDialog. The headless screen is 1024 x 768
// pixels and a top-level window's outer rectangle starts as 0, 0, 0, 0. A
// child (a template with WS_CHILD) starts at 0, 0 with its template's size,
// a dialog unit taken as 1.5 pixels, and is placed in its parent's client
// coordinates; a window's client area is its outer rectangle (no frame),
// and the client area of its parent is taken to start at the screen's
// origin. Controls start from the template: their rectangles, and the
// combo box items of the template's initialisation data. setScreenSize and
// setWindowSize (below) change the screen and a top-level window's size.
class Window : public DialogWindow {
 public:
  Window(ModuleDialog& dialog, VpiWindow owner, bool modal);

  ModuleDialog& dialog() const { return dialog_; }
  int32_t templateId() const;
  VpiWindow owner() const { return owner_; }
  bool modal() const { return modal_; }
  // The resource module that was current when the window was made.
  ResourceModule resources() const { return resources_; }
  // The control's state, made on first use.
  Control& control(int32_t id) { return controls_[id]; }
  bool ended() const { return ended_; }
  int32_t result() const { return result_; }

  // Robot: a button's click (BN_CLICKED), a list's or combo box's selection
  // change; a disabled control takes no click. Both go to the dialog's
  // message table.
  void click(int32_t controlId);
  void changeSelection(int32_t controlId);
  // Robot: any other message to the dialog's table, with its payload.
  bool send(uint32_t message, int32_t controlId = 0,
            MessageArgs* args = nullptr);
  // Robot: the owner-draw request Windows would send for the control, at
  // its rectangle; returns what the dialog drew.
  std::vector<DrawOp> drawItem(int32_t controlId, uint32_t action,
                               uint32_t state);
  // Changes the window's size, as a user or a larger font would.
  void setOuterSize(int32_t width, int32_t height);
  // A control's rectangle in the window's client coordinates (pixels).
  WindowRect controlRect(int32_t id) const;

  void setText(int32_t control, const std::string& text) override;
  std::string text(int32_t control) const override;
  void setChecked(int32_t control, bool checked) override;
  bool checked(int32_t control) const override;
  void setEnabled(int32_t control, bool enabled) override;
  void setRange(int32_t control, int32_t minimum, int32_t maximum) override;
  void setPosition(int32_t control, int32_t position) override;
  void clearItems(int32_t control) override;
  int32_t addItem(int32_t control, const std::string& text,
                  uintptr_t data) override;
  uintptr_t itemData(int32_t control, int32_t index) const override;
  std::vector<int32_t> selectedItems(int32_t control) const override;
  void setSelection(int32_t control, int32_t index) override;
  WindowRect outerRect() const override { return rect_; }
  void screenSize(int32_t* width, int32_t* height) const override;
  void moveTo(int32_t left, int32_t top) override;
  void endDialog(int32_t result) override;
  VpiWindow handle() const override { return const_cast<Window*>(this); }
  VpiWindow parent() const override { return owner_; }
  WindowRect clientRect() const override;
  WindowRect controlScreenRect(int32_t control) const override;
  WindowRect screenToClient(const WindowRect& rect) const override;
  WindowPoint screenToClientOf(VpiWindow window,
                               WindowPoint point) const override;
  void placeAt(int32_t x, int32_t y) override { moveTo(x, y); }
  void bringToTop() override { ++broughtToTop; }
  WindowPoint cursorPosition() const override;
  void postMessage(VpiWindow window, uint32_t message, uintptr_t wParam,
                   intptr_t lParam) override;
  void redrawControl(int32_t control) override { ++controls_[control].redraws; }

  // Times bringToTop was called.
  int32_t broughtToTop = 0;

  // Set once the initialisation has run and the window is on the screen.
  bool shown = false;

 private:
  const Control* find(int32_t id) const;

  ModuleDialog& dialog_;
  VpiWindow owner_;
  bool modal_;
  ResourceModule resources_;
  std::map<int32_t, Control> controls_;
  std::map<int32_t, WindowRect> controlRects_;
  WindowRect rect_ = {0, 0, 0, 0};
  bool ended_ = false;
  int32_t result_ = 0;
};

// The headless window of a dialog, or null when it has none.
Window* windowOf(const ModuleDialog& dialog);

// The newest live window made from the template, or null.
Window* findDialog(int32_t templateId);
// Every live window made from the template, oldest first (as a host finds
// the module's windows by enumerating them).
std::vector<Window*> findDialogs(int32_t templateId);

// The cursor's screen position (starts at 0, 0).
void setCursorPosition(WindowPoint point);
// Where the client area of a window that is not a headless dialog (the
// host's panel parent) starts on the screen (default 0, 0).
void setClientOrigin(VpiWindow window, WindowPoint origin);
// Messages posted by the module's windows since the last resetUi().
const std::vector<PostedMessage>& postedMessages();

// Robot, modeless dialogs: at the given message pump (1 = the first VPI_Pump
// after the script was set), click the control of the newest window made
// from the template. A click whose window does not exist then is dropped.
void scheduleClick(int32_t pumpNumber, int32_t templateId, int32_t controlId);
// Runs whatever the robot has for this pump; called by the host's pump.
void dispatchPending(int32_t pumpNumber);

// Robot, modal dialogs: called with each modal window once its
// initialisation has run. The hook reads and sets controls, clicks, and ends
// the dialog (endDialog, or a click on a button that ends it). A dialog the
// hook leaves running, or shown with no hook, ends as cancelled (2).
void onModalDialog(std::function<void(Window&)> hook);

// Watches the windows and message boxes, for a program that shows them its
// own way (the command-line host's progress line). Each call comes after
// the change it reports; messageShown comes before the message is echoed.
class Observer {
 public:
  virtual ~Observer() = default;
  virtual void windowShown(Window& /*window*/) {}
  virtual void positionSet(Window& /*window*/, int32_t /*control*/,
                           int32_t /*previous*/) {}
  virtual void windowDestroyed(Window& /*window*/) {}
  virtual void messageShown(const RecordedMessage& /*message*/) {}
};
// One observer (or null); not owned, not forgotten by resetUi().
void setObserver(Observer* observer);
Observer* observer();

// The screen, and the outer size of the windows made from now on (their
// rectangle starts at 0, 0), as the window's initialisation sees them; both
// back to 1024 x 768 and 0 x 0 at resetUi().
void setScreenSize(int32_t width, int32_t height);
void setWindowSize(int32_t width, int32_t height);

// The resource modules of the headless build: the host's is current until a
// dialog switches to the module's.
extern const ResourceModule kHostResources;
extern const ResourceModule kModuleResources;

// Forgets messages, windows, the robot's script and hook, the cursor, the
// posted messages, the drawing state (DrawingHeadless.h), and makes the
// host's resources current again.
void resetUi();

}  // namespace headless

#endif  // MORVANE_UI_HEADLESS_HEADLESSUI_H_
