#include "standin/HostSession.h"

#include <cstring>
#include <filesystem>
#include <system_error>

#include "standin/StandinHost.h"
#include "standin/StandinLayers.h"
#include "standin/StandinNameDb.h"
#include "standin/StandinProfile.h"

namespace standin {
namespace {

bool activeInProcess = false;

bool prepareHome(const std::string& home, std::string* error) {
  std::error_code ec;
  std::filesystem::path folder(home);
  if (std::filesystem::exists(folder, ec) &&
      !std::filesystem::is_directory(folder, ec)) {
    *error = "the home " + home + " is not a folder";
    return false;
  }
  std::filesystem::create_directories(folder, ec);
  if (ec || !std::filesystem::is_directory(folder, ec)) {
    *error = "cannot make the home folder " + home;
    return false;
  }
  return true;
}

}  // namespace

bool HostSession::start(const std::string& home, const std::string& modulePath,
                        std::string* error) {
  if (running_ || activeInProcess) {
    *error = "a host is already running in this process";
    return false;
  }
  if (!prepareHome(home, error)) return false;
  void* lock = lockHome(home, error);
  if (lock == nullptr) return false;
  setHome(home);
  resetProfile();
  std::string problem;
  if (!profileReadable(&problem)) {
    unlockHome(lock);
    *error = problem + "; the host does not start and leaves it as it is "
             "(repair or remove it)";
    return false;
  }
  if (!module_.load(modulePath, error)) {
    unlockHome(lock);
    return false;
  }
  // The host's record as it hands it over: ours to fill, zeros elsewhere.
  PluginInfo info;
  std::memset(&info, 0, sizeof info);
  if (module_.entryPoints().init(&info, kSessionPluginHandle) == 0) {
    module_.unload();
    unlockHome(lock);
    *error = "the module " + modulePath + " refused to start (Init gave 0)";
    return false;
  }
  module_.entryPoints().load();
  lock_ = lock;
  running_ = true;
  activeInProcess = true;
  return true;
}

MenuResult HostSession::invokeMenu(const std::string& popupTitle,
                                   const std::string& commandTitle,
                                   int32_t position) {
  if (!running_) return MenuResult::kUnknown;
  return invokeMenuCommand(findMenuCommand(popupTitle, commandTitle, position));
}

int32_t HostSession::about() {
  return running_ ? module_.entryPoints().about() : 0;
}

bool HostSession::stop() {
  if (!running_) return true;
  module_.entryPoints().close();
  module_.entryPoints().release();
  // The module's callbacks go with it: no menu or layer may call them.
  resetMenus();
  resetLayers();
  resetPanels();
  module_.unload();
  bool saved = saveNameDb();
  unlockHome(lock_);
  lock_ = nullptr;
  running_ = false;
  activeInProcess = false;
  return saved;
}

}  // namespace standin
