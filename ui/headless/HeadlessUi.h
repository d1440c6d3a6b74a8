// The headless user interface of the native build: message boxes are
// recorded (and echoed on stderr in UTF-8), dialogs register themselves while
// they exist, and a scripted robot clicks their controls at chosen moments,
// the way a person would click while the host pumps messages.

#ifndef MORVANE_UI_HEADLESS_HEADLESSUI_H_
#define MORVANE_UI_HEADLESS_HEADLESSUI_H_

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/MessageBox.h"

namespace headless {

struct RecordedMessage {
  std::string text;  // Shift-JIS, as the module passed it
  MessageIcon icon;
};

// Every message box shown since the last resetUi(), in order.
const std::vector<RecordedMessage>& messages();

// Whether message boxes and progress are echoed on stderr (default on).
void setEcho(bool echo);
bool echo();

// Progress is echoed on one stderr line, rewritten in place; the line is
// ended before anything else is echoed, and when its dialog goes away.
// setProgressEcho(false) keeps messages but not progress (for logs, where
// a line rewritten in place is noise).
void setProgressEcho(bool echo);
bool progressEcho();
void setProgressLineOpen(bool open);
void endProgressLine();

// A dialog of the headless backend, alive between its creation and its
// destruction.
class Dialog {
 public:
  virtual ~Dialog() = default;
  virtual int32_t templateId() const = 0;
  // Delivers a click on the control (a button's BN_CLICKED).
  virtual void click(int32_t controlId) = 0;
};

void registerDialog(Dialog* dialog);
void unregisterDialog(Dialog* dialog);

// The newest live dialog made from the template, or null.
Dialog* findDialog(int32_t templateId);

// Robot: at the given message pump (1 = the first VPI_Pump after the script
// was set), click the control of the newest dialog made from the template.
// A click whose dialog does not exist at that pump is dropped.
void scheduleClick(int32_t pumpNumber, int32_t templateId, int32_t controlId);

// Runs whatever the robot has for this pump; called by the host's pump.
void dispatchPending(int32_t pumpNumber);

// Forgets messages, dialogs and the robot's script.
void resetUi();

}  // namespace headless

#endif  // MORVANE_UI_HEADLESS_HEADLESSUI_H_
