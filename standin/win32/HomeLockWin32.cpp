// The home folder's lock on Windows: "<home>\host.lock" held open without
// sharing, so that a second host cannot open it; it closes with the host.

#include <windows.h>

#include <filesystem>

#include "standin/HostSession.h"

namespace standin {

void* lockHome(const std::string& home, std::string* error) {
  std::string path = (std::filesystem::path(home) / "host.lock").string();
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    bool busy = GetLastError() == ERROR_SHARING_VIOLATION;
    *error = busy ? "the home " + home + " is in use by another host"
                  : "cannot lock the home " + home;
    return nullptr;
  }
  return file;
}

void unlockHome(void* lock) {
  if (lock != nullptr) CloseHandle(static_cast<HANDLE>(lock));
}

}  // namespace standin
