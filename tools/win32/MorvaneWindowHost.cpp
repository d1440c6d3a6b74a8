// morvane-window-host: the Windows stand-in host program. The host itself
// is PluginIf.dll (its windows, menus, layers, profile, and the session
// that loads the module); this program only tells it what to do, so that
// the program and the module it loads share the one host.
//
//   morvane-window-host [--home DIR] [--module Morvane.vpl]
//                       [--map FILE.e00|FILE.bin] [--screenshot OUT.png]
//                       [--dialog-screenshot OUT.png] [--menu TITLE]...
//                       [COMMAND ARGS]
//
// --module loads the module as the host does (Init, Load: its popups in the
// menu bar, its panel in the panel area); --menu chooses the module command
// of that title from the menu bar once it is loaded, in the order given.
// COMMAND is one of morvane-host's depot commands, played through the
// menus and dialogs (tools/win32/WindowHostCommands.h); with one, the module
// defaults to the Morvane.vpl beside the program. --map draws a data set
// over the map through the module's 2D layer code, with the place names of
// the --home folder's database. With --screenshot the program saves its
// window as PNG once everything is drawn and exits; without it and without
// a command, it runs until the window is closed. Either way the session
// ends with Close and Release.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tools/win32/WindowHostCommands.h"

namespace {

// The command line in UTF-8, whatever the ANSI code page: names and paths
// are converted to the module's Shift-JIS where they are used, and one
// without a Shift-JIS form is refused there, not turned into "?".
std::vector<std::string> utf8Arguments() {
  std::vector<std::string> args;
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return args;
  for (int i = 1; i < count; ++i) {
    int n = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr,
                                nullptr);
    std::string arg(n > 0 ? static_cast<size_t>(n) : 1, '\0');
    if (n > 0) {
      WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, &arg[0], n, nullptr,
                          nullptr);
    }
    arg.resize(arg.size() - 1);
    args.push_back(arg);
  }
  LocalFree(wide);
  return args;
}

}  // namespace

int main() {
  WindowHostOptions options;
  if (!parseWindowHostArguments(utf8Arguments(), &options, stderr)) return 2;
  if (options.module.empty() && !options.command.empty()) {
    options.module = defaultWindowHostModule();
  }
  if (!options.menus.empty() && options.module.empty()) {
    std::fprintf(stderr, "morvane-window-host: --menu needs --module\n");
    return 2;
  }
  return runWindowHost(options, stdout, stderr);
}
