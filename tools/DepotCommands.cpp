// morvane-host open, reopen, close, delete and list: the open and close
// commands run as a user runs them, each invocation one run of the host.
//
// A run starts as the module starts in the host (the layers registered when
// data was open at the last shutdown, and the first 2D draw bringing back
// the reopen list) and ends as it ends (every cache file rewritten, the
// reopen list written, the profile value "Load" stored). The dialogs are
// answered by the headless robot: the file dialog with each FILE, the
// reopen dialog with "read new" or with the chosen names, the close dialog
// with the chosen names.
//
// Until the module is driven through its entry points this file stands in
// for them; it only calls the commands and the layer callback.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "dataset/CacheFile.h"
#include "module/PluginModule.h"
#include "platform/FileSystem.h"
#include "platform/Sjis.h"
#include "plugin/CloseCommand.h"
#include "plugin/DepotFolders.h"
#include "plugin/LayerCallback.h"
#include "plugin/OpenCommand.h"
#include "plugin/ReopenList.h"
#include "resources/DialogIds.h"
#include "standin/StandinLayers.h"
#include "tools/Commands.h"
#include "tools/DataSetFile.h"
#include "ui/headless/HeadlessFileDialog.h"
#include "ui/headless/HeadlessUi.h"

namespace {

constexpr uint32_t kPluginHandle = 1;
constexpr char kLoadKey[] = "Load";

void startRun() {
  // The module as the host finds it when it loads it.
  PluginModule& module = pluginModule();
  module.registry.empty();
  module.pluginHandle = kPluginHandle;
  module.restorePending = 1;
  module.layersActive = 0;
  module.layer2d = 0;
  module.layer3d = 0;
  module.nextRowId = 1;
  module.depotFolderPath[0] = '\0';
  if (VPI_GetProfileInt(kPluginHandle, kLoadKey, 0) != 0) addLayers();
  // The host's first redraw: the reopen list comes back here.
  standin::drawAll2d();
}

void endRun() {
  PluginModule& module = pluginModule();
  if (findDepotFolder() != 0) {
    for (int32_t i = 0; i < module.registry.count(); ++i) {
      saveCache(*module.registry.at(i));
    }
    writeReopenList();
  }
  VPI_WriteProfileInt(kPluginHandle, kLoadKey, module.layersActive);
  module.registry.empty();
}

// Prints the messages the commands showed, on stderr; true when there was
// an error among them.
bool reportMessages() {
  // What was printed before comes before the messages.
  std::fflush(stdout);
  bool error = false;
  for (const headless::RecordedMessage& m : headless::messages()) {
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

int openFiles(const Arguments& files) {
  int status = 0;
  for (const std::string& file : files) {
    std::string path = inputPathOrComplain("open", file);
    if (path.empty()) {
      status = 1;
      continue;
    }
    headless::resetUi();
    headless::setEcho(false);
    headless::onModalDialog(answerReadNew);
    headless::answerFileDialog(path);
    int32_t before = openCount();
    openCommand(kMenuRunCommand, 0, 0);
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
bool reopenRound(const std::vector<std::string>& names) {
  bool selected = true;
  headless::resetUi();
  headless::setEcho(false);
  headless::onModalDialog([&](headless::Window& w) {
    if (w.templateId() != kReopenDialogTemplate) return;
    selected = selectNames(w, reopen_dialog::kListBox, names);
    if (selected) w.click(reopen_dialog::kOk);
  });
  openCommand(kMenuRunCommand, 0, 0);
  bool error = reportMessages();
  if (!selected) {
    std::fprintf(stderr, "reopen: not every name is in the depot\n");
  }
  return selected && !error;
}

// A name given twice is reopened twice, in a second run of the command.
int reopenNames(std::vector<std::string> names) {
  if (findDepotFolder() == 0) {
    std::fprintf(stderr, "reopen: the depot holds no data sets\n");
    return 1;
  }
  const int32_t before = openCount();
  const int32_t wanted = static_cast<int32_t>(names.size());
  bool ok = true;
  while (ok && !names.empty()) {
    std::vector<std::string> round;
    std::vector<std::string> later;
    for (const std::string& name : names) {
      bool seen = std::find(round.begin(), round.end(), name) != round.end();
      (seen ? later : round).push_back(name);
    }
    ok = reopenRound(round);
    names.swap(later);
  }
  const DataSetRegistry& registry = pluginModule().registry;
  for (int32_t i = before; i < registry.count(); ++i) {
    std::printf("reopened\t%d\t%s\n", registry.at(i)->rowId,
                sjisToUtf8(registry.at(i)->name).c_str());
  }
  return ok && registry.count() == before + wanted ? 0 : 1;
}

int closeNames(const std::vector<std::string>& names, bool remove) {
  const char* verb = remove ? "delete" : "close";
  if (pluginModule().layersActive == 0) {
    std::fprintf(stderr, "%s: nothing is open\n", verb);
    return 1;
  }
  bool selected = true;
  headless::resetUi();
  headless::setEcho(false);
  headless::onModalDialog([&](headless::Window& w) {
    if (w.templateId() != kCloseDataDialogTemplate) return;
    selected = selectNames(w, close_data_dialog::kListBox, names);
    if (selected) {
      w.click(remove ? close_data_dialog::kDeleteButton
                     : close_data_dialog::kOk);
    }
  });
  int32_t before = openCount();
  closeCommand(kMenuRunCommand, 0, 0);
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

int list() {
  const DataSetRegistry& registry = pluginModule().registry;
  for (int32_t i = 0; i < registry.count(); ++i) {
    const LineDataSet& d = *registry.at(i);
    std::printf("open\t%d\t%s\tvisible=%d\tcolour=%06X\twidth=%d\tshowIn3d=%d\n",
                d.rowId, sjisToUtf8(d.name).c_str(), d.visible,
                static_cast<unsigned>(d.lineColour), d.lineWidth, d.showIn3d);
  }
  uint32_t top = VPI_DD_GetID(0, kDepotTopTitle);
  uint32_t folder = top != 0 ? VPI_DD_GetID(top, kDepotSubTitle) : 0;
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

// Names on the command line are UTF-8; the module's are Shift-JIS.
bool moduleNames(const char* command, const Arguments& args,
                 std::vector<std::string>* names) {
  for (const std::string& arg : args) {
    std::string name = utf8ToSjis(arg);
    if (name.empty()) {
      std::fprintf(stderr, "%s: %s has no Shift-JIS form\n", command,
                   arg.c_str());
      return false;
    }
    names->push_back(name);
  }
  return true;
}

int usage(const char* command, const char* what) {
  std::fprintf(stderr, "usage: morvane-host %s %s\n", command, what);
  return 2;
}

}  // namespace

int depotCommand(const HostOptions& /*options*/, const std::string& command,
                 const Arguments& args) {
  const bool isList = command == "list";
  if (isList ? !args.empty() : args.empty()) {
    return usage(command.c_str(), isList        ? ""
                                  : command == "open" ? "FILE.e00..."
                                                      : "NAME...");
  }
  for (const std::string& arg : args) {
    if (arg.empty() || arg[0] == '-') {
      std::fprintf(stderr, "%s: unknown option %s\n", command.c_str(),
                   arg.c_str());
      return 2;
    }
  }
  std::vector<std::string> names;
  if (command != "open" && !isList &&
      !moduleNames(command.c_str(), args, &names)) {
    return 2;
  }
  startRun();
  int status = 0;
  if (command == "open") {
    status = openFiles(args);
  } else if (command == "reopen") {
    status = reopenNames(names);
  } else if (command == "close" || command == "delete") {
    status = closeNames(names, command == "delete");
  }
  if (isList) status = list();
  endRun();
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
int listDepotCommand(const HostOptions& o, const Arguments& a) {
  return depotCommand(o, "list", a);
}
