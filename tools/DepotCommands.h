// The depot commands of both host programs, written once over a robot
// (tools/DepotRobot.h): each works the module's menus, dialogs and side
// panel as a user does and prints what the user then sees.
//
//   open FILE.e00...    the open command: the reopen dialog answered with
//                       "read new", the file dialog with FILE
//   reopen NAME...      the open command: the reopen dialog answered with
//                       the named depot items (a name twice: a second run)
//   close NAME...       the close command: its dialog answered with the
//   delete NAME...      named data sets and Close or Delete
//   set NAME ...        the row of the open data set NAME: its check box,
//                       width combo box and colour dialog
//   list                the panel's rows, then the depot items
//   names FILE.e00      the place-name command: the file dialog answered
//                       with FILE; the count of names it reports is the
//                       result
//
// The lines printed (tab-separated, names in UTF-8):
//
//   opened    ROW  NAME          reopened  ROW  NAME
//   closed    NAME               deleted   NAME
//   open      ROW  NAME  visible=V  colour=RRGGBB  width=W  showIn3d=S
//   item      ID   TITLE  FILE
//
// The panel does not show row ids: the module numbers the data sets it
// registers 1, 2, 3, ... while it is loaded, each with its row at once, so
// rows are numbered in the order they are first seen. A row gone since the
// last look forgets its number, so that a new row whose window reuses the
// old one's handle is a new row.
//
// The messages shown are printed on err ("error: TEXT" for a warning,
// "info: TEXT" otherwise), but for the count names prints on out. Each
// command returns its exit code: 0 done, 1 not (said on err).

#ifndef MORVANE_TOOLS_DEPOTCOMMANDS_H_
#define MORVANE_TOOLS_DEPOTCOMMANDS_H_

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "tools/DepotArguments.h"
#include "tools/DepotRobot.h"

class DepotCommands {
 public:
  // robot must outlive this.
  DepotCommands(DepotRobot& robot, FILE* out, FILE* err)
      : robot_(robot), out_(out), err_(err) {}

  // files as the command line gives them (native, UTF-8).
  int open(const std::vector<std::string>& files);
  // names in Shift-JIS (moduleNames).
  int reopen(std::vector<std::string> names);
  int close(const std::vector<std::string>& names, bool remove);
  int set(const std::string& name, const RowChange& change);
  int list();
  // file as the command line gives it (native, UTF-8). 0 when the module
  // reported a count and warned of nothing.
  int names(const std::string& file);

  // A row of the panel with its number.
  struct Row {
    PanelRow view;
    int32_t id;
  };
  // The panel's rows, top to bottom, each numbered at first sight.
  std::vector<Row> rows();

  // Prints the messages shown since the last call; true when one warned.
  // With informationIsResult the others are the command's result, printed
  // on out, and *resultShown tells whether there was one.
  bool reportMessages(bool informationIsResult = false,
                      bool* resultShown = nullptr);

 private:
  std::vector<Row> newRows(const std::vector<Row>& before);
  void printRow(const Row& row, bool in3d);

  DepotRobot& robot_;
  FILE* out_;
  FILE* err_;
  std::map<const void*, int32_t> ids_;
  int32_t seen_ = 0;
};

#endif  // MORVANE_TOOLS_DEPOTCOMMANDS_H_
