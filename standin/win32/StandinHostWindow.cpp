#include "standin/win32/StandinHostWindow.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "standin/LabelPlacement.h"
#include "standin/StandinHost.h"
#include "standin/StandinLayers.h"
#include "standin/StandinMenus.h"
#include "standin/StandinView2d.h"
#include "standin/StandinWindows.h"

namespace standin {
namespace {

const char kMainClass[] = "MorvaneStandinHost";
const char kMapClass[] = "MorvaneStandinMap";
const char kPanelAreaClass[] = "MorvaneStandinPanelArea";
const COLORREF kMapBackground = RGB(0x10, 0x24, 0x3A);  // as in the SVG

enum : UINT { kMenuExit = 100 };
// WM_COMMAND ids of the module's commands: this base plus the command's id.
constexpr UINT kModuleCommandBase = 0x1000;

struct Windows {
  HWND main = nullptr;
  HWND map = nullptr;
  HWND panelArea = nullptr;
  std::vector<SceneLabel> labels;
};

Windows& windows() {
  static Windows w;
  return w;
}

struct GdiDeleter {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using GdiObject = std::unique_ptr<std::remove_pointer<HGDIOBJ>::type, GdiDeleter>;

// The 2D view's extent fitted into the client rectangle, as the SVG picture
// projects it: plate carree scaled by the cosine of the middle latitude.
struct MapProjection {
  double west, north, xScale, yScale, left, top;
  int x(double longitude) const {
    return static_cast<int>(std::lround(left + (longitude - west) * xScale));
  }
  int y(double latitude) const {
    return static_cast<int>(std::lround(top + (north - latitude) * yScale));
  }
};

MapProjection projectionFor(const GeoExtent& e, const RECT& client) {
  double lonSpan = e.east - e.west;
  double latSpan = e.north - e.south;
  double middle = (e.north + e.south) / 2.0 * 3.14159265358979323846 / 180.0;
  double aspect = std::fmax(std::cos(middle), 0.05);
  double w = client.right - client.left;
  double h = client.bottom - client.top;
  double scale = std::fmin(w / (lonSpan * aspect), h / latSpan);
  double left = (w - lonSpan * aspect * scale) / 2.0;
  double top = (h - latSpan * scale) / 2.0;
  return {e.west, e.north, scale * aspect, scale, left, top};
}

void paintMap(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  GdiObject background(CreateSolidBrush(kMapBackground));
  FillRect(dc, &client, static_cast<HBRUSH>(background.get()));

  const GeoExtent& extent = view2dExtent();
  if (extent.east > extent.west && extent.north > extent.south &&
      client.right > 0 && client.bottom > 0) {
    MapProjection proj = projectionFor(extent, client);
    std::vector<POINT> points;
    for (const ScenePolyline& line : scene2d().polylines()) {
      int width = std::max(1, static_cast<int>(std::lround(line.width)));
      GdiObject pen(CreatePen(PS_SOLID, width, line.colour & 0xFFFFFFu));
      HGDIOBJ old = SelectObject(dc, pen.get());
      points.clear();
      for (const tagGEOPOS& p : line.points) {
        points.push_back({proj.x(p.longitude), proj.y(p.latitude)});
      }
      if (points.size() == 1) points.push_back(points[0]);
      Polyline(dc, points.data(), static_cast<int>(points.size()));
      SelectObject(dc, old);
    }
    // The names in Shift-JIS, as the host shows them (code page 932).
    GdiObject dot(CreateSolidBrush(RGB(0xFF, 0x50, 0x50)));
    GdiObject font(CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                               SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH, "\x82l\x82r \x82o\x83S\x83V\x83" "b\x83N"));
    HGDIOBJ oldFont = SelectObject(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
    // Every dot, then each name where it covers no earlier name and no dot
    // (standin/LabelPlacement.h), measured in the face it is drawn in; a
    // name with no room is left out.
    const std::vector<SceneLabel>& labels = windows().labels;
    std::vector<LabelRequest> requests;
    requests.reserve(labels.size());
    for (const SceneLabel& label : labels) {
      int x = proj.x(label.position.longitude);
      int y = proj.y(label.position.latitude);
      RECT r = {x - 2, y - 2, x + 3, y + 3};
      FillRect(dc, &r, static_cast<HBRUSH>(dot.get()));
      SIZE size = {0, 0};
      GetTextExtentPoint32A(dc, label.name.data(),
                            static_cast<int>(label.name.size()), &size);
      requests.push_back({x + 0.5, y + 0.5, static_cast<double>(size.cx)});
    }
    const std::vector<LabelPlacement> placements =
        placeLabels(requests, client.right, client.bottom);
    for (size_t i = 0; i < labels.size(); ++i) {
      const LabelPlacement& at = placements[i];
      if (!at.shown) continue;
      SetTextAlign(dc, TA_BASELINE | (at.anchor == LabelAnchor::kStart ? TA_LEFT
                                      : at.anchor == LabelAnchor::kMiddle
                                          ? TA_CENTER
                                          : TA_RIGHT));
      TextOutA(dc, static_cast<int>(std::lround(at.x)),
               static_cast<int>(std::lround(at.y)), labels[i].name.data(),
               static_cast<int>(labels[i].name.size()));
    }
    SelectObject(dc, oldFont);
  }
  EndPaint(window, &paint);
}

// The map to the left of the panel area, both the client's full height.
void layOut(HWND main) {
  RECT client;
  GetClientRect(main, &client);
  int panelLeft = std::max(0, static_cast<int>(client.right) - kPanelAreaWidth);
  Windows& w = windows();
  if (w.map) MoveWindow(w.map, 0, 0, panelLeft, client.bottom, TRUE);
  if (w.panelArea) {
    MoveWindow(w.panelArea, panelLeft, 0, client.right - panelLeft,
               client.bottom, TRUE);
  }
}

LRESULT CALLBACK mainProc(HWND window, UINT message, WPARAM wParam,
                          LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      layOut(window);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kMenuExit) {
        DestroyWindow(window);
      } else if (HIWORD(wParam) == 0 && LOWORD(wParam) > kModuleCommandBase) {
        invokeMenuCommand(LOWORD(wParam) - kModuleCommandBase);
      }
      return 0;
    case WM_INITMENUPOPUP: {
      // The host asks each command whether it is enabled as its popup opens.
      HMENU popup = reinterpret_cast<HMENU>(wParam);
      for (int i = 0, n = GetMenuItemCount(popup); i < n; ++i) {
        UINT id = GetMenuItemID(popup, i);
        if (id == static_cast<UINT>(-1) || id <= kModuleCommandBase) continue;
        bool enabled = menuCommandEnabled(id - kModuleCommandBase);
        EnableMenuItem(popup, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
      }
      return 0;
    }
    case WM_DESTROY:
      windows() = Windows();
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK mapProc(HWND window, UINT message, WPARAM wParam,
                         LPARAM lParam) {
  if (message == WM_PAINT) {
    paintMap(window);
    return 0;
  }
  if (message == WM_ERASEBKGND) return 1;  // the paint fills it all
  return DefWindowProcA(window, message, wParam, lParam);
}

bool registerClass(const char* name, WNDPROC proc, int background) {
  WNDCLASSA c = {};
  c.lpfnWndProc = proc;
  c.hInstance = GetModuleHandleA(nullptr);
  c.hCursor = LoadCursor(nullptr, IDC_ARROW);
  c.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(background + 1));
  c.lpszClassName = name;
  return RegisterClassA(&c) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// Minimal PNG: 8-bit RGB, each row with filter 0, in stored (uncompressed)
// deflate blocks of at most 65535 bytes.
uint32_t crc32Of(const unsigned char* data, size_t size, uint32_t crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void putBig32(std::vector<unsigned char>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back((v >> shift) & 0xFF);
}

void putChunk(std::vector<unsigned char>& out, const char* type,
              const std::vector<unsigned char>& data) {
  putBig32(out, static_cast<uint32_t>(data.size()));
  std::vector<unsigned char> body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  out.insert(out.end(), body.begin(), body.end());
  putBig32(out, crc32Of(body.data(), body.size()));
}

std::vector<unsigned char> encodePng(int width, int height,
                                     const std::vector<unsigned char>& rgbRows) {
  std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<unsigned char> header;
  putBig32(header, width);
  putBig32(header, height);
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB
  putChunk(png, "IHDR", header);

  std::vector<unsigned char> z = {0x78, 0x01};
  uint32_t a = 1, b = 0;  // Adler-32
  size_t done = 0;
  do {
    size_t n = std::min<size_t>(65535, rgbRows.size() - done);
    bool last = done + n == rgbRows.size();
    z.push_back(last ? 1 : 0);
    z.push_back(n & 0xFF);
    z.push_back(n >> 8);
    z.push_back(~n & 0xFF);
    z.push_back((~n >> 8) & 0xFF);
    for (size_t i = done; i < done + n; ++i) {
      z.push_back(rgbRows[i]);
      a = (a + rgbRows[i]) % 65521;
      b = (b + a) % 65521;
    }
    done += n;
  } while (done < rgbRows.size());
  putBig32(z, (b << 16) | a);
  putChunk(png, "IDAT", z);
  putChunk(png, "IEND", {});
  return png;
}

// Grows the rectangle at lParam by a visible top-level window (a dialog).
BOOL CALLBACK addVisibleWindow(HWND window, LPARAM rect) {
  RECT r;
  if (IsWindowVisible(window) && GetWindowRect(window, &r)) {
    RECT* into = reinterpret_cast<RECT*>(rect);
    UnionRect(into, into, &r);
  }
  return TRUE;
}

}  // namespace

bool createHostWindow(int width, int height) {
  Windows& w = windows();
  if (w.main) return true;
  if (!registerClass(kMainClass, mainProc, COLOR_BTNFACE) ||
      !registerClass(kMapClass, mapProc, COLOR_WINDOW) ||
      !registerClass(kPanelAreaClass, DefWindowProcA, COLOR_BTNFACE)) {
    return false;
  }
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  AppendMenuA(file, MF_STRING, kMenuExit, "E&xit");
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
  HINSTANCE instance = GetModuleHandleA(nullptr);
  w.main = CreateWindowExA(0, kMainClass, "Morvane stand-in host",
                           WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, width,
                           height, nullptr, bar, instance, nullptr);
  if (!w.main) return false;
  w.map = CreateWindowExA(WS_EX_CLIENTEDGE, kMapClass, "", WS_CHILD | WS_VISIBLE,
                          0, 0, 0, 0, w.main, nullptr, instance, nullptr);
  // The panels are dialogs: the area passes their notifications on to
  // DefWindowProc, and clips them so that each paints itself.
  w.panelArea = CreateWindowExA(0, kPanelAreaClass, "",
                                WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                0, 0, 0, 0, w.main, nullptr, instance, nullptr);
  if (!w.map || !w.panelArea) {
    destroyHostWindow();
    return false;
  }
  layOut(w.main);
  ShowWindow(w.main, SW_SHOW);
  UpdateWindow(w.main);
  return true;
}

void destroyHostWindow() {
  if (windows().main) DestroyWindow(windows().main);
  windows() = Windows();
}

HWND hostMapWindow() { return windows().map; }

void addModuleMenusToMenuBar() {
  HWND main = windows().main;
  HMENU bar = main ? GetMenu(main) : nullptr;
  if (!bar) return;
  for (const PopupMenu& p : menus()) {
    HMENU popup = CreatePopupMenu();
    for (const MenuCommand& c : p.commands) {
      if (c.id >= 0x10000 - kModuleCommandBase) continue;  // WM_COMMAND's 16 bits
      AppendMenuA(popup, MF_STRING, kModuleCommandBase + c.id, c.title.c_str());
    }
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), p.title.c_str());
  }
  DrawMenuBar(main);
}

void setMapLabels(const std::vector<SceneLabel>& labels) {
  windows().labels = labels;
}

bool saveHostWindowPng(const std::string& path) {
  HWND main = windows().main;
  if (!main) return false;
  RECT r;
  GetWindowRect(main, &r);
  EnumThreadWindows(GetCurrentThreadId(), addVisibleWindow,
                    reinterpret_cast<LPARAM>(&r));
  RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN),
                 GetSystemMetrics(SM_CYSCREEN)};
  IntersectRect(&r, &r, &screen);
  int width = r.right - r.left;
  int height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return false;
  // What the screen shows of the window, children and frame included.
  HDC display = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(display);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = bitmap != nullptr;
  std::vector<unsigned char> rows;
  if (ok) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    ok = BitBlt(memory, 0, 0, width, height, display, r.left, r.top, SRCCOPY) != 0;
    GdiFlush();
    SelectObject(memory, old);
    const unsigned char* bgrx = static_cast<const unsigned char*>(bits);
    rows.reserve(static_cast<size_t>(height) * (width * 3 + 1));
    for (int y = 0; ok && y < height; ++y) {
      rows.push_back(0);
      for (int x = 0; x < width; ++x) {
        const unsigned char* p = bgrx + (static_cast<size_t>(y) * width + x) * 4;
        rows.insert(rows.end(), {p[2], p[1], p[0]});
      }
    }
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, display);
  if (!ok) return false;
  std::vector<unsigned char> png = encodePng(width, height, rows);
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  bool written = std::fwrite(png.data(), 1, png.size(), out) == png.size();
  return std::fclose(out) == 0 && written;
}

// The services of StandinWindows.h.

VpiWindow hostMainWindow() { return windows().main; }
VpiWindow hostPanelParent() { return windows().panelArea; }

void pumpHostWindowMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    // A modeless dialog gets its keyboard navigation (Tab, the mnemonics):
    // the nearest dialog (class "#32770") at or above the target.
    HWND dialog = message.hwnd;
    char name[8];
    while (dialog && !(GetClassNameA(dialog, name, sizeof name) > 0 &&
                       lstrcmpA(name, "#32770") == 0)) {
      dialog = GetParent(dialog);
    }
    if (dialog && IsDialogMessageA(dialog, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void repaintHostMap() {
  HWND map = windows().map;
  if (!map) return;
  // What the layers draw is drawn afresh at every redraw, as the host does.
  if (!layers().empty()) {
    scene2d().clear();
    drawAll2d();
  }
  InvalidateRect(map, nullptr, TRUE);
  UpdateWindow(map);
}

void placeHostPanels() {
  HWND area = windows().panelArea;
  if (!area) return;
  int top = kPanelGap;
  for (const StandinPanel& panel : panels()) {
    HWND window = static_cast<HWND>(panel.window);
    if (!IsWindow(window)) continue;
    if (GetParent(window) != area) SetParent(window, area);
    RECT r;
    GetWindowRect(window, &r);
    SetWindowPos(window, nullptr, kPanelGap, top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    top += (r.bottom - r.top) + kPanelGap;
  }
}

void hideHostPanel(VpiWindow window) {
  HWND w = static_cast<HWND>(window);
  if (IsWindow(w)) ShowWindow(w, SW_HIDE);
}

}  // namespace standin
