#include "tools/DepotCommands.h"

#include <algorithm>

#include "host/PluginIf.h"
#include "platform/Sjis.h"
#include "plugin/DepotFolders.h"
#include "tools/DataSetFile.h"

std::vector<DepotCommands::Row> DepotCommands::rows() {
  const std::vector<PanelRow> views = robot_.panelRows();
  for (auto it = ids_.begin(); it != ids_.end();) {
    bool live = std::any_of(views.begin(), views.end(), [&](const PanelRow& v) {
      return v.window == it->first;
    });
    it = live ? std::next(it) : ids_.erase(it);
  }
  std::vector<Row> numbered;
  for (const PanelRow& view : views) {
    auto known = ids_.find(view.window);
    int32_t id = known != ids_.end() ? known->second : ++seen_;
    ids_[view.window] = id;
    numbered.push_back({view, id});
  }
  return numbered;
}

std::vector<DepotCommands::Row> DepotCommands::newRows(
    const std::vector<Row>& before) {
  std::vector<Row> added;
  for (const Row& row : rows()) {
    bool old = std::any_of(before.begin(), before.end(),
                           [&](const Row& b) { return b.id == row.id; });
    if (!old) added.push_back(row);
  }
  std::sort(added.begin(), added.end(),
            [](const Row& a, const Row& b) { return a.id < b.id; });
  return added;
}

bool DepotCommands::reportMessages(bool informationIsResult,
                                   bool* resultShown) {
  // What was printed before comes before the messages.
  std::fflush(out_);
  bool warned = false;
  if (resultShown != nullptr) *resultShown = false;
  for (const ShownMessage& m : robot_.takeMessages()) {
    warned = warned || m.warns;
    std::string text = sjisToUtf8(m.text);
    if (informationIsResult && !m.warns) {
      std::fprintf(out_, "%s\n", text.c_str());
      if (resultShown != nullptr) *resultShown = true;
    } else {
      std::fprintf(err_, "%s: %s\n", m.warns ? "error" : "info", text.c_str());
    }
  }
  std::fflush(out_);
  std::fflush(err_);
  return warned;
}

void DepotCommands::printRow(const Row& row, bool in3d) {
  std::fprintf(out_, "open\t%d\t%s\tvisible=%d\tcolour=%s\twidth=%d\tshowIn3d=%d\n",
               row.id, sjisToUtf8(row.view.title).c_str(), row.view.visible,
               colourText(row.view.colour).c_str(), row.view.width,
               in3d ? 1 : 0);
}

int DepotCommands::open(const std::vector<std::string>& files) {
  int status = 0;
  for (const std::string& file : files) {
    std::string path = inputPathOrComplain("open", file);
    if (path.empty()) {
      status = 1;
      continue;
    }
    DialogAnswers answers;
    answers.reopen = DialogAnswers::Reopen::kReadNew;
    answers.file = path;
    const std::vector<Row> before = rows();
    bool missing = false;
    robot_.choose(DepotMenu::kOpen, answers, &missing);
    bool error = reportMessages();
    const std::vector<Row> added = newRows(before);
    if (added.size() == 1) {
      std::fprintf(out_, "opened\t%d\t%s\n", added[0].id,
                   sjisToUtf8(added[0].view.title).c_str());
    } else {
      std::fprintf(err_, "open: %s was not opened\n", file.c_str());
      status = 1;
    }
    // The data set stays open, but without its cache file it is lost at
    // the next run: say so in the status.
    if (error) status = 1;
  }
  return status;
}

int DepotCommands::reopen(std::vector<std::string> names) {
  if (depotSubFolderId(DepotLookup::kTopFirst) == 0) {
    std::fprintf(err_, "reopen: the depot holds no data sets\n");
    return 1;
  }
  const std::vector<Row> before = rows();
  const size_t wanted = names.size();
  bool ok = true;
  // A list entry is chosen once: a name given twice takes a second run.
  while (ok && !names.empty()) {
    DialogAnswers answers;
    answers.reopen = DialogAnswers::Reopen::kChoose;
    answers.names = takeNameRound(&names);
    bool missing = false;
    robot_.choose(DepotMenu::kOpen, answers, &missing);
    if (reportMessages()) ok = false;
    if (missing) {
      std::fprintf(err_, "reopen: not every name is in the depot\n");
      ok = false;
    }
  }
  const std::vector<Row> added = newRows(before);
  for (const Row& row : added) {
    std::fprintf(out_, "reopened\t%d\t%s\n", row.id,
                 sjisToUtf8(row.view.title).c_str());
  }
  return ok && added.size() == wanted ? 0 : 1;
}

int DepotCommands::close(const std::vector<std::string>& names, bool remove) {
  const char* verb = remove ? "delete" : "close";
  DialogAnswers answers;
  answers.names = names;
  answers.close =
      remove ? DialogAnswers::Close::kDelete : DialogAnswers::Close::kClose;
  const size_t before = rows().size();
  bool missing = false;
  // Greyed until the layers exist, as the user sees it in the menu.
  if (robot_.choose(DepotMenu::kClose, answers, &missing) != MenuOutcome::kRan) {
    std::fprintf(err_, "%s: nothing is open\n", verb);
    return 1;
  }
  bool error = reportMessages();
  if (missing) {
    std::fprintf(err_, "%s: not every name is open\n", verb);
    return 1;
  }
  for (const std::string& name : names) {
    std::fprintf(out_, "%s\t%s\n", remove ? "deleted" : "closed",
                 sjisToUtf8(name).c_str());
  }
  return !error && rows().size() + names.size() == before ? 0 : 1;
}

int DepotCommands::set(const std::string& name, const RowChange& change) {
  const std::vector<Row> all = rows();
  auto row = std::find_if(all.begin(), all.end(),
                          [&](const Row& r) { return r.view.title == name; });
  if (row == all.end()) {
    std::fprintf(err_, "set: %s is not open\n", sjisToUtf8(name).c_str());
    return 1;
  }
  if (change.visible >= 0) robot_.setVisible(row->view, change.visible != 0);
  if (change.width > 0) robot_.setWidth(row->view, change.width);
  if (change.colour != RowChange::kKeep) {
    robot_.setColour(row->view, change.colour);
  }
  bool error = reportMessages();
  const bool in3d = robot_.showIn3d();
  for (const Row& r : rows()) {
    if (r.id == row->id) printRow(r, in3d);
  }
  return error ? 1 : 0;
}

int DepotCommands::list() {
  const bool in3d = robot_.showIn3d();
  for (const Row& row : rows()) printRow(row, in3d);
  const uint32_t folder = depotSubFolderId(DepotLookup::kTopFirst);
  if (folder == 0) return 0;
  for (uint32_t id = VPI_DD_EnumFirstID(folder); id != 0;
       id = VPI_DD_EnumNextID(folder, id)) {
    char file[kVpiPathSize] = "";
    VPI_DD_GetPath(id, file);
    const char* title = VPI_DD_GetTitle(id);
    std::fprintf(out_, "item\t%u\t%s\t%s\n", id,
                 sjisToUtf8(title != nullptr ? title : "").c_str(),
                 robot_.printedPath(file).c_str());
  }
  return 0;
}

int DepotCommands::names(const std::string& file) {
  std::string path = inputPathOrComplain("names", file);
  if (path.empty()) return 1;
  DialogAnswers answers;
  answers.file = path;
  bool missing = false;
  robot_.choose(DepotMenu::kPlaceNames, answers, &missing);
  // The count of names read is the command's result.
  bool counted = false;
  bool warned = reportMessages(true, &counted);
  return counted && !warned ? 0 : 1;
}
