// A morvane-host invocation as one run of the host: the module loaded from
// --module into the stand-in host of --home, started (Init, Load), its
// commands invoked through its menus, its layers drawn, and shut down
// (Close, Release), so that the next invocation starts where this one
// ended. Messages go to stderr prefixed with "morvane-host: ".

#ifndef MORVANE_TOOLS_TOOLSESSION_H_
#define MORVANE_TOOLS_TOOLSESSION_H_

#include <cstdint>
#include <string>

#include "standin/HostSession.h"
#include "standin/StandinView2d.h"
#include "tools/Commands.h"

// The module's menus as morvane-host names them: popup title, command
// title (Shift-JIS) and the popup's host position.
struct ModuleMenuItem {
  const char* popup;
  const char* command;
  int32_t position;
};
extern const ModuleMenuItem kOpenMenuItem;
extern const ModuleMenuItem kPlaceNamesMenuItem;
extern const ModuleMenuItem kCloseMenuItem;

class ToolSession {
 public:
  // Starts the host with options.home and options.module and draws its map
  // once (the whole earth), as the host does when it shows its window; false
  // when it was refused (the reason printed).
  bool start(const HostOptions& options);
  // The command invoked as a click on its menu item.
  standin::MenuResult invokeMenu(const ModuleMenuItem& item);
  // One redraw of the 2D view over extent (degrees, WGS 84) through the
  // module's layers, the first of which restores the reopen list; returns
  // the number of layers drawn. What was drawn is in standin::scene2d().
  int32_t draw(const standin::GeoExtent& extent);
  // Shuts the host down; false when what it keeps could not be saved.
  bool stop();

 private:
  standin::HostSession session_;
};

// The module built beside this program (natively Morvane.so in the
// program's folder); empty where the program's folder is unknown (then the
// commands that need the module refuse to run).
std::string defaultModulePath();

#endif  // MORVANE_TOOLS_TOOLSESSION_H_
