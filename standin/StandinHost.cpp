#include "standin/StandinHost.h"

#include "host/PluginIf.h"

namespace standin {
namespace {

struct General {
  int32_t version = 700;
  std::string home = ".";
  int32_t pumps = 0;
  std::function<void(int32_t)> dispatcher;
  std::function<void(int32_t)> pumpHook;
  int32_t viewsUpdated = 0;
};

General& general() {
  static General g;
  return g;
}

// Stands for the host's main window; never dereferenced.
int gMainWindow;

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

}  // namespace standin

extern "C" {

int32_t VPI_GetVersion(void) { return standin::general().version; }

VpiWindow VPI_GetMainWnd(void) { return &standin::gMainWindow; }

int32_t VPI_Pump(void) {
  standin::General& g = standin::general();
  int32_t number = ++g.pumps;
  if (g.dispatcher) g.dispatcher(number);
  if (g.pumpHook) g.pumpHook(number);
  return 1;
}

void VPI_UpdateAllViews(int32_t /*flag*/) { ++standin::general().viewsUpdated; }

}  // extern "C"
