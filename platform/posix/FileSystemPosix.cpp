#include "platform/SystemFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <strings.h>

#include "host/PluginIf.h"
#include "platform/Sjis.h"

namespace {

class PosixFile : public PlatformFile {
 public:
  PosixFile() : fd_(-1) {}
  ~PosixFile() override { close(); }
  // Takes over an open descriptor.
  void adopt(int fd) { fd_ = fd; }

  int64_t length() override {
    struct stat st;
    if (fd_ < 0 || fstat(fd_, &st) != 0) return -1;
    return st.st_size;
  }

  int64_t read(void* buffer, int64_t bytes) override {
    if (fd_ < 0) return -1;
    char* out = static_cast<char*>(buffer);
    int64_t done = 0;
    while (done < bytes) {
      ssize_t n = ::read(fd_, out + done, static_cast<size_t>(bytes - done));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return done > 0 ? done : -1;
      if (n == 0) break;
      done += n;
    }
    return done;
  }

  bool write(const void* buffer, int64_t bytes) override {
    if (fd_ < 0) return false;
    const char* in = static_cast<const char*>(buffer);
    while (bytes > 0) {
      ssize_t n = ::write(fd_, in, static_cast<size_t>(bytes));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      in += n;
      bytes -= n;
    }
    return true;
  }

  bool flush() override {
    if (fd_ < 0) return false;
    int rc;
    do {
      rc = ::fsync(fd_);
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
  }

  bool close() override {
    if (fd_ < 0) return true;
    int rc = ::close(fd_);  // also drops the flock
    fd_ = -1;
    return rc == 0;
  }

 private:
  int fd_;
};

// Windows sharing modes, natively: an exclusive open takes an exclusive
// flock, a shared read takes a shared one. flock locks of separate opens
// conflict even inside one process, as Windows share modes do.
std::unique_ptr<PlatformFile> lockOrClose(std::unique_ptr<PosixFile> file,
                                          int fd, int operation) {
  if (fd < 0) return nullptr;
  if (flock(fd, operation | LOCK_NB) != 0) {
    ::close(fd);
    return nullptr;
  }
  file->adopt(fd);
  return file;
}

// The name a Windows program would reach for one component of a path in
// folder: the name itself when it exists, else the one entry that matches it
// ignoring the case of ASCII letters (Windows file names ignore case, Linux
// ones do not). False when several entries match and none exactly: the path
// then names no single file.
bool resolveComponent(const std::string& folder, std::string* name) {
  struct stat st;
  if (lstat((folder + *name).c_str(), &st) == 0 || errno != ENOENT) {
    return true;  // there, or let the operation itself say why not
  }
  DIR* d = opendir(folder.empty() ? "." : folder.c_str());
  if (d == nullptr) return true;
  std::string match;
  int matches = 0;
  while (struct dirent* entry = readdir(d)) {
    if (strcasecmp(entry->d_name, name->c_str()) == 0) {
      match = entry->d_name;
      ++matches;
    }
  }
  closedir(d);
  if (matches > 1) return false;
  if (matches == 1) *name = match;
  return true;
}

// Each existing component as resolveComponent finds it; empty when one is
// ambiguous. Components past the first missing one stay as written, for the
// operations that create them.
std::string resolveCase(const std::string& path) {
  const bool absolute = path[0] == '/';
  std::string out = absolute ? "/" : "";  // the folder so far, with its '/'
  size_t start = absolute ? 1 : 0;
  bool exists = true;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    std::string name = path.substr(start, end - start);
    if (exists && !name.empty() && name != "." && name != "..") {
      if (!resolveComponent(out, &name)) return std::string();
      struct stat st;
      exists = lstat((out + name).c_str(), &st) == 0;
    }
    out += name;
    if (end < path.size()) out += '/';
    start = end + 1;
  }
  return out;
}

}  // namespace

std::string hostPath(const char* path) {
  if (path == nullptr ||
      std::strlen(path) >= static_cast<size_t>(kVpiPathSize)) {
    return std::string();
  }
  std::string utf8 = sjisToUtf8(path);
  std::string out;
  size_t i = 0;
  if (utf8.size() >= 2 && utf8[1] == ':') {
    // Only drive Z: exists natively, as the root, like Wine's Z: drive.
    if (utf8[0] != 'Z' && utf8[0] != 'z') return std::string();
    i = 2;
    out = "/";
  }
  for (; i < utf8.size(); ++i) {
    // In UTF-8 the byte 0x5C is always a real backslash: a Shift-JIS trail
    // byte 0x5C became part of a multi-byte sequence above.
    char c = utf8[i] == '\\' ? '/' : utf8[i];
    if (c == '/' && !out.empty() && out.back() == '/') continue;
    out += c;
  }
  if (out.empty()) return out;
  return resolveCase(out);
}

std::string modulePath(const std::string& nativePath) {
  // A Linux name may hold a backslash; in a module path it would part the
  // name into folders and name another file.
  if (nativePath.find('\\') != std::string::npos) return std::string();
  std::string sjis = utf8ToSjis(nativePath);
  if (sjis.find('?') != std::string::npos &&
      nativePath.find('?') == std::string::npos) {
    return std::string();
  }
  std::string out = nativePath.empty() || nativePath[0] != '/' ? "" : "Z:";
  for (char c : sjis) out += c == '/' ? '\\' : c;
  return out;
}

namespace system_files {

std::unique_ptr<PlatformFile> openFileForReading(const char* path,
                                                 FileShare share) {
  std::string p = hostPath(path);
  if (p.empty()) return nullptr;
  // Made before the file is opened: running out of memory once it is open
  // would leak the descriptor and its lock.
  std::unique_ptr<PosixFile> file(new PosixFile());
  // O_NONBLOCK: opening a FIFO for reading would wait for a writer. It is
  // refused below like any other file that is not a regular one.
  int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd >= 0) {
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
      ::close(fd);
      return nullptr;
    }
  }
  return lockOrClose(std::move(file), fd,
                     share == FileShare::kExclusive ? LOCK_EX : LOCK_SH);
}

std::unique_ptr<PlatformFile> openFileForWriting(const char* path,
                                                 FileCreation creation) {
  std::string p = hostPath(path);
  if (p.empty()) return nullptr;
  // Take the lock before truncating, so a file held open elsewhere is left
  // as it is. O_NONBLOCK: a FIFO must not wait for a reader. O_NOFOLLOW: a
  // symbolic link is refused (ELOOP), so nothing is written through one and
  // no file is made where a dangling one points.
  int flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW;
  if (creation == FileCreation::kNew) flags |= O_EXCL;
  // Made before the file is: running out of memory once it is made would
  // leak the descriptor and leave the file.
  std::unique_ptr<PosixFile> file(new PosixFile());
  int fd = ::open(p.c_str(), flags, 0644);
  if (fd < 0) return nullptr;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
      fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    ::close(fd);
    return nullptr;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0 || ftruncate(fd, 0) != 0) {
    ::close(fd);
    return nullptr;
  }
  file->adopt(fd);
  return file;
}

FileKind fileKind(const char* path) {
  std::string p = hostPath(path);
  if (p.empty()) return FileKind::kUnusable;
  struct stat st;
  if (stat(p.c_str(), &st) != 0) {
    return errno == ENOENT || errno == ENOTDIR ? FileKind::kMissing
                                               : FileKind::kOther;
  }
  if (S_ISREG(st.st_mode)) return FileKind::kFile;
  if (S_ISDIR(st.st_mode)) return FileKind::kDirectory;
  if (S_ISFIFO(st.st_mode)) return FileKind::kFifo;
  if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return FileKind::kDevice;
  return FileKind::kOther;
}

bool fileStamp(const char* path, FileStamp* stamp) {
  std::string p = hostPath(path);
  struct stat st;
  // lstat: a link is examined, not followed, and is no regular file.
  if (p.empty() || lstat(p.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    return false;
  }
  stamp->size = st.st_size;
  stamp->modified = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 +
                    st.st_mtim.tv_nsec;
  return true;
}

bool isSymbolicLink(const char* path) {
  std::string p = hostPath(path);
  struct stat st;
  return !p.empty() && lstat(p.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool renameFile(const char* from, const char* to) {
  std::string source = hostPath(from);
  std::string target = hostPath(to);
  if (source.empty() || target.empty()) return false;
  // Made first: nothing below may run out of memory, with the target's lock
  // held or the file replaced (the caller would be told it was not).
  size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "."
                             : slash == 0               ? "/"
                                                        : target.substr(0, slash);
  // rename(2) replaces a file whoever holds it; Windows refuses a file held
  // open. Hold the target's lock across the rename, so that a file another
  // program has locked is left alone, as on Windows. A symbolic link is
  // replaced itself (rename never follows one) and nobody can hold it; a
  // folder, FIFO or device in its place is left alone, as Windows would.
  int held = -1;
  struct stat st;
  if (lstat(target.c_str(), &st) == 0) {
    if (!S_ISLNK(st.st_mode)) {
      if (!S_ISREG(st.st_mode)) return false;
      held = ::open(target.c_str(),
                    O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
      if (held < 0) return false;
      if (flock(held, LOCK_EX | LOCK_NB) != 0 || fstat(held, &st) != 0 ||
          !S_ISREG(st.st_mode)) {
        ::close(held);
        return false;
      }
    }
  } else if (errno != ENOENT) {
    return false;
  }
  bool ok = ::rename(source.c_str(), target.c_str()) == 0;
  if (held >= 0) ::close(held);
  if (ok) {
    // The new name is only durable once its folder is: without this a power
    // loss may bring the old file back, or neither. The rename itself is
    // done by now, so a folder that cannot be flushed (some file systems
    // refuse fsync on one) does not make it a failure.
    int dir = ::open(folder.c_str(), O_RDONLY | O_CLOEXEC | O_DIRECTORY);
    if (dir >= 0) {
      ::fsync(dir);
      ::close(dir);
    }
  }
  return ok;
}

bool createDirectory(const char* path) {
  std::string p = hostPath(path);
  return !p.empty() && ::mkdir(p.c_str(), 0755) == 0;
}

bool deleteFile(const char* path) {
  std::string p = hostPath(path);
  return !p.empty() && ::unlink(p.c_str()) == 0;
}

bool deleteFolderTree(const char* path) {
  std::string p = hostPath(path);
  if (p.empty()) return false;
  struct stat st;
  if (lstat(p.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  // remove_all never follows a symbolic link: it deletes the link.
  std::error_code ec;
  std::filesystem::remove_all(p, ec);
  return lstat(p.c_str(), &st) != 0 && errno == ENOENT;
}

std::vector<std::string> folderEntries(const char* folder) {
  std::vector<std::string> names;
  std::string p = hostPath(folder);
  if (p.empty()) return names;
  DIR* d = opendir(p.c_str());
  if (d == nullptr) return names;
  // Closed however this ends (out of memory included).
  std::unique_ptr<DIR, int (*)(DIR*)> owner(d, closedir);
  while (struct dirent* entry = readdir(d)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    const std::string module = modulePath(name);
    if (!module.empty()) names.push_back(module);
  }
  return names;
}

bool findFirstFile(const char* pattern) {
  std::string p = hostPath(pattern);
  if (p.empty()) return false;
  size_t slash = p.rfind('/');
  std::string dir = slash == std::string::npos ? "." : p.substr(0, slash);
  std::string name = slash == std::string::npos ? p : p.substr(slash + 1);
  if (dir.empty()) dir = "/";
  if (name == "*.*" || name == "*") {
    DIR* d = opendir(dir.c_str());
    if (d == nullptr) return false;
    closedir(d);
    return true;  // every directory has its "." entry
  }
  struct stat st;
  return stat(p.c_str(), &st) == 0;
}

}  // namespace system_files

const char* textLineEnd() { return "\n"; }
