// The Windows host as the host program drives it: the x86_64 module loaded
// by path through PluginIf.dll (this program holds no copy of the host),
// its two popups in the real menu bar, its commands invoked and greyed as
// the host does, the window saved as PNG, and the shutdown that keeps the
// profile value "Load".

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "host/PluginIf.h"
#include "resources/Texts.h"
#include "standin/win32/WindowHostApi.h"

namespace {

std::string menuText(HMENU menu, UINT position) {
  char text[128] = {};
  GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
  return text;
}

bool greyedAsItOpens(HMENU popup, UINT position) {
  SendMessageA(static_cast<HWND>(VPI_GetMainWnd()), WM_INITMENUPOPUP,
               reinterpret_cast<WPARAM>(popup), 0);
  return (GetMenuState(popup, position, MF_BYPOSITION) & MF_GRAYED) != 0;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in),
                     std::istreambuf_iterator<char>());
}

TEST(WindowHostApiTest, ModuleLoadedByPathShowsItsMenusAndShutsDown) {
  char temp[MAX_PATH];
  ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
  std::string home = std::string(temp) + "morvane-window-host-" +
                     std::to_string(GetCurrentProcessId());
  StandinHost_SetHome(home.c_str());
  ASSERT_EQ(StandinHost_CreateWindow(800, 600), 1);

  char error[512] = {};
  EXPECT_EQ(StandinHost_StartSession("Z:\\no\\such\\Morvane.vpl", error,
                                     sizeof error),
            0);
  EXPECT_NE(std::string(error).find("no module at"), std::string::npos)
      << error;

  // The path CMake gives is a Unix one: Wine's drive Z: is the root.
  std::string module = std::string("Z:") + MORVANE_MODULE_PATH;
  ASSERT_EQ(StandinHost_StartSession(module.c_str(), error, sizeof error), 1)
      << error;
  HMENU bar = GetMenu(static_cast<HWND>(VPI_GetMainWnd()));
  ASSERT_EQ(GetMenuItemCount(bar), 3);  // the host's File, then the module's
  EXPECT_EQ(menuText(bar, 1), kTextMenuTitle);
  EXPECT_EQ(menuText(bar, 2), kTextMenuTitle);
  HMENU imports = GetSubMenu(bar, 1);
  HMENU closing = GetSubMenu(bar, 2);
  ASSERT_EQ(GetMenuItemCount(imports), 2);
  ASSERT_EQ(GetMenuItemCount(closing), 1);
  EXPECT_EQ(menuText(imports, 0), kTextMenuE00File);
  EXPECT_EQ(menuText(imports, 1), kTextMenuE00PlaceNames);
  EXPECT_EQ(menuText(closing, 0), kTextMenuE00File);
  // Nothing open, no layers: only the close command is greyed.
  EXPECT_FALSE(greyedAsItOpens(imports, 0));
  EXPECT_FALSE(greyedAsItOpens(imports, 1));
  EXPECT_TRUE(greyedAsItOpens(closing, 0));

  std::string png = home + "\\host.png";
  ASSERT_EQ(StandinHost_Screenshot(png.c_str()), 1);
  EXPECT_EQ(readFile(png).compare(0, 4, "\x89PNG"), 0);

  StandinHost_Stop();
  EXPECT_NE(readFile(home + "\\profile.tsv").find("Load\t0"),
            std::string::npos);
  // The home is free again for the next host.
  ASSERT_EQ(StandinHost_CreateWindow(800, 600), 1);
  EXPECT_EQ(StandinHost_StartSession(module.c_str(), error, sizeof error), 1)
      << error;
  StandinHost_Stop();
  DeleteFileA(png.c_str());
  DeleteFileA((home + "\\profile.tsv").c_str());
  DeleteFileA((home + "\\host.lock").c_str());
  RemoveDirectoryA(home.c_str());
}

}  // namespace
