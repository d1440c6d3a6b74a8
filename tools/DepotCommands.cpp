// morvane-host open, reopen, close, delete, set and list: the open and close
// commands and the side panel's rows worked as a user works them, each
// invocation one whole run of the host with the module loaded (Init, Load,
// the first 2D draw that brings back the reopen list, the commands through
// the module's menus, then Close and Release, which write every cache file,
// the reopen list and the profile value "Load").
//
// The dialogs are answered by the headless robot: the file dialog with each
// FILE, the reopen dialog with "read new" or with the chosen names, the
// close dialog with the chosen names, the colour dialog with the colour.
//
// What is open is read from the side panel, as a user sees it and as
// morvane-window-host reads it: each row's title, check box, width combo
// box and the colour its swatch is painted with, and the panel's one
// "show in 3D" switch. The panel does not show row ids; the module numbers
// its data sets 1, 2, 3, ... as it registers them in a run, each with its
// row at once, so rows are numbered in the order they are first seen.

#include <cstdio>
#include <string>
#include <vector>

#include <algorithm>
#include <map>

#include "platform/FileSystem.h"
#include "platform/Sjis.h"
#include "plugin/DepotFolders.h"
#include "resources/DialogIds.h"
#include "tools/Commands.h"
#include "tools/DepotArguments.h"
#include "tools/DataSetFile.h"
#include "tools/ToolSession.h"
#include "ui/headless/DrawingHeadless.h"
#include "ui/headless/FileDialogHeadless.h"
#include "ui/headless/HeadlessUi.h"

namespace {

// Prints the messages the commands showed, on stderr; true when there was
// an error among them.
// Each message is printed once: the run's messages accumulate.
size_t reported = 0;

bool reportMessages() {
  // What was printed before comes before the messages.
  std::fflush(stdout);
  bool error = false;
  const std::vector<headless::RecordedMessage>& shown = headless::messages();
  for (; reported < shown.size(); ++reported) {
    const headless::RecordedMessage& m = shown[reported];
    bool exclamation = m.icon == MessageIcon::kExclamation;
    error = error || exclamation;
    std::fprintf(stderr, "%s: %s\n", exclamation ? "error" : "info",
                 sjisToUtf8(m.text).c_str());
  }
  return error;
}

// One row of the side panel as it shows.
struct RowView {
  headless::Window* window;
  int32_t id;
  std::string title;  // Shift-JIS
  int visible;
  int width;        // 0 when the combo box shows none
  uint32_t colour;  // 0x00BBGGRR, as painted
};

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

// The panel's rows in the order the list stacks them, numbered by first
// sight. A window gone since the last look forgets its number, so that a
// new row made at the same address is a new row.
class PanelRows {
 public:
  std::vector<RowView> rows() {
    std::vector<headless::Window*> windows =
        headless::findDialogs(kLayerRowTemplate);
    for (auto it = ids_.begin(); it != ids_.end();) {
      bool live = std::find(windows.begin(), windows.end(), it->first) !=
                  windows.end();
      it = live ? std::next(it) : ids_.erase(it);
    }
    std::stable_sort(windows.begin(), windows.end(),
                     [](headless::Window* a, headless::Window* b) {
                       return a->outerRect().top < b->outerRect().top;
                     });
    std::vector<RowView> views;
    for (headless::Window* w : windows) {
      auto known = ids_.find(w);
      int32_t id = known != ids_.end() ? known->second : ++seen_;
      ids_[w] = id;
      std::vector<int32_t> width = w->selectedItems(layer_row::kWidthCombo);
      views.push_back({w, id, w->text(layer_row::kTitle),
                       w->checked(layer_row::kShowCheck) ? 1 : 0,
                       width.empty() ? 0 : width.front() + 1,
                       swatchColour(*w)});
    }
    return views;
  }

  // The rows that were not among before, by id.
  std::vector<RowView> newRows(const std::vector<RowView>& before) {
    std::vector<RowView> added;
    for (const RowView& row : rows()) {
      bool old = std::any_of(before.begin(), before.end(),
                             [&](const RowView& b) { return b.id == row.id; });
      if (!old) added.push_back(row);
    }
    std::sort(added.begin(), added.end(),
              [](const RowView& a, const RowView& b) { return a.id < b.id; });
    return added;
  }

  int32_t count() { return static_cast<int32_t>(rows().size()); }

 private:
  std::map<headless::Window*, int32_t> ids_;
  int32_t seen_ = 0;
};

// The panel's "show in 3D" switch.
int showIn3d() {
  headless::Window* panel = headless::findDialog(kLayerPanelTemplate);
  return panel != nullptr && panel->checked(layer_panel::kShowIn3dCheck) ? 1
                                                                          : 0;
}

// The reopen dialog answered with "read new"; a dialog for another template
// is left to end as cancelled.
void answerReadNew(headless::Window& w) {
  if (w.templateId() != kReopenDialogTemplate) return;
  w.control(reopen_dialog::kOpenPreviousRadio).checked = false;
  w.control(reopen_dialog::kReadNewRadio).checked = true;
  w.click(reopen_dialog::kReadNewRadio);
  w.click(reopen_dialog::kOk);
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

int openFiles(ToolSession& session, PanelRows& panel, const Arguments& files) {
  int status = 0;
  for (const std::string& file : files) {
    std::string path = inputPathOrComplain("open", file);
    if (path.empty()) {
      status = 1;
      continue;
    }
    headless::onModalDialog(answerReadNew);
    headless::answerFileDialog(path);
    const std::vector<RowView> before = panel.rows();
    session.invokeMenu(kOpenMenuItem);
    bool error = reportMessages();
    const std::vector<RowView> added = panel.newRows(before);
    if (added.size() == 1) {
      std::printf("opened\t%d\t%s\n", added[0].id,
                  sjisToUtf8(added[0].title).c_str());
    } else {
      std::fprintf(stderr, "open: %s was not opened\n", file.c_str());
      status = 1;
    }
    // The data set stays open, but without its cache file it is lost at
    // the next run: say so in the status.
    if (error) status = 1;
  }
  return status;
}

// One run of the open command reopening these names (distinct: a list
// entry is chosen once); false, after saying so, when one is not listed.
bool reopenRound(ToolSession& session, const std::vector<std::string>& names) {
  bool selected = true;
  headless::onModalDialog([&](headless::Window& w) {
    if (w.templateId() != kReopenDialogTemplate) return;
    selected = selectNames(w, reopen_dialog::kListBox, names);
    if (selected) w.click(reopen_dialog::kOk);
  });
  session.invokeMenu(kOpenMenuItem);
  bool error = reportMessages();
  if (!selected) {
    std::fprintf(stderr, "reopen: not every name is in the depot\n");
  }
  return selected && !error;
}

// A name given twice is reopened twice, in a second run of the command.
int reopenNames(ToolSession& session, PanelRows& panel,
                std::vector<std::string> names) {
  if (depotSubFolderId(DepotLookup::kTopFirst) == 0) {
    std::fprintf(stderr, "reopen: the depot holds no data sets\n");
    return 1;
  }
  const std::vector<RowView> before = panel.rows();
  const size_t wanted = names.size();
  bool ok = true;
  while (ok && !names.empty()) {
    std::vector<std::string> round = takeNameRound(&names);
    ok = reopenRound(session, round);
  }
  const std::vector<RowView> added = panel.newRows(before);
  for (const RowView& row : added) {
    std::printf("reopened\t%d\t%s\n", row.id, sjisToUtf8(row.title).c_str());
  }
  return ok && added.size() == wanted ? 0 : 1;
}

int closeNames(ToolSession& session, PanelRows& panel,
               const std::vector<std::string>& names, bool remove) {
  const char* verb = remove ? "delete" : "close";
  bool selected = true;
  headless::onModalDialog([&](headless::Window& w) {
    if (w.templateId() != kCloseDataDialogTemplate) return;
    selected = selectNames(w, close_data_dialog::kListBox, names);
    if (selected) {
      w.click(remove ? close_data_dialog::kDeleteButton
                     : close_data_dialog::kOk);
    }
  });
  const int32_t before = panel.count();
  // Greyed until the layers exist, as the user sees it in the menu.
  if (session.invokeMenu(kCloseMenuItem) != standin::MenuResult::kRan) {
    std::fprintf(stderr, "%s: nothing is open\n", verb);
    return 1;
  }
  bool error = reportMessages();
  if (!selected) {
    std::fprintf(stderr, "%s: not every name is open\n", verb);
    return 1;
  }
  for (const std::string& name : names) {
    std::printf("%s\t%s\n", remove ? "deleted" : "closed",
                sjisToUtf8(name).c_str());
  }
  return !error &&
                 panel.count() == before - static_cast<int32_t>(names.size())
             ? 0
             : 1;
}

void printOpen(const RowView& row, int in3d) {
  std::printf("open\t%d\t%s\tvisible=%d\tcolour=%s\twidth=%d\tshowIn3d=%d\n",
              row.id, sjisToUtf8(row.title).c_str(), row.visible,
              colourText(row.colour).c_str(), row.width, in3d);
}

int list(PanelRows& panel) {
  const int in3d = showIn3d();
  for (const RowView& row : panel.rows()) printOpen(row, in3d);
  uint32_t folder = depotSubFolderId(DepotLookup::kTopFirst);
  if (folder == 0) return 0;
  for (uint32_t id = VPI_DD_EnumFirstID(folder); id != 0;
       id = VPI_DD_EnumNextID(folder, id)) {
    char file[kVpiPathSize] = "";
    VPI_DD_GetPath(id, file);
    const char* title = VPI_DD_GetTitle(id);
    std::printf("item\t%u\t%s\t%s\n", id,
                sjisToUtf8(title != nullptr ? title : "").c_str(),
                hostPath(file).c_str());
  }
  return 0;
}

// The open data set name's row in the side panel, changed as a user
// changes it: the check box, the width combo box and the colour dialog
// behind the swatch button.
int setAttributes(PanelRows& panel, const std::string& name,
                  const RowChange& change) {
  headless::Window* row = nullptr;
  for (const RowView& view : panel.rows()) {
    if (row == nullptr && view.title == name) row = view.window;
  }
  if (row == nullptr) {
    std::fprintf(stderr, "set: %s is not open\n", sjisToUtf8(name).c_str());
    return 1;
  }
  if (change.visible >= 0) {
    row->control(layer_row::kShowCheck).checked = change.visible != 0;
    row->click(layer_row::kShowCheck);
  }
  if (change.width > 0) {
    row->setSelection(layer_row::kWidthCombo, change.width - 1);
    row->changeSelection(layer_row::kWidthCombo);
  }
  if (change.colour != RowChange::kKeep) {
    headless::onColourDialog([&](uint32_t*, uint32_t* chosen) {
      *chosen = change.colour;
      return true;
    });
    row->click(layer_row::kColourButton);
    headless::onColourDialog(nullptr);
  }
  const int in3d = showIn3d();
  for (const RowView& view : panel.rows()) {
    if (view.window == row) printOpen(view, in3d);
  }
  return reportMessages() ? 1 : 0;
}

int usage(const char* command, const char* what) {
  std::fprintf(stderr, "usage: morvane-host %s %s\n", command, what);
  return 2;
}

}  // namespace

int depotCommand(const HostOptions& options, const std::string& command,
                 const Arguments& args) {
  const bool isList = command == "list";
  const bool isSet = command == "set";
  std::string setName;
  RowChange change;
  if (isSet && !parseRowChange("morvane-host", args, &setName, &change)) {
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
      !moduleNames(command.c_str(), args, &names)) {
    return 2;
  }
  if (options.module.empty()) {
    std::fprintf(stderr, "morvane-host: no module to load (--module)\n");
    return 1;
  }
  headless::resetUi();
  headless::setEcho(false);
  reported = 0;
  ToolSession session;
  // Its first map draw brings back the reopen list.
  if (!session.start(options)) return 1;
  PanelRows panel;
  int status = 0;
  if (command == "open") {
    status = openFiles(session, panel, args);
  } else if (command == "reopen") {
    status = reopenNames(session, panel, names);
  } else if (command == "close" || command == "delete") {
    status = closeNames(session, panel, names, command == "delete");
  }
  if (isSet) status = setAttributes(panel, setName, change);
  if (isList) status = list(panel);
  // Close writes the cache files and the reopen list; what it could not
  // write it showed as a message.
  bool stopped = session.stop();
  if (reportMessages() || !stopped) status = 1;
  return status;
}

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
