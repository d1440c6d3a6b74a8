#include "ui/headless/HeadlessUi.h"

#include <algorithm>

#include "resources/DialogTemplates.h"
#include "ui/ModuleDialog.h"

namespace headless {
namespace {

struct ScheduledClick {
  int32_t pumpNumber;
  int32_t templateId;
  int32_t controlId;
};

const char kHostResourcesTag = 0;
const char kModuleResourcesTag = 0;

struct UiState {
  std::vector<Window*> windows;
  std::vector<ScheduledClick> clicks;
  std::function<void(Window&)> modalHook;
  Observer* observer = nullptr;
  ResourceModule resources = &kHostResourcesTag;
  WindowPoint cursor = {0, 0};
  std::map<VpiWindow, WindowPoint> clientOrigins;
  std::vector<PostedMessage> posted;
  int32_t screenWidth = 1024;
  int32_t screenHeight = 768;
  int32_t windowWidth = 0;
  int32_t windowHeight = 0;
};

constexpr uint32_t kChildStyle = 0x40000000;  // WS_CHILD

// Dialog units to headless pixels: 1.5 pixels each.
int32_t pixels(int units) { return units * 3 / 2; }

UiState& state() {
  static UiState s;
  return s;
}

void unregisterWindow(Window* window) {
  auto& w = state().windows;
  w.erase(std::remove(w.begin(), w.end(), window), w.end());
}

// Makes the window, registers it and runs the dialog's initialisation.
void open(Window* window) {
  state().windows.push_back(window);
  window->dialog().initialise(window);
  window->shown = true;
  if (state().observer) state().observer->windowShown(*window);
}

}  // namespace

const ResourceModule kHostResources = &kHostResourcesTag;
const ResourceModule kModuleResources = &kModuleResourcesTag;

Window::Window(ModuleDialog& dialog, VpiWindow owner, bool modal)
    : dialog_(dialog),
      owner_(owner),
      modal_(modal),
      resources_(currentResourceModule()),
      rect_{0, 0, state().windowWidth, state().windowHeight} {
  const DialogTemplate* t = dialog_templates::findTemplate(dialog.templateId());
  if (t == nullptr) return;
  if (t->style & kChildStyle) {
    rect_ = {0, 0, pixels(t->width), pixels(t->height)};
  }
  for (int i = 0; i < t->controlCount; ++i) {
    const ControlTemplate& c = t->controls[i];
    controlRects_[c.id] = {pixels(c.x), pixels(c.y), pixels(c.x + c.width),
                           pixels(c.y + c.height)};
  }
  // What the dialog's initialisation data (DLGINIT) does before
  // WM_INITDIALOG: the combo box gets its items.
  for (int i = 0; i < t->initCount; ++i) {
    controls_[t->initControl].items.push_back(
        ListItem{t->initStrings[i], 0, false});
  }
}

bool Window::send(uint32_t message, int32_t controlId, MessageArgs* args) {
  return dialog_.dispatch(message, controlId, 0, args);
}

std::vector<DrawOp> Window::drawItem(int32_t controlId, uint32_t action,
                                     uint32_t state) {
  RecordingDrawTarget target;
  const WindowRect r = controlRect(controlId);
  DrawItemRequest request{controlId, action, state,
                          {0, 0, r.right - r.left, r.bottom - r.top}, &target};
  MessageArgs args;
  args.drawItem = &request;
  dialog_.dispatch(kMessageDrawItem, controlId, 0, &args);
  return target.ops;
}

void Window::setOuterSize(int32_t width, int32_t height) {
  rect_.right = rect_.left + width;
  rect_.bottom = rect_.top + height;
}

WindowRect Window::controlRect(int32_t id) const {
  auto it = controlRects_.find(id);
  return it == controlRects_.end() ? WindowRect{0, 0, 0, 0} : it->second;
}

WindowRect Window::clientRect() const {
  return {0, 0, rect_.right - rect_.left, rect_.bottom - rect_.top};
}

WindowRect Window::controlScreenRect(int32_t id) const {
  const WindowRect r = controlRect(id);
  return {r.left + rect_.left, r.top + rect_.top, r.right + rect_.left,
          r.bottom + rect_.top};
}

WindowRect Window::screenToClient(const WindowRect& r) const {
  return {r.left - rect_.left, r.top - rect_.top, r.right - rect_.left,
          r.bottom - rect_.top};
}

WindowPoint Window::screenToClientOf(VpiWindow window, WindowPoint p) const {
  WindowPoint origin = {0, 0};
  auto& windows = state().windows;
  auto own = std::find(windows.begin(), windows.end(),
                       static_cast<Window*>(window));
  if (own != windows.end()) {
    origin = {(*own)->rect_.left, (*own)->rect_.top};
  } else {
    auto it = state().clientOrigins.find(window);
    if (it != state().clientOrigins.end()) origin = it->second;
  }
  return {p.x - origin.x, p.y - origin.y};
}

WindowPoint Window::cursorPosition() const { return state().cursor; }

void Window::postMessage(VpiWindow window, uint32_t message, uintptr_t wParam,
                         intptr_t lParam) {
  state().posted.push_back({window, message, wParam, lParam});
}

void setCursorPosition(WindowPoint point) { state().cursor = point; }
void setClientOrigin(VpiWindow window, WindowPoint origin) {
  state().clientOrigins[window] = origin;
}
const std::vector<PostedMessage>& postedMessages() { return state().posted; }

int32_t Window::templateId() const { return dialog_.templateId(); }

const Control* Window::find(int32_t id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : &it->second;
}

void Window::click(int32_t controlId) {
  const Control* c = find(controlId);
  if (c != nullptr && !c->enabled) return;
  dialog_.dispatch(kMessageCommand, controlId, kNotifyClicked);
}

void Window::changeSelection(int32_t controlId) {
  const Control* c = find(controlId);
  if (c != nullptr && !c->enabled) return;
  dialog_.dispatch(kMessageCommand, controlId, kNotifySelectionChange);
}

void Window::setText(int32_t id, const std::string& text) {
  controls_[id].text = text;
}

std::string Window::text(int32_t id) const {
  const Control* c = find(id);
  return c ? c->text : std::string();
}

void Window::setChecked(int32_t id, bool checked) {
  controls_[id].checked = checked;
}

bool Window::checked(int32_t id) const {
  const Control* c = find(id);
  return c != nullptr && c->checked;
}

void Window::setEnabled(int32_t id, bool enabled) {
  controls_[id].enabled = enabled;
}

void Window::setRange(int32_t id, int32_t minimum, int32_t maximum) {
  controls_[id].rangeMinimum = minimum;
  controls_[id].rangeMaximum = maximum;
}

void Window::setPosition(int32_t id, int32_t position) {
  Control& c = controls_[id];
  const int32_t previous = c.position;
  c.position = position;
  c.positions.push_back(position);
  if (shown && state().observer) state().observer->positionSet(*this, id, previous);
}

void Window::clearItems(int32_t id) { controls_[id].items.clear(); }

namespace {

constexpr uint32_t kListBoxSortStyle = 0x0002;  // LBS_SORT

// Whether the template gives the control the list box's LBS_SORT style.
bool sortedList(int32_t templateId, int32_t controlId) {
  const DialogTemplate* t = dialog_templates::findTemplate(templateId);
  if (t == nullptr) return false;
  for (int i = 0; i < t->controlCount; ++i) {
    const ControlTemplate& c = t->controls[i];
    if (c.id == controlId) {
      return std::string(c.className) == "ListBox" &&
             (c.style & kListBoxSortStyle) != 0;
    }
  }
  return false;
}

// A sorted list box orders its items without regard to case; equal texts
// keep the order they were added in.
bool sortsBefore(const std::string& a, const std::string& b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 'a' + 'A');
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

}  // namespace

int32_t Window::addItem(int32_t id, const std::string& text, uintptr_t data) {
  Control& c = controls_[id];
  auto at = c.items.end();
  if (sortedList(templateId(), id)) {
    at = std::upper_bound(c.items.begin(), c.items.end(), text,
                          [](const std::string& t, const ListItem& item) {
                            return sortsBefore(t, item.text);
                          });
  }
  at = c.items.insert(at, ListItem{text, data, false});
  return static_cast<int32_t>(at - c.items.begin());
}

uintptr_t Window::itemData(int32_t id, int32_t index) const {
  const Control* c = find(id);
  if (c == nullptr || index < 0 ||
      static_cast<size_t>(index) >= c->items.size()) {
    return 0;
  }
  return c->items[static_cast<size_t>(index)].data;
}

std::vector<int32_t> Window::selectedItems(int32_t id) const {
  std::vector<int32_t> selected;
  const Control* c = find(id);
  if (c == nullptr) return selected;
  for (size_t i = 0; i < c->items.size(); ++i) {
    if (c->items[i].selected) selected.push_back(static_cast<int32_t>(i));
  }
  return selected;
}

void Window::setSelection(int32_t id, int32_t index) {
  Control& c = controls_[id];
  for (size_t i = 0; i < c.items.size(); ++i) {
    c.items[i].selected = static_cast<int32_t>(i) == index;
  }
}

void Window::screenSize(int32_t* width, int32_t* height) const {
  *width = state().screenWidth;
  *height = state().screenHeight;
}

void Window::moveTo(int32_t left, int32_t top) {
  rect_ = {left, top, left + (rect_.right - rect_.left),
           top + (rect_.bottom - rect_.top)};
}

void Window::endDialog(int32_t result) {
  if (!modal_ || ended_) return;
  ended_ = true;
  result_ = result;
}

Window* windowOf(const ModuleDialog& dialog) {
  return static_cast<Window*>(dialog.window());
}

Window* findDialog(int32_t templateId) {
  auto& w = state().windows;
  for (auto it = w.rbegin(); it != w.rend(); ++it) {
    if ((*it)->templateId() == templateId) return *it;
  }
  return nullptr;
}

std::vector<Window*> findDialogs(int32_t templateId) {
  std::vector<Window*> found;
  for (Window* w : state().windows) {
    if (w->templateId() == templateId) found.push_back(w);
  }
  return found;
}

void scheduleClick(int32_t pumpNumber, int32_t templateId, int32_t controlId) {
  state().clicks.push_back({pumpNumber, templateId, controlId});
}

void dispatchPending(int32_t pumpNumber) {
  auto& clicks = state().clicks;
  std::vector<ScheduledClick> due;
  for (const auto& c : clicks) {
    if (c.pumpNumber == pumpNumber) due.push_back(c);
  }
  clicks.erase(std::remove_if(clicks.begin(), clicks.end(),
                              [&](const ScheduledClick& c) {
                                return c.pumpNumber == pumpNumber;
                              }),
               clicks.end());
  for (const auto& c : due) {
    if (Window* w = findDialog(c.templateId)) w->click(c.controlId);
  }
}

void onModalDialog(std::function<void(Window&)> hook) {
  state().modalHook = std::move(hook);
}

void setObserver(Observer* observer) { state().observer = observer; }
Observer* observer() { return state().observer; }

void setScreenSize(int32_t width, int32_t height) {
  state().screenWidth = width;
  state().screenHeight = height;
}

void setWindowSize(int32_t width, int32_t height) {
  state().windowWidth = width;
  state().windowHeight = height;
}

void resetUi() {
  UiState& s = state();
  forgetMessages();
  s.clicks.clear();
  s.windows.clear();
  s.modalHook = nullptr;
  s.resources = kHostResources;
  s.cursor = {0, 0};
  s.clientOrigins.clear();
  s.posted.clear();
  resetDrawing();
  setScreenSize(1024, 768);
  setWindowSize(0, 0);
}

}  // namespace headless

DialogWindow* createDialogWindow(ModuleDialog& dialog, VpiWindow owner) {
  auto* window = new headless::Window(dialog, owner, false);
  headless::open(window);
  return window;
}

void destroyDialogWindow(DialogWindow* window) {
  auto* w = static_cast<headless::Window*>(window);
  // WM_DESTROY reaches the dialog while its window still exists.
  w->dialog().dispatch(kMessageDestroy, 0, 0);
  headless::unregisterWindow(w);
  if (headless::state().observer) headless::state().observer->windowDestroyed(*w);
  delete w;
}

int32_t runDialogWindow(ModuleDialog& dialog, VpiWindow owner) {
  headless::Window window(dialog, owner, true);
  headless::open(&window);
  // The hook may clear itself or set another; call a copy.
  std::function<void(headless::Window&)> hook = headless::state().modalHook;
  if (hook && !window.ended()) hook(window);
  headless::unregisterWindow(&window);
  if (headless::state().observer) headless::state().observer->windowDestroyed(window);
  return window.ended() ? window.result() : kDialogCancel;
}

ResourceModule currentResourceModule() { return headless::state().resources; }
void setCurrentResourceModule(ResourceModule module) {
  headless::state().resources = module;
}
ResourceModule moduleResourceModule() { return headless::kModuleResources; }

