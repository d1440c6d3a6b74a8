// Without windows: the handles stand for the host's windows and are never
// dereferenced; the headless user interface's robot is the only "message
// queue" (StandinHost.cpp dispatches it).

#include "standin/StandinWindows.h"

namespace standin {
namespace {
int gMainWindow;
int gPanelParent;
}  // namespace

VpiWindow hostMainWindow() { return &gMainWindow; }
VpiWindow hostPanelParent() { return &gPanelParent; }
void pumpHostWindowMessages() {}
void repaintHostMap() {}
void placeHostPanels() {}
void hideHostPanel(VpiWindow) {}

}  // namespace standin
