// One run of the stand-in host with a plug-in module in it, as the real host
// runs one: start() takes the home folder, loads the module and calls Init
// (with the host's version) and Load; the module's menus are then invoked
// as a click on them does (101, then 100 when enabled); stop() calls Close
// and Release, unloads the module and saves what the host keeps in its
// home, so that the next start carries on where this one ended.
//
// The home folder belongs to one host at a time: start() locks it, and a
// second host on the same home (in another process or this one) is refused
// with a message, changing nothing. A home that is a file, a module that
// cannot be loaded, a profile file that cannot be read and a module that
// refuses Init are refused the same way, and so are a profile or depot index
// that cannot be read, and a folder, FIFO, device or symbolic link in place
// of the profile, the depot index or the place-name database. Such a file
// is left exactly as it is: started with the defaults, the module would
// conclude that no data was open and its Close would rewrite the reopen
// list empty, so the host rather does not start until the file is repaired
// or removed.
//
// The stand-in host is one per process, so one session runs at a time.
//
// The home may lie inside an in-memory tree (platform/MemoryFileSystem.h):
// with MemoryFileSystem("Z:\\mem\\") mounted, the home "/mem/home" keeps
// its profile, depot index, depot folders, place names and lock in memory
// (the module's cache files and reopen list follow, as the depot's paths
// lead there), crash simulation included.

#ifndef MORVANE_STANDIN_HOSTSESSION_H_
#define MORVANE_STANDIN_HOSTSESSION_H_

#include <cstdint>
#include <string>

#include "standin/ModuleLoader.h"
#include "standin/StandinMenus.h"

namespace standin {

// The plug-in handle the host gives its one module, the same at every run
// so that the module's profile values are found again.
constexpr uint32_t kSessionPluginHandle = 1;

class HostSession {
 public:
  HostSession() = default;
  ~HostSession() { stop(); }
  HostSession(const HostSession&) = delete;
  HostSession& operator=(const HostSession&) = delete;

  // home in native form; modulePath as LoadedModule takes it. The home is
  // created when missing. False with *error set when refused; nothing is
  // then running or locked, and nothing on disk changed.
  bool start(const std::string& home, const std::string& modulePath,
             std::string* error);
  bool running() const { return running_; }

  // The command titled commandTitle in the first popup titled popupTitle
  // (at that host position, or any when -1) with a command of that title,
  // invoked as a click on its menu item.
  MenuResult invokeMenu(const std::string& popupTitle,
                        const std::string& commandTitle,
                        int32_t position = -1);

  // The module's About box; its result.
  int32_t about();

  // Close, Release, unload, save the place-name database, unlock. Nothing
  // when not running. False when the place names could not be saved, or a
  // host file could not be written during the run (the profile, the depot
  // index: standin/StandinFiles.h, hostFilesFailed).
  bool stop();

 private:
  void unlock(void* lock);

  LoadedModule module_;
  void* lock_ = nullptr;
  bool memoryHome_ = false;  // the home lies in a mounted in-memory tree
  bool running_ = false;
};

// The backend (posix/, win32/): an exclusive lock on the home folder, held
// until unlockHome; null with *error set when another holds it or it
// cannot be taken.
void* lockHome(const std::string& home, std::string* error);
void unlockHome(void* lock);

}  // namespace standin

#endif  // MORVANE_STANDIN_HOSTSESSION_H_
