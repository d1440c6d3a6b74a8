// morvane-window-host: the Windows stand-in host program. Shows the host's
// main window (menu bar, map area, panel area) and, on request, a line data
// set drawn on the map through the module's 2D layer, the place names of the
// host's database over it, and the module's side panel from its own
// resources in the panel area.
//
//   morvane-window-host [--home DIR] [--map FILE.e00|FILE.bin]
//                       [--module Morvane.vpl] [--screenshot OUT.png]
//
// With --screenshot the program saves its window as PNG once everything is
// drawn and exits (0 when the file was written); without, it runs until the
// window is closed.

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "dataset/LineDataSet.h"
#include "draw/Draw2d.h"
#include "host/PluginIf.h"
#include "resources/DialogIds.h"
#include "standin/Geodesy.h"
#include "standin/StandinHost.h"
#include "standin/StandinNameDb.h"
#include "standin/StandinView2d.h"
#include "standin/win32/StandinHostWindow.h"
#include "tools/DataSetFile.h"

namespace {

const char kUsage[] =
    "usage: morvane-window-host [--home DIR] [--map FILE.e00|FILE.bin] "
    "[--module Morvane.vpl] [--screenshot OUT.png]\n";

struct Options {
  std::string home;
  std::string map;
  std::string module;
  std::string screenshot;
};

bool parseArguments(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (i + 1 >= argc) return false;
    if (a == "--home") {
      o->home = argv[++i];
    } else if (a == "--map") {
      o->map = argv[++i];
    } else if (a == "--module") {
      o->module = argv[++i];
    } else if (a == "--screenshot") {
      o->screenshot = argv[++i];
    } else {
      return false;
    }
  }
  return true;
}

// The data set's bounds with a 5 % margin, in WGS 84 degrees.
standin::GeoExtent extentOf(const LineDataSet& data) {
  if (data.bounds.left > data.bounds.right) return {-180.0, -90.0, 180.0, 90.0};
  double west = data.bounds.left * kDegreesPerUnit;
  double east = data.bounds.right * kDegreesPerUnit;
  double south = data.bounds.top * kDegreesPerUnit;
  double north = data.bounds.bottom * kDegreesPerUnit;
  double margin = std::fmax(0.01, 0.05 * std::fmax(east - west, north - south));
  return {west - margin, south - margin, east + margin, north + margin};
}

bool drawMap(const std::string& path) {
  static LineDataSet data(1);  // drawn again at every repaint's scene
  static char depot[kVpiPathSize] = {};
  data.clear();
  if (!readDataSetFile("morvane-window-host", path, data, depot)) return false;
  standin::resetView2d();
  standin::GeoExtent extent = extentOf(data);
  standin::setView2d(extent, standin::kDatumWgs84);
  tagDRAW2DEVENT event = standin::draw2dEvent();
  tagGEOPOS southWest = {event.southEast.latitude, event.northWest.longitude};
  tagGEOPOS northEast = {event.northWest.latitude, event.southEast.longitude};
  draw2d(data, standin::kView2d, southWest, northEast);

  std::vector<standin::SceneLabel> labels;
  for (const standin::NameEntry& entry : standin::nameEntries()) {
    if (entry.longitude >= extent.west && entry.longitude <= extent.east &&
        entry.latitude >= extent.south && entry.latitude <= extent.north) {
      labels.push_back({{entry.latitude, entry.longitude}, entry.name});
    }
  }
  standin::setMapLabels(labels);
  std::fprintf(stderr, "morvane-window-host: %lld lines, %zu names\n",
               static_cast<long long>(standin::scene2d().lineCount()),
               labels.size());
  return true;
}

INT_PTR CALLBACK panelProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

// The module's side panel template, made as the module makes it: a
// modeless dialog, child of the host's panel parent, registered as a panel.
bool showModulePanel(const std::string& path) {
  HMODULE module = LoadLibraryA(path.c_str());
  if (!module) {
    std::fprintf(stderr, "morvane-window-host: cannot load %s\n", path.c_str());
    return false;
  }
  HWND panel = CreateDialogParamA(module, MAKEINTRESOURCEA(kLayerPanelTemplate),
                                  static_cast<HWND>(VPI_GetParentDialogPanel()),
                                  panelProc, 0);
  if (!panel) {
    std::fprintf(stderr, "morvane-window-host: no panel template in %s\n",
                 path.c_str());
    return false;
  }
  VPI_AddDialogPanel(panel, "Morvane");
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!parseArguments(argc, argv, &o)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (!o.home.empty()) standin::setHome(o.home);
  if (!standin::createHostWindow(960, 640)) {
    std::fprintf(stderr, "morvane-window-host: cannot make the host window\n");
    return 1;
  }
  if (!o.map.empty() && !drawMap(o.map)) return 1;
  if (!o.module.empty() && !showModulePanel(o.module)) return 1;
  VPI_UpdateAllViews(1);

  if (!o.screenshot.empty()) {
    // Long enough for the window manager-less X server to map and paint.
    for (int i = 0; i < 20; ++i) {
      VPI_Pump();
      Sleep(50);
    }
    VPI_UpdateAllViews(1);
    VPI_Pump();
    if (!standin::saveHostWindowPng(o.screenshot)) {
      std::fprintf(stderr, "morvane-window-host: cannot write %s\n",
                   o.screenshot.c_str());
      return 1;
    }
    std::fprintf(stderr, "morvane-window-host: wrote %s\n", o.screenshot.c_str());
    standin::destroyHostWindow();
    return 0;
  }
  MSG message;
  while (IsWindow(static_cast<HWND>(VPI_GetMainWnd())) &&
         GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
