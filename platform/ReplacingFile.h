// A file written whole or not at all. The bytes go to a new temporary file
// beside the target, which is flushed to the disk and then replaces the
// target in one rename; until then, and whenever anything fails, the target
// stays as it was, byte for byte. Whoever opens the target sees the old file
// or the new one, never a part of either, and so does whoever starts after
// a crash or a power loss.
//
//   ReplacingFile out(path);
//   if (!out.opened() || !out.write(bytes, n) || !out.commit()) fail;
//
// The temporary file is "<name>~XXXXXXXX<extension>" in the target's folder,
// XXXXXXXX eight hex digits drawn at random for each try (fewer when the
// path would not fit 259 bytes otherwise), created new and never through a
// link: a file, folder or link already there under such a name is never
// touched or followed, and another name is tried, up to kAttempts names.
// The temporary is removed again when the file is not committed.
//
// A symbolic link at the target is replaced itself; what it points to is
// never written. A folder, FIFO or device at the target is never replaced:
// opened() is false.

#ifndef MORVANE_PLATFORM_REPLACINGFILE_H_
#define MORVANE_PLATFORM_REPLACINGFILE_H_

#include <cstdint>
#include <memory>
#include <string>

#include "platform/FileSystem.h"

class ReplacingFile {
 public:
  // Names tried for the temporary file before giving up.
  static constexpr int kAttempts = 64;

  // Creates the temporary file for target (a module path). opened() is
  // false when it cannot be: no temporary name fits 259 bytes, the folder is
  // missing or refuses new files, every name tried is taken, the target is
  // no file to replace.
  explicit ReplacingFile(const std::string& target);
  // Without commit(), removes the temporary file.
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  bool opened() const { return !temporary_.empty(); }
  const std::string& temporaryPath() const { return temporary_; }

  // Appends bytes; false when they could not all be written (then every
  // later write and commit() fail too).
  bool write(const void* bytes, int64_t size);
  bool write(const std::string& bytes) {
    return write(bytes.data(), static_cast<int64_t>(bytes.size()));
  }

  // Closes the temporary file but keeps it, for a writer that opens the
  // temporary path itself; commit() then flushes and renames what it left
  // there (the flush reopens it for reading, which the POSIX backend can
  // flush; on Windows FlushFileBuffers needs a writer's handle, so there
  // such a commit fails).
  void handOver();

  // Flushes the temporary file to the disk, closes it and renames it over
  // the target. False when anything failed on the way; the target is then as
  // it was and the temporary file removed.
  bool commit();

  // The temporary name of target for the number n, as the constructor
  // builds it (empty when none fits), and the source of those numbers: by
  // default drawn at random; a test may make them predictable (null: the
  // default again).
  static std::string temporaryName(const std::string& target, uint32_t n);
  static void setNumberSource(uint32_t (*source)());

  // Deletes the temporary files of target that a writer killed before its
  // commit left behind: regular files in target's folder named as this
  // class names its temporaries ("<name>~" and eight hex digits, "<ext>"),
  // never a link or folder. Only for a caller that knows nobody is
  // writing target now (a host under its home's lock, at its start).
  // Returns the number deleted.
  static int removeLeftovers(const std::string& target);

 private:
  std::string target_;
  std::string temporary_;  // empty when there is none (any more)
  std::unique_ptr<PlatformFile> file_;
  bool failed_ = false;
};

#endif  // MORVANE_PLATFORM_REPLACINGFILE_H_
