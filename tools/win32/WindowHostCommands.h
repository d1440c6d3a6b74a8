// morvane-window-host's work: one whole run of the Windows host program
// (its window, a host session with the module loaded, then Close and
// Release), with the commands of morvane-host played on the real windows as
// a user plays them: the module's menus chosen from the menu bar, its
// dialogs and the system's (file, colour, message boxes) answered by the
// window robot (tools/win32/DialogRobot.h), the side panel's rows read and
// worked through their controls.
//
//   open FILE.e00...    the open command; the reopen dialog, when the depot
//                       folder exists, answered with "read new", then the
//                       file dialog with FILE
//   reopen NAME...      the open command; the reopen dialog answered with
//                       the named depot items (a name twice: a second run)
//   close NAME...       the close command; its dialog answered with the
//   delete NAME...      named data sets and Close or Delete
//   names FILE.e00      the place-name command; the file dialog with FILE
//   set NAME [--colour RRGGBB] [--width N] [--visible 0|1]
//                       the row of the open data set NAME: its show check
//                       box, width combo box and colour dialog
//   list                the panel's rows, then the depot items
//
// The depot commands are morvane-host's, written once (tools/DepotCommands.h)
// over this program's robot: the same lines, the same exit codes.
//
// The module's messages are printed on the error stream ("error: TEXT" for
// an exclamation or stop icon, "info: TEXT" otherwise), except that names
// prints the information it shows (the count of names read) as its result.

#ifndef MORVANE_TOOLS_WIN32_WINDOWHOSTCOMMANDS_H_
#define MORVANE_TOOLS_WIN32_WINDOWHOSTCOMMANDS_H_

#include <cstdio>
#include <string>
#include <vector>

struct WindowHostOptions {
  std::string home;    // the host's home folder; empty: the host's default
  std::string module;  // the module to load; empty: none
  std::string map;     // a data set drawn over the map by the program
  std::string screenshot;  // saved after the command
  // Saved while the first dialog the robot answers is open, its answer
  // typed in, just before it is confirmed.
  std::string dialogScreenshot;
  std::vector<std::string> menus;  // command titles (Shift-JIS) to choose
  std::string command;             // empty: none
  std::vector<std::string> args;   // the command's arguments, UTF-8
};

// Reads the program's arguments (UTF-8, without the program's name): the
// options, then at most one command with its arguments. False, after
// printing why on err, when they are wrong.
bool parseWindowHostArguments(const std::vector<std::string>& args,
                              WindowHostOptions* options, FILE* err);

// One run of the host program as options say; results on out, messages on
// err. Returns the exit code: 0 success, 1 the work failed (said on err), 2
// the command's arguments were wrong. Without a screenshot and without a
// command it runs until the window is closed.
int runWindowHost(const WindowHostOptions& options, FILE* out, FILE* err);

// The Morvane.vpl beside this program.
std::string defaultWindowHostModule();

#endif  // MORVANE_TOOLS_WIN32_WINDOWHOSTCOMMANDS_H_
