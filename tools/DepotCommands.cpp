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

#include <cstdio>
#include <string>
#include <vector>

#include "module/PluginModule.h"
#include "platform/FileSystem.h"
#include "platform/Sjis.h"
#include "plugin/DepotFolders.h"
#include "resources/DialogIds.h"
#include "tools/Commands.h"
#include "tools/DepotArguments.h"
#include "tools/DataSetFile.h"
#include "tools/HostSession.h"
#include "ui/LayerPanel.h"
#include "ui/LayerRow.h"
#include "ui/RowListWindow.h"
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

int32_t openCount() { return pluginModule().registry.count(); }

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

int openFiles(ToolSession& session, const Arguments& files) {
  int status = 0;
  for (const std::string& file : files) {
    std::string path = inputPathOrComplain("open", file);
    if (path.empty()) {
      status = 1;
      continue;
    }
    headless::onModalDialog(answerReadNew);
    headless::answerFileDialog(path);
    int32_t before = openCount();
    session.invokeMenu(kOpenMenuItem);
    bool error = reportMessages();
    if (openCount() == before + 1) {
      const LineDataSet& d = *pluginModule().registry.at(before);
      std::printf("opened\t%d\t%s\n", d.rowId, sjisToUtf8(d.name).c_str());
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
int reopenNames(ToolSession& session, std::vector<std::string> names) {
  if (depotSubFolderId(DepotLookup::kTopFirst) == 0) {
    std::fprintf(stderr, "reopen: the depot holds no data sets\n");
    return 1;
  }
  const int32_t before = openCount();
  const int32_t wanted = static_cast<int32_t>(names.size());
  bool ok = true;
  while (ok && !names.empty()) {
    std::vector<std::string> round = takeNameRound(&names);
    ok = reopenRound(session, round);
  }
  const DataSetRegistry& registry = pluginModule().registry;
  for (int32_t i = before; i < registry.count(); ++i) {
    std::printf("reopened\t%d\t%s\n", registry.at(i)->rowId,
                sjisToUtf8(registry.at(i)->name).c_str());
  }
  return ok && registry.count() == before + wanted ? 0 : 1;
}

int closeNames(ToolSession& session, const std::vector<std::string>& names,
               bool remove) {
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
  int32_t before = openCount();
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
  return !error && openCount() == before - static_cast<int32_t>(names.size())
             ? 0
             : 1;
}

void printOpen(const LineDataSet& d) {
  std::printf("open\t%d\t%s\tvisible=%d\tcolour=%s\twidth=%d\tshowIn3d=%d\n",
              d.rowId, sjisToUtf8(d.name).c_str(), d.visible,
              colourText(d.lineColour).c_str(), d.lineWidth, d.showIn3d);
}

int list() {
  const DataSetRegistry& registry = pluginModule().registry;
  for (int32_t i = 0; i < registry.count(); ++i) printOpen(*registry.at(i));
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

// The attributes of the open data set name, changed through its row in the
// side panel as a user changes them: the check box, the width combo box and
// the colour dialog behind the swatch button.
int setAttributes(const std::string& name, const RowChange& change) {
  const DataSetRegistry& registry = pluginModule().registry;
  const LineDataSet* dataSet = nullptr;
  for (int32_t i = 0; i < registry.count() && dataSet == nullptr; ++i) {
    if (registry.at(i)->name == name) dataSet = registry.at(i);
  }
  if (dataSet == nullptr) {
    std::fprintf(stderr, "set: %s is not open\n", sjisToUtf8(name).c_str());
    return 1;
  }
  headless::Window* row = nullptr;
  const LayerPanel* panel = pluginModule().panel;
  for (int32_t i = 0; panel != nullptr && i < panel->list->count(); ++i) {
    const RowEntry& entry = panel->list->entry(i);
    if (entry.rowId == dataSet->rowId) row = headless::windowOf(*entry.row);
  }
  if (row == nullptr) {
    std::fprintf(stderr, "set: the panel shows no row for %s\n",
                 sjisToUtf8(name).c_str());
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
  printOpen(*dataSet);
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
  int status = 0;
  if (command == "open") {
    status = openFiles(session, args);
  } else if (command == "reopen") {
    status = reopenNames(session, names);
  } else if (command == "close" || command == "delete") {
    status = closeNames(session, names, command == "delete");
  }
  if (isSet) status = setAttributes(setName, change);
  if (isList) status = list();
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
