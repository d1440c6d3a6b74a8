// morvane-window-host: the Windows stand-in host program. The host itself
// is PluginIf.dll (its windows, menus, layers, profile, and the session
// that loads the module); this program only tells it what to do, so that
// the program and the module it loads share the one host.
//
//   morvane-window-host [--home DIR] [--map FILE.e00|FILE.bin]
//                       [--module Morvane.vpl] [--screenshot OUT.png]
//                       [--menu TITLE]...
//
// --module loads the module as the host does (Init, Load: its popups in the
// menu bar, its panel in the panel area); --menu invokes the module command
// of that title (Shift-JIS) once it is loaded, as a click on it does, in
// the order given. --map draws a data set over the map through the module's
// 2D layer code, with the place names of the --home folder's database.
// With --screenshot the program saves its window as PNG once everything is
// drawn and exits (0 when the file was written); without, it runs until the
// window is closed. Either way the session ends with Close and Release.

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "dataset/LineDataSet.h"
#include "draw/Draw2d.h"
#include "host/PluginIf.h"
#include "standin/StandinView2d.h"
#include "standin/win32/WindowHostApi.h"
#include "tools/DataSetFile.h"

namespace {

const char kUsage[] =
    "usage: morvane-window-host [--home DIR] [--map FILE.e00|FILE.bin] "
    "[--module Morvane.vpl] [--screenshot OUT.png] [--menu TITLE]...\n";

// Both of the module's popups carry this title.
const char kModulePopupTitle[] = "Morvane";

struct Options {
  std::string home;
  std::string map;
  std::string module;
  std::string screenshot;
  std::vector<std::string> menus;
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
    } else if (a == "--menu") {
      o->menus.push_back(argv[++i]);
    } else {
      return false;
    }
  }
  return o->menus.empty() || !o->module.empty();
}

// The data set's bounds with a 5 % margin, in WGS 84 degrees.
void extentOf(const LineDataSet& data, double* west, double* south,
              double* east, double* north) {
  if (data.bounds.left > data.bounds.right) {
    *west = -180.0, *south = -90.0, *east = 180.0, *north = 90.0;
    return;
  }
  *west = data.bounds.left * kDegreesPerUnit;
  *east = data.bounds.right * kDegreesPerUnit;
  *south = data.bounds.top * kDegreesPerUnit;
  *north = data.bounds.bottom * kDegreesPerUnit;
  double margin =
      std::fmax(0.01, 0.05 * std::fmax(*east - *west, *north - *south));
  *west -= margin, *south -= margin, *east += margin, *north += margin;
}

// The drawing calls go to PluginIf.dll, as the module's do.
bool drawMap(const std::string& path) {
  static LineDataSet data(1);
  static char depot[kVpiPathSize] = {};
  data.clear();
  if (!readDataSetFile("morvane-window-host", path, data, depot)) return false;
  double west, south, east, north;
  extentOf(data, &west, &south, &east, &north);
  StandinHost_SetMapExtent(west, south, east, north);
  draw2d(data, standin::kView2d, {south, west}, {north, east});
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!parseArguments(argc, argv, &o)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (!o.home.empty()) StandinHost_SetHome(o.home.c_str());
  if (StandinHost_CreateWindow(960, 640) == 0) {
    std::fprintf(stderr, "morvane-window-host: cannot make the host window\n");
    return 1;
  }
  if (!o.map.empty() && !drawMap(o.map)) return 1;
  if (!o.module.empty()) {
    char error[512];
    if (StandinHost_StartSession(o.module.c_str(), error, sizeof error) == 0) {
      std::fprintf(stderr, "morvane-window-host: %s\n", error);
      StandinHost_Stop();
      return 1;
    }
  }
  for (const std::string& title : o.menus) {
    if (StandinHost_InvokeMenu(kModulePopupTitle, title.c_str()) == 0) {
      std::fprintf(stderr, "morvane-window-host: the command %s did not run\n",
                   title.c_str());
    }
  }
  VPI_UpdateAllViews(1);

  int status = 0;
  if (!o.screenshot.empty()) {
    if (StandinHost_Screenshot(o.screenshot.c_str()) == 0) {
      std::fprintf(stderr, "morvane-window-host: cannot write %s\n",
                   o.screenshot.c_str());
      status = 1;
    } else {
      std::fprintf(stderr, "morvane-window-host: wrote %s\n",
                   o.screenshot.c_str());
    }
  } else {
    StandinHost_Run();
  }
  StandinHost_Stop();
  return status;
}
