// What a user does and sees while playing the depot commands in a host
// with the module loaded: the module's open and close commands chosen from
// its menus, their dialogs answered, the side panel's rows read and worked,
// and the messages shown. The host programs give one robot each: the
// headless one natively (tools/HeadlessDepotRobot.h), the window robot on
// real windows under Windows (tools/win32/WindowHostCommands.cpp). The
// commands themselves are written once over it (tools/DepotCommands.h).

#ifndef MORVANE_TOOLS_DEPOTROBOT_H_
#define MORVANE_TOOLS_DEPOTROBOT_H_

#include <cstdint>
#include <string>
#include <vector>

// The module's commands, as their menu items name them: the open and the
// close command on the depot, and the place-name command.
enum class DepotMenu { kOpen, kClose, kPlaceNames };

enum class MenuOutcome { kRan, kGreyed, kMissing };

// How the dialogs of one command are answered.
struct DialogAnswers {
  // The file dialog: the path typed in (a module path, Shift-JIS); empty:
  // Cancel.
  std::string file;
  // The reopen dialog: "read new", the entries named by names with OK, or
  // Cancel.
  enum class Reopen { kReadNew, kChoose, kCancel } reopen = Reopen::kCancel;
  // The close dialog: the entries named by names with OK (kClose) or
  // Delete, or Cancel.
  enum class Close { kClose, kDelete, kCancel } close = Close::kCancel;
  // Shift-JIS, each taking the first entry of that text not yet taken.
  std::vector<std::string> names;
};

// One row of the side panel, as it shows.
struct PanelRow {
  const void* window;  // the row's window; the same while the row lives
  std::string title;   // Shift-JIS
  int visible;         // the check box
  int width;           // 1 to 5; 0 when the combo box shows none
  uint32_t colour;     // 0x00BBGGRR, as the swatch is painted
};

// A message box the module showed.
struct ShownMessage {
  std::string text;  // Shift-JIS
  bool warns;        // an exclamation (or stop) icon
};

class DepotRobot {
 public:
  virtual ~DepotRobot() = default;

  // Chooses the command from the module's menu and answers its dialogs as
  // answers says (the place-name command has only the file dialog);
  // returns when the command has ended. kGreyed: the item was greyed (the
  // close command while nothing is open).
  // *namesMissing is set when a dialog listing entries lacked one of
  // answers.names (that dialog was then cancelled).
  virtual MenuOutcome choose(DepotMenu menu, const DialogAnswers& answers,
                             bool* namesMissing) = 0;

  // The panel's rows, top to bottom as the list stacks them.
  virtual std::vector<PanelRow> panelRows() = 0;
  // The panel's one "show in 3D" switch.
  virtual bool showIn3d() = 0;

  // A row worked as a user works it: its check box set to visible, its
  // width combo box to width (1 to 5), its swatch clicked and the colour
  // dialog answered with colour (0x00BBGGRR) and OK.
  virtual void setVisible(const PanelRow& row, bool visible) = 0;
  virtual void setWidth(const PanelRow& row, int width) = 0;
  virtual void setColour(const PanelRow& row, uint32_t colour) = 0;

  // The messages shown since the last call, in order.
  virtual std::vector<ShownMessage> takeMessages() = 0;

  // A depot item's file (a module path, Shift-JIS) as list prints it
  // (UTF-8).
  virtual std::string printedPath(const char* file) = 0;
};

#endif  // MORVANE_TOOLS_DEPOTROBOT_H_
