// The home folder's lock: flock on "<home>/host.lock". The lock belongs to
// the open file, so a second host is refused whether it runs in another
// process or this one, and a host that dies frees it.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>

#include "standin/HostSession.h"

namespace standin {

void* lockHome(const std::string& home, std::string* error) {
  std::string path = (std::filesystem::path(home) / "host.lock").string();
  // Never through a link, never waiting on a FIFO; only a regular file is
  // the lock.
  int fd = open(path.c_str(),
                O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
  struct stat st;
  if (fd >= 0 && (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
    close(fd);
    fd = -1;
  }
  if (fd < 0) {
    *error = "cannot lock the home " + home + ": " + path +
             " is no regular file it can make";
    return nullptr;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    bool busy = errno == EWOULDBLOCK;
    close(fd);
    *error = busy ? "the home " + home + " is in use by another host"
                  : "cannot lock the home " + home;
    return nullptr;
  }
  // fd + 1, so that descriptor 0 is not taken for "no lock".
  return reinterpret_cast<void*>(static_cast<intptr_t>(fd) + 1);
}

void unlockHome(void* lock) {
  if (lock == nullptr) return;
  int fd = static_cast<int>(reinterpret_cast<intptr_t>(lock) - 1);
  flock(fd, LOCK_UN);
  close(fd);
}

}  // namespace standin
