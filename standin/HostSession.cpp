#include "standin/HostSession.h"

#include <cstring>
#include <memory>

#include "base/HostBoundary.h"
#include "platform/FileSystem.h"
#include "platform/MemoryFileSystem.h"
#include "platform/ReplacingFile.h"

#include "standin/StandinDepot.h"
#include "standin/StandinFiles.h"
#include "standin/StandinHost.h"
#include "standin/StandinLayers.h"
#include "standin/StandinNameDb.h"
#include "standin/StandinProfile.h"

namespace standin {
namespace {

bool activeInProcess = false;

// Through the platform layer, so that a home inside a mounted in-memory
// tree stays there.
bool prepareHome(const std::string& home, std::string* error) {
  const std::string folder = modulePath(home);
  FileKind kind = fileKind(folder.c_str());
  if (kind != FileKind::kMissing && kind != FileKind::kDirectory) {
    *error = "the home " + home + " is not a folder";
    return false;
  }
  createFolders(home);
  if (folder.empty() || fileKind(folder.c_str()) != FileKind::kDirectory) {
    *error = "cannot make the home folder " + home;
    return false;
  }
  return true;
}

// A home in an in-memory tree belongs to this process alone; its lock is a
// file of the tree held open exclusively, as the disk's lock is.
void* lockMemoryHome(const std::string& home, std::string* error) {
  const std::string path = modulePath(home) + "\\host.lock";
  std::unique_ptr<PlatformFile> file = openFileForWriting(path.c_str());
  if (!file) {
    *error = "the home " + home + " is in use by another host";
    return nullptr;
  }
  return file.release();
}

bool inMemory(const std::string& home) {
  return MemoryFileSystem::owning(modulePath(home).c_str()) != nullptr;
}

}  // namespace

bool HostSession::start(const std::string& home, const std::string& modulePath,
                        std::string* error) {
  if (running_ || activeInProcess) {
    *error = "a host is already running in this process";
    return false;
  }
  if (!prepareHome(home, error)) return false;
  memoryHome_ = inMemory(home);
  void* lock = memoryHome_ ? lockMemoryHome(home, error) : lockHome(home, error);
  if (lock == nullptr) return false;
  setHome(home);
  resetProfile();
  resetDepot();
  resetHostFileFailures();
  std::string problem;
  // The host's own files must read before anything runs: a module started
  // over a profile or depot index it cannot see would conclude that no data
  // was open and rewrite its lists empty. A FIFO or device there is refused
  // before anything opens it, so nothing waits.
  if (!profileReadable(&problem) || !depotIndexReadable(&problem) ||
      !(problem = hostFileProblem(nameDbPath())).empty()) {
    unlock(lock);
    *error = problem + "; the host does not start and leaves it as it is "
             "(repair or remove it)";
    return false;
  }
  // A host killed while it replaced one of its files left the temporary
  // beside it; under the home's lock nobody else is writing them.
  for (const std::string& file : {profilePath(), depotIndexPath(), nameDbPath()}) {
    ReplacingFile::removeLeftovers(::modulePath(file));
  }
  if (!module_.load(modulePath, error)) {
    unlock(lock);
    return false;
  }
  // The host's record as it hands it over: ours to fill, zeros elsewhere.
  PluginInfo info;
  std::memset(&info, 0, sizeof info);
  // No exception of the module's crosses into the host: one thrown from an
  // entry point counts as its failure (Init) or as its end.
  const ModuleEntryPoints& entry = module_.entryPoints();
  if (guardHostCall(0, [&] { return entry.init(&info, kSessionPluginHandle); }) ==
      0) {
    module_.unload();
    unlock(lock);
    *error = "the module " + modulePath + " refused to start (Init gave 0)";
    return false;
  }
  guardHostCall(0, [&] { return entry.load(); });
  lock_ = lock;
  running_ = true;
  activeInProcess = true;
  return true;
}

void HostSession::unlock(void* lock) {
  if (memoryHome_) {
    delete static_cast<PlatformFile*>(lock);
  } else {
    unlockHome(lock);
  }
}

MenuResult HostSession::invokeMenu(const std::string& popupTitle,
                                   const std::string& commandTitle,
                                   int32_t position) {
  if (!running_) return MenuResult::kUnknown;
  return invokeMenuCommand(findMenuCommand(popupTitle, commandTitle, position));
}

int32_t HostSession::about() {
  if (!running_) return 0;
  return guardHostCall(0, [this] { return module_.entryPoints().about(); });
}

bool HostSession::stop() {
  if (!running_) return true;
  const ModuleEntryPoints& entry = module_.entryPoints();
  guardHostCall(0, [&] { return entry.close(); });
  guardHostCall(0, [&] {
    entry.release();
    return 0;
  });
  // The module's callbacks go with it: no menu or layer may call them.
  resetMenus();
  resetLayers();
  resetPanels();
  module_.unload();
  bool saved = saveNameDb();
  unlock(lock_);
  lock_ = nullptr;
  running_ = false;
  activeInProcess = false;
  // A profile or depot index that could not be written during the run was
  // told when it happened; the run still failed.
  return saved && !hostFilesFailed();
}

}  // namespace standin
