// The Windows stand-in host program's windows: a main window with a menu
// bar, the map area (the 2D view, drawn from what the module drew into the
// view's scene, StandinView2d.h) and the panel area on the right, where the
// module's panels go. Until createHostWindow has made them, the host has no
// windows: VPI_GetMainWnd and VPI_GetParentDialogPanel return null.

#ifndef MORVANE_STANDIN_WIN32_STANDINHOSTWINDOW_H_
#define MORVANE_STANDIN_WIN32_STANDINHOSTWINDOW_H_

#include <windows.h>

#include <string>
#include <vector>

#include "standin/Scene.h"

namespace standin {

// Width of the panel area in pixels, and the gap between two panels.
constexpr int kPanelAreaWidth = 180;
constexpr int kPanelGap = 4;

// Makes the main window (outer size width x height, shown) with its menu
// bar, map area and panel area. False when a window cannot be made; true at
// once when they exist already.
bool createHostWindow(int width, int height);
// Destroys the windows (the module's panels, children of the panel area,
// go with them).
void destroyHostWindow();

HWND hostMapWindow();

// Appends the module's popups (StandinMenus.h) to the menu bar, each with
// its commands in order. Choosing one invokes it as the host does (message
// 101, then 100 when enabled); each command is greyed while it answers 0.
void addModuleMenusToMenuBar();

// Names laid over the map, drawn with dots as the SVG picture draws them.
void setMapLabels(const std::vector<SceneLabel>& labels);

// Copies the main window as it is on the screen into a PNG file (24-bit,
// uncompressed deflate), with the dialogs shown over or beside it: the
// rectangle holding the main window and every visible top-level window of
// this thread, within the screen. False when the window does not exist or
// the file cannot be written.
bool saveHostWindowPng(const std::string& path);

}  // namespace standin

#endif  // MORVANE_STANDIN_WIN32_STANDINHOSTWINDOW_H_
