#include "standin/StandinHost.h"

#include "base/HostBoundary.h"
#include "host/PluginIf.h"
#include "standin/StandinWindows.h"

namespace standin {
namespace {

struct General {
  int32_t version = 700;
  std::string home = ".";
  int32_t pumps = 0;
  std::function<void(int32_t)> dispatcher;
  std::function<void(int32_t)> pumpHook;
  int32_t viewsUpdated = 0;
  std::vector<StandinPanel> panels;
  uint32_t nextPanelId = 1;
};

General& general() {
  static General g;
  return g;
}

}  // namespace

void setVersion(int32_t version) { general().version = version; }
void setHome(const std::string& folder) { general().home = folder; }
const std::string& home() { return general().home; }
int32_t pumpCount() { return general().pumps; }
void setMessageDispatcher(std::function<void(int32_t)> dispatcher) {
  general().dispatcher = std::move(dispatcher);
}
void onPump(std::function<void(int32_t)> hook) {
  general().pumpHook = std::move(hook);
}
void resetPump() {
  general().pumps = 0;
  general().pumpHook = nullptr;
}
int32_t viewsUpdated() { return general().viewsUpdated; }
void resetViewsUpdated() { general().viewsUpdated = 0; }
const std::vector<StandinPanel>& panels() { return general().panels; }
void resetPanels() {
  general().panels.clear();
  general().nextPanelId = 1;
}

}  // namespace standin

extern "C" {

int32_t VPI_GetVersion(void) { return standin::general().version; }

VpiWindow VPI_GetMainWnd(void) { return standin::hostMainWindow(); }

// The window messages first (a click on a real button), then the robot's
// clicks for this pump.
// No exception crosses into the module: a dispatcher or hook that throws
// ends the pump with 0.
int32_t VPI_Pump(void) {
  return guardHostCall(0, [] {
    standin::General& g = standin::general();
    int32_t number = ++g.pumps;
    standin::pumpHostWindowMessages();
    if (g.dispatcher) g.dispatcher(number);
    if (g.pumpHook) g.pumpHook(number);
    return 1;
  });
}

void VPI_UpdateAllViews(int32_t /*flag*/) {
  ++standin::general().viewsUpdated;
  standin::repaintHostMap();
}

VpiWindow VPI_GetParentDialogPanel(void) { return standin::hostPanelParent(); }

uint32_t VPI_AddDialogPanel(VpiWindow window, const char* title) {
  return guardHostCall(0u, [&] {
    standin::General& g = standin::general();
    g.panels.push_back({g.nextPanelId, window, title != nullptr ? title : ""});
    standin::placeHostPanels();
    return g.nextPanelId++;
  });
}

int32_t VPI_RemoveDialogPanel(uint32_t panel) {
  std::vector<standin::StandinPanel>& list = standin::general().panels;
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (it->id == panel) {
      // The window is the module's: it is hidden here, destroyed there.
      standin::hideHostPanel(it->window);
      list.erase(it);
      standin::placeHostPanels();
      return 1;
    }
  }
  return 0;
}

}  // extern "C"

