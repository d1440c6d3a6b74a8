// The stand-in host's windows, as the general services (StandinHost.cpp)
// reach them: a backend per platform. On Windows (win32/StandinHostWindow.cpp)
// they are the host program's real main window, map area and panel area,
// once the program has made them; natively (posix/StandinWindowsPosix.cpp)
// there are no windows, and the handles stand for them without being
// dereferenced.

#ifndef MORVANE_STANDIN_STANDINWINDOWS_H_
#define MORVANE_STANDIN_STANDINWINDOWS_H_

#include "host/PluginIf.h"

namespace standin {

VpiWindow hostMainWindow();
// The parent of the module's panels: the panel area.
VpiWindow hostPanelParent();
// Dispatches the window messages waiting in the thread's queue.
void pumpHostWindowMessages();
// Redraws the map area from the 2D scene.
void repaintHostMap();
// Lays the registered panels out in the panel area, top to bottom in order
// of registration; a removed panel is hidden.
void placeHostPanels();
void hideHostPanel(VpiWindow window);

}  // namespace standin

#endif  // MORVANE_STANDIN_STANDINWINDOWS_H_
