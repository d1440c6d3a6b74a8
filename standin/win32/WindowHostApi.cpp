#include "standin/win32/WindowHostApi.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "standin/Geodesy.h"
#include "standin/HostSession.h"
#include "standin/StandinHost.h"
#include "standin/StandinNameDb.h"
#include "standin/StandinView2d.h"
#include "standin/win32/StandinHostWindow.h"

namespace {

standin::HostSession& session() {
  static standin::HostSession s;
  return s;
}

void copyText(const std::string& text, char* out, int32_t size) {
  if (out == nullptr || size <= 0) return;
  size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
  text.copy(out, n);
  out[n] = '\0';
}

}  // namespace

extern "C" {

void StandinHost_SetHome(const char* home) {
  standin::setHome(home != nullptr ? home : ".");
}

int32_t StandinHost_CreateWindow(int32_t width, int32_t height) {
  return standin::createHostWindow(width, height) ? 1 : 0;
}

void StandinHost_SetMapExtent(double west, double south, double east,
                              double north) {
  standin::resetView2d();
  standin::setView2d({west, south, east, north}, standin::kDatumWgs84);
  std::vector<standin::SceneLabel> labels;
  for (const standin::NameEntry& entry : standin::nameEntries()) {
    if (entry.longitude >= west && entry.longitude <= east &&
        entry.latitude >= south && entry.latitude <= north) {
      labels.push_back({{entry.latitude, entry.longitude}, entry.name});
    }
  }
  standin::setMapLabels(labels);
}

int32_t StandinHost_DrawnBounds(double* west, double* south, double* east,
                                double* north) {
  bool any = false;
  double w = 0, s = 0, e = 0, n = 0;
  for (const standin::ScenePolyline& line : standin::scene2d().polylines()) {
    for (const tagGEOPOS& p : line.points) {
      if (!any) {
        w = e = p.longitude;
        s = n = p.latitude;
        any = true;
      }
      w = std::min(w, p.longitude), e = std::max(e, p.longitude);
      s = std::min(s, p.latitude), n = std::max(n, p.latitude);
    }
  }
  if (!any || west == nullptr || south == nullptr || east == nullptr ||
      north == nullptr) {
    return 0;
  }
  *west = w, *south = s, *east = e, *north = n;
  return 1;
}

int32_t StandinHost_StartSession(const char* modulePath, char* error,
                                 int32_t errorSize) {
  std::string why;
  if (modulePath == nullptr ||
      !session().start(standin::home(), modulePath, &why)) {
    copyText(why, error, errorSize);
    return 0;
  }
  standin::addModuleMenusToMenuBar();
  return 1;
}

int32_t StandinHost_Screenshot(const char* path) {
  // Long enough for the window manager-less X server to map and paint.
  for (int i = 0; i < 20; ++i) {
    VPI_Pump();
    Sleep(50);
  }
  VPI_UpdateAllViews(1);
  VPI_Pump();
  return path != nullptr && standin::saveHostWindowPng(path) ? 1 : 0;
}

void StandinHost_Run(void) {
  MSG message;
  while (IsWindow(static_cast<HWND>(VPI_GetMainWnd())) &&
         GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

int32_t StandinHost_Stop(void) {
  bool saved = session().stop();
  standin::destroyHostWindow();
  return saved ? 1 : 0;
}

}  // extern "C"
