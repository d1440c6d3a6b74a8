// The stand-in host's menus (VPI_AddPopupMenu, VPI_AddChildMenu), kept
// without any window so that the command-line host, the tests and the
// Windows host program's menu bar show the same thing, and commands invoked
// as the host invokes them: message 101 asks whether the command is
// enabled (the callback stores a 32-bit 1 or 0 where lParam points), and
// only an enabled command then receives message 100.
//
// Menu ids (popups and commands share the counter) are never 0. A command
// added to an unknown popup, or without a callback, is refused (0).

#ifndef MORVANE_STANDIN_STANDINMENUS_H_
#define MORVANE_STANDIN_STANDINMENUS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "host/PluginIf.h"

namespace standin {

struct MenuCommand {
  uint32_t id;
  std::string title;  // Shift-JIS
  VpiCallback callback;
};

struct PopupMenu {
  uint32_t id;
  uint32_t plugin;
  int32_t position;  // the host's position code, as the plug-in passed it
  int32_t flag;
  std::string title;
  std::vector<MenuCommand> commands;  // in the order added
};

// Every popup in the order added, each with its commands.
const std::vector<PopupMenu>& menus();

// The command's answer to message 101 (false for an unknown id).
bool menuCommandEnabled(uint32_t commandId);

enum class MenuResult {
  kRan,       // enabled, and message 100 was sent
  kDisabled,  // answered 0 to message 101; nothing more was sent
  kUnknown,   // no such command
};
// Invokes the command as a click on its menu item does.
MenuResult invokeMenuCommand(uint32_t commandId);

// The id of the first command with this title in the first popup with
// popupTitle at position (any position when position is -1); 0 if none.
uint32_t findMenuCommand(const std::string& popupTitle,
                         const std::string& commandTitle,
                         int32_t position = -1);

// No menus, ids from 1 again.
void resetMenus();

}  // namespace standin

#endif  // MORVANE_STANDIN_STANDINMENUS_H_
