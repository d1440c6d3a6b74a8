// morvane-host open, reopen, close, delete, set, list and names: each
// invocation one whole run of the host with the module loaded (Init, Load,
// the first 2D draw that brings back the reopen list, the commands through
// the module's menus, then Close and Release, which write every cache
// file, the reopen list and the profile value "Load"), the commands played
// by DepotCommands over the headless robot.

#include "tools/HeadlessDepotRobot.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "resources/DialogIds.h"
#include "standin/StandinNameDb.h"
#include "tools/Commands.h"
#include "tools/DepotArguments.h"
#include "tools/DepotCommands.h"
#include "ui/headless/DrawingHeadless.h"
#include "ui/headless/FileDialogHeadless.h"
#include "ui/headless/HeadlessUi.h"

namespace {

headless::Window& windowOf(const PanelRow& row) {
  return *const_cast<headless::Window*>(
      static_cast<const headless::Window*>(row.window));
}

// The colour the swatch button is painted with: the last fill of its
// owner-draw, inside the frames.
uint32_t swatchColour(headless::Window& row) {
  uint32_t colour = 0;
  for (const headless::DrawOp& op :
       row.drawItem(layer_row::kColourButton, kDrawActionEntire, 0)) {
    if (op.kind == headless::DrawOp::kFill) colour = op.colour;
  }
  return colour;
}

// Selects the entries of the list whose texts are names (each name once:
// the first entry not yet taken); false when one is not in the list.
bool selectNames(headless::Window& w, int32_t list,
                 const std::vector<std::string>& names) {
  std::vector<headless::ListItem>& items = w.control(list).items;
  for (const std::string& name : names) {
    bool found = false;
    for (headless::ListItem& item : items) {
      if (!item.selected && item.text == name) {
        item.selected = true;
        found = true;
        break;
      }
    }
    if (!found) return false;
  }
  return true;
}

// Answers the reopen or the close dialog; a dialog for another template,
// or one left unanswered, ends as cancelled.
void answerDialog(headless::Window& w, const DialogAnswers& answers,
                  bool* namesMissing) {
  if (w.templateId() == kReopenDialogTemplate) {
    if (answers.reopen == DialogAnswers::Reopen::kReadNew) {
      w.control(reopen_dialog::kOpenPreviousRadio).checked = false;
      w.control(reopen_dialog::kReadNewRadio).checked = true;
      w.click(reopen_dialog::kReadNewRadio);
      w.click(reopen_dialog::kOk);
    } else if (answers.reopen == DialogAnswers::Reopen::kChoose) {
      if (selectNames(w, reopen_dialog::kListBox, answers.names)) {
        w.click(reopen_dialog::kOk);
      } else {
        *namesMissing = true;
      }
    }
  } else if (w.templateId() == kCloseDataDialogTemplate &&
             answers.close != DialogAnswers::Close::kCancel) {
    if (selectNames(w, close_data_dialog::kListBox, answers.names)) {
      w.click(answers.close == DialogAnswers::Close::kDelete
                  ? close_data_dialog::kDeleteButton
                  : close_data_dialog::kOk);
    } else {
      *namesMissing = true;
    }
  }
}

}  // namespace

MenuOutcome HeadlessDepotRobot::choose(DepotMenu menu,
                                       const DialogAnswers& answers,
                                       bool* namesMissing) {
  *namesMissing = false;
  headless::onModalDialog([&answers, namesMissing](headless::Window& w) {
    answerDialog(w, answers, namesMissing);
  });
  if (!answers.file.empty()) headless::answerFileDialog(answers.file);
  standin::MenuResult result = session_.invokeMenu(
      menu == DepotMenu::kOpen    ? kOpenMenuItem
      : menu == DepotMenu::kClose ? kCloseMenuItem
                                  : kPlaceNamesMenuItem);
  headless::onModalDialog(nullptr);
  switch (result) {
    case standin::MenuResult::kRan:
      return MenuOutcome::kRan;
    case standin::MenuResult::kDisabled:
      return MenuOutcome::kGreyed;
    case standin::MenuResult::kUnknown:
      break;
  }
  return MenuOutcome::kMissing;
}

std::vector<PanelRow> HeadlessDepotRobot::panelRows() {
  std::vector<headless::Window*> windows =
      headless::findDialogs(kLayerRowTemplate);
  // The list stacks its rows in order, scrolled or not.
  std::stable_sort(windows.begin(), windows.end(),
                   [](headless::Window* a, headless::Window* b) {
                     return a->outerRect().top < b->outerRect().top;
                   });
  std::vector<PanelRow> rows;
  for (headless::Window* w : windows) {
    std::vector<int32_t> width = w->selectedItems(layer_row::kWidthCombo);
    rows.push_back({w, w->text(layer_row::kTitle),
                    w->checked(layer_row::kShowCheck) ? 1 : 0,
                    width.empty() ? 0 : width.front() + 1, swatchColour(*w)});
  }
  return rows;
}

bool HeadlessDepotRobot::showIn3d() {
  headless::Window* panel = headless::findDialog(kLayerPanelTemplate);
  return panel != nullptr && panel->checked(layer_panel::kShowIn3dCheck);
}

void HeadlessDepotRobot::setVisible(const PanelRow& row, bool visible) {
  headless::Window& w = windowOf(row);
  w.control(layer_row::kShowCheck).checked = visible;
  w.click(layer_row::kShowCheck);
}

void HeadlessDepotRobot::setWidth(const PanelRow& row, int width) {
  headless::Window& w = windowOf(row);
  w.setSelection(layer_row::kWidthCombo, width - 1);
  w.changeSelection(layer_row::kWidthCombo);
}

void HeadlessDepotRobot::setColour(const PanelRow& row, uint32_t colour) {
  headless::onColourDialog([colour](uint32_t*, uint32_t* chosen) {
    *chosen = colour;
    return true;
  });
  windowOf(row).click(layer_row::kColourButton);
  headless::onColourDialog(nullptr);
}

std::vector<ShownMessage> HeadlessDepotRobot::takeMessages() {
  std::vector<ShownMessage> taken;
  const std::vector<headless::RecordedMessage>& shown = headless::messages();
  for (; reported_ < shown.size(); ++reported_) {
    taken.push_back({shown[reported_].text,
                     shown[reported_].icon == MessageIcon::kExclamation});
  }
  return taken;
}

std::string HeadlessDepotRobot::printedPath(const char* file) {
  return hostPath(file);
}

namespace {

int usage(const char* command, const char* what) {
  std::fprintf(stderr, "usage: morvane-host %s %s\n", command, what);
  return 2;
}

int depotCommand(const HostOptions& options, const std::string& command,
                 const Arguments& args) {
  const bool isList = command == "list";
  const bool isSet = command == "set";
  std::string setName;
  RowChange change;
  if (isSet &&
      !parseRowChange("morvane-host", args, &setName, &change, stderr)) {
    return 2;
  }
  if (!isSet && (isList ? !args.empty() : args.empty())) {
    return usage(command.c_str(), isList        ? ""
                                  : command == "open" ? "FILE.e00..."
                                                      : "NAME...");
  }
  for (const std::string& arg : args) {
    if (!isSet && (arg.empty() || arg[0] == '-')) {
      std::fprintf(stderr, "%s: unknown option %s\n", command.c_str(),
                   arg.c_str());
      return 2;
    }
  }
  std::vector<std::string> names;
  if (command != "open" && !isList && !isSet &&
      !moduleNames(command.c_str(), args, &names, stderr)) {
    return 2;
  }
  if (options.module.empty()) {
    std::fprintf(stderr, "morvane-host: no module to load (--module)\n");
    return 1;
  }
  headless::resetUi();
  headless::setEcho(false);
  ToolSession session;
  HeadlessDepotRobot robot(session);
  DepotCommands commands(robot, stdout, stderr);
  // Its first map draw brings back the reopen list.
  if (!session.start(options)) return 1;
  int status = 0;
  if (command == "open") status = commands.open(args);
  if (command == "reopen") status = commands.reopen(names);
  if (command == "close" || command == "delete") {
    status = commands.close(names, command == "delete");
  }
  if (isSet) status = commands.set(setName, change);
  if (isList) status = commands.list();
  if (command == "names") status = commands.names(args[0]);
  // Close writes the cache files and the reopen list; what it could not
  // write it showed as a message.
  bool stopped = session.stop();
  if (commands.reportMessages()) status = 1;
  if (command == "names") {
    // The host's own failures: names it could not keep (the count printed
    // says how many it did keep), or a database it could not save.
    bool saved = standin::saveNameDb();
    std::string error = standin::nameDbError();
    if (!error.empty() || !saved) {
      std::fprintf(stderr, "names: %s; %s is as the names kept left it\n",
                   error.empty() ? "cannot save the place names"
                                 : error.c_str(),
                   standin::nameDbPath().c_str());
      status = 1;
    }
  }
  if (!stopped) status = 1;
  return status;
}

}  // namespace

int openDepotCommand(const HostOptions& o, const Arguments& a) {
  return depotCommand(o, "open", a);
}
int reopenDepotCommand(const HostOptions& o, const Arguments& a) {
  return depotCommand(o, "reopen", a);
}
int closeDepotCommand(const HostOptions& o, const Arguments& a) {
  return depotCommand(o, "close", a);
}
int deleteDepotCommand(const HostOptions& o, const Arguments& a) {
  return depotCommand(o, "delete", a);
}
int setDepotCommand(const HostOptions& o, const Arguments& a) {
  return depotCommand(o, "set", a);
}
int listDepotCommand(const HostOptions& o, const Arguments& a) {
  return depotCommand(o, "list", a);
}
int namesDepotCommand(const HostOptions& o, const Arguments& a) {
  return depotCommand(o, "names", a);
}
