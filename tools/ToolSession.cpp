#include "tools/ToolSession.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "resources/Texts.h"
#include "standin/Geodesy.h"
#include "standin/StandinLayers.h"

const ModuleMenuItem kOpenMenuItem = {kTextMenuTitle, kTextMenuE00File, 16};
const ModuleMenuItem kPlaceNamesMenuItem = {kTextMenuTitle,
                                            kTextMenuE00PlaceNames, 16};
const ModuleMenuItem kCloseMenuItem = {kTextMenuTitle, kTextMenuE00File, 48};

bool ToolSession::start(const HostOptions& options) {
  std::string error;
  if (!session_.start(options.home, options.module, &error)) {
    std::fprintf(stderr, "morvane-host: %s\n", error.c_str());
    return false;
  }
  // The host shows its map once the module is loaded; that first draw is
  // where the module brings back what was open at the last shutdown. A run
  // without it would end with nothing open and the reopen list written
  // empty.
  draw({-180.0, -90.0, 180.0, 90.0});
  return true;
}

standin::MenuResult ToolSession::invokeMenu(const ModuleMenuItem& item) {
  return session_.invokeMenu(item.popup, item.command, item.position);
}

int32_t ToolSession::draw(const standin::GeoExtent& extent) {
  standin::resetView2d();
  standin::setView2d(extent, standin::kDatumWgs84);
  return standin::drawAll2d();
}

bool ToolSession::stop() {
  if (!session_.running()) return true;
  if (!session_.stop()) {
    std::fprintf(stderr, "morvane-host: the host could not save its files\n");
    return false;
  }
  return true;
}

std::string defaultModulePath() {
  std::error_code ec;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return "";
  return (self.parent_path() / "Morvane.so").string();
}
