#include "tools/win32/WindowHostCommands.h"

#include <windows.h>

#include <algorithm>
#include <cmath>

#include "dataset/LineDataSet.h"
#include "draw/Draw2d.h"
#include "host/PluginIf.h"
#include "platform/Sjis.h"
#include "plugin/DepotFolders.h"
#include "resources/DialogIds.h"
#include "resources/Texts.h"
#include "standin/StandinView2d.h"
#include "standin/win32/WindowHostApi.h"
#include "tools/DataSetFile.h"
#include "tools/DepotArguments.h"
#include "tools/DepotCommands.h"
#include "tools/DepotRobot.h"
#include "tools/win32/DialogRobot.h"

namespace {

const char kProgram[] = "morvane-window-host";

const char kUsage[] =
    "usage: morvane-window-host [--home DIR] [--module Morvane.vpl]\n"
    "           [--map FILE.e00|FILE.bin] [--screenshot OUT.png]\n"
    "           [--dialog-screenshot OUT.png] [--menu TITLE]... [COMMAND ARGS]\n"
    "\n"
    "  open FILE.e00...    reopen NAME...    close NAME...    delete NAME...\n"
    "  names FILE.e00      list\n"
    "  set NAME [--colour RRGGBB] [--width N] [--visible 0|1]\n";

const char* const kCommands[] = {"open",  "reopen", "close", "delete",
                                 "names", "set",    "list"};

// ---------------------------------------------------------------------------
// The module's dialogs, told apart by their controls.

bool hasControl(HWND dialog, int id) { return GetDlgItem(dialog, id) != nullptr; }

bool isTopLevel(HWND window) {
  return (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) == 0;
}

bool isReopenDialog(HWND d) {
  return hasControl(d, reopen_dialog::kOpenPreviousRadio) &&
         hasControl(d, reopen_dialog::kReadNewRadio) &&
         hasControl(d, reopen_dialog::kListBox);
}

bool isCloseDialog(HWND d) {
  return hasControl(d, close_data_dialog::kDeleteButton) &&
         hasControl(d, close_data_dialog::kListBox);
}

bool isProgressDialog(HWND d) {
  return hasControl(d, progress_dialog::kProgressBar);
}

// The entries of a list box whose texts are names, each name taking the
// first entry not yet taken; false when one is not in the list.
bool entriesNamed(HWND dialog, int listId, const std::vector<std::string>& names,
                  std::vector<int>* entries) {
  HWND list = GetDlgItem(dialog, listId);
  int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  std::vector<std::string> texts;
  for (int i = 0; i < count; ++i) {
    int length = static_cast<int>(SendMessageA(list, LB_GETTEXTLEN, i, 0));
    std::string text(length > 0 ? static_cast<size_t>(length) + 1 : 1, '\0');
    if (length > 0) {
      SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
    }
    text.resize(length > 0 ? static_cast<size_t>(length) : 0);
    texts.push_back(text);
  }
  for (const std::string& name : names) {
    bool found = false;
    for (int i = 0; i < count && !found; ++i) {
      if (texts[i] == name &&
          std::find(entries->begin(), entries->end(), i) == entries->end()) {
        entries->push_back(i);
        found = true;
      }
    }
    if (!found) return false;
  }
  std::sort(entries->begin(), entries->end());
  return true;
}

// ---------------------------------------------------------------------------
// The side panel as the user sees it.

BOOL CALLBACK collectRow(HWND window, LPARAM rows) {
  char name[16];
  if (GetClassNameA(window, name, sizeof name) > 0 &&
      lstrcmpA(name, "#32770") == 0 &&
      hasControl(window, layer_row::kColourButton) &&
      hasControl(window, layer_row::kWidthCombo)) {
    reinterpret_cast<std::vector<HWND>*>(rows)->push_back(window);
  }
  return TRUE;
}

HWND findPanel() {
  for (HWND d : robot::dialogs()) {
    if (hasControl(d, layer_panel::kShowIn3dCheck) &&
        hasControl(d, layer_panel::kListPlaceholder)) {
      return d;
    }
  }
  return nullptr;
}

// The colour the swatch button is painted with: the button drawn into a
// bitmap (WM_PRINTCLIENT, which an owner-drawn button answers with the
// owner's WM_DRAWITEM), read in its middle, inside the frames.
uint32_t swatchColour(HWND row) {
  HWND button = GetDlgItem(row, layer_row::kColourButton);
  RECT r;
  if (button == nullptr || !GetClientRect(button, &r) || r.right < 5 ||
      r.bottom < 5) {
    return 0;
  }
  HDC screen = GetDC(button);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right, r.bottom);
  HGDIOBJ old = SelectObject(memory, bitmap);
  SendMessageA(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory),
               PRF_CLIENT | PRF_ERASEBKGND);
  COLORREF colour = GetPixel(memory, r.right / 2, r.bottom / 2);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(button, screen);
  return colour == CLR_INVALID ? 0 : static_cast<uint32_t>(colour);
}

// A path that names its drive and starts at its root, or a UNC path.
bool isFullPath(const std::string& path) {
  return (path.size() >= 3 && path[1] == ':' && path[2] == '\\') ||
         path.compare(0, 2, "\\\\") == 0;
}

// ---------------------------------------------------------------------------
// One run of the host.

// How the robot answers the dialogs of one command.
struct Answers {
  DialogAnswers dialogs;
  uint32_t colour = RowChange::kKeep;  // typed into the colour dialog
  bool namesMissing = false;           // set: a name was not listed
};

// The depot robot on real windows: the module's commands chosen from the
// menu bar, every dialog answered by the window robot, the panel's rows
// read and worked through their controls.
class WindowHostRun : public DepotRobot {
 public:
  WindowHostRun(const WindowHostOptions& options, FILE* out, FILE* err)
      : o_(options), out_(out), err_(err), depot_(*this, out, err) {}

  int run();

  MenuOutcome choose(DepotMenu menu, const DialogAnswers& answers,
                     bool* namesMissing) override;
  std::vector<PanelRow> panelRows() override;
  bool showIn3d() override;
  void setVisible(const PanelRow& row, bool visible) override;
  void setWidth(const PanelRow& row, int width) override;
  void setColour(const PanelRow& row, uint32_t colour) override;
  std::vector<ShownMessage> takeMessages() override;
  std::string printedPath(const char* file) override;

 private:
  bool start();
  int command();
  void fitMapToDrawing();

  MenuOutcome chooseMenu(bool closePopup, const char* commandTitle);
  // Chooses the command with the robot answering as answers says; what it
  // was told is in answers_ afterwards.
  MenuOutcome runCommand(bool closePopup, const char* commandTitle,
                         const Answers& answers);
  bool answer(HWND dialog);
  void dialogShot();
  bool reportMessages() { return depot_.reportMessages(); }

  const WindowHostOptions& o_;
  FILE* out_;
  FILE* err_;
  DepotCommands depot_;
  Answers answers_;
  bool dialogShotTaken_ = false;
  std::vector<ShownMessage> messages_;
  size_t reported_ = 0;
};

bool WindowHostRun::start() {
  if (!o_.home.empty()) StandinHost_SetHome(o_.home.c_str());
  if (StandinHost_CreateWindow(960, 640) == 0) {
    std::fprintf(err_, "%s: cannot make the host window\n", kProgram);
    return false;
  }
  if (!o_.map.empty()) {
    static LineDataSet data(1);
    static char depot[kVpiPathSize] = {};
    data.clear();
    if (!readDataSetFile(kProgram, o_.map, data, depot)) return false;
    // The data set's bounds with a 5 % margin.
    double west = -180.0, south = -90.0, east = 180.0, north = 90.0;
    if (data.bounds.left <= data.bounds.right) {
      west = data.bounds.left * kDegreesPerUnit;
      east = data.bounds.right * kDegreesPerUnit;
      south = data.bounds.top * kDegreesPerUnit;
      north = data.bounds.bottom * kDegreesPerUnit;
      double margin =
          std::fmax(0.01, 0.05 * std::fmax(east - west, north - south));
      west -= margin, south -= margin, east += margin, north += margin;
    }
    StandinHost_SetMapExtent(west, south, east, north);
    // The drawing calls go to PluginIf.dll, as the module's do.
    draw2d(data, standin::kView2d, {south, west}, {north, east});
  } else {
    StandinHost_SetMapExtent(-180.0, -90.0, 180.0, 90.0);
  }
  if (!o_.module.empty()) {
    std::string path = modulePathOrComplain(kProgram, o_.module);
    if (path.empty()) return false;
    char error[512];
    if (StandinHost_StartSession(path.c_str(), error, sizeof error) == 0) {
      std::fprintf(err_, "%s: %s\n", kProgram, error);
      return false;
    }
  }
  // The host shows its map once the module is loaded: at that first draw
  // the module brings back what was open at the last shutdown. The robot
  // answers whatever that shows (a cache file it cannot read).
  robot::answerDialogs([this](HWND d) { return answer(d); });
  VPI_UpdateAllViews(1);
  robot::stopAnswering();
  // What came back is numbered first.
  depot_.rows();
  return true;
}

int WindowHostRun::run() {
  if (!start()) {
    StandinHost_Stop();
    return 1;
  }
  int status = 0;
  for (const std::string& title : o_.menus) {
    robot::answerDialogs([this](HWND d) { return answer(d); });
    MenuOutcome outcome = chooseMenu(false, title.c_str());
    if (outcome == MenuOutcome::kMissing) outcome = chooseMenu(true, title.c_str());
    robot::stopAnswering();
    if (outcome != MenuOutcome::kRan) {
      std::fprintf(err_, "%s: the command %s did not run\n", kProgram,
                   sjisToUtf8(title).c_str());
      status = 1;
    }
  }
  if (!o_.command.empty()) status = std::max(status, command());
  if (reportMessages()) status = std::max(status, 1);

  if (!o_.screenshot.empty()) {
    fitMapToDrawing();
    if (StandinHost_Screenshot(o_.screenshot.c_str()) == 0) {
      std::fprintf(err_, "%s: cannot write %s\n", kProgram,
                   o_.screenshot.c_str());
      status = std::max(status, 1);
    } else {
      std::fprintf(err_, "%s: wrote %s\n", kProgram, o_.screenshot.c_str());
    }
  } else if (o_.command.empty()) {
    fitMapToDrawing();
    StandinHost_Run();
  }
  // Close writes the cache files and the reopen list; what it could not
  // write it shows in a message box.
  robot::answerDialogs([this](HWND d) { return answer(d); });
  bool saved = StandinHost_Stop() != 0;
  robot::stopAnswering();
  if (reportMessages()) status = std::max(status, 1);
  if (!saved) {
    std::fprintf(err_, "%s: the host could not save its files\n", kProgram);
    status = std::max(status, 1);
  }
  return status;
}

// The map shows what the module drew, with a margin; the whole earth when
// it drew nothing.
void WindowHostRun::fitMapToDrawing() {
  if (!o_.map.empty()) return;  // the map's own extent
  double west, south, east, north;
  if (StandinHost_DrawnBounds(&west, &south, &east, &north) == 0) return;
  double margin = std::fmax(0.01, 0.05 * std::fmax(east - west, north - south));
  StandinHost_SetMapExtent(west - margin, south - margin, east + margin,
                           north + margin);
  VPI_UpdateAllViews(1);
}

int WindowHostRun::command() {
  const std::string& c = o_.command;
  const std::vector<std::string>& args = o_.args;
  if (o_.module.empty()) {
    std::fprintf(err_, "%s: no module to load (--module)\n", kProgram);
    return 1;
  }
  if (c == "open") return depot_.open(args);
  if (c == "names") return depot_.names(args[0]);
  if (c == "set") {
    std::string name;
    RowChange change;
    // Checked when parsed.
    parseRowChange(kProgram, args, &name, &change, err_);
    return depot_.set(name, change);
  }
  if (c == "list") return depot_.list();
  std::vector<std::string> names;
  if (!moduleNames(c.c_str(), args, &names, err_)) return 2;
  if (c == "reopen") return depot_.reopen(names);
  return depot_.close(names, c == "delete");
}

MenuOutcome WindowHostRun::chooseMenu(bool closePopup, const char* commandTitle) {
  HWND main = static_cast<HWND>(VPI_GetMainWnd());
  HMENU bar = main != nullptr ? GetMenu(main) : nullptr;
  for (int i = 0, n = bar != nullptr ? GetMenuItemCount(bar) : 0; i < n; ++i) {
    HMENU popup = GetSubMenu(bar, i);
    char title[128] = {};
    GetMenuStringA(bar, i, title, sizeof title, MF_BYPOSITION);
    if (popup == nullptr || lstrcmpA(title, kTextMenuTitle) != 0) continue;
    // Both popups carry the title, and the open and close commands one
    // title: the import popup is the one with the place-name command.
    int position = -1;
    bool imports = false;
    for (int k = 0, m = GetMenuItemCount(popup); k < m; ++k) {
      char text[128] = {};
      GetMenuStringA(popup, k, text, sizeof text, MF_BYPOSITION);
      if (lstrcmpA(text, kTextMenuE00PlaceNames) == 0) imports = true;
      if (position < 0 && lstrcmpA(text, commandTitle) == 0) position = k;
    }
    if (imports == closePopup || position < 0) continue;
    // As the user opens the popup (the host greys what answers 0) and
    // clicks the item.
    SendMessageA(main, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup),
                 MAKELPARAM(i, FALSE));
    if (GetMenuState(popup, position, MF_BYPOSITION) & MF_GRAYED) {
      return MenuOutcome::kGreyed;
    }
    SendMessageA(main, WM_COMMAND,
                 MAKEWPARAM(GetMenuItemID(popup, position), 0), 0);
    return MenuOutcome::kRan;
  }
  return MenuOutcome::kMissing;
}

MenuOutcome WindowHostRun::runCommand(bool closePopup, const char* commandTitle,
                                      const Answers& answers) {
  answers_ = answers;
  robot::answerDialogs([this](HWND d) { return answer(d); });
  MenuOutcome outcome = chooseMenu(closePopup, commandTitle);
  if (robot::answerNotTaken()) {
    messages_.push_back({"a dialog did not take its answer and was cancelled",
                         true});
  }
  robot::stopAnswering();
  return outcome;
}

void WindowHostRun::dialogShot() {
  if (o_.dialogScreenshot.empty() || dialogShotTaken_) return;
  dialogShotTaken_ = true;
  if (StandinHost_Screenshot(o_.dialogScreenshot.c_str()) == 0) {
    std::fprintf(err_, "%s: cannot write %s\n", kProgram,
                 o_.dialogScreenshot.c_str());
  } else {
    std::fprintf(err_, "%s: wrote %s\n", kProgram, o_.dialogScreenshot.c_str());
  }
}

// Every click that ends a dialog is posted: the dialog's own loop handles
// it after the robot's tick has returned.
bool WindowHostRun::answer(HWND d) {
  if (!isTopLevel(d) || isProgressDialog(d)) return false;
  if (robot::isFileDialog(d)) {
    const std::string& file = answers_.dialogs.file;
    if (file.empty()) {
      PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
      return true;
    }
    // Typed, shown, then confirmed.
    robot::typeFileName(d, file);
    dialogShot();
    robot::answerFileDialog(d, file);
    return true;
  }
  if (robot::isColourDialog(d)) {
    if (answers_.colour == RowChange::kKeep) {
      PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
      return true;
    }
    robot::typeColour(d, answers_.colour);
    dialogShot();
    robot::postClick(d, IDOK);
    return true;
  }
  if (isReopenDialog(d)) {
    const DialogAnswers& a = answers_.dialogs;
    if (a.reopen == DialogAnswers::Reopen::kReadNew) {
      robot::click(d, reopen_dialog::kReadNewRadio);
      dialogShot();
      robot::postClick(d, reopen_dialog::kOk);
    } else if (a.reopen == DialogAnswers::Reopen::kChoose) {
      std::vector<int> entries;
      if (entriesNamed(d, reopen_dialog::kListBox, a.names, &entries)) {
        robot::selectListItems(d, reopen_dialog::kListBox, entries);
        dialogShot();
        robot::postClick(d, reopen_dialog::kOk);
      } else {
        answers_.namesMissing = true;
        robot::postClick(d, reopen_dialog::kCancel);
      }
    } else {
      robot::postClick(d, reopen_dialog::kCancel);
    }
    return true;
  }
  if (isCloseDialog(d)) {
    const DialogAnswers& a = answers_.dialogs;
    const bool answered = a.close != DialogAnswers::Close::kCancel;
    std::vector<int> entries;
    if (answered &&
        entriesNamed(d, close_data_dialog::kListBox, a.names, &entries)) {
      robot::selectListItems(d, close_data_dialog::kListBox, entries);
      dialogShot();
      robot::postClick(d, a.close == DialogAnswers::Close::kDelete
                              ? close_data_dialog::kDeleteButton
                              : close_data_dialog::kOk);
    } else {
      answers_.namesMissing = answered;
      robot::postClick(d, close_data_dialog::kCancel);
    }
    return true;
  }
  if (robot::isMessageBox(d)) {
    messages_.push_back({robot::messageBoxText(d), robot::messageBoxWarns(d)});
    PostMessageA(d, WM_COMMAND, IDOK, 0);
    return true;
  }
  // A dialog nobody expects would block the command: cancelled, and said.
  messages_.push_back({"an unexpected dialog \"" + robot::windowText(d) +
                           "\" was cancelled",
                       true});
  PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
  return true;
}

MenuOutcome WindowHostRun::choose(DepotMenu menu, const DialogAnswers& answers,
                                  bool* namesMissing) {
  Answers a;
  a.dialogs = answers;
  std::string& file = a.dialogs.file;
  if (!file.empty() && !isFullPath(file)) {
    // The system's file dialog reads a name that is not a full path in the
    // folder it shows (the one last used), where the command line means
    // this program's current folder.
    char full[kVpiPathSize];
    DWORD n = GetFullPathNameA(file.c_str(), sizeof full, full, nullptr);
    if (n == 0 || n >= sizeof full) {
      std::fprintf(err_,
                   "%s: %s is too long for the module as a full path (at "
                   "most %d bytes)\n",
                   kProgram, sjisToUtf8(file).c_str(), kVpiPathSize - 1);
      file.clear();  // the file dialog is cancelled
    } else {
      file.assign(full, n);
    }
  }
  // The file dialog may leave the process in another current folder; the
  // next relative name on the command line, and the screenshot, mean this
  // one.
  std::string folder(GetCurrentDirectoryA(0, nullptr), '\0');
  folder.resize(GetCurrentDirectoryA(static_cast<DWORD>(folder.size()),
                                     &folder[0]));
  // Both popups carry the open and close commands' one title; the close
  // command is in the popup without the place-name command.
  MenuOutcome outcome =
      menu == DepotMenu::kPlaceNames
          ? runCommand(false, kTextMenuE00PlaceNames, a)
          : runCommand(menu == DepotMenu::kClose, kTextMenuE00File, a);
  if (!folder.empty()) SetCurrentDirectoryA(folder.c_str());
  *namesMissing = answers_.namesMissing;
  return outcome;
}

std::vector<PanelRow> WindowHostRun::panelRows() {
  std::vector<HWND> windows;
  if (HWND panel = findPanel()) {
    EnumChildWindows(panel, collectRow, reinterpret_cast<LPARAM>(&windows));
  }
  // The list stacks its rows in order, scrolled or not.
  auto top = [](HWND w) {
    RECT r = {};
    GetWindowRect(w, &r);
    return r.top;
  };
  std::sort(windows.begin(), windows.end(),
            [&](HWND a, HWND b) { return top(a) < top(b); });
  std::vector<PanelRow> rows;
  for (HWND w : windows) {
    int selection = static_cast<int>(
        SendDlgItemMessageA(w, layer_row::kWidthCombo, CB_GETCURSEL, 0, 0));
    rows.push_back(
        {w, robot::controlText(w, layer_row::kTitle),
         IsDlgButtonChecked(w, layer_row::kShowCheck) == BST_CHECKED ? 1 : 0,
         selection >= 0 ? selection + 1 : 0, swatchColour(w)});
  }
  return rows;
}

bool WindowHostRun::showIn3d() {
  HWND panel = findPanel();
  return panel != nullptr &&
         IsDlgButtonChecked(panel, layer_panel::kShowIn3dCheck) == BST_CHECKED;
}

// Clicks on the row's controls, as the user makes them.
void WindowHostRun::setVisible(const PanelRow& row, bool visible) {
  if (row.visible != (visible ? 1 : 0)) {
    robot::click(static_cast<HWND>(const_cast<void*>(row.window)),
                 layer_row::kShowCheck);
  }
}

void WindowHostRun::setWidth(const PanelRow& row, int width) {
  robot::selectComboItem(static_cast<HWND>(const_cast<void*>(row.window)),
                         layer_row::kWidthCombo, width - 1);
}

void WindowHostRun::setColour(const PanelRow& row, uint32_t colour) {
  Answers a;
  a.colour = colour;
  answers_ = a;
  robot::answerDialogs([this](HWND d) { return answer(d); });
  // Returns when the colour dialog has ended.
  robot::click(static_cast<HWND>(const_cast<void*>(row.window)),
               layer_row::kColourButton);
  robot::stopAnswering();
}

std::vector<ShownMessage> WindowHostRun::takeMessages() {
  std::vector<ShownMessage> taken(
      messages_.begin() + static_cast<std::ptrdiff_t>(reported_),
      messages_.end());
  reported_ = messages_.size();
  return taken;
}

std::string WindowHostRun::printedPath(const char* file) {
  return sjisToUtf8(file);
}

bool knownCommand(const std::string& name) {
  return std::any_of(std::begin(kCommands), std::end(kCommands),
                     [&](const char* c) { return name == c; });
}

// The command's arguments as morvane-host takes them; false after saying
// why.
bool checkCommandArguments(const std::string& c,
                           const std::vector<std::string>& args, FILE* err) {
  if (c == "set") {
    std::string name;
    RowChange change;
    return parseRowChange(kProgram, args, &name, &change, err);
  }
  bool none = c == "list";
  bool one = c == "names";
  if (none ? !args.empty() : one ? args.size() != 1 : args.empty()) {
    std::fprintf(err, "usage: %s %s %s\n", kProgram, c.c_str(),
                 none  ? ""
                 : one ? "FILE.e00"
                 : c == "open" ? "FILE.e00..."
                               : "NAME...");
    return false;
  }
  for (const std::string& arg : args) {
    if (arg.empty() || arg[0] == '-') {
      std::fprintf(err, "%s: unknown option %s\n", c.c_str(), arg.c_str());
      return false;
    }
  }
  return true;
}

}  // namespace

bool parseWindowHostArguments(const std::vector<std::string>& args,
                              WindowHostOptions* o, FILE* err) {
  size_t i = 0;
  for (; i < args.size() && !knownCommand(args[i]); ++i) {
    const std::string& a = args[i];
    if (i + 1 >= args.size()) {
      std::fputs(kUsage, err);
      return false;
    }
    const std::string& value = args[++i];
    if (a == "--home") {
      o->home = value;
    } else if (a == "--map") {
      o->map = value;
    } else if (a == "--module") {
      o->module = value;
    } else if (a == "--screenshot") {
      o->screenshot = value;
    } else if (a == "--dialog-screenshot") {
      o->dialogScreenshot = value;
    } else if (a == "--menu") {
      // Menu titles are the module's, in Shift-JIS.
      o->menus.push_back(utf8ToSjis(value));
    } else {
      std::fputs(kUsage, err);
      return false;
    }
  }
  if (i < args.size()) {
    o->command = args[i];
    o->args.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                   args.end());
    if (!checkCommandArguments(o->command, o->args, err)) return false;
  }
  return true;
}

int runWindowHost(const WindowHostOptions& options, FILE* out, FILE* err) {
  WindowHostRun run(options, out, err);
  return run.run();
}

std::string defaultWindowHostModule() {
  char self[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, self, sizeof self);
  if (n == 0 || n >= sizeof self) return std::string();
  std::string path(self, n);
  size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return std::string();
  // A native (UTF-8) path, as the command line gives one.
  return sjisToUtf8(path.substr(0, slash + 1) + "Morvane.vpl");
}
