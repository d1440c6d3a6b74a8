#include "standin/StandinMenus.h"

#include "base/HostBoundary.h"

namespace standin {
namespace {

struct Menus {
  uint32_t nextId = 1;
  std::vector<PopupMenu> popups;
};

Menus& registry() {
  static Menus m;
  return m;
}

const MenuCommand* findCommand(uint32_t id) {
  for (const PopupMenu& p : registry().popups) {
    for (const MenuCommand& c : p.commands) {
      if (c.id == id) return &c;
    }
  }
  return nullptr;
}

}  // namespace

const std::vector<PopupMenu>& menus() { return registry().popups; }

bool menuCommandEnabled(uint32_t commandId) {
  const MenuCommand* c = findCommand(commandId);
  if (c == nullptr) return false;
  int32_t enabled = 0;
  // No exception of the module's crosses into the host: a callback that
  // throws leaves its command disabled, or its run ended.
  VpiCallback callback = c->callback;
  guardHostCall(0, [&] {
    return callback(kMenuQueryEnabled, 0, reinterpret_cast<intptr_t>(&enabled));
  });
  return enabled != 0;
}

MenuResult invokeMenuCommand(uint32_t commandId) {
  const MenuCommand* c = findCommand(commandId);
  if (c == nullptr) return MenuResult::kUnknown;
  // Copied: the command may add menus while it runs.
  VpiCallback callback = c->callback;
  if (!menuCommandEnabled(commandId)) return MenuResult::kDisabled;
  guardHostCall(0, [&] { return callback(kMenuRunCommand, 0, 0); });
  return MenuResult::kRan;
}

uint32_t findMenuCommand(const std::string& popupTitle,
                         const std::string& commandTitle, int32_t position) {
  for (const PopupMenu& p : registry().popups) {
    if (p.title != popupTitle || (position != -1 && p.position != position)) {
      continue;
    }
    for (const MenuCommand& c : p.commands) {
      if (c.title == commandTitle) return c.id;
    }
  }
  return 0;
}

void resetMenus() {
  registry().popups.clear();
  registry().nextId = 1;
}

}  // namespace standin

extern "C" {

uint32_t VPI_AddPopupMenu(uint32_t plugin, int32_t position, const char* title,
                          int32_t flag) {
  // No exception crosses into the module: out of memory adds nothing.
  return guardHostCall(0u, [&]() -> uint32_t {
    standin::Menus& m = standin::registry();
    if (m.nextId == 0) return 0;
    m.popups.push_back(
        {m.nextId, plugin, position, flag, title != nullptr ? title : "", {}});
    return m.nextId++;
  });
}

uint32_t VPI_AddChildMenu(uint32_t plugin, uint32_t menu, const char* title,
                          VpiCallback callback) {
  return guardHostCall(0u, [&]() -> uint32_t {
    standin::Menus& m = standin::registry();
    if (callback == nullptr || m.nextId == 0) return 0;
    for (standin::PopupMenu& p : m.popups) {
      if (p.id != menu || p.plugin != plugin) continue;
      p.commands.push_back({m.nextId, title != nullptr ? title : "", callback});
      return m.nextId++;
    }
    return 0;
  });
}

}  // extern "C"
